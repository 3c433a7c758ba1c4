// The T-bar, joystick and zoom processing with given readings and a given
// clock: no thread, no converter.
#include "surface/tbar.h"

#include <QSignalSpy>
#include <QtTest>

namespace {
constexpr qint64 kT0 = 1700000000000; // an arbitrary wall-clock start
constexpr int kCycleMs = 80;          // one pass over the four channels

QList<int> tbarValues(const QSignalSpy &spy)
{
    QList<int> values;
    for (const auto &args : spy)
        values << args.at(0).toInt();
    return values;
}
} // namespace

class TestTbarProcessing : public QObject
{
    Q_OBJECT

private:
    // A Tbar whose jump pauses are recorded instead of slept.
    struct Fixture
    {
        Tbar tbar;
        QList<int> pauses;
        qint64 now = kT0;
        Fixture()
        {
            tbar.setPauseFunction([this](int ms) {
                pauses << ms;
                return true;
            });
        }
        void tbarReading(int raw, qint64 stepMs = kCycleMs)
        {
            now += stepMs;
            tbar.processReading(0, raw, now);
        }
        // One evaluation of the stick at this deflection from the centre.
        void stick(int dx, int dy)
        {
            const int mid = tbar.currentJoystickMid();
            tbar.processJoystick(mid + dx, mid + dy);
        }
    };

private slots:
    void initTestCase()
    {
        // The processing logs every emitted value; keep the output readable.
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    }

    // Readings given as (raw, ms since the previous reading); the T-bar
    // values that come out, the reading the last one carries (before
    // clamping) and the 100 ms pauses of a jump sent in steps.
    void tbarOutput_data()
    {
        QTest::addColumn<QList<QPoint>>("readings");
        QTest::addColumn<QList<int>>("expected");
        QTest::addColumn<int>("pauses");
        // Bounds 850/1750: each end clamps 20 inside it; the middle rounds half up.
        for (const QPoint &p : {QPoint(865, 0), QPoint(869, 0), QPoint(870, 23), QPoint(1300, 512), QPoint(1730, 1000),
                                QPoint(1731, 1023), QPoint(2047, 1023), QPoint(10, 0)})
            QTest::addRow("scaling %d", p.x()) << QList<QPoint>{{p.x(), kCycleMs}} << QList<int>{p.y()} << 0;
        QList<QPoint> noise{{1300, kCycleMs}};
        for (int i = 0; i < 10; ++i)
            for (int raw : {1301, 1298, 1303, 1300, 1297, 1302, 1299, 1304, 1296, 1300})
                noise << QPoint(raw, kCycleMs);
        QTest::newRow("resting lever is quiet") << noise << QList<int>{512} << 0;
        QTest::newRow("0 and 9 are ignored, also as first")
            << QList<QPoint>{{0, 80}, {9, 80}, {1300, 80}, {0, 80}, {9, 80}} << QList<int>{512} << 0;
        // 40 output steps = 35.2 raw units; at rest the dead zone is 32.
        QTest::newRow("40 steps at rest are reported") << QList<QPoint>{{1300, 80}, {1300, 80}, {1336, 80}}
                                                       << QList<int>{512, 552} << 0;
        // With the clock standing still (speed 0): 31 steps inside, 32 exactly the zone.
        QTest::newRow("31 steps at speed 0 hidden, 32 shown")
            << QList<QPoint>{{1300, 80}, {1300, 80}, {1336, 80}, {1363, 0}, {1364, 0}} << QList<int>{512, 552, 584} << 0;
        // 9 raw units in 10 ms: speed 0.9, zone 32 / 46 < 1 step: 10 steps show.
        QTest::newRow("zone shrinks with speed") << QList<QPoint>{{1300, 80}, {1300, 80}, {1309, 10}}
                                                 << QList<int>{512, 522} << 0;
        const auto jump = [](const char *name, int from, int to, const QList<int> &out, int pauses) {
            QTest::newRow(name) << QList<QPoint>{{from, 80}, {from, 80}, {to, 80}} << out << pauses;
        };
        jump("jump 0 to 1023", 865, 1735, {0, 341, 682, 1023, 1023}, 3);
        jump("jump 1023 to 0", 1735, 865, {1023, 512, 0, 0}, 2);
        jump("jump 0 to 600", 865, 1378, {0, 300, 600, 600}, 2);
        jump("0 to 510, no steps", 865, 1299, {0, 510}, 0);
        jump("from the middle, no steps", 1300, 865, {512, 0}, 0);
    }
    void tbarOutput()
    {
        QFETCH(QList<QPoint>, readings);
        QFETCH(QList<int>, expected);
        QFETCH(int, pauses);
        Fixture f;
        QSignalSpy spy(&f.tbar, &Tbar::changeTbarValue);
        int lastRaw = -1;
        for (const QPoint &r : readings) {
            const int before = spy.count();
            f.tbarReading(r.x(), r.y());
            if (spy.count() > before)
                lastRaw = r.x();
        }
        QCOMPARE(tbarValues(spy), expected);
        QCOMPARE(f.tbar.lastTbarOutput(), expected.isEmpty() ? -1 : expected.last());
        if (!expected.isEmpty())
            QCOMPARE(spy.last().at(1).toInt(), lastRaw);
        QCOMPARE(f.pauses, QVector<int>(pauses, 100).toList());
    }

