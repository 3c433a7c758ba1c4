#pragma once

#include "camera/cameralinestats.h"
#include "camera/cameraregistry.h"
#include "camera/vek_control.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>

class QNetworkReply;
class serialPort;

// The camera back end: three PTZ cameras, each alone on its own VISCA line,
// plus an in-memory registry of network cameras. Lives on the camera lane
// (see ui/devicelines.h): every call comes from that thread, checked in
// debug builds, except abortExchanges. Every exchange is a blocking
// request/answer there: write one message, collect the reply within 200 or
// 400 ms. Operations name their camera by index 0 to 2.
class vekCameraObject : public QObject
{
    Q_OBJECT

    Q_PROPERTY(bool isColorBarOn READ isColorBarOn WRITE setColorBarOn NOTIFY isColorBarOnChanged)
    Q_PROPERTY(bool isTallyLightOn READ isTallyLightOn WRITE setTallyLightOn NOTIFY isTallyLightOnChanged)
    Q_PROPERTY(bool isredTallyOn READ isredTallyOn WRITE setredTallyOn NOTIFY isredTallyOnChanged)
    Q_PROPERTY(bool isblueTallyOn READ isblueTallyOn WRITE setblueTallyOn NOTIFY isblueTallyOnChanged)
    Q_PROPERTY(bool isOsdOn READ isOsdOn WRITE setOsdOn NOTIFY isOsdOnChanged)
    Q_PROPERTY(int vekRGain READ vekRGain WRITE setVekRGain NOTIFY vekRGainChanged)
    Q_PROPERTY(int vekBGain READ vekBGain WRITE setVekBGain NOTIFY vekBGainChanged)
    Q_PROPERTY(int ptzSpeedRange READ ptzSpeedRange WRITE setPtzSpeedRange NOTIFY ptzSpeedRangeChanged)
    Q_PROPERTY(int whiteBalanceMode READ whiteBalanceMode WRITE setWhiteBalanceMode NOTIFY whiteBalanceModeChanged)
    Q_PROPERTY(int ptzMemoryPos READ ptzMemoryPos WRITE setptzMemoryPos NOTIFY ptzMemoryPosChanged)
    Q_PROPERTY(QString videoFormat READ videoFormat WRITE setVideoFormat NOTIFY videoFormatChanged)
    Q_PROPERTY(bool bAutoFocusMode READ bAutoFocusMode WRITE setAutoFocusMode NOTIFY bAutoFocusModeChanged)
    Q_PROPERTY(bool birisModeAuto READ birisModeAuto WRITE setirisModeAuto NOTIFY birisModeAutoChanged)
    Q_PROPERTY(bool vekHFlip READ vekHFlip WRITE setvekHFlip NOTIFY vekHFlipChanged)
    Q_PROPERTY(bool vekVFlip READ vekVFlip WRITE setvekVFlip NOTIFY vekVFlipChanged)
    Q_PROPERTY(bool panDirReverse READ panDirReverse WRITE setpanDirReverse NOTIFY panDirReverseChanged)
    Q_PROPERTY(bool tiltDirReverse READ tiltDirReverse WRITE settiltDirReverse NOTIFY tiltDirReverseChanged)
    Q_PROPERTY(bool bSliderBarZoomMode READ bSliderBarZoomMode WRITE setSliderBarZoomMode NOTIFY bSliderBarZoomModeChanged)
    Q_PROPERTY(bool bPositionStoreMode READ bPositionStoreMode WRITE setPositionStoreMode NOTIFY bPositionStoreModeChanged)
    Q_PROPERTY(QString modelName READ modelName WRITE setmodelName NOTIFY modelNameChanged)
    Q_PROPERTY(QString mcuVersion READ mcuVersion WRITE setmcuVersion NOTIFY mcuVersionChanged)
    Q_PROPERTY(QString fpgaVersion READ fpgaVersion WRITE setfpgaVersion NOTIFY fpgaVersionChanged)
    Q_PROPERTY(QString motorVersion READ motorVersion WRITE setmotorVersion NOTIFY motorVersionChanged)
    Q_PROPERTY(QString panMaxSpeed READ panMaxSpeed WRITE setpanMaxSpeed NOTIFY panMaxSpeedChanged)
    Q_PROPERTY(QString tiltMaxSpeed READ tiltMaxSpeed WRITE settiltMaxSpeed NOTIFY tiltMaxSpeedChanged)
    Q_PROPERTY(int WBMode READ WBMode NOTIFY WBModeChanged)
    Q_PROPERTY(int ExposureMode READ ExposureMode NOTIFY ExposureModeChanged)
    Q_PROPERTY(int curCameraIndex READ curCameraIndex WRITE setCurCameraIndex NOTIFY curCameraIndexChanged)
    Q_PROPERTY(int curInputLine READ curInputLine WRITE setCurInputLine NOTIFY curInputLineChanged)
    Q_PROPERTY(int cameraCount READ cameraCount WRITE setCameraCount NOTIFY cameraCountChanged)

public:
    explicit vekCameraObject(QObject *parent = nullptr);
    ~vekCameraObject() override;

