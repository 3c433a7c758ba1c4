// Auto-tracking operations and inquiries against simulated cameras: exact
// bytes, decoded answers, the presence probe and the index-less operations.
#include "tests/camera/helper_vekcamera.h"

#include <QtTest>

#include <functional>

using Op = std::function<void(vekCameraObject &, int)>;
Q_DECLARE_METATYPE(Op)

class TestVekTracking : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void operationBytes_data();
    void operationBytes();
    void trackingReachesCamera();
    void trackInquire_data();
    void trackInquire();
    void trackInquireSilentClearsFlag();
    void settingInquiries();
    void settingInquiriesRefuseErrors_data();
    void settingInquiriesRefuseErrors();
    void profileNumber_data();
    void profileNumber();
    void olderOperationsGoToLastCamera_data();
    void olderOperationsGoToLastCamera();
    void olderOperationResendsUntilAck();

private:
    std::unique_ptr<VekRig> rig_;
    std::unique_ptr<VekLogCapture> log_;
};

void TestVekTracking::initTestCase()
{
    log_ = std::make_unique<VekLogCapture>();
    rig_ = std::make_unique<VekRig>();
    for (int i = 0; i < 3; ++i)
        QVERIFY(rig_->cam(i).isOpen());
}

void TestVekTracking::init()
{
    rig_->reset();
    for (int i = 0; i < 3; ++i) {
        rig_->obj().setVekStatus(i, true);
        rig_->cam(i).update([](SimCamera::State &s) { s = SimCamera::State(); });
    }
    log_->clear();
}

void TestVekTracking::cleanupTestCase()
{
    rig_.reset();
    log_.reset();
}

