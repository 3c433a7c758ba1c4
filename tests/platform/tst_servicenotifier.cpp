#include "platform/servicenotifier.h"
#include "tests/common/notifyreceiver.h"

#include <QtTest>

#include <thread>

#include <unistd.h>

class TstServiceNotifier : public QObject
{
    Q_OBJECT
private slots:
    void readyThenKeepalives_data();
    void readyThenKeepalives();
    void unusableSocketNameSendsNothing();
    void boundedWaitRaisesTheWatchdogOnItsThreadOnly();
};

void TstServiceNotifier::readyThenKeepalives_data()
{
    QTest::addColumn<bool>("abstractName");
    QTest::addColumn<QByteArray>("usec");
    QTest::addColumn<bool>("pidIsOurs");
    QTest::addColumn<int>("intervalMs");

    QTest::newRow("path, 100 ms watchdog") << false << QByteArray("100000") << true << 50;
    QTest::newRow("abstract name") << true << QByteArray("100000") << true << 50;
    QTest::newRow("no watchdog") << false << QByteArray() << true << 0;
    QTest::newRow("watchdog of another process") << false << QByteArray("100000") << false << 0;
    QTest::newRow("garbage interval") << false << QByteArray("5s") << true << 0;
}

void TstServiceNotifier::readyThenKeepalives()
{
    QFETCH(bool, abstractName);
    QFETCH(QByteArray, usec);
    QFETCH(bool, pidIsOurs);
    QFETCH(int, intervalMs);

    QTemporaryDir dir;
    const QString name = abstractName ? QStringLiteral("@tavrik-test-%1").arg(::getpid()) : dir.path() + "/notify";
    NotifyReceiver manager(name);
    QVERIFY(manager.isBound());
    qputenv("NOTIFY_SOCKET", manager.path());
    qputenv("WATCHDOG_USEC", usec);
    qputenv("WATCHDOG_PID", QByteArray::number(pidIsOurs ? qint64(::getpid()) : qint64(::getpid()) + 1));

    QCoreApplication *app = QCoreApplication::instance();
    ServiceNotifier *n = ServiceNotifier::attach(*app);
    // Programs the panel starts must not inherit the service manager's socket.
    QVERIFY(qEnvironmentVariableIsEmpty("NOTIFY_SOCKET") && qEnvironmentVariableIsEmpty("WATCHDOG_USEC"));
    QCOMPARE(n->keepaliveIntervalMs() * (intervalMs > 0), intervalMs);

    QTRY_VERIFY(!manager.messages().isEmpty());
    QCOMPARE(manager.messages().first(), QByteArray("READY=1"));
    if (intervalMs > 0) {
        QTRY_VERIFY(manager.messages().count("WATCHDOG=1") >= 4);
    } else {
        QTest::qWait(200);
        QCOMPARE(manager.messages(), QByteArrayList{"READY=1"});
    }
    delete n;
    QCOMPARE(manager.messages().last(), QByteArray("STOPPING=1"));
}

void TstServiceNotifier::unusableSocketNameSendsNothing()
{
    qputenv("NOTIFY_SOCKET", "relative/notify");
    qputenv("WATCHDOG_USEC", "100000");
    ServiceNotifier n;
    QVERIFY(!n.isActive());
    QVERIFY(!n.notify("READY=1"));
}

void TstServiceNotifier::boundedWaitRaisesTheWatchdogOnItsThreadOnly()
{
    QTemporaryDir dir;
    NotifyReceiver manager(dir.path() + "/notify");
    qputenv("NOTIFY_SOCKET", manager.path());
    qputenv("WATCHDOG_USEC", "60000000");
    ServiceNotifier n;
    n.start();
    {
        std::thread other([] { ServiceNotifier::BoundedWait elsewhere(30000); });
        other.join();
        ServiceNotifier::BoundedWait outer(30000);
        ServiceNotifier::BoundedWait inner(1000);
    }
    ServiceNotifier::BoundedWait unbounded(0);
    QCOMPARE(manager.messages(), QByteArrayList({"READY=1", "WATCHDOG=1", "WATCHDOG_USEC=90000000", "WATCHDOG=1",
                                                "WATCHDOG=1", "WATCHDOG=1", "WATCHDOG_USEC=60000000", "WATCHDOG=1"}));
}

QTEST_GUILESS_MAIN(TstServiceNotifier)
#include "tst_servicenotifier.moc"
