#pragma once

#include "mainboard/zarvomutypes.h"

#include <QElapsedTimer>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QThread>

#include <atomic>

class QSerialPort;
class QTimer;
class QTcpSocket;
class UpgradeController;
class zarvoMu;

// The switcher as the interface sees it. Lives on the mainboard lane (see
// ui/devicelines.h): every call comes from that thread, checked in debug
// builds, except the few marked "any thread". Every request becomes one or
// a few blocking mainboard exchanges on that thread; `mutex` serialises
// them. The properties follow the mainboard through the status refresh and
// the settings-page refreshes; the interface keeps its own copies.
class commandExecObject : public QObject
{
    Q_OBJECT

    // Switcher state bits.
    Q_PROPERTY(uint pgmSourceNumber READ pgmSourceNumber WRITE setPgmSourceNumber NOTIFY pgmSourceChanged)
    Q_PROPERTY(uint pvwSourceNumber READ pvwSourceNumber WRITE setPvwSourceNumber NOTIFY pvwSourceChanged)
    Q_PROPERTY(uint wipePattern READ wipePattern WRITE setWipePattern NOTIFY wipePatternChanged)
    Q_PROPERTY(bool isWipeMode READ isWipeMode WRITE setWipeMixMode NOTIFY wipeMixModeChanged)
    Q_PROPERTY(bool isAutoMode READ isAutoMode WRITE setAutoMode NOTIFY autoModeChanged)
    Q_PROPERTY(bool isSplitMode READ isSplitMode WRITE setSplitMode NOTIFY splitModeChanged)
    Q_PROPERTY(bool isPipSplitOnPgm READ isPipSplitOnPgm WRITE setPipSplitOnPgm NOTIFY pipSplitOnPgmChanged)
    Q_PROPERTY(bool isPipSplitOnPvw READ isPipSplitOnPvw WRITE setPipSplitOnPvw NOTIFY pipSplitOnPvwChanged)
    Q_PROPERTY(bool isKeyOnPgm READ isKeyOnPgm WRITE setKeyOnPgm NOTIFY keyOnPgmChanged)
    Q_PROPERTY(bool isKeyOnPvw READ isKeyOnPvw WRITE setKeyOnPvw NOTIFY keyOnPvwChanged)
    Q_PROPERTY(uint pipSrc READ readPipSrc WRITE setpipSrc NOTIFY pipSrcChanged)
    Q_PROPERTY(uint splitSrc READ splitSrc WRITE setsplitSrc NOTIFY splitSrcChanged)
    Q_PROPERTY(uint keyKeyerSrc READ keyKeyerSrc WRITE setkeyKeyerSrc NOTIFY keyKeyerSrcChanged)
    Q_PROPERTY(uint keyFillSrc READ keyFillSrc WRITE setkeyFillSrc NOTIFY keyFillSrcChanged)
    Q_PROPERTY(bool isWipeReverse READ isWipeReverse WRITE setWipeReverse NOTIFY wipeReverseChanged)

    Q_PROPERTY(bool isInBootMode READ isInBootMode WRITE setInBootMode NOTIFY bootModeChanged)
    Q_PROPERTY(uint auxOutput READ auxOutput WRITE setAuxOutput NOTIFY auxOutputChanged)
    Q_PROPERTY(uint currentTbarPos READ currentTbarPos WRITE setcurrentTbarPos NOTIFY currentTbarPosChanged)

