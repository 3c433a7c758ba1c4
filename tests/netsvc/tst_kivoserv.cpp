// The discovery server over real UDP on loopback: 127.0.0.5 is the panel,
// 127.0.0.20 the management tool, 127.0.0.255 catches broadcast replies.
#include "netsvc/kivoproto.h"
#include "netsvc/kivoserv.h"
#include "platform/commandrunner.h"
#include "tests/common/logcapture.h"
#include "tests/common/testsysroot.h"

#include <QtTest>

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QScopeGuard>
#include <QUdpSocket>


namespace {

const QHostAddress kServer(QStringLiteral("127.0.0.1"));
const QHostAddress kTool(QStringLiteral("127.0.0.20"));
const QHostAddress kBroadcast(QStringLiteral("127.0.0.255"));
const QString kPanelIp = QStringLiteral("127.0.0.5");
const QString kPanelMac = QStringLiteral("b8:27:eb:01:02:03");
const QString kPanelMask = QStringLiteral("255.255.255.0");
const QByteArray kMacBytes = QByteArray::fromHex("b827eb010203");
const QByteArray kModelName = QByteArray("TAVRIK") + QByteArray(10, '\0');

QByteArray request(int type, const QByteArray &keyword, const QByteArray &mac = QByteArray(6, '\0'))
{
    return QByteArray::fromHex("0000") + char(type) + '\0' + mac + keyword;
}

bool receive(QUdpSocket &s, QNetworkDatagram *out, int ms = 3000)
{
    if ((!s.hasPendingDatagrams() && !s.waitForReadyRead(ms)) || !s.hasPendingDatagrams())
        return false;
    *out = s.receiveDatagram();
    return true;
}

} // namespace

class TstKivoServ : public QObject
{
    Q_OBJECT

    struct Rig {
        TestSysroot root;
        KivoServ server;
        QUdpSocket tool;
        QUdpSocket broadcastCatcher;

        bool start(const QString &ip = kPanelIp, const QString &mac = kPanelMac, const QString &mask = kPanelMask)
        {
            root.addStandIn(QStringLiteral("sync"));
            server.setBroadcastIp(QStringLiteral("127.0.0.77")); // overridden by the /24 rule
            server.setIp(ip);
            server.setMac(mac);
            server.setMask(mask);
            if (!tool.bind(kTool, 0) || !broadcastCatcher.bind(kBroadcast, tool.localPort()))
                return false;
            server.start();
            return QTest::qWaitFor([&] { return server.isListening() || server.isFinished(); }, 5000) && server.isListening();
        }
        bool send(const QByteArray &d) { return tool.writeDatagram(d, kServer, Kivo::kPort) == d.size(); }
    };

private slots:
    void init() { CommandRunner::clearHistory(); }

