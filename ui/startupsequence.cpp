#include "ui/startupsequence.h"

#include "camera/vekcameraobject.h"
#include "netsvc/net.h"
#include "surface/tbar.h"
#include "switcher/commandexecobject.h"
#include "ui/devicelines.h"
#include "ui/panel.h"
#include "ui/outcome.h"
#include "ui/panelsettings.h"
#include "ui/switcherstate.h"
#include "platform/threadcheck.h"
#include "ui/timeseam.h"
#include "ui/uilog.h"

#include <QDebug>

#include <type_traits>
#include <utility>

namespace {
const QString kSystem = QStringLiteral("system");

int sysInt(Panel *p, const char *key)
{
    return p->settings() ? p->settings()->intValue(kSystem, QLatin1String(key))
                         : PanelSettings::defaultValue(kSystem, QLatin1String(key)).toInt();
}

bool isSource(int n) { return n >= 0 && n <= 6; }

// A mainboard step of the system initialisation: it runs only while the
// line is connected, checked on the lane right before the step (LineClosed
// otherwise), and `done` gets its value back on the interface thread.
template <typename Step, typename Done>
void mainboardStep(Panel *p, Step step, Done done)
{
    using R = std::invoke_result_t<Step &, commandExecObject &>;
    p->lines()->mainboard().post(
        [step](commandExecObject &m) mutable {
            Result<R> r;
            r.outcome = Outcome::ofConnection(m.isConnected());
            if (r.done()) {
                r.sent = true;
                r.value = step(m);
            }
            return r;
        },
        p,
        [p, done](const Result<R> &r) mutable {
            p->setMainboardConnected(r.outcome != Outcome::LineClosed);
            if (r.done())
                done(r.value);
        });
}

// A step that needs only the connection (no mainboard call of its own).
template <typename Done>
void whenConnected(Panel *p, Done done)
{
    mainboardStep(p, [](commandExecObject &) { return 0; }, [done](int) mutable { done(); });
}

template <typename Step, typename Done>
void read(Panel *p, Step step, Done done)
{
    p->lines()->mainboard().post(step, p, done);
}

void openCameraLine(vekCameraObject &v, int line, const char *device)
{
    v.initSerial(line, QLatin1String(device), 38400, 8, 0, 1, 0);
}
} // namespace

StartupSequence::StartupSequence(Panel *panel)
    : QObject(panel)
    , p_(panel)
    , splash_(new SeamTimer(1000, true, this))
    , serial_(new SeamTimer(500, true, this))
    , system_(new SeamTimer(200, true, this))
    , reread_(new SeamTimer(200, true, this))
{
    connect(splash_, &SeamTimer::timeout, this, &StartupSequence::splashTick);
    connect(serial_, &SeamTimer::timeout, this, &StartupSequence::serialTick);
    connect(system_, &SeamTimer::timeout, this, &StartupSequence::systemTick);
    connect(reread_, &SeamTimer::timeout, this, &StartupSequence::rereadTick);
}

void StartupSequence::start()
{
    TAVRIK_ASSERT_OWNER(this);
    splashTick_ = serialTick_ = systemTick_ = 0;
    logoDone_ = false;
    p_->surface()->createPowerCtl();
    const int speedNum = sysInt(p_, "speedNum");
    p_->lines()->system().post([speedNum](net &n) { n.createSpeedNum(speedNum); });
    p_->setSpeedValue(speedNum == 0 ? 8 : speedNum == 1 ? 16 : 24);

    p_->setSplashVisible(true);
    splash_->start();
    p_->lines()->system().post([](net &n) { n.setDisplay(); });
    serial_->start();
    system_->start();
}

void StartupSequence::splashTick()
{
    const int tick = splashTick_++;
    if (tick == 0) {
        p_->setLaunchLogoVisible(true);
    } else if (tick == 5) {
        p_->setLaunchLogoVisible(false);
        if (Tbar *t = p_->tbar()) {
            t->setUpperBound(sysInt(p_, "hiBound"));
            t->setLowerBound(sysInt(p_, "loBound"));
            t->setjoystickMidValue(sysInt(p_, "joysticMidValue"));
        }
        p_->surface()->createKeyscan();
        logoDone_ = true;
        hideSplashWhenDone();
    } else if (tick == 50) {
        p_->lines()->camera().post([](vekCameraObject &v) {
            openCameraLine(v, 3, "ttyAMA1");
            v.atTrackInquire(1);
            v.clearUartTxRx(3);
        });
        // Writing back a program that was never read would cut the program
        // output to black after a restart on air (the failure value of the
        // read is black): only a program the mainboard reported goes back.
        if (!programRead_) {
            qCWarning(lcUi) << "[WARN] program not read at start-up: program output left as it is";
            return;
        }
        // One call on the lane: nothing slips in between the mission bracket.
        const int program = p_->programNo();
        p_->lines()->mainboard().post([program](commandExecObject &m) {
            m.openMission(true);
            m.pgm(program);
            m.openMission(false);
        });
    } else if (tick >= 60) {
        splash_->stop();
        p_->switching()->tallyPair(p_->previewNo(), p_->programNo());
    }
}

