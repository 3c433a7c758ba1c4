#include "ui/surfaceinput.h"

#include "camera/vekcameraobject.h"
#include "maint/powerctl.h"
#include "maint/rpitool.h"
#include "netsvc/net.h"
#include "platform/threadcheck.h"
#include "surface/keyscan.h"
#include "surface/tbar.h"
#include "ui/camerapolls.h"
#include "ui/devicelines.h"
#include "ui/panelsettings.h"
#include "ui/switching.h"
#include "ui/timeseam.h"
#include "ui/uilog.h"

#include <QDebug>

#include <cmath>

namespace {
const QString kSystem = QStringLiteral("system");
constexpr int kTbarMax = 1023;
// Ticks of the T-bar timer without a new value before it stops.
constexpr int kTbarIdleTicks = 12;

bool isCamera(int camera) { return camera >= 0 && camera <= 2; }

const char *speedKey(int camera)
{
    static const char *const keys[] = {"cam1Speed", "cam2Speed", "cam3Speed"};
    return keys[camera];
}

int speedValueOfClass(int cls) { return cls == 0 ? 8 : cls == 1 ? 16 : 24; }
} // namespace

SurfaceInput::SurfaceInput(DeviceLines *lines, PanelSettings *settings, Switching *switching, CameraPolls *polls,
                           QObject *parent)
    : QObject(parent)
    , lines_(lines)
    , settings_(settings)
    , switching_(switching)
    , polls_(polls)
    , tbarTimer_(new SeamTimer(50, true, this))
{
    connect(tbarTimer_, &SeamTimer::timeout, this, &SurfaceInput::tbarTick);
    if (settings_)
        setSpeedValue(speedValueOfClass(settings_->intValue(kSystem, QStringLiteral("speedNum"))));
}

SurfaceInput::~SurfaceInput()
{
    // The hardware threads live on the system lane: they end there, after
    // whatever was queued for them, their creation included. Once the lane
    // has stopped nothing runs there any more, and they end here.
    auto end = [hw = hardware_] {
        delete hw->keys;
        delete hw->power;
        hw->keys = nullptr;
        hw->power = nullptr;
    };
    if (lines_ && lines_->system().thread()->isRunning())
        lines_->system().post([end](net &) { end(); });
    else
        end();
}

void SurfaceInput::setTbar(Tbar *tbar)
{
    TAVRIK_ASSERT_OWNER(this);
    if (tbar_)
        disconnect(tbar_, nullptr, this, nullptr);
    tbar_ = tbar;
    if (!tbar_)
        return;
    connect(tbar_, &Tbar::changeTbarValue, this, &SurfaceInput::onTbarValue);
    connect(tbar_, &Tbar::changeJoystickValue, this, &SurfaceInput::onJoystick);
    connect(tbar_, &Tbar::changeJoyZValue, this, &SurfaceInput::onZoom);
}

// ---------------------------------------------------------------- keys

void SurfaceInput::handleKey(int key)
{
    TAVRIK_ASSERT_OWNER(this);
    if (keyTest_) {
        emit keyTested(key);
        return;
    }
    switch (key) {
    case 0: setLockJoystickAndTBar(true); break;
    case 1: setCameraSpeed(trackingCamSel(), 18); break;
    case 2: setCameraSpeed(trackingCamSel(), 12); break;
    case 3: setCameraSpeed(trackingCamSel(), 6); break;
    case 4:
        if (screenshotMode()) {
            if (lines_)
                lines_->rpi([](RpiTool &t) { t.saveScreenshot(QStringLiteral("/mnt/tervana/img/")); });
            return;
        }
        switching_->cut();
        break;
    case 5: switching_->autoTransition(); break;
    case 6: setLockJoystickAndTBar(false); break;
    default: qCWarning(lcUi) << "[WARN] unknown key number" << key; break;
    }
}

// ---------------------------------------------------------------- T-bar

void SurfaceInput::onTbarValue(int value, int rawValue)
{
    TAVRIK_ASSERT_OWNER(this);
    Q_UNUSED(rawValue)
    if (lockJoystickAndTBar() || value == tbarValue_)
        return;
    // The mainboard takes 0..1023; anything else is a fault upstream.
    if (value < 0 || value > kTbarMax) {
        qCWarning(lcUi) << "[ERR] T-bar value out of range, not sent:" << value;
        return;
    }
    tbarValue_ = value;
    tbarIdleTicks_ = 0;
    if (!tbarSeen_) {
        // The lever's resting place at start-up: an end there is the first
        // end, so the mainboard's first transition is not missed.
        tbarSeen_ = true;
        if (value == 0 || value == kTbarMax) {
            tbarLastEnd_ = value;
            setSkipFirstSwitch(false);
        }
        return;
    }
    if (!tbarTimer_->isActive()) {
        tbarTimer_->start();
        polls_->holdForTbar(true);
    }
}

void SurfaceInput::tbarTick()
{
    const int value = tbarValue_;
    if (value != tbarSent_ && value >= 0 && value <= kTbarMax) {
        tbarSent_ = value;
        switching_->writeTbar(value);
    }
    if ((value == 0 || value == kTbarMax) && value != tbarLastEnd_) {
        tbarLastEnd_ = value;
        setTbarSwapEnd(value == 0 ? kTbarMax : 0);
        const bool first = skipFirstSwitch();
        setSkipFirstSwitch(false);
        switching_->tbarAtEnd(!first);
    }
    if (++tbarIdleTicks_ > kTbarIdleTicks) {
        tbarTimer_->stop();
        polls_->holdForTbar(false);
    }
}

