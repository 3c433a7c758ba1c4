// The camera line wrapper through real QSerialPort code on pseudo-terminals,
// against simulated cameras: what goes on the wire, how answers are
// collected, and what happens when the camera is silent, late or garbled.
#include "camera/serialport.h"
#include "sim/simcamera.h"
#include "tests/common/testsysroot.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>
#include <QtTest>

#include <functional>
#include <memory>
#include <sys/ioctl.h>

namespace {

QByteArray hex(const char *text) { return QByteArray::fromHex(text); }
QString spaced(const QByteArray &b) { return QString::fromLatin1(b.toHex(' ')); }

const QByteArray kPowerInq = hex("81 09 04 00 FF");
const QByteArray kPowerOn = hex("81 01 04 00 02 FF");
const QByteArray kAck = hex("90 41 FF");
const QByteArray kCompletion = hex("90 51 FF");

} // namespace

class TestSerialPort : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void openAppliesTheLineSettings();
    void invalidSettingsAreRefused_data();
    void invalidSettingsAreRefused();
    void missingDeviceFailsToOpen();
    void writeSendsExactlyTheMessage();
    void staleBytesAreDroppedByTheNextWrite_data();
    void staleBytesAreDroppedByTheNextWrite();
    void lateAnswerIsNotTakenForTheNextOne();
    void receiveTiming_data();
    void receiveTiming();
    void receiveCollectsASplitAnswer();
    void oversizedAnswerIsBounded();
    void receiveExact();
    void readDataUntilAck();
    void readDataTakesWhatArrived();
    void clearTXRXDropsPendingInput();
    void losingTheLineClosesThePort();

    // The simulated camera as the panel sees it
    void cameraAnswersInTheFormOfTheRequest_data();
    void cameraAnswersInTheFormOfTheRequest();
    void commandsChangeWhatInquiriesReport_data();
    void commandsChangeWhatInquiriesReport();
    void driveAndPresets();
    void standbyAndPowerOffRefuseCommands();
    void cameraSurvivesGarbage();

private:
    // Sends `message` and returns the camera's answer (an acknowledged
    // command as 90 41 FF); waits for a command's completion so the next
    // exchange starts clean.
    QByteArray exchange(const QByteArray &message, int timeoutMs = 200);
    bool waitForDriverBytes(int count, int timeoutMs = 2000);

    std::unique_ptr<TestSysroot> root_;
    std::unique_ptr<SimCamera> cam_;
    std::unique_ptr<serialPort> sp_;
};

void TestSerialPort::init()
{
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

void TestSerialPort::cleanup()
{
    sp_.reset();
    cam_.reset();
    root_.reset();
}

QByteArray TestSerialPort::exchange(const QByteArray &message, int timeoutMs)
{
    if (sp_->writeData(message) != message.size())
        return {};
    QByteArray answer = sp_->receive(timeoutMs);
    // Whether the completion is collected with the acknowledgement depends on
    // timing; report acknowledged commands the same way either way, and take
    // a completion still on its way so it cannot pass for the next answer.
    if (answer == kAck + kCompletion)
        answer = kAck;
    else if (answer == kAck && cam_->failureMode() != SimCamera::Silent)
        sp_->receive(500);
    return answer;
}

bool TestSerialPort::waitForDriverBytes(int count, int timeoutMs)
{
    // Deliberately without an event loop: the bytes must stay in the driver,
    // where Qt has not read them yet.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        int pending = 0;
        if (::ioctl(int(sp_->port()->handle()), FIONREAD, &pending) == 0 && pending >= count)
            return true;
        QThread::msleep(2);
    }
    return false;
}

