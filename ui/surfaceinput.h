#pragma once

#include "ui/notifyingproperty.h"

#include <QObject>

#include <memory>

class CameraPolls;
class DeviceLines;
class Keyscan;
class PanelSettings;
class PowerCtl;
class SeamTimer;
class Switching;
class Tbar;

// The control surface as the interface takes it: the hardware keys, the
// T-bar, joystick and zoom rocker, the camera speed classes and their lamps,
// and the power button. Lives on the interface thread; every call comes from
// there (the surface threads' signals arrive queued). Switching is asked for
// CUT, AUTO and the T-bar's positions and ends; the camera polls are held
// while the T-bar runs; pan, tilt and zoom go to the camera lane.
class SurfaceInput : public QObject
{
    Q_OBJECT
    PANEL_PROPERTY(bool, lockJoystickAndTBar, setLockJoystickAndTBar) = false;
    PANEL_PROPERTY(int, speedValue, setSpeedValue) = 24;
    // The joystick's and zoom rocker's camera (0..2).
    PANEL_PROPERTY(int, trackingCamSel, setTrackingCamSel) = 0;
    PANEL_PROPERTY(bool, skipFirstSwitch, setSkipFirstSwitch) = true;
    // Key 4 saves a screenshot instead of cutting.
    PANEL_PROPERTY(bool, screenshotMode, setScreenshotMode) = false;
    // The T-bar end (0 or 1023) whose arrival swaps program and preview
    // next; -1 until the lever has reached an end once.
    PANEL_PROPERTY(int, tbarSwapEnd, setTbarSwapEnd) = -1;

public:
    SurfaceInput(DeviceLines *lines, PanelSettings *settings, Switching *switching, CameraPolls *polls,
                 QObject *parent = nullptr);
    ~SurfaceInput() override;

    // The T-bar poller (its setters are atomic, so they are called here).
    void setTbar(Tbar *tbar);
    Tbar *tbar() const { return tbar_; }

    // Speed 1..18 for camera 0..2 (its class: 1..6, 7..12, 13..18).
    void setCameraSpeed(int camera, int speed);

    // The hardware threads, made on the system lane (their constructors run
    // tools) and started here once made.
    void createPowerCtl();
    void createKeyscan();
    PowerCtl *powerCtl() const { return powerCtl_; }
    Keyscan *keyscan() const { return keyscan_; }
    // The shutdown page's yes.
    void powerOff();

    bool tbarTimerActive() const;

    // The service page's key test: while on, a hardware key only reports
    // itself (keyTested) and does nothing else.
    void setKeyTest(bool on) { keyTest_ = on; }
    bool keyTest() const { return keyTest_; }

public slots:
    // Hardware keys 0..6 (Keyscan::sendKeyNo).
    void handleKey(int key);
    // The control surface (Tbar's signals).
    void onTbarValue(int value, int rawValue);
    void onJoystick(int pan, int tilt, int value);
    void onZoom(int direction, int value);

signals:
    // The power button asked to shut down (the button's state is cleared and
    // the preview paused already).
    void shutdownRequested();
    void keyTested(int key);

private:
    void tbarTick();
    void onShutdownButton();

    DeviceLines *lines_;
    PanelSettings *settings_;
    Switching *switching_;
    CameraPolls *polls_;
    Tbar *tbar_ = nullptr;
    PowerCtl *powerCtl_ = nullptr; // lives on the system lane
    Keyscan *keyscan_ = nullptr;   // lives on the system lane
    // The hardware threads as the system lane made them, read and written
    // only there: they end there even when this object goes before the
    // answer of their creation reaches it.
    struct HardwareThreads {
        PowerCtl *power = nullptr;
        Keyscan *keys = nullptr;
    };
    std::shared_ptr<HardwareThreads> hardware_ = std::make_shared<HardwareThreads>();

    SeamTimer *tbarTimer_;
    int tbarValue_ = -1;     // last value received
    int tbarSent_ = -1;      // last value written to the mainboard
    int tbarLastEnd_ = -1;   // last end (0 or 1023) seen
    int tbarIdleTicks_ = 0;
    bool tbarSeen_ = false;  // a raw value has arrived before
    int zoomDirection_ = 0;
    bool keyTest_ = false;
};
