// The camera message builder, byte for byte, against tables written out here
// by hand: the messages no operation sends (what each operation sends is in
// the operation tests, on the wire) and how parameters are placed.
#include "camera/cameralinestats.h"
#include "camera/vek_control.h"

#include <QtTest>

// Rows of the builder table, named after the command.
#define B(cmd, p1, message) row(#cmd, cmd, p1, message)

namespace {

// Distinct nibbles everywhere, so a swapped or misplaced parameter shows.
const QByteArray kP = QByteArray::fromHex("A53C5AC396697E");

QByteArray params(int p1)
{
    QByteArray p = kP;
    if (p1 >= 0)
        p[0] = char(p1);
    return p;
}

QByteArray build(int value, const QByteArray &p)
{
    return VEK_Control().VEK_Command(VEK_COMMANDS(value), quint8(p[0]), quint8(p[1]), quint8(p[2]), quint8(p[3]),
                                     quint8(p[4]), quint8(p[5]), quint8(p[6]));
}

} // namespace

class TestVekCommands : public QObject
{
    Q_OBJECT

private slots:
    // Reply times: nearest-rank percentiles over the last minute only.
    void replyTimePercentiles_data()
    {
        QTest::addColumn<QList<int>>("times"); // one reply a second, oldest first
        QTest::addColumn<int>("p50");
        QTest::addColumn<int>("p99");
        QTest::addColumn<int>("replies");
        QTest::newRow("none") << QList<int>{} << -1 << -1 << 0;
        QTest::newRow("one") << QList<int>{7} << 7 << 7 << 1;
        QTest::newRow("even count") << QList<int>{4, 1, 3, 2} << 2 << 4 << 4;
        QList<int> hundred;
        for (int i = 1; i <= 100; ++i)
            hundred << i;
        QTest::newRow("only the last minute") << hundred << 70 << 100 << 61; // 40..100
        QList<int> stale{900};
        for (int i = 0; i < 61; ++i)
            stale << 5;
        QTest::newRow("older than a minute gone") << stale << 5 << 5 << 61;
    }
    void replyTimePercentiles()
    {
        QFETCH(QList<int>, times);
        QFETCH(int, p50);
        QFETCH(int, p99);
        QFETCH(int, replies);
        CameraLineStats stats;
        qint64 now = 1000;
        for (int t : times)
            stats.addReplyTime(t, now += 1000);
        const CameraLineStats::Snapshot s = stats.snapshot(now);
        QCOMPARE(s.replies, replies);
        QCOMPARE(s.p50Ms, p50);
        QCOMPARE(s.p99Ms, p99);
    }

