// Settings records, single-setting writers, page refreshes, user memories,
// versions and the text-file writer, against the simulated mainboard.

#include "tests/switcher/helper_switcherrig.h"

#include "mainboard/zarvomu.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <functional>

Q_DECLARE_METATYPE(std::function<void(commandExecObject &)>)
Q_DECLARE_METATYPE(std::function<int(commandExecObject &)>)
Q_DECLARE_METATYPE(SimMainboard::FailureMode)

namespace {

using Action = std::function<void(commandExecObject &)>;

// The simulated board's start values, block by block.
const QByteArray kBorder = hexBytes("00 01 02 01 03 00 00 00");
const QByteArray kPip = hexBytes("32 00 00 00 00 00 00 00");
const QByteArray kLuma = hexBytes("00 32 20 00 01 00 01 00");
const QByteArray kSetup = hexBytes("02 02 00 01 05 01 02 00");

QByteArray blockWrite(int block, QByteArray bytes) { return mbFrame(quint8(block), 0xC9, bytes); }
QByteArray blockRead(int block) { return mbFrame(quint8(block), 0x49); }

QByteArray with(QByteArray bytes, int index, int value)
{
    bytes[index] = char(value);
    return bytes;
}

using Read = std::function<int(commandExecObject &)>;

// A row named after the call it makes.
#define ROW(expr) QTest::newRow(#expr) << Action([](commandExecObject &x) { x.expr; })
#define READ(expr) QTest::newRow(#expr) << Read([](commandExecObject &x) { return int(x.expr); })

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

} // namespace

class TestSwitcherSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        rig_.reset(new SwitcherRig);
        m = rig_->model.get();
    }
    void init()
    {
        rig_->resetBoard();
        m->setInBootMode(false);
        rig_->log.clear();
    }
    void cleanupTestCase() { rig_.reset(); }

    void firstWriteReadsRecordFirst()
    {
        // Fresh model: nothing read yet. The writer reads the record, then sends
        // it whole with the one field changed.
        QVERIFY(m->writeWipeBorderSize(5));
        QCOMPARE(rig_->sent(), hexText({blockRead(0), blockWrite(0, with(kBorder, 1, 3))}));
        QCOMPARE(rig_->mb->menuBlock(0), with(kBorder, 1, 3));

        rig_->mb->clearReceived();
        QVERIFY(!m->writeWipeBorderSize(9)); // clamps to 3 again: nothing sent
        QCOMPARE(rig_->sent(), QString());
    }

    void unreadRecordIsNeverSent_data()
    {
        // Writers that answer report false; the void ones return -1 here.
        QTest::addColumn<Read>("write");
        QTest::addColumn<int>("block");
#define VOIDW(expr) QTest::newRow(#expr) << Read([](commandExecObject &x) { x.expr; return -1; })
        READ(writeBkgColor(4)) << 0;
        READ(writePipPosX(20, true)) << 1;
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
        rig_->mb->clearReceived();
        rig_->mb->setFailureMode(SimMainboard::CorruptChecksum); // prompt, unusable reply
        const QByteArray before = rig_->mb->menuBlock(block);

        const int result = write(*m);
        rig_->mb->setFailureMode(SimMainboard::Normal);
        QVERIFY2(result != 1, "nothing was sent, so nothing may report success");
        const QList<QByteArray> frames = rig_->framesAfterBarrier();
        QVERIFY2(!frames.isEmpty(), "the record is read first");
        for (const QByteArray &f : frames)
            QVERIFY2(quint8(f[2]) == 0x49, qPrintable(hexText(frames)));
        QCOMPARE(rig_->mb->menuBlock(block), before);
    }

    void failedReadKeepsGoodCopy()
    {
        m->refreshPipSplitPage();
        QCOMPARE(m->pipSize(), 50);
        const pipSetting good = m->storedPip();

        // The board changes, but its answers are now corrupt: nothing of them is
        // stored or shown.
        rig_->mb->setMenuBlock(1, hexBytes("14 05 05 01 01 01 01 01"));
        rig_->mb->setMenuBlock(0, hexBytes("07 03 07 03 07 00 00 00"));
        rig_->mb->setFailureMode(SimMainboard::CorruptChecksum);
        RecordSignals sig(m);
        m->refreshPipSplitPage();
        m->refreshPipCropPage();
        m->readUserMenuSetting3();
        QCOMPARE(m->pipSize(), 50);
        QCOMPARE(m->pipSplitBorderColor(), 3);
        QVERIFY(m->storedPip() == good);
        QCOMPARE(sig.counts(), (QList<int>{0, 0, 0, 0}));

        // The next setting goes out on the good copy.
        rig_->mb->setFailureMode(SimMainboard::Normal);
        rig_->mb->clearReceived();
        QVERIFY(m->writePipSize(30));
        QCOMPARE(rig_->sent(), hexText(blockWrite(1, with(kPip, 0, 30))));
    }

    void fieldWrites_data()
    {
        QTest::addColumn<Action>("write");
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("sent"); // -1: nothing sent
    #define CLAMP(expr, block, index, sent) ROW(expr) << block << index << sent
    #define SAME(expr) QTest::newRow(#expr " unchanged") << Action([](commandExecObject &x) { x.expr; }) << 0 << 0 << -1
        CLAMP(writeWipeBorderSize(-4), 0, 1, 0);
        CLAMP(writeWipeBorderColor(9), 0, 2, 7);
        CLAMP(writeBkgColor(12), 0, 0, 7);
        CLAMP(writePipSplitBorderSize(8), 0, 3, 3);
        CLAMP(writePipSplitBorderColor(-1), 0, 4, 0);
        CLAMP(writePipSize(0), 1, 0, 1);
        CLAMP(writePipSize(150), 1, 0, 100);
        CLAMP(writePipPosX(-80), 1, 1, 0xCE);
        CLAMP(writePipPosY(77), 1, 2, 50);
        CLAMP(writePipPosY(-3), 1, 2, 0xFD);
        CLAMP(writePipCropSize(101), 1, 3, 100);
        CLAMP(writePipCropLeft(-5), 1, 4, 0);
        CLAMP(writePipCropRight(44), 1, 5, 44);
        CLAMP(writePipCropTop(300), 1, 6, 100);
        CLAMP(writePipCropBottom(9), 1, 7, 9);
        CLAMP(writelumakeyMode(5), 2, 0, 1);
        CLAMP(writelumakeyCleanupLevel(101), 2, 1, 100);
        CLAMP(writelumakeyTransparency(99), 2, 2, 64);
        CLAMP(writeAudioOn(), 2, 3, 1);
        CLAMP(writeAudioHdmiInput(9), 2, 4, 4);
        CLAMP(writeAudioHdmiGroup(5), 2, 5, 3);
        CLAMP(writeAudioLevel(7), 2, 6, 2);
        CLAMP(writeAudioTallyMode(3), 2, 7, 1);
        CLAMP(writePgmOutResolution(7), 3, 0, 7);
        CLAMP(writeOutputFormat(5), 3, 7, 2);
        CLAMP(writeLanguageToMachine(-3), 3, 2, 0);
        SAME(writeWipeBorderSize(2));
        SAME(writePipSplitBorderColor(3));
        SAME(writelumakeyMode(0));
        SAME(writeAudioLevel(1));
        SAME(writePgmOutResolution(2));
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
        rig_->mb->setMenuBlock(0, hexBytes("03 02 03 01 03 00 00 00"));
        rig_->mb->setMenuBlock(3, hexBytes("02 02 01 01 05 01 02 00"));
        refreshAll();
        const QByteArray before = rig_->mb->menuBlock(block);
        write(*m);
        QCOMPARE(rig_->sent(), sent < 0 ? QString() : hexText(blockWrite(block, with(before, index, sent))));
    }

    void pipPositionShown()
    {
        refreshAll();
        QSignalSpy x(m, &commandExecObject::pipPosXChanged);
        QVERIFY(m->writePipPosX(-80));
        QCOMPARE(m->pipPosX(), -50);
        QCOMPARE(x.count(), 1);
        QCOMPARE(int(m->storedPip().pipPositionX), -50);
        QVERIFY(m->writePipPosY(-3));
        QCOMPARE(m->pipPosY(), -3);
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
        rig_->mb->setEarlyMode(SimMainboard::NoAnswer);
        rig_->mb->setFailureMode(mode);
        QCOMPARE(m->writePipPosX(12, check), result);
        rig_->mb->setFailureMode(SimMainboard::Normal);
        QCOMPARE(rig_->sent(), hexText(QVector<QByteArray>(sends, blockWrite(1, with(kPip, 1, 12))).toList()));
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
        rig_->mb->setMenuBlock(3, with(kSetup, 1, 5));
        refreshAll();
        QCOMPARE(m->writeMvOutResolution(resolution), sent);
        // Sent even when the stored value is the same (5).
        QCOMPARE(rig_->sent(), sent ? hexText(blockWrite(3, with(kSetup, 1, resolution))) : QString());
    }

    void resendsAndResets()
    {
        rig_->mb->setMenuBlock(1, hexBytes("1E 0A F6 0A 14 1E 28 32"));
        rig_->mb->setMenuBlock(3, with(kSetup, 2, 1));
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
        QCOMPARE(rig_->sent(), hexText({bkg, bkg, blockWrite(3, with(kSetup, 2, 1)), blockWrite(2, kLuma),
                                        blockWrite(2, kLuma), blockWrite(1, hexBytes("32 00 00 0A 14 1E 28 32")),
                                        blockWrite(1, hexBytes("32 00 00 00 00 00 00 00"))}));
        QCOMPARE(size.count(), 0);
    }

    void userMenuReads()
    {
        RecordSignals sig(m);
        rig_->mb->setMenuBlock(1, hexBytes("28 FB 07 01 02 03 04 05"));
        m->readUserMenuSetting3();
        QCOMPARE(rig_->sent(), hexText({blockRead(0), blockRead(1), blockRead(2), blockRead(3)}));
        QCOMPARE(sig.counts(), (QList<int>{1, 1, 1, 1}));
        QCOMPARE(sig.border.first(), (QList<QVariant>{0, 1, 2, 1, 3}));
        QCOMPARE(sig.pip.first(), (QList<QVariant>{40, -5, 7, 1, 2, 3, 4, 5}));
        QCOMPARE(sig.luma.first(), (QList<QVariant>{0, 50, 32, 0, 1, 0, 1, 0}));
        QCOMPARE(sig.out.first().at(0).value<uchar>(), uchar(2));
        QCOMPARE(sig.out.first().at(4).value<uchar>(), uchar(5));

        // Both copies were stored and count as read: the next writers send
        // them at once.
        rig_->mb->clearReceived();
        QVERIFY(m->writePipCropSize(9));
        QVERIFY(m->writelumakeyCleanupLevel(9));
        QCOMPARE(rig_->sent(),
                 hexText({blockWrite(1, hexBytes("28 FB 07 09 02 03 04 05")), blockWrite(2, with(kLuma, 1, 9))}));

        // The luma/audio and setup reader reads all four, shows only those two.
        rig_->mb->clearReceived();
        m->readUserMenuSetting();
        QCOMPARE(rig_->mb->receivedFrames().size(), 4);
        QCOMPARE(sig.counts(), (QList<int>{1, 1, 2, 2}));

        QSignalSpy res(m, &commandExecObject::sendPgmOutRes);
        QSignalSpy fmt(m, &commandExecObject::sendOutputFormat);
        QSignalSpy lang(m, &commandExecObject::sendLang);
        QSignalSpy mbv(m, &commandExecObject::sendMb);
        rig_->mb->setMenuBlock(3, hexBytes("04 02 02 01 05 01 02 01"));
        m->readUserMenuSetting2();
        QCOMPARE(res.count(), 1);
        QCOMPARE(res.first().at(0).value<uchar>(), uchar(4));
        QCOMPARE(fmt.first().at(0).value<uchar>(), uchar(1));
        QCOMPARE(lang.first().at(0).value<uchar>(), uchar(2));
        QCOMPARE(mbv.first().at(0).toString(), QString("1.5"));

        // A failed read signals nothing.
        rig_->mb->setFailureMode(SimMainboard::CorruptChecksum);
        m->readUserMenuSetting2();
        m->readUserMenuSetting();
        QCOMPARE(res.count(), 1);
        QCOMPARE(sig.counts(), (QList<int>{1, 1, 2, 2}));
    }

    void singleValueReads_data()
    {
        QTest::addColumn<Read>("read");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("lumaSignals");
        QTest::addColumn<int>("outSignals");
        READ(readPgmMute()) << 1 << 2 << 1 << 0;
        READ(readPgmHdmiInput()) << 4 << 2 << 1 << 0;
        READ(readPgmHdmiGroup()) << 2 << 2 << 1 << 0;
        READ(readPgmLevel()) << 1 << 2 << 1 << 0;
        QTest::newRow("readLumaAudio()") << Read([](commandExecObject &x) { x.readLumaAudio(); return 0; }) << 0 << 2
                                         << 1 << 0;
        // The aux audio bus is not in the record: 0 whatever the board holds.
        READ(readAuxMute()) << 0 << 2 << 0 << 0;
        READ(readAuxHdmiInput()) << 0 << 2 << 0 << 0;
        READ(readAuxLevel()) << 0 << 2 << 1 << 0;
        READ(readAuxHdmiGroup()) << 0 << 2 << 1 << 0;
        READ(readPgmOutRes()) << 6 << 3 << 0 << 1;
        READ(readMvOutRes()) << 7 << 3 << 0 << 1;
        READ(readPgmOutputFormat()) << 2 << 3 << 0 << 1;
    }

    void singleValueReads()
    {
        QFETCH(Read, read);
        QFETCH(int, value);
        QFETCH(int, block);
        QFETCH(int, lumaSignals);
        QFETCH(int, outSignals);
        rig_->mb->setMenuBlock(2, hexBytes("01 02 03 01 04 02 01 01"));
        rig_->mb->setMenuBlock(3, hexBytes("06 07 00 01 05 01 02 02"));
        RecordSignals sig(m);
        QCOMPARE(read(*m), value);
        QCOMPARE(rig_->sent(), hexText(blockRead(block)));
        QCOMPARE(sig.counts(), (QList<int>{0, 0, lumaSignals, outSignals}));
        // A failed read returns 0, not a stale or half-valid value, and shows nothing.
        rig_->mb->setFailureMode(SimMainboard::CorruptChecksum);
        QCOMPARE(read(*m), 0);
        QCOMPARE(sig.counts(), (QList<int>{0, 0, lumaSignals, outSignals}));
    }

    void readVersionText()
    {
        QSignalSpy info(m, &commandExecObject::setVersionInfo);
        rig_->mb->setVersions(2, 10, 1, 3);
        QCOMPARE(m->readVersion(), QString("2.10"));
        QCOMPARE(info.count(), 1);
        QCOMPARE(info.first(), (QList<QVariant>{QString("2.10"), QString("1.3"), QString("1.0.0")}));

        rig_->mb->setFailureMode(SimMainboard::CorruptChecksum);
        QCOMPARE(m->readVersion(), QString("x.xx"));
        QCOMPARE(info.count(), 1);
    }

    void pageRefreshesApplyRecords()
    {
        rig_->mb->setMenuBlock(0, hexBytes("05 02 06 03 01 00 00 00"));
        rig_->mb->setMenuBlock(1, hexBytes("3C 0A EC 05 06 07 08 09"));
        rig_->mb->setMenuBlock(2, hexBytes("01 28 10 01 02 03 02 01"));
        rig_->mb->setMenuBlock(3, hexBytes("03 06 02 01 05 04 09 01"));
        rig_->mb->update([](SimMainboard::State &s) { s.autoRate = 45; s.status[4] = 0x02; });

        // Boot mode silences every refresh; reads still run.
        m->setInBootMode(true);
        m->getStartPage();
        m->refreshSettingPages();
        m->refreshAudioPage2();
        QCOMPARE(rig_->sent(), QString());
        QCOMPARE(int(m->readPgmOutRes()), 3);
        m->setInBootMode(false);
        rig_->mb->clearReceived();

        m->getStartPage();
        QCOMPARE(rig_->sent(), hexText({hexBytes("03 00 48 4B"), blockRead(0), hexBytes("03 00 4C 4F")}));
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

        rig_->mb->clearReceived();
        m->refreshSettingPages();
        QCOMPARE(rig_->mb->receivedFrames().size(), 3 + 2 + 1 + 1 + 1 + 1);
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
        QCOMPARE(rig_->sent(), QString("04 00 DB 03 E2 | 04 00 DB 01 E0 | 04 00 DB 02 E1 | 04 00 DB 03 E2 | "
                                       "04 00 DB 04 E3 | 04 00 DA 02 E0 | 04 00 DA FF DD"));
    }

    void factoryDefaultRefreshesPages()
    {
        rig_->mb->setMenuBlock(1, hexBytes("0A 00 00 00 00 00 00 00"));
        m->refreshPipSplitPage();
        QCOMPARE(m->pipSize(), 10);
        rig_->mb->clearReceived();
        QVERIFY(m->loadFactoryDefault());
        const QList<QByteArray> frames = rig_->framesAfterBarrier();
        QCOMPARE(frames.size(), 1 + 9);
        QCOMPARE(frames.first(), mbFrame(0, 0xDB, hexBytes("00")));
        QCOMPARE(m->pipSize(), 50); // the factory set, read back
    }

    void writeToFile()
    {
        const QString file = QStringLiteral("/home/pi/notes/log.txt");
        QDir().mkpath(rig_->sysroot.path("/home/pi/notes"));
        QVERIFY(m->writeToFile(file, QStringLiteral("first")));
        QVERIFY(m->writeToFile(file, QStringLiteral("zweite Zeile äö")));
        QCOMPARE(rig_->sysroot.readFile(file), QByteArray("first\nzweite Zeile äö\n"));
        // Nothing is left beside the file.
        QCOMPARE(QDir(rig_->sysroot.path("/home/pi/notes")).entryList(QDir::Files | QDir::Hidden).size(), 1);

        QVERIFY(!m->writeToFile(QStringLiteral("/home/pi/missing/dir/log.txt"), QStringLiteral("x")));
        QVERIFY(!QFile::exists(rig_->sysroot.path("/home/pi/missing")));
    }

private:
    // Fills every stored copy from the board, then forgets the traffic.
    void refreshAll()
    {
        m->refreshPipSplitPage();
        m->refreshLumaKeyPage();
        m->refreshSetupPage();
        rig_->mb->clearReceived();
        rig_->log.clear();
    }

    std::unique_ptr<SwitcherRig> rig_;
    commandExecObject *m = nullptr;
};

QTEST_MAIN(TestSwitcherSettings)
#include "tst_switchersettings.moc"
