#include "camera/vekcameraobject.h"
#include "maint/rpitool.h"
#include "netsvc/kivoserv.h"
#include "netsvc/net.h"
#include "sim/simcamera.h"
#include "sim/simconverter.h"
#include "sim/simkeys.h"
#include "sim/simmainboard.h"
#include "sim/simpiscripts.h"
#include "sim/simpistate.h"
#include "sim/simtools.h"
#include "sim/simunit.h"
#include "surface/tbar.h"
#include "switcher/commandexecobject.h"
#include "tests/common/logcapture.h"
#include "tests/common/testsysroot.h"
#include "ui/configbackup.h"
#include "ui/devicelines.h"
#include "ui/panel.h"
#include "ui/panelsettings.h"
#include "ui/servicestatus.h"
#include "ui/switcherstate.h"
#include "ui/switching.h"
#include "ui/tallyoutsetup.h"
#include "ui/timeseam.h"

#include <QtTest>

#include <archive.h>
#include <archive_entry.h>

#include <functional>
#include <memory>

namespace {
const QByteArray kCutFrame = QByteArray::fromHex("0400C601CB");
const QByteArray kGreen = QByteArray::fromHex("81017E010A000302FF");
const QByteArray kRed = QByteArray::fromHex("81017E010A000203FF");
const QByteArray kOff = QByteArray::fromHex("81017E010A000303FF");

// The frames the given model calls put on the line, taken from a model of
// their own against the same simulated board.
QList<QByteArray> framesOf(SimUnit &unit, const std::function<void(commandExecObject &)> &calls)
{
    commandExecObject m;
    unit.mainboard().clearReceived();
    calls(m);
    QTest::qWait(50); // the board records a frame after it has answered it
    const QList<QByteArray> frames = unit.mainboard().receivedFrames();
    unit.mainboard().clearReceived();
    unit.mainboard().reset();
    return frames;
}
// The panel as the program builds it, over a simulated unit.
struct Rig
{
    // `before` runs against the unit before the panel's model opens the line.
    explicit Rig(const QByteArray &settingsFile = {}, bool mainboardUp = true,
                 const std::function<void(SimUnit &)> &before = {})
        : unit(sys.root())
    {
        if (before)
            before(unit);
        if (!settingsFile.isEmpty())
            sys.writeFile(QStringLiteral("/home/pi/.config/Tervana/tavrik.conf"), settingsFile);
        if (!mainboardUp)
            unit.mainboard().close();
        board = std::make_unique<commandExecObject>();
        cams = std::make_unique<vekCameraObject>();
        netObj = std::make_unique<net>();
        rpi = std::make_unique<RpiTool>();
        settings = std::make_unique<PanelSettings>();
        settings->load();
        lines = std::make_unique<DeviceLines>(board.get(), cams.get(), netObj.get(), rpi.get());
        panel = std::make_unique<Panel>(lines.get(), settings.get());
        panel->setTbar(&tbar);
    }
    // Start-up to its last step (tick 60 included).
    bool startUp()
    {
        tbar.start();
        QSignalSpy done(panel.get(), &Panel::startUpFinished);
        panel->startUp();
        return done.wait(20000) && QTest::qWaitFor([&] { return !panel->splashVisible() && panel->keyscan(); }, 20000)
               && QTest::qWaitFor([&] { return unit.camera(0).state().greenTally || unit.camera(0).state().redTally; },
                                  20000);
    }
    void clearRecords()
    {
        unit.mainboard().clearReceived();
        for (int i = 0; i < 3; ++i)
            unit.camera(i).clearReceived();
    }
    // Messages camera `i` received that are not presence inquiries.
    QList<QByteArray> camMessages(int i)
    {
        QList<QByteArray> out;
        for (const QByteArray &m : unit.camera(i).received())
            if (m != QByteArray::fromHex("81090400FF"))
                out << m;
        return out;
    }

    // Torn down from the bottom: the T-bar thread first, the unit last.
    TestSysroot sys;
    SimUnit unit;
    std::unique_ptr<commandExecObject> board;
    std::unique_ptr<vekCameraObject> cams;
    std::unique_ptr<net> netObj;
    std::unique_ptr<RpiTool> rpi;
    std::unique_ptr<PanelSettings> settings;
    std::unique_ptr<DeviceLines> lines;
    std::unique_ptr<Panel> panel;
    Tbar tbar;
};

} // namespace

