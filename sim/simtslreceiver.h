#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QString>

class QTcpServer;
class QTcpSocket;
class QUdpSocket;

// A tally display receiver (TSL UMD), as a production's monitor wall or
// tally box would be: it listens on loopback, on one UDP port (version 5.0
// and 3.1 packets, told apart by their form) and one TCP port (version 5.0
// with DLE/STX framing), decodes what comes in by the public protocol
// descriptions and keeps the last state of every display. Written apart from
// the panel's own packet code, so a mistake there cannot hide itself.
//
// Lives on the thread that made it; every call comes from there.
class SimTslReceiver : public QObject
{
    Q_OBJECT
public:
    struct Display
    {
        QString text;
        int version = 0;      // 50 or 31
        int rightTally = 0;   // 5.0: 0 off, 1 red, 2 green, 3 amber
        int textTally = 0;
        int leftTally = 0;
        int brightness = 0;
        int tallyBits = 0;    // 3.1: bit 0 tally 1 ... bit 3 tally 4
        int screen = 0;
    };

    // Port 0: an ephemeral one each.
    explicit SimTslReceiver(quint16 udpPort = 0, quint16 tcpPort = 0, QObject *parent = nullptr);
    ~SimTslReceiver() override;

    bool isListening() const;
    quint16 udpPort() const;
    quint16 tcpPort() const;

    // The last state of display `index` (5.0 index or 3.1 address);
    // default-made when none has come.
    Display display(int index) const { return displays_.value(index); }
    bool has(int index) const { return displays_.contains(index); }
    int packets() const { return packets_; }
    // Packets that broke the protocol's rules (wrong count, bad framing).
    int malformed() const { return malformed_; }
    // A TCP sender is connected.
    int tcpConnections() const { return int(streams_.size()); }
    void clear();

    // One line per display a packet set, as the demo prints it.
    static QString describe(int index, const Display &d);

signals:
    // A packet was decoded; `indices` are the displays it set, `tcp` says
    // how it came.
    void packet(const QList<int> &indices, bool tcp);

private:
    void readUdp();
    void readTcp(QTcpSocket *socket);
    bool decodeV50(const QByteArray &packet, QList<int> *indices);
    bool decodeV31(const QByteArray &packet, QList<int> *indices);
    void decoded(bool ok, const QList<int> &indices, bool tcp = false);

    QUdpSocket *udp_;
    QTcpServer *tcp_;
    QHash<int, Display> displays_;
    struct Stream
    {
        QByteArray packet; // unstuffed bytes of the packet being received
        int state = 0;     // 0 hunting DLE STX, 3 hunting after a DLE, 1 in a packet, 2 in a packet after a DLE
    };
    QHash<QTcpSocket *, Stream> streams_; // one for each connected sender
    int packets_ = 0;
    int malformed_ = 0;
};
