#include "ui/touchguard.h"

#include "platform/threadcheck.h"

#include <algorithm>

TouchGuard::TouchGuard(QObject *parent)
    : QObject(parent)
{
    connect(&holdTimer_, &SeamTimer::timeout, this, &TouchGuard::holdTick);
}

void TouchGuard::setGuardMs(int ms)
{
    TAVRIK_ASSERT_OWNER(this);
    ms = std::max(0, ms);
    if (ms == guardMs_)
        return;
    guardMs_ = ms;
    emit settingsChanged();
}

void TouchGuard::setHoldMs(int ms)
{
    TAVRIK_ASSERT_OWNER(this);
    ms = std::max(0, ms);
    if (ms == holdMs_)
        return;
    holdMs_ = ms;
    emit settingsChanged();
}

bool TouchGuard::admit()
{
    TAVRIK_ASSERT_OWNER(this);
    // The guard is measured on the seam's clock, like every interface timer.
    if (lastAdmitted_.isValid() && lastAdmitted_.elapsed() < TimeSeam::scaled(guardMs_))
        return false;
    lastAdmitted_.start();
    return true;
}

void TouchGuard::beginHold()
{
    TAVRIK_ASSERT_OWNER(this);
    holdTicks_ = 0;
    setProgress(0);
    if (holdMs_ <= 0) {
        emit held();
        return;
    }
    holdTimer_.start();
    emit holdProgressChanged();
}

void TouchGuard::cancelHold()
{
    TAVRIK_ASSERT_OWNER(this);
    const bool wasHolding = holdTimer_.isActive();
    holdTimer_.stop();
    holdTicks_ = 0;
    setProgress(0);
    if (wasHolding)
        emit holdProgressChanged();
}

void TouchGuard::holdTick()
{
    ++holdTicks_;
    const qreal p = std::min<qreal>(1.0, qreal(holdTicks_) * kHoldTickMs / holdMs_);
    if (p < 1.0) {
        setProgress(p);
        return;
    }
    holdTimer_.stop();
    setProgress(1.0);
    emit holdProgressChanged();
    emit held();
}

void TouchGuard::setProgress(qreal p)
{
    if (qFuzzyCompare(p + 1, holdProgress_ + 1))
        return;
    holdProgress_ = p;
    emit holdProgressChanged();
}
