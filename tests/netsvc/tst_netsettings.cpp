// Network half of net: the custom block in a temporary /etc/dhcpcd.conf,
// the readers against canned tool output and against the real ip and
// ifconfig tools in a private network namespace, and the written block
// checked by the real DHCP client daemon in that namespace.
#include "netsvc/net.h"
#include "netsvc/netconfig.h"
#include "tests/common/testsysroot.h"
#include "tests/netsvc/helper_netns.h"
#include "tests/netsvc/helper_netsvc.h"

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

const QByteArray kRaspiosHeader =
    "# A sample configuration for dhcpcd.\n"
    "hostname\n"
    "clientid\n"
    "persistent\n"
    "option rapid_commit\n"
    "option domain_name_servers, domain_name, domain_search, host_name\n"
    "option classless_static_routes\n"
    "option interface_mtu\n"
    "require dhcp_server_identifier\n"
    "slaac private\n";

} // namespace

class TstNetSettings : public QObject
{
    Q_OBJECT
private slots:
    // --- the custom block ------------------------------------------------

    void staticBlockWrittenAndDhcpModeRead()
    {
        TestSysroot root;
        root.writeFile(kConf, "hostname\nclientid\n");
        root.writeFile("/etc/resolv.conf", "nameserver 10.0.0.1\n");
        net n;
        QVERIFY(n.getDHCPMode());
        n.setStaticIpMaskGateway("192.168.100.104", "255.255.255.0", "192.168.100.1");
        const QByteArray text = root.readFile(kConf);
        QCOMPARE(text, "hostname\nclientid\n" + block("192.168.100.104", 24, "192.168.100.1", "10.0.0.1", "1.1.1.1"));
        QVERIFY(text.contains("static ip_address=192.168.100.104/24\n"));
        QVERIFY(!n.getDHCPMode());
    }

