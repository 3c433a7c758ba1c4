#pragma once

#include <QObject>
#include <QString>

class DeviceLines;
class PanelSettings;

// A notifying property whose setter emits only on a change.
#define PANEL_PROPERTY(Type, name, Setter)                                                                   \
    Q_PROPERTY(Type name READ name WRITE Setter NOTIFY name##Changed)                                         \
public:                                                                                                       \
    Type name() const { return m_##name; }                                                                    \
    void Setter(Type v)                                                                                       \
    {                                                                                                         \
        if (m_##name == v)                                                                                    \
            return;                                                                                           \
        m_##name = v;                                                                                         \
        emit name##Changed();                                                                                 \
    }                                                                                                         \
    Q_SIGNAL void name##Changed();                                                                            \
                                                                                                              \
private:                                                                                                      \
    Type m_##name

// The root state of the interface and the hub of its control flow. Lives on
// the interface thread; the pages bind to its properties and call its
// invokables. It reaches the devices only through DeviceLines, never
// directly, so nothing here waits on a line.
class Panel : public QObject
{
    Q_OBJECT

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

public:
    explicit Panel(DeviceLines *lines, PanelSettings *settings, QObject *parent = nullptr);

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
    // The setup menu's memory page: save memory 1..6 (with its audio levels)
    // and the factory default flow.
    Q_INVOKABLE void saveUserMemory(int n);
    Q_INVOKABLE void factoryDefault();
    // Opens function pop-up 0..4 (closing any other) or closes it (-1).
    Q_INVOKABLE void openFunction(int func);
    Q_INVOKABLE void setCameraSpeed(int camera, int speed);

private:
    DeviceLines *lines_;
    PanelSettings *settings_;
};
