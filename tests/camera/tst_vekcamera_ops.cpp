// Every camera operation and inquiry against simulated cameras on
// pseudo-terminals: the exact bytes each camera received, the results, the
// properties and the signals.
#include "tests/camera/helper_vekcamera.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <functional>

using Op = std::function<void(vekCameraObject &, int)>;

// The next recorded emission, or a marker that compares unequal to any.
static QVariantList take(QSignalSpy &spy)
{
    return spy.isEmpty() ? QVariantList{QStringLiteral("<no emission>")} : spy.takeFirst();
}
Q_DECLARE_METATYPE(Op)

class TestVekOps : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void setOperationBytes_data();
    void setOperationBytes();
    void zoomSpeedOutOfRange_data();
    void zoomSpeedOutOfRange();
    void zoomStopRetries_data();
    void zoomStopRetries();
    void zoomStopOfflineReturnsAtOnce();
    void panTiltStopResend_data();
    void panTiltStopResend();
    void presetCheck_data();
    void presetCheck();
    void presetsOnTheCamera();
    void videoModeRefusedForModel_data();
    void videoModeRefusedForModel();
    void whiteBalanceModeSignals();
    void systemStatusExample();
    void systemStatusFromCameraState();
    void systemStatusFailures_data();
    void systemStatusFailures();
    void versionFromCamera();
    void versionFailureClearsLineFlag_data();
    void versionFailureClearsLineFlag();
    void shutterPosition();
    void shutterWithoutAnswerFrame_data();
    void shutterWithoutAnswerFrame();
    void gains();
    void gainFailures_data();
    void gainFailures();
    void maxSpeeds();
    void tallyInquiry();
    void modeInquiries();
    void videoFormatInquiry();
    void wbAndExposureAskLastCamera();
    void powerInquiry_data();
    void powerInquiry();

private:
    std::unique_ptr<VekRig> rig_;
    std::unique_ptr<VekLogCapture> log_;
};

void TestVekOps::initTestCase()
{
    log_ = std::make_unique<VekLogCapture>();
    rig_ = std::make_unique<VekRig>();
    for (int i = 0; i < 3; ++i)
        QVERIFY(rig_->cam(i).isOpen());
}

void TestVekOps::init()
{
    rig_->reset();
    for (int i = 0; i < 3; ++i) {
        rig_->obj().setVekStatus(i, true);
        rig_->cam(i).update([](SimCamera::State &s) { s = SimCamera::State(); });
    }
    rig_->obj().setmodelName(QString());
    log_->clear();
}

void TestVekOps::cleanupTestCase()
{
    rig_.reset();
    log_.reset();
}

