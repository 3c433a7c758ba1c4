#pragma once

#include "sim/simmainboard.h"
#include "switcher/commandexecobject.h"
#include "tests/common/logcapture.h"
#include "tests/common/testsysroot.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <initializer_list>
#include <memory>

// A frame as the mainboard sees it, built here from first principles so a
// mistake in the product's own builder cannot hide itself:
// count, address, code, data, low byte of the sum.
QByteArray mbFrame(quint8 address, quint8 code, const QByteArray &data = QByteArray());
// "04 00 C1 03" -> the bytes (spaces ignored).
QByteArray hexBytes(const char *hex);
// A button-lamp read (0x47) or write (0xC6 on, 0xC7 off) of `lamp`.
QByteArray lampFrame(quint8 code, quint8 lamp);
QString hexText(const QByteArray &bytes);
QString hexText(const QList<QByteArray> &frames);
inline QString hexText(std::initializer_list<QByteArray> frames) { return hexText(QList<QByteArray>(frames)); }
// The named properties (space separated) of `object`, as ints.
QList<int> props(const QObject *object, const char *names);

// One temporary sysroot, one simulated mainboard on <sysroot>/dev/ttyAMA2 and
// one model opened on it. Reused across the test functions of a program:
// construction costs the model's 600 ms line settle.
class SwitcherRig
{
public:
    SwitcherRig();

    // Torn down in reverse: the model closes its line before the board goes.
    LogCapture log;
    TestSysroot sysroot;
    std::unique_ptr<SimMainboard> mb;
    std::unique_ptr<commandExecObject> model;

    // Mainboard back to its start state, Normal mode, record cleared, the
    // link's waits back to nominal, the log emptied.
    void resetBoard();
    // Every frame sent before this call has reached the board and been
    // recorded: one answered exchange goes through (its own frame is not
    // returned).
    QList<QByteArray> framesAfterBarrier();
    QString sent() { return hexText(framesAfterBarrier()); }
    // Shortens the link's reply waits (1: nominal).
    void setWaitDivisor(int divisor);
};