    void jumpStopsWhenThreadStops()
    {
        Fixture f;
        f.tbar.setPauseFunction([&f](int ms) {
            f.pauses << ms;
            return false; // woken to stop
        });
        QSignalSpy spy(&f.tbar, &Tbar::changeTbarValue);
        f.tbarReading(865);
        f.tbarReading(865);
        f.tbarReading(1735);
        // The first step, then the final value at once, no further waits.
        QCOMPARE(tbarValues(spy), (QList<int>{0, 341, 1023}));
        QCOMPARE(f.pauses, QList<int>{100});
    }

    // An end is recalibrated to halfway (truncated) towards a reading that
    // stayed within 49 of it for 21 idle readings; a farther one restarts
    // the count, and the T-bar output does not move meanwhile.
    void calibration_data()
    {
        QTest::addColumn<QList<int>>("readings");
        QTest::addColumn<int>("lower");
        QTest::addColumn<int>("upper");
        const auto rep = [](int raw, int n) { return QVector<int>(n, raw).toList(); };
        const QList<int> atLower{860, 860}; // the first emits 0, idle from the second
        QTest::newRow("20 idle readings: not yet") << atLower + rep(868, 20) << 850 << 1750;
        QTest::newRow("21st idle reading") << atLower + rep(868, 21) << 859 << 1750;
        QTest::newRow("again: halfway truncated") << atLower + rep(868, 42) << 863 << 1750;
        QTest::newRow("far reading restarts the count") << atLower + rep(868, 15) + QList<int>{5} + rep(868, 20)
                                                        << 850 << 1750;
        QTest::newRow("restarted count completes") << atLower + rep(868, 15) + QList<int>{5} + rep(868, 21)
                                                   << 859 << 1750;
        QTest::newRow("upper end") << QList<int>{1740, 1740} + rep(1735, 21) << 850 << 1742;
        QTest::newRow("middle never calibrates") << rep(1300, 51) << 850 << 1750;
    }
    void calibration()
    {
        QFETCH(QList<int>, readings);
        QFETCH(int, lower);
        QFETCH(int, upper);
        Fixture f;
        QSignalSpy spy(&f.tbar, &Tbar::changeTbarValue);
        for (int raw : readings)
            f.tbarReading(raw);
        QCOMPARE(f.tbar.currentLowerBound(), lower);
        QCOMPARE(f.tbar.currentUpperBound(), upper);
        QCOMPARE(spy.count(), 1);
    }

