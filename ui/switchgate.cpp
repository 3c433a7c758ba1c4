#include "ui/switchgate.h"

#include "platform/threadcheck.h"
#include "ui/timeseam.h"

SwitchGate::SwitchGate(DeviceLane<commandExecObject> &lane, QObject *parent)
    : QObject(parent), lane_(lane), probeTimer_(new SeamTimer(kProbeMs, true, this))
{
    connect(probeTimer_, &SeamTimer::timeout, this, &SwitchGate::probe);
}

int SwitchGate::expiryMs() const
{
    TAVRIK_ASSERT_OWNER(this);
    return TimeSeam::scaled(kExpiryMs);
}

bool SwitchGate::askBoard(commandExecObject &m)
{
    // Any byte back ends the silence, whatever the read makes of it.
    return m.pingBoard(kAskMs);
}

void SwitchGate::postTbar(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    auto shared = shared_;
    if (shared->tbarWanted.exchange(value) != -1)
        return; // the queued write takes it
    lane_.post(
        [shared](commandExecObject &m) {
            const int v = shared->tbarWanted.exchange(-1);
            if (v >= 0)
                m.writeTbar(static_cast<uint>(v));
            const bool silent = m.mainboardSilent();
            shared->silent.store(silent);
            return silent;
        },
        this, [this](bool silent) { noteSilence(silent); });
}

void SwitchGate::noteSilence(bool silent)
{
    if (silent == wasSilent_)
        return;
    wasSilent_ = silent;
    if (silent) {
        qCWarning(lcUi) << "[WARN] mainboard silent: a press goes out only when the board answers a short read first";
        probeTimer_->start();
        return;
    }
    probeTimer_->stop();
    qCWarning(lcUi) << "[WARN] mainboard answers again";
    emit answeringAgain();
}

void SwitchGate::boardFoundSilent()
{
    TAVRIK_ASSERT_OWNER(this);
    shared_->silent.store(true);
    noteSilence(true);
}

void SwitchGate::probe()
{
    // Only on an idle lane: the probe must never be what a press waits for.
    if (probing_ || lane_.pending() > 0)
        return;
    probing_ = true;
    auto shared = shared_;
    lane_.post(
        [shared](commandExecObject &m) {
            const bool silent = !askBoard(m);
            shared->silent.store(silent);
            return silent;
        },
        this,
        [this](bool silent) {
            probing_ = false;
            noteSilence(silent);
        });
}
