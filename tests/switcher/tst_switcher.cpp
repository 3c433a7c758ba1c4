// The switcher control model against the simulated mainboard on a
// pseudo-terminal: what it decides and sends (compared against the frame
// builders, whose bytes the mainboard tests own), what it shows, and how it
// copes with a closed line or a misbehaving board. (The model kept off the
// line during a firmware upgrade: tst_mbupgrade.)

#include "mainboard/zarvomu.h"
#include "sim/mbimage.h"
#include "sim/simmainboard.h"
#include "switcher/commandexecobject.h"
#include "tests/common/logcapture.h"
#include "tests/common/testsysroot.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <numeric>
#include <type_traits>
#include <utility>

using Action = std::function<void(commandExecObject &)>;
using Read = std::function<int(commandExecObject &)>;
using Op = std::function<bool(commandExecObject &)>;
Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(Read)
Q_DECLARE_METATYPE(Op)
Q_DECLARE_METATYPE(SimMainboard::FailureMode)

namespace {

const zarvoMuCommandPacks P{};

QByteArray hexBytes(const char *hex) { return QByteArray::fromHex(hex); }
QString hexText(const QByteArray &bytes) { return QString::fromLatin1(bytes.toHex(' ').toUpper()); }
QString hexText(const QList<QByteArray> &frames)
{
    QStringList parts;
    for (const QByteArray &f : frames)
        parts.append(hexText(f));
    return parts.join(QStringLiteral(" | "));
}
QString hexText(std::initializer_list<QByteArray> frames) { return hexText(QList<QByteArray>(frames)); }
QString times(int n, const QByteArray &frame) { return hexText(QVector<QByteArray>(n, frame).toList()); }

// The named properties (space separated) of `object`, as ints.
QList<int> props(const QObject *object, const char *names)
{
    QList<int> values;
    for (const QByteArray &name : QByteArray(names).split(' '))
        values << object->property(name.constData()).toInt();
    return values;
}

QByteArray lampRead(PushButtonLamp l) { return P.readPushButtonLampPacks(l); }
QByteArray lampOn(PushButtonLamp l) { return P.writePushButtonLampPacksOn(l); }
QByteArray lampOff(PushButtonLamp l) { return P.writePushButtonLampPacksOff(l); }
QByteArray blockRead(int block) { return P.readUserParamPacks(block); }
QByteArray blockWrite(int block, const QByteArray &bytes)
{
    return P.writeUserParamPacks(block, reinterpret_cast<const uint8_t *>(bytes.constData()));
}

// The simulated board's start values, block by block.
const QByteArray kBorder = hexBytes("0001020103000000");
const QByteArray kPip = hexBytes("3200000000000000");
const QByteArray kLuma = hexBytes("0032200001000100");
const QByteArray kSetup = hexBytes("0202000105010200");

QByteArray with(QByteArray bytes, int index, int value)
{
    bytes[index] = char(value);
    return bytes;
}

// Counts every notify signal of the model's properties.
struct PropertySignals
{
    explicit PropertySignals(QObject *object)
    {
        const QMetaObject *mo = object->metaObject();
        for (int i = mo->propertyOffset(); i < mo->propertyCount(); ++i)
            if (mo->property(i).hasNotifySignal())
                spies.emplace_back(new QSignalSpy(object, mo->property(i).notifySignal()));
    }
    int total() const
    {
        return std::accumulate(spies.begin(), spies.end(), 0, [](int n, const auto &s) { return n + s->count(); });
    }
    std::vector<std::unique_ptr<QSignalSpy>> spies;
};

// The four signals that carry a read record to the settings pages.
struct RecordSignals
{
    explicit RecordSignals(commandExecObject *m)
        : border(m, &commandExecObject::sendBorderSettings), pip(m, &commandExecObject::sendPipSettings),
          luma(m, &commandExecObject::sendLumaAudio), out(m, &commandExecObject::getOutputParams)
    {
    }
    QList<int> counts() const { return {border.count(), pip.count(), luma.count(), out.count()}; }
    QSignalSpy border, pip, luma, out;
};

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
    // checked by a case of its own, if at all).
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
        C(pgm(1), P.writeProgramPacks(input1)), L(pvw(4), P.writePresetPacks(input4)),
        C(pgmbg()), C(pvwbg()),
        C(pgmBk(), P.writeProgramPacks(black)), C(pvwBk(), P.writePresetPacks(black)),
        C(pgmColorBar(), P.writeProgramPacks(colorBar)),
        C(cutTrans(), lampOn(cutCommand)), C(autoTrans(3)),
        L(mixMode(), lampOn(mixTransitionCommand)), L(wipeMode(), lampOn(wipeTransitionCommand)), C(spliteMode()),
        C(reverseOn(), lampOn(reverseCommand)), C(reverseOff(), lampOff(reverseCommand)),
        C(wipePattern1(), P.writeWipePatternPacks(LeftToRight)), C(wipePattern2(), P.writeWipePatternPacks(topToBottom)),
        C(wipePattern3(), P.writeWipePatternPacks(WipePattern::center)),
        L(pipProgramOn(), lampOn(pipProgram)), L(pipProgramOff(), lampOff(pipProgram)),
        L(pipPreviewOn(), lampOn(pipPreview)), L(pipPreviewOff(), lampOff(pipPreview)),
        L(writePipProgram(), lampOn(pipProgram)), C(pipSplitOnPgm()), C(pipSplitOnPvw()),
        L(keyOnPgm(), lampOn(keyProgram)), L(keyOffPgm(), lampOff(keyProgram)),
        L(keyOnPvw(), lampOn(keyPreview)), L(keyOffPvw(), lampOff(keyPreview)),
        C(pipPgmState()), C(pipPvmState()), C(keyPgmState()), C(keyPvmState()),
        L(writePipSource(3), P.writePipSrcPacks(input3)), C(writeSplitSource(4), P.writeSplitSrcPacks(input4)),
        C(writeKeySource(2), P.writeKeyKeySrcPacks(input2)),
        C(readProgram()), C(readPreset()), C(readMix()), C(readWipePattern()), N(getWipeMode()),
        C(setAuxOutput(m.auxOutput() == 2 ? 1 : 2)), N(auxOutput()),
        C(setAuxMode(2), P.writeAuxModePacks(2)),
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
        C(userMem(5)), C(userMem1()), C(userMem2()), C(userMem3()), C(userMem4()), C(loadFactoryDefault()),
        L(saveuserMem(6)), L(saveSetup()),
        L(refreshStatus2()), L(requestStatus(), P.requestStatusPacks()), L(updateStatus()), N(refreshStatus()),
        N(openMission(false)), N(autoTransStartSlot()), N(setInBootMode(false)),
    };
    return ops;
}
#undef N
#undef L
#undef C
#undef OP

