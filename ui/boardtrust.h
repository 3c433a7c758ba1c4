#pragma once

#include <QObject>

class DeviceLines;
class SeamTimer;
class SwitcherState;

// Whether what the pages show of the switcher is the board's own: the line
// is open, the board answers, the buses were read back since it last fell
// silent or a read after a recall failed (SwitcherState::stateConfirmed),
// and so were the settings records (borders, PiP, luma key and audio,
// outputs) and the auto rate, which the buses' read-back does not cover. A
// recall the panel could not read back changes those records too, so they
// are read again once the buses are confirmed, and retried every second
// while a record still has not come. Lives on the interface thread.
class BoardTrust : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool boardStateTrusted READ boardStateTrusted NOTIFY boardStateTrustedChanged)
public:
    // `lines` may be null (no devices): then only the state's flags count.
    BoardTrust(DeviceLines *lines, SwitcherState *state, QObject *parent = nullptr);

    bool boardStateTrusted() const { return trusted_; }

signals:
    void boardStateTrustedChanged();

private:
    enum Read { Borders = 1, Pip = 2, LumaAudio = 4, Outputs = 8, AutoRate = 16, AllRead = 31 };
    bool linkSound() const;
    void onLinkOrConfirmation();
    void recordRead(int read);
    void readBack();
    void update();

    DeviceLines *lines_;
    SwitcherState *state_;
    SeamTimer *retry_;
    int read_ = AllRead; // what has been read since the state was last in doubt
    bool readInFlight_ = false;
    bool trusted_ = false;
};
