// The mainboard link end to end against the simulated mainboard: the real
// QSerialPort on its pseudo-terminal (and its loopback TCP port), every
// operation against a board that keeps state, and its failure modes.

#include "helper_linkbench.h"
#include "sim/simmainboard.h"

#include <QSignalSpy>
#include <QTcpSocket>
#include <QtTest>

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

    void statusFromTheBoard();
    void sourcesAndTransition();
    void lampsWipeAndRate();
    void tbarPosition();
    void userMenuBlocks();
    void userMemories();
    void smallReads();

    void busyRefusalFailsTheWrite();
    void lateAnswerIsCaughtByTheRetries();
    void splitReplyIsJoined();
    void acknowledgementBeforeReply();
    void misbehavingBoard_data();
    void misbehavingBoard();
    void garbageGivesFailureValues();
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

void TstZarvoMuSim::statusFromTheBoard()
{
    mb->update([](SimMainboard::State &s) {
        const QByteArray st = QByteArray::fromHex("216B03120500");
        for (int i = 0; i < 6; ++i)
            s.status[size_t(i)] = quint8(st.at(i));
    });
    bool ok = false;
    const zarvoMuStatus s = link->requestStatus(ok);
    QVERIFY(ok);
    QCOMPARE(int(s.pgmSource), 1);
    QCOMPARE(int(s.pvwSource), 2);
    QCOMPARE(int(s.keyerPvw), 1);
    QCOMPARE(int(s.keyFillSource), 1);
    QCOMPARE(int(s.wipePattern), 5);
    QCOMPARE(mb->lastFrame(), hex("03006E71"));

    // Written back unchanged, acknowledged and applied.
    zarvoMuStatus changed = s;
    changed.pgmSource = 4;
    changed.reverse = 1;
    QVERIFY(link->updateStatus(changed));
    QCOMPARE(mb->statusBytes(), changed.toBytes());
}

