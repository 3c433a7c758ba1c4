// The network half of net: reading the Ethernet settings from the system's
// tools and keeping the static setting as one marked block in the DHCP
// client daemon's configuration.
#include "netsvc/net.h"

#include "netsvc/kivoproto.h"
#include "netsvc/netconfig.h"
#include "netsvc/netsvclog.h"
#include "platform/atomicfile.h"
#include "platform/commandrunner.h"
#include "platform/sysroot.h"
#include "platform/threadcheck.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAddressEntry>
#include <QNetworkInterface>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>
#include <QThread>


namespace {

constexpr int kOutputTimeoutMs = 30000;
constexpr int kIpAttempts = 5;

const QString kDefaultIp = QStringLiteral("192.168.100.101");
const QString kDefaultMask = QStringLiteral("255.255.255.0");
const QString kDefaultGateway = QStringLiteral("192.168.100.1");
const QString kDefaultBroadcast = QStringLiteral("192.168.100.255");
const QString kDefaultDns1 = QStringLiteral("8.8.8.8");
const QString kDefaultDns2 = QStringLiteral("1.1.1.1");

const QRegularExpression &inetExpression()
{
    static const QRegularExpression re(QStringLiteral("inet (\\d+\\.\\d+\\.\\d+\\.\\d+)/(\\d+)"));
    return re;
}

// First line of a small file the shell commands leave behind; null when the
// file cannot be opened.
QString firstLine(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream ts(&f);
    return ts.readLine();
}

// Runs "ifconfig eth0 | <filter> > <file>" and reads the first line back:
// the older readers pass their values through a file under /home/pi.
QString ifconfigLine(const QString &filter, const QString &fileName)
{
    const QString file = Sysroot::path(QStringLiteral("/home/pi/") + fileName);
    CommandRunner::shell(Sysroot::path(QStringLiteral("/sbin/ifconfig")) + QStringLiteral(" eth0 | ") + filter
                             + QStringLiteral(" > ") + file,
                         kOutputTimeoutMs);
    return firstLine(file);
}

bool hasLineBreak(const QString &s)
{
    return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r'));
}

} // namespace

// ---------------------------------------------------------------------------
// readers

QString net::getOutput(const QString &cmd)
{
    TAVRIK_ASSERT_OWNER(this);
    QStringList parts = QProcess::splitCommand(cmd);
    if (parts.isEmpty())
        return QString();
    const QString program = parts.takeFirst();
    const CommandRunner::Result r = CommandRunner::run(program, parts, kOutputTimeoutMs);
    return QString::fromUtf8(r.out);
}

QString net::getIPAddress()
{
    TAVRIK_ASSERT_OWNER(this);
    for (int attempt = 0; attempt < kIpAttempts; ++attempt) {
        const QString out = getOutput(QStringLiteral("ip addr show ") + devIface);
        const QRegularExpressionMatch m = inetExpression().match(out);
        if (m.hasMatch()) {
            qCDebug(lcNetsvc).noquote() << QStringLiteral("IP : ") + m.captured(1);
            return m.captured(1);
        }
        // The address may still be on its way (DHCP); the wait also follows
        // the last attempt, as the interface's start-up timing expects.
        QThread::sleep(1);
    }
    qCWarning(lcNetsvc) << "[ERR] No IP found after retries";
    return kDefaultIp;
}

QString net::getNetmask()
{
    TAVRIK_ASSERT_OWNER(this);
    const QString out = getOutput(QStringLiteral("ip addr show ") + devIface);
    const QRegularExpressionMatch m = inetExpression().match(out);
    if (m.hasMatch()) {
        bool ok = false;
        const int prefix = m.captured(2).toInt(&ok);
        const QString mask = ok ? NetConfig::prefixToMask(prefix) : QString();
        if (!mask.isEmpty()) {
            qCDebug(lcNetsvc).noquote() << QStringLiteral("maskStr : ") + mask;
            return mask;
        }
    }
    qCWarning(lcNetsvc) << "[ERR] No mask found";
    return kDefaultMask;
}

QString net::getGateway()
{
    TAVRIK_ASSERT_OWNER(this);
    const CommandRunner::Result r = CommandRunner::shell(QStringLiteral("ip route | grep default"), kOutputTimeoutMs);
    const QString out = QString::fromUtf8(r.out);
    qCDebug(lcNetsvc).noquote() << "raw gateway output =" << out;
    static const QRegularExpression re(QStringLiteral("default via (\\d+\\.\\d+\\.\\d+\\.\\d+)"));
    const QRegularExpressionMatch m = re.match(out);
    if (m.hasMatch()) {
        qCDebug(lcNetsvc).noquote() << "found gateway:" << m.captured(1);
        return m.captured(1);
    }
    qCWarning(lcNetsvc) << "[ERR] No match gateway found";
    return kDefaultGateway;
}