const QString kImage = QStringLiteral("/mnt/tervana/tavrik/ZARVOHD.bin");

} // namespace

#define ROW(expr) QTest::newRow(#expr) << Action([](commandExecObject &x) { x.expr; })
#define READ(expr) QTest::newRow(#expr) << Read([](commandExecObject &x) { return int(x.expr); })

class TestSwitcher : public QObject
{
    Q_OBJECT

    // One sysroot, one simulated mainboard on <sysroot>/dev/ttyAMA2 and one
    // model opened on it, for the whole program: the model's line settle costs
    // 600 ms. Torn down in reverse: the model closes its line first.
    std::unique_ptr<LogCapture> log; // after the test runner's own message handler
    std::unique_ptr<TestSysroot> sysroot;
    std::unique_ptr<SimMainboard> mb;
    std::unique_ptr<commandExecObject> model;
    commandExecObject *m = nullptr;

private slots:
    void initTestCase()
    {
        qRegisterMetaType<SimMainboard::FailureMode>();
        log.reset(new LogCapture);
        sysroot.reset(new TestSysroot);
        mb.reset(new SimMainboard(QStringLiteral("ttyAMA2")));
        QVERIFY(mb->isOpen());
        mb->setFrameMs(1); // auto transitions finish at once
        model.reset(new commandExecObject);
        m = model.get();
        QVERIFY(m->isConnected());
    }
    void init()
    {
        // The closed-line rows keep the line closed from one row to the next.
        if (!m->isConnected() && QByteArray(QTest::currentTestFunction()) != "everyOperationWithLineClosed")
            QVERIFY(m->connectSerial(QStringLiteral("ttyAMA2")));
        // A T-bar left in travel would hold the busy gate.
        if (m->isConnected() && m->currentTbarPos() != 0 && m->currentTbarPos() != 1023)
            m->writeTbar(0);
        m->setInBootMode(false);
        resetBoard();
    }
    void cleanupTestCase()
    {
        model.reset();
        mb.reset();
    }

    void firstWriteReadsRecordFirst()
    {
        // Fresh model: nothing read yet. The writer reads the record, then sends
        // it whole with the one field changed.
        QVERIFY(m->writeWipeBorderSize(5));
        QCOMPARE(sent(), hexText({blockRead(0), blockWrite(0, with(kBorder, 1, 3))}));
        QCOMPARE(mb->menuBlock(0), with(kBorder, 1, 3));

        mb->clearReceived();
        QVERIFY(!m->writeWipeBorderSize(9)); // clamps to 3 again: nothing sent
        QCOMPARE(sent(), QString());
    }

    void unreadRecordIsNeverSent_data()
    {
        // Writers that answer report false; the void ones return -1 here.
        QTest::addColumn<Read>("write");
        QTest::addColumn<int>("block");
#define VOIDW(expr) QTest::newRow(#expr) << Read([](commandExecObject &x) { x.expr; return -1; })
        READ(writeBkgColor(4)) << 0; READ(writePipPosX(20, true)) << 1;
        VOIDW(resetPipCrop()) << 1;
        READ(writeAudioOn()) << 2;
        VOIDW(writeAuxAudioOff()) << 2;
        VOIDW(writeLanguageToMachine(2)) << 3;
#undef VOIDW
    }

    void unreadRecordIsNeverSent()
    {
        QFETCH(Read, write);
        QFETCH(int, block);
        // A loaded memory makes every stored copy unknown again.
        QVERIFY(m->userMem(2));
        mb->clearReceived();
        mb->setFailureMode(SimMainboard::CorruptChecksum); // prompt, unusable reply
        const QByteArray before = mb->menuBlock(block);

        const int result = write(*m);
        mb->setFailureMode(SimMainboard::Normal);
        QVERIFY2(result != 1, "nothing was sent, so nothing may report success");
        const QList<QByteArray> frames = framesAfterBarrier();
        QVERIFY2(!frames.isEmpty(), "the record is read first");
        for (const QByteArray &f : frames)
            QVERIFY2(quint8(f[2]) == 0x49, qPrintable(hexText(frames)));
        QCOMPARE(mb->menuBlock(block), before);
    }

    void failedReadKeepsGoodCopy()
    {
        m->refreshPipSplitPage();
        QCOMPARE(m->pipSize(), 50);
        const pipSetting good = m->storedPip();

        // The board changes, but its answers are now corrupt: nothing of them is
        // stored or shown.
        mb->setMenuBlock(1, hexBytes("14 05 05 01 01 01 01 01"));
        mb->setMenuBlock(0, hexBytes("07 03 07 03 07 00 00 00"));
        mb->setFailureMode(SimMainboard::CorruptChecksum);
        RecordSignals sig(m);
        m->refreshPipSplitPage();
        m->refreshPipCropPage();
        m->readUserMenuSetting3();
        QCOMPARE(m->pipSize(), 50);
        QCOMPARE(m->pipSplitBorderColor(), 3);
        QVERIFY(m->storedPip() == good);
        QCOMPARE(sig.counts(), (QList<int>{0, 0, 0, 0}));

        // The next setting goes out on the good copy.
        mb->setFailureMode(SimMainboard::Normal);
        mb->clearReceived();
        QVERIFY(m->writePipSize(30));
        QCOMPARE(sent(), hexText(blockWrite(1, with(kPip, 0, 30))));
    }

