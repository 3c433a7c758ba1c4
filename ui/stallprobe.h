#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// How long the interface thread's event loop stalls, for the benchmark: a
// short timer notes the largest gap between its ticks and logs it once a
// second ("stall probe: longest gap 6.1 ms over 1000 ms, tick 5 ms"). A
// plain QTimer, not a SeamTimer: the time scale must not change what it
// measures. Off unless TAVRIK_STALL_PROBE=1, since 200 wake-ups a second
// cost the board more than its idle budget allows.
// It also times every frame of the interface's window, from the update
// request to the finished frame (polish, sync, render and the copy to the
// screen), in CPU time of the interface thread: "frame probe: 2.41 ms".
// Lives on the thread that creates it (the interface thread).
class StallProbe : public QObject
{
    Q_OBJECT
public:
    static constexpr int kTickMs = 5;
    static constexpr int kReportMs = 1000;

    // Creates a probe on `parent` when the environment asks for one.
    static StallProbe *startIfAsked(QObject *parent);

    explicit StallProbe(QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void tick();
    void watchWindow();
private slots:
    void frameDone();

private:
    QObject *window_ = nullptr;
    qint64 frameStartNs_ = -1;
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 lastNs_ = 0;
    qint64 reportStartNs_ = 0;
    qint64 longestNs_ = 0;
};
