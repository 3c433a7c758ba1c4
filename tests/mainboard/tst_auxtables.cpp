// The compact-frame encoder and the crosspoint table with its CRC-16.

#include "tests/common/logcapture.h"
#include "mainboard/cbrennprotocol.h"
#include "mainboard/veltcommands.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

QByteArray hex(const char *s) { return QByteArray::fromHex(s); }

// Independent bitwise CRC-16/MODBUS (poly 0xA001 reflected, init 0xFFFF).
quint16 modbusCrc(const QByteArray &data, quint16 crc = 0xFFFF)
{
    for (unsigned char b : data) {
        crc ^= b;
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

unsigned char *bytes(QByteArray &b) { return reinterpret_cast<unsigned char *>(b.data()); }

// Cal_Checksum in place (the output may be the input), checking its result.
QByteArray calChecksum(QByteArray b)
{
    const int r = CBrennProtocol().Cal_Checksum(bytes(b), b.size(), bytes(b));
    return r == 1 ? b : QByteArray("failed");
}

} // namespace

class TstAuxTables : public QObject
{
    Q_OBJECT

private slots:
    void encode_data()
    {
        QTest::addColumn<int>("readWrite");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("effect");
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<int>("returned");
        auto row = [](const char *n, int rw, int code, int eff, const char *msg, const char *frame) {
            const QByteArray f = hex(frame);
            QTest::newRow(n) << rw << code << eff << hex(msg) << f << int(qint8(f.at(f.size() - 1)));
        };
        row("read PGM", 0, VELT_READ_PGM, 0, "", "03004144");
        row("read version", 0, VELT_READ_VERSION, 1, "", "03016C70");
        row("read audio (count 4)", 0, VELT_READ_AUDIO, 2, "07", "0402450752");
        row("write PGM", 1, VELT_WRITE_PGM, 0, "01", "0400C101C6");
        row("write pip lumakey", 1, VELT_WRITE_PIPLUMAKEY, 1, "0203", "0501C80203D3");
        row("save usermem", 1, VELT_SAVE_USERMEM, 9, "03", "0400DA03E1");
        row("firmware update start", 1, VELT_FIRMWARE_UPDATE, 1, "", "0301EBEF");
        row("factory default ignores effect", 1, VELT_FACTORY_DEFAULT, 5, "", "0300FF02");
        row("unknown write code appends nothing", 1, VELT_READ_PGM, 0, "01", "00");
        row("unknown direction", 7, VELT_WRITE_PGM, 0, "01", "00");
        // Data not matching count - 3: missing bytes read as zero, the sum
        // covers bytes 0..count-1 only.
        row("save usermem long message", 1, VELT_SAVE_USERMEM, 0, "0305", "0400DA0305E1");
        row("write PGM without message", 1, VELT_WRITE_PGM, 0, "", "0400C100C5");
        row("write audio, one data byte", 1, VELT_WRITE_AUDIO, 0, "01", "0500C501CB");
    }

    void encode()
    {
        QFETCH(int, readWrite);
        QFETCH(int, code);
        QFETCH(int, effect);
        QFETCH(QByteArray, message);
        QFETCH(QByteArray, frame);
        QFETCH(int, returned);
        QByteArray out("stale");
        const qint8 r = veltCommands().cmdEncode(readWrite, static_cast<VELTMINI_COMMANDS>(code), qint8(effect),
                                                 message, &out);
        QCOMPARE(out.toHex(' '), frame.toHex(' '));
        QCOMPARE(int(r), returned);
    }

    void encodeNullOut()
    {
        LogCapture log;
        QCOMPARE(int(veltCommands().cmdEncode(0, VELT_READ_PGM, 0, QByteArray(), nullptr)), 0);
        QVERIFY(log.has("[ERR] cmdEncode"));
    }

    void brennPackets()
    {
        CBrennProtocol p;
        const int lasts[16] = {0x2A, 0x22, 0x23, 0x24, 0x25, 0x26, 0x29, 0x21,
                               0x3A, 0x32, 0x33, 0x34, 0x35, 0x36, 0x39, 0x31};
        for (int row = 0; row < 16; ++row) {
            const QByteArray expected = hex("AA04FF20") + char(lasts[row]) + char((0x04 + 0xFF + 0x20 + lasts[row]) & 0xFF);
            QCOMPARE(p.Get_BRENNCommandPacket(row).toHex(' '), expected.toHex(' '));
        }
        QCOMPARE(p.Get_BRENNCommandPacket(BRENN_PVWBK), hex("AA04FF203154"));
        QVERIFY(p.Get_BRENNCommandPacket(16).isEmpty());
        QVERIFY(p.Get_BRENNCommandPacket(-1).isEmpty());
        unsigned char out[4] = {0x55, 0x55, 0x55, 0x55};
        QCOMPARE(p.Get_BRENNCommandPacket_Code(1000, out), 1);
        QCOMPARE(int(out[0]), 0x55); // nothing written
    }

    void crc()
    {
        // The check value, through both entry points; the input stays untouched.
        QByteArray in = QByteArray("123456789") + hex("FFFF");
        QByteArray out(in.size(), '\0');
        QCOMPARE(CBrennProtocol().Get_BRENN_CalChecksumCode(in.size(), bytes(in), bytes(out)), in.size());
        QCOMPARE(out, QByteArray("123456789") + hex("374B"));
        QCOMPARE(in, QByteArray("123456789") + hex("FFFF"));
        QCOMPARE(calChecksum(in), out);

        // Random data against the bitwise reference.
        QRandomGenerator rng(0xC0FFEE);
        for (int n = 0; n < 2000; ++n) {
            QByteArray data(int(rng.bounded(0, 200)), '\0');
            for (char &c : data)
                c = char(rng.bounded(256));
            const quint16 ref = modbusCrc(data);
            QCOMPARE(calChecksum(data + hex("FFFF")), data + char(ref & 0xFF) + char(ref >> 8));
        }

        // Random data reaches every table entry; the accessors give them unswapped.
        QCOMPARE((QList<int>{CBrennProtocol().CRC16_TABLE_HI(1), CBrennProtocol().CRC16_TABLE_LO(1)}), (QList<int>{0xC0, 0xC1}));

        // The register starts from the two trailing bytes: carrying it across a
        // split message gives the CRC of the whole.
        const QByteArray first = calChecksum(QByteArray("hello ") + hex("FFFF"));
        const quint16 ref = modbusCrc("hello world");
        QCOMPARE(calChecksum("world" + first.right(2)), QByteArray("world") + char(ref & 0xFF) + char(ref >> 8));
    }

    void crcBadInput()
    {
        LogCapture log;
        CBrennProtocol p;
        unsigned char one[1] = {0x12};
        unsigned char out[2] = {0x55, 0x55};
        QCOMPARE(p.Cal_Checksum(one, 1, out), 0);
        QCOMPARE(p.Cal_Checksum(nullptr, 4, out), 0);
        QCOMPARE(p.Get_BRENN_CalChecksumCode(-3, one, out), 0);
        QCOMPARE(int(out[0]), 0x55);
        // Exactly the two register bytes: the CRC of nothing is the register.
        QCOMPARE(calChecksum(hex("FFFF")), hex("FFFF"));
    }
};

QTEST_GUILESS_MAIN(TstAuxTables)
#include "tst_auxtables.moc"