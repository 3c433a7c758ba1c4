#include "netsvc/apiserver.h"

#include "netsvc/netsvclog.h"
#include "platform/threadcheck.h"

#include <QMetaObject>
#include <QMutexLocker>
#include <QTimer>
#include <QWebSocket>
#include <QWebSocketServer>

ApiServer::ApiServer(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<Api::Command>();
    clock_.start();
}

ApiServer::~ApiServer() = default;

void ApiServer::setTokens(const QByteArray &readToken, const QByteArray &controlToken)
{
    QMutexLocker l(&tokenLock_);
    readToken_ = readToken;
    controlToken_ = controlToken;
}

void ApiServer::setTimeouts(int loginMs, int idleMs)
{
    loginMs_ = loginMs;
    idleMs_ = idleMs;
}

void ApiServer::listen(const QHostAddress &address, quint16 port)
{
    TAVRIK_ASSERT_OWNER(this);
    close();
    server_ = new QWebSocketServer(QStringLiteral("tavrik"), QWebSocketServer::NonSecureMode, this);
    server_->setMaxPendingConnections(Api::kMaxClients);
    connect(server_, &QWebSocketServer::newConnection, this, &ApiServer::onConnection);
    const bool ok = server_->listen(address, port);
    if (!ok) {
        qCWarning(lcNetsvc).noquote() << "[WARN] control API: cannot listen on" << address.toString() << port << ":"
                                      << server_->errorString();
        delete server_;
        server_ = nullptr;
        emit listening(false, 0);
        return;
    }
    if (!sweep_) {
        sweep_ = new QTimer(this);
        sweep_->setInterval(1000);
        connect(sweep_, &QTimer::timeout, this, &ApiServer::sweep);
    }
    sweep_->start();
    qCInfo(lcNetsvc).noquote() << "control API listening on" << address.toString() << server_->serverPort();
    emit listening(true, server_->serverPort());
}

void ApiServer::close()
{
    TAVRIK_ASSERT_OWNER(this);
    const QList<quint64> ids = clients_.keys();
    for (quint64 id : ids)
        drop(id, QStringLiteral("server closed"));
    if (sweep_)
        sweep_->stop();
    if (server_) {
        server_->close();
        delete server_;
        server_ = nullptr;
        qCInfo(lcNetsvc) << "control API closed";
    }
}

void ApiServer::onConnection()
{
    while (QWebSocket *s = server_->nextPendingConnection()) {
        s->setParent(this);
        const QHostAddress peer = s->peerAddress();
        if (throttle_.blocked(peer, now()) || clients_.size() >= Api::kMaxClients) {
            const bool blocked = throttle_.blocked(peer, now());
            qCWarning(lcNetsvc).noquote() << "[WARN] control API: refused" << peer.toString()
                                          << (blocked ? "(blocked after failed logins)" : "(too many clients)");
            s->close(QWebSocketProtocol::CloseCodePolicyViolated,
                     blocked ? QStringLiteral("blocked") : QStringLiteral("too many clients"));
            s->deleteLater();
            continue;
        }
        s->setMaxAllowedIncomingMessageSize(Api::kMaxMessageBytes);
        s->setMaxAllowedIncomingFrameSize(Api::kMaxMessageBytes);
        s->setReadBufferSize(Api::kMaxMessageBytes * 2);
        const quint64 id = nextId_++;
        Client c;
        c.socket = s;
        c.peer = peer;
        c.nonce = Api::newNonce();
        c.connectedMs = c.lastMs = now();
        clients_.insert(id, c);
        connect(s, &QWebSocket::textMessageReceived, this, [this, id](const QString &t) { onText(id, t); });
        connect(s, &QWebSocket::binaryMessageReceived, this,
                [this, id](const QByteArray &) { drop(id, QStringLiteral("binary message")); });
        connect(s, &QWebSocket::disconnected, this, [this, id] {
            const auto it = clients_.find(id);
            if (it == clients_.end())
                return;
            if (it->socket)
                it->socket->deleteLater();
            clients_.erase(it);
            emit clientCount(clients_.size());
        });
        qCInfo(lcNetsvc).noquote() << "control API: connection from" << peer.toString();
        send(id, clients_[id], Api::challengeMessage(c.nonce));
        emit clientCount(clients_.size());
    }
}

