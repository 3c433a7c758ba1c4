#include "ui/tallyoutsetup.h"

#include "netsvc/tslumd.h"
#include "platform/threadcheck.h"
#include "ui/networksettings.h"
#include "ui/panelsettings.h"

namespace {
const QString kGroup = QStringLiteral("tallyOut");
const char *const kLampKeys[] = {"programColour", "previewColour", "programTally", "previewTally"};

// Digits only, at most `maxDigits` of them; -1 when the text is not a number.
int number(const QString &text, int maxDigits)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > maxDigits)
        return -1;
    for (const QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
    return t.toInt();
}
} // namespace

TallyOutSetup::TallyOutSetup(Panel *panel, QObject *parent) : PageLogic(panel, parent)
{
    attachIfReady();
}

QStringList TallyOutSetup::protocolNames() const
{
    QStringList names;
    for (int p = 0; p < Tsl::kProtocolCount; ++p)
        names << QLatin1String(Tsl::protocolName(p));
    return names;
}

QStringList TallyOutSetup::sourceNames() const
{
    return {QStringLiteral("BLK"), QStringLiteral("IN1"), QStringLiteral("IN2"), QStringLiteral("IN3"),
            QStringLiteral("IN4"), QStringLiteral("BKG"), QStringLiteral("BAR")};
}

void TallyOutSetup::attach()
{
    // However it changes (here, or a restored backup), the switch follows.
    connect(panel()->switching(), &Switching::tallyOnAirSourcesChanged, this, &TallyOutSetup::changed);
}

bool TallyOutSetup::cameraOnAirSources() const
{
    return panel() && panel()->switching()->tallyOnAirSources();
}

void TallyOutSetup::setCameraOnAirSources(bool on)
{
    TAVRIK_ASSERT_OWNER(this);
    // The panel takes it up from the settings at once (Panel).
    if (PanelSettings *s = settings())
        s->setValue(QStringLiteral("system"), QStringLiteral("tallyOnAirSources"), on);
}

void TallyOutSetup::edited()
{
    error_.clear();
    ++revision_;
    emit changed();
}

void TallyOutSetup::load()
{
    TAVRIK_ASSERT_OWNER(this);
    const PanelSettings *s = settings();
    if (!s)
        return;
    enabled_ = s->boolValue(kGroup, QStringLiteral("enabled"));
    for (int d = 0; d < kDestinations; ++d) {
        dest_[d].address = s->stringValue(kGroup, QStringLiteral("dest%1Address").arg(d + 1));
        dest_[d].port = QString::number(s->intValue(kGroup, QStringLiteral("dest%1Port").arg(d + 1)));
        dest_[d].protocol = qBound(0, s->intValue(kGroup, QStringLiteral("dest%1Protocol").arg(d + 1)),
                                   Tsl::kProtocolCount - 1);
    }
    for (int src = 0; src < kSources; ++src) {
        const int index = s->intValue(kGroup, QStringLiteral("source%1Index").arg(src));
        index_[src] = index < 0 ? QString() : QString::number(index);
        label_[src] = s->stringValue(kGroup, QStringLiteral("source%1Label").arg(src));
    }
    for (int i = 0; i < 4; ++i)
        lamps_[i] = s->intValue(kGroup, QLatin1String(kLampKeys[i]));
    edited();
}

void TallyOutSetup::setEnabled(bool on)
{
    if (on != enabled_) {
        enabled_ = on;
        edited();
    }
}

void TallyOutSetup::setAddress(int d, const QString &text)
{
    if (valid(d, kDestinations) && dest_[d].address != text) {
        dest_[d].address = text.left(15);
        edited();
    }
}

void TallyOutSetup::setPort(int d, const QString &text)
{
    if (valid(d, kDestinations) && dest_[d].port != text) {
        dest_[d].port = text.left(5);
        edited();
    }
}

void TallyOutSetup::setProtocol(int d, int protocol)
{
    if (valid(d, kDestinations) && valid(protocol, Tsl::kProtocolCount) && dest_[d].protocol != protocol) {
        dest_[d].protocol = protocol;
        edited();
    }
}

