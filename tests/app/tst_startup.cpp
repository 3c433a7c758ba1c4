#include "tests/common/testsysroot.h"

#include <QtTest>

#include <QProcess>

// Starts the real panel program under an empty sysroot, with the caller's
// QT_QPA_PLATFORM set to "offscreen".
class TstStartup : public QObject
{
    Q_OBJECT
private slots:
    void start_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("logged"); // once, but for Qt's own words
        QTest::addColumn<int>("exitCode");      // -1: keeps running, -2: either
        const QStringList offscreen{"-platform", "offscreen"};
        // The entry is a debug line in the handler's shape.
        QTest::newRow("runs and logs its platform") << TAVRIK_BIN << offscreen
                                                    << QByteArray("[D]    : Platform \"offscreen\"\n\n") << -1;
        QTest::newRow("broken root page exits -1") << TAVRIK_BROKEN_BIN << offscreen
                                                   << QByteArray("root page failed to load") << 255;
        // Without -platform the program ignores the caller's variable and
        // insists on the framebuffer, which this machine does not have: the
        // plug-in fails in Qt's own way (or, with a framebuffer, it runs there).
        QTest::newRow("caller's platform overridden") << TAVRIK_BIN << QStringList() << QByteArray("linuxfb") << -2;
    }
    void start()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        QFETCH(QByteArray, logged);
        QFETCH(int, exitCode);
        TestSysroot sys;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start(program, args);
        QVERIFY(p.waitForStarted());
        QByteArray err;
        QTRY_VERIFY_WITH_TIMEOUT((err += p.readAllStandardError()).contains(logged) || p.state() == QProcess::NotRunning,
                                 20000);
        if (exitCode == -1) {
            QTest::qWait(300);
            QCOMPARE(p.state(), QProcess::Running);
        } else if (exitCode >= 0) {
            QVERIFY(p.state() == QProcess::NotRunning || p.waitForFinished(20000));
            QCOMPARE(p.exitStatus(), QProcess::NormalExit);
            QCOMPARE(p.exitCode(), exitCode);
        }
        p.kill();
        p.waitForFinished();
        err += p.readAllStandardError();
        QVERIFY2(exitCode == -2 ? err.contains(logged) : err.count(logged) == 1, err.constData());
        QVERIFY2(args.size() == 2 || !err.contains("Platform \"offscreen\""), err.constData());
    }
};

QTEST_GUILESS_MAIN(TstStartup)
#include "tst_startup.moc"
