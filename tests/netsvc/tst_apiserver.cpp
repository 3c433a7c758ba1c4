// The control API's server over real sockets on loopback: login, roles and
// the bounds on clients, messages and time.
#include "netsvc/apiserver.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QWebSocket>
#include <QtTest>

#include <memory>

namespace {

const QByteArray kRead = "read-token";
const QByteArray kControl = "control-token";

// A client on the test thread; `events` collects what the server sends.
struct Client
{
    explicit Client(quint16 port)
    {
        QObject::connect(&ws, &QWebSocket::textMessageReceived, [this](const QString &t) {
            events << QJsonDocument::fromJson(t.toUtf8()).object();
        });
        ws.open(QUrl(QStringLiteral("ws://127.0.0.1:%1").arg(port)));
    }
    bool waitChallenge()
    {
        return QTest::qWaitFor([this] { return !events.isEmpty(); }, 5000)
               && events.first().value(QLatin1String("event")).toString() == QLatin1String("challenge");
    }
    QByteArray nonce() const { return QByteArray::fromHex(events.first().value(QLatin1String("nonce")).toString().toLatin1()); }
    void login(const QByteArray &token, const char *role, const QByteArray &proof = {})
    {
        const Api::Role r = qstrcmp(role, "read") == 0 ? Api::Role::Read : Api::Role::Control;
        const QByteArray p = proof.isEmpty() ? Api::loginResponse(token, nonce(), r) : proof;
        send(QStringLiteral(R"({"cmd":"login","role":"%1","response":"%2"})").arg(QLatin1String(role),
                                                                                   QString::fromLatin1(p.toHex())));
    }
    void send(const QString &text) { ws.sendTextMessage(text); }
    // The first event named `name` after message `from`, waited for.
    QJsonObject waitEvent(const QString &name, int from = 0)
    {
        QJsonObject found;
        (void)QTest::qWaitFor(
            [&] {
                for (int i = from; i < events.size(); ++i)
                    if (events[i].value(QLatin1String("event")).toString() == name)
                        return found = events[i], true;
                return false;
            },
            5000);
        return found;
    }
    bool waitClosed() { return QTest::qWaitFor([this] { return ws.state() == QAbstractSocket::UnconnectedState; }, 8000); }

    QWebSocket ws;
    QList<QJsonObject> events;
};

} // namespace

