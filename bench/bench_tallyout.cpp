// Tally out: the time from a CUT to the TSL packet that shows it at a
// receiver on loopback (the panel's switching over the mainboard lane
// against the simulated board, the CUT read back before the tally goes out),
// for TSL 5.0 over UDP and TCP and 3.1 over UDP at once; and the process's
// idle CPU with tally out off and on (three destinations, repeats every 2 s).
//
//   bench_tallyout [rounds] [idle seconds]     (default 300 and 20)

#include "bench/benchkit.h"
#include "sim/simmainboard.h"
#include "sim/simtslreceiver.h"
#include "switcher/commandexecobject.h"
#include "ui/devicelines.h"
#include "ui/panel.h"
#include "ui/panelsettings.h"
#include "ui/tallyout.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(quietLog);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 300;
    const int idleS = argc > 2 ? std::max(1, atoi(argv[2])) : 20;
    QTemporaryDir sysroot;
    qputenv("TAVRIK_SYSROOT", sysroot.path().toLocal8Bit());

    SimMainboard mb;
    auto *board = new commandExecObject;
    DeviceLines lines(board, nullptr, nullptr, nullptr);
    PanelSettings settings;
    Panel panel(&lines, &settings);
    panel.setProgramNo(1);
    panel.setPreviewNo(2);
    SimTslReceiver v50, v31;

    // Idle, off.
    spin(1000);
    double c0 = cpuSeconds();
    spin(idleS * 1000);
    const double offCpu = (cpuSeconds() - c0) / idleS * 100;

    const QString g = QStringLiteral("tallyOut");
    const struct { quint16 port; int protocol; } dests[] = {
        {v50.udpPort(), Tsl::V50Udp}, {v50.tcpPort(), Tsl::V50Tcp}, {v31.udpPort(), Tsl::V31Udp}};
    for (int n = 1; n <= 3; ++n) {
        settings.setValue(g, QStringLiteral("dest%1Address").arg(n), QStringLiteral("127.0.0.1"));
        settings.setValue(g, QStringLiteral("dest%1Port").arg(n), dests[n - 1].port);
        settings.setValue(g, QStringLiteral("dest%1Protocol").arg(n), dests[n - 1].protocol);
    }
    settings.setValue(g, QStringLiteral("enabled"), true);

    // CUT -> the packet at each receiver that shows the new program.
    std::vector<double> udp50, tcp50, udp31;
    QElapsedTimer t;
    int failures = 0;
    for (int i = 0; i < rounds; ++i) {
        const int program = panel.previewNo();
        double a = -1, b = -1, c = -1;
        auto at = [&](double *slot, bool red) {
            if (*slot < 0 && red)
                *slot = double(t.nsecsElapsed()) / 1e6;
        };
        QMetaObject::Connection c1 = QObject::connect(&v50, &SimTslReceiver::packet, [&](const QList<int> &, bool tcp) {
            at(tcp ? &b : &a, v50.display(program).rightTally == Tsl::Red);
        });
        QMetaObject::Connection c2 = QObject::connect(&v31, &SimTslReceiver::packet, [&](const QList<int> &, bool) {
            at(&c, v31.display(program).tallyBits == 1);
        });
        t.start();
        panel.cut();
        QElapsedTimer limit;
        limit.start();
        while ((a < 0 || b < 0 || c < 0) && limit.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        QObject::disconnect(c1);
        QObject::disconnect(c2);
        if (a < 0 || b < 0 || c < 0)
            ++failures;
        if (a >= 0)
            udp50.push_back(a);
        if (b >= 0)
            tcp50.push_back(b);
        if (c >= 0)
            udp31.push_back(c);
        spin(20 + i % 7); // not in step with anything
    }
    std::printf("CUT -> TSL packet at the receiver (read back first), %d rounds, %d incomplete\n", rounds, failures);
    const auto row = [](const char *name, std::vector<double> v) {
        std::sort(v.begin(), v.end());
        const auto at = [&](double q) { return v.empty() ? -1.0 : quantile(v, q); };
        std::printf("  %s  p50 %6.2f ms  p99 %6.2f ms  max %6.2f ms\n", name, at(0.5), at(0.99), at(1));
    };
    row("TSL 5.0 UDP", udp50);
    row("TSL 5.0 TCP", tcp50);
    row("TSL 3.1 UDP", udp31);

    // Idle, on (the receivers decode in this process too: an upper bound).
    spin(1000);
    c0 = cpuSeconds();
    const quint64 sent0 = panel.tallyOut()->packetsSent();
    spin(idleS * 1000);
    const double onCpu = (cpuSeconds() - c0) / idleS * 100;
    std::printf("idle CPU of the process over %d s: off %.3f %%, on %.3f %% of a core (+%.3f); %llu packets sent\n",
                idleS, offCpu, onCpu, onCpu - offCpu,
                static_cast<unsigned long long>(panel.tallyOut()->packetsSent() - sent0));
    lines.stop();
    delete board;
    return failures ? 1 : 0;
}
