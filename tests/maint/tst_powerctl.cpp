#include "maint/gpioinput.h"
#include "maint/powerctl.h"
#include "platform/commandrunner.h"
#include "sim/simconverter.h"
#include "tests/common/testsysroot.h"

#include <QtTest>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace {
// The button's line as a GPIO chip would give it; the test moves it.
struct FakeLine
{
    std::atomic<int> level{1};
    std::atomic<bool> broken{false};
    std::atomic<int> waits{0};
    std::mutex lock;
    std::condition_variable changed;
    bool edge = false;

    void set(int v)
    {
        {
            std::lock_guard<std::mutex> g(lock);
            level = v;
            edge = true;
        }
        changed.notify_all();
    }
};

class FakeInput : public GpioInput
{
public:
    explicit FakeInput(FakeLine &line) : line_(line) {}
    int level() override { return line_.broken ? -1 : line_.level.load(); }
    bool waitForChange(int timeoutMs) override
    {
        ++line_.waits;
        std::unique_lock<std::mutex> g(line_.lock);
        line_.changed.wait_for(g, std::chrono::milliseconds(timeoutMs), [this] { return line_.edge; });
        line_.edge = false;
        return true;
    }

private:
    FakeLine &line_;
};

class ChipPowerCtl : public PowerCtl
{
public:
    FakeLine line;

protected:
    std::unique_ptr<GpioInput> openButton() override { return std::make_unique<FakeInput>(line); }
};

// A stand-in with a script of its own (the default ones print a fixed text).
void writeTool(const TestSysroot &sys, const QString &tool, const QByteArray &body)
{
    QFile f(sys.binDir() + QLatin1Char('/') + tool);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate)
            && f.write("#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" + sys.root().toLocal8Bit() + "/.calls/" + tool.toLocal8Bit()
                       + ".args'\n" + body) > 0
            && f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
}

// i2cget answering per register, as the LED driver would.
QByteArray ledRegisters(const QByteArray &reg2, const QByteArray &reg3)
{
    return "case \"$5\" in 0x02) echo '" + reg2 + "';; 0x03) echo '" + reg3 + "';; esac\n";
}

// Every gap between calls [from, to] lies within [min, max) ms.
void expectGaps(const QList<QPair<qint64, QString>> &calls, int from, int to, qint64 min, qint64 max)
{
    for (int i = from; i <= to; ++i) {
        const qint64 gap = calls.at(i).first - calls.at(i - 1).first;
        QVERIFY2(gap >= min && gap < max, qPrintable(QStringLiteral("gap %1: %2 ms").arg(i).arg(gap)));
    }
}
} // namespace

class TstPowerCtl : public QObject
{
    Q_OBJECT
private slots:
    void init() { CommandRunner::clearHistory(); }

    // A tool error or a read over its 300 ms leaves the register as it was (0
    // at construction); after a hung first read the second is not tried.
    void constructionSetsPinsAndReadsLeds_data()
    {
        QTest::addColumn<QByteArray>("i2cget"); // the stand-in's script
        QTest::addColumn<int>("lockFast");
        QTest::addColumn<int>("midSlow");
        QTest::addColumn<int>("reads");
        QTest::newRow("0x41 and 0x17") << ledRegisters("0x41", "0x17") << 0x41 << 0x17 << 2;
        QTest::newRow("0xff and 0x00") << ledRegisters("0xff", "0x00") << 0xff << 0 << 2;
        QTest::newRow("error text") << ledRegisters("Error: Read failed", "0x01") << 0 << 1 << 2;
        QTest::newRow("not a byte") << ledRegisters("0x1ff", "0x2") << 0 << 2 << 2;
        QTest::newRow("first read hangs") << QByteArray("exec sleep 3\n") << 0 << 0 << 1;
    }