void TestVekTracking::operationBytes_data()
{
    QTest::addColumn<Op>("op");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QString>("label");
    auto row = [](const char *name, Op op, const char *hex, const char *label) {
        QTest::newRow(name) << op << QByteArray::fromHex(hex) << QString::fromLatin1(label);
    };
    using V = vekCameraObject;
    row("setAiCam on", [](V &o, int c) { o.setAiCam(2, c); }, "810A115402FF", "set AT Cam: cmd: ");
    row("setAiCam off", [](V &o, int c) { o.setAiCam(3, c); }, "810A115403FF", "set AT Cam: cmd: ");
    row("atAutoZoomOn", [](V &o, int c) { o.atAutoZoomOn(c); }, "810A0F010201FF", "at Auto Zoom On cmd: ");
    row("atAutoZoomOff", [](V &o, int c) { o.atAutoZoomOff(c); }, "810A0F010200FF", "at Auto Zoom Off cmd: ");
    row("atAutoTiltOn", [](V &o, int c) { o.atAutoTiltOn(c); }, "810A0F010301FF", "at Auto Tilt On cmd: ");
    row("atAutoTiltOff", [](V &o, int c) { o.atAutoTiltOff(c); }, "810A0F010300FF", "at Auto Tilt Off cmd : ");
    row("atDetIdctOn", [](V &o, int c) { o.atDetIdctOn(c); }, "810A115602FF", "at DetIdct On cmd : ");
    row("atDetIdctOff", [](V &o, int c) { o.atDetIdctOff(c); }, "810A115603FF", "at DetIdct Off cmd :");
    row("atDetIdctDefault", [](V &o, int c) { o.atDetIdctDefault(c); }, "810A115604FF", "at DetIdct Default cmd :");
    row("atOsdRmdOn", [](V &o, int c) { o.atOsdRmdOn(c); }, "810A041601FF", "at Osd Rmd On cmd :");
    row("atOsdRmdOff", [](V &o, int c) { o.atOsdRmdOff(c); }, "810A041600FF", "at Osd Rmd Off cmd : ");
    row("atFullBody", [](V &o, int c) { o.atFullBody(c); }, "810A0F010000FF", "at Full Body: cmd: ");
    row("atHalfBody", [](V &o, int c) { o.atHalfBody(c); }, "810A0F010001FF", "at Half Body: cmd: ");
    row("atCloseUp", [](V &o, int c) { o.atCloseUp(c); }, "810A0F010002FF", "at Close Up: cmd: ");
    row("atCustomBody", [](V &o, int c) { o.atCustomBody(c); }, "810A0F010003FF", "at Custom Body: cmd: ");
    row("atFigSizeSave", [](V &o, int c) { o.atFigSizeSave(0x1234, c); }, "810A0F010801020304FF",
        "at Fig Size Save cmd: ");
    row("atFigSizeSave high bits ignored", [](V &o, int c) { o.atFigSizeSave(0x7FABC, c); },
        "810A0F01080F0A0B0CFF", "at Fig Size Save cmd: ");
    row("atFigSizeDefault", [](V &o, int c) { o.atFigSizeDefault(c); }, "810A0F010800000500FF",
        "at Fig Size Default cmd: ");
    row("atSelSbjLeft", [](V &o, int c) { o.atSelSbjLeft(c); }, "810A11A302FF", "at Sel Sbj Left cmd: ");
    row("atSelSbjRight", [](V &o, int c) { o.atSelSbjRight(c); }, "810A11A303FF", "at Sel Sbj Right cmd: ");
    row("atSelSbjConfirm", [](V &o, int c) { o.atSelSbjConfirm(c); }, "810A11A304FF", "at Sel Sbj Confirm: cmd: ");
    row("atPlaceLeft", [](V &o, int c) { o.atPlaceLeft(c); }, "810A0F010700FF", "at Place Left: cmd: ");
    row("atPlaceCenter", [](V &o, int c) { o.atPlaceCenter(c); }, "810A0F010701FF", "at Place Center cmd: ");
    row("atPlaceRight", [](V &o, int c) { o.atPlaceRight(c); }, "810A0F010702FF", "at Place Right cmd: ");
    row("atTrackSpeedFast", [](V &o, int c) { o.atTrackSpeedFast(c); }, "810A0F010500FF",
        "at Track Speed Fast: cmd: ");
    row("atTrackSpeedMedium", [](V &o, int c) { o.atTrackSpeedMedium(c); }, "810A0F010501FF",
        "at Track Speed Medium: cmd: ");
    row("atTrackSpeedSlow", [](V &o, int c) { o.atTrackSpeedSlow(c); }, "810A0F010502FF",
        "at Track Speed Slow: cmd: ");
    // The two sent as whole frames.
    row("atTrackStartPosPreset framed", [](V &o, int c) { o.atTrackStartPosPreset(0x105, c); },
        "000B810A043F02000205FF", "at Track Start Pos : 261 , cmd :");
    row("atTrackRecallProfile framed", [](V &o, int c) { o.atTrackRecallProfile(0x2A, c); },
        "0009810A0F0F020AFF", "Recall Profile cmd:");
    row("atTrackOn", [](V &o, int c) { o.atTrackOn(c); }, "810A01041C82FF", "at Track On: cmd: ");
    row("atTrackOff", [](V &o, int c) { o.atTrackOff(c); }, "810A01041C83FF", "at Track Off: cmd: ");
    // Inquiries (bare, the profile number framed).
    row("atTrackInquire", [](V &o, int c) { o.atTrackInquire(c); }, "81097E1154FF", "AI INQ: ");
    row("atFigureInq", [](V &o, int c) { o.atFigureInq(c); }, "81097E0A0F0100FF", " at Figure Inq retBuf[4] :");
    row("atFigureCustSizeInq", [](V &o, int c) { o.atFigureCustSizeInq(c); }, "81097E0A0F0110FF",
        "at Figure Cust Size Inq data :");
    row("atPlacementInq", [](V &o, int c) { o.atPlacementInq(c); }, "81097E0A0F0107FF", "retBuf[2] :");
    row("atSpeedInq", [](V &o, int c) { o.atSpeedInq(c); }, "81097E0A0F0105FF", "retBuf[2] :");
    row("atDetindInq", [](V &o, int c) { o.atDetindInq(c); }, "81097E0A1156FF", "retBuf[2] :");
    row("atTrackingStartPosInq", [](V &o, int c) { o.atTrackingStartPosInq(c); }, "81097E0A043F02FF",
        "retBuf[2] :");
    row("atOSDInq", [](V &o, int c) { o.atOSDInq(c); }, "81097E0A0416FF", "retBuf :");
    row("atAutoZoomInq", [](V &o, int c) { o.atAutoZoomInq(c); }, "81097E0A0F0102FF", "retBuf :");
    row("atAutoTiltInq", [](V &o, int c) { o.atAutoTiltInq(c); }, "81097E0A0F0103FF", "retBuf :");
    row("InquireATProfileNum framed", [](V &o, int c) { o.InquireATProfileNum(c); }, "000981097E0A0F0FFF",
        "Inquire AT profile num return:");
}

