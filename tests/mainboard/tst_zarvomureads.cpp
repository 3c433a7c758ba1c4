// The mainboard link's reads: decoding, resynchronisation, re-reads and
// failure values, through the real QSerialPort on a pseudo-terminal against
// a scripted peer that decides every byte.

#include "helper_linkbench.h"

#include <QtTest>

#include <functional>
#include <memory>

namespace {

struct ReadOp {
    const char *name;
    QByteArray request;
    // Runs the read; the value as a variant (ints, bools, record bytes).
    std::function<QVariant(zarvoMu &, bool &ok)> call;
    QVariant sendFailValue;
    // Values a bad reply may yield.
    QVariantList failValues;
    // One valid reply and the value it carries.
    QByteArray goodReply;
    QVariant goodValue;
    // Short frames (up to 3 data bytes) are varied byte by byte below; some
    // reads take any command code.
    enum Shape { Short, ShortAnyCode, Long } shape;
};

const QByteArray zero6(6, '\0');
const QByteArray zero8(8, '\0');
COMMANDFORMAT auxFrame;

// Reads without an ok report failure by the value 0.
QVariant nonZero(int v, bool &ok) { return (ok = v != 0), v; }

const QList<ReadOp> &readOps()
{
#define READ(expr) [](zarvoMu &m, bool &ok) { return QVariant(expr); }
    static const QList<ReadOp> ops{
        {"readProgram", hexBytes("03004144"), READ(int(m.readProgram(ok))), -1, {0}, framed(hexBytes("0400C103")), 3,
         ReadOp::Short},
        {"readPreset", hexBytes("03004245"), READ(int(m.readPreset(ok))), -1, {0}, framed(hexBytes("0400C205")), 5,
         ReadOp::Short},
        {"readKeyFillPacks", hexBytes("03004346"), READ(int(m.readKeyFillPacks(ok))), -1, {0},
         framed(hexBytes("04004302")), 2, ReadOp::Short},
        {"readKeyKeySrc", hexBytes("03004447"), READ(int(m.readKeyKeySrc(ok))), -1, {0}, framed(hexBytes("0400C401")),
         1, ReadOp::Short},
        {"readControl", hexBytes("040145004A"), READ(m.readControl(keyer2, ok)), -1, {0, -1},
         hexBytes("0601C500FF03CE"), 1023, ReadOp::Short},
        {"readPushButtonLamp", hexBytes("0400470 14C"), READ(m.readPushButtonLamp(cutCommand, ok)), false, {false},
         hexBytes("0280820400C601CB"), true, ReadOp::Short},
        {"readWipePattern", hexBytes("0300484B"), READ(int(m.readWipePattern(ok))), 3, {3, 0},
         framed(hexBytes("0400C802")), 2, ReadOp::Short},
        {"requestStatus", hexBytes("03006E71"), READ(m.requestStatus(ok).toBytes()), zero6, {zero6},
         hexBytes("0900EE216B031205009D"), hexBytes("216B03120500"), ReadOp::Long},
        {"readDeviceType", hexBytes("03006F72"), READ(int(m.readDeviceType(ok))), -1, {-1, 0},
         framed(hexBytes("0400EF02")), 2, ReadOp::Short},
        {"readAutoTransRate", hexBytes("03004C4F"), READ(m.readAutoTransRate(ok)), -1, {-1, 0},
         framed(hexBytes("0400CC1E")), 30, ReadOp::Short},
        {"readColorBorderUserParam", hexBytes("0300494C"), READ(m.readColorBorderUserParam(ok).toBytes()), zero8,
         {zero8}, framed(hexBytes("0B00C90102030405060708")), hexBytes("0102030405060708"), ReadOp::Long},
        {"readPipUserParam", hexBytes("0301494D"), READ(m.readPipUserParam(ok).toBytes()), zero8, {zero8},
         framed(hexBytes("0B01C932F6140102030405")), hexBytes("32F6140102030405"), ReadOp::Long},
        {"readLumaAudioUserParam", hexBytes("0302494E"), READ(m.readLumaAudioUserParam(ok).toBytes()), zero8,
         {zero8}, framed(hexBytes("0B02C90128400104030201")), hexBytes("0128400104030201"), ReadOp::Long},
        {"readMachineInfoUserParam", hexBytes("0303494F"), READ(m.readMachineInfoUserParam(ok).toBytes()), zero8,
         {zero8}, framed(hexBytes("0B03C9090A020107030402")), hexBytes("090A020107030402"), ReadOp::Long},
        {"isMachineLive", hexBytes("03000104"), READ(ok = m.isMachineLive()), false, {false}, hexBytes("028082"), true,
         ReadOp::Long},
        {"readAuxSrc", hexBytes("03044950"), READ(int(m.readAuxSrc(ok, auxFrame))), -1, {0},
         framed(hexBytes("0A04C902000000000000")), 2, ReadOp::ShortAnyCode},
        {"readAuxMode", hexBytes("03054951"), READ(nonZero(m.readAuxMode(), ok)), 0, {0},
         framed(hexBytes("0A05C901000000000000")), 1, ReadOp::ShortAnyCode},
        {"readFwVersion", hexBytes("0300ECEF"), READ(nonZero(m.readFwVersion(), ok)), 0, {0},
         framed(hexBytes("0A00EC07000000000000")), 7, ReadOp::ShortAnyCode},
    };
#undef READ
    return ops;
}

void addReadRows()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < readOps().size(); ++i)
        QTest::newRow(readOps().at(i).name) << i;
}

