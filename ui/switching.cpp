#include "ui/switching.h"

#include "platform/threadcheck.h"
#include "switcher/commandexecobject.h"
#include "ui/devicelines.h"
#include "ui/switcherstate.h"
#include "ui/switchgate.h"
#include "ui/timeseam.h"
#include "ui/uilog.h"

#include <QCoreApplication>
#include <QDebug>

#include <chrono>
#include <iterator>
#include <utility>

namespace {
// How long the busy notification stays after the last refusal.
constexpr int kBusyNoticeMs = 3000;
// Reading the board back: how often while its AUTO lamp is lit, and again
// after a read failed.
constexpr int kFollowPollMs = 200;
constexpr int kFollowRetryMs = 1000;
// The longest auto transition: 200 frames at 25 Hz. The board's own time,
// so not through the time seam.
constexpr qint64 kAutoMaxMs = 10000;
// While the board mixes, it is asked at the expected end, but at least this
// often, so a rate the panel has wrong costs at most this much lamp time.
constexpr int kAutoPollMaxMs = 1000;

qint64 nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

const char *logName(Switching::Control control)
{
    switch (control) {
    case Switching::ProgramBus: return "pgm";
    case Switching::PreviewBus: return "pvw";
    case Switching::Cut: return "CUT";
    case Switching::Auto: return "AUTO";
    case Switching::Wipe: return "WIPE";
    case Switching::Mix: return "MIX";
    case Switching::PipProgram: return "pip program";
    case Switching::PipPreview: return "pip preview";
    case Switching::KeyProgram: return "key program";
    case Switching::KeyPreview: return "key preview";
    case Switching::UserMemory: return "user memory";
    case Switching::PresetRecall: return "preset recall";
    }
    return "?";
}
} // namespace

int Switching::transitionMs(int rateFrames, int pgmOutResolution)
{
    // Frames a second times 1000 for the program output resolutions 0..12:
    // 1080p 60, 59.94, 50, 30, 25; 1080i 60, 59.94, 50; 720p 60, 59.94, 50;
    // 576i; 480i.
    static const int kMilliHz[] = {60000, 59940, 50000, 30000, 25000, 30000, 29970,
                                   25000, 60000, 59940, 50000, 25000, 29970};
    const bool known = pgmOutResolution >= 0 && pgmOutResolution < int(std::size(kMilliHz));
    const qint64 milliHz = known ? kMilliHz[pgmOutResolution] : 30000;
    return int((qint64(qMax(0, rateFrames)) * 1000000 + milliHz / 2) / milliHz);
}

Switching::Switching(DeviceLines *lines, SwitcherState *state, std::function<bool(int)> camOnline, QObject *parent)
    : QObject(parent)
    , lines_(lines)
    , state_(state)
    , camOnline_(std::move(camOnline))
    , busyTimer_(new SeamTimer(kBusyNoticeMs, false, this))
    , followTimer_(new SeamTimer(kFollowPollMs, false, this))
    , outcomeTimer_(new SeamTimer(kOutcomeShownMs, false, this))
    , autoTimer_(new SeamTimer(kAutoTickMs, true, this))
{
    // By name too, for queued connections and signal spies.
    qRegisterMetaType<Switching::Control>("Switching::Control");
    qRegisterMetaType<Outcome::Kind>("Outcome::Kind");
    connect(busyTimer_, &SeamTimer::timeout, this, [this] { setBusyNoticeVisible(false); });
    connect(followTimer_, &SeamTimer::timeout, this, &Switching::followBoard);
    connect(outcomeTimer_, &SeamTimer::timeout, this, [this] { setOutcomeControl(-1); });
    connect(autoTimer_, &SeamTimer::timeout, this, &Switching::autoTick);
    // With the on-air tally, a mix starting or ending, or a PiP or key
    // going on air, changes lamps without a press.
    // Once per turn of the event loop: a swap changes both masks.
    auto onAirChanged = [this] {
        if (!tallyOnAirSources() || onAirTallyQueued_)
            return;
        onAirTallyQueued_ = true;
        QMetaObject::invokeMethod(this, [this] {
            onAirTallyQueued_ = false;
            updateTally(false);
        }, Qt::QueuedConnection);
    };
    connect(state_, &SwitcherState::onAirMaskChanged, this, onAirChanged);
    connect(state_, &SwitcherState::previewMaskChanged, this, onAirChanged);
    if (!lines_)
        return;
    gate_ = new SwitchGate(lines_->mainboard(), this);
    // Whatever the board did or missed while it was silent, it is asked.
    connect(gate_, &SwitchGate::answeringAgain, this, &Switching::followBoard);
    if (commandExecObject *m = lines_->mainboard().object()) {
        connect(m, &commandExecObject::sigMainboardBusy, this, &Switching::onMainboardBusy);
        // Queued: the model lives on the mainboard lane, and says so the
        // moment a reply wait passes without a byte.
        connect(m, &commandExecObject::mainboardAnswering, this, &Switching::onBoardAnswering);
    }
    // A board that let a whole wait pass is not waited for again: the lane
    // stays free for the operator's next press (the gate asks first).
    lines_->mainboard().post([](commandExecObject &m) { m.setSkipRetriesWhenSilent(true); });
}

