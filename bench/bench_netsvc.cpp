// Discovery server under load: 10,000 ETH_REQ datagrams over loopback, once
// paced (a bounded number outstanding, so the server's socket buffer is never
// overrun) and once as one burst. Prints replies received, losses, the
// kernel's receive-buffer drop count and the rate.
//
// usage: bench_netsvc [count] [window] [port]
#include "netsvc/kivoproto.h"
#include "netsvc/kivoserv.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkDatagram>
#include <QUdpSocket>

#include <cstdio>

namespace {

void quietHandler(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    // The per-request lines would measure the terminal, not the server.
    if (type == QtDebugMsg || msg.contains(QLatin1String("[INFO]")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(msg));
}

// UDP "RcvbufErrors" from /proc/net/snmp: datagrams the kernel dropped
// because a socket's receive buffer was full (machine-wide).
qint64 rcvbufErrors()
{
    QFile f(QStringLiteral("/proc/net/snmp"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    QList<QByteArray> header;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (!line.startsWith("Udp:"))
            continue;
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (header.isEmpty()) {
            header = fields;
            continue;
        }
        const int i = header.indexOf("RcvbufErrors");
        return i > 0 && i < fields.size() ? fields.at(i).toLongLong() : -1;
    }
    return -1;
}

struct Run {
    int sent = 0;
    int replies = 0;
    int wrong = 0;
    qint64 ms = 0; // first request to last reply
    qint64 drops = 0;
};

Run runOnce(quint16 port, int count, int window)
{
    QUdpSocket client;
    client.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0);
    client.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 8 * 1024 * 1024);
    const QByteArray request = QByteArray::fromHex("00000081") + QByteArray(6, '\0') + "ETH_REQ";
    const QHostAddress server(QStringLiteral("127.0.0.1"));

    Run r;
    const qint64 dropsBefore = rcvbufErrors();
    QElapsedTimer t;
    t.start();
    auto drain = [&](int waitMs) {
        if (!client.hasPendingDatagrams() && !client.waitForReadyRead(waitMs))
            return false;
        while (client.hasPendingDatagrams()) {
            const QNetworkDatagram d = client.receiveDatagram();
            if (d.data().size() == Kivo::kEthReqReplySize)
                ++r.replies;
            else
                ++r.wrong;
        }
        r.ms = t.elapsed();
        return true;
    };
    while (r.sent < count) {
        if (window > 0 && r.sent - r.replies >= window) {
            if (!drain(1000))
                break; // a lost reply would stall the window for ever
            continue;
        }
        if (client.writeDatagram(request, server, port) == request.size())
            ++r.sent;
        else
            drain(1); // the send queue is full: let replies in
    }
    // Whatever is still on its way; a second of silence ends the run (and
    // is not counted: the time is that of the last reply).
    while (r.replies + r.wrong < r.sent && drain(1000)) {
    }
    const qint64 dropsAfter = rcvbufErrors();
    r.drops = dropsBefore < 0 || dropsAfter < 0 ? -1 : dropsAfter - dropsBefore;
    return r;
}

void print(const char *name, const Run &r)
{
    const double rate = r.ms > 0 ? 1000.0 * r.replies / double(r.ms) : 0.0;
    std::printf("%-22s sent %6d  replies %6d  lost %6d  kernel buffer drops %6lld  %7lld ms  %9.0f replies/s\n", name,
                r.sent, r.replies, r.sent - r.replies, static_cast<long long>(r.drops), static_cast<long long>(r.ms),
                rate);
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(quietHandler);
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int window = argc > 2 ? std::atoi(argv[2]) : 64;
    const quint16 port = argc > 3 ? quint16(std::atoi(argv[3])) : Kivo::kPort;

    KivoServ server;
    server.setPort(port);
    server.setIp(QStringLiteral("127.0.0.5"));
    server.setMac(QStringLiteral("b8:27:eb:01:02:03"));
    server.setMask(QStringLiteral("255.255.255.0"));
    server.start();
    QElapsedTimer t;
    t.start();
    while (!server.isListening() && !server.isFinished() && t.elapsed() < 5000)
        QThread::msleep(5);
    if (!server.isListening()) {
        std::fprintf(stderr, "cannot bind UDP port %u\n", port);
        return 1;
    }

    std::printf("ETH_REQ over loopback to port %u, %d datagrams of 17 bytes, 48-byte replies\n", port, count);
    char paced[40];
    std::snprintf(paced, sizeof paced, "paced (window %d)", window);
    const Run a = runOnce(port, count, window);
    print(paced, a);
    const Run b = runOnce(port, count, 0);
    print("burst (no window)", b);
    std::fflush(stdout);

    server.stop();
    return a.replies == a.sent ? 0 : 2;
}
