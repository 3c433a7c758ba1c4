// bench_api [--cuts N] [--idle S]
//
// The control API over loopback, in one process: the panel's switching on
// this thread against the simulated mainboard (pseudo-terminal), the API
// server on its own thread, and the clients on a third:
// - "cut" sent by a control client -> CUT frame at the simulated mainboard;
// - the CUT frame at the mainboard (it has acknowledged it by then) -> the
//   tally event at each of 8 subscribed clients;
// - the process's CPU while idle, API off against API on with one client
//   logged in.
#include "bench/benchkit.h"
#include "mainboard/zarvomu.h"
#include "netsvc/apiproto.h"
#include "sim/simmainboard.h"
#include "switcher/commandexecobject.h"
#include "ui/controlapi.h"
#include "ui/devicelines.h"
#include "ui/panel.h"
#include "ui/panelsettings.h"

#include <QCoreApplication>
#include <QCommandLineParser>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QThread>
#include <QWebSocket>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;
const QByteArray kCutFrame = QByteArray::fromHex("0400C601CB");

double ms(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// Clients living on their own thread; times are taken where the text arrives.
class Clients : public QObject
{
    Q_OBJECT
public:
    std::atomic<int> loggedIn{0};
    std::atomic<int> replies{0};
    std::vector<std::atomic<qint64>> tallyAt = std::vector<std::atomic<qint64>>(9);

    Q_INVOKABLE void open(int n, quint16 port, const QByteArray &token)
    {
        for (int k = 0; k < n; ++k) {
            const int i = int(sockets_.size());
            auto *ws = new QWebSocket(QString(), QWebSocketProtocol::VersionLatest, this);
            connect(ws, &QWebSocket::textMessageReceived, this, [this, ws, i, token](const QString &t) {
                const qint64 now = Clock::now().time_since_epoch().count();
                const QJsonObject m = QJsonDocument::fromJson(t.toUtf8()).object();
                const QString ev = m.value(QLatin1String("event")).toString();
                if (ev == QLatin1String("challenge")) {
                    const QByteArray nonce = QByteArray::fromHex(m.value(QLatin1String("nonce")).toString().toLatin1());
                    ws->sendTextMessage(
                        QStringLiteral(R"({"cmd":"login","role":"control","response":"%1"})")
                            .arg(QString::fromLatin1(Api::loginResponse(token, nonce, Api::Role::Control).toHex())));
                } else if (ev == QLatin1String("login")) {
                    ++loggedIn;
                } else if (ev == QLatin1String("tally")) {
                    tallyAt[size_t(i)] = now;
                } else if (ev == QLatin1String("reply")) {
                    ++replies;
                }
            });
            ws->open(QUrl(QStringLiteral("ws://127.0.0.1:%1").arg(port)));
            sockets_.push_back(ws);
        }
    }
    Q_INVOKABLE void send(int i, const QString &text) { sockets_.at(size_t(i))->sendTextMessage(text); }
    Q_INVOKABLE void closeAll()
    {
        qDeleteAll(sockets_);
        sockets_.clear();
    }

private:
    std::vector<QWebSocket *> sockets_;
};

void printFigure(const char *what, std::vector<double> v)
{
    if (v.empty()) {
        std::printf("  %-44s no samples\n", what);
        return;
    }
    std::sort(v.begin(), v.end());
    std::printf("  %-44s median %6.2f ms  p99 %6.2f ms  max %6.2f ms  (n=%zu)\n", what, quantile(v, 0.5),
                quantile(v, 0.99), v.back(), v.size());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.addOption({QStringLiteral("cuts"), QStringLiteral("CUTs to time."), QStringLiteral("N"), QStringLiteral("200")});
    p.addOption({QStringLiteral("idle"), QStringLiteral("Seconds of each idle run."), QStringLiteral("S"), QStringLiteral("20")});
    p.process(app);
    const int cuts = p.value(QStringLiteral("cuts")).toInt();
    const int idleS = p.value(QStringLiteral("idle")).toInt();
    qputenv("QT_LOGGING_RULES", "tavrik.*.debug=false;tavrik.*.info=false");

    QTemporaryDir dir;
    qputenv("TAVRIK_SYSROOT", dir.path().toLocal8Bit());
    QDir().mkpath(dir.path() + QStringLiteral("/dev"));
    SimMainboard mb;
    std::atomic<qint64> frameAt{0};
    QObject::connect(
        &mb, &SimMainboard::frameReceived, &mb,
        [&frameAt](const QByteArray &f) {
            if (f == kCutFrame)
                frameAt = Clock::now().time_since_epoch().count();
        },
        Qt::DirectConnection);
    auto *board = new commandExecObject;
    auto lines = std::make_unique<DeviceLines>(board, nullptr, nullptr, nullptr);
    PanelSettings settings(dir.path() + QStringLiteral("/tavrik.conf"));
    auto panel = std::make_unique<Panel>(lines.get(), &settings);
    panel->setProgramNo(1);
    panel->setPreviewNo(2);
    ControlApi *api = panel->api();

    QThread clientThread;
    Clients clients;
    clients.moveToThread(&clientThread);
    clientThread.start();

    // Idle, API off.
    spin(1000);
    double c0 = cpuSeconds();
    spin(idleS * 1000);
    const double offCpu = cpuSeconds() - c0;

    api->listenOn(QHostAddress::LocalHost, 0);
    if (!spinUntil([&] { return api->port() != 0; }, 5000)) {
        std::printf("the API did not listen\n");
        return 1;
    }
    const quint16 port = quint16(api->port());
    const QByteArray token = api->controlToken().toLatin1();
    QMetaObject::invokeMethod(&clients, [&] { clients.open(1, port, token); });
    spinUntil([&] { return clients.loggedIn == 1; }, 5000);
    spin(1000);
    c0 = cpuSeconds();
    spin(idleS * 1000);
    const double onCpu = cpuSeconds() - c0;

    // Eight more subscribers: nine clients, of which client 0 commands.
    QMetaObject::invokeMethod(&clients, [&] { clients.open(Api::kMaxClients - 1, port, token); });
    if (!spinUntil([&] { return clients.loggedIn == Api::kMaxClients; }, 5000)) {
        std::printf("clients did not log in\n");
        return 1;
    }
    std::vector<double> toFrame, toEvents;
    for (int i = 0; i < cuts; ++i) {
        frameAt = 0;
        for (auto &t : clients.tallyAt)
            t = 0;
        const int repliesBefore = clients.replies;
        const qint64 sentAt = Clock::now().time_since_epoch().count();
        QMetaObject::invokeMethod(&clients, [&] { clients.send(0, QStringLiteral(R"({"cmd":"cut"})")); });
        const bool ok = spinUntil(
            [&] {
                if (clients.replies == repliesBefore || frameAt == 0)
                    return false;
                for (int c = 0; c < Api::kMaxClients; ++c)
                    if (clients.tallyAt[size_t(c)] == 0)
                        return false;
                return true;
            },
            5000);
        if (!ok) {
            int tallies = 0;
            for (auto &t : clients.tallyAt)
                tallies += t != 0;
            std::printf("CUT %d: reply %d, frame %d, tally at %d clients\n", i, int(clients.replies > repliesBefore),
                        int(frameAt != 0), tallies);
            continue;
        }
        const Clock::time_point sent{Clock::duration(sentAt)}, frame{Clock::duration(frameAt.load())};
        toFrame.push_back(ms(sent, frame));
        for (int c = 0; c < Api::kMaxClients; ++c)
            toEvents.push_back(ms(frame, Clock::time_point{Clock::duration(clients.tallyAt[size_t(c)].load())}));
        spin(150); // the board's read-back after the CUT, and within the command rate
    }
    QMetaObject::invokeMethod(&clients, [&] { clients.closeAll(); }, Qt::BlockingQueuedConnection);
    clientThread.quit();
    clientThread.wait();

    std::printf("control API over loopback, %d CUTs, %d subscribed clients (QThread::idealThreadCount %d)\n", cuts,
                Api::kMaxClients, QThread::idealThreadCount());
    printFigure("API cut -> CUT frame at the mainboard", toFrame);
    printFigure("CUT frame -> tally event at each client", toEvents);
    std::printf("  idle CPU over %d s: API off %.3f %%, API on with one client %.3f %% of one core (rise %.3f %%)\n",
                idleS, 100.0 * offCpu / idleS, 100.0 * onCpu / idleS, 100.0 * (onCpu - offCpu) / idleS);
    panel.reset();
    lines.reset();
    delete board;
    return 0;
}

#include "bench_api.moc"
