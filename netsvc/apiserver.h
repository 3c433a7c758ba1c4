#pragma once

#include "netsvc/apiproto.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QMap>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QThread>

class QTimer;
class QWebSocket;
class QWebSocketServer;

Q_DECLARE_METATYPE(Api::Command)

// The control and state API's WebSocket server. Lives on a thread of its
// own (`ApiHost` below makes the thread and moves it there); every slot runs
// there, and other threads reach it only through queued calls, except
// setTokens(), which is locked. It never calls the interface: a command a
// client may run leaves as the queued signal `command`, and what the
// interface answers comes back through reply() and broadcast().
//
// Bounds: kMaxClients connections; kMaxMessageBytes a message; a command
// rate per client; a login within kLoginMs of the connect, then some
// message within the idle time; a client whose unsent output passes
// kMaxBacklogBytes is dropped, never waited on.
class ApiServer : public QObject
{
    Q_OBJECT
public:
    static constexpr int kLoginMs = 10000;
    static constexpr int kIdleMs = 120000;
    static constexpr qint64 kMaxBacklogBytes = 256 * 1024;

    explicit ApiServer(QObject *parent = nullptr);
    ~ApiServer() override;

    // Any thread. An empty token lets nobody in with that role.
    void setTokens(const QByteArray &readToken, const QByteArray &controlToken);
    // Before listen() (tests).
    void setTimeouts(int loginMs, int idleMs);

public slots:
    // Port 0: an ephemeral one; `listening` tells which.
    void listen(const QHostAddress &address, quint16 port);
    void close();
    void reply(quint64 client, const QByteArray &text);
    // To every logged-in client.
    void broadcast(const QByteArray &text);
    // The whole state, sent at login and on "state".
    void setSnapshot(const QByteArray &text);

signals:
    void listening(bool ok, quint16 port);
    // A command the client's role allows (not login, ping or state).
    void command(quint64 client, const Api::Command &cmd);
    void clientCount(int clients);

private:
    struct Client {
        QPointer<QWebSocket> socket;
        QHostAddress peer;
        QByteArray nonce; // empty once used
        Api::Role role = Api::Role::None;
        Api::RateLimit rate;
        qint64 connectedMs = 0;
        qint64 lastMs = 0;
        bool closing = false;
    };
    void onConnection();
    void onText(quint64 id, const QString &text);
    void login(quint64 id, Client &c, const Api::Command &cmd);
    void send(quint64 id, Client &c, const QByteArray &text);
    void drop(quint64 id, const QString &why);
    void sweep();
    qint64 now() const { return clock_.elapsed(); }

    QWebSocketServer *server_ = nullptr;
    QTimer *sweep_ = nullptr;
    QMap<quint64, Client> clients_;
    quint64 nextId_ = 1;
    Api::LoginThrottle throttle_;
    QByteArray snapshot_;
    QElapsedTimer clock_;
    int loginMs_ = kLoginMs;
    int idleMs_ = kIdleMs;

    mutable QMutex tokenLock_;
    QByteArray readToken_;
    QByteArray controlToken_;
};

// Owns the API server's thread. Lives on the thread that makes it (the
// interface thread); the server object itself is on `thread()`.
class ApiHost
{
public:
    ApiHost();
    ~ApiHost();
    ApiServer *server() const { return server_; }
    QThread *thread() { return &thread_; }

private:
    QThread thread_;
    ApiServer *server_;
};