void TestVekOps::setOperationBytes_data()
{
    QTest::addColumn<Op>("op");
    QTest::addColumn<QByteArray>("expected"); // messages separated by '|'
    QTest::addColumn<bool>("moving");
    QTest::addColumn<QString>("label");

    auto row = [](const char *name, Op op, const char *hex, bool moving, const char *label) {
        QTest::newRow(name) << op << QByteArray(hex) << moving << QString::fromLatin1(label);
    };
    using V = vekCameraObject;
    row("camPower on", [](V &o, int c) { o.camPower(2, c); }, "8101040002FF", false, "cam Power: cmd: ");
    row("camPower standby", [](V &o, int c) { o.camPower(3, c); }, "8101040003FF", false, "cam Power: cmd: ");
    row("zoomTele 8", [](V &o, int c) { o.zoomTele(8, c); }, "8101040721FF", true, "zoom Tele: cmd: ");
    row("zoomTele 16", [](V &o, int c) { o.zoomTele(16, c); }, "8101040724FF", true, "zoom Tele: cmd: ");
    row("zoomTele 24", [](V &o, int c) { o.zoomTele(24, c); }, "8101040727FF", true, "zoom Tele: cmd: ");
    row("zoomWide 8", [](V &o, int c) { o.zoomWide(8, c); }, "8101040731FF", true, "zoom Wide: cmd: ");
    row("zoomWide 24", [](V &o, int c) { o.zoomWide(24, c); }, "8101040737FF", true, "zoom Wide: cmd: ");
    row("zoomTeleStandard", [](V &o, int c) { o.zoomTeleStandard(c); }, "8101040702FF", false,
        "zoom Tele Standard cmd: ");
    row("zoomWideStandard", [](V &o, int c) { o.zoomWideStandard(c); }, "8101040703FF", false,
        "zoom Wide Standard cmd: ");
    row("zoomStop", [](V &o, int c) { o.zoomStop(c); }, "8101040700FF", false, "zoom Stop cmd: ");
    row("panTiltLeft", [](V &o, int c) { o.panTiltLeft(9, c); }, "8101060109090103FF", true, "pan Tilt Left cmd: ");
    row("panTiltRight", [](V &o, int c) { o.panTiltRight(9, c); }, "8101060109090203FF", true,
        "panTiltRight: cmd: ");
    row("panTiltUp", [](V &o, int c) { o.panTiltUp(4, c); }, "8101060104040301FF", true, "panTiltUp: cmd: ");
    row("panTiltDown", [](V &o, int c) { o.panTiltDown(4, c); }, "8101060104040302FF", true, "panTiltDown: cmd: ");
    row("panTiltUpLeft", [](V &o, int c) { o.panTiltUpLeft(0x18, 0x14, c); }, "8101060118140101FF", true,
        "panTiltUpLeft: cmd: ");
    row("panTiltUpRight", [](V &o, int c) { o.panTiltUpRight(0x18, 0x14, c); }, "8101060118140201FF", true,
        "panTiltUpRight: cmd: ");
    row("panTiltDownLeft", [](V &o, int c) { o.panTiltDownLeft(0x18, 0x14, c); }, "8101060118140102FF", true,
        "panTiltDownLeft: cmd: ");
    row("panTiltDownRight", [](V &o, int c) { o.panTiltDownRight(0x18, 0x14, c); }, "8101060118140202FF", true,
        "pan Tilt Down Right cmd: ");
    row("panTiltStop", [](V &o, int c) { o.panTiltStop(0x18, 0x14, c); }, "8101060118140303FF", false,
        "pan Tilt Stop cmd: ");
    row("autoFocus", [](V &o, int c) { o.autoFocus(c); }, "8101043802FF", false, "Auto Focus cmd: ");
    row("manualFocus", [](V &o, int c) { o.manualFocus(c); }, "8101043803FF", false, "Manual Focus cmd: ");
    row("focusFar", [](V &o, int c) { o.focusFar(c); }, "8101040802FF", false, "focus Far cmd: ");
    row("focusNear", [](V &o, int c) { o.focusNear(c); }, "8101040803FF", false, "focus Near cmd: ");
    row("focusStop", [](V &o, int c) { o.focusStop(c); }, "8101040800FF", false, "Focus Stop cmd: ");
    row("autoWhiteBalance", [](V &o, int c) { o.autoWhiteBalance(c); }, "8101043500FF", false,
        "Auto White Balance :");
    row("manualWhiteBalance", [](V &o, int c) { o.manualWhiteBalance(c); }, "8101043505FF", false,
        "Manual White Balance :");
    row("whiteBalance one push", [](V &o, int c) { o.whiteBalance(c); }, "8101043503FF|8101041005FF", false,
        "CAM WB ONEPUSH TRIGGER :");
    row("setRGain", [](V &o, int c) { o.setRGain(0xA5, c); }, "8101044300000A05FF", false, "setRGain: cmd: ");
    row("setBGain", [](V &o, int c) { o.setBGain(0x3C, c); }, "810104440000030CFF", false, "setBGain: cmd: ");
    row("autoAE", [](V &o, int c) { o.autoAE(c); }, "8101043900FF", false, "Auto AE cmd: ");
    row("manualAE", [](V &o, int c) { o.manualAE(c); }, "8101043903FF", false, "Manual AE cmd: ");
    row("iRISUp", [](V &o, int c) { o.iRISUp(c); }, "8101040B02FF", false, "IRIS Up cmd: ");
    row("iRISDown", [](V &o, int c) { o.iRISDown(c); }, "8101040B03FF", false, "IRIS Down cmd: ");
    row("shutterDirect", [](V &o, int c) { o.shutterDirect(0x1A, c); }, "8101044A0000010AFF", false,
        "Shutter Direct cmd: ");
    row("shutterDirect low byte only", [](V &o, int c) { o.shutterDirect(0x215, c); }, "8101044A00000105FF",
        false, "Shutter Direct cmd: ");
    row("storePtzPosition", [](V &o, int c) { o.storePtzPosition(7, c); }, "8101043F0107FF", false,
        "Store Ptz Position cmd: ");
    row("gotoPtzPosition", [](V &o, int c) { o.gotoPtzPosition(7, c); }, "8101043F0207FF", true,
        "goto Ptz Position cmd: ");
    row("presetMemSpeed", [](V &o, int c) { o.presetMemSpeed(0x10, c); }, "81017E010B7D10FF", false,
        "preset Mem Speed cmd: ");
    row("setPresetMemorySpeed", [](V &o, int c) { o.setPresetMemorySpeed(3, 0x12, c); }, "81017E010B0312FF",
        false, "Set Preset Memory Speed cmd: ");
    row("imageFlipOn", [](V &o, int c) { o.imageFlipOn(c); }, "8101046602FF", false, "image FlipOn cmd: ");
    row("imageFlipOff", [](V &o, int c) { o.imageFlipOff(c); }, "8101046603FF", false, "image FlipOff cmd: ");
    row("imageMirroOn", [](V &o, int c) { o.imageMirroOn(c); }, "8101046102FF", false, "image MirroOn cmd: ");
    row("imageMirroOff", [](V &o, int c) { o.imageMirroOff(c); }, "8101046103FF", false, "image MirroOff cmd: ");
    row("setImageMirror", [](V &o, int c) { o.setImageMirror(2, c); }, "8101046102FF", false,
        "set Image Mirror cmd: ");
    row("panReverseOn", [](V &o, int c) { o.panReverseOn(c); }, "81017E01060001FF", false, "pan Reverse On cmd: ");
    row("panReverseOff", [](V &o, int c) { o.panReverseOff(c); }, "81017E01060000FF", false,
        "pan Reverse Off cmd: ");
    row("tiltReverseOn", [](V &o, int c) { o.tiltReverseOn(c); }, "81017E01090001FF", false,
        "tilt Reverse On: cmd: ");
    row("tiltReverseOff", [](V &o, int c) { o.tiltReverseOff(c); }, "81017E01090000FF", false,
        "tilt Reverse Off: cmd: ");
    row("redTallyOn", [](V &o, int c) { o.redTallyOn(c); }, "81017E010A000203FF", false, "red Tally On: cmd: ");
    row("greenTallyOn", [](V &o, int c) { o.greenTallyOn(c); }, "81017E010A000302FF", false,
        "greenTallyOn: cmd: ");
    row("camTallyOff", [](V &o, int c) { o.camTallyOff(c); }, "81017E010A000303FF", false, "camTallyOff: cmd: ");
    row("switchVideoMode", [](V &o, int c) { o.switchVideoMode(0x14, c); }, "810104247214FF", false,
        "switch Video Mode cmd: ");
    row("switchVideoMode 2160p29.97", [](V &o, int c) { o.switchVideoMode(29, c); }, "81010424721DFF", false,
        "switch Video Mode cmd: ");
    // Inquiries: bare or framed exactly as each one is sent.
    row("camPowerInq", [](V &o, int c) { o.camPowerInq(c); }, "81090400FF", false, "cam Power inq: cmd: ");
    row("getSystemStatus", [](V &o, int c) { o.getSystemStatus(c); }, "81097E7E70FF", false, "retBuf  :");
    row("queryVersion", [](V &o, int c) { o.queryVersion(c); }, "81090002FF", false, "modelVerStr: ");
    row("shutterPosInq framed", [](V &o, int c) { o.shutterPosInq(c); }, "000781090 44AFF", false,
        "Shutter INQ: ");
    row("rGain framed", [](V &o, int c) { o.rGain(c); }, "0007810904 43FF", false, "r Gain gain ...: ");
    row("bGain framed", [](V &o, int c) { o.bGain(c); }, "0007810904 44FF", false, "bGain gain ...: ");
    row("queryPanTiltMaxSpeed framed", [](V &o, int c) { o.queryPanTiltMaxSpeed(c); }, "000781090611FF", false,
        "query PanTilt Max Speed cmd: ");
    row("isTallyOn framed", [](V &o, int c) { o.isTallyOn(c); }, "000881097E010AFF", false, "is Tally On cmd: ");
    row("isAutoFocus bare", [](V &o, int c) { o.isAutoFocus(c); }, "81090438FF", false, "is Auto Focus cmd :");
    row("getWhiteBalanceMode bare", [](V &o, int c) { o.getWhiteBalanceMode(c); }, "81090435FF", false,
        "get WhiteBalanceMode: : 00000");
    row("getExposureMode bare", [](V &o, int c) { o.getExposureMode(c); }, "81090439FF", false,
        "get Exposure Mode cmd :");
    row("getVideoFormat framed", [](V &o, int c) { o.getVideoFormat(c); }, "000981090424720 9FF", false,
        "getVideoFormat --> size: ");
}

