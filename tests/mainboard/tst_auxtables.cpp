// The compact-frame encoder and the crosspoint table with its CRC-16.

#include "tests/common/logcapture.h"
#include "mainboard/cbrennprotocol.h"
#include "mainboard/veltcommands.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

QByteArray hex(const char *s) { return QByteArray::fromHex(s); }

// Independent bitwise CRC-16/MODBUS (poly 0xA001 reflected, init 0xFFFF).
quint16 modbusCrc(const QByteArray &data)
{
    quint16 crc = 0xFFFF;
    for (unsigned char b : data) {
        crc ^= b;
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

} // namespace

class TstAuxTables : public QObject
{
    Q_OBJECT

private slots:
    void encode_data();
    void encode();
    void encodeNullOutAndVersion();
    void brennPackets_data();
    void brennPackets();
    void brennOutOfRange();
    void crcTables();
    void crcCheckValue();
    void crcAgreesWithBitwiseReference();
    void crcCustomInitialRegister();
    void crcBadInput();
};

void TstAuxTables::encode_data()
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
    row("read keysource", 0, VELT_READ_KEYSOURCE, 0, "", "03004447");
    row("read device type", 0, VELT_READ_DEVICETYPE, 0, "", "03006F72");
    row("read audio (count 4)", 0, VELT_READ_AUDIO, 2, "07", "0402450752");
    row("write PGM", 1, VELT_WRITE_PGM, 0, "01", "0400C101C6");
    row("write keysource", 1, VELT_WRITE_KEYSOURCE, 0, "0203", "0400C402CA");
    row("write lamp on", 1, VELT_WRITE_PBLAMPON, 0, "01", "0400C601CB");
    row("write lamp off", 1, VELT_WRITE_PBLAMPOFF, 0, "01", "0400C701CC");
    row("write pip lumakey", 1, VELT_WRITE_PIPLUMAKEY, 1, "0203", "0501C80203D3");
    row("write transmode", 1, VELT_WRITE_TRANSMODE, 0, "0102", "0500CA0102D2");
    row("write audio", 1, VELT_WRITE_AUDIO, 0, "0102", "0500C50102CD");
    row("save usermem", 1, VELT_SAVE_USERMEM, 9, "03", "0400DA03E1");
    row("load usermem", 1, VELT_LOAD_USERMEM, 9, "03", "0400DB03E2");
    row("write ppt mode", 1, VELT_WRITE_PPTMODE, 0, "01", "0400ED01F2");
    row("write device type", 1, VELT_WRITE_DEVICETYPE, 0, "02", "0400EF02F5");
    row("firmware update start", 1, VELT_FIRMWARE_UPDATE, 1, "", "0301EBEF");
    row("firmware update end", 1, VELT_FIRMWARE_UPDATE, 2, "", "0302EBF0");
    row("factory default ignores effect", 1, VELT_FACTORY_DEFAULT, 5, "", "0300FF02");
    row("unknown write code appends nothing", 1, VELT_READ_PGM, 0, "01", "00");
    row("unknown direction", 7, VELT_WRITE_PGM, 0, "01", "00");
    // Data not matching count - 3: missing bytes read as zero, the sum
    // covers bytes 0..count-1 only.
    row("save usermem long message", 1, VELT_SAVE_USERMEM, 0, "0305", "0400DA0305E1");
    row("write PGM without message", 1, VELT_WRITE_PGM, 0, "", "0400C100C5");
    row("write audio, one data byte", 1, VELT_WRITE_AUDIO, 0, "01", "0500C501CB");
}

void TstAuxTables::encode()
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

void TstAuxTables::encodeNullOutAndVersion()
{
    LogCapture log;
    QCOMPARE(int(veltCommands().cmdEncode(0, VELT_READ_PGM, 0, QByteArray(), nullptr)), 0);
    QVERIFY(log.has("[ERR] cmdEncode"));
    QCOMPARE(veltCommands().getProtocolVersion(), QString("1.9"));
}

void TstAuxTables::brennPackets_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("last");
    const int lasts[16] = {0x2A, 0x22, 0x23, 0x24, 0x25, 0x26, 0x29, 0x21,
                           0x3A, 0x32, 0x33, 0x34, 0x35, 0x36, 0x39, 0x31};
    for (int r = 0; r < 16; ++r)
        QTest::newRow(qPrintable(QString("row %1").arg(r))) << r << lasts[r];
}

void TstAuxTables::brennPackets()
{
    QFETCH(int, row);
    QFETCH(int, last);
    CBrennProtocol p;
    QByteArray expected = hex("AA04FF20");
    expected.append(char(last));
    expected.append(char((0x04 + 0xFF + 0x20 + last) & 0xFF));
    QCOMPARE(p.Get_BRENNCommandPacket(row).toHex(' '), expected.toHex(' '));
    unsigned char out[8] = {};
    QCOMPARE(p.Get_BRENNCommandPacket_Code(row, out), 6);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(out), 6), expected);
    QCOMPARE(brenn_command_table[row].cmd_id, row);
    QCOMPARE(brenn_command_table[row].cmd_length, 5);
}

