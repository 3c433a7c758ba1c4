// Every camera message, byte for byte, against the command tables written
// out here by hand (not taken from the builder's own table).
#include "camera/vek_control.h"

#include <QRegularExpression>
#include <QRandomGenerator>
#include <QSet>
#include <QtTest>

namespace {

struct Row
{
    QByteArray name;
    int value;
    QByteArray params; // p1..p7
    QString message;   // bare message pattern; empty: the builder gives nothing
};

// Distinct nibbles everywhere, so a swapped or misplaced parameter shows.
const QByteArray kP = QByteArray::fromHex("A53C5AC396697E");

QByteArray sel(quint8 p1)
{
    QByteArray p = kP;
    p[0] = char(p1);
    return p;
}

// Turns "81 01 04 07 (0x20 + lo(p1)) hi(p2) p3 FF" into bytes.
QByteArray expand(const QString &pattern, const QByteArray &params)
{
    static const QRegularExpression token(
        QStringLiteral(R"(\(0x([0-9A-F]{2}) \+ (hi|lo)\(p([1-7])\)\)|(hi|lo)\(p([1-7])\)|p([1-7])|([0-9A-F]{2}))"));
    const auto param = [&](const QString &n) { return quint8(params.at(n.toInt() - 1)); };
    QByteArray out;
    auto it = token.globalMatch(pattern);
    int consumed = 0;
    while (it.hasNext()) {
        const auto m = it.next();
        if (!pattern.mid(consumed, m.capturedStart() - consumed).trimmed().isEmpty())
            qFatal("unparsed text in pattern: %s", qPrintable(pattern));
        consumed = m.capturedEnd();
        quint8 b;
        if (!m.captured(1).isEmpty()) {
            const quint8 p = param(m.captured(3));
            b = quint8(m.captured(1).toInt(nullptr, 16) + (m.captured(2) == "hi" ? p >> 4 : p & 0x0F));
        } else if (!m.captured(4).isEmpty()) {
            const quint8 p = param(m.captured(5));
            b = m.captured(4) == "hi" ? quint8(p >> 4) : quint8(p & 0x0F);
        } else if (!m.captured(6).isEmpty()) {
            b = param(m.captured(6));
        } else {
            b = quint8(m.captured(7).toInt(nullptr, 16));
        }
        out.append(char(b));
    }
    if (!pattern.mid(consumed).trimmed().isEmpty())
        qFatal("unparsed text in pattern: %s", qPrintable(pattern));
    return out;
}

QList<Row> vekRows()
{
    QList<Row> rows;
    const auto vekRow = [&rows](const char *name, int value, const QByteArray &params, const char *message) {
        rows.append({name, value, params, QString::fromLatin1(message)});
    };
    vekRow("CAM_POWER", 0, kP, "81 01 04 00 p1 FF");
    vekRow("CAM_POWER_INQ", 1, kP, "81 09 04 00 FF");
    vekRow("CAM_ZOOM p1=07", 2, sel(0x07), "81 01 04 07 p2 FF");
    vekRow("CAM_ZOOM p1=47", 2, sel(0x47), "81 01 04 47 p2 p3 p4 p5 FF");
    vekRow("CAM_ZOOM p1=other", 2, sel(0x08), "");
    vekRow("CAM_ZOOM p1=00", 2, sel(0x00), "");
    vekRow("CAM_ZOOM_IN", 3, kP, "81 01 04 07 (0x20 + lo(p1)) FF");
    vekRow("CAM_ZOOM_OUT", 4, kP, "81 01 04 07 (0x30 + lo(p1)) FF");
    vekRow("CAM_ZOOM_IN_STANDARD", 5, kP, "81 01 04 07 02 FF");
    vekRow("CAM_ZOOM_OUT_STANDARD", 6, kP, "81 01 04 07 03 FF");
    vekRow("CAM_ZOOM_STOP", 7, kP, "81 01 04 07 00 FF");
    vekRow("CAM_FOCUS p1=08", 8, sel(0x08), "81 01 04 p1 p2 FF");
    vekRow("CAM_FOCUS p1=18", 8, sel(0x18), "81 01 04 p1 p2 FF");
    vekRow("CAM_FOCUS p1=38", 8, sel(0x38), "81 01 04 p1 p2 FF");
    vekRow("CAM_FOCUS p1=48", 8, sel(0x48), "81 01 04 48 p2 p3 p4 p5 FF");
    vekRow("CAM_FOCUS p1=other", 8, sel(0x28), "");
    vekRow("CAM_FOCUS_AUTO", 9, kP, "81 01 04 38 02 FF");
    vekRow("CAM_FOCUS_MANUAL", 10, kP, "81 01 04 38 03 FF");
    vekRow("CAM_FOCUS_FAR", 11, kP, "81 01 04 08 02 FF");
    vekRow("CAM_FOCUS_NEAR", 12, kP, "81 01 04 08 03 FF");
    vekRow("CAM_FOCUS_STOP", 13, kP, "81 01 04 08 00 FF");
    vekRow("CAM_WB p1=35", 14, sel(0x35), "81 01 04 p1 p2 FF");
    vekRow("CAM_WB p1=10", 14, sel(0x10), "81 01 04 p1 p2 FF");
    vekRow("CAM_WB p1=other", 14, sel(0x36), "");
    vekRow("CAM_WB_AUTO", 15, kP, "81 01 04 35 00 FF");
    vekRow("CAM_WB_MANUAL", 16, kP, "81 01 04 35 05 FF");
    vekRow("CAM_WB_ONEPUSH_MODE", 17, kP, "81 01 04 35 03 FF");
    vekRow("CAM_WB_ONEPUSH_TRIGGER", 18, kP, "81 01 04 10 05 FF");
    vekRow("CAM_RGAIN p1=03", 19, sel(0x03), "81 01 04 03 p2 FF");
    vekRow("CAM_RGAIN p1=43", 19, sel(0x43), "81 01 04 43 00 00 p2 p3 FF");
    vekRow("CAM_RGAIN p1=other", 19, sel(0x04), "");
    vekRow("CAM_BGAIN p1=04", 20, sel(0x04), "81 01 04 04 p2 FF");
    vekRow("CAM_BGAIN p1=44", 20, sel(0x44), "81 01 04 44 00 00 p2 p3 FF");
    vekRow("CAM_BGAIN p1=other", 20, sel(0x43), "");
    vekRow("CAM_RGAIN_Direct", 21, kP, "81 01 04 43 00 00 hi(p1) lo(p1) FF");
    vekRow("CAM_BGAIN_Direct", 22, kP, "81 01 04 44 00 00 hi(p1) lo(p1) FF");
    vekRow("CAM_AE", 23, kP, "81 01 04 39 p1 FF");
    vekRow("CAM_AE_AUTO", 24, kP, "81 01 04 39 00 FF");
    vekRow("CAM_AE_MANUAL", 25, kP, "81 01 04 39 03 FF");
    vekRow("CAM_IRIS_UP", 26, kP, "81 01 04 0B 02 FF");
    vekRow("CAM_IRIS_DOWN", 27, kP, "81 01 04 0B 03 FF");
    vekRow("CAM_SHUTTER", 28, kP, "81 01 04 0A p1 FF");
    vekRow("CAM_IRIS p1=0B", 29, sel(0x0B), "81 01 04 0B p2 FF");
    vekRow("CAM_IRIS p1=4B", 29, sel(0x4B), "81 01 04 4B 00 00 p2 p3 FF");
    vekRow("CAM_IRIS p1=other", 29, sel(0x0C), "");
    vekRow("CAM_GAIN p1=0C", 30, sel(0x0C), "81 01 04 0C p2 FF");
    vekRow("CAM_GAIN p1=4C", 30, sel(0x4C), "81 01 04 4C 00 00 p2 p3 FF");
    vekRow("CAM_GAIN p1=other", 30, sel(0x0B), "");
    vekRow("CAM_BACKLIGHT", 31, kP, "81 01 04 33 p1 FF");
    vekRow("PTZ_POSITION", 32, kP, "81 01 04 3F p1 p2 FF");
    vekRow("PTZ_POSITION_SET", 33, kP, "81 01 04 3F 01 p1 FF");
    vekRow("PTZ_POSITION_RECALL", 34, kP, "81 01 04 3F 02 p1 FF");
    vekRow("PTZ_POSITION_PRESET_M_SPEED", 35, kP, "81 01 7E 01 0B 7D p1 FF");
    vekRow("CAM_MENU", 36, kP, "81 01 06 06 p1 FF");
    vekRow("PT_DRIVE p1=01", 37, sel(0x01), "81 01 06 01 p2 p3 p4 p5 FF");
    vekRow("PT_DRIVE p1=02", 37, sel(0x02), "81 01 06 p1 p2 00 lo(p3) hi(p4) lo(p4) hi(p5) lo(p5) hi(p6) lo(p6) hi(p7) lo(p7) FF");
    vekRow("PT_DRIVE p1=03", 37, sel(0x03), "81 01 06 p1 p2 00 lo(p3) hi(p4) lo(p4) hi(p5) lo(p5) hi(p6) lo(p6) hi(p7) lo(p7) FF");
    vekRow("PT_DRIVE p1=04", 37, sel(0x04), "81 01 06 p1 FF");
    vekRow("PT_DRIVE p1=05", 37, sel(0x05), "81 01 06 p1 FF");
    vekRow("PT_DRIVE p1=06", 37, sel(0x06), "");
    vekRow("PT_DRIVE p1=00", 37, sel(0x00), "");
    vekRow("PT_DRIVE_UP", 38, kP, "81 01 06 01 p1 p2 03 01 FF");
    vekRow("PT_DRIVE_DOWN", 39, kP, "81 01 06 01 p1 p2 03 02 FF");
    vekRow("PT_DRIVE_LEFT", 40, kP, "81 01 06 01 p1 p2 01 03 FF");
    vekRow("PT_DRIVE_RIGHT", 41, kP, "81 01 06 01 p1 p2 02 03 FF");
    vekRow("PT_DRIVE_UPLEFT", 42, kP, "81 01 06 01 p1 p2 01 01 FF");
    vekRow("PT_DRIVE_UPRIGHT", 43, kP, "81 01 06 01 p1 p2 02 01 FF");
    vekRow("PT_DRIVE_DOWNLEFT", 44, kP, "81 01 06 01 p1 p2 01 02 FF");
    vekRow("PT_DRIVE_DOWNRIGHT", 45, kP, "81 01 06 01 p1 p2 02 02 FF");
    vekRow("PT_DRIVE_STOP", 46, kP, "81 01 06 01 p1 p2 03 03 FF");
    vekRow("PTZ_PANTILT_POSITION", 47, kP, "81 09 06 12 FF");
    vekRow("CAM_IMGFLIP", 48, kP, "81 01 04 66 p1 FF");
    vekRow("CAM_IMGMIRROR", 49, kP, "81 01 04 61 p1 FF");
    vekRow("CAM_PAN_REVERSE", 50, kP, "81 01 7E 01 06 00 p1 FF");
    vekRow("CAM_TILT_REVERSE", 51, kP, "81 01 7E 01 09 00 p1 FF");
    vekRow("CAM_TALLY_On", 52, kP, "81 01 7E 01 0A 00 02 FF");
    vekRow("CAM_TALLY_Off", 53, kP, "81 01 7E 01 0A 00 03 FF");
    vekRow("Cam_Dual_Tally", 54, kP, "81 01 7E 01 0A 00 p1 p2 FF");
    vekRow("CAM_PT_M_SPEED", 55, kP, "81 01 7E 01 0B p1 p2 FF");
    vekRow("CAM_VIDEO_MODE", 56, kP, "81 01 04 24 72 p1 FF");
    vekRow("CAM_FocusModeInq", 57, kP, "81 09 04 38 FF");
    vekRow("CAM_WBModeInq", 58, kP, "81 09 04 35 FF");
    vekRow("CAM_AEModeInq", 59, kP, "81 09 04 39 FF");
    vekRow("CAM_RGAINInq", 60, kP, "81 09 04 43 FF");
    vekRow("CAM_BGAINInq", 61, kP, "81 09 04 44 FF");
    vekRow("CAM_TALLYInq", 62, kP, "81 09 7E 01 0A FF");
    vekRow("CAM_VersionInq", 63, kP, "81 09 00 02 FF");
    vekRow("CAM_PTZ_Max_Speed", 64, kP, "81 09 06 11 FF");
    vekRow("CAM_SYSTEMSTATUS", 65, kP, "81 09 7E 7E 70 FF");
    vekRow("PTZ_AICAM_ONOFF", 66, kP, "81 0A 11 54 lo(p1) FF");
    vekRow("CAM_AIInq", 67, kP, "81 09 7E 11 54 FF");
    vekRow("PTZ_AICAM_QUERY", 68, kP, "81 09 7E 11 54 FF");
    vekRow("PTZ_AICAM_ZOOM_ONOFF", 69, kP, "81 0A 0F 01 02 lo(p1) FF");
    vekRow("PTZ_AICAM_TILT_ONOFF", 70, kP, "81 0A 0F 01 03 lo(p1) FF");
    vekRow("PTZ_AICAM_PEOPLE_FRAME_ONOFF", 71, kP, "81 0A 11 56 lo(p1) FF");
    vekRow("PTZ_AICAM_TRACKING_START_POS", 72, kP, "");
    vekRow("PTZ_AICAM_TRACKING_PROMPT", 73, kP, "");
    vekRow("PTZ_AICAM_TRACKING_MODE", 74, kP, "81 0A 01 04 1C lo(p1) FF");
    vekRow("PTZ_AICAM_TRACK_FEATURES", 75, kP, "81 0A 0F 01 00 lo(p1) FF");
    vekRow("PTZ_AICAM_TRACK_FEATURES_SAVE", 76, kP, "81 0A 0F 01 08 hi(p1) lo(p1) hi(p2) lo(p2) FF");
    vekRow("PTZ_AICAM_TRACK_FEATURES_DEFAULT", 77, kP, "81 0A 0F 01 08 00 00 05 00 FF");
    vekRow("PTZ_AICAM_SELECT_TARGET", 78, kP, "81 0A 11 A3 lo(p1) FF");
    vekRow("PTZ_AICAM_SELECT_PEOPLE_POS", 79, kP, "81 0A 0F 01 07 lo(p1) FF");
    vekRow("PTZ_AICAM_TRACK_SPEED", 80, kP, "81 0A 0F 01 05 lo(p1) FF");
    vekRow("CAM_VIDEO_MODEInq", 81, kP, "81 09 04 24 72 09 FF");
    vekRow("CAM_SHUTTER_Direct", 82, kP, "81 01 04 4A 00 00 p1 p2 FF");
    vekRow("CAM_SHUTTER_PosInq", 83, kP, "81 09 04 4A FF");
    vekRow("CAM_AT_FULLBODY", 84, kP, "81 0A 0F 01 00 00 FF");
    vekRow("CAM_AT_HALFBODY", 85, kP, "81 0A 0F 01 00 01 FF");
    vekRow("CAM_AT_CLOSELOOK", 86, kP, "81 0A 0F 01 00 02 FF");
    vekRow("CAM_AT_CUSTOM", 87, kP, "81 0A 0F 01 00 03 FF");
    vekRow("CAM_PT_SPD_RANGE", 88, kP, "81 01 7E 01 0B 7E p1 FF");
    vekRow("CAM_AT_FIGUREInq", 89, kP, "81 09 7E 0A 0F 01 00 FF");
    vekRow("CAM_AT_FIGURE_CUSTSIZE_Inq", 90, kP, "81 09 7E 0A 0F 01 10 FF");
    vekRow("CAM_AT_FIGURE_SAVE", 91, kP, "81 0A 0F 01 08 p1 p2 p3 p4 FF");
    vekRow("CAM_AT_FIGURE_Default", 92, kP, "81 0A 0F 01 08 00 00 05 00 FF");
    vekRow("CAM_AT_SUBJECT_LEFT", 93, kP, "81 0A 11 A3 02 FF");
    vekRow("CAM_AT_SUBJECT_RIGHT", 94, kP, "81 0A 11 A3 03 FF");
    vekRow("CAM_AT_SUBJECT_SELECT", 95, kP, "81 0A 11 A3 04 FF");
    vekRow("CAM_AT_SUBJECTInq", 96, kP, "81 09 7E 0A 11 A3 FF");
    vekRow("CAM_AT_PLACE_LEFT", 97, kP, "81 0A 0F 01 07 00 FF");
    vekRow("CAM_AT_PLACE_CENTER", 98, kP, "81 0A 0F 01 07 01 FF");
    vekRow("CAM_AT_PLACE_RIGHT", 99, kP, "81 0A 0F 01 07 02 FF");
    vekRow("CAM_AT_PLACEInq", 100, kP, "81 09 7E 0A 0F 01 07 FF");
    vekRow("CAM_AT_SPEED_FAST", 101, kP, "81 0A 0F 01 05 00 FF");
    vekRow("CAM_AT_SPEED_MID", 102, kP, "81 0A 0F 01 05 01 FF");
    vekRow("CAM_AT_SPEED_SLOW", 103, kP, "81 0A 0F 01 05 02 FF");
    vekRow("CAM_AT_RECALL_PROFILE", 104, kP, "81 0A 0F 0F p1 p2 FF");
    vekRow("CAM_AT_SPEEDInq", 105, kP, "81 09 7E 0A 0F 01 05 FF");
    vekRow("CAM_AT_OSDREM_ON", 106, kP, "81 0A 04 16 01 FF");
    vekRow("CAM_AT_OSDREM_OFF", 107, kP, "81 0A 04 16 00 FF");
    vekRow("CAM_AT_OSDREMInq", 108, kP, "81 09 7E 0A 04 16 FF");
    vekRow("CAM_AT_AUTOZOOM_ON", 109, kP, "81 0A 0F 01 02 01 FF");
    vekRow("CAM_AT_AUTOZOOM_OFF", 110, kP, "81 0A 0F 01 02 00 FF");
    vekRow("CAM_AT_AUTOZOOMInq", 111, kP, "81 09 7E 0A 0F 01 02 FF");
    vekRow("CAM_AT_AUTOTILT_ON", 112, kP, "81 0A 0F 01 03 01 FF");
    vekRow("CAM_AT_AUTOTILT_OFF", 113, kP, "81 0A 0F 01 03 00 FF");
    vekRow("CAM_AT_AUTOTILTInq", 114, kP, "81 09 7E 0A 0F 01 03 FF");
    vekRow("CAM_AT_DETECINDI_ON", 115, kP, "81 0A 11 56 02 FF");
    vekRow("CAM_AT_DETECINDI_OFF", 116, kP, "81 0A 11 56 03 FF");
    vekRow("CAM_AT_DETECINDI_DEFAULT", 117, kP, "81 0A 11 56 04 FF");
    vekRow("CAM_AT_DETECINDIInq", 118, kP, "81 09 7E 0A 11 56 FF");
    vekRow("CAM_AT_STARTPOS_PRESET", 119, kP, "81 0A 04 3F 02 00 02 p1 FF");
    vekRow("CAM_AT_STARTPOSInq", 120, kP, "81 09 7E 0A 04 3F 02 FF");
    vekRow("CAM_AT_PROFILE_Num_Inq", 121, kP, "81 09 7E 0A 0F 0F FF");
    return rows;
}

struct AtRow
{
    QByteArray name;
    int value;
    int length;
    QString message;
};

QList<AtRow> atRows()
{
    QList<AtRow> rows;
    const auto atRow = [&rows](const char *name, int value, int length, const char *message) {
        rows.append({name, value, length, QString::fromLatin1(message)});
    };
    atRow("AT_TRACKFUNC_ON", 0, 7, "81 0A 01 04 1C 82 FF");
    atRow("AT_TRACKFUNC_OFF", 1, 7, "81 0A 01 04 1C 83 FF");
    atRow("AT_AUTOZOOM_ON", 2, 7, "81 0A 0F 01 02 01 FF");
    atRow("AT_AUTOZOOM_OFF", 3, 7, "81 0A 0F 01 02 00 FF");
    atRow("AT_AUTOTILT_ON", 4, 7, "81 0A 0F 01 03 01 FF");
    atRow("AT_AUTOTILT_OFF", 5, 7, "81 0A 0F 01 03 00 FF");
    atRow("AT_DETIDCT_ON", 6, 6, "81 0A 11 56 02 FF");
    atRow("AT_DETIDCT_OFF", 7, 6, "81 0A 11 56 03 FF");
    atRow("AT_DETIDCT_DEFAULT", 8, 6, "81 0A 11 56 04 FF");
    atRow("AT_TRACKSTART_CURR", 9, 9, "81 0A 04 3F 02 00 01 02 FF");
    atRow("AT_TRACKSTART_PRESET1", 10, 9, "81 0A 04 3F 02 00 01 00 FF");
    atRow("AT_OSDREMINDER_ON", 11, 6, "81 0A 04 16 01 FF");
    atRow("AT_OSDREMINDER_OFF", 12, 6, "81 0A 04 16 00 FF");
    atRow("AT_FIGSIZE_FULL", 13, 7, "81 0A 0F 01 00 00 FF");
    atRow("AT_FIGSIZE_HALF", 14, 7, "81 0A 0F 01 00 01 FF");
    atRow("AT_FIGSIZE_CLOSEUP", 15, 7, "81 0A 0F 01 00 02 FF");
    atRow("AT_FIGSIZE_CUSTOM", 16, 7, "81 0A 0F 01 00 03 FF");
    atRow("AT_FIGSIZE_SAVE", 17, 10, "81 0A 0F 01 08 p1 p2 p3 p4 FF");
    atRow("AT_FIGSIZE_DEFAULT", 18, 10, "81 0A 0F 01 08 00 00 05 00 FF");
    atRow("AT_SELSUBJECT_LEFT", 19, 6, "81 0A 11 A3 02 FF");
    atRow("AT_SELSUBJECT_RIGHT", 20, 6, "81 0A 11 A3 03 FF");
    atRow("AT_SELSUBJECT_CONFIRM", 21, 6, "81 0A 11 A3 04 FF");
    atRow("AT_PLACEMENT_LEFT", 22, 7, "81 0A 0F 01 07 00 FF");
    atRow("AT_PLACEMENT_CENTER", 23, 7, "81 0A 0F 01 07 01 FF");
    atRow("AT_PLACEMENT_RIGHT", 24, 7, "81 0A 0F 01 07 02 FF");
    atRow("AT_TRACKSPEED_FAST", 25, 7, "81 0A 0F 01 05 00 FF");
    atRow("AT_TRACKSPEED_MEDIUM", 26, 7, "81 0A 0F 01 05 01 FF");
    atRow("AT_TRACKSPEED_SLOW", 27, 7, "81 0A 0F 01 05 02 FF");
    atRow("AT_TRACK_INQUIRE", 28, 6, "81 09 7E 11 54 FF");
    return rows;
}

} // namespace

