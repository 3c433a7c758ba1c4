// The mainboard frame codecs: operation table, builders, checksum, status and
// user-menu records, acknowledgement check; the compact-frame encoder and the
// crosspoint table with its CRC-16. Pure functions, tested row by row.

#include "mainboard/cbrennprotocol.h"
#include "mainboard/veltcommands.h"
#include "mainboard/zarvomu.h"
#include "mainboard/zarvomucommandpacks.h"
#include "tests/common/logcapture.h"

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

// Independent bitwise CRC-16/MODBUS (poly 0xA001 reflected, init 0xFFFF).
quint16 modbusCrc(const QByteArray &data, quint16 crc = 0xFFFF)
{
    for (unsigned char b : data) {
        crc ^= b;
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

unsigned char *bytes(QByteArray &b) { return reinterpret_cast<unsigned char *>(b.data()); }

// Cal_Checksum in place (the output may be the input), checking its result.
QByteArray calChecksum(QByteArray b)
{
    const int r = CBrennProtocol().Cal_Checksum(bytes(b), b.size(), bytes(b));
    return r == 1 ? b : QByteArray("failed");
}

} // namespace

// The 17 status fields in wire order.
static QList<int> statusFields(const zarvoMuStatus &s)
{
    return {s.pgmSource,   s.pvwSource,  s.autokey,  s.mixWipe,   s.split,       s.pipSplitPgm,
            s.pipSplitPvw, s.keyerPgm,   s.keyerPvw, s.menu,      s.pipSource,   s.splitSource,
            s.keySource,   s.keyFillSource, s.wipePattern, s.reverse, s.unUsedByte};
}

class TstMainboardFrames : public QObject
{
    Q_OBJECT

private slots:
    void operationTable()
    {
        // count, address, code and default data of every operation, in enum order.
        const char *rows[34] = {"030041",   "030042",   "030043",   "030044", "030001",   "0400C100", "0400C200",
                                "0400C300", "0400C400", "0401C400", "0402C400", "040045", "0600C5",   "040047",
                                "0400C600", "0400C700", "030048",   "0400C800", "0400DA00", "0400DB00", "03006E",
                                "0900EE",   "03006F",   "0400EF02", "03004C", "0400CC",   "030249",   "0B02C9",
                                "030449",   "0404C905", "0303C9",   "0F05C905", "030549", "0300EC"};
        for (int op = 0; op < 34; ++op) {
            const COMMANDFORMAT row = zarvoMuCommandPacks().getCommandFormat(static_cast<commandFunctionEnum>(op));
            QByteArray got;
            got.append(char(row.count)).append(char(row.effectiveAddress)).append(char(row.commandCode));
            got.append(reinterpret_cast<const char *>(row.message.data()), int(row.message.size()));
            QCOMPARE(int(row.cmd_id), op);
            QCOMPARE(got.toHex().toUpper(), QByteArray(rows[op]));
        }
    }

    void builders_data()
    {
        QTest::addColumn<QByteArray>("built");
        QTest::addColumn<QByteArray>("expected");
        const zarvoMuCommandPacks p;
        const uint8_t seq[8] = {1, 2, 3, 4, 5, 6, 7, 8};
        const uint8_t ff[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
        // body: the frame without its checksum; exact: the whole frame as written down.
        // Builders the link tests send with the same arguments (every read
        // request among them) are pinned there, byte for byte on the line.
        auto row = [](const char *name, const QByteArray &built, const char *body) {
            QTest::newRow(name) << built << withSum(hex(body));
        };
        auto exact = [](const char *name, const QByteArray &built, const char *frame) {
            QTest::newRow(name) << built << hex(frame);
        };
        row("writeKeyKeySrcPacks", p.writeKeyKeySrcPacks(input2), "0400C402");
        row("writePipSrcPacks", p.writePipSrcPacks(input4), "0401C404");
        row("readControlPacks keyer1", p.readControlPacks(keyer1), "04004500");
        row("writeControlPacks split 0xFFFF", p.writeControlPacks(split, 0xFFFF), "0602C500FFFF");
        row("readPushButtonLampPacks", p.readPushButtonLampPacks(keyPreview), "04004716");
        row("writePushButtonLampPacksOff", p.writePushButtonLampPacksOff(pipProgram), "0400C711");
        row("writeWipePatternPacks", p.writeWipePatternPacks(WipePattern::center), "0400C802");
        row("writeDeviceTypePacks", p.writeDeviceTypePacks(0x0104), "0400EF04");
        row("writeAutoTransRatePacks", p.writeAutoTransRatePacks(0x0120), "0400CC20");
        row("readUserParamPacks 3", p.readUserParamPacks(setupControl), "030349");
        row("writeUserParamPacks 3", p.writeUserParamPacks(3, seq), "0B03C90102030405060708");
        row("writeColorBorderUserParamPacks", p.writeColorBorderUserParamPacks(colorWipeBorderSetting::fromBytes(seq)),
            "0B00C90102030405060708");
        row("writePipUserParamPacks", p.writePipUserParamPacks(pipSetting::fromBytes(seq)), "0B01C90102030405060708");
        row("writeLumaAudioUserParamPacks", p.writeLumaAudioUserParamPacks(lumakeyAudioSetting::fromBytes(seq)),
            "0B02C90102030405060708");
        row("writeMachineInfoUserParamPacks", p.writeMachineInfoUserParamPacks(machineInfoSetting::fromBytes(seq)),
            "0B03C90102030405060708");
        row("writeAuxSrcPacks", p.writeAuxSrcPacks(input2), "0404C902");
        exact("writeControlPacks keyer2 0x0123", p.writeControlPacks(keyer2, 0x0123), "0601C5002301F0");
        exact("writeAuxModePacks 2: 16 bytes", p.writeAuxModePacks(2), "0F05C90200000000000000000000 00DF");
        exact("loadUserMemoryPacks 6", p.loadUserMemoryPacks(6), "0400DB06E5");
        row("updateStatusPacks", p.updateStatusPacks(zarvoMuStatus::fromBytes(hex("216B03120500"))), "0900EE216B03120500");
        // Sum 2253 = 0x8CD: only the low byte is kept.
        exact("pip block all FF", p.writePipUserParamPacks(pipSetting::fromBytes(ff)), "0B01C9FFFFFFFFFFFFFFFFCD");
    }

    void builders()
    {
        QFETCH(QByteArray, built);
        QFETCH(QByteArray, expected);
        QCOMPARE(built.toHex(' '), expected.toHex(' '));
        // The count byte always says how many bytes follow it.
        QCOMPARE(int(quint8(built.at(0))) + 1, built.size());
    }

    void rangeChecks()
    {
        const zarvoMuCommandPacks p;
        const uint8_t bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
        QVERIFY(p.loadUserMemoryPacks(7).isEmpty());
        QVERIFY(p.saveUserMemoryPacks(0xFFFF).isEmpty());
        QVERIFY(p.writeUserParamPacks(4, bytes).isEmpty());
        QVERIFY(p.writeUserParamPacks(-1, bytes).isEmpty());
        QVERIFY(p.writeUserParamPacks(1, nullptr).isEmpty());

        // Frames are zero-filled to their count and never overrun it.
        COMMANDFORMAT f(writeMenuParam, 11, 1, 0xC9, {1, 2});
        QCOMPARE(p.getPacks(f), hex("0B01C9010200000000000000"));
        // More data than the count leaves room for: the checksum position stays zero.
        f.message.assign(200, 0xAA);
        QCOMPARE(p.getPacks(f), hex("0B01C9AAAAAAAAAAAAAAAA00"));
        QCOMPARE(p.getPacks(COMMANDFORMAT(writeMenuParam, 255, 0, 0, {})).size(), 256);
        QCOMPARE(p.getCommandFormat(static_cast<commandFunctionEnum>(34)).count, uint8_t(0));
        QCOMPARE(p.getCommandFormat(static_cast<commandFunctionEnum>(-1)).count, uint8_t(0));

        // Random frames against the reference sum run in fuzz_mainboard_reply.
        // No narrow accumulator: 1000 bytes of FF.
        QCOMPARE(zarvoMuCommandPacks::calcCheckSum(QByteArray(1000, '\xFF')), quint32(255000));
    }



    void statusFieldBits_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<int>>("fields");
        // Together the two put every bit of every field both set and clear, so a
        // field moved or widened by one bit changes one of them.
        QTest::newRow("example") << hex("216B03120500") << QList<int>{1, 2, 1, 1, 0, 1, 0, 1, 1, 0, 3, 0, 2, 1, 5, 0, 0};
        QTest::newRow("its complement") << hex("DE94FCEDFAFF")
                                        << QList<int>{14, 13, 0, 0, 1, 0, 1, 0, 0, 1, 12, 15, 13, 14, 122, 1, 255};
    }

    void statusFieldBits()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, fields);
        QCOMPARE(statusFields(zarvoMuStatus::fromBytes(bytes)), fields);
        zarvoMuStatus s;
        const QList<int> &v = fields;
        s.pgmSource = v[0], s.pvwSource = v[1], s.autokey = v[2], s.mixWipe = v[3], s.split = v[4];
        s.pipSplitPgm = v[5], s.pipSplitPvw = v[6], s.keyerPgm = v[7], s.keyerPvw = v[8], s.menu = v[9];
        s.pipSource = v[10], s.splitSource = v[11], s.keySource = v[12], s.keyFillSource = v[13];
        s.wipePattern = v[14], s.reverse = v[15], s.unUsedByte = v[16];
        QCOMPARE(s.toBytes().toHex(' '), bytes.toHex(' '));
    }

    void menuRecordFieldOrder()
    {
        const uint8_t p[8] = {0x10, 0x21, 0x32, 0x43, 0x54, 0x65, 0x76, 0x87};
        const QList<int> want{0x10, 0x21, 0x32, 0x43, 0x54, 0x65, 0x76, 0x87};
        const auto cb = colorWipeBorderSetting::fromBytes(p);
        QCOMPARE((QList<int>{cb.bkgColor, cb.wipeBorderSize, cb.wipeBorderColor, cb.pipBorderSize, cb.pipBorderColor,
                             cb.reserved1, cb.reserved2, cb.reserved3}), want);
        const auto la = lumakeyAudioSetting::fromBytes(p);
        QCOMPARE((QList<int>{la.lumakeyMode, la.lumakeyCleanupLevel, la.lumakeyTransparency, la.audioMute,
                             la.audioHdmiInput, la.audioHdmiGroup, la.audioLevel, la.audioTallyMode}), want);
        const auto mi = machineInfoSetting::fromBytes(p);
        QCOMPARE((QList<int>{mi.pgmOutResolution, mi.multiviewOutResolution, mi.language, mi.motherboardMajorVersion,
                             mi.motherboardMinorVersion, mi.osdMajorVersion, mi.osdMinorVersion, mi.outputFormat}), want);
        // The positions are signed.
        const uint8_t q[8] = {50, 0xCE, 0x32, 4, 5, 6, 7, 8};
        const auto pip = pipSetting::fromBytes(q);
        QCOMPARE((QList<int>{pip.pipSize, pip.pipPositionX, pip.pipPositionY, pip.pipCropSize, pip.pipCropLeft,
                             pip.pipCropRight, pip.pipCropTop, pip.pipCropBottom}),
                 (QList<int>{50, -50, 50, 4, 5, 6, 7, 8}));
        const QByteArray raw(reinterpret_cast<const char *>(p), 8);
        QCOMPARE(cb.toBytes(), raw);
        QCOMPARE(la.toBytes(), raw);
        QCOMPARE(mi.toBytes(), raw);
        QCOMPARE(pip.toBytes(), QByteArray(reinterpret_cast<const char *>(q), 8));
    }

    void ackCheck_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("logs"); // the reasons of a refusal show only here
        QTest::newRow("02 80 82 success") << hex("028082") << true << QStringList();
        QTest::newRow("02 70 72 all reasons in order")
            << hex("027072") << false
            << QStringList{"[ERR] instruction not support", "[ERR] device cannot exec this command",
                           "[ERR] MB receive cmd checksum not correct"};
        QTest::newRow("02 C0 C2 success bit wins") << hex("02C0C2") << true << QStringList();
        QTest::newRow("02 00 02 no bit") << hex("020002") << false << QStringList{"[ERR] command failed, status"};
        QTest::newRow("02 80 83 bad sum") << hex("028083") << false << QStringList{"[ERR] sum = "};
        QTest::newRow("5 bytes starting 02 80 82") << hex("0280820000") << true << QStringList{"[WARM] len =  5"};
        QTest::newRow("empty") << QByteArray() << false << QStringList{"[WARM] len =  0"};
        QTest::newRow("1 byte") << hex("02") << false << QStringList{"[WARM] len =  1", "[ERR] sum = "};
    }

    void ackCheck()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, result);
        QFETCH(QStringList, logs);
        LogCapture log;
        QCOMPARE(zarvoMu::checkWriteCommandAck(bytes), result);
        int from = 0;
        for (const QString &want : logs) {
            from = log.indexOf(want, from) + 1;
            QVERIFY2(from > 0, qPrintable(want + " missing or out of order: " + log.messages().join(" | ")));
        }
        if (result && bytes.size() == 3)
            QVERIFY(log.messages().isEmpty());
        QCOMPARE(zarvoMu::isStatusAckLength(bytes), bytes.size() == 3);
    }

    // The checksum byte is removed whatever the verdict (fuzz_mainboard_reply).
    void decodedChecksumCheck()
    {
        COMMANDFORMAT f(readPushButtonLamp, 0x04, 0x00, 0xC6, {0x01, 0xCB});
        QVERIFY(zarvoMu::checkRecieveWriteCommandCheckSum(f));
        QCOMPARE(f.message, std::vector<uint8_t>{1});
        COMMANDFORMAT bad(readPushButtonLamp, 0x04, 0x00, 0xC6, {0x01, 0xCC});
        QVERIFY(!zarvoMu::checkRecieveWriteCommandCheckSum(bad));
        COMMANDFORMAT empty(readPushButtonLamp, 0, 0, 0, {});
        QVERIFY(!zarvoMu::checkRecieveWriteCommandCheckSum(empty));
        // Sums above 255 keep their low byte.
        COMMANDFORMAT big(readMenuParam, 0x0B, 0x01, 0xC9, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xCD});
        QVERIFY(zarvoMu::checkRecieveWriteCommandCheckSum(big));
    }

    void encode_data()
    {
        QTest::addColumn<int>("readWrite");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("effect");
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<int>("returned");
        auto row = [](const char *n, int rw, int code, int eff, const char *msg, const char *frame) {
            const QByteArray f = hex(frame);
            QTest::newRow(n) << rw << code << eff << hex(msg) << f << int(qint8(f.at(f.size() - 1)));
        };
        row("read PGM", 0, VELT_READ_PGM, 0, "", "03004144");
        row("read version", 0, VELT_READ_VERSION, 1, "", "03016C70");
        row("read audio (count 4)", 0, VELT_READ_AUDIO, 2, "07", "0402450752");
        row("write PGM", 1, VELT_WRITE_PGM, 0, "01", "0400C101C6");
        row("write pip lumakey", 1, VELT_WRITE_PIPLUMAKEY, 1, "0203", "0501C80203D3");
        row("save usermem", 1, VELT_SAVE_USERMEM, 9, "03", "0400DA03E1");
        row("firmware update start", 1, VELT_FIRMWARE_UPDATE, 1, "", "0301EBEF");
        row("factory default ignores effect", 1, VELT_FACTORY_DEFAULT, 5, "", "0300FF02");
        row("unknown write code appends nothing", 1, VELT_READ_PGM, 0, "01", "00");
        row("unknown direction", 7, VELT_WRITE_PGM, 0, "01", "00");
        // Data not matching count - 3: missing bytes read as zero, the sum
        // covers bytes 0..count-1 only.
        row("save usermem long message", 1, VELT_SAVE_USERMEM, 0, "0305", "0400DA0305E1");
        row("write PGM without message", 1, VELT_WRITE_PGM, 0, "", "0400C100C5");
        row("write audio, one data byte", 1, VELT_WRITE_AUDIO, 0, "01", "0500C501CB");
    }

    void encode()
    {
        QFETCH(int, readWrite);
        QFETCH(int, code);
        QFETCH(int, effect);
        QFETCH(QByteArray, message);
        QFETCH(QByteArray, frame);
        QFETCH(int, returned);
        QByteArray out("stale");
        const qint8 r = veltCommands().cmdEncode(readWrite, static_cast<VELTMINI_COMMANDS>(code), qint8(effect),
                                                 message, &out);
        QCOMPARE(out.toHex(' '), frame.toHex(' '));
        QCOMPARE(int(r), returned);
    }


    void brennPackets()
    {
        CBrennProtocol p;
        const int lasts[16] = {0x2A, 0x22, 0x23, 0x24, 0x25, 0x26, 0x29, 0x21,
                               0x3A, 0x32, 0x33, 0x34, 0x35, 0x36, 0x39, 0x31};
        for (int row = 0; row < 16; ++row) {
            const QByteArray expected = hex("AA04FF20") + char(lasts[row]) + char((0x04 + 0xFF + 0x20 + lasts[row]) & 0xFF);
            QCOMPARE(p.Get_BRENNCommandPacket(row).toHex(' '), expected.toHex(' '));
        }
        QCOMPARE(p.Get_BRENNCommandPacket(BRENN_PVWBK), hex("AA04FF203154"));
        QVERIFY(p.Get_BRENNCommandPacket(16).isEmpty());
        QVERIFY(p.Get_BRENNCommandPacket(-1).isEmpty());
        unsigned char out[4] = {0x55, 0x55, 0x55, 0x55};
        QCOMPARE(p.Get_BRENNCommandPacket_Code(1000, out), 1);
        QCOMPARE(int(out[0]), 0x55); // nothing written

        // The encoder without an output: refused.
        LogCapture quiet;
        QCOMPARE(int(veltCommands().cmdEncode(0, VELT_READ_PGM, 0, QByteArray(), nullptr)), 0);
    }

    void crc()
    {
        // The check value, through both entry points; the input stays untouched.
        QByteArray in = QByteArray("123456789") + hex("FFFF");
        QByteArray out(in.size(), '\0');
        QCOMPARE(CBrennProtocol().Get_BRENN_CalChecksumCode(in.size(), bytes(in), bytes(out)), in.size());
        QCOMPARE(out, QByteArray("123456789") + hex("374B"));
        QCOMPARE(in, QByteArray("123456789") + hex("FFFF"));
        QCOMPARE(calChecksum(in), out);

        // Random data against the bitwise reference.
        QRandomGenerator rng(0xC0FFEE);
        for (int n = 0; n < 2000; ++n) {
            QByteArray data(int(rng.bounded(0, 200)), '\0');
            for (char &c : data)
                c = char(rng.bounded(256));
            const quint16 ref = modbusCrc(data);
            QCOMPARE(calChecksum(data + hex("FFFF")), data + char(ref & 0xFF) + char(ref >> 8));
        }

        // Random data reaches every table entry; the accessors give them unswapped.
        QCOMPARE((QList<int>{CBrennProtocol().CRC16_TABLE_HI(1), CBrennProtocol().CRC16_TABLE_LO(1)}), (QList<int>{0xC0, 0xC1}));

        // The register starts from the two trailing bytes: carrying it across a
        // split message gives the CRC of the whole.
        const QByteArray first = calChecksum(QByteArray("hello ") + hex("FFFF"));
        const quint16 ref = modbusCrc("hello world");
        QCOMPARE(calChecksum("world" + first.right(2)), QByteArray("world") + char(ref & 0xFF) + char(ref >> 8));

        // Input it cannot take: refused, nothing written.
        LogCapture log;
        CBrennProtocol p;
        unsigned char one[1] = {0x12};
        unsigned char sink[2] = {0x55, 0x55};
        QCOMPARE(p.Cal_Checksum(one, 1, sink), 0);
        QCOMPARE(p.Cal_Checksum(nullptr, 4, sink), 0);
        QCOMPARE(p.Get_BRENN_CalChecksumCode(-3, one, sink), 0);
        QCOMPARE(int(sink[0]), 0x55);
        // Exactly the two register bytes: the CRC of nothing is the register.
        QCOMPARE(calChecksum(hex("FFFF")), hex("FFFF"));
    }

};

QTEST_GUILESS_MAIN(TstMainboardFrames)
#include "tst_mainboardframes.moc"