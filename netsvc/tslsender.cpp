#include "netsvc/tslsender.h"

#include "netsvc/netsvclog.h"
#include "platform/sysroot.h"
#include "platform/threadcheck.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QUdpSocket>

#include <memory>
#include <vector>

// Lives on the sender's own thread; every call comes from there.
class TslSender::Worker : public QObject
{
public:
    explicit Worker(TslSender *owner) : owner_(owner) {}

    void configure(const QVector<Destination> &destinations)
    {
        TAVRIK_ASSERT_OWNER(this);
        links_.clear();
        for (const Destination &d : destinations) {
            auto link = std::make_unique<Link>();
            link->d = d;
            if (d.protocol == Tsl::V50Tcp) {
                link->tcp = new QTcpSocket(this);
                Link *l = link.get();
                connect(l->tcp, &QTcpSocket::connected, this, [this, l] {
                    l->failures = 0;
                    if (!l->pending.isEmpty())
                        writeTcp(*l, l->pending);
                });
                // Counted against the packets it holds up, at the next send.
                connect(l->tcp, &QAbstractSocket::errorOccurred, this, [l](QAbstractSocket::SocketError) {
                    ++l->failures;
                    l->why = l->tcp->errorString();
                    l->tcp->abort();
                });
                // Whatever a receiver says back is not for the panel.
                connect(l->tcp, &QTcpSocket::readyRead, this, [l] { l->tcp->readAll(); });
            }
            links_.push_back(std::move(link));
        }
    }

    void flush()
    {
        TAVRIK_ASSERT_OWNER(this);
        Model m;
        if (!owner_->takeModel(&m))
            return;
        QByteArray v50, stream;
        QVector<QByteArray> v31;
        for (const auto &l : links_) {
            if (l->d.protocol == Tsl::V31Udp && v31.isEmpty()) {
                for (const Tsl::Display &d : m.displays) {
                    const QByteArray p = Tsl::v31Packet(d, m.lamps);
                    if (!p.isEmpty())
                        v31 << p;
                }
            } else if (l->d.protocol != Tsl::V31Udp && v50.isEmpty()) {
                v50 = Tsl::v50Packet(m.displays, m.lamps);
                stream = Tsl::v50Stream(v50);
            }
        }
        for (const auto &l : links_) {
            switch (l->d.protocol) {
            case Tsl::V50Tcp: sendTcp(*l, stream); break;
            case Tsl::V31Udp:
                for (const QByteArray &p : v31)
                    sendUdp(*l, p);
                break;
            default: sendUdp(*l, v50); break;
            }
        }
    }

private:
    struct Link
    {
        Link() = default;
        Link(const Link &) = delete;
        Link &operator=(const Link &) = delete;
        // The connection goes with the destination (its handlers with it).
        ~Link() { delete tcp; }
        Destination d;
        QTcpSocket *tcp = nullptr;
        QByteArray pending; // the newest stream bytes, for when the connection is up
        QElapsedTimer attempt;
        int failures = 0;
        bool down = false;
        int missedCount = 0;
        QElapsedTimer lastLog;
        QString why;
    };

    QString name(const Link &l) const
    {
        return QStringLiteral("%1:%2 (%3)").arg(l.d.address.toString()).arg(l.d.port).arg(QLatin1String(Tsl::protocolName(l.d.protocol)));
    }

    void delivered(Link &l)
    {
        owner_->sent_.fetch_add(1);
        if (!l.down)
            return;
        l.down = false;
        qCInfo(lcNetsvc).noquote() << "tally out:" << name(l) << "takes the tally again;" << l.missedCount
                                   << "packets were not delivered";
        l.missedCount = 0;
        l.lastLog.invalidate();
    }

    // A packet that did not go out: counted, and logged at a bounded rate.
    void missed(Link &l, const QString &why)
    {
        l.down = true;
        ++l.missedCount;
        l.why = why;
        if (l.lastLog.isValid() && l.lastLog.elapsed() < kLogIntervalMs)
            return;
        qCWarning(lcNetsvc).noquote() << "[WARN] tally out:" << name(l) << "unreachable:" << why << "-"
                                      << l.missedCount << "packets not delivered";
        l.missedCount = 0;
        l.lastLog.start();
    }