void TestSerialPort::openAppliesTheLineSettings()
{
    QVERIFY(sp_->isOpened());
    QCOMPARE(sp_->portName(), QStringLiteral("ttyAMA0"));
    QSerialPort *p = sp_->port();
    QCOMPARE(p->portName(), root_->path("/dev/ttyAMA0"));
    QCOMPARE(p->baudRate(QSerialPort::Input), 38400);
    QCOMPARE(p->baudRate(QSerialPort::Output), 38400);
    QCOMPARE(p->dataBits(), QSerialPort::Data8);
    QCOMPARE(p->parity(), QSerialPort::NoParity);
    QCOMPARE(p->stopBits(), QSerialPort::OneStop);
    QCOMPARE(p->flowControl(), QSerialPort::NoFlowControl);

    // A setter applies at once, and a re-open or reset keeps it (a
    // pseudo-terminal carries only the speed of the other settings).
    sp_->setBaudRate(9600);
    QCOMPARE(p->baudRate(), 9600);
    QCOMPARE(sp_->openSerialPort(QStringLiteral("ttyAMA0")), QStringLiteral("OK"));
    QCOMPARE(p->baudRate(), 9600);
    sp_->closeSerialPort();
    QVERIFY(!sp_->isOpened());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("serial port not open")));
    QCOMPARE(sp_->writeData(kPowerInq), qint64(-1));
    QVERIFY(sp_->resetSerialPort());
    QCOMPARE(p->baudRate(), 9600);
    QCOMPARE(sp_->portName(), QStringLiteral("ttyAMA0"));
    QCOMPARE(exchange(kPowerInq), hex("90 50 02 FF"));
    QCOMPARE(cam_->received(), QList<QByteArray>{kPowerInq});
}

void TestSerialPort::invalidSettingsAreRefused_data()
{
    QTest::addColumn<int>("setting");
    QTest::addColumn<int>("value");
    const QList<QList<int>> bad{{0, -9600}, {9, 4}, {1, 6}, {0, 4}, {3, -1}};
    const char *names[] = {"baud", "data bits", "parity", "stop bits", "flow control"};
    for (int s = 0; s < 5; ++s) {
        for (int v : bad.at(s))
            QTest::addRow("%s %d", names[s], v) << s << v;
    }
}

void TestSerialPort::invalidSettingsAreRefused()
{
    QFETCH(int, setting);
    QFETCH(int, value);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^\\[WARN\\] set.*invalid")));
    const std::function<void(serialPort *, int)> setters[] = {&serialPort::setBaudRate, &serialPort::setDataBits,
                                                              &serialPort::setParity, &serialPort::setStopBits,
                                                              &serialPort::setFlowControl};
    setters[setting](sp_.get(), value);
    QCOMPARE(sp_->port()->baudRate(), 38400);
    QCOMPARE(sp_->port()->dataBits(), QSerialPort::Data8);
    QCOMPARE(sp_->port()->parity(), QSerialPort::NoParity);
    QCOMPARE(sp_->port()->stopBits(), QSerialPort::OneStop);
    QCOMPARE(sp_->port()->flowControl(), QSerialPort::NoFlowControl);
    // The line still works with the settings it had.
    QCOMPARE(exchange(kPowerInq), hex("90 50 02 FF"));
}

void TestSerialPort::missingDeviceFailsToOpen()
{
    QTest::ignoreMessage(QtWarningMsg, "Serial Port FAIL: \"ttyUSB0\"");
    const QString result = sp_->openSerialPort(QStringLiteral("ttyUSB0"));
    QVERIFY(!result.contains(QLatin1String("OK")) && !result.isEmpty());
    QVERIFY(!sp_->isOpened());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Reset Serial Port Fail:")));
    QVERIFY(!sp_->resetSerialPort());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(
                                           "^\\[ERR\\] Write cmd fail: \"81 09 04 00 ff\" , serial port not open")));
    QCOMPARE(sp_->writeData(kPowerInq), qint64(-1));
    QCOMPARE(cam_->receivedBytes(), QByteArray()); // nothing reached any camera
}

void TestSerialPort::writeSendsExactlyTheMessage()
{
    cam_->setFailureMode(SimCamera::Silent);
    const QByteArray frame = hex("00 0B 81 01 04 43 00 00 0A 05 FF");
    QCOMPARE(sp_->writeData(kPowerOn), qint64(kPowerOn.size()));
    QCOMPARE(sp_->writeData(frame), qint64(frame.size()));
    QTRY_COMPARE(cam_->receivedCount(), 2);
    QCOMPARE(cam_->received(), (QList<QByteArray>{kPowerOn, frame}));
    QCOMPARE(cam_->receivedBytes(), kPowerOn + frame);
}

