#include "ui/camerasettings.h"

#include "camera/vekcameraobject.h"
#include "maint/powerctl.h"
#include "netsvc/net.h"
#include "platform/threadcheck.h"
#include "ui/devicelines.h"
#include "ui/panel.h"
#include "ui/panelsettings.h"
#include "ui/timeseam.h"

CameraSettings::CameraSettings(Panel *panel, QObject *parent)
    : QObject(parent), stepTimer_(new SeamTimer(kStepMs, true, this))
{
    connect(stepTimer_, &SeamTimer::timeout, this, &CameraSettings::stepTick);
    setPanel(panel);
}

QString CameraSettings::videoFormatName() const
{
    return videoFormatName(videoFormat_);
}

QString CameraSettings::shutterLabel() const
{
    TAVRIK_ASSERT_OWNER(this);
    return shutterLabels(videoFormat_, modelName_).value(shutter_);
}

void CameraSettings::setPanel(Panel *panel)
{
    TAVRIK_ASSERT_OWNER(this);
    if (panel_ == panel)
        return;
    for (const auto &c : connections_)
        disconnect(c);
    connections_.clear();
    panel_ = panel;
    connectCamera();
    emit panelChanged();
}

void CameraSettings::connectCamera()
{
    if (!panel_)
        return;
    // A different camera: nothing shown belongs to it until it reports.
    connections_ << connect(panel_, &Panel::camSelChanged, this, [this] {
        stepTimer_->stop();
        step_ = Step::None;
        if (!modelName_.isEmpty()) {
            modelName_.clear();
            emit modelNameChanged();
            emit shutterChanged();
        }
    });
    vekCameraObject *camObj = panel_->lines() ? panel_->lines()->camera().object() : nullptr;
    if (!camObj)
        return;
    connections_ << connect(camObj, &vekCameraObject::sendVideoFormat, this, [this](int c, int index) {
        if (!forSelected(c) || videoFormat_ == index)
            return;
        videoFormat_ = index;
        emit videoFormatChanged();
        emit shutterChanged();
    });
    connections_ << connect(camObj, &vekCameraObject::sendWb, this, [this](int c, int mode) {
        if (!forSelected(c))
            return;
        const int shown = mode == 0 ? 1 : 0;
        if (whiteBalance_ != shown) {
            whiteBalance_ = shown;
            emit whiteBalanceChanged();
        }
    });
    connections_ << connect(camObj, &vekCameraObject::sendRGain, this, [this](int c, quint8 gain) {
        if (forSelected(c)) {
            inquiry_ = true;
            setGain(false, gain);
            inquiry_ = false;
        }
    });
    connections_ << connect(camObj, &vekCameraObject::sendBGain, this, [this](int c, quint8 gain) {
        if (forSelected(c)) {
            inquiry_ = true;
            setGain(true, gain);
            inquiry_ = false;
        }
    });
    connections_ << connect(camObj, &vekCameraObject::sendFocus, this, [this](int c, bool isAuto) {
        if (forSelected(c) && focusMode_ != (isAuto ? 0 : 1)) {
            focusMode_ = isAuto ? 0 : 1;
            emit focusModeChanged();
        }
    });
    connections_ << connect(camObj, &vekCameraObject::sendIris, this, [this](int c, bool isAuto) {
        if (forSelected(c) && irisMode_ != (isAuto ? 0 : 1)) {
            irisMode_ = isAuto ? 0 : 1;
            emit irisModeChanged();
        }
    });
    connections_ << connect(camObj, &vekCameraObject::sendTally, this, [this](int c, int t) {
        if (forSelected(c) && tally_ != t) {
            tally_ = t;
            emit tallyChanged();
        }
    });
    connections_ << connect(camObj, &vekCameraObject::sendSpeed, this, [this](int c, quint8) {
        if (forSelected(c))
            showStoredSpeedClass(c);
    });
    connections_ << connect(camObj, &vekCameraObject::setCamInfo, this,
                            [this](int c, const QString &, const QString &, const QString &, const QString &model) {
                                if (!forSelected(c) || modelName_ == model)
                                    return;
                                modelName_ = model;
                                emit modelNameChanged();
                                emit shutterChanged();
                            });
}

