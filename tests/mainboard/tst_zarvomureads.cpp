// The mainboard link's reads: decoding, resynchronisation, re-reads,
// failure values and log texts, through the real QSerialPort on a
// pseudo-terminal against a scripted peer; and a fuzz of every read with
// thousands of random replies.

#include "helper_linkbench.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
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
    // A valid reply: accepted codes (empty: any), data bytes used, the value
    // a valid frame carries, and one such reply.
    QList<int> codes;
    int dataBytes;
    std::function<QVariant(const QByteArray &frame)> value;
    QByteArray goodReply;
};

const QByteArray zero6(6, '\0');
const QByteArray zero8(8, '\0');
COMMANDFORMAT auxFrame;

// Reads without an ok report failure by the value 0.
QVariant nonZero(int v, bool &ok) { return (ok = v != 0), v; }

const QList<ReadOp> &readOps()
{
    static const QList<ReadOp> ops = [] {
        auto byte3 = [](const QByteArray &f) { return QVariant(int(quint8(f.at(3)))); };
        auto lamp = [](const QByteArray &f) { return QVariant(f.at(3) != 0); };
        auto block = [](const QByteArray &f) { return QVariant(f.mid(3, 8)); };
        auto tbar = [](const QByteArray &f) {
            return f.at(3) == 0 ? QVariant(quint8(f.at(5)) * 256 + quint8(f.at(4))) : QVariant();
        };
#define READ(expr) [](zarvoMu &m, bool &ok) { return QVariant(expr); }
        QList<ReadOp> l;
        l << ReadOp{"readProgram", hexBytes("03004144"), READ(int(m.readProgram(ok))), -1, {0}, {0x41, 0xC1}, 1,
                    byte3, framed(hexBytes("0400C103"))}
          << ReadOp{"readPreset", hexBytes("03004245"), READ(int(m.readPreset(ok))), -1, {0}, {0x42, 0xC2}, 1, byte3,
                    framed(hexBytes("0400C205"))}
          << ReadOp{"readKeyFillPacks", hexBytes("03004346"), READ(int(m.readKeyFillPacks(ok))), -1, {0},
                    {0x43, 0xC3}, 1, byte3, framed(hexBytes("04004302"))}
          << ReadOp{"readKeyKeySrc", hexBytes("03004447"), READ(int(m.readKeyKeySrc(ok))), -1, {0}, {0x44, 0xC4}, 1,
                    byte3, framed(hexBytes("0400C401"))}
          << ReadOp{"readControl", hexBytes("040145004A"), READ(m.readControl(keyer2, ok)), -1, {0, -1}, {0xC5}, 3,
                    tbar, hexBytes("0601C500FF03CE")}
          << ReadOp{"readPushButtonLamp", hexBytes("0400470 14C"), READ(m.readPushButtonLamp(cutCommand, ok)), false,
                    {false}, {0xC6, 0xC7}, 1, lamp, hexBytes("0280820400C601CB")}
          << ReadOp{"readWipePattern", hexBytes("0300484B"), READ(int(m.readWipePattern(ok))), 3, {3, 0}, {0xC8}, 1,
                    byte3, framed(hexBytes("0400C802"))}
          << ReadOp{"requestStatus", hexBytes("03006E71"), READ(m.requestStatus(ok).toBytes()), zero6, {zero6},
                    {0xEE}, 6, [](const QByteArray &f) { return QVariant(f.mid(3, 6)); },
                    hexBytes("0900EE216B031205009D")}
          << ReadOp{"readDeviceType", hexBytes("03006F72"), READ(int(m.readDeviceType(ok))), -1, {-1, 0}, {0xEF}, 1,
                    byte3, framed(hexBytes("0400EF02"))}
          << ReadOp{"readAutoTransRate", hexBytes("03004C4F"), READ(m.readAutoTransRate(ok)), -1, {-1, 0}, {0xCC}, 1,
                    byte3, framed(hexBytes("0400CC1E"))}
          << ReadOp{"readColorBorderUserParam", hexBytes("0300494C"), READ(m.readColorBorderUserParam(ok).toBytes()),
                    zero8, {zero8}, {0xC9}, 8, block, framed(hexBytes("0B00C90102030405060708"))}
          << ReadOp{"readPipUserParam", hexBytes("0301494D"), READ(m.readPipUserParam(ok).toBytes()), zero8,
                    {zero8}, {0xC9}, 8, block, framed(hexBytes("0B01C932F6140102030405"))}
          << ReadOp{"readLumaAudioUserParam", hexBytes("0302494E"), READ(m.readLumaAudioUserParam(ok).toBytes()),
                    zero8, {zero8}, {0xC9}, 8, block, framed(hexBytes("0B02C9012840010403 0201"))}
          << ReadOp{"readMachineInfoUserParam", hexBytes("0303494F"), READ(m.readMachineInfoUserParam(ok).toBytes()),
                    zero8, {zero8}, {0xC9}, 8, block, framed(hexBytes("0B03C9090A020107030402"))}
          << ReadOp{"isMachineLive", hexBytes("03000104"), READ(ok = m.isMachineLive()), false, {false}, {}, 0,
                    [](const QByteArray &) { return QVariant(true); }, hexBytes("028082")}
          << ReadOp{"readAuxSrc", hexBytes("03044950"), READ(int(m.readAuxSrc(ok, auxFrame))), -1, {0}, {}, 1, byte3,
                    framed(hexBytes("0A04C902000000000000"))}
          << ReadOp{"readAuxMode", hexBytes("03054951"), READ(nonZero(m.readAuxMode(), ok)), 0, {0}, {}, 1, byte3,
                    framed(hexBytes("0A05C901000000000000"))}
          << ReadOp{"readFwVersion", hexBytes("0300ECEF"), READ(nonZero(m.readFwVersion(), ok)), 0, {0}, {}, 1,
                    byte3, framed(hexBytes("0A00EC07000000000000"))};
#undef READ
        return l;
    }();
    return ops;
}

