#include "platform/servicenotifier.h"
#include "tests/common/notifyreceiver.h"

#include <QtTest>

#include <thread>

class TstServiceNotifier : public QObject
{
    Q_OBJECT
private slots:
    void readyThenKeepalives_data();
    void readyThenKeepalives();
    void boundedWaitRaisesTheWatchdogOnItsThreadOnly();
};

void TstServiceNotifier::readyThenKeepalives_data()
{
    QTest::addColumn<QString>("name");  // "" for a path in a temporary folder
    QTest::addColumn<QByteArray>("usec");
    QTest::addColumn<qint64>("pid");    // 0: the panel's own
    QTest::addColumn<int>("keepaliveMs");
    QTest::newRow("path, 100 ms watchdog") << QString() << QByteArray("100000") << qint64(0) << 50;
    QTest::newRow("abstract name") << QStringLiteral("@tavrik-test-%1").arg(::getpid()) << QByteArray("100000") << qint64(0) << 50;
    QTest::newRow("no watchdog") << QString() << QByteArray() << qint64(0) << 0;
    QTest::newRow("another process's watchdog") << QString() << QByteArray("100000") << qint64(1) << 0;
    QTest::newRow("garbage interval") << QString() << QByteArray("5s") << qint64(0) << 0;
}

void TstServiceNotifier::readyThenKeepalives()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, usec);
    QFETCH(qint64, pid);
    QFETCH(int, keepaliveMs);
    QTemporaryDir dir;
    NotifyReceiver manager(name.isEmpty() ? dir.path() + "/notify" : name);
    QVERIFY(manager.isBound());
    qputenv("NOTIFY_SOCKET", manager.name());
    qputenv("WATCHDOG_USEC", usec);
    qputenv("WATCHDOG_PID", QByteArray::number(pid ? pid : qint64(::getpid())));

    ServiceNotifier *n = ServiceNotifier::attach(*QCoreApplication::instance());
    // Programs the panel starts must not talk to the service manager.
    QVERIFY(qEnvironmentVariableIsEmpty("NOTIFY_SOCKET") && qEnvironmentVariableIsEmpty("WATCHDOG_USEC"));
    QCOMPARE(n->watchdogUsec() > 0 ? n->keepaliveIntervalMs() : 0, keepaliveMs);
    QTRY_VERIFY(!manager.messages().isEmpty());
    QCOMPARE(manager.messages().first(), QByteArray("READY=1"));
    if (keepaliveMs)
        QTRY_VERIFY(manager.messages().count("WATCHDOG=1") >= 4);
    else
        QCOMPARE(manager.messages(), QByteArrayList{"READY=1"});
    delete n;
    QCOMPARE(manager.messages().last(), QByteArray("STOPPING=1"));
}

void TstServiceNotifier::boundedWaitRaisesTheWatchdogOnItsThreadOnly()
{
    QTemporaryDir dir;
    NotifyReceiver manager(dir.path() + "/notify");
    qputenv("NOTIFY_SOCKET", manager.name());
    qputenv("WATCHDOG_USEC", "60000000");
    ServiceNotifier n;
    n.start();
    {
        std::thread([] { ServiceNotifier::BoundedWait elsewhere(30000); }).join();
        ServiceNotifier::BoundedWait outer(30000);
        ServiceNotifier::BoundedWait inner(1000);
    }
    ServiceNotifier::BoundedWait unbounded(0);
    QCOMPARE(manager.messages(), QByteArrayList({"READY=1", "WATCHDOG=1", "WATCHDOG_USEC=90000000", "WATCHDOG=1",
                                                "WATCHDOG=1", "WATCHDOG=1", "WATCHDOG_USEC=60000000", "WATCHDOG=1"}));
}

QTEST_GUILESS_MAIN(TstServiceNotifier)
#include "tst_servicenotifier.moc"
