// The mainboard link's transport and writes, through the panel's real
// QSerialPort on a pseudo-terminal (and a loopback TCP socket), against a
// scripted peer that decides every byte the link sees.

#include "helper_linkbench.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QThread>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

struct WriteOp {
    const char *name;
    std::function<bool(zarvoMu &)> call;
    QByteArray frame;
    // Nominal waits when nothing comes back; empty for send-only writes.
    QList<int> waits;
};

template <typename Record> Record record(const char *hex)
{
    return Record::fromBytes(reinterpret_cast<const uint8_t *>(QByteArray::fromHex(hex).constData()));
}

const QList<WriteOp> &writeOps()
{
    const QList<int> r3{3000, 3000, 3000, 3000}, program{200, 3000, 3000, 3000};
#define OP(call, body, waits) WriteOp{#call, [](zarvoMu &m) { return m.call; }, framed(hexBytes(body)), waits}
    static const QList<WriteOp> ops{
        OP(writeProgram(input3), "0400C103", program),
        OP(writePreset(colorBar), "0400C206", program),
        OP(writePipSrc(input2), "0401C402", {3000}),
        OP(writeKeyFillSrc(input1), "0400C301", {}),
        OP(writeKeyKeySrc(input4), "0400C404", {}),
        OP(writeSplitSrc(background), "0402C405", {}),
        OP(writeControl(keyer2, 512), "0601C5000002", {200}),
        OP(writePushButtonLampOn(cutCommand), "0400C601", r3),
        OP(writePushButtonLampOff(keyPreview), "0400C716", r3),
        OP(writeWipePattern(topToBottom), "0400C801", {}),
        OP(loadUserMemoryPacks(3), "0400DB03", {3000}),
        OP(saveUserMemoryPacks(6), "0400DA06", {}),
        OP(loadFactoryDefaultPacks(), "0400DB00", {}),
        OP(saveSetupPacks(), "0400DAFF", {}),
        OP(updateStatus(zarvoMuStatus::fromBytes(hexBytes("216B03120500"))), "0900EE216B03120500", r3),
        OP(writeDeviceType(ZARVOMU_4K), "0400EF04", {}),
        OP(writeAutoTransRate(45), "0400CC2D", (QList<int>{3000, 3000, 3000})),
        OP(writeColorBorderUserParam(record<colorWipeBorderSetting>("0200070000000000")), "0B00C90200070000000000",
           {3000}),
        OP(writePipUserParam(record<pipSetting>("32FD000000000000")), "0B01C932FD000000000000", {60}),
        OP(writeLumaAudioUserParam(record<lumakeyAudioSetting>("0000000100000000")), "0B02C90000000100000000",
           {3000}),
        OP(writeMachineInfoUserParam(record<machineInfoSetting>("0000020100000000")), "0B03C90000020100000000", r3),
        OP(writeAuxSrc(input1), "0404C901", {}),
        OP(writeAuxMode(2), "0F05C9020000000000000000000000", {}),
    };
#undef OP
    return ops;
}

void addWriteRows(const std::function<bool(const WriteOp &)> &filter)
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < writeOps().size(); ++i) {
        if (filter(writeOps().at(i)))
            QTest::newRow(writeOps().at(i).name) << i;
    }
}

// The nominal waits named by "[WARN] No response received in N ms" lines.
QList<int> loggedWaits(const LogCapture &log)
{
    QList<int> waits;
    for (const QString &m : log.starting("[WARN] No response received in")) {
        const QStringList parts = m.split(' ');
        waits << parts.value(parts.size() - 2).toInt();
    }
    return waits;
}

// A link on a loopback TCP connection to the peer.
struct TcpLink {
    QTcpSocket socket;
    std::unique_ptr<zarvoMu> link;
    explicit TcpLink(LinkBench &b)
    {
        const quint16 port = b.peer.listenTcp();
        socket.connectToHost(QHostAddress::LocalHost, port);
        if (port != 0 && socket.waitForConnected(2000)) {
            link.reset(new zarvoMu(&socket, &b.port));
            link->setIsUseSocket(true);
        }
    }
};

} // namespace

