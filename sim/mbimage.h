#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A mainboard firmware image as the boot-loader upgrade reads it. All numbers
// big-endian:
//   0..15  header: bytes 6-7 packet count N, 8 major and 9 minor version,
//          12-14 a value D (file size - D is the firmware size the upgrade
//          measures its progress against); other bytes are not interpreted
//   16..   N packets, each a 2-byte length L and L bytes of data.
// Tests build images here, write them with writeTo() and hand the same bytes
// to SimMainboard::expectImage().
class MbImage
{
public:
    quint8 versionMajor = 1;
    quint8 versionMinor = 0;
    QList<QByteArray> packets;
    // Packet count written into the header; -1: packets.size(). A larger
    // value makes an image that claims packets it does not hold.
    int declaredPacketCount = -1;
    // D; -1: header plus length fields, so the packet data adds up to
    // file size - D and the progress ends at 100 %.
    qint64 d = -1;
    // Optional 16 bytes the header starts from (count, version and D are
    // written over it); empty: zeros.
    QByteArray headerTemplate;

    // `count` packets of `size` bytes of seeded pseudo-random data.
    static QList<QByteArray> makePackets(int count, int size, quint32 seed = 1);
    // One packet per entry of `sizes` (each 0..65535).
    static QList<QByteArray> makePackets(const QList<int> &sizes, quint32 seed = 1);

    // The file's bytes. Packets longer than 65535 bytes are cut to fit the
    // 2-byte length.
    QByteArray toBytes() const;
    // Written beside and renamed, so a reader never sees half a file.
    bool writeTo(const QString &path) const;

    qint64 fileSize() const;
    qint64 effectiveD() const;

    // Reads an image back. False (with a reason) when the header is short;
    // packets are read while whole ones remain, `complete` tells whether all
    // N were present.
    struct Parsed
    {
        int declaredPacketCount = 0;
        quint8 versionMajor = 0;
        quint8 versionMinor = 0;
        qint64 d = 0;
        QList<QByteArray> packets;
        bool complete = false;
    };
    static bool parse(const QByteArray &file, Parsed *out, QString *error = nullptr);
};
