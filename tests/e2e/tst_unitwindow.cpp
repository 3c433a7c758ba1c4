// The simulated unit's window on a private virtual display (Xvfb): its
// controls work the unit, the unit's state shows in it, the real panel
// switches from it, and the run-panel set-up listens on loopback only.
#include "sim/simcamera.h"
#include "sim/simcommands.h"
#include "sim/simconverter.h"
#include "sim/simkeys.h"
#include "sim/simmainboard.h"
#include "sim/simunit.h"
#include "sim/ui/simunitmodel.h"
#include "sim/ui/simwindow.h"
#include "tests/common/testsysroot.h"

#include <QtTest>

#include <QDirIterator>
#include <QGuiApplication>
#include <QProcess>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStandardPaths>

namespace {
const QByteArray kCutFrame = QByteArray::fromHex("0400C601CB");
QString gNoDisplay; // why there is no virtual display, or empty

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

QPoint centre(QQuickItem *item)
{
    return item ? item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint() : QPoint(-1, -1);
}

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
    QPoint centreOf(const QString &name) const { return centre(item(name)); }
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

// The sockets of a process and all its descendants.
QSet<QString> socketInodes(qint64 rootPid)
{
    QMultiHash<qint64, qint64> children;
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList({"[0-9]*"}, QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray s = stat.readAll();
        const QList<QByteArray> f = s.mid(s.lastIndexOf(')') + 2).split(' ');
        if (f.size() > 1)
            children.insert(f[1].toLongLong(), pid.toLongLong());
    }
    QSet<QString> inodes;
    QList<qint64> todo{rootPid};
    while (!todo.isEmpty()) {
        const qint64 pid = todo.takeFirst();
        todo << children.values(pid);
        for (const QFileInfo &fd : QDir(QStringLiteral("/proc/%1/fd").arg(pid)).entryInfoList(QDir::System)) {
            const QString target = fd.symLinkTarget().section(QLatin1Char('/'), -1);
            if (target.startsWith(QLatin1String("socket:[")))
                inodes << target.mid(8, target.size() - 9);
        }
    }
    return inodes;
}

bool isLoopback(const QString &hexAddr)
{
    if (hexAddr.size() == 8) // IPv4, in the kernel's byte order: first octet last
        return hexAddr.endsWith(QLatin1String("7F"));
    return hexAddr == QLatin1String("00000000000000000000000001000000")                   // ::1
        || (hexAddr.startsWith(QLatin1String("0000000000000000FFFF0000")) && hexAddr.endsWith(QLatin1String("7F")));
}

// "proto local-address:port" of each listening socket among `inodes`.
QStringList listeners(const QSet<QString> &inodes, QStringList *outside)
{
    QStringList all;
    for (const char *proto : {"tcp", "tcp6", "udp", "udp6"}) {
        QFile f(QStringLiteral("/proc/net/") + QLatin1String(proto));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : f.readAll().split('\n').mid(1)) {
            const QList<QByteArray> c = line.simplified().split(' ');
            if (c.size() < 10 || !inodes.contains(QString::fromLatin1(c[9])))
                continue;
            // TCP listens in state 0A; an unconnected UDP socket (07) takes any sender.
            if (c[3] != (proto[0] == 't' ? "0A" : "07"))
                continue;
            const QString local = QString::fromLatin1(c[1]);
            const QString port = QString::number(local.section(QLatin1Char(':'), 1).toInt(nullptr, 16));
            all << QLatin1String(proto) + QLatin1Char(' ') + local.section(QLatin1Char(':'), 0, 0) + QLatin1Char(':') + port;
            if (!isLoopback(local.section(QLatin1Char(':'), 0, 0)))
                *outside << all.last();
        }
    }
    return all;
}
} // namespace

class TstUnitWindow : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        if (!gNoDisplay.isEmpty())
            QSKIP(qPrintable(gNoDisplay));
    }
    void windowWorksTheUnit();
    void panelSwitchesFromTheWindow();
    void runPanelListensOnLoopbackOnly();
};

