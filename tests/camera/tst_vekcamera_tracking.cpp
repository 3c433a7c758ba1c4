// Auto-tracking operations and inquiries against simulated cameras: exact
// bytes, decoded answers, the presence probe and the index-less operations.
#include "tests/camera/helper_vekcamera.h"

#include <QtTest>

class TestVekTracking : public QObject
{
    Q_OBJECT
    std::unique_ptr<VekRig> rig_;

private slots:
    void initTestCase() { rig_ = std::make_unique<VekRig>(); }
    void init() { rig_->reset(); }
    void cleanupTestCase() { rig_.reset(); }

    void operationBytes_data()
    {
        QTest::addColumn<VekOp>("op");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<QString>("label");
        auto row = [](const char *name, VekOp op, const char *hex, const char *label) {
            QTest::newRow(name) << op << QByteArray::fromHex(hex) << QString::fromLatin1(label);
        };
        row("setAiCam on", VEK_OP(setAiCam(2, c)), "810A115402FF", "set AT Cam: cmd: ");
        row("setAiCam off", VEK_OP(setAiCam(3, c)), "810A115403FF", "set AT Cam: cmd: ");
        row("atAutoZoomOn", VEK_OP(atAutoZoomOn(c)), "810A0F010201FF", "at Auto Zoom On cmd: ");
        row("atAutoZoomOff", VEK_OP(atAutoZoomOff(c)), "810A0F010200FF", "at Auto Zoom Off cmd: ");
        row("atAutoTiltOn", VEK_OP(atAutoTiltOn(c)), "810A0F010301FF", "at Auto Tilt On cmd: ");
        row("atAutoTiltOff", VEK_OP(atAutoTiltOff(c)), "810A0F010300FF", "at Auto Tilt Off cmd : ");
        row("atDetIdctOn", VEK_OP(atDetIdctOn(c)), "810A115602FF", "at DetIdct On cmd : ");
        row("atDetIdctOff", VEK_OP(atDetIdctOff(c)), "810A115603FF", "at DetIdct Off cmd :");
        row("atDetIdctDefault", VEK_OP(atDetIdctDefault(c)), "810A115604FF", "at DetIdct Default cmd :");
        row("atOsdRmdOn", VEK_OP(atOsdRmdOn(c)), "810A041601FF", "at Osd Rmd On cmd :");
        row("atOsdRmdOff", VEK_OP(atOsdRmdOff(c)), "810A041600FF", "at Osd Rmd Off cmd : ");
        row("atFullBody", VEK_OP(atFullBody(c)), "810A0F010000FF", "at Full Body: cmd: ");
        row("atHalfBody", VEK_OP(atHalfBody(c)), "810A0F010001FF", "at Half Body: cmd: ");
        row("atCloseUp", VEK_OP(atCloseUp(c)), "810A0F010002FF", "at Close Up: cmd: ");
        row("atCustomBody", VEK_OP(atCustomBody(c)), "810A0F010003FF", "at Custom Body: cmd: ");
        row("atFigSizeSave", VEK_OP(atFigSizeSave(0x1234, c)), "810A0F010801020304FF", "at Fig Size Save cmd: ");
        row("atFigSizeSave high bits ignored", VEK_OP(atFigSizeSave(0x7FABC, c)),
            "810A0F01080F0A0B0CFF", "at Fig Size Save cmd: ");
        row("atFigSizeDefault", VEK_OP(atFigSizeDefault(c)), "810A0F010800000500FF", "at Fig Size Default cmd: ");
        row("atSelSbjLeft", VEK_OP(atSelSbjLeft(c)), "810A11A302FF", "at Sel Sbj Left cmd: ");
        row("atSelSbjRight", VEK_OP(atSelSbjRight(c)), "810A11A303FF", "at Sel Sbj Right cmd: ");
        row("atSelSbjConfirm", VEK_OP(atSelSbjConfirm(c)), "810A11A304FF", "at Sel Sbj Confirm: cmd: ");
        row("atPlaceLeft", VEK_OP(atPlaceLeft(c)), "810A0F010700FF", "at Place Left: cmd: ");
        row("atPlaceCenter", VEK_OP(atPlaceCenter(c)), "810A0F010701FF", "at Place Center cmd: ");
        row("atPlaceRight", VEK_OP(atPlaceRight(c)), "810A0F010702FF", "at Place Right cmd: ");
        row("atTrackSpeedFast", VEK_OP(atTrackSpeedFast(c)), "810A0F010500FF", "at Track Speed Fast: cmd: ");
        row("atTrackSpeedMedium", VEK_OP(atTrackSpeedMedium(c)), "810A0F010501FF", "at Track Speed Medium: cmd: ");
        row("atTrackSpeedSlow", VEK_OP(atTrackSpeedSlow(c)), "810A0F010502FF", "at Track Speed Slow: cmd: ");
        // The two sent as whole frames.
        row("atTrackStartPosPreset framed", VEK_OP(atTrackStartPosPreset(0x105, c)),
            "000B810A043F02000205FF", "at Track Start Pos : 261 , cmd :");
        row("atTrackRecallProfile framed", VEK_OP(atTrackRecallProfile(0x2A, c)),
            "0009810A0F0F020AFF", "Recall Profile cmd:");
        row("atTrackOn", VEK_OP(atTrackOn(c)), "810A01041C82FF", "at Track On: cmd: ");
        row("atTrackOff", VEK_OP(atTrackOff(c)), "810A01041C83FF", "at Track Off: cmd: ");
        // Inquiries (bare, the profile number framed).
        row("atTrackInquire", VEK_OP(atTrackInquire(c)), "81097E1154FF", "AI INQ: ");
        row("atFigureInq", VEK_OP(atFigureInq(c)), "81097E0A0F0100FF", " at Figure Inq retBuf[4] :");
        row("atFigureCustSizeInq", VEK_OP(atFigureCustSizeInq(c)), "81097E0A0F0110FF", "at Figure Cust Size Inq data :");
        row("atPlacementInq", VEK_OP(atPlacementInq(c)), "81097E0A0F0107FF", "retBuf[2] :");
        row("atSpeedInq", VEK_OP(atSpeedInq(c)), "81097E0A0F0105FF", "retBuf[2] :");
        row("atDetindInq", VEK_OP(atDetindInq(c)), "81097E0A1156FF", "retBuf[2] :");
        row("atTrackingStartPosInq", VEK_OP(atTrackingStartPosInq(c)), "81097E0A043F02FF", "retBuf[2] :");
        row("atOSDInq", VEK_OP(atOSDInq(c)), "81097E0A0416FF", "retBuf :");
        row("atAutoZoomInq", VEK_OP(atAutoZoomInq(c)), "81097E0A0F0102FF", "retBuf :");
        row("atAutoTiltInq", VEK_OP(atAutoTiltInq(c)), "81097E0A0F0103FF", "retBuf :");
        row("InquireATProfileNum framed", VEK_OP(InquireATProfileNum(c)), "000981097E0A0F0FFF",
            "Inquire AT profile num return:");
    }
    void operationBytes()
    {
        QFETCH(VekOp, op);
        QFETCH(QByteArray, expected);
        QFETCH(QString, label);
        for (int c = 0; c < 3; ++c) {
            rig_->clearReceived();
            op(rig_->obj(), c);
            QVERIFY(rig_->onlyCameraGot(c, {expected}));
            QVERIFY2(rig_->log().contains(label), qPrintable(label));
        }
    }