    // ---- lines and transport ----
    Q_INVOKABLE void initSerial(int uartNo, const QString &name, int baudRate, int dataBits, int parity,
                                int stopBits, int flowControl);
    Q_INVOKABLE void clearUartTxRx(int uartNo);
    Q_INVOKABLE void setVekStatus(int vekIdx, bool status);
    // Whether the camera's line opened and the camera last answered a
    // version or tracking inquiry properly.
    Q_INVOKABLE bool serialState(int vekIdx) const;
    Q_INVOKABLE bool vekIsOnline(int vekIdx) const;
    // For a caller that judges a failed operation right after it: whether
    // camera `vekIdx`'s line is open, and whether anything came back to the
    // last message sent on it (a no and silence look alike to a false).
    bool lineOpen(int vekIdx) const;
    bool lastAnswered(int vekIdx) const;

    // For the service page: camera `vekIdx`'s line counters (empty without a
    // line) and what its last version inquiry reported (model, MCU version;
    // empty before the first answer).
    CameraLineStats::Snapshot lineStats(int vekIdx) const;
    QStringList lastVersion(int vekIdx) const;

    // Writes `command` to camera `vekIdx` and returns what came back within
    // `waitMinisec` (possibly several replies back to back, or nothing).
    QByteArray doCommandSend(const QByteArray &command, int waitMinisec, bool waitResponse, int vekIdx);
    // Sends until the camera acknowledges or completes, three sends at most.
    // Without a camera index it addresses the camera last operated.
    void commandResendUntilAckAndComplete(const QByteArray &command, int timeout);
    void commandResendUntilAckAndComplete(const QByteArray &command, int timeout, int vekIdx);
    static bool containsAckComplete(const QByteArray &reply);
    // Any thread, once, when the panel is stopping: an exchange under way
    // gives up within a poll slice, later ones at once, on every line.
    void abortExchanges();

