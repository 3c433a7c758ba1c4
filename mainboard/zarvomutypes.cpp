#include "mainboard/zarvomutypes.h"

#include <cstring>

QByteArray zarvoMuStatus::toBytes() const
{
    QByteArray b(6, '\0');
    b[0] = static_cast<char>((pgmSource & 0x0F) | ((pvwSource & 0x0F) << 4));
    b[1] = static_cast<char>((autokey & 1) | ((mixWipe & 1) << 1) | ((split & 1) << 2) | ((pipSplitPgm & 1) << 3)
                             | ((pipSplitPvw & 1) << 4) | ((keyerPgm & 1) << 5) | ((keyerPvw & 1) << 6)
                             | ((menu & 1) << 7));
    b[2] = static_cast<char>((pipSource & 0x0F) | ((splitSource & 0x0F) << 4));
    b[3] = static_cast<char>((keySource & 0x0F) | ((keyFillSource & 0x0F) << 4));
    b[4] = static_cast<char>((wipePattern & 0x7F) | ((reverse & 1) << 7));
    b[5] = static_cast<char>(unUsedByte);
    return b;
}

zarvoMuStatus zarvoMuStatus::fromBytes(const uint8_t *bytes, int len)
{
    uint8_t b[6] = {};
    if (bytes && len > 0)
        std::memcpy(b, bytes, static_cast<size_t>(len < 6 ? len : 6));
    zarvoMuStatus s;
    s.pgmSource = b[0] & 0x0F;
    s.pvwSource = (b[0] >> 4) & 0x0F;
    s.autokey = b[1] & 1;
    s.mixWipe = (b[1] >> 1) & 1;
    s.split = (b[1] >> 2) & 1;
    s.pipSplitPgm = (b[1] >> 3) & 1;
    s.pipSplitPvw = (b[1] >> 4) & 1;
    s.keyerPgm = (b[1] >> 5) & 1;
    s.keyerPvw = (b[1] >> 6) & 1;
    s.menu = (b[1] >> 7) & 1;
    s.pipSource = b[2] & 0x0F;
    s.splitSource = (b[2] >> 4) & 0x0F;
    s.keySource = b[3] & 0x0F;
    s.keyFillSource = (b[3] >> 4) & 0x0F;
    s.wipePattern = b[4] & 0x7F;
    s.reverse = (b[4] >> 7) & 1;
    s.unUsedByte = b[5];
    return s;
}

zarvoMuStatus zarvoMuStatus::fromBytes(const QByteArray &bytes)
{
    return fromBytes(reinterpret_cast<const uint8_t *>(bytes.constData()), bytes.size());
}

QString mbHex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString mbHex(const std::vector<uint8_t> &bytes)
{
    return mbHex(QByteArray(reinterpret_cast<const char *>(bytes.data()), static_cast<int>(bytes.size())));
}
