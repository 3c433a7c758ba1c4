// Media half and update check of net: the meter over loopback TCP and its
// program, command texts through recording stand-ins, capture, the update medium.
#include "netsvc/net.h"
#include "platform/commandrunner.h"
#include "sim/simpiscripts.h"
#include "tests/common/logcapture.h"
#include "tests/common/testsysroot.h"

#include <QtTest>

#include <QBuffer>
#include <QImage>
#include <QProcess>
#include <QTcpSocket>

#include <functional>
#include <thread>

namespace {

void writeScript(const TestSysroot &root, const QString &path, const QByteArray &body)
{
    root.writeFile(path, "#!/bin/sh\n" + body);
    QFile::setPermissions(root.path(path), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QByteArray firmware(quint8 b8, quint8 b9)
{
    return QByteArray(8, 'Z') + char(b8) + char(b9) + QByteArray(54, 'Z');
}

QByteArray smallJpeg()
{
    QImage img(16, 8, QImage::Format_RGB32);
    img.fill(Qt::darkCyan);
    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "JPEG");
    return buf.data();
}

// A meter program's end of the TCP connection.
struct Meter {
    QTcpSocket s;
    bool connect(net &n)
    {
        s.connectToHost(QHostAddress::LocalHost, net::kMeterPort);
        return s.waitForConnected(3000) && QTest::qWaitFor([&] { return n.meterConnectionCount() == 1; }, 3000);
    }
    // One read on the panel's side per frame: wait until it was consumed.
    bool frame(net &n, const QByteArray &hex)
    {
        const int calls = n.meterReadCalls();
        s.write(QByteArray::fromHex(hex));
        s.waitForBytesWritten(1000);
        return QTest::qWaitFor([&] { return n.meterReadCalls() != calls; }, 3000) && n.meterReadCalls() == calls + 1;
    }
};

using Action = std::function<void(net &)>;

} // namespace

Q_DECLARE_METATYPE(Action)

class TstNetMedia : public QObject
{
    Q_OBJECT
private slots:
    void init() { CommandRunner::clearHistory(); }

    // One bar update per 25 reads, from the most common value of each side;
    // reads of another length count but add no sample. Junk of any length on
    // an earlier connection (what reads make of it is fuzzed) hurts nothing.
    void meterOverTcp()
    {
        LogCapture quiet;
        TestSysroot root;
        net n;
        QSignalSpy left(&n, &net::sendLeftBarVal);
        QSignalSpy right(&n, &net::sendRightBarVal);
        {
            Meter junk;
            QVERIFY(junk.connect(n));
            for (int len : {1, 49, 50, 51, 3, 4096})
                junk.s.write(QByteArray(len, '\x11'));
            junk.s.waitForBytesWritten(2000);
            QTRY_VERIFY(n.meterReadCalls() > 0);
            junk.s.disconnectFromHost();
        }
        QTRY_COMPARE(n.meterConnectionCount(), 0);
        Meter m;
        QVERIFY(m.connect(n));
        while (n.meterReadCalls() % 25)
            QVERIFY(m.frame(n, "0101"));
        const int updates = left.count();
        for (int i = 0; i < 25; ++i) {
            QCOMPARE(left.count(), updates);
            QVERIFY(m.frame(n, i % 3 ? "07c8" : "0101"));
        }
        QCOMPARE(left.count(), updates + 1);
        QCOMPARE(int(left.last().at(0).value<unsigned char>()), 7);
        QCOMPARE(int(right.last().at(0).value<unsigned char>()), 200);
        // No samples: both sides 0, nearly equal, so smoothed with 7 and 200.
        for (int i = 0; i < 25; ++i)
            QVERIFY(m.frame(n, "01020304"));
        QCOMPARE(int(left.last().at(0).value<unsigned char>()), 51);
        QCOMPARE(int(right.last().at(0).value<unsigned char>()), 51);
    }