    void fieldWrites_data()
    {
        QTest::addColumn<Action>("write");
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("sent"); // -1: nothing sent
    #define CLAMP(expr, block, index, sent) ROW(expr) << block << index << sent
    #define SAME(expr) QTest::newRow(#expr " unchanged") << Action([](commandExecObject &x) { x.expr; }) << 0 << 0 << -1
        CLAMP(writeWipeBorderSize(-4), 0, 1, 0); CLAMP(writeWipeBorderColor(9), 0, 2, 7);
        CLAMP(writeBkgColor(12), 0, 0, 7); CLAMP(writePipSplitBorderSize(8), 0, 3, 3);
        CLAMP(writePipSplitBorderColor(-1), 0, 4, 0); CLAMP(writePipSize(0), 1, 0, 1);
        CLAMP(writePipSize(150), 1, 0, 100); CLAMP(writePipPosX(-80), 1, 1, 0xCE); CLAMP(writePipPosY(77), 1, 2, 50);
        CLAMP(writePipPosY(-3), 1, 2, 0xFD); CLAMP(writePipCropSize(101), 1, 3, 100);
        CLAMP(writePipCropLeft(-5), 1, 4, 0); CLAMP(writePipCropRight(44), 1, 5, 44);
        CLAMP(writePipCropTop(300), 1, 6, 100); CLAMP(writePipCropBottom(9), 1, 7, 9);
        CLAMP(writelumakeyMode(5), 2, 0, 1); CLAMP(writelumakeyCleanupLevel(101), 2, 1, 100);
        CLAMP(writelumakeyTransparency(99), 2, 2, 64); CLAMP(writeAudioOn(), 2, 3, 1);
        CLAMP(writeAudioHdmiInput(9), 2, 4, 4); CLAMP(writeAudioHdmiGroup(5), 2, 5, 3);
        CLAMP(writeAudioLevel(7), 2, 6, 2); CLAMP(writeAudioTallyMode(3), 2, 7, 1);
        CLAMP(writePgmOutResolution(7), 3, 0, 7); CLAMP(writeOutputFormat(5), 3, 7, 2);
        CLAMP(writeLanguageToMachine(-3), 3, 2, 0); SAME(writeWipeBorderSize(2)); SAME(writePipSplitBorderColor(3));
        SAME(writelumakeyMode(0)); SAME(writeAudioLevel(1)); SAME(writePgmOutResolution(2));
    #undef CLAMP
    #undef SAME
    }

    void fieldWrites()
    {
        QFETCH(Action, write);
        QFETCH(int, block);
        QFETCH(int, index);
        QFETCH(int, sent);
        // Start values chosen so that every clamped row changes its field.
        mb->setMenuBlock(0, hexBytes("03 02 03 01 03 00 00 00"));
        mb->setMenuBlock(3, hexBytes("02 02 01 01 05 01 02 00"));
        refreshAll();
        const QByteArray before = mb->menuBlock(block);
        write(*m);
        QCOMPARE(this->sent(), sent < 0 ? QString() : hexText(blockWrite(block, with(before, index, sent))));
    }

    void pipPositionRetry_data()
    {
        QTest::addColumn<bool>("check");
        QTest::addColumn<SimMainboard::FailureMode>("mode");
        QTest::addColumn<int>("sends");
        QTest::addColumn<bool>("result");
        QTest::newRow("checked, never answered: 1 + 3") << true << SimMainboard::NoAnswer << 4 << false;
        QTest::newRow("checked, third answered") << true << SimMainboard::AnswerOnThirdRequest << 3 << false;
        QTest::newRow("checked, answered") << true << SimMainboard::Normal << 1 << true;
        QTest::newRow("unchecked, never answered: no retry") << false << SimMainboard::NoAnswer << 1 << true;
    }

    void pipPositionRetry()
    {
        QFETCH(bool, check);
        QFETCH(SimMainboard::FailureMode, mode);
        QFETCH(int, sends);
        QFETCH(bool, result);
        refreshAll();
        mb->setEarlyMode(SimMainboard::NoAnswer);
        mb->setFailureMode(mode);
        QCOMPARE(m->writePipPosX(12, check), result);
        mb->setFailureMode(SimMainboard::Normal);
        QCOMPARE(sent(), times(sends, blockWrite(1, with(kPip, 1, 12))));
        QCOMPARE(m->pipPosX(), 12);
    }

    void mvResolutionAccepted_data()
    {
        QTest::addColumn<int>("resolution");
        QTest::addColumn<bool>("sent");
        for (int r : {-1, 3, 4, 11, 300})
            QTest::newRow(qPrintable(QString("refused %1").arg(r))) << r << false;
        for (int r : {0, 2, 5, 10})
            QTest::newRow(qPrintable(QString("sent %1").arg(r))) << r << true;
    }

    void mvResolutionAccepted()
    {
        QFETCH(int, resolution);
        QFETCH(bool, sent);
        mb->setMenuBlock(3, with(kSetup, 1, 5));
        refreshAll();
        QCOMPARE(m->writeMvOutResolution(resolution), sent);
        // Sent even when the stored value is the same (5).
        QCOMPARE(this->sent(), sent ? hexText(blockWrite(3, with(kSetup, 1, resolution))) : QString());
    }

    void resendsAndResets()
    {
        mb->setMenuBlock(1, hexBytes("1E 0A F6 0A 14 1E 28 32"));
        mb->setMenuBlock(3, with(kSetup, 2, 1));
        refreshAll();
        QSignalSpy size(m, &commandExecObject::pipSizeChanged);
        // Sent even when unchanged: background colour, language, the aux
        // audio switches.
        QVERIFY(m->writeBkgColor(2));
        QVERIFY(m->writeBkgColor(2));
        m->writeLanguageToMachine(1);
        m->writeAuxAudioOn();
        m->writeAuxAudioOff();
        m->writeAuxAudioHdmiInput(3);
        m->writeAuxAudioHdmiGroup(2);
        m->writeAuxAudioLevel(1);
        // The pip resets keep what they do not reset and change no property.
        m->resetPipSizeXYPos();
        m->resetPipCrop();
        const QByteArray bkg = blockWrite(0, with(kBorder, 0, 2));
        QCOMPARE(sent(), hexText({bkg, bkg, blockWrite(3, with(kSetup, 2, 1)), blockWrite(2, kLuma),
                                        blockWrite(2, kLuma), blockWrite(1, hexBytes("32 00 00 0A 14 1E 28 32")),
                                        blockWrite(1, hexBytes("32 00 00 00 00 00 00 00"))}));
        QCOMPARE(size.count(), 0);
    }

