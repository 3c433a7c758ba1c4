// The mainboard link end to end against the simulated mainboard: the real
// QSerialPort on its pseudo-terminal (and its loopback TCP port), every
// operation against a board that keeps state, and its failure modes.

#include "helper_linkbench.h"
#include "sim/simmainboard.h"

#include <QSignalSpy>
#include <QTcpSocket>
#include <QtTest>

#include <functional>
#include <memory>

namespace {
QByteArray hex(const char *s) { return QByteArray::fromHex(s); }

// The simulated board on "ttyAMA2" and the link on the panel's side of it.
struct SimBench {
    TestSysroot root;
    SimMainboard mb{QStringLiteral("ttyAMA2")};
    QSerialPort port;
    zarvoMu link{nullptr, &port};
    LogCapture log;
    SimBench() { openMainboardLine(port); }
};
} // namespace

class TstZarvoMuSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        b.reset(new SimBench);
        QVERIFY(b->mb.isOpen() && b->port.isOpen());
        mb = &b->mb;
        link = &b->link;
        log = &b->log;
    }
    void cleanupTestCase() { b.reset(); }
    void init();

    void roundTrips_data();
    void roundTrips();
    void transitionOnTheBoard();
    void versionsSentBackAsRead();
    void userMemories();

    void busyRefusalFailsTheWrite();
    void lateAnswerIsCaughtByTheRetries();
    void splitReplyIsJoined();
    void misbehavingBoard_data();
    void misbehavingBoard();
    void overTcp();

private:
    std::unique_ptr<SimBench> b;
    SimMainboard *mb = nullptr;
    zarvoMu *link = nullptr;
    LogCapture *log = nullptr;
};

void TstZarvoMuSim::init()
{
    mb->reset();
    link->mainboardIsBusy = false;
    link->sltSpecialMission(false);
    link->setIsUseSocket(false);
    link->setWaitDivisor(1);
    b->port.clear();
    log->clear();
}

using Write = std::function<bool(zarvoMu &)>;
using Read = std::function<QVariant(zarvoMu &, bool &)>;
Q_DECLARE_METATYPE(Write)
Q_DECLARE_METATYPE(Read)
#define WRITE(call) [](zarvoMu &l) { return l.call; }
#define READ(value) [](zarvoMu &l, bool &ok) { return QVariant(value); }

// What is written is applied by the board and read back as written. Send-only
// writes leave the board's acknowledgement on the line, for the next send to
// discard.
void TstZarvoMuSim::roundTrips_data()
{
    QTest::addColumn<Write>("write");
    QTest::addColumn<Read>("read");
    QTest::addColumn<QVariant>("value");
    auto row = [](const char *name, Write w, Read r, QVariant v) { QTest::newRow(name) << w << r << v; };
    static const uint8_t cb[8] = {5, 2, 0, 0, 7, 0, 0, 0}, pip[8] = {30, 0xE7, 40, 0, 0, 0, 10, 0},
                         la[8] = {1, 80, 0, 0, 0, 0, 2, 0};
    static COMMANDFORMAT auxFrame;
    auto bytes8 = [](const uint8_t *p) { return QByteArray(reinterpret_cast<const char *>(p), 8); };
    row("status record", WRITE(updateStatus(zarvoMuStatus::fromBytes(hex("246B03128500")))),
        READ(l.requestStatus(ok).toBytes()), hex("246B03128500"));
    row("program", WRITE(writeProgram(input3)), READ(int(l.readProgram(ok))), 3);
    row("preview", WRITE(writePreset(colorBar)), READ(int(l.readPreset(ok))), 6);
    row("key fill", WRITE(writeKeyFillSrc(input2)), READ(int(l.readKeyFillPacks(ok))), 2);
    row("key source", WRITE(writeKeyKeySrc(input4)), READ(int(l.readKeyKeySrc(ok))), 4);
    row("lamp on", WRITE(writePushButtonLampOn(presetCommand)), READ(l.readPushButtonLamp(presetCommand, ok)), true);
    row("lamp off", WRITE(writePushButtonLampOff(presetCommand)), READ(l.readPushButtonLamp(presetCommand, ok)), false);
    row("wipe pattern", WRITE(writeWipePattern(WipePattern::center)), READ(int(l.readWipePattern(ok))), 2);
    row("auto-transition rate", WRITE(writeAutoTransRate(45)), READ(l.readAutoTransRate(ok)), 45);
    row("T-bar 1023", WRITE(writeControl(keyer2, 1023)), READ(l.readControl(keyer2, ok)), 1023);
    row("T-bar 0x0123", WRITE(writeControl(keyer2, 0x0123)), READ(l.readControl(keyer2, ok)), 0x0123);
    row("device type", WRITE(writeDeviceType(ZARVOMU_4K)), READ(int(l.readDeviceType(ok))), 4);
    row("aux source", WRITE(writeAuxSrc(input2)), READ(int(l.readAuxSrc(ok, auxFrame))), 2);
    row("aux mode", WRITE(writeAuxMode(1)), READ((ok = true, l.readAuxMode())), 1);
    row("live", WRITE(isMachineLive()), READ(ok = l.isMachineLive()), true);
    row("colour and border block", WRITE(writeColorBorderUserParam(colorWipeBorderSetting::fromBytes(cb))),
        READ(l.readColorBorderUserParam(ok).toBytes()), bytes8(cb));
    row("picture-in-picture block, signed positions", WRITE(writePipUserParam(pipSetting::fromBytes(pip))),
        READ(l.readPipUserParam(ok).toBytes()), bytes8(pip));
    row("luma key and audio block", WRITE(writeLumaAudioUserParam(lumakeyAudioSetting::fromBytes(la))),
        READ(l.readLumaAudioUserParam(ok).toBytes()), bytes8(la));
}

