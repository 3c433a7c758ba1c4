// The real panel program in a child process, alone and against the whole
// simulated unit; the unit's window (offscreen): its controls work the unit
// (the keys as the panel sees them) and the unit's state shows in it; and the
// run-panel set-up, on its own virtual display, listens on loopback only.
#include "sim/simcamera.h"
#include "sim/simcommands.h"
#include "sim/simconverter.h"
#include "sim/simkeys.h"
#include "sim/simmainboard.h"
#include "sim/simunit.h"
#include "sim/ui/simunitmodel.h"
#include "sim/ui/simwindow.h"
#include "tests/common/notifyreceiver.h"
#include "tests/common/testsysroot.h"

#include <QtTest>

#include <QGuiApplication>
#include <QProcess>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStandardPaths>

namespace {
const QByteArray kCutFrame = QByteArray::fromHex("0400C601CB");

// Items a Repeater made are in the visual tree only, not among QObject children.
QQuickItem *findItem(QQuickItem *in, const QString &name)
{
    if (in->objectName() == name)
        return in;
    for (QQuickItem *child : in->childItems())
        if (QQuickItem *found = findItem(child, name))
            return found;
    return nullptr;
}

QPoint centre(QQuickItem *item) { return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint(); }

// Everything a test needs: a unit, its model and window.
struct Rig
{
    TestSysroot sys;
    SimUnit unit{sys.root()};
    SimCommands commands{unit};
    SimUnitModel model{unit, commands};
    QQmlApplicationEngine engine;
    QQuickWindow *window = openSimWindow(engine, model);

    QQuickItem *item(const QString &name) const { return findItem(window->contentItem(), name); }
    // Drags the T-bar handle from one end to the other, as a hand would.
    void dragTbar()
    {
        QQuickItem *bar = item(QStringLiteral("tbar"));
        const QPoint bottom = bar->mapToScene(QPointF(bar->width() / 2, bar->height() - 2)).toPoint();
        QTest::mousePress(window, Qt::LeftButton, {}, bottom);
        for (int dy = 0; dy <= int(bar->height()); dy += 10)
            QTest::mouseMove(window, bottom - QPoint(0, dy), 20);
        QTest::mouseRelease(window, Qt::LeftButton, {}, bottom - QPoint(0, int(bar->height())));
    }
};

bool isLoopback(const QByteArray &hex) // the kernel's byte order: an IPv4 address's first octet comes last
{
    return hex.size() == 8 ? hex.endsWith("7F")
                           : hex == "00000000000000000000000001000000" // ::1
                                 || (hex.startsWith("0000000000000000FFFF0000") && hex.endsWith("7F"));
}

// "proto address:port" of each listening socket of a process and all its
// descendants; those not on loopback go to `outside` as well.
QStringList listeners(qint64 rootPid, QStringList *outside)
{
    QMultiHash<qint64, qint64> children;
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList({"[0-9]*"}, QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (stat.open(QIODevice::ReadOnly)) {
            const QByteArray s = stat.readAll();
            children.insert(s.mid(s.lastIndexOf(')') + 2).split(' ').value(1).toLongLong(), pid.toLongLong());
        }
    }
    QSet<QByteArray> inodes;
    for (QList<qint64> todo{rootPid}; !todo.isEmpty();) {
        const qint64 pid = todo.takeFirst();
        todo << children.values(pid);
        for (const QFileInfo &fd : QDir(QStringLiteral("/proc/%1/fd").arg(pid)).entryInfoList(QDir::System)) {
            const QString target = fd.symLinkTarget().section(QLatin1Char('/'), -1);
            if (target.startsWith(QLatin1String("socket:[")))
                inodes << target.mid(8, target.size() - 9).toLatin1();
        }
    }
    QStringList all;
    for (const char *proto : {"tcp", "tcp6", "udp", "udp6"}) {
        QFile f(QStringLiteral("/proc/net/") + QLatin1String(proto));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : f.readAll().split('\n').mid(1)) {
            const QList<QByteArray> c = line.simplified().split(' ');
            // TCP listens in state 0A; an unconnected UDP socket (07) takes any sender.
            if (c.size() < 10 || !inodes.contains(c[9]) || c[3] != (proto[0] == 't' ? "0A" : "07"))
                continue;
            const QList<QByteArray> local = c[1].split(':');
            all << QStringLiteral("%1 %2:%3").arg(QLatin1String(proto), QLatin1String(local[0])).arg(local[1].toInt(nullptr, 16));
            if (!isLoopback(local[0]))
                *outside << all.last();
        }
    }
    return all;
}
} // namespace

