// Every operation with the line open and closed, a mainboard that stops
// answering or answers garbage, and the line reopened. (The model kept off
// the line during a firmware upgrade: tst_upgradethroughmodel.)

#include "tests/switcher/helper_switcherrig.h"

#include "mainboard/zarvomu.h"
#include "sim/mbimage.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
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

// Every operation of the model that talks to the mainboard or reads its
// stored state. (connectSerial, processFirmwareUpgradeUi and writeToFile have
// tests of their own.)
const QList<Operation> &allOperations()
{
    static const QList<Operation> ops{
        OP(Checked, pgm(1), mbFrame(0, 0xC1, hexBytes("01"))),
        OP(Link, pvw(4), mbFrame(0, 0xC2, hexBytes("04"))),
        OP(Checked, pgmbg()),
        OP(Checked, pvwbg()),
        OP(Checked, pgmBk(), mbFrame(0, 0xC1, hexBytes("00"))),
        OP(Checked, pvwBk(), mbFrame(0, 0xC2, hexBytes("00"))),
        OP(Checked, pgmColorBar(), mbFrame(0, 0xC1, hexBytes("06"))),
        OP(Checked, cutTrans(), hexBytes("04 00 C6 01 CB")),
        OP(Checked, autoTrans(3)),
        OP(Link, mixMode(), lampOn(4)),
        OP(Link, wipeMode(), lampOn(5)),
        OP(Checked, spliteMode()),
        OP(Checked, reverseOn(), lampOn(2)),
        OP(Checked, reverseOff(), lampOff(2)),
        OP(Checked, wipePattern1(), mbFrame(0, 0xC8, hexBytes("00"))),
        OP(Checked, wipePattern2(), mbFrame(0, 0xC8, hexBytes("01"))),
        OP(Checked, wipePattern3(), mbFrame(0, 0xC8, hexBytes("02"))),
        OP(Link, pipProgramOn(), lampOn(0x11)),
        OP(Link, pipProgramOff(), lampOff(0x11)),
        OP(Link, pipPreviewOn(), lampOn(0x12)),
        OP(Link, pipPreviewOff(), lampOff(0x12)),
        OP(Link, writePipProgram(), lampOn(0x11)),
        OP(Checked, pipSplitOnPgm()),
        OP(Checked, pipSplitOnPvw()),
        OP(Link, keyOnPgm(), lampOn(0x15)),
        OP(Link, keyOffPgm(), lampOff(0x15)),
        OP(Link, keyOnPvw(), lampOn(0x16)),
        OP(Link, keyOffPvw(), lampOff(0x16)),
        OP(Checked, pipPgmState()),
        OP(Checked, pipPvmState()),
        OP(Checked, keyPgmState()),
        OP(Checked, keyPvmState()),
        OP(Link, writePipSource(3), hexBytes("04 01 C4 03 CC")),
        OP(Checked, writeSplitSource(4), mbFrame(2, 0xC4, hexBytes("04"))),
        OP(Checked, writeKeySource(2), mbFrame(0, 0xC4, hexBytes("02"))),
        OP(Checked, readProgram()),
        OP(Checked, readPreset()),
        OP(Checked, readMix()),
        OP(Checked, readWipePattern()),
        OP(Local, getWipeMode()),
        OP(Checked, setAuxOutput(m.auxOutput() == 2 ? 1 : 2)),
        OP(Local, auxOutput()),
        OP(Checked, setAuxMode(2), hexBytes("0F 05 C9 02 00 00 00 00 00 00 00 00 00 00 00 DF")),
        OP(Checked, readAutoRate()),
        OP(Checked, writeAutoRate(12)),
        OP(Link, readTbar()),
        OP(Link, writeTbar(m.currentTbarPos() == 300 ? 301 : 300)),
        OP(Checked, readUserMenuSetting3()),
        OP(Checked, readUserMenuSetting()),
        OP(Checked, readUserMenuSetting2()),
        OP(Checked, readPgmMute()),
        OP(Checked, readPgmHdmiInput()),
        OP(Checked, readPgmHdmiGroup()),
        OP(Checked, readPgmLevel()),
        OP(Checked, readLumaAudio()),
        OP(Checked, readAuxLevel()),
        OP(Checked, readAuxHdmiGroup()),
        OP(Checked, readAuxHdmiInput()),
        OP(Checked, readAuxMute()),
        OP(Checked, readPgmOutRes()),
        OP(Checked, readMvOutRes()),
        OP(Checked, readPgmOutputFormat()),
        OP(Checked, readVersion()),
        OP(Checked, readWipeMode()),
        OP(Checked, readReverseMode()),
        OP(Checked, getStartPage()),
        OP(Checked, refreshStartPage()),
        OP(Checked, refreshPipSplitPage()),
        OP(Checked, refreshPipCropPage()),
        OP(Checked, refreshLumaKeyPage()),
        OP(Checked, refreshAudioPage()),
        OP(Checked, refreshAudioPage2()),
        OP(Checked, refreshSetupPage()),
        OP(Checked, refreshSettingPages()),
        OP(Link, writeUserMenuSetting(m.storedColorBorder())),
        OP(Link, writeUserMenuSetting(m.storedPip(), false)),
        OP(Checked, writeUserMenuSetting(m.storedLumaAudio())),
        OP(Checked, writeUserMenuSetting(m.storedMachineInfo())),
        OP(Link, writeWipeBorderSize(m.getWipeBorderSize() ^ 1)),
        OP(Link, writeWipeBorderColor(m.getWipeBorderColor() ^ 1)),
        OP(Link, writeBkgColor(4)),
        OP(Link, writePipSplitBorderSize(m.storedColorBorder().pipBorderSize ^ 1)),
        OP(Link, writePipSplitBorderColor(m.storedColorBorder().pipBorderColor ^ 1)),
        OP(Link, writePipSize(40)),
        OP(Link, writePipPosX(-10, true)),
        OP(Link, writePipPosY(10)),
        OP(Link, writePipCropSize(3)),
        OP(Link, writePipCropLeft(3)),
        OP(Link, writePipCropRight(3, true)),
        OP(Link, writePipCropTop(3)),
        OP(Link, writePipCropBottom(3)),
        OP(Link, resetPipCrop()),
        OP(Link, resetPipSizeXYPos()),
        OP(Checked, writelumakeyMode(m.storedLumaAudio().lumakeyMode ^ 1)),
        OP(Checked, writelumakeyCleanupLevel(20)),
        OP(Checked, writelumakeyTransparency(m.storedLumaAudio().lumakeyTransparency ^ 1)),
        OP(Checked, writeAudioOn()),
        OP(Checked, writeAudioOff()),
        OP(Checked, writeAudioHdmiInput(m.storedLumaAudio().audioHdmiInput ^ 1)),
        OP(Checked, writeAudioHdmiGroup(m.storedLumaAudio().audioHdmiGroup ^ 1)),
        OP(Checked, writeAudioLevel(m.storedLumaAudio().audioLevel ^ 1)),
        OP(Checked, writeAudioTallyMode(m.storedLumaAudio().audioTallyMode ^ 1)),
        OP(Checked, writePgmOutResolution(m.storedMachineInfo().pgmOutResolution ^ 1)),
        OP(Checked, writeMvOutResolution(5)),
        OP(Checked, writeOutputFormat(m.storedMachineInfo().outputFormat ^ 1)),
        OP(Checked, writeLanguageToMachine(1)),
        OP(Checked, writeAuxAudioOn()),
        OP(Checked, writeAuxAudioOff()),
        OP(Local, writeAuxAudioHdmiInput(1)),
        OP(Local, writeAuxAudioHdmiGroup(1)),
        OP(Local, writeAuxAudioLevel(1)),
        OP(Local, printAudio(m.storedLumaAudio())),
        OP(Local, getWipeBkgColor()),
        OP(Checked, userMem(5)),
        OP(Checked, userMem1()),
        OP(Checked, userMem2()),
        OP(Checked, userMem3()),
        OP(Checked, userMem4()),
        OP(Checked, loadFactoryDefault()),
        OP(Link, saveuserMem(6)),
        OP(Link, saveSetup()),
        OP(Link, refreshStatus2()),
        OP(Link, requestStatus(), hexBytes("03 00 6E 71")),
        OP(Link, updateStatus()),
        OP(Local, refreshStatus()),
        OP(Local, openMission(false)),
        OP(Local, autoTransStartSlot()),
        OP(Local, setInBootMode(false)),
        OP(Local, availableComPorts()),
        OP(Local, getScreenWidth()),
        OP(Local, getScreenHeight()),
    };
    return ops;
}
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

    void everyOperationWithLineOpen_data();
    void everyOperationWithLineOpen();
    void everyOperationWithLineClosed_data() { everyOperationWithLineOpen_data(); }
    void everyOperationWithLineClosed();
    void closedLineEdgeCases();
    void reopenAfterFailedOpen();
    void misbehavingBoardLeavesModelUsable_data();
    void misbehavingBoardLeavesModelUsable();
    void upgradeWithoutImageDoesNothing();

