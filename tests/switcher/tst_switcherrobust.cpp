// Every operation with the line open and closed, a mainboard that stops
// answering or answers garbage, and the line reopened. (The model kept off
// the line during a firmware upgrade: tst_upgradethroughmodel.)

#include "tests/switcher/helper_switcherrig.h"

#include "mainboard/zarvomu.h"
#include "sim/mbimage.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <type_traits>
#include <utility>

Q_DECLARE_METATYPE(SimMainboard::FailureMode)

namespace {

enum class Kind {
    Checked, // checks the line first: nothing reaches the link when closed
    Link,    // goes to the link, which fails at once on a closed port
    Local,   // never touches the line
};

struct Operation
{
    const char *name;
    Kind kind;
    // 1 / 0: the operation's own success result; -1: it reports none
    std::function<int(commandExecObject &)> call;
    // With the line open and a healthy board: exactly these frames (empty:
    // not checked here, see the other test programs).
    QByteArray frame;
};

template <typename F> int result(F call)
{
    if constexpr (std::is_same_v<decltype(call()), bool>) {
        return int(call());
    } else {
        call();
        return -1;
    }
}

QByteArray lampOn(quint8 lamp) { return lampFrame(0xC6, lamp); }
QByteArray lampOff(quint8 lamp) { return lampFrame(0xC7, lamp); }

#define OP(kind, expr, ...) Operation{#expr, Kind::kind, [](commandExecObject &m) { return result([&] { return m.expr; }); }, QByteArray(__VA_ARGS__)}
#define C(expr, ...) OP(Checked, expr, __VA_ARGS__)
#define L(expr, ...) OP(Link, expr, __VA_ARGS__)
#define N(expr) OP(Local, expr)

// Every operation of the model that talks to the mainboard or reads its
// stored state. (connectSerial, processFirmwareUpgradeUi and writeToFile have
// tests of their own.)
const QList<Operation> &allOperations()
{
    static const QList<Operation> ops{
        C(pgm(1), mbFrame(0, 0xC1, hexBytes("01"))), L(pvw(4), mbFrame(0, 0xC2, hexBytes("04"))),
        C(pgmbg()), C(pvwbg()),
        C(pgmBk(), mbFrame(0, 0xC1, hexBytes("00"))), C(pvwBk(), mbFrame(0, 0xC2, hexBytes("00"))),
        C(pgmColorBar(), mbFrame(0, 0xC1, hexBytes("06"))),
        C(cutTrans(), hexBytes("04 00 C6 01 CB")), C(autoTrans(3)),
        L(mixMode(), lampOn(4)), L(wipeMode(), lampOn(5)), C(spliteMode()),
        C(reverseOn(), lampOn(2)), C(reverseOff(), lampOff(2)),
        C(wipePattern1(), mbFrame(0, 0xC8, hexBytes("00"))), C(wipePattern2(), mbFrame(0, 0xC8, hexBytes("01"))),
        C(wipePattern3(), mbFrame(0, 0xC8, hexBytes("02"))),
        L(pipProgramOn(), lampOn(0x11)), L(pipProgramOff(), lampOff(0x11)),
        L(pipPreviewOn(), lampOn(0x12)), L(pipPreviewOff(), lampOff(0x12)),
        L(writePipProgram(), lampOn(0x11)), C(pipSplitOnPgm()), C(pipSplitOnPvw()),
        L(keyOnPgm(), lampOn(0x15)), L(keyOffPgm(), lampOff(0x15)),
        L(keyOnPvw(), lampOn(0x16)), L(keyOffPvw(), lampOff(0x16)),
        C(pipPgmState()), C(pipPvmState()), C(keyPgmState()), C(keyPvmState()),
        L(writePipSource(3), hexBytes("04 01 C4 03 CC")), C(writeSplitSource(4), mbFrame(2, 0xC4, hexBytes("04"))),
        C(writeKeySource(2), mbFrame(0, 0xC4, hexBytes("02"))),
        C(readProgram()), C(readPreset()), C(readMix()), C(readWipePattern()), N(getWipeMode()),
        C(setAuxOutput(m.auxOutput() == 2 ? 1 : 2)), N(auxOutput()),
        C(setAuxMode(2), hexBytes("0F 05 C9 02 00 00 00 00 00 00 00 00 00 00 00 DF")),
        C(readAutoRate()), C(writeAutoRate(12)), L(readTbar()),
        L(writeTbar(m.currentTbarPos() == 300 ? 301 : 300)),
        C(readUserMenuSetting3()), C(readUserMenuSetting()), C(readUserMenuSetting2()),
        C(readPgmMute()), C(readPgmHdmiInput()), C(readPgmHdmiGroup()), C(readPgmLevel()), C(readLumaAudio()),
        C(readAuxLevel()), C(readAuxHdmiGroup()), C(readAuxHdmiInput()), C(readAuxMute()),
        C(readPgmOutRes()), C(readMvOutRes()), C(readPgmOutputFormat()), C(readVersion()),
        C(readWipeMode()), C(readReverseMode()),
        C(getStartPage()), C(refreshStartPage()), C(refreshPipSplitPage()), C(refreshPipCropPage()),
        C(refreshLumaKeyPage()), C(refreshAudioPage()), C(refreshAudioPage2()), C(refreshSetupPage()),
        C(refreshSettingPages()),
        L(writeUserMenuSetting(m.storedColorBorder())), L(writeUserMenuSetting(m.storedPip(), false)),
        C(writeUserMenuSetting(m.storedLumaAudio())), C(writeUserMenuSetting(m.storedMachineInfo())),
        L(writeWipeBorderSize(m.getWipeBorderSize() ^ 1)), L(writeWipeBorderColor(m.getWipeBorderColor() ^ 1)),
        L(writeBkgColor(4)),
        L(writePipSplitBorderSize(m.storedColorBorder().pipBorderSize ^ 1)),
        L(writePipSplitBorderColor(m.storedColorBorder().pipBorderColor ^ 1)),
        L(writePipSize(40)), L(writePipPosX(-10, true)), L(writePipPosY(10)),
        L(writePipCropSize(3)), L(writePipCropLeft(3)), L(writePipCropRight(3, true)),
        L(writePipCropTop(3)), L(writePipCropBottom(3)), L(resetPipCrop()), L(resetPipSizeXYPos()),
        C(writelumakeyMode(m.storedLumaAudio().lumakeyMode ^ 1)), C(writelumakeyCleanupLevel(20)),
        C(writelumakeyTransparency(m.storedLumaAudio().lumakeyTransparency ^ 1)),
        C(writeAudioOn()), C(writeAudioOff()),
        C(writeAudioHdmiInput(m.storedLumaAudio().audioHdmiInput ^ 1)),
        C(writeAudioHdmiGroup(m.storedLumaAudio().audioHdmiGroup ^ 1)),
        C(writeAudioLevel(m.storedLumaAudio().audioLevel ^ 1)),
        C(writeAudioTallyMode(m.storedLumaAudio().audioTallyMode ^ 1)),
        C(writePgmOutResolution(m.storedMachineInfo().pgmOutResolution ^ 1)), C(writeMvOutResolution(5)),
        C(writeOutputFormat(m.storedMachineInfo().outputFormat ^ 1)), C(writeLanguageToMachine(1)),
        C(writeAuxAudioOn()), C(writeAuxAudioOff()),
        N(writeAuxAudioHdmiInput(1)), N(writeAuxAudioHdmiGroup(1)), N(writeAuxAudioLevel(1)),
        N(printAudio(m.storedLumaAudio())), N(getWipeBkgColor()),
        C(userMem(5)), C(userMem1()), C(userMem2()), C(userMem3()), C(userMem4()), C(loadFactoryDefault()),
        L(saveuserMem(6)), L(saveSetup()),
        L(refreshStatus2()), L(requestStatus(), hexBytes("03 00 6E 71")), L(updateStatus()), N(refreshStatus()),
        N(openMission(false)), N(autoTransStartSlot()), N(setInBootMode(false)),
        N(availableComPorts()), N(getScreenWidth()), N(getScreenHeight()),
    };
    return ops;
}
#undef N
#undef L
#undef C
#undef OP

QString imagePath() { return QStringLiteral("/mnt/tervana/tavrik/ZARVOHD.bin"); }

} // namespace

