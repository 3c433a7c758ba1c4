// The mainboard frame codec: operation table, builders, checksum, status and
// user-menu records, acknowledgement check. Pure functions, tested row by row.

#include "helper_logcapture.h"
#include "mainboard/zarvomu.h"
#include "mainboard/zarvomucommandpacks.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

QByteArray hex(const char *s) { return QByteArray::fromHex(s); }

// Independent reference: the frame's last byte is the low byte of the sum
// of all bytes before it.
QByteArray withSum(const QByteArray &body)
{
    unsigned sum = 0;
    for (unsigned char c : body)
        sum += c;
    return body + char(sum % 256);
}

} // namespace

class TstMainboardFrames : public QObject
{
    Q_OBJECT

private slots:
    void operationTable_data();
    void operationTable();
    void builders_data();
    void builders();
    void edgeCaseFrames_data();
    void edgeCaseFrames();
    void rangeChecks();
    void builderLogLines();
    void getPacksZeroFillsAndNeverOverruns();
    void checksumMatchesReference();
    void statusFieldBits_data();
    void statusFieldBits();
    void statusRoundTrip();
    void menuRecordFieldOrder();
    void ackCheck_data();
    void ackCheck();
    void decodedChecksumCheck();
    void enumerationValues();
};

void TstMainboardFrames::operationTable_data()
{
    QTest::addColumn<int>("op");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("data");
    auto row = [](const char *name, int op, int count, int address, int code, const char *data = "") {
        QTest::newRow(name) << op << count << address << code << hex(data);
    };
    row("readProgram", 0, 3, 0, 0x41);
    row("readPreset", 1, 3, 0, 0x42);
    row("readkeyFillSrc", 2, 3, 0, 0x43);
    row("readkeyKeySrc", 3, 3, 0, 0x44);
    row("machineLive", 4, 3, 0, 0x01);
    row("writeProgram", 5, 4, 0, 0xC1, "00");
    row("writePreset", 6, 4, 0, 0xC2, "00");
    row("writeKeyFillSrc", 7, 4, 0, 0xC3, "00");
    row("writeKeyKeySrc", 8, 4, 0, 0xC4, "00");
    row("writePipSrc", 9, 4, 1, 0xC4, "00");
    row("writeSplitSrc", 10, 4, 2, 0xC4, "00");
    row("readControl", 11, 4, 0, 0x45);
    row("writeControl", 12, 6, 0, 0xC5);
    row("readPushButtonLamp", 13, 4, 0, 0x47);
    row("writePushButtonLampOn", 14, 4, 0, 0xC6, "00");
    row("writePushButtonLampOff", 15, 4, 0, 0xC7, "00");
    row("readWipePattern", 16, 3, 0, 0x48);
    row("writeWipePattern", 17, 4, 0, 0xC8, "00");
    row("saveUserMem", 18, 4, 0, 0xDA, "00");
    row("loadUserMem", 19, 4, 0, 0xDB, "00");
    row("requestStatusPacket", 20, 3, 0, 0x6E);
    row("writeStatusPacket", 21, 9, 0, 0xEE);
    row("readDeviceType", 22, 3, 0, 0x6F);
    row("writeDeviceType", 23, 4, 0, 0xEF, "02");
    row("readAutoTransRate", 24, 3, 0, 0x4C);
    row("writeAutoTransRate", 25, 4, 0, 0xCC);
    row("readMenuParam", 26, 3, 2, 0x49);
    row("writeMenuParam", 27, 11, 2, 0xC9);
    row("readAuxSrc", 28, 3, 4, 0x49);
    row("writeAuxSrc", 29, 4, 4, 0xC9, "05");
    row("readSetup", 30, 3, 3, 0xC9);
    row("writeAuxMode", 31, 15, 5, 0xC9, "05");
    row("readAuxMode", 32, 3, 5, 0x49);
    row("readFwVersion", 33, 3, 0, 0xEC);
}

