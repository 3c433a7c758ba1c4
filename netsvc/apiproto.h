#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QJsonObject>
#include <QString>

// The control and state API's messages: JSON text over a WebSocket, parsed
// and built here, free of I/O. Every field a client sends is checked here
// (type, range, no unknown keys), so what leaves the parser is a command
// the interface can run as it stands. The protocol is described for users
// in docs/api.md.
namespace Api {

constexpr int kVersion = 1;
constexpr int kMaxMessageBytes = 4096;
constexpr int kMaxClients = 8;
constexpr int kNonceBytes = 32;
constexpr int kTokenBytes = 24;
constexpr quint16 kDefaultPort = 8095;

enum class Role { None, Read, Control };
QString roleName(Role role);

struct Command
{
    enum Kind {
        Login,        // role, response
        Ping,         // keeps an idle connection open
        State,        // asks for the whole state again
        Cut,
        Auto,
        Program,      // source: button 0..5 (black, inputs 1..4, background/bar)
        Preview,      // source
        Pip,          // preview: the preview bus's (else program's); on
        Key,          // preview, on
        Transition,   // wipe: true for wipe, false for mix
        MemoryRecall, // memory 1..6
        PresetRecall, // camera 1..3, preset 1..4
        PresetStore,  // camera, preset
        Move,         // the joystick camera: pan, tilt -1, 0 or 1 (left/down negative)
        Stop,         // the joystick camera stops pan, tilt and zoom
        Zoom,         // zoom: +1 in (tele), -1 out (wide), 0 stop
    };
    Kind kind = Ping;
    qint64 id = -1; // echoed in the reply; -1: the client sent none
    Role role = Role::None;
    QByteArray response; // login: the HMAC, raw bytes
    int source = -1;
    int memory = -1;
    int camera = -1;
    int preset = -1;
    int pan = 0, tilt = 0, zoom = 0;
    bool preview = false;
    bool on = false;
    bool wipe = false;
};

struct Parsed
{
    bool ok = false;
    Command command;
    QString error; // why not, for the client (English, short)
};

// One message from a client. Anything but a JSON object of a known command
// with exactly its fields, within range, is an error; the id, when it can be
// read, comes back with the error.
Parsed parse(const QByteArray &message);

// Commands that change the switcher need the control role.
bool needsControl(Command::Kind kind);
const char *commandName(Command::Kind kind);

// The challenge sent at connect: a fresh nonce per connection.
QByteArray challengeMessage(const QByteArray &nonce);
// What a client proves: HMAC-SHA256 keyed with the token's text over
// "<nonce hex>:<role>". Tied to the nonce, so a response seen once is of no
// use on another connection.
QByteArray loginResponse(const QByteArray &token, const QByteArray &nonce, Role role);
// Constant-time: the time taken does not tell how many bytes matched.
bool sameBytes(const QByteArray &a, const QByteArray &b);

// A fresh token (hex of kTokenBytes from the system's CSPRNG) and nonce.
QByteArray newToken();
QByteArray newNonce();

// Replies and events: one compact JSON object each.
QByteArray reply(qint64 id, const QString &outcome);
QByteArray errorReply(qint64 id, const QString &error);
QByteArray loggedIn(Role role);
QByteArray event(const QString &name, const QJsonObject &fields);

// Failed logins per peer address: every failure is answered only after a
// delay that grows with the failures, and after kBlockAfter failures within
// kWindowMs the address is refused outright for kBlockMs. Times are given
// (ms, monotonic), so the rules are tested without waiting. Bounded: at
// most kMaxPeers addresses are remembered, the oldest forgotten first.
class LoginThrottle
{
public:
    static constexpr int kBlockAfter = 5;
    static constexpr qint64 kWindowMs = 60000;
    static constexpr qint64 kBlockMs = 300000;
    static constexpr int kDelayStepMs = 500;
    static constexpr int kMaxPeers = 256;

    bool blocked(const QHostAddress &peer, qint64 nowMs) const;
    // Records a failure; the delay before the refusal is sent (ms).
    int failed(const QHostAddress &peer, qint64 nowMs);
    void succeeded(const QHostAddress &peer);

private:
    struct Entry {
        int failures = 0;
        qint64 firstMs = 0;
        qint64 blockedUntil = -1;
    };
    QHash<QString, Entry> peers_;
};

// A command rate per client: a bucket of kBurst commands refilled at
// kPerSecond.
class RateLimit
{
public:
    static constexpr int kBurst = 20;
    static constexpr int kPerSecond = 10;
    bool take(qint64 nowMs);

private:
    double tokens_ = kBurst;
    qint64 lastMs_ = -1;
};

} // namespace Api
