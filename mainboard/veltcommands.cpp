#include "mainboard/veltcommands.h"

#include "mainboard/mainboardlog.h"

#include <QDebug>

veltCommands::veltCommands(QObject *parent) : QObject(parent) {}

QString veltCommands::getProtocolVersion() const
{
    return QStringLiteral("1.9");
}

qint8 veltCommands::cmdEncode(int readWrite, VELTMINI_COMMANDS code, qint8 effect, QByteArray message, QByteArray *out)
{
    if (!out) {
        qCWarning(lcMainboard) << "[ERR] cmdEncode: no output buffer";
        return 0;
    }
    out->clear();
    const char eff = static_cast<char>(effect);
    const char cmd = static_cast<char>(code);
    // A message shorter than the frame needs reads as zero bytes.
    const char first = message.isEmpty() ? '\0' : message.at(0);

    if (readWrite == 0) {
        const bool shortRead = code == VELT_READ_VERSION || code == VELT_READ_PGM || code == VELT_READ_KEYSOURCE
                               || code == VELT_READ_DEVICETYPE;
        const char count = shortRead ? 3 : 4;
        out->append(count).append(eff).append(cmd);
        if (count == 4)
            out->append(first);
    } else if (readWrite == 1) {
        switch (code) {
        case VELT_WRITE_PGM:
        case VELT_WRITE_KEYSOURCE:
        case VELT_WRITE_PBLAMPON:
        case VELT_WRITE_PBLAMPOFF:
            out->append('\x04').append(eff).append(cmd).append(first);
            break;
        case VELT_WRITE_PIPLUMAKEY:
        case VELT_WRITE_TRANSMODE:
        case VELT_WRITE_AUDIO:
            out->append('\x05').append(eff).append(cmd).append(message);
            break;
        case VELT_SAVE_USERMEM:
        case VELT_LOAD_USERMEM:
        case VELT_WRITE_PPTMODE:
        case VELT_WRITE_DEVICETYPE:
            out->append('\x04').append('\x00').append(cmd).append(message);
            break;
        case VELT_FIRMWARE_UPDATE:
            out->append('\x03').append(eff).append(cmd);
            break;
        case VELT_FACTORY_DEFAULT:
            out->append('\x03').append('\x00').append(cmd);
            break;
        default:
            break;
        }
    }

    // Sum bytes 0 .. count-1 in 8-bit arithmetic; bytes the message did not
    // supply count as zero, so a short message cannot read past the frame.
    const int count = out->isEmpty() ? 0 : static_cast<uint8_t>(out->at(0));
    uint8_t sum = 0;
    for (int i = 0; i < count && i < out->size(); ++i)
        sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(out->at(i)));
    out->append(static_cast<char>(sum));
    return static_cast<qint8>(sum);
}