class TestVekCommands : public QObject
{
    Q_OBJECT
private slots:
    void vekMessages_data();
    void vekMessages();
    void everyCommandHasARow();
    void knownFrames_data();
    void knownFrames();
    void frameShape();
    void valuesOutsideTheTable_data();
    void valuesOutsideTheTable();
    void atMessages_data();
    void atMessages();
    void atTableRows();
    void atFigureSizeCarriesItsNibbles();
    void atUnknownValue_data();
    void atUnknownValue();

private:
    VEK_Control builder;
};

void TestVekCommands::vekMessages_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("params");
    QTest::addColumn<QString>("message");
    for (const Row &r : vekRows())
        QTest::newRow(r.name.constData()) << r.value << r.params << r.message;
}

void TestVekCommands::vekMessages()
{
    QFETCH(int, value);
    QFETCH(QByteArray, params);
    QFETCH(QString, message);
    QCOMPARE(params.size(), 7);
    const QByteArray got = builder.VEK_Command(VEK_COMMANDS(value), quint8(params[0]), quint8(params[1]),
                                               quint8(params[2]), quint8(params[3]), quint8(params[4]),
                                               quint8(params[5]), quint8(params[6]));
    QByteArray expected;
    if (!message.isEmpty()) {
        const QByteArray packet = expand(message, params);
        expected = QByteArray(1, '\0') + char(packet.size() + 2) + packet;
    }
    QCOMPARE(got.toHex(' '), expected.toHex(' '));
}

