// tavrik-sim: brings up a simulated unit in a sysroot, shows its window and
// runs the panel against it. The window's controls and the lines typed on
// standard input go through the same commands (sim/simcommands.h; "help"
// lists them). Without a display, or with --no-window, the console alone.
#include "sim/simcommands.h"
#include "sim/simlog.h"
#include "sim/simtslreceiver.h"
#include "sim/simunit.h"
#include "sim/ui/simunitmodel.h"
#include "sim/ui/simwindow.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QScreen>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {
int stopPipe[2] = {-1, -1};

void onStopSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(stopPipe[1], &c, 1);
}

// A window needs a display platform: an X or Wayland display, or a
// platform named explicitly.
bool displayAvailable(const std::vector<char *> &args)
{
    for (const char *a : args)
        if (qstrcmp(a, "-platform") == 0)
            return true;
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return true;
    // A local X display that is gone would end the program at start-up:
    // the console still works without it.
    const QString display = qEnvironmentVariable("DISPLAY");
    if (display.startsWith(QLatin1Char(':')))
        return QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X") + display.mid(1).section(QLatin1Char('.'), 0, 0));
    return !display.isEmpty();
}

QPoint parsePoint(const QString &s)
{
    const QStringList p = s.split(QLatin1Char(','));
    bool okX = false, okY = false;
    const QPoint at = p.size() == 2 ? QPoint(p[0].toInt(&okX), p[1].toInt(&okY)) : QPoint();
    return okX && okY ? at : QPoint();
}
} // namespace

