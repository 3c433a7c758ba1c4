// tavrik-ctl: the control API from a shell, for scripts and tests.
//
//   tavrik-ctl [--host H] [--port P] [--token T] [--role control|read] COMMAND
//   COMMAND: cut | auto | program N | preview N | mix | wipe | memory N
//            | recall CAMERA PRESET | store CAMERA PRESET
//            | move PAN TILT | stop | zoom in|out|stop
//            | pip program|preview on|off | key program|preview on|off
//            | state | events [--count N] [--seconds S] | relay --listen PORT
//
// The token may come from TAVRIK_API_TOKEN instead of the command line,
// which keeps it out of the process list. A command prints the reply and
// exits 0 when it was done (or queued), 2 for any other outcome, 1 on an
// error; "events" prints one JSON line per event. "relay" logs in and
// offers the same messages without the login on 127.0.0.1:PORT, for tools
// that cannot compute the login proof (one local client at a time).
#include "netsvc/apiproto.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QWebSocket>
#include <QWebSocketServer>

#include <cstdio>

namespace {

void out(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// The command's JSON from the words after the options; empty when they make none.
QJsonObject commandOf(const QStringList &a)
{
    const QString verb = a.value(0);
    auto number = [&](int i) { return a.value(i).toInt(); };
    if (a.size() == 1 && (verb == QLatin1String("cut") || verb == QLatin1String("auto") || verb == QLatin1String("state")))
        return {{QStringLiteral("cmd"), verb}};
    if (a.size() == 1 && (verb == QLatin1String("mix") || verb == QLatin1String("wipe")))
        return {{QStringLiteral("cmd"), QStringLiteral("transition")}, {QStringLiteral("type"), verb}};
    if (a.size() == 2 && (verb == QLatin1String("program") || verb == QLatin1String("preview")))
        return {{QStringLiteral("cmd"), verb}, {QStringLiteral("source"), number(1)}};
    if (a.size() == 2 && verb == QLatin1String("memory"))
        return {{QStringLiteral("cmd"), verb}, {QStringLiteral("memory"), number(1)}};
    if (a.size() == 1 && verb == QLatin1String("stop"))
        return {{QStringLiteral("cmd"), verb}};
    if (a.size() == 2 && verb == QLatin1String("zoom"))
        return {{QStringLiteral("cmd"), verb}, {QStringLiteral("direction"), a[1]}};
    if (a.size() == 3 && verb == QLatin1String("move"))
        return {{QStringLiteral("cmd"), verb}, {QStringLiteral("pan"), number(1)}, {QStringLiteral("tilt"), number(2)}};
    if (a.size() == 3 && (verb == QLatin1String("recall") || verb == QLatin1String("store")))
        return {{QStringLiteral("cmd"), verb}, {QStringLiteral("camera"), number(1)}, {QStringLiteral("preset"), number(2)}};
    if (a.size() == 3 && (verb == QLatin1String("pip") || verb == QLatin1String("key")))
        return {{QStringLiteral("cmd"), verb}, {QStringLiteral("bus"), a[1]}, {QStringLiteral("on"), a[2] == QLatin1String("on")}};
    return {};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Drives the panel through its control API."));
    p.addHelpOption();
    p.addOption({QStringLiteral("host"), QStringLiteral("Panel address."), QStringLiteral("H"), QStringLiteral("127.0.0.1")});
    p.addOption({QStringLiteral("port"), QStringLiteral("API port."), QStringLiteral("P"),
                 QString::number(Api::kDefaultPort)});
    p.addOption({QStringLiteral("token"), QStringLiteral("Token (or TAVRIK_API_TOKEN)."), QStringLiteral("T")});
    p.addOption({QStringLiteral("role"), QStringLiteral("control or read."), QStringLiteral("R"), QStringLiteral("control")});
    p.addOption({QStringLiteral("count"), QStringLiteral("events: stop after N events."), QStringLiteral("N"), QStringLiteral("0")});
    p.addOption({QStringLiteral("seconds"), QStringLiteral("Give up (events: stop) after S seconds."), QStringLiteral("S"),
                 QStringLiteral("10")});
    p.addOption({QStringLiteral("listen"), QStringLiteral("relay: local port (127.0.0.1 only)."), QStringLiteral("PORT"),
                 QStringLiteral("16800")});
    p.addPositionalArgument(QStringLiteral("command"), QStringLiteral("cut, auto, program N, ..., events"));
    p.process(app);

    const QStringList words = p.positionalArguments();
    const bool relay = words.value(0) == QLatin1String("relay");
    const bool events = relay || words.value(0) == QLatin1String("events");
    const QJsonObject command = events ? QJsonObject{} : commandOf(words);
    if (!events && command.isEmpty()) {
        std::fputs("tavrik-ctl: unknown command (see --help)\n", stderr);
        return 1;
    }
    QByteArray token = p.value(QStringLiteral("token")).toLatin1();
    if (token.isEmpty())
        token = qgetenv("TAVRIK_API_TOKEN");
    const Api::Role role = p.value(QStringLiteral("role")) == QLatin1String("read") ? Api::Role::Read : Api::Role::Control;
    const int wanted = p.value(QStringLiteral("count")).toInt();
    int seen = 0;

    QWebSocket ws;
    // The relay's one local client; the relay listens on loopback only.
    QWebSocketServer local(QStringLiteral("tavrik-ctl"), QWebSocketServer::NonSecureMode);
    QWebSocket *localClient = nullptr;
    if (relay) {
        local.setMaxPendingConnections(1);
        QObject::connect(&local, &QWebSocketServer::newConnection, &app, [&] {
            QWebSocket *c = local.nextPendingConnection();
            if (localClient) {
                c->close(QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("one client at a time"));
                c->deleteLater();
                return;
            }
            localClient = c;
            QObject::connect(c, &QWebSocket::textMessageReceived, &ws, [&](const QString &t) { ws.sendTextMessage(t); });
            QObject::connect(c, &QWebSocket::disconnected, &app, [&, c] {
                if (localClient == c)
                    localClient = nullptr;
                c->deleteLater();
            });
        });
        if (!local.listen(QHostAddress::LocalHost, quint16(p.value(QStringLiteral("listen")).toUInt()))) {
            std::fprintf(stderr, "tavrik-ctl: cannot listen: %s\n", qPrintable(local.errorString()));
            return 1;
        }
    }
    if (!relay)
        QTimer::singleShot(p.value(QStringLiteral("seconds")).toInt() * 1000, &app, [&] {
        if (!events)
            std::fputs("tavrik-ctl: no answer in time\n", stderr);
        app.exit(events ? 0 : 1);
    });
    QTimer keepAlive; // the server closes a silent connection
    keepAlive.setInterval(30000);
    QObject::connect(&keepAlive, &QTimer::timeout, &ws, [&] { ws.sendTextMessage(QStringLiteral(R"({"cmd":"ping"})")); });
    QObject::connect(&ws, &QWebSocket::disconnected, &app, [&] {
        std::fprintf(stderr, "tavrik-ctl: connection closed: %s\n", qPrintable(ws.closeReason()));
        app.exit(1);
    });
    QObject::connect(&ws, &QWebSocket::textMessageReceived, &app, [&](const QString &text) {
        const QJsonObject m = QJsonDocument::fromJson(text.toUtf8()).object();
        const QString ev = m.value(QLatin1String("event")).toString();
        if (ev == QLatin1String("challenge")) {
            const QByteArray nonce = QByteArray::fromHex(m.value(QLatin1String("nonce")).toString().toLatin1());
            const QByteArray proof = Api::loginResponse(token, nonce, role).toHex();
            ws.sendTextMessage(QStringLiteral(R"({"cmd":"login","role":"%1","response":"%2"})")
                                   .arg(Api::roleName(role), QString::fromLatin1(proof)));
        } else if (ev == QLatin1String("login")) {
            if (events) {
                keepAlive.start();
            } else {
                QJsonObject c = command;
                c.insert(QStringLiteral("id"), 1);
                ws.sendTextMessage(QString::fromUtf8(QJsonDocument(c).toJson(QJsonDocument::Compact)));
            }
        } else if (relay) {
            if (localClient)
                localClient->sendTextMessage(text);
        } else if (events) {
            out(text);
            if (wanted > 0 && ++seen >= wanted)
                app.exit(0);
        } else if (ev == QLatin1String("error") && !m.contains(QLatin1String("id"))) {
            std::fprintf(stderr, "tavrik-ctl: %s\n", qPrintable(m.value(QLatin1String("error")).toString()));
            app.exit(1);
        } else if (m.value(QLatin1String("id")).toInt(-1) == 1
                   || (command.value(QLatin1String("cmd")) == QLatin1String("state") && ev == QLatin1String("state"))) {
            out(text);
            const QString outcome = m.value(QLatin1String("outcome")).toString();
            app.exit(ev == QLatin1String("error") ? 1
                     : ev == QLatin1String("state") || outcome == QLatin1String("Done") || outcome == QLatin1String("Queued") ? 0
                                                                                                                            : 2);
        }
    });
    ws.open(QUrl(QStringLiteral("ws://%1:%2").arg(p.value(QStringLiteral("host")), p.value(QStringLiteral("port")))));
    const int rc = app.exec();
    QObject::disconnect(&ws, nullptr, nullptr, nullptr); // the close on the way out is no news
    return rc;
}