void TestVekCommands::everyCommandHasARow()
{
    QSet<int> seen;
    for (const Row &r : vekRows())
        seen.insert(r.value);
    QCOMPARE(seen.size(), 122);
    for (int v = 0; v < 122; ++v)
        QVERIFY2(seen.contains(v), qPrintable(QString::number(v)));
}

void TestVekCommands::knownFrames_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("params");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("power on") << int(CAM_POWER) << QByteArray::fromHex("02") << QByteArray::fromHex("00 08 81 01 04 00 02 FF");
    QTest::newRow("red gain direct A5") << int(CAM_RGAIN_Direct) << QByteArray::fromHex("A5")
                                        << QByteArray::fromHex("000B8101044300000A05FF");
    QTest::newRow("zoom in speed 17: low nibble only") << int(CAM_ZOOM_IN) << QByteArray::fromHex("17")
                                                       << QByteArray::fromHex("00 08 81 01 04 07 27 FF");
    QTest::newRow("zoom out speed 0F") << int(CAM_ZOOM_OUT) << QByteArray::fromHex("0F")
                                       << QByteArray::fromHex("00 08 81 01 04 07 3F FF");
    QTest::newRow("pan-tilt drive 06") << int(PT_DRIVE) << QByteArray::fromHex("06") << QByteArray();
    QTest::newRow("tracking prompt") << int(PTZ_AICAM_TRACKING_PROMPT) << QByteArray() << QByteArray();
    QTest::newRow("tracking start pos") << int(PTZ_AICAM_TRACKING_START_POS) << QByteArray() << QByteArray();
    QTest::newRow("speed range: frame length 10") << int(CAM_PT_SPD_RANGE) << QByteArray::fromHex("05")
                                                  << QByteArray::fromHex("000A81017E010B7E05FF");
    QTest::newRow("dual tally red") << int(Cam_Dual_Tally) << QByteArray::fromHex("0203")
                                    << QByteArray::fromHex("000B81017E010A000203FF");
    QTest::newRow("figure size save 1234") << int(CAM_AT_FIGURE_SAVE) << QByteArray::fromHex("01020304")
                                           << QByteArray::fromHex("000C810A0F010801020304FF");
    QTest::newRow("recall profile 2A") << int(CAM_AT_RECALL_PROFILE) << QByteArray::fromHex("020A")
                                       << QByteArray::fromHex("0009810A0F0F020AFF");
    QTest::newRow("tracking features save 1234") << int(PTZ_AICAM_TRACK_FEATURES_SAVE)
                                                 << QByteArray::fromHex("1234")
                                                 << QByteArray::fromHex("000C810A0F010801020304FF");
    QTest::newRow("ai cam on: low nibble") << int(PTZ_AICAM_ONOFF) << QByteArray::fromHex("F2")
                                           << QByteArray::fromHex("0008810A115402FF");
    QTest::newRow("shutter position inquiry") << int(CAM_SHUTTER_PosInq) << QByteArray()
                                              << QByteArray::fromHex("00 07 81 09 04 4A FF");
}