    // Settings pages.
    Q_PROPERTY(int wipeMixTransitionSpeed READ wipeMixTransitionSpeed WRITE setwipeMixTransitionSpeed NOTIFY wipeMixTransitionSpeedChanged)
    Q_PROPERTY(int wipeBkgColor READ wipeBkgColor WRITE setWipeBkgColor NOTIFY wipeBkgColorChanged)
    Q_PROPERTY(int wipeBorderSize READ wipeBorderSize WRITE setWipeBorderSize NOTIFY wipeBorderSizeChanged)
    Q_PROPERTY(int wipeBorderColor READ wipeBorderColor WRITE setWipeBorderColor NOTIFY wipeBorderColorChanged)
    Q_PROPERTY(int pipSplitBorderSize READ pipSplitBorderSize WRITE setPipSplitBorderSize NOTIFY pipSplitBorderSizeChanged)
    Q_PROPERTY(int pipSplitBorderColor READ pipSplitBorderColor WRITE setPipSplitBorderColor NOTIFY pipSplitBorderColorChanged)
    Q_PROPERTY(int pipSize READ pipSize WRITE setPipSize NOTIFY pipSizeChanged)
    Q_PROPERTY(int pipPosX READ pipPosX WRITE setPipPosX NOTIFY pipPosXChanged)
    Q_PROPERTY(int pipPosY READ pipPosY WRITE setPipPosY NOTIFY pipPosYChanged)
    Q_PROPERTY(int pipCropSize READ pipCropSize WRITE setpipCropSize NOTIFY pipCropSizeChanged)
    Q_PROPERTY(int pipCropLeft READ pipCropLeft WRITE setpipCropLeft NOTIFY pipCropLeftChanged)
    Q_PROPERTY(int pipCropRight READ pipCropRight WRITE setpipCropRight NOTIFY pipCropRightChanged)
    Q_PROPERTY(int pipCropTop READ pipCropTop WRITE setpipCropTop NOTIFY pipCropTopChanged)
    Q_PROPERTY(int pipCropBottom READ pipCropBottom WRITE setpipCropBottom NOTIFY pipCropBottomChanged)
    Q_PROPERTY(int pgmOutResolution READ pgmOutResolution WRITE setpgmOutResolution NOTIFY pgmOutResolutionChanged)
    Q_PROPERTY(int mvOutResolution READ mvOutResolution WRITE setmvOutResolution NOTIFY mvOutResolutionChanged)
    Q_PROPERTY(int outputFormat READ outputFormat WRITE setoutputFormat NOTIFY outputFormatChanged)
    Q_PROPERTY(int language READ language WRITE setlanguage NOTIFY languageChanged)
    Q_PROPERTY(int mainBoardVerMajor READ mainBoardVerMajor WRITE setmainBoardVerMajor NOTIFY mainBoardVerMajorChanged)
    Q_PROPERTY(int mainBoardVerMinor READ mainBoardVerMinor WRITE setmainBoardVerMinor NOTIFY mainBoardVerMinorChanged)
    Q_PROPERTY(int osdVerMajor READ osdVerMajor WRITE setosdVerMajor NOTIFY osdVerMajorChanged)
    Q_PROPERTY(int osdVerMinor READ osdVerMinor WRITE setosdVerMinor NOTIFY osdVerMinorChanged)
    Q_PROPERTY(int lumakeyMode READ lumakeyMode WRITE setlumakeyMode NOTIFY lumakeyModeChanged)
    Q_PROPERTY(int lumakeyCleanuoLevel READ lumakeyCleanuoLevel WRITE setlumakeyCleanuoLevel NOTIFY lumakeyCleanuoLevelChanged)
    Q_PROPERTY(int lumakeyTransparency READ lumakeyTransparency WRITE setlumakeytransparency NOTIFY lumakeyTransparencyChanged)
    Q_PROPERTY(int audioMute READ audioMute WRITE setaudioMute NOTIFY audioMuteChanged)
    Q_PROPERTY(int audioHdmiInput READ audioHdmiInput WRITE setaudioHdmiInput NOTIFY audioHdmiInputChanged)
    Q_PROPERTY(int audioHdmiGroup READ audioHdmiGroup WRITE setaudioHdmiGroup NOTIFY audioHdmiGroupChanged)
    Q_PROPERTY(int audioLevel READ audioLevel WRITE setaudioLevel NOTIFY audioLevelChanged)
    Q_PROPERTY(int audioTallyMode READ audioTallyMode WRITE setaudioTallyMode NOTIFY audioTallyModeChanged)
    Q_PROPERTY(int loadUserMem READ loadUserMem WRITE setloadUserMem NOTIFY loadUserMemChanged)
    Q_PROPERTY(int saveUserMem READ saveUserMem WRITE setsaveUserMem NOTIFY saveUserMemChanged)
    Q_PROPERTY(int softwareMajor READ softwareMajor WRITE setsoftwareMajor NOTIFY softwareMajorChanged)
    Q_PROPERTY(int softwareMinor READ softwareMinor WRITE setsoftwareMinor NOTIFY softwareMinorChanged)
    Q_PROPERTY(int firmwareUpgradeStep READ firmwareUpgradeStep WRITE setFirmwareUpgradeStep NOTIFY firmwareUpgradeStepChanged)

public:
    explicit commandExecObject(QObject *parent = nullptr);
    ~commandExecObject() override;