    void constructionSetsPinsAndReadsLeds()
    {
        QFETCH(QByteArray, i2cget);
        QFETCH(int, lockFast);
        QFETCH(int, midSlow);
        QFETCH(int, reads);
        TestSysroot sys;
        writeTool(sys, QStringLiteral("i2cget"), i2cget);
        QElapsedTimer t;
        t.start();
        PowerCtl p;
        QVERIFY2(t.elapsed() < 2000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(CommandRunner::history(),
                 QStringList({"sh -c sudo raspi-gpio set 27 op pn dh", "sh -c sudo raspi-gpio set 17 ip pu",
                              "i2cget -y -a 1 0x05 0x02", "i2cget -y -a 1 0x05 0x03"})
                     .mid(0, 2 + reads));
        QCOMPARE(int(p.lockFastRegister()), lockFast);
        QCOMPARE(int(p.midSlowRegister()), midSlow);
        QCOMPARE(p.initLED(), !i2cget.contains("sleep")); // true when the tool finished, whatever it said
        QVERIFY(!p.isRunning()); // the interface starts the thread itself
    }

    // Written as two lower-case digits; a hung read keeps the register's value.
    void ledWrites()
    {
        TestSysroot sys;
        writeTool(sys, QStringLiteral("i2cget"), ledRegisters("0xAB", "0x0c"));
        PowerCtl p;
        sys.clearCalls();
        p.apply();
        p.allOff();
        QCOMPARE(sys.calls("i2cset"), QStringList({"-y -a 1 0x05 0x02 0xab", "-y -a 1 0x05 0x03 0x0c",
                                                   "-y -a 1 0x05 0x02 0x11", "-y -a 1 0x05 0x03 0x11"}));
        QCOMPARE(int(p.lockFastRegister()), 0x11);
        writeTool(sys, QStringLiteral("i2cget"), "case \"$5\" in 0x02) echo 0x44;; 0x03) exec sleep 3;; esac\n");
        QVERIFY(!p.initLED());
        QCOMPARE(int(p.lockFastRegister()), 0x44);
        QCOMPARE(int(p.midSlowRegister()), 0x11);
    }

    void buttonHeldEmitsRepeatedly()
    {
        TestSysroot sys;
        PowerCtl p;
        QSignalSpy spy(&p, &PowerCtl::sendShutDown);
        sys.setStandInOutput(QStringLiteral("gpio"), "0\n");
        p.startThread();
        // held: every cycle (150 ms of waiting plus the tool) emits again
        QTRY_VERIFY2_WITH_TIMEOUT(spy.count() >= 2, qPrintable(QString::number(spy.count())), 15000);
        sys.setStandInOutput(QStringLiteral("gpio"), "1\n");
        // Counted in cycles, so a loaded machine cannot fool it: a cycle that
        // read before the release may still emit; two cycles later none does.
        const int released = sys.calls("gpio").size();
        QTRY_VERIFY_WITH_TIMEOUT(sys.calls("gpio").size() >= released + 3, 15000);
        const int afterRelease = spy.count();
        QTRY_VERIFY_WITH_TIMEOUT(sys.calls("gpio").size() >= released + 6, 15000);
        QCOMPARE(spy.count(), afterRelease);
        p.stopThread();
        QVERIFY(spy.count() <= released + 1);
        QCOMPARE(sys.readFile("/home/pi/power.txt"), QByteArray("1\n"));
    }

    void buttonNotPressed_data()
    {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<bool>("removeHome");
        QTest::newRow("released") << QByteArray("1\n") << false;
        QTest::newRow("no output") << QByteArray() << false;
        QTest::newRow("error text with a 0") << QByteArray("wiringPiSetup: error 10\n") << false;
        QTest::newRow("file cannot be written") << QByteArray("0\n") << true;
    }

    // Also: stopThread() returns once the current polling cycle has finished.
    void buttonNotPressed()
    {
        QFETCH(QByteArray, output);
        QFETCH(bool, removeHome);
        TestSysroot sys;
        PowerCtl p;
        QSignalSpy spy(&p, &PowerCtl::sendShutDown);
        sys.setStandInOutput(QStringLiteral("gpio"), output);
        if (removeHome)
            QVERIFY(QDir(sys.path("/home/pi")).removeRecursively());
        p.startThread();
        QTRY_VERIFY(CommandRunner::history().count("sh -c gpio -g read 17 > " + sys.path("/home/pi/power.txt")) >= 2);
        QElapsedTimer t;
        t.start();
        p.stopThread();
        QVERIFY(p.isFinished());
        // at most the rest of one cycle (150 ms of waiting and one tool run)
        QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
        const int calls = sys.calls("gpio").size();
        QTest::qWait(300); // also delivers any signal still queued
        QCOMPARE(sys.calls("gpio").size(), calls);
        QCOMPARE(spy.count(), 0);

        // stopping a stopped thread, or one never started, returns at once
        p.stopThread();
        PowerCtl idle;
        t.restart();
        idle.stopThread();
        QVERIFY(t.elapsed() < 100);
    }

    // With the GPIO chip no process runs: the thread sleeps until the line
    // changes, asks for the shutdown while it is low and stops in time. A
    // failing line, or a chip that cannot be opened, falls back to the tool.
    void buttonOnTheGpioChip()
    {
        TestSysroot sys;
        ChipPowerCtl p;
        QSignalSpy spy(&p, &PowerCtl::sendShutDown);
        CommandRunner::clearHistory();
        p.startThread();
        QTest::qWait(600);
        QVERIFY2(p.line.waits >= 1 && p.line.waits <= 4, qPrintable(QString::number(p.line.waits)));
        QCOMPARE(spy.count(), 0);
        p.line.set(0);
        QTRY_VERIFY(spy.count() >= 3); // held: again every cycle
        p.line.set(1);
        const int waited = p.line.waits;
        QTRY_VERIFY(p.line.waits >= waited + 2);
        const int released = spy.count();
        QTRY_VERIFY(p.line.waits >= waited + 4);
        QCOMPARE(spy.count(), released);
        QElapsedTimer t;
        t.start();
        p.stopThread();
        QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(CommandRunner::history(), QStringList());

        p.line.broken = true;
        p.startThread();
        QTRY_VERIFY(!sys.calls("gpio").isEmpty());
        p.stopThread();
    }

    // The libgpiod calls themselves, against the simulated unit's chip (a
    // file holding the level, served by the converter shim).
    void buttonThroughLibgpiod()
    {
        if (!SimConverter::preloadActive())
            QSKIP("the converter shim is not loaded");
        TestSysroot sys;
        QVERIFY(sys.writeFile("/dev/gpiochip0", "1\n"));
        PowerCtl p;
        QSignalSpy spy(&p, &PowerCtl::sendShutDown);
        p.startThread();
        QVERIFY(sys.writeFile("/dev/gpiochip0", "0\n"));
        QTRY_VERIFY(spy.count() >= 2);
        QVERIFY(sys.writeFile("/dev/gpiochip0", "1\n"));
        QTest::qWait(400); // a request read before the release may still come
        const int released = spy.count();
        QTest::qWait(400); // also delivers any signal still queued
        QCOMPARE(spy.count(), released);
        QElapsedTimer t;
        t.start();
        p.stopThread();
        QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(sys.calls("gpio"), QStringList());
    }

    void shutdownSequenceAndRepeatedPulses()
    {
        TestSysroot sys;
        PowerCtl p;
        sys.clearCalls();
        CommandRunner::clearHistory();
        const qint64 start = QDateTime::currentMSecsSinceEpoch();
        QElapsedTimer t;
        t.start();
        p.shutdown();
        QVERIFY2(t.elapsed() >= 900 && t.elapsed() < 3000, qPrintable(QString::number(t.elapsed())));

        QCOMPARE(CommandRunner::history(), QStringList({"sh -c sudo gpio -g write 27 1", "sh -c sudo gpio -g write 27 0",
                                                        "sh -c sudo gpio -g write 27 1"}));
        // spacing as the panel started the commands: a stand-in's start-up delay is no part of it
        const auto started = CommandRunner::timedHistory();
        const qint64 first = started.at(0).first - start;
        QVERIFY2(first >= 490 && first < 1500, qPrintable(QString::number(first)));
        expectGaps(started, 1, 2, 195, 900);
        // power goes through the request line only
        QCOMPARE(sys.calls("shutdown") + sys.calls("poweroff"), QStringList());

        sys.clearCalls();
        CommandRunner::clearHistory();
        // the 800 ms timer keeps pulsing until the power goes: wait for two rounds
        QTRY_VERIFY_WITH_TIMEOUT(sys.calls("sudo").size() >= 6, 5000);
        const auto calls = CommandRunner::timedHistory();
        const QStringList exact{"sh -c sudo gpio   write 27 1", "sh -c sudo gpio  write 27 0", "sh -c sudo gpio  write 27 1"};
        QCOMPARE(CommandRunner::history().mid(0, 6), exact + exact);
        expectGaps(calls, 1, 2, 195, 900);
        expectGaps(calls, 4, 5, 195, 900);
        // A late round shortens the next, so the floor only tells the 800 ms
        // timer from pulses back to back (about 400 ms a round).
        const qint64 round = calls.at(3).first - calls.at(0).first;
        QVERIFY2(round >= 650 && round < 2000, qPrintable(QString::number(round)));
        QTRY_VERIFY(p.ticksSinceShutdown() > 5); // the 10 ms counter runs alongside
    }
};

int main(int argc, char **argv)
{
    SimConverter::ensurePreloaded(argc, argv);
    QCoreApplication app(argc, argv);
    TstPowerCtl test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_powerctl.moc"