void StartupSequence::serialTick()
{
    const int tick = serialTick_++;
    if (tick == 0)
        p_->lines()->camera().post([](vekCameraObject &v) { openCameraLine(v, 0, "ttyAMA0"); });
    else if (tick == 1)
        p_->lines()->camera().post([](vekCameraObject &v) { openCameraLine(v, 3, "ttyAMA1"); });
    else if (tick == 2)
        p_->lines()->camera().post([](vekCameraObject &v) { openCameraLine(v, 2, "ttyUSB0"); });
    if (tick >= 8) {
        serial_->stop();
        // Marked once the openings queued before have run.
        p_->lines()->camera().post([](vekCameraObject &) {}, p_, [p = p_] { p->setSerialInitDone(true); });
    }
}

void StartupSequence::systemTick()
{
    Panel *p = p_;
    SwitcherState *s = p->switcher();
    switch (systemTick_++) {
    case 3:
        whenConnected(p, [p] { p->polls()->startPresencePoll(-1, 4000); });
        break;
    case 4:
        mainboardStep(p, [](commandExecObject &m) { return int(m.readPgmOutRes()); },
                      [s](int v) { s->setPgmOutResolution(v); });
        break;
    case 5:
        mainboardStep(p, [](commandExecObject &m) { return int(m.readPgmOutputFormat()); },
                      [s](int v) { s->setOutputFormat(v); });
        break;
    case 6:
        mainboardStep(p, [](commandExecObject &m) { m.getStartPage(); return 0; }, [](int) {});
        break;
    case 7:
        mainboardStep(p, [](commandExecObject &m) { m.refreshStatus2(); return 0; }, [](int) {});
        break;
    case 8:
        mainboardStep(p, [](commandExecObject &m) { m.readUserMenuSetting3(); return 0; }, [](int) {});
        break;
    case 11:
        mainboardStep(p, [](commandExecObject &m) { return std::make_pair(m.readAutoRate(), m.getWipeBkgColor()); },
                      [s](std::pair<int, int> v) {
                          s->setTransSpeed(v.first);
                          s->setBkgColor(v.second);
                      });
        break;
    case 12:
        mainboardStep(p, [](commandExecObject &m) { return m.readVersion(); },
                      [s](const QString &v) { s->setMainboardVersion(v); });
        break;
    case 13: {
        const int ch1 = sysInt(p, "ch1Val"), ch2 = sysInt(p, "ch2Val"), rca = sysInt(p, "rcaVal");
        const int digit = sysInt(p, "digitVal"), ear = sysInt(p, "earVal"), master = sysInt(p, "masterVal");
        whenConnected(p, [=] {
            p->lines()->system().post([=](net &n) { n.setAudioValue(ch1, ch2, rca, digit, ear, master); });
        });
        break;
    }
    case 14:
        mainboardStep(p, [](commandExecObject &m) { return m.readPreset(); }, [p, s](int v) {
            if (!isSource(v))
                return;
            s->setPreviewNo(v);
            p->switching()->tallyPair(v, 0);
        });
        break;
    case 15:
        mainboardStep(p, [](commandExecObject &m) {
            bool ok = false;
            const int v = m.readProgram(ok);
            return ok ? v : -1;
        }, [this, p, s](int v) {
            if (!isSource(v))
                return;
            programRead_ = true;
            s->setProgramNo(v);
            p->switching()->tallyPair(0, v);
        });
        break;
    case 16:
        mainboardStep(p, [](commandExecObject &m) { return m.keyPgmState(); }, [s](bool v) { s->setLumaPgmFlag(v); });
        break;
    case 17:
        mainboardStep(p, [](commandExecObject &m) { return m.keyPvmState(); }, [s](bool v) { s->setLumaPvwFlag(v); });
        break;
    case 18:
        mainboardStep(p, [](commandExecObject &m) { return m.pipPvmState(); }, [s](bool v) { s->setPipPvwFlag(v); });
        break;
    case 19:
        // The last of the bus reads: the buses now hold the board's own state.
        mainboardStep(p, [](commandExecObject &m) { return m.pipPgmState(); }, [s](bool v) {
            s->setPipPgmFlag(v);
            s->confirmBuses();
        });
        break;
    case 20:
        whenConnected(p, [p] { p->startDiscovery(); });
        finishSystemInit();
        break;
    default:
        break;
    }
}

