#include "sim/simtslreceiver.h"
#include "tests/common/logcapture.h"
#include "tests/common/panelrig.h"
#include "ui/tallyout.h"
#include "ui/tallyoutsetup.h"
#include "ui/timeseam.h"

#include <QTcpServer>
#include <QtTest>

namespace {
const QString kGroup = QStringLiteral("tallyOut");

// Tally out from the panel's switching to two receivers on loopback: 5.0
// over UDP and TCP to one, 3.1 to the other.
struct Rig : PanelRig
{
    void destination(int n, quint16 port, int protocol)
    {
        settings.setValue(kGroup, QStringLiteral("dest%1Address").arg(n), QStringLiteral("127.0.0.1"));
        settings.setValue(kGroup, QStringLiteral("dest%1Port").arg(n), port);
        settings.setValue(kGroup, QStringLiteral("dest%1Protocol").arg(n), protocol);
    }
    void switchOn()
    {
        destination(1, v50.udpPort(), Tsl::V50Udp);
        destination(2, v50.tcpPort(), Tsl::V50Tcp);
        destination(3, v31.udpPort(), Tsl::V31Udp);
        settings.setValue(kGroup, QStringLiteral("enabled"), true);
    }
    // Program and preview as every receiver shows them, "" when they agree
    // with `program` and `preview` (inputs), what differs otherwise.
    QString mismatch(int program, int preview, const SimTslReceiver &r, bool v31 = false) const
    {
        for (int in = 1; in <= 4; ++in) {
            const SimTslReceiver::Display d = r.display(in);
            const int want = in == program ? 1 : in == preview ? 2 : 0;
            const int shown = v31 ? (d.tallyBits & 1 ? 1 : d.tallyBits & 2 ? 2 : 0) : d.rightTally;
            if (shown != want || (!v31 && (d.leftTally != want || d.textTally != want)))
                return SimTslReceiver::describe(in, d);
        }
        return {};
    }

    SimTslReceiver v50, v31;
};
} // namespace

class TstTallyOut : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TimeSeam::setSpeedup(10); } // repeats every 200 ms
    void confirmedTallyReachesEveryReceiver();
    void unreachableIsLoggedAtABoundedRate();
    void pageChecksBeforeStoring_data();
    void pageChecksBeforeStoring();
};

void TstTallyOut::confirmedTallyReachesEveryReceiver()
{
    Rig rig;
    QVERIFY(rig.v50.isListening() && rig.v31.isListening());
    // Off by default: a CUT sends nothing anywhere.
    rig.panel->cut();
    QTRY_COMPARE(rig.mb.program(), 2);
    QTRY_COMPARE(rig.panel->programNo(), 2);
    QTest::qWait(300);
    QVERIFY(!rig.panel->tallyOut()->active());
    QCOMPARE(rig.v50.packets() + rig.v31.packets(), 0);

    // Switched on: the confirmed state goes out at once, on every protocol.
    rig.settings.setValue(kGroup, QStringLiteral("source3Label"), QStringLiteral("CAM Three"));
    rig.settings.setValue(kGroup, QStringLiteral("source4Index"), 254); // a DLE in the TCP stream
    rig.switchOn();
    QTRY_COMPARE(rig.v50.tcpConnections(), 1);
    QTRY_COMPARE(rig.mismatch(2, 1, rig.v50), QString());
    QTRY_COMPARE(rig.mismatch(2, 1, rig.v31, true), QString());
    QCOMPARE(rig.v50.display(3).text, QStringLiteral("CAM Three"));
    QCOMPARE(rig.v31.display(3).text, QStringLiteral("CAM Three       "));
    QCOMPARE(rig.v50.display(254).text, QStringLiteral("IN4"));
    QVERIFY(!rig.v50.has(0) && !rig.v50.has(5)); // black and background have no display
    QCOMPARE(rig.v50.display(1).brightness, 3);
    QCOMPARE(rig.v50.malformed() + rig.v31.malformed(), 0);

    // A CUT: the receivers follow the board.
    rig.panel->cut();
    QTRY_COMPARE(rig.mismatch(1, 2, rig.v50), QString());
    QTRY_COMPARE(rig.mismatch(1, 2, rig.v31, true), QString());

    // A fault: the board's preview changed behind the panel's back. The CUT
    // is read back and the tally follows the board; the panel's own guess
    // (input 2 on program) never reaches a receiver.
    bool guessSent = false;
    connect(&rig.v50, &SimTslReceiver::packet, this,
            [&] { guessSent = guessSent || rig.v50.display(2).rightTally == Tsl::Red; });
    rig.mb.update([](SimMainboard::State &s) { s.setPreview(3); });
    rig.panel->cut();
    QTRY_COMPARE(rig.panel->programNo(), 3);
    QTRY_COMPARE(rig.mismatch(3, 1, rig.v50), QString());
    QTRY_COMPARE(rig.mismatch(3, 1, rig.v31, true), QString());
    QVERIFY(!guessSent);

    // A bus press and the PiP on program (input 3 in the board's record)
    // are read back too.
    rig.panel->pressProgram(2);
    QTRY_COMPARE(rig.mismatch(2, 1, rig.v50), QString());
    rig.panel->togglePipProgram();
    QTRY_COMPARE(rig.v50.display(3).rightTally, int(Tsl::Red));
    QCOMPARE(rig.v50.display(2).rightTally, int(Tsl::Red));
    rig.panel->togglePipProgram();
    rig.panel->pressProgram(3);
    QTRY_COMPARE(rig.mismatch(3, 1, rig.v50), QString());

    // Repeated for a receiver that restarts.
    rig.v50.clear();
    QTRY_COMPARE(rig.mismatch(3, 1, rig.v50), QString());

    // Switched off: the connection closes and nothing more is sent.
    rig.settings.setValue(kGroup, QStringLiteral("enabled"), false);
    QTRY_COMPARE(rig.v50.tcpConnections(), 0);
    rig.v50.clear();
    QTest::qWait(500);
    QCOMPARE(rig.v50.packets(), 0);
}

