#pragma once

#include <QDateTime>
#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QtGlobal>

// Collects the log lines of the code under test (from any thread) while it
// is alive, and still passes them on to the previous handler.
class LogCapture
{
public:
    LogCapture()
    {
        instance() = this;
        previous_ = qInstallMessageHandler(&LogCapture::handler);
    }
    ~LogCapture()
    {
        qInstallMessageHandler(previous_);
        instance() = nullptr;
    }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList lines() const
    {
        QMutexLocker lock(&mutex_);
        return lines_;
    }
    // Wall-clock time (ms) at which line `index` was logged.
    qint64 time(int index) const
    {
        QMutexLocker lock(&mutex_);
        return times_.value(index, -1);
    }
    bool contains(const QString &text) const { return indexOf(text) >= 0; }
    // First line containing text at or after `from`, or -1.
    int indexOf(const QString &text, int from = 0) const
    {
        const QStringList all = lines();
        for (int i = qMax(0, from); i < all.size(); ++i)
            if (all.at(i).contains(text))
                return i;
        return -1;
    }
    int count(const QString &text) const
    {
        int n = 0;
        for (const QString &l : lines())
            n += l.contains(text) ? 1 : 0;
        return n;
    }

private:
    static LogCapture *&instance()
    {
        static LogCapture *p = nullptr;
        return p;
    }
    static void handler(QtMsgType type, const QMessageLogContext &ctx, const QString &msg)
    {
        if (LogCapture *self = instance()) {
            QMutexLocker lock(&self->mutex_);
            self->lines_ << msg;
            self->times_ << QDateTime::currentMSecsSinceEpoch();
            if (self->previous_ && qEnvironmentVariableIsSet("TAVRIK_TEST_LOG"))
                self->previous_(type, ctx, msg);
        }
    }

    mutable QMutex mutex_;
    QStringList lines_;
    QList<qint64> times_;
    QtMessageHandler previous_ = nullptr;
};
