#include "ui/imagekeys.h"

#include "camera/vekcameraobject.h"
#include "maint/rpitool.h"
#include "netsvc/net.h"
#include "platform/sysroot.h"
#include "platform/threadcheck.h"
#include "ui/devicelines.h"
#include "ui/panel.h"
#include "ui/panelsettings.h"

#include <QUrl>

namespace {
const QString kSystem = QStringLiteral("system");

// The URL a key picture is stored under in the settings: the path on the unit.
QString storedUrl(int camera, int position)
{
    return QStringLiteral("file://") + ImageKeys::imageFile(camera, position);
}

// A stored URL as the screen can load it (through the sysroot on a PC);
// anything that is not one of our capture files shows the position icon.
QString shownUrl(const QString &stored)
{
    const QUrl url(stored);
    if (!url.isLocalFile() || !url.toLocalFile().startsWith(QStringLiteral("/home/pi/output_")))
        return {};
    return QUrl::fromLocalFile(Sysroot::path(url.toLocalFile())).toString();
}
} // namespace

ImageKeys::ImageKeys(Panel *panel, QObject *parent) : QObject(parent)
{
    setPanel(panel);
}

ImageKeys *ImageKeys::of(Panel *panel)
{
    if (!panel)
        return nullptr;
    if (auto *keys = panel->findChild<ImageKeys *>(QString(), Qt::FindDirectChildrenOnly))
        return keys;
    return new ImageKeys(panel, panel);
}

QString ImageKeys::imageFile(int camera, int position)
{
    return QStringLiteral("/home/pi/output_%1%2.jpg").arg(camera).arg(position);
}

QString ImageKeys::settingsKey(int camera, int position)
{
    return QStringLiteral("imageKey%1File").arg(camera * kKeys + position);
}

void ImageKeys::setPanel(Panel *panel)
{
    TAVRIK_ASSERT_OWNER(this);
    if (panel_ == panel)
        return;
    disconnect(updateConnection_);
    disconnect(trackingConnection_);
    for (auto &c : onlineConnections_)
        disconnect(c);
    panel_ = panel;
    connectDevices();
    emit panelChanged();
    emit keysShownChanged();
    refreshPictures();
}

void ImageKeys::connectDevices()
{
    if (!panel_)
        return;
    trackingConnection_ = connect(panel_, &Panel::trackingStateChanged, this, &ImageKeys::keysShownChanged);
    // An offline camera shows disabled keys; its picture state is re-read when it returns.
    onlineConnections_[0] = connect(panel_, &Panel::cam1OnlineChanged, this, &ImageKeys::picturesChanged);
    onlineConnections_[1] = connect(panel_, &Panel::cam2OnlineChanged, this, &ImageKeys::picturesChanged);
    onlineConnections_[2] = connect(panel_, &Panel::cam3OnlineChanged, this, &ImageKeys::picturesChanged);
    if (panel_->lines() && panel_->lines()->system().object())
        updateConnection_ = connect(panel_->lines()->system().object(), &net::sendImageKeyUpdate, this,
                                    &ImageKeys::onImageKeyUpdate);
}

void ImageKeys::setStoreMode(bool on)
{
    TAVRIK_ASSERT_OWNER(this);
    if (storeMode_ == on)
        return;
    storeMode_ = on;
    emit storeModeChanged();
}

void ImageKeys::setBusy(bool b)
{
    if (busy_ == b)
        return;
    busy_ = b;
    emit busyChanged();
}

QVariantList ImageKeys::selectedKeys() const
{
    TAVRIK_ASSERT_OWNER(this);
    return {selected_[0], selected_[1], selected_[2]};
}

QVariantList ImageKeys::pictures() const
{
    TAVRIK_ASSERT_OWNER(this);
    QVariantList list;
    for (const QString &p : pictures_)
        list << p;
    return list;
}

QVariantList ImageKeys::keysShown() const
{
    TAVRIK_ASSERT_OWNER(this);
    QVariantList list;
    for (int c = 0; c < kCameras; ++c) {
        const int state = panel_ ? panel_->trackingState(c) : -1;
        list << (state == 3 || state == 0 || state == -1);
    }
    return list;
}

QVariantList ImageKeys::keyOutcomes() const
{
    TAVRIK_ASSERT_OWNER(this);
    QVariantList list;
    for (int o : outcomes_)
        list << o;
    return list;
}