void TstMainboardFrames::operationTable()
{
    QFETCH(int, op);
    QFETCH(int, count);
    QFETCH(int, address);
    QFETCH(int, code);
    QFETCH(QByteArray, data);
    const COMMANDFORMAT row = zarvoMuCommandPacks().getCommandFormat(static_cast<commandFunctionEnum>(op));
    QCOMPARE(int(row.cmd_id), op);
    QCOMPARE(int(row.count), count);
    QCOMPARE(int(row.effectiveAddress), address);
    QCOMPARE(int(row.commandCode), code);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(row.message.data()), int(row.message.size())), data);
}

void TstMainboardFrames::builders_data()
{
    QTest::addColumn<QByteArray>("built");
    QTest::addColumn<QByteArray>("expected"); // without the checksum
    const zarvoMuCommandPacks p;
    zarvoMuStatus st = zarvoMuStatus::fromBytes(hex("216B03120507"));
    colorWipeBorderSetting cb;
    cb.bkgColor = 1; cb.wipeBorderSize = 2; cb.wipeBorderColor = 3; cb.pipBorderSize = 4;
    cb.pipBorderColor = 5; cb.reserved1 = 6; cb.reserved2 = 7; cb.reserved3 = 8;
    pipSetting pip;
    pip.pipSize = 50; pip.pipPositionX = -10; pip.pipPositionY = 20; pip.pipCropSize = 1;
    pip.pipCropLeft = 2; pip.pipCropRight = 3; pip.pipCropTop = 4; pip.pipCropBottom = 5;
    lumakeyAudioSetting la;
    la.lumakeyMode = 1; la.lumakeyCleanupLevel = 40; la.lumakeyTransparency = 64; la.audioMute = 1;
    la.audioHdmiInput = 4; la.audioHdmiGroup = 3; la.audioLevel = 2; la.audioTallyMode = 1;
    machineInfoSetting mi;
    mi.pgmOutResolution = 9; mi.multiviewOutResolution = 10; mi.language = 2; mi.motherboardMajorVersion = 1;
    mi.motherboardMinorVersion = 7; mi.osdMajorVersion = 3; mi.osdMinorVersion = 4; mi.outputFormat = 2;

    auto row = [](const char *name, const QByteArray &built, const char *body) {
        QTest::newRow(name) << built << hex(body);
    };
    row("readProgramPacks", p.readProgramPacks(), "030041");
    row("readPresetPacks", p.readPresetPacks(), "030042");
    row("readKeyFillPacks", p.readKeyFillPacks(), "030043");
    row("readKeyKeySrcPacks", p.readKeyKeySrcPacks(), "030044");
    row("machineLivePacks", p.machineLivePacks(), "030001");
    row("writeProgramPacks", p.writeProgramPacks(input3), "0400C103");
    row("writePresetPacks", p.writePresetPacks(colorBar), "0400C206");
    row("writeKeyFillSrcPacks", p.writeKeyFillSrcPacks(input1), "0400C301");
    row("writeKeyKeySrcPacks", p.writeKeyKeySrcPacks(input2), "0400C402");
    row("writePipSrcPacks", p.writePipSrcPacks(input4), "0401C404");
    row("writeSplitSrcPacks", p.writeSplitSrcPacks(background), "0402C405");
    row("readControlPacks keyer1", p.readControlPacks(keyer1), "04004500");
    row("readControlPacks T-bar", p.readControlPacks(keyer2), "04014500");
    row("readControlPacks split", p.readControlPacks(split), "04024500");
    row("writeControlPacks T-bar 1023", p.writeControlPacks(keyer2, 1023), "0601C500FF03");
    row("writeControlPacks split 0xFFFF", p.writeControlPacks(split, 0xFFFF), "0602C500FFFF");
    row("readPushButtonLampPacks", p.readPushButtonLampPacks(keyPreview), "04004716");
    row("writePushButtonLampPacksOn", p.writePushButtonLampPacksOn(cutCommand), "0400C601");
    row("writePushButtonLampPacksOff", p.writePushButtonLampPacksOff(pipProgram), "0400C711");
    row("readWipePatternPacks", p.readWipePatternPacks(), "030048");
    row("writeWipePatternPacks", p.writeWipePatternPacks(WipePattern::center), "0400C802");
    row("loadUserMemoryPacks 0", p.loadUserMemoryPacks(0), "0400DB00");
    row("saveUserMemoryPacks 6", p.saveUserMemoryPacks(6), "0400DA06");
    row("loadFactoryDefaultPacks", p.loadFactoryDefaultPacks(), "0400DB00");
    row("saveSetupPacks", p.saveSetupPacks(), "0400DAFF");
    row("requestStatusPacks", p.requestStatusPacks(), "03006E");
    row("updateStatusPacks", p.updateStatusPacks(st), "0900EE216B03120507");
    row("readDeviceTypePacks", p.readDeviceTypePacks(), "03006F");
    row("writeDeviceTypePacks", p.writeDeviceTypePacks(0x0104), "0400EF04");
    row("readAutoTransRatePacks", p.readAutoTransRatePacks(), "03004C");
    row("writeAutoTransRatePacks", p.writeAutoTransRatePacks(0x0120), "0400CC20");
    row("readUserParamPacks 0", p.readUserParamPacks(colorBorderControl), "030049");
    row("readUserParamPacks 3", p.readUserParamPacks(setupControl), "030349");
    row("writeColorBorderUserParamPacks", p.writeColorBorderUserParamPacks(cb), "0B00C90102030405060708");
    row("writePipUserParamPacks", p.writePipUserParamPacks(pip), "0B01C932F61401020304 05");
    row("writeLumaAudioUserParamPacks", p.writeLumaAudioUserParamPacks(la), "0B02C9012840010403 0201");
    row("writeMachineInfoUserParamPacks", p.writeMachineInfoUserParamPacks(mi), "0B03C9090A0201070304 02");
    row("readAuxSrcPacks", p.readAuxSrcPacks(), "030449");
    row("writeAuxSrcPacks", p.writeAuxSrcPacks(input2), "0404C902");
    row("writeAuxModePacks", p.writeAuxModePacks(1), "0F05C9010000000000000000000000");
    row("readAuxModePacks", p.readAuxModePacks(), "030549");
    row("readFwVersionPacks", p.readFwVersionPacks(), "0300EC");
}

