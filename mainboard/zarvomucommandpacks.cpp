#include "mainboard/zarvomucommandpacks.h"

#include "mainboard/mainboardlog.h"

#include <QDebug>

#include <array>

namespace {

// The operation table, indexed by commandFunctionEnum. Built on first use
// (before main() in practice) and never changed.
const std::array<COMMANDFORMAT, commandFunctionCount> &operationTable()
{
    static const std::array<COMMANDFORMAT, commandFunctionCount> table = {{
        {readProgram, 3, 0, 0x41},
        {readPreset, 3, 0, 0x42},
        {readkeyFillSrc, 3, 0, 0x43},
        {readkeyKeySrc, 3, 0, 0x44},
        {machineLive, 3, 0, 0x01},
        {commandFunctionEnum::writeProgram, 4, 0, 0xC1, {0x00}},
        {commandFunctionEnum::writePreset, 4, 0, 0xC2, {0x00}},
        {commandFunctionEnum::writeKeyFillSrc, 4, 0, 0xC3, {0x00}},
        {commandFunctionEnum::writeKeyKeySrc, 4, 0, 0xC4, {0x00}},
        {commandFunctionEnum::writePipSrc, 4, 1, 0xC4, {0x00}},
        {commandFunctionEnum::writeSplitSrc, 4, 2, 0xC4, {0x00}},
        {commandFunctionEnum::readControl, 4, 0, 0x45},
        {commandFunctionEnum::writeControl, 6, 0, 0xC5},
        {commandFunctionEnum::readPushButtonLamp, 4, 0, 0x47},
        {commandFunctionEnum::writePushButtonLampOn, 4, 0, 0xC6, {0x00}},
        {commandFunctionEnum::writePushButtonLampOff, 4, 0, 0xC7, {0x00}},
        {commandFunctionEnum::readWipePattern, 3, 0, 0x48},
        {commandFunctionEnum::writeWipePattern, 4, 0, 0xC8, {0x00}},
        {saveUserMem, 4, 0, 0xDA, {0x00}},
        {loadUserMem, 4, 0, 0xDB, {0x00}},
        {requestStatusPacket, 3, 0, 0x6E},
        {writeStatusPacket, 9, 0, 0xEE},
        {commandFunctionEnum::readDeviceType, 3, 0, 0x6F},
        {commandFunctionEnum::writeDeviceType, 4, 0, 0xEF, {0x02}},
        {commandFunctionEnum::readAutoTransRate, 3, 0, 0x4C},
        {commandFunctionEnum::writeAutoTransRate, 4, 0, 0xCC},
        {readMenuParam, 3, 2, 0x49},
        {writeMenuParam, 11, 2, 0xC9},
        {commandFunctionEnum::readAuxSrc, 3, 4, 0x49},
        {commandFunctionEnum::writeAuxSrc, 4, 4, 0xC9, {0x05}},
        {readSetup, 3, 3, 0xC9},
        {commandFunctionEnum::writeAuxMode, 15, 5, 0xC9, {0x05}},
        {commandFunctionEnum::readAuxMode, 3, 5, 0x49},
        {commandFunctionEnum::readFwVersion, 3, 0, 0xEC},
    }};
    return table;
}

uint8_t low(int v) { return static_cast<uint8_t>(v & 0xFF); }

} // namespace

COMMANDFORMAT zarvoMuCommandPacks::getCommandFormat(commandFunctionEnum cmd) const
{
    const int i = static_cast<int>(cmd);
    if (i < 0 || i >= commandFunctionCount)
        return COMMANDFORMAT();
    return operationTable()[static_cast<size_t>(i)];
}

QByteArray zarvoMuCommandPacks::getPacks(const COMMANDFORMAT &format) const
{
    // Exactly count + 1 bytes, zero-filled: data missing from the row reads
    // as zero and the checksum position stays zero. Data beyond the checksum
    // position is not copied, so it can never corrupt the sum.
    const int len = format.count + 1;
    QByteArray frame(len, '\0');
    const uint8_t header[3] = {format.count, format.effectiveAddress, format.commandCode};
    for (int i = 0; i < 3 && i < len; ++i)
        frame[i] = static_cast<char>(header[i]);
    int pos = 3;
    for (uint8_t b : format.message) {
        if (pos >= format.count)
            break;
        frame[pos++] = static_cast<char>(b);
    }
    return frame;
}

quint32 zarvoMuCommandPacks::calcCheckSum(const QByteArray &bytes)
{
    quint32 sum = 0;
    for (char c : bytes)
        sum += static_cast<uint8_t>(c);
    return sum;
}

