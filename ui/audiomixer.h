#pragma once

#include "ui/pagelogic.h"

class SeamTimer;

// The audio pop-up's six faders (channel 1, channel 2, digital, RCA,
// headset, master): each position becomes an attenuation step for the level
// chips, and all six steps go together to net::setAudioValue. Also the
// calibration mode with the input channels' offsets. Lives on the interface
// thread.
class AudioMixer : public PageLogic
{
    Q_OBJECT
    Q_PROPERTY(int revision READ revision NOTIFY changed)
    Q_PROPERTY(bool calibration READ calibration WRITE setCalibration NOTIFY changed)
public:
    enum Channel { Ch1, Ch2, Digital, Rca, Headset, Master, ChannelCount };
    Q_ENUM(Channel)
    static constexpr int kMaxPosition = 126;
    static constexpr int kMaxOffset = 6;

    explicit AudioMixer(Panel *panel = nullptr, QObject *parent = nullptr);

    int revision() const { return revision_; }
    bool calibration() const { return calibration_; }
    void setCalibration(bool on);

    Q_INVOKABLE int position(int channel) const;
    Q_INVOKABLE int offset(int channel) const;
    Q_INVOKABLE int step(int channel) const;

    // A fader moved (0 is the loudest position).
    Q_INVOKABLE void setFader(int channel, int position);
    // Calibration: one offset step, and Save.
    Q_INVOKABLE void adjustOffset(int channel, int delta);
    Q_INVOKABLE void saveCalibration();

    // The level-chip step for fader position n with the channel's offset o.
    static int stepFor(int n, int o);
    // What a step attenuates, in dB (0 or less), as the level chips take
    // it: 0.5 dB a step to -48 dB (step 96), then 1 dB a step to -78 dB;
    // step 127 mutes (returned as -1000).
    static double attenuationDb(int step);
    // The channel's level as the fader shows it: "-12.5 dB", "MUTE".
    Q_INVOKABLE QString levelText(int channel) const;

    // The 50 ms single-shot, public so tests can fire it.
    void faderTimeout();

signals:
    void changed();

protected:
    void attach() override;

private:
    void queueSend(int channel, int step);
    void sendSteps();
    int loadInt(const char *key) const;
    void storeInt(const char *key, int value);

    int positions_[ChannelCount] = {};
    int steps_[ChannelCount] = {};
    int offsets_[4] = {};
    bool calibration_ = false;
    int revision_ = 0;
    SeamTimer *faderTimer_;
    SeamTimer *sendTimer_;
    int pendingChannel_ = -1;
    int pendingStepChannel_ = -1;
    int pendingStep_ = 0;
};
