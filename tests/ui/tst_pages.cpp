// The page logic against the simulated unit, what reaches the devices (setup
// menu, picture-in-picture, audio, luma key, upgrade, network), and every page
// and pop-up in an offscreen window: no QML warning in any language, real
// presses reach the cameras, every text has glyphs in the font.
#include "maint/rpitool.h"
#include "netsvc/net.h"
#include "platform/commandrunner.h"
#include "sim/mbimage.h"
#include "switcher/commandexecobject.h"
#include "sim/simcamera.h"
#include "sim/simmainboard.h"
#include "sim/simunit.h"
#include "tests/common/fullcard.h"
#include "tests/common/testsysroot.h"
#include "tools/pagerig.h"
#include "ui/audiomixer.h"
#include "ui/devicelines.h"
#include "ui/imagekeys.h"
#include "ui/language.h"
#include "ui/lumakey.h"
#include "ui/networksettings.h"
#include "ui/panel.h"
#include "ui/panelsettings.h"
#include "ui/pipcontrol.h"
#include "ui/setupmenu.h"
#include "ui/switchgate.h"
#include "ui/upgradeflow.h"

#include <QDirIterator>
#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRawFont>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtTest>

#include <memory>
#include <numeric>

namespace {
// A menu block write: count, block, C9, data, low byte of the sum.
QByteArray menuWrite(int block, const char *hex)
{
    const QByteArray f = QByteArray(1, char(11)) + char(block) + '\xC9' + QByteArray::fromHex(hex);
    return f + char(std::accumulate(f.begin(), f.end(), 0u, [](uint s, char c) { return s + quint8(c); }));
}
} // namespace

class TstPages : public QObject
{
    Q_OBJECT

    TestSysroot sys;
    std::unique_ptr<SimUnit> unit;
    std::unique_ptr<PageRig> rig;
    Panel *panel = nullptr;
    PanelSettings *settings = nullptr;

    SimMainboard &mb() { return unit->mainboard(); }
    bool idle()
    {
        DeviceLines &l = rig->lines();
        return l.mainboard().pending() == 0 && l.camera().pending() == 0 && l.system().pending() == 0;
    }
    // Mainboard frames received while `action` ran and the lanes drained.
    template <typename F> QList<QByteArray> framesOf(F action)
    {
        if (!QTest::qWaitFor([this] { return idle(); }, 10000))
            return {QByteArray("lanes busy before")};
        mb().clearReceived();
        action();
        QTest::qWait(1); // let the timers that the action started fire first
        if (!QTest::qWaitFor([this] { return idle(); }, 10000))
            return {QByteArray("lanes still busy")};
        return mb().receivedFrames();
    }
    QStringList audioCalls()
    {
        QStringList out;
        for (const QString &c : CommandRunner::history())
            if (c.contains(QLatin1String("lm1972.sh")))
                out << c.section(QLatin1String("lm1972.sh "), 1).chopped(2);
        return out;
    }

    void writeImage()
    {
        MbImage image;
        image.versionMajor = 1;
        image.versionMinor = 5;
        image.packets = MbImage::makePackets(8, 64, 3);
        QVERIFY(sys.writeFile("/mnt/tervana/tavrik/ZARVOHD.bin", image.toBytes()));
        mb().expectImage(image.toBytes());
    }

private slots:
    void initTestCase()
    {
        unit = std::make_unique<SimUnit>(sys.root());
        QVERIFY2(unit->isUp(), qPrintable(unit->problems()));
        rig = std::make_unique<PageRig>(unit.get());
        rig->lines().rpi([](RpiTool &r) { r.setRebootDelay(0); });
        rig->stageDemoState();
        QVERIFY(PageRig::pageFiles().contains("pages/ImageKeysPage.qml"));
        panel = &rig->panel();
        settings = panel->settings();
        panel->setMainboardConnected(true);
        QTRY_VERIFY(idle());
    }

    void cleanupTestCase()
    {
        rig.reset();
        unit.reset();
    }