void TallyOutSetup::setDisplayIndex(int s, const QString &text)
{
    if (valid(s, kSources) && index_[s] != text) {
        index_[s] = text.left(5);
        edited();
    }
}

void TallyOutSetup::setLabel(int s, const QString &text)
{
    if (valid(s, kSources) && label_[s] != text) {
        label_[s] = Tsl::displayText(text);
        edited();
    }
}

void TallyOutSetup::setLamp(int which, int value)
{
    const int max = which == ProgramColour || which == PreviewColour ? 3 : 4;
    if (valid(which, 4) && value >= 1 && value <= max && lamps_[which] != value) {
        lamps_[which] = value;
        edited();
    }
}

QString TallyOutSetup::validate() const
{
    bool anyDest = false, anyV31 = false;
    for (int d = 0; d < kDestinations; ++d) {
        if (dest_[d].address.trimmed().isEmpty())
            continue;
        anyDest = true;
        anyV31 = anyV31 || dest_[d].protocol == Tsl::V31Udp;
        quint32 ip = 0;
        // A host or a subnet's broadcast; not 0.x, multicast or reserved.
        // Loopback is allowed: a receiver on the panel itself is harmless.
        if (!NetworkSettings::parseAddress(dest_[d].address, &ip) || (ip >> 24) == 0 || (ip >> 24) >= 224)
            return tr("Destination %1: the address is not valid.").arg(d + 1);
        const int port = number(dest_[d].port, 5);
        if (port < 1 || port > 65535)
            return tr("Destination %1: the port must be 1 to 65535.").arg(d + 1);
    }
    if (enabled_ && !anyDest)
        return tr("Tally out needs at least one destination.");
    const QStringList names = sourceNames();
    for (int s = 0; s < kSources; ++s) {
        if (index_[s].trimmed().isEmpty())
            continue;
        const int index = number(index_[s], 5);
        if (index < 0 || index > Tsl::kMaxIndexV50)
            return tr("%1: the display index must be 0 to %2.").arg(names[s]).arg(Tsl::kMaxIndexV50);
        if (anyV31 && index > Tsl::kMaxAddressV31)
            return tr("%1: TSL 3.1 displays are 0 to %2.").arg(names[s]).arg(Tsl::kMaxAddressV31);
        for (int o = 0; o < s; ++o)
            if (number(index_[o], 5) == index)
                return tr("%1 and %2 have the same display index.").arg(names[o], names[s]);
    }
    if (lamps_[ProgramColour] == lamps_[PreviewColour] || lamps_[ProgramTally] == lamps_[PreviewTally])
        return tr("Program and preview need different lamps.");
    return QString();
}

bool TallyOutSetup::apply()
{
    TAVRIK_ASSERT_OWNER(this);
    const QString problem = validate();
    if (!problem.isEmpty()) {
        error_ = problem;
        emit changed();
        return false;
    }
    if (PanelSettings *s = settings()) {
        for (int d = 0; d < kDestinations; ++d) {
            const QString address = dest_[d].address.trimmed();
            s->setValue(kGroup, QStringLiteral("dest%1Address").arg(d + 1), address);
            if (!address.isEmpty()) {
                s->setValue(kGroup, QStringLiteral("dest%1Port").arg(d + 1), number(dest_[d].port, 5));
                s->setValue(kGroup, QStringLiteral("dest%1Protocol").arg(d + 1), dest_[d].protocol);
            }
        }
        for (int src = 0; src < kSources; ++src) {
            const int index = number(index_[src], 5);
            s->setValue(kGroup, QStringLiteral("source%1Index").arg(src), index);
            s->setValue(kGroup, QStringLiteral("source%1Label").arg(src), label_[src]);
        }
        for (int i = 0; i < 4; ++i)
            s->setValue(kGroup, QLatin1String(kLampKeys[i]), lamps_[i]);
        // Last, so the sender starts with everything else in place.
        s->setValue(kGroup, QStringLiteral("enabled"), enabled_);
    }
    error_.clear();
    emit changed();
    emit applied();
    return true;
}
