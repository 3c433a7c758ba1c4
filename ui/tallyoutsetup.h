#pragma once

#include "ui/pagelogic.h"
#include "ui/tallyout.h"

#include <QString>
#include <QStringList>

// The tally out page's logic: on or off, up to four destinations (address,
// port, protocol), a display index and a label per source, and the lamps
// program and preview light. Entries are a draft until apply(), which
// checks them all and stores them in the settings, where TallyOut takes
// them up. The camera lamps' rule is not part of the draft: it is one
// switch with nothing to check, stored and in effect the moment it is
// touched. Lives on the interface thread; every call comes from there.
class TallyOutSetup : public PageLogic
{
    Q_OBJECT
    Q_PROPERTY(bool enabled READ enabled WRITE setEnabled NOTIFY changed)
    // Bumped on every change, for bindings that call the getters below.
    Q_PROPERTY(int revision READ revision NOTIFY changed)
    // What is wrong with the entries, in the operator's language; empty when nothing is.
    Q_PROPERTY(QString error READ error NOTIFY changed)
    Q_PROPERTY(QStringList protocolNames READ protocolNames CONSTANT)
    Q_PROPERTY(QStringList sourceNames READ sourceNames CONSTANT)
    // The camera tally lamps also light for the PiP and key sources on
    // program, and for both sources of a mix (the setting
    // "tallyOnAirSources"; off: program and preview only).
    Q_PROPERTY(bool cameraOnAirSources READ cameraOnAirSources WRITE setCameraOnAirSources NOTIFY changed)
public:
    enum Lamp { ProgramColour, PreviewColour, ProgramTally, PreviewTally };
    Q_ENUM(Lamp)
    static constexpr int kDestinations = TallyOut::kDestinations;
    static constexpr int kSources = TallyOut::kSources;

    explicit TallyOutSetup(Panel *panel = nullptr, QObject *parent = nullptr);

    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    int revision() const { return revision_; }
    QString error() const { return error_; }
    QStringList protocolNames() const;
    QStringList sourceNames() const;
    bool cameraOnAirSources() const;
    void setCameraOnAirSources(bool on);

    // Reads the stored settings into the draft (page opened).
    Q_INVOKABLE void load();
    // Destination d (0..3): address ("" unused), port and protocol as typed.
    Q_INVOKABLE QString address(int d) const { return valid(d, kDestinations) ? dest_[d].address : QString(); }
    Q_INVOKABLE void setAddress(int d, const QString &text);
    Q_INVOKABLE QString port(int d) const { return valid(d, kDestinations) ? dest_[d].port : QString(); }
    Q_INVOKABLE void setPort(int d, const QString &text);
    Q_INVOKABLE int protocol(int d) const { return valid(d, kDestinations) ? dest_[d].protocol : 0; }
    Q_INVOKABLE void setProtocol(int d, int protocol);
    // Source s (0..6): its display index as typed ("" none) and label.
    Q_INVOKABLE QString displayIndex(int s) const { return valid(s, kSources) ? index_[s] : QString(); }
    Q_INVOKABLE void setDisplayIndex(int s, const QString &text);
    Q_INVOKABLE QString label(int s) const { return valid(s, kSources) ? label_[s] : QString(); }
    Q_INVOKABLE void setLabel(int s, const QString &text);
    // A 5.0 colour (1 red, 2 green, 3 amber) or a 3.1 tally (1..4).
    Q_INVOKABLE int lamp(int which) const { return valid(which, 4) ? lamps_[which] : 0; }
    Q_INVOKABLE void setLamp(int which, int value);

    // Checks and stores; false (with `error` set) when an entry is wrong,
    // and then nothing is stored.
    Q_INVOKABLE bool apply();
    // The check behind apply(); empty when the entries are sound.
    QString validate() const;

signals:
    void changed();
    void applied();

protected:
    void attach() override;

private:
    static bool valid(int i, int count) { return i >= 0 && i < count; }
    void edited();

    struct Dest
    {
        QString address, port;
        int protocol = 0;
    };
    bool enabled_ = false;
    Dest dest_[kDestinations];
    QString index_[kSources];
    QString label_[kSources];
    int lamps_[4] = {1, 2, 1, 2};
    QString error_;
    int revision_ = 0;
};
