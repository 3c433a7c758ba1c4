#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The Pi's command-line tools as the simulated unit provides them: recording
// stand-ins in <sysroot>/.standins, meant to go first on PATH. Each records
// its arguments (with a millisecond time) and plays back a canned output and
// exit code, so nothing that could change the machine ever runs.
class SimTools
{
public:
    explicit SimTools(const QString &sysroot);

    // Tools that must never run for real on a PC.
    static QStringList systemChangingTools();

    QString binDir() const;
    // PATH with the stand-ins first.
    QByteArray pathWithStandIns(const QByteArray &path) const;

    // Adds or replaces a stand-in that prints `output` and exits with `exitCode`.
    void install(const QString &tool, const QByteArray &output = {}, int exitCode = 0) const;
    void installDefaults() const;
    void setOutput(const QString &tool, const QByteArray &output, int exitCode = 0) const;

    QStringList calls(const QString &tool) const;
    QList<QPair<qint64, QString>> timedCalls(const QString &tool) const;
    QStringList allCalls() const; // "<tool> <args>", in order
    // The whole calls recorded after byte `*offset` of the shared record,
    // advancing it (a cleared record starts again from its beginning): lets
    // a watcher read only what is new.
    QStringList callsSince(qint64 *offset) const;
    // The shared record, for a file watcher.
    QString allCallsPath() const;
    void clearCalls() const;

private:
    QString callsDir() const;
    QString sysroot_;
};
