#include "sim/simcamera.h"
#include "sim/simconverter.h"
#include "sim/simkeys.h"
#include "sim/simmainboard.h"
#include "sim/simunit.h"
#include "tests/common/notifyreceiver.h"
#include "tests/common/testsysroot.h"

#include <QtTest>

#include <QProcess>

namespace {
const QByteArray kCutFrame = QByteArray::fromHex("0400C601CB");
}

class TstUnit : public QObject
{
    Q_OBJECT
private slots:
    // The real panel program, started as tavrik-sim starts it, under a service
    // manager with a 600 ms watchdog.
    void panelProcessMeetsTheUnit()
    {
        TestSysroot sys;
        SimUnit unit(sys.root());
        QVERIFY2(unit.isUp(), qPrintable(unit.problems()));
        NotifyReceiver manager(sys.root() + "/notify");
        QVERIFY(manager.isBound());

        QProcess panel;
        QProcessEnvironment env = unit.panelEnvironment(QProcessEnvironment::systemEnvironment());
        // The minute of start-up sequence in a few seconds.
        env.insert(QStringLiteral("TAVRIK_TIME_SCALE"), QStringLiteral("20"));
        env.insert(QStringLiteral("NOTIFY_SOCKET"), QString::fromLocal8Bit(manager.name()));
        env.insert(QStringLiteral("WATCHDOG_USEC"), QStringLiteral("600000"));
        panel.setProcessEnvironment(env);
        panel.start(QStringLiteral(TAVRIK_BIN), {QStringLiteral("-platform"), QStringLiteral("offscreen")});
        QVERIFY(panel.waitForStarted());
        QByteArray log;
        auto grab = [&] { log += panel.readAllStandardError(); return log; };

        // The mainboard line is opened before the root page loads, and the
        // T-bar thread starts polling the converter once it has.
        QTRY_VERIFY_WITH_TIMEOUT(grab().contains("Serial is open"), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(unit.converter().conversionsRead(SimConverter::TbarInput) > 0, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(unit.converter().conversionsRead(SimConverter::JoystickXInput) > 0, 20000);

        // Ready once the interface's event loop runs, then fed every 300 ms.
        QCOMPARE(manager.messages().value(0), QByteArray("READY=1"));
        QTRY_VERIFY_WITH_TIMEOUT(manager.messages().count("WATCHDOG=1") >= 5, 10000);

        // Start-up done (tally at its end), the CUT key cuts and the tally follows.
        QTRY_VERIFY_WITH_TIMEOUT(unit.camera(1).state().greenTally && unit.camera(0).state().redTally, 30000);
        // A T-bar left mid-way keeps the mainboard busy: back to its end first.
        unit.converter().setReading(SimConverter::TbarInput, 743);
        QTRY_COMPARE_WITH_TIMEOUT(unit.mainboard().tbar(), quint16(0), 10000);
        QTRY_COMPARE(unit.mainboard().program(), 1);
        unit.mainboard().clearReceived();
        QVERIFY(unit.keys().tap(SimKeys::Cut, 150));
        QTRY_COMPARE_WITH_TIMEOUT(unit.mainboard().program(), 2, 10000);
        QCOMPARE(unit.mainboard().receivedFrames().value(0), kCutFrame);
        QTRY_VERIFY(unit.camera(1).state().redTally && unit.camera(0).state().greenTally);

        // The T-bar to the top and back runs two transitions on the mainboard.
        const int transitions = unit.mainboard().counters().transitions;
        unit.converter().setReading(SimConverter::TbarInput, 1663);
        QTRY_COMPARE_WITH_TIMEOUT(unit.mainboard().tbar(), quint16(1023), 10000);
        unit.converter().setReading(SimConverter::TbarInput, 743);
        QTRY_COMPARE_WITH_TIMEOUT(unit.mainboard().tbar(), quint16(0), 10000);
        QTRY_COMPARE(unit.mainboard().counters().transitions, transitions + 2);
        QCOMPARE(panel.state(), QProcess::Running);

        // An orderly stop closes the mainboard line: no serial lock file stays behind.
        panel.terminate();
        if (!panel.waitForFinished(10000)) {
            panel.kill();
            panel.waitForFinished();
            QFAIL("SIGTERM did not stop the panel");
        }
        QCOMPARE(panel.exitStatus(), QProcess::NormalExit);
        QCOMPARE(panel.exitCode(), 0);
        QCOMPARE(manager.messages().last(), QByteArray("STOPPING=1"));
        const QString lockName = QStringLiteral("LCK..") + QString(sys.root() + "/dev/ttyAMA2").replace('/', '_');
        for (const char *dir : {"/var/lock", "/run/lock", "/tmp"})
            QVERIFY2(!QFile::exists(QString::fromLatin1(dir) + '/' + lockName), qPrintable(lockName));
    }
};


QTEST_GUILESS_MAIN(TstUnit)
#include "tst_unit.moc"
