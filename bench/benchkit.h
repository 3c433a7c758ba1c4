#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

// What the benchmarks share: waiting on the event loop, the process's CPU
// and reading a quantile. Header-only: each benchmark is one file.

// A message handler for programs whose every exchange is logged: the figures
// are about the line, so only critical and fatal messages get through.
inline void quietLog(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    if (type == QtFatalMsg || type == QtCriticalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(msg));
}

// Runs the event loop for `ms`.
inline void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop in short naps until `done` or `timeoutMs`; false on
// time-out. For waits whose times are taken where the awaited thing happens.
inline bool spinUntil(const std::function<bool()> &done, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        spin(2);
    }
    return true;
}

// Polls as closely as the event loop allows until `done` or `limitMs`: the
// milliseconds it took, or -1. For waits that are themselves the figure.
inline double waitFor(const std::function<bool()> &done, int limitMs = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > limitMs)
            return -1;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return double(t.nsecsElapsed()) / 1e6;
}

// CPU seconds this process has used, user and system.
inline double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The sample at quantile `q` (1: the largest) of the sorted, non-empty `v`.
inline double quantile(const std::vector<double> &v, double q)
{
    return v[std::min(v.size() - 1, size_t(q * double(v.size())))];
}
