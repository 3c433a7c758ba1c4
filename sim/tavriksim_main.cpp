// tavrik-sim: brings up a simulated unit in a sysroot and runs the panel
// against it. Lines typed on standard input work the simulated hardware:
//   key N          tap hardware key N (0..6; 4 is CUT, 5 is AUTO)
//   tbar V         T-bar reading (raw converter units)
//   joy X Y        joystick readings; zoom V  zoom rocker reading
//   cam N off|on|silent    camera N's condition
//   status         the mainboard's program/preview and what it received
//   quit
#include "sim/simcamera.h"
#include "sim/simconverter.h"
#include "sim/simkeys.h"
#include "sim/simmainboard.h"
#include "sim/simunit.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {
void handleCommand(SimUnit &unit, const QString &line, QProcess &panel)
{
    QTextStream out(stdout);
    const QStringList w = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (w.isEmpty())
        return;
    bool ok1 = true, ok2 = true;
    const int a = w.size() > 1 ? w[1].toInt(&ok1) : 0;
    const int b = w.size() > 2 ? w[2].toInt(&ok2) : 0;
    if (w[0] == QLatin1String("key") && w.size() == 2 && ok1) {
        out << (unit.keys().tap(a) ? "key tapped\n" : "no such key\n");
    } else if (w[0] == QLatin1String("tbar") && w.size() == 2 && ok1) {
        unit.converter().setReading(SimConverter::TbarInput, a);
    } else if (w[0] == QLatin1String("zoom") && w.size() == 2 && ok1) {
        unit.converter().setReading(SimConverter::ZoomInput, a);
    } else if (w[0] == QLatin1String("joy") && w.size() == 3 && ok1 && ok2) {
        unit.converter().setReading(SimConverter::JoystickXInput, a);
        unit.converter().setReading(SimConverter::JoystickYInput, b);
    } else if (w[0] == QLatin1String("cam") && w.size() == 3 && ok1 && a >= 0 && a < SimUnit::kCameras) {
        SimCamera &cam = unit.camera(a);
        if (w[2] == QLatin1String("off"))
            cam.setFailureMode(SimCamera::PowerOff);
        else if (w[2] == QLatin1String("silent"))
            cam.setFailureMode(SimCamera::Silent);
        else
            cam.setFailureMode(SimCamera::Normal);
    } else if (w[0] == QLatin1String("status")) {
        out << "program " << unit.mainboard().program() << " preview " << unit.mainboard().preview()
            << ", frames received " << unit.mainboard().receivedFrames().size() << "\n";
    } else if (w[0] == QLatin1String("quit")) {
        panel.terminate();
    } else {
        out << "commands: key N | tbar V | joy X Y | zoom V | cam N off|on|silent | status | quit\n";
    }
    out.flush();
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Runs the panel against a simulated unit."));
    parser.addHelpOption();
    QCommandLineOption sysrootOpt(QStringLiteral("sysroot"), QStringLiteral("Use this folder as the sysroot."),
                                  QStringLiteral("dir"));
    QCommandLineOption panelOpt(QStringLiteral("panel"), QStringLiteral("The panel program."),
                                QStringLiteral("path"));
    parser.addOption(sysrootOpt);
    parser.addOption(panelOpt);
    parser.addPositionalArgument(QStringLiteral("args"), QStringLiteral("Arguments for the panel (after --)."));
    parser.process(app);

    std::unique_ptr<QTemporaryDir> tmp;
    QString sysroot = parser.value(sysrootOpt);
    if (sysroot.isEmpty()) {
        tmp = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tavrik-sysroot-XXXXXX"));
        sysroot = tmp->path();
    }
    QDir().mkpath(sysroot);

    SimUnit unit(sysroot);
    if (!unit.isUp())
        qWarning("simulated unit: not up: %s", qPrintable(unit.problems()));
    std::fprintf(stderr, "simulated unit in %s\n", qPrintable(sysroot));

    const QString panelPath = parser.value(panelOpt).isEmpty()
        ? QCoreApplication::applicationDirPath() + QStringLiteral("/../app/tavrik")
        : parser.value(panelOpt);

    QProcess panel;
    panel.setProcessChannelMode(QProcess::ForwardedChannels);
    panel.setProcessEnvironment(unit.panelEnvironment(QProcessEnvironment::systemEnvironment()));
    QObject::connect(&panel, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), &app,
                     [&app](int code, QProcess::ExitStatus st) {
                         app.exit(st == QProcess::NormalExit ? code : 1);
                     });
    panel.start(panelPath, parser.positionalArguments());
    if (!panel.waitForStarted(10000)) {
        std::fprintf(stderr, "cannot start the panel %s\n", qPrintable(panelPath));
        return 1;
    }

    QSocketNotifier console(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&console, &QSocketNotifier::activated, &app, [&] {
        char buf[256];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf - 1);
        if (n <= 0) {
            console.setEnabled(false); // end of input: the panel runs on
            return;
        }
        for (const QByteArray &line : QByteArray(buf, static_cast<int>(n)).split('\n'))
            handleCommand(unit, QString::fromLocal8Bit(line), panel);
    });

    const int rc = app.exec();
    if (panel.state() != QProcess::NotRunning) {
        panel.terminate();
        if (!panel.waitForFinished(3000))
            panel.kill();
    }
    return rc;
}