    // ---- mainboard line -------------------------------------------------
    Q_INVOKABLE bool connectSerial(QString portName);
    Q_INVOKABLE bool isConnected();
    Q_INVOKABLE void disConnect();
    Q_INVOKABLE QList<QString> availableComPorts();
    Q_INVOKABLE double getScreenWidth();
    Q_INVOKABLE double getScreenHeight();

    // ---- crosspoints, transitions, keyers -------------------------------
    Q_INVOKABLE bool pgm(int n);
    Q_INVOKABLE bool pvw(int n);
    Q_INVOKABLE bool pgmbg();
    Q_INVOKABLE bool pvwbg();
    Q_INVOKABLE bool pgmBk();
    Q_INVOKABLE bool pvwBk();
    Q_INVOKABLE bool pgmColorBar();
    Q_INVOKABLE bool cutTrans();
    Q_INVOKABLE bool autoTrans(int rate);
    Q_INVOKABLE bool mixMode();
    Q_INVOKABLE bool wipeMode();
    Q_INVOKABLE bool spliteMode();
    Q_INVOKABLE void reverseOn();
    Q_INVOKABLE void reverseOff();
    Q_INVOKABLE bool wipePattern1();
    Q_INVOKABLE bool wipePattern2();
    Q_INVOKABLE bool wipePattern3();
    Q_INVOKABLE bool pipProgramOn();
    Q_INVOKABLE bool pipProgramOff();
    Q_INVOKABLE bool pipPreviewOn();
    Q_INVOKABLE bool pipPreviewOff();
    Q_INVOKABLE bool writePipProgram();
    Q_INVOKABLE void pipSplitOnPgm();
    Q_INVOKABLE void pipSplitOnPvw();
    Q_INVOKABLE bool keyOnPgm();
    Q_INVOKABLE bool keyOffPgm();
    Q_INVOKABLE bool keyOnPvw();
    Q_INVOKABLE bool keyOffPvw();
    Q_INVOKABLE bool pipPgmState();
    Q_INVOKABLE bool pipPvmState();
    Q_INVOKABLE bool keyPgmState();
    Q_INVOKABLE bool keyPvmState();
    Q_INVOKABLE bool writePipSource(int src);
    Q_INVOKABLE void writeSplitSource(int src);
    Q_INVOKABLE bool writeKeySource(int src);
    Q_INVOKABLE int readProgram();
    // As readProgram(), and whether the mainboard really answered: its
    // failure value 0 is also black, a real source.
    int readProgram(bool &ok);
    Q_INVOKABLE int readPreset();
    int readPreset(bool &ok);
    // As pipPgmState() and its kin for `lamp`, and whether the board really
    // answered: a failed read is not an unlit lamp.
    bool lampLit(PushButtonLamp lamp, bool &ok);
    Q_INVOKABLE void readMix();
    Q_INVOKABLE void readWipePattern();
    Q_INVOKABLE bool getWipeMode();
    Q_INVOKABLE void setAuxOutput(uint src);
    Q_INVOKABLE uint auxOutput();
    Q_INVOKABLE void setAuxMode(int mode);
    Q_INVOKABLE int readAutoRate();
    Q_INVOKABLE void writeAutoRate(int rate);
    Q_INVOKABLE int readTbar();
    Q_INVOKABLE void writeTbar(uint v);

    // ---- settings pages -------------------------------------------------
    Q_INVOKABLE void readUserMenuSetting3();
    Q_INVOKABLE void readUserMenuSetting();
    Q_INVOKABLE void readUserMenuSetting2();
    Q_INVOKABLE uchar readPgmMute();
    Q_INVOKABLE uchar readPgmHdmiInput();
    Q_INVOKABLE uchar readPgmHdmiGroup();
    Q_INVOKABLE uchar readPgmLevel();
    Q_INVOKABLE void readLumaAudio();
    Q_INVOKABLE uchar readAuxLevel();
    Q_INVOKABLE uchar readAuxHdmiGroup();
    Q_INVOKABLE uchar readAuxHdmiInput();
    Q_INVOKABLE uchar readAuxMute();
    Q_INVOKABLE uchar readPgmOutRes();
    Q_INVOKABLE uchar readMvOutRes();
    Q_INVOKABLE uchar readPgmOutputFormat();
    Q_INVOKABLE QString readVersion();
    Q_INVOKABLE void readWipeMode();
    Q_INVOKABLE void readReverseMode();