class TstZarvoMuLink : public QObject
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

    void writes_data() { addWriteRows([](const WriteOp &) { return true; }); }
    void writes();
    void writeReplyOnRetry_data() { addWriteRows([](const WriteOp &o) { return o.waits.size() > 1; }); }
    void writeReplyOnRetry();
    void userMemoryOutOfRange();
    void pipWriteWithoutCheck();
    void ackWaitBlocksOnlyUntilTheAck();
    void sendOnlyAckIsNotTakenForTheNextReply();

    void sendLogsAndDiscardsStaleInput();
    void busyGate_data();
    void busyGate();
    void receiveTiming_data();
    void receiveTiming();
    void receiveSilence();
    void receiveExact();
    void resendCmd();
    void getReadResponse_data();
    void getReadResponse();
    void tcpSend();
    void tcpReceive_data();
    void tcpReceive();

private:
    TestSysroot root;
    std::unique_ptr<LinkBench> b;
};

// Each write acknowledged, unanswered, on a closed line, and refused.
void TstZarvoMuLink::writes()
{
    QFETCH(int, index);
    const WriteOp &op = writeOps().at(index);
    b->peer.queueReply(hexBytes("028082"));
    QElapsedTimer t;
    t.start();
    QVERIFY(op.call(b->link));
    QVERIFY(b->log.warnings().isEmpty());
    if (op.waits.isEmpty()) {
        // Send only: nothing is awaited.
        QVERIFY(!b->log.has("[WARN] No response"));
        QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
        // The peer's answer shows the frame has arrived.
        QCOMPARE(b->link.receive(2000), hexBytes("028082"));
    }
    QCOMPARE(b->peer.frames(), QList<QByteArray>{op.frame});

    b->log.clear();
    b->link.setWaitDivisor(60);
    t.restart();
    const bool result = op.call(b->link);
    QCOMPARE(result, op.waits.isEmpty());
    QCOMPARE(loggedWaits(b->log), op.waits);
    if (!result)
        QVERIFY(!b->log.warnings().isEmpty());
    int nominal = 0;
    for (int w : op.waits)
        nominal += w;
    // Each silent wait is at least one 20 ms poll round.
    QVERIFY2(t.elapsed() < nominal / 60 + 20 * op.waits.size() + 1500, qPrintable(QString::number(t.elapsed())));

    b->log.clear();
    QTRY_COMPARE(b->peer.frameCount(), 2);
    b->port.close();
    QVERIFY(!op.call(b->link));
    QVERIFY(b->log.has("[ERR] Write fail:"));
    // A failed send is not followed by any wait.
    QVERIFY(!b->log.has("[WARN] No response"));
    QCOMPARE(b->peer.frameCount(), 2);

    // A refusal fails every write that awaits its answer (the T-bar takes any).
    if (!op.waits.isEmpty()) {
        init();
        b->link.setWaitDivisor(60);
        b->peer.queueReply(hexBytes("022022"));
        QCOMPARE(op.call(b->link), QString(op.name).startsWith("writeControl"));
    }
}

void TstZarvoMuLink::writeReplyOnRetry()
{
    QFETCH(int, index);
    const WriteOp &op = writeOps().at(index);
    b->link.setWaitDivisor(20);
    // Silent through the first wait, answered during the second.
    b->peer.queueReply(hexBytes("028082"), op.waits.first() / 20 + 80);
    QVERIFY(op.call(b->link));
    const QList<int> waits = loggedWaits(b->log);
    QVERIFY2(!waits.isEmpty() && waits.size() < op.waits.size(), qPrintable(b->log.messages().join(" | ")));
    QCOMPARE(waits.first(), op.waits.first());
}

void TstZarvoMuLink::userMemoryOutOfRange()
{
    QVERIFY(!b->link.loadUserMemoryPacks(7));
    QVERIFY(!b->link.saveUserMemoryPacks(200));
    QVERIFY(!b->link.loadUserMemoryPacks(0xFFFF));
    QCOMPARE(b->peer.frameCount(), 0);
}

void TstZarvoMuLink::pipWriteWithoutCheck()
{
    pipSetting pip;
    pip.pipSize = 20;
    // No answer at all: the send decides.
    QVERIFY(b->link.writePipUserParam(pip, false));
    // A refusal is collected (so it cannot pass for the next frame's
    // answer) but does not change the result.
    b->peer.queueReply(hexBytes("022022"));
    QVERIFY(b->link.writePipUserParam(pip, false));
    QCOMPARE(b->peer.frameCount(), 2);
    b->port.close();
    QVERIFY(!b->link.writePipUserParam(pip, false));
}

