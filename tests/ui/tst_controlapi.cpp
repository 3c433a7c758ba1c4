// The control API against the panel's switching and a simulated board, over
// loopback: a command answers what the on-screen press answers, and every
// subscribed client sees the state it leaves; tavrik-ctl drives it.
#include "netsvc/apiproto.h"
#include "tests/common/panelrig.h"
#include "ui/controlapi.h"
#include "ui/imagekeys.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWebSocket>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {
const QByteArray kCut = QByteArray::fromHex("0400C601CB");

// A logged-in client collecting events.
struct Client
{
    Client(quint16 port, const QByteArray &token, Api::Role role)
    {
        QObject::connect(&ws, &QWebSocket::textMessageReceived, [this, token, role](const QString &t) {
            const QJsonObject m = QJsonDocument::fromJson(t.toUtf8()).object();
            if (m.value(QLatin1String("event")) == QLatin1String("challenge")) {
                const QByteArray nonce = QByteArray::fromHex(m.value(QLatin1String("nonce")).toString().toLatin1());
                ws.sendTextMessage(QStringLiteral(R"({"cmd":"login","role":"%1","response":"%2"})")
                                       .arg(Api::roleName(role),
                                            QString::fromLatin1(Api::loginResponse(token, nonce, role).toHex())));
            }
            events << m;
        });
        ws.open(QUrl(QStringLiteral("ws://127.0.0.1:%1").arg(port)));
    }
    QJsonObject last(const QString &name) const
    {
        for (int i = events.size() - 1; i >= 0; --i)
            if (events[i].value(QLatin1String("event")).toString() == name)
                return events[i];
        return {};
    }
    QWebSocket ws;
    QList<QJsonObject> events;
};

// The panel's control API on an ephemeral loopback port.
struct Rig : PanelRig
{
    explicit Rig(bool lineUp) : PanelRig(lineUp), api(panel->api()) { api->listenOn(QHostAddress::LocalHost, 0); }
    bool up() { return QTest::qWaitFor([this] { return api->port() != 0; }, 5000); }
    QByteArray control() const { return api->controlToken().toLatin1(); }

    ControlApi *api;
};
} // namespace

class TstControlApi : public QObject
{
    Q_OBJECT
private slots:
    void offByDefault();
    void outcomes_data();
    void outcomes();
    void ctlCutReachesEveryClient();
};

void TstControlApi::offByDefault()
{
    TestSysroot sys;
    PanelSettings s(sys.root() + QStringLiteral("/tavrik.conf"));
    QCOMPARE(s.boolValue(QStringLiteral("system"), QStringLiteral("apiEnabled")), false);
}

// The reply carries exactly what Switching answered for the press.
void TstControlApi::outcomes_data()
{
    QTest::addColumn<bool>("lineUp");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<int>("cutFrames");
    QTest::newRow("cut") << true << R"({"cmd":"cut","id":3})" << "Done" << 1;
    QTest::newRow("cut, line closed") << false << R"({"cmd":"cut","id":3})" << "LineClosed" << 0;
    QTest::newRow("program already on") << true << R"({"cmd":"program","source":1,"id":3})" << "Done" << 0;
    QTest::newRow("store, camera offline") << true << R"({"cmd":"store","camera":1,"preset":2,"id":3})"
                                           << "CameraOffline" << 0;
    QTest::newRow("pip on") << true << R"({"cmd":"pip","bus":"program","on":true,"id":3})" << "Done" << 0;
}

void TstControlApi::outcomes()
{
    QFETCH(bool, lineUp);
    QFETCH(QString, command);
    QFETCH(QString, outcome);
    QFETCH(int, cutFrames);
    Rig rig(lineUp);
    QVERIFY(rig.up());
    QSignalSpy answered(rig.panel->switching(), &Switching::answered);
    Client c(quint16(rig.api->port()), rig.control(), Api::Role::Control);
    QTRY_VERIFY(!c.last(QStringLiteral("login")).isEmpty());
    c.ws.sendTextMessage(command);
    QTRY_VERIFY_WITH_TIMEOUT(!c.last(QStringLiteral("reply")).isEmpty(), 10000);
    const QJsonObject reply = c.last(QStringLiteral("reply"));
    QCOMPARE(reply.value(QLatin1String("id")).toInt(), 3);
    QCOMPARE(reply.value(QLatin1String("outcome")).toString(), outcome);
    if (!answered.isEmpty())
        QCOMPARE(QMetaEnum::fromType<Outcome::Kind>().valueToKey(answered.first().at(1).toInt()), qPrintable(outcome));
    QCOMPARE(rig.count(kCut), cutFrames);
    QVERIFY(!ImageKeys::of(rig.panel.get())->storeMode()); // the page's mode as it was
}

// tavrik-ctl cut cuts, and every subscribed client sees the new tally.
void TstControlApi::ctlCutReachesEveryClient()
{
    Rig rig(true);
    QVERIFY(rig.up());
    const quint16 port = quint16(rig.api->port());
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < 3; ++i)
        clients.push_back(std::make_unique<Client>(port, i ? rig.api->readToken().toLatin1() : rig.control(),
                                                   i ? Api::Role::Read : Api::Role::Control));
    for (auto &c : clients)
        QTRY_VERIFY(!c->last(QStringLiteral("login")).isEmpty());

    QProcess ctl;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TAVRIK_API_TOKEN"), rig.api->controlToken());
    ctl.setProcessEnvironment(env);
    ctl.start(QStringLiteral(TAVRIK_CTL), {QStringLiteral("--port"), QString::number(port), QStringLiteral("cut")});
    // The panel runs on this thread: wait by spinning the event loop.
    QTRY_COMPARE_WITH_TIMEOUT(ctl.state(), QProcess::NotRunning, 15000);
    QCOMPARE(ctl.exitCode(), 0);
    QVERIFY(ctl.readAllStandardOutput().contains("\"outcome\":\"Done\""));
    QCOMPARE(rig.count(kCut), 1);
    const QJsonArray tally{QStringLiteral("preview"), QStringLiteral("program"), QStringLiteral("off")};
    for (auto &c : clients) {
        QTRY_COMPARE(c->last(QStringLiteral("tally")).value(QLatin1String("cameras")).toArray(), tally);
        // One tally event: never the moment with one source on both buses.
        QCOMPARE(std::count_if(c->events.begin(), c->events.end(),
                               [](const QJsonObject &e) { return e.value(QLatin1String("event")) == QLatin1String("tally"); }),
                 1);
    }
}

QTEST_GUILESS_MAIN(TstControlApi)
#include "tst_controlapi.moc"