    Q_INVOKABLE void getStartPage();
    Q_INVOKABLE void refreshStartPage();
    Q_INVOKABLE void refreshPipSplitPage();
    Q_INVOKABLE void refreshPipCropPage();
    Q_INVOKABLE void refreshLumaKeyPage();
    Q_INVOKABLE void refreshAudioPage();
    Q_INVOKABLE void refreshAudioPage2();
    Q_INVOKABLE void refreshSetupPage();
    Q_INVOKABLE void refreshSettingPages();

    bool writeUserMenuSetting(const colorWipeBorderSetting &setting);
    bool writeUserMenuSetting(const pipSetting &setting, bool checkResponse = false);
    bool writeUserMenuSetting(const lumakeyAudioSetting &setting);
    bool writeUserMenuSetting(const machineInfoSetting &setting);

    Q_INVOKABLE bool writeWipeBorderSize(int size);
    Q_INVOKABLE bool writeWipeBorderColor(int color);
    Q_INVOKABLE bool writeBkgColor(int color);
    Q_INVOKABLE bool writePipSplitBorderSize(int size);
    Q_INVOKABLE bool writePipSplitBorderColor(int color);
    Q_INVOKABLE bool writePipSize(int size, bool check = false);
    Q_INVOKABLE bool writePipPosX(int x, bool check = false);
    Q_INVOKABLE bool writePipPosY(int y, bool check = false);
    Q_INVOKABLE bool writePipCropSize(int value, bool check = false);
    Q_INVOKABLE void writePipCropLeft(int value, bool check = false);
    Q_INVOKABLE void writePipCropRight(int value, bool check = false);
    Q_INVOKABLE void writePipCropTop(int value, bool check = false);
    Q_INVOKABLE void writePipCropBottom(int value, bool check = false);
    Q_INVOKABLE bool writelumakeyMode(int mode);
    Q_INVOKABLE bool writelumakeyCleanupLevel(int level);
    Q_INVOKABLE bool writelumakeyTransparency(int value);
    Q_INVOKABLE bool writeAudioOn();
    Q_INVOKABLE void writeAudioOff();
    Q_INVOKABLE void writeAudioHdmiInput(int input);
    Q_INVOKABLE void writeAudioHdmiGroup(int group);
    Q_INVOKABLE void writeAudioLevel(int level);
    Q_INVOKABLE bool writeAudioTallyMode(int mode);
    Q_INVOKABLE bool writePgmOutResolution(int resolution);
    Q_INVOKABLE bool writeMvOutResolution(int resolution);
    Q_INVOKABLE bool writeOutputFormat(int format);
    Q_INVOKABLE void writeLanguageToMachine(int language);
    Q_INVOKABLE void writeAuxAudioOn();
    Q_INVOKABLE void writeAuxAudioOff();
    Q_INVOKABLE void writeAuxAudioHdmiInput(int input);
    Q_INVOKABLE void writeAuxAudioHdmiGroup(int group);
    Q_INVOKABLE void writeAuxAudioLevel(int level);
    Q_INVOKABLE void printAudio(const lumakeyAudioSetting &setting);
    Q_INVOKABLE void resetPipCrop();
    Q_INVOKABLE void resetPipSizeXYPos();
    Q_INVOKABLE int getWipeBkgColor();
    Q_INVOKABLE int getWipeBorderSize();
    Q_INVOKABLE int getWipeBorderColor();

    // ---- user memories, versions, files ---------------------------------
    Q_INVOKABLE bool userMem(uint memIndex);
    Q_INVOKABLE bool userMem1();
    Q_INVOKABLE bool userMem2();
    Q_INVOKABLE bool userMem3();
    Q_INVOKABLE bool userMem4();
    Q_INVOKABLE bool loadFactoryDefault();
    Q_INVOKABLE bool saveuserMem(uint memIndex);
    Q_INVOKABLE bool saveSetup();
    Q_INVOKABLE bool writeToFile(const QString &fileName, const QString &content);

