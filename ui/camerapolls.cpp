#include "ui/camerapolls.h"

#include "camera/vekcameraobject.h"
#include "platform/threadcheck.h"
#include "ui/commandqueue.h"
#include "ui/devicelines.h"
#include "ui/timeseam.h"

#include <atomic>

namespace {
constexpr int kPresenceTickMs = 200;
constexpr int kPresencePauseMs = 4000;
constexpr int kCameraInfoMs = 5000;
constexpr int kTrackingTickMs = 800;
constexpr int kTrackingPauseMs = 5000;
constexpr int kRestartMs = 10000;

bool isCamera(int camera) { return camera >= 0 && camera <= 2; }

// Camera 0..2 on the line numbers and devices the start-up sequence opens,
// opened again on every third presence round that finds it offline (a
// camera that is simply not fitted costs a few log lines now and then, not
// every round). Called on the camera lane only, which owns the counts.
void reopenCameraLine(vekCameraObject &v, int camera, bool online)
{
    static const struct { int line; const char *device; } lines[] = {{0, "ttyAMA0"}, {3, "ttyAMA1"}, {2, "ttyUSB0"}};
    static std::atomic<int> missedRounds[3] = {{0}, {0}, {0}};
    if (!isCamera(camera))
        return;
    if (online) {
        missedRounds[camera] = 0;
        return;
    }
    if (missedRounds[camera]++ % 3 == 0)
        v.initSerial(lines[camera].line, QLatin1String(lines[camera].device), 38400, 8, 0, 1, 0);
}
} // namespace

CameraPolls::CameraPolls(DeviceLines *lines, CommandQueue *queue, std::function<int()> selectedCamera,
                         QObject *parent)
    : QObject(parent)
    , lines_(lines)
    , queue_(queue)
    , selectedCamera_(std::move(selectedCamera))
    , presenceTimer_(new SeamTimer(kPresenceTickMs, true, this))
    , cameraInfoTimer_(new SeamTimer(kCameraInfoMs, true, this))
    , trackingTimer_(new SeamTimer(kTrackingTickMs, true, this))
    , restartTimer_(new SeamTimer(kRestartMs, false, this))
{
    connect(presenceTimer_, &SeamTimer::timeout, this, &CameraPolls::presenceTick);
    connect(cameraInfoTimer_, &SeamTimer::timeout, this, &CameraPolls::cameraInfoTick);
    connect(trackingTimer_, &SeamTimer::timeout, this, &CameraPolls::trackingTick);
    connect(restartTimer_, &SeamTimer::timeout, this, &CameraPolls::restart);
    if (vekCameraObject *v = lines_ ? lines_->camera().object() : nullptr) {
        // Queued: the camera model lives on the camera lane.
        connect(v, &vekCameraObject::ptzMoving, this, &CameraPolls::onPtzMoving);
        connect(v, &vekCameraObject::setCamInfo, this,
                [this](int camera, const QString &, const QString &, const QString &, const QString &model) {
                    onCamInfo(camera, model);
                });
    }
}

bool CameraPolls::camOnline(int camera) const
{
    switch (camera) {
    case 0: return cam1Online();
    case 1: return cam2Online();
    case 2: return cam3Online();
    default: return false;
    }
}

void CameraPolls::setCamOnline(int camera, bool online)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!isCamera(camera))
        return;
    const bool back = online && !camOnline(camera) && seenOnline_[camera];
    seenOnline_[camera] = seenOnline_[camera] || online;
    switch (camera) {
    case 0: setCam1Online(online); break;
    case 1: setCam2Online(online); break;
    case 2: setCam3Online(online); break;
    default: break;
    }
    if (back)
        emit cameraBack(camera);
}

int CameraPolls::trackingState(int camera) const
{
    return isCamera(camera) ? trackingStates().value(camera, -1).toInt() : -1;
}

void CameraPolls::setTrackingState(int camera, int state)
{
    TAVRIK_ASSERT_OWNER(this);
    QVariantList states = trackingStates();
    if (!isCamera(camera) || states.size() != 3)
        return;
    if (states[camera].toInt() == state)
        return;
    states[camera] = state;
    setTrackingStates(states);
    emit trackingStateChanged(camera);
}

// ---------------------------------------------------------------- presence

void CameraPolls::startPresencePoll(int retries, int pauseMs)
{
    TAVRIK_ASSERT_OWNER(this);
    presenceRetries_ = retries;
    presencePauseTicks_ = qMax(0, pauseMs / kPresenceTickMs);
    presenceWait_ = presencePauseTicks_;
    presenceCamera_ = 0;
    presenceTimer_->start();
}

bool CameraPolls::presencePollActive() const
{
    return presenceTimer_->isActive();
}

