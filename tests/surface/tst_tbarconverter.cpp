// The T-bar thread end to end: its own bus code (open, slave select,
// configuration writes, conversion reads) against the simulated converter
// through the converter shim.
#include "sim/simconverter.h"
#include "surface/tbar.h"
#include "tests/common/logcapture.h"
#include "tests/common/testsysroot.h"

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
    QList<Event> of(char kind)
    {
        QMutexLocker l(&lock);
        QList<Event> r;
        std::copy_if(events.cbegin(), events.cend(), std::back_inserter(r), [kind](const Event &e) { return e.kind == kind; });
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
    int count() { return of('T').size() + of('J').size() + of('Z').size(); }
};

qint64 processCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

using Input = SimConverter::Input;

} // namespace

class TestTbarConverter : public QObject
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

        // T-bar 1300 after zoom 1250 and joystick X after the T-bar differ by
        // 50 (moving: 5 ms); Y after X and zoom after Y do not (10 ms).
        QVector<qint64> gaps[4];
        QList<qint64> tbarReads;
        for (int i = 0; i + 1 < t.size(); ++i)
            if (t[i].kind == 'R' && t[i].input >= 0) {
                gaps[t[i].input] << t[i + 1].usec - t[i].usec;
                if (t[i].input == SimConverter::TbarInput)
                    tbarReads << t[i].usec;
            }
        auto median = [](QVector<qint64> v) {
            std::sort(v.begin(), v.end());
            return v.isEmpty() ? 0 : v[v.size() / 2];
        };
        const qint64 tbarGap = median(gaps[SimConverter::TbarInput]);
        const qint64 yGap = median(gaps[SimConverter::JoystickYInput]);
        const qint64 zoomGap = median(gaps[SimConverter::ZoomInput]);
        QVERIFY2(tbarGap >= 4500 && tbarGap + 2500 < yGap,
                 qPrintable(QStringLiteral("T-bar %1 us, Y %2 us").arg(tbarGap).arg(yGap)));
        QVERIFY2(zoomGap >= 9500, qPrintable(QString::number(zoomGap)));
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

    void missingConverterIsLoggedOnceAndWaitedFor()
    {
        conv_->close();
        const qint64 cpu0 = processCpuMs();
        startTbar();
        QTest::qWait(1500); // two attempts to open
        const qint64 cpu = processCpuMs() - cpu0;
        QCOMPARE(log_->countStarting(QStringLiteral("[ERR] Couldn't open device! :")), 1);
        QCOMPARE(rec_->count(), 0);
        QVERIFY2(cpu < 150, qPrintable(QStringLiteral("%1 ms of CPU in 1.5 s").arg(cpu)));
        // The converter appears (its driver loaded late): the thread finds it.
        QVERIFY(conv_->open());
        QTRY_COMPARE_WITH_TIMEOUT(rec_->tbar(), QList<int>{512}, 4000);
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

    void refusedAddressReachesNoBus()
    {
        conv_->setFailureMode(SimConverter::AddressBusy);
        startTbar();
        QTRY_VERIFY_WITH_TIMEOUT(conv_->transfers().size() >= 2, 4000);
        QCOMPARE(log_->countStarting(QStringLiteral("[ERR] Couldn't find device on address")), 1);
        for (const auto &t : conv_->transfers())
            QCOMPARE(t.kind, 'S');
        conv_->setFailureMode(SimConverter::Healthy);
        QTRY_COMPARE_WITH_TIMEOUT(rec_->tbar(), QList<int>{512}, 4000);
        QCOMPARE(log_->countStarting(QStringLiteral("[ERR] Couldn't find device on address")), 1);
    }

    void silentConverterKeepsPacing()
    {
        conv_->setFailureMode(SimConverter::Absent);
        startTbar();
        QTest::qWait(1000);
        const auto t = conv_->transfers();
        const auto writes = std::count_if(t.cbegin(), t.cend(), [](const auto &x) { return x.kind == 'W' && x.result < 0; });
        // Still stepping (about 12 steps a second, three writes each), not spinning.
        QVERIFY2(writes >= 15 && writes <= 200, qPrintable(QString::number(int(writes))));
        QCOMPARE(log_->countStarting(QStringLiteral("[ERR] Write to register 1")), 1);
        QCOMPARE(log_->countStarting(QStringLiteral("[ERR] Write register select")), 1);
        QCOMPARE(rec_->count(), 0);
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
            QCOMPARE(log_->countStarting(QStringLiteral("[ERR] Write register select")), 1);
            QCOMPARE(rec_->count(), 1);
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
};

int main(int argc, char **argv)
{
    SimConverter::ensurePreloaded(argc, argv);
    QCoreApplication app(argc, argv);
    TestTbarConverter test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_tbarconverter.moc"