void TestVekCommands::knownFrames()
{
    QFETCH(int, value);
    QFETCH(QByteArray, params);
    QFETCH(QByteArray, frame);
    QByteArray p = params;
    p.resize(7);
    for (int i = params.size(); i < 7; ++i)
        p[i] = 0;
    const QByteArray got = builder.VEK_Command(VEK_COMMANDS(value), quint8(p[0]), quint8(p[1]), quint8(p[2]),
                                               quint8(p[3]), quint8(p[4]), quint8(p[5]), quint8(p[6]));
    QCOMPARE(got.toHex(' '), frame.toHex(' '));
}

void TestVekCommands::frameShape()
{
    QRandomGenerator rng(20240611);
    for (int v = 0; v < 122; ++v) {
        for (int round = 0; round < 64; ++round) {
            quint8 p[7];
            for (quint8 &b : p)
                b = quint8(rng.bounded(256));
            if (round < 8)
                p[0] = quint8(QList<int>{0x01, 0x02, 0x07, 0x08, 0x35, 0x43, 0x47, 0x48}.at(round));
            const QByteArray f = builder.VEK_Command(VEK_COMMANDS(v), p[0], p[1], p[2], p[3], p[4], p[5], p[6]);
            if (f.isEmpty())
                continue;
            const QString where = QStringLiteral("value %1: %2").arg(v).arg(QString::fromLatin1(f.toHex(' ')));
            QVERIFY2(f.size() >= 5, qPrintable(where));
            QVERIFY2(f.at(0) == 0x00, qPrintable(where));
            QVERIFY2(quint8(f.at(1)) == f.size(), qPrintable(where));
            QVERIFY2(quint8(f.at(2)) == 0x81, qPrintable(where));
            QVERIFY2(quint8(f.back()) == 0xFF, qPrintable(where));
        }
    }
}