void CameraSettings::showStoredSpeedClass(int camera)
{
    // The speed lamps show the class of the speed stored for the camera,
    // not the range the camera reports.
    if (!panel_ || !panel_->settings())
        return;
    const int speed = panel_->settings()->intValue(QStringLiteral("system"), QStringLiteral("cam%1Speed").arg(camera + 1));
    const int speedClass = speed >= 1 && speed <= 6 ? 0 : speed >= 7 && speed <= 12 ? 1 : speed >= 13 && speed <= 18 ? 2 : -1;
    if (speedClass < 0)
        return;
    PowerCtl *power = panel_->powerCtl();
    if (!power || !panel_->lines())
        return;
    // The LED driver's tools run on the system lane, as the root state's do.
    panel_->lines()->system().post([power, speedClass](net &) {
        if (speedClass == 0)
            power->setSlow(true);
        else if (speedClass == 1)
            power->setMid(true);
        else
            power->setFast(true);
    });
}

int CameraSettings::cam() const
{
    return panel_ ? panel_->camSel() : 0;
}

bool CameraSettings::forSelected(int camera) const
{
    return panel_ && camera == panel_->camSel();
}

template <typename F>
void CameraSettings::camCall(F &&fn)
{
    if (panel_ && panel_->lines())
        panel_->lines()->camera().post(std::forward<F>(fn));
}

void CameraSettings::setPage(int page)
{
    TAVRIK_ASSERT_OWNER(this);
    if (page != 1 && page != 2)
        return;
    if (page_ == page)
        return;
    stepTimer_->stop();
    step_ = Step::None;
    page_ = page;
    emit pageChanged();
}

void CameraSettings::setBlueGainSelected(bool blue)
{
    TAVRIK_ASSERT_OWNER(this);
    if (blueSelected_ == blue)
        return;
    blueSelected_ = blue;
    emit blueGainSelectedChanged();
    emit selectedGainChanged();
}

void CameraSettings::refresh()
{
    TAVRIK_ASSERT_OWNER(this);
    const int c = cam();
    camCall([c](vekCameraObject &o) {
        o.getSystemStatus(c);
        o.queryVersion(c);
    });
    readShutter();
}

void CameraSettings::selectWhiteBalance(int mode)
{
    TAVRIK_ASSERT_OWNER(this);
    const int c = cam();
    switch (mode) {
    case 0: camCall([c](vekCameraObject &o) { o.manualWhiteBalance(c); }); break;
    case 1: camCall([c](vekCameraObject &o) { o.autoWhiteBalance(c); }); break;
    case 2: camCall([c](vekCameraObject &o) { o.whiteBalance(c); }); break;
    default: return;
    }
    if (whiteBalance_ != mode) {
        whiteBalance_ = mode;
        emit whiteBalanceChanged();
    }
}

void CameraSettings::selectFocus(int mode)
{
    TAVRIK_ASSERT_OWNER(this);
    const int c = cam();
    if (mode == 0)
        camCall([c](vekCameraObject &o) { o.autoFocus(c); });
    else if (mode == 1)
        camCall([c](vekCameraObject &o) { o.manualFocus(c); });
    else
        return;
    if (focusMode_ != mode) {
        focusMode_ = mode;
        emit focusModeChanged();
    }
}

void CameraSettings::focusNearPressed()
{
    TAVRIK_ASSERT_OWNER(this);
    const int c = cam();
    camCall([c](vekCameraObject &o) { o.focusNear(c); });
}

void CameraSettings::focusFarPressed()
{
    TAVRIK_ASSERT_OWNER(this);
    const int c = cam();
    camCall([c](vekCameraObject &o) { o.focusFar(c); });
}

void CameraSettings::focusReleased()
{
    TAVRIK_ASSERT_OWNER(this);
    const int c = cam();
    camCall([c](vekCameraObject &o) { o.focusStop(c); });
}

void CameraSettings::selectIris(int mode)
{
    TAVRIK_ASSERT_OWNER(this);
    const int c = cam();
    if (mode == 0)
        camCall([c](vekCameraObject &o) { o.autoAE(c); });
    else if (mode == 1)
        camCall([c](vekCameraObject &o) { o.manualAE(c); });
    else
        return;
    if (irisMode_ != mode) {
        irisMode_ = mode;
        emit irisModeChanged();
    }
}

void CameraSettings::irisUp()
{
    TAVRIK_ASSERT_OWNER(this);
    const int c = cam();
    camCall([c](vekCameraObject &o) { o.iRISUp(c); });
}

void CameraSettings::irisDown()
{
    TAVRIK_ASSERT_OWNER(this);
    const int c = cam();
    camCall([c](vekCameraObject &o) { o.iRISDown(c); });
}

