#pragma once

#include "ui/commandqueue.h"
#include "ui/notifyingproperty.h"
#include "ui/switcherstate.h"

#include <QObject>
#include <QString>
#include <QVariantList>

#include <memory>


class DeviceLines;
struct zarvoMuStatus;
class KivoServ;
class Keyscan;
class PanelSettings;
class PowerCtl;
class SeamTimer;
class StartupSequence;
class SwitchGate;
class Tbar;

// The root state of the interface and the hub of its control flow. Lives on
// the interface thread; the pages bind to its properties and call its
// invokables. It reaches the devices only through DeviceLines, never
// directly, so nothing here waits on a line.
class Panel : public QObject
{
    Q_OBJECT

public:
    // What the root page shows over the home page: the tracking page (image
    // keys) over the lower two thirds, the setup menu and the network page
    // over everything below the status bar.
    enum Page { HomePage = 0, TrackingPage, SetupMenuPage, NetworkPage };
    Q_ENUM(Page)

    PANEL_PROPERTY(int, programNo, setProgramNo) = 0;
    PANEL_PROPERTY(int, previewNo, setPreviewNo) = 0;
    PANEL_PROPERTY(int, camSel, setCamSel) = 0;
    PANEL_PROPERTY(int, trackingCamSel, setTrackingCamSel) = 0;
    PANEL_PROPERTY(int, funcSel, setFuncSel) = -1; // -1: no function pop-up open
    PANEL_PROPERTY(int, menuOption, setMenuOption) = 0;
    PANEL_PROPERTY(bool, lockJoystickAndTBar, setLockJoystickAndTBar) = false;
    PANEL_PROPERTY(int, transSpeed, setTransSpeed) = 0;
    PANEL_PROPERTY(int, speedValue, setSpeedValue) = 24;
    PANEL_PROPERTY(bool, pipPgmFlag, setPipPgmFlag) = false;
    PANEL_PROPERTY(bool, pipPvwFlag, setPipPvwFlag) = false;
    PANEL_PROPERTY(bool, lumaPgmFlag, setLumaPgmFlag) = false;
    PANEL_PROPERTY(bool, lumaPvwFlag, setLumaPvwFlag) = false;
    PANEL_PROPERTY(bool, cam1Online, setCam1Online) = false;
    PANEL_PROPERTY(bool, cam2Online, setCam2Online) = false;
    PANEL_PROPERTY(bool, cam3Online, setCam3Online) = false;
    PANEL_PROPERTY(bool, skipFirstSwitch, setSkipFirstSwitch) = true;
    // 0 English, 1 Traditional Chinese, 2 Simplified Chinese.
    PANEL_PROPERTY(int, langType, setLangType) = 0;
    // True once the start-up sequence has completed ("enable the system").
    PANEL_PROPERTY(bool, systemEnabled, setSystemEnabled) = false;
    PANEL_PROPERTY(bool, mainboardConnected, setMainboardConnected) = false;
    // Mirrors of the switcher state the home page shows.
    PANEL_PROPERTY(bool, wipeSelected, setWipeSelected) = false;
    PANEL_PROPERTY(bool, transitionRunning, setTransitionRunning) = false;
    PANEL_PROPERTY(int, tbarPosition, setTbarPosition) = 0; // 0..1023 as last sent
    PANEL_PROPERTY(int, userMemorySel, setUserMemorySel) = 0;
    PANEL_PROPERTY(QString, mainboardVersion, setMainboardVersion) = QStringLiteral("v1.0.0");
    PANEL_PROPERTY(QString, appVersion, setAppVersion) = QStringLiteral("v1.1.15");
    // Pages shown over everything: splash (with the launch logo for its first
    // seconds) and loading; banners that never hide the buses.
    PANEL_PROPERTY(bool, splashVisible, setSplashVisible) = true;
    PANEL_PROPERTY(bool, launchLogoVisible, setLaunchLogoVisible) = false;
    PANEL_PROPERTY(bool, loadingVisible, setLoadingVisible) = false;
    PANEL_PROPERTY(bool, busyNoticeVisible, setBusyNoticeVisible) = false;
    // A notification for the operator (e.g. no camera signal); empty: none.
    PANEL_PROPERTY(QString, notice, setNotice);
    PANEL_PROPERTY(bool, shutdownVisible, setShutdownVisible) = false;
    PANEL_PROPERTY(bool, upgradeVisible, setUpgradeVisible) = false;
    PANEL_PROPERTY(bool, screenshotMode, setScreenshotMode) = false;
    // The busy notification's text, in the chosen language.
    PANEL_PROPERTY(QString, busyNoticeText, setBusyNoticeText);
    // Versions the update check offered (empty: none found).
    PANEL_PROPERTY(QString, offeredAppVersion, setOfferedAppVersion);
    PANEL_PROPERTY(QString, offeredMainboardVersion, setOfferedMainboardVersion);
    // Model name of camera camSel as its version inquiry reported it; cleared
    // when that camera goes offline.
    PANEL_PROPERTY(QString, cameraName, setCameraName);
    // Network values read at start-up (the network page and discovery).
    PANEL_PROPERTY(QString, ipAddress, setIpAddress);
    PANEL_PROPERTY(QString, netmask, setNetmask);
    PANEL_PROPERTY(QString, gateway, setGateway);
    PANEL_PROPERTY(QString, macAddress, setMacAddress);
    PANEL_PROPERTY(bool, dhcpMode, setDhcpMode) = false;
    // The three camera lines have been opened.
    PANEL_PROPERTY(bool, serialInitDone, setSerialInitDone) = false;
    // Auto-tracking poll answers per camera: -1 no answer, 0 no tracking,
    // 2 tracking on, 3 tracking off.
    PANEL_PROPERTY(QVariantList, trackingStates, setTrackingStates) = QVariantList{-1, -1, -1};
    Q_PROPERTY(SwitcherState *switcher READ switcher CONSTANT)
    Q_PROPERTY(CommandQueue *queue READ queue CONSTANT)
    PANEL_PROPERTY(int, page, setPage) = HomePage;

public:
    explicit Panel(DeviceLines *lines, PanelSettings *settings, QObject *parent = nullptr);
    ~Panel() override;

