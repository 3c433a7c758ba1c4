#pragma once

#include "ui/audiometer.h"
#include "ui/camerapolls.h"
#include "ui/commandqueue.h"
#include "ui/notifyingproperty.h"
#include "ui/surfaceinput.h"
#include "ui/switcherstate.h"
#include "ui/switching.h"

#include <QObject>
#include <QString>
#include <QVariantList>

class BoardTrust;
class ControlApi;
class DeviceLines;
class KivoServ;
class Keyscan;
class PanelSettings;
class PowerCtl;
class StartupSequence;
class SwitchGate;
class TallyOut;
class Tbar;

// The root state of the interface: what the root page shows and the names
// the pages bind to ("panel"). Lives on the interface thread; every call
// comes from there. The work is done by the parts it holds, each owning one
// concern, and the pages and the start-up sequence reach them through the
// accessors below:
//  - switcher():  SwitcherState, the one copy of the switcher's state;
//  - switching(): presses on the buses and transition block, tally, the
//                 buses read back from the board;
//  - surface():   hardware keys, T-bar, joystick, zoom, speeds, power button;
//  - polls():     camera presence, information and auto-tracking polls;
//  - BoardTrust:  whether what the pages show of the switcher is the board's.
// Their properties appear here under the names the pages have always used.
// Here itself: pages and pop-ups, user memories, factory default, the
// network values and discovery, the update offer and shutdown.
class Panel : public QObject
{
    Q_OBJECT

public:
    // What the root page shows over the home page: the tracking page (image
    // keys) over the lower two thirds, the setup menu and the network page
    // over everything below the status bar.
    enum Page { HomePage = 0, TrackingPage, SetupMenuPage, NetworkPage };
    Q_ENUM(Page)

    PANEL_PROPERTY(int, camSel, setCamSel) = 0;
    PANEL_PROPERTY(int, funcSel, setFuncSel) = -1; // -1: no function pop-up open
    PANEL_PROPERTY(int, menuOption, setMenuOption) = 0;
    // 0 English, 1 Traditional Chinese, 2 Simplified Chinese.
    PANEL_PROPERTY(int, langType, setLangType) = 0;
    // True once the start-up sequence has completed ("enable the system").
    PANEL_PROPERTY(bool, systemEnabled, setSystemEnabled) = false;
    PANEL_PROPERTY(int, userMemorySel, setUserMemorySel) = 0;
    PANEL_PROPERTY(QString, appVersion, setAppVersion) = QStringLiteral("v1.1.15");
    // Pages shown over everything: splash (with the launch logo for its first
    // seconds) and loading; banners that never hide the buses.
    PANEL_PROPERTY(bool, splashVisible, setSplashVisible) = true;
    PANEL_PROPERTY(bool, launchLogoVisible, setLaunchLogoVisible) = false;
    PANEL_PROPERTY(bool, loadingVisible, setLoadingVisible) = false;
    // A notification for the operator (e.g. no camera signal); empty: none.
    PANEL_PROPERTY(QString, notice, setNotice);
    PANEL_PROPERTY(bool, shutdownVisible, setShutdownVisible) = false;
    PANEL_PROPERTY(bool, upgradeVisible, setUpgradeVisible) = false;
    // Versions the update check offered (empty: none found).
    PANEL_PROPERTY(QString, offeredAppVersion, setOfferedAppVersion);
    PANEL_PROPERTY(QString, offeredMainboardVersion, setOfferedMainboardVersion);
    // Network values read at start-up (the network page and discovery).
    PANEL_PROPERTY(QString, ipAddress, setIpAddress);
    PANEL_PROPERTY(QString, netmask, setNetmask);
    PANEL_PROPERTY(QString, gateway, setGateway);
    PANEL_PROPERTY(QString, macAddress, setMacAddress);
    PANEL_PROPERTY(bool, dhcpMode, setDhcpMode) = false;
    // The three camera lines have been opened.
    PANEL_PROPERTY(bool, serialInitDone, setSerialInitDone) = false;
    PANEL_PROPERTY(int, page, setPage) = HomePage;