class TstControlFlow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TimeSeam::setSpeedup(40); }
    void startUpSequence()
    {
        QList<QByteArray> reads, program;
        Rig rig({}, true, [&](SimUnit &unit) {
            reads = framesOf(unit, [](commandExecObject &m) {
                m.readPgmOutRes();
                m.readPgmOutputFormat();
                m.getStartPage();
                m.refreshStatus2();
                m.readUserMenuSetting3();
                m.readAutoRate();
                m.getWipeBkgColor();
                m.readVersion();
                m.readPreset();
                m.readProgram();
                m.keyPgmState();
                m.keyPvmState();
                m.pipPvmState();
                m.pipPgmState();
            });
            program = framesOf(unit, [](commandExecObject &m) { m.pgm(1); });
        });
        QVERIFY(!reads.isEmpty());
        rig.unit.camera(2).setFailureMode(SimCamera::Silent);
        // The T-bar mid-way before tick 50: only the mission lets the program through.
        rig.lines->mainboard().post([](commandExecObject &m) { m.writeTbar(500); });
        QVERIFY(rig.startUp());

        const QList<QByteArray> frames = rig.unit.mainboard().receivedFrames();
        QCOMPARE(frames.mid(1, reads.size()), reads);
        QVERIFY(frames.mid(1 + reads.size()).contains(program.value(0)));
        QCOMPARE(rig.panel->programNo(), 1);
        QCOMPARE(rig.panel->previewNo(), 2);
        QVERIFY(rig.panel->systemEnabled() && rig.panel->serialInitDone() && rig.panel->mainboardConnected());
        // Tally at the end: camera 1 (input 2) green, camera 0 red; the silent
        // camera is offline and gets nothing but presence inquiries.
        QTRY_VERIFY(rig.unit.camera(1).state().greenTally);
        QVERIFY(rig.unit.camera(0).state().redTally);
        QVERIFY(rig.camMessages(2).isEmpty() || rig.camMessages(2).count(kRed) + rig.camMessages(2).count(kGreen) == 0);
        QTRY_VERIFY(rig.unit.camera(2).receivedCount() > 0);
        QVERIFY(!rig.panel->camOnline(2));
        // The discovery server is up (its answers: tst_kivoserv).
        QTRY_VERIFY(rig.panel->kivoServ() && rig.panel->kivoServ()->isListening());
    }

    void firstStartSavesMemoriesOnce_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("saves");
        QTest::newRow("first start") << QByteArray() << 6;
        QTest::newRow("later start") << QByteArray("[system]\nfirstEntry=false\n") << 0;
    }

    void firstStartSavesMemoriesOnce()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, saves);
        QByteArray save1;
        Rig rig(file, true, [&](SimUnit &unit) {
            save1 = framesOf(unit, [](commandExecObject &m) { m.saveuserMem(1); }).value(0);
        });
        QVERIFY(!save1.isEmpty());
        QVERIFY(rig.startUp());
        QTest::qWait(200);
        int count = 0;
        for (const QByteArray &f : rig.unit.mainboard().receivedFrames())
            count += f.left(3) == save1.left(3) ? 1 : 0;
        QCOMPARE(count, saves);
        rig.settings->flush();
        QSettings stored(rig.settings->filePath(), QSettings::IniFormat);
        QCOMPARE(stored.value(QStringLiteral("system/firstEntry")).toBool(), false);
    }

    void closedMainboardStillFinishes()
    {
        Rig rig({}, false);
        rig.tbar.start();
        QSignalSpy done(rig.panel.get(), &Panel::startUpFinished);
        rig.panel->startUp();
        QVERIFY(done.wait(20000));
        QVERIFY(rig.panel->systemEnabled());
        QVERIFY(!rig.panel->mainboardConnected());
        // The pin check and the program output start all the same; nothing
        // was read from the board.
        auto started = [&](const char *script) {
            for (const QString &call : SimPiScripts::calls(rig.sys.root()))
                if (call.startsWith(QLatin1String("/home/pi/") + QLatin1String(script)))
                    return true;
            return false;
        };
        QTRY_VERIFY(started("preview.x") && started("checkpin.sh"));
        QCOMPARE(rig.panel->mainboardVersion(), QStringLiteral("v1.0.0"));
        QVERIFY(!rig.panel->kivoServ());
        // Memories were not saved, so the next start is still a first start.
        QVERIFY(rig.settings->boolValue(QStringLiteral("system"), QStringLiteral("firstEntry")));

        // A factory default without the board puts the language back, nothing more.
        rig.panel->setLangType(2);
        rig.panel->factoryDefault();
        QCOMPARE(rig.panel->langType(), 0);
        bool answered = false; // after the default's own question to the lane
        rig.lines->mainboard().post([](commandExecObject &) {}, rig.panel.get(), [&] { answered = true; });
        QTRY_VERIFY(answered);
        QVERIFY(!rig.panel->loadingVisible());
        QVERIFY(!rig.sys.readFile(QStringLiteral("/etc/dhcpcd.conf")).contains("192.168.100.101"));
    }

    // A restart on air whose program read fails must not cut the output to black.
    void unreadProgramIsNotWrittenBack()
    {
        QByteArray black;
        Rig rig({}, true, [&](SimUnit &unit) {
            black = framesOf(unit, [](commandExecObject &m) { m.pgm(0); }).value(0);
            unit.mainboard().setFailureMode(SimMainboard::WrongCommandCode);
        });
        QVERIFY(!black.isEmpty());
        LogCapture log;
        rig.tbar.start();
        rig.panel->startUp();
        QTRY_VERIFY_WITH_TIMEOUT(log.contains(QStringLiteral("program not read at start-up")), 20000);
        QVERIFY(!rig.unit.mainboard().receivedFrames().contains(black));
    }

    void transitionKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("refused");
        QTest::newRow("cut") << int(SimKeys::Cut) << false;
        QTest::newRow("auto") << int(SimKeys::Auto) << false;
        QTest::newRow("cut refused") << int(SimKeys::Cut) << true;
        QTest::newRow("auto refused") << int(SimKeys::Auto) << true;
    }

    void transitionKeys()
    {
        QFETCH(int, key);
        QFETCH(bool, refused);
        LogCapture log;
        Rig rig;
        QVERIFY(rig.startUp());
        QTRY_VERIFY(rig.panel->camOnline(0) && rig.panel->camOnline(1) && rig.panel->camOnline(2));
        rig.unit.mainboard().update([](SimMainboard::State &s) { s.setFlag(3, true); }); // PiP on program
        rig.panel->setPipPgmFlag(true);
        rig.clearRecords();
        log.clear();
        if (refused)
            rig.unit.mainboard().setFailureMode(SimMainboard::ReportBusy);

        QVERIFY(rig.unit.keys().tap(key, 100));
        QTRY_VERIFY(!rig.unit.mainboard().receivedFrames().isEmpty());
        if (key == SimKeys::Cut)
            QCOMPARE(rig.unit.mainboard().receivedFrames().value(0), kCutFrame);
        if (refused) {
            QTest::qWait(300);
            QCOMPARE(rig.panel->programNo(), 1);
            QCOMPARE(rig.panel->previewNo(), 2);
            QVERIFY(rig.panel->pipPgmFlag());
            for (int i = 0; i < 3; ++i)
                QVERIFY(rig.camMessages(i).isEmpty());
            return;
        }
        QTRY_COMPARE(rig.panel->programNo(), 2);
        QCOMPARE(rig.panel->previewNo(), 1);
        QVERIFY(!rig.panel->pipPgmFlag() && rig.panel->pipPvwFlag());
        QTRY_COMPARE(rig.camMessages(0), QList<QByteArray>{kGreen});
        QTRY_COMPARE(rig.camMessages(1), QList<QByteArray>{kRed});
        QCOMPARE(rig.camMessages(2), QList<QByteArray>{kOff});
        // Preview first.
        QVERIFY(log.indexOf(QStringLiteral("greenTallyOn")) < log.indexOf(QStringLiteral("red Tally On")));
    }

    void tbarThroughConverter_data()
    {
        QTest::addColumn<int>("restRaw");
        QTest::addColumn<int>("swapsAtTop");
        QTest::newRow("rests at 0: the rest is the first end") << 743 << 1;
        QTest::newRow("rests mid-way: the top is the first end") << 1200 << 0;
    }

    void tbarThroughConverter()
    {
        QFETCH(int, restRaw);
        QFETCH(int, swapsAtTop);
        Rig rig;
        rig.unit.converter().setReading(SimConverter::TbarInput, restRaw);
        QVERIFY(rig.startUp());
        QTRY_VERIFY(rig.panel->presencePollActive());
        rig.clearRecords();
        const int program = rig.panel->programNo();

        // A value the mainboard cannot take never reaches it.
        rig.panel->onTbarValue(1024, 0);
        rig.panel->onTbarValue(-1, 0);
        QVERIFY(!rig.panel->tbarTimerActive());

        rig.unit.converter().setReading(SimConverter::TbarInput, 1663);
        QTRY_COMPARE(rig.unit.mainboard().tbar(), quint16(1023));
        QVERIFY(!rig.panel->presencePollActive());
        QTRY_VERIFY(!rig.panel->tbarTimerActive());
        QCOMPARE(rig.panel->programNo() != program, swapsAtTop == 1);
        QVERIFY(!rig.panel->skipFirstSwitch());
        QVERIFY(rig.panel->pollRestartPending());

        rig.unit.converter().setReading(SimConverter::TbarInput, 743);
        QTRY_COMPARE(rig.unit.mainboard().tbar(), quint16(0));
        QTRY_VERIFY(!rig.panel->tbarTimerActive());
        QTRY_COMPARE(rig.panel->programNo(), rig.unit.mainboard().program()); // read back after the swap
        QCOMPARE(rig.unit.mainboard().counters().transitions, 2);
        // The polls come back after the restart pause.
        QTRY_VERIFY_WITH_TIMEOUT(rig.panel->presencePollActive(), 5000);
    }

    void joystickAndZoom()
    {
        Rig rig;
        rig.lines->camera().post([](vekCameraObject &v) {
            v.initSerial(3, QStringLiteral("ttyAMA1"), 38400, 8, 0, 1, 0);
            v.setVekStatus(1, true);
        });
        rig.panel->setTrackingCamSel(1);
        const QByteArray stop = QByteArray::fromHex("8101060100000303FF");
        // Pan and tilt signs to the camera's directions (speeds 0x12 and 0x12).
        const std::pair<QPoint, const char *> moves[] = {
            {{1, 0}, "0103"},  {{-1, 0}, "0203"}, {{0, 1}, "0301"},  {{0, -1}, "0302"}, {{-1, 1}, "0201"},
            {{-1, -1}, "0202"}, {{1, -1}, "0102"}, {{1, 1}, "0101"}, {{0, 0}, nullptr}};
        for (const auto &[pt, dirs] : moves) {
            rig.unit.camera(1).clearReceived();
            rig.panel->onJoystick(pt.x(), pt.y(), dirs ? 900 : -1);
            const QByteArray sent = dirs ? QByteArray::fromHex(QByteArray("810106011212") + dirs + "FF") : stop;
            QTRY_COMPARE(rig.camMessages(1), QList<QByteArray>{sent});
        }

        // Locked: every joystick event is a stop, the T-bar is ignored; key 6 unlocks.
        rig.panel->handleKey(SimKeys::Lock);
        rig.unit.camera(1).clearReceived();
        rig.panel->onJoystick(1, 0, 900);
        QTRY_COMPARE(rig.camMessages(1), QList<QByteArray>{stop});
        rig.panel->onTbarValue(0, 743);
        rig.panel->onTbarValue(500, 1200);
        QVERIFY(!rig.panel->tbarTimerActive());
        rig.panel->handleKey(SimKeys::Unlock);
        QVERIFY(!rig.panel->lockJoystickAndTBar());

        // Zoom: only a change of direction acts.
        rig.unit.camera(1).clearReceived();
        rig.panel->onZoom(1, 1400);
        rig.panel->onZoom(1, 1420);
        rig.panel->onZoom(-1, 1000);
        rig.panel->onZoom(0, -1);
        QTRY_COMPARE(rig.camMessages(1).size(), 3);
        QCOMPARE(rig.camMessages(1),
                 (QList<QByteArray>{QByteArray::fromHex("8101040737FF"), QByteArray::fromHex("8101040727FF"),
                                    QByteArray::fromHex("8101040700FF")}));
    }

    void speedsTallyAndButtons()
    {
        Rig rig;
        // Speeds: 0 and 19 change nothing, 6 and 7 fall in different classes,
        // a camera outside 0..2 is refused.
        struct Step { int camera, speed, speedValue, joystick; };
        const Step steps[] = {{0, 0, 24, 1}, {0, 19, 24, 1}, {3, 6, 24, 1}, {1, 6, 8, 8}, {2, 7, 16, 16}, {2, 12, 16, 16}};
        for (const Step &s : steps) {
            rig.panel->setCameraSpeed(s.camera, s.speed);
            QCOMPARE(rig.panel->speedValue(), s.speedValue);
            QCOMPARE(rig.tbar.joystickSpeed(), s.joystick);
        }
        QCOMPARE(rig.settings->intValue(QStringLiteral("system"), QStringLiteral("cam2Speed")), 6);
        QCOMPARE(rig.settings->intValue(QStringLiteral("system"), QStringLiteral("cam3Speed")), 12);
        QCOMPARE(rig.settings->intValue(QStringLiteral("system"), QStringLiteral("speedNum")), 1);
        QCOMPARE(rig.settings->intValue(QStringLiteral("system"), QStringLiteral("cam1Speed")), 9);
        rig.panel->handleKey(SimKeys::Fast);
        QCOMPARE(rig.panel->speedValue(), 24);

        // Tally never reaches an offline camera.
        rig.lines->camera().post([](vekCameraObject &v) {
            v.initSerial(0, QStringLiteral("ttyAMA0"), 38400, 8, 0, 1, 0);
            v.initSerial(3, QStringLiteral("ttyAMA1"), 38400, 8, 0, 1, 0);
            // The camera model would let both through: the panel must not ask.
            v.setVekStatus(0, true);
            v.setVekStatus(1, true);
        });
        rig.panel->setProgramNo(1);
        rig.panel->setPreviewNo(2);
        rig.panel->setCamOnline(0, true);
        rig.panel->pressProgram(2);
        QTRY_COMPARE(rig.panel->programNo(), 2);
        QCOMPARE(rig.unit.mainboard().receivedFrames().value(0), QByteArray::fromHex("0400C102C7"));
        QTRY_COMPARE(rig.camMessages(0), QList<QByteArray>{kOff});
        QVERIFY(rig.unit.camera(1).received().isEmpty());

        // The sixth button: background, then colour bar, then background.
        rig.unit.mainboard().clearReceived();
        for (int i = 0; i < 3; ++i) {
            rig.panel->pressPreview(5);
            QTRY_COMPARE(rig.panel->previewNo(), 5 + i % 2);
        }
        QList<QByteArray> pvw;
        for (const QByteArray &f : rig.unit.mainboard().receivedFrames())
            if (f.startsWith(QByteArray::fromHex("0400C2"))) // not the reads that confirm each press
                pvw << f.left(4);
        QCOMPARE(pvw, (QList<QByteArray>{QByteArray::fromHex("0400C205"), QByteArray::fromHex("0400C206"),
                                         QByteArray::fromHex("0400C205")}));
        // Pressing the selected source again sends nothing.
        rig.unit.mainboard().clearReceived();
        rig.panel->pressProgram(2);
        QTest::qWait(100);
        for (const QByteArray &f : rig.unit.mainboard().receivedFrames())
            QVERIFY(!f.startsWith(QByteArray::fromHex("0400C1")));
    }

    void recallRereads()
    {
        QList<QByteArray> recall;
        Rig rig({}, true, [&](SimUnit &unit) { recall = framesOf(unit, [](commandExecObject &m) { m.userMem(1); }); });
        rig.unit.mainboard().update([](SimMainboard::State &s) {
            s.memories[1].status = s.status;
            s.memories[1].status[0] = 0x43;
            s.memories[1].autoRate = 45; // program 3, preview 4 above
        });
        rig.settings->setValue(QStringLiteral("user"), QStringLiteral("audioCh1_1"), 33);
        rig.panel->recallUserMemory(1);
        QVERIFY(rig.panel->loadingVisible());
        QTRY_VERIFY(!rig.panel->loadingVisible());
        QCOMPARE(rig.unit.mainboard().receivedFrames().value(0), recall.value(0));
        QCOMPARE(rig.panel->programNo(), 3);
        QCOMPARE(rig.panel->previewNo(), 4);
        QCOMPARE(rig.panel->transSpeed(), 45);
        QCOMPARE(rig.panel->userMemorySel(), 1);
        QCOMPARE(rig.settings->intValue(QStringLiteral("system"), QStringLiteral("ch1Val")), 33);

        // Garbled answers to the re-read: the buses stay as last confirmed
        // (never black), marked unconfirmed, until the board is read back.
        QSignalSpy answers(rig.panel->switching(), &Switching::answered);
        rig.unit.mainboard().setFailureMode(SimMainboard::CorruptChecksum);
        rig.panel->recallUserMemory(2);
        QTRY_VERIFY(!rig.panel->loadingVisible());
        QCOMPARE(answers.value(0).value(0).toInt(), int(Switching::UserMemory));
        QCOMPARE(answers.value(0).value(1).toInt(), int(Outcome::Refused));
        QVERIFY(!rig.panel->switcher()->stateConfirmed());
        QCOMPARE(rig.panel->programNo(), 3);
        QCOMPARE(rig.panel->previewNo(), 4);
        rig.unit.mainboard().setFailureMode(SimMainboard::Normal);
        QTRY_VERIFY(rig.panel->switcher()->stateConfirmed());
        QCOMPARE(rig.panel->programNo(), rig.unit.mainboard().program());
    }

    // A camera that lost power and comes back gets the tally of its source
    // from the presence round that finds it, not from the next switch.
    void cameraBackGetsItsTally_data()
    {
        QTest::addColumn<int>("camera");
        QTest::addColumn<bool>("onAirTally"); // the setting, with PiP of input 2 on program
        QTest::addColumn<bool>("red");
        QTest::newRow("program camera: red") << 0 << false << true;
        QTest::newRow("preview camera: green") << 1 << false << false;
        QTest::newRow("on-air tally, preview camera as PiP on program: red") << 1 << true << true;
    }
    void cameraBackGetsItsTally()
    {
        QFETCH(int, camera);
        QFETCH(bool, onAirTally);
        QFETCH(bool, red);
        Rig rig;
        rig.panel->switching()->setTallyOnAirSources(onAirTally);
        rig.panel->switcher()->setPipSource(2);
        rig.panel->setPipPgmFlag(onAirTally);
        rig.lines->camera().post([](vekCameraObject &v) {
            v.initSerial(0, QStringLiteral("ttyAMA0"), 38400, 8, 0, 1, 0);
            v.initSerial(3, QStringLiteral("ttyAMA1"), 38400, 8, 0, 1, 0);
        });
        rig.panel->setProgramNo(1);
        rig.panel->setPreviewNo(2);
        rig.panel->polls()->startPresencePoll(-1, 0);
        QTRY_VERIFY(rig.panel->camOnline(camera));
        SimCamera &cam = rig.unit.camera(camera);
        cam.setFailureMode(SimCamera::Silent);
        cam.update([](SimCamera::State &s) { s.redTally = s.greenTally = false; }); // power lost
        QTRY_VERIFY(!rig.panel->camOnline(camera));
        cam.clearReceived();
        cam.setFailureMode(SimCamera::Normal);
        QTRY_VERIFY(rig.panel->camOnline(camera));
        QTRY_COMPARE(rig.camMessages(camera), QList<QByteArray>{red ? kRed : kGreen});
        QCOMPARE(cam.state().redTally, red);
        QCOMPARE(cam.state().greenTally, !red);
    }

    // The camera lamps' rule from the tally out page acts on the lamps at
    // once, not at the next switch, and is stored.
    void onAirTallySwitchActsAtOnce()
    {
        Rig rig;
        rig.lines->camera().post([](vekCameraObject &v) {
            v.initSerial(0, QStringLiteral("ttyAMA0"), 38400, 8, 0, 1, 0);
            v.initSerial(3, QStringLiteral("ttyAMA1"), 38400, 8, 0, 1, 0);
            v.setVekStatus(0, true);
            v.setVekStatus(1, true);
        });
        rig.panel->setCamOnline(0, true);
        rig.panel->setCamOnline(1, true);
        rig.panel->setProgramNo(1);
        rig.panel->setPreviewNo(4);
        rig.panel->switcher()->setPipSource(2); // camera 2 as PiP on program
        rig.panel->setPipPgmFlag(true);
        TallyOutSetup page(rig.panel.get());
        page.setCameraOnAirSources(true);
        QVERIFY(rig.panel->switching()->tallyOnAirSources());
        QVERIFY(page.cameraOnAirSources());
        QTRY_VERIFY(rig.unit.camera(1).state().redTally);
        QVERIFY(rig.settings->flush());
        PanelSettings stored;
        stored.load();
        QVERIFY(stored.boolValue(QStringLiteral("system"), QStringLiteral("tallyOnAirSources")));
        page.setCameraOnAirSources(false);
        QVERIFY(!rig.panel->switching()->tallyOnAirSources());
        QTRY_VERIFY(!rig.unit.camera(1).state().redTally);
        QVERIFY(rig.unit.camera(0).state().redTally);
    }

    // Screenshot mode turns the CUT key into a picture; a factory default loads
    // memory 0, puts the network back to its static address and re-reads.
    void screenshotModeAndFactoryDefault()
    {
        QByteArray factory;
        Rig rig({}, true, [&](SimUnit &unit) {
            factory = framesOf(unit, [](commandExecObject &m) { m.userMem(0); }).value(0);
        });
        QVERIFY(!factory.isEmpty());
        QVERIFY(rig.startUp());
        rig.clearRecords();
        rig.panel->setScreenshotMode(true);
        rig.panel->handleKey(4);
        QTRY_VERIFY(QFileInfo(rig.sys.path(QStringLiteral("/mnt/tervana/img"))).isDir());
        bool drained = false;
        rig.lines->mainboard().post([](commandExecObject &) {}, rig.panel.get(), [&] { drained = true; });
        QTRY_VERIFY(drained);
        QVERIFY(!rig.unit.mainboard().receivedFrames().contains(kCutFrame));

        rig.panel->setLangType(1);
        rig.panel->factoryDefault();
        QCOMPARE(rig.panel->langType(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(rig.unit.mainboard().receivedFrames().contains(factory), 10000);
        QTRY_VERIFY(rig.sys.readFile(QStringLiteral("/etc/dhcpcd.conf")).contains("192.168.100.101"));
        QTRY_VERIFY_WITH_TIMEOUT(!rig.panel->loadingVisible(), 20000);
    }

    // The service page: the key test switches nothing; a silent camera
    // raises its time-outs and goes offline, and comes back.
    void servicePage()
    {
        Rig rig;
        QVERIFY(rig.startUp());
        ServiceStatus page(rig.panel.get());
        page.setActive(true);
        page.setKeyTest(true);
        rig.clearRecords();
        QVERIFY(rig.unit.keys().tap(SimKeys::Cut, 100));
        QTRY_COMPARE(page.lastKey(), int(SimKeys::Cut));
        bool drained = false;
        rig.lines->mainboard().post([](commandExecObject &) {}, rig.panel.get(), [&] { drained = true; });
        QTRY_VERIFY(drained);
        QVERIFY(!rig.unit.mainboard().receivedFrames().contains(kCutFrame));
        QTRY_VERIFY(page.mainboard().value(QStringLiteral("answering")).toBool());
        QVERIFY(page.mainboard().value(QStringLiteral("sent")).toULongLong() > 0);
        page.setActive(false);
        QVERIFY(!rig.panel->surface()->keyTest());

        // The lamp test lights each key LED pattern in turn, then none.
        qint64 mark = 0;
        rig.unit.tools().callsSince(&mark);
        page.startLampTest();
        QTRY_VERIFY_WITH_TIMEOUT(page.lampUnderTest() < 0, 10000);
        QStringList written;
        QTRY_VERIFY((written += rig.unit.tools().callsSince(&mark), written.filter("0x77").size() >= 14));
        QCOMPARE(written.filter("0x77").filter(QRegularExpression(" 0x(14|41)$")),
                 (QStringList{"i2cset -y 3 0x77 0x2 0x14", "i2cset -y 3 0x77 0x2 0x41", "i2cset -y 3 0x77 0x3 0x14",
                              "i2cset -y 3 0x77 0x3 0x41"}));
        QVERIFY(written.filter("0x77").last().endsWith("0x3 0x11"));

        const auto cam = [&page](const char *field) { return page.cameras().value(1).toMap().value(QLatin1String(field)); };
        page.setActive(true);
        QTRY_VERIFY(cam("p50").toInt() >= 0);
        const quint64 timeOuts = cam("timedOut").toULongLong();
        rig.unit.camera(1).setFailureMode(SimCamera::Silent);
        QTRY_VERIFY_WITH_TIMEOUT(!cam("online").toBool() && cam("timedOut").toULongLong() > timeOuts, 20000);
        rig.unit.camera(1).setFailureMode(SimCamera::Normal);
        QTRY_VERIFY_WITH_TIMEOUT(cam("online").toBool(), 20000);
    }

    // Backup, factory state, restore gives the settings back; a damaged or
    // foreign file changes nothing.
    void configurationBackupAndRestore()
    {
        Rig rig;
        PanelSettings &s = *rig.settings;
        s.setValue(QStringLiteral("system"), QStringLiteral("langType"), 2);
        s.setValue(QStringLiteral("system"), QStringLiteral("cam2Speed"), 17);
        s.setValue(QStringLiteral("user"), QStringLiteral("audioCh1_3"), 77);
        s.setValue(QStringLiteral("system"), QStringLiteral("tallyOnAirSources"), true);
        const auto all = [&s] {
            QVariantMap m;
            for (const QString &k : PanelSettings::knownKeys())
                m[k] = s.value(k.section('/', 0, 0), k.section('/', 1));
            return m;
        };
        const QVariantMap before = all();
        ConfigBackup backup(rig.panel.get());
        backup.backup();
        QTRY_VERIFY(!backup.busy());
        QVERIFY(QFileInfo::exists(rig.sys.path(ConfigBackup::mediumPath())));

        for (const QString &k : PanelSettings::knownKeys())
            s.setValue(k.section('/', 0, 0), k.section('/', 1), PanelSettings::defaultValue(k.section('/', 0, 0), k.section('/', 1)));
        const QVariantMap factory = all();
        const QByteArray good = rig.sys.readFile(ConfigBackup::mediumPath());
        for (const QByteArray &bad : {good.left(good.size() / 2), QByteArray("{\"format\":\"other\",\"version\":1}"),
                                      QByteArray(good).replace("\"system/cam2Speed\": 17", "\"system/cam2Speed\": 99")}) {
            QVERIFY(rig.sys.writeFile(ConfigBackup::mediumPath(), bad));
            backup.prepareRestore();
            QTRY_VERIFY(!backup.busy());
            QVERIFY2(!backup.restorePending(), qPrintable(backup.message()));
            backup.applyRestore(true);
            QCOMPARE(all(), factory);
        }
        QVERIFY(rig.sys.writeFile(ConfigBackup::mediumPath(), good));
        backup.prepareRestore();
        QTRY_VERIFY(backup.restorePending());
        QVERIFY(backup.changes().contains(QStringLiteral("system/cam2Speed: 9 → 17")));
        backup.applyRestore(false);
        QCOMPARE(all(), before);
        QVERIFY(rig.panel->switching()->tallyOnAirSources()); // restored in effect, not at the next start
        QVERIFY(s.flush());
    }

    // The support bundle holds the settings, network, journal, versions and
    // counters, and no secret.
    void supportBundle()
    {
        Rig rig;
        rig.sys.writeFile(QStringLiteral("/etc/dhcpcd.conf"), "interface eth0\nstatic ip_address=127.0.0.5/24\nwpa_psk=hunter2\n");
        rig.settings->setValue(QStringLiteral("system"), QStringLiteral("langType"), 1);
        QVERIFY(rig.settings->flush());
        QVERIFY(rig.sys.writeFile(QStringLiteral("/home/pi/.config/Tervana/tavrik.conf"),
                                  rig.sys.readFile(QStringLiteral("/home/pi/.config/Tervana/tavrik.conf")) + "apiToken=s3cr3t\n"));
        ServiceStatus page(rig.panel.get());
        page.writeSupportBundle();
        QTRY_VERIFY_WITH_TIMEOUT(!page.bundleBusy(), 15000);
        const QStringList found = QDir(rig.sys.path(QStringLiteral("/mnt/tervana"))).entryList({QStringLiteral("tavrik-support-*.tar.gz")});
        QCOMPARE(found.size(), 1);
        QMap<QString, QByteArray> files;
        std::unique_ptr<archive, int (*)(archive *)> a(archive_read_new(), archive_read_free);
        archive_read_support_filter_gzip(a.get());
        archive_read_support_format_tar(a.get());
        const QByteArray path = rig.sys.path(QStringLiteral("/mnt/tervana/") + found.first()).toLocal8Bit();
        QCOMPARE(archive_read_open_filename(a.get(), path.constData(), 10240), ARCHIVE_OK);
        archive_entry *e = nullptr;
        while (archive_read_next_header(a.get(), &e) == ARCHIVE_OK) {
            QByteArray data(int(archive_entry_size(e)), 0);
            archive_read_data(a.get(), data.data(), size_t(data.size()));
            files[QString::fromUtf8(archive_entry_pathname(e)).section('/', 1)] = data;
        }
        QCOMPARE(files.keys(), (QStringList{"dhcpcd.conf", "journal.txt", "service.json", "settings.conf", "versions.txt"}));
        QVERIFY(files["settings.conf"].contains("langType=1"));
        QVERIFY(files["dhcpcd.conf"].contains("static ip_address=127.0.0.5/24"));
        QVERIFY(files["journal.txt"].contains("mainboard connected"));
        for (const QByteArray &f : files)
            QVERIFY(!f.contains("s3cr3t") && !f.contains("hunter2"));
    }
};


int main(int argc, char **argv)
{
    SimConverter::ensurePreloaded(argc, argv);
    QCoreApplication app(argc, argv);
    TstControlFlow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_controlflow.moc"