void TestVekOps::setOperationBytes()
{
    QFETCH(Op, op);
    QFETCH(QByteArray, expected);
    QFETCH(bool, moving);
    QFETCH(QString, label);
    QList<QByteArray> messages;
    for (const QByteArray &h : expected.split('|'))
        messages.append(QByteArray::fromHex(h));

    // The same operation on each camera reaches that camera only.
    for (int c = 0; c < 3; ++c) {
        rig_->reset();
        log_->clear();
        QSignalSpy spy(&rig_->obj(), &vekCameraObject::ptzMoving);
        op(rig_->obj(), c);
        QCOMPARE(rig_->cam(c).received(), messages);
        for (int other = 0; other < 3; ++other) {
            if (other != c)
                QCOMPARE(rig_->cam(other).receivedCount(), 0);
        }
        QCOMPARE(spy.count(), moving ? 1 : 0);
        QVERIFY2(log_->contains(label), qPrintable(label));
    }
}

void TestVekOps::zoomSpeedOutOfRange_data()
{
    QTest::addColumn<int>("speed");
    QTest::newRow("12") << 12;
    QTest::newRow("0") << 0;
    QTest::newRow("7") << 7;
    QTest::newRow("-8") << -8;
}

void TestVekOps::zoomSpeedOutOfRange()
{
    QFETCH(int, speed);
    QSignalSpy spy(&rig_->obj(), &vekCameraObject::ptzMoving);
    rig_->obj().zoomTele(speed, 0);
    rig_->obj().zoomWide(speed, 0);
    QCOMPARE(log_->count(QStringLiteral("speed out of range")), 2);
    QCOMPARE(spy.count(), 0);
    QTest::qWait(20);
    QCOMPARE(rig_->cam(0).receivedCount(), 0);
}

void TestVekOps::zoomStopRetries_data()
{
    QTest::addColumn<int>("errors");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<int>("sends");
    QTest::newRow("acknowledged") << 0 << false << 1;
    QTest::newRow("error once") << 1 << false << 2;
    QTest::newRow("error twice") << 2 << false << 3;
    QTest::newRow("never acknowledged") << 0 << true << 3;
}

