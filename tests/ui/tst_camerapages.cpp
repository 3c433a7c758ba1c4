// The camera pages' logic against the simulated cameras: the exact VISCA
// messages each camera received, their order, and what the pages show.
#include "tests/common/testsysroot.h"
#include "camera/vekcameraobject.h"
#include "sim/simcamera.h"
#include "sim/simunit.h"
#include "tools/pagerig.h"
#include "ui/camerasettings.h"
#include "ui/devicelines.h"
#include "ui/imagekeys.h"
#include "ui/panel.h"
#include "ui/panelsettings.h"
#include "ui/timeseam.h"
#include "ui/trackingsetup.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QQuickWindow>
#include <QtTest>

#include <memory>

class TstCameraPages : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void storeWritesPictureStoresPresetAndTakesJoystick();
    void failedCaptureStoresNothingAndEndsStoreMode();
    void recall_data();
    void recall();
    void cameraReportedShutterIsNotSentBack();
    void heldMinusStepsEvery100msPlusOnce();
    void shutterSliderAtZeroSendsFive();
    void trackingSwitch_data();
    void trackingSwitch();
    void placementPressesWithin100msSendOnlyTheLast();
    void trackingPollAndCameraMoves();
    void unpluggedCameraComesBack();

private:
    QList<QByteArray> received(int cam) { return unit_->camera(cam).received(); }
    static QByteArray hex(const char *h) { return QByteArray::fromHex(h); }
    // Waits until the camera lane has run everything posted so far.
    void drainLane()
    {
        QTRY_COMPARE(rig_->lines().camera().pending(), 0);
        QTRY_COMPARE(rig_->lines().system().pending(), 0);
        QCoreApplication::processEvents();
    }

    std::unique_ptr<TestSysroot> sys_;
    std::unique_ptr<SimUnit> unit_;
    std::unique_ptr<PageRig> rig_;
};

void TstCameraPages::initTestCase()
{
    sys_ = std::make_unique<TestSysroot>();
    unit_ = std::make_unique<SimUnit>(sys_->root());
    QVERIFY2(unit_->isUp(), qPrintable(unit_->problems()));
    rig_ = std::make_unique<PageRig>(unit_.get());
    drainLane();
}

void TstCameraPages::cleanupTestCase()
{
    rig_.reset();
    unit_.reset();
}

void TstCameraPages::init()
{
    drainLane();
    Panel &p = rig_->panel();
    for (int c = 0; c < 3; ++c) {
        p.setCamOnline(c, true);
        p.setTrackingState(c, -1);
        unit_->camera(c).setFailureMode(SimCamera::Normal);
        unit_->camera(c).clearReceived();
    }
    p.setCamSel(0);
    p.setTrackingCamSel(0);
}

void TstCameraPages::storeWritesPictureStoresPresetAndTakesJoystick()
{
    rig_->panel().setTrackingCamSel(1);
    ImageKeys keys(&rig_->panel());
    keys.setStoreMode(true);
    keys.pressKey(0, 0); // not the joystick camera: ignored in store mode
    keys.pressKey(1, 1);
    QTRY_VERIFY(!keys.busy());
    drainLane();
    QCOMPARE(received(1), (QList<QByteArray>{hex("81017e010b7d18ff"), hex("8101043f0102ff")}));
    QVERIFY(received(0).isEmpty());
    QVERIFY(QFile::exists(sys_->path("/home/pi/output_12.jpg")));
    QCOMPARE(rig_->panel().settings()->stringValue("system", "imageKey6File"),
             QStringLiteral("file:///home/pi/output_12.jpg"));
    QCOMPARE(rig_->panel().trackingCamSel(), 1);
    QCOMPARE(keys.cam1ImageKeySel(), 1);
    QVERIFY(!keys.storeMode());
    QTRY_VERIFY(keys.pictures().at(5).toString().endsWith("/home/pi/output_12.jpg"));
}