    void boundSetters_data()
    {
        QTest::addColumn<bool>("upper");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("upper exactly 40 above") << true << 890 << true;
        QTest::newRow("upper 39 above") << true << 889 << false;
        QTest::newRow("upper below") << true << 100 << false;
        QTest::newRow("lower exactly 40 below") << false << 1710 << true;
        QTest::newRow("lower 39 below") << false << 1711 << false;
    }
    void boundSetters()
    {
        QFETCH(bool, upper);
        QFETCH(int, value);
        QFETCH(bool, accepted);
        Fixture f;
        if (upper)
            f.tbar.setUpperBound(value);
        else
            f.tbar.setLowerBound(value);
        QCOMPARE(f.tbar.currentUpperBound(), upper && accepted ? value : 1750);
        QCOMPARE(f.tbar.currentLowerBound(), !upper && accepted ? value : 850);
        // The scaling still works with whatever bounds stand.
        QSignalSpy spy(&f.tbar, &Tbar::changeTbarValue);
        f.tbarReading(2047);
        QCOMPARE(tbarValues(spy), QList<int>{1023});
    }

    void joystick_data()
    {
        // Each row: a sequence of (dx, dy) deflections and the signals they give.
        QTest::addColumn<QList<QPoint>>("moves");
        QTest::addColumn<QList<QPoint>>("expected");
        QTest::newRow("full right once, further right nothing, centre stops once")
            << QList<QPoint>{{800, 0}, {900, 0}, {0, 0}, {0, 0}} << QList<QPoint>{{1, 0}, {0, 0}};
        QTest::newRow("minor axis under a quarter: pan only") << QList<QPoint>{{800, 160}} << QList<QPoint>{{1, 0}};
        QTest::newRow("minor axis a quarter or more: diagonal") << QList<QPoint>{{800, 250}} << QList<QPoint>{{1, 1}};
        QTest::newRow("exactly a quarter: diagonal") << QList<QPoint>{{800, 200}} << QList<QPoint>{{1, 1}};
        QTest::newRow("left") << QList<QPoint>{{-700, 10}} << QList<QPoint>{{-1, 0}};
        QTest::newRow("down, small pan") << QList<QPoint>{{-100, -600}} << QList<QPoint>{{0, -1}};
        QTest::newRow("equal axes: tilt leads, diagonal") << QList<QPoint>{{-500, -500}} << QList<QPoint>{{-1, -1}};
        QTest::newRow("inside the one-axis zone") << QList<QPoint>{{299, 0}, {0, -299}} << QList<QPoint>{};
        QTest::newRow("at the one-axis zone") << QList<QPoint>{{300, 0}} << QList<QPoint>{{1, 0}};
        QTest::newRow("both axes: narrower zone") << QList<QPoint>{{272, 272}} << QList<QPoint>{{1, 1}};
        QTest::newRow("both axes inside the narrower zone") << QList<QPoint>{{271, 271}} << QList<QPoint>{};
        QTest::newRow("pan to diagonal to tilt to stop")
            << QList<QPoint>{{800, 0}, {800, 500}, {100, 800}, {5, 5}}
            << QList<QPoint>{{1, 0}, {1, 1}, {0, 1}, {0, 0}};
    }
    void joystick()
    {
        QFETCH(QList<QPoint>, moves);
        QFETCH(QList<QPoint>, expected);
        Fixture f;
        QSignalSpy spy(&f.tbar, &Tbar::changeJoystickValue);
        f.stick(0, 0);
        QCOMPARE(spy.count(), 0);
        for (const QPoint &m : moves)
            f.stick(m.x(), m.y());
        QList<QPoint> got;
        for (const auto &args : spy) {
            got << QPoint(args.at(0).toInt(), args.at(1).toInt());
            // A stop carries -1, a move the axis-X reading.
            QCOMPARE(args.at(2).toInt() > 0, got.last() != QPoint(0, 0));
        }
        QCOMPARE(got, expected);
    }