    void userMenuReads()
    {
        RecordSignals sig(m);
        mb->setMenuBlock(1, hexBytes("28 FB 07 01 02 03 04 05"));
        m->readUserMenuSetting3();
        QCOMPARE(sent(), hexText({blockRead(0), blockRead(1), blockRead(2), blockRead(3)}));
        QCOMPARE(sig.counts(), (QList<int>{1, 1, 1, 1}));
        QCOMPARE(sig.border.first(), (QList<QVariant>{0, 1, 2, 1, 3}));
        QCOMPARE(sig.pip.first(), (QList<QVariant>{40, -5, 7, 1, 2, 3, 4, 5}));
        QCOMPARE(sig.luma.first(), (QList<QVariant>{0, 50, 32, 0, 1, 0, 1, 0}));
        QCOMPARE(sig.out.first().at(0).value<uchar>(), uchar(2));
        QCOMPARE(sig.out.first().at(4).value<uchar>(), uchar(5));

        // Both copies were stored and count as read: the next writers send
        // them at once.
        mb->clearReceived();
        QVERIFY(m->writePipCropSize(9));
        QVERIFY(m->writelumakeyCleanupLevel(9));
        QCOMPARE(sent(),
                 hexText({blockWrite(1, hexBytes("28 FB 07 09 02 03 04 05")), blockWrite(2, with(kLuma, 1, 9))}));

        // The luma/audio and setup reader reads all four, shows only those two.
        mb->clearReceived();
        m->readUserMenuSetting();
        QCOMPARE(mb->receivedFrames().size(), 4);
        QCOMPARE(sig.counts(), (QList<int>{1, 1, 2, 2}));

        QSignalSpy res(m, &commandExecObject::sendPgmOutRes);
        QSignalSpy fmt(m, &commandExecObject::sendOutputFormat);
        QSignalSpy lang(m, &commandExecObject::sendLang);
        QSignalSpy mbv(m, &commandExecObject::sendMb);
        mb->setMenuBlock(3, hexBytes("04 02 02 01 05 01 02 01"));
        m->readUserMenuSetting2();
        QCOMPARE(res.count(), 1);
        QCOMPARE(res.first().at(0).value<uchar>(), uchar(4));
        QCOMPARE(fmt.first().at(0).value<uchar>(), uchar(1));
        QCOMPARE(lang.first().at(0).value<uchar>(), uchar(2));
        QCOMPARE(mbv.first().at(0).toString(), QString("1.5"));

        // A failed read signals nothing.
        mb->setFailureMode(SimMainboard::CorruptChecksum);
        m->readUserMenuSetting2();
        m->readUserMenuSetting();
        QCOMPARE(res.count(), 1);
        QCOMPARE(sig.counts(), (QList<int>{1, 1, 2, 2}));

        // The versions, and a failed read of them.
        mb->setFailureMode(SimMainboard::Normal);
        QSignalSpy info(m, &commandExecObject::setVersionInfo);
        mb->setVersions(2, 10, 1, 3);
        QCOMPARE(m->readVersion(), QString("2.10"));
        QCOMPARE(info.count(), 1);
        QCOMPARE(info.first(), (QList<QVariant>{QString("2.10"), QString("1.3"), QString("1.0.0")}));

        mb->setFailureMode(SimMainboard::CorruptChecksum);
        QCOMPARE(m->readVersion(), QString("x.xx"));
        QCOMPARE(info.count(), 1);
    }

    void singleValueReads_data()
    {
        QTest::addColumn<Read>("read");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("lumaSignals");
        QTest::addColumn<int>("outSignals");
        READ(readPgmMute()) << 1 << 2 << 1 << 0; READ(readPgmHdmiInput()) << 4 << 2 << 1 << 0;
        READ(readPgmHdmiGroup()) << 2 << 2 << 1 << 0; READ(readPgmLevel()) << 1 << 2 << 1 << 0;
        QTest::newRow("readLumaAudio()") << Read([](commandExecObject &x) { x.readLumaAudio(); return 0; }) << 0 << 2
                                         << 1 << 0;
        // The aux audio bus is not in the record: 0 whatever the board holds.
        READ(readAuxMute()) << 0 << 2 << 0 << 0; READ(readAuxHdmiInput()) << 0 << 2 << 0 << 0;
        READ(readAuxLevel()) << 0 << 2 << 1 << 0; READ(readAuxHdmiGroup()) << 0 << 2 << 1 << 0;
        READ(readPgmOutRes()) << 6 << 3 << 0 << 1; READ(readMvOutRes()) << 7 << 3 << 0 << 1;
        READ(readPgmOutputFormat()) << 2 << 3 << 0 << 1;
    }

    void singleValueReads()
    {
        QFETCH(Read, read);
        QFETCH(int, value);
        QFETCH(int, block);
        QFETCH(int, lumaSignals);
        QFETCH(int, outSignals);
        mb->setMenuBlock(2, hexBytes("01 02 03 01 04 02 01 01"));
        mb->setMenuBlock(3, hexBytes("06 07 00 01 05 01 02 02"));
        RecordSignals sig(m);
        QCOMPARE(read(*m), value);
        QCOMPARE(sent(), hexText(blockRead(block)));
        QCOMPARE(sig.counts(), (QList<int>{0, 0, lumaSignals, outSignals}));
        // A failed read returns 0, not a stale or half-valid value, and shows nothing.
        mb->setFailureMode(SimMainboard::CorruptChecksum);
        QCOMPARE(read(*m), 0);
        QCOMPARE(sig.counts(), (QList<int>{0, 0, lumaSignals, outSignals}));
    }