    void setupMenuSendsTheChosenCode()
    {
        SetupMenu menu(panel);
        // Level is byte 6 of the luma key/audio record (board default 1).
        QCOMPARE(framesOf([&] { menu.choose(SetupMenu::HdmiLevel, 2); }).last(), menuWrite(2, "0032200001000200"));
        QCOMPARE(framesOf([&] { menu.choose(SetupMenu::HdmiLevel, 1); }).last(), menuWrite(2, "0032200001000100"));
        QCOMPARE(menu.labels(SetupMenu::HdmiLevel).value(2), QStringLiteral("0dB"));
        QCOMPARE(menu.selected(SetupMenu::HdmiLevel), 1);
        // A chosen "-6dB" shows as chosen; reported back by the board, a level 0 shows as 1.
        menu.choose(SetupMenu::HdmiLevel, 0);
        QCOMPARE(menu.selected(SetupMenu::HdmiLevel), 0);
        panel->lines()->mainboard().post([](commandExecObject &m) { m.readUserMenuSetting3(); });
        QTRY_COMPARE(menu.selected(SetupMenu::HdmiLevel), 1);
        menu.choose(SetupMenu::HdmiLevel, 1);

        // "720p 50" is the camera's 0x0C.
        QCOMPARE(menu.labels(SetupMenu::VideoFormat).value(11), QStringLiteral("720p 50"));
        unit->camera(0).clearReceived();
        menu.choose(SetupMenu::VideoFormat, 11);
        QTRY_VERIFY(idle());
        QCOMPARE(unit->camera(0).received().value(0).toHex(), QByteArray("81010424720cff"));
    }

    void rateStepperStopsAtItsEnds()
    {
        SetupMenu menu(panel);
        QVERIFY(!menu.typeNumber(SetupMenu::AutoRate, 256));
        QVERIFY(menu.typeNumber(SetupMenu::AutoRate, 2));
        const QList<QByteArray> down = framesOf([&] {
            menu.stepPress(SetupMenu::AutoRate, -1); // 2 -> 1
            menu.stepTick();
            menu.stepTick();
            menu.stepRelease();
        });
        QCOMPARE(down.size(), 1);
        QCOMPARE(menu.number(SetupMenu::AutoRate), 1);
        QCOMPARE(panel->transSpeed(), 1);
        QVERIFY(framesOf([&] {
                    menu.stepPress(SetupMenu::AutoRate, -1);
                    menu.stepRelease();
                }).isEmpty());
    }

    void audioPageReset()
    {
        SetupMenu menu(panel);
        menu.choose(SetupMenu::HdmiLevel, 2);
        menu.askReset(SetupMenu::AudioPage);
        QCOMPARE(menu.resetAsked(), int(SetupMenu::AudioPage));
        menu.confirmReset();
        const QList<QByteArray> frames = framesOf([&] {
            for (int tick = 1; tick <= 9; ++tick)
                menu.resetTick();
        });
        // Mute off, then input 4 ("Follow"), then level 1 ("+6dB"); group and
        // tally mode are already 0 and not sent again.
        QCOMPARE(frames, QList<QByteArray>({menuWrite(2, "0032200001000200"), menuWrite(2, "0032200004000200"),
                                            menuWrite(2, "0032200004000100")}));
        QVERIFY(!menu.resetRunning());
    }

    void pipPositionAndCrop()
    {
        PipControl pip(panel);
        pip.setSliderMode(PipControl::ModeX);
        QCOMPARE(framesOf([&] { pip.sliderReleased(0); }).last(), menuWrite(1, "32ce000000000000"));
        QCOMPARE(framesOf([&] { pip.sliderReleased(100); }).last(), menuWrite(1, "3232000000000000"));

        // A fast drag sends no more than the lane takes: nothing queues up.
        const QList<QByteArray> fast = framesOf([&] {
            for (int x = 0; x <= 300; x += 10)
                pip.dragTo(x, x / 2, 320, 180);
        });
        QVERIFY2(fast.size() < 10, qPrintable(QString::number(fast.size())));

        // A drag that ends in the top-left corner: -50 and +50, each answered.
        const QList<QByteArray> drag = framesOf([&] { pip.dragReleased(-10, -10, 320, 180); });
        QCOMPARE(drag.mid(drag.size() - 2),
                 QList<QByteArray>({menuWrite(1, "32ce000000000000"), menuWrite(1, "32ce320000000000")}));

        pip.setCropSel(PipControl::CropLeft);
        QVERIFY(framesOf([&] {
                    for (int v = 1; v <= 3; ++v)
                        pip.cropSliderMoved(v);
                }).isEmpty());
        QCOMPARE(framesOf([&] { pip.cropSliderReleased(3); }).last(), menuWrite(1, "32ce320003000000"));
    }

