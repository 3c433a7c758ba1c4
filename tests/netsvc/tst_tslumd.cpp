#include "netsvc/tslumd.h"

#include <QtTest>

using Displays = QVector<Tsl::Display>;
Q_DECLARE_METATYPE(Displays)
Q_DECLARE_METATYPE(Tsl::Lamps)

namespace {
Tsl::Display disp(int index, const QString &text, bool program, bool preview)
{
    Tsl::Display d;
    d.index = index;
    d.text = text;
    d.program = program;
    d.preview = preview;
    return d;
}
Tsl::Lamps lamps(int pgmColour, int pvwColour, int pgmTally, int pvwTally)
{
    return Tsl::Lamps{pgmColour, pvwColour, pgmTally, pvwTally};
}
const Tsl::Lamps kDefault;
} // namespace

class TstTslUmd : public QObject
{
    Q_OBJECT
private slots:
    void packets_data();
    void packets();
};

void TstTslUmd::packets_data()
{
    QTest::addColumn<QString>("form"); // "5.0", "5.0 TCP", "3.1"
    QTest::addColumn<Displays>("displays");
    QTest::addColumn<Tsl::Lamps>("lamps");
    QTest::addColumn<QByteArray>("bytes");
    // 5.0: PBC, VER 0, FLAGS, SCREEN 0, then INDEX CONTROL LENGTH TEXT,
    // little-endian; CONTROL = the colour in bits 0-1, 2-3 and 4-5, brightness 3.
    QTest::newRow("5.0 program red") << "5.0" << Displays{disp(1, "IN1", true, false)} << kDefault
                                     << QByteArray::fromHex("0d00 0000 0000 0100 d500 0300 494e31");
    QTest::newRow("5.0 preview green") << "5.0" << Displays{disp(2, "IN2", false, true)} << kDefault
                                       << QByteArray::fromHex("0d00 0000 0000 0200 ea00 0300 494e32");
    QTest::newRow("5.0 on both: program wins") << "5.0" << Displays{disp(2, "IN2", true, true)} << kDefault
                                               << QByteArray::fromHex("0d00 0000 0000 0200 d500 0300 494e32");
    QTest::newRow("5.0 off, empty label") << "5.0" << Displays{disp(7, "", false, false)} << kDefault
                                          << QByteArray::fromHex("0a00 0000 0000 0700 c000 0000");
    QTest::newRow("5.0 mapped: program green, preview amber")
        << "5.0" << Displays{disp(1, "A", true, false), disp(0x0302, "B", false, true)} << lamps(2, 3, 0, 1)
        << QByteArray::fromHex("1200 0000 0000 0100 ea00 0100 41 0203 ff00 0100 42");
    QTest::newRow("5.0 a Chinese label: the packet in UTF-16LE")
        << "5.0" << Displays{disp(1, "A", false, false), disp(2, QString::fromUtf8("機位"), true, false)} << kDefault
        << QByteArray::fromHex("1600 0001 0000 0100 c000 0200 4100 0200 d500 0400 5f6a 4d4f");
    QTest::newRow("5.0 label cut to 16, control characters as spaces")
        << "5.0" << Displays{disp(1, "A\tB\x01" "CDEFGHIJKLMNOPQRS", false, false)} << kDefault
        << QByteArray::fromHex("1a00 0000 0000 0100 c000 1000") + QByteArray("A B CDEFGHIJKLMN");
    QTest::newRow("5.0 index beyond 0xFFFE is held there")
        << "5.0" << Displays{disp(70000, "", false, false)} << kDefault
        << QByteArray::fromHex("0a00 0000 0000 feff c000 0000");
    // On TCP: DLE STX first, every DLE (FE) of the packet doubled.
    QTest::newRow("5.0 TCP stuffing") << "5.0 TCP" << Displays{disp(0xFEFE, QString(QChar(0xFE)), true, false)}
                                      << kDefault
                                      << QByteArray::fromHex("fe02 0c00 0001 0000 fefefefe d500 0200 fefe00");
    QTest::newRow("5.0 TCP nothing to stuff") << "5.0 TCP" << Displays{disp(1, "X", false, true)} << kDefault
                                              << QByteArray::fromHex("fe02 0b00 0000 0000 0100 ea00 0100 58");
    // 3.1: 0x80 + address, control (tally bits 0-3, brightness 3 in bits
    // 4-5), 16 characters padded with spaces.
    QTest::newRow("3.1 program on tally 1") << "3.1" << Displays{disp(1, "IN1", true, false)} << kDefault
                                            << QByteArray::fromHex("8131") + QByteArray("IN1             ");
    QTest::newRow("3.1 preview on tally 2") << "3.1" << Displays{disp(0, "IN2", false, true)} << kDefault
                                            << QByteArray::fromHex("8032") + QByteArray("IN2             ");
    QTest::newRow("3.1 on both, preview mapped to tally 4")
        << "3.1" << Displays{disp(126, "X", true, true)} << lamps(1, 2, 0, 3)
        << QByteArray::fromHex("fe39") + QByteArray("X               ");
    QTest::newRow("3.1 off, a long label") << "3.1" << Displays{disp(5, "ABCDEFGHIJKLMNOPQ", false, false)}
                                           << kDefault << QByteArray::fromHex("8530") + QByteArray("ABCDEFGHIJKLMNOP");
    QTest::newRow("3.1 non-ASCII as '?'") << "3.1" << Displays{disp(3, QString::fromUtf8("機1\U0001F600"), false, false)}
                                          << kDefault << QByteArray::fromHex("8330") + QByteArray("?1?             ");
    QTest::newRow("3.1 address out of range: nothing") << "3.1" << Displays{disp(127, "X", true, false)}
                                                       << kDefault << QByteArray();
    QTest::newRow("3.1 negative address: nothing") << "3.1" << Displays{disp(-1, "X", true, false)} << kDefault
                                                   << QByteArray();
}

void TstTslUmd::packets()
{
    QFETCH(QString, form);
    QFETCH(Displays, displays);
    QFETCH(Tsl::Lamps, lamps);
    QFETCH(QByteArray, bytes);
    QByteArray out;
    if (form == "3.1")
        out = Tsl::v31Packet(displays.first(), lamps);
    else if (form == "5.0 TCP")
        out = Tsl::v50Stream(Tsl::v50Packet(displays, lamps));
    else
        out = Tsl::v50Packet(displays, lamps);
    QCOMPARE(out.toHex(' '), bytes.toHex(' '));
}

QTEST_APPLESS_MAIN(TstTslUmd)
#include "tst_tslumd.moc"