    // Kept by the parts, shown under the root page's names.
    PANEL_FORWARD(int, programNo, setProgramNo, switcher_)
    PANEL_FORWARD(int, previewNo, setPreviewNo, switcher_)
    PANEL_FORWARD(bool, pipPgmFlag, setPipPgmFlag, switcher_)
    PANEL_FORWARD(bool, pipPvwFlag, setPipPvwFlag, switcher_)
    PANEL_FORWARD(bool, lumaPgmFlag, setLumaPgmFlag, switcher_)
    PANEL_FORWARD(bool, lumaPvwFlag, setLumaPvwFlag, switcher_)
    PANEL_FORWARD(bool, wipeSelected, setWipeSelected, switcher_)
    PANEL_FORWARD(int, transSpeed, setTransSpeed, switcher_)
    PANEL_FORWARD(bool, transitionRunning, setTransitionRunning, switcher_)
    PANEL_FORWARD(int, tbarPosition, setTbarPosition, switcher_)
    PANEL_FORWARD(bool, mainboardConnected, setMainboardConnected, switcher_)
    PANEL_FORWARD(QString, mainboardVersion, setMainboardVersion, switcher_)
    PANEL_FORWARD(bool, busyNoticeVisible, setBusyNoticeVisible, switching_)
    PANEL_FORWARD(QString, busyNoticeText, setBusyNoticeText, switching_)
    PANEL_FORWARD(int, autoLengthMs, setAutoLengthMs, switching_)
    PANEL_FORWARD(qreal, autoProgress, setAutoProgress, switching_)
    PANEL_FORWARD(int, trackingCamSel, setTrackingCamSel, surface_)
    PANEL_FORWARD(bool, lockJoystickAndTBar, setLockJoystickAndTBar, surface_)
    PANEL_FORWARD(int, speedValue, setSpeedValue, surface_)
    PANEL_FORWARD(bool, skipFirstSwitch, setSkipFirstSwitch, surface_)
    PANEL_FORWARD(bool, screenshotMode, setScreenshotMode, surface_)
    PANEL_FORWARD(int, tbarSwapEnd, setTbarSwapEnd, surface_)
    PANEL_FORWARD(bool, cam1Online, setCam1Online, polls_)
    PANEL_FORWARD(bool, cam2Online, setCam2Online, polls_)
    PANEL_FORWARD(bool, cam3Online, setCam3Online, polls_)
    PANEL_FORWARD(QString, cameraName, setCameraName, polls_)
    PANEL_FORWARD(QVariantList, trackingStates, setTrackingStates, polls_)

    // False while a field showing the switcher's state may not be what the
    // board holds (see BoardTrust): the pages mark such fields UNCONFIRMED.
    Q_PROPERTY(bool boardStateTrusted READ boardStateTrusted NOTIFY boardStateTrustedChanged)
    Q_PROPERTY(SwitcherState *switcher READ switcher CONSTANT)
    Q_PROPERTY(Switching *switching READ switching CONSTANT)
    Q_PROPERTY(CommandQueue *queue READ queue CONSTANT)
    Q_PROPERTY(AudioMeter *meter READ meter CONSTANT)
    Q_PROPERTY(ControlApi *api READ api CONSTANT)

public:
    explicit Panel(DeviceLines *lines, PanelSettings *settings, QObject *parent = nullptr);
    ~Panel() override;

    DeviceLines *lines() const { return lines_; }
    PanelSettings *settings() const { return settings_; }
    SwitcherState *switcher() const { return switcher_; }
    Switching *switching() const { return switching_; }
    SurfaceInput *surface() const { return surface_; }
    CameraPolls *polls() const { return polls_; }
    // Tally to TSL receivers; null without settings.
    TallyOut *tallyOut() const { return tallyOut_; }
    // The program audio levels (the meter program's frames).
    AudioMeter *meter() const { return meter_; }
    // The root page's command queue (150 ms).
    CommandQueue *queue() const { return queue_; }
    // The control and state API (null without lanes or settings).
    ControlApi *api() const { return api_; }

    void setTbar(Tbar *tbar) { surface_->setTbar(tbar); }
    Tbar *tbar() const { return surface_->tbar(); }

    bool boardStateTrusted() const;
    Q_SIGNAL void boardStateTrustedChanged();

    // Runs the start-up sequence; called once the root page exists.
    Q_INVOKABLE void startUp();

    // Camera 0..2 online flag (false outside the range).
    Q_INVOKABLE bool camOnline(int camera) const { return polls_->camOnline(camera); }
    void setCamOnline(int camera, bool online) { polls_->setCamOnline(camera, online); }