    void markerRecognition_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("dhcp");
        QTest::newRow("no block") << QByteArray("hostname\n") << true;
        QTest::newRow("block") << QByteArray("# BEGIN CUSTOM\n# END CUSTOM\n") << false;
        QTest::newRow("indented marker") << QByteArray("\t  # BEGIN CUSTOM  \n") << false;
        QTest::newRow("extra text: no marker") << QByteArray("# BEGIN CUSTOM old\n") << true;
        QTest::newRow("empty file") << QByteArray() << true;
    }
    void markerRecognition()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, dhcp);
        TestSysroot root;
        root.writeFile(kConf, content);
        net n;
        QCOMPARE(n.getDHCPMode(), dhcp);
    }

    void refusedSettingsLeaveFileAsItWas_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("gateway");
        QTest::addColumn<QString>("dns");
        QTest::addColumn<QString>("logged");
        QTest::newRow("mask of three parts") << "10.0.0.2" << "255.255.255" << "10.0.0.1" << "8.8.8.8" << "[ERR] Invalid netmask";
        QTest::newRow("mask not numeric") << "10.0.0.2" << "255.x.255.0" << "10.0.0.1" << "8.8.8.8" << "[ERR] Invalid netmask";
        QTest::newRow("ip of three parts") << "10.0.2" << "255.0.0.0" << "10.0.0.1" << "8.8.8.8" << "[ERR] Invalid address";
        QTest::newRow("ip out of range") << "10.0.0.256" << "255.0.0.0" << "10.0.0.1" << "8.8.8.8" << "[ERR] Invalid address";
        QTest::newRow("ip with line break") << "10.0.0.2\nstatic routers=6.6.6.6" << "255.0.0.0" << "10.0.0.1" << "8.8.8.8" << "line break";
        QTest::newRow("mask with carriage return") << "10.0.0.2" << "255.0.0.0\r" << "10.0.0.1" << "8.8.8.8" << "line break";
        QTest::newRow("gateway empty") << "10.0.0.2" << "255.0.0.0" << "" << "8.8.8.8" << "[ERR] Invalid gateway";
        QTest::newRow("gateway a name") << "10.0.0.2" << "255.0.0.0" << "router" << "8.8.8.8" << "[ERR] Invalid gateway";
        QTest::newRow("dns with a space") << "10.0.0.2" << "255.0.0.0" << "10.0.0.1" << "8.8.8.8 6.6.6.6" << "[ERR] Invalid DNS server";
    }
    void refusedSettingsLeaveFileAsItWas()
    {
        QFETCH(QString, ip);
        QFETCH(QString, mask);
        QFETCH(QString, gateway);
        QFETCH(QString, dns);
        QFETCH(QString, logged);
        TestSysroot root;
        const QByteArray before = "hostname\n" + block("10.9.9.9", 24, "10.9.9.1", "1.1.1.1", "8.8.8.8") + "tail\n";
        root.writeFile(kConf, before);
        const qint64 inode = inodeOf(root.path(kConf));
        net n;
        LogCapture log;
        QVERIFY(!n.addStaticConfig(ip, mask, gateway, dns, "1.1.1.1"));
        QVERIFY2(log.contains(logged), qPrintable(log.messages().join(" | ")));
        QCOMPARE(root.readFile(kConf), before);
        QCOMPARE(inodeOf(root.path(kConf)), inode);
    }

    // Each write replaces the file by a rename, keeps its permissions,
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
        QVERIFY(log.contains("Cannot open config for reading:"));
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

    void staticIpTakesCurrentValues()
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

    void unusableResolversReplaced_data()
    {
        QTest::addColumn<QByteArray>("resolv"); // null: no file
        QTest::addColumn<QString>("dns1");
        QTest::addColumn<QString>("dns2");
        QTest::newRow("no file") << QByteArray() << "8.8.8.8" << "1.1.1.1";
        QTest::newRow("one server") << QByteArray("nameserver 10.0.0.53\n") << "10.0.0.53" << "1.1.1.1";
        QTest::newRow("none") << QByteArray("search lan\n") << "8.8.8.8" << "1.1.1.1";
        QTest::newRow("ipv6 first") << QByteArray("nameserver fe80::1%eth0\nnameserver 10.0.0.53\n") << "8.8.8.8" << "10.0.0.53";
        QTest::newRow("two spaces") << QByteArray("nameserver  10.0.0.53\n") << "8.8.8.8" << "1.1.1.1";
    }
    void unusableResolversReplaced()
    {
        QFETCH(QByteArray, resolv);
        QFETCH(QString, dns1);
        QFETCH(QString, dns2);
        TestSysroot root;
        if (!resolv.isNull())
            root.writeFile("/etc/resolv.conf", resolv);
        root.writeFile(kConf, "");
        net n;
        if (resolv.isNull()) {
            LogCapture log;
            QCOMPARE(n.getDnsServers(), (QStringList{dns1, dns2}));
            QVERIFY(log.contains("[ERR] No DNS found"));
        }
        n.setStaticIpMaskGateway("10.0.0.2", "255.0.0.0", "10.0.0.1");
        QCOMPARE(root.readFile(kConf), block("10.0.0.2", 8, "10.0.0.1", dns1, dns2));
    }

    // --- readers against canned output ----------------------------------------

    void cannedReaders()
    {
        TestSysroot root;
        root.addStandIn("ip", kIpAddrShow);
        net n;
        QCOMPARE(n.getIPAddress(), QStringLiteral("10.1.2.3"));
        QCOMPARE(n.getNetmask(), QStringLiteral("255.255.0.0"));
        QCOMPARE(n.getGateway(), QStringLiteral("10.1.0.1"));
        QCOMPARE(root.calls("ip"), (QStringList{"addr show eth0", "addr show eth0", "route"}));
    }

    void netmaskFromPrefix_data()
    {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QString>("mask");
        QTest::newRow("/32") << QByteArray("    inet 10.1.2.3/32 scope global eth0\n") << "255.255.255.255";
        QTest::newRow("/0") << QByteArray("    inet 10.1.2.3/0 scope global eth0\n") << "0.0.0.0";
        QTest::newRow("/1") << QByteArray("    inet 10.1.2.3/1 scope global eth0\n") << "128.0.0.0";
        QTest::newRow("prefix out of range") << QByteArray("    inet 10.1.2.3/99 scope global eth0\n") << "255.255.255.0";
        QTest::newRow("no address") << QByteArray("2: eth0: <NO-CARRIER> state DOWN\n") << "255.255.255.0";
        QTest::newRow("nothing") << QByteArray() << "255.255.255.0";
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

    void gatewayMissing()
    {
        TestSysroot root;
        root.addStandIn("ip", "10.1.0.0/16 dev eth0 proto kernel scope link src 10.1.2.3\n");
        net n;
        LogCapture log;
        QCOMPARE(n.getGateway(), QStringLiteral("192.168.100.1"));
        QVERIFY(log.contains("[ERR] No match gateway found"));
    }

    void addressMissingAfterFiveAttempts()
    {
        TestSysroot root;
        root.addStandIn("ip", "2: eth0: <NO-CARRIER,BROADCAST,MULTICAST,UP> mtu 1500 state DOWN\n");
        net n;
        LogCapture log;
        QElapsedTimer t;
        t.start();
        QCOMPARE(n.getIPAddress(), QStringLiteral("192.168.100.101"));
        QVERIFY(t.elapsed() >= 4500);
        QCOMPARE(root.calls("ip").size(), 5);
        QVERIFY(log.contains("[ERR] No IP found after retries"));
    }

    void olderReaders_data()
    {
        QTest::addColumn<QByteArray>("ifconfig");
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("broadcast");
        QTest::newRow("today's ifconfig")
            << QByteArray("eth0: flags=4163<UP,BROADCAST,RUNNING,MULTICAST>  mtu 1500\n"
                          "        inet 10.1.2.3  netmask 255.255.0.0  broadcast 10.1.255.255\n"
                          "        inet6 fe80::ba27:ebff:fe01:203  prefixlen 64  scopeid 0x20<link>\n"
                          "        ether b8:27:eb:01:02:03  txqueuelen 1000  (Ethernet)\n")
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
        installSbinIfconfig(root, ifconfig);
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

    // --- readers against the real tools ------------------------------------

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
        if (r.exitCode == 122 || r.exitCode == 121 || r.exitCode == 120 || r.exitCode == 123)
            QSKIP("no private mount namespace for dhcpcd's own files here");
        const QString out = QString::fromLocal8Bit(r.out);
        const QString err = QString::fromLocal8Bit(r.err);
        const QString all = "stdout:\n" + out + "\nstderr:\n" + err;
        QVERIFY2(r.ran && !r.timedOut && r.exitCode == 0, qPrintable(all));
        QVERIFY2(!err.contains("unknown option") && !err.contains("invalid") && !err.contains("error"), qPrintable(all));
        QVERIFY2(err.contains("using static address 10.77.3.9/20"), qPrintable(all));
        QVERIFY2(out.contains("new_ip_address='10.77.3.9'"), qPrintable(all));
        QVERIFY2(out.contains("new_subnet_cidr='20'"), qPrintable(all));
        QVERIFY2(out.contains("new_routers='10.77.0.1'"), qPrintable(all));
        QVERIFY2(out.contains("new_domain_name_servers='10.77.0.53 10.77.0.54'"), qPrintable(all));

        // The same check sees a damaged block: it is not a rubber stamp.
        QByteArray damaged = root.readFile(kConf);
        damaged.replace("interface eth0", "interfaze eth0");
        root.writeFile("/etc/damaged.conf", damaged);
        const TestNetns::Result bad = ns.runSandboxed(dhcpcd, {"-f", root.path("/etc/damaged.conf"), "--test", "eth0"}, 8000);
        const QString badAll = QString::fromLocal8Bit(bad.out + "\n" + bad.err);
        QVERIFY2(bad.err.contains("unknown option"), qPrintable(badAll));
    }
};

QTEST_GUILESS_MAIN(TstNetSettings)
#include "tst_netsettings.moc"