    // ---- camera operations ----
    Q_INVOKABLE void camPower(int onOff, int vekIdx);
    Q_INVOKABLE bool camPowerInq(int vekIdx);
    Q_INVOKABLE void zoomTele(int speed, int vekIdx);
    Q_INVOKABLE void zoomWide(int speed, int vekIdx);
    void zoomTeleStandard(int vekIdx);
    void zoomWideStandard(int vekIdx);
    Q_INVOKABLE void zoomStop(int vekIdx);
    Q_INVOKABLE void panTiltLeft(int speed, int vekIdx);
    Q_INVOKABLE void panTiltRight(int speed, int vekIdx);
    Q_INVOKABLE void panTiltUp(int speed, int vekIdx);
    Q_INVOKABLE void panTiltDown(int speed, int vekIdx);
    Q_INVOKABLE void panTiltUpLeft(int panSpeed, int tiltSpeed, int vekIdx);
    Q_INVOKABLE void panTiltUpRight(int panSpeed, int tiltSpeed, int vekIdx);
    Q_INVOKABLE void panTiltDownLeft(int panSpeed, int tiltSpeed, int vekIdx);
    Q_INVOKABLE void panTiltDownRight(int panSpeed, int tiltSpeed, int vekIdx);
    Q_INVOKABLE void panTiltStop(int panSpeed, int tiltSpeed, int vekIdx);
    Q_INVOKABLE void autoFocus(int vekIdx);
    Q_INVOKABLE void manualFocus(int vekIdx);
    Q_INVOKABLE void focusFar(int vekIdx);
    Q_INVOKABLE void focusNear(int vekIdx);
    Q_INVOKABLE void focusStop(int vekIdx);
    Q_INVOKABLE void autoWhiteBalance(int vekIdx);
    Q_INVOKABLE void manualWhiteBalance(int vekIdx);
    Q_INVOKABLE void whiteBalance(int vekIdx);
    Q_INVOKABLE void setRGain(int value, int vekIdx);
    Q_INVOKABLE void setBGain(int value, int vekIdx);
    Q_INVOKABLE void autoAE(int vekIdx);
    Q_INVOKABLE void manualAE(int vekIdx);
    Q_INVOKABLE void iRISUp(int vekIdx);
    Q_INVOKABLE void iRISDown(int vekIdx);
    Q_INVOKABLE void shutterDirect(int value, int vekIdx);
    Q_INVOKABLE bool storePtzPosition(int index, int vekIdx);
    Q_INVOKABLE bool gotoPtzPosition(int index, int vekIdx);
    Q_INVOKABLE bool presetMemSpeed(int Speed, int vekIdx);
    Q_INVOKABLE void setPresetMemorySpeed(int memIndex, int speed, int vekIdx);
    Q_INVOKABLE void imageFlipOn(int vekIdx);
    Q_INVOKABLE void imageFlipOff(int vekIdx);
    Q_INVOKABLE void imageMirroOn(int vekIdx);
    Q_INVOKABLE void imageMirroOff(int vekIdx);
    Q_INVOKABLE void setImageMirror(int value, int vekIdx);
    Q_INVOKABLE void panReverseOn(int vekIdx);
    Q_INVOKABLE void panReverseOff(int vekIdx);
    Q_INVOKABLE void tiltReverseOn(int vekIdx);
    Q_INVOKABLE void tiltReverseOff(int vekIdx);
    Q_INVOKABLE void redTallyOn(int vekIdx);
    Q_INVOKABLE void greenTallyOn(int vekIdx);
    Q_INVOKABLE void camTallyOff(int vekIdx);
    Q_INVOKABLE void switchVideoMode(int value, int vekIdx);

    // ---- inquiries ----
    Q_INVOKABLE bool getSystemStatus(int vekIdx);
    QByteArray querySystemStatus(int vekIdx);
    Q_INVOKABLE bool queryVersion(int vekIdx);
    Q_INVOKABLE int shutterPosInq(int vekIdx);
    Q_INVOKABLE int rGain(int vekIdx);
    Q_INVOKABLE int bGain(int vekIdx);
    Q_INVOKABLE void queryPanTiltMaxSpeed(int vekIdx);
    Q_INVOKABLE bool isTallyOn(int vekIdx);
    Q_INVOKABLE bool isAutoFocus(int vekIdx);
    Q_INVOKABLE int getWhiteBalanceMode(int vekIdx);
    Q_INVOKABLE int getExposureMode(int vekIdx);
    Q_INVOKABLE int getVideoFormat(int vekIdx);
    Q_INVOKABLE QString getVideoMode() const { return videoModeStr; }
    // Whether the model belongs to the family with its own 50/25 shutter
    // labels (the camera page picks its label table with it).
    Q_INVOKABLE bool isAltShutterModel(const QString &model) const;

