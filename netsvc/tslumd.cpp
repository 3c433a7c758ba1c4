#include "netsvc/tslumd.h"

namespace Tsl {
namespace {
void put16(QByteArray &out, int v)
{
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}

int stateColour(const Display &d, const Lamps &lamps)
{
    if (d.program)
        return lamps.programColour & 3;
    if (d.preview)
        return lamps.previewColour & 3;
    return Off;
}

bool asciiOnly(const QString &s)
{
    for (const QChar c : s)
        if (c.unicode() > 0x7E)
            return false;
    return true;
}
} // namespace

QString displayText(const QString &label)
{
    QString out;
    for (int i = 0; i < label.size() && out.size() < kLabelChars; ++i) {
        const QChar c = label.at(i);
        if (c.isHighSurrogate()) {
            // A pair counts as one character and is kept whole, or not at all.
            if (i + 1 >= label.size() || !label.at(i + 1).isLowSurrogate() || out.size() + 2 > kLabelChars)
                break;
            out += c;
            out += label.at(++i);
        } else if (c.isLowSurrogate()) {
            out += QLatin1Char(' ');
        } else {
            out += c.unicode() < 0x20 || c.unicode() == 0x7F ? QLatin1Char(' ') : c;
        }
    }
    return out;
}

quint16 v50Control(const Display &d, const Lamps &lamps)
{
    const int c = stateColour(d, lamps);
    return quint16(c | (c << 2) | (c << 4) | (kBrightness << 6));
}

QByteArray v50Packet(const QVector<Display> &displays, const Lamps &lamps)
{
    QVector<QString> texts;
    bool ascii = true;
    for (const Display &d : displays) {
        texts << displayText(d.text);
        ascii = ascii && asciiOnly(texts.last());
    }
    QByteArray body;
    body += char(0);           // VER
    body += char(ascii ? 0 : 1); // FLAGS: bit 0, text in UTF-16LE
    put16(body, 0);            // SCREEN
    for (int i = 0; i < displays.size(); ++i) {
        const Display &d = displays[i];
        put16(body, qBound(0, d.index, kMaxIndexV50));
        put16(body, v50Control(d, lamps));
        QByteArray text;
        if (ascii) {
            text = texts[i].toLatin1();
        } else {
            for (const QChar c : texts[i])
                put16(text, c.unicode());
        }
        put16(body, text.size());
        body += text;
    }
    QByteArray packet;
    put16(packet, body.size()); // PBC: the bytes after it
    return packet + body;
}

QByteArray v50Stream(const QByteArray &packet)
{
    QByteArray out;
    out.reserve(packet.size() + 8);
    out += kDle;
    out += kStx;
    for (const char b : packet) {
        out += b;
        if (b == kDle)
            out += kDle;
    }
    return out;
}

quint8 v31Control(const Display &d, const Lamps &lamps)
{
    quint8 c = quint8(kBrightness << 4);
    if (d.program)
        c |= quint8(1 << (lamps.programTally & 3));
    if (d.preview)
        c |= quint8(1 << (lamps.previewTally & 3));
    return c;
}

QByteArray v31Packet(const Display &d, const Lamps &lamps)
{
    if (d.index < 0 || d.index > kMaxAddressV31)
        return {};
    QByteArray out;
    out += char(0x80 + d.index);
    out += char(v31Control(d, lamps));
    QByteArray text;
    for (const QChar c : displayText(d.text)) {
        // A surrogate pair is one character: one '?'.
        if (c.isLowSurrogate())
            continue;
        text += c.unicode() >= 0x20 && c.unicode() <= 0x7E ? char(c.unicode()) : '?';
    }
    out += text.leftJustified(kLabelChars, ' ');
    return out;
}

const char *protocolName(int protocol)
{
    switch (protocol) {
    case V50Tcp: return "TSL 5.0 TCP";
    case V31Udp: return "TSL 3.1 UDP";
    default: return "TSL 5.0 UDP";
    }
}

} // namespace Tsl
