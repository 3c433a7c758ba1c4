// The mainboard link against the simulated mainboard where only the two
// together show it: a reply the board splits in pieces, and the board's
// loopback TCP port. (Each side's bytes are pinned on their own: the link
// against the scripted peer, the board in tst_simmainboard; the switcher
// tests drive every operation through both.)

#include "helper_linkbench.h"
#include "sim/simmainboard.h"

#include <QTcpSocket>
#include <QtTest>

class TstZarvoMuSim : public QObject
{
    Q_OBJECT

private slots:
    void splitReplyIsJoined();
    void overTcp();

private:
    TestSysroot root;
    SimMainboard mb{QStringLiteral("ttyAMA2")};
    QSerialPort port;
    LogCapture log;
};

void TstZarvoMuSim::splitReplyIsJoined()
{
    QVERIFY(mb.isOpen() && openMainboardLine(port));
    zarvoMu link(nullptr, &port);
    mb.setFailureMode(SimMainboard::SplitReply);
    mb.setSplitReply(2, 50);
    bool ok = false;
    QCOMPARE(link.requestStatus(ok).toBytes(), mb.statusBytes());
    QVERIFY2(ok, qPrintable(log.messages().join(" | ")));
    QCOMPARE(link.readPipUserParam(ok).toBytes(), mb.menuBlock(1));
    QVERIFY(ok);
    mb.setFailureMode(SimMainboard::Normal);
}

void TstZarvoMuSim::overTcp()
{
    const quint16 tcpPort = mb.listenTcp();
    QVERIFY(tcpPort != 0);
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, tcpPort);
    QVERIFY(socket.waitForConnected(2000));
    zarvoMu tcpLink(&socket, &port);
    tcpLink.setIsUseSocket(true);
    bool ok = false;
    QCOMPARE(tcpLink.requestStatus(ok).toBytes(), mb.statusBytes());
    QVERIFY(ok);
    QVERIFY(tcpLink.writeProgram(input4));
    QCOMPARE(mb.program(), 4);
    QVERIFY(mb.sentBytes().contains(hexBytes("000C0900EE")));
}

QTEST_GUILESS_MAIN(TstZarvoMuSim)
#include "tst_zarvomusim.moc"
