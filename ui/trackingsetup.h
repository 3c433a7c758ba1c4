#pragma once

#include <QObject>
#include <QPointer>
#include <QVariantList>

#include <array>

class Panel;
class SeamTimer;

// The auto-tracking set-up pop-up: tracking on and off per camera, and the
// tracking options of one camera (atCamSel). Lives on the interface thread.
// Options are read with inquiries paced 150 ms apart and sent 100 ms after
// the last press of their group, so a quick change of mind sends only the
// final choice; every camera call goes through the camera lane.
class TrackingSetup : public QObject
{
    Q_OBJECT
    Q_PROPERTY(Panel *panel READ panel WRITE setPanel NOTIFY panelChanged)
    // Per camera: the tracking state (-1 no answer, 0 no tracking, 2 on, 3 off).
    Q_PROPERTY(QVariantList trackingStates READ trackingStates NOTIFY trackingStatesChanged)
    Q_PROPERTY(int atCamSel READ atCamSel NOTIFY atCamSelChanged)
    Q_PROPERTY(bool optionsEnabled READ optionsEnabled NOTIFY optionsEnabledChanged)
    // 0 left, 1 centre, 2 right.
    Q_PROPERTY(int placement READ placement NOTIFY optionsChanged)
    // 0 fast, 1 medium, 2 slow.
    Q_PROPERTY(int speed READ speed NOTIFY optionsChanged)
    // Figure of atCamSel as read: 0 full body, 1 half body, 2 close-up, 3 custom.
    Q_PROPERTY(int figure READ figure NOTIFY optionsChanged)
    Q_PROPERTY(int figureSize READ figureSize WRITE setFigureSize NOTIFY optionsChanged)
    // 0 on, 1 off, 2 default.
    Q_PROPERTY(int detIndicator READ detIndicator NOTIFY optionsChanged)
    Q_PROPERTY(int startPosition READ startPosition WRITE setStartPosition NOTIFY optionsChanged)
    Q_PROPERTY(bool osdReminder READ osdReminder NOTIFY optionsChanged)
    Q_PROPERTY(bool autoZoom READ autoZoom NOTIFY optionsChanged)
    Q_PROPERTY(bool autoTilt READ autoTilt NOTIFY optionsChanged)

public:
    static constexpr int kCameras = 3;
    static constexpr int kReadMs = 150;
    static constexpr int kSendMs = 100;

    explicit TrackingSetup(Panel *panel = nullptr, QObject *parent = nullptr);

    Panel *panel() const { return panel_; }
    void setPanel(Panel *panel);
    QVariantList trackingStates() const;
    int atCamSel() const { return atCamSel_; }
    bool optionsEnabled() const;
    int placement() const { return placement_; }
    int speed() const { return speed_; }
    int figure() const { return figures_[static_cast<size_t>(atCamSel_)]; }
    int figureSize() const { return figureSize_; }
    void setFigureSize(int size);
    int detIndicator() const { return detIndicator_; }
    int startPosition() const { return startPosition_; }
    void setStartPosition(int position);
    bool osdReminder() const { return osdReminder_; }
    bool autoZoom() const { return autoZoom_; }
    bool autoTilt() const { return autoTilt_; }

    // Tracking switch of camera c: makes it the joystick camera and flips
    // tracking 2 <-> 3 where the camera can track.
    Q_INVOKABLE void toggleTracking(int camera);
    // Shows camera c's options and reads them.
    Q_INVOKABLE void chooseCamera(int camera);
    // Reads the start position and indicator options (their page opened).
    Q_INVOKABLE void readIndicatorOptions();
    // Options sent 100 ms after the last press of their group.
    Q_INVOKABLE void selectPlacement(int placement);
    Q_INVOKABLE void selectSpeed(int speed);
    Q_INVOKABLE void selectAutoZoom(bool on);
    Q_INVOKABLE void selectAutoTilt(bool on);
    Q_INVOKABLE void selectOsdReminder(bool on);
    // Sent at once.
    Q_INVOKABLE void selectDetIndicator(int indicator);
    // -1 left, 0 confirm, 1 right.
    Q_INVOKABLE void selectSubject(int direction);
    Q_INVOKABLE void saveStartPosition();
    Q_INVOKABLE void applyFigureSize();

signals:
    void panelChanged();
    void trackingStatesChanged();
    void atCamSelChanged();
    void optionsEnabledChanged();
    void optionsChanged();

private:
    enum Group { Placement, Speed, AutoZoom, AutoTilt, Osd, kGroups };

    template <typename F>
    void camCall(F &&fn);
    template <typename Inq, typename Apply>
    void inquire(Inq &&inq, Apply &&apply);
    void cameraReadTick();
    void indicatorReadTick();
    void sendGroup(Group group);
    void schedule(Group group);

    QPointer<Panel> panel_;
    QList<QMetaObject::Connection> connections_;
    int atCamSel_ = 0;
    int placement_ = 1;
    int speed_ = 1;
    std::array<int, kCameras> figures_{{0, 0, 0}};
    int figureSize_ = 0;
    int detIndicator_ = 2;
    int startPosition_ = 0;
    bool osdReminder_ = false;
    bool autoZoom_ = false;
    bool autoTilt_ = false;
    SeamTimer *cameraRead_;
    int cameraReadTick_ = 0;
    SeamTimer *indicatorRead_;
    int indicatorReadTick_ = 0;
    std::array<SeamTimer *, kGroups> senders_{};
};
