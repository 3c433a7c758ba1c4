#include "ui/timeseam.h"

#include <QtGlobal>

#include <atomic>
#include <cmath>

namespace {
double fromEnvironment()
{
    bool ok = false;
    const double v = qEnvironmentVariable("TAVRIK_TIME_SCALE").toDouble(&ok);
    return ok && v >= 1.0 && v <= 1000.0 ? v : 1.0;
}

std::atomic<double> &factor()
{
    static std::atomic<double> f{fromEnvironment()};
    return f;
}
} // namespace

double TimeSeam::speedup()
{
    return factor().load();
}

void TimeSeam::setSpeedup(double f)
{
    factor().store(f >= 1.0 ? f : 1.0);
}

int TimeSeam::scaled(int specifiedMs)
{
    if (specifiedMs <= 0)
        return 0;
    const double s = speedup();
    if (s <= 1.0)
        return specifiedMs;
    return qMax(1, static_cast<int>(std::lround(specifiedMs / s)));
}

SeamTimer::SeamTimer(int specifiedMs, bool repeat, QObject *parent)
    : QObject(parent), specifiedMs_(specifiedMs)
{
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setSingleShot(!repeat);
    timer_.setInterval(TimeSeam::scaled(specifiedMs));
    connect(&timer_, &QTimer::timeout, this, &SeamTimer::timeout);
}

void SeamTimer::setInterval(int specifiedMs)
{
    specifiedMs_ = specifiedMs;
    timer_.setInterval(TimeSeam::scaled(specifiedMs));
}

void SeamTimer::start()
{
    timer_.start(TimeSeam::scaled(specifiedMs_));
}

void SeamTimer::start(int specifiedMs)
{
    setInterval(specifiedMs);
    start();
}

void SeamTimer::stop()
{
    timer_.stop();
}
