#pragma once

#include <QByteArray>
#include <QObject>

// The VISCA messages the panel sends to its PTZ cameras. Every camera sits
// alone on its own line at address 1, so every message begins with 0x81.
// Values are fixed by the wire protocol's command table: append only.
enum VEK_COMMANDS : int {
    CAM_POWER = 0,
    CAM_POWER_INQ,
    CAM_ZOOM,
    CAM_ZOOM_IN,
    CAM_ZOOM_OUT,
    CAM_ZOOM_IN_STANDARD,
    CAM_ZOOM_OUT_STANDARD,
    CAM_ZOOM_STOP,
    CAM_FOCUS,
    CAM_FOCUS_AUTO,
    CAM_FOCUS_MANUAL, // 10
    CAM_FOCUS_FAR,
    CAM_FOCUS_NEAR,
    CAM_FOCUS_STOP,
    CAM_WB,
    CAM_WB_AUTO,
    CAM_WB_MANUAL,
    CAM_WB_ONEPUSH_MODE,
    CAM_WB_ONEPUSH_TRIGGER,
    CAM_RGAIN,
    CAM_BGAIN, // 20
    CAM_RGAIN_Direct,
    CAM_BGAIN_Direct,
    CAM_AE,
    CAM_AE_AUTO,
    CAM_AE_MANUAL,
    CAM_IRIS_UP,
    CAM_IRIS_DOWN,
    CAM_SHUTTER,
    CAM_IRIS,
    CAM_GAIN, // 30
    CAM_BACKLIGHT,
    PTZ_POSITION,
    PTZ_POSITION_SET,
    PTZ_POSITION_RECALL,
    PTZ_POSITION_PRESET_M_SPEED,
    CAM_MENU,
    PT_DRIVE,
    PT_DRIVE_UP,
    PT_DRIVE_DOWN,
    PT_DRIVE_LEFT, // 40
    PT_DRIVE_RIGHT,
    PT_DRIVE_UPLEFT,
    PT_DRIVE_UPRIGHT,
    PT_DRIVE_DOWNLEFT,
    PT_DRIVE_DOWNRIGHT,
    PT_DRIVE_STOP,
    PTZ_PANTILT_POSITION,
    CAM_IMGFLIP,
    CAM_IMGMIRROR,
    CAM_PAN_REVERSE, // 50
    CAM_TILT_REVERSE,
    CAM_TALLY_On,
    CAM_TALLY_Off,
    Cam_Dual_Tally,
    CAM_PT_M_SPEED,
    CAM_VIDEO_MODE,
    CAM_FocusModeInq,
    CAM_WBModeInq,
    CAM_AEModeInq,
    CAM_RGAINInq, // 60
    CAM_BGAINInq,
    CAM_TALLYInq,
    CAM_VersionInq,
    CAM_PTZ_Max_Speed,
    CAM_SYSTEMSTATUS,
    PTZ_AICAM_ONOFF,
    CAM_AIInq,
    PTZ_AICAM_QUERY,
    PTZ_AICAM_ZOOM_ONOFF,
    PTZ_AICAM_TILT_ONOFF, // 70
    PTZ_AICAM_PEOPLE_FRAME_ONOFF,
    PTZ_AICAM_TRACKING_START_POS,
    PTZ_AICAM_TRACKING_PROMPT,
    PTZ_AICAM_TRACKING_MODE,
    PTZ_AICAM_TRACK_FEATURES,
    PTZ_AICAM_TRACK_FEATURES_SAVE,
    PTZ_AICAM_TRACK_FEATURES_DEFAULT,
    PTZ_AICAM_SELECT_TARGET,
    PTZ_AICAM_SELECT_PEOPLE_POS,
    PTZ_AICAM_TRACK_SPEED, // 80
    CAM_VIDEO_MODEInq,
    CAM_SHUTTER_Direct,
    CAM_SHUTTER_PosInq,
    CAM_AT_FULLBODY,
    CAM_AT_HALFBODY,
    CAM_AT_CLOSELOOK,
    CAM_AT_CUSTOM,
    CAM_PT_SPD_RANGE,
    CAM_AT_FIGUREInq,
    CAM_AT_FIGURE_CUSTSIZE_Inq, // 90
    CAM_AT_FIGURE_SAVE,
    CAM_AT_FIGURE_Default,
    CAM_AT_SUBJECT_LEFT,
    CAM_AT_SUBJECT_RIGHT,
    CAM_AT_SUBJECT_SELECT,
    CAM_AT_SUBJECTInq,
    CAM_AT_PLACE_LEFT,
    CAM_AT_PLACE_CENTER,
    CAM_AT_PLACE_RIGHT,
    CAM_AT_PLACEInq, // 100
    CAM_AT_SPEED_FAST,
    CAM_AT_SPEED_MID,
    CAM_AT_SPEED_SLOW,
    CAM_AT_RECALL_PROFILE,
    CAM_AT_SPEEDInq,
    CAM_AT_OSDREM_ON,
    CAM_AT_OSDREM_OFF,
    CAM_AT_OSDREMInq,
    CAM_AT_AUTOZOOM_ON,
    CAM_AT_AUTOZOOM_OFF, // 110
    CAM_AT_AUTOZOOMInq,
    CAM_AT_AUTOTILT_ON,
    CAM_AT_AUTOTILT_OFF,
    CAM_AT_AUTOTILTInq,
    CAM_AT_DETECINDI_ON,
    CAM_AT_DETECINDI_OFF,
    CAM_AT_DETECINDI_DEFAULT,
    CAM_AT_DETECINDIInq,
    CAM_AT_STARTPOS_PRESET,
    CAM_AT_STARTPOSInq, // 120
    CAM_AT_PROFILE_Num_Inq,
};
constexpr int VEK_COMMANDS_COUNT = 122;

