// Rewrites one of the panel's files through the panel's own writer:
//   powercut_writer <file>       over and over, until it is killed;
//   powercut_writer <file> full  once, on a full card (no byte may be
//                                written), printing "refused" when the
//                                writer reported the failure.
// TAVRIK_SYSROOT is set. The contents alternate between the two the test
// expects (see tst_powercut). Prints "go" once the writer object exists, so
// a kill lands in writes.
#include "netsvc/kivoserv.h"
#include "netsvc/net.h"
#include "switcher/commandexecobject.h"
#include "tests/common/fullcard.h"
#include "tests/powercut/powercut.h"
#include "ui/panelsettings.h"

#include <QCoreApplication>
#include <QString>

#include <cstdio>
#include <functional>

namespace {
void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

void go()
{
    std::fputs("go\n", stdout);
    std::fflush(stdout);
}

int loop(bool full, const std::function<bool(int)> &write)
{
    if (full) {
        static FullCard card;
        std::fputs(write(1) ? "accepted\n" : "refused\n", stdout);
        return 0;
    }
    go();
    // The new content first: the boot configuration's steps around its
    // write take longer than the kills wait.
    for (int i = 1;; i ^= 1)
        write(i);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(quiet);
    const QString file = app.arguments().value(1);
    const bool full = app.arguments().value(2) == QLatin1String("full");
    if (file == QLatin1String("settings-dump")) {
        commandExecObject model;
        return loop(full, [&](int) {
            return model.writeToFile(QStringLiteral("/home/pi/settings.txt"), QStringLiteral("pgm=3 pvw=1 key=0 wipe=2"));
        });
    }
    if (file == QLatin1String("dhcpcd")) {
        net n;
        return loop(full, [&](int i) {
            return i ? n.addStaticConfig(QStringLiteral("192.0.2.10"), QStringLiteral("255.255.255.0"), QStringLiteral("192.0.2.1"),
                                         QStringLiteral("192.0.2.53"), QStringLiteral("192.0.2.54"))
                     : n.removeStaticConfig();
        });
    }
    if (file == QLatin1String("boot-config")) {
        const QString filler = QString::fromLatin1(powerCutFiller());
        return loop(full, [&](int i) {
            return KivoServ::writeBootConfig(filler + (i ? QStringLiteral("force_mac_address=b8:27:eb:0a:0b:0c\n")
                                                         : QStringLiteral("force_mac_address=b8:27:eb:01:02:03\n")));
        });
    }
    if (file == QLatin1String("panel-settings")) {
        PanelSettings settings;
        return loop(full, [&](int i) {
            settings.setValue(QStringLiteral("system"), QStringLiteral("speedNum"), i ? 3 : 1);
            return settings.flush();
        });
    }
    std::fprintf(stderr, "powercut_writer: unknown file %s\n", qPrintable(file));
    return 2;
}