class TstApiServer : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        host = std::make_unique<ApiHost>();
        server = host->server();
        server->setTokens(kRead, kControl);
        server->setTimeouts(2000, 1500);
        QSignalSpy up(server, &ApiServer::listening);
        QMetaObject::invokeMethod(server, [s = server] { s->listen(QHostAddress::LocalHost, 0); });
        QVERIFY(up.wait(5000));
        QVERIFY(up.first().at(0).toBool());
        port = quint16(up.first().at(1).toUInt());
        QMetaObject::invokeMethod(server, [s = server] { s->setSnapshot(R"({"event":"state","program":1})"); });
    }
    void cleanup() { host.reset(); }

    void login_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("expect"); // the event that answers, then whether the line stays open
        QTest::newRow("control") << "control" << "login open";
        QTest::newRow("read") << "read" << "login open";
        QTest::newRow("read token as control") << "swapped" << "error closed";
        QTest::newRow("wrong token") << "wrong" << "error closed";
        QTest::newRow("replayed response") << "replay" << "error closed";
        QTest::newRow("command before login") << "early" << "error open";
    }
    void login()
    {
        QFETCH(QString, how);
        QFETCH(QString, expect);
        Client c(port);
        QVERIFY(c.waitChallenge());
        if (how == QLatin1String("control"))
            c.login(kControl, "control");
        else if (how == QLatin1String("read"))
            c.login(kRead, "read");
        else if (how == QLatin1String("swapped"))
            c.login(kRead, "control");
        else if (how == QLatin1String("wrong"))
            c.login("guess", "control");
        else if (how == QLatin1String("early"))
            c.send(QStringLiteral(R"({"cmd":"cut","id":1})"));
        else {
            // A response that was right for another connection's nonce.
            Client first(port);
            QVERIFY(first.waitChallenge());
            c.login(kControl, "control", Api::loginResponse(kControl, first.nonce(), Api::Role::Control));
        }
        const QStringList e = expect.split(QLatin1Char(' '));
        const QJsonObject answer = c.waitEvent(e[0], 1);
        QVERIFY2(!answer.isEmpty(), qPrintable(expect));
        if (e[1] == QLatin1String("closed")) {
            QVERIFY(c.waitClosed());
        } else {
            QTest::qWait(100);
            QCOMPARE(c.ws.state(), QAbstractSocket::ConnectedState);
        }
        if (e[0] == QLatin1String("login"))
            QCOMPARE(c.waitEvent(QStringLiteral("state")).value(QLatin1String("program")).toInt(), 1);
    }

    // A read-only client is refused what changes the switcher; a control
    // client's command leaves for the interface, and events reach both.
    void roles()
    {
        QSignalSpy commands(server, &ApiServer::command);
        Client reader(port), controller(port);
        QVERIFY(reader.waitChallenge() && controller.waitChallenge());
        reader.login(kRead, "read");
        controller.login(kControl, "control");
        QVERIFY(!reader.waitEvent(QStringLiteral("login")).isEmpty());
        QVERIFY(!controller.waitEvent(QStringLiteral("login")).isEmpty());
        reader.send(QStringLiteral(R"({"cmd":"cut","id":4})"));
        const QJsonObject refused = reader.waitEvent(QStringLiteral("error"));
        QCOMPARE(refused.value(QLatin1String("error")).toString(), QStringLiteral("read-only"));
        QCOMPARE(refused.value(QLatin1String("id")).toInt(), 4);
        reader.send(QStringLiteral(R"({"cmd":"ping","id":5})"));
        QCOMPARE(reader.waitEvent(QStringLiteral("reply")).value(QLatin1String("outcome")).toString(),
                 QStringLiteral("Done"));
        controller.send(QStringLiteral(R"({"cmd":"program","source":3,"id":9})"));
        QVERIFY(commands.wait(5000));
        const auto cmd = commands.first().at(1).value<Api::Command>();
        QCOMPARE(int(cmd.kind), int(Api::Command::Program));
        QCOMPARE(cmd.source, 3);
        QCOMPARE(commands.size(), 1);
        QMetaObject::invokeMethod(server, [s = server] { s->broadcast(R"({"event":"buses"})"); });
        QVERIFY(!reader.waitEvent(QStringLiteral("buses")).isEmpty());
        QVERIFY(!controller.waitEvent(QStringLiteral("buses")).isEmpty());
    }

    void limits()
    {
        // Eight clients; the ninth is closed at once.
        std::vector<std::unique_ptr<Client>> clients;
        for (int i = 0; i < Api::kMaxClients; ++i) {
            clients.push_back(std::make_unique<Client>(port));
            QVERIFY(clients.back()->waitChallenge());
        }
        Client ninth(port);
        QVERIFY(ninth.waitClosed());
        QVERIFY(ninth.events.isEmpty());
        clients.pop_back();

        Client &c = *clients.front();
        c.login(kControl, "control");
        QVERIFY(!c.waitEvent(QStringLiteral("login")).isEmpty());
        // The command rate: a burst passes, then commands are refused.
        for (int i = 0; i < 30; ++i)
            c.send(QStringLiteral(R"({"cmd":"ping"})"));
        QCOMPARE(c.waitEvent(QStringLiteral("error")).value(QLatin1String("error")).toString(),
                 QStringLiteral("rate limit"));
        // A message over 4 KiB closes the connection.
        c.send(QStringLiteral(R"({"cmd":"ping","x":"%1"})").arg(QString(5000, QLatin1Char('a'))));
        QVERIFY(c.waitClosed());
        // No login in time, and idle after one: both closed.
        Client &late = *clients[1];
        Client &idle = *clients[2];
        idle.login(kRead, "read");
        QVERIFY(late.waitClosed());
        QVERIFY(idle.waitClosed());
    }

private:
    std::unique_ptr<ApiHost> host;
    ApiServer *server = nullptr;
    quint16 port = 0;
};

QTEST_GUILESS_MAIN(TstApiServer)
#include "tst_apiserver.moc"