void ImageKeys::pressKey(int camera, int key)
{
    TAVRIK_ASSERT_OWNER(this);
    const bool store = storeMode_;
    if (!panel_ || camera < 0 || camera >= kCameras || key < 0 || key >= kKeys)
        return emit answered(camera, key, store, Outcome::Refused);
    if (pressedCamera_ != camera) {
        pressedCamera_ = camera;
        emit pressedCameraChanged();
    }
    if (!panel_->camOnline(camera)) {
        panel_->switching()->report(Switching::PresetRecall, Outcome::CameraOffline);
        panel_->setNotice(tr("No camera signal detected\n\nImage Key function requires a connected camera to operate."));
        return emit answered(camera, key, store, Outcome::CameraOffline);
    }
    // One exchange at a time: a second press while a capture runs would
    // otherwise store a picture under the wrong key.
    if (busy_)
        return emit answered(camera, key, store, Outcome::Refused);
    if (storeMode_ && camera != panel_->trackingCamSel())
        return emit answered(camera, key, store, Outcome::Refused);
    DeviceLines *lines = panel_->lines();
    if (!lines)
        return emit answered(camera, key, store, Outcome::LineClosed);
    const int position = key + 1;
    setBusy(true);
    if (storeMode_) {
        lines->camera().post([camera](vekCameraObject &cam) { return cameraResult(cam, camera, cam.presetMemSpeed(24, camera)); }, this,
                             [this, lines, camera, key, position](const Result<bool> &acked) {
                                 if (!acked.done())
                                     return finishPress(camera, key, acked.outcome, true);
                                 lines->system().post(
                                     [camera, position](net &n) {
                                         n.stopStream();
                                         return n.capImageKey(camera, position);
                                     },
                                     this, [this, lines, camera, key, position](bool captured) {
                                         // The capture ran and left no picture: its no.
                                         if (!captured)
                                             return finishPress(camera, key, Outcome::Refused, true);
                                         lines->camera().post(
                                             [camera, position](vekCameraObject &cam) {
                                                 return cameraResult(cam, camera, cam.storePtzPosition(position, camera));
                                             },
                                             this, [this, camera, key](const Result<bool> &stored) {
                                                 finishPress(camera, key, stored.outcome, true);
                                             });
                                     });
                             });
        return;
    }
    lines->camera().post(
        [camera, position](vekCameraObject &cam) {
            const Result<bool> r = cameraResult(cam, camera, cam.gotoPtzPosition(position, camera));
            if (r.done())
                cam.setptzMemoryPos(position);
            return r;
        },
        this, [this, camera, key](const Result<bool> &r) {
            if (panel_)
                panel_->switching()->report(Switching::PresetRecall, r.outcome);
            finishPress(camera, key, r.outcome, false);
        });
}

void ImageKeys::finishPress(int camera, int key, Outcome::Kind outcome, bool wasStore)
{
    setBusy(false);
    if (wasStore)
        setStoreMode(false);
    outcomes_[static_cast<size_t>(camera * kKeys + key)] = outcome;
    emit keyOutcomesChanged();
    emit answered(camera, key, wasStore, outcome);
    if (outcome != Outcome::Done || !panel_)
        return;
    panel_->setTrackingCamSel(camera);
    if (selected_[static_cast<size_t>(camera)] != key) {
        selected_[static_cast<size_t>(camera)] = key;
        emit selectionChanged();
    }
}

void ImageKeys::onImageKeyUpdate()
{
    if (!panel_ || !panel_->settings())
        return;
    const int camera = panel_->trackingCamSel();
    if (camera < 0 || camera >= kCameras)
        return;
    PanelSettings *settings = panel_->settings();
    for (int p = 1; p <= kKeys; ++p) {
        // Empty first, so that everything bound to the setting loads the new
        // picture instead of the one it holds under the same name.
        settings->setValue(kSystem, settingsKey(camera, p), QString());
        settings->setValue(kSystem, settingsKey(camera, p), storedUrl(camera, p));
        pictures_[static_cast<size_t>(camera * kKeys + p - 1)].clear();
    }
    emit picturesChanged();
    refreshPictures();
}

void ImageKeys::refreshPictures()
{
    TAVRIK_ASSERT_OWNER(this);
    if (!panel_ || !panel_->lines())
        return;
    panel_->lines()->rpi(
        [](RpiTool &tool) {
            std::array<bool, kCameras * kKeys> exists{};
            for (int c = 0; c < kCameras; ++c)
                for (int p = 1; p <= kKeys; ++p)
                    exists[static_cast<size_t>(c * kKeys + p - 1)] = tool.checkfileExist(QStringLiteral("file://") + imageFile(c, p));
            return exists;
        },
        this, [this](const std::array<bool, kCameras * kKeys> &exists) { applyExisting(exists); });
}

void ImageKeys::applyExisting(const std::array<bool, kCameras * kKeys> &exists)
{
    if (!panel_)
        return;
    bool changed = false;
    for (int c = 0; c < kCameras; ++c) {
        for (int p = 1; p <= kKeys; ++p) {
            const size_t i = static_cast<size_t>(c * kKeys + p - 1);
            QString url;
            if (exists[i] && panel_->settings())
                url = shownUrl(panel_->settings()->stringValue(kSystem, settingsKey(c, p)));
            if (pictures_[i] != url) {
                pictures_[i] = url;
                changed = true;
            }
        }
    }
    if (changed)
        emit picturesChanged();
}

void ImageKeys::resetPictures()
{
    TAVRIK_ASSERT_OWNER(this);
    if (selected_ != std::array<int, kCameras>{{-1, -1, -1}}) {
        selected_.fill(-1);
        emit selectionChanged();
    }
    if (!panel_ || !panel_->lines())
        return;
    panel_->lines()->rpi([](RpiTool &tool) { tool.deleteImages(QStringLiteral("/home/pi/"), QStringLiteral("output_*.jpg")); });
    refreshPictures();
}

bool ImageKeys::onAirHold() const
{
    TAVRIK_ASSERT_OWNER(this);
    return !panel_ || panel_->settings()->boolValue(QStringLiteral("system"), QStringLiteral("presetOnAirHold"));
}

void ImageKeys::setOnAirHold(bool on)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!panel_ || on == onAirHold())
        return;
    panel_->settings()->setValue(QStringLiteral("system"), QStringLiteral("presetOnAirHold"), on);
    emit onAirHoldChanged();
}