    void pageRefreshesApplyRecords()
    {
        mb->setMenuBlock(0, hexBytes("05 02 06 03 01 00 00 00"));
        mb->setMenuBlock(1, hexBytes("3C 0A EC 05 06 07 08 09"));
        mb->setMenuBlock(2, hexBytes("01 28 10 01 02 03 02 01"));
        mb->setMenuBlock(3, hexBytes("03 06 02 01 05 04 09 01"));
        mb->update([](SimMainboard::State &s) { s.autoRate = 45; s.status[4] = 0x02; });

        // Boot mode silences every refresh; reads still run.
        m->setInBootMode(true);
        m->getStartPage();
        m->refreshSettingPages();
        m->refreshAudioPage2();
        QCOMPARE(sent(), QString());
        QCOMPARE(int(m->readPgmOutRes()), 3);
        m->setInBootMode(false);
        mb->clearReceived();

        m->getStartPage();
        QCOMPARE(sent(), hexText({P.readWipePatternPacks(), blockRead(0), P.readAutoTransRatePacks()}));
        QCOMPARE(props(m, "wipeMixTransitionSpeed wipePattern wipeBkgColor wipeBorderSize wipeBorderColor"),
                 (QList<int>{45, 2, 5, 2, 6}));
        QCOMPARE((QList<int>{m->getWipeBkgColor(), m->getWipeBorderSize(), m->getWipeBorderColor()}), (QList<int>{5, 2, 6}));

        m->refreshPipSplitPage();
        QCOMPARE(props(m, "pipSize pipPosX pipPosY pipSplitBorderSize pipSplitBorderColor"), (QList<int>{60, 10, -20, 3, 1}));
        m->refreshPipCropPage();
        QCOMPARE(props(m, "pipCropSize pipCropLeft pipCropRight pipCropTop pipCropBottom"), (QList<int>{5, 6, 7, 8, 9}));
        m->refreshLumaKeyPage();
        QCOMPARE(props(m, "lumakeyMode lumakeyCleanuoLevel lumakeyTransparency"), (QList<int>{1, 40, 16}));

        QSignalSpy luma(m, &commandExecObject::sendLumaAudio);
        m->refreshAudioPage();
        m->refreshAudioPage2();
        QCOMPARE(luma.count(), 2);
        QCOMPARE(luma.last(), (QList<QVariant>{1, 40, 16, 1, 2, 3, 2, 1}));

        m->refreshSetupPage();
        QCOMPARE(props(m, "pgmOutResolution mvOutResolution outputFormat language osdVerMajor osdVerMinor"),
                 (QList<int>{3, 6, 1, 2, 4, 9}));

        mb->clearReceived();
        m->refreshSettingPages();
        QCOMPARE(mb->receivedFrames().size(), 3 + 2 + 1 + 1 + 1 + 1);
    }

    void userMemories()
    {
        QVERIFY(m->userMem(3));
        QVERIFY(m->userMem1() && m->userMem2() && m->userMem3() && m->userMem4());
        QVERIFY(!m->userMem(7));
        QVERIFY(!m->userMem(65536)); // would wrap onto the factory set
        QVERIFY(m->saveuserMem(2));
        QVERIFY(m->saveSetup());
        QVERIFY(!m->saveuserMem(9));
        QCOMPARE(sent(), hexText({P.loadUserMemoryPacks(3), P.loadUserMemoryPacks(1), P.loadUserMemoryPacks(2),
                                  P.loadUserMemoryPacks(3), P.loadUserMemoryPacks(4), P.saveUserMemoryPacks(2),
                                  P.saveSetupPacks()}));

        // The factory set is loaded, then every page read again.
        mb->setMenuBlock(1, hexBytes("0A 00 00 00 00 00 00 00"));
        m->refreshPipSplitPage();
        QCOMPARE(m->pipSize(), 10);
        mb->clearReceived();
        QVERIFY(m->loadFactoryDefault());
        const QList<QByteArray> frames = framesAfterBarrier();
        QCOMPARE(frames.size(), 1 + 9);
        QCOMPARE(frames.first(), P.loadFactoryDefaultPacks());
        QCOMPARE(m->pipSize(), 50); // the factory set, read back
    }


    void writeToFile()
    {
        const QString file = QStringLiteral("/home/pi/notes/log.txt");
        QDir().mkpath(sysroot->path("/home/pi/notes"));
        QVERIFY(m->writeToFile(file, QStringLiteral("first")));
        QVERIFY(m->writeToFile(file, QStringLiteral("zweite Zeile äö")));
        QCOMPARE(sysroot->readFile(file), QByteArray("first\nzweite Zeile äö\n"));
        // Nothing is left beside the file.
        QCOMPARE(QDir(sysroot->path("/home/pi/notes")).entryList(QDir::Files | QDir::Hidden).size(), 1);

        QVERIFY(!m->writeToFile(QStringLiteral("/home/pi/missing/dir/log->txt"), QStringLiteral("x")));
        QVERIFY(!QFile::exists(sysroot->path("/home/pi/missing")));
    }


    void sourceOutOfRangeSendsNothing_data()
    {
        QTest::addColumn<Op>("op");
        for (auto [name, op] : {std::pair<const char *, Op>{"pgm(7)", [](commandExecObject &x) { return x.pgm(7); }},
                                {"pgm(-1)", [](commandExecObject &x) { return x.pgm(-1); }},
                                {"pvw(7)", [](commandExecObject &x) { return x.pvw(7); }},
                                {"writePipSource(7)", [](commandExecObject &x) { return x.writePipSource(7); }},
                                {"writePipSource(-1)", [](commandExecObject &x) { return x.writePipSource(-1); }},
                                {"writeKeySource(15)", [](commandExecObject &x) { return x.writeKeySource(15); }}})
            QTest::newRow(name) << op;
        QTest::newRow("writeSplitSource(9)") << Op([](commandExecObject &x) { x.writeSplitSource(9); return false; });
    }

    void sourceOutOfRangeSendsNothing()
    {
        QFETCH(Op, op);
        QVERIFY(!op(*m));
        QCOMPARE(sent(), QString());
        QCOMPARE(mb->statusBytes(), SimMainboard::State().statusBytes());
    }

    void backgroundToggles_data()
    {
        QTest::addColumn<bool>("program");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("sent");
        QTest::newRow("program on background -> colour bar") << true << 5 << 6;
        QTest::newRow("program on input 2 -> background") << true << 2 << 5;
        QTest::newRow("program on colour bar -> background") << true << 6 << 5;
        QTest::newRow("preview on background -> colour bar") << false << 5 << 6;
        QTest::newRow("preview on black -> background") << false << 0 << 5;
    }

    void backgroundToggles()
    {
        QFETCH(bool, program);
        QFETCH(int, current);
        QFETCH(int, sent);
        mb->update([&](SimMainboard::State &s) { program ? s.setProgram(current) : s.setPreview(current); });
        QVERIFY(program ? m->pgmbg() : m->pvwbg());
        const CrossPoint to = CrossPoint(sent);
        QCOMPARE(this->sent(), program ? hexText({P.readProgramPacks(), P.writeProgramPacks(to)})
                                       : hexText({P.readPresetPacks(), P.writePresetPacks(to)}));
        QCOMPARE(program ? mb->program() : mb->preview(), sent);
    }

