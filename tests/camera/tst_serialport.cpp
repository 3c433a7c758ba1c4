// The camera line wrapper through real QSerialPort code on pseudo-terminals,
// against a simulated camera: what goes on the wire, how answers are
// collected, and what happens when the camera is silent, late or garbled;
// then the simulated camera itself, as the panel sees it.
#include "camera/serialport.h"
#include "sim/simcamera.h"
#include "tests/common/logcapture.h"
#include "tests/common/testsysroot.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>
#include <QtTest>

#include <sys/ioctl.h>

namespace {

QByteArray hex(const char *text) { return QByteArray::fromHex(text); }
QString spaced(const QByteArray &b) { return QString::fromLatin1(b.toHex(' ')); }
// Speed (in, out), data bits, parity, stop bits, flow control of an open port.
QList<int> settings(const QSerialPort *p)
{
    return {int(p->baudRate(QSerialPort::Input)), int(p->baudRate(QSerialPort::Output)), p->dataBits(), p->parity(),
            p->stopBits(), p->flowControl()};
}
const QList<int> k38400_8N1{38400, 38400, 8, 0, 1, 0};

const QByteArray kPowerInq = hex("81 09 04 00 FF");
const QByteArray kPowerOn = hex("81 01 04 00 02 FF");
const QByteArray kOn = hex("90 50 02 FF");
const QByteArray kAck = hex("90 41 FF");
const QByteArray kCompletion = hex("90 51 FF");

} // namespace

class TestSerialPort : public QObject
{
    Q_OBJECT

    std::unique_ptr<LogCapture> log_;
    std::unique_ptr<TestSysroot> root_;
    std::unique_ptr<SimCamera> cam_;
    std::unique_ptr<serialPort> sp_;

    // Sends `message` and returns the camera's answer (an acknowledged
    // command as 90 41 FF); waits for a command's completion so the next
    // exchange starts clean.
    QString exchange(const QByteArray &message, int timeoutMs = 200)
    {
        if (sp_->writeData(message) != message.size())
            return {};
        QByteArray answer = sp_->receive(timeoutMs);
        // Whether the completion is collected with the acknowledgement depends
        // on timing; report acknowledged commands the same way either way, and
        // take a completion still on its way so it cannot pass for the next answer.
        if (answer == kAck + kCompletion)
            answer = kAck;
        else if (answer == kAck && cam_->failureMode() != SimCamera::Silent)
            sp_->receive(500);
        return spaced(answer);
    }
    bool send(const QByteArray &message) { return sp_->writeData(message) == message.size(); }
    bool waitForDriverBytes(int count)
    {
        // Deliberately without an event loop: the bytes must stay in the
        // driver, where Qt has not read them yet.
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 2000) {
            int pending = 0;
            if (::ioctl(int(sp_->port()->handle()), FIONREAD, &pending) == 0 && pending >= count)
                return true;
            QThread::msleep(2);
        }
        return false;
    }