void TstMainboardFrames::builders()
{
    QFETCH(QByteArray, built);
    QFETCH(QByteArray, expected);
    QCOMPARE(built.toHex(' '), withSum(expected).toHex(' '));
    // The count byte always says how many bytes follow it.
    QCOMPARE(int(quint8(built.at(0))) + 1, built.size());
}

void TstMainboardFrames::edgeCaseFrames_data()
{
    QTest::addColumn<QByteArray>("built");
    QTest::addColumn<QByteArray>("expected");
    const zarvoMuCommandPacks p;
    pipSetting allFF;
    allFF = pipSetting::fromBytes(reinterpret_cast<const uint8_t *>(QByteArray(8, '\xFF').constData()));
    QTest::newRow("status request") << p.requestStatusPacks() << hex("03006E71");
    QTest::newRow("program read") << p.readProgramPacks() << hex("03004144");
    QTest::newRow("aux source read") << p.readAuxSrcPacks() << hex("03044950");
    QTest::newRow("firmware version read") << p.readFwVersionPacks() << hex("0300ECEF");
    QTest::newRow("writeControl keyer2 0x0123") << p.writeControlPacks(keyer2, 0x0123) << hex("0601C5002301F0");
    QTest::newRow("writeAuxMode 2: 16 bytes") << p.writeAuxModePacks(2) << hex("0F05C90200000000000000000000 00DF");
    QTest::newRow("load user memory 6") << p.loadUserMemoryPacks(6) << hex("0400DB06E5");
    // Sum 2253 = 0x8CD: only the low byte is kept.
    QTest::newRow("pip block all FF") << p.writePipUserParamPacks(allFF) << hex("0B01C9FFFFFFFFFFFFFFFFCD");
}

void TstMainboardFrames::edgeCaseFrames()
{
    QFETCH(QByteArray, built);
    QFETCH(QByteArray, expected);
    QCOMPARE(built.toHex(' '), expected.toHex(' '));
}