// ---------------------------------------------------------------- outcomes and the link

void Switching::finish(Control control, Outcome::Kind outcome)
{
    // The link refuses a write during a T-bar transition without sending
    // it; the operation only sees a failed send.
    if (outcome == Outcome::Refused && busyRefused_)
        outcome = Outcome::TransitionRunning;
    busyRefused_ = false;
    emit answered(control, outcome);
    setOutcomeKind(outcome);
    setOutcomeControl(control);
    outcomeTimer_->start();
}

void Switching::report(Control control, Outcome::Kind outcome)
{
    TAVRIK_ASSERT_OWNER(this);
    finish(control, outcome);
}

void Switching::onBoardAnswering(bool answering)
{
    TAVRIK_ASSERT_OWNER(this);
    state_->setBoardAnswering(answering);
    if (!answering) {
        // Whatever it did meanwhile is unknown until it is read back.
        state_->setStateConfirmed(false);
        if (gate_)
            gate_->boardFoundSilent();
        return;
    }
    followBoard();
}

void Switching::readBackFailed()
{
    TAVRIK_ASSERT_OWNER(this);
    state_->setStateConfirmed(false);
    followBoard();
}

// ---------------------------------------------------------------- transitions

void Switching::swapBuses()
{
    ++busGeneration_;
    const int program = state_->programNo();
    state_->setProgramNo(state_->previewNo());
    state_->setPreviewNo(program);
}

void Switching::afterTransition()
{
    swapBuses();
    const bool pip = state_->pipPgmFlag();
    state_->setPipPgmFlag(state_->pipPvwFlag());
    state_->setPipPvwFlag(pip);
    const bool luma = state_->lumaPgmFlag();
    state_->setLumaPgmFlag(state_->lumaPvwFlag());
    state_->setLumaPvwFlag(luma);
    updateTally(false);
}

void Switching::cut()
{
    TAVRIK_ASSERT_OWNER(this);
    if (!gate_)
        return;
    gate_->post("CUT", [](commandExecObject &m) { return m.cutTrans(); }, this, [this](const Result<bool> &r) {
        finish(Cut, r.outcome);
        if (!r.sent)
            return;
        if (r.done() && autoRunning()) {
            // The board ends a running auto transition on a CUT: the buses
            // were swapped when the AUTO was taken; the board is asked below.
            qCDebug(lcUi) << "CUT during the auto transition: program and preview are read back";
            endAuto();
            state_->setTransitionRunning(false);
        } else if (r.done()) {
            afterTransition();
        }
        // Also after a refusal: a board whose acknowledgement was lost may
        // have cut all the same.
        followBoard();
    });
}

void Switching::startAuto(int lengthMs)
{
    autoStartedAt_ = nowMs();
    setAutoLengthMs(lengthMs);
    setAutoProgress(0);
    if (lengthMs > 0)
        autoTimer_->start();
}

void Switching::endAuto()
{
    autoStartedAt_ = -1;
    autoTimer_->stop();
    setAutoLengthMs(0);
    setAutoProgress(0);
}

void Switching::autoTick()
{
    // The board's own time: the transition runs in real milliseconds.
    const qreal done = qreal(nowMs() - autoStartedAt_) / qMax(1, autoLengthMs());
    setAutoProgress(qMin<qreal>(1, done));
    if (done >= 1)
        autoTimer_->stop();
}

bool Switching::autoRunning() const
{
    return autoStartedAt_ >= 0 && nowMs() - autoStartedAt_ < kAutoMaxMs;
}

void Switching::autoTransition()
{
    TAVRIK_ASSERT_OWNER(this);
    if (!gate_)
        return;
    // A second AUTO while the board still runs the first would be taken
    // and ignored there, and the buses here swapped once too often.
    if (autoRunning()) {
        qCWarning(lcUi) << "[WARN] AUTO not sent: the auto transition started before is still running";
        finish(Auto, Outcome::TransitionRunning);
        return;
    }
    const int rate = state_->transSpeed();
    gate_->post("AUTO", [rate](commandExecObject &m) { return m.autoTrans(rate); }, this,
                [this, rate](const Result<bool> &r) {
                    finish(Auto, r.outcome);
                    if (!r.sent)
                        return;
                    if (r.done()) {
                        startAuto(transitionMs(rate, state_->pgmOutResolution()));
                        // Lit until the board's AUTO lamp goes out.
                        state_->setTransitionRunning(true);
                        afterTransition();
                    }
                    followBoard();
                });
}

