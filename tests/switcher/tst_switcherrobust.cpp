// Every operation with the line open and closed, a mainboard that stops
// answering or answers garbage, the line reopened, and the model kept off
// the line while a firmware upgrade owns it.

#include "tests/switcher/helper_switcherrig.h"

#include "mainboard/zarvomu.h"
#include "mbUpgrade/mbupgradeworker.h"
#include "sim/mbimage.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include <functional>

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
};

int v(const std::function<void()> &f)
{
    f();
    return -1;
}

// Every operation of the model that talks to the mainboard or reads its
// stored state. (connectSerial, processFirmwareUpgradeUi and writeToFile have
// tests of their own.)
const QList<Operation> &allOperations()
{
    using K = Kind;
    using M = commandExecObject;
    static const QList<Operation> ops{
        {"pgm", K::Checked, [](M &m) { return int(m.pgm(1)); }},
        {"pvw", K::Link, [](M &m) { return int(m.pvw(2)); }},
        {"pgmbg", K::Checked, [](M &m) { return int(m.pgmbg()); }},
        {"pvwbg", K::Checked, [](M &m) { return int(m.pvwbg()); }},
        {"pgmBk", K::Checked, [](M &m) { return int(m.pgmBk()); }},
        {"pvwBk", K::Checked, [](M &m) { return int(m.pvwBk()); }},
        {"pgmColorBar", K::Checked, [](M &m) { return int(m.pgmColorBar()); }},
        {"cutTrans", K::Checked, [](M &m) { return int(m.cutTrans()); }},
        {"autoTrans", K::Checked, [](M &m) { return int(m.autoTrans(3)); }},
        {"mixMode", K::Link, [](M &m) { return int(m.mixMode()); }},
        {"wipeMode", K::Link, [](M &m) { return int(m.wipeMode()); }},
        {"spliteMode", K::Checked, [](M &m) { return int(m.spliteMode()); }},
        {"reverseOn", K::Checked, [](M &m) { return v([&] { m.reverseOn(); }); }},
        {"reverseOff", K::Checked, [](M &m) { return v([&] { m.reverseOff(); }); }},
        {"wipePattern1", K::Checked, [](M &m) { return int(m.wipePattern1()); }},
        {"wipePattern2", K::Checked, [](M &m) { return int(m.wipePattern2()); }},
        {"wipePattern3", K::Checked, [](M &m) { return int(m.wipePattern3()); }},
        {"pipProgramOn", K::Link, [](M &m) { return int(m.pipProgramOn()); }},
        {"pipProgramOff", K::Link, [](M &m) { return int(m.pipProgramOff()); }},
        {"pipPreviewOn", K::Link, [](M &m) { return int(m.pipPreviewOn()); }},
        {"pipPreviewOff", K::Link, [](M &m) { return int(m.pipPreviewOff()); }},
        {"writePipProgram", K::Link, [](M &m) { return int(m.writePipProgram()); }},
        {"pipSplitOnPgm", K::Checked, [](M &m) { return v([&] { m.pipSplitOnPgm(); }); }},
        {"pipSplitOnPvw", K::Checked, [](M &m) { return v([&] { m.pipSplitOnPvw(); }); }},
        {"keyOnPgm", K::Link, [](M &m) { return int(m.keyOnPgm()); }},
        {"keyOffPgm", K::Link, [](M &m) { return int(m.keyOffPgm()); }},
        {"keyOnPvw", K::Link, [](M &m) { return int(m.keyOnPvw()); }},
        {"keyOffPvw", K::Link, [](M &m) { return int(m.keyOffPvw()); }},
        {"pipPgmState", K::Checked, [](M &m) { return v([&] { m.pipPgmState(); }); }},
        {"pipPvmState", K::Checked, [](M &m) { return v([&] { m.pipPvmState(); }); }},
        {"keyPgmState", K::Checked, [](M &m) { return v([&] { m.keyPgmState(); }); }},
        {"keyPvmState", K::Checked, [](M &m) { return v([&] { m.keyPvmState(); }); }},
        {"writePipSource", K::Link, [](M &m) { return int(m.writePipSource(2)); }},
        {"writeSplitSource", K::Checked, [](M &m) { return v([&] { m.writeSplitSource(3); }); }},
        {"writeKeySource", K::Checked, [](M &m) { return int(m.writeKeySource(4)); }},
        {"readProgram", K::Checked, [](M &m) { return v([&] { m.readProgram(); }); }},
        {"readPreset", K::Checked, [](M &m) { return v([&] { m.readPreset(); }); }},
        {"readMix", K::Checked, [](M &m) { return v([&] { m.readMix(); }); }},
        {"readWipePattern", K::Checked, [](M &m) { return v([&] { m.readWipePattern(); }); }},
        {"getWipeMode", K::Local, [](M &m) { return v([&] { m.getWipeMode(); }); }},
        {"setAuxOutput", K::Checked, [](M &m) { return v([&] { m.setAuxOutput(m.auxOutput() == 2 ? 1 : 2); }); }},
        {"auxOutput", K::Local, [](M &m) { return v([&] { m.auxOutput(); }); }},
        {"setAuxMode", K::Checked, [](M &m) { return v([&] { m.setAuxMode(1); }); }},
        {"readAutoRate", K::Checked, [](M &m) { return v([&] { m.readAutoRate(); }); }},
        {"writeAutoRate", K::Checked, [](M &m) { return v([&] { m.writeAutoRate(12); }); }},
        {"readTbar", K::Link, [](M &m) { return v([&] { m.readTbar(); }); }},
        {"writeTbar", K::Link, [](M &m) { return v([&] { m.writeTbar(m.currentTbarPos() == 300 ? 301 : 300); }); }},
        {"readUserMenuSetting3", K::Checked, [](M &m) { return v([&] { m.readUserMenuSetting3(); }); }},
        {"readUserMenuSetting", K::Checked, [](M &m) { return v([&] { m.readUserMenuSetting(); }); }},
        {"readUserMenuSetting2", K::Checked, [](M &m) { return v([&] { m.readUserMenuSetting2(); }); }},
        {"readPgmMute", K::Checked, [](M &m) { return v([&] { m.readPgmMute(); }); }},
        {"readPgmHdmiInput", K::Checked, [](M &m) { return v([&] { m.readPgmHdmiInput(); }); }},
        {"readPgmHdmiGroup", K::Checked, [](M &m) { return v([&] { m.readPgmHdmiGroup(); }); }},
        {"readPgmLevel", K::Checked, [](M &m) { return v([&] { m.readPgmLevel(); }); }},
        {"readLumaAudio", K::Checked, [](M &m) { return v([&] { m.readLumaAudio(); }); }},
        {"readAuxLevel", K::Checked, [](M &m) { return v([&] { m.readAuxLevel(); }); }},
        {"readAuxHdmiGroup", K::Checked, [](M &m) { return v([&] { m.readAuxHdmiGroup(); }); }},
        {"readAuxHdmiInput", K::Checked, [](M &m) { return v([&] { m.readAuxHdmiInput(); }); }},
        {"readAuxMute", K::Checked, [](M &m) { return v([&] { m.readAuxMute(); }); }},
        {"readPgmOutRes", K::Checked, [](M &m) { return v([&] { m.readPgmOutRes(); }); }},
        {"readMvOutRes", K::Checked, [](M &m) { return v([&] { m.readMvOutRes(); }); }},
        {"readPgmOutputFormat", K::Checked, [](M &m) { return v([&] { m.readPgmOutputFormat(); }); }},
        {"readVersion", K::Checked, [](M &m) { return int(m.readVersion() != QLatin1String("x.xx")); }},
        {"readWipeMode", K::Checked, [](M &m) { return v([&] { m.readWipeMode(); }); }},
        {"readReverseMode", K::Checked, [](M &m) { return v([&] { m.readReverseMode(); }); }},
        {"getStartPage", K::Checked, [](M &m) { return v([&] { m.getStartPage(); }); }},
        {"refreshStartPage", K::Checked, [](M &m) { return v([&] { m.refreshStartPage(); }); }},
        {"refreshPipSplitPage", K::Checked, [](M &m) { return v([&] { m.refreshPipSplitPage(); }); }},
        {"refreshPipCropPage", K::Checked, [](M &m) { return v([&] { m.refreshPipCropPage(); }); }},
        {"refreshLumaKeyPage", K::Checked, [](M &m) { return v([&] { m.refreshLumaKeyPage(); }); }},
        {"refreshAudioPage", K::Checked, [](M &m) { return v([&] { m.refreshAudioPage(); }); }},
        {"refreshAudioPage2", K::Checked, [](M &m) { return v([&] { m.refreshAudioPage2(); }); }},
        {"refreshSetupPage", K::Checked, [](M &m) { return v([&] { m.refreshSetupPage(); }); }},
        {"refreshSettingPages", K::Checked, [](M &m) { return v([&] { m.refreshSettingPages(); }); }},
        {"writeUserMenuSetting(border)", K::Link, [](M &m) { return int(m.writeUserMenuSetting(m.storedColorBorder())); }},
        {"writeUserMenuSetting(pip)", K::Link, [](M &m) { return int(m.writeUserMenuSetting(m.storedPip(), false)); }},
        {"writeUserMenuSetting(luma)", K::Checked, [](M &m) { return int(m.writeUserMenuSetting(m.storedLumaAudio())); }},
        {"writeUserMenuSetting(setup)", K::Checked,
         [](M &m) { return int(m.writeUserMenuSetting(m.storedMachineInfo())); }},
        {"writeWipeBorderSize", K::Link, [](M &m) { return int(m.writeWipeBorderSize(m.getWipeBorderSize() ^ 1)); }},
        {"writeWipeBorderColor", K::Link, [](M &m) { return int(m.writeWipeBorderColor(m.getWipeBorderColor() ^ 1)); }},
        {"writeBkgColor", K::Link, [](M &m) { return int(m.writeBkgColor(4)); }},
        {"writePipSplitBorderSize", K::Link,
         [](M &m) { return int(m.writePipSplitBorderSize(m.storedColorBorder().pipBorderSize ^ 1)); }},
        {"writePipSplitBorderColor", K::Link,
         [](M &m) { return int(m.writePipSplitBorderColor(m.storedColorBorder().pipBorderColor ^ 1)); }},
        {"writePipSize", K::Link, [](M &m) { return int(m.writePipSize(40)); }},
        {"writePipPosX", K::Link, [](M &m) { return int(m.writePipPosX(-10, true)); }},
        {"writePipPosY", K::Link, [](M &m) { return int(m.writePipPosY(10)); }},
        {"writePipCropSize", K::Link, [](M &m) { return int(m.writePipCropSize(3)); }},
        {"writePipCropLeft", K::Link, [](M &m) { return v([&] { m.writePipCropLeft(3); }); }},
        {"writePipCropRight", K::Link, [](M &m) { return v([&] { m.writePipCropRight(3, true); }); }},
        {"writePipCropTop", K::Link, [](M &m) { return v([&] { m.writePipCropTop(3); }); }},
        {"writePipCropBottom", K::Link, [](M &m) { return v([&] { m.writePipCropBottom(3); }); }},
        {"resetPipCrop", K::Link, [](M &m) { return v([&] { m.resetPipCrop(); }); }},
        {"resetPipSizeXYPos", K::Link, [](M &m) { return v([&] { m.resetPipSizeXYPos(); }); }},
        {"writelumakeyMode", K::Checked, [](M &m) { return int(m.writelumakeyMode(m.storedLumaAudio().lumakeyMode ^ 1)); }},
        {"writelumakeyCleanupLevel", K::Checked, [](M &m) { return int(m.writelumakeyCleanupLevel(20)); }},
        {"writelumakeyTransparency", K::Checked,
         [](M &m) { return int(m.writelumakeyTransparency(m.storedLumaAudio().lumakeyTransparency ^ 1)); }},
        {"writeAudioOn", K::Checked, [](M &m) { return int(m.writeAudioOn()); }},
        {"writeAudioOff", K::Checked, [](M &m) { return v([&] { m.writeAudioOff(); }); }},
        {"writeAudioHdmiInput", K::Checked,
         [](M &m) { return v([&] { m.writeAudioHdmiInput(m.storedLumaAudio().audioHdmiInput ^ 1); }); }},
        {"writeAudioHdmiGroup", K::Checked,
         [](M &m) { return v([&] { m.writeAudioHdmiGroup(m.storedLumaAudio().audioHdmiGroup ^ 1); }); }},
        {"writeAudioLevel", K::Checked,
         [](M &m) { return v([&] { m.writeAudioLevel(m.storedLumaAudio().audioLevel ^ 1); }); }},
        {"writeAudioTallyMode", K::Checked,
         [](M &m) { return int(m.writeAudioTallyMode(m.storedLumaAudio().audioTallyMode ^ 1)); }},
        {"writePgmOutResolution", K::Checked,
         [](M &m) { return int(m.writePgmOutResolution(m.storedMachineInfo().pgmOutResolution ^ 1)); }},
        {"writeMvOutResolution", K::Checked, [](M &m) { return int(m.writeMvOutResolution(5)); }},
        {"writeOutputFormat", K::Checked,
         [](M &m) { return int(m.writeOutputFormat(m.storedMachineInfo().outputFormat ^ 1)); }},
        {"writeLanguageToMachine", K::Checked, [](M &m) { return v([&] { m.writeLanguageToMachine(1); }); }},
        {"writeAuxAudioOn", K::Checked, [](M &m) { return v([&] { m.writeAuxAudioOn(); }); }},
        {"writeAuxAudioOff", K::Checked, [](M &m) { return v([&] { m.writeAuxAudioOff(); }); }},
        {"writeAuxAudioHdmiInput", K::Local, [](M &m) { return v([&] { m.writeAuxAudioHdmiInput(1); }); }},
        {"writeAuxAudioHdmiGroup", K::Local, [](M &m) { return v([&] { m.writeAuxAudioHdmiGroup(1); }); }},
        {"writeAuxAudioLevel", K::Local, [](M &m) { return v([&] { m.writeAuxAudioLevel(1); }); }},
        {"printAudio", K::Local, [](M &m) { return v([&] { m.printAudio(m.storedLumaAudio()); }); }},
        {"getWipeBkgColor", K::Local, [](M &m) { return v([&] { m.getWipeBkgColor(); }); }},
        {"userMem", K::Checked, [](M &m) { return int(m.userMem(5)); }},
        {"userMem1", K::Checked, [](M &m) { return int(m.userMem1()); }},
        {"userMem2", K::Checked, [](M &m) { return int(m.userMem2()); }},
        {"userMem3", K::Checked, [](M &m) { return int(m.userMem3()); }},
        {"userMem4", K::Checked, [](M &m) { return int(m.userMem4()); }},
        {"loadFactoryDefault", K::Checked, [](M &m) { return int(m.loadFactoryDefault()); }},
        {"saveuserMem", K::Link, [](M &m) { return int(m.saveuserMem(6)); }},
        {"saveSetup", K::Link, [](M &m) { return int(m.saveSetup()); }},
        {"refreshStatus2", K::Link, [](M &m) { return v([&] { m.refreshStatus2(); }); }},
        {"requestStatus", K::Link, [](M &m) { return v([&] { m.requestStatus(); }); }},
        {"updateStatus", K::Link, [](M &m) { return v([&] { m.updateStatus(); }); }},
        {"refreshStatus", K::Local, [](M &m) { return v([&] { m.refreshStatus(); }); }},
        {"openMission", K::Local, [](M &m) { return v([&] { m.openMission(false); }); }},
        {"autoTransStartSlot", K::Local, [](M &m) { return v([&] { m.autoTransStartSlot(); }); }},
        {"setInBootMode", K::Local, [](M &m) { return v([&] { m.setInBootMode(false); }); }},
    };
    return ops;
}

} // namespace