    // ---- auto-tracking ----
    Q_INVOKABLE void setAiCam(int onOff, int vekIdx);
    Q_INVOKABLE void atAutoZoomOn(int vekIdx);
    Q_INVOKABLE void atAutoZoomOff(int vekIdx);
    Q_INVOKABLE void atAutoTiltOn(int vekIdx);
    Q_INVOKABLE void atAutoTiltOff(int vekIdx);
    Q_INVOKABLE void atDetIdctOn(int vekIdx);
    Q_INVOKABLE void atDetIdctOff(int vekIdx);
    Q_INVOKABLE void atDetIdctDefault(int vekIdx);
    Q_INVOKABLE void atOsdRmdOn(int vekIdx);
    Q_INVOKABLE void atOsdRmdOff(int vekIdx);
    Q_INVOKABLE void atFullBody(int vekIdx);
    Q_INVOKABLE void atHalfBody(int vekIdx);
    Q_INVOKABLE void atCloseUp(int vekIdx);
    Q_INVOKABLE void atCustomBody(int vekIdx);
    Q_INVOKABLE void atFigSizeSave(int saveFigSize, int vekIdx);
    Q_INVOKABLE void atFigSizeDefault(int vekIdx);
    Q_INVOKABLE void atSelSbjLeft(int vekIdx);
    Q_INVOKABLE void atSelSbjRight(int vekIdx);
    Q_INVOKABLE void atSelSbjConfirm(int vekIdx);
    Q_INVOKABLE void atPlaceLeft(int vekIdx);
    Q_INVOKABLE void atPlaceCenter(int vekIdx);
    Q_INVOKABLE void atPlaceRight(int vekIdx);
    Q_INVOKABLE void atTrackSpeedFast(int vekIdx);
    Q_INVOKABLE void atTrackSpeedMedium(int vekIdx);
    Q_INVOKABLE void atTrackSpeedSlow(int vekIdx);
    Q_INVOKABLE void atTrackStartPosPreset(int value, int vekIdx);
    Q_INVOKABLE void atTrackRecallProfile(int value, int vekIdx);
    Q_INVOKABLE void atTrackOn(int vekIdx);
    Q_INVOKABLE void atTrackOff(int vekIdx);

    Q_INVOKABLE int atTrackInquire(int vekIdx);
    Q_INVOKABLE int atFigureInq(int vekIdx);
    Q_INVOKABLE int atFigureCustSizeInq(int vekIdx);
    Q_INVOKABLE int atPlacementInq(int vekIdx);
    Q_INVOKABLE int atSpeedInq(int vekIdx);
    Q_INVOKABLE int atDetindInq(int vekIdx);
    Q_INVOKABLE int atTrackingStartPosInq(int vekIdx);
    Q_INVOKABLE bool atOSDInq(int vekIdx);
    Q_INVOKABLE bool atAutoZoomInq(int vekIdx);
    Q_INVOKABLE bool atAutoTiltInq(int vekIdx);
    Q_INVOKABLE int InquireATProfileNum(int vekIdx);

    // Older tracking operations without a camera index: they address the
    // camera last operated (see lastCamera()).
    Q_INVOKABLE void setAiTrackMode(int mode);
    Q_INVOKABLE void setAiTrackSpeed(int value);
    Q_INVOKABLE void setAiSelectPeoplePos(int value);
    Q_INVOKABLE void setAiPeopleFrameOnOff(int value);
    Q_INVOKABLE void setAiTrackTiltOnOff(int value);
    Q_INVOKABLE void setAiTrackZoomOnOff(int value);
    Q_INVOKABLE void setAiTrackTarget(int dir);
    Q_INVOKABLE void setAiTrackFeatures(int feature);
    Q_INVOKABLE void setAiTrackTargetSave(int value);
    Q_INVOKABLE void setAiTrackTargetDefault();
    Q_INVOKABLE int isAiCam();

    // ---- tracking option store (registry entries) ----
    Q_INVOKABLE void atOptInitDefault(int camIndex, int atCapability);
    Q_INVOKABLE bool getAtTrackOpt(int camIndex) const;
    Q_INVOKABLE bool getAtAutoZoomOpt(int camIndex) const;
    Q_INVOKABLE bool getAtAutoTiltOpt(int camIndex) const;
    Q_INVOKABLE bool getAtOsdRmdOpt(int camIndex) const;
    Q_INVOKABLE int getAtModeBoxOpt(int camIndex) const;
    Q_INVOKABLE int getAtTrackStartPosBoxOpt(int camIndex) const;
    Q_INVOKABLE int getAtDetIdctBoxOpt(int camIndex) const;
    Q_INVOKABLE int getAtRoiActTimeBoxOpt(int camIndex) const;
    Q_INVOKABLE int getAtRoiStartPosBoxOpt(int camIndex) const;

