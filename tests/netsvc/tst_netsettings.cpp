// Network half of net: the custom block in a temporary /etc/dhcpcd.conf,
// the readers against canned tool output and against the real ip and
// ifconfig tools in a private network namespace, and the written block
// checked by the real DHCP client daemon in that namespace.
#include "netsvc/net.h"
#include "netsvc/netconfig.h"
#include "tests/common/logcapture.h"
#include "tests/common/testsysroot.h"
#include "tests/netsvc/helper_netns.h"

#include <QtTest>

#include <QDir>
#include <QElapsedTimer>

#include <sys/stat.h>

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

} // namespace

class TstNetSettings : public QObject
{
    Q_OBJECT
private slots:
    // Mend: everything is checked before the file is touched; a bad netmask
    // no longer removes the existing block first.
    void refusedSettingsLeaveFileAsItWas_data()
    {
        QTest::addColumn<QStringList>("settings"); // address, netmask, gateway, DNS
        QTest::addColumn<QString>("logged");
        const auto row = [](const char *name, const char *field, const QString &value, const char *logged) {
            QStringList s{"10.0.0.2", "255.0.0.0", "10.0.0.1", "8.8.8.8"};
            s[QStringList{"ip", "mask", "gateway", "dns"}.indexOf(field)] = value;
            QTest::newRow(name) << s << logged;
        };
        row("mask of three parts", "mask", "255.255.255", "[ERR] Invalid netmask");
        row("mask not numeric", "mask", "255.x.255.0", "[ERR] Invalid netmask");
        row("ip of three parts", "ip", "10.0.2", "[ERR] Invalid address");
        row("ip out of range", "ip", "10.0.0.256", "[ERR] Invalid address");
        row("ip with line break", "ip", "10.0.0.2\nstatic routers=6.6.6.6", "line break");
        row("mask with carriage return", "mask", "255.0.0.0\r", "line break");
        row("gateway empty", "gateway", "", "[ERR] Invalid gateway");
        row("gateway a name", "gateway", "router", "[ERR] Invalid gateway");
        row("dns with a space", "dns", "8.8.8.8 6.6.6.6", "[ERR] Invalid DNS server");
    }
    void refusedSettingsLeaveFileAsItWas()
    {
        QFETCH(QStringList, settings);
        QFETCH(QString, logged);
        TestSysroot root;
        const QByteArray before = "hostname\n" + block("10.9.9.9", 24, "10.9.9.1", "1.1.1.1", "8.8.8.8") + "tail\n";
        root.writeFile(kConf, before);
        const qint64 inode = inodeOf(root.path(kConf));
        net n;
        LogCapture log;
        QVERIFY(!n.addStaticConfig(settings[0], settings[1], settings[2], settings[3], "1.1.1.1"));
        QVERIFY2(log.contains(logged), qPrintable(log.messages().join(" | ")));
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

    void missingConfigFile()
    {
        TestSysroot root;
        net n;
        LogCapture log;
        QVERIFY(!n.getDHCPMode());
        QVERIFY(!n.removeStaticConfig());
        QVERIFY(n.addStaticConfig("10.0.0.2", "255.0.0.0", "10.0.0.1", "8.8.8.8", "1.1.1.1"));
        QCOMPARE(root.readFile(kConf), block("10.0.0.2", 8, "10.0.0.1", "8.8.8.8", "1.1.1.1"));
    }

    void dhcpOnAndReset()
    {
        TestSysroot root;
        root.writeFile(kConf, "a\n" + block("10.0.0.2", 8, "10.0.0.1", "8.8.8.8", "1.1.1.1") + "b\n");
        net n;
        n.dhcpOn(true);
        QCOMPARE(root.readFile(kConf), QByteArray("a\nb\n"));
        QVERIFY(n.getDHCPMode());
        n.resetNetwork();
        QCOMPARE(root.readFile(kConf), "a\nb\n" + block("192.168.100.104", 24, "192.168.100.1", "8.8.8.8", "1.1.1.1"));
        n.restartNetwork(); // changes nothing by itself
        QVERIFY(root.allCalls().isEmpty());
    }

    void cannedReadersFeedStaticIp()
    {
        TestSysroot root;
        root.addStandIn("ip", kIpAddrShow);
        root.writeFile(kConf, "hostname\n");
        root.writeFile("/etc/resolv.conf", "nameserver 10.0.0.53\nnameserver 10.0.0.54\nnameserver 10.0.0.55\n");
        net n;
        QCOMPARE(n.getIPAddress(), QStringLiteral("10.1.2.3"));
        QCOMPARE(n.getNetmask(), QStringLiteral("255.255.0.0"));
        QCOMPARE(n.getGateway(), QStringLiteral("10.1.0.1"));
        QCOMPARE(root.calls("ip"), (QStringList{"addr show eth0", "addr show eth0", "route"}));
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
        LogCapture log;
        if (resolv.isNull()) {
            QCOMPARE(n.getDnsServers(), (QStringList{dns1, dns2}));
            }
        QVERIFY(n.getDHCPMode());
        n.setStaticIpMaskGateway("192.168.100.104", "255.255.255.0", "192.168.100.1");
        const QByteArray text = root.readFile(kConf);
        QCOMPARE(text, "hostname\nclientid\n" + block("192.168.100.104", 24, "192.168.100.1", dns1, dns2));
        QVERIFY(text.contains("static ip_address=192.168.100.104/24\n"));
        QVERIFY(!n.getDHCPMode());
    }

    void netmaskFromPrefix_data()
    {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QString>("mask");
        QTest::newRow("/32") << QByteArray("    inet 10.1.2.3/32 scope global eth0\n") << "255.255.255.255";
        QTest::newRow("/0") << QByteArray("    inet 10.1.2.3/0 scope global eth0\n") << "0.0.0.0";
        QTest::newRow("/20") << QByteArray("    inet 10.1.2.3/20 scope global eth0\n") << "255.255.240.0";
        QTest::newRow("prefix out of range") << QByteArray("    inet 10.1.2.3/99 scope global eth0\n") << "255.255.255.0";
    }
    void netmaskFromPrefix()
    {
        QFETCH(QByteArray, output);
        QFETCH(QString, mask);
        TestSysroot root;
        root.addStandIn("ip", output);
        net n;
        QCOMPARE(n.getNetmask(), mask);
    }

    void interfaceDownGivesDefaults()
    {
        TestSysroot root;
        root.addStandIn("ip", "2: eth0: <NO-CARRIER,BROADCAST,MULTICAST,UP> mtu 1500 state DOWN\n"
                              "10.1.0.0/16 dev eth0 proto kernel scope link src 10.1.2.3\n");
        net n;
        LogCapture log;
        QElapsedTimer t;
        t.start();
        QCOMPARE(n.getIPAddress(), QStringLiteral("192.168.100.101"));
        QVERIFY(t.elapsed() >= 4500);
        QCOMPARE(root.calls("ip").size(), 5);
        QCOMPARE(n.getNetmask(), QStringLiteral("255.255.255.0"));
        QCOMPARE(n.getGateway(), QStringLiteral("192.168.100.1"));
    }

    void olderReaders_data()
    {
        QTest::addColumn<QByteArray>("ifconfig");
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("broadcast");
        QTest::newRow("today's ifconfig")
            << QByteArray("        inet 10.1.2.3  netmask 255.255.0.0  broadcast 10.1.255.255\n"
                          "        inet6 fe80::ba27:ebff:fe01:203  prefixlen 64  scopeid 0x20<link>\n")
            << "10.1.2.3" << "255.255.0.0" << "192.168.100.255";
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

    void macFromSysfs()
    {
        TestSysroot root;
        net n;
        QCOMPARE(n.getMac(), QString());
        root.writeFile("/sys/class/net/eth0/address", "b8:27:eb:01:02:03\n");
        QCOMPARE(n.getMac(), QStringLiteral("b8:27:eb:01:02:03"));
    }

    void realToolsInNamespace()
    {
        TestNetns ns;
        QString why;
        if (!ns.create(&why))
            QSKIP(qPrintable("no private network namespace: " + why));
        {
            // No address yet: the defaults.
            TestSysroot root;
            net n;
            NetnsScope in(ns);
            QCOMPARE(n.getNetmask(), QStringLiteral("255.255.255.0"));
            QCOMPARE(n.getGateway(), QStringLiteral("192.168.100.1"));
        }
        QVERIFY(ns.ip({"addr", "add", "10.77.3.9/20", "dev", "eth0"}));
        QVERIFY(ns.ip({"route", "add", "default", "via", "10.77.0.1"}));

        TestSysroot root;
        const QString ifconfig = QFile::exists("/sbin/ifconfig") ? "/sbin/ifconfig" : "/usr/sbin/ifconfig";
        const bool haveIfconfig = QFile::exists(ifconfig);
        if (haveIfconfig) {
            QDir().mkpath(root.path("/sbin"));
            QVERIFY(QFile::link(ifconfig, root.path("/sbin/ifconfig")));
        }
        net n;
        NetnsScope in(ns);
        QVERIFY(in.ok());
        QCOMPARE(n.getIPAddress(), QStringLiteral("10.77.3.9"));
        QCOMPARE(n.getNetmask(), QStringLiteral("255.255.240.0"));
        QCOMPARE(n.getGateway(), QStringLiteral("10.77.0.1"));
        if (!haveIfconfig)
            QSKIP("ifconfig (package net-tools) is not installed: the older readers were not run");
        QCOMPARE(n.getIp(), QStringLiteral("10.77.3.9"));
        QCOMPARE(n.getMask(), QStringLiteral("255.255.240.0"));
        // Today's ifconfig prints "broadcast <addr>" as fields 5 and 6; the
        // older reader takes field 5 and falls back to its default.
        QCOMPARE(n.getBroadcast(), QStringLiteral("192.168.100.255"));
        QCOMPARE(n.getMaskAddr(), QStringLiteral("255.255.240.0"));
    }

    void dhcpClientAcceptsWrittenBlock()
    {
        const QString dhcpcd = QFile::exists("/usr/sbin/dhcpcd") ? "/usr/sbin/dhcpcd" : "/sbin/dhcpcd";
        if (!QFile::exists(dhcpcd))
            QSKIP("dhcpcd (package dhcpcd-base) is not installed");
        TestNetns ns;
        QString why;
        if (!ns.create(&why))
            QSKIP(qPrintable("no private network namespace: " + why));

        TestSysroot root;
        root.writeFile(kConf, kRaspiosHeader);
        root.writeFile("/etc/resolv.conf", "nameserver 10.77.0.53\nnameserver 10.77.0.54\n");
        net n;
        n.setStaticIpMaskGateway("10.77.3.9", "255.255.240.0", "10.77.0.1");
        QVERIFY(!n.getDHCPMode());

        const TestNetns::Result r = ns.runSandboxed(dhcpcd, {"-f", root.path(kConf), "--test", "eth0"}, 8000);
        if (r.exitCode >= 120 && r.exitCode <= 123)
            QSKIP("no private mount namespace for dhcpcd's own files here");
        const QString out = QString::fromLocal8Bit(r.output);
        QVERIFY2(!r.timedOut && r.exitCode == 0, qPrintable(out));
        for (const char *bad : {"unknown option", "invalid", "error"})
            QVERIFY2(!out.contains(bad), qPrintable(out));
        for (const char *good : {"using static address 10.77.3.9/20", "new_ip_address='10.77.3.9'", "new_subnet_cidr='20'",
                                 "new_routers='10.77.0.1'", "new_domain_name_servers='10.77.0.53 10.77.0.54'"})
            QVERIFY2(out.contains(good), qPrintable(out));

        // The same check sees a damaged block: it is not a rubber stamp.
        root.writeFile("/etc/damaged.conf", root.readFile(kConf).replace("interface eth0", "interfaze eth0"));
        const TestNetns::Result bad = ns.runSandboxed(dhcpcd, {"-f", root.path("/etc/damaged.conf"), "--test", "eth0"}, 8000);
        QVERIFY2(bad.output.contains("unknown option"), bad.output.constData());
    }
};

QTEST_GUILESS_MAIN(TstNetSettings)
#include "tst_netsettings.moc"