    // The T-bar poller (its setters are atomic, so they are called here).
    void setTbar(Tbar *tbar);
    Tbar *tbar() const { return tbar_; }
    SwitcherState *switcher() const { return switcher_; }
    // The root page's command queue (150 ms).
    CommandQueue *queue() const { return queue_; }

    // Runs the start-up sequence; called once the root page exists.
    Q_INVOKABLE void startUp();

    DeviceLines *lines() const { return lines_; }
    PanelSettings *settings() const { return settings_; }

    // Camera 0..2 online flag (false outside the range).
    Q_INVOKABLE bool camOnline(int camera) const;
    void setCamOnline(int camera, bool online);

    // What the home page forwards (the control flow behind each is the
    // interface's, see panel.cpp). Buttons 0..4 select black and inputs 1..4;
    // button 5 toggles background / colour bar.
    Q_INVOKABLE void pressProgram(int button);
    Q_INVOKABLE void pressPreview(int button);
    Q_INVOKABLE void cut();
    Q_INVOKABLE void autoTransition();
    Q_INVOKABLE void selectWipe();
    Q_INVOKABLE void selectMix();
    Q_INVOKABLE void togglePipProgram();
    Q_INVOKABLE void togglePipPreview();
    Q_INVOKABLE void toggleKeyProgram();
    Q_INVOKABLE void toggleKeyPreview();
    // Home page recall of user memories 1 and 2 (and the setup menu's 1..6).
    Q_INVOKABLE void recallUserMemory(int n);
    // Opens function pop-up 0..4 (closing any other) or closes it (-1).
    Q_INVOKABLE void openFunction(int func);
    Q_INVOKABLE void setCameraSpeed(int camera, int speed);
    // Shows a page (closing any function pop-up); unknown pages show home.
    Q_INVOKABLE void showPage(int p)
    {
        openFunction(-1);
        setPage(p > HomePage && p <= NetworkPage ? p : HomePage);
    }

    // The camera page's information poll (5000 ms, through the queue).
    Q_INVOKABLE void startCameraInfoPoll();
    Q_INVOKABLE void stopCameraInfoPoll();
    // The auto-tracking page's presence poll (800 ms).
    Q_INVOKABLE void startTrackingPoll();
    Q_INVOKABLE void stopTrackingPoll();
    Q_INVOKABLE int trackingState(int camera) const;
    void setTrackingState(int camera, int state);
    Q_SIGNAL void trackingStateChanged(int camera);
    // The camera presence poll: `retries` rounds (-1 unlimited), `pauseMs`
    // before each round.
    void startPresencePoll(int retries, int pauseMs);