void TestSerialPort::staleBytesAreDroppedByTheNextWrite_data()
{
    QTest::addColumn<bool>("readByQt");
    QTest::newRow("already read by Qt") << true;
    QTest::newRow("still in the driver") << false;
}

void TestSerialPort::staleBytesAreDroppedByTheNextWrite()
{
    QFETCH(bool, readByQt);
    const QByteArray stale = hex("90 51 FF 90 50 03 FF 90 60 02 FF");
    cam_->writeRaw(stale);
    if (readByQt)
        QTRY_COMPARE(sp_->port()->bytesAvailable(), qint64(stale.size()));
    else
        QVERIFY(waitForDriverBytes(stale.size()));
    QCOMPARE(sp_->writeData(kPowerInq), qint64(kPowerInq.size()));
    QCOMPARE(spaced(sp_->receive(200)), spaced(hex("90 50 02 FF")));
}

void TestSerialPort::lateAnswerIsNotTakenForTheNextOne()
{
    cam_->setFailureMode(SimCamera::AnswerLate);
    cam_->setLateDelay(300);
    cam_->update([](SimCamera::State &s) { s.power = false; });
    QCOMPARE(sp_->writeData(kPowerInq), qint64(kPowerInq.size()));
    QTest::ignoreMessage(QtWarningMsg, "[WARN] No response received in 100 ms");
    QCOMPARE(sp_->receive(100), QByteArray());
    // The answer ("off") turns up after the panel stopped waiting for it.
    QTRY_COMPARE(cam_->sentBytes(), hex("90 50 03 FF"));
    cam_->setFailureMode(SimCamera::Normal);
    cam_->update([](SimCamera::State &s) { s.power = true; });
    QCOMPARE(sp_->writeData(kPowerInq), qint64(kPowerInq.size()));
    QCOMPARE(spaced(sp_->receive(200)), spaced(hex("90 50 02 FF")));
}

// How long receive() collects: the whole time-out when nothing comes, when the
// answer was already waiting, or when it never ends in FF; only until the
// terminator when the answer arrives during a wait.
void TestSerialPort::receiveTiming_data()
{
    QTest::addColumn<int>("mode"); // 0 silent, 1 late ack, 2 already waiting, 3 unterminated
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("timeout");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("minMs");
    QTest::addColumn<int>("maxMs");
    QTest::newRow("no camera") << 0 << kPowerInq << 200 << QByteArray() << 195 << 700;
    QTest::newRow("ack during a wait") << 1 << kPowerOn << 400 << kAck << 20 << 330;
    QTest::newRow("answer already waiting") << 2 << kPowerOn << 200 << kAck + kCompletion << 195 << 700;
    QTest::newRow("unterminated") << 3 << kPowerInq << 150 << hex("90 50 02") << 145 << 700;
}

void TestSerialPort::receiveTiming()
{
    QFETCH(int, mode);
    QFETCH(QByteArray, request);
    QFETCH(int, timeout);
    QFETCH(QByteArray, expected);
    QFETCH(int, minMs);
    QFETCH(int, maxMs);
    if (mode == 0) {
        cam_->setFailureMode(SimCamera::Silent);
        QTest::ignoreMessage(QtWarningMsg, "[WARN] No response received in 200 ms");
    } else if (mode == 1) { // the completion comes much later
        cam_->setFailureMode(SimCamera::AnswerLate);
        cam_->setLateDelay(40);
        cam_->setCompletionDelay(1000);
    } else if (mode == 3) {
        cam_->injectReply(hex("90 50 02"));
    }
    QCOMPARE(sp_->writeData(request), qint64(request.size()));
    if (mode == 2)
        QTRY_COMPARE(sp_->port()->bytesAvailable(), qint64(6));
    QElapsedTimer t;
    t.start();
    QCOMPARE(spaced(sp_->receive(timeout)), spaced(expected));
    const qint64 took = t.elapsed();
    QVERIFY2(took >= minMs && took < maxMs, qPrintable(QString::number(took)));
    QTRY_COMPARE(cam_->received(), QList<QByteArray>{request});
}

