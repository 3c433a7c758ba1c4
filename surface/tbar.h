#pragma once

#include "platform/pollingthread.h"
#include "surface/i2cconverter.h"

#include <array>
#include <atomic>
#include <functional>

class commandExecObject;

// The T-bar, the joystick and the zoom rocker. A thread polls the four
// channels of the converter on the I2C bus in turn and turns the readings
// into three signals for the interface: the T-bar position 0..1023, the
// joystick direction and the zoom direction. It calibrates itself while it
// runs (T-bar end points, joystick and zoom centres follow slow drift).
//
// The processing of a reading (processReading and the steps it is made of)
// is separate from the bus access, so it can be driven with given readings
// and a given clock; the thread feeds it from the converter.
class Tbar : public PollingThread
{
    Q_OBJECT
public:
    explicit Tbar(QObject *parent = nullptr);
    // Asks the thread to stop, wakes it and waits: within one polling step,
    // or at once from a pause.
    ~Tbar() override;

    // Bounds are raw readings of the lever's ends. A pair that leaves less
    // than kMinBoundSpan between them is refused (logged, old bounds kept):
    // the scaling would divide by zero or make nonsense.
    Q_INVOKABLE void setUpperBound(int value);
    Q_INVOKABLE void setLowerBound(int value);
    Q_INVOKABLE void setjoystickMidValue(int value);
    Q_INVOKABLE void setjoystickSpeed(int vekIdx, int speed);

    // Kept for the switcher model; the thread never calls through it.
    void setZarvoControl(commandExecObject *control);
    commandExecObject *zarvoControl() const { return zarvoCtl.load(); }

    // One converter reading of `channel` (0 T-bar, 1 joystick X, 2 joystick
    // Y, 3 zoom) taken at `nowMs` (milliseconds since the epoch). Runs on
    // the polling thread; tests call it directly on an object whose thread
    // is not running.
    void processReading(int channel, int reading, qint64 nowMs);
    void calibrateEndPoints(int reading);
    void processTbar(int raw, qint64 nowMs);
    void trackJoystickCentre(int reading);
    void processJoystick(int a, int b);
    void trackZoomCentre(int reading);
    void processZoom(int z);

    // How the thread waits during a T-bar jump (100 ms between its steps).
    // Returns false when the wait ended because the thread is stopping. Set
    // it before start(); tests record instead of waiting.
    using PauseFunction = std::function<bool(int ms)>;
    void setPauseFunction(PauseFunction pause);

    int currentUpperBound() const { return upperBound.load(); }
    int currentLowerBound() const { return lowerBound.load(); }
    int currentJoystickMid() const { return joystickMidValue.load(); }
    int currentZoomMid() const { return zoomMidValue.load(); }
    int joystickSpeed() const { return curSpeed.load(); }
    int lastTbarOutput() const { return lastOutput.load(); }
    // The last raw reading of `channel` (as processReading numbers them);
    // -1 before the first. Readable from any thread (the service page).
    static constexpr int kChannels = 4;
    int lastReading(int channel) const
    {
        return channel >= 0 && channel < kChannels ? lastReading_[static_cast<size_t>(channel)].load() : -1;
    }

    static constexpr int kMinBoundSpan = 40;
    // While the converter cannot be opened, the thread tries again this often.
    static constexpr int kReopenIntervalMs = 1000;
    // Failed conversion steps in a row after which the converter is opened again.
    static constexpr int kReopenAfterFailedSteps = 20;

signals:
    void changeTbarValue(int value, int unChangeValue);
    void changeJoystickValue(int panDirect, int tiltDirect, int value);
    void changeJoyZValue(int directUp, int value);

protected:
    void run() override;

private:
    bool openConverter();
    // False, with a log line, when lower..upper leave less than kMinBoundSpan.
    static bool boundsLeaveSpan(int lower, int upper, bool settingUpper, int kept);
    void trackBound(std::atomic<int> &bound, int &counter, int reading, bool isUpper);
    static void trackCentre(std::atomic<int> &centre, int &counter, int reading);

    I2cConverter converter_;

    // Written by the interface thread, read and recalibrated by the polling
    // thread: single stores, picked up at the next use.
    std::atomic<int> upperBound{1750};
    std::atomic<int> lowerBound{850};
    std::atomic<int> joystickMidValue{1250};
    std::atomic<int> zoomMidValue{1250};
    std::atomic<commandExecObject *> zarvoCtl{nullptr};
    std::atomic<int> vekIndex{0};
    std::atomic<int> curSpeed{1};

    // Polling thread only (lastOutput is atomic so that tests may look).
    std::atomic<qint16> lastOutput{-1};
    std::array<std::atomic<int>, kChannels> lastReading_{{{-1}, {-1}, {-1}, {-1}}};
    qint16 lastRaw = -1;
    qint64 lastTime = 0;
    bool isTbarIdle = true;
    int upBoundStableCounter = 0;
    int lowBoundStableCounter = 0;
    int stableCounter = 0;
    int zoomStableCounter = 0;
    // Direction gates of the centre tracking; nothing sets them, so the
    // centres are tracked all the time.
    int panDirection = 0;
    int tiltDirection = 0;
    int zoomDirect = 0;
    int lastDirX = 0;
    int lastDirY = 0;
    int lastEmittedDirection = 0;
    int axisX_ = 0;
    int axisY_ = 0;
    bool haveAxisX_ = false;
    bool haveAxisY_ = false;

    PauseFunction pause_;
};
