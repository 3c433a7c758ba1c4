// Hostile peers, damaged files and chattering lines, one test per fault:
// real loopback sockets, pseudo-terminals and the simulated unit.
#include "camera/serialport.h"
#include "camera/vekcameraobject.h"
#include "mainboard/zarvomu.h"
#include "mbUpgrade/mbupgradeworker.h"
#include "mbUpgrade/upgradecontroller.h"
#include "netsvc/kivoserv.h"
#include "maint/rpitool.h"
#include "netsvc/net.h"
#include "platform/commandrunner.h"
#include "platform/threadcheck.h"
#include "sim/mbimage.h"
#include "sim/simmainboard.h"
#include "switcher/commandexecobject.h"
#include "tests/common/logcapture.h"
#include "tests/common/testsysroot.h"
#include "ui/devicelines.h"

#include <QtTest>

#include <QSerialPort>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

#include <arpa/inet.h>
#include <ctime>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

namespace {

const QString kImage = QStringLiteral("/mnt/tervana/tavrik/ZARVOHD.bin");

qint64 cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

// A mainboard frame with its checksum.
QByteArray frame(const char *hex)
{
    const QByteArray f = QByteArray::fromHex(hex);
    return f + char(zarvoMuCommandPacks::calcCheckSumByte(f));
}

quint16 freeUdpPort()
{
    QUdpSocket s;
    s.bind(QHostAddress(QHostAddress::LocalHost), 0);
    return s.localPort();
}

} // namespace

using Setup = std::function<void(SimMainboard &, TestSysroot &, UpgradeController &)>;
Q_DECLARE_METATYPE(Setup)

class TstRobust : public QObject
{
    Q_OBJECT
private slots:
    void meterPeerPolicy_data()
    {
        QTest::addColumn<QString>("peer");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("loopback") << "127.0.0.9" << true;
        QTest::newRow("v6 loopback") << "::1" << true;
        QTest::newRow("own address, v4-mapped") << "::ffff:192.168.100.104" << true;
        QTest::newRow("LAN host") << "192.168.100.20" << false;
        QTest::newRow("none") << "" << false;
    }
    void meterPeerPolicy()
    {
        QFETCH(QString, peer);
        QFETCH(bool, allowed);
        QCOMPARE(net::meterPeerAllowed(QHostAddress(peer), {QHostAddress(QStringLiteral("192.168.100.104"))}), allowed);
    }

    // Out of descriptors, hundreds of connections: accept failures do not
    // spin, extras are closed at once, and the meter comes back afterwards.
    void meterUnderDescriptorPressure()
    {
        TestSysroot sys;
        LogCapture log;
        net n;
        QVERIFY(n.isMeterListening());
        // The undefined-behaviour sanitizer needs a pipe the first time it
        // checks a call on a type: out of descriptors it takes the
        // listener's sound notifier call for a bad one. Met once first.
        auto *probe = new QSocketNotifier(STDERR_FILENO, QSocketNotifier::Write);
        probe->setEnabled(false);
        delete probe;
        rlimit old{};
        getrlimit(RLIMIT_NOFILE, &old);
        const rlimit low{rlim_t(QDir(QStringLiteral("/proc/self/fd")).count() + 200), old.rlim_max};
        QCOMPARE(setrlimit(RLIMIT_NOFILE, &low), 0);
        QList<int> clients;
        const auto release = [&] {
            for (int fd : qAsConst(clients))
                ::close(fd);
            clients.clear();
            setrlimit(RLIMIT_NOFILE, &old);
        };
        const auto onExit = qScopeGuard(release);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(net::kMeterPort);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (int i = 0; i < 300; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            if (fd >= 0) {
                ::connect(fd, reinterpret_cast<sockaddr *>(&to), sizeof to);
                clients << fd;
            }
            if (i % 20 == 0)
                QCoreApplication::processEvents();
        }
        const qint64 cpu = cpuMs();
        QTest::qWait(1000);
        QVERIFY2(cpuMs() - cpu < 300, qPrintable(QString::number(cpuMs() - cpu)));
        QVERIFY(n.meterConnectionCount() <= net::kMeterMaxConnections);
        release();
        QVERIFY(log.contains(QStringLiteral("audio meter listener: accept failed")));

        QSignalSpy left(&n, &net::sendLeftBarVal);
        QTcpSocket meter;
        meter.connectToHost(QHostAddress::LocalHost, net::kMeterPort);
        // not a blocking wait: the listener shares this thread
        QTRY_COMPARE_WITH_TIMEOUT(meter.state(), QAbstractSocket::ConnectedState, 10000);
        for (int i = 0; i < 25; ++i) {
            const int calls = n.meterReadCalls();
            meter.write(QByteArray::fromHex("0a14"));
            meter.flush();
            QTRY_VERIFY_WITH_TIMEOUT(n.meterReadCalls() > calls, 5000);
        }
        QCOMPARE(left.size(), 1);
        QCOMPARE(left.at(0).at(0).value<unsigned char>(), static_cast<unsigned char>(10));
    }

