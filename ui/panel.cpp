#include "ui/panel.h"

#include "camera/vekcameraobject.h"
#include "maint/powerctl.h"
#include "maint/rpitool.h"
#include "netsvc/kivoserv.h"
#include "netsvc/net.h"
#include "surface/keyscan.h"
#include "surface/tbar.h"
#include "switcher/commandexecobject.h"
#include "ui/devicelines.h"
#include "ui/imagekeys.h"
#include "ui/panelsettings.h"
#include "ui/startupsequence.h"
#include "ui/switchgate.h"
#include "ui/timeseam.h"
#include "ui/uilog.h"

#include <QDebug>

#include <atomic>
#include <chrono>
#include <cmath>
#include <utility>
#include <vector>

namespace {
const QString kSystem = QStringLiteral("system");

constexpr int kTbarMax = 1023;
// Ticks of the T-bar timer without a new value before it stops.
constexpr int kTbarIdleTicks = 12;
constexpr int kPresenceTickMs = 200;
constexpr int kPresencePauseMs = 4000;
constexpr int kTrackingTickMs = 800;
constexpr int kTrackingPauseMs = 5000;
constexpr int kPollRestartMs = 10000;
// How long the busy notification stays after the last refusal.
constexpr int kBusyNoticeMs = 3000;
// Reading the board back: how often while its AUTO lamp is lit, and again
// after a read failed.
constexpr int kFollowPollMs = 200;
constexpr int kFollowRetryMs = 1000;
// The longest auto transition: 200 frames at 25 Hz. The board's own time,
// so not through the time seam.
constexpr qint64 kAutoMaxMs = 10000;

qint64 nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

enum TallyKind { TallyOff, TallyGreen, TallyRed };
using TallyOps = std::vector<std::pair<int, TallyKind>>;

bool isCamera(int camera) { return camera >= 0 && camera <= 2; }

// Camera 0..2 on the line numbers and devices the start-up sequence opens,
// opened again on every third presence round that finds it offline (a
// camera that is simply not fitted costs a few log lines now and then, not
// every round). Called on the camera lane only, which owns the counts.
void reopenCameraLine(vekCameraObject &v, int camera, bool online)
{
    static const struct { int line; const char *device; } lines[] = {{0, "ttyAMA0"}, {3, "ttyAMA1"}, {2, "ttyUSB0"}};
    static std::atomic<int> missedRounds[3] = {{0}, {0}, {0}};
    if (!isCamera(camera))
        return;
    if (online) {
        missedRounds[camera] = 0;
        return;
    }
    if (missedRounds[camera]++ % 3 == 0)
        v.initSerial(lines[camera].line, QLatin1String(lines[camera].device), 38400, 8, 0, 1, 0);
}

const char *speedKey(int camera)
{
    static const char *const keys[] = {"cam1Speed", "cam2Speed", "cam3Speed"};
    return keys[camera];
}

int speedValueOfClass(int cls) { return cls == 0 ? 8 : cls == 1 ? 16 : 24; }
} // namespace