    // One read of the board's records reaches the one store and, from it,
    // every open page that shows them.
    void boardRecordsReachEveryPage()
    {
        const auto menus = mb().state().menu;
        mb().update([](SimMainboard::State &st) {
            st.menu[0] = {{3, 2, 4, 1, 5, 0, 0, 0}};       // background, wipe border, PiP border
            st.menu[1] = {{40, 10, 0xF6, 5, 1, 2, 3, 4}};  // size, x, y (-10), crop size, left, right, top, bottom
            st.menu[2] = {{1, 40, 20, 1, 2, 3, 2, 1}};     // luma mode, clean-up, transparency, mute, input, group, level, tally
            st.menu[3][0] = 4;                             // program output, multiview, language, ..., format
            st.menu[3][1] = 3;
            st.menu[3][2] = 1;
            st.menu[3][7] = 2;
        });
        PipControl pip(panel);
        LumaKey luma(panel);
        SetupMenu menu(panel);
        QTRY_VERIFY(idle());
        QTRY_COMPARE(pip.posX(), 10);
        QCOMPARE(pip.posY(), -10);
        QCOMPARE(pip.posZ(), 40);
        QCOMPARE((QList<int>{pip.cropSize(), pip.cropLeft(), pip.cropRight(), pip.cropTop(), pip.cropBottom()}),
                 (QList<int>{5, 1, 2, 3, 4}));
        QCOMPARE(pip.borderSize(), 1);
        QCOMPARE(pip.borderColor(), 5);
        QCOMPARE(luma.mode(), 1);
        QCOMPARE(luma.cleanup(), 40);
        QCOMPARE(luma.transparency(), 20);
        const std::pair<int, int> shown[] = {
            {SetupMenu::BackgroundColor, 3}, {SetupMenu::WipeBorderSize, 2}, {SetupMenu::WipeBorderColor, 4},
            {SetupMenu::Mute, 1},           {SetupMenu::HdmiInput, 2},      {SetupMenu::HdmiGroup, 3},
            {SetupMenu::HdmiLevel, 2},      {SetupMenu::TallyMode, 1},      {SetupMenu::PgmOutResolution, 4},
            {SetupMenu::MvOutResolution, 3}, {SetupMenu::Language, 1},      {SetupMenu::OutputFormat, 2}};
        for (const auto &[setting, code] : shown)
            QCOMPARE(menu.selected(setting), code);
        QCOMPARE(panel->switcher()->pipCropSize(), 5);
        mb().update([menus](SimMainboard::State &st) { st.menu = menus; });
        panel->lines()->mainboard().post([](commandExecObject &m) { m.readUserMenuSetting3(); });
        QTRY_VERIFY(idle());
    }

    // A board that falls silent is marked on the settings pages until its
    // buses and then its records are read back: the mark never goes while
    // the page still shows what the board held before.
    void settingsMarkedUntilReadBack()
    {
        rig->setLanguage(0);
        QQuickItem *tag = PageRig::findItem(rig->show("popups/LumaPopup.qml"), "unconfirmedTag");
        QVERIFY(tag);
        QTRY_VERIFY(idle() && panel->boardStateTrusted());
        QVERIFY(!tag->isVisible());
        const auto menus = mb().state().menu;
        mb().setFailureMode(SimMainboard::NoAnswer);
        // Through the gate, which then asks the board now and then whether it is back.
        panel->gate()->post("read", [](commandExecObject &m) { return m.readAutoRate() > 0; }, panel,
                            [](const Result<bool> &) {});
        QTRY_VERIFY(!panel->boardStateTrusted());
        QVERIFY(tag->isVisible());
        // Meanwhile the board's luma key turned to white.
        const int white = menus[2][0] ? 0 : 1;
        mb().update([white](SimMainboard::State &st) { st.menu[2][0] = quint8(white); });
        int shownWhenTrusted = -1;
        auto watch = connect(panel, &Panel::boardStateTrustedChanged, this, [&] {
            if (panel->boardStateTrusted())
                shownWhenTrusted = panel->switcher()->lumaMode();
        });
        mb().setFailureMode(SimMainboard::Normal);
        QTRY_VERIFY_WITH_TIMEOUT(panel->boardStateTrusted(), 15000);
        disconnect(watch);
        QVERIFY(panel->switcher()->stateConfirmed());
        QCOMPARE(shownWhenTrusted, white);
        QVERIFY(!tag->isVisible());
        mb().update([menus](SimMainboard::State &st) { st.menu = menus; });
        panel->lines()->mainboard().post([](commandExecObject &m) { m.readUserMenuSetting3(); });
        QTRY_VERIFY(idle());
    }

