#pragma once

// Private to commandExecObject's own sources.

#include "switcher/commandexecobject.h"
#include "switcher/switcherlog.h"

#include <QDebug>
#include <QThread>

// Holds `mutex` for one operation. A second locked operation on the thread
// that already holds it (a change-signal handler calling back into the model)
// would deadlock a non-recursive mutex; it is refused at once instead, as is
// every exchange while a firmware upgrade owns the line.
class commandExecObject::ExchangeGuard
{
public:
    ExchangeGuard(commandExecObject *owner, const char *operation) : owner_(owner)
    {
        if (owner_->upgradeRunning_.load()) {
            qCWarning(lcSwitcher) << "[ERR]" << operation << "refused: mainboard firmware upgrade in progress";
            return;
        }
        const Qt::HANDLE self = QThread::currentThreadId();
        if (owner_->mutexOwner_.load() == self) {
            qCWarning(lcSwitcher) << "[ERR]" << operation
                       << "refused: re-entered while this thread holds the mainboard lock";
            return;
        }
        owner_->mutex.lock();
        owner_->mutexOwner_.store(self);
        locked_ = true;
    }
    ~ExchangeGuard()
    {
        if (locked_) {
            owner_->mutexOwner_.store(nullptr);
            owner_->mutex.unlock();
        }
    }
    ExchangeGuard(const ExchangeGuard &) = delete;
    ExchangeGuard &operator=(const ExchangeGuard &) = delete;

    explicit operator bool() const { return locked_; }

private:
    commandExecObject *owner_;
    bool locked_ = false;
};

template <typename R, typename F>
R commandExecObject::exchange(const char *operation, LineCheck line, R failed, F body)
{
    if (line == CheckLine && !isConnected())
        return failed;
    ExchangeGuard guard(this, operation);
    if (!guard)
        return failed;
    return body();
}

template <typename F>
void commandExecObject::exchange(const char *operation, LineCheck line, F body)
{
    if (line == CheckLine && !isConnected())
        return;
    ExchangeGuard guard(this, operation);
    if (guard)
        body();
}
