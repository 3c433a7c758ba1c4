// The control surface's threads end to end: the T-bar thread's own bus code
// (open, slave select, configuration writes, conversion reads) against the
// simulated converter through the converter shim; the key scanning thread on
// the marker files, and the key lamp command.
#include "sim/simconverter.h"
#include "sim/simkeys.h"
#include "surface/keyscan.h"
#include "surface/tbar.h"
#include "tests/common/logcapture.h"
#include "tests/common/testsysroot.h"

#include <QDir>
#include <QElapsedTimer>
#include <QMutex>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <time.h>

namespace {

// The signals of a Tbar, recorded on the polling thread as they are
// emitted, with the time of each: 'T' T-bar, 'J' joystick, 'Z' zoom.
struct Recorder
{
    struct Event
    {
        char kind;
        QVector<int> args;
        qint64 ms;
    };
    QMutex lock;
    QList<Event> events;
    QElapsedTimer clock;

    explicit Recorder(Tbar &t)
    {
        clock.start();
        const auto c = Qt::DirectConnection;
        QObject::connect(&t, &Tbar::changeTbarValue, &t, [this](int v, int raw) { add('T', {v, raw}); }, c);
        QObject::connect(&t, &Tbar::changeJoystickValue, &t, [this](int p, int tl, int v) { add('J', {p, tl, v}); }, c);
        QObject::connect(&t, &Tbar::changeJoyZValue, &t, [this](int d, int v) { add('Z', {d, v}); }, c);
    }
    void add(char kind, const QVector<int> &args)
    {
        QMutexLocker l(&lock);
        events.append({kind, args, clock.elapsed()});
    }
    // The events of one kind, or all (kind 0).
    QList<Event> of(char kind = 0)
    {
        QMutexLocker l(&lock);
        QList<Event> r;
        std::copy_if(events.cbegin(), events.cend(), std::back_inserter(r), [kind](const Event &e) { return !kind || e.kind == kind; });
        return r;
    }
    QList<QVector<int>> args(char kind)
    {
        QList<QVector<int>> r;
        for (const Event &e : of(kind))
            r << e.args;
        return r;
    }
    QList<int> tbar()
    {
        QList<int> r;
        for (const QVector<int> &a : args('T'))
            r << a[0];
        return r;
    }
    int count() { return of().size(); }
};

qint64 processCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

using Input = SimConverter::Input;

} // namespace

