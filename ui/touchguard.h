#pragma once

#include "ui/timeseam.h"

#include <QElapsedTimer>
#include <QObject>

// What stands between a finger and a control that acts on air. Two guards,
// each optional, owned by one on-screen control:
// - a repeat guard: `admit()` lets the first touch-down through and refuses
//   another one within `guardMs` (a quick double tap would cut away and
//   back within a few frames);
// - a hold: `beginHold()` starts a hold of `holdMs`; `holdProgress` climbs
//   to 1 while the finger stays, and `held()` is emitted once when it gets
//   there; `cancelHold()` (the finger left) ends it without acting.
// Both run through the time seam. Lives on the interface thread.
class TouchGuard : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int guardMs READ guardMs WRITE setGuardMs NOTIFY settingsChanged)
    Q_PROPERTY(int holdMs READ holdMs WRITE setHoldMs NOTIFY settingsChanged)
    Q_PROPERTY(qreal holdProgress READ holdProgress NOTIFY holdProgressChanged)
    Q_PROPERTY(bool holding READ holding NOTIFY holdProgressChanged)
public:
    static constexpr int kDefaultGuardMs = 250;
    static constexpr int kDefaultHoldMs = 600;
    // Progress is redrawn this often while a hold runs.
    static constexpr int kHoldTickMs = 50;

    explicit TouchGuard(QObject *parent = nullptr);

    int guardMs() const { return guardMs_; }
    void setGuardMs(int ms);
    int holdMs() const { return holdMs_; }
    void setHoldMs(int ms);
    qreal holdProgress() const { return holdProgress_; }
    bool holding() const { return holdTimer_.isActive(); }

    Q_INVOKABLE bool admit();
    Q_INVOKABLE void beginHold();
    Q_INVOKABLE void cancelHold();

signals:
    void settingsChanged();
    void holdProgressChanged();
    void held();

private:
    void holdTick();
    void setProgress(qreal p);

    int guardMs_ = kDefaultGuardMs;
    int holdMs_ = kDefaultHoldMs;
    QElapsedTimer lastAdmitted_;
    SeamTimer holdTimer_{kHoldTickMs, true};
    int holdTicks_ = 0;
    qreal holdProgress_ = 0;
};