class TestSwitcherRobust : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void everyOperationWithLineOpen_data();
    void everyOperationWithLineOpen();
    void everyOperationWithLineClosed_data();
    void everyOperationWithLineClosed();
    void closedLineEdgeCases();
    void reopenAfterFailedOpen();
    void misbehavingBoardLeavesModelUsable_data();
    void misbehavingBoardLeavesModelUsable();
    void upgradeWithoutImageDoesNothing();
    void upgradeKeepsModelOffTheLine();

private:
    void ensureOpen();
    void waitLineQuiet();

    std::unique_ptr<SwitcherLog> log_;
    std::unique_ptr<SwitcherRig> rig_;
    commandExecObject *m = nullptr;
};

void TestSwitcherRobust::initTestCase()
{
    qRegisterMetaType<SimMainboard::FailureMode>();
    log_.reset(new SwitcherLog);
    rig_.reset(new SwitcherRig);
    m = rig_->model.get();
}

void TestSwitcherRobust::init()
{
    // A T-bar left in travel by an earlier case would hold the busy gate.
    if (m->currentTbarPos() != 0 && m->currentTbarPos() != 1023)
        m->writeTbar(0);
    rig_->resetBoard();
    log_->clear();
}

void TestSwitcherRobust::cleanupTestCase()
{
    rig_.reset();
    log_.reset();
}