void TestSerialPort::receiveCollectsASplitAnswer()
{
    cam_->setFailureMode(SimCamera::SplitReply);
    cam_->setSplitGap(40);
    QCOMPARE(sp_->writeData(hex("81 09 00 02 FF")), qint64(5));
    QCOMPARE(spaced(sp_->receive(400)), spaced(hex("90 50 03 9C 01 02 03 04 00 01 0A 01 00 00 07 FF")));
}

void TestSerialPort::oversizedAnswerIsBounded()
{
    const QByteArray flood(serialPort::MaxReplyBytes + 2000, char(0x55));
    cam_->injectReply(flood);
    QCOMPARE(sp_->writeData(kPowerInq), qint64(kPowerInq.size()));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("reply longer than 4096 bytes")));
    QCOMPARE(sp_->receive(400), flood.left(serialPort::MaxReplyBytes));
    QCOMPARE(exchange(kPowerInq), hex("90 50 02 FF")); // the line carries on normally
}

void TestSerialPort::receiveExact()
{
    cam_->injectReply(hex("90 50 02"));
    QCOMPARE(sp_->writeData(kPowerInq), qint64(kPowerInq.size()));
    QTest::ignoreMessage(QtWarningMsg, "[ERR] Incomplete data \"90 50 02\"");
    QElapsedTimer t;
    t.start();
    QCOMPARE(sp_->receiveExact(5, 100), QByteArray());
    QVERIFY(t.elapsed() >= 95);

    cam_->update([](SimCamera::State &s) { s.shutter = 0xA3; });
    QCOMPARE(sp_->writeData(hex("81 09 04 4A FF")), qint64(5));
    QCOMPARE(spaced(sp_->receiveExact(5, 300)), spaced(hex("90 50 00 00 0A")));
    // The rest stays for whoever reads next.
    QCOMPARE(spaced(sp_->receiveExact(2, 300)), spaced(hex("03 FF")));
}

void TestSerialPort::readDataUntilAck()
{
    cam_->setFailureMode(SimCamera::SplitReply);
    cam_->setSplitGap(150); // longer than one 100 ms wait
    QCOMPARE(sp_->writeData(hex("81 09 7E 7E 70 FF")), qint64(6));
    QByteArray data = "left over";
    QTest::ignoreMessage(QtDebugMsg, "Timeout waiting for more data, attempts: 2");
    sp_->readDataUntilAck(data);
    QCOMPARE(data.size(), 15);
    QCOMPARE(quint8(data.at(0)), quint8(0x90));
    QCOMPARE(quint8(data.back()), quint8(0xFF));

    // Never terminated: twenty waits, then whatever came.
    cam_->setFailureMode(SimCamera::Normal);
    cam_->injectReply(hex("90 50"));
    QCOMPARE(sp_->writeData(kPowerInq), qint64(kPowerInq.size()));
    QTest::ignoreMessage(QtDebugMsg, "Timeout waiting for more data, attempts: 20");
    QTest::ignoreMessage(QtDebugMsg, "VISCA response: \"90 50\"");
    QElapsedTimer t;
    t.start();
    sp_->readDataUntilAck(data);
    const qint64 took = t.elapsed();
    QCOMPARE(spaced(data), spaced(hex("90 50")));
    QVERIFY2(took >= 1800 && took < 4000, qPrintable(QString::number(took)));
}

