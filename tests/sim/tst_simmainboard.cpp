// The simulated mainboard is the peer every mainboard test trusts, so its own
// bytes are checked here against hand-written frames, through a real serial
// port on its pseudo-terminal. What the product's link already proves against
// it (round trips, late and split replies, boot-loader failures:
// tst_zarvomu, tst_switcher, tst_mbupgrade) is not repeated here.
#include "sim/mbimage.h"
#include "sim/simmainboard.h"
#include "tests/common/testsysroot.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QtTest>

#include <memory>

namespace {

QByteArray hex(const char *s) { return QByteArray::fromHex(s); }

// Appends the checksum: low byte of the sum of every byte.
QByteArray withSum(const QByteArray &body)
{
    quint32 s = 0;
    for (char c : body)
        s += quint8(c);
    return body + char(s & 0xFF);
}

} // namespace

class TstSimMainboard : public QObject
{
    Q_OBJECT

private:
    // Writes `out` (if any) and collects what comes back until `want` bytes
    // arrived or `ms` passed.
    QByteArray exchange(const QByteArray &out, int want, int ms = 2000)
    {
        if (!out.isEmpty()) {
            port_->clear();
            port_->write(out);
            port_->waitForBytesWritten(500);
        }
        QByteArray in;
        QElapsedTimer t;
        t.start();
        while (in.size() < want && t.elapsed() < ms)
            if (port_->waitForReadyRead(20))
                in += port_->readAll();
        return in + port_->readAll();
    }

    TestSysroot root_;
    std::unique_ptr<SimMainboard> mb_;
    std::unique_ptr<QSerialPort> port_;

private slots:
    // A fresh board per case, so no state or mode leaks between rows.
    void init()
    {
        mb_ = std::make_unique<SimMainboard>();
        QVERIFY(mb_->isOpen());
        QCOMPARE(mb_->linkPath(), root_.path("/dev/ttyAMA2"));
        port_ = std::make_unique<QSerialPort>(mb_->linkPath());
        port_->setBaudRate(115200);
        QVERIFY(port_->open(QIODevice::ReadWrite));
    }

    void cleanup()
    {
        port_.reset();
        mb_.reset();
    }

