#include "ui/tallyout.h"

#include "platform/threadcheck.h"
#include "ui/panelsettings.h"
#include "ui/switcherstate.h"
#include "ui/timeseam.h"
#include "ui/uilog.h"

#include <QDebug>

namespace {
const QString kGroup = QStringLiteral("tallyOut");

// The stored value when it lies in the setting's range; `otherwise` when a
// file edited by hand put it outside.
int checked(const PanelSettings &s, const QString &key, int otherwise)
{
    const int v = s.intValue(kGroup, key);
    const PanelSettings::Range r = PanelSettings::range(kGroup, key);
    return v >= r.lo && v <= r.hi ? v : otherwise;
}

// The stored value brought into the setting's range.
int bounded(const PanelSettings &s, const QString &key)
{
    const PanelSettings::Range r = PanelSettings::range(kGroup, key);
    return qBound(r.lo, s.intValue(kGroup, key), r.hi);
}
} // namespace

TallyOut::TallyOut(SwitcherState *state, PanelSettings *settings, QObject *parent)
    : QObject(parent), state_(state), settings_(settings), repeat_(new SeamTimer(kRepeatMs, true, this))
{
    connect(repeat_, &SeamTimer::timeout, this, &TallyOut::sendNow);
    connect(state_, &SwitcherState::busesConfirmed, this, &TallyOut::onConfirmed);
    // A page applies several keys at once: one reload for all of them.
    connect(settings_, &PanelSettings::valueChanged, this, [this](const QString &group) {
        if (group != kGroup || reloadQueued_)
            return;
        reloadQueued_ = true;
        QMetaObject::invokeMethod(this, &TallyOut::reload, Qt::QueuedConnection);
    });
    reload();
}

TallyOut::~TallyOut()
{
    delete sender_;
}

TallyOut::Config TallyOut::readConfig(const PanelSettings &s)
{
    Config c;
    c.enabled = s.boolValue(kGroup, QStringLiteral("enabled"));
    for (int n = 1; n <= kDestinations; ++n) {
        const QString address = s.stringValue(kGroup, QStringLiteral("dest%1Address").arg(n)).trimmed();
        const int port = checked(s, QStringLiteral("dest%1Port").arg(n), -1);
        const int protocol = checked(s, QStringLiteral("dest%1Protocol").arg(n), -1);
        TslSender::Destination d;
        // The page checks what it stores; a file edited by hand is checked here too.
        if (address.isEmpty() || !d.address.setAddress(address) || d.address.protocol() != QAbstractSocket::IPv4Protocol
            || port < 0 || protocol < 0)
            continue;
        d.port = quint16(port);
        d.protocol = protocol;
        c.destinations << d;
    }
    for (int src = 0; src < kSources; ++src) {
        c.index[src] = bounded(s, QStringLiteral("source%1Index").arg(src));
        c.label[src] = s.stringValue(kGroup, QStringLiteral("source%1Label").arg(src));
    }
    c.lamps.programColour = bounded(s, QStringLiteral("programColour"));
    c.lamps.previewColour = bounded(s, QStringLiteral("previewColour"));
    c.lamps.programTally = bounded(s, QStringLiteral("programTally")) - 1; // 3.1 tally bits are 0..3
    c.lamps.previewTally = bounded(s, QStringLiteral("previewTally")) - 1;
    return c;
}

TallyOut::OnAir TallyOut::onAir(const SwitcherState &s)
{
    OnAir a;
    a.program = s.programNo();
    a.preview = s.previewNo();
    a.pipPgm = s.pipPgmFlag();
    a.pipPvw = s.pipPvwFlag();
    a.keyPgm = s.lumaPgmFlag();
    a.keyPvw = s.lumaPvwFlag();
    a.pipSource = s.pipSource();
    a.keyFillSource = s.keyFillSource();
    return a;
}

QVector<Tsl::Display> TallyOut::displays(const Config &c, const OnAir &a)
{
    QVector<Tsl::Display> out;
    for (int src = 0; src < kSources; ++src) {
        if (c.index[src] < 0)
            continue;
        Tsl::Display d;
        d.index = c.index[src];
        d.text = c.label[src];
        d.program = src == a.program || (a.pipPgm && src == a.pipSource) || (a.keyPgm && src == a.keyFillSource);
        d.preview = src == a.preview || (a.pipPvw && src == a.pipSource) || (a.keyPvw && src == a.keyFillSource);
        out << d;
    }
    return out;
}

void TallyOut::reload()
{
    TAVRIK_ASSERT_OWNER(this);
    reloadQueued_ = false;
    config_ = readConfig(*settings_);
    const bool on = config_.enabled && !config_.destinations.isEmpty();
    if (!on) {
        if (sender_)
            qCInfo(lcUi) << "tally out off";
        delete sender_;
        sender_ = nullptr;
        repeat_->stop();
        return;
    }
    if (!sender_) {
        sender_ = new TslSender;
        qCInfo(lcUi) << "tally out on:" << config_.destinations.size() << "destinations";
    }
    sender_->setDestinations(config_.destinations);
    repeat_->start();
    sendNow();
}

void TallyOut::onConfirmed()
{
    TAVRIK_ASSERT_OWNER(this);
    air_ = onAir(*state_);
    confirmed_ = true;
    if (!sender_)
        return;
    sendNow();
    // The next repeat a whole period after this change.
    repeat_->start();
}

void TallyOut::sendNow()
{
    if (sender_ && confirmed_)
        sender_->send(displays(config_, air_), config_.lamps);
}