void StartupSequence::finishSystemInit()
{
    system_->stop();
    p_->setSystemEnabled(true);
    p_->lines()->system().post([](net &n) { n.startCheckpin(); });
    PanelSettings *settings = p_->settings();
    if (settings && settings->boolValue(kSystem, QStringLiteral("firstEntry"))) {
        // The first start keeps its mark until all six memories are really
        // saved: a board that was not there is asked again next start.
        p_->lines()->mainboard().post(
            [](commandExecObject &m) {
                int saved = 0;
                for (uint n = 1; n <= 6; ++n)
                    saved += m.saveuserMem(n) ? 1 : 0;
                return saved;
            },
            p_,
            [p = p_, settings](int saved) {
                if (saved != 6) {
                    qCWarning(lcUi) << "[WARN] first start: only" << saved << "of 6 user memories saved";
                    return;
                }
                for (int n = 1; n <= 6; ++n)
                    p->storeAudioLevels(n);
                settings->setValue(kSystem, QStringLiteral("firstEntry"), false);
            });
    }
    p_->lines()->system().post([](net &n) { n.checkNewApp(); });
    const int output = sysInt(p_, "pgmOutResForSetup");
    p_->lines()->system().post([output](net &n) { n.startPgm(output); });
    hideSplashWhenDone();
    emit finished();
}

void StartupSequence::hideSplashWhenDone()
{
    if (logoDone_ && p_->systemEnabled())
        p_->setSplashVisible(false);
}

void StartupSequence::startReread()
{
    TAVRIK_ASSERT_OWNER(this);
    rereadTick_ = 0;
    reread_->start();
}

void StartupSequence::readLampPair(int program, int preview,
                                   void (SwitcherState::*setProgram)(bool),
                                   void (SwitcherState::*setPreview)(bool), bool lastRead)
{
    struct Lamps
    {
        bool ok = false;
        bool program = false, preview = false;
    };
    Panel *p = p_;
    SwitcherState *s = p->switcher();
    read(p, [program, preview](commandExecObject &m) {
        Lamps l;
        bool okProgram = false, okPreview = false;
        l.program = m.lampLit(static_cast<PushButtonLamp>(program), okProgram);
        l.preview = m.lampLit(static_cast<PushButtonLamp>(preview), okPreview);
        l.ok = okProgram && okPreview;
        return l;
    }, [p, s, setProgram, setPreview, lastRead](const Lamps &l) {
        if (!l.ok) {
            p->switching()->readBackFailed();
            return;
        }
        (s->*setProgram)(l.program);
        (s->*setPreview)(l.preview);
        // The last of the re-read's bus and lamp reads: tally out may follow.
        if (lastRead)
            s->confirmBuses();
    });
}

void StartupSequence::rereadTick()
{
    Panel *p = p_;
    SwitcherState *s = p->switcher();
    switch (rereadTick_++) {
    case 0:
        read(p, [](commandExecObject &m) { return m.getWipeMode(); }, [s](bool v) { s->setWipeSelected(v); });
        break;
    case 1:
        read(p, [](commandExecObject &m) { return int(m.readPgmOutRes()); }, [s](int v) { s->setPgmOutResolution(v); });
        break;
    // A read that fails keeps what is shown (never black, never a lamp
    // turned off for it), marked unconfirmed until the board is read back.
    case 2:
        read(p, [](commandExecObject &m) {
            bool ok = false;
            const int v = m.readPreset(ok);
            return ok ? v : -1;
        }, [p, s](int v) {
            if (isSource(v))
                s->setPreviewNo(v);
            else
                p->switching()->readBackFailed();
        });
        break;
    case 3:
        read(p, [](commandExecObject &m) {
            bool ok = false;
            const int v = m.readProgram(ok);
            return ok ? v : -1;
        }, [p, s](int v) {
            if (!isSource(v)) {
                p->switching()->readBackFailed();
                return;
            }
            s->setProgramNo(v);
            p->switching()->updateTally(false);
        });
        break;
    case 4:
        p->lines()->mainboard().post([](commandExecObject &m) { m.refreshStatus2(); });
        break;
    case 5:
        p->lines()->mainboard().post([](commandExecObject &m) { m.getStartPage(); });
        break;
    case 6:
        read(p, [](commandExecObject &m) { return m.readAutoRate(); }, [s](int v) { s->setTransSpeed(v); });
        break;
    case 7:
        read(p, [](commandExecObject &m) { return m.getWipeBkgColor(); }, [s](int v) { s->setBkgColor(v); });
        break;
    case 8:
        readLampPair(pipProgram, pipPreview, &SwitcherState::setPipPgmFlag, &SwitcherState::setPipPvwFlag);
        break;
    case 9:
        readLampPair(keyProgram, keyPreview, &SwitcherState::setLumaPgmFlag, &SwitcherState::setLumaPvwFlag,
                     true);
        break;
    case 10:
        p->lines()->mainboard().post([](commandExecObject &m) { m.readUserMenuSetting3(); });
        break;
    case 11:
        read(p, [](commandExecObject &m) { return m.readPgmMute() == 1; }, [s](bool v) { s->setAudioMute(v ? 1 : 0); });
        break;
    case 12:
        p->restoreAudioLevels(p->userMemorySel());
        break;
    case 13:
        read(p, [](commandExecObject &m) { return int(m.readPgmOutputFormat()); }, [s](int v) { s->setOutputFormat(v); });
        break;
    case 15:
        reread_->stop();
        // Hidden once the reads queued before have been answered.
        p->lines()->mainboard().post([](commandExecObject &) {}, p, [p] { p->setLoadingVisible(false); });
        break;
    default:
        break;
    }
}
