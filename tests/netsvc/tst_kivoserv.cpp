// The discovery and control server over real UDP on loopback. 127.0.0.5 is
// the panel, 127.0.0.20 the management tool, and 127.0.0.255 (the /24
// broadcast of the panel's address, also loopback) catches broadcast replies.
#include "netsvc/kivoproto.h"
#include "netsvc/kivoserv.h"
#include "platform/commandrunner.h"
#include "tests/common/testsysroot.h"
#include "tests/netsvc/helper_netsvc.h"

#include <QtTest>

#include <QFileInfo>
#include <QNetworkDatagram>
#include <QRandomGenerator>
#include <QUdpSocket>

#include <sys/stat.h>

namespace {

const QHostAddress kServer(QStringLiteral("127.0.0.1"));
const QHostAddress kTool(QStringLiteral("127.0.0.20"));
const QHostAddress kBroadcast(QStringLiteral("127.0.0.255"));
const QString kPanelIp = QStringLiteral("127.0.0.5");
const QString kPanelMac = QStringLiteral("b8:27:eb:01:02:03");
const QString kPanelMask = QStringLiteral("255.255.255.0");

QByteArray bytes(std::initializer_list<int> v)
{
    QByteArray b;
    for (int x : v)
        b.append(char(x));
    return b;
}

QByteArray request(int type, const QByteArray &keyword, const QByteArray &mac = QByteArray(6, '\0'))
{
    return bytes({0x00, 0x00, type, 0x00}) + mac + keyword;
}

const QByteArray kMacBytes = bytes({0xB8, 0x27, 0xEB, 0x01, 0x02, 0x03});

// Waits for one datagram; false when none came within `ms`.
bool receive(QUdpSocket &s, QNetworkDatagram *out, int ms = 3000)
{
    if (!s.hasPendingDatagrams() && !s.waitForReadyRead(ms))
        return false;
    if (!s.hasPendingDatagrams())
        return false;
    *out = s.receiveDatagram();
    return true;
}

qint64 inodeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? qint64(st.st_ino) : -1;
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
        quint16 port = 0;

        bool start(const QString &ip = kPanelIp, const QString &mac = kPanelMac, const QString &mask = kPanelMask)
        {
            root.addStandIn(QStringLiteral("sync"));
            server.setBroadcastIp(QStringLiteral("127.0.0.77")); // overridden by the /24 rule
            server.setIp(ip);
            server.setMac(mac);
            server.setMask(mask);
            if (!tool.bind(kTool, 0))
                return false;
            port = tool.localPort();
            if (!broadcastCatcher.bind(kBroadcast, port))
                return false;
            server.start();
            QElapsedTimer t;
            t.start();
            while (!server.isListening() && !server.isFinished() && t.elapsed() < 5000)
                QThread::msleep(5);
            return server.isListening();
        }
        void send(const QByteArray &d) { tool.writeDatagram(d, kServer, Kivo::kPort); }
    };