void TstCameraPages::failedCaptureStoresNothingAndEndsStoreMode()
{
    // A capture that leaves no JPEG behind.
    QVERIFY(sys_->writeFile("/home/pi/cap.sh", "#!/bin/sh\necho broken > \"$TAVRIK_SYSROOT/home/pi/output.jpg\"\n"
                                               "touch \"$TAVRIK_SYSROOT/home/pi/x\"\n"));
    QFile::setPermissions(sys_->path("/home/pi/cap.sh"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ImageKeys keys(&rig_->panel());
    keys.setStoreMode(true);
    keys.pressKey(0, 3);
    QTRY_VERIFY_WITH_TIMEOUT(!keys.busy(), 8000);
    drainLane();
    QCOMPARE(received(0), QList<QByteArray>{hex("81017e010b7d18ff")});
    QVERIFY(!keys.storeMode());
    QCOMPARE(keys.cam0ImageKeySel(), -1);
}

void TstCameraPages::recall_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("outcome");
    QTest::newRow("acknowledged") << int(SimCamera::Normal) << "ttyUSB0" << int(Outcome::Done);
    QTest::newRow("silent") << int(SimCamera::Silent) << "ttyUSB0" << int(Outcome::NotAnswering);
    QTest::newRow("error reply") << int(SimCamera::PowerOff) << "ttyUSB0" << int(Outcome::Refused);
    QTest::newRow("line closed") << int(SimCamera::Normal) << "ttyMissing" << int(Outcome::LineClosed);
}

void TstCameraPages::recall()
{
    QFETCH(int, mode);
    QFETCH(QString, line);
    QFETCH(int, outcome);
    unit_->camera(2).setFailureMode(SimCamera::FailureMode(mode));
    int memoryPos = -1;
    const auto open = [](const QString &l) { return [l](vekCameraObject &o) { o.initSerial(2, l, 38400, 8, 0, 1, 0); }; };
    rig_->lines().camera().post(open(line));
    rig_->lines().camera().post([](vekCameraObject &o) { o.setptzMemoryPos(0); });
    ImageKeys keys(&rig_->panel());
    keys.pressKey(2, 2);
    QTRY_VERIFY(!keys.busy());
    QCOMPARE(keys.keyOutcomes().value(2 * 4 + 2).toInt(), outcome);
    rig_->lines().camera().post(open(QStringLiteral("ttyUSB0")));
    drainLane();
    rig_->lines().camera().post([](vekCameraObject &o) { return o.ptzMemoryPos(); }, this,
                                [&](int pos) { memoryPos = pos; });
    QTRY_VERIFY(memoryPos >= 0);
    QCOMPARE(received(2).value(0), outcome == Outcome::LineClosed ? QByteArray() : hex("8101043f0203ff"));
    QCOMPARE(memoryPos, outcome == Outcome::Done ? 3 : 0);
    QCOMPARE(rig_->panel().trackingCamSel(), outcome == Outcome::Done ? 2 : 0);
    QCOMPARE(keys.cam2ImageKeySel(), outcome == Outcome::Done ? 2 : -1);
}

void TstCameraPages::cameraReportedShutterIsNotSentBack()
{
    CameraSettings cs(&rig_->panel());
    unit_->camera(0).update([](auto &s) { s.shutter = 0x07; });
    cs.openShutterPage();
    QTRY_COMPARE(cs.shutter(), 7);
    QCOMPARE(cs.shutterReadOutcome(), int(Outcome::Done));
    QTest::qWait(150); // a step timer would have fired by now
    drainLane();
    QCOMPARE(received(0), QList<QByteArray>{hex("00078109044aff")});
}

void TstCameraPages::heldMinusStepsEvery100msPlusOnce()
{
    CameraSettings cs(&rig_->panel());
    cs.gainMoved(100);
    QTRY_VERIFY(!cs.stepTimerActive());
    drainLane();
    unit_->camera(0).clearReceived();
    QElapsedTimer held;
    held.start();
    cs.minusPressed();
    QTRY_COMPARE(cs.rGain(), 97);
    const qint64 ms = held.elapsed();
    cs.minusReleased();
    QVERIFY2(ms >= 280 && ms < 1500, qPrintable(QString::number(ms)));
    cs.plusPressed();
    QTest::qWait(350);
    QCOMPARE(cs.rGain(), 98);
    drainLane();
    QCOMPARE(received(0), (QList<QByteArray>{hex("8101044300000603ff"), hex("8101044300000602ff"),
                                             hex("8101044300000601ff"), hex("8101044300000602ff")}));
}

void TstCameraPages::shutterSliderAtZeroSendsFive()
{
    CameraSettings cs(&rig_->panel());
    cs.setPage(2);
    cs.shutterMoved(0);
    QTRY_VERIFY(!cs.stepTimerActive());
    drainLane();
    QCOMPARE(received(0), QList<QByteArray>{hex("8101044a00000005ff")});
    QCOMPARE(cs.shutterLabel(), QStringLiteral("-"));
}

// The auto-tracking page's poll asks one camera at a time and moves on after
// an answer of -1, 2 or 3; an answering camera is online. A camera move
// stops every poll until the restart pause has passed.
void TstCameraPages::trackingPollAndCameraMoves()
{
    TimeSeam::setSpeedup(20);
    Panel &p = rig_->panel();
    CameraPolls *polls = p.polls();
    unit_->camera(0).update([](SimCamera::State &s) { s.aiCamOn = true; });
    unit_->camera(1).update([](SimCamera::State &s) { s.trackingCapable = false; });
    unit_->camera(2).setFailureMode(SimCamera::Silent);
    p.setCamOnline(0, false);
    const QByteArray inquiry = hex("81097e1154ff");
    polls->startTrackingPoll();
    QTRY_VERIFY(received(2).contains(inquiry)); // past camera 1's -1
    QCOMPARE(p.trackingState(0), 2);
    QVERIFY(p.camOnline(0));
    QCOMPARE(p.trackingState(1), -1);
    QCOMPARE(received(0).count(inquiry), 1);
    QCOMPARE(received(1).count(inquiry), 1);

    p.onJoystick(1, 0, 900);
    QTRY_VERIFY(p.pollRestartPending());
    QVERIFY(!p.presencePollActive());
    drainLane();
    for (int c = 0; c < 3; ++c)
        unit_->camera(c).clearReceived();
    QTest::qWait(300); // four tracking ticks at this speed
    QVERIFY(!received(0).contains(inquiry) && !received(1).contains(inquiry));
    QTRY_VERIFY_WITH_TIMEOUT(p.presencePollActive(), 2000); // back after 10 s / 20
    polls->stopTrackingPoll();
    unit_->camera(1).update([](SimCamera::State &s) { s.trackingCapable = true; });
    unit_->camera(0).update([](SimCamera::State &s) { s.aiCamOn = false; });
    TimeSeam::setSpeedup(1);
}

// An unplugged camera goes offline, and the name shown with it when it is
// the selected one; plugged in again, the presence poll opens its line anew.
void TstCameraPages::unpluggedCameraComesBack()
{
    TimeSeam::setSpeedup(20);
    Panel &p = rig_->panel();
    p.setCamSel(2);
    p.setCameraName(QStringLiteral("VX-10"));
    unit_->camera(2).close();
    p.polls()->startPresencePoll(-1, 0);
    QTRY_VERIFY(!p.camOnline(2));
    QCOMPARE(p.cameraName(), QString());
    QVERIFY(p.camOnline(0) && p.camOnline(1));
    QVERIFY(unit_->camera(2).open());
    QTRY_VERIFY_WITH_TIMEOUT(p.camOnline(2), 5000);
    TimeSeam::setSpeedup(1);
}

void TstCameraPages::trackingSwitch_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QList<QByteArray>>("sent");
    QTest::addColumn<int>("after");
    QTest::newRow("on to off to on") << 2 << QList<QByteArray>{hex("810a115403ff"), hex("810a115402ff")} << 2;
    QTest::newRow("off to on to off") << 3 << QList<QByteArray>{hex("810a115402ff"), hex("810a115403ff")} << 3;
    QTest::newRow("no tracking") << 0 << QList<QByteArray>{} << 0;
    QTest::newRow("no answer") << -1 << QList<QByteArray>{} << -1;
}

void TstCameraPages::trackingSwitch()
{
    QFETCH(int, state);
    QFETCH(QList<QByteArray>, sent);
    QFETCH(int, after);
    rig_->panel().setTrackingState(1, state);
    TrackingSetup at(&rig_->panel());
    at.toggleTracking(1);
    QCOMPARE(rig_->panel().trackingCamSel(), 1);
    if (state > 0)
        QCOMPARE(rig_->panel().trackingState(1), 5 - state);
    at.toggleTracking(1);
    drainLane();
    QCOMPARE(received(1), sent);
    QCOMPARE(rig_->panel().trackingState(1), after);
}

void TstCameraPages::placementPressesWithin100msSendOnlyTheLast()
{
    TrackingSetup at(&rig_->panel());
    at.selectPlacement(0);
    at.selectPlacement(2);
    QTest::qWait(250);
    drainLane();
    QCOMPARE(received(0), QList<QByteArray>{hex("810a0f010702ff")});
    QCOMPARE(at.placement(), 2);
}

int main(int argc, char *argv[])
{
    QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    QGuiApplication app(argc, argv);
    TstCameraPages t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_camerapages.moc"
