#include "mainboard/linecounters.h"

#include <QDateTime>

void MainboardLineCounters::count(Event e)
{
    if (e < 0 || e >= EventCount)
        return;
    count_[e].fetch_add(1, std::memory_order_relaxed);
    if (e == Refused || e == TimedOut || e == Garbled || e == WriteFailed) {
        lastErrorAtMs_.store(QDateTime::currentMSecsSinceEpoch(), std::memory_order_relaxed);
        lastError_.store(e, std::memory_order_relaxed);
    }
}

MainboardLineCounters::Snapshot MainboardLineCounters::snapshot() const
{
    Snapshot s;
    for (int i = 0; i < EventCount; ++i)
        s.count[i] = count_[i].load(std::memory_order_relaxed);
    s.lastError = lastError_.load(std::memory_order_relaxed);
    s.lastErrorAtMs = lastErrorAtMs_.load(std::memory_order_relaxed);
    return s;
}