    void faderSteps_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("ch1Step");
        QTest::addColumn<QString>("level"); // as the fader shows it
        QTest::newRow("loudest") << 0 << 0 << "00" << "0 dB";
        QTest::newRow("quietest") << 0 << 126 << "7f" << "MUTE";
        QTest::newRow("30") << 0 << 30 << "0c" << "\u22126 dB";
        // Raised to 47 by the offset, then 47 - 26 + 2.
        QTest::newRow("offset 2 at 45") << 2 << 45 << "17" << "\u221211.5 dB";
        QTest::newRow("1 dB steps below -48 dB") << 0 << 122 << "62" << "\u221250 dB";
    }
    void faderSteps()
    {
        QFETCH(int, offset);
        QFETCH(int, position);
        QFETCH(QString, ch1Step);
        QFETCH(QString, level);
        settings->setValue("system", "ch1Offset", offset);
        AudioMixer mixer(panel);
        QTRY_VERIFY(idle());
        CommandRunner::clearHistory();
        mixer.setFader(AudioMixer::Ch1, position);
        QTRY_COMPARE(audioCalls().size(), 1);
        QCOMPARE(audioCalls().value(0).left(2), ch1Step);
        QCOMPARE(settings->intValue("system", "ch12Val"), position);
        QTRY_COMPARE(mixer.levelText(AudioMixer::Ch1), level);
    }

    // The meter program's frames move the bars; a peak holds, then falls
    // to the level.
    void meterFollowsFrames()
    {
        AudioMeter *m = panel->meter();
        QTRY_VERIFY_WITH_TIMEOUT(m->left() > 0, 10000);
        const int first = m->left();
        QTRY_VERIFY_WITH_TIMEOUT(m->left() != first, 5000);
        QVERIFY(m->leftPeak() >= m->left());
        AudioMeter held;
        held.onLeft(200);
        held.onLeft(300); // clamped
        held.onLeft(40);
        QCOMPARE(held.left(), 40);
        QCOMPARE(held.leftPeak(), 255);
        QTRY_COMPARE(held.leftPeak(), 40);
    }

    void newerFaderReplacesPendingOne()
    {
        settings->setValue("system", "ch1Offset", 0);
        AudioMixer mixer(panel);
        const int ch1Before = mixer.step(AudioMixer::Ch1);
        QTRY_VERIFY(idle());
        CommandRunner::clearHistory();
        mixer.setFader(AudioMixer::Ch1, 30);
        mixer.setFader(AudioMixer::Ch2, 126);
        QTRY_COMPARE(audioCalls().size(), 1);
        QTest::qWait(100);
        QCOMPARE(audioCalls(), QStringList(QStringLiteral("%1 7f").arg(ch1Before, 2, 16, QLatin1Char('0'))
                                           + audioCalls().value(0).mid(5)));
        QCOMPARE(mixer.step(AudioMixer::Ch1), ch1Before);
    }

    void calibrationEntryMovesOnlyHeadsetAndMaster()
    {
        settings->setValue("system", "ch1Offset", 0);
        AudioMixer mixer(panel);
        mixer.setFader(AudioMixer::Ch1, 30);
        QTRY_COMPARE(mixer.step(AudioMixer::Ch1), 12);
        QTRY_VERIFY(idle());
        CommandRunner::clearHistory();
        mixer.setCalibration(true);
        QTRY_COMPARE(audioCalls().size(), 1);
        const QStringList steps = audioCalls().value(0).split(' ');
        QCOMPARE(steps.value(0), QStringLiteral("0c")); // channel 1 keeps sounding as it did
        QCOMPARE(steps.mid(4), QStringList({"00", "00"}));
        QCOMPARE(mixer.position(AudioMixer::Ch1), 50);
        mixer.setCalibration(false);
    }

    void lumaSliderSendsOnceAtRest()
    {
        LumaKey luma(panel);
        panel->setSystemEnabled(false);
        QVERIFY(framesOf([&] {
                    luma.cleanupMoved(40);
                    QTest::qWait(250);
                }).isEmpty());

        panel->setSystemEnabled(true);
        mb().clearReceived();
        QElapsedTimer sinceLastMove;
        for (int v = 10; v <= 30; v += 10) {
            luma.cleanupMoved(v);
            sinceLastMove.start();
            QTest::qWait(20);
        }
        QTRY_COMPARE(mb().receivedFrames().size(), 1);
        QVERIFY2(sinceLastMove.elapsed() >= 150, qPrintable(QString::number(sinceLastMove.elapsed())));
        QTest::qWait(200);
        const QList<QByteArray> frames = mb().receivedFrames();
        QCOMPARE(frames.size(), 1);
        QCOMPARE(quint8(frames.value(0).at(4)), quint8(30)); // clean-up level, byte 1 of the record
    }

    void upgradeBothVersions()
    {
        writeImage();
        QVERIFY(sys.writeFile("/mnt/tervana/update", "#!/bin/sh\necho run >> \"$0.log\"\n"));
        QFile::setPermissions(sys.path("/mnt/tervana/update"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        sys.clearCalls();
        panel->setMainboardVersion("1.4");

        UpgradeFlow flow(panel);
        flow.offer("v1.2.0", "1.5");
        QVERIFY(panel->upgradeVisible());
        QVERIFY(flow.text().contains("(MB: 1.5)"));
        flow.yes();
        QVERIFY(flow.upgrading());
        // Nothing the prompt offers can restart the unit while the firmware is written.
        flow.no();
        flow.yes();
        QVERIFY(flow.upgrading());
        QTRY_VERIFY_WITH_TIMEOUT(!flow.upgrading(), 60000);
        QCOMPARE(flow.progress(), 100);
        QVERIFY(flow.text().startsWith("MB upgrade success\n"));
        QCOMPARE(mb().bootPackets().size(), 8);
        QCOMPARE(panel->mainboardVersion(), QStringLiteral("1.5"));
        QVERIFY(flow.text().contains("(KBD: v1.2.0)"));
        QVERIFY(sys.calls("reboot").isEmpty());
        QVERIFY(!QFile::exists(sys.path("/mnt/tervana/update.log")));

        flow.yes();
        QTRY_VERIFY(QFile::exists(sys.path("/mnt/tervana/update.log")));
        QCOMPARE(panel->appVersion(), QStringLiteral("v1.2.0"));
        QTRY_COMPARE(sys.calls("reboot").size(), 1);
        QTest::qWait(100);
        QCOMPARE(sys.calls("reboot").size(), 1);
    }

    void failedUpgradeKeepsVersions()
    {
        writeImage();
        mb().setBootLoaderFailure(SimMainboard::WrongProbeEcho);
        sys.clearCalls();
        panel->setMainboardVersion("1.4");
        UpgradeFlow flow(panel);
        flow.offer(panel->appVersion(), "1.5");
        flow.yes();
        QTRY_VERIFY_WITH_TIMEOUT(!flow.upgrading(), 60000);
        QCOMPARE(flow.text(), QStringLiteral("MB upgrade fail"));
        QVERIFY(flow.buttonsEnabled());
        QCOMPARE(panel->mainboardVersion(), QStringLiteral("1.4"));
        mb().setBootLoaderFailure(SimMainboard::BootNormal);
        mb().leaveBootLoader();
        QVERIFY(sys.calls("reboot").isEmpty());
    }

    void decliningBothRestartsOutput()
    {
        sys.clearCalls();
        CommandRunner::clearHistory();
        panel->setMainboardVersion("1.4");
        UpgradeFlow flow(panel);
        flow.offer("v9.9.9", "1.5");
        flow.no();
        QVERIFY(flow.text().contains("(KBD: v9.9.9)"));
        QVERIFY(panel->upgradeVisible());
        flow.no();
        QVERIFY(!panel->upgradeVisible());
        QTRY_VERIFY(CommandRunner::history().filter("preview.x").size() == 1);
        QVERIFY(sys.calls("reboot").isEmpty());
        QCOMPARE(panel->mainboardVersion(), QStringLiteral("1.4"));
    }

    void networkPageRefusesBadEntries_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("gateway");
        QTest::addColumn<QString>("error");
        QTest::newRow("octet above 255") << "192.168.100.300" << "255.255.255.0" << "192.168.100.1" << "The address is not valid.";
        QTest::newRow("three parts") << "192.168.100" << "255.255.255.0" << "192.168.100.1" << "The address is not valid.";
        QTest::newRow("mask with a hole") << "192.168.100.104" << "255.0.255.0" << "192.168.100.1" << "The mask is not valid.";
        QTest::newRow("gateway elsewhere") << "192.168.100.104" << "255.255.255.0" << "192.168.1.1" << "The gateway is not in the same network as the address.";
        QTest::newRow("network address") << "192.168.100.0" << "255.255.255.0" << "192.168.100.1" << "The address is not valid for this mask.";
    }
    void networkPageRefusesBadEntries()
    {
        QFETCH(QString, address);
        QFETCH(QString, mask);
        QFETCH(QString, gateway);
        QFETCH(QString, error);
        const QByteArray conf = "hostname\nclientid\n";
        QVERIFY(sys.writeFile("/etc/dhcpcd.conf", conf));
        NetworkSettings page(panel);
        QSignalSpy applied(&page, &NetworkSettings::applied);
        page.setDhcp(false);
        page.setAddress(address);
        page.setMask(mask);
        page.setGateway(gateway);
        QVERIFY(!page.apply());
        QCOMPARE(page.error(), error);
        QTRY_VERIFY(idle());
        QCOMPARE(sys.readFile("/etc/dhcpcd.conf"), conf);
        QCOMPARE(applied.count(), 0);

        // Mended, the same page writes the block.
        page.setAddress("192.168.100.104");
        page.setMask("255.255.255.0");
        page.setGateway("192.168.100.1");
        QVERIFY(page.error().isEmpty());
        QVERIFY(page.apply());
        QTRY_VERIFY(sys.readFile("/etc/dhcpcd.conf").contains("static ip_address=192.168.100.104/24\n"));
        QTRY_COMPARE(applied.count(), 1);

        // On a full card (no byte may be written) the page says so and stays
        // open; the file keeps the setting in force.
        const QByteArray inForce = sys.readFile("/etc/dhcpcd.conf");
        FullCard full;
        page.setDhcp(true);
        QVERIFY(page.apply());
        QTRY_COMPARE(page.error(), QStringLiteral("The settings could not be saved; the old settings are kept."));
        full.release();
        QCOMPARE(sys.readFile("/etc/dhcpcd.conf"), inForce);
        QCOMPARE(applied.count(), 1);
    }

    void loadsWithoutWarnings_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("lang");
        for (const QString &f : PageRig::pageFiles())
            for (int lang = 0; lang < 3; ++lang)
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(f).arg(lang))) << f << lang;
    }

    void loadsWithoutWarnings()
    {
        QFETCH(QString, file);
        QFETCH(int, lang);
        rig->setLanguage(lang);
        rig->clearWarnings();
        QVERIFY(rig->show(file));
        rig->grab();
        QVERIFY2(rig->warnings().isEmpty(), qPrintable(rig->warnings().join('\n')));
    }

    void pressesReachTheCameras_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("press");
        QTest::addColumn<int>("camera");
        QTest::addColumn<QByteArray>("lastSent");
        QTest::newRow("shutter page asks the position") << "popups/CameraPopup.qml" << "shutterButton" << 0
                                                        << QByteArray::fromHex("00078109044aff");
        QTest::newRow("focus to manual") << "popups/CameraPopup.qml" << "focusSelector/1" << 0
                                         << QByteArray::fromHex("8101043803ff");
        QTest::newRow("tracking switch of a tracking camera") << "popups/TrackingSetupPopup.qml" << "atSwitch1" << 1
                                                              << QByteArray::fromHex("810a115403ff");
    }

    void pressesReachTheCameras()
    {
        QFETCH(QString, file);
        QFETCH(QString, press);
        QFETCH(int, camera);
        QFETCH(QByteArray, lastSent);
        rig->setLanguage(0);
        QVERIFY(rig->show(file));
        rig->grab();
        QTRY_COMPARE(rig->lines().camera().pending(), 0);
        unit->camera(camera).clearReceived();
        QVERIFY2(rig->click(press), qPrintable(press));
        QTRY_COMPARE(unit->camera(camera).lastReceived(), lastSent);
    }

    // The service page opens only when the version line is held, not tapped.
    void servicePageNeedsAHold()
    {
        rig->setLanguage(0);
        QQuickItem *page = rig->show("pages/SetupMenuPage.qml");
        QVERIFY(rig->click("menuPages/4"));
        QQuickItem *line = PageRig::findItem(page, "versionLine");
        QVERIFY(line);
        const QPoint at = line->mapToScene(QPointF(line->width() / 2, line->height() / 2)).toPoint();
        QVERIFY(rig->click("versionLine"));
        QTest::qWait(300);
        QVERIFY(!PageRig::findItem(page, "serviceTabs"));
        QTest::mousePress(rig->window(), Qt::LeftButton, {}, at);
        QTRY_VERIFY_WITH_TIMEOUT(PageRig::findItem(page, "serviceTabs"), 4000);
        QTest::mouseRelease(rig->window(), Qt::LeftButton, {}, at);
        QVERIFY(rig->click("serviceClose"));
        QTRY_VERIFY(!PageRig::findItem(page, "serviceTabs"));
    }

    // On screen, CUT and the buses act on touch-down and ignore a second
    // touch within 250 ms; a user memory needs a hold; a fader moves only by
    // its knob; a preset of the camera on air needs a hold.
    void cutActsOnTouchDownOnce()
    {
        const QByteArray cutFrame = QByteArray::fromHex("0400C601CB");
        rig->setLanguage(0);
        QVERIFY(rig->show("pages/HomePage.qml"));
        QTRY_VERIFY(idle());
        mb().clearReceived();
        QVERIFY(rig->touch("cut", QEvent::MouseButtonPress));
        QTRY_VERIFY(mb().receivedFrames().contains(cutFrame)); // still held
        QVERIFY(rig->touch("cut", QEvent::MouseButtonRelease));
        QVERIFY(rig->click("cut"));
        QTest::qWait(300);
        QTRY_VERIFY(idle());
        QCOMPARE(mb().receivedFrames().count(cutFrame), 1);
        QVERIFY(rig->click("cut"));
        QTRY_COMPARE(mb().receivedFrames().count(cutFrame), 2);
        QTRY_VERIFY(idle());
    }

    void memoryRecallNeedsAHold()
    {
        QVERIFY(rig->show("pages/HomePage.qml"));
        panel->setLoadingVisible(false); // an application upgrade earlier left it shown
        QVERIFY(rig->touch("recallMem1", QEvent::MouseButtonPress));
        QTest::qWait(300);
        QVERIFY(rig->touch("recallMem1", QEvent::MouseButtonRelease));
        QTest::qWait(500);
        QVERIFY(!panel->loadingVisible());
        QVERIFY(panel->userMemorySel() != 1);
        QVERIFY(rig->touch("recallMem1", QEvent::MouseButtonPress));
        QTRY_VERIFY(panel->loadingVisible());
        QCOMPARE(panel->userMemorySel(), 1);
        rig->touch("recallMem1", QEvent::MouseButtonRelease);
        QTRY_VERIFY(idle());
        panel->setLoadingVisible(false); // the rig runs no re-read sequence
        panel->setUserMemorySel(0);
    }

    void faderMovesOnlyByItsKnob()
    {
        QQuickItem *popup = rig->show("popups/AudioPopup.qml");
        QQuickItem *fader = PageRig::findItem(popup, "fader0");
        QVERIFY(fader);
        QQuickItem *knob = PageRig::findItem(fader, "knob");
        QTRY_VERIFY(idle());
        const int before = settings->intValue("system", "ch12Val");
        CommandRunner::clearHistory();
        // The end of the track furthest from the knob.
        const QPointF far(fader->width() / 2, knob->y() > fader->height() / 2 ? 2 : fader->height() - 2);
        QVERIFY(rig->touch("fader0", QEvent::MouseButtonPress, far));
        QVERIFY(rig->touch("fader0", QEvent::MouseButtonRelease, far));
        QTest::qWait(200);
        QCOMPARE(settings->intValue("system", "ch12Val"), before);
        QVERIFY(audioCalls().isEmpty());

        const QPointF grip(knob->width() / 2, knob->height() / 2);
        QVERIFY(rig->touch("knob", QEvent::MouseButtonPress, grip));
        for (int dy = 10; dy <= 40; dy += 10)
            QVERIFY(rig->touch("knob", QEvent::MouseMove, grip + QPointF(0, dy)));
        QVERIFY(rig->touch("knob", QEvent::MouseButtonRelease, grip));
        QTRY_COMPARE(audioCalls().size(), 1);
        QVERIFY(settings->intValue("system", "ch12Val") > before);
    }

    void onAirPresetNeedsAHold()
    {
        const QByteArray recall = QByteArray::fromHex("8101043f0201ff"); // preset 1
        rig->setLanguage(0);
        QVERIFY(rig->show("pages/ImageKeysPage.qml"));
        rig->grab();
        ImageKeys *keys = ImageKeys::of(panel);
        auto sent = [&](auto press) {
            auto settled = [&] { return idle() && !keys->busy(); };
            if (!QTest::qWaitFor(settled, 5000))
                return false;
            unit->camera(0).clearReceived();
            press();
            QTest::qWait(900);
            return QTest::qWaitFor(settled, 5000) && unit->camera(0).received().contains(recall);
        };
        auto hold = [&] {
            rig->touch("imageKeyArea00", QEvent::MouseButtonPress);
            QTest::qWait(800);
            rig->touch("imageKeyArea00", QEvent::MouseButtonRelease);
        };
        auto tap = [&] { rig->click("imageKeyArea00"); };
        panel->setProgramNo(2);
        QVERIFY(sent(tap));
        panel->setProgramNo(1); // CAM 1 on air
        QVERIFY(!sent(tap));
        QVERIFY(sent(hold));
        keys->setOnAirHold(false);
        QVERIFY(sent(tap));
        keys->setOnAirHold(true);
        QVERIFY(settings->boolValue("system", "presetOnAirHold"));
    }

    void languageSwitchRetranslatesTheShownPage()
    {
        rig->setLanguage(0);
        QQuickItem *store = PageRig::findItem(rig->show("pages/ImageKeysPage.qml"), "imageKeysStore");
        QVERIFY(store);
        for (const auto &[lang, text] : {std::pair{1, "儲存"}, std::pair{2, "保存"}, std::pair{0, "STORE"}}) {
            rig->setLanguage(lang);
            QCOMPARE(store->property("text").toString(), QString::fromUtf8(text));
        }
        QCOMPARE(rig->panel().settings()->intValue("system", "langType"), 0);
    }

    void everyTextHasGlyphs()
    {
        const QRawFont font = QRawFont::fromFont(QFont(Language::fontFamily()));
        QCOMPARE(font.familyName(), Language::fontFamily());
        QString texts;
        for (const QString &ts : {QStringLiteral("tavrik_zh_TW.ts"), QStringLiteral("tavrik_zh_CN.ts")}) {
            QFile file(QStringLiteral(TAVRIK_SOURCE_DIR "/i18n/") + ts);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
            QXmlStreamReader xml(&file);
            while (!xml.atEnd())
                if (xml.readNext() == QXmlStreamReader::StartElement
                    && (xml.name() == QLatin1String("source") || xml.name() == QLatin1String("translation")))
                    texts += xml.readElementText();
            QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        }
        // The symbols the pages write as escapes (arrows, the close cross).
        QDirIterator it(QStringLiteral(":/"), {QStringLiteral("*.qml")}, QDir::Files, QDirIterator::Subdirectories);
        const QRegularExpression escape(QStringLiteral(R"(\\u([0-9a-fA-F]{4}))"));
        while (it.hasNext()) {
            QFile qml(it.next());
            QVERIFY(qml.open(QIODevice::ReadOnly));
            auto m = escape.globalMatch(QString::fromUtf8(qml.readAll()));
            while (m.hasNext())
                texts += QChar(m.next().captured(1).toUShort(nullptr, 16));
        }
        QVERIFY(texts.contains(QStringLiteral("攝影機")) && texts.contains(QStringLiteral("摄像机")));
        QString missing;
        for (const uint c : texts.toUcs4())
            if (c > 0x20 && !font.supportsCharacter(c) && !missing.contains(QString::fromUcs4(&c, 1)))
                missing += QString::fromUcs4(&c, 1);
        QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("no glyph for: ") + missing));
    }
};

int main(int argc, char *argv[])
{
    QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    QGuiApplication app(argc, argv);
    TstPages t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_pages.moc"
