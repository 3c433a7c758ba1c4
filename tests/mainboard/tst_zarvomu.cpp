// The mainboard link through the panel's real QSerialPort on a
// pseudo-terminal (and a loopback TCP socket): its transport, writes and
// reads against a scripted peer that decides every byte the link sees.

#include "mainboard/zarvomu.h"
#include "platform/sysroot.h"
#include "sim/simmainboard.h"
#include "sim/simpty.h"
#include "sim/simthread.h"
#include "tests/common/logcapture.h"
#include "tests/common/testsysroot.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QMutex>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTcpServer>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// A byte-exact peer for transport tests: on a pseudo-terminal linked at
// `linkPath` (and, on request, on a loopback TCP port) it records every frame
// the panel sends and answers each with a script of chunks, each written
// `delayMs` after the previous one. It never interprets the protocol, so the
// tests decide every byte the link sees. Lives on its own thread; the test
// thread reaches it through the mutex or by running code there.
class ScriptedPeer
{
public:
    struct Chunk {
        int delayMs;
        QByteArray bytes;
    };
    using Script = QList<Chunk>;

    explicit ScriptedPeer(const QString &linkPath) : thread_(new SimThread)
    {
        thread_->run([this, linkPath] {
            pty_ = new SimPty;
            open_ = pty_->open(linkPath);
            QObject::connect(pty_, &SimPty::received, pty_, [this](const QByteArray &b) { onBytes(b, false); });
        });
    }
    ~ScriptedPeer()
    {
        thread_->run([this] {
            delete server_; // deletes client_ (its child)
            delete pty_;
            server_ = nullptr;
            pty_ = nullptr;
        });
    }
    ScriptedPeer(const ScriptedPeer &) = delete;
    ScriptedPeer &operator=(const ScriptedPeer &) = delete;

    bool isOpen() const { return open_; }
    // Loopback TCP listener; frames there carry the 2-byte length prefix
    // (stripped before recording). Replies are written as scripted, raw.
    quint16 listenTcp()
    {
        quint16 port = 0;
        thread_->run([this, &port] {
            server_ = new QTcpServer;
            if (!server_->listen(QHostAddress::LocalHost, 0))
                return;
            port = server_->serverPort();
            QObject::connect(server_, &QTcpServer::newConnection, server_, [this] {
                while (QTcpSocket *s = server_->nextPendingConnection()) {
                    delete client_;
                    client_ = s;
                    QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { onBytes(s->readAll(), true); });
                }
            });
        });
        return port;
    }

    // One script per received frame, in order; then silence.
    void queue(const Script &script) { QMutexLocker lock(&mutex_); queue_.append(script); }
    void queueReply(const QByteArray &bytes, int delayMs = 0) { queue({{delayMs, bytes}}); }

    QList<QByteArray> frames() const { QMutexLocker lock(&mutex_); return frames_; }
    int frameCount() const { return frames().size(); }
    // Every byte received on the TCP connection, length prefixes included.
    QByteArray tcpRaw() const { QMutexLocker lock(&mutex_); return tcpRaw_; }
    void writeNow(const QByteArray &bytes) { thread_->run([this, bytes] { write(bytes, false); }); }

