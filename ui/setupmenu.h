#pragma once

#include "ui/pagelogic.h"

#include <QHash>
#include <QStringList>

class SeamTimer;

// The setup menu's logic: the fixed lists of switcher and camera settings
// (each entry's code is its index), the held number steppers, typed numbers,
// the page resets and the user-memory entries. Choosing an entry sends its
// code at once and shows it selected whatever the device answers.
// Lives on the interface thread; every call comes from there.
class SetupMenu : public PageLogic
{
    Q_OBJECT
    // Bumped on every change of a selection or a number, so QML bindings
    // that call selected()/number() re-evaluate.
    Q_PROPERTY(int revision READ revision NOTIFY changed)
    // Menu page (0 start, 1 audio, 3 camera, 4 setup) whose reset awaits
    // confirmation; -1 when none.
    Q_PROPERTY(int resetAsked READ resetAsked NOTIFY resetAskedChanged)
    Q_PROPERTY(bool resetRunning READ resetRunning NOTIFY resetAskedChanged)
public:
    enum Setting {
        TransitionType,
        WipeEffect,
        WipeBorderSize,
        WipeBorderColor,
        BackgroundColor,
        PgmOutResolution,
        MvOutResolution,
        OutputFormat,
        Language,
        HdmiInput,
        HdmiGroup,
        HdmiLevel,
        TallyMode,
        Mute,
        // Camera settings of the selected camera.
        VideoFormat,
        MirrorMode,
        PanDirection,
        TiltDirection,
        TallyLed,
        SettingCount
    };
    Q_ENUM(Setting)
    enum Number { AutoRate, RedGain, BlueGain, MemorySpeed };
    Q_ENUM(Number)
    enum MenuPage { StartPage = 0, AudioPage = 1, MemoryPage = 2, CameraPage = 3, SetupPage = 4 };
    Q_ENUM(MenuPage)

    explicit SetupMenu(Panel *panel = nullptr, QObject *parent = nullptr);

    int revision() const { return revision_; }
    int resetAsked() const { return resetAsked_; }
    bool resetRunning() const { return resetPage_ >= 0; }

    // English source texts of the entries (context "SetupMenu"); pages show
    // them through qsTranslate("SetupMenu", text).
    Q_INVOKABLE QStringList labels(int setting) const;
    // Code of the entry shown selected; -1 while unknown.
    Q_INVOKABLE int selected(int setting) const;
    Q_INVOKABLE void choose(int setting, int code);
    // Whether the setting or number shows the switcher's state (marked while
    // that is unconfirmed); the camera settings and gains are the panel's.
    Q_INVOKABLE bool fromBoard(int setting) const;
    Q_INVOKABLE bool numberFromBoard(int which) const { return which == AutoRate; }

    Q_INVOKABLE int number(int which) const;
    // A held step button: one step now, then one every 50 ms until released
    // (at most 256 steps). A new press replaces a running one.
    Q_INVOKABLE void stepPress(int which, int direction);
    Q_INVOKABLE void stepRelease();
    // A number typed on the keyboard; above 255 the previous value stays.
    Q_INVOKABLE bool typeNumber(int which, int value);

    Q_INVOKABLE void askReset(int menuPage);
    Q_INVOKABLE void confirmReset();
    Q_INVOKABLE void cancelReset();

    // User memories 1..6 and the factory set, through the root state's flows.
    Q_INVOKABLE void saveUserMemory(int n);
    Q_INVOKABLE void recallUserMemory(int n);
    Q_INVOKABLE void factoryDefault();

    static constexpr int kMaxStepTicks = 256;
    static int videoModeCode(int code);

    // Timer ticks, public so tests can drive them without waiting.
    void stepTick();
    void resetTick();

signals:
    void changed();
    void resetAskedChanged();

protected:
    void attach() override;

private:
    int key(int setting) const;
    void setSelected(int setting, int code);
    void send(int setting, int code);
    void sendGain(int which, int value);
    void setNumber(int which, int value);

    QHash<int, int> selected_;
    int revision_ = 0;
    int autoRate_ = 0;
    int redGain_ = 128;
    int blueGain_ = 128;
    SeamTimer *stepTimer_;
    int stepWhich_ = AutoRate;
    int stepDirection_ = 0;
    int stepTicks_ = 0;
    SeamTimer *resetTimer_;
    int resetAsked_ = -1;
    int resetPage_ = -1;
    int resetTicks_ = 0;
};
