// Every camera message the panel sends, byte for byte: each camera operation
// as the simulated cameras receive it, and the builder's messages no
// operation sends, against tables written out here by hand.
#include "camera/vek_control.h"
#include "tests/camera/helper_vekcamera.h"

#include <QSignalSpy>
#include <QtTest>

#include <tuple>

// Rows of the operation table, named after the call; MOVE: the operation
// emits ptzMoving before sending.
#define ROW(call, hex) row(#call, VEK_OP(call), hex)
#define MOVE(call, hex) row(#call, VEK_OP(call), hex, true)
// The older tracking operations go to the camera last operated.
#define LAST(call, hex)                                                                                                \
    row(#call, VekOp([](vekCameraObject &o, int c) { o.atPlaceCenter(c), o.call; }), "810A0F010701FF|" hex)
// Rows of the builder table, named after the command.
#define B(cmd, p1, message) row(#cmd, cmd, p1, message)

namespace {

// Distinct nibbles everywhere, so a swapped or misplaced parameter shows.
const QByteArray kP = QByteArray::fromHex("A53C5AC396697E");

QByteArray params(int p1)
{
    QByteArray p = kP;
    if (p1 >= 0)
        p[0] = char(p1);
    return p;
}

QByteArray build(int value, const QByteArray &p)
{
    return VEK_Control().VEK_Command(VEK_COMMANDS(value), quint8(p[0]), quint8(p[1]), quint8(p[2]), quint8(p[3]),
                                     quint8(p[4]), quint8(p[5]), quint8(p[6]));
}

} // namespace

class TestVekCommands : public QObject
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
        QTest::addColumn<QByteArray>("expected"); // messages separated by '|'
        QTest::addColumn<bool>("moving");
        auto row = [](const char *name, VekOp op, const char *hex, bool moving = false) {
            QTest::newRow(name) << op << QByteArray(hex) << moving;
        };
        ROW(camPower(2, c), "8101040002FF"); ROW(camPower(3, c), "8101040003FF");
        MOVE(zoomTele(8, c), "8101040721FF"); MOVE(zoomTele(16, c), "8101040724FF");
        MOVE(zoomTele(24, c), "8101040727FF"); MOVE(zoomWide(24, c), "8101040737FF");
        // Other speeds send nothing and move nothing.
        for (int speed : {12, 0, 7, -8}) {
            QTest::addRow("zoomTele %d", speed)
                << VekOp([speed](vekCameraObject &o, int c) { o.zoomTele(speed, c); }) << QByteArray() << false;
            QTest::addRow("zoomWide %d", speed)
                << VekOp([speed](vekCameraObject &o, int c) { o.zoomWide(speed, c); }) << QByteArray() << false;
        }
        ROW(zoomTeleStandard(c), "8101040702FF"); ROW(zoomWideStandard(c), "8101040703FF");
        ROW(zoomStop(c), "8101040700FF");
        MOVE(panTiltLeft(9, c), "8101060109090103FF"); MOVE(panTiltRight(9, c), "8101060109090203FF");
        MOVE(panTiltUp(4, c), "8101060104040301FF"); MOVE(panTiltDown(4, c), "8101060104040302FF");
        MOVE(panTiltUpLeft(0x18, 0x14, c), "8101060118140101FF");
        MOVE(panTiltUpRight(0x18, 0x14, c), "8101060118140201FF");
        MOVE(panTiltDownLeft(0x18, 0x14, c), "8101060118140102FF");
        MOVE(panTiltDownRight(0x18, 0x14, c), "8101060118140202FF");
        ROW(panTiltStop(0x18, 0x14, c), "8101060118140303FF");
        ROW(autoFocus(c), "8101043802FF"); ROW(manualFocus(c), "8101043803FF");
        ROW(focusFar(c), "8101040802FF"); ROW(focusNear(c), "8101040803FF"); ROW(focusStop(c), "8101040800FF");
        ROW(autoWhiteBalance(c), "8101043500FF"); ROW(manualWhiteBalance(c), "8101043505FF");
        ROW(whiteBalance(c), "8101043503FF|8101041005FF");
        ROW(setRGain(0xA5, c), "8101044300000A05FF"); ROW(setBGain(0x3C, c), "810104440000030CFF");
        ROW(autoAE(c), "8101043900FF"); ROW(manualAE(c), "8101043903FF");
        ROW(iRISUp(c), "8101040B02FF"); ROW(iRISDown(c), "8101040B03FF");
        ROW(shutterDirect(0x1A, c), "8101044A0000010AFF"); ROW(shutterDirect(0x215, c), "8101044A00000105FF");
        ROW(storePtzPosition(7, c), "8101043F0107FF"); MOVE(gotoPtzPosition(7, c), "8101043F0207FF");
        ROW(presetMemSpeed(0x10, c), "81017E010B7D10FF"); ROW(setPresetMemorySpeed(3, 0x12, c), "81017E010B0312FF");
        ROW(imageFlipOn(c), "8101046602FF"); ROW(imageFlipOff(c), "8101046603FF");
        ROW(imageMirroOn(c), "8101046102FF"); ROW(imageMirroOff(c), "8101046103FF");
        ROW(setImageMirror(2, c), "8101046102FF");
        ROW(panReverseOn(c), "81017E01060001FF"); ROW(panReverseOff(c), "81017E01060000FF");
        ROW(tiltReverseOn(c), "81017E01090001FF"); ROW(tiltReverseOff(c), "81017E01090000FF");
        ROW(redTallyOn(c), "81017E010A000203FF"); ROW(greenTallyOn(c), "81017E010A000302FF");
        ROW(camTallyOff(c), "81017E010A000303FF");
        ROW(switchVideoMode(0x14, c), "810104247214FF");
        // One model cannot run 2160p29.97 and 2160p25: those codes are never sent to it.
        for (auto [model, code, refused] : {std::tuple{"410", 29, true}, {"410", 30, true}, {"410", 21, false},
                                             {"410", 31, false}, {"39c", 29, false}, {"", 30, false}}) {
            QTest::addRow("switchVideoMode(%d) to model '%s'", code, model)
                << VekOp([model = model, code = code](vekCameraObject &o, int c) {
                       o.setmodelName(QString::fromLatin1(model));
                       o.switchVideoMode(code, c);
                   })
                << (refused ? QByteArray() : "8101042472" + QByteArray::number(code, 16).rightJustified(2, '0') + "FF")
                << false;
        }
        // Inquiries: bare or framed exactly as each one is sent.
        ROW(camPowerInq(c), "81090400FF"); ROW(getSystemStatus(c), "81097E7E70FF");
        ROW(queryVersion(c), "81090002FF"); ROW(shutterPosInq(c), "00078109044AFF");
        ROW(rGain(c), "000781090443FF"); ROW(bGain(c), "000781090444FF");
        ROW(queryPanTiltMaxSpeed(c), "000781090611FF"); ROW(isTallyOn(c), "000881097E010AFF");
        ROW(isAutoFocus(c), "81090438FF"); ROW(getWhiteBalanceMode(c), "81090435FF");
        ROW(getExposureMode(c), "81090439FF"); ROW(getVideoFormat(c), "0009810904247209FF");
        // Auto-tracking.
        ROW(setAiCam(2, c), "810A115402FF"); ROW(setAiCam(3, c), "810A115403FF");
        ROW(atAutoZoomOn(c), "810A0F010201FF"); ROW(atAutoZoomOff(c), "810A0F010200FF");
        ROW(atAutoTiltOn(c), "810A0F010301FF"); ROW(atAutoTiltOff(c), "810A0F010300FF");
        ROW(atDetIdctOn(c), "810A115602FF"); ROW(atDetIdctOff(c), "810A115603FF");
        ROW(atDetIdctDefault(c), "810A115604FF");
        ROW(atOsdRmdOn(c), "810A041601FF"); ROW(atOsdRmdOff(c), "810A041600FF");
        ROW(atFullBody(c), "810A0F010000FF"); ROW(atHalfBody(c), "810A0F010001FF");
        ROW(atCloseUp(c), "810A0F010002FF"); ROW(atCustomBody(c), "810A0F010003FF");
        ROW(atFigSizeSave(0x1234, c), "810A0F010801020304FF"); ROW(atFigSizeSave(0x7FABC, c), "810A0F01080F0A0B0CFF");
        ROW(atFigSizeDefault(c), "810A0F010800000500FF");
        ROW(atSelSbjLeft(c), "810A11A302FF"); ROW(atSelSbjRight(c), "810A11A303FF");
        ROW(atSelSbjConfirm(c), "810A11A304FF");
        ROW(atPlaceLeft(c), "810A0F010700FF"); ROW(atPlaceCenter(c), "810A0F010701FF");
        ROW(atPlaceRight(c), "810A0F010702FF");
        ROW(atTrackSpeedFast(c), "810A0F010500FF"); ROW(atTrackSpeedMedium(c), "810A0F010501FF");
        ROW(atTrackSpeedSlow(c), "810A0F010502FF");
        // The two sent as whole frames.
        ROW(atTrackStartPosPreset(0x105, c), "000B810A043F02000205FF");
        ROW(atTrackRecallProfile(0x2A, c), "0009810A0F0F020AFF");
        ROW(atTrackOn(c), "810A01041C82FF"); ROW(atTrackOff(c), "810A01041C83FF");
        // Inquiries (bare, the profile number framed).
        ROW(atTrackInquire(c), "81097E1154FF"); ROW(atFigureInq(c), "81097E0A0F0100FF");
        ROW(atFigureCustSizeInq(c), "81097E0A0F0110FF"); ROW(atPlacementInq(c), "81097E0A0F0107FF");
        ROW(atSpeedInq(c), "81097E0A0F0105FF"); ROW(atDetindInq(c), "81097E0A1156FF");
        ROW(atTrackingStartPosInq(c), "81097E0A043F02FF"); ROW(atOSDInq(c), "81097E0A0416FF");
        ROW(atAutoZoomInq(c), "81097E0A0F0102FF"); ROW(atAutoTiltInq(c), "81097E0A0F0103FF");
        ROW(InquireATProfileNum(c), "000981097E0A0F0FFF");
        LAST(setAiTrackMode(0x82), "0009810A01041C02FF"); LAST(setAiTrackSpeed(2), "0009810A0F010502FF");
        LAST(setAiSelectPeoplePos(1), "0009810A0F010701FF"); LAST(setAiPeopleFrameOnOff(3), "0008810A115603FF");
        LAST(setAiTrackTiltOnOff(1), "0009810A0F010301FF"); LAST(setAiTrackZoomOnOff(0), "0009810A0F010200FF");
        LAST(setAiTrackTarget(3), "0008810A11A303FF"); LAST(setAiTrackFeatures(2), "0009810A0F010002FF");
        LAST(setAiTrackTargetSave(0x1234), "000C810A0F010801020304FF");
        LAST(setAiTrackTargetDefault(), "000C810A0F010800000500FF");
    }
    void operationBytes()
    {
        QFETCH(VekOp, op);
        QFETCH(QByteArray, expected);
        QFETCH(bool, moving);
        QList<QByteArray> messages;
        for (const QByteArray &h : expected.split('|'))
            if (!h.isEmpty())
                messages.append(QByteArray::fromHex(h));
        // The same operation on each camera reaches that camera only.
        for (int c = 0; c < 3; ++c) {
            rig_->clearReceived();
            QSignalSpy spy(&rig_->obj(), &vekCameraObject::ptzMoving);
            op(rig_->obj(), c);
            if (messages.isEmpty())
                QTest::qWait(20);
            QVERIFY(rig_->onlyCameraGot(c, messages));
            QCOMPARE(spy.count(), moving ? 1 : 0);
        }
    }

    // The builder's messages no operation sends (those are in the table
    // above), and how it places parameters: p1 (the selector where a row has
    // one) as named, the others from kP.
    void builderMessages_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("params");
        QTest::addColumn<QString>("message"); // empty: the builder gives nothing
        auto row = [](const char *name, int value, int p1, const char *message) {
            const QByteArray tag = p1 < 0 ? QByteArray(name) : name + QByteArray(" p1=") + QByteArray::number(p1, 16);
            QTest::newRow(tag.constData()) << value << params(p1) << QString::fromLatin1(message);
        };
        B(CAM_ZOOM, 0x07, "81 01 04 07 3C FF");
        B(CAM_ZOOM, 0x47, "81 01 04 47 3C 5A C3 96 FF");
        B(CAM_ZOOM, 0x08, ""); B(CAM_ZOOM, 0x00, "");
        B(CAM_ZOOM_IN, -1, "81 01 04 07 25 FF"); // no speed spills into the direction
        B(CAM_FOCUS, 0x08, "81 01 04 08 3C FF"); B(CAM_FOCUS, 0x18, "81 01 04 18 3C FF");
        B(CAM_FOCUS, 0x38, "81 01 04 38 3C FF");
        B(CAM_FOCUS, 0x48, "81 01 04 48 3C 5A C3 96 FF"); B(CAM_FOCUS, 0x28, "");
        B(CAM_WB, 0x35, "81 01 04 35 3C FF"); B(CAM_WB, 0x10, "81 01 04 10 3C FF"); B(CAM_WB, 0x36, "");
        B(CAM_RGAIN, 0x03, "81 01 04 03 3C FF"); B(CAM_RGAIN, 0x43, "81 01 04 43 00 00 3C 5A FF");
        B(CAM_RGAIN, 0x04, "");
        B(CAM_BGAIN, 0x04, "81 01 04 04 3C FF"); B(CAM_BGAIN, 0x44, "81 01 04 44 00 00 3C 5A FF");
        B(CAM_BGAIN, 0x43, "");
        B(CAM_AE, -1, "81 01 04 39 A5 FF"); B(CAM_SHUTTER, -1, "81 01 04 0A A5 FF");
        B(CAM_IRIS, 0x0B, "81 01 04 0B 3C FF"); B(CAM_IRIS, 0x4B, "81 01 04 4B 00 00 3C 5A FF");
        B(CAM_IRIS, 0x0C, "");
        B(CAM_GAIN, 0x0C, "81 01 04 0C 3C FF"); B(CAM_GAIN, 0x4C, "81 01 04 4C 00 00 3C 5A FF");
        B(CAM_GAIN, 0x0B, "");
        B(CAM_BACKLIGHT, -1, "81 01 04 33 A5 FF"); B(PTZ_POSITION, -1, "81 01 04 3F A5 3C FF");
        B(CAM_MENU, -1, "81 01 06 06 A5 FF");
        B(PT_DRIVE, 0x01, "81 01 06 01 3C 5A C3 96 FF");
        B(PT_DRIVE, 0x02, "81 01 06 02 3C 00 0A 0C 03 09 06 06 09 07 0E FF");
        B(PT_DRIVE, 0x03, "81 01 06 03 3C 00 0A 0C 03 09 06 06 09 07 0E FF");
        B(PT_DRIVE, 0x04, "81 01 06 04 FF"); B(PT_DRIVE, 0x05, "81 01 06 05 FF");
        B(PT_DRIVE, 0x06, ""); B(PT_DRIVE, 0x00, "");
        B(PT_DRIVE_UP, -1, "81 01 06 01 A5 3C 03 01 FF"); B(PTZ_PANTILT_POSITION, -1, "81 09 06 12 FF");
        B(CAM_TALLY_On, -1, "81 01 7E 01 0A 00 02 FF"); B(CAM_TALLY_Off, -1, "81 01 7E 01 0A 00 03 FF");
        B(CAM_AIInq, -1, "81 09 7E 11 54 FF");
        B(PTZ_AICAM_TRACKING_START_POS, -1, ""); B(PTZ_AICAM_TRACKING_PROMPT, -1, "");
        B(CAM_PT_SPD_RANGE, -1, "81 01 7E 01 0B 7E A5 FF"); B(CAM_AT_SUBJECTInq, -1, "81 09 7E 0A 11 A3 FF");
    }
    void builderMessages()
    {
        QFETCH(int, value);
        QFETCH(QByteArray, params);
        QFETCH(QString, message);
        const QByteArray packet = QByteArray::fromHex(message.toLatin1());
        const QByteArray framed = packet.isEmpty() ? QByteArray() : QByteArray(1, '\0') + char(packet.size() + 2) + packet;
        QCOMPARE(build(value, params).toHex(' '), framed.toHex(' '));
    }

    // Whatever the parameters, with every selector a row distinguishes.
    void frameShape()
    {
        for (int v = 0; v < VEK_COMMANDS_COUNT; ++v) {
            for (int selector : {0x01, 0x02, 0x07, 0x08, 0x35, 0x43, 0x47, 0x48, 0xFF}) {
                const QByteArray f = build(v, params(selector));
                const QByteArray where = QByteArray::number(v) + ": " + f.toHex(' ');
                QVERIFY2(f.isEmpty() || (f.size() >= 5 && f.at(0) == 0x00 && quint8(f.at(1)) == f.size()), where);
                QVERIFY2(f.isEmpty() || (quint8(f.at(2)) == 0x81 && quint8(f.back()) == 0xFF), where);
            }
        }
    }

    // The ready-made tracking messages: the same bytes as their twins among
    // the built ones, and the two start-position messages that have none.
    void atMessages()
    {
        VEK_Control b;
        const QList<QPair<AT_COMMANDS, VEK_COMMANDS>> twins{
            {AT_AUTOZOOM_ON, CAM_AT_AUTOZOOM_ON}, {AT_AUTOZOOM_OFF, CAM_AT_AUTOZOOM_OFF},
            {AT_AUTOTILT_ON, CAM_AT_AUTOTILT_ON}, {AT_AUTOTILT_OFF, CAM_AT_AUTOTILT_OFF},
            {AT_DETIDCT_ON, CAM_AT_DETECINDI_ON}, {AT_DETIDCT_OFF, CAM_AT_DETECINDI_OFF},
            {AT_DETIDCT_DEFAULT, CAM_AT_DETECINDI_DEFAULT}, {AT_OSDREMINDER_ON, CAM_AT_OSDREM_ON},
            {AT_OSDREMINDER_OFF, CAM_AT_OSDREM_OFF}, {AT_FIGSIZE_FULL, CAM_AT_FULLBODY},
            {AT_FIGSIZE_HALF, CAM_AT_HALFBODY}, {AT_FIGSIZE_CLOSEUP, CAM_AT_CLOSELOOK},
            {AT_FIGSIZE_CUSTOM, CAM_AT_CUSTOM}, {AT_FIGSIZE_DEFAULT, CAM_AT_FIGURE_Default},
            {AT_SELSUBJECT_LEFT, CAM_AT_SUBJECT_LEFT}, {AT_SELSUBJECT_RIGHT, CAM_AT_SUBJECT_RIGHT},
            {AT_SELSUBJECT_CONFIRM, CAM_AT_SUBJECT_SELECT}, {AT_PLACEMENT_LEFT, CAM_AT_PLACE_LEFT},
            {AT_PLACEMENT_CENTER, CAM_AT_PLACE_CENTER}, {AT_PLACEMENT_RIGHT, CAM_AT_PLACE_RIGHT},
            {AT_TRACKSPEED_FAST, CAM_AT_SPEED_FAST}, {AT_TRACKSPEED_MEDIUM, CAM_AT_SPEED_MID},
            {AT_TRACKSPEED_SLOW, CAM_AT_SPEED_SLOW}, {AT_TRACK_INQUIRE, CAM_AIInq}};
        // Only the figure-size message takes parameters; the others ignore them.
        for (const auto &t : twins)
            QCOMPARE(b.AT_Command(t.first, 0x0B, 0x0C, 0x0D, 0x0E).toHex(' '), b.VEK_Command(t.second).mid(2).toHex(' '));
        QCOMPARE(b.AT_Command(AT_TRACKSTART_CURR, 1, 2, 3, 4), QByteArray::fromHex("810a043f02000102ff"));
        QCOMPARE(b.AT_Command(AT_TRACKSTART_PRESET1), QByteArray::fromHex("810a043f02000100ff"));
        QCOMPARE(b.AT_Command(AT_FIGSIZE_SAVE, 1, 2, 3, 4), QByteArray::fromHex("810a0f010801020304ff"));
        // A second call does not see the first call's parameters, nor does the stored row.
        QCOMPARE(b.AT_Command(AT_FIGSIZE_SAVE).toHex(' '), QByteArray("81 0a 0f 01 08 00 00 00 00 ff"));
        const auto *stored = reinterpret_cast<const char *>(VEK_Control::atCmdTable[AT_FIGSIZE_SAVE].cmdParams);
        QCOMPARE(QByteArray(stored, 10).toHex(' '), QByteArray("81 0a 0f 01 08 00 00 00 00 ff"));
    }

    void valuesOutsideTheTables()
    {
        VEK_Control builder;
        for (int v : {122, 127, -1, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()})
            QVERIFY2(builder.VEK_Command(VEK_COMMANDS(v), 0x07, 1, 2, 3, 4, 5, 6).isEmpty(), QByteArray::number(v));
        for (int v : {29, 200, -1})
            QVERIFY(builder.AT_Command(AT_COMMANDS(v), 1, 2, 3, 4).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestVekCommands)
#include "tst_vekcommands.moc"
