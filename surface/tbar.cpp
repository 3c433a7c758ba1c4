#include "surface/tbar.h"

#include "platform/sysroot.h"
#include "surface/surfacelog.h"

#include <QDateTime>
#include <QDebug>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
constexpr int kTbarChannel = 0;
constexpr int kJoystickXChannel = 1;
constexpr int kJoystickYChannel = 2;
constexpr int kZoomChannel = 3;

constexpr int kConversionWaitMs = 6;
constexpr int kAxisXExtraMs = 20;
constexpr int kRestPaceMs = 10;
constexpr int kMovingPaceMs = 5;
constexpr int kJumpStepMs = 100;

constexpr int kTbarMax = 1023;
constexpr int kEndClampRaw = 20;
constexpr int kIgnoredRaw = 9;
constexpr int kBoundNear = 49;
constexpr int kBoundSteady = 20; // the bound moves on the reading after this many
constexpr int kCentreNear = 99;
constexpr int kCentreSteady = 21;
constexpr int kZoomThreshold = 200;
} // namespace

Tbar::Tbar(QObject *parent) : PollingThread(parent)
{
    pause_ = [this](int ms) { return pause(ms); };
}

Tbar::~Tbar()
{
    stopAndWait();
}

void Tbar::setPauseFunction(PauseFunction pause)
{
    pause_ = pause ? std::move(pause) : PauseFunction([this](int ms) { return this->pause(ms); });
}

bool Tbar::boundsLeaveSpan(int lower, int upper, bool settingUpper, int kept)
{
    if (upper - lower >= kMinBoundSpan)
        return true;
    const QString text = settingUpper ? QStringLiteral("[WARN] T-bar upper bound %1 refused: the lower bound is %2, "
                                                       "at least %3 below is needed; keeping %4")
                                      : QStringLiteral("[WARN] T-bar lower bound %1 refused: the upper bound is %2, "
                                                       "at least %3 above is needed; keeping %4");
    qCWarning(lcSurface).noquote() << text.arg(settingUpper ? upper : lower)
                                          .arg(settingUpper ? lower : upper)
                                          .arg(kMinBoundSpan)
                                          .arg(kept);
    return false;
}

void Tbar::setUpperBound(int value)
{
    qCDebug(lcSurface).noquote() << QStringLiteral("setUppderBound -> %1").arg(value);
    if (boundsLeaveSpan(lowerBound.load(), value, true, upperBound.load()))
        upperBound.store(value);
}

void Tbar::setLowerBound(int value)
{
    qCDebug(lcSurface).noquote() << QStringLiteral("setLowerBound -> %1").arg(value);
    if (boundsLeaveSpan(value, upperBound.load(), false, lowerBound.load()))
        lowerBound.store(value);
}

void Tbar::setjoystickMidValue(int value)
{
    qCDebug(lcSurface).noquote() << QStringLiteral("set joystick MidValue -> %1").arg(value);
    joystickMidValue.store(value);
}

void Tbar::setjoystickSpeed(int vekIdx, int speed)
{
    vekIndex.store(vekIdx);
    curSpeed.store(speed);
}

void Tbar::setZarvoControl(commandExecObject *control)
{
    zarvoCtl.store(control);
}

bool Tbar::openConverter()
{
    if (!converter_.open(Sysroot::path(QStringLiteral("/dev/i2c-1")), I2cConverter::kAddress))
        return false;
    converter_.startFirstConversion();
    return true;
}