    void autoTransition()
    {
        // The rate is the mainboard's business: the same packet for any rate.
        for (int rate : {5, 100}) {
            QList<bool> seen;
            auto c = connect(m, &commandExecObject::autoModeChanged, m, [&] { seen << m->isAutoMode(); });
            resetBoard();
            mb->update([](SimMainboard::State &s) { s.setProgram(1); s.setPreview(2); });
            QVERIFY(m->autoTrans(rate));
            disconnect(c);
            QCOMPARE(seen, (QList<bool>{true, false}));
            QVERIFY(!m->isAutoMode());
            QCOMPARE(sent(), hexText(lampOn(PushButtonLamp::autoTransition)));
            QTRY_COMPARE(mb->program(), 2); // the mainboard runs the transition itself
        }

        // The rate is clamped to 1..200.
        for (auto [rate, sent] : {std::pair{0, 1}, {37, 37}, {500, 200}}) {
            resetBoard();
            m->writeAutoRate(rate);
            QCOMPARE(this->sent(), hexText(P.writeAutoTransRatePacks(quint16(sent))));
            QCOMPARE(m->readAutoRate(), sent);
        }
    }


    void auxOutputSentOnlyOnChange()
    {
        QSignalSpy changed(m, &commandExecObject::auxOutputChanged);
        struct Step { uint src; QString frames; uint stored; };
        const QList<Step> steps{{3, hexText(P.writeAuxSrcPacks(input3)), 3},
                                {3, QString(), 3},
                                {9, hexText(P.writeAuxSrcPacks(black)), 0}, // not an input: black
                                {0, QString(), 0}};
        for (const Step &s : steps) {
            mb->clearReceived();
            m->setAuxOutput(s.src);
            QCOMPARE(sent(), s.frames);
            QCOMPARE(m->auxOutput(), s.stored);
        }
        QCOMPARE(changed.count(), 2);
    }

    void lampToggles()
    {
        auto expect = [&](std::function<void()> op, const QList<QByteArray> &frames) {
            mb->clearReceived();
            op();
            QCOMPARE(sent(), hexText(frames));
        };
        // Split reads its lamp and turns it the other way.
        for (bool on : {true, false}) {
            expect([&] { QVERIFY(m->spliteMode()); }, {lampRead(splitCommand), on ? lampOn(splitCommand) : lampOff(splitCommand)});
            QCOMPARE(mb->lampLit(splitCommand), on);
        }
        m->refreshStatus2(); // all flags off
        // Split off: the cached flag decides which way the pip lamp goes.
        expect([&] { m->pipSplitOnPgm(); }, {lampRead(splitCommand), lampOn(pipProgram)});
        // Split on: the split-program lamp is read and toggled.
        mb->update([](SimMainboard::State &s) { s.setFlag(2, true); s.setFlag(3, true); });
        expect([&] { m->pipSplitOnPgm(); }, {lampRead(splitCommand), lampRead(splitProgram), lampOff(splitProgram)});
        // Preview side with split on: the cached flag (false) turns split-preview on...
        expect([&] { m->pipSplitOnPvw(); }, {lampRead(splitCommand), lampOn(splitPreview)});
        // ...and once the status says it is on preview, off.
        m->refreshStatus2();
        QVERIFY(m->isPipSplitOnPvw());
        expect([&] { m->pipSplitOnPvw(); }, {lampRead(splitCommand), lampOff(splitPreview)});
        // Split off again, flag on: pip preview goes off.
        mb->update([](SimMainboard::State &s) { s.setFlag(2, false); });
        expect([&] { m->pipSplitOnPvw(); }, {lampRead(splitCommand), lampOff(pipPreview)});

        // The lamp reads; a reply that fails its checksum is not "lit".
        resetBoard();
        mb->update([](SimMainboard::State &s) { s.setFlag(3, true); s.setFlag(6, true); });
        QCOMPARE((QList<bool>{m->pipPgmState(), m->pipPvmState(), m->keyPgmState(), m->keyPvmState()}),
                 (QList<bool>{true, false, false, true}));
        QCOMPARE(sent(), hexText({lampRead(pipProgram), lampRead(pipPreview), lampRead(keyProgram), lampRead(keyPreview)}));
        mb->setFailureMode(SimMainboard::CorruptChecksum);
        QVERIFY(!m->pipPgmState());
    }


    void reads()
    {
        mb->update([](SimMainboard::State &s) {
            s.setProgram(2);
            s.setPreview(6);
            s.control[1] = 700;
            s.setFlag(1, false); // mix
        });
        QCOMPARE(m->readProgram(), 2);
        QCOMPARE(m->readPreset(), 6);
        QCOMPARE(m->readTbar(), 700);
        QCOMPARE(m->readAutoRate(), 30);
        m->readMix();
        m->readWipePattern();
        QVERIFY(!m->getWipeMode());
        m->readWipeMode();
        m->readReverseMode();
        QCOMPARE(sent(), hexText({P.readProgramPacks(), P.readPresetPacks(), P.readControlPacks(keyer2),
                                  P.readAutoTransRatePacks(), lampRead(mixTransitionCommand), P.readWipePatternPacks(),
                                  lampRead(wipeTransitionCommand), lampRead(reverseCommand)}));
        // What these three found is seen only in the log.
        for (const char *text : {"mix mode is on :", "wipe mode is on :", "reverse mode is on :"})
            QVERIFY2(log->count(text) == 1, text);

        // A source the panel does not know, or a failed read, reads as black.
        mb->update([](SimMainboard::State &s) { s.setProgram(9); });
        QCOMPARE(m->readProgram(), 0);
        mb->injectReply(hexBytes("01"));
        QCOMPARE(m->readPreset(), 0);
        mb->setFailureMode(SimMainboard::CorruptChecksum);
        QCOMPARE(m->readTbar(), -1);
    }