    // Broadcast replies go to the /24 broadcast of the panel's address,
    // whatever the netmask; other request types are answered to the sender
    // as 0x81. Mends: settings of the wrong shape give no reply, not a crash;
    // the receive loop never reads outside a datagram, whatever its size.
    void replies_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<QStringList>("settings"); // address, MAC, netmask
        QTest::addColumn<QByteArray>("reply");     // empty: no reply
        const auto eth = [](char type, const char *maskHex) {
            return QByteArray::fromHex("0030") + type + QByteArray(2, '\0') + kModelName + kMacBytes
                   + QByteArray::fromHex(QByteArray("7f000005") + maskHex + "7f000005") + QByteArray(8, '\x08') + '\x01';
        };
        const QStringList good{kPanelIp, kPanelMac, kPanelMask};
        const auto with = [&good](int i, const QString &value) {
            QStringList s = good;
            s[i] = value;
            return s;
        };
        const QByteArray ethReq = request(0x81, "ETH_REQ"), model = request(0x81, "GET_MODEL", kMacBytes);
        QTest::newRow("broadcast ETH_REQ") << request(0x80, "ETH_REQ") << good << eth('\x80', "ffffff00");
        QTest::newRow("broadcast, /16 mask") << request(0x80, "ETH_REQ") << with(2, "255.255.0.0") << eth('\x80', "ffff0000");
        QTest::newRow("tcp type") << request(0x82, "ETH_REQ") << good << eth('\x81', "ffffff00");
        QTest::newRow("zero type") << request(0x00, "ETH_REQ") << good << eth('\x81', "ffffff00");
        QTest::newRow("GET_MODEL, upper-case MAC matches") << model << good << QByteArray::fromHex("000881400588100d");
        QTest::newRow("GET_MODEL_NAME") << request(0x81, "GET_MODEL_NAME", kMacBytes) << good << QByteArray::fromHex("00148141") + kModelName;
        QTest::newRow("broadcast GET_MODEL_NAME") << request(0x80, "GET_MODEL_NAME", kMacBytes) << good
                                                  << QByteArray::fromHex("00148041") + kModelName;
        QTest::newRow("other MAC") << request(0x81, "GET_MODEL", QByteArray::fromHex("b827eb010204")) << good << QByteArray();
        QTest::newRow("too short for a MAC") << QByteArray("GET_MODEL") << good << QByteArray();
        QTest::newRow("no keyword") << request(0x81, "HELLO", kMacBytes) << good << QByteArray();
        QTest::newRow("empty") << QByteArray() << good << QByteArray();
        QTest::newRow("one byte") << QByteArray(1, '\x80') << good << QByteArray();
        QTest::newRow("keyword cut short") << QByteArray("ETH_RE") << good << QByteArray();
        QTest::newRow("broadcast, no MAC") << QByteArray("\0\0\x80GET_MODEL_NAME", 17) << good << QByteArray();
        QTest::newRow("largest datagram") << QByteArray(65507, 'E') << good << QByteArray();
        // The keyword alone: its own last six bytes, "MACADR", are the new
        // MAC, a group address no unit may take.
        QTest::newRow("SET_MACADR alone") << QByteArray("SET_MACADR") << good << QByteArray();
        QTest::newRow("ip of three parts") << ethReq << with(0, "127.0.0") << QByteArray();
        QTest::newRow("no address yet") << ethReq << with(0, QString()) << QByteArray();
        QTest::newRow("mac of five parts") << ethReq << with(1, "b8:27:eb:01:02") << QByteArray();
        QTest::newRow("null mac") << model << with(1, QString()) << QByteArray();
        QTest::newRow("mask of three parts") << ethReq << with(2, "255.255.255") << QByteArray();
    }
    void replies()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(QStringList, settings);
        QFETCH(QByteArray, reply);
        LogCapture quiet;
        Rig r;
        QVERIFY(r.start(settings[0], settings[1], settings[2]));
        QVERIFY(r.send(datagram));
        QNetworkDatagram d;
        if (reply.isEmpty()) {
            // Then usable settings and an ETH_REQ: the datagram was dropped,
            // and nothing was left stuck in the socket.
            QVERIFY(!receive(r.tool, &d, 400));
            r.server.setIp(kPanelIp);
            r.server.setMac(kPanelMac);
            r.server.setMask(kPanelMask);
            r.send(request(0x81, "ETH_REQ"));
            QVERIFY(receive(r.tool, &d));
            QCOMPARE(d.data().size(), 48);
        } else {
            QVERIFY(receive(reply.at(2) == char(0x80) ? r.broadcastCatcher : r.tool, &d));
            QCOMPARE(d.senderPort(), int(Kivo::kPort));
            QCOMPARE(d.data().toHex(' '), reply.toHex(' '));
        }
        QVERIFY(!receive(r.tool, &d, 150));
        QVERIFY(!receive(r.broadcastCatcher, &d, 50));
    }

    // SET_MACADR (it wins over ETH_REQ) replaces the boot configuration
    // through a working copy and root's copy-and-move, with /boot writable
    // only meanwhile. Mends: an address no unit may take is refused, and
    // one the file already holds changes nothing, without touching /boot;
    // discovery is answered while the change runs.
    void setMacAdr_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("newMac");
        QTest::addColumn<bool>("reply");
        QTest::addColumn<bool>("change");
        const QByteArray key = "dtparam=audio=on\nforce_mac_address=b8:27:eb:00:00:01\ngpu_mem=128\n";
        QTest::newRow("key") << key << QByteArray::fromHex("deadbeef0002") << true << true;
        QTest::newRow("no key") << QByteArray("dtparam=audio=on\ngpu_mem=128\n") << QByteArray::fromHex("deadbeef0002") << true << false;
        QTest::newRow("already held") << key << QByteArray::fromHex("b827eb000001") << true << false;
        QTest::newRow("broadcast") << key << QByteArray::fromHex("ffffffffffff") << false << false;
        QTest::newRow("multicast") << key << QByteArray::fromHex("01005e000001") << false << false;
        QTest::newRow("all zero") << key << QByteArray::fromHex("000000000000") << false << false;
    }
    void setMacAdr()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, newMac);
        QFETCH(bool, reply);
        QFETCH(bool, change);
        LogCapture quiet;
        Rig r;
        const QString boot = QStringLiteral("/boot/config.txt");
        r.root.writeFile(boot, before);
        QVERIFY(r.start());
        r.send(QByteArray::fromHex("00008100") + "ETH_REQ SET_MACADR" + newMac);
        r.send(request(0x81, "GET_MODEL", kMacBytes));
        QList<QByteArray> got;
        QNetworkDatagram d;
        while (receive(r.tool, &d, got.size() < 1 + reply ? 10000 : 200))
            got << d.data();
        QCOMPARE(got.size(), 1 + reply);
        QVERIFY(got.contains(QByteArray::fromHex("000881400588100d")));
        if (reply)
            QVERIFY(got.contains(QByteArray::fromHex("00258100004440404000") + newMac
                                 + QByteArray::fromHex("7f000005ffffff007f000001") + QByteArray(8, '\x08') + '\x01'));
        r.server.stop();
        // /boot itself is written by sudo alone, here a recording stand-in.
        QCOMPARE(r.root.readFile(boot), before);
        if (!change) {
            QCOMPARE(r.root.calls(QStringLiteral("sudo")), QStringList());
            return;
        }
        QCOMPARE(r.root.readFile(QStringLiteral("/home/pi/config.txt")),
                 QByteArray(before).replace("b8:27:eb:00:00:01", "de:ad:be:ef:00:02"));
        QCOMPARE(CommandRunner::history(),
                 QStringLiteral("sh -c sudo mount -o rw,remount %1/boot|"
                                "sh -c sudo cp -P %1/home/pi/config.txt %1/boot/config.txt.new|sh -c sync %1/boot/config.txt.new|"
                                "sh -c sudo mv %1/boot/config.txt.new %1/boot/config.txt|sh -c sync %1/boot|"
                                "sh -c sudo mount -o ro,remount %1/boot")
                     .arg(r.root.root())
                     .split('|'));
    }

    // Ten SET_MACADR a second, each with another address: ETH_REQ is still
    // answered within 100 ms, /boot is changed once, the refusals give one
    // log line.
    void setMacAdrFlood()
    {
        LogCapture log;
        Rig r;
        r.root.writeFile(QStringLiteral("/boot/config.txt"), "force_mac_address=b8:27:eb:00:00:01\n");
        QVERIFY(r.start());
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < 15; ++i) {
            QVERIFY(QTest::qWaitFor([&] { return t.elapsed() >= i * 100; }));
            r.send(QByteArray::fromHex("00008100") + "SET_MACADR" + QByteArray::fromHex("0200000000") + char(i + 2));
            const qint64 asked = t.elapsed();
            r.send(request(0x81, "ETH_REQ"));
            QNetworkDatagram d;
            do
                QVERIFY(receive(r.tool, &d, 1000));
            while (d.data().size() != Kivo::kEthReqReplySize);
            QVERIFY2(t.elapsed() - asked < 100, qPrintable(QStringLiteral("answered after %1 ms").arg(t.elapsed() - asked)));
        }
        r.server.stop();
        QCOMPARE(r.root.calls(QStringLiteral("sudo")).filter(QStringLiteral("mount -o rw")).size(), 1);
        QCOMPARE(log.count(QStringLiteral("[WARN] SET_MACADR")), 1);
    }

    void ipv6SenderIsAnswered()
    {
        // Under a sysroot the server listens on 127.0.0.1 only; ::1 lets an IPv6 sender reach it.
        qputenv("TAVRIK_LISTEN_ADDRESS", "::1");
        auto restore = qScopeGuard([] { qunsetenv("TAVRIK_LISTEN_ADDRESS"); });
        Rig r;
        QVERIFY(r.start());
        QUdpSocket v6;
        if (!v6.bind(QHostAddress(QHostAddress::LocalHostIPv6), 0))
            QSKIP("no IPv6 loopback on this machine");
        v6.writeDatagram(request(0x81, "ETH_REQ"), QHostAddress::LocalHostIPv6, Kivo::kPort);
        QNetworkDatagram d;
        QVERIFY(receive(v6, &d));
        QCOMPARE(d.data().size(), 48);
    }

    // A taken port ends the thread, no server left that never answers. (That
    // stop() frees the port and waits for the thread, every test here needs.)
    void bindFailureEndsThread()
    {
        LogCapture quiet;
        QUdpSocket squatter;
        QVERIFY(squatter.bind(QHostAddress::Any, Kivo::kPort, QUdpSocket::DontShareAddress));
        TestSysroot root;
        KivoServ server;
        server.setIp(kPanelIp);
        server.start();
        QVERIFY(server.wait(5000));
        QVERIFY(!server.isListening());
    }
};

QTEST_GUILESS_MAIN(TstKivoServ)
#include "tst_kivoserv.moc"