int main(int argc, char *argv[])
{
    // Everything after "--" belongs to the panel: Qt must not take its
    // "-platform" for this program.
    std::vector<char *> own;
    QStringList panelArgs;
    bool afterDashes = false;
    for (int i = 0; i < argc; ++i) {
        if (!afterDashes && i > 0 && qstrcmp(argv[i], "--") == 0)
            afterDashes = true;
        else if (afterDashes)
            panelArgs << QString::fromLocal8Bit(argv[i]);
        else
            own.push_back(argv[i]);
    }
    bool noWindow = false;
    for (const char *a : own)
        noWindow |= qstrcmp(a, "--no-window") == 0;
    const bool window = !noWindow && displayAvailable(own);
    int ownArgc = int(own.size());
    own.push_back(nullptr);

    if (window && !qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    std::unique_ptr<QCoreApplication> app;
    if (window)
        app = std::make_unique<QGuiApplication>(ownArgc, own.data());
    else
        app = std::make_unique<QCoreApplication>(ownArgc, own.data());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Runs the panel against a simulated unit."));
    parser.addHelpOption();
    QCommandLineOption sysrootOpt(QStringLiteral("sysroot"), QStringLiteral("Use this folder as the sysroot."),
                                  QStringLiteral("dir"));
    QCommandLineOption panelOpt(QStringLiteral("panel"), QStringLiteral("The panel program."), QStringLiteral("path"));
    QCommandLineOption noPanelOpt(QStringLiteral("no-panel"), QStringLiteral("Bring up the unit only."));
    QCommandLineOption noWindowOpt(QStringLiteral("no-window"), QStringLiteral("Console only, no window."));
    QCommandLineOption atOpt(QStringLiteral("at"), QStringLiteral("Put the unit's window at x,y."), QStringLiteral("x,y"));
    QCommandLineOption grabOpt(QStringLiteral("grab"),
                               QStringLiteral("Save the whole screen to this PNG after --grab-after ms, then go on."),
                               QStringLiteral("file"));
    QCommandLineOption grabAfterOpt(QStringLiteral("grab-after"), QStringLiteral("Delay before --grab (ms)."),
                                    QStringLiteral("ms"), QStringLiteral("3000"));
    QCommandLineOption tslOpt(QStringLiteral("tsl"),
                              QStringLiteral("A TSL tally receiver on 127.0.0.1, UDP and TCP on this port (0: none); "
                                             "it prints each display that changes."),
                              QStringLiteral("port"), QStringLiteral("8900"));
    for (const auto &o : {sysrootOpt, panelOpt, noPanelOpt, noWindowOpt, atOpt, grabOpt, grabAfterOpt, tslOpt})
        parser.addOption(o);
    parser.addPositionalArgument(QStringLiteral("args"), QStringLiteral("Arguments for the panel (after --)."));
    parser.process(*app);

    std::unique_ptr<QTemporaryDir> tmp;
    QString sysroot = parser.value(sysrootOpt);
    if (sysroot.isEmpty()) {
        tmp = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tavrik-sysroot-XXXXXX"));
        sysroot = tmp->path();
    }
    QDir().mkpath(sysroot);

    SimUnit unit(sysroot);
    if (!unit.isUp())
        qCWarning(lcSim, "simulated unit: not up: %s", qPrintable(unit.problems()));
    std::fprintf(stderr, "simulated unit in %s\n", qPrintable(sysroot));

    // Tally out in the demo: switched on in the panel's setup (system, Tally
    // out) with destination 127.0.0.1 and this port, a CUT shows here.
    std::unique_ptr<SimTslReceiver> tsl;
    if (const int port = parser.value(tslOpt).toInt(); port > 0 && port <= 65535) {
        tsl = std::make_unique<SimTslReceiver>(quint16(port), quint16(port));
        if (!tsl->isListening())
            std::fprintf(stderr, "TSL receiver: port %d is taken\n", port);
        auto shown = std::make_shared<QHash<int, QString>>();
        QObject::connect(tsl.get(), &SimTslReceiver::packet, [r = tsl.get(), shown](const QList<int> &indices, bool) {
            for (int i : indices) {
                const QString line = SimTslReceiver::describe(i, r->display(i));
                if (shown->value(i) != line)
                    std::fprintf(stderr, "%s\n", qPrintable(line));
                shown->insert(i, line);
            }
        });
    }

    QProcess panel;
    SimCommands commands(unit);
    commands.onQuit = [&] {
        if (panel.state() != QProcess::NotRunning)
            panel.terminate();
        else
            app->quit();
    };

    std::unique_ptr<SimUnitModel> model;
    std::unique_ptr<QQmlApplicationEngine> engine;
    if (window) {
        model = std::make_unique<SimUnitModel>(unit, commands);
        engine = std::make_unique<QQmlApplicationEngine>();
        if (!openSimWindow(*engine, *model, parsePoint(parser.value(atOpt))))
            return 1;
        if (parser.isSet(grabOpt)) {
            const QString file = parser.value(grabOpt);
            QTimer::singleShot(parser.value(grabAfterOpt).toInt(), app.get(), [file] {
                QScreen *screen = QGuiApplication::primaryScreen();
                const bool ok = screen && screen->grabWindow(0).save(file, "PNG");
                std::fprintf(stderr, ok ? "screen saved to %s\n" : "could not save the screen to %s\n",
                             qPrintable(file));
            });
        }
    } else {
        std::fprintf(stderr, "no window (console only): %s\n",
                     noWindow ? "--no-window" : "no display (DISPLAY is not set)");
    }

    if (!parser.isSet(noPanelOpt)) {
        const QString panelPath = parser.value(panelOpt).isEmpty()
            ? QCoreApplication::applicationDirPath() + QStringLiteral("/../app/tavrik")
            : parser.value(panelOpt);
        panel.setProcessChannelMode(QProcess::ForwardedChannels);
        panel.setProcessEnvironment(unit.panelEnvironment(QProcessEnvironment::systemEnvironment()));
        QObject::connect(&panel, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), app.get(),
                         [&app](int code, QProcess::ExitStatus st) { app->exit(st == QProcess::NormalExit ? code : 1); });
        panel.start(panelPath, panelArgs);
        if (!panel.waitForStarted(10000)) {
            std::fprintf(stderr, "cannot start the panel %s\n", qPrintable(panelPath));
            return 1;
        }
    }

    // SIGTERM and SIGINT end the event loop, so the panel is stopped too
    // and not left running against a unit that is gone.
    std::unique_ptr<QSocketNotifier> stopNotifier;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, stopPipe) == 0) {
        stopNotifier = std::make_unique<QSocketNotifier>(stopPipe[0], QSocketNotifier::Read);
        QObject::connect(stopNotifier.get(), &QSocketNotifier::activated, app.get(), [&] {
            stopNotifier->setEnabled(false);
            app->quit();
        });
        struct sigaction sa = {};
        sa.sa_handler = onStopSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &sa, nullptr);
        ::sigaction(SIGINT, &sa, nullptr);
    }

    QSocketNotifier console(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pendingLine;
    QObject::connect(&console, &QSocketNotifier::activated, app.get(), [&] {
        char buf[512];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) {
            console.setEnabled(false); // end of input: the unit runs on
            return;
        }
        pendingLine += QByteArray(buf, int(n));
        int end;
        while ((end = pendingLine.indexOf('\n')) >= 0) {
            const QString answer = commands.run(QString::fromLocal8Bit(pendingLine.left(end)));
            pendingLine.remove(0, end + 1);
            if (!answer.isEmpty())
                std::fprintf(stdout, "%s\n", qPrintable(answer));
            std::fflush(stdout);
        }
        if (pendingLine.size() > 4096)
            pendingLine.clear(); // no line is that long: drop the noise
    });

    const int rc = app->exec();
    if (panel.state() != QProcess::NotRunning) {
        panel.terminate();
        if (!panel.waitForFinished(3000))
            panel.kill();
    }
    engine.reset();
    model.reset();
    return rc;
}