class TestSwitcherRobust : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<SimMainboard::FailureMode>();
        rig_.reset(new SwitcherRig);
        m = rig_->model.get();
    }
    void init()
    {
        // A T-bar left in travel by an earlier case would hold the busy gate.
        if (m->currentTbarPos() != 0 && m->currentTbarPos() != 1023)
            m->writeTbar(0);
        rig_->resetBoard();
    }
    void cleanupTestCase() { rig_.reset(); }

    void everyOperationWithLineOpen_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < allOperations().size(); ++i)
            QTest::newRow(allOperations()[i].name) << i;
    }

    void everyOperationWithLineOpen()
    {
        QFETCH(int, index);
        const Operation &op = allOperations()[index];
        ensureOpen();
        QElapsedTimer t;
        t.start();
        const int result = op.call(*m);
        // A healthy board answers at once: nothing waits out a time-out.
        QVERIFY2(t.elapsed() < 2500, qPrintable(QString("%1 took %2 ms").arg(op.name).arg(t.elapsed())));
        QVERIFY(!rig_->log.has("re-entered"));
        QVERIFY(!rig_->log.has("[ERR] Not connected"));
        if (op.kind == Kind::Local)
            QCOMPARE(rig_->sent(), QString());
        if (!op.frame.isEmpty()) {
            QVERIFY(result != 0);
            QCOMPARE(rig_->sent(), hexText(op.frame));
            QCOMPARE(rig_->log.count("[ERR]"), 0);
        }
        // The lock is free afterwards.
        if (m->currentTbarPos() != 0 && m->currentTbarPos() != 1023)
            m->writeTbar(0);
        QVERIFY(m->pvw(3));
    }

    void everyOperationWithLineClosed_data() { everyOperationWithLineOpen_data(); }

    void everyOperationWithLineClosed()
    {
        QFETCH(int, index);
        const Operation &op = allOperations()[index];
        if (m->isConnected()) {
            // Once for all rows: every stored record read, so the writers go
            // straight to the write; then the line is closed and stays closed.
            m->refreshPipSplitPage();
            m->refreshLumaKeyPage();
            m->refreshSetupPage();
            m->disConnect();
        }
        QVERIFY(!m->isConnected());
        rig_->mb->clearReceived();
        rig_->log.clear();

        QElapsedTimer t;
        t.start();
        const int result = op.call(*m);
        QVERIFY2(t.elapsed() < 1500, qPrintable(QString("%1 took %2 ms").arg(op.name).arg(t.elapsed())));
        QCOMPARE(rig_->mb->receivedBytes().size(), 0);
        const bool reachedLink = rig_->log.has("[COM] serialPort_");
        QCOMPARE(reachedLink, op.kind == Kind::Link);
        if (op.kind == Kind::Checked)
            QVERIFY(rig_->log.has("[ERR] Not connected"));
        if (op.kind == Kind::Link)
            QVERIFY(rig_->log.has("[ERR] Write fail:"));
        // Operations that report a result report failure.
        if (op.kind != Kind::Local && result != -1)
            QCOMPARE(result, 0);
    }

    void closedLineEdgeCases()
    {
        ensureOpen();
        m->disConnect();
        QSignalSpy info(m, &commandExecObject::setVersionInfo);
        QCOMPARE(m->readVersion(), QString("x.xx"));
        QCOMPARE(info.count(), 1);
        QCOMPARE(info.first(), (QList<QVariant>{QString("0.00"), QString("0.0"), QString("1.0.0")}));

        QCOMPARE(m->readProgram() + m->readAutoRate() + m->readPgmMute() + m->readPgmOutRes(), 0);
        QCOMPARE(rig_->mb->receivedBytes().size(), 0);

        // An upgrade asked for on a closed line fails, and the model is free again.
        MbImage image;
        image.packets = MbImage::makePackets(1, 8);
        QVERIFY(rig_->sysroot.writeFile(imagePath(), image.toBytes()));
        QSignalSpy finished(m, &commandExecObject::upgradeFinished);
        m->processFirmwareUpgradeUi(imagePath(), QString());
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(finished.first().at(0).toBool(), false);
        QVERIFY(!m->isUpgrading());
        QVERIFY(QFile::remove(rig_->sysroot.path(imagePath())));
        QCOMPARE(rig_->mb->receivedBytes().size(), 0);
    }

    void reopenAfterFailedOpen()
    {
        QVERIFY(!m->connectSerial(QStringLiteral("ttyNOPE")));
        QVERIFY(!m->isConnected());
        QVERIFY(!m->pgm(1));
        // Opening a closed line and reopening an open one both work.
        for (int src : {5, 4}) {
            QVERIFY(m->connectSerial(QStringLiteral("ttyAMA2")));
            QVERIFY(m->pgm(src));
            QCOMPARE(rig_->mb->program(), src);
        }
    }

    void misbehavingBoardLeavesModelUsable_data()
    {
        QTest::addColumn<SimMainboard::FailureMode>("mode");
        QTest::newRow("stops answering") << SimMainboard::NoAnswer;
        QTest::newRow("garbage") << SimMainboard::Garbage;
        QTest::newRow("corrupt checksum") << SimMainboard::CorruptChecksum;
        QTest::newRow("wrong command code") << SimMainboard::WrongCommandCode;
        QTest::newRow("trailing bytes") << SimMainboard::TooManyBytes;
        QTest::newRow("split replies") << SimMainboard::SplitReply;
        QTest::newRow("late replies") << SimMainboard::LateAnswer;
        QTest::newRow("reports busy") << SimMainboard::ReportBusy;
        QTest::newRow("ack before reply") << SimMainboard::AckBeforeReply;
        QTest::newRow("ack then reply") << SimMainboard::AckThenReply;
    }

    void misbehavingBoardLeavesModelUsable()
    {
        QFETCH(SimMainboard::FailureMode, mode);
        ensureOpen();
        rig_->mb->setReplyDelay(150);
        rig_->mb->setSplitReply(2, 20);
        rig_->mb->setRandomSeed(quint32(mode) * 7919u);
        // The board fails mid-session; short link waits keep the test brief.
        rig_->setWaitDivisor(30);
        rig_->mb->setFailureMode(mode);
        QSignalSpy state(m, &commandExecObject::sendMuState);
        m->pgm(3);
        m->cutTrans();
        m->readProgram();
        m->refreshStatus2();
        m->writeAutoRate(9);
        m->keyOnPvw();
        m->writeTbar(m->currentTbarPos() == 1023 ? 0 : 1023);
        if (mode == SimMainboard::NoAnswer || mode == SimMainboard::Garbage || mode == SimMainboard::CorruptChecksum
            || mode == SimMainboard::ReportBusy)
            QCOMPARE(state.count(), 0);

        // The board recovers: the very next operations work.
        rig_->mb->setFailureMode(SimMainboard::Normal);
        rig_->setWaitDivisor(1);
        if (mode == SimMainboard::LateAnswer || mode == SimMainboard::SplitReply || mode == SimMainboard::AckThenReply) {
            // Replies still in flight belong to the old frames: wait until the
            // board has written them all.
            int last = -1;
            QTRY_VERIFY_WITH_TIMEOUT([&] {
                QTest::qWait(120);
                const int now = rig_->mb->sentBytes().size();
                return std::exchange(last, now) == now;
            }(), 5000);
        }
        rig_->mb->update([](SimMainboard::State &s) { s.setProgram(1); s.setPreview(2); });
        QVERIFY(m->pgm(4));
        QCOMPARE(rig_->mb->program(), 4);
        QCOMPARE(m->readProgram(), 4);
        QCOMPARE(m->readPreset(), 2);
        QVERIFY(m->cutTrans());
        QCOMPARE(rig_->mb->program(), 2);
        state.clear();
        m->refreshStatus2();
        QCOMPARE(state.count(), 1);
        QCOMPARE(m->pgmSourceNumber(), 2u);
        QVERIFY(!rig_->log.has("re-entered"));
    }

    void upgradeWithoutImageDoesNothing()
    {
        ensureOpen();
        QSignalSpy finished(m, &commandExecObject::upgradeFinished);
        m->processFirmwareUpgradeUi(imagePath(), QStringLiteral("1.1"));
        QCOMPARE(rig_->log.count("Not need to upgrade MB"), 1);
        QVERIFY(!m->isUpgrading());
        QVERIFY(m->pgm(2));
        QCOMPARE(finished.count(), 0);
    }

private:
    void ensureOpen()
    {
        if (!m->isConnected())
            QVERIFY(m->connectSerial(QStringLiteral("ttyAMA2")));
    }

    std::unique_ptr<SwitcherRig> rig_;
    commandExecObject *m = nullptr;
};

QTEST_MAIN(TestSwitcherRobust)
#include "tst_switcherrobust.moc"
