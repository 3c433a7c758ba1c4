#pragma once

#include "netsvc/kivoproto.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QMutex>
#include <QString>
#include <QThread>
#include <QThreadPool>

#include <atomic>

class QUdpSocket;

// Answers the management tool's discovery and control datagrams on UDP port
// 5002, on a thread of its own. The interface hands it the panel's address
// values before start(); nothing else is remembered between datagrams.
class KivoServ : public QThread
{
    Q_OBJECT
public:
    explicit KivoServ(QObject *parent = nullptr);
    ~KivoServ() override;

    Q_INVOKABLE void setBroadcastIp(QString ip);
    Q_INVOKABLE void setIp(QString ip);
    Q_INVOKABLE void setMask(QString mask);
    Q_INVOKABLE void setMac(QString mac);
    Q_INVOKABLE void setModelName(bool flag);

    // The port to bind; 5002 unless changed before start() (benchmarks).
    void setPort(quint16 port);
    // True once the socket is bound and the event loop is about to run.
    bool isListening() const;

    // Asks the event loop to end and waits for the thread.
    void stop();

    // Replaces the boot configuration by `text` (through its working copy
    // under /home/pi and root's copy-and-move, /boot writable only
    // meanwhile); false, with the old file kept, when any step fails.
    static bool writeBootConfig(const QString &text);

    // A MAC a unit may take: not all-zero, not a group (multicast or
    // broadcast) address.
    static bool isUsableUnitMac(const Kivo::Mac &mac);

    // SET_MACADR: at most one change per interval (each remounts /boot);
    // refusals are logged once per log interval with their count.
    static constexpr int kMacChangeIntervalMs = 10000;
    static constexpr int kRefusalLogIntervalMs = 10000;
    // A boot configuration larger than this is not one.
    static constexpr qint64 kBootConfigMaxBytes = 64 * 1024;

    // Datagrams received on the discovery port so far (any thread).
    quint64 requestsSeen() const { return requestsSeen_.load(std::memory_order_relaxed); }

public slots:
    void handleDatagram();

signals:
    // The socket is bound (true) or could not be bound (false).
    void listening(bool ok);

protected:
    void run() override;

private:
    struct Snapshot {
        QString ip;
        QString mac;
        QString mask;
    };
    Snapshot snapshot();
    // Logs `label` + `value`, then stores `value` under the lock.
    void store(QString *field, const QString &label, const QString &value);
    // Logs the "unusable settings" warning at most once per interval.
    void warnUnusable(const Snapshot &s);
    // A refused SET_MACADR, logged at a bounded rate.
    void refuseMac(const QString &macText, const char *why);
    void handleOne(const QByteArray &request, const QHostAddress &sender, quint16 senderPort,
                   const Kivo::Mac &mac, const Kivo::Quad &ip, const Kivo::Quad &mask,
                   const QString &macString);
    void send(const QByteArray &request, QByteArray reply, const QHostAddress &replyAddress,
              quint16 port, bool flush);
    void assignMac(const QByteArray &request, const Kivo::Quad &ip, const Kivo::Quad &mask,
                   const QHostAddress &replyAddress, quint16 port);

    QUdpSocket *m_UdpServer = nullptr;

    // The setters run on the interface thread, the datagrams on this one.
    mutable QMutex lock_;
    QString broadcastIp{QLatin1String("")};
    bool osselFlag = false;
    QString localMacAddress;
    QString localNetmask;
    QString localIp{QLatin1String("")};
    quint16 port_ = Kivo::kPort;
    bool listening_ = false;

    // Server thread only.
    struct BoundedLog {
        QElapsedTimer last;
        int count = 0;
        // Counts one event; true when a line is due (then the count is
        // what the line reports, and starts again).
        bool due(int intervalMs);
    };
    static constexpr int kUnusableWarnIntervalMs = 10000;
    BoundedLog unusable_;
    BoundedLog macRefusals_;
    QElapsedTimer lastMacChange_;

    // The boot configuration change runs here, off the server thread, so
    // discovery is answered while /boot is remounted and written.
    QThreadPool macChanger_;
    std::atomic<bool> macChanging_{false};
    std::atomic<quint64> requestsSeen_{0};
};
