#pragma once

#include <QObject>

class Panel;
class SeamTimer;
class SwitcherState;

// The panel's start-up sequence and the shorter re-read that follows a
// user-memory recall or a factory default. Lives on the interface thread;
// every call comes from there. Owned by the Panel it drives, through the
// root state's public setters and its parts (switcher state, switching,
// surface, polls); every device step goes through the lanes, so the ticks
// keep their pacing however long a line takes to answer.
//
// Timers: the splash (1 s; ticks 0, 5, 50, 60), the serial initialisation
// (500 ms; ticks 0..8), the system initialisation (200 ms; ticks 3..20,
// mainboard steps only while the line is connected) and the re-read
// (200 ms; ticks 0..15).
class StartupSequence : public QObject
{
    Q_OBJECT
public:
    explicit StartupSequence(Panel *panel);

    void start();
    void startReread();

signals:
    // The system initialisation has run its last step.
    void finished();

private:
    void splashTick();
    void serialTick();
    void systemTick();
    void rereadTick();
    void finishSystemInit();
    void hideSplashWhenDone();
    // Two lamps of the re-read, applied only when both reads were answered;
    // `lastRead`: the re-read's buses and lamps are then all confirmed.
    void readLampPair(int program, int preview, void (SwitcherState::*setProgram)(bool),
                      void (SwitcherState::*setPreview)(bool), bool lastRead = false);

    Panel *p_;
    SeamTimer *splash_;
    SeamTimer *serial_;
    SeamTimer *system_;
    SeamTimer *reread_;
    int splashTick_ = 0;
    int serialTick_ = 0;
    int systemTick_ = 0;
    int rereadTick_ = 0;
    bool logoDone_ = false;
    // Set once the mainboard reported its program during start-up.
    bool programRead_ = false;
};
