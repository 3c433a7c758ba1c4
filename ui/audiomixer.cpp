#include "ui/audiomixer.h"

#include "netsvc/net.h"
#include "platform/threadcheck.h"
#include "ui/panelsettings.h"
#include "ui/timeseam.h"

namespace {
const char *const kPositionKeys[] = {"ch12Val", "ch22Val", "digit2Val", "rca2Val", "ear2Val", "master2Val"};
const char *const kStepKeys[] = {"ch1Val", "ch2Val", "digitVal", "rcaVal", "earVal", "masterVal"};
const char *const kOffsetKeys[] = {"ch1Offset", "ch2Offset", "digitalOffset", "rcaOffset"};
const QString kSystem = QStringLiteral("system");
} // namespace

AudioMixer::AudioMixer(Panel *panel, QObject *parent)
    : PageLogic(panel, parent), faderTimer_(new SeamTimer(50, false, this)), sendTimer_(new SeamTimer(10, false, this))
{
    connect(faderTimer_, &SeamTimer::timeout, this, &AudioMixer::faderTimeout);
    connect(sendTimer_, &SeamTimer::timeout, this, [this] {
        if (pendingStepChannel_ < 0)
            return;
        steps_[pendingStepChannel_] = pendingStep_;
        storeInt(kStepKeys[pendingStepChannel_], pendingStep_);
        pendingStepChannel_ = -1;
        sendSteps();
        // The fader's level text follows the step.
        ++revision_;
        emit changed();
    });
    attachIfReady();
}

int AudioMixer::loadInt(const char *key) const
{
    return settings() ? settings()->intValue(kSystem, QString::fromLatin1(key)) : 0;
}

void AudioMixer::storeInt(const char *key, int value)
{
    if (settings())
        settings()->setValue(kSystem, QString::fromLatin1(key), value);
}

void AudioMixer::attach()
{
    for (int ch = 0; ch < ChannelCount; ++ch) {
        positions_[ch] = qBound(0, loadInt(kPositionKeys[ch]), kMaxPosition);
        steps_[ch] = qBound(0, loadInt(kStepKeys[ch]), 127);
    }
    for (int ch = 0; ch < 4; ++ch)
        offsets_[ch] = qBound(-kMaxOffset, loadInt(kOffsetKeys[ch]), kMaxOffset);
    ++revision_;
    emit changed();
    sendSteps();
}

int AudioMixer::position(int channel) const
{
    TAVRIK_ASSERT_OWNER(this);
    return channel >= 0 && channel < ChannelCount ? positions_[channel] : 0;
}

int AudioMixer::offset(int channel) const
{
    TAVRIK_ASSERT_OWNER(this);
    return channel >= 0 && channel < 4 ? offsets_[channel] : 0;
}

int AudioMixer::step(int channel) const
{
    TAVRIK_ASSERT_OWNER(this);
    return channel >= 0 && channel < ChannelCount ? steps_[channel] : 0;
}

double AudioMixer::attenuationDb(int step)
{
    if (step >= 127)
        return -1000;
    if (step <= 0)
        return 0;
    if (step <= 96)
        return -0.5 * step;
    return -48.0 - (step - 96);
}

QString AudioMixer::levelText(int channel) const
{
    const double db = attenuationDb(step(channel));
    if (db <= -1000)
        return tr("MUTE");
    if (db == 0)
        return QStringLiteral("0 dB");
    return QStringLiteral("%1 dB").arg(db, 0, 'f', db == int(db) ? 0 : 1).replace(QLatin1Char('-'), QChar(0x2212));
}