void TestVekCommands::valuesOutsideTheTable_data()
{
    QTest::addColumn<int>("value");
    QTest::newRow("122") << 122;
    QTest::newRow("127") << 127;
    QTest::newRow("-1") << -1;
    QTest::newRow("int max") << std::numeric_limits<int>::max();
    QTest::newRow("int min") << std::numeric_limits<int>::min();
}

void TestVekCommands::valuesOutsideTheTable()
{
    QFETCH(int, value);
    QVERIFY(builder.VEK_Command(VEK_COMMANDS(value), 0x07, 1, 2, 3, 4, 5, 6).isEmpty());
}

void TestVekCommands::atMessages_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("message");
    for (const AtRow &r : atRows())
        QTest::newRow(r.name.constData()) << r.value << r.length << r.message;
}

void TestVekCommands::atMessages()
{
    QFETCH(int, value);
    QFETCH(int, length);
    QFETCH(QString, message);
    // Only the figure-size row takes parameters; the others must ignore them.
    const QByteArray params = QByteArray::fromHex("0B0C0D0E000000");
    const QByteArray got = builder.AT_Command(AT_COMMANDS(value), 0x0B, 0x0C, 0x0D, 0x0E);
    const QByteArray expected = expand(message, params);
    QCOMPARE(expected.size(), length);
    QCOMPARE(got.toHex(' '), expected.toHex(' '));
}

