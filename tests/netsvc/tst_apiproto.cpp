// The control API's messages as a codec: what the parser takes and refuses,
// the login proof's exact bytes, and the login and command limits.
#include "netsvc/apiproto.h"

#include <QtTest>

using Api::Command;

class TstApiProto : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QString>("expect"); // "kind id field" when taken, else the start of the error
        const QByteArray hex64(64, 'a');
        QTest::newRow("cut") << QByteArray(R"({"cmd":"cut","id":7})") << "3 7 -";
        QTest::newRow("no id") << QByteArray(R"({"cmd":"auto"})") << "4 -1 -";
        QTest::newRow("program") << QByteArray(R"({"cmd":"program","source":5})") << "5 -1 5";
        QTest::newRow("preview 0") << QByteArray(R"({"cmd":"preview","source":0,"id":0})") << "6 0 0";
        QTest::newRow("pip on preview") << QByteArray(R"({"cmd":"pip","bus":"preview","on":true})") << "7 -1 p1";
        QTest::newRow("key off program") << QByteArray(R"({"cmd":"key","bus":"program","on":false})") << "8 -1 p0";
        QTest::newRow("wipe") << QByteArray(R"({"cmd":"transition","type":"wipe"})") << "9 -1 w";
        QTest::newRow("store") << QByteArray(R"({"cmd":"store","camera":3,"preset":4})") << "12 -1 3/4";
        QTest::newRow("preset 5") << QByteArray(R"({"cmd":"recall","camera":1,"preset":5})") << "preset: 1..4";
        QTest::newRow("camera 0") << QByteArray(R"({"cmd":"recall","camera":0,"preset":1})") << "camera: 1..3";
        QTest::newRow("move") << QByteArray(R"({"cmd":"move","pan":-1,"tilt":1})") << "13 -1 -1,1";
        QTest::newRow("zoom out") << QByteArray(R"({"cmd":"zoom","direction":"out"})") << "15 -1 -1";
        QTest::newRow("pan 2") << QByteArray(R"({"cmd":"move","pan":2,"tilt":0})") << "pan:";
        QTest::newRow("zoom sideways") << QByteArray(R"({"cmd":"zoom","direction":"left"})") << "direction:";
        QTest::newRow("memory 6") << QByteArray(R"({"cmd":"memory","memory":6})") << "10 -1 6";
        QTest::newRow("login") << QByteArray("{\"cmd\":\"login\",\"role\":\"read\",\"response\":\"" + hex64 + "\"}")
                               << "0 -1 read";
        QTest::newRow("not json") << QByteArray("cut") << "not a flat JSON object";
        QTest::newRow("broken json") << QByteArray(R"({"cmd":"cut",})") << "not a JSON object";
        QTest::newRow("array") << QByteArray(R"(["cut"])") << "not a flat JSON object";
        QTest::newRow("nested") << QByteArray(R"({"cmd":"cut","id":{"a":1},"id":2})") << "not a flat JSON object";
        QTest::newRow("brace in a string") << QByteArray("{\"cmd\":\"cut\",\"id\":1,\"x\":\"{\\\"[\"}") << "unexpected field: x";
        QTest::newRow("no cmd") << QByteArray(R"({"id":1})") << "cmd missing";
        QTest::newRow("unknown") << QByteArray(R"({"cmd":"reboot","id":3})") << "unknown cmd";
        QTest::newRow("extra field") << QByteArray(R"({"cmd":"cut","source":1})") << "unexpected field: source";
        QTest::newRow("missing field") << QByteArray(R"({"cmd":"program"})") << "missing field: source";
        QTest::newRow("source 6") << QByteArray(R"({"cmd":"program","source":6})") << "source: 0..5";
        QTest::newRow("source -1") << QByteArray(R"({"cmd":"program","source":-1})") << "source: 0..5";
        QTest::newRow("source 1.5") << QByteArray(R"({"cmd":"program","source":1.5})") << "source: 0..5";
        QTest::newRow("source text") << QByteArray(R"({"cmd":"program","source":"1"})") << "source: 0..5";
        QTest::newRow("memory 0") << QByteArray(R"({"cmd":"memory","memory":0})") << "memory: 1..6";
        QTest::newRow("id too big") << QByteArray(R"({"cmd":"cut","id":2147483648})") << "id:";
        QTest::newRow("id 1e300") << QByteArray(R"({"cmd":"cut","id":1e300})") << "id:";
        QTest::newRow("on as 1") << QByteArray(R"({"cmd":"pip","bus":"program","on":1})") << "on: true or false";
        QTest::newRow("bus aux") << QByteArray(R"({"cmd":"key","bus":"aux","on":true})") << "bus:";
        QTest::newRow("role admin") << QByteArray("{\"cmd\":\"login\",\"role\":\"admin\",\"response\":\"" + hex64 + "\"}")
                                    << "role:";
        QTest::newRow("short response") << QByteArray(R"({"cmd":"login","role":"read","response":"abcd"})")
                                        << "response:";
        QTest::newRow("non-hex response")
            << QByteArray("{\"cmd\":\"login\",\"role\":\"read\",\"response\":\"" + QByteArray(62, 'a') + "zz\"}")
            << "response:";
        QTest::newRow("too long") << QByteArray("{\"cmd\":\"cut\",\"x\":\"" + QByteArray(4100, 'a') + "\"}")
                                  << "message too long";
    }
    void parse()
    {
        QFETCH(QByteArray, message);
        QFETCH(QString, expect);
        const Api::Parsed p = Api::parse(message);
        if (!p.ok) {
            QVERIFY2(p.error.startsWith(expect), qPrintable(p.error));
            return;
        }
        const Command &c = p.command;
        QString field = QStringLiteral("-");
        if (c.kind == Command::Program || c.kind == Command::Preview)
            field = QString::number(c.source);
        else if (c.kind == Command::Pip || c.kind == Command::Key)
            field = QStringLiteral("p%1").arg(int(c.on));
        else if (c.kind == Command::Transition)
            field = c.wipe ? QStringLiteral("w") : QStringLiteral("m");
        else if (c.kind == Command::MemoryRecall)
            field = QString::number(c.memory);
        else if (c.kind == Command::PresetStore || c.kind == Command::PresetRecall)
            field = QStringLiteral("%1/%2").arg(c.camera).arg(c.preset);
        else if (c.kind == Command::Move)
            field = QStringLiteral("%1,%2").arg(c.pan).arg(c.tilt);
        else if (c.kind == Command::Zoom)
            field = QString::number(c.zoom);
        else if (c.kind == Command::Login)
            field = Api::roleName(c.role);
        QCOMPARE(QStringLiteral("%1 %2 %3").arg(int(c.kind)).arg(c.id).arg(field), expect);
        if (c.kind == Command::Pip)
            QVERIFY(c.preview);
    }

    // The proof a client computes: HMAC-SHA256(token, "<nonce hex>:<role>").
    void loginProof()
    {
        QByteArray nonce;
        for (int i = 0; i < 32; ++i)
            nonce.append(char(i));
        QCOMPARE(Api::loginResponse("tok", nonce, Api::Role::Control).toHex(),
                 QByteArray("3b4dad5680ce5a2a534168b014b7330a6026ee7a986ebcdd59eb2313f10dd283"));
        QCOMPARE(Api::loginResponse("tok", nonce, Api::Role::Read).toHex(),
                 QByteArray("d1ea77f319f6120f74a29963cb64bf3db325429b6d83ebff46974a136596be74"));
        QVERIFY(!Api::sameBytes("abc", "abd"));
        QVERIFY(!Api::sameBytes("abc", "ab"));
        QVERIFY(Api::sameBytes("abc", "abc"));
        QVERIFY(Api::newNonce() != Api::newNonce());
        QCOMPARE(Api::newToken().size(), 2 * Api::kTokenBytes);
        QCOMPARE(Api::challengeMessage(nonce),
                 QByteArray("{\"event\":\"challenge\",\"nonce\":\"") + nonce.toHex() + "\",\"version\":1}");
    }

    void throttle()
    {
        Api::LoginThrottle t;
        const QHostAddress a(QStringLiteral("127.0.0.2")), b(QStringLiteral("127.0.0.3"));
        QList<int> delays;
        for (int i = 0; i < Api::LoginThrottle::kBlockAfter; ++i) {
            QVERIFY(!t.blocked(a, 1000));
            delays << t.failed(a, 1000);
        }
        QCOMPARE(delays, (QList<int>{500, 1000, 1500, 2000, 2500}));
        QVERIFY(t.blocked(a, 1000));
        QVERIFY(!t.blocked(b, 1000));
        QVERIFY(t.blocked(a, 1000 + Api::LoginThrottle::kBlockMs - 1));
        QVERIFY(!t.blocked(a, 1000 + Api::LoginThrottle::kBlockMs));
        // Failures spread wider than the window start again.
        QCOMPARE(t.failed(b, 0), 500);
        QCOMPARE(t.failed(b, Api::LoginThrottle::kWindowMs + 1), 500);
        t.succeeded(b);
        QCOMPARE(t.failed(b, 0), 500);
        // Many addresses: the table stays bounded and keeps the blocked one.
        for (int i = 0; i < 1000; ++i)
            t.failed(QHostAddress(quint32(0x0a000000 + i)), 2000 + i);
        QVERIFY(t.blocked(a, 5000));
    }

    void rate()
    {
        Api::RateLimit r;
        int taken = 0;
        for (int i = 0; i < 100; ++i)
            taken += r.take(0);
        QCOMPARE(taken, Api::RateLimit::kBurst);
        QVERIFY(!r.take(50));
        QVERIFY(r.take(100)); // one command per 100 ms
        QVERIFY(!r.take(100));
    }
};

QTEST_GUILESS_MAIN(TstApiProto)
#include "tst_apiproto.moc"