private slots:
    void init()
    {
        log_ = std::make_unique<LogCapture>();
        root_ = std::make_unique<TestSysroot>();
        cam_ = std::make_unique<SimCamera>(QStringLiteral("ttyAMA0"));
        QVERIFY(cam_->isOpen());
        sp_ = std::make_unique<serialPort>();
        sp_->setBaudRate(38400);
        sp_->setDataBits(8);
        sp_->setParity(0);
        sp_->setStopBits(1);
        sp_->setFlowControl(0);
        QCOMPARE(sp_->openSerialPort(QStringLiteral("ttyAMA0")), QStringLiteral("OK"));
    }
    void cleanup()
    {
        sp_.reset();
        cam_.reset();
        root_.reset();
        log_.reset();
    }

    void openAppliesTheLineSettings()
    {
        QSerialPort *p = sp_->port();
        QCOMPARE(p->portName(), root_->path("/dev/ttyAMA0"));
        QCOMPARE(settings(p), k38400_8N1);
        // Invalid values are refused; the line keeps working with the settings it had.
        const QList<QPair<void (serialPort::*)(int), int>> invalid{
            {&serialPort::setBaudRate, 0},        {&serialPort::setBaudRate, -9600}, {&serialPort::setDataBits, 9},
            {&serialPort::setDataBits, 4},        {&serialPort::setParity, 1},       {&serialPort::setParity, 6},
            {&serialPort::setStopBits, 0},        {&serialPort::setStopBits, 4},     {&serialPort::setFlowControl, 3},
            {&serialPort::setFlowControl, -1}};
        for (const auto &[setter, value] : invalid)
            (sp_.get()->*setter)(value);
        QCOMPARE(settings(p), k38400_8N1);
        QCOMPARE(exchange(kPowerInq), spaced(kOn));

        // A setter applies at once, and a re-open or reset keeps it (a
        // pseudo-terminal carries only the speed of the other settings).
        sp_->setBaudRate(9600);
        QCOMPARE(p->baudRate(), 9600);
        QCOMPARE(sp_->openSerialPort(QStringLiteral("ttyAMA0")), QStringLiteral("OK"));
        QCOMPARE(p->baudRate(), 9600);
        sp_->closeSerialPort();
        QVERIFY(!sp_->isOpened());
        QCOMPARE(sp_->writeData(kPowerInq), qint64(-1));
        QVERIFY(sp_->resetSerialPort());
        QCOMPARE(p->baudRate(), 9600);
        QCOMPARE(sp_->portName(), QStringLiteral("ttyAMA0"));
        QCOMPARE(exchange(kPowerInq), spaced(kOn));
        QCOMPARE(cam_->received(), (QList<QByteArray>{kPowerInq, kPowerInq}));
    }

    void missingDeviceFailsToOpen()
    {
        const QString result = sp_->openSerialPort(QStringLiteral("ttyUSB0"));
        QVERIFY(!result.contains(QLatin1String("OK")) && !result.isEmpty());
        QVERIFY(!sp_->isOpened());
        QVERIFY(!sp_->resetSerialPort());
        QCOMPARE(sp_->writeData(kPowerInq), qint64(-1));
        QCOMPARE(cam_->receivedBytes(), QByteArray()); // nothing reached any camera
    }

    // Also what keeps an answer that came after its wait had ended from
    // passing for the answer to the next request.
    void staleBytesAreDroppedByTheNextWrite()
    {
        const QByteArray stale = hex("90 51 FF 90 50 03 FF 90 60 02 FF");
        cam_->writeRaw(stale); // already read by Qt
        QTRY_COMPARE(sp_->port()->bytesAvailable(), qint64(stale.size()));
        QVERIFY(send(kPowerInq));
        QCOMPARE(spaced(sp_->receive(200)), spaced(kOn));
        cam_->writeRaw(stale); // still in the driver
        QVERIFY(waitForDriverBytes(stale.size()));
        QVERIFY(send(kPowerInq));
        QCOMPARE(spaced(sp_->receive(200)), spaced(kOn));
    }

    // How long receive() collects: the whole time-out when nothing comes, when
    // the answer was already waiting, or when it never ends in FF; only until
    // the terminator when the answer arrives during a wait.
    void receiveTiming_data()
    {
        QTest::addColumn<int>("mode"); // 0 silent, 1 late ack, 2 already waiting, 3 unterminated
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<int>("minMs");
        QTest::addColumn<int>("maxMs");
        QTest::newRow("no camera") << 0 << QByteArray() << 200 << 700;
        QTest::newRow("ack during a wait") << 1 << kAck << 20 << 330;
        QTest::newRow("answer already waiting") << 2 << kAck + kCompletion << 200 << 700;
        QTest::newRow("unterminated") << 3 << hex("90 50 02") << 200 << 700;
    }
    void receiveTiming()
    {
        QFETCH(int, mode);
        QFETCH(QByteArray, expected);
        QFETCH(int, minMs);
        QFETCH(int, maxMs);
        const QByteArray request = mode == 1 || mode == 2 ? kPowerOn : kPowerInq;
        if (mode == 0) {
            cam_->setFailureMode(SimCamera::Silent);
        } else if (mode == 1) { // the completion comes much later
            cam_->setFailureMode(SimCamera::AnswerLate);
            cam_->setLateDelay(40);
            cam_->setCompletionDelay(1000);
        } else if (mode == 3) {
            cam_->injectReply(hex("90 50 02"));
        }
        QVERIFY(send(request));
        if (mode == 2)
            QTRY_COMPARE(sp_->port()->bytesAvailable(), qint64(6));
        QElapsedTimer t;
        t.start();
        QCOMPARE(spaced(sp_->receive(mode == 1 ? 400 : 200)), spaced(expected));
        const qint64 took = t.elapsed();
        QVERIFY2(took >= minMs - 5 && took < maxMs, qPrintable(QString::number(took)));
        QTRY_COMPARE(cam_->received(), QList<QByteArray>{request});
    }

    void oversizedAnswerIsBounded()
    {
        const QByteArray flood(serialPort::MaxReplyBytes + 2000, char(0x55));
        cam_->injectReply(flood);
        QVERIFY(send(kPowerInq));
        QCOMPARE(sp_->receive(400), flood.left(serialPort::MaxReplyBytes));
        // The only sign that the rest was dropped.
        QVERIFY(log_->contains(QStringLiteral("reply longer than 4096 bytes")));
        QCOMPARE(exchange(kPowerInq), spaced(kOn)); // the line carries on normally
    }

    void receiveExactAndReadData()
    {
        cam_->injectReply(hex("90 50 02"));
        QVERIFY(send(kPowerInq));
        QElapsedTimer t;
        t.start();
        QCOMPARE(sp_->receiveExact(5, 100), QByteArray());
        QVERIFY(t.elapsed() >= 95);
        cam_->update([](SimCamera::State &s) { s.shutter = 0xA3; });
        QVERIFY(send(hex("81 09 04 4A FF")));
        QCOMPARE(spaced(sp_->receiveExact(5, 300)), spaced(hex("90 50 00 00 0A")));
        QCOMPARE(spaced(sp_->receiveExact(2, 300)), spaced(hex("03 FF"))); // the rest stays for the next read

        QVERIFY(send(kPowerInq));
        QByteArray data = "old";
        sp_->readData(data);
        QCOMPARE(spaced(data), spaced(kOn));
        // A split answer is collected whole, across waits of 100 ms.
        cam_->setFailureMode(SimCamera::SplitReply);
        cam_->setSplitGap(150);
        QVERIFY(send(hex("81 09 7E 7E 70 FF")));
        sp_->readDataUntilAck(data);
        QCOMPARE(data.size(), 15);
        QVERIFY(data.startsWith(char(0x90)) && data.endsWith(char(0xFF)));
        // Never terminated: twenty waits, then whatever came.
        cam_->setFailureMode(SimCamera::Normal);
        cam_->injectReply(hex("90 50"));
        QVERIFY(send(kPowerInq));
        t.restart();
        sp_->readDataUntilAck(data);
        const qint64 took = t.elapsed();
        QCOMPARE(spaced(data), spaced(hex("90 50")));
        QVERIFY2(took >= 1800 && took < 4000, qPrintable(QString::number(took)));
    }

    void clearTXRXDropsPendingInput()
    {
        // Whether Qt has read it yet or not.
        cam_->writeRaw(hex("90 41 FF 90 51 FF"));
        QTRY_COMPARE(sp_->port()->bytesAvailable(), qint64(6));
        cam_->writeRaw(kOn);
        QVERIFY(waitForDriverBytes(4));
        sp_->clearTXRX();
        QCOMPARE(sp_->port()->bytesAvailable(), qint64(0));
        QElapsedTimer t;
        t.start();
        QByteArray data = "old";
        sp_->readData(data);
        QCOMPARE(data, QByteArray());
        QVERIFY(t.elapsed() >= 160);
        sp_->closeSerialPort();
        sp_->clearTXRX(); // a closed port is left alone
        QVERIFY(!sp_->isOpened());
    }

    void losingTheLineClosesThePort()
    {
        sp_->handleError(QSerialPort::ReadError);
        sp_->handleError(QSerialPort::TimeoutError);
        QVERIFY(sp_->isOpened());
        sp_->handleError(QSerialPort::ResourceError);
        QVERIFY(!sp_->isOpened());

        QVERIFY(sp_->resetSerialPort());
        QCOMPARE(exchange(kPowerInq), spaced(kOn));
        cam_->close(); // the far end of the line is gone
        QTRY_VERIFY(!sp_->isOpened());
        QCOMPARE(sp_->writeData(kPowerInq), qint64(-1));
    }

    // ---- The simulated camera as the panel sees it

    void cameraAnswersInTheFormOfTheRequest_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("bare command") << kPowerOn << kAck + kCompletion;
        QTest::newRow("framed command") << hex("00 08 81 01 04 00 02 FF") << hex("00 05 90 41 FF 00 05 90 51 FF");
        QTest::newRow("bare inquiry") << hex("81 09 04 4A FF") << hex("90 50 00 00 0A 03 FF");
        QTest::newRow("framed inquiry") << hex("00 07 81 09 04 4A FF") << hex("00 09 90 50 00 00 0A 03 FF");
        QTest::newRow("bare unknown") << hex("81 01 04 77 01 FF") << hex("90 60 02 FF");
        QTest::newRow("framed unknown") << hex("00 08 81 01 04 77 01 FF") << hex("00 06 90 60 02 FF");
        QTest::newRow("bad video code") << hex("81 01 04 24 72 33 FF") << hex("90 61 41 FF");
        QTest::newRow("another address") << hex("82 09 04 00 FF") << QByteArray();
        QTest::newRow("address set") << hex("88 30 01 FF") << hex("88 30 02 FF");
    }
    void cameraAnswersInTheFormOfTheRequest()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, answer);
        cam_->update([](SimCamera::State &s) { s.shutter = 0xA3; });
        QVERIFY(send(request));
        // Everything the camera writes for this request, and nothing else.
        if (answer.isEmpty()) {
            QTRY_COMPARE(cam_->receivedCount(), 1);
            QTest::qWait(30);
        }
        QTRY_COMPARE(spaced(cam_->sentBytes()), spaced(answer));
        QTRY_COMPARE(sp_->port()->bytesAvailable(), qint64(answer.size()));
        QCOMPARE(spaced(sp_->port()->readAll()), spaced(answer));
        QCOMPARE(cam_->received(), QList<QByteArray>{request});
    }

    // Request/answer dialogues ("ack": 90 41 FF, its completion collected);
    // what the camera object's own operations set and read back is covered
    // with those operations.
    void dialogues_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("canTrack");
        auto row = [](const char *name, const char *script, int mode = SimCamera::Normal, bool canTrack = true) {
            QTest::newRow(name) << QString::fromLatin1(script) << mode << canTrack;
        };
        // Standby refuses motion until powered on again; the status shows the power bit clear.
        row("standby", "81 01 04 00 03 FF > ack; 81 01 04 07 27 FF > 90 61 41 FF;"
                       "81 09 7E 7E 70 FF > 90 50 00 15 00 08 00 08 00 02 00 00 00 03 FF;"
                       "81 01 04 00 02 FF > ack; 81 01 04 07 27 FF > ack");
        row("powered off", "81 09 04 00 FF > 90 50 03 FF; 81 01 04 00 02 FF > 90 61 41 FF;"
                           "81 0A 11 54 02 FF > 90 61 41 FF; 81 09 7E 11 54 FF > 90 50 03 FF", SimCamera::PowerOff);
        // A tracking command without a body is refused, not read before its start.
        row("empty tracking command", "81 0A FF > 90 60 02 FF; 81 09 04 00 FF > 90 50 02 FF");
        // A camera that cannot track refuses the whole tracking set.
        row("cannot track", "81 09 7E 11 54 FF > 90 60 02 FF; 81 0A 01 04 1C 82 FF > 90 60 02 FF", SimCamera::Normal,
            false);
    }
    void dialogues()
    {
        QFETCH(QString, script);
        QFETCH(int, mode);
        QFETCH(bool, canTrack);
        cam_->setFailureMode(SimCamera::FailureMode(mode));
        cam_->update([&](SimCamera::State &s) { s.trackingCapable = canTrack; });
        QList<QByteArray> requests;
        for (const QString &step : script.split(';')) {
            const QStringList rq = step.split('>');
            requests << QByteArray::fromHex(rq.at(0).toLatin1());
            const QByteArray answer = rq.at(1).trimmed() == "ack" ? kAck : QByteArray::fromHex(rq.at(1).toLatin1());
            QCOMPARE(exchange(requests.last(), 400), spaced(answer));
        }
        QCOMPARE(cam_->received(), requests);
    }

    void cameraSurvivesGarbage()
    {
        // Noise, a frame header with an impossible length, then a real inquiry.
        QCOMPARE(exchange(hex("12 34 FF 00 02 00 FF 81 09 04 00 FF")), spaced(kOn));
        QCOMPARE(cam_->received(), QList<QByteArray>{kPowerInq});
        // An endless message is refused with a length error, and the line recovers.
        QCOMPARE(exchange(QByteArray(1, char(0x81)) + QByteArray(40, char(0x01))), spaced(hex("90 60 01 FF")));
        QCOMPARE(exchange(kPowerInq), spaced(kOn));

        QRandomGenerator rng(7);
        qint64 sent = cam_->receivedBytes().size();
        for (int i = 0; i < 8; ++i) {
            QByteArray chunk(2048, Qt::Uninitialized);
            for (char &c : chunk) {
                // Plenty of headers and terminators, so many pieces parse as messages.
                const quint32 r = rng.bounded(16);
                c = char(r == 0 ? 0x81 : r == 1 ? 0xFF : r == 2 ? 0x00 : rng.bounded(256));
            }
            QVERIFY(send(chunk));
            sent += chunk.size();
            QTRY_COMPARE(cam_->receivedBytes().size(), sent); // reads its answers meanwhile
        }
        // Terminators end whatever partial message is left, then it answers again.
        QVERIFY(send(QByteArray(40, char(0xFF))));
        QTRY_COMPARE(cam_->receivedBytes().size(), sent + 40);
        const QString answer = exchange(kPowerInq);
        QVERIFY2(answer == spaced(kOn) || answer == spaced(hex("90 50 03 FF")), qPrintable(answer));
        QCOMPARE(cam_->lastReceived(), kPowerInq);
    }
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
