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
    void busyGateKeepsFramesOffTheLine();

    void lateAnswerIsCaughtByTheRetries();
    void splitReplyIsJoined();
    void acknowledgementBeforeReply();
    void corruptChecksum();
    void wrongCommandCode();
    void tooManyBytes();
    void reportBusyAndAckStatus();
    void garbageGivesFailureValues();
    void deadBoard();
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
    colorWipeBorderSetting cb;
    cb.bkgColor = 5;
    cb.wipeBorderSize = 2;
    cb.pipBorderColor = 7;
    QVERIFY(link->writeColorBorderUserParam(cb));
    QCOMPARE(link->readColorBorderUserParam(ok).toBytes(), cb.toBytes());
    QVERIFY(ok);

    pipSetting pip;
    pip.pipSize = 30;
    pip.pipPositionX = -25;
    pip.pipPositionY = 40;
    pip.pipCropTop = 10;
    QVERIFY(link->writePipUserParam(pip));
    const pipSetting back = link->readPipUserParam(ok);
    QVERIFY(ok);
    QCOMPARE(int(back.pipPositionX), -25);
    QCOMPARE(back.toBytes(), pip.toBytes());

    lumakeyAudioSetting la;
    la.lumakeyMode = 1;
    la.lumakeyCleanupLevel = 80;
    la.audioLevel = 2;
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

void TstZarvoMuSim::busyGateKeepsFramesOffTheLine()
{
    QSignalSpy busy(link, &zarvoMu::sigMBBusy);
    link->mainboardIsBusy = true;
    QVERIFY(link->writeControl(keyer2, 500));
    QVERIFY(!link->writeProgram(input2));
    QVERIFY(!link->writePreset(input2));
    QVERIFY(!link->writePushButtonLampOn(cutCommand));
    QCOMPARE(busy.count(), 3);
    bool ok = false;
    link->requestStatus(ok);
    QVERIFY(ok);
    QCOMPARE(mb->receivedFrames(),
             (QList<QByteArray>{zarvoMuCommandPacks().writeControlPacks(keyer2, 500), hex("03006E71")}));
    link->sltSpecialMission(true);
    QVERIFY(link->writeProgram(input2));
    QCOMPARE(mb->program(), 2);
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

void TstZarvoMuSim::corruptChecksum()
{
    mb->setFailureMode(SimMainboard::CorruptChecksum);
    bool ok = true;
    QCOMPARE(link->requestStatus(ok).toBytes(), QByteArray(6, '\0'));
    QVERIFY(!ok);
    QVERIFY(log->has("[ERR] request status check sum error"));
    QVERIFY(!link->writeProgram(input2));
    QVERIFY(log->has("[ERR] sum = "));
    QCOMPARE(link->readControl(keyer2, ok), -1);
    QVERIFY(log->has("[ERR] checksum =  false"));
    QCOMPARE(link->readProgram(ok), black);
    QVERIFY(!ok);
}

void TstZarvoMuSim::wrongCommandCode()
{
    mb->setFailureMode(SimMainboard::WrongCommandCode);
    link->setWaitDivisor(30); // the status read re-reads silence
    bool ok = true;
    QCOMPARE(link->requestStatus(ok).toBytes(), QByteArray(6, '\0'));
    QVERIFY(!ok);
    QVERIFY(log->has("[ERR] request status command code error:"));
    QVERIFY(!link->readPushButtonLamp(cutCommand, ok));
    QVERIFY(!ok);
    QCOMPARE(link->readAutoTransRate(ok), -1);
    QVERIFY(log->has("[ERR] command code error"));
    // Acknowledgements are unaffected.
    QVERIFY(link->writeProgram(input1));
}

void TstZarvoMuSim::tooManyBytes()
{
    mb->setFailureMode(SimMainboard::TooManyBytes);
    link->setWaitDivisor(30);
    bool ok = true;
    QCOMPARE(link->requestStatus(ok).toBytes(), QByteArray(6, '\0'));
    QVERIFY(!ok);
    QVERIFY(log->has("bytes too long for message buffer:"));
    // An acknowledgement with a tail: a warning, and still a success.
    QVERIFY(link->writeProgram(input2));
    QVERIFY(log->has("[WARM] len =  7"));
}

void TstZarvoMuSim::reportBusyAndAckStatus()
{
    mb->setFailureMode(SimMainboard::ReportBusy);
    QVERIFY(!link->writeProgram(input2));
    QVERIFY(log->has("[ERR] device cannot exec this command"));
    QCOMPARE(mb->program(), 1);

    mb->setFailureMode(SimMainboard::AckStatus);
    mb->setAckStatus(0x50);
    QVERIFY(!link->writePushButtonLampOn(cutCommand));
    QVERIFY(log->has("[ERR] instruction not support"));
    QVERIFY(log->has("[ERR] MB receive cmd checksum not correct"));
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

void TstZarvoMuSim::deadBoard()
{
    mb->setFailureMode(SimMainboard::NoAnswer);
    link->setWaitDivisor(30);
    QVERIFY(!link->writeProgram(input2));
    QVERIFY(log->has("[ERR] No Ack"));
    bool ok = true;
    QCOMPARE(link->readWipePattern(ok), reverse);
    QVERIFY(!ok);
    QVERIFY(!link->isMachineLive());
    QCOMPARE(mb->receivedFrames().size(), 3); // recorded, never answered
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