quint8 zarvoMuCommandPacks::truncateCheckSum(quint32 sum)
{
    return static_cast<quint8>(sum & 0xFFu);
}

quint8 zarvoMuCommandPacks::calcCheckSumByte(const QByteArray &bytes)
{
    return truncateCheckSum(calcCheckSum(bytes));
}

QByteArray zarvoMuCommandPacks::finish(const COMMANDFORMAT &row) const
{
    QByteArray frame = getPacks(row);
    if (frame.size() > row.count)
        frame[row.count] = static_cast<char>(calcCheckSumByte(frame));
    return frame;
}

QByteArray zarvoMuCommandPacks::withData(commandFunctionEnum op, std::vector<uint8_t> data) const
{
    COMMANDFORMAT row = getCommandFormat(op);
    row.message = std::move(data);
    return finish(row);
}

QByteArray zarvoMuCommandPacks::readProgramPacks() const { return finish(getCommandFormat(readProgram)); }
QByteArray zarvoMuCommandPacks::readPresetPacks() const { return finish(getCommandFormat(readPreset)); }
QByteArray zarvoMuCommandPacks::readKeyFillPacks() const { return finish(getCommandFormat(readkeyFillSrc)); }
QByteArray zarvoMuCommandPacks::readKeyKeySrcPacks() const { return finish(getCommandFormat(readkeyKeySrc)); }

QByteArray zarvoMuCommandPacks::writeProgramPacks(CrossPoint src) const
{
    return withData(commandFunctionEnum::writeProgram, {low(src)});
}
QByteArray zarvoMuCommandPacks::writePresetPacks(CrossPoint src) const
{
    return withData(commandFunctionEnum::writePreset, {low(src)});
}
QByteArray zarvoMuCommandPacks::writeKeyFillSrcPacks(CrossPoint src) const
{
    return withData(commandFunctionEnum::writeKeyFillSrc, {low(src)});
}
QByteArray zarvoMuCommandPacks::writeKeyKeySrcPacks(CrossPoint src) const
{
    return withData(commandFunctionEnum::writeKeyKeySrc, {low(src)});
}
QByteArray zarvoMuCommandPacks::writePipSrcPacks(CrossPoint src) const
{
    return withData(commandFunctionEnum::writePipSrc, {low(src)});
}
QByteArray zarvoMuCommandPacks::writeSplitSrcPacks(CrossPoint src) const
{
    return withData(commandFunctionEnum::writeSplitSrc, {low(src)});
}

QByteArray zarvoMuCommandPacks::readControlPacks(EffectAddress address) const
{
    COMMANDFORMAT row = getCommandFormat(commandFunctionEnum::readControl);
    row.effectiveAddress = low(address);
    row.message = {0x00};
    return finish(row);
}

QByteArray zarvoMuCommandPacks::writeControlPacks(EffectAddress address, quint16 value) const
{
    COMMANDFORMAT row = getCommandFormat(commandFunctionEnum::writeControl);
    row.effectiveAddress = low(address);
    row.message = {0x00, static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8)};
    return finish(row);
}

QByteArray zarvoMuCommandPacks::readPushButtonLampPacks(PushButtonLamp lamp) const
{
    return withData(commandFunctionEnum::readPushButtonLamp, {low(lamp)});
}
QByteArray zarvoMuCommandPacks::writePushButtonLampPacksOn(PushButtonLamp lamp) const
{
    return withData(commandFunctionEnum::writePushButtonLampOn, {low(lamp)});
}
QByteArray zarvoMuCommandPacks::writePushButtonLampPacksOff(PushButtonLamp lamp) const
{
    return withData(commandFunctionEnum::writePushButtonLampOff, {low(lamp)});
}

QByteArray zarvoMuCommandPacks::readWipePatternPacks() const
{
    return finish(getCommandFormat(commandFunctionEnum::readWipePattern));
}
QByteArray zarvoMuCommandPacks::writeWipePatternPacks(WipePattern pattern) const
{
    return withData(commandFunctionEnum::writeWipePattern, {low(pattern)});
}

QByteArray zarvoMuCommandPacks::loadUserMemoryPacks(quint16 number) const
{
    if (number > 6) {
        qCWarning(lcMainboard) << "[ERR] number out of range:" << number;
        return QByteArray();
    }
    return withData(loadUserMem, {low(number)});
}

QByteArray zarvoMuCommandPacks::saveUserMemoryPacks(quint16 number) const
{
    if (number > 6) {
        qCWarning(lcMainboard) << "[ERR] number out of range:" << number;
        return QByteArray();
    }
    return withData(saveUserMem, {low(number)});
}