void TstMainboardFrames::rangeChecks()
{
    LogCapture log;
    const zarvoMuCommandPacks p;
    QVERIFY(p.loadUserMemoryPacks(7).isEmpty());
    QCOMPARE(log.starting("[ERR] number out of range:").value(0), QString("[ERR] number out of range: 7"));
    QVERIFY(p.saveUserMemoryPacks(0xFFFF).isEmpty());
    QVERIFY(log.contains("[ERR] number out of range: 65535"));

    const uint8_t bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    log.clear();
    QVERIFY(p.writeUserParamPacks(4, bytes).isEmpty());
    QCOMPARE(log.starting("[ERR] effectAddrType > ").value(0), QString("[ERR] effectAddrType >  4"));
    QVERIFY(p.writeUserParamPacks(-1, bytes).isEmpty());
    QVERIFY(p.writeUserParamPacks(1, nullptr).isEmpty());
    QCOMPARE(p.writeUserParamPacks(3, bytes), withSum(hex("0B03C90102030405060708")));
}

void TstMainboardFrames::builderLogLines()
{
    LogCapture log;
    const zarvoMuCommandPacks p;
    p.writeAuxModePacks(2);
    QCOMPARE(log.messages().value(0), QString("writeAuxModePacks: 00000 :  2"));
    QCOMPARE(log.messages().value(1),
             QString("writeAuxModePacks: 111111 :  0F 05 C9 02 00 00 00 00 00 00 00 00 00 00 00 DF"));
    log.clear();
    p.writeMachineInfoUserParamPacks(machineInfoSetting());
    QCOMPARE(log.messages().value(0), QString("writeMachineInfoUserParamPacks..."));
    log.clear();
    p.readUserParamPacks(pipControl);
    QVERIFY(log.contains("03 01 49 4D"));
}

void TstMainboardFrames::getPacksZeroFillsAndNeverOverruns()
{
    const zarvoMuCommandPacks p;
    COMMANDFORMAT f(writeMenuParam, 11, 1, 0xC9, {1, 2});
    QCOMPARE(p.getPacks(f), hex("0B01C9010200000000000000"));
    // More data than the count leaves room for: the checksum position stays zero.
    f.message.assign(200, 0xAA);
    const QByteArray over = p.getPacks(f);
    QCOMPARE(over.size(), 12);
    QCOMPARE(quint8(over.at(11)), quint8(0));
    // The largest count still yields count + 1 bytes.
    COMMANDFORMAT big(writeMenuParam, 255, 0, 0, {});
    QCOMPARE(p.getPacks(big).size(), 256);
    QCOMPARE(p.getCommandFormat(static_cast<commandFunctionEnum>(34)).count, uint8_t(0));
    QCOMPARE(p.getCommandFormat(static_cast<commandFunctionEnum>(-1)).count, uint8_t(0));
}

void TstMainboardFrames::checksumMatchesReference()
{
    QRandomGenerator rng(0x5eed);
    for (int n = 0; n < 500; ++n) {
        QByteArray bytes(int(rng.bounded(0, 300)), '\0');
        for (char &c : bytes)
            c = char(rng.bounded(256));
        unsigned ref = 0;
        for (unsigned char c : bytes)
            ref = (ref + c) & 0xFF;
        QCOMPARE(unsigned(zarvoMuCommandPacks::calcCheckSumByte(bytes)), ref);
        QCOMPARE(zarvoMuCommandPacks::truncateCheckSum(zarvoMuCommandPacks::calcCheckSum(bytes)), quint8(ref));
        // A frame with its reference sum appended passes the raw check; any
        // change of the sum byte fails it.
        if (!bytes.isEmpty()) {
            QByteArray frame = bytes + char(ref);
            QVERIFY(zarvoMu::checkChecksum(frame));
            frame[frame.size() - 1] = char(ref + 1 + rng.bounded(255));
            QVERIFY(!zarvoMu::checkChecksum(frame));
        }
    }
    QCOMPARE(zarvoMuCommandPacks::calcCheckSum(QByteArray(1000, '\xFF')), quint32(255000));
    QVERIFY(!zarvoMu::checkChecksum(QByteArray()));
    QVERIFY(!zarvoMu::checkChecksum(hex("00")));
    QVERIFY(zarvoMu::checkChecksum(hex("0000")));
}