    void barUpdateRule_data()
    {
        // A first update (far apart, so kept) sets the previous values the
        // second is smoothed with: first L, R, then L, R and what comes out.
        QTest::addColumn<QList<int>>("v");
        QTest::newRow("previous 0 and 100") << QList<int>{0, 100, 100, 103, 75, 75};
        QTest::newRow("previous values count") << QList<int>{200, 0, 100, 103, 100, 100};
        QTest::newRow("difference 4 smoothed") << QList<int>{0, 100, 104, 100, 76, 76};
        QTest::newRow("difference 5 kept") << QList<int>{0, 100, 105, 100, 105, 100};
        QTest::newRow("full scale") << QList<int>{255, 0, 255, 255, 191, 191};
    }
    void barUpdateRule()
    {
        QFETCH(QList<int>, v);
        TestSysroot root;
        net n;
        QSignalSpy left(&n, &net::sendLeftBarVal);
        QSignalSpy right(&n, &net::sendRightBarVal);
        n.updatedBuToUI((unsigned char)v[0], (unsigned char)v[1]);
        QCOMPARE(int(left.at(0).at(0).value<unsigned char>()), v[0]);
        n.updatedBuToUI((unsigned char)v[2], (unsigned char)v[3]);
        QCOMPARE(int(left.at(1).at(0).value<unsigned char>()), v[4]);
        QCOMPARE(int(right.at(1).at(0).value<unsigned char>()), v[5]);
    }

    // Started by its timer about 3 s after start-up, restarted only once gone.
    void meterProgramSupervision()
    {
        TestSysroot root;
        writeScript(root, "/home/pi/audio-meter2",
                    "echo \"$*\" >> '" + root.path("/home/pi/meter.args").toLocal8Bit() + "'\nexec sleep 30\n");
        QElapsedTimer t;
        t.start();
        net n;
        QTRY_COMPARE_WITH_TIMEOUT(root.readFile("/home/pi/meter.args"), QByteArray("hw:0 0\n"), 6000);
        QVERIFY(t.elapsed() >= 2700); // a coarse timer may fire up to 5 % early
        QTRY_COMPARE(n.meterProcess()->state(), QProcess::Running);
        n.i2sStart(); // still running: left alone
        QCOMPARE(root.readFile("/home/pi/meter.args"), QByteArray("hw:0 0\n"));
        n.meterProcess()->kill();
        QVERIFY(n.meterProcess()->waitForFinished(3000));
        n.i2sStart(); // gone: started again
        QTRY_COMPARE(root.readFile("/home/pi/meter.args"), QByteArray("hw:0 0\nhw:0 0\n"));
    }

    // The simulated meter program talks to the listener and moves the bars.
    void simulatedMeterProgramDrivesBars()
    {
        TestSysroot root;
        SimPiScripts::Options o;
        o.meterLeft = 0x40;
        o.meterRight = 0x80;
        QVERIFY(SimPiScripts::install(root.root(), o));
        net n;
        QSignalSpy left(&n, &net::sendLeftBarVal);
        QSignalSpy right(&n, &net::sendRightBarVal);
        n.i2sStart();
        QTRY_VERIFY_WITH_TIMEOUT(left.count() >= 2, 10000);
        QCOMPARE(left.at(0).at(0).value<unsigned char>(), (unsigned char)0x40);
        QCOMPARE(right.at(0).at(0).value<unsigned char>(), (unsigned char)0x80);
        QCOMPARE(SimPiScripts::calls(root.root()).value(0), QStringLiteral("/home/pi/audio-meter2 hw:0 0"));
    }

