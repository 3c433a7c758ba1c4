#pragma once

// Types shared by everything that talks to the switcher mainboard: the frame
// in memory, the operation numbers, the byte values that go on the wire, the
// 6-byte status record and the four 8-byte user-menu records.
//
// The enumerations are plain (unscoped) enums because their enumerators are
// the bytes of the protocol and are used as such all over the control model;
// where a name is also a method name (readProgram, writeControl, ...) write
// it qualified: commandFunctionEnum::writeProgram. Write WipePattern::center
// qualified too: Qt 5.15 still brings a global QTextStream manipulator
// `center` into scope with <QDebug>.

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

// One operation per row of the operation table, in table order.
enum commandFunctionEnum : int {
    readProgram = 0,
    readPreset = 1,
    readkeyFillSrc = 2,
    readkeyKeySrc = 3,
    machineLive = 4,
    writeProgram = 5,
    writePreset = 6,
    writeKeyFillSrc = 7,
    writeKeyKeySrc = 8,
    writePipSrc = 9,
    writeSplitSrc = 10,
    readControl = 11,
    writeControl = 12,
    readPushButtonLamp = 13,
    writePushButtonLampOn = 14,
    writePushButtonLampOff = 15,
    readWipePattern = 16,
    writeWipePattern = 17,
    saveUserMem = 18,
    loadUserMem = 19,
    requestStatusPacket = 20,
    writeStatusPacket = 21,
    readDeviceType = 22,
    writeDeviceType = 23,
    readAutoTransRate = 24,
    writeAutoTransRate = 25,
    readMenuParam = 26,
    writeMenuParam = 27,
    readAuxSrc = 28,
    writeAuxSrc = 29,
    readSetup = 30,
    writeAuxMode = 31,
    readAuxMode = 32,
    readFwVersion = 33,
};
constexpr int commandFunctionCount = 34;

// Address byte of the 0x49 / 0xC9 family: a user-menu block (0..3), the aux
// output block (4); 5 is the aux mode.
enum userMenuEffectiveAddressEnum : int {
    colorBorderControl = 0,
    pipControl = 1,
    lumakeyAudioControl = 2,
    setupControl = 3,
    auxOutControlsAndKBVersion = 4,
};

// Address byte of readControl / writeControl. The T-bar lives at address 1.
enum EffectAddress : int {
    keyer1 = 0,
    keyer2 = 1,
    split = 2,
};

// A video source. `none` is never sent: reads that could not send return it.
enum CrossPoint : int {
    none = -1,
    black = 0,
    input1 = 1,
    input2 = 2,
    input3 = 3,
    input4 = 4,
    background = 5,
    colorBar = 6,
};

// Button (lamp) numbers; 7 to 16 are unused.
enum PushButtonLamp : int {
    autoTransition = 0,
    cutCommand = 1,
    reverseCommand = 2,
    splitCommand = 3,
    mixTransitionCommand = 4,
    wipeTransitionCommand = 5,
    presetCommand = 6,
    pipProgram = 17,
    pipPreview = 18,
    splitProgram = 19,
    splitPreview = 20,
    keyProgram = 21,
    keyPreview = 22,
};

enum WipePattern : int {
    LeftToRight = 0,
    topToBottom = 1,
    center = 2,
    reverse = 3,
};

enum DeviceType : int {
    unKnown = -1,
    VORNA = 0,
    ZARVOHD = 1,
    ZARVOMU = 2,
    TIMBRA = 3,
    ZARVOMU_4K = 4,
};

// One frame in memory. When a reply is decoded into it, the checksum byte is
// kept as the last element of `message`.
struct COMMANDFORMAT {
    commandFunctionEnum cmd_id = readProgram;
    uint8_t count = 0;
    uint8_t effectiveAddress = 0;
    uint8_t commandCode = 0;
    std::vector<uint8_t> message;

    COMMANDFORMAT() = default;
    COMMANDFORMAT(commandFunctionEnum id, uint8_t cnt, uint8_t address, uint8_t code,
                  std::vector<uint8_t> data = {})
        : cmd_id(id), count(cnt), effectiveAddress(address), commandCode(code), message(std::move(data))
    {
    }
    COMMANDFORMAT(const COMMANDFORMAT &other) = default;
    COMMANDFORMAT &operator=(const COMMANDFORMAT &other) = default;
    ~COMMANDFORMAT() = default;
};

