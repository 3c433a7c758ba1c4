#include "tests/common/logcapture.h"

#include <QDateTime>
#include <QMutexLocker>

#include <atomic>

namespace {
std::atomic<LogCapture *> current{nullptr};
}

LogCapture::LogCapture() : echo_(qEnvironmentVariableIsSet("TAVRIK_TEST_LOG"))
{
    current.store(this);
    previous_ = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(previous_);
    current.store(nullptr);
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    LogCapture *self = current.load();
    if (!self)
        return;
    {
        QMutexLocker lock(&self->mutex_);
        self->entries_.append({message, QDateTime::currentMSecsSinceEpoch(), type != QtDebugMsg && type != QtInfoMsg});
    }
    if (self->echo_ && self->previous_)
        self->previous_(type, context, message);
}

QList<LogCapture::Entry> LogCapture::snapshot() const
{
    QMutexLocker lock(&mutex_);
    return entries_;
}

QStringList LogCapture::messages() const
{
    QStringList out;
    for (const Entry &e : snapshot())
        out << e.text;
    return out;
}

QStringList LogCapture::warnings() const
{
    QStringList out;
    for (const Entry &e : snapshot())
        if (e.warning)
            out << e.text;
    return out;
}

qint64 LogCapture::time(int index) const
{
    QMutexLocker lock(&mutex_);
    return index >= 0 && index < entries_.size() ? entries_.at(index).ms : -1;
}

void LogCapture::clear()
{
    QMutexLocker lock(&mutex_);
    entries_.clear();
}

QStringList LogCapture::matching(const QString &text) const
{
    QStringList out;
    for (const Entry &e : snapshot())
        if (e.text.contains(text))
            out << e.text;
    return out;
}

int LogCapture::count(const QString &text) const { return matching(text).size(); }

int LogCapture::indexOf(const QString &text, int from) const
{
    const QList<Entry> all = snapshot();
    for (int i = qMax(0, from); i < all.size(); ++i)
        if (all.at(i).text.contains(text))
            return i;
    return -1;
}

QStringList LogCapture::starting(const QString &prefix) const
{
    QStringList out;
    for (const Entry &e : snapshot())
        if (e.text.startsWith(prefix))
            out << e.text;
    return out;
}