Panel::Panel(DeviceLines *lines, PanelSettings *settings, QObject *parent)
    : QObject(parent)
    , lines_(lines)
    , settings_(settings)
    , switcher_(new SwitcherState(this))
    , queue_(new CommandQueue(this))
    , startup_(nullptr)
    , tbarTimer_(new SeamTimer(50, true, this))
    , presenceTimer_(new SeamTimer(kPresenceTickMs, true, this))
    , cameraInfoTimer_(new SeamTimer(5000, true, this))
    , trackingTimer_(new SeamTimer(kTrackingTickMs, true, this))
    , pollRestartTimer_(new SeamTimer(kPollRestartMs, false, this))
    , busyTimer_(new SeamTimer(kBusyNoticeMs, false, this))
    , followTimer_(new SeamTimer(kFollowPollMs, false, this))
{
    queue_->setInterval(150);
    startup_ = new StartupSequence(this);
    connect(tbarTimer_, &SeamTimer::timeout, this, &Panel::tbarTick);
    connect(presenceTimer_, &SeamTimer::timeout, this, &Panel::presenceTick);
    connect(cameraInfoTimer_, &SeamTimer::timeout, this, &Panel::cameraInfoTick);
    connect(trackingTimer_, &SeamTimer::timeout, this, &Panel::trackingTick);
    connect(pollRestartTimer_, &SeamTimer::timeout, this, &Panel::restartPolls);
    connect(busyTimer_, &SeamTimer::timeout, this, [this] { setBusyNoticeVisible(false); });
    connect(followTimer_, &SeamTimer::timeout, this, &Panel::followBoard);

    if (settings_) {
        setLangType(settings_->intValue(kSystem, QStringLiteral("langType")));
        setSpeedValue(speedValueOfClass(settings_->intValue(kSystem, QStringLiteral("speedNum"))));
        connect(this, &Panel::langTypeChanged, this,
                [this] { settings_->setValue(kSystem, QStringLiteral("langType"), langType()); });
        connect(settings_, &PanelSettings::writeFailed, this, &Panel::setNotice); // a full card, shown over any page
    }
    if (!lines_)
        return;
    gate_ = new SwitchGate(lines_->mainboard(), this);
    // Whatever the board did or missed while it was silent, it is asked.
    connect(gate_, &SwitchGate::answeringAgain, this, &Panel::followBoard);
    // Back-end signals come from the lanes' threads: queued to this one.
    if (commandExecObject *m = lines_->mainboard().object()) {
        connect(m, &commandExecObject::sigMainboardBusy, this, &Panel::onMainboardBusy);
        connect(m, &commandExecObject::sendBorderSettings, switcher_, &SwitcherState::onBorderSettings);
        connect(m, &commandExecObject::sendPipSettings, switcher_, &SwitcherState::onPipSettings);
        connect(m, &commandExecObject::sendLumaAudio, switcher_, &SwitcherState::onLumaAudio);
        connect(m, &commandExecObject::sendMuState, switcher_, &SwitcherState::onMuState);
    }
    if (vekCameraObject *v = lines_->camera().object()) {
        connect(v, &vekCameraObject::ptzMoving, this, &Panel::onPtzMoving);
        connect(v, &vekCameraObject::setCamInfo, this,
                [this](int camera, const QString &, const QString &, const QString &, const QString &model) {
                    onCamInfo(camera, model);
                });
    }
    if (net *n = lines_->system().object())
        connect(n, &net::sendAppVer, this, &Panel::onAppVersions);
}

Panel::~Panel()
{
    delete kivoServ_;
    kivoServ_ = nullptr;
    // The hardware threads live on the system lane: they end there, after
    // whatever was queued for them, their creation included. Once the lane
    // has stopped nothing runs there any more, and they end here.
    auto end = [hw = hardware_] {
        delete hw->keys;
        delete hw->power;
        hw->keys = nullptr;
        hw->power = nullptr;
    };
    if (lines_ && lines_->system().thread()->isRunning())
        lines_->system().post([end](net &) { end(); });
    else
        end();
}

void Panel::setTbar(Tbar *tbar)
{
    if (tbar_)
        disconnect(tbar_, nullptr, this, nullptr);
    tbar_ = tbar;
    if (!tbar_)
        return;
    connect(tbar_, &Tbar::changeTbarValue, this, &Panel::onTbarValue);
    connect(tbar_, &Tbar::changeJoystickValue, this, &Panel::onJoystick);
    connect(tbar_, &Tbar::changeJoyZValue, this, &Panel::onZoom);
}

void Panel::startUp()
{
    startup_->start();
}

bool Panel::camOnline(int camera) const
{
    switch (camera) {
    case 0: return cam1Online();
    case 1: return cam2Online();
    case 2: return cam3Online();
    default: return false;
    }
}

void Panel::setCamOnline(int camera, bool online)
{
    switch (camera) {
    case 0: setCam1Online(online); break;
    case 1: setCam2Online(online); break;
    case 2: setCam3Online(online); break;
    default: break;
    }
}

// ---------------------------------------------------------------- tally

namespace {
void sendTally(DeviceLines *lines, TallyOps ops)
{
    if (!lines || ops.empty())
        return;
    lines->camera().post([ops = std::move(ops)](vekCameraObject &v) {
        for (const auto &op : ops) {
            switch (op.second) {
            case TallyOff: v.camTallyOff(op.first); break;
            case TallyGreen: v.greenTallyOn(op.first); break;
            case TallyRed: v.redTallyOn(op.first); break;
            }
        }
    });
}
} // namespace

void Panel::updateTally(bool programPress)
{
    TallyOps ops;
    const int program = programNo();
    const int preview = previewNo();
    for (int cam = 0; cam < 3; ++cam)
        if (cam + 1 != program && cam + 1 != preview && camOnline(cam))
            ops.emplace_back(cam, TallyOff);
    // An offline camera never gets a tally command: its line may be the
    // one that holds up the next inquiry.
    auto lamp = [&](int source, TallyKind kind) {
        if (source >= 1 && source <= 3 && camOnline(source - 1))
            ops.emplace_back(source - 1, kind);
    };
    if (programPress && program != preview) {
        lamp(program, TallyRed);
        lamp(preview, TallyGreen);
    } else {
        lamp(preview, TallyGreen);
        lamp(program, TallyRed);
    }
    sendTally(lines_, std::move(ops));
}