void TestSwitcherRobust::ensureOpen()
{
    if (!m->isConnected())
        QVERIFY(m->connectSerial(QStringLiteral("ttyAMA2")));
}

// Until nothing more comes from the board (late or split replies of a
// misbehaving mode have all been written).
void TestSwitcherRobust::waitLineQuiet()
{
    int stable = 0;
    int last = -1;
    QElapsedTimer t;
    t.start();
    while (stable < 3 && t.elapsed() < 5000) {
        QTest::qWait(40);
        const int now = rig_->mb->sentBytes().size();
        stable = now == last ? stable + 1 : 0;
        last = now;
    }
}

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
    op.call(*m);
    // A healthy board answers at once: nothing waits out a time-out.
    QVERIFY2(t.elapsed() < 2500, qPrintable(QString("%1 took %2 ms").arg(op.name).arg(t.elapsed())));
    QVERIFY2(!log_->has("re-entered"), op.name);
    QVERIFY2(!log_->has("[ERR] Not connected"), op.name);
    if (op.kind == Kind::Local)
        QCOMPARE(hexText(rig_->framesAfterBarrier()), QString());
    // The lock is free afterwards.
    if (m->currentTbarPos() != 0 && m->currentTbarPos() != 1023)
        m->writeTbar(0);
    QVERIFY(m->pvw(3));
}