class TestSurface : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestSysroot> sys_;
    std::unique_ptr<SimConverter> conv_;
    std::unique_ptr<Tbar> tbar_;
    std::unique_ptr<Recorder> rec_;
    std::unique_ptr<LogCapture> log_;

    // Waits until the panel has read `count` more conversions of `input`.
    bool waitReads(Input input, int count, int timeoutMs = 5000)
    {
        const int target = conv_->conversionsRead(input) + count;
        return QTest::qWaitFor([&] { return conv_->conversionsRead(input) >= target; }, timeoutMs);
    }

    void startTbar()
    {
        tbar_ = std::make_unique<Tbar>();
        rec_ = std::make_unique<Recorder>(*tbar_);
        tbar_->start();
    }

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
    void initTestCase()
    {
        QVERIFY2(SimConverter::preloadActive(), "the converter shim is not loaded");
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    }

    void init()
    {
        sys_ = std::make_unique<TestSysroot>();
        conv_ = std::make_unique<SimConverter>();
        QVERIFY(conv_->isOpen());
        conv_->setReading(SimConverter::TbarInput, 1300);
        for (Input i : {SimConverter::JoystickXInput, SimConverter::JoystickYInput, SimConverter::ZoomInput})
            conv_->setReading(i, 1250);
        log_ = std::make_unique<LogCapture>();
    }

    void cleanup()
    {
        tbar_.reset();
        rec_.reset();
        conv_.reset();
        sys_.reset();
        log_.reset();
    }

    void bytesAndPacingOfTheLoop()
    {
        startTbar();
        QVERIFY(waitReads(SimConverter::ZoomInput, 12, 8000));
        tbar_.reset();
        const auto t = conv_->transfers();
        QVERIFY(t.size() >= 3 + 16 * 2);
        QCOMPARE(t[0].kind, 'S');
        QCOMPARE(t[0].address, 0x48);
        QCOMPARE(t[0].result, 0);
        QCOMPARE(t[1].bytes, QByteArray::fromHex("01C384"));
        QCOMPARE(t[2].bytes, QByteArray::fromHex("00"));
        // Idle then start-conversion configuration of each channel, and the
        // conversion register (1300 × 16 on the T-bar, 1250 × 16 elsewhere).
        const char *config[4][3] = {{"014384", "01C384", "5140"}, {"016384", "01E384", "4E20"},
                                    {"017384", "01F384", "4E20"}, {"015384", "01D384", "4E20"}};
        const Input inputs[] = {SimConverter::TbarInput, SimConverter::JoystickXInput,
                                SimConverter::JoystickYInput, SimConverter::ZoomInput};
        for (int step = 0; step < 8; ++step) {
            const int ch = step % 4, i = 3 + step * 4;
            QCOMPARE(t[i].kind, 'W');
            QCOMPARE(t[i].bytes, QByteArray::fromHex(config[ch][0]));
            QCOMPARE(t[i + 1].bytes, QByteArray::fromHex(config[ch][1]));
            QCOMPARE(t[i + 2].bytes, QByteArray::fromHex("00"));
            QCOMPARE(t[i + 3].kind, 'R');
            QCOMPARE(t[i + 3].result, 2);
            QCOMPARE(t[i + 3].bytes, QByteArray::fromHex(config[ch][2]));
            QCOMPARE(t[i + 3].input, int(inputs[ch]));
            for (int k = 0; k < 4; ++k)
                QVERIFY(t[i + k].address == 0x48 && t[i + k].result >= 0);
            // Conversion wait: 6 ms, and 20 more on the joystick X step.
            const qint64 wait = t[i + 2].usec - t[i + 1].usec;
            QVERIFY2(wait >= (ch == 1 ? 25500 : 5500), qPrintable(QString::number(wait)));
        }
        // A T-bar signal, nothing from the centred joystick and zoom.
        QCOMPARE(rec_->tbar(), QList<int>{512});
        QCOMPARE(rec_->count(), 1);

        QList<qint64> tbarReads;
        for (const auto &x : t)
            if (x.kind == 'R' && x.input == SimConverter::TbarInput)
                tbarReads << x.usec;
        // One pass over the four channels: 4 × 6 + 20 + 5 + 5 + 10 + 10 ms.
        QVERIFY(tbarReads.size() >= 10);
        const qint64 cycle = (tbarReads.last() - tbarReads.first()) / (tbarReads.size() - 1);
        QVERIFY2(cycle >= 70000 && cycle < 250000, qPrintable(QString::number(cycle)));
    }

    // Scaling, jumps, calibration, the joystick and the zoom rules are
    // tst_tbarprocessing's; here each channel reaches its own signal, and a
    // jump's steps are really paced by the thread.
    void channelsReachTheirSignals()
    {
        using V = QVector<int>;
        startTbar();
        QTRY_COMPARE(rec_->tbar(), QList<int>{512});
        conv_->setReading(SimConverter::TbarInput, 865);
        QTRY_COMPARE(rec_->tbar(), (QList<int>{512, 0}));
        conv_->setReading(SimConverter::TbarInput, 1735);
        QTRY_COMPARE(rec_->tbar(), (QList<int>{512, 0, 341, 682, 1023, 1023}));
        const auto ev = rec_->of('T');
        const qint64 span = ev[5].ms - ev[2].ms;
        QVERIFY2(span >= 290 && span < 600, qPrintable(QString::number(span)));

        conv_->setReading(SimConverter::JoystickXInput, 2040); // full right
        conv_->setReading(SimConverter::ZoomInput, 1451);      // 201 above the centre
        QTRY_COMPARE(rec_->args('J'), QList<V>{V({1, 0, 2040})});
        QTRY_COMPARE(rec_->args('Z'), QList<V>{V({1, 1451})});
        conv_->setReading(SimConverter::JoystickXInput, 1250);
        QTRY_COMPARE(rec_->args('J').size(), 2); // the stop
        conv_->setReading(SimConverter::JoystickYInput, 450); // full down
        QTRY_COMPARE(rec_->args('J').size(), 3);
        QCOMPARE(rec_->args('J').last().mid(0, 2), V({0, -1}));
    }

    // A step whose transfers failed is skipped: the register would hold the
    // configuration (failed register select) or another channel's
    // conversion (failed configuration), and neither is this channel.
    void failedTransfersSkipTheStep_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("logged");
        QTest::newRow("register select fails") << int(SimConverter::PointerWriteFails)
                                               << QStringLiteral("[ERR] Write register select");
        QTest::newRow("configuration fails") << int(SimConverter::ConfigWriteFails)
                                             << QStringLiteral("[ERR] Write configuration");
        QTest::newRow("conversion read fails") << int(SimConverter::ReadFails)
                                               << QStringLiteral("[ERR] Read conversion");
        QTest::newRow("one cycle of failed reads") << -1 << QStringLiteral("[ERR] Read conversion");
    }
    void failedTransfersSkipTheStep()
    {
        QFETCH(int, mode);
        QFETCH(QString, logged);
        startTbar();
        QTRY_COMPARE(rec_->tbar(), QList<int>{512});
        QVERIFY(waitReads(SimConverter::ZoomInput, 1));
        if (mode < 0)
            conv_->failNextReads(4);
        else
            conv_->setFailureMode(SimConverter::FailureMode(mode));
        // Five cycles of failures (reads that still succeed return stale data).
        const int before = conv_->transfers().size();
        QTRY_VERIFY_WITH_TIMEOUT(conv_->transfers().size() - before > 5 * 4 * 4, 5000);
        QCOMPARE(rec_->count(), 1);
        QCOMPARE(log_->countStarting(logged), 1); // once, not every step
        conv_->setFailureMode(SimConverter::Healthy);
        conv_->setReading(SimConverter::TbarInput, 1336);
        QTRY_COMPARE(rec_->tbar(), (QList<int>{512, 552}));
    }

    // No device yet, its address refused, or no answer on the bus: each is
    // logged once, the loop keeps its pace without spinning, and it recovers.
    void converterTrouble_data()
    {
        QTest::addColumn<int>("mode"); // -1: no device node
        QTest::addColumn<QStringList>("logged");
        QTest::newRow("no device") << -1 << QStringList{"[ERR] Couldn't open device! :"};
        QTest::newRow("address refused") << int(SimConverter::AddressBusy)
                                         << QStringList{"[ERR] Couldn't find device on address"};
        QTest::newRow("silent") << int(SimConverter::Absent)
                                << QStringList{"[ERR] Write to register 1", "[ERR] Write register select"};
    }
    void converterTrouble()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, logged);
        if (mode < 0)
            conv_->close();
        else
            conv_->setFailureMode(SimConverter::FailureMode(mode));
        const qint64 cpu0 = processCpuMs();
        startTbar();
        QTest::qWait(1500); // two attempts to open
        const qint64 cpu = processCpuMs() - cpu0;
        QVERIFY2(cpu < 150, qPrintable(QStringLiteral("%1 ms of CPU in 1.5 s").arg(cpu)));
        QCOMPARE(rec_->count(), 0);
        for (const auto &x : conv_->transfers()) // a refused address: nothing reaches the bus
            QVERIFY(mode != SimConverter::AddressBusy || x.kind == 'S');
        // The driver loaded late, the address freed, the bus answering again.
        if (mode < 0)
            QVERIFY(conv_->open());
        conv_->setFailureMode(SimConverter::Healthy);
        QTRY_COMPARE_WITH_TIMEOUT(rec_->tbar(), QList<int>{512}, 4000);
        for (const QString &line : logged)
            QCOMPARE(log_->countStarting(line), 1);
        if (mode < 0)
            QCOMPARE(conv_->connections(), 1);
    }

    // Unplugged and plugged back while running: the old descriptor is dead
    // for good, so the loop must open the device again.
    void converterPluggedBackIsReopened()
    {
        startTbar();
        QTRY_COMPARE_WITH_TIMEOUT(rec_->tbar(), QList<int>{512}, 4000);
        conv_->close();
        QVERIFY(conv_->open());
        conv_->setReading(SimConverter::TbarInput, 1336);
        QTRY_COMPARE_WITH_TIMEOUT(rec_->tbar(), (QList<int>{512, 552}), 5000);
        QCOMPARE(conv_->connections(), 2);
    }

    // Destroying a running Tbar returns within one step, a running jump
    // pause included, and also once the converter has gone away.
    void destructionStopsPromptly_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::newRow("resting") << "resting";
        QTest::newRow("during a jump") << "jump";
        QTest::newRow("converter vanished") << "vanished";
    }
    void destructionStopsPromptly()
    {
        QFETCH(QString, situation);
        conv_->setReading(SimConverter::TbarInput, situation == "jump" ? 865 : 1300);
        startTbar();
        QTRY_COMPARE(rec_->of('T').size(), 1);
        if (situation == "jump") {
            conv_->setReading(SimConverter::TbarInput, 1735);
            QTRY_COMPARE(rec_->of('T').size(), 2); // 341 sent, 100 ms pause running
        } else if (situation == "vanished") {
            conv_->close();
            QTest::qWait(300);
        }
        QElapsedTimer t;
        t.start();
        tbar_.reset();
        const qint64 ms = t.elapsed();
        QVERIFY2(ms < 100, qPrintable(QString::number(ms)));
        // Nothing is left reading the bus.
        const int transfers = conv_->transfers().size();
        QTest::qWait(100);
        QCOMPARE(conv_->transfers().size(), transfers);
    }

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
        k.start();
        QVERIFY(waitPasses(k, 1));
        const int n = passesIn(k, 300);
        QVERIFY2(n >= 4 && n <= 11, qPrintable(QString::number(n))); // paced, not spinning
        QCOMPARE(spy.count(), 0);
        QCOMPARE(log_->countStarting(QStringLiteral("[WARN] key marker folder missing")), 1);
        QVERIFY(QDir().mkpath(sys_->path(QStringLiteral("/home/pi"))));
        QVERIFY(sim.press(SimKeys::Cut));
        QTRY_COMPARE(keys(spy), QList<int>{4});
        QCOMPARE(log_->countStarting(QStringLiteral("[WARN] key marker folder present again")), 1);
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
        QElapsedTimer t;
        t.start();
        k.setLedLight(40);
        const qint64 ms = t.elapsed();
        QVERIFY2(ms >= 2900 && ms < 4500, qPrintable(QString::number(ms)));
        QCOMPARE(log_->countStarting(QStringLiteral("[WARN] key lamp command did not finish")), 1);
    }
};

int main(int argc, char **argv)
{
    SimConverter::ensurePreloaded(argc, argv);
    QCoreApplication app(argc, argv);
    TestSurface test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_surface.moc"