void TstZarvoMuSim::roundTrips()
{
    QFETCH(Write, write);
    QFETCH(Read, read);
    QFETCH(QVariant, value);
    QVERIFY(write(*link));
    bool ok = false;
    QCOMPARE(read(*link, ok), value);
    QVERIFY2(ok, qPrintable(log->messages().join(" | ")));
}

void TstZarvoMuSim::transitionOnTheBoard()
{
    QVERIFY(link->writeProgram(input3));
    QVERIFY(link->writePreset(colorBar));
    QVERIFY(link->writePipSrc(input1));
    QVERIFY(link->writeSplitSrc(background));
    QTRY_COMPARE(mb->state().splitSource(), 5);
    QCOMPARE(mb->state().pipSource(), 1);
    // CUT swaps program and preview on the board.
    QVERIFY(link->writePushButtonLampOn(cutCommand));
    QTRY_COMPARE(mb->program(), 6);
    QCOMPARE(mb->preview(), 3);
    QCOMPARE(mb->receivedFrames().last(), hex("0400C601CB"));
}

void TstZarvoMuSim::versionsSentBackAsRead()
{
    bool ok = false;
    // The version bytes belong to the board: read, then sent back as read.
    mb->setVersions(3, 4, 5, 6);
    machineInfoSetting mi = link->readMachineInfoUserParam(ok);
    QVERIFY(ok);
    QCOMPARE(int(mi.motherboardMajorVersion), 3);
    QCOMPARE(int(mi.osdMinorVersion), 6);
    QCOMPARE(link->readFwVersion(), 3);
    mi.language = 2;
    mi.outputFormat = 1;
    QVERIFY(link->writeMachineInfoUserParam(mi));
    QCOMPARE(link->readMachineInfoUserParam(ok).toBytes(), mi.toBytes());
    QCOMPARE(mb->menuBlock(3), mi.toBytes());
}

void TstZarvoMuSim::userMemories()
{
    QVERIFY(link->writeProgram(input4));
    QVERIFY(link->saveUserMemoryPacks(2));
    QVERIFY(link->writeProgram(input1));
    QVERIFY(link->loadUserMemoryPacks(2));
    QCOMPARE(mb->program(), 4);
    QVERIFY(link->saveSetupPacks());
    QVERIFY(link->loadFactoryDefaultPacks());
    QTRY_COMPARE(mb->receivedFrames().size(), 6);
}

void TstZarvoMuSim::busyRefusalFailsTheWrite()
{
    QSignalSpy busy(link, &zarvoMu::sigMBBusy);
    link->mainboardIsBusy = true;
    QVERIFY(!link->writeProgram(input2));
    QCOMPARE(busy.count(), 1);
    QVERIFY(log->has("[ERR] Send : "));
    QVERIFY(mb->receivedFrames().isEmpty());
}

