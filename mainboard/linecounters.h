#pragma once

#include <QtGlobal>

#include <array>
#include <atomic>

// What happened on the mainboard line since the panel started, for the
// service page and the support bundle. The link counts on its own thread at
// the points where it already decides what a reply was; any thread may take
// a snapshot (each counter is atomic; a snapshot is not one instant, which a
// service page read once a second does not need).
class MainboardLineCounters
{
public:
    enum Event { Sent, Acknowledged, Refused, TimedOut, Late, Garbled, WriteFailed, EventCount };

    struct Snapshot {
        std::array<quint64, EventCount> count{};
        // The last fault (Refused, TimedOut, Garbled or WriteFailed; -1: none
        // yet) and when it happened (ms since the epoch).
        int lastError = -1;
        qint64 lastErrorAtMs = 0;
        quint64 operator[](Event e) const { return count[e]; }
    };

    void count(Event e);
    Snapshot snapshot() const;

private:
    std::array<std::atomic<quint64>, EventCount> count_{};
    std::atomic<int> lastError_{-1};
    std::atomic<qint64> lastErrorAtMs_{0};
};
