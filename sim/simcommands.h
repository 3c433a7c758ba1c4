#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class SimUnit;

// The one command layer of the simulated unit: the console reads lines and
// the window's controls send the same lines, so both work the unit through
// the same code. Owned by the thread that owns the SimUnit (the main
// thread); the devices themselves are thread-safe.
//
//   key N [down|up]       tap key N (0..6; 4 is CUT, 5 is AUTO), or hold/release it
//   tbar V | zoom V       converter readings (0..2047)
//   joy X Y               joystick readings
//   power down|up         the power button
//   mb MODE               mainboard failure mode (Normal, NoAnswer, LateAnswer, ...)
//   boot MODE             boot loader failure (BootNormal, NoProbeEcho, ...)
//   cam N MODE            camera N (0..2): Normal, Silent, PowerOff, AnswerLate,
//                         SplitReply, LateCompletion, or unplug / plug (also
//                         off / on / silent)
//   conv MODE             converter: Healthy, Absent, AddressBusy, ReadFails, ...
//   status | help | quit
class SimCommands
{
public:
    static constexpr int kReadingMax = 2047; // the converter's positive range after the shift

    explicit SimCommands(SimUnit &unit);

    // Carries out one line; returns what to tell the user (may be empty).
    QString run(const QString &line);
    static QString help();

    // Called for "quit".
    std::function<void()> onQuit;

    // The names each "mode" command takes, in the devices' own order.
    static QStringList mainboardModes();
    static QStringList bootModes();
    static QStringList cameraModes();
    static QStringList converterModes();

private:
    SimUnit &unit_;
};
