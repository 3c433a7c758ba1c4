#include "netsvc/apiproto.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace Api {

namespace {

struct CommandName {
    const char *name;
    Command::Kind kind;
};

constexpr CommandName kCommands[] = {
    {"login", Command::Login},   {"ping", Command::Ping},         {"state", Command::State},
    {"cut", Command::Cut},       {"auto", Command::Auto},         {"program", Command::Program},
    {"preview", Command::Preview}, {"pip", Command::Pip},         {"key", Command::Key},
    {"transition", Command::Transition}, {"memory", Command::MemoryRecall},
    {"recall", Command::PresetRecall}, {"store", Command::PresetStore},
    {"move", Command::Move}, {"stop", Command::Stop}, {"zoom", Command::Zoom},
};

// The fields each command takes besides "cmd" and "id".
QSet<QString> fieldsOf(Command::Kind kind)
{
    switch (kind) {
    case Command::Login: return {QStringLiteral("role"), QStringLiteral("response")};
    case Command::Program:
    case Command::Preview: return {QStringLiteral("source")};
    case Command::Pip:
    case Command::Key: return {QStringLiteral("bus"), QStringLiteral("on")};
    case Command::Transition: return {QStringLiteral("type")};
    case Command::MemoryRecall: return {QStringLiteral("memory")};
    case Command::PresetRecall:
    case Command::PresetStore: return {QStringLiteral("camera"), QStringLiteral("preset")};
    case Command::Move: return {QStringLiteral("pan"), QStringLiteral("tilt")};
    case Command::Zoom: return {QStringLiteral("direction")};
    default: return {};
    }
}

// An integer in [lo, hi] sent as a JSON number without a fraction.
bool intIn(const QJsonValue &v, qint64 lo, qint64 hi, qint64 *out)
{
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    if (!std::isfinite(d) || d != std::floor(d) || d < double(lo) || d > double(hi))
        return false;
    *out = qint64(d);
    return true;
}

Parsed fail(qint64 id, const QString &why)
{
    Parsed p;
    p.command.id = id;
    p.error = why;
    return p;
}

// Every command is one flat object: a brace or bracket outside a string
// after the opening one is refused before the JSON parser sees it. Besides
// being no command, nesting is where Qt's parser leaks: a repeated key whose
// first value was an object or array is never freed.
bool isFlatObject(const QByteArray &m)
{
    int i = 0;
    while (i < m.size() && (m[i] == ' ' || m[i] == '\t' || m[i] == '\n' || m[i] == '\r'))
        ++i;
    if (i >= m.size() || m[i] != '{')
        return false;
    bool inString = false, escaped = false;
    for (++i; i < m.size(); ++i) {
        const char c = m[i];
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            return false;
        }
    }
    return true;
}

QByteArray compact(const QJsonObject &o)
{
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

} // namespace

QString roleName(Role role)
{
    switch (role) {
    case Role::Read: return QStringLiteral("read");
    case Role::Control: return QStringLiteral("control");
    default: return QStringLiteral("none");
    }
}

const char *commandName(Command::Kind kind)
{
    for (const CommandName &s : kCommands)
        if (s.kind == kind)
            return s.name;
    return "?";
}

bool needsControl(Command::Kind kind)
{
    switch (kind) {
    case Command::Login:
    case Command::Ping:
    case Command::State: return false;
    default: return true;
    }
}