void CameraSettings::openShutterPage()
{
    TAVRIK_ASSERT_OWNER(this);
    setPage(2);
    readShutter();
}

void CameraSettings::readShutter()
{
    if (!panel_ || !panel_->lines())
        return;
    const int c = cam();
    panel_->lines()->camera().post(
        [c](vekCameraObject &o) {
            const int pos = o.shutterPosInq(c);
            return cameraResult(o, c, pos >= 0, pos);
        },
        this, [this, c](const Result<int> &r) {
            if (forSelected(c) && shutterReadOutcome_ != r.outcome) {
                shutterReadOutcome_ = r.outcome;
                emit shutterReadOutcomeChanged();
            }
            shutterFromCamera(c, r.value);
        });
}

int CameraSettings::shutterReadOutcome() const
{
    TAVRIK_ASSERT_OWNER(this);
    return shutterReadOutcome_;
}

void CameraSettings::shutterFromCamera(int camera, int value)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!forSelected(camera) || value < 1 || value > kShutterMax)
        return;
    inquiry_ = true;
    setShutter(value);
    inquiry_ = false;
}

void CameraSettings::startStep(Step step)
{
    // One timer for every step source: a new request replaces a running one.
    step_ = step;
    stepTimer_->start();
}

bool CameraSettings::stepTimerActive() const
{
    TAVRIK_ASSERT_OWNER(this);
    return stepTimer_->isActive();
}

void CameraSettings::minusPressed()
{
    TAVRIK_ASSERT_OWNER(this);
    minusTicks_ = 0;
    startStep(Step::Minus);
}

void CameraSettings::minusReleased()
{
    TAVRIK_ASSERT_OWNER(this);
    if (step_ != Step::Minus)
        return;
    const bool stepped = minusTicks_ > 0;
    stepTimer_->stop();
    step_ = Step::None;
    // A tap shorter than one tick would otherwise do nothing at all.
    if (!stepped)
        stepDown();
}

void CameraSettings::plusPressed()
{
    TAVRIK_ASSERT_OWNER(this);
    startStep(Step::Plus);
}

void CameraSettings::gainMoved(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    if (inquiry_)
        return;
    setGain(blueSelected_, value);
    startStep(Step::GainMoved);
}

void CameraSettings::shutterMoved(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    if (inquiry_)
        return;
    setShutter(value);
    startStep(Step::ShutterMoved);
}

void CameraSettings::stepDown()
{
    if (page_ == 1) {
        if (setGain(blueSelected_, selectedGain() - 1))
            sendGain();
    } else {
        setShutter(shutter_ - 1);
        sendShutter();
    }
}

void CameraSettings::stepTick()
{
    TAVRIK_ASSERT_OWNER(this);
    switch (step_) {
    case Step::Minus:
        ++minusTicks_;
        stepDown();
        if (page_ == 1)
            return; // keeps stepping while held
        break;
    case Step::Plus:
        if (page_ == 1) {
            if (setGain(blueSelected_, selectedGain() + 1))
                sendGain();
        } else {
            setShutter(shutter_ + 1);
            sendShutter();
        }
        break;
    case Step::GainMoved:
        sendGain();
        break;
    case Step::ShutterMoved:
        sendShutter();
        break;
    case Step::None:
        break;
    }
    stepTimer_->stop();
    step_ = Step::None;
}

bool CameraSettings::setGain(bool blue, int value)
{
    value = qBound(0, value, kGainMax);
    int &gain = blue ? bGain_ : rGain_;
    if (gain == value)
        return false;
    gain = value;
    if (blue)
        emit bGainChanged();
    else
        emit rGainChanged();
    if (blue == blueSelected_)
        emit selectedGainChanged();
    return true;
}

void CameraSettings::sendGain()
{
    const int c = cam();
    const int value = selectedGain();
    if (blueSelected_)
        camCall([value, c](vekCameraObject &o) { o.setBGain(value, c); });
    else
        camCall([value, c](vekCameraObject &o) { o.setRGain(value, c); });
}

void CameraSettings::setShutter(int value)
{
    value = qBound(0, value, kShutterMax);
    if (shutter_ == value)
        return;
    shutter_ = value;
    emit shutterChanged();
}

void CameraSettings::sendShutter()
{
    if (inquiry_)
        return;
    const int c = cam();
    const int position = shutter_ + kShutterOffset;
    camCall([position, c](vekCameraObject &o) { o.shutterDirect(position, c); });
}