private:
    // The rest runs on the peer thread.
    void write(const QByteArray &bytes, bool tcp)
    {
        if (tcp && client_)
            client_->write(bytes);
        else if (!tcp && pty_)
            pty_->write(bytes);
    }
    void onBytes(const QByteArray &bytes, bool tcp)
    {
        QList<Script> toPlay;
        {
            QMutexLocker lock(&mutex_);
            QByteArray &buf = tcp ? tcpBuf_ : serialBuf_;
            buf.append(bytes);
            if (tcp)
                tcpRaw_.append(bytes);
            for (;;) {
                QByteArray frame;
                if (tcp) {
                    if (buf.size() < 2)
                        break;
                    const int len = (quint8(buf.at(0)) << 8) | quint8(buf.at(1));
                    if (len < 2) { // nonsense prefix: record it raw
                        frame = buf;
                        buf.clear();
                    } else if (buf.size() < len) {
                        break;
                    } else {
                        frame = buf.mid(2, len - 2);
                        buf.remove(0, len);
                    }
                } else {
                    if (buf.isEmpty() || buf.size() < quint8(buf.at(0)) + 1)
                        break;
                    frame = buf.left(quint8(buf.at(0)) + 1);
                    buf.remove(0, frame.size());
                }
                frames_.append(frame);
                if (!queue_.isEmpty())
                    toPlay.append(queue_.takeFirst());
                if (buf.isEmpty())
                    break;
            }
        }
        for (const Script &s : toPlay) {
            int at = 0;
            for (const Chunk &c : s) {
                at += c.delayMs;
                if (at == 0)
                    write(c.bytes, tcp);
                else
                    QTimer::singleShot(at, pty_, [this, bytes = c.bytes, tcp] { write(bytes, tcp); });
            }
        }
    }

    std::unique_ptr<SimThread> thread_;
    SimPty *pty_ = nullptr;
    QTcpServer *server_ = nullptr;
    QTcpSocket *client_ = nullptr;
    bool open_ = false;

    mutable QMutex mutex_;
    QByteArray serialBuf_;
    QByteArray tcpBuf_;
    QByteArray tcpRaw_;
    QList<Script> queue_;
    QList<QByteArray> frames_;
};


QByteArray hexBytes(const char *s) { return QByteArray::fromHex(s); }

// The frame with the low byte of its sum appended.
QByteArray framed(const QByteArray &body)
{
    unsigned sum = 0;
    for (unsigned char c : body)
        sum += c;
    return body + char(sum & 0xFF);
}

// The panel's end of the mainboard line, opened as the control model opens
// it, with the link on top; `Peer` is on the far end.
template <typename Peer> struct Bench {
    Peer peer;
    QSerialPort port;
    zarvoMu link{nullptr, &port};
    LogCapture log;

    explicit Bench(const QString &line) : peer(line)
    {
        zarvoMu::openLine(port, QStringLiteral("ttyAMA2"));
    }
};
struct LinkBench : Bench<ScriptedPeer> {
    LinkBench() : Bench(Sysroot::path(QStringLiteral("/dev/ttyAMA2"))) {}
};
struct SimBench : Bench<SimMainboard> {
    SimBench() : Bench(QStringLiteral("ttyAMA2")) {}
};

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
        OP(writeProgram(input3), "0400C103", program), OP(writePreset(colorBar), "0400C206", program),
        OP(writePipSrc(input2), "0401C402", {3000}), OP(writeKeyFillSrc(input1), "0400C301", {}),
        OP(writeKeyKeySrc(input4), "0400C404", {}), OP(writeSplitSrc(background), "0402C405", {}),
        OP(writeControl(keyer2, 512), "0601C5000002", {200}), OP(writePushButtonLampOn(cutCommand), "0400C601", r3),
        OP(writePushButtonLampOff(keyPreview), "0400C716", r3), OP(writeWipePattern(topToBottom), "0400C801", {}),
        OP(loadUserMemoryPacks(3), "0400DB03", {3000}), OP(saveUserMemoryPacks(6), "0400DA06", {}),
        OP(loadFactoryDefaultPacks(), "0400DB00", {}), OP(saveSetupPacks(), "0400DAFF", {}),
        OP(updateStatus(zarvoMuStatus::fromBytes(hexBytes("216B03120500"))), "0900EE216B03120500", r3),
        OP(writeDeviceType(ZARVOMU_4K), "0400EF04", {}), OP(writeAutoTransRate(45), "0400CC2D", (QList<int>{3000, 3000, 3000})),
        OP(writeColorBorderUserParam(record<colorWipeBorderSetting>("0200070000000000")), "0B00C90200070000000000",
           {3000}),
        OP(writePipUserParam(record<pipSetting>("32FD000000000000")), "0B01C932FD000000000000", {60}),
        OP(writeLumaAudioUserParam(record<lumakeyAudioSetting>("0000000100000000")), "0B02C90000000100000000",
           {3000}),
        OP(writeMachineInfoUserParam(record<machineInfoSetting>("0000020100000000")), "0B03C90000020100000000", r3),
        OP(writeAuxSrc(input1), "0404C901", {}), OP(writeAuxMode(2), "0F05C9020000000000000000000000", {}),
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