    // ---- status, busy, boot mode ----------------------------------------
    Q_INVOKABLE void refreshStatus2();
    // Whether the board is still running an auto transition (its AUTO
    // lamp) and, once it is not, its status record (buses, PiP and key
    // flags), applied as refreshStatus2 does. False when a read failed
    // (nothing is then changed).
    bool readBuses(zarvoMuStatus &status, bool &autoRunning);
    // The board has given no byte for a whole reply wait since a frame went
    // out (see zarvoMu::boardSilent). Any thread.
    bool mainboardSilent() const;
    // Whether the mainboard line is open, without the log line isConnected() writes.
    bool lineOpen() const;
    // Any thread, once, when the panel is stopping: the exchange under way
    // gives up within a poll slice and later ones fail at once unsent.
    void abortExchanges();
    // A program read with a single wait of `waitMs` (shorter than the
    // read's own): true when the board gave any byte back. How the panel
    // asks a silent board whether it is back without holding the line for
    // the next press.
    bool pingBoard(int waitMs);
    // See zarvoMu::setSkipRetriesWhenSilent.
    void setSkipRetriesWhenSilent(bool skip);
    Q_INVOKABLE void requestStatus();
    Q_INVOKABLE void updateStatus();
    Q_INVOKABLE void refreshStatus();
    Q_INVOKABLE void openMission(bool runMission);
    Q_INVOKABLE bool isInBootMode() const { return bInBootMode; }
    Q_INVOKABLE void setInBootMode(bool on);

    // ---- mainboard firmware upgrade -------------------------------------
    Q_INVOKABLE void processFirmwareUpgradeUi(QString file, QString mbVersion);
    // True from the start of an upgrade until upgradeFinished. Any thread.
    bool isUpgrading() const { return upgradeRunning_.load(); }

    // The link, for tests and diagnostics (its waits can be shortened there).
    zarvoMu *mainboardLink() const { return zarvoUnitControl; }

    // ---- property accessors ---------------------------------------------
    uint pgmSourceNumber() const { return curZarvoMuState.pgmSource; }
    uint pvwSourceNumber() const { return curZarvoMuState.pvwSource; }
    uint wipePattern() const { return curZarvoMuState.wipePattern; }
    Q_INVOKABLE uint getWipePattern() const { return wipePattern(); }
    bool isWipeMode() const { return curZarvoMuState.mixWipe; }
    bool isAutoMode() const { return curZarvoMuState.autokey; }
    bool isSplitMode() const { return curZarvoMuState.split; }
    bool isPipSplitOnPgm() const { return curZarvoMuState.pipSplitPgm; }
    bool isPipSplitOnPvw() const { return curZarvoMuState.pipSplitPvw; }
    bool isKeyOnPgm() const { return curZarvoMuState.keyerPgm; }
    bool isKeyOnPvw() const { return curZarvoMuState.keyerPvw; }
    uint readPipSrc();
    uint splitSrc() const { return curZarvoMuState.splitSource; }
    uint keyKeyerSrc() const { return curZarvoMuState.keySource; }
    Q_INVOKABLE uint getKeyKeyerSrc() const { return keyKeyerSrc(); }
    uint keyFillSrc() const { return curZarvoMuState.keyFillSource; }
    bool isWipeReverse() const { return curZarvoMuState.reverse; }
    uint currentTbarPos() const { return m_currentTbarPos; }

    void setPgmSourceNumber(uint v);
    void setPvwSourceNumber(uint v);
    void setWipePattern(uint v);
    void setWipeMixMode(bool v);
    void setAutoMode(bool v);
    void setSplitMode(bool v);
    void setPipSplitOnPgm(bool v);
    void setPipSplitOnPvw(bool v);
    void setKeyOnPgm(bool v);
    void setKeyOnPvw(bool v);
    void setpipSrc(uint v);
    void setsplitSrc(uint v);
    void setkeyKeyerSrc(uint v);
    void setkeyFillSrc(uint v);
    void setWipeReverse(bool v);
    void setcurrentTbarPos(uint v);

