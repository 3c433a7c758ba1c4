#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// Command codes of the compact frame variant. A write code is its read code
// plus 0x80 where both exist.
enum VELTMINI_COMMANDS : int {
    VELT_READ_PGM = 0x41,
    VELT_READ_KEYSOURCE = 0x44,
    VELT_READ_AUDIO = 0x45,
    VELT_READ_PBLAMPON = 0x46,
    VELT_READ_PBLAMPOFF = 0x47,
    VELT_READ_PIPLUMAKEY = 0x48,
    VELT_READ_TRANSMODE = 0x4A,
    VELT_READ_FIRMWAREUPD = 0x6B,
    VELT_READ_VERSION = 0x6C,
    VELT_READ_PPTMODE = 0x6D,
    VELT_READ_DEVICETYPE = 0x6F,
    VELT_WRITE_PGM = 0xC1,
    VELT_WRITE_KEYSOURCE = 0xC4,
    VELT_WRITE_AUDIO = 0xC5,
    VELT_WRITE_PBLAMPON = 0xC6,
    VELT_WRITE_PBLAMPOFF = 0xC7,
    VELT_WRITE_PIPLUMAKEY = 0xC8,
    VELT_WRITE_TRANSMODE = 0xCA,
    VELT_SAVE_USERMEM = 0xDA,
    VELT_LOAD_USERMEM = 0xDB,
    VELT_FIRMWARE_UPDATE = 0xEB,
    VELT_WRITE_PPTMODE = 0xED,
    VELT_WRITE_DEVICETYPE = 0xEF,
    VELT_FACTORY_DEFAULT = 0xFF,
};

// Encoder for the compact variant of the mainboard frame (count, effect,
// code, data, checksum). Carried beside the mainboard link; nothing in the
// panel sends these frames.
class veltCommands : public QObject
{
    Q_OBJECT
public:
    explicit veltCommands(QObject *parent = nullptr);

    QString getProtocolVersion() const;

    // readWrite 0 = read, 1 = write. Leaves the frame in *out and returns its
    // checksum byte as a signed value. A null `out` yields 0 and no frame.
    qint8 cmdEncode(int readWrite, VELTMINI_COMMANDS code, qint8 effect, QByteArray message, QByteArray *out);
};
