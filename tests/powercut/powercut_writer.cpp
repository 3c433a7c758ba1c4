// Rewrites one of the panel's files through the panel's own writer, over and
// over, until it is killed: powercut_writer <file> (TAVRIK_SYSROOT set). The
// contents alternate between the two the test expects (see tst_powercut).
// Prints "go" once the writer object exists, so the kill lands in writes.
#include "netsvc/kivoserv.h"
#include "netsvc/net.h"
#include "switcher/commandexecobject.h"
#include "tests/powercut/powercut.h"
#include "ui/panelsettings.h"

#include <QCoreApplication>
#include <QString>

#include <cstdio>

namespace {
void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

void go()
{
    std::fputs("go\n", stdout);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(quiet);
    const QString file = app.arguments().value(1);
    if (file == QLatin1String("settings-dump")) {
        commandExecObject model;
        go();
        for (;;)
            model.writeToFile(QStringLiteral("/home/pi/settings.txt"),
                              QStringLiteral("pgm=3 pvw=1 key=0 wipe=2"));
    }
    if (file == QLatin1String("dhcpcd")) {
        net n;
        go();
        for (;;) {
            n.addStaticConfig(QStringLiteral("192.0.2.10"), QStringLiteral("255.255.255.0"),
                              QStringLiteral("192.0.2.1"), QStringLiteral("192.0.2.53"), QStringLiteral("192.0.2.54"));
            n.removeStaticConfig();
        }
    }
    if (file == QLatin1String("boot-config")) {
        const QString path = qEnvironmentVariable("TAVRIK_SYSROOT") + QStringLiteral("/home/pi/config.txt");
        const QString filler = QString::fromLatin1(powerCutFiller());
        go();
        for (int i = 0;; i ^= 1)
            KivoServ::writeWorkingCopy(path, filler + (i ? QStringLiteral("force_mac_address=b8:27:eb:0a:0b:0c\n")
                                                         : QStringLiteral("force_mac_address=b8:27:eb:01:02:03\n")));
    }
    if (file == QLatin1String("panel-settings")) {
        PanelSettings settings;
        go();
        for (int i = 0;; i ^= 1) {
            settings.setValue(QStringLiteral("system"), QStringLiteral("speedNum"), i ? 3 : 1);
            settings.flush();
        }
    }
    std::fprintf(stderr, "powercut_writer: unknown file %s\n", qPrintable(file));
    return 2;
}