    // Each call's command texts, exactly; %1 stands for the sysroot.
    void commandTexts_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<QStringList>("commands");
        const QList<QPair<int, const char *>> rates{{0, "60000/1000"}, {6, "60000/1000"}, {4, "60000/1000"}, // 4, -1: the default
                                                    {-1, "60000/1000"}, {1, "60000/1001"}, {7, "60000/1001"},
                                                    {2, "50000/1000"},  {8, "50000/1000"}};
        for (const auto &r : rates)
            QTest::addRow("startPgm(%d)", r.first) << Action([sel = r.first](net &n) { n.startPgm(sel); })
                                                   << QStringList{QStringLiteral("sh -c %1/home/pi/preview.x %1/home/pi/720P60EDID.txt ")
                                                                  + r.second + " &"};
        const auto led = [](int num, bool on, const char *args) {
            QTest::addRow("setKeyLed(%d, %d)", num, on)
                << Action([=](net &n) { n.setKeyLed(num, on); })
                << (*args ? QStringList{QStringLiteral("sh -c i2cset -y 3 0x77 ") + args} : QStringList());
        };
        led(0, true, "0x2 0x14");
        led(1, true, "0x2 0x41");
        led(2, true, "0x3 0x14");
        led(3, true, "0x3 0x41");
        led(4, false, "0x2 0x11");
        led(4, true, "0x2 0x11");
        led(5, false, "0x3 0x11");
        led(2, false, "");
        led(6, true, "");
        led(-1, true, "");
        const QStringList speeds{"slow", "mid", "fast"};
        for (int num : {2, 1, 0, 3, -1})
            QTest::addRow("createSpeedNum(%d)", num)
                << Action([num](net &n) { n.createSpeedNum(num); })
                << (speeds.value(num).isEmpty() ? QStringList() : QStringList{"sh -c touch %1/home/pi/" + speeds.value(num)});
        QTest::newRow("setAudioValue") << Action([](net &n) { n.setAudioValue(0, 10, 255, 1, 2, 3); })
                                       << QStringList{"sh -c sudo %1/home/pi/lm1972.sh 00 0a ff 01 02 03 &"};
        // Only two hex digits per level are granted to run as root.
        QTest::newRow("setAudioValue out of range") << Action([](net &n) { n.setAudioValue(-1, 256, 4095, 1, 2, 3); })
                                                    << QStringList{"sh -c sudo %1/home/pi/lm1972.sh 00 ff ff 01 02 03 &"};
        QTest::newRow("stopPgm") << Action([](net &n) { n.stopPgm(); }) << QStringList{"sh -c sudo pkill preview.x"};
        QTest::newRow("initEdid") << Action([](net &n) { n.initEdid(); })
                                  << QStringList{"sh -c v4l2-ctl --set-edid=file=%1/home/pi/yavta/720P60EDID.txt"};
    }
    void commandTexts()
    {
        QFETCH(Action, action);
        QFETCH(QStringList, commands);
        TestSysroot root;
        root.addStandIn("v4l2-ctl");
        net n;
        action(n);
        QCOMPARE(CommandRunner::history(), commands.replaceInStrings(QStringLiteral("%1"), root.root()));
    }

    // The display reset is a low pulse of at least half a second, measured on
    // the panel's side: a stand-in's own start-up delay is no part of it.
    void scriptsPulsesAndMarkers()
    {
        TestSysroot root;
        root.addStandIn("ffmpeg");
        for (const char *s : {"/home/pi/checkpin.sh", "/home/pi/server.sh", "/home/pi/play.sh", "/home/pi/yavta/test.sh"})
            writeScript(root, s, "echo \"[$*]\" >> '" + root.path(s).toLocal8Bit() + ".args'\n");
        writeScript(root, "/home/pi/cap.sh", "sleep 0.3\ntouch '" + root.path("/home/pi/output.jpg").toLocal8Bit() + "'\n");
        net n;
        n.setDisplay();
        QCOMPARE(CommandRunner::history(), QStringList({"sh -c gpio -g write 7 0", "sh -c gpio -g write 7 1"}));
        const auto gpio = CommandRunner::timedHistory();
        QVERIFY2(gpio.at(1).first - gpio.at(0).first >= 490, qPrintable(QString::number(gpio.at(1).first - gpio.at(0).first)));
        QVERIFY(!n.checkLiveEn());
        root.writeFile("/home/pi/x", "");
        QVERIFY(n.checkLiveEn());
        n.stopStream(); // waits for the capture script
        QVERIFY(QFile::exists(root.path("/home/pi/output.jpg")));

        CommandRunner::clearHistory();
        n.startCheckpin();
        n.startServer();
        // No shell: the script gets "&" as its argument.
        QTRY_COMPARE(root.readFile("/home/pi/server.sh.args"), QByteArray("[&]\n"));
        QElapsedTimer t;
        t.start();
        n.startLive();
        QVERIFY(t.elapsed() >= 1000);
        n.recFfmpeg();
        QCOMPARE(CommandRunner::history(),
                 QStringLiteral("sh -c sudo pkill checkpin.sh|sh -c %1/home/pi/checkpin.sh &|%1/home/pi/server.sh &|"
                                "sh -c %1/home/pi/yavta/test.sh|sh -c ffmpeg -i file.h264 -c copy %1/home/pi/yavta/x.mp4|"
                                "sh -c ffmpeg -i x.mp4 -ss 00:00:01 -vframes 1 %1/home/pi/yavta/output.png|"
                                "sh -c touch %1/home/pi/c.txt|sh -c %1/home/pi/play.sh &|sh -c touch %1/home/pi/d.txt")
                     .arg(root.root())
                     .split('|'));
    }

