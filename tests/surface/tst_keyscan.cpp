// The key scanning thread on the marker files, and the key lamp command.
#include "sim/simkeys.h"
#include "surface/keyscan.h"
#include "tests/common/testsysroot.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

class TestKeyscan : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestSysroot> sys_;

    static bool waitPasses(const Keyscan &k, int n)
    {
        const quint64 target = k.passCount() + quint64(n);
        return QTest::qWaitFor([&] { return k.passCount() >= target; }, 3000);
    }

    // Passes the running thread makes in `ms`.
    static int passesIn(const Keyscan &k, int ms)
    {
        const quint64 p0 = k.passCount();
        QTest::qWait(ms);
        return int(k.passCount() - p0);
    }

    static QList<int> keys(const QSignalSpy &spy)
    {
        QList<int> r;
        for (const auto &args : spy)
            r << args.at(0).toInt();
        return r;
    }

private slots:
    void init() { sys_ = std::make_unique<TestSysroot>(); }
    void cleanup() { sys_.reset(); }

    void eachKeyHasItsPin()
    {
        Keyscan k;
        QSignalSpy spy(&k, &Keyscan::sendKeyNo);
        // Names that only look like markers are no keys.
        for (const char *name : {"/home/pi/gpio2", "/home/pi/gpio260", "/home/pi/gpio24.tmp", "/home/pi/GPIO24",
                                 "/home/gpio24", "/home/pi/gpio"})
            QVERIFY(sys_->writeFile(QString::fromLatin1(name), {}));
        k.scanOnce();
        QCOMPARE(spy.count(), 0);
        const int pins[] = {26, 6, 22, 23, 24, 25, 27};
        for (int key = 0; key < 7; ++key) {
            const QString marker = QStringLiteral("/home/pi/gpio%1").arg(pins[key]);
            QVERIFY(sys_->writeFile(marker, {}));
            k.scanOnce();
            QCOMPARE(keys(spy), QList<int>{key});
            QVERIFY(QFile::remove(sys_->path(marker)));
            k.scanOnce();
            spy.clear();
            QCOMPARE(SimKeys::markerPath(key), sys_->path(marker));
        }
        // Two keys in one pass come in key order, once.
        SimKeys sim;
        QVERIFY(sim.press(SimKeys::Unlock)); // pin 27 appears first
        QVERIFY(sim.press(SimKeys::Lock));   // pin 26
        k.scanOnce();
        k.scanOnce();
        QCOMPARE(keys(spy), (QList<int>{0, 6}));
    }

    void pressIsReportedOnItsLeadingEdgeOnly()
    {
        SimKeys sim;
        QVERIFY(sim.press(SimKeys::Fast)); // held before start: reported once
        Keyscan k;
        QSignalSpy spy(&k, &Keyscan::sendKeyNo);
        k.start();
        QTRY_COMPARE(keys(spy), QList<int>{1});
        QVERIFY(waitPasses(k, 2));
        QVERIFY(sim.press(SimKeys::Cut));
        QTRY_COMPARE(keys(spy), (QList<int>{1, 4}));
        QVERIFY(waitPasses(k, 5)); // held: nothing more
        QCOMPARE(spy.count(), 2);
        QVERIFY(sim.release(SimKeys::Cut));
        QVERIFY(waitPasses(k, 2));
        QCOMPARE(spy.count(), 2);
        QVERIFY(sim.press(SimKeys::Cut));
        QTRY_COMPARE(keys(spy), (QList<int>{1, 4, 4}));
    }

    // Paced passes, and a stop that ends them within one.
    void stopsPromptly_data()
    {
        QTest::addColumn<bool>("destroy");
        QTest::newRow("stop()") << false;
        QTest::newRow("destructor") << true;
    }
    void stopsPromptly()
    {
        QFETCH(bool, destroy);
        auto k = std::make_unique<Keyscan>();
        k->start();
        QVERIFY(waitPasses(*k, 2));
        const int n = passesIn(*k, 600); // 30 ms a pass: about 20
        QVERIFY2(n >= 8 && n <= 21, qPrintable(QString::number(n)));
        QElapsedTimer t;
        t.start();
        if (destroy) {
            k.reset();
        } else {
            k->stop();
            QVERIFY(k->wait(1000));
        }
        QVERIFY2(t.elapsed() < 100, qPrintable(QString::number(t.elapsed())));
        if (!destroy)
            QCOMPARE(passesIn(*k, 100), 0);
    }

    void missingFolderIsLoggedOnceAndSurvived()
    {
        QVERIFY(QDir(sys_->path(QStringLiteral("/home/pi"))).removeRecursively());
        SimKeys sim;
        QVERIFY(!sim.press(SimKeys::Cut));
        Keyscan k;
        QSignalSpy spy(&k, &Keyscan::sendKeyNo);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^\\[WARN\\] key marker folder missing")));
        k.start();
        QVERIFY(waitPasses(k, 1));
        const int n = passesIn(k, 300);
        QVERIFY2(n >= 4 && n <= 11, qPrintable(QString::number(n))); // paced, not spinning
        QCOMPARE(spy.count(), 0);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^\\[WARN\\] key marker folder present again")));
        QVERIFY(QDir().mkpath(sys_->path(QStringLiteral("/home/pi"))));
        QVERIFY(sim.press(SimKeys::Cut));
        QTRY_COMPARE(keys(spy), QList<int>{4});
    }

    // Whatever the value, one fixed command, also when it fails.
    void ledLightRunsOneCommand_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("-1, command fails") << -1 << 1;
    }
    void ledLightRunsOneCommand()
    {
        QFETCH(int, value);
        QFETCH(int, exitCode);
        sys_->setStandInOutput(QStringLiteral("i2cset"), "Error: Write failed\n", exitCode);
        Keyscan k;
        k.setLedLight(value);
        QCOMPARE(sys_->calls(QStringLiteral("i2cset")), QStringList{"-y 1 0x70 0x40 0x40"});
    }

    // A stuck bus: the tool never comes back, and the interface thread must.
    void hungLampCommandIsCutOff()
    {
        QFile tool(sys_->binDir() + QStringLiteral("/i2cset"));
        QVERIFY(tool.open(QIODevice::WriteOnly | QIODevice::Truncate));
        tool.write("#!/bin/sh\nexec sleep 5\n");
        tool.close();
        Keyscan k;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^\\[WARN\\] key lamp command did not finish")));
        QElapsedTimer t;
        t.start();
        k.setLedLight(40);
        const qint64 ms = t.elapsed();
        QVERIFY2(ms >= 2900 && ms < 4500, qPrintable(QString::number(ms)));
    }
};

QTEST_GUILESS_MAIN(TestKeyscan)
#include "tst_keyscan.moc"
