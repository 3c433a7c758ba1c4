#include "sim/simunit.h"
#include "tests/common/notifyreceiver.h"
#include "tests/common/testsysroot.h"

#include <QtTest>

#include <QElapsedTimer>
#include <QProcess>

// The real panel under a service manager with a watchdog: it reports ready,
// keeps the watchdog fed from its event loop, and says when it stops.
class TstWatchdog : public QObject
{
    Q_OBJECT
private slots:
    void panelFeedsTheWatchdog();
};

void TstWatchdog::panelFeedsTheWatchdog()
{
    TestSysroot sys;
    SimUnit unit(sys.root());
    QVERIFY2(unit.isUp(), qPrintable(unit.problems()));
    NotifyReceiver manager(sys.root() + "/notify");
    QVERIFY(manager.isBound());

    QProcessEnvironment env = unit.panelEnvironment(QProcessEnvironment::systemEnvironment());
    env.insert(QStringLiteral("NOTIFY_SOCKET"), QString::fromLocal8Bit(manager.path()));
    env.insert(QStringLiteral("WATCHDOG_USEC"), QStringLiteral("600000"));
    QProcess panel;
    panel.setProcessEnvironment(env);
    panel.setStandardErrorFile(sys.root() + "/panel.log");
    panel.start(QStringLiteral(TAVRIK_BIN), {QStringLiteral("-platform"), QStringLiteral("offscreen")});
    QVERIFY(panel.waitForStarted());

    QTRY_VERIFY_WITH_TIMEOUT(!manager.messages().isEmpty(), 30000);
    QCOMPARE(manager.messages().first(), QByteArray("READY=1"));
    // Keepalives every 300 ms: five of them within a few seconds, and no
    // more than the interval allows.
    QElapsedTimer t;
    t.start();
    QTRY_VERIFY_WITH_TIMEOUT(manager.messages().count("WATCHDOG=1") >= 6, 10000);
    QVERIFY2(manager.messages().count("WATCHDOG=1") <= 2 + int(t.elapsed() / 300), "keepalives too often");

    panel.terminate();
    QVERIFY(panel.waitForFinished(10000));
    QCOMPARE(panel.exitCode(), 0);
    QCOMPARE(manager.messages().last(), QByteArray("STOPPING=1"));
}

QTEST_GUILESS_MAIN(TstWatchdog)
#include "tst_watchdog.moc"