    void joystickWaitsForBothAxesAndSendsTheXReading()
    {
        Fixture f;
        QSignalSpy spy(&f.tbar, &Tbar::changeJoystickValue);
        // An X reading before any Y reading: nothing is known about tilt yet.
        f.tbar.processReading(1, 2050, f.now);
        QCOMPARE(spy.count(), 0);
        f.tbar.processReading(2, 1250, f.now);
        f.tbar.processReading(1, 2050, f.now); // dx +800
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0), (QVariantList{1, 0, 2050}));
        // The Y step re-evaluates with the stored X: no change, no signal.
        f.tbar.processReading(2, 1250, f.now);
        QCOMPARE(spy.count(), 1);
    }

    // Both joystick axes feed one centre and counter; the zoom has its own.
    void centreTracking()
    {
        Fixture f;
        const auto feed = [&f](int channel, int raw, int times) {
            for (int i = 0; i < times; ++i)
                f.tbar.processReading(channel, raw, f.now);
        };
        for (int i = 0; i < 10; ++i) { // 20 readings near 1300
            feed(1, 1300, 1);
            feed(2, 1300, 1);
        }
        QCOMPARE(f.tbar.currentJoystickMid(), 1250);
        feed(1, 1300, 1); // the 21st
        QCOMPARE(f.tbar.currentJoystickMid(), 1275);
        // A reading farther than 99 starts the count again.
        feed(2, 1275, 20);
        feed(1, 1375, 1);
        feed(2, 1282, 20);
        QCOMPARE(f.tbar.currentJoystickMid(), 1275);
        feed(2, 1282, 1);
        QCOMPARE(f.tbar.currentJoystickMid(), 1278); // truncated toward zero
        QCOMPARE(f.tbar.currentZoomMid(), 1250);

        feed(3, 1349, 20);
        QCOMPARE(f.tbar.currentZoomMid(), 1250);
        feed(3, 1349, 1);
        QCOMPARE(f.tbar.currentZoomMid(), 1299);
        // A push beyond 99 does not move the centre however long it lasts.
        feed(3, 1600, 100);
        QCOMPARE(f.tbar.currentZoomMid(), 1299);
        QCOMPARE(f.tbar.currentJoystickMid(), 1278);
    }

    void zoom_data()
    {
        QTest::addColumn<QList<int>>("offsets");
        QTest::addColumn<QList<QPoint>>("expected"); // (direction, value offset or -1)
        QTest::newRow("201 above, then back within 200 once")
            << QList<int>{201, 300, 200, 0, 0} << QList<QPoint>{{1, 201}, {0, -1}};
        QTest::newRow("exactly 200 is still the centre") << QList<int>{200, -200} << QList<QPoint>{};
        QTest::newRow("201 below") << QList<int>{-201, -201} << QList<QPoint>{{-1, -201}};
        QTest::newRow("straight from one side to the other")
            << QList<int>{-500, 500, 0} << QList<QPoint>{{-1, -500}, {1, 500}, {0, -1}};
    }
    void zoom()
    {
        QFETCH(QList<int>, offsets);
        QFETCH(QList<QPoint>, expected);
        Fixture f;
        QSignalSpy spy(&f.tbar, &Tbar::changeJoyZValue);
        for (int d : offsets)
            f.tbar.processReading(3, 1250 + d, f.now);
        QList<QPoint> got;
        for (const auto &args : spy)
            got << QPoint(args.at(0).toInt(), args.at(1).toInt() == -1 ? -1 : args.at(1).toInt() - 1250);
        QCOMPARE(got, expected);
    }

    void conversionBytes_data()
    {
        QTest::addColumn<QByteArray>("reg");
        QTest::addColumn<int>("reading");
        QTest::newRow("1300") << QByteArray::fromHex("5140") << 1300;
        QTest::newRow("low nibble dropped") << QByteArray::fromHex("514F") << 1300;
        QTest::newRow("largest") << QByteArray::fromHex("7FFF") << 2047;
        QTest::newRow("negative is 0") << QByteArray::fromHex("FFF0") << 0;
        QTest::newRow("most negative is 0") << QByteArray::fromHex("8000") << 0;
    }
    void conversionBytes()
    {
        QFETCH(QByteArray, reg);
        QFETCH(int, reading);
        QCOMPARE(I2cConverter::toReading(std::uint8_t(reg[0]), std::uint8_t(reg[1])), reading);
    }
};

QTEST_GUILESS_MAIN(TestTbarProcessing)
#include "tst_tbarprocessing.moc"