void TstTallyOut::unreachableIsLoggedAtABoundedRate()
{
    Rig rig;
    LogCapture log;
    quint16 closedPort;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    rig.destination(1, closedPort, Tsl::V50Tcp);
    rig.destination(2, rig.v50.udpPort(), Tsl::V50Udp);
    rig.settings.setValue(kGroup, QStringLiteral("enabled"), true);
    rig.panel->cut();
    QTRY_VERIFY(log.contains(QStringLiteral("unreachable")));
    // Many repeats later: one line, and the other destination unharmed.
    const int packets = rig.v50.packets();
    QTRY_VERIFY(rig.v50.packets() >= packets + 5);
    QCOMPARE(log.count(QStringLiteral("unreachable")), 1);
    QVERIFY(log.contains(QStringLiteral("127.0.0.1:%1 (TSL 5.0 TCP) unreachable").arg(closedPort)));
}

void TstTallyOut::pageChecksBeforeStoring_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("protocol");
    QTest::addColumn<QString>("in4Index"); // IN1 has 1
    QTest::addColumn<QString>("error");    // "" stored
    QTest::newRow("a host") << "192.168.1.20" << "8900" << 0 << "4" << "";
    QTest::newRow("loopback") << "127.0.0.1" << "65535" << 1 << "65534" << "";
    QTest::newRow("a subnet's broadcast, 3.1 at its top") << "10.1.2.255" << "1" << 2 << "126" << "";
    QTest::newRow("three parts") << "192.168.1" << "8900" << 0 << "4" << "Destination 1: the address";
    QTest::newRow("0.x") << "0.1.2.3" << "8900" << 0 << "4" << "Destination 1: the address";
    QTest::newRow("multicast") << "239.1.1.1" << "8900" << 0 << "4" << "Destination 1: the address";
    QTest::newRow("port 0") << "10.0.0.1" << "0" << 0 << "4" << "Destination 1: the port";
    QTest::newRow("port 65536") << "10.0.0.1" << "65536" << 0 << "4" << "Destination 1: the port";
    QTest::newRow("no destination while on") << "" << "8900" << 0 << "4" << "at least one destination";
    QTest::newRow("index 65535") << "10.0.0.1" << "8900" << 0 << "65535" << "IN4: the display index";
    QTest::newRow("index 127 on 3.1") << "10.0.0.1" << "8900" << 2 << "127" << "IN4: TSL 3.1";
    QTest::newRow("two sources on one display") << "10.0.0.1" << "8900" << 0 << "1" << "IN1 and IN4";
}

void TstTallyOut::pageChecksBeforeStoring()
{
    QFETCH(QString, address);
    QFETCH(QString, port);
    QFETCH(int, protocol);
    QFETCH(QString, in4Index);
    QFETCH(QString, error);
    Rig rig;
    TallyOutSetup page(rig.panel.get());
    page.load();
    page.setEnabled(true);
    page.setAddress(0, address);
    page.setPort(0, port);
    page.setProtocol(0, protocol);
    page.setDisplayIndex(4, in4Index);
    page.setLabel(4, QStringLiteral("Wide\tshot of the whole stage"));
    QCOMPARE(page.apply(), error.isEmpty());
    QVERIFY2(error.isEmpty() ? page.error().isEmpty() : page.error().contains(error), qPrintable(page.error()));
    const PanelSettings &s = rig.settings;
    QCOMPARE(s.boolValue(kGroup, QStringLiteral("enabled")), error.isEmpty());
    QCOMPARE(s.stringValue(kGroup, QStringLiteral("dest1Address")), error.isEmpty() ? address : QString());
    QCOMPARE(s.intValue(kGroup, QStringLiteral("source4Index")), error.isEmpty() ? in4Index.toInt() : 4);
    if (error.isEmpty()) {
        QCOMPARE(s.intValue(kGroup, QStringLiteral("dest1Port")), port.toInt());
        QCOMPARE(s.stringValue(kGroup, QStringLiteral("source4Label")), QStringLiteral("Wide shot of the"));
    }
}

QTEST_GUILESS_MAIN(TstTallyOut)
#include "tst_tallyout.moc"
