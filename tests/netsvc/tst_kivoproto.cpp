// The discovery datagrams as a codec: the keyword dispatch, the text parsers
// and the boot configuration edit. The replies' bytes: in the server's test.
#include "netsvc/kivoproto.h"

#include <QtTest>

using namespace Kivo;

class TstKivoProto : public QObject
{
    Q_OBJECT
private slots:
    void dispatch_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("command");
        const int none = int(Command::None), set = int(Command::SetMacAdr), eth = int(Command::EthReq),
                  model = int(Command::GetModel), name = int(Command::GetModelName);
        QTest::newRow("empty") << QByteArray() << none;
        QTest::newRow("one byte") << QByteArray("E") << none;
        QTest::newRow("eth_req") << QByteArray::fromHex("00108000") + "ETH_REQ" << eth;
        QTest::newRow("keyword anywhere") << QByteArray("xxxxxxxxxxxxETH_REQyy") << eth;
        QTest::newRow("case-sensitive") << QByteArray("eth_req") << none;
        QTest::newRow("set after eth") << QByteArray("SET_MACADR ETH_REQ") << set;
        QTest::newRow("get_model") << QByteArray("GET_MODEL") << model;
        QTest::newRow("get_model_name") << QByteArray("GET_MODEL_NAME") << name;
        QTest::newRow("eth wins over model") << QByteArray("GET_MODEL ETH_REQ") << eth;
        QTest::newRow("truncated keyword") << QByteArray("SET_MACAD") << none;
    }
    void dispatch()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, command);
        QCOMPARE(int(Kivo::dispatch(request)), command);
    }

    // parseQuad is lenient like the management tool; isDottedQuad guards
    // what the panel itself writes.
    void parsers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("quadHex"); // empty: not four parts
        QTest::addColumn<bool>("strict");
        QTest::newRow("plain") << "192.168.100.104" << "c0a86468" << true;
        QTest::newRow("junk part") << "192.x.100.104" << "c0006468" << false;
        QTest::newRow("out of range part") << "300.1.2.3" << "00010203" << false;
        QTest::newRow("empty part") << "1..2.3" << "01000203" << false;
        QTest::newRow("three parts") << "255.255.255" << "" << false;
        QTest::newRow("five parts") << "1.2.3.4.5" << "" << false;
        QTest::newRow("empty") << "" << "" << false;
        QTest::newRow("leading zero") << "01.2.3.4" << "01020304" << false;
        QTest::newRow("sign") << "+1.2.3.4" << "01020304" << false;
    }
    void parsers()
    {
        QFETCH(QString, text);
        QFETCH(QString, quadHex);
        QFETCH(bool, strict);
        Quad q{};
        QCOMPARE(parseQuad(text, &q), !quadHex.isEmpty());
        if (!quadHex.isEmpty())
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(q.data()), 4).toHex(), quadHex.toLatin1());
        QCOMPARE(isDottedQuad(text), strict);
    }

    void macFields()
    {
        Mac m{};
        QVERIFY(parseMac(QStringLiteral("b8:27:EB:01:02:03"), &m));
        QCOMPARE(macHex(m), QStringLiteral("B827EB010203"));
        QCOMPARE(macText(m), QStringLiteral("b8:27:eb:01:02:03"));
        QVERIFY(parseMac(QStringLiteral("zz:27:eb:01:02:03"), &m));
        QCOMPARE(m[0], quint8(0));
        QVERIFY(!parseMac(QStringLiteral("b8:27:eb:01:02"), &m));
        QVERIFY(!parseMac(QString(), &m));
        QVERIFY(isMacText(QStringLiteral("b8:27:EB:01:02:03")));
        QVERIFY(!isMacText(QStringLiteral("b8:27:eb:01:02:3")));

        QCOMPARE(targetMacHex(QByteArray::fromHex("00108000b827eb010203") + "GET_MODEL"), QStringLiteral("B827EB010203"));
        QCOMPARE(macText(newMacOf(QByteArray("SET_MACADR") + QByteArray::fromHex("deadbeef0001"))),
                 QStringLiteral("de:ad:be:ef:00:01"));
        // The keyword alone: its own last six bytes are the "new MAC".
        QCOMPARE(macText(newMacOf(QByteArray("SET_MACADR"))), QStringLiteral("4d:41:43:41:44:52"));
    }

    void forcedMacEdit_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after"); // empty: no key, text untouched
        const QString mac = QStringLiteral("de:ad:be:ef:00:01");
        QTest::newRow("first line only")
            << "force_mac_address=b8:27:eb:00:00:01\nforce_mac_address=b8:27:eb:00:00:02\n"
            << "force_mac_address=" + mac + "\nforce_mac_address=b8:27:eb:00:00:02\n";
        QTest::newRow("empty value") << "force_mac_address=\n" << "force_mac_address=" + mac + "\n";
        QTest::newRow("text after value kept")
            << "force_mac_address=b8:27:eb:00:00:01 # lab\n" << "force_mac_address=" + mac + " # lab\n";
        QTest::newRow("no final line feed") << "a\nforce_mac_address=x" << "a\nforce_mac_address=" + mac + "\n";
        QTest::newRow("no key") << "dtparam=audio=on\n" << "";
    }
    void forcedMacEdit()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QString text = before;
        QCOMPARE(replaceForcedMac(&text, QStringLiteral("de:ad:be:ef:00:01")), !after.isEmpty());
        QCOMPARE(text, after.isEmpty() ? before : after);
    }
};

QTEST_GUILESS_MAIN(TstKivoProto)
#include "tst_kivoproto.moc"
