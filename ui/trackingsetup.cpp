#include "ui/trackingsetup.h"

#include "camera/vekcameraobject.h"
#include "platform/threadcheck.h"
#include "ui/devicelines.h"
#include "ui/panel.h"
#include "ui/timeseam.h"

TrackingSetup::TrackingSetup(Panel *panel, QObject *parent)
    : QObject(parent)
    , cameraRead_(new SeamTimer(kReadMs, true, this))
    , indicatorRead_(new SeamTimer(kReadMs, true, this))
{
    connect(cameraRead_, &SeamTimer::timeout, this, &TrackingSetup::cameraReadTick);
    connect(indicatorRead_, &SeamTimer::timeout, this, &TrackingSetup::indicatorReadTick);
    for (int g = 0; g < kGroups; ++g) {
        senders_[static_cast<size_t>(g)] = new SeamTimer(kSendMs, false, this);
        connect(senders_[static_cast<size_t>(g)], &SeamTimer::timeout, this,
                [this, g] { sendGroup(static_cast<Group>(g)); });
    }
    setPanel(panel);
}

void TrackingSetup::setPanel(Panel *panel)
{
    TAVRIK_ASSERT_OWNER(this);
    if (panel_ == panel)
        return;
    for (const auto &c : connections_)
        disconnect(c);
    connections_.clear();
    panel_ = panel;
    if (panel_) {
        connections_ << connect(panel_, &Panel::trackingStateChanged, this, &TrackingSetup::trackingStatesChanged);
        for (auto sig : {&Panel::cam1OnlineChanged, &Panel::cam2OnlineChanged, &Panel::cam3OnlineChanged})
            connections_ << connect(panel_, sig, this, &TrackingSetup::optionsEnabledChanged);
    }
    emit panelChanged();
    emit trackingStatesChanged();
    emit optionsEnabledChanged();
}

QVariantList TrackingSetup::trackingStates() const
{
    TAVRIK_ASSERT_OWNER(this);
    QVariantList list;
    for (int c = 0; c < kCameras; ++c)
        list << (panel_ ? panel_->trackingState(c) : -1);
    return list;
}

bool TrackingSetup::optionsEnabled() const
{
    TAVRIK_ASSERT_OWNER(this);
    return panel_ && panel_->camOnline(atCamSel_);
}

template <typename F>
void TrackingSetup::camCall(F &&fn)
{
    if (panel_ && panel_->lines())
        panel_->lines()->camera().post(std::forward<F>(fn));
}

template <typename Inq, typename Apply>
void TrackingSetup::inquire(Inq &&inq, Apply &&apply)
{
    if (!panel_ || !panel_->lines())
        return;
    const int c = atCamSel_;
    panel_->lines()->camera().post([c, inq = std::forward<Inq>(inq)](vekCameraObject &o) { return inq(o, c); },
                                   this, [this, c, apply = std::forward<Apply>(apply)](auto value) {
                                       // An answer for a camera no longer shown is dropped.
                                       if (c != atCamSel_)
                                           return;
                                       apply(value);
                                       emit optionsChanged();
                                   });
}

void TrackingSetup::toggleTracking(int camera)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!panel_ || camera < 0 || camera >= kCameras)
        return;
    panel_->setTrackingCamSel(camera);
    const int state = panel_->trackingState(camera);
    if (state <= 0)
        return;
    const int next = state == 2 ? 3 : 2;
    panel_->setTrackingState(camera, next);
    camCall([next, camera](vekCameraObject &o) { o.setAiCam(next, camera); });
}

void TrackingSetup::chooseCamera(int camera)
{
    TAVRIK_ASSERT_OWNER(this);
    if (camera < 0 || camera >= kCameras)
        return;
    if (atCamSel_ != camera) {
        atCamSel_ = camera;
        emit atCamSelChanged();
        emit optionsEnabledChanged();
        emit optionsChanged();
    }
    inquire([](vekCameraObject &o, int c) { return o.atFigureCustSizeInq(c); },
            [this](int v) { figureSize_ = qBound(0, v, 100); });
    cameraReadTick_ = 0;
    cameraRead_->start();
}

void TrackingSetup::cameraReadTick()
{
    switch (cameraReadTick_++) {
    case 0:
        inquire([](vekCameraObject &o, int c) { return o.atPlacementInq(c); }, [this](int v) { placement_ = v; });
        break;
    case 1:
        inquire([](vekCameraObject &o, int c) { return o.atSpeedInq(c); }, [this](int v) { speed_ = v; });
        break;
    case 2: {
        const int c = atCamSel_;
        inquire([](vekCameraObject &o, int cam) { return o.atFigureInq(cam); },
                [this, c](int v) { figures_[static_cast<size_t>(c)] = v; });
        break;
    }
    default:
        cameraRead_->stop();
        break;
    }
}

void TrackingSetup::readIndicatorOptions()
{
    TAVRIK_ASSERT_OWNER(this);
    indicatorReadTick_ = 0;
    indicatorRead_->start();
}