    // User memory n (0 factory set, 1..6) with its six audio levels.
    Q_INVOKABLE void saveUserMemory(int n);
    Q_INVOKABLE void factoryDefault();
    // The shutdown page's answers.
    Q_INVOKABLE void confirmShutdown();
    Q_INVOKABLE void cancelShutdown();

    // For tests and diagnostics.
    SwitchGate *gate() const { return gate_; }
    bool tbarTimerActive() const;
    bool presencePollActive() const;
    bool pollRestartPending() const;
    PowerCtl *powerCtl() const { return powerCtl_; }
    Keyscan *keyscan() const { return keyscan_; }
    KivoServ *kivoServ() const { return kivoServ_; }

public slots:
    // Hardware keys 0..6 (Keyscan::sendKeyNo).
    void handleKey(int key);
    // The control surface (Tbar's signals).
    void onTbarValue(int value, int rawValue);
    void onJoystick(int pan, int tilt, int value);
    void onZoom(int direction, int value);

signals:
    // The start-up sequence has run its last step.
    void startUpFinished();

private:
    friend class StartupSequence;

    // Tally after a change of program or preview; `programPress` orders red
    // before green (when program and preview differ).
    void updateTally(bool programPress);
    // Green then red on the cameras of `preview` and `program` (1..3 only,
    // online only), without the offs.
    void tallyPair(int preview, int program);
    void afterTransition();
    // Program and preview as the board reports them once its transition has
    // run; corrects the interface and the tally where they differ.
    void followBoard();
    void onBuses(int generation, bool sent, bool ok, const zarvoMuStatus &board, bool autoRunning);
    bool autoRunning() const;
    void runSwitch(const char *what, bool program, int source);
    void tbarTick();
    void presenceTick();
    void trackingTick();
    void cameraInfoTick();
    void stopAllPolls();
    void restartPolls();
    void onPtzMoving();
    void onMainboardBusy();
    void onAppVersions(const QString &kb, const QString &mb);
    void onShutdownRequest();
    void onCamInfo(int camera, const QString &model);
    void createPowerCtl();
    void createKeyscan();
    void startDiscovery();
    void restoreAudioLevels(int memory);
    void storeAudioLevels(int memory);

    DeviceLines *lines_;
    PanelSettings *settings_;
    Tbar *tbar_ = nullptr;
    SwitcherState *switcher_;
    CommandQueue *queue_;
    StartupSequence *startup_;
    PowerCtl *powerCtl_ = nullptr;  // lives on the system lane
    Keyscan *keyscan_ = nullptr;    // lives on the system lane
    // The hardware threads as the system lane made them, read and written
    // only there: they end there even when this object goes before the
    // answer of their creation reaches it.
    struct HardwareThreads {
        PowerCtl *power = nullptr;
        Keyscan *keys = nullptr;
    };
    std::shared_ptr<HardwareThreads> hardware_ = std::make_shared<HardwareThreads>();
    KivoServ *kivoServ_ = nullptr;  // a child; its own thread answers

    // T-bar.
    SeamTimer *tbarTimer_;
    int tbarValue_ = -1;     // last value received
    int tbarSent_ = -1;      // last value written to the mainboard
    int tbarLastEnd_ = -1;   // last end (0 or 1023) seen
    int tbarIdleTicks_ = 0;
    bool tbarSeen_ = false;  // a raw value has arrived before
    int zoomDirection_ = 0;

    // Polls and the restart after a camera move or the T-bar.
    SeamTimer *presenceTimer_;
    int presenceRetries_ = -1;
    int presencePauseTicks_ = 20;
    int presenceWait_ = 0;
    int presenceCamera_ = 0;
    bool presenceInFlight_ = false;
    SeamTimer *cameraInfoTimer_;
    bool cameraInfoWanted_ = false;
    bool cameraInfoInFlight_ = false;
    SeamTimer *trackingTimer_;
    bool trackingWanted_ = false;
    int trackingCamera_ = 0;
    int trackingWait_ = 0;
    bool trackingInFlight_ = false;
    SeamTimer *pollRestartTimer_;
    SeamTimer *busyTimer_;

    // Following the board's program and preview.
    SwitchGate *gate_ = nullptr;
    SeamTimer *followTimer_;
    bool followInFlight_ = false;
    bool followAgain_ = false;
    int busGeneration_ = 0;     // counts the interface's own changes of the buses
    qint64 autoStartedAt_ = -1; // ms (monotonic) of the last acknowledged AUTO while it runs
};