void TestVekOps::zoomStopRetries()
{
    QFETCH(int, errors);
    QFETCH(bool, silent);
    QFETCH(int, sends);
    for (int i = 0; i < errors; ++i)
        rig_->cam(0).injectReply(hexBytes("906002FF"));
    if (silent)
        rig_->cam(0).setFailureMode(SimCamera::Silent);
    QElapsedTimer t;
    t.start();
    rig_->obj().zoomStop(0);
    const qint64 ms = t.elapsed();
    QCOMPARE(rig_->cam(0).receivedCount(), sends);
    QCOMPARE(log_->count(QStringLiteral("zoom Stop cmd retry : ")), silent ? 3 : errors);
    if (silent) // three waits and three pauses
        QVERIFY2(ms >= 880, qPrintable(QString::number(ms)));
}

void TestVekOps::zoomStopOfflineReturnsAtOnce()
{
    rig_->obj().setVekStatus(0, false);
    QElapsedTimer t;
    t.start();
    rig_->obj().zoomStop(0);
    QVERIFY2(t.elapsed() < 100, qPrintable(QString::number(t.elapsed())));
    QCOMPARE(rig_->cam(0).receivedCount(), 0);
}

void TestVekOps::panTiltStopResend_data()
{
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QByteArray>("firstReply");
    QTest::addColumn<int>("sends");
    QTest::newRow("acknowledged") << false << QByteArray() << 1;
    QTest::newRow("error is an answer") << false << hexBytes("906002FF") << 1;
    QTest::newRow("silent") << true << QByteArray() << 2;
}

void TestVekOps::panTiltStopResend()
{
    QFETCH(bool, silent);
    QFETCH(QByteArray, firstReply);
    QFETCH(int, sends);
    if (!firstReply.isEmpty())
        rig_->cam(1).injectReply(firstReply);
    if (silent)
        rig_->cam(1).setFailureMode(SimCamera::Silent);
    rig_->obj().panTiltStop(0x10, 0x10, 1);
    QCOMPARE(rig_->cam(1).receivedCount(), sends);
    for (const QByteArray &m : rig_->cam(1).received())
        QCOMPARE(m, hexBytes("8101060110100303FF"));
}

void TestVekOps::presetCheck_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("ok");
    QTest::newRow("ack and completion") << hexBytes("9041FF9051FF") << true;
    QTest::newRow("completion") << hexBytes("9051FF") << true;
    QTest::newRow("error") << hexBytes("906002FF") << false;
    QTest::newRow("not executable") << hexBytes("906141FF") << false;
    QTest::newRow("garbage with 41") << hexBytes("0041FF") << false;
}

void TestVekOps::presetCheck()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, ok);
    rig_->cam(2).injectReply(reply);
    QCOMPARE(rig_->obj().gotoPtzPosition(3, 2), ok);
    rig_->cam(2).injectReply(reply);
    QCOMPARE(rig_->obj().storePtzPosition(3, 2), ok);
    rig_->cam(2).injectReply(reply);
    QCOMPARE(rig_->obj().presetMemSpeed(5, 2), ok);
}

void TestVekOps::presetsOnTheCamera()
{
    QVERIFY(rig_->obj().storePtzPosition(4, 0));
    QVERIFY(rig_->obj().presetMemSpeed(0x0C, 0));
    QVERIFY(rig_->obj().gotoPtzPosition(4, 0));
    const SimCamera::State s = rig_->cam(0).state();
    QVERIFY(s.presets.contains(4));
    QCOMPARE(s.lastRecalledPreset, 4);
    QCOMPARE(s.presetSpeedAll, 0x0C);

    rig_->cam(0).setFailureMode(SimCamera::Silent);
    QVERIFY(!rig_->obj().gotoPtzPosition(4, 0));
}

void TestVekOps::videoModeRefusedForModel_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("sent");
    QTest::newRow("refused 29") << "410" << 29 << false;
    QTest::newRow("refused 30") << "410" << 30 << false;
    QTest::newRow("other code sent") << "410" << 21 << true;
    QTest::newRow("2160p30 sent") << "410" << 31 << true;
    QTest::newRow("other model sent") << "39c" << 29 << true;
    QTest::newRow("unknown model sent") << "" << 30 << true;
}

void TestVekOps::videoModeRefusedForModel()
{
    QFETCH(QString, model);
    QFETCH(int, value);
    QFETCH(bool, sent);
    rig_->obj().setmodelName(model);
    rig_->obj().switchVideoMode(value, 1);
    if (!sent)
        QTest::qWait(20);
    QCOMPARE(rig_->cam(1).receivedCount(), sent ? 1 : 0);
    if (sent)
        QCOMPARE(rig_->cam(1).lastReceived(), hexBytes("8101042472") + char(value) + char(0xFF));
}

void TestVekOps::whiteBalanceModeSignals()
{
    QSignalSpy wb(&rig_->obj(), &vekCameraObject::WBModeChanged);
    QSignalSpy ae(&rig_->obj(), &vekCameraObject::ExposureModeChanged);
    QElapsedTimer t;
    t.start();
    rig_->obj().whiteBalance(0);
    QVERIFY(t.elapsed() >= 100); // the pause between mode and trigger
    QCOMPARE(wb.count(), 1);
    QCOMPARE(rig_->cam(0).state().onePushTriggers, 1);
    rig_->obj().autoWhiteBalance(0);
    rig_->obj().manualWhiteBalance(0);
    QCOMPARE(wb.count(), 3);
    rig_->obj().autoAE(0);
    rig_->obj().manualAE(0);
    QCOMPARE(ae.count(), 2);
    QCOMPARE(rig_->cam(0).state().aeMode, 3);
}