void TestSwitcherRobust::everyOperationWithLineClosed_data()
{
    everyOperationWithLineOpen_data();
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
    log_->clear();

    QElapsedTimer t;
    t.start();
    const int result = op.call(*m);
    QVERIFY2(t.elapsed() < 1500, qPrintable(QString("%1 took %2 ms").arg(op.name).arg(t.elapsed())));
    QCOMPARE(rig_->mb->receivedBytes().size(), 0);
    const bool reachedLink = log_->has("[COM] serialPort_");
    switch (op.kind) {
    case Kind::Checked:
        QVERIFY2(log_->has("[ERR] Not connected"), op.name);
        QVERIFY2(!reachedLink, op.name);
        break;
    case Kind::Link:
        QVERIFY2(reachedLink, op.name);
        QVERIFY2(log_->has("[ERR] Write fail:"), op.name);
        break;
    case Kind::Local:
        QVERIFY2(!reachedLink, op.name);
        break;
    }
    // Operations that report a result report failure.
    if (op.kind != Kind::Local && result != -1)
        QVERIFY2(result == 0, op.name);
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
    QCOMPARE(log_->count("[ERR] buttonNum out of range :"), 1);
    QVERIFY(!m->cutTrans());
    QVERIFY(!m->keyOnPgm()); // goes to the link, which fails
    QVERIFY(log_->has("[ERR] Write fail:"));
    QCOMPARE(m->readProgram(), 0);
    QCOMPARE(m->readAutoRate(), 0);
    QCOMPARE(int(m->readPgmMute()), 0);
    QCOMPARE(int(m->readPgmOutRes()), 0);
    QVERIFY(!m->pipPgmState());
    QVERIFY(!m->writeKeySource(2));
    QVERIFY(!m->writelumakeyCleanupLevel(5));
    QCOMPARE(rig_->mb->receivedBytes().size(), 0);

    // An upgrade asked for on a closed line fails, and the model is free again.
    MbImage image;
    image.packets = MbImage::makePackets(1, 8);
    const QString imagePath = QStringLiteral("/mnt/tervana/tavrik/ZARVOHD.bin");
    QDir().mkpath(QFileInfo(rig_->sysroot.path(imagePath)).absolutePath());
    QVERIFY(image.writeTo(rig_->sysroot.path(imagePath)));
    QSignalSpy finished(m, &commandExecObject::upgradeFinished);
    m->processFirmwareUpgradeUi(imagePath, QString());
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(finished.first().at(0).toBool(), false);
    QVERIFY(!m->isUpgrading());
    QVERIFY(QFile::remove(rig_->sysroot.path(imagePath)));
    QCOMPARE(rig_->mb->receivedBytes().size(), 0);
}

