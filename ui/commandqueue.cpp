#include "ui/commandqueue.h"

#include "platform/threadcheck.h"
#include "ui/uilog.h"

#include <QDebug>

CommandQueue::CommandQueue(QObject *parent) : QObject(parent), timer_(200, true, this)
{
    connect(&timer_, &SeamTimer::timeout, this, &CommandQueue::tick);
}

void CommandQueue::setInterval(int ms)
{
    TAVRIK_ASSERT_OWNER(this);
    if (ms <= 0 || ms == timer_.interval())
        return;
    timer_.setInterval(ms);
    emit intervalChanged();
}

void CommandQueue::enqueue(std::function<void()> call)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!call)
        return;
    calls_.push_back(std::move(call));
    emit countChanged();
}

void CommandQueue::enqueue(const QJSValue &function)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!function.isCallable()) {
        qCWarning(lcUi) << "[WARN] CommandQueue: not a function, not queued";
        return;
    }
    enqueue([fn = QJSValue(function)]() mutable {
        const QJSValue r = fn.call();
        if (r.isError())
            qCWarning(lcUi).noquote() << "[ERR] queued call failed:" << r.toString();
    });
}

void CommandQueue::start()
{
    TAVRIK_ASSERT_OWNER(this);
    if (!timer_.isActive())
        timer_.start();
}

void CommandQueue::clear()
{
    TAVRIK_ASSERT_OWNER(this);
    if (calls_.empty())
        return;
    calls_.clear();
    emit countChanged();
}

void CommandQueue::tick()
{
    if (calls_.empty()) {
        timer_.stop();
        return;
    }
    std::function<void()> call = std::move(calls_.front());
    calls_.pop_front();
    emit countChanged();
    call();
}