struct TcpLink {
    QTcpSocket socket;
    std::unique_ptr<zarvoMu> link;
    template <typename B> explicit TcpLink(B &b)
    {
        const quint16 port = b.peer.listenTcp();
        socket.connectToHost(QHostAddress::LocalHost, port);
        if (port != 0 && socket.waitForConnected(2000)) {
            link.reset(new zarvoMu(&socket, &b.port));
            link->setIsUseSocket(true);
        }
    }
};

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
    // Short frames (up to 3 data bytes, and the status frame) are varied byte
    // by byte below; some reads take any command code.
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
    using S = ReadOp;
    const auto H = [](const char *hex) { return QByteArray::fromHex(hex); };
    const auto F = [&](const char *hex) { return framed(H(hex)); };
    static const QList<ReadOp> ops{
        {"readProgram", H("03004144"), READ(int(m.readProgram(ok))), -1, {0}, F("0400C103"), 3, S::Short},
        {"readPreset", H("03004245"), READ(int(m.readPreset(ok))), -1, {0}, F("0400C205"), 5, S::Short},
        {"readKeyFillPacks", H("03004346"), READ(int(m.readKeyFillPacks(ok))), -1, {0}, F("04004302"), 2, S::Short},
        {"readKeyKeySrc", H("03004447"), READ(int(m.readKeyKeySrc(ok))), -1, {0}, F("0400C401"), 1, S::Short},
        {"readControl", H("040145004A"), READ(m.readControl(keyer2, ok)), -1, {0, -1},
         H("0601C500FF03CE"), 1023, S::Short},
        {"readPushButtonLamp", H("0400470 14C"), READ(m.readPushButtonLamp(cutCommand, ok)), false, {false},
         H("0280820400C601CB"), true, S::Short},
        {"readWipePattern", H("0300484B"), READ(int(m.readWipePattern(ok))), 3, {3, 0}, F("0400C802"), 2, S::Short},
        {"requestStatus", H("03006E71"), READ(m.requestStatus(ok).toBytes()), zero6, {zero6},
         H("0900EE216B031205009D"), H("216B03120500"), S::Short},
        {"readDeviceType", H("03006F72"), READ(int(m.readDeviceType(ok))), -1, {-1, 0}, F("0400EF02"), 2, S::Short},
        {"readAutoTransRate", H("03004C4F"), READ(m.readAutoTransRate(ok)), -1, {-1, 0}, F("0400CC1E"), 30, S::Short},
        {"readColorBorderUserParam", H("0300494C"), READ(m.readColorBorderUserParam(ok).toBytes()), zero8, {zero8},
         F("0B00C90102030405060708"), H("0102030405060708"), S::Long},
        {"readPipUserParam", H("0301494D"), READ(m.readPipUserParam(ok).toBytes()), zero8, {zero8},
         F("0B01C932F6140102030405"), H("32F6140102030405"), S::Long},
        {"readLumaAudioUserParam", H("0302494E"), READ(m.readLumaAudioUserParam(ok).toBytes()), zero8, {zero8},
         F("0B02C90128400104030201"), H("0128400104030201"), S::Long},
        {"readMachineInfoUserParam", H("0303494F"), READ(m.readMachineInfoUserParam(ok).toBytes()), zero8, {zero8},
         F("0B03C9090A020107030402"), H("090A020107030402"), S::Long},
        {"isMachineLive", H("03000104"), READ(ok = m.isMachineLive()), false, {false}, H("028082"), true, S::Long},
        {"readAuxSrc", H("03044950"), READ(int(m.readAuxSrc(ok, auxFrame))), -1, {0},
         F("0A04C902000000000000"), 2, S::ShortAnyCode},
        {"readAuxMode", H("03054951"), READ(nonZero(m.readAuxMode(), ok)), 0, {0},
         F("0A05C901000000000000"), 1, S::ShortAnyCode},
        {"readFwVersion", H("0300ECEF"), READ(nonZero(m.readFwVersion(), ok)), 0, {0},
         F("0A00EC07000000000000"), 7, S::ShortAnyCode},
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

Q_DECLARE_METATYPE(ScriptedPeer::Script)

class TstZarvoMu : public QObject
{
    Q_OBJECT
    TestSysroot root;
    // Built afresh for every row, so nothing of one row reaches the next;
    // the simulated-board cases build their own bench instead.
    std::unique_ptr<LinkBench> b;

private slots:
    void init()
    {
        b.reset();
        if (!QByteArray(QTest::currentTestFunction()).startsWith("sim")) {
            b.reset(new LinkBench);
            QVERIFY(b->peer.isOpen() && b->port.isOpen());
        }
    }
    void cleanupTestCase() { b.reset(); }

    void writes_data() { addWriteRows([](const WriteOp &) { return true; }); }
    // Each write acknowledged, unanswered, on a closed line, and refused.
    void writes()
    {
        QFETCH(int, index);
        const WriteOp &op = writeOps().at(index);
        b->peer.queueReply(hexBytes("028082"));
        QElapsedTimer t;
        t.start();
        QVERIFY(op.call(b->link));
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
        int nominal = 0;
        for (int w : op.waits)
            nominal += w;
        // Each silent wait is at least one 20 ms poll round.
        QVERIFY2(t.elapsed() < nominal / 60 + 20 * op.waits.size() + 1500, qPrintable(QString::number(t.elapsed())));

        b->log.clear();
        QTRY_COMPARE(b->peer.frameCount(), 2);
        b->port.close();
        QVERIFY(!op.call(b->link));
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

    void writeReplyOnRetry_data() { addWriteRows([](const WriteOp &o) { return o.waits.size() > 1; }); }
    void writeReplyOnRetry()
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

    void silentBoardSkipsRetries_data() { addWriteRows([](const WriteOp &o) { return o.waits.size() > 1; }); }
    // With the skip on, a board that just went silent is waited for until
    // one whole normal wait has passed without a byte, not through every
    // retry; once it is known silent, one wait is all.
    void silentBoardSkipsRetries()
    {
        QFETCH(int, index);
        const WriteOp &op = writeOps().at(index);
        b->link.setWaitDivisor(60);
        b->link.setSkipRetriesWhenSilent(true);
        QVERIFY(!op.call(b->link));
        QList<int> expected;
        for (int w : op.waits) {
            expected << w;
            if (w >= 3000)
                break;
        }
        QCOMPARE(loggedWaits(b->log), expected);
        b->log.clear();
        QVERIFY(!op.call(b->link));
        QCOMPARE(loggedWaits(b->log), QList<int>{op.waits.first()});
    }

    void pipWriteWithoutCheck()
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

    void ackWaitBlocksOnlyUntilTheAck()
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
        t.restart();
        QCOMPARE(b->link.send(hexBytes("03006E71")), qint64(4));
        QVERIFY2(t.elapsed() < 400, qPrintable(QString::number(t.elapsed())));
        // Only once: the following send does not wait.
        t.restart();
        QCOMPARE(b->link.send(hexBytes("03006E71")), qint64(4));
        QVERIFY2(t.elapsed() < 60, qPrintable(QString::number(t.elapsed())));
    }


    void sendLogsAndDiscardsStaleInput()
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

    void busyGate_data()
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

    void busyGate()
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

    void receiveTiming_data()
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

    void receiveTiming()
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

    void receiveExact()
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

        // resendCmd: one whole write when it can, nothing read when it cannot.
        const QByteArray frame = hexBytes("03006E71");
        b->peer.queueReply(hexBytes("0900EE216B031205009D"));
        QCOMPARE(b->link.resendCmd(frame, 3, 10), hexBytes("0900EE216B031205009D"));
        QCOMPARE(b->peer.frameCount(), 2 + 1); // the two above, then this one written whole at once

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


    void getReadResponse_data()
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

    void getReadResponse()
    {
        QFETCH(QByteArray, in);
        QFETCH(QByteArray, out);
        QCOMPARE(zarvoMu::getReadResponse(in), out);
    }

    void tcpSend()
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

    void tcpReceive_data()
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

    void tcpReceive()
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

    void sendFailure_data() { addReadRows(); }
    void sendFailure()
    {
        QFETCH(int, index);
        const ReadOp &op = readOps().at(index);
        b->port.close();
        bool ok = true;
        QCOMPARE(op.call(b->link, ok), op.sendFailValue);
        QVERIFY(!ok);
        QVERIFY(!b->log.has("[WARN] No response")); // nothing awaited after a failed send
    }

    // A failure is reported by ok and one of the read's failure values.
    void replies_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<ScriptedPeer::Script>("reply");
        QTest::addColumn<QVariant>("value"); // invalid: a failure value
        QTest::addColumn<bool>("ok");
        auto row = [](const char *op, const char *name, const ScriptedPeer::Script &reply, QVariant value, bool ok) {
            QTest::newRow(qPrintable(QString("%1: %2").arg(op, name))) << opIndex(op) << reply << value << ok;
        };
        auto one = [](const QByteArray &b) { return ScriptedPeer::Script{{0, b}}; };
        const QByteArray ack = hexBytes("028082");
        // Each read's valid reply (an acknowledgement in front of the lamp's)
        // and, for the short frames and the status frame, that frame with each
        // byte in turn changed, cut at each length, with an unknown code and
        // with one data byte too many. (The record frames: below.)
        for (const ReadOp &op : readOps()) {
            const QByteArray good = op.goodReply.startsWith(ack) && op.goodReply.size() > 3 ? op.goodReply.mid(3)
                                                                                          : op.goodReply;
            row(op.name, "valid reply", one(op.goodReply), op.goodValue, true);
            if (op.shape == ReadOp::Long)
                continue;
            for (int i = 0; i < good.size(); ++i) {
                QByteArray bad = good;
                bad[i] = char(bad.at(i) ^ 0x21);
                row(op.name, qPrintable(QString("byte %1 changed").arg(i)), one(bad), QVariant(), false);
                if (i > 0)
                    row(op.name, qPrintable(QString("cut to %1").arg(i)), one(good.left(i)), QVariant(), false);
            }
            QByteArray body = good.chopped(1);
            if (op.shape != ReadOp::ShortAnyCode)
                row(op.name, "unknown code", one(framed(QByteArray(body).replace(2, 1, "\x7F"))), QVariant(), false);
            body[0] = char(body.at(0) + 1);
            row(op.name, "too long", one(framed(body + '\0')), QVariant(), false);
        }
        const QByteArray st = hexBytes("0900EE216B031205009D");
        const QVariant status = hexBytes("216B03120500");
        row("requestStatus", "acknowledgement first, same read", one(ack + st), status, true);
        row("requestStatus", "acknowledgement alone, frame later", {{0, ack}, {100, st}}, status, true);
        row("requestStatus", "garbage before the frame", one(hexBytes("AABB01") + st), status, true);
        row("requestStatus", "split 3 + 7", {{0, st.left(3)}, {60, st.mid(3)}}, status, true);
        row("requestStatus", "split into four", {{0, st.left(3)}, {40, st.mid(3, 3)}, {40, st.mid(6, 3)}, {40, st.mid(9)}},
            status, true);
        const QByteArray refused = hexBytes("022022");
        const QVariant failed;
        row("readProgram", "reply code 41", one(framed(hexBytes("04004104"))), 4, true);
        row("readProgram", "stale acknowledgement is no source", one(ack), failed, false);
        row("readControl", "status byte 1", one(framed(hexBytes("0601C501FF03"))), failed, false);
        row("readControl", "acknowledgement only", one(ack), failed, false);
        row("readPushButtonLamp", "dark lamp, code C7", one(framed(hexBytes("0400C700"))), false, true);
        for (const char *op : {"readPushButtonLamp", "readWipePattern", "requestStatus"})
            row(op, "failing acknowledgement", one(refused), failed, false);
        row("readPushButtonLamp", "acknowledgement only", one(ack), failed, false);
        row("readWipePattern", "acknowledgement only", one(ack), 3, true);
        row("readWipePattern", "no data byte", one(framed(hexBytes("0300C8"))), failed, false);
        row("readFwVersion", "12 bytes: more than fits", one(framed(hexBytes("0B00EC0900000000000000"))), failed, false);
        for (const QByteArray &live : {hexBytes("024042"), hexBytes("AA028082")}) // not supported, a byte too many
            row("isMachineLive", qPrintable(live.toHex()), one(live), true, true);
        for (const QByteArray &dead : {refused, hexBytes("028083"), hexBytes("AABBCC")})
            row("isMachineLive", qPrintable(dead.toHex()), one(dead), false, false);
    }

    void replies()
    {
        QFETCH(int, index);
        QFETCH(ScriptedPeer::Script, reply);
        QFETCH(QVariant, value);
        QFETCH(bool, ok);
        const ReadOp &op = readOps().at(index);
        b->link.setWaitDivisor(reply.size() > 1 ? 20 : 100); // refused shapes re-read silence
        b->peer.queue(reply);
        bool got = !ok;
        const QVariant v = op.call(b->link, got);
        QCOMPARE(got, ok);
        if (value.isValid())
            QCOMPARE(v, value);
        else
            QVERIFY2(op.failValues.contains(v), qPrintable(v.toString()));
        QTRY_COMPARE(b->peer.frames(), QList<QByteArray>{op.request}); // a quick failure may beat the peer thread
    }

    // Silence: the read waits as often as it must, and fails.
    void noReply_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("waits");
        for (auto [name, waits] : {std::pair{"requestStatus", 3}, {"readPushButtonLamp", 3}, {"readAutoTransRate", 3},
                                   {"readWipePattern", 4}, {"isMachineLive", 3}})
            QTest::newRow(name) << opIndex(name) << waits;
    }

    void noReply()
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

    void blockReads_data()
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

    void blockReads()
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
        QTRY_COMPARE(b->peer.frames().value(0), op.request);
        const bool lumaException = block == 2 && reply.size() == 12 && quint8(reply.at(2)) == 0xC9;
        QCOMPARE(bytes.toByteArray(), ok || lumaException ? hexBytes("11223344556677F8") : zero8);
    }

    void pipGivesUpOnOtherShapes()
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

    void lumaAudioChecksumException()
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

    void auxSourceFrame()
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

    // The simulated board's loopback TCP port, as the link uses it. (Its round
    // trips, late and split replies run through the control model in the
    // switcher tests; the link's handling of each reply shape is pinned above.)
    void simOverTcp()
    {
        SimBench s;
        TcpLink tcp(s);
        QVERIFY(tcp.link);
        bool ok = false;
        QCOMPARE(tcp.link->requestStatus(ok).toBytes(), s.peer.statusBytes());
        QVERIFY(ok);
        QVERIFY(tcp.link->writeProgram(input4));
        QCOMPARE(s.peer.program(), 4);
        QVERIFY(s.peer.sentBytes().contains(hexBytes("000C0900EE")));
    }

    // The line counters move with what the board does to a write; a late
    // reply is counted when it turns up outside an exchange.
    void simLineCounters_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("counted");
        QTest::newRow("acknowledged") << int(SimMainboard::Normal) << int(MainboardLineCounters::Acknowledged);
        QTest::newRow("refused") << int(SimMainboard::ReportBusy) << int(MainboardLineCounters::Refused);
        QTest::newRow("garbled") << int(SimMainboard::CorruptChecksum) << int(MainboardLineCounters::Garbled);
        QTest::newRow("silent") << int(SimMainboard::NoAnswer) << int(MainboardLineCounters::TimedOut);
        QTest::newRow("late") << int(SimMainboard::LateAnswer) << int(MainboardLineCounters::Late);
    }
    void simLineCounters()
    {
        QFETCH(int, mode);
        QFETCH(int, counted);
        SimBench s;
        s.peer.setFailureMode(SimMainboard::FailureMode(mode));
        s.link.setWaitDivisor(60); // 3000 ms waits become 50 ms: a 500 ms late reply misses them
        s.link.writeProgram(input2);
        if (counted == MainboardLineCounters::Late)
            QTRY_VERIFY(s.link.drainIdleInput() > 0 || s.link.lineCounters()[MainboardLineCounters::Late] > 0);
        const auto c = s.link.lineCounters();
        QCOMPARE(c[MainboardLineCounters::Sent], quint64(1));
        QVERIFY(c[MainboardLineCounters::Event(counted)] >= 1);
        for (int e : {MainboardLineCounters::Acknowledged, MainboardLineCounters::Refused, MainboardLineCounters::Garbled})
            if (e != counted)
                QCOMPARE(c[MainboardLineCounters::Event(e)], quint64(0));
        QCOMPARE(c.lastError < 0, counted == MainboardLineCounters::Acknowledged);
    }
};

QTEST_GUILESS_MAIN(TstZarvoMu)
#include "tst_zarvomu.moc"