bool SurfaceInput::tbarTimerActive() const
{
    return tbarTimer_->isActive();
}

// ---------------------------------------------------------------- joystick, zoom

void SurfaceInput::onJoystick(int pan, int tilt, int value)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!lines_)
        return;
    const int cam = trackingCamSel();
    if (lockJoystickAndTBar() || (value == -1 && pan == 0 && tilt == 0)) {
        lines_->camera().post([cam](vekCameraObject &v) { v.panTiltStop(0, 0, cam); });
        return;
    }
    const int speed = static_cast<int>(std::lround(speedValue() * 18.0 / 24.0));
    using Move = void (vekCameraObject::*)(int, int);
    using Diagonal = void (vekCameraObject::*)(int, int, int);
    Move straight = nullptr;
    Diagonal diagonal = nullptr;
    if (pan < 0 && tilt > 0)
        diagonal = &vekCameraObject::panTiltUpRight;
    else if (pan < 0 && tilt < 0)
        diagonal = &vekCameraObject::panTiltDownRight;
    else if (pan > 0 && tilt < 0)
        diagonal = &vekCameraObject::panTiltDownLeft;
    else if (pan > 0 && tilt > 0)
        diagonal = &vekCameraObject::panTiltUpLeft;
    else if (pan < 0)
        straight = &vekCameraObject::panTiltRight;
    else if (pan > 0)
        straight = &vekCameraObject::panTiltLeft;
    else if (tilt > 0)
        straight = &vekCameraObject::panTiltUp;
    else if (tilt < 0)
        straight = &vekCameraObject::panTiltDown;
    if (diagonal)
        lines_->camera().post([diagonal, speed, cam](vekCameraObject &v) { (v.*diagonal)(speed, speed, cam); });
    else if (straight)
        lines_->camera().post([straight, speed, cam](vekCameraObject &v) { (v.*straight)(speed, cam); });
}

void SurfaceInput::onZoom(int direction, int value)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!lines_)
        return;
    const int cam = trackingCamSel();
    if (value != -1 && direction == zoomDirection_)
        return;
    zoomDirection_ = value == -1 ? 0 : direction;
    const int speed = speedValue();
    if (value != -1 && direction > 0)
        lines_->camera().post([speed, cam](vekCameraObject &v) { v.zoomWide(speed, cam); });
    else if (value != -1 && direction < 0)
        lines_->camera().post([speed, cam](vekCameraObject &v) { v.zoomTele(speed, cam); });
    else
        lines_->camera().post([cam](vekCameraObject &v) { v.zoomStop(cam); });
}

// ---------------------------------------------------------------- speeds

void SurfaceInput::setCameraSpeed(int camera, int speed)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!isCamera(camera)) {
        qCWarning(lcUi) << "[WARN] camera speed: camera out of range:" << camera;
        return;
    }
    const int cls = speed >= 1 && speed <= 6 ? 0 : speed >= 7 && speed <= 12 ? 1 : speed >= 13 && speed <= 18 ? 2 : -1;
    if (cls < 0) {
        qCWarning(lcUi) << "[WARN] camera speed out of range:" << speed;
        return;
    }
    if (settings_) {
        settings_->setValue(kSystem, QLatin1String(speedKey(camera)), speed);
        if (settings_->intValue(kSystem, QStringLiteral("speedNum")) == cls)
            return;
        settings_->setValue(kSystem, QStringLiteral("speedNum"), cls);
    } else if (speedValue() == speedValueOfClass(cls)) {
        return;
    }
    setSpeedValue(speedValueOfClass(cls));
    if (PowerCtl *p = powerCtl_) {
        // The LED driver's tools run on the system lane, never here.
        lines_->system().post([p, cls](net &) {
            if (cls == 0)
                p->setSlow(true);
            else if (cls == 1)
                p->setMid(true);
            else
                p->setFast(true);
        });
    }
    if (tbar_)
        tbar_->setjoystickSpeed(camera, speedValue());
}

// ---------------------------------------------------------------- hardware threads

void SurfaceInput::createPowerCtl()
{
    TAVRIK_ASSERT_OWNER(this);
    // Its constructor runs the GPIO and LED tools: on the system lane.
    lines_->system().post([hw = hardware_](net &) { return hw->power = new PowerCtl; }, this, [this](PowerCtl *p) {
        powerCtl_ = p;
        connect(p, &PowerCtl::sendShutDown, this, &SurfaceInput::onShutdownButton);
        p->startThread();
    });
}

void SurfaceInput::createKeyscan()
{
    TAVRIK_ASSERT_OWNER(this);
    lines_->system().post([hw = hardware_](net &) { return hw->keys = new Keyscan; }, this, [this](Keyscan *k) {
        keyscan_ = k;
        connect(k, &Keyscan::sendKeyNo, this, &SurfaceInput::handleKey);
        k->start();
        lines_->system().post([k](net &) { k->setLedLight(40); });
    });
}

void SurfaceInput::onShutdownButton()
{
    if (PowerCtl *p = powerCtl_)
        lines_->system().post([p](net &n) {
            p->clear();
            n.setPause();
        });
    emit shutdownRequested();
}

void SurfaceInput::powerOff()
{
    TAVRIK_ASSERT_OWNER(this);
    if (PowerCtl *p = powerCtl_)
        lines_->system().post([p](net &) { p->shutdown(); });
}
