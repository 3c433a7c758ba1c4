// On-screen CUT: the time from the touch-down on the home page's CUT button
// to the CUT frame arriving at the simulated mainboard, over a pseudo-
// terminal, through the page, the panel, the switching gate and the
// mainboard lane. No key scan is involved. Also checks that a second touch
// within the repeat guard sends nothing. Prints p50, p99 and maximum.
//
//   bench_touch [touches]     (default 200)

#include "bench/benchkit.h"
#include "sim/simmainboard.h"
#include "sim/simunit.h"
#include "tools/pagerig.h"
#include "ui/devicelines.h"
#include "ui/panel.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
const QByteArray kCutFrame = QByteArray::fromHex("0400C601CB");

// Runs the event loop until `done` or `ms` have passed; false on time-out.
template <typename F> bool spinUntil(F done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::usleep(50);
    }
    return true;
}
} // namespace

int main(int argc, char *argv[])
{
    QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    qInstallMessageHandler(quietLog);
    const int touches = argc > 1 ? std::max(1, atoi(argv[1])) : 200;

    QTemporaryDir sysroot;
    SimUnit unit(sysroot.path());
    if (!unit.isUp()) {
        std::fprintf(stderr, "simulated unit incomplete: %s\n", qPrintable(unit.problems()));
        return 1;
    }
    // The Pi's tools are the unit's recording stand-ins, never the real ones.
    qputenv("PATH", unit.panelEnvironment(QProcessEnvironment::systemEnvironment()).value(QStringLiteral("PATH")).toLocal8Bit());
    PageRig rig(&unit);
    rig.stageDemoState();
    rig.panel().setMainboardConnected(true);
    if (!rig.show(QStringLiteral("pages/HomePage.qml"))) {
        std::fprintf(stderr, "home page not shown\n");
        return 1;
    }
    rig.settle(1000);

    SimMainboard &mb = unit.mainboard();
    auto idle = [&] { return rig.lines().mainboard().pending() == 0; };
    auto cuts = [&] { return int(mb.receivedFrames().count(kCutFrame)); };
    std::vector<double> ms;
    int lost = 0, guardLeaks = 0;
    for (int i = 0; i < touches; ++i) {
        // Past the guard, and the read-back of the last CUT done.
        QThread::msleep(300);
        if (!spinUntil(idle, 15000)) {
            std::fprintf(stderr, "mainboard lane never idle\n");
            return 1;
        }
        mb.clearReceived();
        QElapsedTimer t;
        t.start();
        rig.touch(QStringLiteral("cut"), QEvent::MouseButtonPress);
        if (!spinUntil([&] { return cuts() > 0; }, 5000)) {
            ++lost;
        } else {
            ms.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        rig.touch(QStringLiteral("cut"), QEvent::MouseButtonRelease);
        // A second tap at once: the guard takes it.
        rig.click(QStringLiteral("cut"));
        spinUntil([] { return false; }, 100);
        spinUntil(idle, 15000);
        if (cuts() > 1)
            ++guardLeaks;
    }
    std::sort(ms.begin(), ms.end());
    auto pct = [&](double p) { return ms.empty() ? 0.0 : quantile(ms, p); };
    std::printf("on-screen CUT, touch-down to CUT frame at the mainboard, %zu touches:\n", ms.size());
    std::printf("  p50 %.2f ms   p99 %.2f ms   max %.2f ms   lost %d\n", pct(0.50), pct(0.99),
                ms.empty() ? 0.0 : ms.back(), lost);
    std::printf("second touch within the guard: %d of %d sent a CUT\n", guardLeaks, touches);
    return lost == 0 && guardLeaks == 0 ? 0 : 2;
}