void TstZarvoMuLink::ackWaitBlocksOnlyUntilTheAck()
{
    // Real timing: the ack after 100 ms ends the 200 ms first wait of a
    // program write early, and a lamp write's 3000 ms wait likewise.
    b->peer.queueReply(hexBytes("028082"), 100);
    QElapsedTimer t;
    t.start();
    QVERIFY(b->link.writeProgram(input2));
    QVERIFY2(t.elapsed() >= 90 && t.elapsed() < 600, qPrintable(QString::number(t.elapsed())));
    b->peer.queueReply(hexBytes("028082"), 300);
    t.restart();
    QVERIFY(b->link.writePushButtonLampOn(autoTransition));
    QVERIFY2(t.elapsed() >= 290 && t.elapsed() < 1200, qPrintable(QString::number(t.elapsed())));
    QVERIFY(!b->log.has("[WARN] No response"));
}

void TstZarvoMuLink::sendOnlyAckIsNotTakenForTheNextReply()
{
    // The acknowledgement of a send-only write comes a little late...
    b->peer.queueReply(hexBytes("028082"), 30);
    b->peer.queueReply(framed(hexBytes("0400C302")), 60);
    QVERIFY(b->link.writeKeyFillSrc(input2));
    // ...and must not pass for the reply of the read that follows at once.
    bool ok = false;
    QCOMPARE(b->link.readKeyFillPacks(ok), input2);
    QVERIFY(ok);

    // A board that does not acknowledge costs the next send at most the drain time.
    QVERIFY(b->link.writeWipePattern(reverse));
    QElapsedTimer t;
    t.start();
    QCOMPARE(b->link.send(hexBytes("03006E71")), qint64(4));
    QVERIFY2(t.elapsed() < 400, qPrintable(QString::number(t.elapsed())));
    // Only once: the following send does not wait.
    t.restart();
    QCOMPARE(b->link.send(hexBytes("03006E71")), qint64(4));
    QVERIFY2(t.elapsed() < 60, qPrintable(QString::number(t.elapsed())));
}

void TstZarvoMuLink::sendLogsAndDiscardsStaleInput()
{
    const QByteArray status = hexBytes("03006E71");
    // Stale bytes Qt has already buffered...
    b->peer.writeNow(hexBytes("AABBCC"));
    QVERIFY(b->port.waitForReadyRead(1000));
    QCOMPARE(b->link.send(status), qint64(4));
    // ...and stale bytes still in the driver, not yet read by anyone.
    b->peer.writeNow(hexBytes("DDEEFF"));
    QThread::msleep(50); // nothing to await: the bytes must sit unread in the line
    b->peer.queueReply(hexBytes("028082"));
    QCOMPARE(b->link.send(status), qint64(4));
    QCOMPARE(b->link.receive(3000), hexBytes("028082"));
    QCOMPARE(b->peer.frames(), (QList<QByteArray>{status, status}));

    QCOMPARE(b->link.send(QByteArray()), qint64(-1));
    QCOMPARE(b->peer.frameCount(), 2);
}

void TstZarvoMuLink::busyGate_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<bool>("mission");
    QTest::addColumn<bool>("sent");
    const zarvoMuCommandPacks p;
    auto row = [](const char *n, const QByteArray &f, bool busy, bool mission, bool sent) {
        QTest::newRow(n) << f << busy << mission << sent;
    };
    // Held while the lever is in travel: crosspoints, lamps, patterns...
    for (const QByteArray &f : {p.writeProgramPacks(input1), p.writePresetPacks(input1), p.writeKeyFillSrcPacks(input1),
                                p.writeKeyKeySrcPacks(input1), p.writePushButtonLampPacksOn(cutCommand),
                                p.writePushButtonLampPacksOff(cutCommand), p.writeWipePatternPacks(reverse),
                                framed(hexBytes("0400C901"))})
        row(qPrintable("busy: " + mbHex(f)), f, true, false, false);
    // ...but not the lever itself, pip and aux sources, or status requests.
    for (const QByteArray &f : {p.writeControlPacks(keyer2, 0x0200), p.writePipSrcPacks(input2),
                                p.writeAuxSrcPacks(input2), p.requestStatusPacks()})
        row(qPrintable("busy: " + mbHex(f)), f, true, false, true);
    row("program, busy, mission", p.writeProgramPacks(input1), true, true, true);
    row("program, idle", p.writeProgramPacks(input1), false, false, true);
}