    // ---- registry ----
    Q_INVOKABLE void createManualCameraObjDoConnect(int index, const QString &ipAddr, const QString &modelName);
    Q_INVOKABLE void createCameraObjDoConnect();
    Q_INVOKABLE void clearCamera();
    Q_INVOKABLE void cameraClear();
    Q_INVOKABLE void removeCamera(int index, const QString &ip);
    Q_INVOKABLE void saveCamera();
    Q_INVOKABLE int getCamCount();
    Q_INVOKABLE void refreshCurrentCameraLineInput();
    Q_INVOKABLE QString getCurrentIp();
    Q_INVOKABLE QString getCamHostName();
    Q_INVOKABLE QString getCamModelName();
    Q_INVOKABLE QString getCamMac();
    Q_INVOKABLE QString getCamMask();
    Q_INVOKABLE QString getCamGateway();
    Q_INVOKABLE QString getCamPrimdns();
    Q_INVOKABLE QString getCamSecdns();
    Q_INVOKABLE QString getCamVid();
    Q_INVOKABLE QString getCamPid();
    Q_INVOKABLE bool getCamIsdhcp();
    // The network camera's answer to setLowerVideoFormat: at most this much
    // body, this long in all, and this much of it in the log.
    static constexpr qint64 HttpBodyLimit = 4096;
    static constexpr int HttpTotalMs = 5000;
    static constexpr int HttpLogExcerpt = 256;
    Q_INVOKABLE void setLowerVideoFormat(const QString &ipStr);
    // Enters a network camera into the registry (for whatever finds them);
    // returns its index.
    int addCamera(const vek_camera_info &info);
    // Parked entries (saveCamera), for inspection.
    int savedCameraCount() const { return static_cast<int>(cameraObjects_2.size()); }

    // ---- properties ----
    bool isColorBarOn() const { return m_isColorBarOn; }
    bool isTallyLightOn() const { return m_isTallyLightOn; }
    bool isredTallyOn() const { return m_isredTallyOn; }
    bool isblueTallyOn() const { return m_isblueTallyOn; }
    bool isOsdOn() const { return m_isOsdOn; }
    int vekRGain() const { return m_vekRGain; }
    int vekBGain() const { return m_vekBGain; }
    int ptzSpeedRange() const { return m_ptzSpeedRange; }
    int whiteBalanceMode() const { return m_whiteBalanceMode; }
    int ptzMemoryPos() const { return m_ptzMemoryPos; }
    QString videoFormat() const { return m_videoFormat; }
    bool bAutoFocusMode() const { return m_bAutoFocusMode; }
    bool birisModeAuto() const { return m_birisModeAuto; }
    bool vekHFlip() const { return m_vekHFlip; }
    bool vekVFlip() const { return m_vekVFlip; }
    bool panDirReverse() const { return m_panDirReverse; }
    bool tiltDirReverse() const { return m_tiltDirReverse; }
    bool bSliderBarZoomMode() const { return m_bSliderBarZoomMode; }
    bool bPositionStoreMode() const { return m_bPositionStoreMode; }
    QString modelName() const { return m_modelName; }
    QString mcuVersion() const { return m_mcuVersion; }
    QString fpgaVersion() const { return m_fpgaVersion; }
    QString motorVersion() const { return m_motorVersion; }
    QString panMaxSpeed() const { return m_panMaxSpeed; }
    QString tiltMaxSpeed() const { return m_tiltMaxSpeed; }
    // Asked of the camera last operated each time they are read.
    int WBMode();
    int ExposureMode();
    int curCameraIndex() const { return m_curCameraIndex; }
    int curInputLine() const { return m_curInputLine; }
    int cameraCount() const { return m_cameraCount; }