Parsed parse(const QByteArray &message)
{
    if (message.size() > kMaxMessageBytes)
        return fail(-1, QStringLiteral("message too long"));
    if (!isFlatObject(message))
        return fail(-1, QStringLiteral("not a flat JSON object"));
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(message, &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject())
        return fail(-1, QStringLiteral("not a JSON object"));
    const QJsonObject o = doc.object();

    qint64 id = -1;
    if (o.contains(QLatin1String("id")) && !intIn(o.value(QLatin1String("id")), 0, 0x7fffffff, &id))
        return fail(-1, QStringLiteral("id: an integer 0..2147483647"));

    const QJsonValue cmdValue = o.value(QLatin1String("cmd"));
    if (!cmdValue.isString())
        return fail(id, QStringLiteral("cmd missing"));
    const QString cmd = cmdValue.toString();
    Parsed p;
    bool known = false;
    for (const CommandName &s : kCommands) {
        if (cmd == QLatin1String(s.name)) {
            p.command.kind = s.kind;
            known = true;
        }
    }
    if (!known)
        return fail(id, QStringLiteral("unknown cmd"));
    Command &c = p.command;
    c.id = id;

    const QSet<QString> allowed = fieldsOf(c.kind);
    for (auto it = o.constBegin(); it != o.constEnd(); ++it) {
        if (it.key() != QLatin1String("cmd") && it.key() != QLatin1String("id") && !allowed.contains(it.key()))
            return fail(id, QStringLiteral("unexpected field: %1").arg(it.key().left(32)));
    }
    for (const QString &f : allowed)
        if (!o.contains(f))
            return fail(id, QStringLiteral("missing field: %1").arg(f));

    qint64 n = 0;
    switch (c.kind) {
    case Command::Login: {
        const QString role = o.value(QLatin1String("role")).toString();
        if (role == QLatin1String("read"))
            c.role = Role::Read;
        else if (role == QLatin1String("control"))
            c.role = Role::Control;
        else
            return fail(id, QStringLiteral("role: read or control"));
        const QJsonValue r = o.value(QLatin1String("response"));
        const QByteArray hex = r.isString() ? r.toString().toLatin1() : QByteArray();
        const QByteArray raw = QByteArray::fromHex(hex);
        // fromHex skips what is not a digit: the length and round trip tell.
        if (hex.size() != 64 || raw.size() != 32 || raw.toHex() != hex.toLower())
            return fail(id, QStringLiteral("response: 64 hex digits"));
        c.response = raw;
        break;
    }
    case Command::Program:
    case Command::Preview:
        if (!intIn(o.value(QLatin1String("source")), 0, 5, &n))
            return fail(id, QStringLiteral("source: 0..5"));
        c.source = int(n);
        break;
    case Command::Pip:
    case Command::Key: {
        const QString bus = o.value(QLatin1String("bus")).toString();
        if (bus != QLatin1String("program") && bus != QLatin1String("preview"))
            return fail(id, QStringLiteral("bus: program or preview"));
        c.preview = bus == QLatin1String("preview");
        const QJsonValue on = o.value(QLatin1String("on"));
        if (!on.isBool())
            return fail(id, QStringLiteral("on: true or false"));
        c.on = on.toBool();
        break;
    }
    case Command::Transition: {
        const QString type = o.value(QLatin1String("type")).toString();
        if (type != QLatin1String("mix") && type != QLatin1String("wipe"))
            return fail(id, QStringLiteral("type: mix or wipe"));
        c.wipe = type == QLatin1String("wipe");
        break;
    }
    case Command::MemoryRecall:
        if (!intIn(o.value(QLatin1String("memory")), 1, 6, &n))
            return fail(id, QStringLiteral("memory: 1..6"));
        c.memory = int(n);
        break;
    case Command::PresetRecall:
    case Command::PresetStore:
        if (!intIn(o.value(QLatin1String("camera")), 1, 3, &n))
            return fail(id, QStringLiteral("camera: 1..3"));
        c.camera = int(n);
        if (!intIn(o.value(QLatin1String("preset")), 1, 4, &n))
            return fail(id, QStringLiteral("preset: 1..4"));
        c.preset = int(n);
        break;
    case Command::Move:
        if (!intIn(o.value(QLatin1String("pan")), -1, 1, &n))
            return fail(id, QStringLiteral("pan: -1, 0 or 1"));
        c.pan = int(n);
        if (!intIn(o.value(QLatin1String("tilt")), -1, 1, &n))
            return fail(id, QStringLiteral("tilt: -1, 0 or 1"));
        c.tilt = int(n);
        break;
    case Command::Zoom: {
        const QString d = o.value(QLatin1String("direction")).toString();
        if (d == QLatin1String("in"))
            c.zoom = 1;
        else if (d == QLatin1String("out"))
            c.zoom = -1;
        else if (d != QLatin1String("stop"))
            return fail(id, QStringLiteral("direction: in, out or stop"));
        break;
    }
    default: break;
    }
    p.ok = true;
    return p;
}