    // What the home page forwards (see Switching).
    Q_INVOKABLE void pressProgram(int button) { switching_->pressProgram(button); }
    Q_INVOKABLE void pressPreview(int button) { switching_->pressPreview(button); }
    Q_INVOKABLE void cut() { switching_->cut(); }
    Q_INVOKABLE void autoTransition() { switching_->autoTransition(); }
    Q_INVOKABLE void selectWipe() { switching_->selectWipe(); }
    Q_INVOKABLE void selectMix() { switching_->selectMix(); }
    Q_INVOKABLE void togglePipProgram() { switching_->togglePipProgram(); }
    Q_INVOKABLE void togglePipPreview() { switching_->togglePipPreview(); }
    Q_INVOKABLE void toggleKeyProgram() { switching_->toggleKeyProgram(); }
    Q_INVOKABLE void toggleKeyPreview() { switching_->toggleKeyPreview(); }
    Q_INVOKABLE void setCameraSpeed(int camera, int speed) { surface_->setCameraSpeed(camera, speed); }

    // Home page recall of user memories 1 and 2 (and the setup menu's 1..6).
    Q_INVOKABLE void recallUserMemory(int n);
    // Opens function pop-up 0..4 (closing any other) or closes it (-1).
    Q_INVOKABLE void openFunction(int func);
    // Shows a page (closing any function pop-up); unknown pages show home.
    Q_INVOKABLE void showPage(int p);

    // The camera page's information poll (5000 ms, through the queue) and
    // the auto-tracking page's presence poll (800 ms).
    Q_INVOKABLE void startCameraInfoPoll() { polls_->startCameraInfoPoll(); }
    Q_INVOKABLE void stopCameraInfoPoll() { polls_->stopCameraInfoPoll(); }
    Q_INVOKABLE void startTrackingPoll() { polls_->startTrackingPoll(); }
    Q_INVOKABLE void stopTrackingPoll() { polls_->stopTrackingPoll(); }
    Q_INVOKABLE int trackingState(int camera) const { return polls_->trackingState(camera); }
    void setTrackingState(int camera, int state) { polls_->setTrackingState(camera, state); }
    Q_SIGNAL void trackingStateChanged(int camera);

    // User memory n (0 factory set, 1..6) with its six audio levels.
    Q_INVOKABLE void saveUserMemory(int n);
    Q_INVOKABLE void factoryDefault();
    // The six audio levels of memory n: stored from the current levels, or
    // made current (and sent) from the stored ones.
    void storeAudioLevels(int memory);
    void restoreAudioLevels(int memory);
    // The shutdown page's answers.
    Q_INVOKABLE void confirmShutdown();
    Q_INVOKABLE void cancelShutdown();

    // Reads the network values for the pages and starts the discovery
    // server with them (once).
    void startDiscovery();

    // For tests and diagnostics.
    SwitchGate *gate() const { return switching_->gate(); }
    bool tbarTimerActive() const { return surface_->tbarTimerActive(); }
    bool presencePollActive() const { return polls_->presencePollActive(); }
    bool pollRestartPending() const { return polls_->pollRestartPending(); }
    PowerCtl *powerCtl() const { return surface_->powerCtl(); }
    Keyscan *keyscan() const { return surface_->keyscan(); }
    KivoServ *kivoServ() const { return kivoServ_; }

public slots:
    // Hardware keys 0..6 and the control surface (see SurfaceInput).
    void handleKey(int key) { surface_->handleKey(key); }
    void onTbarValue(int value, int rawValue) { surface_->onTbarValue(value, rawValue); }
    void onJoystick(int pan, int tilt, int value) { surface_->onJoystick(pan, tilt, value); }
    void onZoom(int direction, int value) { surface_->onZoom(direction, value); }

signals:
    // The start-up sequence has run its last step.
    void startUpFinished();

private:
    void onAppVersions(const QString &kb, const QString &mb);
    void onShutdownRequest();

    DeviceLines *lines_;
    PanelSettings *settings_;
    // Made in this order: each part is handed the ones before it.
    SwitcherState *switcher_;
    CommandQueue *queue_;
    CameraPolls *polls_;
    Switching *switching_;
    SurfaceInput *surface_;
    StartupSequence *startup_;
    AudioMeter *meter_;
    BoardTrust *trust_;
    KivoServ *kivoServ_ = nullptr; // a child; its own thread answers
    TallyOut *tallyOut_ = nullptr;
    ControlApi *api_ = nullptr;    // a child; its server has a thread of its own
};