void TstZarvoMuSim::lateAnswerIsCaughtByTheRetries()
{
    mb->setFailureMode(SimMainboard::LateAnswer);
    mb->setReplyDelay(400);
    // Past the 200 ms first wait of a program write, inside its first retry.
    QVERIFY(link->writeProgram(input2));
    QCOMPARE(log->count("[WARN] No response received in 200 ms"), 1);
    // A program read waits 200 ms only: too late.
    bool ok = true;
    QCOMPARE(link->readProgram(ok), black);
    QVERIFY(!ok);
    // Once it has come, the late answer is discarded by the next send, not
    // mistaken for that frame's reply.
    QTRY_VERIFY(mb->sentBytes().endsWith(hex("0400C102C7")));
    QVERIFY(link->writePreset(input3));
    QCOMPARE(mb->preview(), 3);
}

void TstZarvoMuSim::splitReplyIsJoined()
{
    mb->setFailureMode(SimMainboard::SplitReply);
    mb->setSplitReply(2, 50);
    bool ok = false;
    const zarvoMuStatus s = link->requestStatus(ok);
    QVERIFY2(ok, qPrintable(log->messages().join(" | ")));
    QCOMPARE(s.toBytes(), mb->statusBytes());
    QVERIFY(log->has("request status miss some bytes... "));
    const pipSetting pip = link->readPipUserParam(ok);
    QVERIFY(ok);
    QCOMPARE(pip.toBytes(), mb->menuBlock(1));
}

// The log lines of each refusal are pinned where the checks live (frame and
// read tests); here the board's misbehaviour must reach the caller.
void TstZarvoMuSim::misbehavingBoard_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<Read>("op");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("ok");
    auto row = [](const char *name, SimMainboard::FailureMode m, Read op, QVariant v, bool ok) {
        QTest::newRow(name) << int(m) << op << v << ok;
    };
    const Read status = READ(l.requestStatus(ok).toBytes()), program = READ(ok = l.writeProgram(input2));
    const QByteArray zero6(6, '\0');
    row("corrupt checksum: status", SimMainboard::CorruptChecksum, status, zero6, false);
    row("corrupt checksum: T-bar", SimMainboard::CorruptChecksum, READ(l.readControl(keyer2, ok)), -1, false);
    row("wrong code: status", SimMainboard::WrongCommandCode, status, zero6, false);
    row("wrong code: lamp", SimMainboard::WrongCommandCode, READ(l.readPushButtonLamp(cutCommand, ok)), false, false);
    row("wrong code: acknowledgements unaffected", SimMainboard::WrongCommandCode, program, true, true);
    // An acknowledgement with a tail is still a success.
    row("too many bytes: write", SimMainboard::TooManyBytes, program, true, true);
    row("report busy", SimMainboard::ReportBusy, program, false, false);
    row("ack status 50", SimMainboard::AckStatus, READ(ok = l.writePushButtonLampOn(cutCommand)), false, false);
    row("dead board: write", SimMainboard::NoAnswer, program, false, false);
    row("dead board: wipe", SimMainboard::NoAnswer, READ(int(l.readWipePattern(ok))), int(reverse), false);
}

void TstZarvoMuSim::misbehavingBoard()
{
    QFETCH(int, mode);
    QFETCH(Read, op);
    QFETCH(QVariant, value);
    QFETCH(bool, ok);
    mb->setFailureMode(SimMainboard::FailureMode(mode));
    mb->setAckStatus(0x50);
    link->setWaitDivisor(30); // failing shapes re-read silence
    bool got = !ok;
    QCOMPARE(op(*link, got), value);
    QCOMPARE(got, ok);
    if (!ok)
        QVERIFY(!log->warnings().isEmpty());
    // A refused write changes nothing on the board.
    if (mode == SimMainboard::ReportBusy || mode == SimMainboard::NoAnswer)
        QCOMPARE(mb->program(), 1);
    QTRY_COMPARE(mb->receivedFrames().size(), 1);
}

void TstZarvoMuSim::overTcp()
{
    const quint16 tcpPort = mb->listenTcp();
    QVERIFY(tcpPort != 0);
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, tcpPort);
    QVERIFY(socket.waitForConnected(2000));
    zarvoMu tcpLink(&socket, &b->port);
    tcpLink.setIsUseSocket(true);
    bool ok = false;
    QCOMPARE(tcpLink.requestStatus(ok).toBytes(), mb->statusBytes());
    QVERIFY(ok);
    QVERIFY(tcpLink.writeProgram(input4));
    QCOMPARE(mb->program(), 4);
    QVERIFY(mb->sentBytes().contains(hex("000C0900EE")));
}

QTEST_GUILESS_MAIN(TstZarvoMuSim)
#include "tst_zarvomusim.moc"
