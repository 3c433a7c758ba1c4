#include "platform/commandrunner.h"
#include "platform/sysroot.h"
#include "tests/common/testsysroot.h"

#include <QtTest>

#include <QElapsedTimer>
#include <QScopeGuard>

class TstPlatform : public QObject
{
    Q_OBJECT
private slots:
    void pathsWithoutSysroot();
    void pathsUnderSysroot();
    void shellRecordsAndCaptures();
    void timeLimitKills();
    void missingProgram();
    void standInsShadowRealTools();
};

void TstPlatform::pathsWithoutSysroot()
{
    const QByteArray old = qgetenv("TAVRIK_SYSROOT");
    const auto restore = qScopeGuard([&] { old.isNull() ? qunsetenv("TAVRIK_SYSROOT") : qputenv("TAVRIK_SYSROOT", old); });
    qunsetenv("TAVRIK_SYSROOT");
    QCOMPARE(Sysroot::path("/etc/dhcpcd.conf"), QStringLiteral("/etc/dhcpcd.conf"));
    QCOMPARE(Sysroot::serialDevice("ttyAMA2"), QStringLiteral("ttyAMA2"));
    QCOMPARE(Sysroot::path("relative/x"), QStringLiteral("relative/x"));
    qputenv("TAVRIK_SYSROOT", "/");
    QCOMPARE(Sysroot::path("/boot/config.txt"), QStringLiteral("/boot/config.txt"));
}

void TstPlatform::pathsUnderSysroot()
{
    TestSysroot sys;
    QCOMPARE(Sysroot::root(), sys.root());
    QCOMPARE(Sysroot::path("/mnt/tervana/version.txt"), sys.root() + "/mnt/tervana/version.txt");
    QCOMPARE(Sysroot::serialDevice("ttyAMA2"), sys.root() + "/dev/ttyAMA2");
    QCOMPARE(Sysroot::serialDevice("/dev/ttyUSB0"), sys.root() + "/dev/ttyUSB0");
    qputenv("TAVRIK_SYSROOT", (sys.root() + "///").toLocal8Bit());
    QCOMPARE(Sysroot::path("/etc/x"), sys.root() + "/etc/x");
}

void TstPlatform::shellRecordsAndCaptures()
{
    TestSysroot sys;
    CommandRunner::clearHistory();
    const auto r = CommandRunner::shell(QStringLiteral("echo out; echo err >&2; exit 3"), 5000);
    QVERIFY(r.started);
    QCOMPARE(r.exitCode, 3);
    QCOMPARE(r.out, QByteArray("out\n"));
    QCOMPARE(r.err, QByteArray("err\n"));
    const auto r2 = CommandRunner::run(QStringLiteral("printf"), {QStringLiteral("%s|"), QStringLiteral("a b")}, 5000);
    QCOMPARE(r2.out, QByteArray("a b|"));
    QCOMPARE(CommandRunner::history(),
             QStringList({"sh -c echo out; echo err >&2; exit 3", "printf %s| a b"}));
}

void TstPlatform::timeLimitKills()
{
    TestSysroot sys;
    QElapsedTimer t;
    t.start();
    const auto r = CommandRunner::shell(QStringLiteral("sleep 5"), 200);
    QVERIFY(r.timedOut);
    QCOMPARE(r.exitCode, -1);
    QVERIFY(t.elapsed() < 3000);
}

void TstPlatform::missingProgram()
{
    TestSysroot sys;
    const auto r = CommandRunner::run(QStringLiteral("/nonexistent/tool"), {}, 1000);
    QVERIFY(!r.started);
    QCOMPARE(r.exitCode, -1);
    QVERIFY(!CommandRunner::startDetached(QStringLiteral("/nonexistent/tool")));
}

void TstPlatform::standInsShadowRealTools()
{
    TestSysroot sys;
    sys.setStandInOutput("i2cget", "0x1f\n");
    const auto r = CommandRunner::shell(QStringLiteral("sudo reboot; i2cget -y 1 0x20"), 5000);
    QCOMPARE(r.out, QByteArray("0x1f\n"));
    QCOMPARE(sys.allCalls(), QStringList({"sudo reboot", "i2cget -y 1 0x20"}));
}

QTEST_GUILESS_MAIN(TstPlatform)
#include "tst_platform.moc"
