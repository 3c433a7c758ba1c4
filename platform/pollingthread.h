#pragma once

#include <QThread>

#include <atomic>
#include <condition_variable>
#include <mutex>

// The one way a polling loop runs and stops: run() loops while !stopping()
// and paces itself with pause(), which a stop ends at once. So a stop never
// waits out a poll period and nothing spins.
//
// The object lives on the thread that created it; run() is on its own
// thread; requestStop() and stopping() are safe from any thread.
class PollingThread : public QThread
{
    Q_OBJECT
public:
    explicit PollingThread(QObject *parent = nullptr);

    // The loop ends at its next check; a pause in progress ends now. Asked
    // before start(), the loop does not run at all.
    void requestStop();
    // requestStop(), then waits for run() to return (at once when it never
    // ran). Afterwards the thread may be started again. Subclasses call it
    // in their destructor, while their members still exist.
    void stopAndWait();

protected:
    bool stopping() const { return stop_.load(); }
    // Waits up to `ms` on the polling thread; false when a stop ended it.
    bool pause(int ms);

private:
    std::atomic<bool> stop_{false};
    std::mutex lock_;
    std::condition_variable wake_;
};