QByteArray challengeMessage(const QByteArray &nonce)
{
    return compact({{QStringLiteral("event"), QStringLiteral("challenge")},
                    {QStringLiteral("nonce"), QString::fromLatin1(nonce.toHex())},
                    {QStringLiteral("version"), kVersion}});
}

QByteArray loginResponse(const QByteArray &token, const QByteArray &nonce, Role role)
{
    return QMessageAuthenticationCode::hash(nonce.toHex() + ':' + roleName(role).toLatin1(), token,
                                            QCryptographicHash::Sha256);
}

bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (int i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

static QByteArray randomBytes(int n)
{
    QByteArray b(n, '\0');
    QRandomGenerator *g = QRandomGenerator::system();
    for (int i = 0; i < n; ++i)
        b[i] = char(g->bounded(256));
    return b;
}

QByteArray newToken()
{
    return randomBytes(kTokenBytes).toHex();
}

QByteArray newNonce()
{
    return randomBytes(kNonceBytes);
}

QByteArray reply(qint64 id, const QString &outcome)
{
    QJsonObject o{{QStringLiteral("event"), QStringLiteral("reply")}, {QStringLiteral("outcome"), outcome}};
    if (id >= 0)
        o.insert(QStringLiteral("id"), double(id));
    return compact(o);
}

QByteArray errorReply(qint64 id, const QString &error)
{
    QJsonObject o{{QStringLiteral("event"), QStringLiteral("error")}, {QStringLiteral("error"), error}};
    if (id >= 0)
        o.insert(QStringLiteral("id"), double(id));
    return compact(o);
}

QByteArray loggedIn(Role role)
{
    return compact({{QStringLiteral("event"), QStringLiteral("login")}, {QStringLiteral("role"), roleName(role)}});
}

QByteArray event(const QString &name, const QJsonObject &fields)
{
    QJsonObject o = fields;
    o.insert(QStringLiteral("event"), name);
    return compact(o);
}

// ---------------------------------------------------------------- limits

bool LoginThrottle::blocked(const QHostAddress &peer, qint64 nowMs) const
{
    const auto it = peers_.constFind(peer.toString());
    return it != peers_.constEnd() && it->blockedUntil > nowMs;
}

int LoginThrottle::failed(const QHostAddress &peer, qint64 nowMs)
{
    const QString key = peer.toString();
    if (!peers_.contains(key) && peers_.size() >= kMaxPeers) {
        // Forget the entry whose window began first; a blocked one only
        // when every entry is blocked.
        auto oldest = peers_.begin();
        for (auto it = peers_.begin(); it != peers_.end(); ++it) {
            const bool itBlocked = it->blockedUntil > nowMs, oldBlocked = oldest->blockedUntil > nowMs;
            if ((oldBlocked && !itBlocked) || (oldBlocked == itBlocked && it->firstMs < oldest->firstMs))
                oldest = it;
        }
        peers_.erase(oldest);
    }
    Entry &e = peers_[key];
    if (e.failures == 0 || nowMs - e.firstMs > kWindowMs) {
        e.failures = 0;
        e.firstMs = nowMs;
    }
    ++e.failures;
    if (e.failures >= kBlockAfter)
        e.blockedUntil = nowMs + kBlockMs;
    return e.failures * kDelayStepMs;
}

void LoginThrottle::succeeded(const QHostAddress &peer)
{
    peers_.remove(peer.toString());
}

bool RateLimit::take(qint64 nowMs)
{
    if (lastMs_ >= 0 && nowMs > lastMs_)
        tokens_ = std::min<double>(kBurst, tokens_ + double(nowMs - lastMs_) * kPerSecond / 1000.0);
    lastMs_ = nowMs;
    if (tokens_ < 1.0)
        return false;
    tokens_ -= 1.0;
    return true;
}

} // namespace Api