class TstUnit : public QObject
{
    Q_OBJECT
private slots:
    // The program alone under an empty sysroot, with the caller's
    // QT_QPA_PLATFORM set to "offscreen".
    void startAlone_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("logged"); // once, but for Qt's own words
        QTest::addColumn<int>("exitCode");      // -1: keeps running, -2: either
        const QStringList offscreen{"-platform", "offscreen"};
        // The entry is a debug line in the handler's shape.
        QTest::newRow("runs and logs its platform") << TAVRIK_BIN << offscreen
                                                    << QByteArray("[D]    : Platform \"offscreen\"\n\n") << -1;
        QTest::newRow("broken root page exits -1") << TAVRIK_BROKEN_BIN << offscreen
                                                   << QByteArray("root page failed to load") << 255;
        // Without -platform the program ignores the caller's variable and
        // insists on the framebuffer, which this machine does not have: the
        // plug-in fails in Qt's own way (or, with a framebuffer, it runs there).
        QTest::newRow("caller's platform overridden") << TAVRIK_BIN << QStringList() << QByteArray("linuxfb") << -2;
    }
    void startAlone()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        QFETCH(QByteArray, logged);
        QFETCH(int, exitCode);
        TestSysroot sys;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start(program, args);
        QVERIFY(p.waitForStarted());
        QByteArray err;
        QTRY_VERIFY_WITH_TIMEOUT((err += p.readAllStandardError()).contains(logged) || p.state() == QProcess::NotRunning,
                                 20000);
        if (exitCode == -1) {
            QTest::qWait(300);
            QCOMPARE(p.state(), QProcess::Running);
        } else if (exitCode >= 0) {
            QVERIFY(p.state() == QProcess::NotRunning || p.waitForFinished(20000));
            QCOMPARE(p.exitStatus(), QProcess::NormalExit);
            QCOMPARE(p.exitCode(), exitCode);
        }
        p.kill();
        p.waitForFinished();
        err += p.readAllStandardError();
        QVERIFY2(exitCode == -2 ? err.contains(logged) : err.count(logged) == 1, err.constData());
        QVERIFY2(args.size() == 2 || !err.contains("Platform \"offscreen\""), err.constData());
    }

    // The real panel program, started as tavrik-sim starts it, under a service
    // manager with a 600 ms watchdog.
    void panelProcessMeetsTheUnit()
    {
        TestSysroot sys;
        SimUnit unit(sys.root());
        QVERIFY2(unit.isUp(), qPrintable(unit.problems()));
        NotifyReceiver manager(sys.root() + "/notify");
        QVERIFY(manager.isBound());

        QProcess panel;
        QProcessEnvironment env = unit.panelEnvironment(QProcessEnvironment::systemEnvironment());
        // The minute of start-up sequence in a few seconds.
        env.insert(QStringLiteral("TAVRIK_TIME_SCALE"), QStringLiteral("20"));
        env.insert(QStringLiteral("NOTIFY_SOCKET"), QString::fromLocal8Bit(manager.name()));
        env.insert(QStringLiteral("WATCHDOG_USEC"), QStringLiteral("600000"));
        panel.setProcessEnvironment(env);
        panel.setStandardErrorFile(QProcess::nullDevice());
        panel.start(QStringLiteral(TAVRIK_BIN), {QStringLiteral("-platform"), QStringLiteral("offscreen")});
        QVERIFY(panel.waitForStarted());
        // The T-bar thread polls the converter.
        QTRY_VERIFY_WITH_TIMEOUT(unit.converter().conversionsRead(SimConverter::JoystickXInput) > 0, 20000);

        // Ready once the interface's event loop runs, then fed every 300 ms.
        QCOMPARE(manager.messages().value(0), QByteArray("READY=1"));
        QTRY_VERIFY_WITH_TIMEOUT(manager.messages().count("WATCHDOG=1") >= 5, 10000);

        // Start-up done (tally at its end), the CUT key cuts and the tally follows.
        QTRY_VERIFY_WITH_TIMEOUT(unit.camera(1).state().greenTally && unit.camera(0).state().redTally, 30000);
        // A T-bar left mid-way keeps the mainboard busy: back to its end first.
        unit.converter().setReading(SimConverter::TbarInput, 743);
        QTRY_COMPARE_WITH_TIMEOUT(unit.mainboard().tbar(), quint16(0), 10000);
        QTRY_COMPARE(unit.mainboard().program(), 1);
        unit.mainboard().clearReceived();
        QVERIFY(unit.keys().tap(SimKeys::Cut, 150));
        QTRY_COMPARE_WITH_TIMEOUT(unit.mainboard().program(), 2, 10000);
        QCOMPARE(unit.mainboard().receivedFrames().value(0), kCutFrame);
        QTRY_VERIFY(unit.camera(1).state().redTally && unit.camera(0).state().greenTally);

        // The T-bar to the top and back runs two transitions on the mainboard.
        const int transitions = unit.mainboard().counters().transitions;
        unit.converter().setReading(SimConverter::TbarInput, 1663);
        QTRY_COMPARE_WITH_TIMEOUT(unit.mainboard().tbar(), quint16(1023), 10000);
        unit.converter().setReading(SimConverter::TbarInput, 743);
        QTRY_COMPARE_WITH_TIMEOUT(unit.mainboard().tbar(), quint16(0), 10000);
        QTRY_COMPARE(unit.mainboard().counters().transitions, transitions + 2);
        QCOMPARE(panel.state(), QProcess::Running);

        // SIGTERM while a CUT waits on a silent mainboard, the cameras silent
        // too: the stop gives up on the devices, well inside the service
        // manager's 10 s, and still writes the speed just chosen and closes
        // the mainboard line (no serial lock file stays behind).
        unit.mainboard().setFailureMode(SimMainboard::NoAnswer);
        for (int i = 0; i < 3; ++i)
            unit.camera(i).setFailureMode(SimCamera::Silent);
        unit.mainboard().clearReceived();
        QVERIFY(unit.keys().tap(SimKeys::Slow, 150));
        QVERIFY(unit.keys().tap(SimKeys::Cut, 150));
        QTRY_VERIFY_WITH_TIMEOUT(unit.mainboard().receivedFrames().contains(kCutFrame), 10000);
        QElapsedTimer stopping;
        stopping.start();
        panel.terminate();
        if (!panel.waitForFinished(10000)) {
            panel.kill();
            panel.waitForFinished();
            QFAIL("SIGTERM did not stop the panel");
        }
        QVERIFY2(stopping.elapsed() < 3000, qPrintable(QString::number(stopping.elapsed())));
        QCOMPARE(panel.exitStatus(), QProcess::NormalExit);
        QCOMPARE(panel.exitCode(), 0);
        QCOMPARE(manager.messages().last(), QByteArray("STOPPING=1"));
        QFile conf(sys.root() + "/home/pi/.config/Tervana/tavrik.conf");
        QVERIFY(conf.open(QIODevice::ReadOnly));
        QVERIFY(conf.readAll().contains("cam1Speed=6"));
        const QString lockName = QStringLiteral("LCK..") + QString(sys.root() + "/dev/ttyAMA2").replace('/', '_');
        for (const char *dir : {"/var/lock", "/run/lock", "/tmp"})
            QVERIFY2(!QFile::exists(QString::fromLatin1(dir) + '/' + lockName), qPrintable(lockName));
    }

    void windowWorksTheUnit()
    {
        Rig r;
        QVERIFY(r.window);
        QVERIFY(QTest::qWaitForWindowExposed(r.window));

        // A click on CUT holds the key long enough for the panel's scan to see.
        QTest::mouseClick(r.window, Qt::LeftButton, {}, centre(r.item(QStringLiteral("key4"))));
        QTRY_COMPARE(r.unit.keys().actions(), (QStringList{"press 4", "release 4"}));

        // The unit's state reaches the window.
        r.unit.mainboard().update([](SimMainboard::State &s) { s.setProgram(3); });
        QTRY_COMPARE(r.model.mainboard().value("program").toInt(), 3);

        // Unplugging camera 2 from its card closes its line and shows.
        QTest::mouseClick(r.window, Qt::LeftButton, {}, centre(findItem(r.item(QStringLiteral("camera1")), "plug")));
        QTRY_VERIFY(!r.unit.camera(1).isOpen());
        QVERIFY(!QFile::exists(r.unit.camera(1).linkPath()));
        QTRY_COMPARE(r.model.cameras().at(1).toMap().value("online").toBool(), false);

        r.dragTbar();
        QCOMPARE(r.unit.converter().reading(SimConverter::TbarInput), SimCommands::kReadingMax);
    }

    void runPanelListensOnLoopbackOnly()
    {
        for (const char *tool : {"Xvfb", "x11vnc"})
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY")); // the virtual display and viewer set-up
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("TAVRIK_SYSROOT"));
        env.insert(QStringLiteral("TAVRIK_SKIP_BUILD"), QStringLiteral("1"));
        env.insert(QStringLiteral("TAVRIK_BUILD_DIR"), QFileInfo(QStringLiteral(TAVRIK_BIN)).absolutePath() + "/..");
        run.setProcessEnvironment(env);
        // Into a file: a pipe nobody reads would stall the panel's logging.
        QTemporaryFile out;
        QVERIFY(out.open());
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.setStandardOutputFile(out.fileName());
        run.start(QStringLiteral("bash"), {QStringLiteral(TAVRIK_SOURCE_DIR "/scripts/run-panel.sh")});
        QVERIFY(run.waitForStarted());
        auto stop = qScopeGuard([&] { run.terminate(); if (!run.waitForFinished(15000)) run.kill(); });

        // Up when the viewer and the meter listener are, and the discovery
        // server once the interface pages start it.
        QStringList outside, all;
        const auto up = [&] {
            outside.clear();
            all = listeners(run.processId(), &outside);
            const QString s = all.join(' ');
            return s.contains(QRegularExpression(":59\\d\\d\\b")) && s.contains(":20000")
                && s.contains(":5002");
        };
        const auto printed = [&out] { QFile f(out.fileName()); return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(); };
        QTRY_VERIFY2_WITH_TIMEOUT(up(), qPrintable(all.join(", ") + "\n" + printed().right(2000)), 30000);
        QVERIFY2(outside.isEmpty(), qPrintable(outside.join(", ")));
        QVERIFY(printed().contains("connect a VNC viewer to 127.0.0.1:59"));
    }
};

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    QGuiApplication app(argc, argv);
    TstUnit t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_unit.moc"
