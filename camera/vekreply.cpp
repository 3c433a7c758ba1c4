#include "camera/vekreply.h"

namespace VekReply {

namespace {

const QByteArray kAck = QByteArray::fromHex("9041FF");
const QByteArray kComplete = QByteArray::fromHex("9051FF");

const VideoFormat kVideoFormats[] = {
    {0x15, "1080p60", 0},     {0x13, "1080p59.94", 1}, {0x14, "1080p50", 2},
    {0x07, "1080p30", 3},     {0x06, "1080p29.97", 4}, {0x08, "1080p25", 5},
    {0x02, "1080i60", 6},     {0x05, "1080i60", 6},    {0x01, "1080i59.94", 7},
    {0x04, "1080i50", 8},     {0x0A, "720p60", 9},     {0x09, "720p59.94", 10},
    {0x0C, "720p50", 11},     {0x1D, "2160p29.97", 12}, {0x1E, "2160p25", 13},
    {0x1F, "2160p30", 14},    {0x22, "2160p59.94", 15}, {0x23, "2160p50", 16},
    {0x24, "2160p60", 17},
};

QString hexDigit(int v) { return QString::number(v & 0x0F, 16); }

// Length of the bare answer to an inquiry whose reader takes no other; 0 when
// any length will do.
int answerLength(const QByteArray &inquiry)
{
    static const struct
    {
        QByteArray inquiry;
        int length;
    } known[] = {
        {QByteArray::fromHex("81090400FF"), 4},    // power
        {QByteArray::fromHex("81097E7E70FF"), 15}, // system status
        {QByteArray::fromHex("81090002FF"), 16},   // versions
        {QByteArray::fromHex("8109044AFF"), 7},    // shutter position
    };
    for (const auto &k : known)
        if (inquiry == k.inquiry)
            return k.length;
    return 0;
}

// Length of the packet (90 .. FF, or 00 len 90 .. FF) that starts at `i`; 0
// when one starts there but is not complete yet, -1 when none starts there.
int packetAt(const QByteArray &r, int i)
{
    const int n = r.size();
    if (byteAt(r, i) == 0x90) {
        const int end = r.indexOf(char(0xFF), i + 1);
        return end < 0 ? 0 : end - i + 1;
    }
    if (byteAt(r, i) != 0x00)
        return -1;
    if (i + 2 >= n)
        return 0;
    const int len = byteAt(r, i + 1);
    if (len < 5 || byteAt(r, i + 2) != 0x90)
        return -1;
    const int end = r.indexOf(char(0xFF), i + 3);
    if (end < 0)
        return i + len > n ? 0 : -1;
    return end == i + len - 1 ? len : -1;
}

} // namespace

Exchange sortExchange(const QByteArray &sent, const QByteArray &collected)
{
    Exchange x;
    const bool framed = byteAt(sent, 0) == 0x00 && byteAt(sent, 1) == sent.size() && sent.size() > 2;
    const QByteArray asked = framed ? sent.mid(2) : sent;
    if (byteAt(asked, 0) != 0x81) {
        x.answer = collected;
        x.done = byteAt(collected, collected.size() - 1) == 0xFF;
        return x;
    }
    const bool inquiry = byteAt(asked, 1) == 0x09;
    const int wantLength = inquiry ? answerLength(asked) : 0;
    bool acked = false;
    for (int i = 0; i < collected.size();) {
        const int len = packetAt(collected, i);
        if (len < 0) {
            x.dropped += collected.at(i++);
            x.done = true;
            continue;
        }
        if (len == 0) {
            x.answer += collected.mid(i);
            break;
        }
        const QByteArray whole = collected.mid(i, len);
        i += len;
        const QByteArray p = byteAt(whole, 0) == 0x00 ? whole.mid(2) : whole;
        const quint8 kind = byteAt(p, 1) & 0xF0;
        const bool socket = byteAt(p, 1) & 0x0F;
        // This message's answer, an earlier message's, or neither (noise).
        enum { Noise, Late, Mine } what = Noise;
        if (kind == 0x60) {
            what = p.size() >= 4 ? Mine : Noise;
        } else if (kind == 0x40 && p.size() == 3) {
            what = inquiry ? Late : Mine;
            acked = acked || !inquiry;
        } else if (kind == 0x50 && socket) {
            what = p.size() != 3 ? Noise : (!inquiry && acked ? Mine : Late);
        } else if (kind == 0x50) {
            what = inquiry && (wantLength == 0 || p.size() == wantLength) ? Mine : Late;
        }
        (what == Mine ? x.answer : x.dropped) += whole;
        x.done = x.done || what != Late;
    }
    return x;
}

quint8 byteAt(const QByteArray &reply, int index)
{
    if (index < 0 || index >= reply.size())
        return 0;
    return static_cast<quint8>(reply.at(index));
}

bool containsAckComplete(const QByteArray &reply)
{
    return reply.contains(kAck) || reply.contains(kComplete);
}

bool isPresetAck(const QByteArray &reply)
{
    if (reply.size() <= 2 || byteAt(reply, 0) != 0x90)
        return false;
    const quint8 kind = byteAt(reply, 1);
    return kind == 0x41 || kind == 0x51;
}

bool bareAnswer(const QByteArray &reply, QByteArray *payload, int minPayload)
{
    for (int i = 0; i + 2 < reply.size(); ++i) {
        if (byteAt(reply, i) != 0x90 || byteAt(reply, i + 1) != 0x50)
            continue;
        const int end = reply.indexOf(char(0xFF), i + 2);
        if (end < 0)
            return false; // truncated: nothing after it can be complete either
        if (end - (i + 2) >= minPayload) {
            if (payload)
                *payload = reply.mid(i + 2, end - (i + 2));
            return true;
        }
        i = end;
    }
    return false;
}

bool framedAnswer(const QByteArray &reply, QByteArray *payload, int minPayload)
{
    for (int i = 0; i + 3 < reply.size(); ++i) {
        if (byteAt(reply, i) != 0x00 || byteAt(reply, i + 2) != 0x90 || byteAt(reply, i + 3) != 0x50)
            continue;
        const int len = byteAt(reply, i + 1);
        // 00 len 90 50 ... FF: at least five bytes, all of them received.
        if (len < 5 || i + len > reply.size())
            continue;
        const QByteArray frame = reply.mid(i, len);
        if (byteAt(frame, len - 1) != 0xFF || frame.indexOf(char(0xFF)) != len - 1)
            continue;
        if (len - 5 < minPayload)
            continue;
        if (payload)
            *payload = frame.mid(4, len - 5);
        return true;
    }
    return false;
}

bool videoFormatForCode(int code, QString *text, int *index)
{
    for (const VideoFormat &f : kVideoFormats) {
        if (f.code == code) {
            if (text)
                *text = QString::fromLatin1(f.text);
            if (index)
                *index = f.index;
            return true;
        }
    }
    return false;
}

int videoCodeForIndex(int index)
{
    for (const VideoFormat &f : kVideoFormats) {
        if (f.index == index)
            return f.code;
    }
    return -1;
}

bool decodeSystemStatus(const QByteArray &reply, SystemStatus *status)
{
    if (reply.size() != 15 || byteAt(reply, 0) != 0x90 || byteAt(reply, 1) != 0x50
        || reply.indexOf(char(0xFF)) != 14)
        return false;
    SystemStatus s;
    s.statusBits = byteAt(reply, 2);
    s.videoCode = byteAt(reply, 3) & 0x3F;
    if (!videoFormatForCode(s.videoCode, &s.formatText, &s.formatIndex)) {
        s.formatText.clear();
        s.formatIndex = 0;
    }
    s.wbCode = byteAt(reply, 4);
    s.rGain = static_cast<quint8>(((byteAt(reply, 5) << 4) & 0xFF) | (byteAt(reply, 6) & 0x0F));
    s.bGain = static_cast<quint8>(((byteAt(reply, 7) << 4) & 0xFF) | (byteAt(reply, 8) & 0x0F));
    s.focusCode = byteAt(reply, 9);
    s.exposureCode = byteAt(reply, 10);
    s.flipBits = byteAt(reply, 12);
    s.speedRange = byteAt(reply, 13);
    if (status)
        *status = s;
    return true;
}

bool decodeVersion(const QByteArray &reply, VersionInfo *info)
{
    if (reply.size() != 16 || byteAt(reply, 0) != 0x90 || byteAt(reply, 1) != 0x50
        || reply.indexOf(char(0xFF)) != 15)
        return false;
    VersionInfo v;
    v.model = QStringLiteral("%1%2").arg(hexDigit(byteAt(reply, 2)))
                  .arg(byteAt(reply, 3), 2, 16, QLatin1Char('0'));
    v.mcu = QStringLiteral("%1%2.%3%4").arg(hexDigit(byteAt(reply, 4)), hexDigit(byteAt(reply, 5)),
                                            hexDigit(byteAt(reply, 6)), hexDigit(byteAt(reply, 7)));
    v.fpga = QStringLiteral("%1%2%3").arg(hexDigit(byteAt(reply, 8)), hexDigit(byteAt(reply, 9)),
                                          hexDigit(byteAt(reply, 10)));
    v.motor = QStringLiteral("%1%2.%3%4").arg(hexDigit(byteAt(reply, 11)), hexDigit(byteAt(reply, 12)),
                                              hexDigit(byteAt(reply, 13)), hexDigit(byteAt(reply, 14)));
    if (info)
        *info = v;
    return true;
}

int shutterPosition(const QByteArray &reply)
{
    QByteArray p;
    // Only a nine-byte frame 00 09 90 50 .. .. 0p 0q FF carries a position.
    for (int from = 0; from < reply.size(); ++from) {
        const int at = reply.indexOf(QByteArray::fromHex("00099050"), from);
        if (at < 0)
            return -1;
        if (framedAnswer(reply.mid(at, 9), &p, 4) && p.size() == 4)
            return ((byteAt(p, 2) << 4) & 0xFF) | (byteAt(p, 3) & 0x0F);
        from = at;
    }
    return -1;
}

bool framedGain(const QByteArray &reply, int *gain)
{
    QByteArray p;
    if (!framedAnswer(reply, &p, 2))
        return false;
    // The gain is the last two payload bytes, high nibble first.
    const int n = p.size();
    if (gain)
        *gain = (byteAt(p, n - 2) * 16 + (byteAt(p, n - 1) & 0x0F)) & 0xFF;
    return true;
}

TrackAnswer trackState(const QByteArray &reply, int *state)
{
    if (state)
        *state = -1;
    if (reply.size() <= 3)
        return TrackAnswer::TooShort;
    // Only the last packet counts: a camera may acknowledge before it answers.
    const QByteArray last = reply.right(4);
    if (byteAt(last, 1) == 0x50 && byteAt(last, 0) == 0x90 && byteAt(last, 3) == 0xFF) {
        if (state)
            *state = byteAt(last, 2) & 0x0F;
        return TrackAnswer::Value;
    }
    if (byteAt(last, 1) == 0x60)
        return TrackAnswer::NotSupported;
    return TrackAnswer::Unknown;
}

int profileNumber(const QByteArray &reply)
{
    QByteArray p;
    if (!framedAnswer(reply, &p, 2))
        return -1;
    const int n = byteAt(p, 0) * 16 + byteAt(p, 1);
    return (n >= 1 && n <= 10) ? n : -1;
}

} // namespace VekReply