bool sumOk(const QByteArray &w)
{
    unsigned s = 0;
    for (int i = 0; i + 1 < w.size(); ++i)
        s += quint8(w.at(i));
    return w.size() >= 2 && quint8(s) == quint8(w.at(w.size() - 1));
}

// True when some stretch of `seen` is a valid reply to `op` that carries
// `value`: the only way a read may report success.
bool validReplyCarries(const ReadOp &op, const QByteArray &seen, const QVariant &value)
{
    if (QString(op.name) == "isMachineLive")
        return seen.contains(hexBytes("0240")) || seen.contains(hexBytes("0280"));
    if (QString(op.name) == "readPushButtonLamp") {
        // The lamp read strips every 02 80 82 before it looks for the frame.
        QByteArray stripped = seen;
        int i;
        while ((i = stripped.indexOf(hexBytes("028082"))) >= 0)
            stripped.remove(i, 3);
        if (stripped != seen) {
            ReadOp plain = op;
            plain.name = "lamp frame";
            return validReplyCarries(plain, stripped, value);
        }
    }
    // A data-less acknowledgement is a successful wipe-pattern answer.
    if (QString(op.name) == "readWipePattern" && value.toInt() == 3 && seen.size() == 3
        && quint8(seen.at(0) + seen.at(1)) == quint8(seen.at(2)) && (quint8(seen.at(1)) & 0x80))
        return true;
    const int minLen = 3 + op.dataBytes + 1;
    for (int start = 0; start < seen.size(); ++start) {
        for (int len = minLen; start + len <= seen.size() && len <= 13; ++len) {
            const QByteArray w = seen.mid(start, len);
            if (!sumOk(w))
                continue;
            if (!op.codes.isEmpty() && !op.codes.contains(int(quint8(w.at(2)))))
                continue;
            if (op.value(w) == value)
                return true;
        }
    }
    return false;
}

// What the link received during one read, from its "result :" lines.
QByteArray seenBytes(const LogCapture &log)
{
    QByteArray seen;
    for (const QString &m : log.starting("result : "))
        seen += QByteArray::fromHex(m.mid(9).toLatin1());
    return seen;
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
    // One bench for all rows; each row starts from a reset one.
    void initTestCase()
    {
        b.reset(new LinkBench);
        QVERIFY(b->ready());
    }
    void cleanupTestCase() { b.reset(); }
    void init() { QVERIFY(b->reset()); }

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

    void fuzz_data() { addReadRows(); }
    void fuzz();

private:
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
    row("wrong checksum", {{0, hexBytes("0900EE216B031205009E")}}, false);
    row("failing acknowledgement", {{0, hexBytes("022022")}}, false);
    row("wrong code", {{0, framed(hexBytes("0900EF216B03120500"))}}, false);
    row("too long", {{0, st + hexBytes("00")}}, false);
}

