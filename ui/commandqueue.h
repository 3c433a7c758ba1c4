#pragma once

#include "ui/timeseam.h"

#include <QJSValue>
#include <QObject>

#include <deque>
#include <functional>

// A small sequencer: deferred calls run one per tick, in the order they were
// enqueued, so a burst of page requests reaches the lanes paced instead of
// at once. When a tick finds the queue empty the timer stops. Lives on the
// interface thread; pages may enqueue JavaScript functions.
class CommandQueue : public QObject
{
    Q_OBJECT
    // The specified tick in milliseconds (200 unless set).
    Q_PROPERTY(int interval READ interval WRITE setInterval NOTIFY intervalChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
public:
    explicit CommandQueue(QObject *parent = nullptr);

    int interval() const { return timer_.interval(); }
    void setInterval(int ms);
    int count() const { return static_cast<int>(calls_.size()); }
    bool isRunning() const { return timer_.isActive(); }

    void enqueue(std::function<void()> call);
    Q_INVOKABLE void enqueue(const QJSValue &function);
    Q_INVOKABLE void start();
    Q_INVOKABLE void clear();

signals:
    void intervalChanged();
    void countChanged();

private:
    void tick();

    SeamTimer timer_;
    std::deque<std::function<void()>> calls_;
};