QStringList net::getDnsServers()
{
    TAVRIK_ASSERT_OWNER(this);
    QStringList servers;
    QFile f(Sysroot::path(QStringLiteral("/etc/resolv.conf")));
    if (f.open(QIODevice::ReadOnly | QIODevice::Text))
        servers = NetConfig::nameservers(QString::fromUtf8(f.readAll()));
    if (servers.isEmpty()) {
        qCWarning(lcNetsvc) << "[ERR] No DNS found";
        servers = QStringList{kDefaultDns1, kDefaultDns2};
    } else if (servers.size() == 1) {
        servers << kDefaultDns2;
    }
    return servers;
}

QString net::getIp()
{
    TAVRIK_ASSERT_OWNER(this);
    const QString line = ifconfigLine(QStringLiteral("awk '/inet/{ print $2;} ' | head -1"), QStringLiteral("ip.txt"));
    qCDebug(lcNetsvc).noquote() << "line ip: " << line;
    qCDebug(lcNetsvc).noquote() << "get Ip: " << line;
    return line;
}

QString net::getMask()
{
    TAVRIK_ASSERT_OWNER(this);
    const QString line = ifconfigLine(QStringLiteral("awk '/netmask/{ print $4;} '"), QStringLiteral("mask.txt"));
    qCDebug(lcNetsvc).noquote() << "line mask: " << line;
    qCDebug(lcNetsvc).noquote() << "getMask: " << line;
    return line;
}

QString net::getBroadcast()
{
    TAVRIK_ASSERT_OWNER(this);
    const QString line = ifconfigLine(QStringLiteral("awk '/broadcast/{ print $5;} '"), QStringLiteral("broadcast.txt"));
    qCDebug(lcNetsvc).noquote() << "getBroadcast broadcast: " << line;
    const QStringList parts = line.split(QLatin1Char(':'));
    const QString result = parts.size() > 1 ? parts.at(1) : kDefaultBroadcast;
    qCDebug(lcNetsvc).noquote() << "getBroadcast: " << result;
    return result;
}

QString net::getMac()
{
    TAVRIK_ASSERT_OWNER(this);
    const QString mac = firstLine(Sysroot::path(QStringLiteral("/sys/class/net/eth0/address")));
    qCDebug(lcNetsvc).noquote() << "getMac : " << mac;
    qCDebug(lcNetsvc).noquote() << "getMac: " << mac;
    return mac;
}

QString net::getMaskAddr()
{
    TAVRIK_ASSERT_OWNER(this);
    const QString ip = getIp();
    QString mask;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &iface : interfaces) {
        const auto entries = iface.addressEntries();
        for (const QNetworkAddressEntry &e : entries) {
            if (e.ip().toString() == ip)
                mask = e.netmask().toString();
        }
    }
    qCDebug(lcNetsvc).noquote() << "getMaskAddr ---- " << mask;
    qCDebug(lcNetsvc).noquote() << "net.cpp ---- getMaskAddr: " << mask;
    return mask;
}

// ---------------------------------------------------------------------------
// the custom block

bool net::getDHCPMode()
{
    TAVRIK_ASSERT_OWNER(this);
    QFile f(Sysroot::path(dhcpdCfgPath));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qCWarning(lcNetsvc).noquote() << "Cannot open config for reading:" << f.errorString();
        return false;
    }
    const bool dhcp = !NetConfig::hasCustomBlock(QString::fromUtf8(f.readAll()));
    qCDebug(lcNetsvc).noquote() << QStringLiteral("DHCP mode : ") + (dhcp ? QStringLiteral("true") : QStringLiteral("false"));
    return dhcp;
}

int net::netmaskToCIDR(const QString &mask)
{
    return NetConfig::netmaskToCIDR(mask);
}

bool net::writeConfig(const QString &text)
{
    const QString path = Sysroot::path(dhcpdCfgPath);
    const QByteArray bytes = text.toUtf8();
    // On the unit /etc belongs to root: the content is staged where the
    // panel may write and moved into place with root's rights, as the boot
    // configuration is. Either way the file is replaced, never rewritten.
    const AtomicFile::Result r = QFileInfo(QFileInfo(path).absolutePath()).isWritable()
                                     ? AtomicFile::write(path, bytes)
                                     : AtomicFile::writeAsRoot(path, bytes, Sysroot::path(QStringLiteral("/home/pi/dhcpcd.conf")));
    if (!r)
        qCWarning(lcNetsvc).noquote() << "Cannot open config for writing:" << r.error;
    return r.ok;
}

