// Network half of net: the custom block in a temporary /etc/dhcpcd.conf, and
// the readers against canned output and the real tools in a namespace.
#include "netsvc/net.h"
#include "netsvc/netconfig.h"
#include "tests/common/testsysroot.h"

#include <QtTest>

#include <QDir>
#include <QElapsedTimer>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kConf = QStringLiteral("/etc/dhcpcd.conf");

QByteArray block(const QString &ip, int prefix, const QString &gw, const QString &d1, const QString &d2)
{
    return NetConfig::customBlock(ip, prefix, gw, d1, d2).toUtf8();
}

qint64 inodeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? qint64(st.st_ino) : -1;
}

// What "ip addr show eth0" prints on the panel.
const QByteArray kIpAddrShow =
    "2: eth0: <BROADCAST,MULTICAST,UP,LOWER_UP> mtu 1500 qdisc mq state UP group default qlen 1000\n"
    "    link/ether b8:27:eb:01:02:03 brd ff:ff:ff:ff:ff:ff\n"
    "    inet 10.1.2.3/16 brd 10.1.255.255 scope global dynamic noprefixroute eth0\n"
    "       valid_lft 85000sec preferred_lft 74200sec\n"
    "    inet6 fe80::ba27:ebff:fe01:203/64 scope link \n"
    "default via 10.1.0.1 dev eth0 proto dhcp src 10.1.2.3 metric 202\n";

// The head of the file the panel's system ships.
const QByteArray kRaspiosHeader = "hostname\nclientid\npersistent\noption rapid_commit\n"
                                  "option domain_name_servers, domain_name, domain_search, host_name\n"
                                  "option classless_static_routes\noption interface_mtu\n"
                                  "require dhcp_server_identifier\nslaac private\n";

// The real tool, whatever stand-ins PATH holds; empty if missing.
QString realTool(const QString &name)
{
    return QStandardPaths::findExecutable(name, {"/usr/sbin", "/sbin", "/usr/bin", "/bin"});
}

} // namespace

class TstNetSettings : public QObject
{
    Q_OBJECT
private slots:
    // Mend: everything is checked before the file is touched (a bad netmask
    // no longer removes the block first). One field per row is unusable.
    void refusedSettingsLeaveFileAsItWas_data()
    {
        QTest::addColumn<QStringList>("settings"); // address, netmask, gateway, DNS
        const auto row = [](const char *name, const char *field, const QString &value) {
            QStringList s{"10.0.0.2", "255.0.0.0", "10.0.0.1", "8.8.8.8"};
            s[QStringList{"ip", "mask", "gateway", "dns"}.indexOf(field)] = value;
            QTest::newRow(name) << s;
        };
        row("mask of three parts", "mask", "255.255.255");
        row("mask not numeric", "mask", "255.x.255.0");
        row("ip of three parts", "ip", "10.0.2");
        row("ip out of range", "ip", "10.0.0.256");
        row("ip with line break", "ip", "10.0.0.2\nstatic routers=6.6.6.6");
        row("mask with carriage return", "mask", "255.0.0.0\r");
        row("gateway empty", "gateway", "");
        row("gateway a name", "gateway", "router");
        row("dns with a space", "dns", "8.8.8.8 6.6.6.6");
    }
    void refusedSettingsLeaveFileAsItWas()
    {
        QFETCH(QStringList, settings);
        TestSysroot root;
        const QByteArray before = "hostname\n" + block("10.9.9.9", 24, "10.9.9.1", "1.1.1.1", "8.8.8.8") + "tail\n";
        root.writeFile(kConf, before);
        const qint64 inode = inodeOf(root.path(kConf));
        net n;
        QVERIFY(!n.addStaticConfig(settings[0], settings[1], settings[2], settings[3], "1.1.1.1"));
        QCOMPARE(root.readFile(kConf), before);
        QCOMPARE(inodeOf(root.path(kConf)), inode);
    }