void CameraPolls::presenceTick()
{
    // One inquiry at a time: a silent camera holds its lane for the full
    // reply time, and the next tick must not pile another one behind it.
    if (presenceInFlight_ || !lines_)
        return;
    if (presenceWait_ > 0) {
        --presenceWait_;
        return;
    }
    const int cam = presenceCamera_;
    const bool wasOnline = camOnline(cam);
    presenceInFlight_ = true;
    lines_->camera().post(
        [cam, wasOnline](vekCameraObject &v) {
            const bool online = v.camPowerInq(cam);
            v.setVekStatus(cam, online);
            // A line whose device went away (a camera or its USB adapter
            // unplugged) is closed for good by the port; opened again here,
            // a camera plugged back in is found by a later round. Only a
            // camera already offline, so a single missed answer costs
            // nothing, and opening a device that is not there fails at once.
            reopenCameraLine(v, cam, online || wasOnline);
            return online;
        },
        this,
        [this, cam](bool online) {
            presenceInFlight_ = false;
            setCamOnline(cam, online);
            if (!online && cam == selectedCamera_())
                setCameraName(QString());
        });
    if (++presenceCamera_ > 2) {
        presenceCamera_ = 0;
        presenceWait_ = presencePauseTicks_;
        if (presenceRetries_ > 0 && --presenceRetries_ == 0)
            presenceTimer_->stop();
    }
}

// ---------------------------------------------------------------- camera information

void CameraPolls::startCameraInfoPoll()
{
    TAVRIK_ASSERT_OWNER(this);
    cameraInfoWanted_ = true;
    if (!restartTimer_->isActive() && !tbarMoving_)
        cameraInfoTimer_->start();
}

void CameraPolls::stopCameraInfoPoll()
{
    TAVRIK_ASSERT_OWNER(this);
    cameraInfoWanted_ = false;
    cameraInfoTimer_->stop();
}

void CameraPolls::cameraInfoTick()
{
    if (cameraInfoInFlight_ || !lines_)
        return;
    cameraInfoInFlight_ = true;
    queue_->enqueue([this] {
        const int cam = selectedCamera_();
        lines_->camera().post([cam](vekCameraObject &v) { v.getSystemStatus(cam); });
    });
    queue_->enqueue([this] {
        const int cam = selectedCamera_();
        lines_->camera().post([cam](vekCameraObject &v) { v.queryVersion(cam); }, this,
                              [this] { cameraInfoInFlight_ = false; });
    });
    queue_->start();
}

void CameraPolls::onCamInfo(int camera, const QString &model)
{
    if (camera == selectedCamera_())
        setCameraName(model);
}

// ---------------------------------------------------------------- auto-tracking

void CameraPolls::startTrackingPoll()
{
    TAVRIK_ASSERT_OWNER(this);
    trackingWanted_ = true;
    trackingCamera_ = 0;
    trackingWait_ = 0;
    trackingTimer_->start();
}

void CameraPolls::stopTrackingPoll()
{
    TAVRIK_ASSERT_OWNER(this);
    trackingWanted_ = false;
    trackingTimer_->stop();
}

void CameraPolls::trackingTick()
{
    if (trackingInFlight_ || !lines_)
        return;
    if (trackingWait_ > 0) {
        --trackingWait_;
        return;
    }
    const int cam = trackingCamera_;
    trackingInFlight_ = true;
    lines_->camera().post(
        [cam](vekCameraObject &v) {
            const int answer = v.atTrackInquire(cam);
            if (answer != -1)
                v.setVekStatus(cam, true);
            return answer;
        },
        this,
        [this, cam](int answer) {
            trackingInFlight_ = false;
            setTrackingState(cam, answer);
            if (answer != -1)
                setCamOnline(cam, true);
            if (answer == -1 || answer == 2 || answer == 3) {
                if (++trackingCamera_ > 2) {
                    trackingCamera_ = 0;
                    trackingWait_ = kTrackingPauseMs / kTrackingTickMs;
                }
            }
        });
}

// ---------------------------------------------------------------- suspending

void CameraPolls::stopAll()
{
    presenceTimer_->stop();
    cameraInfoTimer_->stop();
    trackingTimer_->stop();
}

void CameraPolls::holdForTbar(bool moving)
{
    TAVRIK_ASSERT_OWNER(this);
    tbarMoving_ = moving;
    if (moving)
        stopAll();
    else
        restartTimer_->start();
}

void CameraPolls::restart()
{
    if (tbarMoving_)
        return; // the T-bar restarts them when it comes to rest
    if (cameraInfoWanted_)
        cameraInfoTimer_->start();
    if (trackingWanted_) {
        trackingCamera_ = 0;
        trackingWait_ = kTrackingPauseMs / kTrackingTickMs;
        trackingTimer_->start();
    }
    startPresencePoll(-1, kPresencePauseMs);
}

bool CameraPolls::pollRestartPending() const
{
    return restartTimer_->isActive();
}

void CameraPolls::onPtzMoving()
{
    stopAll();
    restartTimer_->start();
}