QByteArray zarvoMuCommandPacks::loadFactoryDefaultPacks() const { return withData(loadUserMem, {0x00}); }
QByteArray zarvoMuCommandPacks::saveSetupPacks() const { return withData(saveUserMem, {0xFF}); }

QByteArray zarvoMuCommandPacks::machineLivePacks() const { return withData(machineLive, {}); }
QByteArray zarvoMuCommandPacks::requestStatusPacks() const { return finish(getCommandFormat(requestStatusPacket)); }

QByteArray zarvoMuCommandPacks::updateStatusPacks(const zarvoMuStatus &status) const
{
    const QByteArray s = status.toBytes();
    return withData(writeStatusPacket, std::vector<uint8_t>(s.begin(), s.end()));
}

QByteArray zarvoMuCommandPacks::readDeviceTypePacks() const
{
    return finish(getCommandFormat(commandFunctionEnum::readDeviceType));
}
QByteArray zarvoMuCommandPacks::writeDeviceTypePacks(quint16 type) const
{
    return withData(commandFunctionEnum::writeDeviceType, {low(type)});
}

QByteArray zarvoMuCommandPacks::readAutoTransRatePacks() const
{
    return finish(getCommandFormat(commandFunctionEnum::readAutoTransRate));
}
QByteArray zarvoMuCommandPacks::writeAutoTransRatePacks(quint16 rate) const
{
    return withData(commandFunctionEnum::writeAutoTransRate, {low(rate)});
}

QByteArray zarvoMuCommandPacks::readUserParamPacks(int block) const
{
    COMMANDFORMAT row = getCommandFormat(readMenuParam);
    row.effectiveAddress = low(block);
    const QByteArray frame = finish(row);
    qCDebug(lcMainboard).noquote() << "readUserParamPacks:" << mbHex(frame);
    return frame;
}

QByteArray zarvoMuCommandPacks::writeUserParamPacks(int block, const uint8_t *bytes) const
{
    if (block < 0 || block > 3) {
        qCWarning(lcMainboard) << "[ERR] effectAddrType > " << block;
        return QByteArray();
    }
    if (!bytes) {
        qCWarning(lcMainboard) << "[ERR] writeUserParamPacks: no block bytes";
        return QByteArray();
    }
    COMMANDFORMAT row = getCommandFormat(writeMenuParam);
    row.effectiveAddress = low(block);
    row.message.assign(bytes, bytes + 8);
    return finish(row);
}

QByteArray zarvoMuCommandPacks::writeColorBorderUserParamPacks(const colorWipeBorderSetting &setting) const
{
    const QByteArray b = setting.toBytes();
    return writeUserParamPacks(colorBorderControl, reinterpret_cast<const uint8_t *>(b.constData()));
}

QByteArray zarvoMuCommandPacks::writePipUserParamPacks(const pipSetting &setting) const
{
    const QByteArray b = setting.toBytes();
    return writeUserParamPacks(pipControl, reinterpret_cast<const uint8_t *>(b.constData()));
}

QByteArray zarvoMuCommandPacks::writeLumaAudioUserParamPacks(const lumakeyAudioSetting &setting) const
{
    const QByteArray b = setting.toBytes();
    return writeUserParamPacks(lumakeyAudioControl, reinterpret_cast<const uint8_t *>(b.constData()));
}

QByteArray zarvoMuCommandPacks::writeMachineInfoUserParamPacks(const machineInfoSetting &setting) const
{
    qCDebug(lcMainboard) << "writeMachineInfoUserParamPacks...";
    const QByteArray b = setting.toBytes();
    return writeUserParamPacks(setupControl, reinterpret_cast<const uint8_t *>(b.constData()));
}

QByteArray zarvoMuCommandPacks::readAuxSrcPacks() const
{
    return finish(getCommandFormat(commandFunctionEnum::readAuxSrc));
}
QByteArray zarvoMuCommandPacks::writeAuxSrcPacks(CrossPoint src) const
{
    return withData(commandFunctionEnum::writeAuxSrc, {low(src)});
}

QByteArray zarvoMuCommandPacks::writeAuxModePacks(int mode) const
{
    qCDebug(lcMainboard) << "writeAuxModePacks: 00000 : " << mode;
    const QByteArray frame = withData(commandFunctionEnum::writeAuxMode, {low(mode)});
    qCDebug(lcMainboard).noquote() << "writeAuxModePacks: 111111 : " << mbHex(frame);
    return frame;
}

QByteArray zarvoMuCommandPacks::readAuxModePacks() const
{
    return finish(getCommandFormat(commandFunctionEnum::readAuxMode));
}
QByteArray zarvoMuCommandPacks::readFwVersionPacks() const
{
    return finish(getCommandFormat(commandFunctionEnum::readFwVersion));
}