void Panel::tallyPair(int preview, int program)
{
    TallyOps ops;
    if (preview >= 1 && preview <= 3 && camOnline(preview - 1))
        ops.emplace_back(preview - 1, TallyGreen);
    if (program >= 1 && program <= 3 && camOnline(program - 1))
        ops.emplace_back(program - 1, TallyRed);
    sendTally(lines_, std::move(ops));
}

// ---------------------------------------------------------------- switching

void Panel::afterTransition()
{
    ++busGeneration_;
    const int program = programNo();
    setProgramNo(previewNo());
    setPreviewNo(program);
    const bool pip = pipPgmFlag();
    setPipPgmFlag(pipPvwFlag());
    setPipPvwFlag(pip);
    const bool luma = lumaPgmFlag();
    setLumaPgmFlag(lumaPvwFlag());
    setLumaPvwFlag(luma);
    updateTally(false);
}

void Panel::handleKey(int key)
{
    switch (key) {
    case 0: setLockJoystickAndTBar(true); break;
    case 1: setCameraSpeed(trackingCamSel(), 18); break;
    case 2: setCameraSpeed(trackingCamSel(), 12); break;
    case 3: setCameraSpeed(trackingCamSel(), 6); break;
    case 4:
        if (screenshotMode()) {
            lines_->rpi([](RpiTool &t) { t.saveScreenshot(QStringLiteral("/mnt/tervana/img/")); });
            return;
        }
        cut();
        break;
    case 5: autoTransition(); break;
    case 6: setLockJoystickAndTBar(false); break;
    default: qCWarning(lcUi) << "[WARN] unknown key number" << key; break;
    }
}

void Panel::cut()
{
    gate_->post("CUT", [](commandExecObject &m) { return m.cutTrans(); }, this, [this](bool sent, bool ok) {
        if (!sent)
            return;
        if (ok && autoRunning()) {
            // The board ends a running auto transition on a CUT: the buses
            // were swapped when the AUTO was taken; the board is asked below.
            qCDebug(lcUi) << "CUT during the auto transition: program and preview are read back";
            autoStartedAt_ = -1;
        } else if (ok) {
            afterTransition();
        }
        // Also after a refusal: a board whose acknowledgement was lost may
        // have cut all the same.
        followBoard();
    });
}

bool Panel::autoRunning() const
{
    return autoStartedAt_ >= 0 && nowMs() - autoStartedAt_ < kAutoMaxMs;
}

void Panel::autoTransition()
{
    // A second AUTO while the board still runs the first would be taken
    // and ignored there, and the buses here swapped once too often.
    if (autoRunning()) {
        qCWarning(lcUi) << "[WARN] AUTO not sent: the auto transition started before is still running";
        return;
    }
    const int rate = transSpeed();
    gate_->post("AUTO", [rate](commandExecObject &m) { return m.autoTrans(rate); }, this,
                [this](bool sent, bool ok) {
                    if (!sent)
                        return;
                    if (ok) {
                        autoStartedAt_ = nowMs();
                        afterTransition();
                    }
                    followBoard();
                });
}

namespace {
struct Buses
{
    bool ok = false;
    zarvoMuStatus status;
    bool autoRunning = false;
};
} // namespace

void Panel::followBoard()
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
                    Buses b;
                    b.ok = m.readBuses(b.status, b.autoRunning);
                    return b;
                },
                this,
                [this, generation](bool sent, const Buses &b) {
                    onBuses(generation, sent, b.ok, b.status, b.autoRunning);
                });
}

