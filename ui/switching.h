#pragma once

#include "ui/notifyingproperty.h"
#include "ui/outcome.h"

#include <QObject>
#include <QString>

#include <functional>

class DeviceLines;
class SeamTimer;
class SwitchGate;
class SwitcherState;

// The buses as read back from the board.
struct BusesRead
{
    bool ok = false;
    bool autoRunning = false;
    int program = -1, preview = -1;
    bool pipPgm = false, pipPvw = false, keyPgm = false, keyPvw = false;
};

// Switching and tally: the operator's presses on the buses and the
// transition block, the T-bar's writes and ends, the busy notice, and the
// buses read back from the board, which wins where the two differ. Lives on
// the interface thread; every call comes from there. It writes the buses
// into the SwitcherState it is given and reaches the board only through
// its SwitchGate, the cameras (tally) only through the camera lane.
//
// Every press ends in `answered(control, outcome)`, sent or not, so a page
// can show what became of it and a test can assert it.
class Switching : public QObject
{
    Q_OBJECT
    // The busy notification (the board refused a write during a T-bar
    // transition) and its text in the chosen language.
    PANEL_PROPERTY(bool, busyNoticeVisible, setBusyNoticeVisible) = false;
    PANEL_PROPERTY(QString, busyNoticeText, setBusyNoticeText);
    // The outcome of the last press, shown by the pressed control for
    // kOutcomeShownMs: `outcomeControl` is its Control (-1: none shown),
    // `outcomeKind` its Outcome::Kind.
    PANEL_PROPERTY(int, outcomeControl, setOutcomeControl) = -1;
    PANEL_PROPERTY(int, outcomeKind, setOutcomeKind) = 0;
    // Tally follows what is on air, not only the buses: the PiP and key
    // sources on program light red, and during a mix both sources do.
    // Off by default (the setting "tallyOnAirSources").
    PANEL_PROPERTY(bool, tallyOnAirSources, setTallyOnAirSources) = false;
    // The expected length of the auto transition under way (its rate in
    // frames at the program output's frame rate), for the AUTO button's
    // progress; 0 when none runs. The lamp itself ends on the board's word.
    PANEL_PROPERTY(int, autoLengthMs, setAutoLengthMs) = 0;
    // How far along that length the transition should be, 0..1, in steps
    // of kAutoTickMs: the button redraws a few times a second, not per frame.
    PANEL_PROPERTY(qreal, autoProgress, setAutoProgress) = 0;

public:
    enum Control {
        ProgramBus, PreviewBus, Cut, Auto, Wipe, Mix, PipProgram, PipPreview, KeyProgram, KeyPreview,
        UserMemory, PresetRecall,
    };
    Q_ENUM(Control)
    static constexpr int kOutcomeShownMs = 2000;
    static constexpr int kAutoTickMs = 100;

    // How long `rateFrames` frames last at the program output resolution
    // `pgmOutResolution` (the board's code); interlaced formats count
    // frames, not fields. An unknown code counts 30 frames a second.
    static int transitionMs(int rateFrames, int pgmOutResolution);

    // `camOnline(camera)` tells which cameras 0..2 may get a tally command.
    Switching(DeviceLines *lines, SwitcherState *state, std::function<bool(int)> camOnline,
              QObject *parent = nullptr);

    // Buttons 0..4 select black and inputs 1..4; button 5 toggles background
    // and colour bar. Pressing the selected source again sends nothing.
    void pressProgram(int button);
    void pressPreview(int button);
    void cut();
    void autoTransition();
    void selectWipe();
    void selectMix();
    // The lamp takes the state asked for, and only when the board took it.
    void togglePipProgram();
    void togglePipPreview();
    void toggleKeyProgram();
    void toggleKeyPreview();

    // The T-bar: a position for the board (the newest one wins while a
    // write is queued), and the lever reaching an end (0 or 1023): `swap`
    // when that end completes a transition.
    void writeTbar(int value);
    void tbarAtEnd(bool swap);

    // Tally after a change of program or preview; `programPress` orders red
    // before green (when program and preview differ).
    void updateTally(bool programPress);
    // Green then red on the cameras of `preview` and `program` (1..3 only,
    // online only), without the offs.
    void tallyPair(int preview, int program);
    // The tally camera 0..2 should show now (red, green or off), sent to it
    // alone: for a camera that has just come back on line.
    void tallyCamera(int camera);

    // A press handled elsewhere (a user memory, a preset) ends here too, so
    // that its outcome is shown and reported like the others.
    void report(Control control, Outcome::Kind outcome);
    // The link found the board silent (false) or answering again (true).
    void onBoardAnswering(bool answering);
    // A read after a recall failed: what is shown is kept, marked
    // unconfirmed, and the board is read back until it answers.
    void readBackFailed();

    SwitchGate *gate() const { return gate_; }

signals:
    void answered(Switching::Control control, Outcome::Kind outcome);

private:
    void afterTransition();
    void startAuto(int lengthMs);
    void endAuto();
    void autoTick();
    void swapBuses();
    void followBoard();
    void onBuses(int generation, const Result<BusesRead> &read);
    bool autoRunning() const;
    // A press of button 0..5 of the program or preview bus.
    void pressBus(Control bus, int button);
    void runSwitch(Control control, int source);
    void toggle(Control control, bool on);
    void onMainboardBusy();
    void finish(Control control, Outcome::Kind outcome);
    // What camera 0..2 should show now (a TallyKind).
    int tallyFor(int camera) const;

    DeviceLines *lines_;
    SwitcherState *state_;
    std::function<bool(int)> camOnline_;
    SwitchGate *gate_ = nullptr;
    SeamTimer *busyTimer_;
    SeamTimer *followTimer_;
    SeamTimer *outcomeTimer_;
    SeamTimer *autoTimer_;
    bool onAirTallyQueued_ = false;
    bool busyRefused_ = false; // the board refused a write as busy since the last answer
    bool followInFlight_ = false;
    bool followAgain_ = false;
    int busGeneration_ = 0;     // counts the interface's own changes of the buses
    qint64 autoStartedAt_ = -1; // ms (monotonic) of the last acknowledged AUTO while it runs
};