void TestVekTracking::operationBytes()
{
    QFETCH(Op, op);
    QFETCH(QByteArray, expected);
    QFETCH(QString, label);
    for (int c = 0; c < 3; ++c) {
        rig_->reset();
        log_->clear();
        op(rig_->obj(), c);
        QCOMPARE(rig_->cam(c).received(), QList<QByteArray>{expected});
        for (int other = 0; other < 3; ++other) {
            if (other != c)
                QCOMPARE(rig_->cam(other).receivedCount(), 0);
        }
        QVERIFY2(log_->contains(label), qPrintable(label));
    }
}

void TestVekTracking::trackingReachesCamera()
{
    vekCameraObject &o = rig_->obj();
    o.atTrackOn(1);
    o.setAiCam(2, 1);
    o.atAutoZoomOn(1);
    o.atAutoTiltOn(1);
    o.atOsdRmdOn(1);
    o.atHalfBody(1);
    o.atPlaceRight(1);
    o.atTrackSpeedSlow(1);
    o.atFigSizeSave(0x0321, 1);
    o.atDetIdctOff(1);
    o.atTrackStartPosPreset(6, 1);
    const SimCamera::State s = rig_->cam(1).state();
    QVERIFY(s.trackFunction);
    QVERIFY(s.aiCamOn);
    QVERIFY(s.autoZoom);
    QVERIFY(s.autoTilt);
    QVERIFY(s.osdReminder);
    QCOMPARE(s.figure, 1);
    QCOMPARE(s.placement, 2);
    QCOMPARE(s.trackSpeed, 2);
    QCOMPARE(s.figureSize, 0x0321);
    QCOMPARE(s.detIndicator, 3);
    QCOMPARE(s.trackStartPreset, 6);
}

void TestVekTracking::trackInquire_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QString>("logLine");
    QTest::newRow("on") << hexBytes("905002FF") << 2 << "VEK 0 AI INQ:  2";
    QTest::newRow("off") << hexBytes("905003FF") << 3 << "VEK 0 AI INQ:  3";
    QTest::newRow("ack before answer") << hexBytes("9041FF905003FF") << 3 << "AI INQ:  3";
    QTest::newRow("not supported") << hexBytes("906002FF") << -1 << "[ERR] VEK  0 not support AT, get  90 60 02 ff";
    QTest::newRow("unknown") << hexBytes("9041FF9051FF") << -1 << "[ERR] Unknow VEK  0 get  90 41 ff 90 51 ff";
    QTest::newRow("three bytes") << hexBytes("9051FF") << -1 << "AI INQ:  -1";
}

void TestVekTracking::trackInquire()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, expected);
    QFETCH(QString, logLine);
    rig_->obj().initSerial(0, QStringLiteral("ttyAMA0"), 38400, 8, 0, 1, 0);
    rig_->cam(0).injectReply(reply);
    QCOMPARE(rig_->obj().atTrackInquire(0), expected);
    QVERIFY2(log_->contains(logLine), qPrintable(log_->lines().join('\n')));
    // Any answer shows the line works.
    QVERIFY(rig_->obj().serialState(0));
}