    void reads_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("reply");
        // Default board: program 1, preview 2, pip 3, key 1, fill 2,
        // versions 1.5 / 1.2.
        QTest::newRow("status") << hex("03006E71") << withSum(hex("0900EE210003210000"));
        QTest::newRow("lamp mix lit") << withSum(hex("04004704")) << withSum(hex("0400C601"));
        QTest::newRow("block 3") << withSum(hex("030349")) << withSum(hex("0B03C90202000105010200"));
        QTest::newRow("aux") << hex("03044950") << withSum(hex("0A04C900000000000000"));
        QTest::newRow("unknown code") << withSum(hex("030077")) << hex("024042");
        QTest::newRow("block 6") << withSum(hex("030649")) << hex("024042");
        QTest::newRow("lamp 23") << withSum(hex("04004717")) << hex("024042");
        QTest::newRow("bad checksum") << hex("03006E72") << hex("021012");
    }

    void reads()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, reply);
        QCOMPARE(exchange(request, reply.size()).toHex(' '), reply.toHex(' '));
        QCOMPARE(mb_->receivedFrames(), QList<QByteArray>{request});
    }

    // A write is applied as read back; a refused one answers its refusal and
    // changes nothing.
    void writes_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("ack");
        QTest::addColumn<QByteArray>("read");   // read afterwards
        QTest::addColumn<QByteArray>("expect"); // its reply
        const QByteArray ok = hex("028082");
        const QByteArray statusReq = hex("03006E71");
        const QByteArray status = withSum(hex("0900EE210003210000"));
        QTest::newRow("split source") << withSum(hex("0402C406")) << ok << statusReq << withSum(hex("0900EE210063210000"));
        QTest::newRow("key pgm lamp") << withSum(hex("0400C615")) << ok << statusReq << withSum(hex("0900EE212003210000"));
        // The versions (bytes 3..6) are the board's own.
        QTest::newRow("block 3 keeps versions") << withSum(hex("0B03C90101020909090901")) << ok << withSum(hex("030349"))
                                                << withSum(hex("0B03C90101020105010201"));
        QTest::newRow("aux mode") << withSum(hex("0F05C902") + QByteArray(11, '\0')) << ok << withSum(hex("030549"))
                                  << withSum(hex("0A05C902000000000000"));
        QTest::newRow("source 7") << withSum(hex("0400C107")) << hex("024042") << statusReq << status;
        QTest::newRow("save into factory set") << withSum(hex("0400DA00")) << hex("022022") << statusReq << status;
        QTest::newRow("memory 7") << withSum(hex("0400DB07")) << hex("024042") << statusReq << status;
        QTest::newRow("short status write") << withSum(hex("0800EE0102030405")) << hex("024042") << statusReq << status;
        QTest::newRow("bad checksum") << hex("0400C106CC") << hex("021012") << statusReq << status;
    }

    void writes()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, ack);
        QFETCH(QByteArray, read);
        QFETCH(QByteArray, expect);
        QCOMPARE(exchange(request, 3).toHex(' '), ack.toHex(' '));
        QCOMPARE(exchange(read, expect.size()).toHex(' '), expect.toHex(' '));
        QCOMPARE(mb_->state().memories[0].status, SimMainboard::State().memories[0].status);
    }

    void failureModes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("applied");
        const QByteArray status = withSum(hex("0900EE210003210000"));
        const QByteArray statusReq = hex("03006E71");
        const QByteArray pgm3 = withSum(hex("0400C103"));
        QByteArray badSum = status;
        badSum[9] = char(badSum.at(9) + 1);
        QTest::newRow("corrupt checksum read") << int(SimMainboard::CorruptChecksum) << statusReq << badSum << true;
        QTest::newRow("corrupt checksum ack") << int(SimMainboard::CorruptChecksum) << pgm3 << hex("028083") << true;
        QTest::newRow("wrong code") << int(SimMainboard::WrongCommandCode) << statusReq
                                    << withSum(hex("0900FE210003210000")) << true;
        QTest::newRow("ack before reply") << int(SimMainboard::AckBeforeReply) << statusReq << hex("028082") + status
                                          << true;
        QTest::newRow("ack then reply") << int(SimMainboard::AckThenReply) << statusReq << hex("028082") + status
                                        << true;
        QTest::newRow("ack before ack") << int(SimMainboard::AckBeforeReply) << pgm3 << hex("028082") << true;
        QTest::newRow("too many bytes") << int(SimMainboard::TooManyBytes) << statusReq << status + hex("A5A5A5A5")
                                        << true;
        QTest::newRow("busy write") << int(SimMainboard::ReportBusy) << pgm3 << hex("022022") << false;
        QTest::newRow("busy read") << int(SimMainboard::ReportBusy) << statusReq << hex("022022") << false;
        QTest::newRow("ack status 50") << int(SimMainboard::AckStatus) << pgm3 << hex("025052") << false;
        QTest::newRow("ack status C0") << int(SimMainboard::AckStatus) << pgm3 << hex("02C0C2") << true;
        QTest::newRow("ack status read") << int(SimMainboard::AckStatus) << statusReq << status << false;
        QTest::newRow("no answer") << int(SimMainboard::NoAnswer) << pgm3 << QByteArray() << false;
    }

    void failureModes()
    {
        QFETCH(int, mode);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, reply);
        QFETCH(bool, applied);
        mb_->setAckStatus(QByteArray(QTest::currentDataTag()).endsWith("C0") ? 0xC0 : 0x50);
        mb_->setFailureMode(SimMainboard::FailureMode(mode));
        QCOMPARE(exchange(request, qMax(1, reply.size()), reply.isEmpty() ? 300 : 2000).toHex(' '), reply.toHex(' '));
        // Nothing more follows.
        QCOMPARE(exchange({}, 1, 80).toHex(' '), QByteArray());
        QCOMPARE(mb_->counters().frames, 1);
        if (request.at(2) == char(0xC1))
            QCOMPARE(mb_->program(), applied ? 3 : 1);
    }

    void resetDropsEverything()
    {
        mb_->setFailureMode(SimMainboard::LateAnswer);
        mb_->setReplyDelay(200);
        mb_->injectReply(hex("0102"));
        QCOMPARE(exchange(withSum(hex("0400C105")), 2), hex("0102")); // injected: at once
        mb_->update([](SimMainboard::State &s) { s.tbarLastEnd = 1023; s.memories[2].autoRate = 1; });
        port_->write(hex("03006E71")); // its late reply must not come after the reset
        QTRY_COMPARE(mb_->counters().frames, 2);
        mb_->injectReply(hex("0304"));
        mb_->reset();
        QCOMPARE(exchange({}, 1, 350), QByteArray());
        const SimMainboard::State s = mb_->state();
        QCOMPARE(s.program(), 1);
        QCOMPARE(s.tbarLastEnd, quint16(0));
        QCOMPARE(s.memories[2].autoRate, quint8(30));
        QCOMPARE(s.memories[0].menu, SimMainboard::State().menu);
        QCOMPARE(mb_->counters().frames, 0);
        QCOMPARE(mb_->failureMode(), SimMainboard::Normal);
        QCOMPARE(exchange(hex("03004144"), 5), withSum(hex("0400C101"))); // no injection left
    }

    void resynchronises()
    {
        // Bytes that cannot start a frame, then a frame in the same write.
        QCOMPARE(exchange(hex("00 01 02 FF 03006E71"), 10), withSum(hex("0900EE210003210000")));
        QCOMPARE(mb_->counters().droppedBytes, 4);
        // Half a frame is dropped after a pause; the next frame is answered.
        QCOMPARE(exchange(hex("0400C1"), 1, 250), QByteArray());
        QCOMPARE(exchange(hex("03004144"), 5), withSum(hex("0400C101")));
        QCOMPARE(mb_->counters().droppedBytes, 7);
        QCOMPARE(mb_->receivedFrames(), QList<QByteArray>{hex("03006E71")} << hex("03004144"));
        // Unasked bytes reach the panel.
        mb_->writeRaw(hex("DEAD"));
        QCOMPARE(exchange({}, 2, 1000), hex("DEAD"));
    }

    void bootLoader()
    {
        MbImage image;
        image.packets = MbImage::makePackets({300, 7, 1, 64});
        const QByteArray file = image.toBytes();
        mb_->expectImage(file);
        mb_->setBootLoaderFailure(SimMainboard::WrongPacketAck, 1);
        QSignalSpy entered(mb_.get(), &SimMainboard::bootLoaderEntered);
        QSignalSpy left(mb_.get(), &SimMainboard::bootLoaderLeft);

        QCOMPARE(exchange(hex("0301EBEF"), 3), hex("028082"));
        QTRY_VERIFY(mb_->inBootLoader());
        QCOMPARE(exchange(hex("0F"), 1), hex("0F"));
        QCOMPARE(exchange(hex("0300F401007E353304"), 4), hex("03633004"));
        for (int i = 0; i < image.packets.size(); ++i) {
            QCOMPARE(exchange(hex("0F"), 1), hex("0F"));
            // Packet data may hold 0F, 08 08 81 04 or a frame: all are data here.
            QByteArray p = image.packets.at(i);
            if (i == 3)
                p.replace(0, 8, hex("0808810403006E71"));
            image.packets[i] = p;
            QCOMPARE(exchange(p, 5), i == 1 ? hex("0504844104") : hex("0504844004"));
        }
        QCOMPARE(exchange(hex("0F"), 1), hex("0F"));
        port_->write(hex("08088104"));
        QTRY_VERIFY(!mb_->inBootLoader());
        QCOMPARE(mb_->bootPackets(), image.packets);
        const SimMainboard::Counters c = mb_->counters();
        QCOMPARE(QList<int>({c.probes, c.erases, c.packets}), QList<int>({6, 1, 4}));
        QTRY_COMPARE(entered.count(), 1);
        QTRY_COMPARE(left.count(), 1);
        // Application mode again.
        QCOMPARE(exchange(hex("03004144"), 5), withSum(hex("0400C101")));
    }

    void image()
    {
        MbImage img;
        img.versionMajor = 2;
        img.versionMinor = 10;
        img.packets = {hex("AABB"), hex("CC")};
        QCOMPARE(img.toBytes().toHex(' '),
                 QByteArray("00 00 00 00 00 00 00 02 02 0a 00 00 00 00 14 00 00 02 aa bb 00 01 cc"));
        QCOMPARE(img.fileSize() - img.effectiveD(), 3); // all packet data: 100 %

        img.declaredPacketCount = 3;
        img.d = 0x010203;
        img.headerTemplate = QByteArray(16, 'x');
        const QByteArray bytes = img.toBytes();
        QCOMPARE(bytes.left(16).toHex(' '), QByteArray("78 78 78 78 78 78 00 03 02 0a 78 78 01 02 03 78"));
        MbImage::Parsed p;
        QVERIFY(MbImage::parse(bytes, &p));
        QCOMPARE(p.declaredPacketCount, 3);
        QCOMPARE(p.d, qint64(0x010203));
        QCOMPARE(p.packets, img.packets);
        QVERIFY(!p.complete);
        QString err;
        QVERIFY(!MbImage::parse(bytes.left(15), &p, &err));
        QVERIFY(!err.isEmpty());

    }
};

QTEST_GUILESS_MAIN(TstSimMainboard)
#include "tst_simmainboard.moc"