void TstMainboardFrames::statusFieldBits_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("byteIndex");
    QTest::addColumn<int>("shift");
    QTest::addColumn<int>("width");
    auto row = [](const char *f, int b, int s, int w) { QTest::newRow(f) << QString(f) << b << s << w; };
    row("pgmSource", 0, 0, 4);
    row("pvwSource", 0, 4, 4);
    row("autokey", 1, 0, 1);
    row("mixWipe", 1, 1, 1);
    row("split", 1, 2, 1);
    row("pipSplitPgm", 1, 3, 1);
    row("pipSplitPvw", 1, 4, 1);
    row("keyerPgm", 1, 5, 1);
    row("keyerPvw", 1, 6, 1);
    row("menu", 1, 7, 1);
    row("pipSource", 2, 0, 4);
    row("splitSource", 2, 4, 4);
    row("keySource", 3, 0, 4);
    row("keyFillSource", 3, 4, 4);
    row("wipePattern", 4, 0, 7);
    row("reverse", 4, 7, 1);
    row("unUsedByte", 5, 0, 8);
}

static int getField(const zarvoMuStatus &s, const QString &f)
{
    if (f == "pgmSource") return s.pgmSource;
    if (f == "pvwSource") return s.pvwSource;
    if (f == "autokey") return s.autokey;
    if (f == "mixWipe") return s.mixWipe;
    if (f == "split") return s.split;
    if (f == "pipSplitPgm") return s.pipSplitPgm;
    if (f == "pipSplitPvw") return s.pipSplitPvw;
    if (f == "keyerPgm") return s.keyerPgm;
    if (f == "keyerPvw") return s.keyerPvw;
    if (f == "menu") return s.menu;
    if (f == "pipSource") return s.pipSource;
    if (f == "splitSource") return s.splitSource;
    if (f == "keySource") return s.keySource;
    if (f == "keyFillSource") return s.keyFillSource;
    if (f == "wipePattern") return s.wipePattern;
    if (f == "reverse") return s.reverse;
    return s.unUsedByte;
}

static void setField(zarvoMuStatus &s, const QString &f, int v)
{
    if (f == "pgmSource") s.pgmSource = v;
    else if (f == "pvwSource") s.pvwSource = v;
    else if (f == "autokey") s.autokey = v;
    else if (f == "mixWipe") s.mixWipe = v;
    else if (f == "split") s.split = v;
    else if (f == "pipSplitPgm") s.pipSplitPgm = v;
    else if (f == "pipSplitPvw") s.pipSplitPvw = v;
    else if (f == "keyerPgm") s.keyerPgm = v;
    else if (f == "keyerPvw") s.keyerPvw = v;
    else if (f == "menu") s.menu = v;
    else if (f == "pipSource") s.pipSource = v;
    else if (f == "splitSource") s.splitSource = v;
    else if (f == "keySource") s.keySource = v;
    else if (f == "keyFillSource") s.keyFillSource = v;
    else if (f == "wipePattern") s.wipePattern = v;
    else if (f == "reverse") s.reverse = v;
    else s.unUsedByte = v;
}

void TstMainboardFrames::statusFieldBits()
{
    QFETCH(QString, field);
    QFETCH(int, byteIndex);
    QFETCH(int, shift);
    QFETCH(int, width);
    const int maxValue = (1 << width) - 1;
    for (int v : {1, maxValue, maxValue / 2 + 1}) {
        // Encode: only this field set, all its bits land at their position.
        zarvoMuStatus s;
        setField(s, field, v);
        QByteArray expected(6, '\0');
        expected[byteIndex] = char(v << shift);
        QCOMPARE(s.toBytes().toHex(' '), expected.toHex(' '));
        // Decode: the field reads back, every other field stays zero.
        const zarvoMuStatus d = zarvoMuStatus::fromBytes(expected);
        QCOMPARE(getField(d, field), v);
        QCOMPARE(d.toBytes(), expected);
    }
    // All other bits set: the field reads zero.
    QByteArray others(6, '\xFF');
    others[byteIndex] = char(quint8(others.at(byteIndex)) & ~(maxValue << shift));
    QCOMPARE(getField(zarvoMuStatus::fromBytes(others), field), 0);
}