    void trackInquire_data()
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
        QTest::newRow("silent") << kSilent << -1 << "[ERR] VEK  0 AT INQ response is empty";
    }
    void trackInquire()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, expected);
        QFETCH(QString, logLine);
        rig_->obj().initSerial(0, QStringLiteral("ttyAMA0"), 38400, 8, 0, 1, 0);
        rig_->answerNext(0, reply);
        QCOMPARE(rig_->obj().atTrackInquire(0), expected);
        QVERIFY2(rig_->log().contains(logLine), qPrintable(rig_->log().lines().join('\n')));
        // Any answer shows the line works; silence clears the flag until the next answer.
        QCOMPARE(rig_->obj().serialState(0), reply != kSilent);
        rig_->cam(0).setFailureMode(SimCamera::Normal);
        QCOMPARE(rig_->obj().atTrackInquire(0), 3); // the camera's tracking is off
        QVERIFY(rig_->obj().serialState(0));
    }

    void settingInquiries()
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

    void profileNumber_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("expected");
        QTest::newRow("5") << hexBytes("000790500005FF") << 5;
        QTest::newRow("10") << hexBytes("00079050000AFF") << 10;
        QTest::newRow("11 out of range") << hexBytes("00079050000BFF") << -1;
        QTest::newRow("0 out of range") << hexBytes("000790500000FF") << -1;
        QTest::newRow("five bytes") << hexBytes("00079050FF") << -1;
    }
    void profileNumber()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, expected);
        rig_->cam(2).injectReply(reply);
        QCOMPARE(rig_->obj().InquireATProfileNum(2), expected);
        QVERIFY(rig_->log().contains(QStringLiteral("Inquire AT profile num cmd: 00 09 81 09 7e 0a 0f 0f ff")));
        if (expected < 0)
            QVERIFY(rig_->log().contains(QStringLiteral("[ERR] Inquire AT profile num")));
        else
            QVERIFY(rig_->log().contains(QStringLiteral("Current profile num = %1").arg(expected)));
    }

    void olderOperationsGoToLastCamera_data()
    {
        QTest::addColumn<VekOp>("op");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<QString>("label");
        auto row = [](const char *name, VekOp op, const char *hex, const char *label) {
            QTest::newRow(name) << op << QByteArray::fromHex(hex) << QString::fromLatin1(label);
        };
        row("setAiTrackMode", VEK_OP(setAiTrackMode(0x82)), "0009810A01041C02FF", "set AiTrackMode --- mode: 130");
        row("setAiTrackSpeed", VEK_OP(setAiTrackSpeed(2)), "0009810A0F010502FF", "set AiTrackSpeed --- cmd:");
        row("setAiSelectPeoplePos", VEK_OP(setAiSelectPeoplePos(1)), "0009810A0F010701FF",
            "set AiSelectPeoplePos --- cmd:");
        row("setAiPeopleFrameOnOff", VEK_OP(setAiPeopleFrameOnOff(3)), "0008810A115603FF",
            "set AiPeopleFrameOnOff --- cmd:");
        row("setAiTrackTiltOnOff", VEK_OP(setAiTrackTiltOnOff(1)), "0009810A0F010301FF", "set AiTrackTiltOnOff --- cmd:");
        row("setAiTrackZoomOnOff", VEK_OP(setAiTrackZoomOnOff(0)), "0009810A0F010200FF", "set AiTrackZoomOnOff --- cmd:");
        row("setAiTrackTarget", VEK_OP(setAiTrackTarget(3)), "0008810A11A303FF", "set AiTrackTarget --- dir: 3");
        row("setAiTrackFeatures", VEK_OP(setAiTrackFeatures(2)), "0009810A0F010002FF",
            "set AiTrackFeatures --- feature: 2");
        row("setAiTrackTargetSave", VEK_OP(setAiTrackTargetSave(0x1234)), "000C810A0F010801020304FF",
            "set AiTrackTargetSave --- cmd:");
        row("setAiTrackTargetDefault", VEK_OP(setAiTrackTargetDefault()), "000C810A0F010800000500FF",
            "set AiTrackTargetDefault --- cmd:");
    }
    void olderOperationsGoToLastCamera()
    {
        QFETCH(VekOp, op);
        QFETCH(QByteArray, expected);
        QFETCH(QString, label);
        for (int target : {2, 0, 1}) {
            rig_->obj().atPlaceCenter(target); // the user operates this camera
            rig_->clearReceived();
            op(rig_->obj(), target);
            QVERIFY(rig_->onlyCameraGot(target, {expected}));
            QVERIFY2(rig_->log().contains(label), qPrintable(label));
        }
        // Resent once the error answer is in.
        rig_->clearReceived();
        rig_->cam(1).injectReply(hexBytes("0006906002FF"));
        op(rig_->obj(), 1);
        QVERIFY(rig_->onlyCameraGot(1, {expected, expected}));
    }
};

QTEST_GUILESS_MAIN(TestVekTracking)
#include "tst_vekcamera_tracking.moc"
