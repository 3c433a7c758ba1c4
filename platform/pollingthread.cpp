#include "platform/pollingthread.h"

#include <chrono>

PollingThread::PollingThread(QObject *parent) : QThread(parent) {}

void PollingThread::requestStop()
{
    {
        // Under the lock, so a loop between its check and its wait cannot
        // miss the wake-up.
        std::lock_guard<std::mutex> guard(lock_);
        stop_.store(true);
    }
    wake_.notify_all();
}

void PollingThread::stopAndWait()
{
    requestStop();
    wait();
    stop_.store(false);
}

bool PollingThread::pause(int ms)
{
    std::unique_lock<std::mutex> guard(lock_);
    return !wake_.wait_for(guard, std::chrono::milliseconds(ms), [this] { return stop_.load(); });
}