void TstMainboardFrames::statusRoundTrip()
{
    QRandomGenerator rng(42);
    for (int n = 0; n < 200; ++n) {
        QByteArray bytes(6, '\0');
        for (char &c : bytes)
            c = char(rng.bounded(256));
        QCOMPARE(zarvoMuStatus::fromBytes(bytes).toBytes(), bytes);
        QCOMPARE(zarvoMuCommandPacks().updateStatusPacks(zarvoMuStatus::fromBytes(bytes)).mid(3, 6), bytes);
    }
    // Short input: the missing bytes read as zero.
    QCOMPARE(zarvoMuStatus::fromBytes(hex("21")).toBytes(), hex("210000000000"));
    QCOMPARE(zarvoMuStatus().toBytes(), QByteArray(6, '\0'));
}

void TstMainboardFrames::menuRecordFieldOrder()
{
    const uint8_t p[8] = {0x10, 0x21, 0x32, 0x43, 0x54, 0x65, 0x76, 0x87};
    const colorWipeBorderSetting cb = colorWipeBorderSetting::fromBytes(p);
    QCOMPARE(int(cb.bkgColor), 0x10);
    QCOMPARE(int(cb.wipeBorderSize), 0x21);
    QCOMPARE(int(cb.wipeBorderColor), 0x32);
    QCOMPARE(int(cb.pipBorderSize), 0x43);
    QCOMPARE(int(cb.pipBorderColor), 0x54);
    QCOMPARE(int(cb.reserved1), 0x65);
    QCOMPARE(int(cb.reserved2), 0x76);
    QCOMPARE(int(cb.reserved3), 0x87);

    const uint8_t q[8] = {50, 0xCE, 0x32, 4, 5, 6, 7, 8};
    const pipSetting pip = pipSetting::fromBytes(q);
    QCOMPARE(int(pip.pipSize), 50);
    QCOMPARE(int(pip.pipPositionX), -50); // signed
    QCOMPARE(int(pip.pipPositionY), 50);
    QCOMPARE(int(pip.pipCropSize), 4);
    QCOMPARE(int(pip.pipCropLeft), 5);
    QCOMPARE(int(pip.pipCropRight), 6);
    QCOMPARE(int(pip.pipCropTop), 7);
    QCOMPARE(int(pip.pipCropBottom), 8);

    const lumakeyAudioSetting la = lumakeyAudioSetting::fromBytes(p);
    QCOMPARE(int(la.lumakeyMode), 0x10);
    QCOMPARE(int(la.lumakeyCleanupLevel), 0x21);
    QCOMPARE(int(la.lumakeyTransparency), 0x32);
    QCOMPARE(int(la.audioMute), 0x43);
    QCOMPARE(int(la.audioHdmiInput), 0x54);
    QCOMPARE(int(la.audioHdmiGroup), 0x65);
    QCOMPARE(int(la.audioLevel), 0x76);
    QCOMPARE(int(la.audioTallyMode), 0x87);

    const machineInfoSetting mi = machineInfoSetting::fromBytes(p);
    QCOMPARE(int(mi.pgmOutResolution), 0x10);
    QCOMPARE(int(mi.multiviewOutResolution), 0x21);
    QCOMPARE(int(mi.language), 0x32);
    QCOMPARE(int(mi.motherboardMajorVersion), 0x43);
    QCOMPARE(int(mi.motherboardMinorVersion), 0x54);
    QCOMPARE(int(mi.osdMajorVersion), 0x65);
    QCOMPARE(int(mi.osdMinorVersion), 0x76);
    QCOMPARE(int(mi.outputFormat), 0x87);

    const QByteArray raw(reinterpret_cast<const char *>(p), 8);
    QCOMPARE(cb.toBytes(), raw);
    QCOMPARE(la.toBytes(), raw);
    QCOMPARE(mi.toBytes(), raw);
    QCOMPARE(pip.toBytes(), QByteArray(reinterpret_cast<const char *>(q), 8));
}

