#include "sim/mbimage.h"

#include <QRandomGenerator>
#include <QSaveFile>

namespace {

constexpr int kHeaderSize = 16;
constexpr int kMaxPacket = 0xFFFF;

int packetLength(const QByteArray &p) { return qMin(p.size(), kMaxPacket); }

} // namespace

QList<QByteArray> MbImage::makePackets(int count, int size, quint32 seed)
{
    QList<int> sizes;
    for (int i = 0; i < count; ++i)
        sizes.append(size);
    return makePackets(sizes, seed);
}

QList<QByteArray> MbImage::makePackets(const QList<int> &sizes, quint32 seed)
{
    QRandomGenerator rng(seed);
    QList<QByteArray> out;
    out.reserve(sizes.size());
    for (int size : sizes) {
        QByteArray p(qBound(0, size, kMaxPacket), '\0');
        for (char &c : p)
            c = char(rng.bounded(256));
        out.append(p);
    }
    return out;
}

qint64 MbImage::fileSize() const
{
    qint64 n = kHeaderSize;
    for (const QByteArray &p : packets)
        n += 2 + packetLength(p);
    return n;
}

qint64 MbImage::effectiveD() const
{
    return d >= 0 ? d : kHeaderSize + 2 * qint64(packets.size());
}

QByteArray MbImage::toBytes() const
{
    QByteArray header = headerTemplate.left(kHeaderSize);
    header.append(QByteArray(kHeaderSize - header.size(), '\0'));
    const int n = declaredPacketCount >= 0 ? declaredPacketCount : packets.size();
    header[6] = char((n >> 8) & 0xFF);
    header[7] = char(n & 0xFF);
    header[8] = char(versionMajor);
    header[9] = char(versionMinor);
    const qint64 dv = effectiveD();
    header[12] = char((dv >> 16) & 0xFF);
    header[13] = char((dv >> 8) & 0xFF);
    header[14] = char(dv & 0xFF);

    QByteArray out;
    out.reserve(int(fileSize()));
    out.append(header);
    for (const QByteArray &p : packets) {
        const int len = packetLength(p);
        out.append(char((len >> 8) & 0xFF));
        out.append(char(len & 0xFF));
        out.append(p.constData(), len);
    }
    return out;
}

bool MbImage::writeTo(const QString &path) const
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = toBytes();
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

bool MbImage::parse(const QByteArray &file, Parsed *out, QString *error)
{
    Parsed p;
    if (file.size() < kHeaderSize) {
        if (error)
            *error = QStringLiteral("header too short: %1 bytes").arg(file.size());
        return false;
    }
    const auto u = [&file](int i) { return quint32(quint8(file.at(i))); };
    p.declaredPacketCount = int((u(6) << 8) | u(7));
    p.versionMajor = quint8(u(8));
    p.versionMinor = quint8(u(9));
    p.d = qint64((u(12) << 16) | (u(13) << 8) | u(14));
    int pos = kHeaderSize;
    while (p.packets.size() < p.declaredPacketCount && pos + 2 <= file.size()) {
        const int len = int((u(pos) << 8) | u(pos + 1));
        if (pos + 2 + len > file.size())
            break;
        p.packets.append(file.mid(pos + 2, len));
        pos += 2 + len;
    }
    p.complete = p.packets.size() == p.declaredPacketCount;
    if (out)
        *out = p;
    return true;
}