void TestSerialPort::readDataTakesWhatArrived()
{
    QCOMPARE(sp_->writeData(kPowerInq), qint64(kPowerInq.size()));
    QByteArray data = "old";
    sp_->readData(data);
    QCOMPARE(spaced(data), spaced(hex("90 50 02 FF")));
    cam_->setFailureMode(SimCamera::Silent);
    QCOMPARE(sp_->writeData(kPowerInq), qint64(kPowerInq.size()));
    QElapsedTimer t;
    t.start();
    sp_->readData(data);
    QVERIFY(data.isEmpty());
    QVERIFY(t.elapsed() >= 160);
}

void TestSerialPort::clearTXRXDropsPendingInput()
{
    cam_->writeRaw(hex("90 41 FF 90 51 FF"));
    QTRY_COMPARE(sp_->port()->bytesAvailable(), qint64(6));
    cam_->writeRaw(hex("90 50 02 FF"));
    QVERIFY(waitForDriverBytes(4));
    sp_->clearTXRX();
    QCOMPARE(sp_->port()->bytesAvailable(), qint64(0));
    QByteArray data;
    sp_->readData(data);
    QCOMPARE(data, QByteArray());
    sp_->closeSerialPort();
    sp_->clearTXRX(); // a closed port is left alone
    QVERIFY(!sp_->isOpened());
}

void TestSerialPort::losingTheLineClosesThePort()
{
    sp_->handleError(QSerialPort::ReadError);
    sp_->handleError(QSerialPort::TimeoutError);
    QVERIFY(sp_->isOpened());
    sp_->handleError(QSerialPort::ResourceError);
    QVERIFY(!sp_->isOpened());

    QVERIFY(sp_->resetSerialPort());
    QCOMPARE(exchange(kPowerInq), hex("90 50 02 FF"));
    QTest::ignoreMessage(QtWarningMsg, "[ERR] \"ttyAMA0\" : line hung up, closing it");
    cam_.reset(); // the far end of the line is gone
    QTRY_VERIFY(!sp_->isOpened());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("serial port not open")));
    QCOMPARE(sp_->writeData(kPowerInq), qint64(-1));
}

void TestSerialPort::cameraAnswersInTheFormOfTheRequest_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("bare command") << kPowerOn << kAck + kCompletion;
    QTest::newRow("framed command") << hex("00 08 81 01 04 00 02 FF") << hex("00 05 90 41 FF 00 05 90 51 FF");
    QTest::newRow("bare inquiry") << hex("81 09 04 4A FF") << hex("90 50 00 00 0A 03 FF");
    QTest::newRow("framed inquiry") << hex("00 07 81 09 04 4A FF") << hex("00 09 90 50 00 00 0A 03 FF");
    QTest::newRow("bare unknown") << hex("81 01 04 77 01 FF") << hex("90 60 02 FF");
    QTest::newRow("framed unknown") << hex("00 08 81 01 04 77 01 FF") << hex("00 06 90 60 02 FF");
    QTest::newRow("framed profile inquiry") << hex("00 09 81 09 7E 0A 0F 0F FF") << hex("00 07 90 50 00 01 FF");
    QTest::newRow("framed red gain inquiry") << hex("00 07 81 09 04 43 FF") << hex("00 09 90 50 00 00 0A 05 FF");
    QTest::newRow("framed tally inquiry") << hex("00 08 81 09 7E 01 0A FF") << hex("00 06 90 50 03 FF");
    QTest::newRow("framed max speed inquiry") << hex("00 07 81 09 06 11 FF") << hex("00 07 90 50 08 07 FF");
    QTest::newRow("bad video code") << hex("81 01 04 24 72 33 FF") << hex("90 61 41 FF");
    QTest::newRow("another address") << hex("82 09 04 00 FF") << QByteArray();
    QTest::newRow("address set") << hex("88 30 01 FF") << hex("88 30 02 FF");
}

void TestSerialPort::cameraAnswersInTheFormOfTheRequest()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, answer);
    cam_->update([](SimCamera::State &s) {
        s.shutter = 0xA3;
        s.rGain = 0xA5;
    });
    QCOMPARE(sp_->writeData(request), qint64(request.size()));
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

