#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class QObject;
class QProcess;

// The one way the panel starts a shell command or an external program.
// Command texts are passed through exactly as the callers build them; the
// runner only records them so that tests can see what ran (tests also put
// recording stand-ins first on PATH, so nothing real ever runs).
class CommandRunner
{
public:
    struct Result {
        bool started = false;   // the program could be started at all
        bool timedOut = false;  // killed after the time limit
        int exitCode = -1;      // -1 when not started, timed out or crashed
        QByteArray out;         // standard output
        QByteArray err;         // standard error
    };

    // "/bin/sh -c command", waiting at most timeoutMs (negative: no limit).
    static Result shell(const QString &command, int timeoutMs = -1);

    // A program with arguments, no shell in between.
    static Result run(const QString &program, const QStringList &arguments, int timeoutMs = -1);

    // Started and left running on its own; returns whether it started.
    static bool startDetached(const QString &program, const QStringList &arguments = {});
    static bool startDetachedShell(const QString &command);

    // A supervised child owned by `parent`: the caller connects to its signals.
    // The process is started before it is returned (check its state()).
    static QProcess *start(const QString &program, const QStringList &arguments, QObject *parent);

    // What ran, newest last ("sh -c <cmd>" or "<program> <args...>").
    // Bounded, so a long-running panel does not grow it without end.
    static QStringList history();
    // The same entries with the wall-clock time (ms since the epoch) at which
    // each was started: the panel's own pacing, free of process start-up delay.
    static QList<QPair<qint64, QString>> timedHistory();
    static void clearHistory();

private:
    static void record(const QString &entry);
};