private:
    void ensureOpen()
    {
        if (!m->isConnected())
            QVERIFY(m->connectSerial(QStringLiteral("ttyAMA2")));
    }
    void writeImage(const MbImage &image)
    {
        QDir().mkpath(QFileInfo(rig_->sysroot.path(imagePath())).absolutePath());
        QVERIFY(image.writeTo(rig_->sysroot.path(imagePath())));
    }

    std::unique_ptr<SwitcherRig> rig_;
    commandExecObject *m = nullptr;
};

void TestSwitcherRobust::everyOperationWithLineOpen_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < allOperations().size(); ++i)
        QTest::newRow(allOperations()[i].name) << i;
}

void TestSwitcherRobust::everyOperationWithLineOpen()
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

void TestSwitcherRobust::everyOperationWithLineClosed()
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

void TestSwitcherRobust::closedLineEdgeCases()
{
    ensureOpen();
    m->disConnect();
    QSignalSpy info(m, &commandExecObject::setVersionInfo);
    QCOMPARE(m->readVersion(), QString("x.xx"));
    QCOMPARE(info.count(), 1);
    QCOMPARE(info.first(), (QList<QVariant>{QString("0.00"), QString("0.0"), QString("1.0.0")}));

    QVERIFY(!m->pvw(7));
    QCOMPARE(rig_->log.count("[ERR] buttonNum out of range :"), 1);
    QVERIFY(!m->cutTrans());
    QVERIFY(!m->keyOnPgm()); // goes to the link, which fails
    QVERIFY(rig_->log.has("[ERR] Write fail:"));
    QCOMPARE(m->readProgram() + m->readAutoRate() + m->readPgmMute() + m->readPgmOutRes(), 0);
    QCOMPARE(rig_->mb->receivedBytes().size(), 0);

    // An upgrade asked for on a closed line fails, and the model is free again.
    MbImage image;
    image.packets = MbImage::makePackets(1, 8);
    writeImage(image);
    QSignalSpy finished(m, &commandExecObject::upgradeFinished);
    m->processFirmwareUpgradeUi(imagePath(), QString());
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(finished.first().at(0).toBool(), false);
    QVERIFY(!m->isUpgrading());
    QVERIFY(QFile::remove(rig_->sysroot.path(imagePath())));
    QCOMPARE(rig_->mb->receivedBytes().size(), 0);
}