void TestSerialPort::commandsChangeWhatInquiriesReport_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("inquiry");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    auto row = [](const char *name, const char *cmd, const char *inq, const char *before, const char *after) {
        QTest::newRow(name) << hex(cmd) << hex(inq) << hex(before) << hex(after);
    };
    row("power standby", "81 01 04 00 03 FF", "81 09 04 00 FF", "90 50 02 FF", "90 50 03 FF");
    row("white balance manual", "81 01 04 35 05 FF", "81 09 04 35 FF", "90 50 00 FF", "90 50 05 FF");
    row("exposure manual", "81 01 04 39 03 FF", "81 09 04 39 FF", "90 50 00 FF", "90 50 03 FF");
    row("blue gain direct", "81 01 04 44 00 00 08 0C FF", "81 09 04 44 FF", "90 50 00 00 08 00 FF",
        "90 50 00 00 08 0C FF");
    row("shutter direct", "81 01 04 4A 00 00 0A 03 FF", "81 09 04 4A FF", "90 50 00 00 00 0A FF",
        "90 50 00 00 0A 03 FF");
    row("red tally", "81 01 7E 01 0A 00 02 03 FF", "81 09 7E 01 0A FF", "90 50 03 FF", "90 50 02 FF");
    row("video mode 2160p29.97", "81 01 04 24 72 1D FF", "81 09 04 24 72 09 FF", "90 50 01 05 FF", "90 50 01 0D FF");
    row("flip on", "81 01 04 66 02 FF", "81 09 04 66 FF", "90 50 03 FF", "90 50 02 FF");
    row("mirror on", "81 01 04 61 02 FF", "81 09 04 61 FF", "90 50 03 FF", "90 50 02 FF");
    row("detection indicator off", "81 0A 11 56 03 FF", "81 09 7E 0A 11 56 FF", "90 50 02 FF", "90 50 03 FF");
    row("subject right", "81 0A 11 A3 03 FF", "81 09 7E 0A 11 A3 FF", "90 50 00 FF", "90 50 01 FF");
    row("zoom direct", "81 01 04 47 01 02 03 04 FF", "81 09 04 47 FF", "90 50 00 00 00 00 FF", "90 50 01 02 03 04 FF");
}

void TestSerialPort::commandsChangeWhatInquiriesReport()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, inquiry);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QCOMPARE(spaced(exchange(inquiry)), spaced(before));
    QCOMPARE(spaced(exchange(command)), spaced(kAck));
    QCOMPARE(spaced(exchange(inquiry)), spaced(after));
    QCOMPARE(cam_->received(), (QList<QByteArray>{inquiry, command, inquiry}));
}

void TestSerialPort::driveAndPresets()
{
    QCOMPARE(spaced(exchange(hex("81 01 06 01 0C 0A 01 01 FF"))), spaced(kAck));
    SimCamera::State s = cam_->state();
    QCOMPARE((QList<int>{s.panDir, s.tiltDir, s.panSpeed, s.tiltSpeed}), (QList<int>{-1, 1, 0x0C, 0x0A}));
    QCOMPARE(spaced(exchange(hex("81 01 06 01 0C 0A 03 03 FF"))), spaced(kAck));
    s = cam_->state();
    QCOMPARE((QList<int>{s.panDir, s.tiltDir, s.moveCount, s.stopCount}), (QList<int>{0, 0, 1, 1}));
    cam_->update([](SimCamera::State &st) {
        st.panPos = 0x0123;
        st.tiltPos = 0x0045;
    });
    QCOMPARE(spaced(exchange(hex("81 01 04 3F 01 05 FF"))), spaced(kAck));
    cam_->update([](SimCamera::State &st) { st.panPos = st.tiltPos = 0; });
    QCOMPARE(spaced(exchange(hex("81 01 7E 01 0B 7D 0C FF"))), spaced(kAck));
    QCOMPARE(spaced(exchange(hex("81 01 04 3F 02 05 FF"))), spaced(kAck));
    QCOMPARE(spaced(exchange(hex("81 09 06 12 FF"))), spaced(hex("90 50 00 01 02 03 00 00 04 05 FF")));
    s = cam_->state();
    QCOMPARE((QList<int>{s.lastRecalledPreset, s.presetSpeedAll, s.recallCount}), (QList<int>{5, 0x0C, 1}));
}