void TestVekOps::systemStatusExample()
{
    vekCameraObject &o = rig_->obj();
    o.setvekVFlip(true);
    QSignalSpy power(&o, &vekCameraObject::sendCamPower);
    QSignalSpy wb(&o, &vekCameraObject::sendWb);
    QSignalSpy rg(&o, &vekCameraObject::sendRGain);
    QSignalSpy bg(&o, &vekCameraObject::sendBGain);
    QSignalSpy focus(&o, &vekCameraObject::sendFocus);
    QSignalSpy iris(&o, &vekCameraObject::sendIris);
    QSignalSpy speed(&o, &vekCameraObject::sendSpeed);
    QSignalSpy tally(&o, &vekCameraObject::sendTally);
    QSignalSpy format(&o, &vekCameraObject::sendVideoFormat);
    QSignalSpy mirror(&o, &vekCameraObject::sendMirrorMode);
    QSignalSpy pan(&o, &vekCameraObject::sendPanDir);
    QSignalSpy tilt(&o, &vekCameraObject::sendTiltDir);
    QSignalSpy vflip(&o, &vekCameraObject::vekVFlipChanged);

    // The order of the last five signals is part of the contract.
    QStringList order;
    QObject scope; // the connections end with this test
    connect(&o, &vekCameraObject::sendTally, &scope, [&] { order << "tally"; });
    connect(&o, &vekCameraObject::sendVideoFormat, &scope, [&] { order << "format"; });
    connect(&o, &vekCameraObject::sendMirrorMode, &scope, [&] { order << "mirror"; });
    connect(&o, &vekCameraObject::sendPanDir, &scope, [&] { order << "pan"; });
    connect(&o, &vekCameraObject::sendTiltDir, &scope, [&] { order << "tilt"; });

    rig_->cam(1).injectReply(hexBytes("90501D15050A05080C02030011 05FF"));
    QVERIFY(o.getSystemStatus(1));
    QCOMPARE(rig_->cam(1).received(), QList<QByteArray>{hexBytes("81097E7E70FF")});

    QCOMPARE(take(power), (QVariantList{1, true}));
    QVERIFY(!o.isColorBarOn());
    QVERIFY(o.isredTallyOn());
    QVERIFY(o.isblueTallyOn());
    QVERIFY(o.isOsdOn());
    QVERIFY(o.isTallyLightOn());
    QCOMPARE(o.videoFormat(), QStringLiteral("1080p60"));
    QCOMPARE(o.getVideoMode(), QStringLiteral("1080p60"));
    QCOMPARE(take(format), (QVariantList{1, 0}));
    QCOMPARE(o.whiteBalanceMode(), 5);
    QCOMPARE(take(wb), (QVariantList{1, 2}));
    QCOMPARE(o.vekRGain(), 0xA5);
    QCOMPARE(o.vekBGain(), 0x8C);
    QCOMPARE(take(rg).at(1).toInt(), 0xA5);
    QCOMPARE(take(bg).at(1).toInt(), 0x8C);
    QVERIFY(o.bAutoFocusMode());
    QCOMPARE(take(focus), (QVariantList{1, true}));
    QVERIFY(!o.birisModeAuto());
    QCOMPARE(take(iris), (QVariantList{1, false}));
    QVERIFY(o.panDirReverse());
    QVERIFY(!o.tiltDirReverse());
    QVERIFY(o.vekHFlip());
    QVERIFY(!o.vekVFlip());
    QCOMPARE(vflip.count(), 1);
    QCOMPARE(take(mirror), (QVariantList{1, 2}));
    QCOMPARE(take(pan), (QVariantList{1, 1}));
    QCOMPARE(take(tilt), (QVariantList{1, 0}));
    QCOMPARE(o.ptzSpeedRange(), 5);
    QCOMPARE(take(speed).at(1).toInt(), 5);
    QCOMPARE(take(tally), (QVariantList{1, 1}));
    QCOMPARE(order, (QStringList{"tally", "format", "mirror", "pan", "tilt"}));
    QVERIFY(log_->contains(QStringLiteral("Tally : red")));
    QVERIFY(log_->contains(QStringLiteral("get SystemStatus --  vekAutoWB Manual")));
}