void TestVekTracking::trackInquireSilentClearsFlag()
{
    QVERIFY(rig_->obj().serialState(2));
    rig_->cam(2).setFailureMode(SimCamera::Silent);
    QCOMPARE(rig_->obj().atTrackInquire(2), -1);
    QVERIFY(!rig_->obj().serialState(2));
    QVERIFY(log_->contains(QStringLiteral("[ERR] VEK  2 AT INQ response is empty")));
    rig_->cam(2).setFailureMode(SimCamera::Normal);
    QCOMPARE(rig_->obj().atTrackInquire(2), 3); // the sim's tracking is off
    QVERIFY(rig_->obj().serialState(2));
    rig_->obj().setAiCam(2, 2);
    QCOMPARE(rig_->obj().atTrackInquire(2), 2);
}

void TestVekTracking::settingInquiries()
{
    vekCameraObject &o = rig_->obj();
    rig_->cam(0).update([](SimCamera::State &s) {
        s.figure = 3;
        s.figureSize = 0x0ABC;
        s.placement = 2;
        s.trackSpeed = 1;
        s.detIndicator = 3;
        s.trackStartPreset = 5;
        s.osdReminder = true;
        s.autoZoom = true;
        s.autoTilt = false;
        s.profile = 7;
    });
    QCOMPARE(o.atFigureInq(0), 3);
    QCOMPARE(o.atFigureCustSizeInq(0), 0x0ABC);
    QCOMPARE(o.atPlacementInq(0), 2);
    QCOMPARE(o.atSpeedInq(0), 1);
    QCOMPARE(o.atDetindInq(0), 3);
    QCOMPARE(o.atTrackingStartPosInq(0), 5);
    QVERIFY(o.atOSDInq(0));
    QVERIFY(o.atAutoZoomInq(0));
    QVERIFY(!o.atAutoTiltInq(0));
    QCOMPARE(o.InquireATProfileNum(0), 7);

    // What the operations set is what the inquiries read back.
    o.atAutoTiltOn(0);
    QVERIFY(o.atAutoTiltInq(0));
    o.atOsdRmdOff(0);
    QVERIFY(!o.atOSDInq(0));
    o.atCloseUp(0);
    QCOMPARE(o.atFigureInq(0), 2);
    o.atPlaceLeft(0);
    QCOMPARE(o.atPlacementInq(0), 0);
    o.atTrackRecallProfile(0x0A, 0);
    QCOMPARE(o.InquireATProfileNum(0), 10);
}

void TestVekTracking::settingInquiriesRefuseErrors_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("silent");
    QTest::newRow("syntax error") << hexBytes("906002FF") << false;
    QTest::newRow("error carrying 01") << hexBytes("906101FF") << false;
    QTest::newRow("error carrying 02") << hexBytes("906102FF") << false;
    QTest::newRow("ack only") << hexBytes("9041FF") << false;
    QTest::newRow("no answer") << QByteArray() << true;
}

// An error reply's third byte looks like a setting; it must not be read as one.
void TestVekTracking::settingInquiriesRefuseErrors()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, silent);
    vekCameraObject &o = rig_->obj();
    SimCamera &cam = rig_->cam(1);
    if (silent)
        cam.setFailureMode(SimCamera::Silent);
    auto feed = [&] {
        if (!silent)
            cam.injectReply(reply);
    };
    feed();
    QCOMPARE(o.atFigureInq(1), 0);
    feed();
    QCOMPARE(o.atFigureCustSizeInq(1), 0);
    feed();
    QCOMPARE(o.atPlacementInq(1), 0);
    feed();
    QCOMPARE(o.atSpeedInq(1), 0);
    feed();
    QCOMPARE(o.atDetindInq(1), 0);
    feed();
    QCOMPARE(o.atTrackingStartPosInq(1), 0);
    feed();
    QVERIFY(!o.atOSDInq(1));
    feed();
    QVERIFY(!o.atAutoZoomInq(1));
    feed();
    QVERIFY(!o.atAutoTiltInq(1));
    QVERIFY(log_->count(QStringLiteral("[ERR]")) >= 9);
}

void TestVekTracking::profileNumber_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("expected");
    QTest::newRow("5") << hexBytes("000790500005FF") << 5;
    QTest::newRow("11 out of range") << hexBytes("00079050000BFF") << -1;
    QTest::newRow("framed error") << hexBytes("0006906002FF") << -1;
    QTest::newRow("five bytes") << hexBytes("00079050FF") << -1;
}