void TestSerialPort::standbyAndPowerOffRefuseCommands()
{
    const QByteArray zoomTele = hex("81 01 04 07 27 FF");
    QCOMPARE(spaced(exchange(hex("81 01 04 00 03 FF"))), spaced(kAck));
    QCOMPARE(spaced(exchange(zoomTele)), spaced(hex("90 61 41 FF")));
    QCOMPARE(quint8(exchange(hex("81 09 7E 7E 70 FF"), 400).at(2)) & 0x01, 0);
    QCOMPARE(spaced(exchange(kPowerOn)), spaced(kAck));
    QCOMPARE(spaced(exchange(zoomTele)), spaced(kAck));
    QCOMPARE(cam_->state().zoomDir, 1);
    QCOMPARE(cam_->state().zoomSpeed, 7);

    cam_->setFailureMode(SimCamera::PowerOff);
    QCOMPARE(spaced(exchange(kPowerInq)), spaced(hex("90 50 03 FF")));
    QCOMPARE(spaced(exchange(kPowerOn)), spaced(hex("90 61 41 FF")));
    QCOMPARE(spaced(exchange(hex("81 0A 11 54 02 FF"))), spaced(hex("90 61 41 FF")));
    QCOMPARE(spaced(exchange(hex("81 09 7E 11 54 FF"))), spaced(hex("90 50 03 FF")));

    // A camera that cannot track refuses the whole tracking set.
    cam_->setFailureMode(SimCamera::Normal);
    cam_->update([](SimCamera::State &st) { st.trackingCapable = false; });
    QCOMPARE(spaced(exchange(hex("81 09 7E 11 54 FF"), 400)), spaced(hex("90 60 02 FF")));
    QCOMPARE(spaced(exchange(hex("81 0A 01 04 1C 82 FF"))), spaced(hex("90 60 02 FF")));
}

void TestSerialPort::cameraSurvivesGarbage()
{
    // Noise, a frame header with an impossible length, then a real inquiry.
    QCOMPARE(spaced(exchange(hex("12 34 FF 00 02 00 FF 81 09 04 00 FF"))), spaced(hex("90 50 02 FF")));
    QCOMPARE(cam_->received(), QList<QByteArray>{kPowerInq});
    // An endless message is refused with a length error, and the line recovers.
    QCOMPARE(spaced(exchange(QByteArray(1, char(0x81)) + QByteArray(40, char(0x01)))), spaced(hex("90 60 01 FF")));
    QCOMPARE(spaced(exchange(kPowerInq)), spaced(hex("90 50 02 FF")));

    QRandomGenerator rng(7);
    qint64 sent = cam_->receivedBytes().size();
    for (int i = 0; i < 8; ++i) {
        QByteArray chunk(2048, Qt::Uninitialized);
        for (char &c : chunk) {
            // Plenty of headers and terminators, so many pieces parse as messages.
            const quint32 r = rng.bounded(16);
            c = char(r == 0 ? 0x81 : r == 1 ? 0xFF : r == 2 ? 0x00 : rng.bounded(256));
        }
        QCOMPARE(sp_->writeData(chunk), qint64(chunk.size()));
        sent += chunk.size();
        QTRY_COMPARE(cam_->receivedBytes().size(), sent); // reads its answers meanwhile
    }
    // Terminators end whatever partial message is left, then it answers again.
    QCOMPARE(sp_->writeData(QByteArray(40, char(0xFF))), qint64(40));
    QTRY_COMPARE(cam_->receivedBytes().size(), sent + 40);
    const QByteArray answer = exchange(kPowerInq);
    QVERIFY2(answer == hex("90 50 02 FF") || answer == hex("90 50 03 FF"), qPrintable(spaced(answer)));
    QCOMPARE(cam_->lastReceived(), kPowerInq);
}

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