void TestVekOps::systemStatusFromCameraState()
{
    rig_->cam(2).update([](SimCamera::State &s) {
        s.colorBar = true;
        s.greenTally = true;
        s.videoCode = 0x42 & 0x3F; // 1080i60
        s.wbMode = 3;
        s.rGain = 0x12;
        s.bGain = 0xF0;
        s.autoFocus = false;
        s.aeMode = 10;
        s.flip = true;
        s.mirror = true;
        s.tiltReverse = true;
        s.speedRange = 9;
    });
    vekCameraObject &o = rig_->obj();
    QSignalSpy tally(&o, &vekCameraObject::sendTally);
    QSignalSpy mirror(&o, &vekCameraObject::sendMirrorMode);
    QSignalSpy wb(&o, &vekCameraObject::sendWb);
    QSignalSpy format(&o, &vekCameraObject::sendVideoFormat);
    QSignalSpy iris(&o, &vekCameraObject::sendIris);
    QVERIFY(o.getSystemStatus(2));
    QVERIFY(o.isColorBarOn());
    QVERIFY(!o.isredTallyOn());
    QVERIFY(o.isblueTallyOn());
    QCOMPARE(take(tally), (QVariantList{2, 2}));
    QCOMPARE(take(mirror), (QVariantList{2, 3}));
    QCOMPARE(take(wb), (QVariantList{2, 6}));
    QCOMPARE(o.whiteBalanceMode(), 2);
    QCOMPARE(take(format), (QVariantList{2, 6}));
    QCOMPARE(o.videoFormat(), QStringLiteral("1080i60"));
    QVERIFY(o.birisModeAuto());
    QCOMPARE(take(iris), (QVariantList{2, true}));
    QVERIFY(!o.bAutoFocusMode());
    QVERIFY(o.tiltDirReverse());
    QCOMPARE(o.vekRGain(), 0x12);
    QCOMPARE(o.vekBGain(), 0xF0);
    QCOMPARE(o.ptzSpeedRange(), 9);

    // Unknown video code: empty text, index 0. An "other" white balance and
    // exposure leave the properties and report 0 / false.
    rig_->cam(2).injectReply(hexBytes("9050 00 03 01 00 00 00 00 07 07 00 00 00 FF"));
    QVERIFY(o.getSystemStatus(2));
    QCOMPARE(o.videoFormat(), QString());
    QCOMPARE(take(format), (QVariantList{2, 0}));
    QCOMPARE(take(wb), (QVariantList{2, 0}));
    QCOMPARE(o.whiteBalanceMode(), 2);
    QCOMPARE(take(iris), (QVariantList{2, false}));
    QVERIFY(o.birisModeAuto());
    QCOMPARE(take(tally), (QVariantList{2, 0}));
}

void TestVekOps::systemStatusFailures_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("silent");
    QTest::newRow("no answer") << QByteArray() << true;
    QTest::newRow("error") << hexBytes("906002FF") << false;
    QTest::newRow("14 bytes") << hexBytes("90501D15050A05080C020300 11FF") << false;
    QTest::newRow("15 bytes not an answer") << hexBytes("90611D15050A05080C02030011 05FF") << false;
}

void TestVekOps::systemStatusFailures()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, silent);
    if (silent)
        rig_->cam(0).setFailureMode(SimCamera::Silent);
    else
        rig_->cam(0).injectReply(reply);
    vekCameraObject &o = rig_->obj();
    QSignalSpy power(&o, &vekCameraObject::sendCamPower);
    QSignalSpy tally(&o, &vekCameraObject::sendTally);
    QSignalSpy ptz(&o, &vekCameraObject::ptzSpeedRangeChanged);
    QVERIFY(!o.getSystemStatus(0));
    QCOMPARE(power.count(), 0);
    QCOMPARE(tally.count(), 0);
    QCOMPARE(ptz.count(), 0);
    QVERIFY(log_->contains(QStringLiteral("[ERR] retBuf :")));
}

void TestVekOps::versionFromCamera()
{
    rig_->cam(0).update([](SimCamera::State &s) {
        s.modelCode = 0x71A;
        s.mcuVersion = "0203";
        s.fpgaVersion = "b07";
        s.motorVersion = "0110";
    });
    QSignalSpy info(&rig_->obj(), &vekCameraObject::setCamInfo);
    QVERIFY(rig_->obj().queryVersion(0));
    QCOMPARE(info.count(), 1);
    QCOMPARE(info.at(0), (QVariantList{0, "02.03", "b07", "01.10", "71a"}));
    QCOMPARE(rig_->obj().modelName(), QStringLiteral("71a"));
    QCOMPARE(rig_->obj().mcuVersion(), QStringLiteral("02.03"));
    QCOMPARE(rig_->obj().fpgaVersion(), QStringLiteral("b07"));
    QCOMPARE(rig_->obj().motorVersion(), QStringLiteral("01.10"));
    QVERIFY(rig_->obj().serialState(0));

    rig_->cam(0).injectReply(hexBytes("9050039C0102030400010A01000007FF"));
    QVERIFY(rig_->obj().queryVersion(0));
    QCOMPARE(rig_->obj().modelName(), QStringLiteral("39c"));
    QCOMPARE(rig_->obj().mcuVersion(), QStringLiteral("12.34"));
    QCOMPARE(rig_->obj().fpgaVersion(), QStringLiteral("01a"));
    QCOMPARE(rig_->obj().motorVersion(), QStringLiteral("10.07"));
}

void TestVekOps::versionFailureClearsLineFlag_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("15 bytes") << hexBytes("9050039C0102030400010A010000FF");
    QTest::newRow("error") << hexBytes("906002FF");
    QTest::newRow("16 bytes of error") << hexBytes("9060039C0102030400010A01000007FF");
}

