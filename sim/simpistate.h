#pragma once

#include <QString>

#include <array>

// What the Pi's own hardware shows, rebuilt from the calls the panel made to
// the recording stand-ins (SimTools): the key lamp controller, the key LEDs,
// the LED driver, the GPIO lines, the audio levels, the program output and
// the still capture. Only the tool lines are known; the hardware behind them
// is outside the panel, so each value is "what was last written".
//
// A plain value: whoever feeds it owns it (the window's model, on the GUI
// thread).
struct SimPiState
{
    bool keyLampsOn = false;       // "i2cset -y 1 0x70 0x40 0x40" was run
    int keyLedReg2 = -1;           // bus 3, device 0x77, registers 2 and 3
    int keyLedReg3 = -1;
    int ledDriverReg2 = -1;        // bus 1, device 0x05 (speed and lock LEDs)
    int ledDriverReg3 = -1;
    int powerOffLine = -1;         // GPIO 27: -1 never set, 0 low, 1 high
    int powerOffPulses = 0;        // high-to-low edges on the power-off line
    int displayReset = -1;         // GPIO 7
    // ch1, ch2, rca, digit, ear, master as last set; -1 never set.
    std::array<int, 6> audio{{-1, -1, -1, -1, -1, -1}};
    bool programOutput = false;
    QString programRate;
    int captures = 0;
    int calls = 0;
    QString lastCall;

    // One line of the stand-ins' shared record ("<tool> <args>").
    void apply(const QString &line);
};