// The switcher state: 6 bytes, the data of the 0xEE status frames. Fields
// are bit fields numbered from the least significant bit of their byte.
// toBytes()/fromBytes() use explicit shifts so the wire order never depends
// on how the compiler lays the bit fields out.
struct zarvoMuStatus {
    // byte 0
    uint8_t pgmSource : 4;
    uint8_t pvwSource : 4;
    // byte 1
    uint8_t autokey : 1;
    uint8_t mixWipe : 1;
    uint8_t split : 1;
    uint8_t pipSplitPgm : 1;
    uint8_t pipSplitPvw : 1;
    uint8_t keyerPgm : 1;
    uint8_t keyerPvw : 1;
    uint8_t menu : 1;
    // byte 2
    uint8_t pipSource : 4;
    uint8_t splitSource : 4;
    // byte 3
    uint8_t keySource : 4;
    uint8_t keyFillSource : 4;
    // byte 4
    uint8_t wipePattern : 7;
    uint8_t reverse : 1;
    // byte 5
    uint8_t unUsedByte;

    zarvoMuStatus() { clear(); }

    void clear()
    {
        pgmSource = pvwSource = 0;
        autokey = mixWipe = split = pipSplitPgm = pipSplitPvw = keyerPgm = keyerPvw = menu = 0;
        pipSource = splitSource = 0;
        keySource = keyFillSource = 0;
        wipePattern = 0;
        reverse = 0;
        unUsedByte = 0;
    }

    // Exactly 6 bytes, in wire order.
    QByteArray toBytes() const;
    // Takes the first 6 bytes; missing bytes read as zero.
    static zarvoMuStatus fromBytes(const QByteArray &bytes);
    static zarvoMuStatus fromBytes(const uint8_t *bytes, int len);

    bool operator==(const zarvoMuStatus &o) const { return toBytes() == o.toBytes(); }
    bool operator!=(const zarvoMuStatus &o) const { return !(*this == o); }
};

// The four user-menu blocks: 8 one-byte fields each, p0..p7 in declaration
// order on the wire. The link passes them through without range checks.
// Being eight single-byte members (checked below), a record's memory image
// is its wire order; the empty base adds no bytes.
template <typename R>
struct userMenuRecord {
    QByteArray toBytes() const { return QByteArray(reinterpret_cast<const char *>(self()), int(sizeof(R))); }
    // The 8 bytes at p8 (zero record for null).
    static R fromBytes(const uint8_t *p8)
    {
        R r;
        if (p8)
            std::memcpy(static_cast<void *>(&r), p8, sizeof(R));
        return r;
    }
    bool operator==(const R &o) const { return toBytes() == o.toBytes(); }

private:
    const R *self() const { return static_cast<const R *>(this); }
};

struct colorWipeBorderSetting : userMenuRecord<colorWipeBorderSetting> {
    uint8_t bkgColor = 0;
    uint8_t wipeBorderSize = 0;
    uint8_t wipeBorderColor = 0;
    uint8_t pipBorderSize = 0;
    uint8_t pipBorderColor = 0;
    uint8_t reserved1 = 0;
    uint8_t reserved2 = 0;
    uint8_t reserved3 = 0;
};

struct pipSetting : userMenuRecord<pipSetting> {
    uint8_t pipSize = 0;
    int8_t pipPositionX = 0;
    int8_t pipPositionY = 0;
    uint8_t pipCropSize = 0;
    uint8_t pipCropLeft = 0;
    uint8_t pipCropRight = 0;
    uint8_t pipCropTop = 0;
    uint8_t pipCropBottom = 0;
};

struct lumakeyAudioSetting : userMenuRecord<lumakeyAudioSetting> {
    uint8_t lumakeyMode = 0;
    uint8_t lumakeyCleanupLevel = 0;
    uint8_t lumakeyTransparency = 0;
    uint8_t audioMute = 0;
    uint8_t audioHdmiInput = 0;
    uint8_t audioHdmiGroup = 0;
    uint8_t audioLevel = 0;
    uint8_t audioTallyMode = 0;
};

struct machineInfoSetting : userMenuRecord<machineInfoSetting> {
    uint8_t pgmOutResolution = 0;
    uint8_t multiviewOutResolution = 0;
    uint8_t language = 0;
    uint8_t motherboardMajorVersion = 0;
    uint8_t motherboardMinorVersion = 0;
    uint8_t osdMajorVersion = 0;
    uint8_t osdMinorVersion = 0;
    uint8_t outputFormat = 0;
};

static_assert(sizeof(colorWipeBorderSetting) == 8, "user-menu records are 8 bytes");
static_assert(sizeof(pipSetting) == 8, "user-menu records are 8 bytes");
static_assert(sizeof(lumakeyAudioSetting) == 8, "user-menu records are 8 bytes");
static_assert(sizeof(machineInfoSetting) == 8, "user-menu records are 8 bytes");

// "03 00 6E 71": how frames appear in the log.
QString mbHex(const QByteArray &bytes);
QString mbHex(const std::vector<uint8_t> &bytes);

Q_DECLARE_METATYPE(zarvoMuStatus)
Q_DECLARE_METATYPE(colorWipeBorderSetting)
Q_DECLARE_METATYPE(pipSetting)
Q_DECLARE_METATYPE(lumakeyAudioSetting)
Q_DECLARE_METATYPE(machineInfoSetting)