void TstZarvoMuLink::busyGate()
{
    QFETCH(QByteArray, frame);
    QFETCH(bool, busy);
    QFETCH(bool, mission);
    QFETCH(bool, sent);
    QSignalSpy spy(&b->link, &zarvoMu::sigMBBusy);
    b->link.mainboardIsBusy = busy;
    b->link.sltSpecialMission(mission);
    b->peer.queueReply(hexBytes("028082"));
    QCOMPARE(b->link.send(frame), sent ? qint64(frame.size()) : qint64(0));
    QCOMPARE(spy.count(), sent ? 0 : 1);
    if (sent) {
        QCOMPARE(b->link.receive(2000), hexBytes("028082"));
        QCOMPARE(b->peer.frames(), QList<QByteArray>{frame});
    } else {
        QCOMPARE(b->peer.frameCount(), 0);
    }
}

void TstZarvoMuLink::receiveTiming_data()
{
    // The peer's script; the expected reply; minimum and maximum time
    // receive(3000) takes.
    QTest::addColumn<ScriptedPeer::Script>("script");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("minMs");
    QTest::addColumn<int>("maxMs");
    const QByteArray st = hexBytes("0900EE216B031205009D"), ack = hexBytes("028082");
    QTest::newRow("3 bytes end it at once") << ScriptedPeer::Script{{150, ack}} << ack << 140 << 550;
    QTest::newRow("10 bytes end it at once") << ScriptedPeer::Script{{150, st}} << st << 140 << 550;
    QTest::newRow("2 bytes then nothing: ~200 ms after the last byte")
        << ScriptedPeer::Script{{100, hexBytes("0280")}} << hexBytes("0280") << 290 << 1200;
    QTest::newRow("2 bytes, then 1 within the gap")
        << ScriptedPeer::Script{{50, hexBytes("0280")}, {120, hexBytes("82")}} << ack << 160 << 700;
    QTest::newRow("1 byte, 1 byte, then nothing: the gap restarts")
        << ScriptedPeer::Script{{50, hexBytes("02")}, {150, hexBytes("80")}} << hexBytes("0280") << 390 << 1400;
}

void TstZarvoMuLink::receiveTiming()
{
    QFETCH(ScriptedPeer::Script, script);
    QFETCH(QByteArray, expected);
    QFETCH(int, minMs);
    QFETCH(int, maxMs);
    b->peer.queue(script);
    QElapsedTimer t;
    t.start();
    QCOMPARE(b->link.send(zarvoMuCommandPacks().requestStatusPacks()), qint64(4));
    const QByteArray got = b->link.receive(3000);
    const qint64 ms = t.elapsed();
    QCOMPARE(got, expected);
    QVERIFY2(ms >= minMs && ms < maxMs, qPrintable(QString("%1 ms").arg(ms)));
}

void TstZarvoMuLink::receiveSilence()
{
    QElapsedTimer t;
    t.start();
    QVERIFY(b->link.receive(200).isEmpty());
    const qint64 ms = t.elapsed();
    QVERIFY2(ms >= 195 && ms < 800, qPrintable(QString("%1 ms").arg(ms)));
    QCOMPARE(b->log.warnings(), QStringList{"[WARN] No response received in 200 ms"});
}

void TstZarvoMuLink::receiveExact()
{
    // Arrives in pieces; bytes beyond the expected length stay unread.
    b->peer.queue({{20, hexBytes("0102")}, {30, hexBytes("030405")}, {0, hexBytes("0607")}});
    QCOMPARE(b->link.send(hexBytes("03006E71")), qint64(4));
    QCOMPARE(b->link.receiveExact(5, 1000), hexBytes("0102030405"));
    QCOMPARE(b->link.receive(1000), hexBytes("0607"));

    // Too few before the time-out: empty.
    b->peer.queueReply(hexBytes("0102"));
    QCOMPARE(b->link.send(hexBytes("03006E71")), qint64(4));
    QElapsedTimer t;
    t.start();
    QVERIFY(b->link.receiveExact(5, 300).isEmpty());
    QVERIFY(t.elapsed() >= 295);
    QVERIFY(b->link.receiveExact(0, 300).isEmpty());
}

void TstZarvoMuLink::resendCmd()
{
    const QByteArray frame = hexBytes("03006E71");
    b->peer.queueReply(hexBytes("0900EE216B031205009D"));
    QCOMPARE(b->link.resendCmd(frame, 3, 10), hexBytes("0900EE216B031205009D"));
    QCOMPARE(b->peer.frameCount(), 1); // written whole at the first attempt

    b->link.setWaitDivisor(10);
    b->peer.queueReply(hexBytes("0900EE21"));
    QVERIFY(b->link.resendCmd(frame, 3, 10).isEmpty());

    // A line that cannot be written: every attempt fails and nothing is read.
    b->log.clear();
    b->port.close();
    QVERIFY(b->link.resendCmd(frame, 3, 10).isEmpty());
    QCOMPARE(b->log.count("[ERR] Send cmd"), 3);
    QVERIFY(!b->log.has("[ERR] Incomplete data"));
}