    // Mend: each write replaces the file by a rename, keeps its permissions,
    // leaves nothing beside it and one block however often it runs.
    void writeIsReplaceByRename()
    {
        TestSysroot root;
        root.writeFile(kConf, "a\n  # BEGIN CUSTOM\ninterface eth0\nstatic ip_address=1.2.3.4/8\n# END CUSTOM  \nb\n");
        const QFileDevice::Permissions perms = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                               | QFileDevice::WriteGroup | QFileDevice::ReadOther;
        QVERIFY(QFile::setPermissions(root.path(kConf), perms));
        net n;
        for (const char *ip : {"10.0.0.2", "10.0.0.3"}) {
            const qint64 inode = inodeOf(root.path(kConf));
            QVERIFY(n.addStaticConfig(ip, "255.255.255.128", "10.0.0.1", "8.8.4.4", "9.9.9.9"));
            QVERIFY(inodeOf(root.path(kConf)) != inode);
            QCOMPARE(QDir(root.path("/etc")).entryList(QDir::Files), QStringList{"dhcpcd.conf"});
            QCOMPARE(QFile::permissions(root.path(kConf)) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser), perms);
        }
        QCOMPARE(root.readFile(kConf), "a\nb\n" + block("10.0.0.3", 25, "10.0.0.1", "8.8.4.4", "9.9.9.9"));
        const qint64 inode = inodeOf(root.path(kConf));
        QVERIFY(n.removeStaticConfig());
        QVERIFY(inodeOf(root.path(kConf)) != inode);
        QCOMPARE(root.readFile(kConf), QByteArray("a\nb\n"));
        QCOMPARE(QDir(root.path("/etc")).entryList(QDir::Files), QStringList{"dhcpcd.conf"});
    }

    // Starting from no files at all.
    void fromNothingDhcpOnAndReset()
    {
        TestSysroot root;
        net n;
        QCOMPARE(n.getMac(), QString());
        root.writeFile("/sys/class/net/eth0/address", "b8:27:eb:01:02:03\n");
        QCOMPARE(n.getMac(), QStringLiteral("b8:27:eb:01:02:03"));
        QVERIFY(!n.getDHCPMode());
        QVERIFY(!n.removeStaticConfig());
        QVERIFY(n.addStaticConfig("10.0.0.2", "255.0.0.0", "10.0.0.1", "8.8.8.8", "1.1.1.1"));
        QCOMPARE(root.readFile(kConf), block("10.0.0.2", 8, "10.0.0.1", "8.8.8.8", "1.1.1.1"));
        root.writeFile(kConf, "a\n" + block("10.0.0.2", 8, "10.0.0.1", "8.8.8.8", "1.1.1.1") + "b\n");
        n.dhcpOn(true);
        QCOMPARE(root.readFile(kConf), QByteArray("a\nb\n"));
        QVERIFY(n.getDHCPMode());
        n.resetNetwork();
        QCOMPARE(root.readFile(kConf), "a\nb\n" + block("192.168.100.104", 24, "192.168.100.1", "8.8.8.8", "1.1.1.1"));
        n.restartNetwork(); // changes nothing by itself
        QVERIFY(root.allCalls().isEmpty());
    }

    // staticIp and setStaticIpMask keep the rest of what the readers report.
    void staticIpKeepsReadSettings()
    {
        TestSysroot root;
        root.addStandIn("ip", kIpAddrShow);
        root.writeFile(kConf, "hostname\n");
        root.writeFile("/etc/resolv.conf", "nameserver 10.0.0.53\nnameserver 10.0.0.54\nnameserver 10.0.0.55\n");
        net n;
        n.staticIp("10.1.2.99");
        QCOMPARE(root.readFile(kConf), "hostname\n" + block("10.1.2.99", 16, "10.1.0.1", "10.0.0.53", "10.0.0.54"));
        n.setStaticIpMask("10.1.2.98", "255.255.255.0");
        QCOMPARE(root.readFile(kConf), "hostname\n" + block("10.1.2.98", 24, "10.1.0.1", "10.0.0.53", "10.0.0.54"));
    }

    // The block takes the first two usable resolvers, with stand-ins for missing ones.
    void staticBlockWritten_data()
    {
        QTest::addColumn<QByteArray>("resolv"); // null: no file
        QTest::addColumn<QString>("dns1");
        QTest::addColumn<QString>("dns2");
        QTest::newRow("one server") << QByteArray("nameserver 10.0.0.53\n") << "10.0.0.53" << "1.1.1.1";
        QTest::newRow("no file") << QByteArray() << "8.8.8.8" << "1.1.1.1";
        QTest::newRow("none") << QByteArray("search lan\n") << "8.8.8.8" << "1.1.1.1";
        QTest::newRow("ipv6 first") << QByteArray("nameserver fe80::1%eth0\nnameserver 10.0.0.53\n") << "8.8.8.8" << "10.0.0.53";
        QTest::newRow("two spaces") << QByteArray("nameserver  10.0.0.53\n") << "8.8.8.8" << "1.1.1.1";
    }
    void staticBlockWritten()
    {
        QFETCH(QByteArray, resolv);
        QFETCH(QString, dns1);
        QFETCH(QString, dns2);
        TestSysroot root;
        if (!resolv.isNull())
            root.writeFile("/etc/resolv.conf", resolv);
        root.writeFile(kConf, "hostname\nclientid\n");
        net n;
        QVERIFY(n.getDHCPMode());
        n.setStaticIpMaskGateway("192.168.100.104", "255.255.255.0", "192.168.100.1");
        QCOMPARE(root.readFile(kConf), "hostname\nclientid\n" + block("192.168.100.104", 24, "192.168.100.1", dns1, dns2));
        QVERIFY(!n.getDHCPMode());
    }

    // What the readers make of the ip tool's output. Without an address the
    // first one asks five times, about a second apart, then all give defaults.
    void ipReaders_data()
    {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QStringList>("read"); // address, netmask, gateway
        const auto inet = [](const char *prefix) { return "    inet 10.1.2.3/" + QByteArray(prefix) + " scope global eth0\n"; };
        QTest::newRow("panel") << kIpAddrShow << QStringList{"10.1.2.3", "255.255.0.0", "10.1.0.1"};
        QTest::newRow("/32") << inet("32") << QStringList{"10.1.2.3", "255.255.255.255", "192.168.100.1"};
        QTest::newRow("/0") << inet("0") << QStringList{"10.1.2.3", "0.0.0.0", "192.168.100.1"};
        QTest::newRow("/20") << inet("20") << QStringList{"10.1.2.3", "255.255.240.0", "192.168.100.1"};
        QTest::newRow("prefix out of range") << inet("99") << QStringList{"10.1.2.3", "255.255.255.0", "192.168.100.1"};
        QTest::newRow("interface down") << QByteArray("2: eth0: <NO-CARRIER,BROADCAST,MULTICAST,UP> mtu 1500 state DOWN\n"
                                                      "10.1.0.0/16 dev eth0 proto kernel scope link src 10.1.2.3\n")
                                        << QStringList{"192.168.100.101", "255.255.255.0", "192.168.100.1"};
    }
    void ipReaders()
    {
        QFETCH(QByteArray, output);
        QFETCH(QStringList, read);
        TestSysroot root;
        root.addStandIn("ip", output);
        net n;
        QElapsedTimer t;
        t.start();
        QCOMPARE(n.getIPAddress(), read[0]);
        const int tries = read[0] == QLatin1String("192.168.100.101") ? 5 : 1;
        QVERIFY(tries == 1 || t.elapsed() >= 4500);
        QCOMPARE(n.getNetmask(), read[1]);
        QCOMPARE(n.getGateway(), read[2]);
        QCOMPARE(root.calls("ip").size(), tries + 2);
        QCOMPARE(root.calls("ip").mid(tries - 1), (QStringList{"addr show eth0", "addr show eth0", "route"}));
    }

    // Today's ifconfig output: from the real tool in realToolsInNamespace.
    void olderReaders_data()
    {
        QTest::addColumn<QByteArray>("ifconfig");
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("broadcast");
        QTest::newRow("colon field")
            << QByteArray("        inet 10.1.2.3  netmask 255.255.0.0  bcast:10.1.255.255 broadcast\n")
            << "10.1.2.3" << "255.255.0.0" << "10.1.255.255";
        QTest::newRow("interface without address") << QByteArray("eth0: flags=4099<UP,BROADCAST,MULTICAST>  mtu 1500\n")
                                                   << "" << "" << "192.168.100.255";
    }
    void olderReaders()
    {
        QFETCH(QByteArray, ifconfig);
        QFETCH(QString, ip);
        QFETCH(QString, mask);
        QFETCH(QString, broadcast);
        TestSysroot root;
        root.addStandIn("ifconfig", ifconfig);
        QDir().mkpath(root.path("/sbin"));
        QVERIFY(QFile::link(root.binDir() + "/ifconfig", root.path("/sbin/ifconfig")));
        net n;
        QCOMPARE(n.getIp(), ip);
        QCOMPARE(n.getMask(), mask);
        QCOMPARE(n.getBroadcast(), broadcast);
        QCOMPARE(root.calls("ifconfig"), (QStringList{"eth0", "eth0", "eth0"}));
        QCOMPARE(root.readFile("/home/pi/ip.txt").trimmed(), ip.toUtf8());
    }

    // The readers against the real ip and ifconfig, and the written block
    // against the real DHCP client daemon, in a child of this test in new
    // network and mount namespaces that vanish with it, whatever happens.
    // eth0 there (a veth whose peer is up) holds 10.77.3.9/20, via 10.77.0.1.
    void realToolsInNamespace()
    {
        if (!qEnvironmentVariableIsSet("TVK_IN_NETNS")) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("TVK_IN_NETNS"), QStringLiteral("1"));
            env.insert(QStringLiteral("PATH"), "/usr/sbin:/sbin:" + env.value(QStringLiteral("PATH")));
            child.setProcessEnvironment(env);
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start(QStringLiteral("unshare"),
                        {"--net", "--mount", "sh", "-ec",
                         "ip link set lo up; ip link add eth0 type veth peer name veth0; ip link set veth0 up;"
                         "ip link set eth0 up; ip addr add 10.77.3.9/20 dev eth0; ip route add default via 10.77.0.1;"
                         "exec \"$0\" \"$1\"",
                         QCoreApplication::applicationFilePath(), QTest::currentTestFunction()});
            const bool ended = child.waitForFinished(50000);
            const QString out = QString::fromLocal8Bit(child.readAll());
            if (!out.contains(QLatin1String("Start testing")))
                QSKIP(qPrintable("no private network namespace with a veth pair: "
                                 + (out.isEmpty() ? child.errorString() : out.trimmed())));
            if (out.contains(QLatin1String("SKIP   : ")))
                QSKIP(qPrintable(out.mid(out.indexOf(QLatin1String("SKIP   : "))).section('\n', 0, 0)));
            QVERIFY2(ended && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, qPrintable(out));
            return;
        }
        TestSysroot root;
        const QString ifconfig = realTool(QStringLiteral("ifconfig")), dhcpcd = realTool(QStringLiteral("dhcpcd"));
        QVERIFY(ifconfig.isEmpty() || (QDir().mkpath(root.path("/sbin")) && QFile::link(ifconfig, root.path("/sbin/ifconfig"))));
        root.writeFile(kConf, kRaspiosHeader);
        root.writeFile("/etc/resolv.conf", "nameserver 10.77.0.53\nnameserver 10.77.0.54\n");
        net n;
        QCOMPARE(n.getIPAddress(), QStringLiteral("10.77.3.9"));
        QCOMPARE(n.getNetmask(), QStringLiteral("255.255.240.0"));
        QCOMPARE(n.getGateway(), QStringLiteral("10.77.0.1"));
        if (!ifconfig.isEmpty()) {
            QCOMPARE(n.getIp(), QStringLiteral("10.77.3.9"));
            QCOMPARE(n.getMask(), QStringLiteral("255.255.240.0"));
            // Today's ifconfig prints "broadcast <addr>" as fields 5 and 6; the
            // older reader takes field 5 and falls back to its default.
            QCOMPARE(n.getBroadcast(), QStringLiteral("192.168.100.255"));
            QCOMPARE(n.getMaskAddr(), QStringLiteral("255.255.240.0"));
        }
        if (dhcpcd.isEmpty() || ifconfig.isEmpty())
            QSKIP("dhcpcd (package dhcpcd-base) or ifconfig (net-tools) is not installed: not every check ran");

        // dhcpcd's pid, socket and identity files go to empty, private tmpfs.
        const char *db = ::access("/var/lib/dhcpcd", F_OK) == 0 ? "/var/lib/dhcpcd" : "/var/lib";
        QVERIFY(::mount("tvk-run", "/run", "tmpfs", 0, "size=4m") == 0 && ::mount("tvk-db", db, "tmpfs", 0, "size=4m") == 0);
        n.setStaticIpMaskGateway("10.77.3.9", "255.255.240.0", "10.77.0.1");
        const auto test = [&](const QString &conf) {
            QProcess p;
            p.setProcessChannelMode(QProcess::MergedChannels);
            p.start(dhcpcd, {"-f", root.path(conf), "--test", "eth0"});
            const bool ok = p.waitForFinished(8000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
            return (ok ? "" : "(failed) ") + QString::fromLocal8Bit(p.readAll());
        };
        const QString out = test(kConf);
        for (const char *bad : {"(failed)", "unknown option", "invalid", "error"})
            QVERIFY2(!out.contains(bad), qPrintable(out));
        for (const char *good : {"using static address 10.77.3.9/20", "new_ip_address='10.77.3.9'", "new_subnet_cidr='20'",
                                 "new_routers='10.77.0.1'", "new_domain_name_servers='10.77.0.53 10.77.0.54'"})
            QVERIFY2(out.contains(good), qPrintable(out));
        // The same check sees a damaged block: it is not a rubber stamp.
        root.writeFile("/etc/damaged.conf", root.readFile(kConf).replace("interface eth0", "interfaze eth0"));
        const QString bad = test("/etc/damaged.conf");
        QVERIFY2(bad.contains("unknown option"), qPrintable(bad));
    }
};

QTEST_GUILESS_MAIN(TstNetSettings)
#include "tst_netsettings.moc"