void Switching::tbarAtEnd(bool swap)
{
    TAVRIK_ASSERT_OWNER(this);
    if (swap) {
        swapBuses();
        updateTally(false);
        // Asked after the end position has been written.
        followBoard();
    }
    setBusyNoticeVisible(false);
}

void Switching::writeTbar(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    state_->setTbarPosition(value);
    if (gate_)
        gate_->postTbar(value);
}

// ---------------------------------------------------------------- following the board

void Switching::followBoard()
{
    if (!gate_)
        return;
    followTimer_->stop();
    if (followInFlight_) {
        followAgain_ = true;
        return;
    }
    followInFlight_ = true;
    followAgain_ = false;
    const int generation = busGeneration_;
    gate_->post("read back program and preview",
                [](commandExecObject &m) {
                    BusesRead b;
                    zarvoMuStatus status;
                    b.ok = m.readBuses(status, b.autoRunning);
                    b.program = status.pgmSource;
                    b.preview = status.pvwSource;
                    b.pipPgm = status.pipSplitPgm;
                    b.pipPvw = status.pipSplitPvw;
                    b.keyPgm = status.keyerPgm;
                    b.keyPvw = status.keyerPvw;
                    return b;
                },
                this, [this, generation](const Result<BusesRead> &r) { onBuses(generation, r); });
}

void Switching::onBuses(int generation, const Result<BusesRead> &read)
{
    followInFlight_ = false;
    if (!read.sent) {
        // Stale, or the board silent: then it is asked when it answers.
        if (!gate_->boardSilent())
            followTimer_->start(kFollowRetryMs);
        return;
    }
    if (followAgain_ || generation != busGeneration_) {
        // The buses changed here meanwhile: this answer is already old.
        followBoard();
        return;
    }
    if (!read.done()) {
        followTimer_->start(kFollowRetryMs);
        return;
    }
    const BusesRead &board = read.value;
    // The AUTO lamp and the API's transition event: the board's word.
    state_->setTransitionRunning(board.autoRunning);
    if (board.autoRunning) {
        // Asked again when the transition should be over: polling the
        // whole length would hold the lane for nothing.
        int next = kFollowPollMs;
        if (autoStartedAt_ >= 0) {
            const qint64 left = autoStartedAt_ + autoLengthMs() - nowMs();
            next = int(qBound<qint64>(kFollowPollMs, left, kAutoPollMaxMs));
        }
        followTimer_->start(next);
        return;
    }
    endAuto();
    SwitcherState *s = state_;
    // Tally sent while the state was unconfirmed may be stale: sent again.
    const bool wasUnconfirmed = !s->stateConfirmed();
    s->setTransitionRunning(false);
    // Whatever differs is corrected below: from here on what is shown is
    // the board's.
    s->setStateConfirmed(true);
    // PiP and key lamps on air matter as much as the buses: a toggle whose
    // acknowledgement was lost, or a transition the board ended on its own,
    // leaves them wrong just the same.
    if (board.pipPgm != s->pipPgmFlag() || board.pipPvw != s->pipPvwFlag() || board.keyPgm != s->lumaPgmFlag()
        || board.keyPvw != s->lumaPvwFlag()) {
        qCWarning(lcUi) << "[WARN] PiP/key on program and preview" << s->pipPgmFlag() << s->pipPvwFlag()
                        << s->lumaPgmFlag() << s->lumaPvwFlag() << "differ from the mainboard's" << board.pipPgm
                        << board.pipPvw << board.keyPgm << board.keyPvw << ": following the mainboard";
        s->setPipPgmFlag(board.pipPgm);
        s->setPipPvwFlag(board.pipPvw);
        s->setLumaPgmFlag(board.keyPgm);
        s->setLumaPvwFlag(board.keyPvw);
    }
    const int program = board.program, preview = board.preview;
    if (program > 6 || preview > 6)
        return;
    if (program == s->programNo() && preview == s->previewNo()) {
        if (wasUnconfirmed)
            updateTally(false);
        s->confirmBuses();
        return;
    }
    qCWarning(lcUi) << "[WARN] program/preview" << s->programNo() << "/" << s->previewNo()
                    << "differ from the mainboard's" << program << "/" << preview << ": following the mainboard";
    ++busGeneration_;
    s->setProgramNo(program);
    s->setPreviewNo(preview);
    updateTally(false);
    s->confirmBuses();
}

