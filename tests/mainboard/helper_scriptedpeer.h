#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QMutex>
#include <QString>

#include <memory>

class SimPty;
class SimThread;
class QTcpServer;
class QTcpSocket;

// A byte-exact peer for transport tests: on a pseudo-terminal linked at
// `linkPath` (and, on request, on a loopback TCP port) it records every frame
// the panel sends and answers each with a script of chunks, each written
// `delayMs` after the previous one. It never interprets the protocol, so the
// tests decide every byte the link sees. Lives on its own thread.
class ScriptedPeer
{
public:
    struct Chunk {
        int delayMs;
        QByteArray bytes;
    };
    using Script = QList<Chunk>;

    explicit ScriptedPeer(const QString &linkPath);
    ~ScriptedPeer();
    ScriptedPeer(const ScriptedPeer &) = delete;
    ScriptedPeer &operator=(const ScriptedPeer &) = delete;

    bool isOpen() const { return open_; }
    // Loopback TCP listener; frames there carry the 2-byte length prefix
    // (stripped before recording). Replies are written as scripted, raw.
    quint16 listenTcp();

    // One script per received frame, in order; then silence.
    void queue(const Script &script) { QMutexLocker lock(&mutex_); queue_.append(script); }
    void queueReply(const QByteArray &bytes, int delayMs = 0) { queue({{delayMs, bytes}}); }

    QList<QByteArray> frames() const { QMutexLocker lock(&mutex_); return frames_; }
    int frameCount() const { return frames().size(); }
    // Every byte received on the TCP connection, length prefixes included.
    QByteArray tcpRaw() const { QMutexLocker lock(&mutex_); return tcpRaw_; }
    // Writes now, unasked, on the serial line.
    void writeNow(const QByteArray &bytes);

private:
    void onBytes(const QByteArray &bytes, bool tcp);
    void play(const Script &script, bool tcp);
    void write(const QByteArray &bytes, bool tcp);

    std::unique_ptr<SimThread> thread_;
    SimPty *pty_ = nullptr;
    QTcpServer *server_ = nullptr;
    QTcpSocket *client_ = nullptr;
    bool open_ = false;

    mutable QMutex mutex_;
    QByteArray serialBuf_;
    QByteArray tcpBuf_;
    QByteArray tcpRaw_;
    QList<Script> queue_;
    QList<QByteArray> frames_;
};

Q_DECLARE_METATYPE(ScriptedPeer::Script)