// The auto-tracking messages kept as ready-made byte strings (atCmdTable).
enum AT_COMMANDS : int {
    AT_TRACKFUNC_ON = 0,
    AT_TRACKFUNC_OFF,
    AT_AUTOZOOM_ON,
    AT_AUTOZOOM_OFF,
    AT_AUTOTILT_ON,
    AT_AUTOTILT_OFF,
    AT_DETIDCT_ON,
    AT_DETIDCT_OFF,
    AT_DETIDCT_DEFAULT,
    AT_TRACKSTART_CURR,
    AT_TRACKSTART_PRESET1, // 10
    AT_OSDREMINDER_ON,
    AT_OSDREMINDER_OFF,
    AT_FIGSIZE_FULL,
    AT_FIGSIZE_HALF,
    AT_FIGSIZE_CLOSEUP,
    AT_FIGSIZE_CUSTOM,
    AT_FIGSIZE_SAVE,
    AT_FIGSIZE_DEFAULT,
    AT_SELSUBJECT_LEFT,
    AT_SELSUBJECT_RIGHT, // 20
    AT_SELSUBJECT_CONFIRM,
    AT_PLACEMENT_LEFT,
    AT_PLACEMENT_CENTER,
    AT_PLACEMENT_RIGHT,
    AT_TRACKSPEED_FAST,
    AT_TRACKSPEED_MEDIUM,
    AT_TRACKSPEED_SLOW,
    AT_TRACK_INQUIRE,
};
constexpr int AT_COMMANDS_COUNT = 29;

// One row of atCmdTable: a complete message, zero-padded to 11 bytes.
struct atCmdQueue
{
    quint8 cmdIndex;
    quint8 cmdLen;
    quint8 cmdParams[11];
};

// Builds camera messages; sends nothing and keeps no state.
class VEK_Control : public QObject
{
    Q_OBJECT
public:
    explicit VEK_Control(QObject *parent = nullptr);

    // The message of row `cmd` with the parameters placed, inside the
    // two-byte frame 00 <frame length>. Empty for the rows that have no
    // message (or whose selector para1 is not one the row knows) and for
    // values outside VEK_COMMANDS.
    QByteArray VEK_Command(VEK_COMMANDS cmd, quint8 para1 = 0, quint8 para2 = 0, quint8 para3 = 0,
                           quint8 para4 = 0, quint8 para5 = 0, quint8 para6 = 0,
                           quint8 para7 = 0) const;

    // The bare message of atCmdTable row `cmd`; AT_FIGSIZE_SAVE carries the
    // four nibbles extPara0..extPara3. Empty (and logged) for unknown values.
    QByteArray AT_Command(AT_COMMANDS cmd, quint8 extPara0 = 0, quint8 extPara1 = 0,
                          quint8 extPara2 = 0, quint8 extPara3 = 0) const;

    static const atCmdQueue atCmdTable[AT_COMMANDS_COUNT];
};
