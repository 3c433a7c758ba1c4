#pragma once

#include "netsvc/kivoproto.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QMutex>
#include <QString>
#include <QThread>

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

    // The boot configuration's working copy, written whole or not at all.
    static bool writeWorkingCopy(const QString &path, const QString &text);

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
    static constexpr int kUnusableWarnIntervalMs = 10000;
    QElapsedTimer unusableWarned_;
    int unusableDropped_ = 0;
};
