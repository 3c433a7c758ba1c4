#include "ui/stallprobe.h"

#include "ui/uilog.h"

#include <QDebug>
#include <QEvent>
#include <QGuiApplication>
#include <QWindow>

#include <time.h>

namespace {
// The frame's cost in CPU time of the drawing thread: other work on the
// machine does not stretch it.
qint64 threadCpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}
} // namespace

StallProbe *StallProbe::startIfAsked(QObject *parent)
{
    if (qEnvironmentVariableIntValue("TAVRIK_STALL_PROBE") != 1)
        return nullptr;
    return new StallProbe(parent);
}

StallProbe::StallProbe(QObject *parent) : QObject(parent)
{
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &StallProbe::tick);
    clock_.start();
    lastNs_ = reportStartNs_ = clock_.nsecsElapsed();
    timer_.start();
}

void StallProbe::tick()
{
    if (!window_)
        watchWindow();
    const qint64 now = clock_.nsecsElapsed();
    longestNs_ = qMax(longestNs_, now - lastNs_);
    lastNs_ = now;
    if (now - reportStartNs_ < qint64(kReportMs) * 1000000)
        return;
    qCDebug(lcUi, "stall probe: longest gap %.1f ms over %lld ms, tick %d ms", double(longestNs_) / 1e6,
           (now - reportStartNs_) / 1000000, kTickMs);
    reportStartNs_ = now;
    longestNs_ = 0;
}

// The window appears once the root page is loaded, after the probe started.
void StallProbe::watchWindow()
{
    for (QWindow *w : QGuiApplication::topLevelWindows()) {
        if (w->inherits("QQuickWindow")) {
            window_ = w;
            w->installEventFilter(this);
            // The software renderer draws on this thread, so the signal
            // arrives here directly, right after the frame. By name: the
            // probe needs no more of Qt Quick than this signal.
            connect(w, SIGNAL(frameSwapped()), this, SLOT(frameDone()), Qt::DirectConnection); // clazy:exclude=old-style-connect
            return;
        }
    }
}

bool StallProbe::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window_ && event->type() == QEvent::UpdateRequest && frameStartNs_ < 0)
        frameStartNs_ = threadCpuNs();
    return QObject::eventFilter(watched, event);
}

void StallProbe::frameDone()
{
    if (frameStartNs_ < 0)
        return;
    qCDebug(lcUi, "frame probe: %.2f ms", double(threadCpuNs() - frameStartNs_) / 1e6);
    frameStartNs_ = -1;
}