void TrackingSetup::indicatorReadTick()
{
    switch (indicatorReadTick_++) {
    case 0:
        inquire([](vekCameraObject &o, int c) { return o.atOSDInq(c); }, [this](bool v) { osdReminder_ = v; });
        break;
    case 1:
        inquire([](vekCameraObject &o, int c) { return o.atDetindInq(c); }, [this](int v) { detIndicator_ = v; });
        break;
    case 2:
        inquire([](vekCameraObject &o, int c) { return o.atTrackingStartPosInq(c); },
                [this](int v) { startPosition_ = v; });
        break;
    case 3:
        inquire([](vekCameraObject &o, int c) { return o.atAutoZoomInq(c); }, [this](bool v) { autoZoom_ = v; });
        break;
    default:
        inquire([](vekCameraObject &o, int c) { return o.atAutoTiltInq(c); }, [this](bool v) { autoTilt_ = v; });
        indicatorRead_->stop();
        break;
    }
}

void TrackingSetup::schedule(Group group)
{
    emit optionsChanged();
    // A newer press of the same group replaces the pending one.
    senders_[static_cast<size_t>(group)]->start();
}

void TrackingSetup::selectPlacement(int placement)
{
    TAVRIK_ASSERT_OWNER(this);
    if (placement < 0 || placement > 2)
        return;
    placement_ = placement;
    schedule(Placement);
}

void TrackingSetup::selectSpeed(int speed)
{
    TAVRIK_ASSERT_OWNER(this);
    if (speed < 0 || speed > 2)
        return;
    speed_ = speed;
    schedule(Speed);
}

void TrackingSetup::selectAutoZoom(bool on)
{
    TAVRIK_ASSERT_OWNER(this);
    autoZoom_ = on;
    schedule(AutoZoom);
}

void TrackingSetup::selectAutoTilt(bool on)
{
    TAVRIK_ASSERT_OWNER(this);
    autoTilt_ = on;
    schedule(AutoTilt);
}

void TrackingSetup::selectOsdReminder(bool on)
{
    TAVRIK_ASSERT_OWNER(this);
    osdReminder_ = on;
    schedule(Osd);
}

void TrackingSetup::sendGroup(Group group)
{
    const int c = atCamSel_;
    switch (group) {
    case Placement: {
        const int p = placement_;
        camCall([p, c](vekCameraObject &o) {
            if (p == 0)
                o.atPlaceLeft(c);
            else if (p == 1)
                o.atPlaceCenter(c);
            else
                o.atPlaceRight(c);
        });
        break;
    }
    case Speed: {
        const int s = speed_;
        camCall([s, c](vekCameraObject &o) {
            if (s == 0)
                o.atTrackSpeedFast(c);
            else if (s == 1)
                o.atTrackSpeedMedium(c);
            else
                o.atTrackSpeedSlow(c);
        });
        break;
    }
    case AutoZoom: {
        const bool on = autoZoom_;
        camCall([on, c](vekCameraObject &o) { on ? o.atAutoZoomOn(c) : o.atAutoZoomOff(c); });
        break;
    }
    case AutoTilt: {
        const bool on = autoTilt_;
        camCall([on, c](vekCameraObject &o) { on ? o.atAutoTiltOn(c) : o.atAutoTiltOff(c); });
        break;
    }
    case Osd: {
        const bool on = osdReminder_;
        camCall([on, c](vekCameraObject &o) { on ? o.atOsdRmdOn(c) : o.atOsdRmdOff(c); });
        break;
    }
    case kGroups:
        break;
    }
}

void TrackingSetup::selectDetIndicator(int indicator)
{
    TAVRIK_ASSERT_OWNER(this);
    const int c = atCamSel_;
    switch (indicator) {
    case 0: camCall([c](vekCameraObject &o) { o.atDetIdctOn(c); }); break;
    case 1: camCall([c](vekCameraObject &o) { o.atDetIdctOff(c); }); break;
    case 2: camCall([c](vekCameraObject &o) { o.atDetIdctDefault(c); }); break;
    default: return;
    }
    detIndicator_ = indicator;
    emit optionsChanged();
}

void TrackingSetup::selectSubject(int direction)
{
    TAVRIK_ASSERT_OWNER(this);
    const int c = atCamSel_;
    if (direction < 0)
        camCall([c](vekCameraObject &o) { o.atSelSbjLeft(c); });
    else if (direction > 0)
        camCall([c](vekCameraObject &o) { o.atSelSbjRight(c); });
    else
        camCall([c](vekCameraObject &o) { o.atSelSbjConfirm(c); });
}

void TrackingSetup::setStartPosition(int position)
{
    TAVRIK_ASSERT_OWNER(this);
    position = qBound(0, position, 255);
    if (startPosition_ == position)
        return;
    startPosition_ = position;
    emit optionsChanged();
}

void TrackingSetup::saveStartPosition()
{
    TAVRIK_ASSERT_OWNER(this);
    const int c = atCamSel_;
    const int p = startPosition_;
    camCall([p, c](vekCameraObject &o) { o.atTrackStartPosPreset(p, c); });
}

void TrackingSetup::setFigureSize(int size)
{
    TAVRIK_ASSERT_OWNER(this);
    size = qBound(0, size, 100);
    if (figureSize_ == size)
        return;
    figureSize_ = size;
    emit optionsChanged();
}

void TrackingSetup::applyFigureSize()
{
    TAVRIK_ASSERT_OWNER(this);
    const int c = atCamSel_;
    const int size = figureSize_;
    camCall([size, c](vekCameraObject &o) { o.atFigSizeSave(size, c); });
}
