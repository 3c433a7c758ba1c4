#include "tests/common/testsysroot.h"

#include <QtTest>

#include <QProcess>

// Starts the real panel program under an empty sysroot.
class TstStartup : public QObject
{
    Q_OBJECT
private slots:
    void startsAndLogsPlatform();
    void brokenRootPageExitsMinusOne();
    void callerPlatformVariableIsOverridden();
};

void TstStartup::startsAndLogsPlatform()
{
    TestSysroot sys;
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(QStringLiteral(TAVRIK_BIN), {QStringLiteral("-platform"), QStringLiteral("offscreen")});
    QVERIFY(p.waitForStarted());
    QByteArray err;
    QTRY_VERIFY_WITH_TIMEOUT((err += p.readAllStandardError()).contains("Platform \"offscreen\""), 15000);
    // The entry is a debug line in the handler's shape.
    QVERIFY2(err.contains("[D]    : Platform \"offscreen\"\n\n"), err.constData());
    // It keeps running on a good root page.
    QTest::qWait(300);
    QCOMPARE(p.state(), QProcess::Running);
    // SIGTERM ends it in order, with the event loop's exit code.
    p.terminate();
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
        QFAIL("SIGTERM did not stop the panel");
    }
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(p.readAllStandardError().contains("stop requested"));
}

void TstStartup::brokenRootPageExitsMinusOne()
{
    TestSysroot sys;
    QProcess p;
    p.start(QStringLiteral(TAVRIK_BROKEN_BIN), {QStringLiteral("-platform"), QStringLiteral("offscreen")});
    QVERIFY(p.waitForFinished(20000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 255); // -1 as a process exit status
    const QByteArray err = p.readAllStandardError();
    QCOMPARE(err.count("root page failed to load"), 1);
}

void TstStartup::callerPlatformVariableIsOverridden()
{
    // Without -platform the program ignores QT_QPA_PLATFORM from its caller
    // and insists on the framebuffer, which this machine does not have.
    TestSysroot sys;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TAVRIK_BIN), QStringList());
    QVERIFY(p.waitForStarted());
    QByteArray err;
    QTRY_VERIFY_WITH_TIMEOUT(p.state() == QProcess::NotRunning
                                 || (err += p.readAllStandardError()).contains("Platform"),
                             15000);
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished();
    }
    err += p.readAllStandardError();
    // Either the framebuffer plug-in failed in Qt's own way, or (on a
    // machine with a framebuffer) it started on it: never on "offscreen".
    QVERIFY2(err.contains("linuxfb"), err.constData());
    QVERIFY2(!err.contains("Platform \"offscreen\""), err.constData());
}

QTEST_GUILESS_MAIN(TstStartup)
#include "tst_startup.moc"