void TstMainboardFrames::ackCheck_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("logs");
    QTest::newRow("02 80 82 success") << hex("028082") << true << QStringList();
    QTest::newRow("02 50 52 bits 6 and 4")
        << hex("025052") << false
        << QStringList{"[ERR] instruction not support", "[ERR] MB receive cmd checksum not correct"};
    QTest::newRow("02 20 22 cannot exec") << hex("022022") << false
                                          << QStringList{"[ERR] device cannot exec this command"};
    QTest::newRow("02 70 72 all reasons in order")
        << hex("027072") << false
        << QStringList{"[ERR] instruction not support", "[ERR] device cannot exec this command",
                       "[ERR] MB receive cmd checksum not correct"};
    QTest::newRow("02 80 83 bad sum") << hex("028083") << false << QStringList{"[ERR] sum = "};
    QTest::newRow("5 bytes starting 02 80 82") << hex("0280820000") << true << QStringList{"[WARM] len =  5"};
    QTest::newRow("empty") << QByteArray() << false << QStringList{"[WARM] len =  0"};
    QTest::newRow("1 byte") << hex("02") << false << QStringList{"[WARM] len =  1", "[ERR] sum = "};
}

void TstMainboardFrames::ackCheck()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, result);
    QFETCH(QStringList, logs);
    LogCapture log;
    QCOMPARE(zarvoMu::checkWriteCommandAck(bytes), result);
    const QStringList got = log.messages();
    int from = 0;
    for (const QString &want : logs) {
        int i = from;
        while (i < got.size() && !got.at(i).startsWith(want))
            ++i;
        QVERIFY2(i < got.size(), qPrintable(QString("missing in order: %1 / got %2").arg(want, got.join(" | "))));
        from = i + 1;
    }
    if (result && bytes.size() == 3)
        QVERIFY(got.isEmpty());
    QCOMPARE(zarvoMu::isStatusAckLength(bytes), bytes.size() == 3);
}

void TstMainboardFrames::decodedChecksumCheck()
{
    COMMANDFORMAT f(readPushButtonLamp, 0x04, 0x00, 0xC6, {0x01, 0xCB});
    QVERIFY(zarvoMu::checkRecieveWriteCommandCheckSum(f));
    QCOMPARE(f.message.size(), size_t(1)); // checksum byte removed
    QCOMPARE(int(f.message[0]), 1);
    COMMANDFORMAT bad(readPushButtonLamp, 0x04, 0x00, 0xC6, {0x01, 0xCC});
    QVERIFY(!zarvoMu::checkRecieveWriteCommandCheckSum(bad));
    COMMANDFORMAT empty(readPushButtonLamp, 0, 0, 0, {});
    QVERIFY(!zarvoMu::checkRecieveWriteCommandCheckSum(empty));
    // Sums above 255 keep their low byte.
    COMMANDFORMAT big(readMenuParam, 0x0B, 0x01, 0xC9, std::vector<uint8_t>(8, 0xFF));
    big.message.push_back(0xCD);
    QVERIFY(zarvoMu::checkRecieveWriteCommandCheckSum(big));
}

void TstMainboardFrames::enumerationValues()
{
    QCOMPARE(int(none), -1);
    QCOMPARE(int(colorBar), 6);
    QCOMPARE(int(presetCommand), 6);
    QCOMPARE(int(pipProgram), 17);
    QCOMPARE(int(keyPreview), 22);
    QCOMPARE(int(reverse), 3);
    QCOMPARE(int(unKnown), -1);
    QCOMPARE(int(ZARVOMU_4K), 4);
    QCOMPARE(int(auxOutControlsAndKBVersion), 4);
    QCOMPARE(int(split), 2);
    QCOMPARE(int(commandFunctionEnum::readFwVersion), 33);
    QCOMPARE(commandFunctionCount, 34);
}

QTEST_GUILESS_MAIN(TstMainboardFrames)
#include "tst_mainboardframes.moc"