void TestSwitcherRobust::reopenAfterFailedOpen()
{
    QVERIFY(!m->connectSerial(QStringLiteral("ttyNOPE")));
    QVERIFY(log_->has("Serial open failed:"));
    QVERIFY(!m->isConnected());
    QVERIFY(!m->pgm(1));
    QVERIFY(m->connectSerial(QStringLiteral("ttyAMA2")));
    QVERIFY(log_->has("Serial is open"));
    QVERIFY(m->pgm(5));
    QCOMPARE(rig_->mb->program(), 5);
    // Reopening an open line works too.
    QVERIFY(m->connectSerial(QStringLiteral("ttyAMA2")));
    QVERIFY(m->pgm(4));
    QCOMPARE(rig_->mb->program(), 4);
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
    if (mode == SimMainboard::LateAnswer || mode == SimMainboard::SplitReply || mode == SimMainboard::AckThenReply)
        waitLineQuiet(); // replies still in flight belong to the old frames
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
    QVERIFY(!log_->has("re-entered"));
}

void TestSwitcherRobust::upgradeWithoutImageDoesNothing()
{
    ensureOpen();
    QSignalSpy finished(m, &commandExecObject::upgradeFinished);
    m->processFirmwareUpgradeUi(QStringLiteral("/mnt/tervana/tavrik/ZARVOHD.bin"), QStringLiteral("1.1"));
    QCOMPARE(log_->count("Not need to upgrade MB"), 1);
    QVERIFY(!m->isUpgrading());
    QVERIFY(m->pgm(2));
    QTest::qWait(50);
    QCOMPARE(finished.count(), 0);
}