int opIndex(const char *name)
{
    for (int i = 0; i < readOps().size(); ++i) {
        if (QString(readOps().at(i).name) == name)
            return i;
    }
    return -1;
}

} // namespace

class TstZarvoMuReads : public QObject
{
    Q_OBJECT

private slots:
    // A fresh bench for every row: nothing of one row reaches the next.
    void init()
    {
        b.reset();
        b.reset(new LinkBench);
        QVERIFY(b->ready());
    }
    void cleanupTestCase() { b.reset(); }

    void sendFailure_data() { addReadRows(); }
    void sendFailure();

    void statusReplies_data();
    void statusReplies();
    void replies_data();
    void replies();
    void noReply_data();
    void noReply();

    void blockReads_data();
    void blockReads();
    void pipGivesUpOnOtherShapes();
    void lumaAudioChecksumException();
    void auxSourceFrame();

private:
    TestSysroot root;
    std::unique_ptr<LinkBench> b;
};

void TstZarvoMuReads::sendFailure()
{
    QFETCH(int, index);
    const ReadOp &op = readOps().at(index);
    b->port.close();
    bool ok = true;
    QCOMPARE(op.call(b->link, ok), op.sendFailValue);
    QVERIFY(!ok);
    QVERIFY(b->log.has("[ERR] Write fail:"));
    QVERIFY(!b->log.has("[WARN] No response")); // nothing awaited after a failed send
}

void TstZarvoMuReads::statusReplies_data()
{
    QTest::addColumn<ScriptedPeer::Script>("script");
    QTest::addColumn<bool>("ok");
    const QByteArray st = hexBytes("0900EE216B031205009D");
    auto row = [](const char *n, ScriptedPeer::Script s, bool ok) { QTest::newRow(n) << s << ok; };
    row("plain status frame", {{0, st}}, true);
    row("acknowledgement first, same read", {{0, hexBytes("028082") + st}}, true);
    row("acknowledgement alone, frame later", {{0, hexBytes("028082")}, {100, st}}, true);
    row("garbage before the frame", {{0, hexBytes("AABB01") + st}}, true);
    row("split 3 + 7", {{0, st.left(3)}, {60, st.mid(3)}}, true);
    row("split into four", {{0, st.left(3)}, {40, st.mid(3, 3)}, {40, st.mid(6, 3)}, {40, st.mid(9)}}, true);
    row("failing acknowledgement", {{0, hexBytes("022022")}}, false);
    row("wrong code", {{0, framed(hexBytes("0900EF216B03120500"))}}, false);
    row("too long", {{0, st + hexBytes("00")}}, false);
    for (int i = 0; i < st.size(); ++i) {
        QByteArray bad = st;
        bad[i] = char(bad.at(i) ^ 0x21);
        QTest::newRow(qPrintable(QString("byte %1 changed").arg(i))) << ScriptedPeer::Script{{0, bad}} << false;
        if (i > 0)
            QTest::newRow(qPrintable(QString("cut to %1").arg(i))) << ScriptedPeer::Script{{0, st.left(i)}} << false;
    }
}

void TstZarvoMuReads::statusReplies()
{
    QFETCH(ScriptedPeer::Script, script);
    QFETCH(bool, ok);
    b->link.setWaitDivisor(script.size() > 1 ? 20 : 100); // failing shapes re-read silence three times
    b->peer.queue(script);
    bool got = !ok;
    const zarvoMuStatus st = b->link.requestStatus(got);
    QCOMPARE(got, ok);
    QCOMPARE(st.toBytes(), ok ? hexBytes("216B03120500") : zero6);
    if (!ok)
        QVERIFY(!b->log.warnings().isEmpty());
}