void TstZarvoMuReads::statusReplies()
{
    QFETCH(ScriptedPeer::Script, script);
    QFETCH(bool, ok);
    b->link.setWaitDivisor(20); // failing shapes re-read silence three times
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
    // for the short frames, that frame with a bad checksum, an unknown code,
    // one data byte too many, and cut short. (The longer ones: below.)
    for (const ReadOp &op : readOps()) {
        const QByteArray good = op.goodReply.startsWith(ack) && op.goodReply.size() > 3 ? op.goodReply.mid(3)
                                                                                      : op.goodReply;
        row(op.name, "valid reply", op.goodReply, op.value(good), true);
        if (op.dataBytes == 0 || op.dataBytes > 3)
            continue;
        QByteArray body = good.chopped(1);
        row(op.name, "bad checksum", body + char(good.back() + 1), QVariant(), false);
        if (!op.codes.isEmpty())
            row(op.name, "unknown code", framed(QByteArray(body).replace(2, 1, "\x7F")), QVariant(), false);
        body[0] = char(body.at(0) + 1);
        row(op.name, "too long", framed(body + '\0'), QVariant(), false);
        row(op.name, "too short", good.left(2), QVariant(), false);
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
    b->link.setWaitDivisor(20); // refused shapes re-read silence
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

void TstZarvoMuReads::fuzz()
{
    QFETCH(int, index);
    const ReadOp &op = readOps().at(index);
    int cases = qEnvironmentVariableIsSet("TAVRIK_FUZZ_CASES") ? qEnvironmentVariableIntValue("TAVRIK_FUZZ_CASES")
                                                                      : 150;
    const bool streams = QString(op.name) == "requestStatus" || QString(op.name) == "readPipUserParam";
    // The pip read re-reads thirteen times per reply; fewer of those.
    if (QString(op.name) == "readPipUserParam")
        cases /= 2;
    const QByteArray good = op.goodReply;
    b->link.setWaitDivisor(100);

    // Replies that look like the real thing more often than chance would.
    QRandomGenerator rng(0xF022 + quint32(index));
    auto randomBytes = [&rng](int n) {
        QByteArray r(n, '\0');
        for (char &c : r)
            c = char(rng.bounded(256));
        return r;
    };
    auto reply = [&]() -> QByteArray {
        const int kind = int(rng.bounded(100));
        if (kind < 35)
            return randomBytes(int(rng.bounded(3, 25)));
        if (kind < 55) // the right header, random data and sum
            return good.left(3) + randomBytes(int(rng.bounded(0, 12)));
        if (kind < 70) { // one byte of a good reply changed
            QByteArray r = good;
            const int i = int(rng.bounded(r.size()));
            r[i] = char(quint8(r.at(i)) ^ quint8(rng.bounded(1, 256)));
            return r;
        }
        if (kind < 80) // cut short
            return good.left(int(rng.bounded(1, good.size())));
        if (kind < 90) // oversized
            return good + randomBytes(int(rng.bounded(1, 8)));
        if (kind < 95) // some acknowledgement
            return hexBytes("02") + randomBytes(2);
        return randomBytes(int(rng.bounded(1, 3))); // a fragment
    };
    b->peer.setResponder([&, streams](const QByteArray &) {
        ScriptedPeer::Script s{{0, reply()}};
        // Keep re-reads busy so they never wait out their time.
        for (int i = 0; streams && i < 14; ++i)
            s << ScriptedPeer::Chunk{1, randomBytes(int(rng.bounded(3, 13)))};
        return s;
    });

    int failures = 0;
    for (int n = 0; n < cases; ++n) {
        b->log.clear();
        bool ok = false;
        QElapsedTimer t;
        t.start();
        const QVariant v = op.call(b->link, ok);
        const qint64 ms = t.elapsed();
        const QByteArray seen = seenBytes(b->log);
        const QString context = QString("case %1, seen %2, value %3, log: %4")
                                    .arg(n)
                                    .arg(mbHex(seen), v.toString(), b->log.messages().join(" | "));
        // The longest read waits 7 + 13 times 30 ms here; far less in practice.
        QVERIFY2(ms < 3000, qPrintable(QString("%1 ms; ").arg(ms) + context));
        if (ok) {
            QVERIFY2(validReplyCarries(op, seen, v), qPrintable("success without a valid reply: " + context));
        } else {
            ++failures;
            const bool lumaException = QString(op.name) == "readLumaAudioUserParam" && v != op.failValues.first();
            QVERIFY2(op.failValues.contains(v) || lumaException,
                     qPrintable("not a failure value: " + context));
            QVERIFY2(!b->log.warnings().isEmpty(), qPrintable("failure without a log line: " + context));
        }
    }
    // The replies are built to be wrong nearly always (an acknowledgement
    // alone is enough for the live check).
    if (QString(op.name) != "isMachineLive")
        QVERIFY2(failures > cases * 8 / 10, qPrintable(QString("%1 failures of %2").arg(failures).arg(cases)));
    b->peer.setResponder(nullptr);
}

QTEST_GUILESS_MAIN(TstZarvoMuReads)
#include "tst_zarvomureads.moc"