void Tbar::run()
{
    int index = 0;
    int previous = 0;
    int failedSteps = 0;
    axisX_ = axisY_ = 0;
    haveAxisX_ = haveAxisY_ = false;

    while (!stopping()) {
        if (!converter_.isOpen()) {
            // Without a converter there is nothing to pace; look again now
            // and then (it may appear once its driver is loaded).
            if (!openConverter())
                pause(kReopenIntervalMs);
            continue;
        }

        const int channel = index;
        const bool configured = converter_.startConversion(channel);
        // One wait, not two in a row: each is a wake-up of the thread.
        pause(channel == kJoystickXChannel ? kAxisXExtraMs + kConversionWaitMs : kConversionWaitMs);
        int reading = 0;
        const bool selected = converter_.selectConversionRegister();
        const bool read = selected && converter_.readConversion(reading);
        index = (index + 1) % I2cConverter::kChannels;
        if (!configured || !read) {
            // Whatever the register holds now is not this channel's fresh
            // conversion (a stale value, another channel's, or the
            // configuration register): skip the step.
            // A converter that was unplugged and plugged back leaves this
            // descriptor dead for good: after a run of failed steps it is
            // closed, and the loop opens the device again.
            if (++failedSteps >= kReopenAfterFailedSteps) {
                failedSteps = 0;
                converter_.close();
            }
            pause(kRestPaceMs);
            continue;
        }
        failedSteps = 0;

        const int threshold = channel == kTbarChannel ? 10 : 50;
        pause(std::abs(reading - previous) < threshold ? kRestPaceMs : kMovingPaceMs);
        if (stopping())
            break;
        processReading(channel, reading, QDateTime::currentMSecsSinceEpoch());
        previous = reading;
    }
    converter_.close();
}

void Tbar::processReading(int channel, int reading, qint64 nowMs)
{
    if (channel >= 0 && channel < kChannels)
        lastReading_[static_cast<size_t>(channel)].store(reading, std::memory_order_relaxed);
    switch (channel) {
    case kTbarChannel:
        calibrateEndPoints(reading);
        processTbar(reading, nowMs);
        break;
    case kJoystickXChannel:
        trackJoystickCentre(reading);
        axisX_ = reading;
        haveAxisX_ = true;
        // Until both axes have been read the other one is unknown, not
        // centred: guessing would tilt or pan the camera at start-up.
        if (haveAxisY_)
            processJoystick(axisX_, axisY_);
        break;
    case kJoystickYChannel:
        trackJoystickCentre(reading);
        axisY_ = reading;
        haveAxisY_ = true;
        if (haveAxisX_)
            processJoystick(axisX_, axisY_);
        break;
    case kZoomChannel:
        trackZoomCentre(reading);
        processZoom(reading);
        break;
    default:
        break;
    }
}

void Tbar::trackBound(std::atomic<int> &bound, int &counter, int reading, bool isUpper)
{
    int current = bound.load();
    if (std::abs(reading - current) > kBoundNear) {
        counter = 0;
        return;
    }
    if (++counter <= kBoundSteady)
        return;
    counter = 0;
    const int moved = (current + reading) / 2;
    const int span = isUpper ? moved - lowerBound.load() : upperBound.load() - moved;
    if (span < kMinBoundSpan)
        return;
    // A bound the interface stored meanwhile wins over the calibration.
    bound.compare_exchange_strong(current, moved);
}

void Tbar::calibrateEndPoints(int reading)
{
    if (!isTbarIdle)
        return;
    const int last = lastOutput.load();
    if (last == 0)
        trackBound(lowerBound, lowBoundStableCounter, reading, false);
    else if (last == kTbarMax)
        trackBound(upperBound, upBoundStableCounter, reading, true);
}

