#pragma once

#include "ui/notifyingproperty.h"

#include <QObject>

class SeamTimer;

// The program audio levels as the meter program reports them (left and
// right, 0..255, a few times a second), with a peak that holds for
// kPeakHoldMs before it falls to the level. Lives on the interface thread;
// the levels arrive queued from the system lane. Pages bind to
// `panel.meter`.
class AudioMeter : public QObject
{
    Q_OBJECT
    PANEL_PROPERTY(int, left, setLeft) = 0;
    PANEL_PROPERTY(int, right, setRight) = 0;
    PANEL_PROPERTY(int, leftPeak, setLeftPeak) = 0;
    PANEL_PROPERTY(int, rightPeak, setRightPeak) = 0;

public:
    static constexpr int kPeakHoldMs = 1500;
    static constexpr int kFullScale = 255;

    explicit AudioMeter(QObject *parent = nullptr);

    void onLeft(int level);
    void onRight(int level);

private:

    SeamTimer *leftHold_;
    SeamTimer *rightHold_;
};