void TestVekOps::versionFailureClearsLineFlag()
{
    QFETCH(QByteArray, reply);
    QVERIFY(rig_->obj().queryVersion(1));
    QVERIFY(rig_->obj().serialState(1));
    const QString model = rig_->obj().modelName();
    QSignalSpy info(&rig_->obj(), &vekCameraObject::setCamInfo);
    rig_->cam(1).injectReply(reply);
    QVERIFY(!rig_->obj().queryVersion(1));
    QVERIFY(!rig_->obj().serialState(1));
    QCOMPARE(info.count(), 0);
    QCOMPARE(rig_->obj().modelName(), model);
    QVERIFY(log_->contains(QStringLiteral("[ERR] query version len fail, retBuf :")));
    QVERIFY(rig_->obj().queryVersion(1)); // an answer sets it again
    QVERIFY(rig_->obj().serialState(1));
}

void TestVekOps::shutterPosition()
{
    rig_->cam(2).update([](SimCamera::State &s) { s.shutter = 0xA3; });
    QSignalSpy spy(&rig_->obj(), &vekCameraObject::sendShutterValue);
    QCOMPARE(rig_->obj().shutterPosInq(2), 0xA3);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 0xA3);

    rig_->cam(2).injectReply(hexBytes("000990500000 0A03FF"));
    QCOMPARE(rig_->obj().shutterPosInq(2), 0xA3);
    QCOMPARE(spy.count(), 2);
}

void TestVekOps::shutterWithoutAnswerFrame_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("silent");
    QTest::newRow("bare answer") << hexBytes("905000000A03FF") << false;
    QTest::newRow("framed error") << hexBytes("0006906002FF") << false;
    QTest::newRow("eight bytes of frame") << hexBytes("0009905000000A03") << false;
    QTest::newRow("no answer") << QByteArray() << true;
}

void TestVekOps::shutterWithoutAnswerFrame()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, silent);
    if (silent)
        rig_->cam(2).setFailureMode(SimCamera::Silent);
    else
        rig_->cam(2).injectReply(reply);
    QSignalSpy spy(&rig_->obj(), &vekCameraObject::sendShutterValue);
    QCOMPARE(rig_->obj().shutterPosInq(2), -1);
    QCOMPARE(spy.count(), 0);
    QVERIFY(log_->contains(QStringLiteral("[ERR] Shutter INQ: no answer in")));
}

void TestVekOps::gains()
{
    rig_->cam(0).update([](SimCamera::State &s) {
        s.rGain = 0xA5;
        s.bGain = 0x3C;
    });
    QSignalSpy r(&rig_->obj(), &vekCameraObject::sendRGain);
    QSignalSpy b(&rig_->obj(), &vekCameraObject::sendBGain);
    QCOMPARE(rig_->obj().rGain(0), 0xA5);
    QCOMPARE(rig_->obj().bGain(0), 0x3C);
    QCOMPARE(take(r), (QVariantList{0, QVariant::fromValue<quint8>(0xA5)}));
    QCOMPARE(take(b), (QVariantList{0, QVariant::fromValue<quint8>(0x3C)}));

    // Setting a gain and reading it back goes through the camera.
    rig_->obj().setRGain(0x42, 0);
    QCOMPARE(rig_->obj().rGain(0), 0x42);
}

void TestVekOps::gainFailures_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("silent");
    QTest::newRow("framed error of six bytes") << hexBytes("0006906002FF") << false;
    QTest::newRow("bare answer") << hexBytes("905000000A05FF") << false;
    QTest::newRow("no answer") << QByteArray() << true;
}

void TestVekOps::gainFailures()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, silent);
    QSignalSpy r(&rig_->obj(), &vekCameraObject::sendRGain);
    QSignalSpy b(&rig_->obj(), &vekCameraObject::sendBGain);
    if (silent)
        rig_->cam(0).setFailureMode(SimCamera::Silent);
    else
        rig_->cam(0).injectReply(reply);
    QCOMPARE(rig_->obj().rGain(0), 0);
    if (!silent)
        rig_->cam(0).injectReply(reply);
    QCOMPARE(rig_->obj().bGain(0), 0);
    // A failed read does not pull the interface's gain slider to 0.
    QCOMPARE(r.count(), 0);
    QCOMPARE(b.count(), 0);
    QVERIFY(log_->contains(QStringLiteral("[ERR] R Gain: no answer in")));
    QVERIFY(log_->contains(QStringLiteral("[ERR] bGain: no answer in")));
}

void TestVekOps::maxSpeeds()
{
    rig_->cam(1).update([](SimCamera::State &s) {
        s.panMaxSpeed = 0x18;
        s.tiltMaxSpeed = 0x07;
    });
    rig_->obj().queryPanTiltMaxSpeed(1);
    QCOMPARE(rig_->obj().panMaxSpeed(), QStringLiteral("8")); // low nibble
    QCOMPARE(rig_->obj().tiltMaxSpeed(), QStringLiteral("7"));

    rig_->cam(1).injectReply(hexBytes("0006906002FF"));
    rig_->obj().queryPanTiltMaxSpeed(1);
    QCOMPARE(rig_->obj().panMaxSpeed(), QStringLiteral("8"));
    QVERIFY(log_->contains(QStringLiteral("[ERR] query PanTilt Max Speed: no answer in")));
}