    int wipeMixTransitionSpeed() const { return m_wipeMixTransitionSpeed; }
    int wipeBkgColor() const { return m_wipeBkgColor; }
    int wipeBorderSize() const { return m_wipeBorderSize; }
    int wipeBorderColor() const { return m_wipeBorderColor; }
    int pipSplitBorderSize() const { return m_pipSplitBorderSize; }
    int pipSplitBorderColor() const { return m_pipSplitBorderColor; }
    int pipSize() const { return m_pipSize; }
    int pipPosX() const { return m_pipPosX; }
    int pipPosY() const { return m_pipPosY; }
    int pipCropSize() const { return m_pipCropSize; }
    int pipCropLeft() const { return m_pipCropLeft; }
    int pipCropRight() const { return m_pipCropRight; }
    int pipCropTop() const { return m_pipCropTop; }
    int pipCropBottom() const { return m_pipCropBottom; }
    int pgmOutResolution() const { return m_pgmOutResolution; }
    int mvOutResolution() const { return m_mvOutResolution; }
    int outputFormat() const { return m_outputFormat; }
    int language() const { return m_language; }
    int mainBoardVerMajor() const { return m_mainBoardVerMajor; }
    int mainBoardVerMinor() const { return m_mainBoardVerMinor; }
    int osdVerMajor() const { return m_osdVerMajor; }
    int osdVerMinor() const { return m_osdVerMinor; }
    int lumakeyMode() const { return m_lumakeyMode; }
    int lumakeyCleanuoLevel() const { return m_lumakeyCleanuoLevel; }
    int lumakeyTransparency() const { return m_lumakeyTransparency; }
    int audioMute() const { return m_audioMute; }
    int audioHdmiInput() const { return m_audioHdmiInput; }
    int audioHdmiGroup() const { return m_audioHdmiGroup; }
    int audioLevel() const { return m_audioLevel; }
    int audioTallyMode() const { return m_audioTallyMode; }
    int loadUserMem() const { return m_loadUserMem; }
    int saveUserMem() const { return m_saveUserMem; }
    int softwareMajor() const { return m_softwareMajor; }
    int softwareMinor() const { return m_softwareMinor; }
    int firmwareUpgradeStep() const { return m_firmwareUpgradeStep; }

    void setwipeMixTransitionSpeed(int v);
    void setWipeBkgColor(int v);
    void setWipeBorderSize(int v);
    void setWipeBorderColor(int v);
    void setPipSplitBorderSize(int v);
    void setPipSplitBorderColor(int v);
    void setPipSize(int v);
    void setPipPosX(int v);
    void setPipPosY(int v);
    void setpipCropSize(int v);
    void setpipCropLeft(int v);
    void setpipCropRight(int v);
    void setpipCropTop(int v);
    void setpipCropBottom(int v);
    void setpgmOutResolution(int v);
    void setmvOutResolution(int v);
    void setoutputFormat(int v);
    void setlanguage(int v);
    void setmainBoardVerMajor(int v);
    void setmainBoardVerMinor(int v);
    void setosdVerMajor(int v);
    void setosdVerMinor(int v);
    void setlumakeyMode(int v);
    void setlumakeyCleanuoLevel(int v);
    void setlumakeytransparency(int v);
    void setaudioMute(int v);
    void setaudioHdmiInput(int v);
    void setaudioHdmiGroup(int v);
    void setaudioLevel(int v);
    void setaudioTallyMode(int v);
    void setloadUserMem(int v);
    void setsaveUserMem(int v);
    void setsoftwareMajor(int v);
    void setsoftwareMinor(int v);
    void setFirmwareUpgradeStep(int v);

    // The copies the settings writers modify (read-only views for the
    // interface layer and tests).
    colorWipeBorderSetting storedColorBorder() const { return wipeBorderSetting_; }
    pipSetting storedPip() const { return pipSetting_; }
    lumakeyAudioSetting storedLumaAudio() const { return lumakeyAudioSetting_; }
    machineInfoSetting storedMachineInfo() const { return machineInfoSetting_; }

public slots:
    void autoTransStartSlot();

signals:
    void pgmSourceChanged();
    void pvwSourceChanged();
    void wipePatternChanged();
    void wipeMixModeChanged();
    void autoModeChanged();
    void splitModeChanged();
    void pipSplitOnPgmChanged();
    void pipSplitOnPvwChanged();
    void keyOnPgmChanged();
    void keyOnPvwChanged();
    void pipSrcChanged();
    void splitSrcChanged();
    void keyKeyerSrcChanged();
    void keyFillSrcChanged();
    void wipeReverseChanged();
    void bootModeChanged();
    void auxOutputChanged();
    void currentTbarPosChanged();