    // The camera the index-less operations and WBMode/ExposureMode address:
    // the one the user operated last, camera 0 before any was.
    int lastCamera() const { return (uartIdx >= 0 && uartIdx <= 2) ? uartIdx : 0; }

public slots:
    void onUartError(QSerialPort::SerialPortError error);
    void refreshAtStatus(int camIndex);
    void onVekScanComplete();
    void onfinish(QNetworkReply *rep);

    void setColorBarOn(bool v);
    void setTallyLightOn(bool v);
    void setredTallyOn(bool v);
    void setblueTallyOn(bool v);
    void setOsdOn(bool v);
    void setVekRGain(int v);
    void setVekBGain(int v);
    void setPtzSpeedRange(int v);
    void setWhiteBalanceMode(int v);
    void setptzMemoryPos(int v);
    void setVideoFormat(const QString &v);
    void setAutoFocusMode(bool v);
    void setirisModeAuto(bool v);
    void setvekHFlip(bool v);
    void setvekVFlip(bool v);
    void setpanDirReverse(bool v);
    void settiltDirReverse(bool v);
    void setSliderBarZoomMode(bool v);
    void setPositionStoreMode(bool v);
    void setmodelName(const QString &v);
    void setmcuVersion(const QString &v);
    void setfpgaVersion(const QString &v);
    void setmotorVersion(const QString &v);
    void setpanMaxSpeed(const QString &v);
    void settiltMaxSpeed(const QString &v);
    void setCurCameraIndex(int v);
    void setCurInputLine(int v);
    void setCameraCount(int v);

signals:
    void sendUartStatus(int index, bool status);
    void sendCamPower(int vekIdx, bool onOff);
    void sendShutterValue(quint8 value);
    void sendSpeed(int vekIdx, quint8 speedValue);
    void sendRGain(int vekIdx, quint8 gain);
    void sendBGain(int vekIdx, quint8 gain);
    void sendTally(int vekIdx, int tally);
    void sendVideoFormat(int vekIdx, int index);
    void sendMirrorMode(int vekIdx, int mirrorMode);
    void sendPanDir(int vekIdx, int panDir);
    void sendTiltDir(int vekIdx, int tiltDir);
    void sendWb(int vekIdx, int isAuto);
    void sendIris(int vekIdx, bool isAuto);
    void sendFocus(int vekIdx, bool isAuto);
    void setCamInfo(int vekIdx, const QString &mcuName, const QString &fpgaVerStr, const QString &motorVerStr,
                    const QString &modelVerStr);
    void ptzMoving();
    void finished(QNetworkReply *reply);

    void isColorBarOnChanged();
    void isTallyLightOnChanged();
    void isredTallyOnChanged();
    void isblueTallyOnChanged();
    void isOsdOnChanged();
    void vekRGainChanged();
    void vekBGainChanged();
    void ptzSpeedRangeChanged();
    void whiteBalanceModeChanged();
    void ptzMemoryPosChanged();
    void videoFormatChanged();
    void bAutoFocusModeChanged();
    void birisModeAutoChanged();
    void vekHFlipChanged();
    void vekVFlipChanged();
    void panDirReverseChanged();
    void tiltDirReverseChanged();
    void bSliderBarZoomModeChanged();
    void bPositionStoreModeChanged();
    void modelNameChanged();
    void mcuVersionChanged();
    void fpgaVersionChanged();
    void motorVersionChanged();
    void panMaxSpeedChanged();
    void tiltMaxSpeedChanged();
    void WBModeChanged();
    void ExposureModeChanged();
    void curCameraIndexChanged();
    void curInputLineChanged();
    void cameraCountChanged();

private:
    void initVekCommand();
    static std::unique_ptr<VEK_Control> generateVekCommandObj();
    serialPort *portForLine(int uartNo) const;
    serialPort *portForCamera(int vekIdx) const;
    static int cameraForLine(int uartNo);