void TestVekCommands::atTableRows()
{
    const QList<AtRow> rows = atRows();
    QCOMPARE(rows.size(), 29);
    for (int i = 0; i < 29; ++i) {
        const atCmdQueue &row = VEK_Control::atCmdTable[i];
        QCOMPARE(int(row.cmdIndex), i);
        QCOMPARE(int(row.cmdLen), rows.at(i).length);
        QVERIFY(row.cmdLen <= 11);
        // The padding after the message stays zero.
        for (int b = row.cmdLen; b < 11; ++b)
            QCOMPARE(int(row.cmdParams[b]), 0);
    }
    // The stored figure-size row carries zeros where the parameters go.
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(VEK_Control::atCmdTable[AT_FIGSIZE_SAVE].cmdParams), 10).toHex(' '),
             QByteArray("81 0a 0f 01 08 00 00 00 00 ff"));
}

void TestVekCommands::atFigureSizeCarriesItsNibbles()
{
    QCOMPARE(builder.AT_Command(AT_FIGSIZE_SAVE, 1, 2, 3, 4).toHex(' '), QByteArray("81 0a 0f 01 08 01 02 03 04 ff"));
    // A second call does not see the first call's parameters.
    QCOMPARE(builder.AT_Command(AT_FIGSIZE_SAVE).toHex(' '), QByteArray("81 0a 0f 01 08 00 00 00 00 ff"));
    QCOMPARE(builder.AT_Command(AT_TRACKFUNC_ON).toHex(' '), QByteArray("81 0a 01 04 1c 82 ff"));
    QCOMPARE(builder.AT_Command(AT_TRACKFUNC_OFF).toHex(' '), QByteArray("81 0a 01 04 1c 83 ff"));
}

void TestVekCommands::atUnknownValue_data()
{
    QTest::addColumn<int>("value");
    QTest::newRow("29") << 29;
    QTest::newRow("200") << 200;
    QTest::newRow("-1") << -1;
}

void TestVekCommands::atUnknownValue()
{
    QFETCH(int, value);
    QTest::ignoreMessage(QtWarningMsg,
                         qPrintable(QStringLiteral("[vek_control] AT command failed, command: %1").arg(value)));
    QVERIFY(builder.AT_Command(AT_COMMANDS(value), 1, 2, 3, 4).isEmpty());
}

QTEST_GUILESS_MAIN(TestVekCommands)
#include "tst_vekcommands.moc"