void ApiServer::onText(quint64 id, const QString &text)
{
    const auto it = clients_.find(id);
    if (it == clients_.end() || it->closing)
        return;
    Client &c = *it;
    c.lastMs = now();
    const QByteArray bytes = text.toUtf8();
    if (bytes.size() > Api::kMaxMessageBytes) {
        drop(id, QStringLiteral("message too long"));
        return;
    }
    if (!c.rate.take(now())) {
        send(id, c, Api::errorReply(-1, QStringLiteral("rate limit")));
        return;
    }
    const Api::Parsed p = Api::parse(bytes);
    if (!p.ok) {
        send(id, c, Api::errorReply(p.command.id, p.error));
        return;
    }
    const Api::Command &cmd = p.command;
    if (cmd.kind == Api::Command::Login) {
        login(id, c, cmd);
        return;
    }
    if (c.role == Api::Role::None) {
        send(id, c, Api::errorReply(cmd.id, QStringLiteral("log in first")));
        return;
    }
    switch (cmd.kind) {
    case Api::Command::Ping: send(id, c, Api::reply(cmd.id, QStringLiteral("Done"))); return;
    case Api::Command::State: send(id, c, snapshot_); return;
    default: break;
    }
    if (Api::needsControl(cmd.kind) && c.role != Api::Role::Control) {
        send(id, c, Api::errorReply(cmd.id, QStringLiteral("read-only")));
        return;
    }
    emit command(id, cmd);
}

void ApiServer::login(quint64 id, Client &c, const Api::Command &cmd)
{
    if (c.role != Api::Role::None || c.nonce.isEmpty()) {
        send(id, c, Api::errorReply(cmd.id, QStringLiteral("already logged in")));
        return;
    }
    QByteArray token;
    {
        QMutexLocker l(&tokenLock_);
        token = cmd.role == Api::Role::Control ? controlToken_ : readToken_;
    }
    const QByteArray nonce = c.nonce;
    c.nonce.clear(); // one try per challenge
    if (!token.isEmpty() && Api::sameBytes(Api::loginResponse(token, nonce, cmd.role), cmd.response)) {
        throttle_.succeeded(c.peer);
        c.role = cmd.role;
        qCInfo(lcNetsvc).noquote() << "control API:" << c.peer.toString() << "logged in," << Api::roleName(c.role);
        send(id, c, Api::loggedIn(c.role));
        if (!snapshot_.isEmpty())
            send(id, c, snapshot_);
        return;
    }
    // The refusal waits, so guessing is slow; the connection is of no further use.
    const int delay = throttle_.failed(c.peer, now());
    qCWarning(lcNetsvc).noquote() << "[WARN] control API: failed login from" << c.peer.toString();
    c.closing = true;
    const qint64 reqId = cmd.id;
    QTimer::singleShot(delay, this, [this, id, reqId] {
        const auto it = clients_.find(id);
        if (it == clients_.end())
            return;
        send(id, *it, Api::errorReply(reqId, QStringLiteral("login failed")));
        drop(id, QStringLiteral("login failed"));
    });
}

void ApiServer::send(quint64 id, Client &c, const QByteArray &text)
{
    if (!c.socket || text.isEmpty())
        return;
    if (c.socket->bytesToWrite() > kMaxBacklogBytes) {
        drop(id, QStringLiteral("too slow"));
        return;
    }
    c.socket->sendTextMessage(QString::fromUtf8(text));
}

void ApiServer::drop(quint64 id, const QString &why)
{
    const auto it = clients_.find(id);
    if (it == clients_.end())
        return;
    QPointer<QWebSocket> s = it->socket;
    clients_.erase(it);
    if (s) {
        qCInfo(lcNetsvc).noquote() << "control API: closing" << s->peerAddress().toString() << ":" << why;
        s->disconnect(this);
        s->close(QWebSocketProtocol::CloseCodePolicyViolated, why);
        s->deleteLater();
    }
    emit clientCount(clients_.size());
}

void ApiServer::reply(quint64 client, const QByteArray &text)
{
    TAVRIK_ASSERT_OWNER(this);
    const auto it = clients_.find(client);
    if (it != clients_.end())
        send(client, *it, text);
}

void ApiServer::broadcast(const QByteArray &text)
{
    TAVRIK_ASSERT_OWNER(this);
    const QList<quint64> ids = clients_.keys();
    for (quint64 id : ids) {
        const auto it = clients_.find(id);
        if (it != clients_.end() && it->role != Api::Role::None && !it->closing)
            send(id, *it, text);
    }
}

void ApiServer::setSnapshot(const QByteArray &text)
{
    TAVRIK_ASSERT_OWNER(this);
    snapshot_ = text;
}

void ApiServer::sweep()
{
    const qint64 t = now();
    const QList<quint64> ids = clients_.keys();
    for (quint64 id : ids) {
        const Client &c = clients_[id];
        if (c.role == Api::Role::None && !c.closing && t - c.connectedMs > loginMs_)
            drop(id, QStringLiteral("no login"));
        else if (c.role != Api::Role::None && t - c.lastMs > idleMs_)
            drop(id, QStringLiteral("idle"));
    }
}

ApiHost::ApiHost() : server_(new ApiServer)
{
    thread_.setObjectName(QStringLiteral("api"));
    server_->moveToThread(&thread_);
    QObject::connect(&thread_, &QThread::finished, server_, &QObject::deleteLater);
    thread_.start();
}

ApiHost::~ApiHost()
{
    // The sockets close on their own thread, then the thread ends.
    QMetaObject::invokeMethod(server_, &ApiServer::close, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}
