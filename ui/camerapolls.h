#pragma once

#include "ui/notifyingproperty.h"

#include <QObject>
#include <QString>
#include <QVariantList>

#include <functional>

class CommandQueue;
class DeviceLines;
class SeamTimer;

// The camera polls and what they find: the presence poll (online flags),
// the camera page's information poll (model name) and the auto-tracking
// page's poll (tracking state per camera). All are suspended while a camera
// moves or the T-bar runs and come back after a pause. Lives on the
// interface thread; every call comes from there. Cameras are reached only
// through the camera lane, one inquiry in flight at a time.
class CameraPolls : public QObject
{
    Q_OBJECT
    PANEL_PROPERTY(bool, cam1Online, setCam1Online) = false;
    PANEL_PROPERTY(bool, cam2Online, setCam2Online) = false;
    PANEL_PROPERTY(bool, cam3Online, setCam3Online) = false;
    // Model name of the selected camera as its version inquiry reported it;
    // cleared when that camera goes offline.
    PANEL_PROPERTY(QString, cameraName, setCameraName);
    // Auto-tracking poll answers per camera: -1 no answer, 0 no tracking,
    // 2 tracking on, 3 tracking off.
    PANEL_PROPERTY(QVariantList, trackingStates, setTrackingStates) = QVariantList{-1, -1, -1};

public:
    // `selectedCamera()` is the camera page's camera (0..2); the information
    // poll goes through `queue`.
    CameraPolls(DeviceLines *lines, CommandQueue *queue, std::function<int()> selectedCamera,
                QObject *parent = nullptr);

    // Camera 0..2 online flag (false outside the range).
    bool camOnline(int camera) const;
    void setCamOnline(int camera, bool online);
    int trackingState(int camera) const;
    void setTrackingState(int camera, int state);

    // `retries` rounds (-1 unlimited), `pauseMs` before each round.
    void startPresencePoll(int retries, int pauseMs);
    void startCameraInfoPoll();
    void stopCameraInfoPoll();
    void startTrackingPoll();
    void stopTrackingPoll();
    // The T-bar is moving: every poll stops, and none comes back until it
    // rests; at rest the polls come back after the restart pause.
    void holdForTbar(bool moving);

    bool presencePollActive() const;
    bool pollRestartPending() const;

signals:
    void trackingStateChanged(int camera);
    // Camera 0..2 is on line again after it had been seen on line and then
    // lost (power cut, line unplugged): its tally lamp knows nothing.
    void cameraBack(int camera);

private:
    void presenceTick();
    void trackingTick();
    void cameraInfoTick();
    void stopAll();
    void restart();
    void onPtzMoving();
    void onCamInfo(int camera, const QString &model);

    DeviceLines *lines_;
    CommandQueue *queue_;
    std::function<int()> selectedCamera_;
    bool tbarMoving_ = false;
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
    SeamTimer *restartTimer_;
    bool seenOnline_[3] = {false, false, false};
};