    void sendUdp(Link &l, const QByteArray &packet)
    {
        if (!udp_) {
            udp_ = new QUdpSocket(this);
            // Under a sysroot (a PC) the socket stays on loopback like every
            // other socket of the panel; on the unit any address.
            const QHostAddress local = Sysroot::root().isEmpty() ? QHostAddress(QHostAddress::AnyIPv4)
                                                                  : Sysroot::listenAddress();
            if (!udp_->bind(local, 0))
                qCWarning(lcNetsvc).noquote() << "[WARN] tally out: no UDP socket:" << udp_->errorString();
        }
        if (udp_->writeDatagram(packet, l.d.address, l.d.port) == packet.size())
            delivered(l);
        else
            missed(l, udp_->errorString());
    }

    void writeTcp(Link &l, const QByteArray &stream)
    {
        if (l.tcp->bytesToWrite() > kMaxBacklog) {
            missed(l, QStringLiteral("the receiver does not read"));
            l.tcp->abort();
            return;
        }
        l.tcp->write(stream);
        l.pending.clear();
        delivered(l);
    }

    void sendTcp(Link &l, const QByteArray &stream)
    {
        switch (l.tcp->state()) {
        case QAbstractSocket::ConnectedState: writeTcp(l, stream); return;
        case QAbstractSocket::UnconnectedState: {
            l.pending = stream;
            const int backoff = l.failures == 0 ? 0 : qMin(kMaxBackoffMs, 1000 << qMin(l.failures - 1, 5));
            if (!l.attempt.isValid() || l.attempt.elapsed() >= backoff) {
                l.attempt.start();
                l.tcp->connectToHost(l.d.address, l.d.port);
            }
            if (l.failures > 0)
                missed(l, l.why);
            return;
        }
        default:
            l.pending = stream;
            if (l.attempt.isValid() && l.attempt.elapsed() >= kConnectTimeoutMs) {
                ++l.failures;
                missed(l, QStringLiteral("no answer to the connection"));
                l.tcp->abort();
            }
            return;
        }
    }

    TslSender *owner_;
    QUdpSocket *udp_ = nullptr;
    std::vector<std::unique_ptr<Link>> links_;
};

TslSender::TslSender(QObject *parent) : QObject(parent), worker_(new Worker(this))
{
    thread_.setObjectName(QStringLiteral("tally out"));
    worker_->moveToThread(&thread_);
    thread_.start();
}

TslSender::~TslSender()
{
    // The worker's sockets close on its thread, as the last thing it does.
    Worker *w = worker_;
    QMetaObject::invokeMethod(w, [w] { delete w; }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

void TslSender::setDestinations(const QVector<Destination> &destinations)
{
    TAVRIK_ASSERT_OWNER(this);
    Worker *w = worker_;
    const QVector<Destination> kept = destinations.mid(0, kMaxDestinations);
    QMetaObject::invokeMethod(w, [w, kept] { w->configure(kept); }, Qt::QueuedConnection);
}

void TslSender::send(const QVector<Tsl::Display> &displays, const Tsl::Lamps &lamps)
{
    TAVRIK_ASSERT_OWNER(this);
    {
        QMutexLocker locker(&lock_);
        model_.displays = displays;
        model_.lamps = lamps;
        if (modelWaiting_)
            return; // the flush already queued takes this one
        modelWaiting_ = true;
    }
    Worker *w = worker_;
    QMetaObject::invokeMethod(w, [w] { w->flush(); }, Qt::QueuedConnection);
}

bool TslSender::takeModel(Model *out)
{
    QMutexLocker locker(&lock_);
    if (!modelWaiting_)
        return false;
    *out = model_;
    modelWaiting_ = false;
    return true;
}