void TestSwitcherRobust::upgradeKeepsModelOffTheLine()
{
    ensureOpen();
    MBUpgradeWorker::Timing fast;
    fast.ioWaitMs = 2000;
    fast.breakMs = 10;
    fast.settleMs = 20;
    fast.probeRetryMs = 20;
    fast.eraseWaitMs = 20;
    MBUpgradeWorker::setDefaultTiming(fast);

    MbImage image;
    image.packets = MbImage::makePackets(4, 48);
    const QString imagePath = QStringLiteral("/mnt/tervana/tavrik/ZARVOHD.bin");
    QDir().mkpath(QFileInfo(rig_->sysroot.path(imagePath)).absolutePath());
    QVERIFY(image.writeTo(rig_->sysroot.path(imagePath)));
    rig_->mb->expectImage(image.toBytes());

    QSignalSpy finished(m, &commandExecObject::upgradeFinished);
    QSignalSpy messages(m, &commandExecObject::logMessage);
    m->processFirmwareUpgradeUi(imagePath, QStringLiteral("1.1"));
    QVERIFY(m->isUpgrading());

    // While the upgrade owns the line, every exchange fails at once.
    QElapsedTimer t;
    t.start();
    QVERIFY(!m->pgm(1));
    QVERIFY(!m->pvw(1));
    QVERIFY(!m->keyOnPgm());
    QCOMPARE(m->readTbar(), -1);
    const uint tbar = m->currentTbarPos();
    m->writeTbar(tbar == 500 ? 501 : 500);
    QCOMPARE(m->currentTbarPos(), tbar);
    m->refreshStatus2();
    QVERIFY(!m->writePipProgram());
    QVERIFY(!m->writePipSize(33));
    QVERIFY(!m->saveuserMem(3));
    QVERIFY(!m->connectSerial(QStringLiteral("ttyAMA2")));
    m->disConnect();
    m->processFirmwareUpgradeUi(imagePath, QStringLiteral("1.1"));
    QVERIFY2(t.elapsed() < 500, qPrintable(QString::number(t.elapsed())));
    QVERIFY(log_->count("firmware upgrade in progress") >= 8);
    QCOMPARE(log_->count("[ERR] mainboard upgrade already running"), 1);

    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
    QCOMPARE(finished.first().at(0).toBool(), true);
    QStringList texts;
    for (const QList<QVariant> &args : qAsConst(messages))
        texts << args.at(0).toString();
    QVERIFY2(texts.contains(QStringLiteral("Upgrade MB firmware OK")), qPrintable(texts.join(" / ")));
    QCOMPARE(rig_->mb->bootPackets(), image.packets);

    // Only the boot-loader reset reached the application side of the board.
    for (const QByteArray &f : rig_->mb->receivedFrames())
        QCOMPARE(hexText(f), QString("03 01 EB EF"));

    // The line is the model's again.
    QVERIFY(!m->isUpgrading());
    QVERIFY(m->isConnected());
    QVERIFY(m->pgm(2));
    QCOMPARE(rig_->mb->program(), 2);
    QTest::qWait(20); // the controller's deferred deletion
}

QTEST_MAIN(TestSwitcherRobust)
#include "tst_switcherrobust.moc"
