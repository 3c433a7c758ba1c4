#pragma once

#include "mainboard/zarvomutypes.h"

#include <QByteArray>

// Turns an operation and its arguments into a ready-to-send mainboard frame:
// count, address, command code, data, checksum. Stateless and free of I/O;
// the only side effects are the log lines the protocol's users rely on.
// The two range checks (user memory above 6, user-menu block outside 0..3)
// yield an empty frame.
class zarvoMuCommandPacks
{
public:
    zarvoMuCommandPacks() = default;

    // Primitives.
    // Copy of the operation-table row (an empty row for a value outside the table).
    COMMANDFORMAT getCommandFormat(commandFunctionEnum cmd) const;
    // count, address, code, then the data bytes that fit before the checksum
    // position; exactly count + 1 bytes, the checksum position left zero.
    QByteArray getPacks(const COMMANDFORMAT &format) const;
    static quint32 calcCheckSum(const QByteArray &bytes);
    static quint8 truncateCheckSum(quint32 sum);
    static quint8 calcCheckSumByte(const QByteArray &bytes);

    // Builders, one per operation of the table.
    QByteArray readProgramPacks() const;
    QByteArray readPresetPacks() const;
    QByteArray readKeyFillPacks() const;
    QByteArray readKeyKeySrcPacks() const;

    QByteArray writeProgramPacks(CrossPoint src) const;
    QByteArray writePresetPacks(CrossPoint src) const;
    QByteArray writeKeyFillSrcPacks(CrossPoint src) const;
    QByteArray writeKeyKeySrcPacks(CrossPoint src) const;
    QByteArray writePipSrcPacks(CrossPoint src) const;
    QByteArray writeSplitSrcPacks(CrossPoint src) const;

    QByteArray readControlPacks(EffectAddress address) const;
    QByteArray writeControlPacks(EffectAddress address, quint16 value) const;

    QByteArray readPushButtonLampPacks(PushButtonLamp lamp) const;
    QByteArray writePushButtonLampPacksOn(PushButtonLamp lamp) const;
    QByteArray writePushButtonLampPacksOff(PushButtonLamp lamp) const;

    QByteArray readWipePatternPacks() const;
    QByteArray writeWipePatternPacks(WipePattern pattern) const;

    QByteArray loadUserMemoryPacks(quint16 number) const;
    QByteArray saveUserMemoryPacks(quint16 number) const;
    QByteArray loadFactoryDefaultPacks() const;
    QByteArray saveSetupPacks() const;

    QByteArray machineLivePacks() const;
    QByteArray requestStatusPacks() const;
    QByteArray updateStatusPacks(const zarvoMuStatus &status) const;

    QByteArray readDeviceTypePacks() const;
    QByteArray writeDeviceTypePacks(quint16 type) const;

    QByteArray readAutoTransRatePacks() const;
    QByteArray writeAutoTransRatePacks(quint16 rate) const;

    QByteArray readUserParamPacks(int block) const;
    // `bytes` points at the block's 8 bytes.
    QByteArray writeUserParamPacks(int block, const uint8_t *bytes) const;
    QByteArray writeColorBorderUserParamPacks(const colorWipeBorderSetting &setting) const;
    QByteArray writePipUserParamPacks(const pipSetting &setting) const;
    QByteArray writeLumaAudioUserParamPacks(const lumakeyAudioSetting &setting) const;
    QByteArray writeMachineInfoUserParamPacks(const machineInfoSetting &setting) const;

    QByteArray readAuxSrcPacks() const;
    QByteArray writeAuxSrcPacks(CrossPoint src) const;
    QByteArray writeAuxModePacks(int mode) const;
    QByteArray readAuxModePacks() const;
    QByteArray readFwVersionPacks() const;

private:
    // getPacks plus the checksum at index count.
    QByteArray finish(const COMMANDFORMAT &row) const;
    QByteArray withData(commandFunctionEnum op, std::vector<uint8_t> data) const;
};
