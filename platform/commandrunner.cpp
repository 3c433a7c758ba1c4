#include "platform/commandrunner.h"
#include "platform/servicenotifier.h"

#include <QDateTime>
#include <QMutex>
#include <QMutexLocker>
#include <QProcess>

namespace {
QMutex historyLock;
QList<QPair<qint64, QString>> historyList;
constexpr int kHistoryLimit = 2000;
constexpr int kKillWaitMs = 1000;

QString describe(const QString &program, const QStringList &arguments)
{
    QStringList parts{program};
    parts += arguments;
    return parts.join(QLatin1Char(' '));
}

CommandRunner::Result waitFor(QProcess &p, int timeoutMs)
{
    CommandRunner::Result r;
    // Start, run and kill are each bounded; an unbounded run is not.
    const ServiceNotifier::BoundedWait watchdog(timeoutMs < 0 ? 0 : 2 * timeoutMs + kKillWaitMs);
    if (!p.waitForStarted(timeoutMs < 0 ? 30000 : timeoutMs)) {
        r.err = p.errorString().toLocal8Bit();
        return r;
    }
    r.started = true;
    p.closeWriteChannel();
    if (!p.waitForFinished(timeoutMs < 0 ? -1 : timeoutMs)) {
        r.timedOut = p.state() != QProcess::NotRunning;
        p.kill();
        p.waitForFinished(kKillWaitMs);
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
    }
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return r;
}
} // namespace

void CommandRunner::record(const QString &entry)
{
    QMutexLocker lock(&historyLock);
    historyList.append({QDateTime::currentMSecsSinceEpoch(), entry});
    if (historyList.size() > kHistoryLimit)
        historyList.erase(historyList.begin(), historyList.begin() + (historyList.size() - kHistoryLimit));
}

QStringList CommandRunner::history()
{
    QMutexLocker lock(&historyLock);
    QStringList out;
    out.reserve(historyList.size());
    for (const auto &e : historyList)
        out.append(e.second);
    return out;
}

QList<QPair<qint64, QString>> CommandRunner::timedHistory()
{
    QMutexLocker lock(&historyLock);
    return historyList;
}

void CommandRunner::clearHistory()
{
    QMutexLocker lock(&historyLock);
    historyList.clear();
}

CommandRunner::Result CommandRunner::shell(const QString &command, int timeoutMs)
{
    record(QStringLiteral("sh -c ") + command);
    QProcess p;
    p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
    return waitFor(p, timeoutMs);
}

CommandRunner::Result CommandRunner::run(const QString &program, const QStringList &arguments, int timeoutMs)
{
    record(describe(program, arguments));
    QProcess p;
    p.start(program, arguments);
    return waitFor(p, timeoutMs);
}

bool CommandRunner::startDetached(const QString &program, const QStringList &arguments)
{
    record(describe(program, arguments));
    return QProcess::startDetached(program, arguments);
}

bool CommandRunner::startDetachedShell(const QString &command)
{
    record(QStringLiteral("sh -c ") + command);
    return QProcess::startDetached(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
}

QProcess *CommandRunner::start(const QString &program, const QStringList &arguments, QObject *parent)
{
    record(describe(program, arguments));
    auto *p = new QProcess(parent);
    p->start(program, arguments);
    return p;
}
