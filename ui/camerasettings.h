#pragma once

#include "ui/outcome.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class Panel;
class SeamTimer;
class vekCameraObject;

// The camera pop-up: white balance with red and blue gain, shutter, focus
// and iris of the selected camera (Panel::camSel). Lives on the interface
// thread. Camera calls go through the camera lane; what the camera reports
// arrives as queued signals and is taken only for the selected camera.
class CameraSettings : public QObject
{
    Q_OBJECT
    Q_PROPERTY(Panel *panel READ panel WRITE setPanel NOTIFY panelChanged)
    // 1: white balance and gains; 2: shutter.
    Q_PROPERTY(int page READ page WRITE setPage NOTIFY pageChanged)
    Q_PROPERTY(int rGain READ rGain NOTIFY rGainChanged)
    Q_PROPERTY(int bGain READ bGain NOTIFY bGainChanged)
    // Which gain the step buttons and the gain slider act on: red (false) or blue (true).
    Q_PROPERTY(bool blueGainSelected READ blueGainSelected WRITE setBlueGainSelected NOTIFY blueGainSelectedChanged)
    Q_PROPERTY(int selectedGain READ selectedGain NOTIFY selectedGainChanged)
    // Shutter slider 0..16; the camera gets slider + 5.
    Q_PROPERTY(int shutter READ shutter NOTIFY shutterChanged)
    Q_PROPERTY(QString shutterLabel READ shutterLabel NOTIFY shutterChanged)
    // The Outcome::Kind of the last read of the selected camera's shutter,
    // or -1 before the first.
    Q_PROPERTY(int shutterReadOutcome READ shutterReadOutcome NOTIFY shutterReadOutcomeChanged)
    // 0 manual, 1 auto, 2 one push.
    Q_PROPERTY(int whiteBalance READ whiteBalance NOTIFY whiteBalanceChanged)
    // 0 auto, 1 manual.
    Q_PROPERTY(int focusMode READ focusMode NOTIFY focusModeChanged)
    Q_PROPERTY(int irisMode READ irisMode NOTIFY irisModeChanged)
    // 0 off, 1 red, 2 green.
    Q_PROPERTY(int tally READ tally NOTIFY tallyChanged)
    Q_PROPERTY(int videoFormatIndex READ videoFormatIndex NOTIFY videoFormatChanged)
    Q_PROPERTY(QString videoFormatName READ videoFormatName NOTIFY videoFormatChanged)
    Q_PROPERTY(QString modelName READ modelName NOTIFY modelNameChanged)

public:
    static constexpr int kShutterMax = 16;
    static constexpr int kShutterOffset = 5;
    static constexpr int kGainMax = 255;
    static constexpr int kStepMs = 100;

    explicit CameraSettings(Panel *panel = nullptr, QObject *parent = nullptr);

    Panel *panel() const { return panel_; }
    void setPanel(Panel *panel);
    int page() const { return page_; }
    void setPage(int page);
    int rGain() const { return rGain_; }
    int bGain() const { return bGain_; }
    bool blueGainSelected() const { return blueSelected_; }
    void setBlueGainSelected(bool blue);
    int selectedGain() const { return blueSelected_ ? bGain_ : rGain_; }
    int shutter() const { return shutter_; }
    QString shutterLabel() const;
    int whiteBalance() const { return whiteBalance_; }
    int focusMode() const { return focusMode_; }
    int irisMode() const { return irisMode_; }
    int tally() const { return tally_; }
    int videoFormatIndex() const { return videoFormat_; }
    QString videoFormatName() const;
    QString modelName() const { return modelName_; }

    // The 17 shutter labels for a video format index and camera model.
    static QStringList shutterLabels(int videoFormatIndex, const QString &model);
    static QString videoFormatName(int index);

    // Asks the selected camera for its state and version at once, so the
    // page shows values before the first round of the information poll.
    Q_INVOKABLE void refresh();
    // Buttons.
    Q_INVOKABLE void selectWhiteBalance(int mode);
    Q_INVOKABLE void selectFocus(int mode);
    Q_INVOKABLE void focusNearPressed();
    Q_INVOKABLE void focusFarPressed();
    Q_INVOKABLE void focusReleased();
    Q_INVOKABLE void selectIris(int mode);
    Q_INVOKABLE void irisUp();
    Q_INVOKABLE void irisDown();
    // Opens the shutter page and asks the camera where its shutter is.
    Q_INVOKABLE void openShutterPage();
    // Step buttons: minus repeats while held, plus steps once per press.
    Q_INVOKABLE void minusPressed();
    Q_INVOKABLE void minusReleased();
    Q_INVOKABLE void plusPressed();
    // The operator moved a slider.
    Q_INVOKABLE void gainMoved(int value);
    Q_INVOKABLE void shutterMoved(int value);

    // A shutter position the camera reported; shown, never sent back.
    void shutterFromCamera(int camera, int value);
    int shutterReadOutcome() const;
    // One tick of the step timer (the timer only schedules it).
    void stepTick();
    bool stepTimerActive() const;

signals:
    void panelChanged();
    void pageChanged();
    void rGainChanged();
    void bGainChanged();
    void blueGainSelectedChanged();
    void selectedGainChanged();
    void shutterChanged();
    void whiteBalanceChanged();
    void focusModeChanged();
    void irisModeChanged();
    void tallyChanged();
    void videoFormatChanged();
    void modelNameChanged();
    void shutterReadOutcomeChanged();

private:
    enum class Step { None, Minus, Plus, GainMoved, ShutterMoved };

    void connectCamera();
    int cam() const;
    bool forSelected(int camera) const;
    void startStep(Step step);
    // True when the value changed (it is kept within 0..255).
    bool setGain(bool blue, int value);
    void stepDown();
    void showStoredSpeedClass(int camera);
    void sendGain();
    void setShutter(int value);
    void sendShutter();
    void readShutter();
    template <typename F>
    void camCall(F &&fn);

    QPointer<Panel> panel_;
    SeamTimer *stepTimer_;
    Step step_ = Step::None;
    // Ticks of the minus button since its press; a tap shorter than one tick
    // still steps once on release.
    int minusTicks_ = 0;
    // Set while a value is taken from the camera, so it is not sent back.
    bool inquiry_ = false;
    int page_ = 1;
    int rGain_ = 0;
    int bGain_ = 0;
    bool blueSelected_ = false;
    int shutter_ = 0;
    int whiteBalance_ = 1;
    int focusMode_ = 0;
    int irisMode_ = 0;
    int tally_ = 0;
    int videoFormat_ = -1;
    QString modelName_;
    int shutterReadOutcome_ = -1;
    QList<QMetaObject::Connection> connections_;
};
