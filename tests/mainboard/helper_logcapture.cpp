#include "helper_logcapture.h"

#include <cstdio>

namespace {
QMutex captureMutex;
QStringList *captured = nullptr;
QStringList *capturedWarnings = nullptr;
} // namespace

LogCapture::LogCapture()
{
    {
        QMutexLocker lock(&captureMutex);
        captured = new QStringList;
        capturedWarnings = new QStringList;
    }
    previous_ = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(previous_);
    QMutexLocker lock(&captureMutex);
    delete captured;
    captured = nullptr;
    delete capturedWarnings;
    capturedWarnings = nullptr;
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    QMutexLocker lock(&captureMutex);
    static const bool echo = qEnvironmentVariableIsSet("TAVRIK_TEST_ECHO");
    if (echo)
        fprintf(stderr, "  log: %s\n", qPrintable(message));
    if (captured)
        captured->append(message);
    if (capturedWarnings && type != QtDebugMsg && type != QtInfoMsg)
        capturedWarnings->append(message);
}

QStringList LogCapture::messages() const
{
    QMutexLocker lock(&captureMutex);
    return captured ? *captured : QStringList();
}

QStringList LogCapture::warnings() const
{
    QMutexLocker lock(&captureMutex);
    return capturedWarnings ? *capturedWarnings : QStringList();
}

void LogCapture::clear()
{
    QMutexLocker lock(&captureMutex);
    if (captured)
        captured->clear();
    if (capturedWarnings)
        capturedWarnings->clear();
}

QStringList LogCapture::starting(const QString &prefix) const
{
    QStringList out;
    for (const QString &m : messages()) {
        if (m.startsWith(prefix))
            out << m;
    }
    return out;
}

bool LogCapture::contains(const QString &text) const
{
    for (const QString &m : messages()) {
        if (m.contains(text))
            return true;
    }
    return false;
}
