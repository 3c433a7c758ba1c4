#pragma once

#include "netsvc/tslsender.h"
#include "netsvc/tslumd.h"

#include <QObject>
#include <QString>
#include <QVector>

class PanelSettings;
class SeamTimer;
class SwitcherState;

// Tally out: the switcher's tally as TSL UMD to the receivers the operator
// listed (group "tallyOut" of the settings). Off until switched on: then,
// and only then, a sender and its thread exist. What goes out is the state
// the board confirmed when it was read back (after a transition, a press,
// a silence, at start-up), never a press the board may not have taken: at
// once on every confirmation, and again every kRepeatMs so a receiver that
// restarts catches up.
//
// Lives on the interface thread; every call comes from there. The packets
// are built and sent on the sender's thread.
class TallyOut : public QObject
{
    Q_OBJECT
public:
    static constexpr int kSources = 7; // black, inputs 1..4, background, colour bar
    static constexpr int kDestinations = TslSender::kMaxDestinations;
    static constexpr int kRepeatMs = 2000;

    struct Config
    {
        bool enabled = false;
        QVector<TslSender::Destination> destinations;
        int index[kSources] = {-1, 1, 2, 3, 4, -1, -1}; // -1: no display
        QString label[kSources];
        Tsl::Lamps lamps;
    };
    // The buses as the board confirmed them.
    struct OnAir
    {
        int program = -1, preview = -1;
        bool pipPgm = false, pipPvw = false, keyPgm = false, keyPvw = false;
        int pipSource = -1, keyFillSource = -1;
    };

    TallyOut(SwitcherState *state, PanelSettings *settings, QObject *parent = nullptr);
    ~TallyOut() override;

    static Config readConfig(const PanelSettings &settings);
    static OnAir onAir(const SwitcherState &state);
    // One display per source that has an index: on program when it is the
    // program source or the PiP or key fill shown on program; the same for
    // preview.
    static QVector<Tsl::Display> displays(const Config &config, const OnAir &air);

    bool active() const { return sender_ != nullptr; }
    // Packets handed to the network (benchmarks, tests).
    quint64 packetsSent() const { return sender_ ? sender_->packetsSent() : 0; }

private:
    void reload();
    void onConfirmed();
    void sendNow();

    SwitcherState *state_;
    PanelSettings *settings_;
    SeamTimer *repeat_;
    Config config_;
    OnAir air_;
    bool confirmed_ = false; // nothing goes out before the board's state is known
    bool reloadQueued_ = false;
    TslSender *sender_ = nullptr;
};