void TestSwitcherRobust::reopenAfterFailedOpen()
{
    QVERIFY(!m->connectSerial(QStringLiteral("ttyNOPE")));
    QVERIFY(rig_->log.has("Serial open failed:"));
    QVERIFY(!m->isConnected());
    QVERIFY(!m->pgm(1));
    // Opening a closed line and reopening an open one both work.
    for (int src : {5, 4}) {
        QVERIFY(m->connectSerial(QStringLiteral("ttyAMA2")));
        QVERIFY(rig_->log.has("Serial is open"));
        QVERIFY(m->pgm(src));
        QCOMPARE(rig_->mb->program(), src);
    }
}

void TestSwitcherRobust::misbehavingBoardLeavesModelUsable_data()
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

void TestSwitcherRobust::misbehavingBoardLeavesModelUsable()
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

void TestSwitcherRobust::upgradeWithoutImageDoesNothing()
{
    ensureOpen();
    QSignalSpy finished(m, &commandExecObject::upgradeFinished);
    m->processFirmwareUpgradeUi(imagePath(), QStringLiteral("1.1"));
    QCOMPARE(rig_->log.count("Not need to upgrade MB"), 1);
    QVERIFY(!m->isUpgrading());
    QVERIFY(m->pgm(2));
    QTest::qWait(50);
    QCOMPARE(finished.count(), 0);
}

QTEST_MAIN(TestSwitcherRobust)
#include "tst_switcherrobust.moc"
