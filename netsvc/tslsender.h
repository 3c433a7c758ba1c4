#pragma once

#include "netsvc/tslumd.h"

#include <QHostAddress>
#include <QMutex>
#include <QObject>
#include <QThread>
#include <QVector>

#include <atomic>

// Sends the TSL UMD tally to up to four destinations. The object lives on
// the thread that made it (the interface thread) and every public call
// comes from there; the sockets live on a thread of its own, started here
// and ended in the destructor, so a TCP connect or a full send buffer never
// holds up the caller.
//
// Only the newest tally waits to go out: a send() that finds the last one
// still queued replaces it (tally is a state, the older one is already
// wrong). A destination that cannot take a packet is logged, at most once
// per kLogIntervalMs with the count of packets it missed meanwhile, and
// once when it takes packets again. TCP reconnects with a back-off from
// 1 s to 30 s; the caller's repeat drives the attempts.
class TslSender : public QObject
{
    Q_OBJECT
public:
    struct Destination
    {
        QHostAddress address;
        quint16 port = 0;
        int protocol = Tsl::V50Udp;
    };
    static constexpr int kMaxDestinations = 4;
    static constexpr int kLogIntervalMs = 30000;
    static constexpr int kConnectTimeoutMs = 5000;
    static constexpr int kMaxBackoffMs = 30000;
    // A TCP receiver that leaves this much unread is not reading.
    static constexpr qint64 kMaxBacklog = 16 * 1024;

    explicit TslSender(QObject *parent = nullptr);
    ~TslSender() override;

    // Replaces the destinations (the first kMaxDestinations are kept);
    // connections to ones no longer listed are closed.
    void setDestinations(const QVector<Destination> &destinations);
    // Sends the tally to every destination.
    void send(const QVector<Tsl::Display> &displays, const Tsl::Lamps &lamps);

    // Packets handed to the network since start (each 3.1 display is one).
    quint64 packetsSent() const { return sent_.load(); }

private:
    class Worker;
    friend class Worker;
    struct Model
    {
        QVector<Tsl::Display> displays;
        Tsl::Lamps lamps;
    };
    // Sender thread: the newest model, taken once.
    bool takeModel(Model *out);

    QThread thread_;
    Worker *worker_;
    QMutex lock_;
    Model model_;
    bool modelWaiting_ = false;
    std::atomic<quint64> sent_{0};
};