void Tbar::processTbar(int raw, qint64 nowMs)
{
    if (raw <= kIgnoredRaw)
        return;
    const int lower = lowerBound.load();
    const int upper = upperBound.load();
    // The setters never leave such a pair; a pair read across a concurrent
    // change could, for one reading.
    if (upper - lower < kMinBoundSpan)
        return;

    int r = raw;
    if (r < lower + kEndClampRaw)
        r = lower;
    if (r > upper - kEndClampRaw)
        r = upper;
    const float scaled = float(r - lower) / float(upper - lower) * float(kTbarMax);
    const int out = int(std::floor(scaled + 0.5f));

    float speed = 0.0f;
    if (lastRaw >= 0 && lastTime >= 1 && nowMs - lastTime > 0)
        speed = float(std::abs(r - lastRaw)) / float(nowMs - lastTime);
    lastRaw = qint16(r);
    lastTime = nowMs;

    const float dynamicDeadZone = 32.0f / (speed * 50.0f + 1.0f);
    const int last = lastOutput.load();
    if (last >= 0 && float(std::abs(out - last)) < dynamicDeadZone) {
        isTbarIdle = true;
        return;
    }

    isTbarIdle = false;
    qCDebug(lcSurface) << "outputValue :" << out << "lastOutput :" << last << "dynamicDeadZone :" << dynamicDeadZone
                       << ", speed :" << speed;

    // The mainboard needs a jump from an end sent in steps.
    if ((last == 0 || last == kTbarMax) && std::abs(out - last) >= 511) {
        const int diff = out - last;
        const int span = std::abs(511 - last);
        const int count = std::abs(diff) / span + (diff % span != 0 ? 1 : 0);
        for (int i = 1; i <= count; ++i) {
            const int value = last + i * diff / count;
            emit changeTbarValue(value, raw);
            qCDebug(lcSurface) << ", cnt :" << count << ", i :" << i << ", Send :" << value;
            if (!pause_(kJumpStepMs))
                break;
        }
    }

    qCDebug(lcSurface) << "outputValue :" << out << ", unchangeValue :" << raw;
    emit changeTbarValue(out, raw);
    lastOutput.store(qint16(out));
}

void Tbar::trackCentre(std::atomic<int> &centre, int &counter, int reading)
{
    int current = centre.load();
    if (std::abs(reading - current) > kCentreNear) {
        counter = 0;
        return;
    }
    if (++counter < kCentreSteady)
        return;
    counter = 0;
    centre.compare_exchange_strong(current, (current + reading) / 2);
}

void Tbar::trackJoystickCentre(int reading)
{
    if (panDirection == 0 && tiltDirection == 0)
        trackCentre(joystickMidValue, stableCounter, reading);
}

void Tbar::trackZoomCentre(int reading)
{
    if (zoomDirect == 0)
        trackCentre(zoomMidValue, zoomStableCounter, reading);
}

void Tbar::processJoystick(int a, int b)
{
    const int mid = joystickMidValue.load();
    const qint16 dx = qint16(a - mid);
    const qint16 dy = qint16(b - mid);
    const int ax = std::abs(int(dx));
    const int ay = std::abs(int(dy));
    const int minor = std::min(ax, ay);
    const int major = std::max(ax, ay);

    // Wide when one axis is centred, narrower as both move together.
    const int deadZone = std::clamp(int(50.0f + 250.0f * (1.0f - float(minor) / 2500.0f)), 50, 300);
    if (ax < deadZone && ay < deadZone) {
        if (lastDirX == 0 && lastDirY == 0)
            return;
        qCDebug(lcSurface) << "[joyStickAction] STOP (dead zone reached)";
        lastDirX = 0;
        lastDirY = 0;
        emit changeJoystickValue(0, 0, -1);
        return;
    }

    // Along one axis unless the minor axis has a quarter of the major one.
    const float ratio = float(minor) / float(major);
    int pan;
    int tilt;
    if (ax > ay) {
        pan = dx > 0 ? 1 : -1;
        tilt = ratio >= 0.25f ? (dy > 0 ? 1 : -1) : 0;
    } else {
        tilt = dy > 0 ? 1 : -1;
        pan = ratio >= 0.25f ? (dx > 0 ? 1 : -1) : 0;
    }
    if (pan == lastDirX && tilt == lastDirY)
        return;
    lastDirX = pan;
    lastDirY = tilt;
    emit changeJoystickValue(pan, tilt, a);
}

void Tbar::processZoom(int z)
{
    const int d = z - zoomMidValue.load();
    const int direction = d > kZoomThreshold ? 1 : (d < -kZoomThreshold ? -1 : 0);
    if (direction == lastEmittedDirection)
        return;
    lastEmittedDirection = direction;
    emit changeJoyZValue(direction, direction == 0 ? -1 : z);
}