    // The image is checked and held in memory before the board is touched,
    // and the erase answer is compared.
    void firmwareImage_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("erases");
        QTest::addColumn<QString>("logged");
        QTest::newRow("bytes beyond the packets") << Setup([](SimMainboard &, TestSysroot &s, UpgradeController &) {
            s.writeFile(kImage, s.readFile(kImage) + "x");
        }) << false << 0 << "[ERR] image holds 1 bytes beyond its 3 packets";
        QTest::newRow("wrong erase answer") << Setup([](SimMainboard &mb, TestSysroot &, UpgradeController &) {
            mb.setBootLoaderFailure(SimMainboard::WrongEraseAck);
        }) << false << 1 << "[ERR] Erase fail 03 63 31 04";
        QTest::newRow("medium pulled after the erase")
            << Setup([](SimMainboard &, TestSysroot &s, UpgradeController &c) {
                   QObject::connect(&c, &UpgradeController::logMessage, [&s](const QString &m) {
                       if (m == QLatin1String("Start"))
                           QFile::remove(s.path(kImage));
                   });
               })
            << true << 1 << "Packet number : 3";
    }
    void firmwareImage()
    {
        QFETCH(Setup, setup);
        QFETCH(bool, ok);
        QFETCH(int, erases);
        QFETCH(QString, logged);
        TestSysroot sys;
        LogCapture log;
        SimMainboard mb;
        QSerialPort port;
        QVERIFY(zarvoMu::openLine(port, QStringLiteral("ttyAMA2")));
        MbImage img;
        img.packets = MbImage::makePackets(3, 40);
        QVERIFY(sys.writeFile(kImage, img.toBytes()));
        mb.expectImage(img.toBytes());
        UpgradeController ctl;
        MBUpgradeWorker::Timing t;
        t.ioWaitMs = t.eraseWaitMs = 300; // time enough to pull the medium out
        t.breakMs = t.settleMs = 20;
        ctl.setTiming(t);
        QSignalSpy finished(&ctl, &UpgradeController::upgradeFinished);
        setup(mb, sys, ctl);
        QVERIFY(ctl.startUpgrade(port, sys.path(kImage)));
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
        QCOMPARE(finished.at(0).at(0).toBool(), ok);
        QCOMPARE(mb.counters().erases, erases);
        QCOMPARE(mb.bootPackets(), ok ? img.packets : QList<QByteArray>());
        QVERIFY2(log.contains(logged), qPrintable(log.lines().join('\n')));
    }

    // A peer at the camera's address that never stops sending, fast or in a
    // trickle, is cut off; only an excerpt of its body is logged.
    void lowerVideoFormatReplyBounded_data()
    {
        QTest::addColumn<int>("chunk");
        QTest::addColumn<int>("everyMs");
        QTest::newRow("endless body") << 16384 << 5;
        QTest::newRow("trickle") << 8 << 200;
    }
    void lowerVideoFormatReplyBounded()
    {
        QFETCH(int, chunk);
        QFETCH(int, everyMs);
        LogCapture log;
        QTcpServer peer;
        QVERIFY(peer.listen(QHostAddress::LocalHost));
        QPointer<QTcpSocket> conn;
        QTimer feed;
        connect(&peer, &QTcpServer::newConnection, [&] {
            (conn = peer.nextPendingConnection())->write("HTTP/1.1 200 OK\r\n\r\n");
            feed.start(everyMs);
        });
        connect(&feed, &QTimer::timeout, [&] { conn->write(QByteArray(chunk, 'x')); });
        vekCameraObject cam;
        QSignalSpy done(&cam, &vekCameraObject::finished);
        QElapsedTimer t;
        t.start();
        cam.setLowerVideoFormat(QStringLiteral("127.0.0.1:%1").arg(peer.serverPort()));
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, vekCameraObject::HttpTotalMs + 3000);
        QVERIFY(t.elapsed() < vekCameraObject::HttpTotalMs + 1000);
        QTRY_VERIFY(conn->state() != QAbstractSocket::ConnectedState);
        const QStringList body = log.matching(QStringLiteral("onfinish....... str:"));
        QVERIFY(body.size() == 1 && body.at(0).size() < vekCameraObject::HttpLogExcerpt + 40);
    }

    // Where no file can be made beside /etc/dhcpcd.conf (the panel is not
    // root), the new content is staged and moved into place with root's
    // rights; the file itself is never rewritten. As root the test runs
    // itself as nobody.
    void dhcpcdConfNeverRewrittenInPlace()
    {
        if (geteuid() == 0) {
            QProcess child;
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start(QStringLiteral("setpriv"), {"--reuid=65534", "--regid=65534", "--clear-groups",
                                                    QCoreApplication::applicationFilePath(), QTest::currentTestFunction()});
            if (!child.waitForStarted(5000))
                QSKIP("setpriv is not available");
            QVERIFY(child.waitForFinished(60000));
            QVERIFY2(child.exitCode() == 0, child.readAll().constData());
            return;
        }
        TestSysroot sys;
        sys.addStandIn(QStringLiteral("sync"));
        const QByteArray before = "hostname\nclientid\n";
        sys.writeFile(QStringLiteral("/etc/dhcpcd.conf"), before);
        sys.writeFile(QStringLiteral("/etc/resolv.conf"), "nameserver 127.0.0.53\n");
        QVERIFY(::chmod(QFile::encodeName(sys.path(QStringLiteral("/etc"))).constData(), 0555) == 0);
        net n;
        n.setStaticIpMaskGateway(QStringLiteral("127.0.0.5"), QStringLiteral("255.255.255.0"),
                                 QStringLiteral("127.0.0.1"));
        ::chmod(QFile::encodeName(sys.path(QStringLiteral("/etc"))).constData(), 0755);
        QCOMPARE(sys.readFile(QStringLiteral("/etc/dhcpcd.conf")), before);
        // The block's own text: tst_netsettings.
        QVERIFY(sys.readFile(QStringLiteral("/home/pi/dhcpcd.conf")).startsWith(before + "# BEGIN CUSTOM\n"));
        const QString etc = sys.path(QStringLiteral("/etc/dhcpcd.conf"));
        QCOMPARE(sys.calls(QStringLiteral("sudo")),
                 QStringList({"cp -P " + sys.path(QStringLiteral("/home/pi/dhcpcd.conf")) + ' ' + etc + ".new",
                              "mv " + etc + ".new " + etc}));
        QCOMPARE(sys.calls(QStringLiteral("sync")), QStringList({etc + ".new", sys.path(QStringLiteral("/etc"))}));
    }

    // Replies that can never become the expected frame end the read at once;
    // a newer frame behind a stale one is found in the bytes received.
    void mainboardReadsStopOnImpossibleReplies_data()
    {
        QTest::addColumn<bool>("pip");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("ok");
        const QByteArray status = frame("0900EE216B03120500");
        QTest::newRow("status, stray byte") << false << status + '\x00' << false;
        QTest::newRow("pip settings, stray byte") << true << frame("0B01C90102030405060708") + '\x00' << false;
        QTest::newRow("stale status, then the answer") << false << frame("0900EE000000000000") + status << true;
    }
    void mainboardReadsStopOnImpossibleReplies()
    {
        QFETCH(bool, pip);
        QFETCH(QByteArray, reply);
        QFETCH(bool, ok);
        TestSysroot sys;
        SimMainboard mb;
        QSerialPort port;
        QVERIFY(zarvoMu::openLine(port, QStringLiteral("ttyAMA2")));
        zarvoMu link(nullptr, &port);
        mb.injectReply(reply);
        bool done = false;
        QElapsedTimer t;
        t.start();
        if (pip)
            link.readPipUserParam(done);
        else
            QCOMPARE(int(link.requestStatus(done).pgmSource), ok ? 1 : 0);
        QCOMPARE(done, ok);
        QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
    }

    // A version file is a short line: a huge one is neither copied nor read.
    void versionFileBounded()
    {
        TestSysroot sys;
        QFile f(sys.path(QStringLiteral("/mnt/tervana/version.txt")));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(8 << 20)); // sparse, no line break
        f.close();
        net n;
        QSignalSpy found(&n, &net::sendAppVer);
        n.checkNewApp();
        QCOMPARE(found.size(), 0);
        QVERIFY(!QFile::exists(sys.path(QStringLiteral("/home/pi/version.txt"))));
    }

    // A device that keeps sending on an idle line: what Qt holds stays
    // bounded, and the idle line is emptied.
    void idleSerialLinesBoundedAndDrained_data()
    {
        QTest::addColumn<bool>("camera");
        QTest::newRow("camera line") << true;
        QTest::newRow("mainboard line") << false;
    }
    void idleSerialLinesBoundedAndDrained()
    {
        QFETCH(bool, camera);
        TestSysroot sys;
        SimMainboard chatter(camera ? QStringLiteral("ttyAMA0") : QStringLiteral("ttyAMA2"));
        serialPort cam;
        std::unique_ptr<commandExecObject> model;
        QSerialPort *line = cam.port();
        if (camera) {
            QVERIFY(cam.openSerialPort(QStringLiteral("ttyAMA0")).contains(QLatin1String("OK")));
        } else {
            model.reset(new commandExecObject);
            line = model->mainboardLink()->serialPort_;
        }
        qint64 most = 0;
        for (int i = 0; i < 40; ++i) {
            chatter.writeRaw(QByteArray(2048, '\xA5'));
            QTest::qWait(25);
            most = qMax(most, line->bytesAvailable());
        }
        QVERIFY2(most <= 4096, qPrintable(QString::number(most)));
        QTRY_COMPARE(line->bytesAvailable(), qint64(0));
    }

    // SET_MACADR leaves /boot read-only; a flood of datagrams with unusable
    // settings gives one warning.
    void discoveryServer()
    {
        TestSysroot sys;
        sys.addStandIn(QStringLiteral("sync"));
        sys.writeFile(QStringLiteral("/boot/config.txt"), "force_mac_address=b8:27:eb:01:02:03\n");
        LogCapture log;
        KivoServ server;
        const quint16 port = freeUdpPort();
        server.setPort(port);
        server.setIp(QStringLiteral("127.0.0"));
        server.start();
        QTRY_VERIFY(server.isListening());
        QUdpSocket tool;
        QVERIFY(tool.bind(QHostAddress(QHostAddress::LocalHost), 0));
        const QByteArray eth = QByteArray::fromHex("00008100") + "ETH_REQ";
        for (int burst = 0; burst < 10; ++burst) {
            for (int i = 0; i < 20; ++i)
                tool.writeDatagram(eth, QHostAddress::LocalHost, port);
            QTest::qWait(30);
        }
        server.setIp(QStringLiteral("127.0.0.5"));
        server.setMac(QStringLiteral("b8:27:eb:01:02:03"));
        server.setMask(QStringLiteral("255.255.255.0"));
        CommandRunner::clearHistory();
        tool.writeDatagram(QByteArray::fromHex("00008100") + "SET_MACADR" + QByteArray(6, '\x02'), QHostAddress::LocalHost,
                           port);
        QVERIFY(tool.waitForReadyRead(10000));
        QCOMPARE(log.count(QStringLiteral("[WARN] KivoServ: unusable settings")), 1);
        QCOMPARE(CommandRunner::history().last(),
                 "sh -c sudo mount -o ro,remount " + sys.path(QStringLiteral("/boot")));
        server.stop();
    }

    // The T-bar write and the status refresh take the mainboard lock: from
    // a change handler inside a locked exchange they are refused, not sent
    // in the middle of it.
    void tbarAndRefreshTakeTheLock_data()
    {
        QTest::addColumn<bool>("tbar");
        QTest::newRow("writeTbar") << true;
        QTest::newRow("refreshStatus2") << false;
    }
    void tbarAndRefreshTakeTheLock()
    {
        QFETCH(bool, tbar);
        TestSysroot sys;
        LogCapture log;
        SimMainboard mb;
        commandExecObject model;
        QMetaObject::Connection c = connect(&model, &commandExecObject::autoModeChanged, [&] {
            QObject::disconnect(c);
            tbar ? model.writeTbar(500) : model.refreshStatus2();
        });
        mb.clearReceived();
        QVERIFY(model.autoTrans(0));
        QCOMPARE(mb.receivedFrames(), QList<QByteArray>{frame("0400C600")});
        QVERIFY(log.contains(QStringLiteral("refused: re-entered while this thread holds the mainboard lock")));
    }

    // Each lane's object reports a call from another thread at the call,
    // and takes calls from its home again once the lanes have stopped.
    void laneObjectsCheckTheirCaller()
    {
        if (!threadcheck::enabled())
            QSKIP("owner checks are compiled out of this build");
        TestSysroot sys;
        static QStringList fired;
        fired.clear();
        const auto previous = threadcheck::setFailureHandler(
            [](const char *where, const QObject *) { fired << QString::fromLatin1(where); });
        commandExecObject board;
        vekCameraObject cams;
        net netObj;
        RpiTool rpi;
        DeviceLines lines(&board, &cams, &netObj, &rpi);
        const auto callAll = [&] {
            board.cutTrans();
            cams.camPowerInq(0);
            netObj.setCorrectionValue(1);
            rpi.checkfileExist(QStringLiteral("file:///none"));
        };
        callAll();
        const QStringList fromOutside = fired;
        lines.stop();
        callAll();
        threadcheck::setFailureHandler(previous);
        QCOMPARE(fired, fromOutside);
        for (const char *op : {"::cutTrans", "::camPowerInq", "::setCorrectionValue", "::checkfileExist"})
            QVERIFY2(!fromOutside.filter(QLatin1String(op)).isEmpty(), qPrintable(fromOutside.join('\n')));
    }

    // Results come back while their context is destroyed on its own thread:
    // a result reaches a live context or none at all.
    void laneResultsNeverReachADeadContext()
    {
        // More lanes than cores: a lane is preempted between its look at
        // the context and its post now and then.
        QObject workers[4];
        std::vector<std::unique_ptr<DeviceLane<QObject>>> lanes;
        for (QObject &w : workers)
            lanes.push_back(std::make_unique<DeviceLane<QObject>>("results", &w));
        int late = 0;
        int delivered = 0;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 1500) {
            auto *context = new QObject;
            auto alive = std::make_shared<bool>(true);
            for (auto &lane : lanes)
                for (int i = 0; i < 4; ++i)
                    lane->post([](QObject &) { return 0; }, context, [alive, &late, &delivered](int) {
                        ++delivered;
                        late += *alive ? 0 : 1;
                    });
            if (lanes.front()->pending() > 2)
                QCoreApplication::processEvents();
            *alive = false;
            delete context;
            QCoreApplication::processEvents();
        }
        lanes.clear();
        QCoreApplication::processEvents();
        QCOMPARE(late, 0);
        QVERIFY(delivered > 0);
    }
};

QTEST_MAIN(TstRobust)
#include "tst_robust.moc"
