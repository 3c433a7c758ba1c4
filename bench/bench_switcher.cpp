// Switching latency of the control model against the simulated mainboard on
// a pseudo-terminal: the time from the call to its acknowledged return for
// cutTrans() and pgm(n). Prints median, 90th percentile and maximum.
//
//   bench_switcher [rounds]     (default 300)

#include "bench/benchkit.h"
#include "sim/simmainboard.h"
#include "switcher/commandexecobject.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

struct Figures
{
    double median = 0, p90 = 0, max = 0;
    int failures = 0;
};

Figures measure(int rounds, const std::function<bool(int)> &op)
{
    std::vector<double> ms;
    ms.reserve(size_t(rounds));
    Figures f;
    QElapsedTimer t;
    for (int i = 0; i < rounds; ++i) {
        t.start();
        if (!op(i))
            ++f.failures;
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    f.median = ms[ms.size() / 2];
    f.p90 = ms[std::min(ms.size() - 1, ms.size() * 9 / 10)];
    f.max = ms.back();
    return f;
}

void print(const char *name, int rounds, const Figures &f)
{
    std::printf("%-12s rounds %4d  median %7.3f ms  p90 %7.3f ms  max %7.3f ms  failures %d\n", name, rounds,
                f.median, f.p90, f.max, f.failures);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(10, atoi(argv[1])) : 300;

    QTemporaryDir root;
    if (!root.isValid() || !QDir().mkpath(root.path() + QStringLiteral("/dev"))) {
        std::fprintf(stderr, "cannot create a temporary sysroot\n");
        return 1;
    }
    qputenv("TAVRIK_SYSROOT", root.path().toLocal8Bit());
    qInstallMessageHandler(quietLog);

    SimMainboard board(QStringLiteral("ttyAMA2"));
    if (!board.isOpen()) {
        std::fprintf(stderr, "simulated mainboard did not open\n");
        return 1;
    }
    commandExecObject model;
    if (!model.isConnected()) {
        std::fprintf(stderr, "model did not open the line\n");
        return 1;
    }

    // Warm-up: first exchanges pay for page faults and thread wake-ups.
    for (int i = 0; i < 10; ++i) {
        model.cutTrans();
        model.pgm(1 + i % 4);
    }

    std::printf("switcher control model against the simulated mainboard (pty), %d rounds each\n", rounds);
    print("cutTrans()", rounds, measure(rounds, [&](int) { return model.cutTrans(); }));
    print("pgm(n)", rounds, measure(rounds, [&](int i) { return model.pgm(1 + i % 4); }));
    const SimMainboard::Counters c = board.counters();
    std::printf("board: %d frames received, %d answers, %d transitions\n", c.frames, c.replies, c.transitions);
    return 0;
}