int AudioMixer::stepFor(int n, int o)
{
    if (n < 0)
        n = 0;
    if (n > kMaxPosition)
        return 127;
    if (n <= 5) return 0;
    if (n <= 10) return n - 5;
    if (n <= 19) return 6;
    if (n <= 24) return n - 13;
    if (n <= 32) return 12;
    if (n <= 37) return n - 20;
    if (n <= 46) return 18 + o;
    if (n <= 49) return n - 26 + o;
    if (n <= 55) return 24 + o;
    if (n <= 58) return n - 31 + o;
    if (n <= 65) return 30 + o;
    if (n <= 72) return n - 35;
    if (n <= 78) return 38;
    if (n <= 82) return n - 40;
    if (n <= 94) return 48;
    if (n <= 98) return n - 45;
    if (n <= 112) return 80;
    if (n <= 116) return n - 30;
    if (n <= 120) return 96;
    if (n <= 122) return n - 24;
    return 127;
}

void AudioMixer::setFader(int channel, int position)
{
    TAVRIK_ASSERT_OWNER(this);
    if (channel < 0 || channel >= ChannelCount)
        return;
    // The input faders stay where calibration put them.
    if (calibration_ && channel < 4)
        return;
    positions_[channel] = qBound(0, position, kMaxPosition);
    storeInt(kPositionKeys[channel], positions_[channel]);
    ++revision_;
    emit changed();
    pendingChannel_ = channel;
    faderTimer_->start();
}

void AudioMixer::faderTimeout()
{
    TAVRIK_ASSERT_OWNER(this);
    const int ch = pendingChannel_;
    if (ch < 0)
        return;
    pendingChannel_ = -1;
    int n = positions_[ch];
    const int o = ch < 4 ? offsets_[ch] : 0;
    if (!calibration_)
        n += o;
    queueSend(ch, stepFor(n, o));
}

void AudioMixer::queueSend(int channel, int step)
{
    pendingStepChannel_ = channel;
    pendingStep_ = step;
    sendTimer_->start();
}

void AudioMixer::sendSteps()
{
    const int ch1 = steps_[Ch1], ch2 = steps_[Ch2], rca = steps_[Rca], digit = steps_[Digital],
              ear = steps_[Headset], master = steps_[Master];
    ++revision_;
    emit changed();
    onSystem([=](net &n) { n.setAudioValue(ch1, ch2, rca, digit, ear, master); });
}

void AudioMixer::setCalibration(bool on)
{
    TAVRIK_ASSERT_OWNER(this);
    if (on == calibration_)
        return;
    calibration_ = on;
    faderTimer_->stop();
    pendingChannel_ = -1;
    if (on) {
        // The faders go to the reference positions; of the steps only the
        // headset's and the master's change (to 0). The inputs keep sounding
        // at the level last sent until an offset step re-sends them, so
        // entering calibration never jumps an input's level.
        for (int ch = 0; ch < ChannelCount; ++ch) {
            positions_[ch] = ch < 4 ? 50 : 0;
            storeInt(kPositionKeys[ch], positions_[ch]);
        }
        for (int ch : {int(Headset), int(Master)}) {
            steps_[ch] = 0;
            storeInt(kStepKeys[ch], 0);
        }
        sendSteps();
    } else {
        // Offsets not saved are dropped.
        for (int ch = 0; ch < 4; ++ch)
            offsets_[ch] = qBound(-kMaxOffset, loadInt(kOffsetKeys[ch]), kMaxOffset);
        ++revision_;
        emit changed();
    }
}

void AudioMixer::adjustOffset(int channel, int delta)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!calibration_ || channel < 0 || channel >= 4)
        return;
    const int next = qBound(-kMaxOffset, offsets_[channel] + (delta < 0 ? -1 : 1), kMaxOffset);
    if (next == offsets_[channel])
        return;
    offsets_[channel] = next;
    ++revision_;
    emit changed();
    queueSend(channel, stepFor(positions_[channel], next));
}

void AudioMixer::saveCalibration()
{
    TAVRIK_ASSERT_OWNER(this);
    for (int ch = 0; ch < 4; ++ch)
        storeInt(kOffsetKeys[ch], offsets_[ch]);
}
