#include "sim/simtslreceiver.h"

#include "sim/simlog.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

namespace {
int le16(const QByteArray &b, int at)
{
    return quint8(b[at]) | (quint8(b[at + 1]) << 8);
}
} // namespace

SimTslReceiver::SimTslReceiver(quint16 udpPort, quint16 tcpPort, QObject *parent)
    : QObject(parent), udp_(new QUdpSocket(this)), tcp_(new QTcpServer(this))
{
    udp_->bind(QHostAddress::LocalHost, udpPort);
    tcp_->listen(QHostAddress::LocalHost, tcpPort);
    connect(udp_, &QUdpSocket::readyRead, this, &SimTslReceiver::readUdp);
    connect(tcp_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *s = tcp_->nextPendingConnection()) {
            streams_.insert(s, Stream());
            connect(s, &QTcpSocket::readyRead, this, [this, s] { readTcp(s); });
            connect(s, &QTcpSocket::disconnected, this, [this, s] {
                streams_.remove(s);
                s->deleteLater();
            });
        }
    });
}

SimTslReceiver::~SimTslReceiver() = default;

bool SimTslReceiver::isListening() const
{
    return udp_->state() == QAbstractSocket::BoundState && tcp_->isListening();
}

quint16 SimTslReceiver::udpPort() const
{
    return udp_->localPort();
}

quint16 SimTslReceiver::tcpPort() const
{
    return tcp_->serverPort();
}

void SimTslReceiver::clear()
{
    displays_.clear();
    packets_ = 0;
    malformed_ = 0;
}

void SimTslReceiver::readUdp()
{
    while (udp_->hasPendingDatagrams()) {
        QByteArray d(int(qMax<qint64>(0, udp_->pendingDatagramSize())), '\0');
        udp_->readDatagram(d.data(), d.size());
        QList<int> indices;
        // A 3.1 packet is exactly 18 bytes and starts with 0x80 + address; a
        // 5.0 packet of 18 bytes starts with its count, 16.
        const bool ok = d.size() == 18 && (quint8(d[0]) & 0x80) ? decodeV31(d, &indices) : decodeV50(d, &indices);
        decoded(ok, indices);
    }
}

void SimTslReceiver::readTcp(QTcpSocket *s)
{
    const auto it = streams_.find(s);
    if (it == streams_.end())
        return;
    const QByteArray bytes = s->readAll();
    int &state = it->state;
    QByteArray &packet = it->packet;
    for (const char c : bytes) {
        const quint8 b = quint8(c);
        if (state == 0) {
            // Hunting: DLE STX starts a packet.
            if (b == 0xFE)
                state = 3;
            continue;
        }
        if (state == 3) {
            state = b == 0x02 ? 1 : 0;
            packet.clear();
            continue;
        }
        if (state == 2) {
            if (b == 0xFE) {
                packet += char(0xFE);
                state = 1;
            } else if (b == 0x02) {
                // A new packet before this one was complete.
                decoded(false, {});
                packet.clear();
                state = 1;
                continue;
            } else {
                decoded(false, {});
                state = 0;
                continue;
            }
        } else if (b == 0xFE) {
            state = 2;
            continue;
        } else {
            packet += c;
        }
        if (packet.size() >= 2 && packet.size() == le16(packet, 0) + 2) {
            QList<int> indices;
            decoded(decodeV50(packet, &indices), indices, true);
            packet.clear();
            state = 0;
        }
    }
}

bool SimTslReceiver::decodeV50(const QByteArray &p, QList<int> *indices)
{
    if (p.size() < 6 || le16(p, 0) != p.size() - 2 || p[2] != 0)
        return false;
    const bool utf16 = quint8(p[3]) & 1;
    const int screen = le16(p, 4);
    int at = 6;
    while (at < p.size()) {
        if (at + 6 > p.size())
            return false;
        const int index = le16(p, at), control = le16(p, at + 2), length = le16(p, at + 4);
        at += 6;
        if (at + length > p.size() || (utf16 && length % 2))
            return false;
        const QByteArray raw = p.mid(at, length);
        at += length;
        Display d;
        d.version = 50;
        d.screen = screen;
        d.rightTally = control & 3;
        d.textTally = (control >> 2) & 3;
        d.leftTally = (control >> 4) & 3;
        d.brightness = (control >> 6) & 3;
        d.text = utf16 ? QString::fromUtf16(reinterpret_cast<const char16_t *>(raw.constData()), length / 2)
                       : QString::fromLatin1(raw);
        displays_.insert(index, d);
        *indices << index;
    }
    return true;
}

bool SimTslReceiver::decodeV31(const QByteArray &p, QList<int> *indices)
{
    Display d;
    d.version = 31;
    d.tallyBits = quint8(p[1]) & 0x0F;
    d.brightness = (quint8(p[1]) >> 4) & 3;
    d.text = QString::fromLatin1(p.mid(2, 16));
    const int address = quint8(p[0]) - 0x80;
    displays_.insert(address, d);
    *indices << address;
    return true;
}

void SimTslReceiver::decoded(bool ok, const QList<int> &indices, bool tcp)
{
    if (!ok) {
        ++malformed_;
        qCWarning(lcSim) << "TSL receiver: malformed packet";
        return;
    }
    ++packets_;
    emit packet(indices, tcp);
}

QString SimTslReceiver::describe(int index, const Display &d)
{
    static const char *const colours[] = {"off", "red", "green", "amber"};
    if (d.version == 31)
        return QStringLiteral("TSL 3.1 address %1 \"%2\" tally %3%4%5%6")
            .arg(index)
            .arg(d.text)
            .arg(QLatin1String(d.tallyBits & 1 ? "1" : "-"), QLatin1String(d.tallyBits & 2 ? "2" : "-"),
                 QLatin1String(d.tallyBits & 4 ? "3" : "-"), QLatin1String(d.tallyBits & 8 ? "4" : "-"));
    return QStringLiteral("TSL 5.0 index %1 \"%2\" left %3 text %4 right %5")
        .arg(index)
        .arg(d.text, QLatin1String(colours[d.leftTally]), QLatin1String(colours[d.textTally]),
             QLatin1String(colours[d.rightTally]));
}
