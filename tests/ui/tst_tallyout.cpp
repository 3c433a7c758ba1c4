#include "sim/simmainboard.h"
#include "sim/simtslreceiver.h"
#include "switcher/commandexecobject.h"
#include "tests/common/logcapture.h"
#include "tests/common/testsysroot.h"
#include "ui/devicelines.h"
#include "ui/panel.h"
#include "ui/panelsettings.h"
#include "ui/tallyout.h"
#include "ui/timeseam.h"

#include <QTcpServer>
#include <QtTest>

namespace {
const QString kGroup = QStringLiteral("tallyOut");

// Switching over the mainboard lane against a simulated board, tally out
// to two receivers on loopback: 5.0 over UDP and TCP to one, 3.1 to the other.
struct Rig
{
    Rig()
    {
        board = new commandExecObject;
        lines = std::make_unique<DeviceLines>(board, nullptr, nullptr, nullptr);
        settings = std::make_unique<PanelSettings>();
        panel = std::make_unique<Panel>(lines.get(), settings.get());
        panel->setProgramNo(1);
        panel->setPreviewNo(2);
    }
    ~Rig()
    {
        panel.reset();
        lines.reset();
        delete board;
    }
    void destination(int n, quint16 port, int protocol)
    {
        settings->setValue(kGroup, QStringLiteral("dest%1Address").arg(n), QStringLiteral("127.0.0.1"));
        settings->setValue(kGroup, QStringLiteral("dest%1Port").arg(n), port);
        settings->setValue(kGroup, QStringLiteral("dest%1Protocol").arg(n), protocol);
    }
    void switchOn()
    {
        destination(1, v50.udpPort(), Tsl::V50Udp);
        destination(2, v50.tcpPort(), Tsl::V50Tcp);
        destination(3, v31.udpPort(), Tsl::V31Udp);
        settings->setValue(kGroup, QStringLiteral("enabled"), true);
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

    TestSysroot sys;
    SimMainboard mb;
    SimTslReceiver v50, v31;
    commandExecObject *board;
    std::unique_ptr<DeviceLines> lines;
    std::unique_ptr<PanelSettings> settings;
    std::unique_ptr<Panel> panel;
};
} // namespace

class TstTallyOut : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TimeSeam::setSpeedup(10); } // repeats every 200 ms
    void confirmedTallyReachesEveryReceiver();
    void unreachableIsLoggedAtABoundedRate();
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
    rig.settings->setValue(kGroup, QStringLiteral("source3Label"), QStringLiteral("CAM Three"));
    rig.settings->setValue(kGroup, QStringLiteral("source4Index"), 254); // a DLE in the TCP stream
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

    // Repeated for a receiver that restarts.
    rig.v50.clear();
    QTRY_COMPARE(rig.mismatch(3, 1, rig.v50), QString());

    // Switched off: the connection closes and nothing more is sent.
    rig.settings->setValue(kGroup, QStringLiteral("enabled"), false);
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
    rig.settings->setValue(kGroup, QStringLiteral("enabled"), true);
    rig.panel->cut();
    QTRY_VERIFY(log.contains(QStringLiteral("unreachable")));
    // Many repeats later: one line, and the other destination unharmed.
    const int packets = rig.v50.packets();
    QTRY_VERIFY(rig.v50.packets() >= packets + 5);
    QCOMPARE(log.count(QStringLiteral("unreachable")), 1);
    QVERIFY(log.contains(QStringLiteral("127.0.0.1:%1 (TSL 5.0 TCP) unreachable").arg(closedPort)));
}

QTEST_GUILESS_MAIN(TstTallyOut)
#include "tst_tallyout.moc"