    void keyImage_data()
    {
        QTest::addColumn<int>("markerAfterMs"); // -1: never
        QTest::addColumn<QByteArray>("capture"); // null: missing
        QTest::addColumn<bool>("ok");
        QTest::newRow("stored") << 0 << smallJpeg() << true;
        QTest::newRow("marker comes late") << 400 << smallJpeg() << true;
        QTest::newRow("marker never comes") << -1 << smallJpeg() << false;
        QTest::newRow("not a JPEG") << 0 << QByteArray("GIF89a....") << false;
        QTest::newRow("missing") << 0 << QByteArray() << false;
        QTest::newRow("JPEG cut short") << 0 << smallJpeg().left(40) << false;
        QTest::newRow("copy fails, old file there") << 0 << smallJpeg() << false;
    }
    void keyImage()
    {
        QFETCH(int, markerAfterMs);
        QFETCH(QByteArray, capture);
        QFETCH(bool, ok);
        const bool cpFails = QByteArray(QTest::currentDataTag()).startsWith("copy fails");
        TestSysroot root;
        if (cpFails) {
            root.addStandIn("cp", "", 1);
            root.writeFile("/home/pi/output_12.jpg", "old picture");
        }
        if (markerAfterMs == 0)
            root.writeFile("/home/pi/x", "");
        if (!capture.isNull())
            root.writeFile("/home/pi/output.jpg", capture);
        const QString marker = root.path("/home/pi/x");
        std::thread late([marker, markerAfterMs] {
            if (markerAfterMs > 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(markerAfterMs));
                QFile(marker).open(QIODevice::WriteOnly);
            }
        });
        net n;
        QSignalSpy update(&n, &net::sendImageKeyUpdate);
        QElapsedTimer t;
        t.start();
        QCOMPARE(n.capImageKey(1, 2), ok);
        late.join();
        if (markerAfterMs != 0) {
            const qint64 least = markerAfterMs > 0 ? markerAfterMs - 50 : net::kLiveWaitMs - 100;
            QVERIFY2(t.elapsed() >= least && t.elapsed() < least + 2000, qPrintable(QString::number(t.elapsed())));
        }
        QCOMPARE(update.count(), ok ? 1 : 0);
        if (ok) {
            QCOMPARE(update.at(0).at(0).toInt(), 2);
            QCOMPARE(root.readFile("/home/pi/output_12.jpg"), smallJpeg());
            QCOMPARE(CommandRunner::history(), QStringList{"sh -c cp " + root.path("/home/pi/output.jpg") + " "
                                                           + root.path("/home/pi/output_12.jpg")});
        } else if (!cpFails) {
            QVERIFY(!QFile::exists(root.path("/home/pi/output_12.jpg")));
        }
        if (markerAfterMs < 0)
            QVERIFY(CommandRunner::history().isEmpty());
    }

    void updateCheck_data()
    {
        QTest::addColumn<QByteArray>("versionFile"); // null: absent
        QTest::addColumn<QByteArray>("firmwareFile");
        QTest::addColumn<QStringList>("signalled"); // application and firmware versions
        QTest::newRow("only firmware") << QByteArray() << firmware(0x21, 0x07) << QStringList();
        QTest::newRow("both") << QByteArray("1.2.3\nnotes\n") << firmware(0x21, 0x07) << QStringList{"1.2.3", "1.7"};
        QTest::newRow("empty first line, no firmware") << QByteArray("\n2.0\n") << QByteArray() << QStringList();
        QTest::newRow("only version") << QByteArray("2.1.0\r\n") << QByteArray() << QStringList{"2.1.0", ""};
        QTest::newRow("empty first line, firmware") << QByteArray("\n") << firmware(1, 5) << QStringList{"", "1.5"};
        QTest::newRow("nothing") << QByteArray() << QByteArray() << QStringList();
        // The firmware version: the high nibble of byte 8 (0 stays 0), then byte 9.
        QTest::newRow("firmware 0x12 0x00") << QByteArray("1.0\n") << firmware(0x12, 0x00) << QStringList{"1.0", "2.0"};
        QTest::newRow("firmware 0x00 0x09") << QByteArray("1.0\n") << firmware(0x00, 0x09) << QStringList{"1.0", "0.9"};
        QTest::newRow("firmware 0xFF 0xFF") << QByteArray("1.0\n") << firmware(0xFF, 0xFF) << QStringList{"1.0", "15.255"};
        QTest::newRow("firmware of 10 bytes") << QByteArray("1.0\n") << firmware(1, 5).left(10) << QStringList{"1.0", ""};
        QTest::newRow("stale copy ignored") << QByteArray("2.0.0\n") << QByteArray() << QStringList();
    }
    void updateCheck()
    {
        QFETCH(QByteArray, versionFile);
        QFETCH(QByteArray, firmwareFile);
        QFETCH(QStringList, signalled);
        // The copy fails and an earlier one is left: it is not read.
        const bool staleCopy = QByteArray(QTest::currentDataTag()) == "stale copy ignored";
        TestSysroot root;
        if (!versionFile.isNull())
            root.writeFile("/mnt/tervana/version.txt", versionFile);
        if (!firmwareFile.isNull())
            root.writeFile("/mnt/tervana/tavrik/ZARVOHD.bin", firmwareFile);
        if (staleCopy) {
            root.addStandIn("cp", "", 1);
            root.writeFile("/home/pi/version.txt", "9.9.9\n");
        }
        net n;
        QSignalSpy ver(&n, &net::sendAppVer);
        n.checkNewApp();
        QCOMPARE(ver.count(), signalled.isEmpty() ? 0 : 1);
        QCOMPARE(root.calls("sudo"), signalled.isEmpty() ? QStringList() : QStringList{"pkill preview.x"});
        if (!signalled.isEmpty())
            QCOMPARE(ver.at(0), (QVariantList{signalled[0], signalled[1]}));
        if (!staleCopy && !versionFile.isNull())
            QCOMPARE(root.readFile("/home/pi/version.txt"), versionFile);
    }

    void upgradeProgram_data()
    {
        QTest::addColumn<QByteArray>("script"); // null: no program
        QTest::addColumn<QStringList>("logged");
        QTest::newRow("exit 3") << QByteArray("echo upgrading\nexit 3\n")
                                << QStringList{"Script started!", "Script finished with code 3",
                                               "Upgrade script completed successfully.", "update: upgrading"};
        QTest::newRow("crash") << QByteArray("kill -9 $$\n") << QStringList{"Script started!", "Process error:", "Upgrade script crashed."};
        QTest::newRow("missing") << QByteArray() << QStringList{"Process error:"};
    }
    void upgradeProgram()
    {
        QFETCH(QByteArray, script);
        QFETCH(QStringList, logged);
        TestSysroot root;
        if (!script.isNull())
            writeScript(root, "/mnt/tervana/update", script);
        net n;
        LogCapture log;
        n.upgradeApp();
        for (const QString &l : logged)
            QTRY_VERIFY2(log.contains(l), qPrintable(l + " | " + log.messages().join(" | ")));
        // The update program's process is cleaned up; only the meter's may stay.
        QTRY_COMPARE(n.findChildren<QProcess *>().count() - n.findChildren<QProcess *>().count(n.meterProcess()), 0);
        QCOMPARE(CommandRunner::history(), QStringList{root.path("/mnt/tervana/update")});
    }
};

QTEST_GUILESS_MAIN(TstNetMedia)
#include "tst_netmedia.moc"