// A failure is reported by ok and one of the read's failure values.
void TstZarvoMuReads::replies_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QVariant>("value"); // invalid: a failure value
    QTest::addColumn<bool>("ok");
    auto row = [](const char *op, const char *name, const QByteArray &reply, QVariant value, bool ok) {
        QTest::newRow(qPrintable(QString("%1: %2").arg(op, name))) << opIndex(op) << reply << value << ok;
    };
    const QByteArray ack = hexBytes("028082");
    // Each read's valid reply (an acknowledgement in front of the lamp's) and,
    // for the short frames, that frame with each byte in turn changed, cut
    // at each length, with an unknown code and with one data byte too many.
    // (The record and status frames: below.)
    for (const ReadOp &op : readOps()) {
        const QByteArray good = op.goodReply.startsWith(ack) && op.goodReply.size() > 3 ? op.goodReply.mid(3)
                                                                                      : op.goodReply;
        row(op.name, "valid reply", op.goodReply, op.goodValue, true);
        if (op.shape == ReadOp::Long)
            continue;
        for (int i = 0; i < good.size(); ++i) {
            QByteArray bad = good;
            bad[i] = char(bad.at(i) ^ 0x21);
            row(op.name, qPrintable(QString("byte %1 changed").arg(i)), bad, QVariant(), false);
            if (i > 0)
                row(op.name, qPrintable(QString("cut to %1").arg(i)), good.left(i), QVariant(), false);
        }
        QByteArray body = good.chopped(1);
        if (op.shape == ReadOp::Short)
            row(op.name, "unknown code", framed(QByteArray(body).replace(2, 1, "\x7F")), QVariant(), false);
        body[0] = char(body.at(0) + 1);
        row(op.name, "too long", framed(body + '\0'), QVariant(), false);
    }
    const char *rp = "readProgram";
    row(rp, "reply code 41", framed(hexBytes("04004104")), 4, true);
    row(rp, "stale acknowledgement is no source", ack, QVariant(), false);
    row("readControl", "status byte 1", framed(hexBytes("0601C501FF03")), QVariant(), false);
    row("readControl", "acknowledgement only", ack, QVariant(), false);
    const char *rl = "readPushButtonLamp";
    row(rl, "dark lamp, code C7", framed(hexBytes("0400C700")), false, true);
    row(rl, "acknowledgement only", ack, QVariant(), false);
    row(rl, "failing acknowledgement", hexBytes("022022"), QVariant(), false);
    const char *rw = "readWipePattern";
    row(rw, "acknowledgement only", ack, 3, true);
    row(rw, "failing acknowledgement", hexBytes("022022"), QVariant(), false);
    row(rw, "no data byte", framed(hexBytes("0300C8")), QVariant(), false);
    row("readFwVersion", "12 bytes: more than fits", framed(hexBytes("0B00EC0900000000000000")), QVariant(), false);
    const char *ml = "isMachineLive";
    row(ml, "not supported is live", hexBytes("024042"), true, true);
    row(ml, "leading byte dropped", hexBytes("AA028082"), true, true);
    row(ml, "cannot execute", hexBytes("022022"), false, false);
    row(ml, "bad sum", hexBytes("028083"), false, false);
    row(ml, "no acknowledgement", hexBytes("AABBCC"), false, false);
}

void TstZarvoMuReads::replies()
{
    QFETCH(int, index);
    QFETCH(QByteArray, reply);
    QFETCH(QVariant, value);
    QFETCH(bool, ok);
    const ReadOp &op = readOps().at(index);
    b->link.setWaitDivisor(100); // refused shapes re-read silence
    b->peer.queueReply(reply);
    bool got = !ok;
    const QVariant v = op.call(b->link, got);
    QCOMPARE(got, ok);
    if (value.isValid())
        QCOMPARE(v, value);
    else
        QVERIFY2(op.failValues.contains(v), qPrintable(v.toString()));
    QCOMPARE(b->peer.frames(), QList<QByteArray>{op.request});
    QVERIFY2(b->log.warnings().isEmpty() == ok, qPrintable(b->log.messages().join(" | ")));
}

// Silence: the read waits as often as it must, and fails.
void TstZarvoMuReads::noReply_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("waits");
    for (auto [name, waits] : {std::pair{"requestStatus", 3}, {"readPushButtonLamp", 3}, {"readAutoTransRate", 3},
                               {"readWipePattern", 4}, {"isMachineLive", 3}})
        QTest::newRow(name) << opIndex(name) << waits;
}

