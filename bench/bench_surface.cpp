// Idle cost of the control surface: the T-bar thread polling the simulated
// converter and the key scanner testing its marker files, with every
// control at rest (readings jitter by a few units, no key held).
//
//   bench_surface [seconds]      (default 10)
//
// Prints the signals seen after the first T-bar value (there should be
// none) and the CPU time of the two threads, read from
// /proc/self/task/<tid>/schedstat.
#include "sim/simconverter.h"
#include "surface/keyscan.h"
#include "surface/tbar.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// CPU time of the first thread of this process with the given name, in
// nanoseconds; -1 when there is none.
qint64 threadCpuNs(const QByteArray &name)
{
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString &tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(tid + QStringLiteral("/comm")));
        if (!comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != name)
            continue;
        QFile sched(tasks.filePath(tid + QStringLiteral("/schedstat")));
        if (sched.open(QIODevice::ReadOnly))
            return sched.readAll().split(' ').value(0).toLongLong();
        // Without schedstat: utime + stime in clock ticks.
        QFile stat(tasks.filePath(tid + QStringLiteral("/stat")));
        if (!stat.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray s = stat.readAll();
        const QList<QByteArray> f = s.mid(s.lastIndexOf(')') + 2).split(' ');
        return (f.value(11).toLongLong() + f.value(12).toLongLong()) * (1000000000LL / sysconf(_SC_CLK_TCK));
    }
    return -1;
}

qint64 processCpuNs()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return (qint64(ru.ru_utime.tv_sec) + ru.ru_stime.tv_sec) * 1000000000LL
           + (qint64(ru.ru_utime.tv_usec) + ru.ru_stime.tv_usec) * 1000LL;
}

} // namespace

int main(int argc, char **argv)
{
    if (!SimConverter::ensurePreloaded(argc, argv))
        return 2;
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? qMax(1, std::atoi(argv[1])) : 10;
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));

    // A sysroot of its own; the bench runs no command, so it needs no stand-ins.
    QTemporaryDir root;
    if (!root.isValid())
        return 2;
    QDir().mkpath(root.path() + QStringLiteral("/dev"));
    QDir().mkpath(root.path() + QStringLiteral("/home/pi"));
    qputenv("TAVRIK_SYSROOT", root.path().toLocal8Bit());

    SimConverter conv;
    if (!conv.isOpen())
        return 2;
    conv.setReading(SimConverter::TbarInput, 1300);
    conv.setReading(SimConverter::JoystickXInput, 1250);
    conv.setReading(SimConverter::JoystickYInput, 1250);
    conv.setReading(SimConverter::ZoomInput, 1250);
    conv.setJitter(SimConverter::TbarInput, 3);
    conv.setJitter(SimConverter::JoystickXInput, 8);
    conv.setJitter(SimConverter::JoystickYInput, 8);
    conv.setJitter(SimConverter::ZoomInput, 8);

    std::atomic<int> tbarSignals{0}, joystickSignals{0}, zoomSignals{0}, keySignals{0};
    Tbar tbar;
    Keyscan keys;
    QObject::connect(&tbar, &Tbar::changeTbarValue, &tbar, [&](int, int) { ++tbarSignals; }, Qt::DirectConnection);
    QObject::connect(&tbar, &Tbar::changeJoystickValue, &tbar, [&](int, int, int) { ++joystickSignals; },
                     Qt::DirectConnection);
    QObject::connect(&tbar, &Tbar::changeJoyZValue, &tbar, [&](int, int) { ++zoomSignals; }, Qt::DirectConnection);
    QObject::connect(&keys, &Keyscan::sendKeyNo, &keys, [&](int) { ++keySignals; }, Qt::DirectConnection);

    tbar.start();
    keys.start();
    QElapsedTimer wait;
    wait.start();
    while (tbarSignals.load() == 0 && wait.elapsed() < 3000)
        QThread::msleep(5);
    if (tbarSignals.load() != 1) {
        std::printf("no first T-bar value within 3 s\n");
        return 2;
    }

    const int reads0 = conv.conversionsRead(SimConverter::TbarInput) + conv.conversionsRead(SimConverter::ZoomInput)
                       + conv.conversionsRead(SimConverter::JoystickXInput)
                       + conv.conversionsRead(SimConverter::JoystickYInput);
    const qint64 tbar0 = threadCpuNs("Tbar");
    const qint64 keys0 = threadCpuNs("Keyscan");
    const qint64 proc0 = processCpuNs();
    QElapsedTimer wall;
    wall.start();
    QThread::sleep(unsigned(seconds));
    const qint64 wallNs = wall.nsecsElapsed();
    const qint64 tbarNs = threadCpuNs("Tbar") - tbar0;
    const qint64 keysNs = threadCpuNs("Keyscan") - keys0;
    const qint64 procNs = processCpuNs() - proc0;
    const int reads = conv.conversionsRead(SimConverter::TbarInput) + conv.conversionsRead(SimConverter::ZoomInput)
                      + conv.conversionsRead(SimConverter::JoystickXInput)
                      + conv.conversionsRead(SimConverter::JoystickYInput) - reads0;
    const int tbarAfterFirst = tbarSignals.load() - 1;
    const int joy = joystickSignals.load();
    const int zoom = zoomSignals.load();
    const int key = keySignals.load();
    const quint64 passes = keys.passCount();

    tbar.requestStop();
    keys.stop();
    tbar.wait();
    keys.wait();

    auto pct = [wallNs](qint64 ns) { return 100.0 * double(ns) / double(wallNs); };
    const double together = pct(tbarNs + keysNs);
    std::printf("controls at rest for %.1f s\n", double(wallNs) / 1e9);
    std::printf("  converter steps          %d (%.1f per second)\n", reads, reads * 1e9 / double(wallNs));
    std::printf("  key scan passes          %llu\n", static_cast<unsigned long long>(passes));
    std::printf("  signals after the first T-bar value: T-bar %d, joystick %d, zoom %d, keys %d\n", tbarAfterFirst,
                joy, zoom, key);
    std::printf("  Tbar thread CPU          %8.1f ms  %5.2f %% of one core\n", double(tbarNs) / 1e6, pct(tbarNs));
    std::printf("  Keyscan thread CPU       %8.1f ms  %5.2f %% of one core\n", double(keysNs) / 1e6, pct(keysNs));
    std::printf("  both threads             %8.1f ms  %5.2f %% of one core (limit 2 %%)\n",
                double(tbarNs + keysNs) / 1e6, together);
    std::printf("  whole process, simulated converter included  %5.2f %%\n", pct(procNs));
    const bool ok = tbarAfterFirst == 0 && joy == 0 && zoom == 0 && key == 0 && tbarNs >= 0 && keysNs >= 0
                    && together < 2.0;
    std::printf("%s\n", ok ? "idle cost: within limits" : "idle cost: OVER LIMITS");
    return ok ? 0 : 1;
}
