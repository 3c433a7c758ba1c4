// Firmware upgrade throughput against the simulated boot loader on a
// pseudo-terminal: the panel-side cost per packet (probe and acknowledgement
// round trips, logging) without the fixed waits of the boot loader, and the
// time a real upgrade takes with them at 115200 baud.
#include "mbUpgrade/mbupgradeworker.h"
#include "mbUpgrade/upgradecontroller.h"
#include "platform/sysroot.h"
#include "sim/mbimage.h"
#include "sim/simmainboard.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {
void quietLog(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    if (type >= QtCriticalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(msg));
}

// Seconds for one upgrade of `count` packets of `size` bytes, or -1.
double runOnce(const QString &root, int count, int size)
{
    SimMainboard mb(QStringLiteral("ttyAMA2"));
    QSerialPort port(Sysroot::serialDevice(QStringLiteral("ttyAMA2")));
    port.setBaudRate(115200);
    if (!mb.isOpen() || !port.open(QIODevice::ReadWrite))
        return -1;
    MbImage image;
    image.packets = MbImage::makePackets(count, size);
    const QString path = root + QStringLiteral("/image.bin");
    if (!image.writeTo(path))
        return -1;
    mb.expectImage(image.toBytes());

    UpgradeController ctl;
    MBUpgradeWorker::Timing t;
    t.breakMs = 0;
    t.settleMs = 0;
    t.eraseWaitMs = 0;
    ctl.setTiming(t);
    QEventLoop loop;
    bool ok = false;
    QElapsedTimer clock;
    QObject::connect(&ctl, &UpgradeController::logMessage, [&](const QString &m) {
        if (m == QLatin1String("Start"))
            clock.start();
    });
    QObject::connect(&ctl, &UpgradeController::upgradeFinished, [&](bool success) {
        ok = success;
        loop.quit();
    });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    ctl.startUpgrade(port, path);
    loop.exec();
    return ok && mb.bootPackets().size() == count ? clock.nsecsElapsed() / 1e9 : -1;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(quietLog);
    QTemporaryDir root;
    QDir().mkpath(root.path() + QStringLiteral("/dev"));
    qputenv("TAVRIK_SYSROOT", root.path().toLocal8Bit());

    const MBUpgradeWorker::Timing real;
    const double fixed = (real.breakMs + real.settleMs + real.eraseWaitMs) / 1000.0;
    std::printf("%-8s %-6s %-10s %-14s %-12s %-s\n", "packets", "bytes", "panel s", "per packet ms", "wire s", "real upgrade s");
    for (const auto &c : {std::make_pair(100, 256), std::make_pair(1000, 256), std::make_pair(500, 1024)}) {
        const double s = runOnce(root.path(), c.first, c.second);
        if (s < 0) {
            std::printf("%-8d %-6d failed\n", c.first, c.second);
            return 1;
        }
        // 10 bits a byte; per packet: probe 1 + echo 1 + data + ack 5
        const double wire = c.first * (c.second + 7) * 10.0 / 115200.0;
        std::printf("%-8d %-6d %-10.3f %-14.3f %-12.2f %.1f\n", c.first, c.second, s, s * 1000 / c.first, wire,
                    fixed + wire + s);
    }
    return 0;
}
