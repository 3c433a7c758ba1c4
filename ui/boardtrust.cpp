#include "ui/boardtrust.h"

#include "platform/threadcheck.h"
#include "switcher/commandexecobject.h"
#include "ui/devicelines.h"
#include "ui/switcherstate.h"
#include "ui/timeseam.h"

#include <utility>

namespace {
// As often as the buses' read-back is retried.
constexpr int kRetryMs = 1000;
} // namespace

BoardTrust::BoardTrust(DeviceLines *lines, SwitcherState *state, QObject *parent)
    : QObject(parent), lines_(lines), state_(state), retry_(new SeamTimer(kRetryMs, false, this))
{
    connect(retry_, &SeamTimer::timeout, this, &BoardTrust::readBack);
    for (auto changed : {&SwitcherState::mainboardConnectedChanged, &SwitcherState::boardAnsweringChanged,
                         &SwitcherState::stateConfirmedChanged})
        connect(state_, changed, this, &BoardTrust::onLinkOrConfirmation);
    // Any report is the board's answer to a read made after the doubt began:
    // reports come in the order the lane read them, after the silence.
    connect(state_, &SwitcherState::bordersReported, this, [this] { recordRead(Borders); });
    connect(state_, &SwitcherState::pipReported, this, [this] { recordRead(Pip); });
    connect(state_, &SwitcherState::lumaAudioReported, this, [this] { recordRead(LumaAudio); });
    connect(state_, &SwitcherState::outputsReported, this, [this] { recordRead(Outputs); });
    update();
}

bool BoardTrust::linkSound() const
{
    return state_->mainboardConnected() && state_->boardAnswering() && state_->stateConfirmed();
}

void BoardTrust::onLinkOrConfirmation()
{
    TAVRIK_ASSERT_OWNER(this);
    // A line that was never open has nothing to be read again; a board that
    // fell silent, or a recall not read back, may hold anything now.
    if (!state_->boardAnswering() || !state_->stateConfirmed()) {
        read_ = 0;
        retry_->stop();
    } else if (linkSound()) {
        readBack();
    }
    update();
}

void BoardTrust::recordRead(int read)
{
    read_ |= read;
    update();
}

void BoardTrust::readBack()
{
    TAVRIK_ASSERT_OWNER(this);
    if (read_ == AllRead || readInFlight_ || !linkSound() || !lines_ || !lines_->mainboard().object())
        return;
    readInFlight_ = true;
    lines_->mainboard().post(
        [](commandExecObject &m) {
            // Reports each record it reads (see the constructor); the wipe
            // mode is the one of the status the buses' read-back just read.
            m.readUserMenuSetting3();
            return std::make_pair(m.readAutoRate(), m.getWipeMode());
        },
        this, [this](const std::pair<int, bool> &r) {
            readInFlight_ = false;
            // In doubt again meanwhile: read once the board is sound.
            if (!linkSound())
                return;
            // 0 is no answer: the board's rates are 1..200.
            if (r.first > 0) {
                state_->setTransSpeed(r.first);
                state_->setWipeSelected(r.second);
                read_ |= AutoRate;
            }
            update();
            if (read_ != AllRead)
                retry_->start();
        });
}

void BoardTrust::update()
{
    const bool trusted = linkSound() && read_ == AllRead;
    if (trusted == trusted_)
        return;
    trusted_ = trusted;
    emit boardStateTrustedChanged();
}