void TstZarvoMuSim::sourcesAndTransition()
{
    QVERIFY(link->writeProgram(input3));
    QVERIFY(link->writePreset(colorBar));
    QCOMPARE(mb->program(), 3);
    QCOMPARE(mb->preview(), 6);
    bool ok = false;
    QCOMPARE(link->readProgram(ok), input3);
    QVERIFY(ok);
    QCOMPARE(link->readPreset(ok), colorBar);
    QVERIFY(ok);

    QVERIFY(link->writeKeyFillSrc(input2));
    QVERIFY(link->writeKeyKeySrc(input4));
    // Send-only writes: the board's acknowledgement is left on the line and
    // discarded by the next send.
    QCOMPARE(link->readKeyFillPacks(ok), input2);
    QVERIFY(ok);
    QCOMPARE(link->readKeyKeySrc(ok), input4);
    QVERIFY(ok);
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

void TstZarvoMuSim::lampsWipeAndRate()
{
    bool ok = false;
    QVERIFY(link->writePushButtonLampOn(presetCommand));
    QVERIFY(link->readPushButtonLamp(presetCommand, ok));
    QVERIFY(ok);
    QVERIFY(link->writePushButtonLampOff(presetCommand));
    QVERIFY(!link->readPushButtonLamp(presetCommand, ok));
    QVERIFY(ok);

    QVERIFY(link->writeWipePattern(WipePattern::center));
    QCOMPARE(link->readWipePattern(ok), WipePattern::center);
    QVERIFY(ok);

    QVERIFY(link->writeAutoTransRate(45));
    QCOMPARE(link->readAutoTransRate(ok), 45);
    QVERIFY(ok);
}

void TstZarvoMuSim::tbarPosition()
{
    bool ok = false;
    QVERIFY(link->writeControl(keyer2, 1023));
    QCOMPARE(link->readControl(keyer2, ok), 1023);
    QVERIFY(ok);
    QVERIFY(link->writeControl(keyer2, 0x0123));
    QCOMPARE(mb->tbar(), quint16(0x0123));
    QCOMPARE(mb->receivedFrames().last(), hex("0601C5002301F0"));
    QCOMPARE(link->readControl(keyer2, ok), 0x0123);
    QVERIFY(ok);
}

void TstZarvoMuSim::userMenuBlocks()
{
    bool ok = false;
    const uint8_t cbBytes[8] = {5, 2, 0, 0, 7, 0, 0, 0}, pipBytes[8] = {30, 0xE7, 40, 0, 0, 0, 10, 0},
                  laBytes[8] = {1, 80, 0, 0, 0, 0, 2, 0};
    const auto cb = colorWipeBorderSetting::fromBytes(cbBytes);
    QVERIFY(link->writeColorBorderUserParam(cb));
    QCOMPARE(link->readColorBorderUserParam(ok).toBytes(), cb.toBytes());
    QVERIFY(ok);
    const auto pip = pipSetting::fromBytes(pipBytes);
    QVERIFY(link->writePipUserParam(pip));
    const pipSetting back = link->readPipUserParam(ok);
    QVERIFY(ok);
    QCOMPARE(int(back.pipPositionX), -25);
    QCOMPARE(back.toBytes(), pip.toBytes());
    const auto la = lumakeyAudioSetting::fromBytes(laBytes);
    QVERIFY(link->writeLumaAudioUserParam(la));
    QCOMPARE(link->readLumaAudioUserParam(ok).toBytes(), la.toBytes());
    QVERIFY(ok);

    // The version bytes belong to the board: read, then sent back as read.
    mb->setVersions(3, 4, 5, 6);
    machineInfoSetting mi = link->readMachineInfoUserParam(ok);
    QVERIFY(ok);
    QCOMPARE(int(mi.motherboardMajorVersion), 3);
    QCOMPARE(int(mi.osdMinorVersion), 6);
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
    QCOMPARE(mb->receivedFrames().at(1), hex("0400DA02E0"));
    QCOMPARE(mb->receivedFrames().at(3), hex("0400DB02E1"));
    QCOMPARE(mb->receivedFrames().at(4), hex("0400DAFFDD"));
    QCOMPARE(mb->receivedFrames().at(5), hex("0400DB00DF"));
    QVERIFY(!link->loadUserMemoryPacks(7));
    QCOMPARE(mb->receivedFrames().size(), 6);
}

void TstZarvoMuSim::smallReads()
{
    bool ok = false;
    QVERIFY(link->isMachineLive());
    QCOMPARE(link->readDeviceType(ok), ZARVOMU);
    QVERIFY(ok);
    QVERIFY(link->writeDeviceType(ZARVOMU_4K));
    QCOMPARE(link->readDeviceType(ok), ZARVOMU_4K);
    QVERIFY(link->writeAuxSrc(input2));
    COMMANDFORMAT f;
    QCOMPARE(link->readAuxSrc(ok, f), input2);
    QVERIFY(ok);
    QVERIFY(link->writeAuxMode(1));
    QCOMPARE(link->readAuxMode(), 1);
    mb->setVersions(2, 7, 1, 1);
    QCOMPARE(link->readFwVersion(), 2);
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

void TstZarvoMuSim::acknowledgementBeforeReply()
{
    bool ok = false;
    mb->setFailureMode(SimMainboard::AckBeforeReply);
    QVERIFY(link->requestStatus(ok).toBytes() == mb->statusBytes() && ok);
    mb->update([](SimMainboard::State &s) { s.lamps[size_t(presetCommand)] = true; });
    QVERIFY(link->readPushButtonLamp(presetCommand, ok));
    QVERIFY(ok);

    mb->setFailureMode(SimMainboard::AckThenReply);
    QVERIFY(link->requestStatus(ok).toBytes() == mb->statusBytes() && ok);
    QVERIFY(log->has("request status miss some bytes...  02 80 82"));
    // The wipe read takes a lone acknowledgement as its answer.
    QCOMPARE(link->readWipePattern(ok), reverse);
    QVERIFY(ok);
}

void TstZarvoMuSim::misbehavingBoard_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("op");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("logs");
    auto row = [](const char *name, SimMainboard::FailureMode m, const char *op, bool ok, QStringList logs) {
        QTest::newRow(name) << int(m) << QString(op) << ok << logs;
    };
    row("corrupt checksum: status", SimMainboard::CorruptChecksum, "status", false,
        {"[ERR] request status check sum error"});
    row("corrupt checksum: write", SimMainboard::CorruptChecksum, "program", false, {"[ERR] sum = "});
    row("corrupt checksum: T-bar", SimMainboard::CorruptChecksum, "tbar", false, {"[ERR] checksum =  false"});
    row("corrupt checksum: source", SimMainboard::CorruptChecksum, "readProgram", false,
        {"[ERR] source reply invalid:"});
    row("wrong code: status", SimMainboard::WrongCommandCode, "status", false,
        {"[ERR] request status command code error:"});
    row("wrong code: rate", SimMainboard::WrongCommandCode, "rate", false, {"[ERR] command code error"});
    row("wrong code: lamp", SimMainboard::WrongCommandCode, "lamp", false, {"[ERR]commmandCode fail"});
    row("wrong code: acknowledgements unaffected", SimMainboard::WrongCommandCode, "program", true, {});
    row("too many bytes: status", SimMainboard::TooManyBytes, "status", false,
        {"bytes too long for message buffer:"});
    // An acknowledgement with a tail: a warning, and still a success.
    row("too many bytes: write", SimMainboard::TooManyBytes, "program", true, {"[WARM] len =  7"});
    row("report busy", SimMainboard::ReportBusy, "program", false, {"[ERR] device cannot exec this command"});
    row("ack status 50", SimMainboard::AckStatus, "lamp on", false,
        {"[ERR] instruction not support", "[ERR] MB receive cmd checksum not correct"});
    row("dead board: write", SimMainboard::NoAnswer, "program", false, {"[ERR] No Ack"});
    row("dead board: wipe", SimMainboard::NoAnswer, "wipe", false, {"[ERR] receive wipe pattern empty"});
    row("dead board: live", SimMainboard::NoAnswer, "live", false, {"[ERR] machine live: no reply"});
}

void TstZarvoMuSim::misbehavingBoard()
{
    QFETCH(int, mode);
    QFETCH(QString, op);
    QFETCH(bool, ok);
    QFETCH(QStringList, logs);
    mb->setFailureMode(SimMainboard::FailureMode(mode));
    mb->setAckStatus(0x50);
    link->setWaitDivisor(30); // failing shapes re-read silence
    bool got = !ok;
    if (op == "status")
        QCOMPARE(link->requestStatus(got).toBytes(), ok ? mb->statusBytes() : QByteArray(6, '\0'));
    else if (op == "tbar")
        QCOMPARE(link->readControl(keyer2, got), -1);
    else if (op == "readProgram")
        QCOMPARE(link->readProgram(got), black);
    else if (op == "rate")
        QCOMPARE(link->readAutoTransRate(got), -1);
    else if (op == "lamp")
        QVERIFY(!link->readPushButtonLamp(cutCommand, got));
    else if (op == "wipe")
        QCOMPARE(link->readWipePattern(got), reverse);
    else if (op == "live")
        got = link->isMachineLive();
    else if (op == "lamp on")
        got = link->writePushButtonLampOn(cutCommand);
    else
        got = link->writeProgram(input2);
    QCOMPARE(got, ok);
    for (const QString &l : logs)
        QVERIFY2(log->has(l), qPrintable(l + " missing: " + log->messages().join(" | ")));
    // A refused write changes nothing on the board.
    if (mode == SimMainboard::ReportBusy || mode == SimMainboard::NoAnswer)
        QCOMPARE(mb->program(), 1);
    QTRY_COMPARE(mb->receivedFrames().size(), 1);
}

void TstZarvoMuSim::garbageGivesFailureValues()
{
    mb->setFailureMode(SimMainboard::Garbage);
    mb->setRandomSeed(7);
    link->setWaitDivisor(100);
    for (int i = 0; i < 10; ++i) {
        bool ok = true;
        const zarvoMuStatus s = link->requestStatus(ok);
        if (!ok)
            QCOMPARE(s.toBytes(), QByteArray(6, '\0'));
        const int t = link->readControl(keyer2, ok);
        if (!ok)
            QVERIFY(t == 0 || t == -1);
        link->writeProgram(input2); // whatever it says, it must come back
    }
    QVERIFY(!log->warnings().isEmpty());
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