    // The frame without its two leading bytes (empty stays empty).
    static QByteArray bare(const QByteArray &frame);
    // Logs `label` and the message, then exchanges it. A set operation also
    // makes `vekIdx` the camera last operated.
    QByteArray sendCommand(const char *label, const QByteArray &message, int waitMs, int vekIdx);
    QByteArray sendInquiry(const char *label, const QByteArray &message, int waitMs, int vekIdx);
    void rememberCamera(int vekIdx);
    // True when the reply acknowledges or completes a preset message.
    static bool presetChecked(const char *what, const QByteArray &reply);
    // The bare packet of `cmd`, and the same sent as a set operation.
    QByteArray packet(VEK_COMMANDS cmd, quint8 p1 = 0, quint8 p2 = 0) const;
    QByteArray sendPacket(const char *label, VEK_COMMANDS cmd, int waitMs, int vekIdx, quint8 p1 = 0, quint8 p2 = 0);
    void driveWithMoving(const char *label, VEK_COMMANDS cmd, int panSpeed, int tiltSpeed, int vekIdx);
    // Zoom speed code 1, 4 or 7 for the interface's 8, 16 or 24; -1 (logged) otherwise.
    static int zoomSpeedCode(int speed);
    // Data byte `index` of a bare (90 50 ..) or framed (00 nn 90 50 ..)
    // answer in `reply`, or -1 with a log line naming `what`.
    static int answerByte(const QByteArray &reply, bool framed, const char *what, int index = 0);
    int gainInquiry(VEK_COMMANDS cmd, int vekIdx, const char *inqLabel, const char *name, const char *valueName,
                    void (vekCameraObject::*signal)(int, quint8));
    // Byte 2 of a bare tracking answer 90 50 0p FF, or -1 with a log line.
    int atByteInquiry(VEK_COMMANDS cmd, int vekIdx, const char *label);
    void olderAtOperation(const char *name, const char *argLabel, int arg, VEK_COMMANDS cmd, quint8 p1 = 0,
                          quint8 p2 = 0);
    vek_camera_info *registryEntry(int camIndex) const;
    // A tracking option of a registry entry; false or 0 outside the registry.
    template <typename T>
    T option(int camIndex, T vek_camera_info::*field) const
    {
        const vek_camera_info *i = registryEntry(camIndex);
        return i ? i->*field : T();
    }
    // Logs an accessor of the network camera settings, which are not kept.
    QString loggedAccessor(const char *name) const;

    serialPort *serialObj0 = nullptr;
    serialPort *serialObj1 = nullptr;
    serialPort *serialObj2 = nullptr;
    serialPort *uniSerialObj = nullptr;
    QNetworkAccessManager networkManager;
    int uartNo = 0;
    // The camera operated last; -1 until the first operation.
    int uartIdx = -1;
    std::array<bool, 3> serialStateList{{false, false, false}};
    QString videoModeStr;

    bool m_isColorBarOn = false;
    bool m_isTallyLightOn = false;
    bool m_isredTallyOn = false;
    bool m_isblueTallyOn = false;
    bool m_isOsdOn = false;
    int m_vekRGain = 0;
    int m_vekBGain = 0;
    int m_ptzSpeedRange = 0;
    int m_whiteBalanceMode = 0;
    int m_ptzMemoryPos = 0;
    QString m_videoFormat;
    bool m_bAutoFocusMode = false;
    bool m_birisModeAuto = false;
    bool m_vekHFlip = false;
    bool m_vekVFlip = false;
    bool m_panDirReverse = false;
    bool m_tiltDirReverse = false;

    std::unique_ptr<VEK_Control> vekCommandObj;
    CAMERA_Array cameraObjects_;
    CAMERA_Array cameraObjects_2;
    int m_curCameraIndex = 0;
    int m_curInputLine = 0;
    int m_cameraCount = 0;
    bool m_bSliderBarZoomMode = false;
    bool m_bPositionStoreMode = false;
    QString m_modelName;
    QString m_mcuVersion;
    QString m_fpgaVersion;
    QString m_motorVersion;
    QString m_panMaxSpeed;
    QString m_tiltMaxSpeed;
    std::array<bool, 3> vekIsOnlineArray{{false, false, false}};
    std::array<QStringList, 3> lastVersion_;
    std::array<bool, 3> answered_{{false, false, false}};
};