    // The messages no operation sends, and how parameters are placed: p1
    // (the selector where a row has one) as named, the others from kP.
    void builderMessages_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("params");
        QTest::addColumn<QString>("message"); // empty: the builder gives nothing
        auto row = [](const char *name, int value, int p1, const char *message) {
            const QByteArray tag = p1 < 0 ? QByteArray(name) : name + QByteArray(" p1=") + QByteArray::number(p1, 16);
            QTest::newRow(tag.constData()) << value << params(p1) << QString::fromLatin1(message);
        };
        B(CAM_ZOOM, 0x07, "81 01 04 07 3C FF");
        B(CAM_ZOOM, 0x47, "81 01 04 47 3C 5A C3 96 FF");
        B(CAM_ZOOM, 0x08, ""); B(CAM_ZOOM, 0x00, "");
        B(CAM_ZOOM_IN, -1, "81 01 04 07 25 FF"); // no speed spills into the direction
        B(CAM_FOCUS, 0x08, "81 01 04 08 3C FF"); B(CAM_FOCUS, 0x18, "81 01 04 18 3C FF");
        B(CAM_FOCUS, 0x38, "81 01 04 38 3C FF");
        B(CAM_FOCUS, 0x48, "81 01 04 48 3C 5A C3 96 FF"); B(CAM_FOCUS, 0x28, "");
        B(CAM_WB, 0x35, "81 01 04 35 3C FF"); B(CAM_WB, 0x10, "81 01 04 10 3C FF"); B(CAM_WB, 0x36, "");
        B(CAM_RGAIN, 0x03, "81 01 04 03 3C FF"); B(CAM_RGAIN, 0x43, "81 01 04 43 00 00 3C 5A FF");
        B(CAM_RGAIN, 0x04, "");
        B(CAM_BGAIN, 0x04, "81 01 04 04 3C FF"); B(CAM_BGAIN, 0x44, "81 01 04 44 00 00 3C 5A FF");
        B(CAM_BGAIN, 0x43, "");
        B(CAM_AE, -1, "81 01 04 39 A5 FF"); B(CAM_SHUTTER, -1, "81 01 04 0A A5 FF");
        B(CAM_IRIS, 0x0B, "81 01 04 0B 3C FF"); B(CAM_IRIS, 0x4B, "81 01 04 4B 00 00 3C 5A FF");
        B(CAM_IRIS, 0x0C, "");
        B(CAM_GAIN, 0x0C, "81 01 04 0C 3C FF"); B(CAM_GAIN, 0x4C, "81 01 04 4C 00 00 3C 5A FF");
        B(CAM_GAIN, 0x0B, "");
        B(CAM_BACKLIGHT, -1, "81 01 04 33 A5 FF"); B(PTZ_POSITION, -1, "81 01 04 3F A5 3C FF");
        B(CAM_MENU, -1, "81 01 06 06 A5 FF");
        B(PT_DRIVE, 0x01, "81 01 06 01 3C 5A C3 96 FF");
        B(PT_DRIVE, 0x02, "81 01 06 02 3C 00 0A 0C 03 09 06 06 09 07 0E FF");
        B(PT_DRIVE, 0x03, "81 01 06 03 3C 00 0A 0C 03 09 06 06 09 07 0E FF");
        B(PT_DRIVE, 0x04, "81 01 06 04 FF"); B(PT_DRIVE, 0x05, "81 01 06 05 FF");
        B(PT_DRIVE, 0x06, ""); B(PT_DRIVE, 0x00, "");
        B(PT_DRIVE_UP, -1, "81 01 06 01 A5 3C 03 01 FF"); B(PTZ_PANTILT_POSITION, -1, "81 09 06 12 FF");
        B(CAM_TALLY_On, -1, "81 01 7E 01 0A 00 02 FF"); B(CAM_TALLY_Off, -1, "81 01 7E 01 0A 00 03 FF");
        B(CAM_AIInq, -1, "81 09 7E 11 54 FF");
        B(PTZ_AICAM_TRACKING_START_POS, -1, ""); B(PTZ_AICAM_TRACKING_PROMPT, -1, "");
        B(CAM_PT_SPD_RANGE, -1, "81 01 7E 01 0B 7E A5 FF"); B(CAM_AT_SUBJECTInq, -1, "81 09 7E 0A 11 A3 FF");
    }
    void builderMessages()
    {
        QFETCH(int, value);
        QFETCH(QByteArray, params);
        QFETCH(QString, message);
        const QByteArray packet = QByteArray::fromHex(message.toLatin1());
        const QByteArray framed = packet.isEmpty() ? QByteArray() : QByteArray(1, '\0') + char(packet.size() + 2) + packet;
        QCOMPARE(build(value, params).toHex(' '), framed.toHex(' '));
    }

    // The ready-made tracking messages with parameters (tracking on and off,
    // the only ones sent, are in the operation tests).
    void atMessages()
    {
        VEK_Control b;
        QCOMPARE(b.AT_Command(AT_TRACKSTART_CURR, 1, 2, 3, 4), QByteArray::fromHex("810a043f02000102ff"));
        QCOMPARE(b.AT_Command(AT_TRACKSTART_PRESET1), QByteArray::fromHex("810a043f02000100ff"));
        QCOMPARE(b.AT_Command(AT_FIGSIZE_SAVE, 1, 2, 3, 4), QByteArray::fromHex("810a0f010801020304ff"));
        // A second call does not see the first call's parameters, nor does the stored row.
        QCOMPARE(b.AT_Command(AT_FIGSIZE_SAVE).toHex(' '), QByteArray("81 0a 0f 01 08 00 00 00 00 ff"));
        const auto *stored = reinterpret_cast<const char *>(VEK_Control::atCmdTable[AT_FIGSIZE_SAVE].cmdParams);
        QCOMPARE(QByteArray(stored, 10).toHex(' '), QByteArray("81 0a 0f 01 08 00 00 00 00 ff"));
    }

    void valuesOutsideTheTables()
    {
        VEK_Control builder;
        for (int v : {122, 127, -1, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()})
            QVERIFY2(builder.VEK_Command(VEK_COMMANDS(v), 0x07, 1, 2, 3, 4, 5, 6).isEmpty(), QByteArray::number(v));
        for (int v : {29, 200, -1})
            QVERIFY(builder.AT_Command(AT_COMMANDS(v), 1, 2, 3, 4).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestVekCommands)
#include "tst_vekcommands.moc"
