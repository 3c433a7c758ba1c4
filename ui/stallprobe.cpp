#include "ui/stallprobe.h"

#include "ui/uilog.h"

#include <QDebug>

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