void TestVekTracking::profileNumber()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, expected);
    rig_->cam(2).injectReply(reply);
    QCOMPARE(rig_->obj().InquireATProfileNum(2), expected);
    QVERIFY(log_->contains(QStringLiteral("Inquire AT profile num cmd: 00 09 81 09 7e 0a 0f 0f ff")));
    if (expected < 0)
        QVERIFY(log_->contains(QStringLiteral("[ERR] Inquire AT profile num")));
    else
        QVERIFY(log_->contains(QStringLiteral("Current profile num = %1").arg(expected)));
}

void TestVekTracking::olderOperationsGoToLastCamera_data()
{
    QTest::addColumn<Op>("op");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QString>("label");
    auto row = [](const char *name, Op op, const char *hex, const char *label) {
        QTest::newRow(name) << op << QByteArray::fromHex(hex) << QString::fromLatin1(label);
    };
    using V = vekCameraObject;
    row("setAiTrackMode", [](V &o, int) { o.setAiTrackMode(0x82); }, "0009810A01041C02FF", "set AiTrackMode --- mode: 130");
    row("setAiTrackSpeed", [](V &o, int) { o.setAiTrackSpeed(2); }, "0009810A0F010502FF", "set AiTrackSpeed --- cmd:");
    row("setAiSelectPeoplePos", [](V &o, int) { o.setAiSelectPeoplePos(1); }, "0009810A0F010701FF",
        "set AiSelectPeoplePos --- cmd:");
    row("setAiPeopleFrameOnOff", [](V &o, int) { o.setAiPeopleFrameOnOff(3); }, "0008810A115603FF",
        "set AiPeopleFrameOnOff --- cmd:");
    row("setAiTrackTiltOnOff", [](V &o, int) { o.setAiTrackTiltOnOff(1); }, "0009810A0F010301FF",
        "set AiTrackTiltOnOff --- cmd:");
    row("setAiTrackZoomOnOff", [](V &o, int) { o.setAiTrackZoomOnOff(0); }, "0009810A0F010200FF",
        "set AiTrackZoomOnOff --- cmd:");
    row("setAiTrackTarget", [](V &o, int) { o.setAiTrackTarget(3); }, "0008810A11A303FF", "set AiTrackTarget --- dir: 3");
    row("setAiTrackFeatures", [](V &o, int) { o.setAiTrackFeatures(2); }, "0009810A0F010002FF",
        "set AiTrackFeatures --- feature: 2");
    row("setAiTrackTargetSave", [](V &o, int) { o.setAiTrackTargetSave(0x1234); }, "000C810A0F010801020304FF",
        "set AiTrackTargetSave --- cmd:");
    row("setAiTrackTargetDefault", [](V &o, int) { o.setAiTrackTargetDefault(); }, "000C810A0F010800000500FF",
        "set AiTrackTargetDefault --- cmd:");
}

void TestVekTracking::olderOperationsGoToLastCamera()
{
    QFETCH(Op, op);
    QFETCH(QByteArray, expected);
    QFETCH(QString, label);
    for (int target : {2, 0, 1}) {
        rig_->obj().atPlaceCenter(target); // the user operates this camera
        rig_->reset();
        op(rig_->obj(), target);
        QCOMPARE(rig_->cam(target).received(), QList<QByteArray>{expected});
        for (int other = 0; other < 3; ++other) {
            if (other != target)
                QCOMPARE(rig_->cam(other).receivedCount(), 0);
        }
    }
    QVERIFY2(log_->contains(label), qPrintable(label));
}

void TestVekTracking::olderOperationResendsUntilAck()
{
    rig_->obj().atPlaceCenter(1);
    rig_->reset();
    rig_->cam(1).injectReply(hexBytes("0006906002FF"));
    rig_->obj().setAiTrackSpeed(1);
    QCOMPARE(rig_->cam(1).receivedCount(), 2);
    QCOMPARE(rig_->cam(1).state().trackSpeed, 1);
}

QTEST_GUILESS_MAIN(TestVekTracking)
#include "tst_vekcamera_tracking.moc"