    void tbarMiddleSentOnceAndGatesWrites()
    {
        QSignalSpy pos(m, &commandExecObject::currentTbarPosChanged);
        QSignalSpy busy(m, &commandExecObject::sigMainboardBusy);
        m->writeTbar(512);
        m->writeTbar(512);
        QCOMPARE(sent(), hexText(P.writeControlPacks(keyer2, 512)));
        QCOMPARE(m->currentTbarPos(), 512u);
        QCOMPARE(pos.count(), 1);
        QCOMPARE(mb->tbar(), quint16(512));

        // Lever in travel: sources, lamps and patterns are refused without traffic.
        mb->clearReceived();
        QVERIFY(!m->pgm(1));
        QVERIFY(!m->cutTrans());
        QVERIFY(!m->wipePattern2());
        QCOMPARE(busy.count(), 3);
        QCOMPARE(sent(), QString()); // which frames pass the gate is the link's

        // A special mission lets the forced program selection through.
        QSignalSpy mission(m, &commandExecObject::sigSpecialMission);
        m->openMission(true);
        QVERIFY(m->pgm(4));
        m->openMission(false);
        QVERIFY(!m->pgm(3));
        QCOMPARE(mb->program(), 4);
        QCOMPARE(QList<QList<QVariant>>(mission), (QList<QList<QVariant>>{{true}, {false}}));

        // At the end of travel the gate opens again; beyond the travel is the end.
        m->writeTbar(5000);
        QCOMPARE(m->currentTbarPos(), 1023u);
        QCOMPARE(mb->receivedFrames().last(), P.writeControlPacks(keyer2, 1023));
        QVERIFY(m->pgm(3));
        QCOMPARE(mb->program(), 3);
        QCOMPARE(mb->receivedFrames().count(P.writeControlPacks(keyer2, 1023)), 1); // no retry
    }

    void tbarEndRetries_data()
    {
        QTest::addColumn<int>("end");
        QTest::addColumn<SimMainboard::FailureMode>("mode");
        QTest::addColumn<int>("sends");
        QTest::newRow("0, never answered: four sends") << 0 << SimMainboard::NoAnswer << 4;
        QTest::newRow("1023, answered on the third") << 1023 << SimMainboard::AnswerOnThirdRequest << 3;
    }

    void tbarEndRetries()
    {
        QFETCH(int, end);
        QFETCH(SimMainboard::FailureMode, mode);
        QFETCH(int, sends);
        m->writeTbar(600);
        mb->clearReceived();
        mb->setEarlyMode(SimMainboard::NoAnswer);
        mb->setFailureMode(mode);
        m->writeTbar(uint(end));
        mb->setFailureMode(SimMainboard::Normal);
        QCOMPARE(sent(), times(sends, P.writeControlPacks(keyer2, quint16(end))));
        QCOMPARE(m->currentTbarPos(), uint(end));
        QVERIFY(m->pgm(2)); // the gate is open whatever the answers were
    }

    void statusDecodesIntoProperties()
    {
        m->refreshStatus2(); // known start
        const uint pvwBefore = m->pvwSourceNumber();
        mb->update([](SimMainboard::State &s) { s.status = {{0x31, 0x6B, 0x03, 0x12, 0x05, 0x00}}; });
        QSignalSpy state(m, &commandExecObject::sendMuState);
        QSignalSpy pvw(m, &commandExecObject::pvwSourceChanged);
        PropertySignals changes(m);
        m->refreshStatus2();
        QCOMPARE(sent(), times(2, P.requestStatusPacks()));
        QCOMPARE(state.count(), 1);
        // pgm, pvw, keyerPgm, keyerPvw, key, fill, pip, pipSplitPgm, pipSplitPvw,
        // split source, autokey, wipe pattern, mixWipe, split, menu
        QCOMPARE(state.first(), (QList<QVariant>{1, 3, 1, 1, 2, 1, 3, 1, 0, 0, 1, 5, 1, 0, 0}));
        QCOMPARE(props(m, "pgmSourceNumber wipePattern isAutoMode isWipeMode isSplitMode isPipSplitOnPgm isPipSplitOnPvw "
                          "isKeyOnPgm isKeyOnPvw pipSrc splitSrc keyKeyerSrc keyFillSrc isWipeReverse"),
                 (QList<int>{1, 5, 1, 1, 0, 1, 0, 1, 1, 3, 0, 2, 1, 0}));
        QCOMPARE(m->readPipSrc(), 3u);
        // Preview 3 only reaches the interface through sendMuState.
        QCOMPARE(m->pvwSourceNumber(), pvwBefore);
        QCOMPARE(pvw.count(), 0);

        // The same answer again: sendMuState again, no property change.
        const int first = changes.total();
        QVERIFY(first > 0);
        m->refreshStatus2();
        QCOMPARE(state.count(), 2);
        QCOMPARE(state.at(0), state.at(1));
        QCOMPARE(changes.total(), first);
    }

    void refreshRetries_data()
    {
        QTest::addColumn<SimMainboard::FailureMode>("mode");
        QTest::addColumn<bool>("applied");
        QTest::newRow("third request answered") << SimMainboard::AnswerOnThirdRequest << true;
        QTest::newRow("three failures") << SimMainboard::CorruptChecksum << false;
    }

    void refreshRetries()
    {
        QFETCH(SimMainboard::FailureMode, mode);
        QFETCH(bool, applied);
        m->refreshStatus2(); // pgm 1, pattern 0, not reversed
        mb->update([](SimMainboard::State &s) { s.status[0] = 0x34; s.status[4] = 0x82; });
        mb->clearReceived();
        mb->setEarlyMode(SimMainboard::CorruptChecksum);
        mb->setFailureMode(mode);
        QSignalSpy state(m, &commandExecObject::sendMuState);
        PropertySignals changes(m);
        m->refreshStatus2();
        QCOMPARE(mb->receivedFrames().size(), 3);
        QCOMPARE(state.count(), int(applied));
        QCOMPARE(props(m, "pgmSourceNumber wipePattern isWipeReverse"), (applied ? QList<int>{4, 2, 1} : QList<int>{1, 0, 0}));
        QCOMPARE(changes.total() > 0, applied);
        if (applied)
            QCOMPARE(state.first().at(0).toInt(), 4);
    }


    void updateStatusSendsItsRecord()
    {
        m->updateStatus();
        QCOMPARE(sent(), hexText(P.updateStatusPacks(zarvoMuStatus::fromBytes(hexBytes("634124518200")))));
        QCOMPARE(mb->statusBytes(), hexBytes("63 41 24 51 82 00"));
        // Only the log tells that a status came back.
        log->clear();
        m->requestStatus();
        QCOMPARE(log->count("view state"), 1);
    }

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
        QElapsedTimer t;
        t.start();
        const int result = op.call(*m);
        // A healthy board answers at once: nothing waits out a time-out.
        QVERIFY2(t.elapsed() < 2500, qPrintable(QString("%1 took %2 ms").arg(op.name).arg(t.elapsed())));
        QVERIFY(!log->has("re-entered"));
        QVERIFY(!log->has("[ERR] Not connected"));
        if (op.kind == Kind::Local)
            QCOMPARE(sent(), QString());
        if (!op.frame.isEmpty()) {
            QVERIFY(result != 0);
            QCOMPARE(sent(), hexText(op.frame));
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
        mb->clearReceived();
        log->clear();

        QElapsedTimer t;
        t.start();
        const int result = op.call(*m);
        QVERIFY2(t.elapsed() < 1500, qPrintable(QString("%1 took %2 ms").arg(op.name).arg(t.elapsed())));
        QCOMPARE(mb->receivedBytes().size(), 0);
        const bool reachedLink = log->has("[COM] serialPort_");
        QCOMPARE(reachedLink, op.kind == Kind::Link);
        if (op.kind == Kind::Checked)
            QVERIFY(log->has("[ERR] Not connected"));
        if (op.kind == Kind::Link)
            QVERIFY(log->has("[ERR] Write fail:"));
        // Operations that report a result report failure.
        if (op.kind != Kind::Local && result != -1)
            QCOMPARE(result, 0);
    }