// ---------------------------------------------------------------- buses and lamps

void Switching::runSwitch(Control control, int source)
{
    const bool program = control == ProgramBus;
    const char *what = logName(control);
    gate_->post(
        what, [program, source](commandExecObject &m) { return program ? m.pgm(source) : m.pvw(source); }, this,
        [this, control, what, program, source](const Result<bool> &r) {
            finish(control, r.outcome);
            if (!r.sent)
                return;
            if (!r.done()) {
                qCWarning(lcUi) << "[WARN]" << what << source << "refused";
                followBoard();
                return;
            }
            ++busGeneration_;
            if (program)
                state_->setProgramNo(source);
            else
                state_->setPreviewNo(source);
            updateTally(program);
            // Confirmed by the board before it goes further (tally out).
            followBoard();
        });
}

void Switching::pressBus(Control bus, int button)
{
    const bool program = bus == ProgramBus;
    if (button < 0 || button > 5) {
        qCWarning(lcUi) << "[WARN]" << (program ? "program" : "preview") << "button out of range:" << button;
        return;
    }
    // The sixth button flips between background and colour bar.
    const int current = program ? state_->programNo() : state_->previewNo();
    const int source = button < 5 ? button : (current == 5 ? 6 : 5);
    if ((button < 5 && source == current) || !gate_)
        return;
    runSwitch(bus, source);
}

void Switching::pressProgram(int button)
{
    TAVRIK_ASSERT_OWNER(this);
    pressBus(ProgramBus, button);
}

void Switching::pressPreview(int button)
{
    TAVRIK_ASSERT_OWNER(this);
    pressBus(PreviewBus, button);
}

void Switching::selectWipe()
{
    TAVRIK_ASSERT_OWNER(this);
    if (!gate_)
        return;
    gate_->post("WIPE", [](commandExecObject &m) { return m.wipeMode(); }, this, [this](const Result<bool> &r) {
        finish(Wipe, r.outcome);
        if (r.done())
            state_->setWipeSelected(true);
    });
}

void Switching::selectMix()
{
    TAVRIK_ASSERT_OWNER(this);
    if (!gate_)
        return;
    gate_->post("MIX", [](commandExecObject &m) { return m.mixMode(); }, this, [this](const Result<bool> &r) {
        finish(Mix, r.outcome);
        if (r.done())
            state_->setWipeSelected(false);
    });
}

void Switching::toggle(Control control, bool on)
{
    if (!gate_)
        return;
    gate_->post(
        logName(control),
        [control, on](commandExecObject &m) {
            switch (control) {
            case PipProgram: return on ? m.pipProgramOn() : m.pipProgramOff();
            case PipPreview: return on ? m.pipPreviewOn() : m.pipPreviewOff();
            case KeyProgram: return on ? m.keyOnPgm() : m.keyOffPgm();
            default: return on ? m.keyOnPvw() : m.keyOffPvw();
            }
        },
        this,
        [this, control, on](const Result<bool> &r) {
            finish(control, r.outcome);
            if (!r.done())
                return;
            switch (control) {
            case PipProgram: state_->setPipPgmFlag(on); break;
            case PipPreview: state_->setPipPvwFlag(on); break;
            case KeyProgram: state_->setLumaPgmFlag(on); break;
            default: state_->setLumaPvwFlag(on); break;
            }
            followBoard();
        });
}

void Switching::togglePipProgram()
{
    TAVRIK_ASSERT_OWNER(this);
    toggle(PipProgram, !state_->pipPgmFlag());
}

void Switching::togglePipPreview()
{
    TAVRIK_ASSERT_OWNER(this);
    toggle(PipPreview, !state_->pipPvwFlag());
}

void Switching::toggleKeyProgram()
{
    TAVRIK_ASSERT_OWNER(this);
    toggle(KeyProgram, !state_->lumaPgmFlag());
}

void Switching::toggleKeyPreview()
{
    TAVRIK_ASSERT_OWNER(this);
    toggle(KeyPreview, !state_->lumaPvwFlag());
}

void Switching::onMainboardBusy()
{
    busyRefused_ = true;
    // Translated in the context the text has always had.
    setBusyNoticeText(QCoreApplication::translate("Panel", "T-Bar transition in progress\n\nOther operations are "
                                                           "unavailable until the transition is completed."));
    setBusyNoticeVisible(true);
    busyTimer_->start();
}
