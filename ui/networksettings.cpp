#include "ui/networksettings.h"

#include "netsvc/net.h"
#include "platform/threadcheck.h"
#include "ui/outcome.h"

#include <QStringList>

NetworkSettings::NetworkSettings(Panel *panel, QObject *parent) : PageLogic(panel, parent) { attachIfReady(); }

void NetworkSettings::edited()
{
    error_.clear();
    emit changed();
}

void NetworkSettings::setDhcp(bool on)
{
    TAVRIK_ASSERT_OWNER(this);
    if (on == dhcp_)
        return;
    dhcp_ = on;
    edited();
}

void NetworkSettings::setAddress(const QString &v)
{
    TAVRIK_ASSERT_OWNER(this);
    if (v == address_)
        return;
    address_ = v;
    edited();
}

void NetworkSettings::setMask(const QString &v)
{
    TAVRIK_ASSERT_OWNER(this);
    if (v == mask_)
        return;
    mask_ = v;
    edited();
}

void NetworkSettings::setGateway(const QString &v)
{
    TAVRIK_ASSERT_OWNER(this);
    if (v == gateway_)
        return;
    gateway_ = v;
    edited();
}

namespace {
struct Reading
{
    bool dhcp = false;
    QString address, mask, gateway;
};
} // namespace

void NetworkSettings::load()
{
    TAVRIK_ASSERT_OWNER(this);
    DeviceLines *l = lines();
    if (!l)
        return;
    // What start-up read, until the fresh reading arrives.
    dhcp_ = panel()->dhcpMode();
    address_ = panel()->ipAddress();
    mask_ = panel()->netmask();
    gateway_ = panel()->gateway();
    loading_ = true;
    emit changed();
    l->system().post(
        [](net &n) {
            Reading r;
            r.dhcp = n.getDHCPMode();
            r.address = n.getIPAddress();
            r.mask = n.getNetmask();
            r.gateway = n.getGateway();
            return r;
        },
        this, [this](const Reading &r) {
            loading_ = false;
            dhcp_ = r.dhcp;
            address_ = r.address;
            mask_ = r.mask;
            gateway_ = r.gateway;
            error_.clear();
            emit changed();
        });
}

bool NetworkSettings::parseAddress(const QString &text, quint32 *value)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    quint32 v = 0;
    for (const QString &part : parts) {
        // Digits only: no signs, spaces or hexadecimal that toUInt would take.
        if (part.isEmpty() || part.size() > 3)
            return false;
        for (QChar c : part)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
        const uint octet = part.toUInt();
        if (octet > 255)
            return false;
        v = (v << 8) | octet;
    }
    if (value)
        *value = v;
    return true;
}

QString NetworkSettings::validate() const
{
    TAVRIK_ASSERT_OWNER(this);
    quint32 ip = 0, mask = 0, gw = 0;
    const bool ipOk = parseAddress(address_, &ip);
    // A host address: not 0.x, loopback, multicast or reserved.
    const quint32 first = ip >> 24;
    if (!ipOk || first == 0 || first == 127 || first >= 224)
        return tr("The address is not valid.");
    // Contiguous ones from the top; /31 and /32 leave no room for a gateway.
    if (!parseAddress(mask_, &mask) || mask == 0 || (~mask & (~mask + 1)) != 0 || (~mask) < 3)
        return tr("The mask is not valid.");
    const quint32 host = ip & ~mask;
    if (host == 0 || host == ~mask)
        return tr("The address is not valid for this mask.");
    if (!parseAddress(gateway_, &gw) || (gw & ~mask) == 0 || (gw & ~mask) == ~mask)
        return tr("The gateway is not valid.");
    if ((gw & mask) != (ip & mask))
        return tr("The gateway is not in the same network as the address.");
    if (gw == ip)
        return tr("The gateway must differ from the address.");
    return QString();
}

bool NetworkSettings::apply()
{
    TAVRIK_ASSERT_OWNER(this);
    if (!dhcp_) {
        const QString problem = validate();
        if (!problem.isEmpty()) {
            error_ = problem;
            emit changed();
            return false;
        }
    }
    error_.clear();
    emit changed();
    DeviceLines *l = lines();
    if (!l)
        return true;
    const bool dhcp = dhcp_;
    const QString ip = address_.trimmed(), mask = mask_.trimmed(), gw = gateway_.trimmed();
    // The page stays open until the file holds the new setting: a full card
    // or a refused copy is shown here, with the old setting still in force.
    l->system().post(
        [dhcp, ip, mask, gw](net &n) {
            const bool written = dhcp ? n.dhcpOn(true) : n.setStaticIpMaskGateway(ip, mask, gw);
            n.restartNetwork();
            // The file write is the whole exchange: it holds the setting or it refused it.
            return Result<bool>{written ? Outcome::Done : Outcome::Refused, true, written};
        },
        this, [this, dhcp, ip, mask, gw](const Result<bool> &r) {
            applyOutcome_ = r.outcome;
            if (!r.done()) {
                error_ = tr("The settings could not be saved; the old settings are kept.");
                emit changed();
                return;
            }
            if (panel()) {
                panel()->setDhcpMode(dhcp);
                if (!dhcp) {
                    panel()->setIpAddress(ip);
                    panel()->setNetmask(mask);
                    panel()->setGateway(gw);
                }
            }
            emit changed();
            emit applied();
        });
    return true;
}
