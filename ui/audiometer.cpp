#include "ui/audiometer.h"

#include "platform/threadcheck.h"
#include "ui/timeseam.h"

#include <QtGlobal>

AudioMeter::AudioMeter(QObject *parent)
    : QObject(parent)
    , leftHold_(new SeamTimer(kPeakHoldMs, false, this))
    , rightHold_(new SeamTimer(kPeakHoldMs, false, this))
{
    // A held peak falls to the level, not to zero: a steady tone keeps its mark.
    connect(leftHold_, &SeamTimer::timeout, this, [this] { setLeftPeak(left()); });
    connect(rightHold_, &SeamTimer::timeout, this, [this] { setRightPeak(right()); });
}

void AudioMeter::onLeft(int level)
{
    TAVRIK_ASSERT_OWNER(this);
    level = qBound(0, level, kFullScale);
    setLeft(level);
    // Only a new peak restarts the hold; otherwise no timer runs.
    if (level >= leftPeak()) {
        setLeftPeak(level);
        leftHold_->start();
    } else if (!leftHold_->isActive()) {
        setLeftPeak(level);
    }
}

void AudioMeter::onRight(int level)
{
    TAVRIK_ASSERT_OWNER(this);
    level = qBound(0, level, kFullScale);
    setRight(level);
    if (level >= rightPeak()) {
        setRightPeak(level);
        rightHold_->start();
    } else if (!rightHold_->isActive()) {
        setRightPeak(level);
    }
}
