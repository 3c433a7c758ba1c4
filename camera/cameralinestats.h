#pragma once

#include <QtGlobal>

#include <atomic>
#include <deque>

// What happened on one camera line, for the service page and the support
// bundle. Counted by the line's own thread (the camera lane) where the line
// already writes and waits; the reply times of the last minute are kept
// there too, so a snapshot is taken on that thread.
class CameraLineStats
{
public:
    struct Snapshot {
        quint64 messages = 0; // messages written (commands and inquiries)
        quint64 timedOut = 0; // waits that passed without a byte
        int replies = 0;      // replies in the last minute
        int p50Ms = -1;       // reply time percentiles of the last minute; -1: none
        int p99Ms = -1;
    };

    static constexpr qint64 kWindowMs = 60000;
    // A camera answers in tens of ms; a minute of polling holds a few
    // hundred replies, so this bounds the memory, not the figure.
    static constexpr int kMaxSamples = 4096;

    void countMessage() { messages_.fetch_add(1, std::memory_order_relaxed); }
    void countTimeOut() { timedOut_.fetch_add(1, std::memory_order_relaxed); }
    // A reply that took `ms`, seen at `nowMs` (a monotonic clock).
    void addReplyTime(int ms, qint64 nowMs);
    Snapshot snapshot(qint64 nowMs);

private:
    void prune(qint64 nowMs);

    std::atomic<quint64> messages_{0};
    std::atomic<quint64> timedOut_{0};
    struct Sample {
        qint64 atMs;
        int ms;
    };
    std::deque<Sample> samples_; // the line's thread only
};
