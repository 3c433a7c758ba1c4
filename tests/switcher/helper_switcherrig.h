#pragma once

#include "sim/simmainboard.h"
#include "switcher/commandexecobject.h"
#include "tests/common/testsysroot.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QStringList>

#include <memory>

// Collects every log message (from any thread) while it exists, so tests
// can assert on the exact texts the model writes. Set TVK_TEST_LOG=1 to see
// them as well.
class SwitcherLog
{
public:
    SwitcherLog();
    ~SwitcherLog();
    SwitcherLog(const SwitcherLog &) = delete;
    SwitcherLog &operator=(const SwitcherLog &) = delete;

    QStringList messages() const;
    void clear();
    // Messages containing `text`.
    int count(const QString &text) const;
    bool has(const QString &text) const { return count(text) > 0; }
    QStringList matching(const QString &text) const;

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message);
    QtMessageHandler previous_;
};

// A frame as the mainboard sees it, built here from first principles so a
// mistake in the product's own builder cannot hide itself:
// count, address, code, data, low byte of the sum.
QByteArray mbFrame(quint8 address, quint8 code, const QByteArray &data = QByteArray());
// "04 00 C1 03" -> the bytes (spaces ignored).
QByteArray hexBytes(const char *hex);
QString hexText(const QByteArray &bytes);
QString hexText(const QList<QByteArray> &frames);

// One temporary sysroot, one simulated mainboard on <sysroot>/dev/ttyAMA2 and
// one model opened on it. Reused across the test functions of a program:
// construction costs the model's 600 ms line settle.
class SwitcherRig
{
public:
    SwitcherRig();
    ~SwitcherRig();

    TestSysroot sysroot;
    std::unique_ptr<SimMainboard> mb;
    std::unique_ptr<commandExecObject> model;

    // Mainboard back to its start state, Normal mode, record cleared, the
    // link's waits back to nominal.
    void resetBoard();
    // Every frame sent before this call has reached the board and been
    // recorded: one answered exchange goes through (its own frame is not
    // returned).
    QList<QByteArray> framesAfterBarrier();
    // Shortens the link's reply waits (1: nominal).
    void setWaitDivisor(int divisor);
};
