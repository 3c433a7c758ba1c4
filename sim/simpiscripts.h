#pragma once

#include <QString>
#include <QStringList>

// The Pi's own scripts and programs under /home/pi that the panel starts, as
// stand-ins inside a sysroot: each records how it was called, and the few
// whose effect the panel looks at behave like the real ones.
//
//   /home/pi/audio-meter2  connects to the meter port on loopback and sends a
//                          2-byte level frame (left, right) every 20 ms,
//                          fixed or moving (Options::meterMoving)
//   /home/pi/cap.sh        leaves a JPEG frame in /home/pi/output.jpg and the
//                          marker /home/pi/x
//   the others             (lm1972.sh, preview.x, checkpin.sh, server.sh,
//                          play.sh, yavta/test.sh) record and exit
//
// Calls are recorded by the SimTools stand-in "pi-scripts" as
// "<path as the panel knows it> <arguments>".
class SimPiScripts
{
public:
    struct Options {
        unsigned char meterLeft = 0x40;
        unsigned char meterRight = 0x44;
        int meterPeriodMs = 20;
        unsigned short meterPort = 20000;
        // A level that rises and falls (about one step every half second,
        // right a little below left) instead of the fixed pair above, so a
        // demo's meters move. The simulated unit sends it.
        bool meterMoving = false;
    };

    static bool install(const QString &sysroot);
    static bool install(const QString &sysroot, const Options &options);
    static QStringList calls(const QString &sysroot);
    // The frame cap.sh leaves behind.
    static QByteArray frameJpeg();
};