    void closedLineEdgeCases()
    {
        m->disConnect();
        QSignalSpy info(m, &commandExecObject::setVersionInfo);
        QCOMPARE(m->readVersion(), QString("x.xx"));
        QCOMPARE(info.count(), 1);
        QCOMPARE(info.first(), (QList<QVariant>{QString("0.00"), QString("0.0"), QString("1.0.0")}));

        QCOMPARE(m->readProgram() + m->readAutoRate() + m->readPgmMute() + m->readPgmOutRes(), 0);
        QCOMPARE(mb->receivedBytes().size(), 0);

        // An upgrade asked for on a closed line fails, and the model is free again.
        MbImage image;
        image.packets = MbImage::makePackets(1, 8);
        QVERIFY(sysroot->writeFile(kImage, image.toBytes()));
        QSignalSpy finished(m, &commandExecObject::upgradeFinished);
        m->processFirmwareUpgradeUi(kImage, QString());
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(finished.first().at(0).toBool(), false);
        QVERIFY(!m->isUpgrading());
        QVERIFY(QFile::remove(sysroot->path(kImage)));
        QCOMPARE(mb->receivedBytes().size(), 0);

        // A failed open leaves the line closed; opening it again works.
        QVERIFY(!m->connectSerial(QStringLiteral("ttyNOPE")));
        QVERIFY(!m->isConnected());
        QVERIFY(!m->pgm(1));
        // Opening a closed line and reopening an open one both work.
        for (int src : {5, 4}) {
            QVERIFY(m->connectSerial(QStringLiteral("ttyAMA2")));
            QVERIFY(m->pgm(src));
            QCOMPARE(mb->program(), src);
        }
    }


    void misbehavingBoardLeavesModelUsable_data()
    {
        QTest::addColumn<SimMainboard::FailureMode>("mode");
        using F = SimMainboard;
        for (F::FailureMode mode : {F::NoAnswer, F::Garbage, F::CorruptChecksum, F::WrongCommandCode, F::TooManyBytes,
                                    F::SplitReply, F::LateAnswer, F::ReportBusy, F::AckBeforeReply, F::AckThenReply})
            QTest::newRow(QMetaEnum::fromType<F::FailureMode>().valueToKey(mode)) << mode;
    }

    void misbehavingBoardLeavesModelUsable()
    {
        QFETCH(SimMainboard::FailureMode, mode);
        mb->setReplyDelay(150);
        mb->setSplitReply(2, 20);
        mb->setRandomSeed(quint32(mode) * 7919u);
        // The board fails mid-session; short link waits keep the test brief.
        setWaitDivisor(30);
        mb->setFailureMode(mode);
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
        mb->setFailureMode(SimMainboard::Normal);
        setWaitDivisor(1);
        if (mode == SimMainboard::LateAnswer || mode == SimMainboard::SplitReply || mode == SimMainboard::AckThenReply) {
            // Replies still in flight belong to the old frames: wait until the
            // board has written them all.
            int last = -1;
            QTRY_VERIFY_WITH_TIMEOUT([&] {
                QTest::qWait(120);
                const int now = mb->sentBytes().size();
                return std::exchange(last, now) == now;
            }(), 5000);
        }
        mb->update([](SimMainboard::State &s) { s.setProgram(1); s.setPreview(2); });
        QVERIFY(m->pgm(4));
        QCOMPARE(mb->program(), 4);
        QCOMPARE(m->readProgram(), 4);
        QCOMPARE(m->readPreset(), 2);
        QVERIFY(m->cutTrans());
        QCOMPARE(mb->program(), 2);
        state.clear();
        m->refreshStatus2();
        QCOMPARE(state.count(), 1);
        QCOMPARE(m->pgmSourceNumber(), 2u);
        QVERIFY(!log->has("re-entered"));
    }

    void upgradeWithoutImageDoesNothing()
    {
        QSignalSpy finished(m, &commandExecObject::upgradeFinished);
        m->processFirmwareUpgradeUi(kImage, QStringLiteral("1.1"));
        QVERIFY(!m->isUpgrading());
        QVERIFY(m->pgm(2));
        QCOMPARE(finished.count(), 0);
    }

private:
    // Mainboard back to its start state (its memories kept), Normal mode,
    // record cleared, the link's waits nominal, the log emptied.
    void resetBoard()
    {
        setWaitDivisor(1);
        mb->setFailureMode(SimMainboard::Normal);
        mb->update([](SimMainboard::State &s) {
            const auto memories = s.memories;
            s = SimMainboard::State();
            s.memories = memories;
        });
        mb->clearReceived();
        log->clear();
    }
    // Every frame sent before this call has reached the board: one answered
    // exchange goes through (its own frame is not returned).
    QList<QByteArray> framesAfterBarrier()
    {
        m->mainboardLink()->isMachineLive();
        QList<QByteArray> frames = mb->receivedFrames();
        if (!frames.isEmpty() && frames.last() == P.machineLivePacks())
            frames.removeLast();
        return frames;
    }
    QString sent() { return hexText(framesAfterBarrier()); }
    void setWaitDivisor(int divisor) { m->mainboardLink()->setWaitDivisor(divisor); }
    // Fills every stored copy from the board, then forgets the traffic.
    void refreshAll()
    {
        m->refreshPipSplitPage();
        m->refreshLumaKeyPage();
        m->refreshSetupPage();
        mb->clearReceived();
        log->clear();
    }
};

QTEST_MAIN(TestSwitcher)
#include "tst_switcher.moc"