void TstZarvoMuReads::noReply()
{
    QFETCH(int, index);
    QFETCH(int, waits);
    const ReadOp &op = readOps().at(index);
    b->link.setWaitDivisor(50);
    bool ok = true;
    QCOMPARE(op.call(b->link, ok), op.failValues.first());
    QVERIFY(!ok);
    QCOMPARE(b->log.count("[WARN] No response received in 3000 ms"), waits);
}

void TstZarvoMuReads::blockReads_data()
{
    QTest::addColumn<int>("block");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("ok");
    for (int blk = 0; blk < 4; ++blk) {
        QByteArray good = hexBytes("0B00C911223344556677F8"), wrong = good;
        good[1] = wrong[1] = char(blk);
        wrong[2] = char(0xC8);
        auto row = [blk](const char *n, const QByteArray &r, bool ok) {
            QTest::newRow(qPrintable(QString("block %1, %2").arg(blk).arg(n))) << blk << r << ok;
        };
        row("12 bytes", framed(good), true);
        row("13 bytes", framed(good + hexBytes("00")), false);
        row("wrong code", framed(wrong), false);
        row("bad checksum", good + hexBytes("00"), false);
    }
}

void TstZarvoMuReads::blockReads()
{
    QFETCH(int, block);
    QFETCH(QByteArray, reply);
    QFETCH(bool, ok);
    const ReadOp &op = readOps().at(opIndex("readColorBorderUserParam") + block);
    b->link.setWaitDivisor(50); // the pip read re-reads a bad shape
    b->peer.queueReply(reply);
    bool got = !ok;
    const QVariant bytes = op.call(b->link, got);
    QCOMPARE(got, ok);
    QCOMPARE(b->peer.frames().value(0), op.request);
    const bool lumaException = block == 2 && reply.size() == 12 && quint8(reply.at(2)) == 0xC9;
    QCOMPARE(bytes.toByteArray(), ok || lumaException ? hexBytes("11223344556677F8") : zero8);
    if (!ok)
        QVERIFY(!b->log.warnings().isEmpty());
}

void TstZarvoMuReads::pipGivesUpOnOtherShapes()
{
    // A board that keeps sending 11-byte frames: never the 12-byte shape.
    ScriptedPeer::Script stream;
    for (int i = 0; i < 20; ++i)
        stream << ScriptedPeer::Chunk{i ? 15 : 0, framed(hexBytes("0A01C900000000000000"))};
    b->peer.queue(stream);
    b->link.setWaitDivisor(30);
    bool ok = true;
    QCOMPARE(b->link.readPipUserParam(ok).toBytes(), zero8);
    QVERIFY(!ok);
    // Thirteen re-reads, then it gives up.
    QCOMPARE(b->log.count("read pip user miss some bytes... "), 13);
}

void TstZarvoMuReads::lumaAudioChecksumException()
{
    // Bad checksum but the right code: the bytes come back with ok false.
    b->peer.queueReply(hexBytes("AA0B02C901284001040302 0100"));
    bool ok = true;
    const lumakeyAudioSetting la = b->link.readLumaAudioUserParam(ok);
    QVERIFY(!ok);
    QCOMPARE(la.toBytes(), hexBytes("0128400104030201"));

    // Garbage before the frame is dropped up to the first 0x0B.
    b->peer.queueReply(hexBytes("0102") + framed(hexBytes("0B02C90128400104030201")));
    QCOMPARE(b->link.readLumaAudioUserParam(ok).toBytes(), hexBytes("0128400104030201"));
    QVERIFY(ok);

    // No 0x0B at all: nothing left.
    b->peer.queueReply(hexBytes("010203040506"));
    QCOMPARE(b->link.readLumaAudioUserParam(ok).toBytes(), zero8);
    QVERIFY(!ok);
}

void TstZarvoMuReads::auxSourceFrame()
{
    b->peer.queueReply(framed(hexBytes("0A04C903AABBCCDDEEFF")));
    bool ok = false;
    COMMANDFORMAT f;
    QCOMPARE(b->link.readAuxSrc(ok, f), input3);
    QVERIFY(ok);
    QCOMPARE((QList<int>{f.count, f.effectiveAddress, f.commandCode, int(f.message.size()), f.message[1]}),
             (QList<int>{0x0A, 4, 0xC9, 8, 0xAA}));

    b->peer.queueReply(hexBytes("0A04"));
    b->link.setWaitDivisor(50);
    QCOMPARE(int(b->link.readAuxSrc(ok, f)), 0);
    QVERIFY(!ok);
    QCOMPARE(f.message.size(), size_t(8));
}

QTEST_GUILESS_MAIN(TstZarvoMuReads)
#include "tst_zarvomureads.moc"
