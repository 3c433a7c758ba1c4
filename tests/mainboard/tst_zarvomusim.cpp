// The mainboard link against the simulated mainboard: every operation
// written and read back from a board that keeps state, a late and a split
// reply, and the board's loopback TCP port. (The link's handling of each bad
// reply is pinned against the scripted peer, the board's failure modes in
// tst_simmainboard.)

#include "helper_linkbench.h"
#include "sim/simmainboard.h"

#include <QTcpSocket>
#include <QtTest>

#include <functional>
#include <memory>

using Write = std::function<bool(zarvoMu &)>;
using Read = std::function<QVariant(zarvoMu &, bool &)>;
Q_DECLARE_METATYPE(Write)
Q_DECLARE_METATYPE(Read)

class TstZarvoMuSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        log.reset(new LogCapture); // after the test runner's own message handler
        QVERIFY(mb.isOpen() && openMainboardLine(port));
    }
    void init()
    {
        mb.reset();
        link.setWaitDivisor(1);
        port.clear();
        log->clear();
    }

    void roundTrips_data();
    void roundTrips();
    void lateAnswerIsCaughtByTheRetries();
    void splitReplyIsJoined();
    void overTcp();

private:
    TestSysroot root;
    SimMainboard mb{QStringLiteral("ttyAMA2")};
    QSerialPort port;
    zarvoMu link{nullptr, &port};
    std::unique_ptr<LogCapture> log;
};

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
    row("status record", WRITE(updateStatus(zarvoMuStatus::fromBytes(hexBytes("246B03128500")))),
        READ(l.requestStatus(ok).toBytes()), hexBytes("246B03128500"));
    row("program", WRITE(writeProgram(input3)), READ(int(l.readProgram(ok))), 3);
    row("preview", WRITE(writePreset(colorBar)), READ(int(l.readPreset(ok))), 6);
    row("key fill", WRITE(writeKeyFillSrc(input2)), READ(int(l.readKeyFillPacks(ok))), 2);
    row("key source", WRITE(writeKeyKeySrc(input4)), READ(int(l.readKeyKeySrc(ok))), 4);
    row("lamp on", WRITE(writePushButtonLampOn(presetCommand)), READ(l.readPushButtonLamp(presetCommand, ok)), true);
    row("lamp off", WRITE(writePushButtonLampOff(presetCommand)), READ(l.readPushButtonLamp(presetCommand, ok)), false);
    row("wipe pattern", WRITE(writeWipePattern(WipePattern::center)), READ(int(l.readWipePattern(ok))), 2);
    row("auto-transition rate", WRITE(writeAutoTransRate(45)), READ(l.readAutoTransRate(ok)), 45);
    row("T-bar 0x0123", WRITE(writeControl(keyer2, 0x0123)), READ(l.readControl(keyer2, ok)), 0x0123);
    row("device type", WRITE(writeDeviceType(ZARVOMU_4K)), READ(int(l.readDeviceType(ok))), 4);
    row("aux source", WRITE(writeAuxSrc(input2)), READ(int(l.readAuxSrc(ok, auxFrame))), 2);
    row("aux mode", WRITE(writeAuxMode(1)), READ((ok = true, l.readAuxMode())), 1);
    row("live", WRITE(isMachineLive()), READ(ok = l.isMachineLive()), true);
    row("user memory saved and loaded",
        [](zarvoMu &l) {
            return l.writeProgram(input4) && l.saveUserMemoryPacks(2) && l.writeProgram(input1)
                   && l.loadUserMemoryPacks(2);
        },
        READ(int(l.readProgram(ok))), 4);
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
    QVERIFY(write(link));
    bool ok = false;
    QCOMPARE(read(link, ok), value);
    QVERIFY2(ok, qPrintable(log->messages().join(" | ")));
}

void TstZarvoMuSim::lateAnswerIsCaughtByTheRetries()
{
    mb.setFailureMode(SimMainboard::LateAnswer);
    mb.setReplyDelay(400);
    // Past the 200 ms first wait of a program write, inside its first retry.
    QVERIFY(link.writeProgram(input2));
    QCOMPARE(log->count("[WARN] No response received in 200 ms"), 1);
    // A program read waits 200 ms only: too late.
    bool ok = true;
    QCOMPARE(link.readProgram(ok), black);
    QVERIFY(!ok);
    // Once it has come, the late answer is discarded by the next send, not
    // mistaken for that frame's reply.
    QTRY_VERIFY(mb.sentBytes().endsWith(hexBytes("0400C102C7")));
    QVERIFY(link.writePreset(input3));
    QCOMPARE(mb.preview(), 3);
}

void TstZarvoMuSim::splitReplyIsJoined()
{
    mb.setFailureMode(SimMainboard::SplitReply);
    mb.setSplitReply(2, 50);
    bool ok = false;
    QCOMPARE(link.requestStatus(ok).toBytes(), mb.statusBytes());
    QVERIFY2(ok, qPrintable(log->messages().join(" | ")));
    QCOMPARE(link.readPipUserParam(ok).toBytes(), mb.menuBlock(1));
    QVERIFY(ok);
}

void TstZarvoMuSim::overTcp()
{
    const quint16 tcpPort = mb.listenTcp();
    QVERIFY(tcpPort != 0);
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, tcpPort);
    QVERIFY(socket.waitForConnected(2000));
    zarvoMu tcpLink(&socket, &port);
    tcpLink.setIsUseSocket(true);
    bool ok = false;
    QCOMPARE(tcpLink.requestStatus(ok).toBytes(), mb.statusBytes());
    QVERIFY(ok);
    QVERIFY(tcpLink.writeProgram(input4));
    QCOMPARE(mb.program(), 4);
    QVERIFY(mb.sentBytes().contains(hexBytes("000C0900EE")));
}

QTEST_GUILESS_MAIN(TstZarvoMuSim)
#include "tst_zarvomusim.moc"
