// The discovery datagrams as a codec: the keyword dispatch, the text parsers
// and the boot configuration edit. The replies are checked byte for byte
// where they travel, in the server's own test.
#include "netsvc/kivoproto.h"

#include <QtTest>

using namespace Kivo;

namespace {
QByteArray bytes(std::initializer_list<int> v)
{
    QByteArray b;
    for (int x : v)
        b.append(char(x));
    return b;
}
} // namespace

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
        QTest::newRow("eth_req") << bytes({0x00, 0x10, 0x80, 0x00}) + "ETH_REQ" << eth;
        QTest::newRow("keyword anywhere") << QByteArray("xxxxxxxxxxxxETH_REQyy") << eth;
        QTest::newRow("case-sensitive") << QByteArray("eth_req") << none;
        QTest::newRow("set before eth") << QByteArray("ETH_REQ SET_MACADR") << set;
        QTest::newRow("set after eth") << QByteArray("SET_MACADR ETH_REQ") << set;
        QTest::newRow("get_model") << QByteArray("GET_MODEL") << model;
        QTest::newRow("get_model_name") << QByteArray("GET_MODEL_NAME") << name;
        QTest::newRow("both model keywords") << QByteArray("GET_MODEL GET_MODEL_NAME") << name;
        QTest::newRow("eth wins over model") << QByteArray("GET_MODEL ETH_REQ") << eth;
        QTest::newRow("truncated keyword") << QByteArray("SET_MACAD") << none;
    }
    void dispatch()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, command);
        QCOMPARE(int(Kivo::dispatch(request)), command);
    }

    void replyType_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("type");
        QTest::newRow("broadcast") << bytes({0, 0, 0x80}) << 0x80;
        QTest::newRow("udp") << bytes({0, 0, 0x81}) << 0x81;
        QTest::newRow("tcp") << bytes({0, 0, 0x82}) << 0x81;
        QTest::newRow("two bytes") << bytes({0, 0}) << 0x81;
        QTest::newRow("empty") << QByteArray() << 0x81;
    }
    void replyType()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, type);
        QCOMPARE(int(Kivo::replyType(request)), type);
    }

    void parsers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isQuad");
        QTest::addColumn<QString>("quadHex");
        QTest::addColumn<bool>("strict");
        QTest::newRow("plain") << "192.168.100.104" << true << "c0a86468" << true;
        QTest::newRow("junk part") << "192.x.100.104" << true << "c0006468" << false;
        QTest::newRow("out of range part") << "300.1.2.3" << true << "00010203" << false;
        QTest::newRow("empty part") << "1..2.3" << true << "01000203" << false;
        QTest::newRow("three parts") << "255.255.255" << false << "" << false;
        QTest::newRow("five parts") << "1.2.3.4.5" << false << "" << false;
        QTest::newRow("empty") << "" << false << "" << false;
        QTest::newRow("leading zero") << "01.2.3.4" << true << "01020304" << false;
        QTest::newRow("sign") << "+1.2.3.4" << true << "01020304" << false;
    }
    void parsers()
    {
        QFETCH(QString, text);
        QFETCH(bool, isQuad);
        QFETCH(QString, quadHex);
        QFETCH(bool, strict);
        Quad q{};
        QCOMPARE(parseQuad(text, &q), isQuad);
        if (isQuad)
            QCOMPARE(QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(q.data()), 4).toHex()), quadHex);
        QCOMPARE(isDottedQuad(text), strict);
    }

    void macParsing()
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
    }

    void targetAndNewMac()
    {
        const QByteArray req = bytes({0, 0x10, 0x80, 0, 0xB8, 0x27, 0xEB, 0x01, 0x02, 0x03}) + "GET_MODEL";
        QCOMPARE(targetMacHex(req), QStringLiteral("B827EB010203"));
        QCOMPARE(targetMacHex(QByteArray("GET_MODEL")), QString()); // 9 bytes: no MAC field
        QCOMPARE(macText(newMacOf(QByteArray("SET_MACADR") + bytes({0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x01}))),
                 QStringLiteral("de:ad:be:ef:00:01"));
        // The keyword alone: its own last six bytes are the "new MAC".
        QCOMPARE(macText(newMacOf(QByteArray("SET_MACADR"))), QStringLiteral("4d:41:43:41:44:52"));
    }

    void broadcastAddress_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("broadcast");
        QTest::newRow("lan") << "192.168.100.104" << "192.168.100.255";
        QTest::newRow("loopback") << "127.0.0.5" << "127.0.0.255";
        QTest::newRow("too short") << "10.1" << "";
    }
    void broadcastAddress()
    {
        QFETCH(QString, ip);
        QFETCH(QString, broadcast);
        QCOMPARE(broadcastOf(ip), broadcast);
    }

    void forcedMacEdit_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("after");
        const QString mac = QStringLiteral("de:ad:be:ef:00:01");
        QTest::newRow("replaced")
            << "dtparam=audio=on\nforce_mac_address=b8:27:eb:00:00:01\ngpu_mem=128\n" << true
            << "dtparam=audio=on\nforce_mac_address=" + mac + "\ngpu_mem=128\n";
        QTest::newRow("first line only")
            << "force_mac_address=b8:27:eb:00:00:01\nforce_mac_address=b8:27:eb:00:00:02\n" << true
            << "force_mac_address=" + mac + "\nforce_mac_address=b8:27:eb:00:00:02\n";
        QTest::newRow("empty value") << "force_mac_address=\n" << true << "force_mac_address=" + mac + "\n";
        QTest::newRow("text after value kept")
            << "force_mac_address=b8:27:eb:00:00:01 # lab\n" << true << "force_mac_address=" + mac + " # lab\n";
        QTest::newRow("no final line feed") << "a\nforce_mac_address=x" << true << "a\nforce_mac_address=" + mac + "\n";
        QTest::newRow("no key") << "dtparam=audio=on\n" << false << "dtparam=audio=on\n";
        QTest::newRow("empty file") << "" << false << "";
    }
    void forcedMacEdit()
    {
        QFETCH(QString, before);
        QFETCH(bool, found);
        QFETCH(QString, after);
        QString text = before;
        QCOMPARE(replaceForcedMac(&text, QStringLiteral("de:ad:be:ef:00:01")), found);
        QCOMPARE(text, after);
    }
};

QTEST_GUILESS_MAIN(TstKivoProto)
#include "tst_kivoproto.moc"
