#pragma once

#include "switcher/commandexecobject.h"
#include "ui/devicelines.h"
#include "ui/outcome.h"
#include "ui/uilog.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <memory>
#include <type_traits>

class SeamTimer;

// What stands between the operator's switching and the mainboard lane.
// Lives on the interface thread; every call comes from there.
//
// One exchange with a board that has just fallen silent blocks the lane
// for its first reply wait (3 s for a lamp write; the retries are skipped
// once a whole wait passed without a byte, see Switching); a CUT pressed
// meanwhile must not be carried out seconds later, on air, when the board
// answers again. So:
//  - an operation that comes up on the lane later than `expiryMs` after it
//    was asked for is dropped unsent, with a log line;
//  - while the board is known silent (a reply wait passed without a byte)
//    an operation goes out only if a short read (one kAskMs wait)
//    is answered first, and is refused unsent otherwise; the same read asks
//    the board now and then whether it is back. So a dead board costs a
//    press 80 ms, not 12 s, and the lane is free for the first press after
//    it answers;
//  - T-bar positions are merged: a write still queued takes the newest one.
class SwitchGate : public QObject
{
    Q_OBJECT
public:
    static constexpr int kExpiryMs = 1000; // on the unit; runs through the time seam
    static constexpr int kProbeMs = 500;
    // A board answers a read within a few ms; the ask before a press and
    // the probe wait no longer than this, so a press made while a probe
    // is under way still reaches a board that has come back within 100 ms.
    static constexpr int kAskMs = 80;

    explicit SwitchGate(DeviceLane<commandExecObject> &lane, QObject *parent = nullptr);

    // Runs op(m) on the lane unless it is stale or the board is silent by
    // then; done(Result<R>) on `context`'s thread: Stale or NotAnswering
    // when not sent (value default-made), else the operation's outcome
    // (mainboardOutcome) and its value.
    template <typename F, typename Done>
    void post(const char *what, F &&op, QObject *context, Done &&done)
    {
        using R = std::invoke_result_t<F &, commandExecObject &>;
        struct Answer
        {
            Result<R> result;
            bool silent = false;
        };
        QElapsedTimer asked;
        asked.start();
        const int expiry = expiryMs();
        auto shared = shared_;
        lane_.post(
            [what, asked, expiry, shared, f = std::forward<F>(op)](commandExecObject &m) mutable {
                Answer a;
                if (asked.elapsed() > expiry) {
                    qCWarning(lcUi) << "[WARN]" << what << "dropped unsent: asked for" << asked.elapsed()
                               << "ms ago, the mainboard line was held up meanwhile";
                    a.result.outcome = Outcome::Stale;
                } else if (m.mainboardSilent() && !askBoard(m)) {
                    qCWarning(lcUi) << "[WARN]" << what << "not sent: the mainboard does not answer";
                    a.result.outcome = Outcome::NotAnswering;
                } else {
                    a.result.value = f(m);
                    a.result.sent = true;
                    a.result.outcome = mainboardOutcome(m, a.result.value);
                }
                a.silent = m.mainboardSilent();
                shared->silent.store(a.silent);
                return a;
            },
            this,
            [this, ctx = QPointer<QObject>(context), d = std::forward<Done>(done)](const Answer &a) mutable {
                noteSilence(a.silent);
                if (ctx)
                    d(a.result);
            });
    }

    // The T-bar position for the board; a write already queued sends the
    // newest value instead of its own.
    void postTbar(int value);

    // As last seen on the lane.
    bool boardSilent() const { return shared_->silent.load(); }
    // An exchange that did not come through here (a settings page's write)
    // found the board silent: it is asked now and then from here on too, so
    // NO CONTROL ends when the board answers, not at the operator's next press.
    void boardFoundSilent();
    // On the lane: one short read (a single kAskMs wait); true when the
    // board answered it.
    static bool askBoard(commandExecObject &m);
    int expiryMs() const;

signals:
    // The board answers again after a silence.
    void answeringAgain();

private:
    struct Shared
    {
        std::atomic<bool> silent{false};
        std::atomic<int> tbarWanted{-1};
    };
    void noteSilence(bool silent);
    void probe();

    DeviceLane<commandExecObject> &lane_;
    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
    SeamTimer *probeTimer_;
    bool wasSilent_ = false;
    bool probing_ = false;
};
