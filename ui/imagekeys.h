#pragma once

#include "ui/outcome.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantList>

#include <array>

class Panel;

// The image keys of the tracking page: four preset positions per serial
// camera, each shown with the still taken when it was stored. A press
// recalls the position, or in store mode stores it and captures a new
// picture. Lives on the interface thread; every device call goes through the
// lanes and its answer comes back here as a queued call, so a slow camera or
// capture never holds the screen.
class ImageKeys : public QObject
{
    Q_OBJECT
    Q_PROPERTY(Panel *panel READ panel WRITE setPanel NOTIFY panelChanged)
    Q_PROPERTY(bool storeMode READ storeMode WRITE setStoreMode NOTIFY storeModeChanged)
    // True while a store or recall is under way; further presses wait for it.
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)
    // The camera (0..2) of the last key pressed: where its outcome shows.
    Q_PROPERTY(int pressedCamera READ pressedCamera NOTIFY pressedCameraChanged)
    Q_PROPERTY(int cam0ImageKeySel READ cam0ImageKeySel NOTIFY selectionChanged)
    Q_PROPERTY(int cam1ImageKeySel READ cam1ImageKeySel NOTIFY selectionChanged)
    Q_PROPERTY(int cam2ImageKeySel READ cam2ImageKeySel NOTIFY selectionChanged)
    // Per camera: selected key 0..3 or -1.
    Q_PROPERTY(QVariantList selectedKeys READ selectedKeys NOTIFY selectionChanged)
    // Per key (camera * 4 + key): the picture to show as a URL, or empty for
    // the position icon.
    Q_PROPERTY(QVariantList pictures READ pictures NOTIFY picturesChanged)
    // Per camera: whether its keys are shown (tracking off or not trackable).
    Q_PROPERTY(QVariantList keysShown READ keysShown NOTIFY keysShownChanged)
    // Per key (camera * 4 + key): the Outcome::Kind of its last recall or
    // store, or -1 before the first.
    Q_PROPERTY(QVariantList keyOutcomes READ keyOutcomes NOTIFY keyOutcomesChanged)
    // A preset of the camera on program moves a picture on air: when true
    // (the default) the page recalls it only after a hold. Kept in the
    // settings file.
    Q_PROPERTY(bool onAirHold READ onAirHold WRITE setOnAirHold NOTIFY onAirHoldChanged)

public:
    static constexpr int kCameras = 3;
    static constexpr int kKeys = 4;

    explicit ImageKeys(Panel *panel = nullptr, QObject *parent = nullptr);
    // The one set of image keys of a panel (a child of it, made on first
    // use), so selections outlive the page and the factory-default flow
    // reaches them without the page: ImageKeys::of(panel)->resetPictures().
    static ImageKeys *of(Panel *panel);

    Panel *panel() const { return panel_; }
    void setPanel(Panel *panel);
    bool storeMode() const { return storeMode_; }
    void setStoreMode(bool on);
    bool busy() const { return busy_; }
    int cam0ImageKeySel() const { return selected_[0]; }
    int cam1ImageKeySel() const { return selected_[1]; }
    int cam2ImageKeySel() const { return selected_[2]; }
    QVariantList selectedKeys() const;
    QVariantList pictures() const;
    QVariantList keysShown() const;
    QVariantList keyOutcomes() const;
    bool onAirHold() const;
    void setOnAirHold(bool on);
    int pressedCamera() const { return pressedCamera_; }

    // Key k (0..3) of camera c (0..2) pressed.
    Q_INVOKABLE void pressKey(int camera, int key);
    Q_INVOKABLE void toggleStoreMode() { setStoreMode(!storeMode_); }
    // Factory default: deletes every key picture and clears the selections.
    Q_INVOKABLE void resetPictures();
    // Looks again which key pictures exist on disk.
    Q_INVOKABLE void refreshPictures();

    // The key's file on the unit, e.g. "/home/pi/output_12.jpg".
    static QString imageFile(int camera, int position);
    // The settings key of a picture, "imageKey1File" .. "imageKey12File".
    static QString settingsKey(int camera, int position);

signals:
    // What became of a press (recall, or store when `store`), on every path:
    // refused before anything was sent, or the end of the exchange (for a
    // store its first failing step, picture capture included).
    void answered(int camera, int key, bool store, Outcome::Kind outcome);
    void panelChanged();
    void storeModeChanged();
    void busyChanged();
    void selectionChanged();
    void picturesChanged();
    void keysShownChanged();
    void keyOutcomesChanged();
    void onAirHoldChanged();
    void pressedCameraChanged();

private:
    void connectDevices();
    void setBusy(bool b);
    void finishPress(int camera, int key, Outcome::Kind outcome, bool wasStore);
    void onImageKeyUpdate();
    void applyExisting(const std::array<bool, kCameras * kKeys> &exists);

    QPointer<Panel> panel_;
    bool storeMode_ = false;
    bool busy_ = false;
    std::array<int, kCameras> selected_{{-1, -1, -1}};
    std::array<QString, kCameras * kKeys> pictures_;
    int pressedCamera_ = -1;
    std::array<int, kCameras * kKeys> outcomes_{{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}};
    QMetaObject::Connection updateConnection_;
    QMetaObject::Connection trackingConnection_;
    QMetaObject::Connection onlineConnections_[kCameras];
};
