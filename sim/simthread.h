#pragma once

#include <QObject>
#include <QThread>

#include <utility>

// A thread with an event loop for simulated devices: the panel blocks its
// own thread while it waits for an answer, so every peer lives here.
class SimThread
{
public:
    SimThread() : context_(new QObject)
    {
        context_->moveToThread(&thread_);
        thread_.start();
    }
    ~SimThread()
    {
        QMetaObject::invokeMethod(context_, [this] { delete context_; }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }
    SimThread(const SimThread &) = delete;
    SimThread &operator=(const SimThread &) = delete;

    QThread *thread() { return &thread_; }

    // Runs f on the simulation thread and waits for it to finish.
    template <typename F>
    void run(F &&f)
    {
        QMetaObject::invokeMethod(context_, std::forward<F>(f), Qt::BlockingQueuedConnection);
    }

private:
    QThread thread_;
    QObject *context_;
};
