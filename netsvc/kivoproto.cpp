#include "netsvc/kivoproto.h"

#include <QRegularExpression>
#include <QStringList>

namespace Kivo {

namespace {

const QByteArray kSetMacAdr("SET_MACADR");
const QByteArray kEthReq("ETH_REQ");
const QByteArray kGetModel("GET_MODEL");
const QByteArray kGetModelName("GET_MODEL_NAME");
const QByteArray kModelName("TAVRIK");
constexpr int kModelFieldSize = 16;

void putQuad(QByteArray &b, int at, const Quad &q, int count = 4)
{
    for (int i = 0; i < count; ++i)
        b[at + i] = char(q[size_t(i)]);
}

void putMac(QByteArray &b, int at, const Mac &m)
{
    for (int i = 0; i < 6; ++i)
        b[at + i] = char(m[size_t(i)]);
}

// Header shared by every reply: big-endian total length, then the type.
QByteArray header(int size, quint8 type)
{
    QByteArray b(size, '\0');
    b[0] = char((size >> 8) & 0xFF);
    b[1] = char(size & 0xFF);
    b[2] = char(type);
    return b;
}

} // namespace

Command dispatch(const QByteArray &request)
{
    if (request.contains(kSetMacAdr))
        return Command::SetMacAdr;
    if (request.contains(kEthReq))
        return Command::EthReq;
    const bool hasName = request.contains(kGetModelName);
    if (request.contains(kGetModel) && !hasName)
        return Command::GetModel;
    if (hasName)
        return Command::GetModelName;
    return Command::None;
}

bool isBroadcastRequest(const QByteArray &request)
{
    return request.size() > kTypeOffset && quint8(request.at(kTypeOffset)) == KIVO_TYPE_BROADCAST;
}

quint8 replyType(const QByteArray &request)
{
    return isBroadcastRequest(request) ? KIVO_TYPE_BROADCAST : KIVO_TYPE_UDP;
}

namespace {

// `text` split at `separator` into exactly N numbers in `base`; a field that
// is not a byte reads as 0.
template <size_t N>
bool parseFields(const QString &text, QChar separator, int base, std::array<quint8, N> *out)
{
    const QStringList parts = text.split(separator);
    if (parts.size() != int(N))
        return false;
    for (size_t i = 0; i < N; ++i) {
        bool ok = false;
        const int v = parts.at(int(i)).toInt(&ok, base);
        (*out)[i] = (ok && v >= 0 && v <= 255) ? quint8(v) : 0;
    }
    return true;
}

} // namespace

bool parseQuad(const QString &text, Quad *out)
{
    return parseFields(text, QLatin1Char('.'), 10, out);
}

bool parseMac(const QString &text, Mac *out)
{
    return parseFields(text, QLatin1Char(':'), 16, out);
}

bool isDottedQuad(const QString &text)
{
    static const QRegularExpression re(
        QStringLiteral("^(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])"
                       "(\\.(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])){3}$"));
    return re.match(text).hasMatch();
}

bool isMacText(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^[0-9A-Fa-f]{2}(:[0-9A-Fa-f]{2}){5}$"));
    return re.match(text).hasMatch();
}

QString broadcastOf(const QString &ip)
{
    const QStringList parts = ip.split(QLatin1Char('.'));
    if (parts.size() < 3)
        return QString();
    return parts.at(0) + QLatin1Char('.') + parts.at(1) + QLatin1Char('.') + parts.at(2)
           + QStringLiteral(".255");
}

QString macHex(const Mac &mac)
{
    QByteArray raw(6, '\0');
    putMac(raw, 0, mac);
    return QString::fromLatin1(raw.toHex().toUpper());
}

QString targetMacHex(const QByteArray &request)
{
    if (request.size() < kTargetMacOffset + 6)
        return QString();
    return QString::fromLatin1(request.mid(kTargetMacOffset, 6).toHex().toUpper());
}

Mac newMacOf(const QByteArray &request)
{
    Mac m{};
    const int n = request.size();
    for (int i = 0; i < 6 && n - 6 + i >= 0; ++i)
        m[size_t(i)] = quint8(request.at(n - 6 + i));
    return m;
}

QString macText(const Mac &mac)
{
    QString hex;
    QByteArray raw(6, '\0');
    putMac(raw, 0, mac);
    hex = QString::fromLatin1(raw.toHex());
    for (int pos : {2, 5, 8, 11, 14})
        hex.insert(pos, QLatin1Char(':'));
    return hex;
}

QByteArray modelNameField()
{
    QByteArray f(kModelFieldSize, '\0');
    f.replace(0, kModelName.size(), kModelName);
    return f;
}

QByteArray ethReqReply(quint8 type, const Mac &mac, const Quad &ip, const Quad &mask)
{
    QByteArray b = header(kEthReqReplySize, type);
    b.replace(5, kModelFieldSize, modelNameField());
    putMac(b, 21, mac);
    putQuad(b, 27, ip);
    putQuad(b, 31, mask);
    putQuad(b, 35, ip);
    for (int i = 39; i <= 46; ++i)
        b[i] = 0x08;
    b[47] = 0x01;
    return b;
}

QByteArray setMacReply(quint8 type, const Mac &newMac, const Quad &ip, const Quad &mask)
{
    QByteArray b = header(kSetMacReplySize, type);
    static const char fixed[] = {0x00, 0x00, 0x44, 0x40, 0x40, 0x40, 0x00};
    for (int i = 0; i < 7; ++i)
        b[3 + i] = fixed[i];
    putMac(b, 10, newMac);
    putQuad(b, 16, ip);
    putQuad(b, 20, mask);
    putQuad(b, 24, ip, 3);
    b[27] = 0x01;
    for (int i = 28; i <= 35; ++i)
        b[i] = 0x08;
    b[36] = 0x01;
    return b;
}

QByteArray getModelReply(quint8 type)
{
    QByteArray b = header(kGetModelReplySize, type);
    static const char fixed[] = {0x40, 0x05, char(0x88), 0x10, 0x0D};
    for (int i = 0; i < 5; ++i)
        b[3 + i] = fixed[i];
    return b;
}

QByteArray getModelNameReply(quint8 type)
{
    QByteArray b = header(kGetModelNameReplySize, type);
    b[3] = 0x41;
    b.replace(4, kModelFieldSize, modelNameField());
    return b;
}

bool replaceForcedMac(QString *configText, const QString &newMacText)
{
    static const QString key = QStringLiteral("force_mac_address=");
    QStringList lines = configText->split(QLatin1Char('\n'));
    // A trailing line feed leaves one empty last element, not a line.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines) {
        const int at = line.indexOf(key);
        if (at < 0)
            continue;
        line.replace(at + key.size(), newMacText.size(), newMacText);
        *configText = lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
        return true;
    }
    return false;
}

} // namespace Kivo
