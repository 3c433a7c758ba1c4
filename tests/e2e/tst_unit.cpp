#include "camera/vekcameraobject.h"
#include "sim/simcamera.h"
#include "sim/simconverter.h"
#include "sim/simkeys.h"
#include "sim/simmainboard.h"
#include "sim/simunit.h"
#include "surface/keyscan.h"
#include "switcher/commandexecobject.h"
#include "tests/common/testsysroot.h"

#include <QtTest>

#include <QProcess>

namespace {
const QByteArray kCutFrame = QByteArray::fromHex("0400C601CB");
}

class TstUnit : public QObject
{
    Q_OBJECT
private slots:
    void panelProcessMeetsTheUnit();
    void cutKeyToTally();
    void cameraGoneMidSessionKeepsSwitching();
};

// The real panel program, started as tavrik-sim starts it.
void TstUnit::panelProcessMeetsTheUnit()
{
    TestSysroot sys;
    SimUnit unit(sys.root());
    QVERIFY2(unit.isUp(), qPrintable(unit.problems()));

    QProcess panel;
    QProcessEnvironment env = unit.panelEnvironment(QProcessEnvironment::systemEnvironment());
    // The minute of start-up sequence in a few seconds.
    env.insert(QStringLiteral("TAVRIK_TIME_SCALE"), QStringLiteral("20"));
    panel.setProcessEnvironment(env);
    panel.start(QStringLiteral(TAVRIK_BIN), {QStringLiteral("-platform"), QStringLiteral("offscreen")});
    QVERIFY(panel.waitForStarted());
    QByteArray log;
    auto grab = [&] { log += panel.readAllStandardError(); return log; };

    // The mainboard line is opened before the root page loads, and the
    // T-bar thread starts polling the converter once it has.
    QTRY_VERIFY_WITH_TIMEOUT(grab().contains("Serial is open"), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(unit.converter().conversionsRead(SimConverter::TbarInput) > 0, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(unit.converter().conversionsRead(SimConverter::JoystickXInput) > 0, 20000);

    // Moving the T-bar reaches the panel's scaling.
    const int before = grab().count("outputValue");
    unit.converter().setReading(SimConverter::TbarInput, 1000);
    QTRY_VERIFY_WITH_TIMEOUT(grab().count("outputValue") > before, 20000);
    QCOMPARE(panel.state(), QProcess::Running);

    // Start-up done (tally at its end), the CUT key cuts and the tally follows.
    QTRY_VERIFY_WITH_TIMEOUT(unit.camera(1).state().greenTally && unit.camera(0).state().redTally, 30000);
    // A T-bar left mid-way keeps the mainboard busy: back to its end first.
    unit.converter().setReading(SimConverter::TbarInput, 743);
    QTRY_COMPARE_WITH_TIMEOUT(unit.mainboard().tbar(), quint16(0), 10000);
    QTRY_COMPARE(unit.mainboard().program(), 1);
    unit.mainboard().clearReceived();
    QVERIFY(unit.keys().tap(SimKeys::Cut, 150));
    QTRY_COMPARE_WITH_TIMEOUT(unit.mainboard().program(), 2, 10000);
    QCOMPARE(unit.mainboard().receivedFrames().value(0), kCutFrame);
    QTRY_VERIFY(unit.camera(1).state().redTally && unit.camera(0).state().greenTally);

    // The T-bar to the top and back runs two transitions on the mainboard.
    const int transitions = unit.mainboard().counters().transitions;
    unit.converter().setReading(SimConverter::TbarInput, 1663);
    QTRY_COMPARE_WITH_TIMEOUT(unit.mainboard().tbar(), quint16(1023), 10000);
    unit.converter().setReading(SimConverter::TbarInput, 743);
    QTRY_COMPARE_WITH_TIMEOUT(unit.mainboard().tbar(), quint16(0), 10000);
    QTRY_COMPARE(unit.mainboard().counters().transitions, transitions + 2);
    QCOMPARE(panel.state(), QProcess::Running);

    // An orderly stop closes the mainboard line: no serial lock file stays behind.
    panel.terminate();
    if (!panel.waitForFinished(10000)) {
        panel.kill();
        panel.waitForFinished();
        QFAIL("SIGTERM did not stop the panel");
    }
    QCOMPARE(panel.exitStatus(), QProcess::NormalExit);
    QCOMPARE(panel.exitCode(), 0);
    const QString lockName = QStringLiteral("LCK..") + QString(sys.root() + "/dev/ttyAMA2").replace('/', '_');
    for (const char *dir : {"/var/lock", "/run/lock", "/tmp"})
        QVERIFY2(!QFile::exists(QString::fromLatin1(dir) + '/' + lockName), qPrintable(lockName));
}

// The typical event: the CUT key's marker appears, Keyscan reports key 4, the
// model cuts on the mainboard, and the cameras' tally follows.
void TstUnit::cutKeyToTally()
{
    TestSysroot sys;
    SimUnit unit(sys.root());
    QVERIFY2(unit.isUp(), qPrintable(unit.problems()));

    commandExecObject model;
    QVERIFY(model.isConnected());
    vekCameraObject cameras;
    cameras.initSerial(0, QStringLiteral("ttyAMA0"), 38400, 8, 0, 1, 0);
    cameras.initSerial(3, QStringLiteral("ttyAMA1"), 38400, 8, 0, 1, 0);
    cameras.initSerial(2, QStringLiteral("ttyUSB0"), 38400, 8, 0, 1, 0);
    for (int i = 0; i < SimUnit::kCameras; ++i)
        cameras.setVekStatus(i, true);

    int program = unit.mainboard().program();
    int preview = unit.mainboard().preview();
    QCOMPARE(program, 1);
    QCOMPARE(preview, 2);

    Keyscan keys;
    int cuts = 0;
    // What the interface does on the CUT key.
    connect(&keys, &Keyscan::sendKeyNo, this, [&](int key) {
        if (key != SimKeys::Cut || !model.cutTrans())
            return;
        ++cuts;
        std::swap(program, preview);
        for (int cam = 0; cam < SimUnit::kCameras; ++cam)
            if (cam != program - 1 && cam != preview - 1)
                cameras.camTallyOff(cam);
        cameras.greenTallyOn(preview - 1);
        cameras.redTallyOn(program - 1);
    });
    keys.start();
    unit.mainboard().clearReceived();

    QVERIFY(unit.keys().tap(SimKeys::Cut, 150));
    QTRY_COMPARE_WITH_TIMEOUT(cuts, 1, 10000);

    QCOMPARE(unit.mainboard().receivedFrames().value(0), kCutFrame);
    QTRY_COMPARE(unit.mainboard().program(), 2);
    QCOMPARE(unit.mainboard().preview(), 1);
    // Camera 1 (input 2) is on air, camera 0 (input 1) on preview.
    QTRY_VERIFY(unit.camera(1).state().redTally && !unit.camera(1).state().greenTally);
    QVERIFY(unit.camera(0).state().greenTally && !unit.camera(0).state().redTally);
    QVERIFY(!unit.camera(2).state().redTally && !unit.camera(2).state().greenTally);

    // A held key is reported once: no second cut until it is pressed again.
    QTRY_VERIFY(!unit.keys().isHeld(SimKeys::Cut));
    QTest::qWait(100);
    QVERIFY(unit.keys().press(SimKeys::Cut));
    QTRY_COMPARE_WITH_TIMEOUT(cuts, 2, 10000);
    QTest::qWait(300);
    QCOMPARE(cuts, 2);
    unit.keys().releaseAll();
    keys.stop();
    keys.wait(3000);
}

// A camera whose cable is pulled must not stop the switcher.
void TstUnit::cameraGoneMidSessionKeepsSwitching()
{
    TestSysroot sys;
    SimUnit unit(sys.root());
    QVERIFY2(unit.isUp(), qPrintable(unit.problems()));
    commandExecObject model;
    vekCameraObject cameras;
    cameras.initSerial(0, QStringLiteral("ttyAMA0"), 38400, 8, 0, 1, 0);
    cameras.setVekStatus(0, true);

    unit.camera(0).setFailureMode(SimCamera::Silent);
    QElapsedTimer t;
    t.start();
    cameras.redTallyOn(0);
    QVERIFY2(t.elapsed() < 2000, "a silent camera held the interface thread too long");

    unit.mainboard().clearReceived();
    QVERIFY(model.pgm(3));
    QCOMPARE(unit.mainboard().receivedFrames().value(0), QByteArray::fromHex("0400C103C8"));
    QTRY_COMPARE(unit.mainboard().program(), 3);
}

QTEST_GUILESS_MAIN(TstUnit)
#include "tst_unit.moc"