void TstUnitWindow::windowWorksTheUnit()
{
    Rig r;
    QVERIFY(r.window);
    QVERIFY(QTest::qWaitForWindowExposed(r.window));

    // A click on CUT holds the key long enough for the panel's scan to see.
    QTest::mouseClick(r.window, Qt::LeftButton, {}, r.centreOf(QStringLiteral("key4")));
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

void TstUnitWindow::panelSwitchesFromTheWindow()
{
    Rig r;
    QVERIFY(QTest::qWaitForWindowExposed(r.window));
    QProcess panel;
    panel.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment env = r.unit.panelEnvironment(QProcessEnvironment::systemEnvironment());
    env.insert(QStringLiteral("TAVRIK_TIME_SCALE"), QStringLiteral("20"));
    panel.setProcessEnvironment(env);
    panel.start(QStringLiteral(TAVRIK_BIN), {QStringLiteral("-platform"), QStringLiteral("xcb")});
    QVERIFY(panel.waitForStarted());
    auto stop = qScopeGuard([&] { panel.terminate(); if (!panel.waitForFinished(10000)) panel.kill(); });
    // The key scanner starts during the start-up sequence; its closing tally
    // says the panel is ready for the operator.
    QTRY_VERIFY_WITH_TIMEOUT(r.unit.camera(1).state().greenTally && r.unit.camera(0).state().redTally, 30000);

    const int wait = 20000;
    const auto tallies = [&r] {
        QStringList t;
        for (const QVariant &c : r.model.cameras())
            t << c.toMap().value("tally").toString();
        return t;
    };
    const QStringList talliesBefore = tallies();
    const int programBefore = r.unit.mainboard().program();
    QTest::mouseClick(r.window, Qt::LeftButton, {}, r.centreOf(QStringLiteral("key4")));
    QTRY_VERIFY_WITH_TIMEOUT(r.unit.mainboard().receivedFrames().contains(kCutFrame), wait);
    QTRY_VERIFY(r.unit.mainboard().program() != programBefore);
    QTRY_COMPARE(r.model.mainboard().value("program").toInt(), r.unit.mainboard().program());
    QTRY_VERIFY(tallies() != talliesBefore);

    const int transitions = r.unit.mainboard().counters().transitions;
    r.dragTbar();
    QTRY_VERIFY_WITH_TIMEOUT(r.unit.mainboard().counters().transitions > transitions, wait);
}

void TstUnitWindow::runPanelListensOnLoopbackOnly()
{
    if (QStandardPaths::findExecutable(QStringLiteral("x11vnc")).isEmpty())
        QSKIP("x11vnc (package x11vnc) is not installed");
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
        all = listeners(socketInodes(run.processId()), &outside);
        const QString s = all.join(' ');
        return s.contains(QRegularExpression(":59\\d\\d\\b")) && s.contains(":20000")
            && s.contains(":5002");
    };
    const auto printed = [&out] { QFile f(out.fileName()); return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(); };
    QTRY_VERIFY2_WITH_TIMEOUT(up(), qPrintable(all.join(", ") + "\n" + printed().right(2000)), 30000);
    QVERIFY2(outside.isEmpty(), qPrintable(outside.join(", ")));
    QVERIFY(printed().contains("connect a VNC viewer to 127.0.0.1:59"));
}

// A private virtual display for the whole program, or the reason there is none.
int main(int argc, char *argv[])
{
    QProcess xvfb;
    const QString server = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (server.isEmpty()) {
        gNoDisplay = QStringLiteral("Xvfb (package xvfb) is not installed: the unit's window was not tried");
    } else {
        // -displayfd 1: the server picks a free display and prints its number.
        xvfb.start(server, {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "2220x800x24"});
        QByteArray number;
        if (xvfb.waitForStarted())
            while (!number.contains('\n') && xvfb.waitForReadyRead(10000))
                number += xvfb.readAllStandardOutput();
        if (number.trimmed().isEmpty())
            gNoDisplay = QStringLiteral("Xvfb did not start");
        else
            qputenv("DISPLAY", ":" + number.trimmed());
    }
    qputenv("QT_QPA_PLATFORM", gNoDisplay.isEmpty() ? "xcb" : "offscreen");
    QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    QGuiApplication app(argc, argv);
    TstUnitWindow t;
    const int rc = QTest::qExec(&t, argc, argv);
    xvfb.terminate();
    xvfb.waitForFinished();
    return rc;
}

#include "tst_unitwindow.moc"