    void wipeMixTransitionSpeedChanged();
    void wipeBkgColorChanged();
    void wipeBorderSizeChanged();
    void wipeBorderColorChanged();
    void pipSplitBorderSizeChanged();
    void pipSplitBorderColorChanged();
    void pipSizeChanged();
    void pipPosXChanged();
    void pipPosYChanged();
    void pipCropSizeChanged();
    void pipCropLeftChanged();
    void pipCropRightChanged();
    void pipCropTopChanged();
    void pipCropBottomChanged();
    void pgmOutResolutionChanged();
    void mvOutResolutionChanged();
    void outputFormatChanged();
    void languageChanged();
    void mainBoardVerMajorChanged();
    void mainBoardVerMinorChanged();
    void osdVerMajorChanged();
    void osdVerMinorChanged();
    void lumakeyModeChanged();
    void lumakeyCleanuoLevelChanged();
    void lumakeyTransparencyChanged();
    void audioMuteChanged();
    void audioHdmiInputChanged();
    void audioHdmiGroupChanged();
    void audioLevelChanged();
    void audioTallyModeChanged();
    void loadUserMemChanged();
    void saveUserMemChanged();
    void softwareMajorChanged();
    void softwareMinorChanged();
    void firmwareUpgradeStepChanged();

    void sendBorderSettings(int bkgColor, int wipeBorderSize, int wipeBorderColor, int pipBorderSize,
                            int pipBorderColor);
    void sendPipSettings(int pipSize, int pipPositionX, int pipPositionY, int pipCropSize, int pipCropLeft,
                         int pipCropRight, int pipCropTop, int pipCropBottom);
    void sendLumaAudio(int lumaMode, int lumaCleanUpLevel, int lumakeyTrans, int audioMute, int hdmiInput,
                       int hdmiGroup, int audioLevel, int audioTally);
    void getOutputParams(uchar pgmOutResolution, uchar multiviewOutResolution, uchar language,
                         uchar motherboardMajorVersion, uchar motherboardMinorVersion, uchar osdMajorVersion,
                         uchar osdMinorVersion, uchar outputFormat);
    void sendPgmOutRes(uchar pgmOutResolution);
    void sendOutputFormat(uchar outputFormat);
    void sendLang(uchar language);
    void sendMb(QString mbVersion);
    void setVersionInfo(QString mbVersion, QString osdVersion, QString AppVersion);

    void sigMainboardBusy();
    void sigSpecialMission(bool runMission);
    // The board stopped answering (a reply wait passed without a byte) or
    // answers again; relayed from the link, emitted on this object's thread.
    void mainboardAnswering(bool answering);
    void sendMuState(int pgmSource, int pvwSource, int keyerPgm, int keyerPvw, int keySource, int keyFillSource,
                     int pinpSource, int pipSplitPgm, int pipSplitPvw, int splitSource, int autokey,
                     int wipePattern, int mixWipe, int split, int menu);
    void autoTransStart(commandExecObject *ptr);
    void autoTransSignal();
    void upgradeProgressDone();

    void logMessage(QString msg);
    void upgradeFinished(bool success);

private:
    class ExchangeGuard;

    // False (with a log line) while a firmware upgrade owns the line.
    bool linkFree(const char *operation);
    // Whether a locked exchange could start now; checked by the settings
    // writers before they touch a stored copy.
    bool exchangeAvailable(const char *operation);
    enum LineCheck { CheckLine, NoLineCheck };
    // One operation's exchange: the connection check (when asked), then the
    // lock, then `exchange`; `failed` when either refuses.
    template <typename R, typename F> R exchange(const char *operation, LineCheck line, R failed, F body);
    template <typename F> void exchange(const char *operation, LineCheck line, F body);
    bool lampWrite(const char *operation, PushButtonLamp lamp, bool on, LineCheck line = NoLineCheck);
    bool lampState(const char *operation, PushButtonLamp lamp);
    void logLamp(const char *operation, PushButtonLamp lamp, const char *text, bool onlyWhenLit);
    bool writeBus(const char *operation, bool program, CrossPoint source, LineCheck line = CheckLine);
    int readBus(const char *operation, bool program, bool *readOk = nullptr);
    bool writePatternLocked(const char *operation, WipePattern pattern);
    void applyStatus(const zarvoMuStatus &status);
    // Drops what the mainboard line received while no exchange ran.
    void drainIdleLine();