private slots:
    void init() { CommandRunner::clearHistory(); }

    // Broadcast replies go to the /24 broadcast of the panel's address,
    // whatever the netmask says.
    void ethReqReplyRouting_data()
    {
        QTest::addColumn<int>("requestType");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<bool>("toBroadcast");
        QTest::addColumn<int>("replyType");
        QTest::newRow("broadcast request") << 0x80 << kPanelMask << true << 0x80;
        QTest::newRow("broadcast, /16 mask") << 0x80 << "255.255.0.0" << true << 0x80;
        QTest::newRow("tcp type") << 0x82 << kPanelMask << false << 0x81;
        QTest::newRow("udp type") << 0x81 << kPanelMask << false << 0x81;
        QTest::newRow("zero type") << 0x00 << kPanelMask << false << 0x81;
    }
    void ethReqReplyRouting()
    {
        QFETCH(int, requestType);
        QFETCH(QString, mask);
        QFETCH(bool, toBroadcast);
        QFETCH(int, replyType);
        Rig r;
        QVERIFY(r.start(kPanelIp, kPanelMac, mask));
        r.send(request(requestType, "ETH_REQ"));

        QUdpSocket &expected = toBroadcast ? r.broadcastCatcher : r.tool;
        QUdpSocket &other = toBroadcast ? r.tool : r.broadcastCatcher;
        QNetworkDatagram d;
        QVERIFY(receive(expected, &d));
        QCOMPARE(d.data().size(), 48);
        QCOMPARE(d.senderPort(), int(Kivo::kPort));
        Kivo::Quad m{};
        QVERIFY(Kivo::parseQuad(mask, &m));
        const QByteArray want = bytes({0x00, 0x30, replyType, 0x00, 0x00}) + QByteArray("TAVRIK") + QByteArray(10, '\0')
                                + kMacBytes + bytes({127, 0, 0, 5, m[0], m[1], m[2], m[3], 127, 0, 0, 5})
                                + QByteArray(8, '\x08') + bytes({0x01});
        QCOMPARE(d.data().toHex(' '), want.toHex(' '));
        QVERIFY(!receive(other, &d, 150));
    }

    void modelRequests_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<QByteArray>("reply"); // empty: no reply
        const QByteArray model = bytes({0x00, 0x08, 0x81, 0x40, 0x05, 0x88, 0x10, 0x0D});
        const QByteArray name = bytes({0x00, 0x14, 0x81, 0x41}) + QByteArray("TAVRIK") + QByteArray(10, '\0');
        QTest::newRow("GET_MODEL, upper-case MAC matches") << request(0x81, "GET_MODEL", kMacBytes) << model;
        QTest::newRow("GET_MODEL_NAME") << request(0x81, "GET_MODEL_NAME", kMacBytes) << name;
        QTest::newRow("both keywords: name reply") << request(0x81, "GET_MODEL GET_MODEL_NAME", kMacBytes) << name;
        QTest::newRow("other MAC") << request(0x81, "GET_MODEL", bytes({0xB8, 0x27, 0xEB, 0x01, 0x02, 0x04}))
                                   << QByteArray();
        QTest::newRow("too short for a MAC") << QByteArray("GET_MODEL") << QByteArray();
        QTest::newRow("no keyword") << request(0x81, "HELLO", kMacBytes) << QByteArray();
        // A broadcast request is answered to the broadcast address, marked as such.
        QByteArray broadcastName = name;
        broadcastName[2] = char(0x80);
        QTest::newRow("broadcast GET_MODEL_NAME") << request(0x80, "GET_MODEL_NAME", kMacBytes) << broadcastName;
    }
    void modelRequests()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(QByteArray, reply);
        Rig r;
        QVERIFY(r.start());
        r.send(datagram);
        QNetworkDatagram d;
        if (reply.isEmpty()) {
            // A following ETH_REQ proves the first one was handled and dropped.
            r.send(request(0x81, "ETH_REQ"));
            QVERIFY(receive(r.tool, &d));
            QCOMPARE(d.data().size(), 48);
        } else {
            QUdpSocket &to = datagram.at(2) == char(0x80) ? r.broadcastCatcher : r.tool;
            QVERIFY(receive(to, &d));
            QCOMPARE(d.data().toHex(' '), reply.toHex(' '));
        }
        QVERIFY(!receive(r.tool, &d, 150));
    }

    void setMacAdrEditsBootConfigAtomically()
    {
        Rig r;
        installPassThroughSudo(r.root);
        const QByteArray before = "dtparam=audio=on\nforce_mac_address=b8:27:eb:00:00:01\ngpu_mem=128\n";
        r.root.writeFile(QStringLiteral("/boot/config.txt"), before);
        const qint64 inodeBefore = inodeOf(r.root.path(QStringLiteral("/boot/config.txt")));
        QVERIFY(r.start());

        const QByteArray newMac = bytes({0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x01});
        // Both keywords: the MAC assignment wins.
        r.send(bytes({0x00, 0x00, 0x81, 0x00}) + "ETH_REQ SET_MACADR" + newMac);
        QNetworkDatagram d;
        QVERIFY(receive(r.tool, &d, 10000));
        const QByteArray want = bytes({0x00, 0x25, 0x81, 0x00, 0x00, 0x44, 0x40, 0x40, 0x40, 0x00}) + newMac
                                + bytes({127, 0, 0, 5, 255, 255, 255, 0, 127, 0, 0, 0x01}) + QByteArray(8, '\x08')
                                + bytes({0x01});
        QCOMPARE(d.data().toHex(' '), want.toHex(' '));

        const QByteArray after = "dtparam=audio=on\nforce_mac_address=de:ad:be:ef:00:01\ngpu_mem=128\n";
        QCOMPARE(r.root.readFile(QStringLiteral("/home/pi/config.txt")), after);
        QCOMPARE(r.root.readFile(QStringLiteral("/boot/config.txt")), after);
        // Renamed into place, nothing left beside it.
        QVERIFY(inodeOf(r.root.path(QStringLiteral("/boot/config.txt"))) != inodeBefore);
        QCOMPARE(QDir(r.root.path(QStringLiteral("/boot"))).entryList(QDir::Files), QStringList{"config.txt"});

        const QString R = r.root.root();
        const QStringList expected{
            "sh -c sudo rm " + R + "/home/pi/config.txt",
            "sh -c sudo mount -o rw,remount " + R + "/boot",
            "sh -c cp " + R + "/boot/config.txt " + R + "/home/pi/config.txt",
            "sh -c sync",
            "sh -c sync",
            "sh -c sudo cp " + R + "/home/pi/config.txt " + R + "/boot/config.txt.new",
            "sh -c sync",
            "sh -c sudo mv " + R + "/boot/config.txt.new " + R + "/boot/config.txt",
            "sh -c sync",
        };
        QCOMPARE(CommandRunner::history(), expected);
        // The panel's own MAC is unchanged until the next boot.
        r.send(request(0x81, "GET_MODEL", kMacBytes));
        QVERIFY(receive(r.tool, &d));
        QCOMPARE(d.data().size(), 8);
    }

    void setMacAdrWithoutKeyLeavesFileAndReplies()
    {
        Rig r;
        installPassThroughSudo(r.root);
        const QByteArray before = "dtparam=audio=on\ngpu_mem=128\n";
        r.root.writeFile(QStringLiteral("/boot/config.txt"), before);
        LogCapture log;
        QVERIFY(r.start());
        r.send(bytes({0x00, 0x00, 0x80, 0x00}) + "SET_MACADR" + bytes({1, 2, 3, 4, 5, 6}));
        QNetworkDatagram d;
        QVERIFY(receive(r.broadcastCatcher, &d, 10000));
        QCOMPARE(d.data().size(), 37);
        QCOMPARE(quint8(d.data().at(2)), quint8(0x80));
        QCOMPARE(r.root.readFile(QStringLiteral("/boot/config.txt")), before);
        for (const QString &c : r.root.calls(QStringLiteral("sudo")))
            QVERIFY2(!c.startsWith(QLatin1String("cp")) && !c.startsWith(QLatin1String("mv")), qPrintable(c));
        QVERIFY(!log.contains(QStringLiteral("Write back /boot/config.txt:")));
    }

    void pendingDatagramsAnsweredInOrder()
    {
        Rig r;
        installPassThroughSudo(r.root);
        QVERIFY(r.start());
        // The MAC assignment holds the server thread for a second; the three
        // requests behind it are all pending when it returns.
        r.send(request(0x81, "SET_MACADR"));
        r.send(request(0x81, "ETH_REQ"));
        r.send(request(0x81, "GET_MODEL", kMacBytes));
        r.send(request(0x81, "GET_MODEL_NAME", kMacBytes));
        QList<int> sizes;
        QNetworkDatagram d;
        while (sizes.size() < 4 && receive(r.tool, &d, 10000))
            sizes << d.data().size();
        QCOMPARE(sizes, (QList<int>{37, 48, 8, 20}));
    }

    void wrongShapeSettingsGiveNoReply_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("mac");
        QTest::addColumn<QString>("mask");
        QTest::newRow("ip of three parts") << "127.0.0" << kPanelMac << kPanelMask;
        QTest::newRow("ip of five parts") << "127.0.0.5.1" << kPanelMac << kPanelMask;
        QTest::newRow("mac of five parts") << kPanelIp << "b8:27:eb:01:02" << kPanelMask;
        QTest::newRow("null mac") << kPanelIp << QString() << kPanelMask;
        QTest::newRow("mask of three parts") << kPanelIp << kPanelMac << "255.255.255";
        QTest::newRow("no address yet") << QString() << kPanelMac << kPanelMask;
    }
    void wrongShapeSettingsGiveNoReply()
    {
        QFETCH(QString, ip);
        QFETCH(QString, mac);
        QFETCH(QString, mask);
        LogCapture log;
        Rig r;
        installPassThroughSudo(r.root);
        QVERIFY(r.start(ip, mac, mask));
        r.send(request(0x81, "ETH_REQ"));
        r.send(request(0x81, "GET_MODEL", kMacBytes));
        QNetworkDatagram d;
        QVERIFY(!receive(r.tool, &d, 400));
        QTRY_VERIFY(log.contains(QStringLiteral("[WARN] KivoServ: unusable settings")));
        // Corrected values take effect at the next datagram: nothing was
        // left stuck in the socket.
        r.server.setIp(kPanelIp);
        r.server.setMac(kPanelMac);
        r.server.setMask(kPanelMask);
        r.send(request(0x81, "ETH_REQ"));
        QVERIFY(receive(r.tool, &d));
        QCOMPARE(d.data().size(), 48);
        QVERIFY(r.root.calls(QStringLiteral("sudo")).isEmpty());
    }

    void ipv6SenderIsAnswered()
    {
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

    void stopFreesPortAndBindFailureEndsThread()
    {
        LogCapture log;
        {
            Rig r;
            QVERIFY(r.start());
            r.server.stop();
            QVERIFY(r.server.isFinished());
        }
        QVERIFY(log.contains(QStringLiteral("End KIVO Server")));
        QVERIFY(log.contains(QStringLiteral("[KivoServ] thread exiting")));
        QUdpSocket squatter;
        QVERIFY(squatter.bind(QHostAddress::Any, Kivo::kPort, QUdpSocket::DontShareAddress));
        TestSysroot root;
        KivoServ server;
        server.setIp(kPanelIp);
        server.start();
        QVERIFY(server.wait(5000));
        QVERIFY(!server.isListening());
        QVERIFY(log.contains(QStringLiteral("[ERR] Failed to bind UDP socket!")));
    }

    void randomDatagramsNeverHurt()
    {
        LogCapture quiet; // thousands of request lines
        Rig r;
        installPassThroughSudo(r.root);
        QVERIFY(r.start());
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("seed %u", seed);
        QRandomGenerator rng(seed);
        const QByteArray keywords[] = {"ETH_REQ", "GET_MODEL", "GET_MODEL_NAME"};
        int sent = 0;
        const auto randomBytes = [&rng](int n) {
            QByteArray b(n, '\0');
            for (char &c : b)
                c = char(rng.bounded(256));
            return b;
        };
        for (int i = 0; i < 3000; ++i) {
            QByteArray d; // i % 8 == 0: empty
            if (i % 8 == 1)
                d = randomBytes(1);
            else if (i % 8 == 2)
                d = keywords[rng.bounded(3)]; // keyword only
            else if (i % 8 == 3)
                d = randomBytes(int(rng.bounded(12))) + keywords[rng.bounded(3)];
            else if (i % 8 == 4)
                d = QByteArray(int(rng.bounded(1, 9000)), '\0');
            else if (i % 8 > 4)
                d = randomBytes(int(rng.bounded(600)));
            if (i == 1500)
                d = QByteArray(65507, 'E'); // the largest UDP datagram
            if (i == 2000)
                d = "SET_MACADR"; // keyword only: the last six bytes are part of it
            if (r.tool.writeDatagram(d, kServer, Kivo::kPort) == d.size())
                ++sent;
            if (i % 200 == 0)
                QThread::msleep(5); // let the server drain a little; losses are fine
        }
        QVERIFY(sent > 2900);

        // A fresh tool socket so the flood of replies does not get in the way.
        QUdpSocket probe;
        QVERIFY(probe.bind(kTool, 0));
        QNetworkDatagram d;
        bool answered = false;
        for (int attempt = 0; attempt < 20 && !answered; ++attempt) {
            probe.writeDatagram(request(0x81, "ETH_REQ"), kServer, Kivo::kPort);
            answered = receive(probe, &d, 500);
        }
        QVERIFY(answered);
        QCOMPARE(d.data().size(), 48);
        QVERIFY(r.server.isRunning());
    }
};

QTEST_GUILESS_MAIN(TstKivoServ)
#include "tst_kivoserv.moc"