void TestVekOps::tallyInquiry()
{
    QVERIFY(!rig_->obj().isTallyOn(0));
    rig_->obj().redTallyOn(0);
    QVERIFY(rig_->obj().isTallyOn(0));
    rig_->obj().camTallyOff(0);
    QVERIFY(!rig_->obj().isTallyOn(0));
    rig_->cam(0).injectReply(hexBytes("0006906002FF"));
    QVERIFY(!rig_->obj().isTallyOn(0));
}

void TestVekOps::modeInquiries()
{
    vekCameraObject &o = rig_->obj();
    QVERIFY(o.isAutoFocus(1));
    o.manualFocus(1);
    QVERIFY(!o.isAutoFocus(1));

    QCOMPARE(o.getWhiteBalanceMode(1), 0);
    o.manualWhiteBalance(1);
    QCOMPARE(o.getWhiteBalanceMode(1), 5);
    rig_->cam(1).update([](SimCamera::State &s) { s.wbMode = 3; });
    QCOMPARE(o.getWhiteBalanceMode(1), 3);
    rig_->cam(1).update([](SimCamera::State &s) { s.wbMode = 2; });
    QCOMPARE(o.getWhiteBalanceMode(1), 0);

    QCOMPARE(o.getExposureMode(1), 0);
    o.manualAE(1);
    QCOMPARE(o.getExposureMode(1), 1);
    for (int mode : {11, 13}) {
        rig_->cam(1).update([mode](SimCamera::State &s) { s.aeMode = mode; });
        QCOMPARE(o.getExposureMode(1), 1);
    }
    rig_->cam(1).update([](SimCamera::State &s) { s.aeMode = 10; });
    QCOMPARE(o.getExposureMode(1), 0);

    // An error answer is no mode, whatever its third byte.
    rig_->cam(1).injectReply(hexBytes("906002FF"));
    QVERIFY(!o.isAutoFocus(1));
    rig_->cam(1).injectReply(hexBytes("906105FF"));
    QCOMPARE(o.getWhiteBalanceMode(1), 0);
    rig_->cam(1).injectReply(hexBytes("906103FF"));
    QCOMPARE(o.getExposureMode(1), 0);
}

void TestVekOps::videoFormatInquiry()
{
    rig_->cam(0).update([](SimCamera::State &s) { s.videoCode = 0x14; });
    QCOMPARE(rig_->obj().getVideoFormat(0), 0x14);
    rig_->cam(0).injectReply(hexBytes("0006906002FF"));
    QCOMPARE(rig_->obj().getVideoFormat(0), -1);
    // The long form carries the value in its byte 12.
    QByteArray longForm = hexBytes("0019 9050") + QByteArray(20, char(0x01)) + char(0xFF);
    longForm[12] = char(0x07);
    rig_->cam(0).injectReply(longForm);
    QCOMPARE(rig_->obj().getVideoFormat(0), 0x07);
    rig_->cam(0).setFailureMode(SimCamera::Silent);
    QCOMPARE(rig_->obj().getVideoFormat(0), -1);
}

void TestVekOps::wbAndExposureAskLastCamera()
{
    vekCameraObject &o = rig_->obj();
    rig_->cam(2).update([](SimCamera::State &s) {
        s.wbMode = 5;
        s.aeMode = 3;
    });
    o.focusStop(2); // the user works camera 2
    rig_->reset();
    QCOMPARE(o.property("WBMode").toInt(), 5);
    QCOMPARE(o.property("ExposureMode").toInt(), 1);
    QCOMPARE(rig_->cam(2).received(), (QList<QByteArray>{hexBytes("81090435FF"), hexBytes("81090439FF")}));
    QCOMPARE(rig_->cam(0).receivedCount() + rig_->cam(1).receivedCount(), 0);

    // Presence polling of the other cameras does not move the target.
    o.camPowerInq(0);
    o.camPowerInq(1);
    rig_->reset();
    QCOMPARE(o.WBMode(), 5);
    QCOMPARE(rig_->cam(2).receivedCount(), 1);

    // An offline camera is not asked: the mode reads 0.
    o.setVekStatus(2, false);
    QCOMPARE(o.WBMode(), 0);
    QCOMPARE(rig_->cam(2).receivedCount(), 1);
}

void TestVekOps::powerInquiry_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<bool>("online");
    QTest::newRow("on") << QByteArray() << false << true;
    QTest::newRow("standby answers too") << hexBytes("905003FF") << false << true;
    QTest::newRow("error") << hexBytes("906002FF") << false << false;
    QTest::newRow("noise of four bytes") << hexBytes("01020304") << false << false;
    QTest::newRow("silent") << QByteArray() << true << false;
}

void TestVekOps::powerInquiry()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, silent);
    QFETCH(bool, online);
    rig_->obj().setVekStatus(2, false);
    if (silent)
        rig_->cam(2).setFailureMode(SimCamera::Silent);
    else if (!reply.isEmpty())
        rig_->cam(2).injectReply(reply);
    QCOMPARE(rig_->obj().camPowerInq(2), online);
    QCOMPARE(rig_->cam(2).received(), QList<QByteArray>{hexBytes("81090400FF")});
}

QTEST_GUILESS_MAIN(TestVekOps)
#include "tst_vekcamera_ops.moc"
