// Round trip of the mainboard link against the simulated mainboard over a
// pseudo-terminal: an acknowledged program write and a status request, each
// timed from the call to its return. Prints median and 99th percentile.
//
//   bench_mainboard [rounds]     (default 500)

#include "mainboard/zarvomu.h"
#include "sim/simmainboard.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>


namespace {

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

struct Figures {
    double median;
    double p99;
    double max;
};

Figures figures(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return {v[n / 2], v[std::min(n - 1, (n * 99 + 99) / 100 - 1)], v.back()};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(10, atoi(argv[1])) : 500;

    QTemporaryDir root;
    if (!root.isValid())
        return 1;
    QDir(root.path()).mkpath(QStringLiteral("dev"));
    qputenv("TAVRIK_SYSROOT", root.path().toLocal8Bit());

    SimMainboard board(QStringLiteral("ttyAMA2"));
    if (!board.isOpen()) {
        std::fprintf(stderr, "simulated mainboard did not open\n");
        return 1;
    }
    QSerialPort port;
    if (!zarvoMu::openLine(port, QStringLiteral("ttyAMA2"))) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(port.portName()));
        return 1;
    }
    zarvoMu link(nullptr, &port);

    // The link logs every frame; writing that to the terminal would be timed too.
    qInstallMessageHandler(quiet);

    std::vector<double> writes, reads;
    int writeFailures = 0, readFailures = 0;
    const CrossPoint sources[] = {input1, input2, input3, input4};
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer t;
        t.start();
        if (!link.writeProgram(sources[i % 4]))
            ++writeFailures;
        writes.push_back(t.nsecsElapsed() / 1e6);

        bool ok = false;
        t.restart();
        link.requestStatus(ok);
        if (!ok)
            ++readFailures;
        reads.push_back(t.nsecsElapsed() / 1e6);
    }
    qInstallMessageHandler(nullptr);

    const Figures w = figures(writes), r = figures(reads);
    std::printf("mainboard link over a pseudo-terminal, %d rounds\n", rounds);
    std::printf("  writeProgram (acknowledged): median %.2f ms, p99 %.2f ms, max %.2f ms, failures %d\n", w.median,
                w.p99, w.max, writeFailures);
    std::printf("  requestStatus:               median %.2f ms, p99 %.2f ms, max %.2f ms, failures %d\n", r.median,
                r.p99, r.max, readFailures);
    return writeFailures || readFailures ? 2 : 0;
}