void Panel::onBuses(int generation, bool sent, bool ok, const zarvoMuStatus &board, bool autoRunning)
{
    followInFlight_ = false;
    if (!sent) {
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
    if (!ok) {
        followTimer_->start(kFollowRetryMs);
        return;
    }
    if (autoRunning) {
        followTimer_->start(kFollowPollMs);
        return;
    }
    autoStartedAt_ = -1;
    // PiP and key lamps on air matter as much as the buses: a toggle whose
    // acknowledgement was lost, or a transition the board ended on its own,
    // leaves them wrong just the same.
    const bool pipPgm = board.pipSplitPgm, pipPvw = board.pipSplitPvw;
    const bool keyPgm = board.keyerPgm, keyPvw = board.keyerPvw;
    if (pipPgm != pipPgmFlag() || pipPvw != pipPvwFlag() || keyPgm != lumaPgmFlag() || keyPvw != lumaPvwFlag()) {
        qCWarning(lcUi) << "[WARN] PiP/key on program and preview" << pipPgmFlag() << pipPvwFlag() << lumaPgmFlag()
                        << lumaPvwFlag() << "differ from the mainboard's" << pipPgm << pipPvw << keyPgm << keyPvw
                        << ": following the mainboard";
        setPipPgmFlag(pipPgm);
        setPipPvwFlag(pipPvw);
        setLumaPgmFlag(keyPgm);
        setLumaPvwFlag(keyPvw);
    }
    const int program = board.pgmSource, preview = board.pvwSource;
    if (program > 6 || preview > 6)
        return;
    if (program == programNo() && preview == previewNo())
        return;
    qCWarning(lcUi) << "[WARN] program/preview" << programNo() << "/" << previewNo() << "differ from the mainboard's"
               << program << "/" << preview << ": following the mainboard";
    ++busGeneration_;
    setProgramNo(program);
    setPreviewNo(preview);
    updateTally(false);
}

void Panel::runSwitch(const char *what, bool program, int source)
{
    gate_->post(
        what, [program, source](commandExecObject &m) { return program ? m.pgm(source) : m.pvw(source); }, this,
        [this, what, program, source](bool sent, bool ok) {
            if (!sent)
                return;
            if (!ok) {
                qCWarning(lcUi) << "[WARN]" << what << source << "refused";
                followBoard();
                return;
            }
            ++busGeneration_;
            if (program)
                setProgramNo(source);
            else
                setPreviewNo(source);
            updateTally(program);
        });
}

void Panel::pressProgram(int button)
{
    if (button < 0 || button > 5) {
        qCWarning(lcUi) << "[WARN] program button out of range:" << button;
        return;
    }
    // The sixth button flips between background and colour bar.
    const int source = button < 5 ? button : (programNo() == 5 ? 6 : 5);
    if (button < 5 && source == programNo())
        return;
    runSwitch("pgm", true, source);
}

void Panel::pressPreview(int button)
{
    if (button < 0 || button > 5) {
        qCWarning(lcUi) << "[WARN] preview button out of range:" << button;
        return;
    }
    const int source = button < 5 ? button : (previewNo() == 5 ? 6 : 5);
    if (button < 5 && source == previewNo())
        return;
    runSwitch("pvw", false, source);
}

void Panel::selectWipe()
{
    gate_->post("WIPE", [](commandExecObject &m) { return m.wipeMode(); }, this, [this](bool, bool ok) {
        if (ok)
            setWipeSelected(true);
    });
}

void Panel::selectMix()
{
    gate_->post("MIX", [](commandExecObject &m) { return m.mixMode(); }, this, [this](bool, bool ok) {
        if (ok)
            setWipeSelected(false);
    });
}

// The flag takes the state asked for, and only when the mainboard took it.
void Panel::togglePipProgram()
{
    const bool on = !pipPgmFlag();
    gate_->post("pip program", [on](commandExecObject &m) { return on ? m.pipProgramOn() : m.pipProgramOff(); }, this,
                [this, on](bool, bool ok) { if (ok) setPipPgmFlag(on); });
}

void Panel::togglePipPreview()
{
    const bool on = !pipPvwFlag();
    gate_->post("pip preview", [on](commandExecObject &m) { return on ? m.pipPreviewOn() : m.pipPreviewOff(); }, this,
                [this, on](bool, bool ok) { if (ok) setPipPvwFlag(on); });
}

void Panel::toggleKeyProgram()
{
    const bool on = !lumaPgmFlag();
    gate_->post("key program", [on](commandExecObject &m) { return on ? m.keyOnPgm() : m.keyOffPgm(); }, this,
                [this, on](bool, bool ok) { if (ok) setLumaPgmFlag(on); });
}

void Panel::toggleKeyPreview()
{
    const bool on = !lumaPvwFlag();
    gate_->post("key preview", [on](commandExecObject &m) { return on ? m.keyOnPvw() : m.keyOffPvw(); }, this,
                [this, on](bool, bool ok) { if (ok) setLumaPvwFlag(on); });
}

// ---------------------------------------------------------------- T-bar

void Panel::onTbarValue(int value, int rawValue)
{
    Q_UNUSED(rawValue)
    if (lockJoystickAndTBar() || value == tbarValue_)
        return;
    // The mainboard takes 0..1023; anything else is a fault upstream.
    if (value < 0 || value > kTbarMax) {
        qCWarning(lcUi) << "[ERR] T-bar value out of range, not sent:" << value;
        return;
    }
    tbarValue_ = value;
    tbarIdleTicks_ = 0;
    if (!tbarSeen_) {
        // The lever's resting place at start-up: an end there is the first
        // end, so the mainboard's first transition is not missed.
        tbarSeen_ = true;
        if (value == 0 || value == kTbarMax) {
            tbarLastEnd_ = value;
            setSkipFirstSwitch(false);
        }
        return;
    }
    if (!tbarTimer_->isActive()) {
        tbarTimer_->start();
        stopAllPolls();
    }
}

void Panel::tbarTick()
{
    const int value = tbarValue_;
    if (value != tbarSent_ && value >= 0 && value <= kTbarMax) {
        tbarSent_ = value;
        setTbarPosition(value);
        gate_->postTbar(value);
    }
    if ((value == 0 || value == kTbarMax) && value != tbarLastEnd_) {
        tbarLastEnd_ = value;
        if (skipFirstSwitch()) {
            setSkipFirstSwitch(false);
        } else {
            ++busGeneration_;
            const int program = programNo();
            setProgramNo(previewNo());
            setPreviewNo(program);
            updateTally(false);
            // Asked after the end position has been written.
            followBoard();
        }
        setBusyNoticeVisible(false);
    }
    if (++tbarIdleTicks_ > kTbarIdleTicks) {
        tbarTimer_->stop();
        pollRestartTimer_->start();
    }
}

bool Panel::tbarTimerActive() const
{
    return tbarTimer_->isActive();
}

// ---------------------------------------------------------------- joystick, zoom

void Panel::onJoystick(int pan, int tilt, int value)
{
    const int cam = trackingCamSel();
    if (lockJoystickAndTBar() || (value == -1 && pan == 0 && tilt == 0)) {
        lines_->camera().post([cam](vekCameraObject &v) { v.panTiltStop(0, 0, cam); });
        return;
    }
    const int speed = static_cast<int>(std::lround(speedValue() * 18.0 / 24.0));
    using Move = void (vekCameraObject::*)(int, int);
    using Diagonal = void (vekCameraObject::*)(int, int, int);
    Move straight = nullptr;
    Diagonal diagonal = nullptr;
    if (pan < 0 && tilt > 0)
        diagonal = &vekCameraObject::panTiltUpRight;
    else if (pan < 0 && tilt < 0)
        diagonal = &vekCameraObject::panTiltDownRight;
    else if (pan > 0 && tilt < 0)
        diagonal = &vekCameraObject::panTiltDownLeft;
    else if (pan > 0 && tilt > 0)
        diagonal = &vekCameraObject::panTiltUpLeft;
    else if (pan < 0)
        straight = &vekCameraObject::panTiltRight;
    else if (pan > 0)
        straight = &vekCameraObject::panTiltLeft;
    else if (tilt > 0)
        straight = &vekCameraObject::panTiltUp;
    else if (tilt < 0)
        straight = &vekCameraObject::panTiltDown;
    if (diagonal)
        lines_->camera().post([diagonal, speed, cam](vekCameraObject &v) { (v.*diagonal)(speed, speed, cam); });
    else if (straight)
        lines_->camera().post([straight, speed, cam](vekCameraObject &v) { (v.*straight)(speed, cam); });
}

void Panel::onZoom(int direction, int value)
{
    const int cam = trackingCamSel();
    if (value != -1 && direction == zoomDirection_)
        return;
    zoomDirection_ = value == -1 ? 0 : direction;
    const int speed = speedValue();
    if (value != -1 && direction > 0)
        lines_->camera().post([speed, cam](vekCameraObject &v) { v.zoomWide(speed, cam); });
    else if (value != -1 && direction < 0)
        lines_->camera().post([speed, cam](vekCameraObject &v) { v.zoomTele(speed, cam); });
    else
        lines_->camera().post([cam](vekCameraObject &v) { v.zoomStop(cam); });
}

// ---------------------------------------------------------------- speeds

void Panel::setCameraSpeed(int camera, int speed)
{
    if (!isCamera(camera)) {
        qCWarning(lcUi) << "[WARN] camera speed: camera out of range:" << camera;
        return;
    }
    const int cls = speed >= 1 && speed <= 6 ? 0 : speed >= 7 && speed <= 12 ? 1 : speed >= 13 && speed <= 18 ? 2 : -1;
    if (cls < 0) {
        qCWarning(lcUi) << "[WARN] camera speed out of range:" << speed;
        return;
    }
    if (settings_) {
        settings_->setValue(kSystem, QLatin1String(speedKey(camera)), speed);
        if (settings_->intValue(kSystem, QStringLiteral("speedNum")) == cls)
            return;
        settings_->setValue(kSystem, QStringLiteral("speedNum"), cls);
    } else if (speedValue() == speedValueOfClass(cls)) {
        return;
    }
    setSpeedValue(speedValueOfClass(cls));
    if (PowerCtl *p = powerCtl_) {
        // The LED driver's tools run on the system lane, never here.
        lines_->system().post([p, cls](net &) {
            if (cls == 0)
                p->setSlow(true);
            else if (cls == 1)
                p->setMid(true);
            else
                p->setFast(true);
        });
    }
    if (tbar_)
        tbar_->setjoystickSpeed(camera, speedValue());
}

// ---------------------------------------------------------------- polls

void Panel::startPresencePoll(int retries, int pauseMs)
{
    presenceRetries_ = retries;
    presencePauseTicks_ = qMax(0, pauseMs / kPresenceTickMs);
    presenceWait_ = presencePauseTicks_;
    presenceCamera_ = 0;
    presenceTimer_->start();
}

bool Panel::presencePollActive() const
{
    return presenceTimer_->isActive();
}

void Panel::presenceTick()
{
    // One inquiry at a time: a silent camera holds its lane for the full
    // reply time, and the next tick must not pile another one behind it.
    if (presenceInFlight_)
        return;
    if (presenceWait_ > 0) {
        --presenceWait_;
        return;
    }
    const int cam = presenceCamera_;
    const bool wasOnline = camOnline(cam);
    presenceInFlight_ = true;
    lines_->camera().post(
        [cam, wasOnline](vekCameraObject &v) {
            const bool online = v.camPowerInq(cam);
            v.setVekStatus(cam, online);
            // A line whose device went away (a camera or its USB adapter
            // unplugged) is closed for good by the port; opened again here,
            // a camera plugged back in is found by a later round. Only a
            // camera already offline, so a single missed answer costs
            // nothing, and opening a device that is not there fails at once.
            reopenCameraLine(v, cam, online || wasOnline);
            return online;
        },
        this,
        [this, cam](bool online) {
            presenceInFlight_ = false;
            setCamOnline(cam, online);
            if (!online && cam == camSel())
                setCameraName(QString());
        });
    if (++presenceCamera_ > 2) {
        presenceCamera_ = 0;
        presenceWait_ = presencePauseTicks_;
        if (presenceRetries_ > 0 && --presenceRetries_ == 0)
            presenceTimer_->stop();
    }
}

void Panel::startCameraInfoPoll()
{
    cameraInfoWanted_ = true;
    if (!pollRestartTimer_->isActive() && !tbarTimer_->isActive())
        cameraInfoTimer_->start();
}

void Panel::stopCameraInfoPoll()
{
    cameraInfoWanted_ = false;
    cameraInfoTimer_->stop();
}

void Panel::cameraInfoTick()
{
    if (cameraInfoInFlight_)
        return;
    cameraInfoInFlight_ = true;
    queue_->enqueue([this] {
        const int cam = camSel();
        lines_->camera().post([cam](vekCameraObject &v) { v.getSystemStatus(cam); });
    });
    queue_->enqueue([this] {
        const int cam = camSel();
        lines_->camera().post([cam](vekCameraObject &v) { v.queryVersion(cam); }, this,
                              [this] { cameraInfoInFlight_ = false; });
    });
    queue_->start();
}

void Panel::startTrackingPoll()
{
    trackingWanted_ = true;
    trackingCamera_ = 0;
    trackingWait_ = 0;
    trackingTimer_->start();
}

void Panel::stopTrackingPoll()
{
    trackingWanted_ = false;
    trackingTimer_->stop();
}

int Panel::trackingState(int camera) const
{
    return isCamera(camera) ? trackingStates().value(camera, -1).toInt() : -1;
}

void Panel::setTrackingState(int camera, int state)
{
    QVariantList states = trackingStates();
    if (!isCamera(camera) || states.size() != 3)
        return;
    if (states[camera].toInt() == state)
        return;
    states[camera] = state;
    setTrackingStates(states);
    emit trackingStateChanged(camera);
}

void Panel::trackingTick()
{
    if (trackingInFlight_)
        return;
    if (trackingWait_ > 0) {
        --trackingWait_;
        return;
    }
    const int cam = trackingCamera_;
    trackingInFlight_ = true;
    lines_->camera().post(
        [cam](vekCameraObject &v) {
            const int answer = v.atTrackInquire(cam);
            if (answer != -1)
                v.setVekStatus(cam, true);
            return answer;
        },
        this,
        [this, cam](int answer) {
            trackingInFlight_ = false;
            setTrackingState(cam, answer);
            if (answer != -1)
                setCamOnline(cam, true);
            if (answer == -1 || answer == 2 || answer == 3) {
                if (++trackingCamera_ > 2) {
                    trackingCamera_ = 0;
                    trackingWait_ = kTrackingPauseMs / kTrackingTickMs;
                }
            }
        });
}

void Panel::stopAllPolls()
{
    presenceTimer_->stop();
    cameraInfoTimer_->stop();
    trackingTimer_->stop();
}

void Panel::restartPolls()
{
    if (tbarTimer_->isActive())
        return; // the T-bar restarts them when it comes to rest
    if (cameraInfoWanted_)
        cameraInfoTimer_->start();
    if (trackingWanted_) {
        trackingCamera_ = 0;
        trackingWait_ = kTrackingPauseMs / kTrackingTickMs;
        trackingTimer_->start();
    }
    startPresencePoll(-1, kPresencePauseMs);
}

bool Panel::pollRestartPending() const
{
    return pollRestartTimer_->isActive();
}

void Panel::onPtzMoving()
{
    stopAllPolls();
    pollRestartTimer_->start();
}

void Panel::onCamInfo(int camera, const QString &model)
{
    if (camera == camSel())
        setCameraName(model);
}

// ---------------------------------------------------------------- notices, pop-ups

void Panel::onMainboardBusy()
{
    setBusyNoticeText(tr("T-Bar transition in progress\n\nOther operations are unavailable until the transition "
                         "is completed."));
    setBusyNoticeVisible(true);
    busyTimer_->start();
}

void Panel::openFunction(int func)
{
    if (func < -1 || func > 4) {
        qCWarning(lcUi) << "[WARN] function pop-up out of range:" << func;
        return;
    }
    // One function pop-up at a time; leaving the camera or tracking page
    // ends its poll.
    if (func != 1)
        stopCameraInfoPoll();
    if (func != 0)
        stopTrackingPoll();
    setFuncSel(func);
    if (func == 1)
        startCameraInfoPoll();
    else if (func == 0)
        startTrackingPoll();
}

void Panel::onAppVersions(const QString &kb, const QString &mb)
{
    setOfferedAppVersion(kb);
    setOfferedMainboardVersion(mb);
    const bool newApp = !kb.isEmpty() && kb != appVersion();
    const bool newBoard = !mb.isEmpty() && mb != mainboardVersion();
    if (newApp || newBoard)
        setUpgradeVisible(true);
}

void Panel::onShutdownRequest()
{
    if (PowerCtl *p = powerCtl_)
        lines_->system().post([p](net &n) {
            p->clear();
            n.setPause();
        });
    setShutdownVisible(true);
}

void Panel::confirmShutdown()
{
    setShutdownVisible(false);
    if (PowerCtl *p = powerCtl_)
        lines_->system().post([p](net &) { p->shutdown(); });
}

void Panel::cancelShutdown()
{
    setShutdownVisible(false);
    lines_->system().post([](net &n) { n.setPauseState(0); });
}

// ---------------------------------------------------------------- hardware threads

void Panel::createPowerCtl()
{
    // Its constructor runs the GPIO and LED tools: on the system lane.
    lines_->system().post([hw = hardware_](net &) { return hw->power = new PowerCtl; }, this, [this](PowerCtl *p) {
        powerCtl_ = p;
        connect(p, &PowerCtl::sendShutDown, this, &Panel::onShutdownRequest);
        p->startThread();
    });
}

void Panel::createKeyscan()
{
    lines_->system().post([hw = hardware_](net &) { return hw->keys = new Keyscan; }, this, [this](Keyscan *k) {
        keyscan_ = k;
        connect(k, &Keyscan::sendKeyNo, this, &Panel::handleKey);
        k->start();
        lines_->system().post([k](net &) { k->setLedLight(40); });
    });
}

void Panel::startDiscovery()
{
    lines_->system().post(
        [](net &n) {
            return QStringList{n.getBroadcast(), n.getIPAddress(), n.getMac(), n.getNetmask(), n.getGateway(),
                               n.getDHCPMode() ? QStringLiteral("1") : QString()};
        },
        this,
        [this](const QStringList &v) {
            setIpAddress(v.at(1));
            setMacAddress(v.at(2));
            setNetmask(v.at(3));
            setGateway(v.at(4));
            setDhcpMode(!v.at(5).isEmpty());
            if (kivoServ_)
                return;
            kivoServ_ = new KivoServ(this);
            kivoServ_->setBroadcastIp(v.at(0));
            kivoServ_->setIp(v.at(1));
            kivoServ_->setMac(v.at(2));
            kivoServ_->setMask(v.at(3));
            kivoServ_->start();
        });
}

// ---------------------------------------------------------------- user memories

void Panel::restoreAudioLevels(int memory)
{
    if (!settings_ || memory < 0 || memory > 6)
        return;
    const QString suffix = memory == 0 ? QStringLiteral("_factory") : QStringLiteral("_%1").arg(memory);
    auto level = [&](const char *channel) {
        return settings_->intValue(QStringLiteral("user"), QLatin1String(channel) + suffix);
    };
    const int ch1 = level("audioCh1"), ch2 = level("audioCh2"), hdmi = level("audioHDMI"), rca = level("audioRCA");
    const int ear = level("audioHeadset"), master = level("audioMaster");
    settings_->setValue(kSystem, QStringLiteral("ch1Val"), ch1);
    settings_->setValue(kSystem, QStringLiteral("ch2Val"), ch2);
    settings_->setValue(kSystem, QStringLiteral("digitVal"), hdmi);
    settings_->setValue(kSystem, QStringLiteral("rcaVal"), rca);
    settings_->setValue(kSystem, QStringLiteral("earVal"), ear);
    settings_->setValue(kSystem, QStringLiteral("masterVal"), master);
    lines_->system().post([=](net &n) { n.setAudioValue(ch1, ch2, rca, hdmi, ear, master); });
}

void Panel::storeAudioLevels(int n)
{
    if (!settings_)
        return;
    const QString suffix = n == 0 ? QStringLiteral("_factory") : QStringLiteral("_%1").arg(n);
    const QString user = QStringLiteral("user");
    auto sys = [this](const char *k) { return settings_->intValue(kSystem, QLatin1String(k)); };
    settings_->setValue(user, QStringLiteral("audioCh1") + suffix, sys("ch1Val"));
    settings_->setValue(user, QStringLiteral("audioCh2") + suffix, sys("ch2Val"));
    settings_->setValue(user, QStringLiteral("audioHDMI") + suffix, sys("digitVal"));
    settings_->setValue(user, QStringLiteral("audioRCA") + suffix, sys("rcaVal"));
    settings_->setValue(user, QStringLiteral("audioHeadset") + suffix, sys("earVal"));
    settings_->setValue(user, QStringLiteral("audioMaster") + suffix, sys("masterVal"));
}

void Panel::saveUserMemory(int n)
{
    if (n < 0 || n > 6) {
        qCWarning(lcUi) << "[WARN] user memory out of range:" << n;
        return;
    }
    lines_->mainboard().post([n](commandExecObject &m) { return m.saveuserMem(static_cast<uint>(n)); }, this,
                             [this, n](bool ok) {
                                 if (ok)
                                     storeAudioLevels(n);
                                 else
                                     qCWarning(lcUi) << "[WARN] user memory" << n << "not saved";
                             });
}

void Panel::recallUserMemory(int n)
{
    if (n < 0 || n > 6) {
        qCWarning(lcUi) << "[WARN] user memory out of range:" << n;
        return;
    }
    setUserMemorySel(n);
    lines_->mainboard().post([n](commandExecObject &m) { m.userMem(static_cast<uint>(n)); });
    lines_->system().post([](net &net) { net.setPause(); });
    setLoadingVisible(true);
    startup_->startReread();
}

void Panel::factoryDefault()
{
    setLangType(0);
    lines_->mainboard().post([](commandExecObject &m) { return m.isConnected(); }, this, [this](bool connected) {
        setMainboardConnected(connected);
        if (!connected)
            return;
        lines_->mainboard().post([](commandExecObject &m) { m.loadFactoryDefault(); });
        lines_->system().post([](net &n) {
            n.setStaticIpMaskGateway(QStringLiteral("192.168.100.101"), QStringLiteral("255.255.255.0"),
                                     QStringLiteral("192.168.100.1"));
            n.setPause();
        });
        setUserMemorySel(0);
        setLoadingVisible(true);
        startup_->startReread();
        // The key pictures go, and no key stays selected.
        ImageKeys::of(this)->resetPictures();
        if (settings_)
            for (int i = 1; i <= 12; ++i) {
                const QString key = QStringLiteral("imageKey%1File").arg(i);
                settings_->setValue(kSystem, key, PanelSettings::defaultValue(kSystem, key));
            }
    });
}
