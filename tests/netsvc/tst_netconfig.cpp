// The text rules behind the network settings and the meter, row by row.
// Prefix-to-mask is checked through getNetmask in the settings test.
#include "netsvc/netconfig.h"

#include <QtTest>

class TstNetConfig : public QObject
{
    Q_OBJECT
private slots:
    void netmaskToCIDR_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<int>("prefix");
        QTest::newRow("/24") << "255.255.255.0" << 24;
        QTest::newRow("/32") << "255.255.255.255" << 32;
        QTest::newRow("/0") << "0.0.0.0" << 0;
        QTest::newRow("/25") << "255.255.255.128" << 25;
        QTest::newRow("not contiguous") << "255.0.255.0" << 8;
        QTest::newRow("three parts") << "255.255.255" << -1;
        QTest::newRow("five parts") << "255.255.255.0.0" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("junk part counts as 0") << "255.x.255.0" << 8;
    }
    void netmaskToCIDR()
    {
        QFETCH(QString, mask);
        QFETCH(int, prefix);
        QCOMPARE(NetConfig::netmaskToCIDR(mask), prefix);
    }

    void customBlockText()
    {
        QCOMPARE(NetConfig::customBlock("192.168.100.104", 24, "192.168.100.1", "8.8.8.8", "1.1.1.1"),
                 QStringLiteral("# BEGIN CUSTOM\ninterface eth0\nstatic ip_address=192.168.100.104/24\n"
                                "static routers=192.168.100.1\nstatic domain_name_servers=8.8.8.8 1.1.1.1\n"
                                "# END CUSTOM\n"));
    }

    void blockRemoval_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<bool>("hasBlock");
        QTest::newRow("no block") << "hostname\nclientid\n" << QStringList{"hostname", "clientid"} << false;
        QTest::newRow("block in the middle")
            << "a\n# BEGIN CUSTOM\ninterface eth0\n# END CUSTOM\nb\n" << QStringList{"a", "b"} << true;
        QTest::newRow("indented markers")
            << "a\n   # BEGIN CUSTOM\t\nx\n\t# END CUSTOM  \nb\n" << QStringList{"a", "b"} << true;
        QTest::newRow("extra text is no marker")
            << "a\n# BEGIN CUSTOM block\nx\n" << QStringList{"a", "# BEGIN CUSTOM block", "x"} << false;
        QTest::newRow("kept lines untrimmed")
            << "  a  \n# BEGIN CUSTOM\n# END CUSTOM\n\tb" << QStringList{"  a  ", "\tb"} << true;
        QTest::newRow("two blocks") << "# BEGIN CUSTOM\n1\n# END CUSTOM\nm\n# BEGIN CUSTOM\n2\n# END CUSTOM\n"
                                    << QStringList{"m"} << true;
        QTest::newRow("unterminated block") << "a\n# BEGIN CUSTOM\nx\ny\n" << QStringList{"a"} << true;
        QTest::newRow("crlf lines") << "a\r\n# BEGIN CUSTOM\r\nx\r\n# END CUSTOM\r\nb\r\n" << QStringList{"a", "b"} << true;
        QTest::newRow("empty lines kept") << "a\n\n\nb\n" << QStringList{"a", "", "", "b"} << false;
    }
    void blockRemoval()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, kept);
        QFETCH(bool, hasBlock);
        QCOMPARE(NetConfig::withoutCustomBlock(text), kept);
        QCOMPARE(NetConfig::hasCustomBlock(text), hasBlock);
    }

    void nameservers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("servers");
        QTest::newRow("two") << "# by dhcpcd\nnameserver 10.0.0.1\nnameserver 10.0.0.2\n" << QStringList{"10.0.0.1", "10.0.0.2"};
        QTest::newRow("indented") << "  nameserver 10.0.0.1  \n" << QStringList{"10.0.0.1"};
        QTest::newRow("two spaces: empty entry") << "nameserver  10.0.0.1\n" << QStringList{""};
        QTest::newRow("case-sensitive") << "Nameserver 10.0.0.1\n" << QStringList{};
        QTest::newRow("keyword alone") << "nameserver\n" << QStringList{};
        QTest::newRow("commented") << "#nameserver 10.0.0.1\nsearch lan\n" << QStringList{};
    }
    void nameservers()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, servers);
        QCOMPARE(NetConfig::nameservers(text), servers);
    }

    void mostCommon_data()
    {
        QTest::addColumn<QList<unsigned char>>("values");
        QTest::addColumn<int>("mode");
        using L = QList<unsigned char>;
        QTest::newRow("empty") << L{} << 0;
        QTest::newRow("single") << L{7} << 7;
        QTest::newRow("clear winner") << L{1, 5, 5, 2, 5} << 5;
        QTest::newRow("tie: first to reach top count") << L{3, 9, 9, 3} << 9;
        QTest::newRow("tie of singles: first") << L{4, 8, 200} << 4;
        QTest::newRow("late majority") << L{1, 2, 2, 1, 1} << 1;
        QTest::newRow("full range") << L{0, 255, 255} << 255;
    }
    void mostCommon()
    {
        QFETCH(QList<unsigned char>, values);
        QFETCH(int, mode);
        QCOMPARE(int(NetConfig::mostCommon(values)), mode);
    }
};

QTEST_GUILESS_MAIN(TstNetConfig)
#include "tst_netconfig.moc"