void TstAuxTables::brennOutOfRange()
{
    CBrennProtocol p;
    QCOMPARE(p.Get_BRENNCommandPacket(BRENN_PGMBG), hex("AA04FF202A4D"));
    QCOMPARE(p.Get_BRENNCommandPacket(BRENN_PVWBK), hex("AA04FF203154"));
    QVERIFY(p.Get_BRENNCommandPacket(16).isEmpty());
    QVERIFY(p.Get_BRENNCommandPacket(-1).isEmpty());
    unsigned char out[4] = {0x55, 0x55, 0x55, 0x55};
    QCOMPARE(p.Get_BRENNCommandPacket_Code(16, out), 1);
    QCOMPARE(p.Get_BRENNCommandPacket_Code(1000, out), 1);
    QCOMPARE(int(out[0]), 0x55); // nothing written
    QCOMPARE(brenn_command_table[BRENN_COUNT].cmd_length, 0);
}

void TstAuxTables::crcTables()
{
    CBrennProtocol p;
    // Every entry is the CRC of its index alone: LO the low byte, HI the high
    // (so HI starts 00 C0 C1 01 and LO 00 C1 81 40).
    for (int i = 0; i < 256; ++i) {
        quint16 c = quint16(i);
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? quint16((c >> 1) ^ 0xA001) : quint16(c >> 1);
        QCOMPARE(int(p.CRC16_TABLE_LO(uchar(i))), c & 0xFF);
        QCOMPARE(int(p.CRC16_TABLE_HI(uchar(i))), c >> 8);
    }
}

void TstAuxTables::crcCheckValue()
{
    CBrennProtocol p;
    QByteArray in = QByteArray("123456789") + hex("FFFF");
    QByteArray out(in.size(), '\0');
    QCOMPARE(p.Cal_Checksum(reinterpret_cast<unsigned char *>(in.data()), in.size(),
                            reinterpret_cast<unsigned char *>(out.data())),
             1);
    QCOMPARE(out, QByteArray("123456789") + hex("374B"));
    QByteArray out2(in.size(), '\0');
    QCOMPARE(p.Get_BRENN_CalChecksumCode(in.size(), reinterpret_cast<unsigned char *>(in.data()),
                                         reinterpret_cast<unsigned char *>(out2.data())),
             in.size());
    QCOMPARE(out2, out);
    QCOMPARE(in, QByteArray("123456789") + hex("FFFF")); // input untouched
}

void TstAuxTables::crcAgreesWithBitwiseReference()
{
    CBrennProtocol p;
    QRandomGenerator rng(0xC0FFEE);
    for (int n = 0; n < 2000; ++n) {
        QByteArray data(int(rng.bounded(0, 200)), '\0');
        for (char &c : data)
            c = char(rng.bounded(256));
        QByteArray buf = data + hex("FFFF");
        // In place: out may be the data itself.
        QCOMPARE(p.Cal_Checksum(reinterpret_cast<unsigned char *>(buf.data()), buf.size(),
                                reinterpret_cast<unsigned char *>(buf.data())),
                 1);
        const quint16 ref = modbusCrc(data);
        QCOMPARE(buf.left(data.size()), data);
        QCOMPARE(int(uchar(buf.at(data.size()))), ref & 0xFF);
        QCOMPARE(int(uchar(buf.at(data.size() + 1))), ref >> 8);
    }
}

void TstAuxTables::crcCustomInitialRegister()
{
    // The register starts from the two trailing bytes: running the CRC over
    // a split message, carrying the register across, gives the whole CRC.
    CBrennProtocol p;
    const QByteArray a("hello "), b("world");
    QByteArray first = a + hex("FFFF");
    p.Cal_Checksum(reinterpret_cast<unsigned char *>(first.data()), first.size(),
                   reinterpret_cast<unsigned char *>(first.data()));
    QByteArray second = b + first.right(2);
    p.Cal_Checksum(reinterpret_cast<unsigned char *>(second.data()), second.size(),
                   reinterpret_cast<unsigned char *>(second.data()));
    const quint16 ref = modbusCrc(a + b);
    QCOMPARE(int(uchar(second.at(b.size()))), ref & 0xFF);
    QCOMPARE(int(uchar(second.at(b.size() + 1))), ref >> 8);
}

void TstAuxTables::crcBadInput()
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
    unsigned char reg[2] = {0xFF, 0xFF};
    QCOMPARE(p.Cal_Checksum(reg, 2, out), 1);
    QCOMPARE(int(out[0]), 0xFF);
    QCOMPARE(int(out[1]), 0xFF);
}

QTEST_GUILESS_MAIN(TstAuxTables)
#include "tst_auxtables.moc"