bool net::removeStaticConfig()
{
    TAVRIK_ASSERT_OWNER(this);
    QFile f(Sysroot::path(dhcpdCfgPath));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qCWarning(lcNetsvc).noquote() << "Cannot open config for reading:" << f.errorString();
        return false;
    }
    const QString text = QString::fromUtf8(f.readAll());
    f.close();
    QString kept;
    for (const QString &line : NetConfig::withoutCustomBlock(text))
        kept += line + QLatin1Char('\n');
    return writeConfig(kept);
}

bool net::addStaticConfig(const QString &ip, const QString &mask, const QString &gateway,
                          const QString &priDns, const QString &secDns)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcNetsvc).noquote() << "ip: " << ip << " mask: " << mask << " gateway: " << gateway;
    qCDebug(lcNetsvc).noquote() << "priDns:" << priDns << "secDns:" << secDns;

    // Everything is checked before the file is touched: a refused setting
    // leaves the panel exactly as it was, block and all.
    for (const QString &v : {ip, mask, gateway, priDns, secDns}) {
        if (hasLineBreak(v)) {
            qCWarning(lcNetsvc) << "[ERR] Network setting with a line break refused";
            return false;
        }
    }
    const struct {
        const char *what;
        const QString &value;
    } addresses[] = {{"address", ip}, {"gateway", gateway}, {"DNS server", priDns}, {"DNS server", secDns}};
    for (const auto &a : addresses) {
        if (!Kivo::isDottedQuad(a.value)) {
            qCWarning(lcNetsvc).noquote() << QStringLiteral("[ERR] Invalid %1: \"%2\"").arg(QLatin1String(a.what), a.value);
            return false;
        }
    }
    const int prefix = netmaskToCIDR(mask);
    if (prefix < 0 || !Kivo::isDottedQuad(mask)) {
        qCWarning(lcNetsvc) << "[ERR] Invalid netmask\n";
        return false;
    }

    // Old block out and new block in, in one write.
    QString kept;
    QFile f(Sysroot::path(dhcpdCfgPath));
    if (f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        for (const QString &line : NetConfig::withoutCustomBlock(QString::fromUtf8(f.readAll())))
            kept += line + QLatin1Char('\n');
        f.close();
    } else if (f.exists()) {
        // Rewriting a file that cannot be read would lose its content.
        qCWarning(lcNetsvc).noquote() << "[ERR] Cannot open config for appending:" << f.errorString();
        return false;
    } else {
        qCWarning(lcNetsvc).noquote() << "Cannot open config for reading:" << f.errorString();
    }
    return writeConfig(kept + NetConfig::customBlock(ip, prefix, gateway, priDns, secDns));
}

QStringList net::dnsPair()
{
    QStringList dns = getDnsServers();
    const QString defaults[] = {kDefaultDns1, kDefaultDns2};
    // resolv.conf may list IPv6 or loopback resolvers the static block
    // cannot carry; an unusable entry must not make the whole setting fail.
    QStringList pair;
    for (int i = 0; i < 2; ++i) {
        const QString v = dns.value(i);
        if (Kivo::isDottedQuad(v)) {
            pair << v;
        } else {
            qCWarning(lcNetsvc).noquote() << QStringLiteral("[WARN] DNS server \"%1\" unusable, using %2").arg(v, defaults[i]);
            pair << defaults[i];
        }
    }
    return pair;
}

bool net::dhcpOn(bool onOff)
{
    TAVRIK_ASSERT_OWNER(this);
    Q_UNUSED(onOff)
    return removeStaticConfig();
}

bool net::setStaticIpMaskGateway(QString ip, QString mask, QString gateway)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcNetsvc).noquote() << QStringLiteral("setStaticIpMask ---- ip: ") + ip + QStringLiteral(" mask: ") + mask
                                       + QStringLiteral(" gateway: ") + gateway;
    const QStringList dns = dnsPair();
    return addStaticConfig(ip, mask, gateway, dns.at(0), dns.at(1));
}

void net::setStaticIpMask(QString ip, QString mask)
{
    TAVRIK_ASSERT_OWNER(this);
    const QString gateway = getGateway();
    const QStringList dns = dnsPair();
    addStaticConfig(ip, mask, gateway, dns.at(0), dns.at(1));
}

void net::staticIp(QString ip)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcNetsvc).noquote() << QStringLiteral("staticIp ---- ip: ") + ip;
    const QString gateway = getGateway();
    const QStringList dns = dnsPair();
    const QString mask = getNetmask();
    addStaticConfig(ip, mask, gateway, dns.at(0), dns.at(1));
}

void net::resetNetwork()
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcNetsvc) << " ---- resetNetwork:";
    addStaticConfig(QStringLiteral("192.168.100.104"), kDefaultMask, kDefaultGateway, kDefaultDns1, kDefaultDns2);
}

void net::restartNetwork()
{
    TAVRIK_ASSERT_OWNER(this);
    // The daemon picks the file up when it next starts; the interface does
    // not rely on an immediate change.
}
