#pragma once

#include <QObject>
#include <QTimer>

// The one way interface timers get their intervals. On the unit every
// interval is the one the panel is specified with; TAVRIK_TIME_SCALE=N in
// the environment (tests, the soak run) makes every interface timer N times
// faster, so a test runs a minute of start-up sequence in seconds. Device
// time-outs are not scaled: they belong to the lines, not to the interface.
namespace TimeSeam {
double speedup();
// For tests inside one process; the environment variable covers child panels.
void setSpeedup(double factor);
int scaled(int specifiedMs);
// A single-shot call after `specifiedMs` (scaled) on `context`'s thread.
template <typename F>
void singleShot(int specifiedMs, const QObject *context, F &&fn)
{
    QTimer::singleShot(scaled(specifiedMs), Qt::PreciseTimer, context, std::forward<F>(fn));
}
} // namespace TimeSeam

// A QTimer that takes its interval as specified and runs it through the
// seam. Lives on the thread that created it (the interface thread).
class SeamTimer : public QObject
{
    Q_OBJECT
public:
    explicit SeamTimer(int specifiedMs, bool repeat = true, QObject *parent = nullptr);

    void setInterval(int specifiedMs);
    int interval() const { return specifiedMs_; }
    void setSingleShot(bool single) { timer_.setSingleShot(single); }
    bool isActive() const { return timer_.isActive(); }

public slots:
    void start();
    void start(int specifiedMs);
    void stop();

signals:
    void timeout();

private:
    QTimer timer_;
    int specifiedMs_;
};
