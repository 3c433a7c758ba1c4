#include "platform/atomicfile.h"
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
    void writeAsRootChecksEachStep_data();
    void writeAsRootChecksEachStep();
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

// The copy-and-move with root's rights stops at the first step that fails
// and removes what it left beside the file; nothing runs after a failed
// staging write (that case: tst_powercut on a full card).
void TstPlatform::writeAsRootChecksEachStep_data()
{
    QTest::addColumn<QString>("failing"); // the command word whose step fails
    QTest::addColumn<QStringList>("steps");
    const QString cp = "sudo cp -P S T.new", sync = "sync T.new", mv = "sudo mv T.new T", rm = "sudo rm -f T.new";
    QTest::newRow("none") << "" << QStringList{cp, sync, mv, "sync D"};
    QTest::newRow("copy") << "cp" << QStringList{cp, rm};
    QTest::newRow("sync") << "target.new" << QStringList{cp, sync, rm};
    QTest::newRow("move") << "mv" << QStringList{cp, sync, mv, rm};
}

void TstPlatform::writeAsRootChecksEachStep()
{
    QFETCH(QString, failing);
    QFETCH(QStringList, steps);
    TestSysroot sys;
    const QString staged = sys.path("/home/pi/staged"), target = sys.path("/etc/target");
    // sudo and sync fail when their first argument ends in `failing`.
    for (const char *tool : {"sudo", "sync"}) {
        const QString script = sys.binDir() + '/' + tool;
        QVERIFY(sys.writeFile(script.mid(sys.root().size()), "#!/bin/sh\ncase \"$1\" in *" + failing.toUtf8() + ") "
                              + (failing.isEmpty() ? "exit 0" : "exit 1") + ";; esac\n"));
        QVERIFY(QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner));
    }
    CommandRunner::clearHistory();
    const AtomicFile::Result r = AtomicFile::writeAsRoot(target, "new\n", staged);
    QCOMPARE(r.ok, failing.isEmpty());
    QCOMPARE(sys.readFile("/home/pi/staged"), QByteArray("new\n"));
    QStringList ran = CommandRunner::history();
    ran.replaceInStrings("sh -c ", "").replaceInStrings(target, "T").replaceInStrings(staged, "S")
        .replaceInStrings(sys.path("/etc"), "D");
    QCOMPARE(ran, steps);
}

QTEST_GUILESS_MAIN(TstPlatform)
#include "tst_platform.moc"
