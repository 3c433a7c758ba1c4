// Built with the thread sanitizer: any data race it sees fails the program.
#include "netsvc/kivoserv.h"
#include "tests/common/testsysroot.h"

#include <QtTest>

class TstRobustRace : public QObject
{
    Q_OBJECT
private slots:
    // The datagram slot is reachable from the interface thread; called there
    // it must not read the socket pointer the server thread writes.
    void handleDatagramOffItsThread()
    {
        TestSysroot sys;
        auto *server = new KivoServ; // left alive: only the race is under test
        server->setPort(0);
        server->start();
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 300)
            server->handleDatagram();
        server->quit();
        QVERIFY(server->wait(5000));
    }
};

QTEST_GUILESS_MAIN(TstRobustRace)
#include "tst_robust_race.moc"