void TstZarvoMuLink::getReadResponse_data()
{
    QTest::addColumn<QByteArray>("in");
    QTest::addColumn<QByteArray>("out");
    QTest::newRow("ack before lamp reply") << hexBytes("0280820400470 14C") << hexBytes("040047014C");
    QTest::newRow("two acks") << hexBytes("028082028082") << QByteArray();
    QTest::newRow("ack after reply") << hexBytes("0400C601CB028082") << hexBytes("0400C601CB");
    QTest::newRow("failing ack kept") << hexBytes("022022") << hexBytes("022022");
    QTest::newRow("ack formed by removing one") << hexBytes("0202808280 82") << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TstZarvoMuLink::getReadResponse()
{
    QFETCH(QByteArray, in);
    QFETCH(QByteArray, out);
    QCOMPARE(zarvoMu::getReadResponse(in), out);
}

void TstZarvoMuLink::tcpSend()
{
    TcpLink tcp(*b);
    QVERIFY(tcp.link && tcp.link->getIsUseSocket());
    zarvoMu &link = *tcp.link;
    b->peer.queueReply(hexBytes("0005028082"));
    QCOMPARE(link.send(hexBytes("03006E71")), qint64(6));
    QCOMPARE(link.receive(3000), hexBytes("028082"));
    QCOMPARE(b->peer.tcpRaw(), hexBytes("000603006E71"));

    // The busy gate guards the mainboard over TCP too.
    QSignalSpy busy(&link, &zarvoMu::sigMBBusy);
    link.mainboardIsBusy = true;
    QCOMPARE(link.send(zarvoMuCommandPacks().writeProgramPacks(input1)), qint64(0));
    QCOMPARE(busy.count(), 1);

    // No socket at all: a clear failure, no crash.
    zarvoMu bare(nullptr, nullptr);
    bare.setIsUseSocket(true);
    QCOMPARE(bare.send(hexBytes("03006E71")), qint64(-1));
    QVERIFY(bare.receive(50).isEmpty());
    bare.setIsUseSocket(false);
    QCOMPARE(bare.send(hexBytes("03006E71")), qint64(-1));
    QCOMPARE(bare.bytesAvailable(), qint64(0));
    QVERIFY(!bare.waitForReadyRead(10));
}

void TstZarvoMuLink::tcpReceive_data()
{
    QTest::addColumn<ScriptedPeer::Script>("script");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QString>("log");
    const QByteArray st = hexBytes("0900EE216B031205009D");
    auto row = [](const char *n, ScriptedPeer::Script s, int ms, const QByteArray &e, const char *log = "") {
        QTest::newRow(n) << s << ms << e << QString(log);
    };
    row("prefix stripped", {{0, hexBytes("000C") + st}}, 3000, st);
    row("two prefixed frames back to back", {{0, hexBytes("0005028082000C") + st}}, 3000, hexBytes("028082") + st);
    // A frame cut in two by the network: receive waits for the rest...
    row("frame cut in two", {{0, hexBytes("000C0900EE21")}, {80, st.mid(4)}}, 3000, st);
    // ...and when the rest never comes, hands over what came.
    row("rest never comes", {{0, hexBytes("000C0900EE21")}}, 300, hexBytes("0900EE21"));
    row("bad prefix", {{0, hexBytes("0001FFFFFF")}}, 300, QByteArray(), "[ERR] TCP length prefix");
    row("silence", {}, 200, QByteArray(), "[WARN] No response received in 200 ms");
}

void TstZarvoMuLink::tcpReceive()
{
    QFETCH(ScriptedPeer::Script, script);
    QFETCH(int, timeoutMs);
    QFETCH(QByteArray, expected);
    QFETCH(QString, log);
    TcpLink tcp(*b);
    QVERIFY(tcp.link);
    b->peer.queue(script);
    QCOMPARE(tcp.link->send(hexBytes("03006E71")), qint64(6));
    QElapsedTimer t;
    t.start();
    QCOMPARE(tcp.link->receive(timeoutMs), expected);
    if (script.isEmpty())
        QVERIFY(t.elapsed() >= timeoutMs - 10);
    if (!log.isEmpty())
        QVERIFY2(b->log.has(log), qPrintable(b->log.messages().join(" | ")));
}

QTEST_GUILESS_MAIN(TstZarvoMuLink)
#include "tst_zarvomulink.moc"
