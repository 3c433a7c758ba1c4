#include "helper_scriptedpeer.h"

#include "sim/simpty.h"
#include "sim/simthread.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

ScriptedPeer::ScriptedPeer(const QString &linkPath) : thread_(new SimThread)
{
    thread_->run([this, linkPath] {
        pty_ = new SimPty;
        open_ = pty_->open(linkPath);
        QObject::connect(pty_, &SimPty::received, pty_, [this](const QByteArray &b) { onBytes(b, false); });
    });
}

ScriptedPeer::~ScriptedPeer()
{
    thread_->run([this] {
        delete server_; // deletes client_ (its child)
        server_ = nullptr;
        client_ = nullptr;
        delete pty_;
        pty_ = nullptr;
    });
}

quint16 ScriptedPeer::listenTcp()
{
    quint16 port = 0;
    thread_->run([this, &port] {
        if (server_) {
            port = server_->serverPort();
            return;
        }
        server_ = new QTcpServer;
        if (!server_->listen(QHostAddress::LocalHost, 0))
            return;
        port = server_->serverPort();
        QObject::connect(server_, &QTcpServer::newConnection, server_, [this] {
            while (QTcpSocket *s = server_->nextPendingConnection()) {
                delete client_;
                client_ = s;
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { onBytes(s->readAll(), true); });
            }
        });
    });
    return port;
}

void ScriptedPeer::writeNow(const QByteArray &bytes)
{
    thread_->run([this, bytes] { write(bytes, false); });
}

// Runs on the peer thread.
void ScriptedPeer::write(const QByteArray &bytes, bool tcp)
{
    if (tcp && client_)
        client_->write(bytes);
    else if (!tcp && pty_)
        pty_->write(bytes);
}

// Runs on the peer thread.
void ScriptedPeer::onBytes(const QByteArray &bytes, bool tcp)
{
    QList<Script> toPlay;
    {
        QMutexLocker lock(&mutex_);
        QByteArray &buf = tcp ? tcpBuf_ : serialBuf_;
        buf.append(bytes);
        if (tcp)
            tcpRaw_.append(bytes);
        for (;;) {
            QByteArray frame;
            if (tcp) {
                if (buf.size() < 2)
                    break;
                const int len = (quint8(buf.at(0)) << 8) | quint8(buf.at(1));
                if (len < 2) { // nonsense prefix: record it raw
                    frame = buf;
                    buf.clear();
                } else if (buf.size() < len) {
                    break;
                } else {
                    frame = buf.mid(2, len - 2);
                    buf.remove(0, len);
                }
            } else {
                if (buf.isEmpty() || buf.size() < quint8(buf.at(0)) + 1)
                    break;
                const int need = quint8(buf.at(0)) + 1;
                frame = buf.left(need);
                buf.remove(0, need);
            }
            frames_.append(frame);
            if (!queue_.isEmpty())
                toPlay.append(queue_.takeFirst());
            if (buf.isEmpty())
                break;
        }
    }
    for (const Script &s : toPlay)
        play(s, tcp);
}

void ScriptedPeer::play(const Script &script, bool tcp)
{
    int at = 0;
    for (const Chunk &c : script) {
        at += c.delayMs;
        if (at == 0)
            write(c.bytes, tcp);
        else
            QTimer::singleShot(at, pty_, [this, bytes = c.bytes, tcp] { write(bytes, tcp); });
    }
}
