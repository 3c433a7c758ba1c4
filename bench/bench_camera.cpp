// Camera exchange round trips against a simulated camera on a pseudo-terminal:
// a pan command that the camera acknowledges, and the system status inquiry
// with its 15-byte answer decoded into properties and signals. Each figure is
// the whole call as the interface makes it, including the fixed 8 ms pause
// after every exchange.
#include "camera/vekcameraobject.h"
#include "sim/simcamera.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

void quietLog(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    if (type >= QtCriticalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(msg));
}

struct Figures
{
    double median = 0;
    double p10 = 0;
    double p90 = 0;
    double max = 0;
};

Figures measure(int runs, const std::function<bool()> &call, int *failures)
{
    std::vector<double> ms;
    ms.reserve(static_cast<size_t>(runs));
    *failures = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        if (!call())
            ++*failures;
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    auto at = [&](double q) { return ms[std::min(ms.size() - 1, static_cast<size_t>(q * double(ms.size())))]; };
    return {at(0.5), at(0.1), at(0.9), ms.back()};
}

void print(const char *what, int runs, const Figures &f, int failures)
{
    std::printf("%-34s runs %4d  median %6.2f ms  p10 %6.2f  p90 %6.2f  max %6.2f  failed %d\n", what, runs,
                f.median, f.p10, f.p90, f.max, failures);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(quietLog);
    const int runs = argc > 1 ? std::max(10, QString::fromLocal8Bit(argv[1]).toInt()) : 200;

    QTemporaryDir root;
    if (!root.isValid() || !QDir().mkpath(root.path() + QStringLiteral("/dev")))
        return 1;
    qputenv("TAVRIK_SYSROOT", root.path().toLocal8Bit());

    SimCamera cam(QStringLiteral("ttyAMA0"));
    if (!cam.isOpen()) {
        std::fprintf(stderr, "simulated camera did not open\n");
        return 1;
    }
    vekCameraObject obj;
    obj.initSerial(0, QStringLiteral("ttyAMA0"), 38400, 8, 0, 1, 0);
    obj.setVekStatus(0, true);

    int failed = 0;
    const QByteArray pan = QByteArray::fromHex("8101060110100103FF");
    const Figures panFig = measure(
        runs, [&] { return vekCameraObject::containsAckComplete(obj.doCommandSend(pan, 200, true, 0)); }, &failed);
    print("pan command with acknowledgement", runs, panFig, failed);

    const Figures opFig = measure(
        runs,
        [&] {
            obj.panTiltLeft(0x10, 0);
            return true;
        },
        &failed);
    print("panTiltLeft() call", runs, opFig, failed);
    obj.panTiltStop(0x10, 0x10, 0);

    const Figures statusFig = measure(runs, [&] { return obj.getSystemStatus(0); }, &failed);
    print("getSystemStatus()", runs, statusFig, failed);

    std::printf("(38400 baud is not simulated: a pseudo-terminal carries bytes at once; on the panel add about "
                "3.1 ms for the 9-byte pan and its 3-byte acknowledgement and 5.5 ms for the 6-byte status "
                "inquiry and its 15-byte answer)\n");
    return 0;
}
