#include "ui/configbackup.h"

#include "netsvc/net.h"
#include "netsvc/tslumd.h"
#include "platform/atomicfile.h"
#include "platform/sysroot.h"
#include "platform/threadcheck.h"
#include "ui/networksettings.h"
#include "ui/panelsettings.h"
#include "ui/uilog.h"

#include <QDateTime>
#include <QFile>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include <cmath>

namespace {

const QString kInterface = QStringLiteral("interface");
const QString kNetwork = QStringLiteral("network");

bool isSecret(const QString &fullKey)
{
    return fullKey == QLatin1String("system/apiReadToken") || fullKey == QLatin1String("system/apiControlToken");
}

QString shown(const QVariant &v)
{
    if (v.userType() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("on") : QStringLiteral("off");
    return v.toString();
}

} // namespace

ConfigBackup::ConfigBackup(Panel *panel, QObject *parent) : PageLogic(panel, parent) { attachIfReady(); }

QString ConfigBackup::mediumPath() { return QStringLiteral("/mnt/tervana/tavrik-configuration.json"); }

QString ConfigBackup::checkSetting(const QString &fullKey, const QVariant &value)
{
    const QString group = fullKey.section(QLatin1Char('/'), 0, 0), key = fullKey.section(QLatin1Char('/'), 1);
    const QVariant def = PanelSettings::defaultValue(group, key);
    if (!def.isValid() || fullKey.count(QLatin1Char('/')) != 1)
        return tr("unknown setting %1").arg(fullKey.left(64));
    switch (def.userType()) {
    case QMetaType::Bool:
        if (value.userType() != QMetaType::Bool)
            return tr("%1 is not on or off").arg(fullKey);
        return QString();
    case QMetaType::Int: {
        // JSON numbers arrive as doubles: whole and in range, or refused.
        bool ok = false;
        const double d = value.toDouble(&ok);
        const PanelSettings::Range r = PanelSettings::range(group, key);
        if (value.userType() == QMetaType::Bool || value.userType() == QMetaType::QString || !ok
            || !std::isfinite(d) || d != std::floor(d) || d < r.lo || d > r.hi)
            return tr("%1 is not a whole number from %2 to %3").arg(fullKey).arg(r.lo).arg(r.hi);
        return QString();
    }
    default: {
        if (value.userType() != QMetaType::QString)
            return tr("%1 is not a text").arg(fullKey);
        const QString s = value.toString();
        if (fullKey.startsWith(QLatin1String("tallyOut/dest")) && fullKey.endsWith(QLatin1String("Address"))) {
            QHostAddress a;
            if (!s.isEmpty() && (!a.setAddress(s) || a.protocol() != QAbstractSocket::IPv4Protocol))
                return tr("%1 is not an address").arg(fullKey);
            return QString();
        }
        if (fullKey.startsWith(QLatin1String("tallyOut/source")) && fullKey.endsWith(QLatin1String("Label"))) {
            for (const QChar c : s)
                if (!c.isPrint())
                    return tr("%1 is not a label").arg(fullKey);
            if (s.size() > Tsl::kLabelChars)
                return tr("%1 is not a label").arg(fullKey);
            return QString();
        }
        // The other texts are picture files of the image keys.
        if (s.size() > kMaxStringChars || s.contains(QLatin1String("..")) || s.contains(QChar(0))
            || !(s.startsWith(QLatin1Char('/')) || s.startsWith(QLatin1String("file:///"))))
            return tr("%1 is not a picture file of the unit").arg(fullKey);
        return QString();
    }
    }
}

QByteArray ConfigBackup::serialize(const Contents &c, const QString &panelVersion)
{
    QJsonObject sections = c.otherSections;
    sections.insert(kInterface, QJsonObject::fromVariantMap(c.interface));
    if (c.network.present) {
        sections.insert(kNetwork, QJsonObject{{QStringLiteral("dhcp"), c.network.dhcp},
                                              {QStringLiteral("address"), c.network.address},
                                              {QStringLiteral("mask"), c.network.mask},
                                              {QStringLiteral("gateway"), c.network.gateway}});
    }
    const QJsonObject root{{QStringLiteral("format"), formatName()},
                           {QStringLiteral("version"), kVersion},
                           {QStringLiteral("written"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate)},
                           {QStringLiteral("panelVersion"), panelVersion},
                           {QStringLiteral("sections"), sections}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

ConfigBackup::Parsed ConfigBackup::parse(const QByteArray &bytes)
{
    Parsed p;
    const auto refuse = [&p](const QString &why) {
        p.error = why;
        p.contents = Contents();
        return p;
    };
    if (bytes.isEmpty() || bytes.size() > kMaxFileBytes)
        return refuse(tr("The file is empty or too large."));
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject())
        return refuse(tr("The file is damaged."));
    const QJsonObject root = doc.object();
    if (root.value(QStringLiteral("format")).toString() != formatName())
        return refuse(tr("The file is not a configuration of this panel."));
    const QJsonValue version = root.value(QStringLiteral("version"));
    if (!version.isDouble() || version.toDouble() != kVersion)
        return refuse(version.isDouble() && version.toDouble() > kVersion
                          ? tr("The file was written by a newer panel.")
                          : tr("The file's version is not known."));
    const QJsonValue sectionsValue = root.value(QStringLiteral("sections"));
    if (!sectionsValue.isObject())
        return refuse(tr("The file is damaged."));
    const QJsonObject sections = sectionsValue.toObject();

    for (auto it = sections.begin(); it != sections.end(); ++it) {
        if (it.key() != kInterface && it.key() != kNetwork)
            p.contents.otherSections.insert(it.key(), it.value());
    }
    if (sections.contains(kInterface)) {
        if (!sections.value(kInterface).isObject())
            return refuse(tr("The file is damaged."));
        const QJsonObject iface = sections.value(kInterface).toObject();
        for (auto it = iface.begin(); it != iface.end(); ++it) {
            // A backup never carries the API's tokens, and a file that does
            // cannot set them: a restored unit keeps its own.
            if (isSecret(it.key()))
                continue;
            const QVariant v = it.value().toVariant();
            const QString problem = checkSetting(it.key(), v);
            if (!problem.isEmpty())
                return refuse(problem);
            const QVariant def = PanelSettings::defaultValue(it.key().section(QLatin1Char('/'), 0, 0),
                                                             it.key().section(QLatin1Char('/'), 1));
            QVariant typed = v;
            typed.convert(def.userType());
            p.contents.interface.insert(it.key(), typed);
        }
        const QVariant lo = p.contents.interface.value(QStringLiteral("system/loBound"));
        const QVariant hi = p.contents.interface.value(QStringLiteral("system/hiBound"));
        if (lo.isValid() && hi.isValid() && hi.toInt() - lo.toInt() < 40)
            return refuse(tr("The T-bar's ends in the file are too close together."));
    }
    if (sections.contains(kNetwork)) {
        const QJsonValue nv = sections.value(kNetwork);
        if (!nv.isObject())
            return refuse(tr("The file is damaged."));
        const QJsonObject n = nv.toObject();
        Network &net = p.contents.network;
        net.present = true;
        if (!n.value(QStringLiteral("dhcp")).isBool())
            return refuse(tr("The network part of the file is damaged."));
        net.dhcp = n.value(QStringLiteral("dhcp")).toBool();
        for (auto [field, name] : {std::pair{&net.address, "address"}, std::pair{&net.mask, "mask"},
                                   std::pair{&net.gateway, "gateway"}}) {
            const QJsonValue v = n.value(QLatin1String(name));
            quint32 value = 0;
            // Under DHCP the addresses are only what the unit last had, if anything.
            const bool blankUnderDhcp = net.dhcp && v.isString() && v.toString().isEmpty();
            if (!v.isString() || v.toString().size() > 15
                || (!blankUnderDhcp && !NetworkSettings::parseAddress(v.toString(), &value)))
                return refuse(tr("The network part of the file is damaged."));
            *field = v.toString();
        }
    }
    p.ok = true;
    return p;
}

QStringList ConfigBackup::diff(const QVariantMap &current, const QVariantMap &restored)
{
    QStringList out;
    for (auto it = restored.begin(); it != restored.end(); ++it) {
        const QVariant now = current.value(it.key());
        if (now != it.value())
            out << QStringLiteral("%1: %2 → %3").arg(it.key(), shown(now), shown(it.value()));
    }
    return out;
}

QStringList ConfigBackup::diff(const Network &current, const Network &restored)
{
    QStringList out;
    if (!restored.present)
        return out;
    if (current.dhcp != restored.dhcp)
        out << tr("Address from DHCP: %1 → %2").arg(shown(current.dhcp), shown(restored.dhcp));
    if (!restored.dhcp) {
        if (current.address != restored.address)
            out << tr("Address: %1 → %2").arg(current.address, restored.address);
        if (current.mask != restored.mask)
            out << tr("Mask: %1 → %2").arg(current.mask, restored.mask);
        if (current.gateway != restored.gateway)
            out << tr("Gateway: %1 → %2").arg(current.gateway, restored.gateway);
    }
    return out;
}

ConfigBackup::Contents ConfigBackup::current() const
{
    Contents c;
    if (PanelSettings *s = settings()) {
        for (const QString &key : PanelSettings::knownKeys())
            if (!isSecret(key))
                c.interface.insert(key, s->value(key.section(QLatin1Char('/'), 0, 0), key.section(QLatin1Char('/'), 1)));
    }
    if (Panel *p = panel()) {
        c.network.dhcp = p->dhcpMode();
        c.network.address = p->ipAddress();
        c.network.mask = p->netmask();
        c.network.gateway = p->gateway();
        // Before the panel has read its network there is none to carry.
        quint32 unused = 0;
        c.network.present = c.network.dhcp || NetworkSettings::parseAddress(c.network.address, &unused);
    }
    return c;
}

void ConfigBackup::finish(const QString &message)
{
    busy_ = false;
    message_ = message;
    emit changed();
}

void ConfigBackup::backup()
{
    TAVRIK_ASSERT_OWNER(this);
    if (busy_ || !lines())
        return;
    busy_ = true;
    emit changed();
    const QByteArray data = serialize(current(), panel() ? panel()->appVersion() : QString());
    lines()->system().post(
        [data](net &) {
            const AtomicFile::Result r = AtomicFile::write(Sysroot::path(mediumPath()), data);
            return r.ok ? QString() : r.error;
        },
        this, [this](const QString &error) {
            qCInfo(lcUi) << "configuration backup" << (error.isEmpty() ? QStringLiteral("written") : error);
            finish(error.isEmpty() ? tr("The configuration was written to the update medium.")
                                   : tr("The configuration could not be written: %1").arg(error));
        });
}

void ConfigBackup::prepareRestore()
{
    TAVRIK_ASSERT_OWNER(this);
    if (busy_ || !lines())
        return;
    busy_ = true;
    restorePending_ = false;
    emit changed();
    lines()->system().post(
        [](net &) {
            QFile f(Sysroot::path(mediumPath()));
            if (!f.open(QIODevice::ReadOnly))
                return Parsed{false, tr("No configuration file on the update medium."), {}};
            // One byte more than allowed tells a file that is too large.
            return parse(f.read(kMaxFileBytes + 1));
        },
        this, [this](const Parsed &p) {
            if (!p.ok) {
                qCWarning(lcUi) << "configuration restore refused:" << p.error;
                finish(p.error);
                return;
            }
            const Contents now = current();
            pending_ = p.contents;
            changes_ = diff(now.interface, p.contents.interface);
            networkChanges_ = diff(now.network, p.contents.network);
            restorePending_ = true;
            finish(changes_.isEmpty() && networkChanges_.isEmpty() ? tr("The file holds the settings the unit has.")
                                                                   : tr("The file is sound. These settings will change:"));
        });
}

void ConfigBackup::applyRestore(bool network)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!restorePending_)
        return;
    restorePending_ = false;
    if (PanelSettings *s = settings()) {
        // setValue gathers the changes into one atomic write of the file.
        for (auto it = pending_.interface.begin(); it != pending_.interface.end(); ++it)
            s->setValue(it.key().section(QLatin1Char('/'), 0, 0), it.key().section(QLatin1Char('/'), 1), it.value());
    }
    qCInfo(lcUi) << "configuration restored:" << changes_.size() << "interface settings,"
                 << (network ? networkChanges_.size() : 0) << "network settings";
    if (network && !networkChanges_.isEmpty() && panel()) {
        auto *ns = new NetworkSettings(panel(), this);
        ns->setDhcp(pending_.network.dhcp);
        ns->setAddress(pending_.network.address);
        ns->setMask(pending_.network.mask);
        ns->setGateway(pending_.network.gateway);
        connect(ns, &NetworkSettings::applied, ns, &QObject::deleteLater);
        if (!ns->apply()) {
            const QString why = ns->error();
            ns->deleteLater();
            finish(tr("The network settings were not applied: %1").arg(why));
            return;
        }
    }
    finish(tr("Restored. Some settings take effect at the next start."));
}

void ConfigBackup::cancelRestore()
{
    TAVRIK_ASSERT_OWNER(this);
    restorePending_ = false;
    pending_ = Contents();
    changes_.clear();
    networkChanges_.clear();
    finish(QString());
}
