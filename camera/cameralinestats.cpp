#include "camera/cameralinestats.h"

#include <algorithm>
#include <cmath>
#include <vector>

void CameraLineStats::addReplyTime(int ms, qint64 nowMs)
{
    prune(nowMs);
    if (static_cast<int>(samples_.size()) >= kMaxSamples)
        samples_.pop_front();
    samples_.push_back({nowMs, std::max(0, ms)});
}

void CameraLineStats::prune(qint64 nowMs)
{
    while (!samples_.empty() && nowMs - samples_.front().atMs > kWindowMs)
        samples_.pop_front();
}

CameraLineStats::Snapshot CameraLineStats::snapshot(qint64 nowMs)
{
    prune(nowMs);
    Snapshot s;
    s.messages = messages_.load(std::memory_order_relaxed);
    s.timedOut = timedOut_.load(std::memory_order_relaxed);
    s.replies = static_cast<int>(samples_.size());
    if (samples_.empty())
        return s;
    std::vector<int> ms;
    ms.reserve(samples_.size());
    for (const Sample &x : samples_)
        ms.push_back(x.ms);
    std::sort(ms.begin(), ms.end());
    // Nearest rank: the smallest time that p of the replies did not exceed.
    const auto rank = [&ms](double p) {
        const auto n = static_cast<double>(ms.size());
        const auto i = static_cast<size_t>(std::max(1.0, std::ceil(p * n))) - 1;
        return ms[std::min(i, ms.size() - 1)];
    };
    s.p50Ms = rank(0.50);
    s.p99Ms = rank(0.99);
    return s;
}