    // The read-modify-write writers never send a record whose other fields
    // were never read: these fill the copy from the mainboard first.
    bool ensureColorBorder();
    bool ensurePip();
    bool ensureLumaAudio();
    bool ensureMachineInfo();
    // Read into the stored copy; a failed read leaves it as it was.
    bool readColorBorderCopy();
    bool readPipCopy();
    void resendLumaAudio(const char *operation);
    bool userMemNumbered(uint memIndex);
    bool writePipPosition(bool isX, int value, bool check);
    bool writePipCrop(uint8_t pipSetting::*field, int value, bool check, void (commandExecObject::*setter)(int));
    bool writeColorField(uint8_t colorWipeBorderSetting::*field, int value, bool skipSame);
    bool writeLumaField(uint8_t lumakeyAudioSetting::*field, int value, bool skipSame, bool audio);
    void invalidateStoredRecords();

    // Reads with the lock already held; a failed read stores nothing.
    bool readLumaAudioLocked(const char *operation, lumakeyAudioSetting &out);
    bool readSetupLocked(const char *operation, machineInfoSetting &out);
    uchar readLumaField(const char *operation, uint8_t lumakeyAudioSetting::*field, bool signal);
    uchar readSetupField(const char *operation, uint8_t machineInfoSetting::*field);
    void emitLumaAudio(const lumakeyAudioSetting &r);
    void emitOutputParams(const machineInfoSetting &r);

    bool pageRefreshAllowed(const char *operation);
    void refreshStartPageImpl(bool logSpeed);
    bool refreshLumaCopy(const char *operation);

    QMutex mutex;
    zarvoMuStatus curZarvoMuState;
    colorWipeBorderSetting wipeBorderSetting_;
    pipSetting pipSetting_;
    lumakeyAudioSetting lumakeyAudioSetting_;
    machineInfoSetting machineInfoSetting_;
    bool bInBootMode = false;
    QTcpSocket *socket_ = nullptr;
    QSerialPort *serial_ = nullptr;
    zarvoMu *zarvoUnitControl = nullptr;

    int m_wipeMixTransitionSpeed = 0;
    int m_wipeBkgColor = 0;
    int m_wipeBorderSize = 0;
    int m_wipeBorderColor = 0;
    int m_pipSplitBorderSize = 0;
    int m_pipSplitBorderColor = 0;
    int m_pipSize = 0;
    int m_pipPosX = 0;
    int m_pipPosY = 0;
    int m_pipCropSize = 0;
    int m_pipCropLeft = 0;
    int m_pipCropRight = 0;
    int m_pipCropTop = 0;
    int m_pipCropBottom = 0;
    int m_pgmOutResolution = 0;
    int m_mvOutResolution = 0;
    int m_outputFormat = 0;
    int m_language = 0;
    int m_mainBoardVerMajor = 0;
    int m_mainBoardVerMinor = 0;
    int m_osdVerMajor = 0;
    int m_osdVerMinor = 0;
    int m_lumakeyMode = 0;
    int m_lumakeyCleanuoLevel = 0;
    int m_lumakeyTransparency = 0;
    int m_audioMute = 0;
    int m_audioHdmiInput = 0;
    int m_audioHdmiGroup = 0;
    int m_audioLevel = 0;
    int m_audioTallyMode = 0;
    int m_loadUserMem = 0;
    int m_saveUserMem = 0;
    int m_softwareMajor = 0;
    int m_softwareMinor = 0;
    int m_firmwareUpgradeStep = 0;
    unsigned int m_currentTbarPos = 0;

    lumakeyAudioSetting audioParams;
    machineInfoSetting outputParams;

    // Which stored copies hold what a successful read returned.
    bool wipeBorderValid_ = false;
    bool pipValid_ = false;
    bool lumakeyAudioValid_ = false;
    bool machineInfoValid_ = false;

    // The thread inside a locked exchange, so a re-entry from a signal
    // handler on that thread is refused instead of deadlocking.
    std::atomic<Qt::HANDLE> mutexOwner_{nullptr};
    std::atomic<bool> upgradeRunning_{false};
    QPointer<UpgradeController> upgrade_;

    // What the mainboard line may hold between exchanges; a reply frame is
    // at most a dozen bytes.
    static constexpr qint64 kLineBufferBytes = 4096;
    static constexpr int kIdleDrainMs = 1000;
    QTimer *idleDrain_ = nullptr;
    qint64 idleDropped_ = 0;
    QElapsedTimer idleLogged_;
};
