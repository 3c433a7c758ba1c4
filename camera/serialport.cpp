#include "camera/serialport.h"

#include "camera/cameralog.h"
#include "platform/sysroot.h"
#include "platform/threadcheck.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <initializer_list>

#include <poll.h>

serialPort::serialPort(QObject *parent) : QObject(parent), serial(new QSerialPort(this))
{
    // A child, so the line moves with its owner to the thread that runs it.
    localEchoEnabled = false;
    // A chattering camera on an idle or offline line must not grow memory:
    // Qt holds at most one reply's worth, and the idle drain empties it.
    serial->setReadBufferSize(MaxReplyBytes);
    idleDrain_ = new QTimer(this);
    idleDrain_->setInterval(IdleDrainMs);
    connect(idleDrain_, &QTimer::timeout, this, &serialPort::drainIdle);
    idleDrain_->start();
    // A line that vanished (USB adapter pulled, driver gone) keeps failing
    // until it is re-opened; closing it turns every later write into a clean
    // -1 instead of a stream of errors.
    connect(serial, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError error) { handleError(error); });
}

serialPort::~serialPort()
{
    if (serial->isOpen())
        serial->close();
    qCDebug(lcCamera) << "[~serialPort()] Serial Port close:" << name;
    delete serial;
}

namespace {

// A setting the port cannot take would leave the line dead; it is refused
// with a log line and the value in use stays.
bool refused(bool valid, const char *what, int value, int kept)
{
    if (!valid)
        qCWarning(lcCamera) << what << value << ", keeping" << kept;
    return !valid;
}

bool oneOf(int value, std::initializer_list<int> valid)
{
    return std::find(valid.begin(), valid.end(), value) != valid.end();
}

} // namespace

void serialPort::setBaudRate(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcCamera) << "[setBaudRate]" << value;
    if (refused(value > 0, "[WARN] setBaudRate: invalid baud rate", value, baudRate))
        return;
    baudRate = value;
    serial->setBaudRate(baudRate, QSerialPort::AllDirections);
}

void serialPort::setDataBits(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcCamera) << "[setDataBits]" << value;
    if (refused(value >= QSerialPort::Data5 && value <= QSerialPort::Data8, "[WARN] setDataBits: invalid data bits",
                value, dataBits))
        return;
    dataBits = QSerialPort::DataBits(value);
    serial->setDataBits(dataBits);
}

void serialPort::setParity(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcCamera) << "[setParity]" << value;
    const bool valid = oneOf(value, {QSerialPort::NoParity, QSerialPort::EvenParity, QSerialPort::OddParity,
                                     QSerialPort::SpaceParity, QSerialPort::MarkParity});
    if (refused(valid, "[WARN] setParity: invalid parity", value, parity))
        return;
    parity = QSerialPort::Parity(value);
    serial->setParity(parity);
}

void serialPort::setStopBits(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcCamera) << "[setStopBits]" << value;
    const bool valid = oneOf(value, {QSerialPort::OneStop, QSerialPort::TwoStop, QSerialPort::OneAndHalfStop});
    if (refused(valid, "[WARN] setStopBits: invalid stop bits", value, stopBits))
        return;
    stopBits = QSerialPort::StopBits(value);
    serial->setStopBits(stopBits);
}

void serialPort::setFlowControl(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcCamera) << "[setFlowControl]" << value;
    const bool valid =
        oneOf(value, {QSerialPort::NoFlowControl, QSerialPort::HardwareControl, QSerialPort::SoftwareControl});
    if (refused(valid, "[WARN] setFlowControl: invalid flow control", value, flowControl))
        return;
    flowControl = QSerialPort::FlowControl(value);
    serial->setFlowControl(flowControl);
}

bool serialPort::applySettingsAndOpen()
{
    serial->close();
    serial->setPortName(Sysroot::serialDevice(name));
    serial->setBaudRate(baudRate, QSerialPort::AllDirections);
    serial->setDataBits(dataBits);
    serial->setParity(parity);
    serial->setStopBits(stopBits);
    serial->setFlowControl(flowControl);
    return serial->open(QIODevice::ReadWrite);
}

QString serialPort::openSerialPort(const QString &select)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcCamera) << "Serial Port:" << select << QThread::currentThreadId();
    name = select;
    serial->close();
    qCDebug(lcCamera) << "name:" << name << " baudRate:" << baudRate << " dataBits:" << int(dataBits)
                      << " parity:" << int(parity) << " stopBits:" << int(stopBits) << " flowControl"
                      << int(flowControl);
    if (applySettingsAndOpen()) {
        qCDebug(lcCamera) << "Serial Port OK:" << name;
        return QStringLiteral("OK");
    }
    qCWarning(lcCamera) << "Serial Port FAIL:" << name;
    return serial->errorString();
}

bool serialPort::resetSerialPort()
{
    TAVRIK_ASSERT_OWNER(this);
    if (applySettingsAndOpen()) {
        qCDebug(lcCamera) << "Reset Serial Port OK:" << name;
        return true;
    }
    qCWarning(lcCamera) << "Reset Serial Port Fail:" << serial->errorString();
    return false;
}

void serialPort::closeSerialPort()
{
    TAVRIK_ASSERT_OWNER(this);
    if (serial->isOpen())
        serial->close();
}

bool serialPort::isOpened() const
{
    TAVRIK_ASSERT_OWNER(this);
    return serial->isOpen();
}

QString serialPort::errorString() const
{
    TAVRIK_ASSERT_OWNER(this);
    return serial->errorString();
}

void serialPort::clearTXRX()
{
    TAVRIK_ASSERT_OWNER(this);
    if (!serial->isOpen())
        return;
    serial->clear(QSerialPort::AllDirections);
    serial->readAll();
    serial->flush();
}

void serialPort::drainIdle()
{
    TAVRIK_ASSERT_OWNER(this);
    // Runs from the event loop, so never inside an exchange: whatever is
    // waiting came unasked, and the next write would drop it anyway.
    if (!serial->isOpen() || serial->bytesAvailable() <= 0)
        return;
    idleDropped_ += serial->readAll().size();
    // and what the driver still holds beyond Qt's bounded buffer
    serial->clear(QSerialPort::Input);
    if (!idleLogged_.isValid() || idleLogged_.elapsed() >= 60000) {
        qCWarning(lcCamera) << "[WARN]" << name << ": dropped" << idleDropped_ << "bytes that came unasked";
        idleDropped_ = 0;
        idleLogged_.start();
    }
}

void serialPort::appendBounded(QByteArray &to, const QByteArray &chunk) const
{
    const int room = MaxReplyBytes - to.size();
    if (chunk.size() <= room) {
        to.append(chunk);
        return;
    }
    if (room > 0)
        to.append(chunk.constData(), room);
    qCWarning(lcCamera) << "[WARN]" << name << ": reply longer than" << MaxReplyBytes << "bytes,"
                        << (chunk.size() - qMax(room, 0)) << "bytes dropped";
}

qint64 serialPort::writeData(const QByteArray &data)
{
    TAVRIK_ASSERT_OWNER(this);
    if (aborted_.load())
        return -1;
    if (!serial->isOpen()) {
        qCWarning(lcCamera) << "[ERR] Write cmd fail:" << data.toHex(' ') << ", serial port not open"
                            << serial->errorString();
        return -1;
    }
    // Whatever is waiting now answers an earlier message (a late completion,
    // line noise): drop what Qt holds and what the driver still holds.
    serial->readAll();
    serial->clear(QSerialPort::Input);

    stats_.countMessage();
    sentAt_ = steadyMs();
    const qint64 written = serial->write(data);
    serial->waitForBytesWritten(66);
    if (written == -1)
        qCWarning(lcCamera) << "[ERR] Write fail:" << data.toHex(' ') << ", reason:" << serial->errorString();
    else if (written < data.size())
        qCWarning(lcCamera) << "[ERR] Only write " << written;
    return written;
}

qint64 serialPort::steadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

CameraLineStats::Snapshot serialPort::lineStats()
{
    return stats_.snapshot(steadyMs());
}

QByteArray serialPort::receive(int timeoutMs, const std::function<bool(const QByteArray &)> &answered)
{
    TAVRIK_ASSERT_OWNER(this);
    QByteArray result;
    QElapsedTimer total;
    QElapsedTimer sinceData;
    total.start();
    sinceData.start();

    if (!serial->isOpen()) {
        qCWarning(lcCamera) << "[WARN] No response received in" << timeoutMs << "ms";
        stats_.countTimeOut();
        return result;
    }

    qint64 answeredAt = 0;
    const auto takeAll = [&] {
        const QByteArray chunk = serial->readAll();
        if (!chunk.isEmpty()) {
            appendBounded(result, chunk);
            sinceData.restart();
            answeredAt = steadyMs();
        }
    };
    while (total.elapsed() < timeoutMs && serial->isOpen() && !aborted_.load()) {
        if (serial->bytesAvailable() > 0) {
            qCDebug(lcCamera) << "[DEBUG] peek RX:" << serial->peek(serial->bytesAvailable()).toHex(' ');
            takeAll();
        }
        // Only an answer that completes during this wait ends the collection
        // early; the wait itself is what keeps this loop from spinning.
        if (serial->waitForReadyRead(10)) {
            takeAll();
            if (!result.isEmpty() && quint8(result.back()) == 0xFF && (!answered || answered(result)))
                break;
        }
        if (!result.isEmpty() && sinceData.elapsed() > timeoutMs) {
            qCDebug(lcCamera) << "[INFO] Partial response timeout.";
            break;
        }
        QThread::msleep(10);
    }
    if (result.isEmpty()) {
        qCWarning(lcCamera) << "[WARN] No response received in" << timeoutMs << "ms";
        stats_.countTimeOut();
    } else {
        // From the message written to the last byte of its answer.
        if (sentAt_ > 0)
            stats_.addReplyTime(static_cast<int>(qMin<qint64>(answeredAt - sentAt_, 60000)), answeredAt);
    }
    return result;
}

void serialPort::readData(QByteArray &data)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!serial->isOpen()) {
        data.clear();
        return;
    }
    serial->waitForReadyRead(166);
    data = serial->readAll();
}

QByteArray serialPort::receiveExact(int expectedLength, int timeoutMs)
{
    TAVRIK_ASSERT_OWNER(this);
    QByteArray collected;
    QElapsedTimer timer;
    timer.start();
    while (collected.size() < expectedLength && timer.elapsed() < timeoutMs && serial->isOpen() && !aborted_.load()) {
        serial->waitForReadyRead(10);
        if (serial->bytesAvailable() > 0) {
            // Never more than still missing: the rest belongs to whatever follows.
            collected.append(serial->read(expectedLength - collected.size()));
        }
    }
    if (collected.size() < expectedLength) {
        qCWarning(lcCamera) << "[ERR] Incomplete data" << collected.toHex(' ');
        return {};
    }
    return collected;
}

void serialPort::readDataUntilAck(QByteArray &data)
{
    TAVRIK_ASSERT_OWNER(this);
    data.clear();
    for (int attempt = 1; attempt <= 20 && serial->isOpen() && !aborted_.load(); ++attempt) {
        if (serial->waitForReadyRead(100)) {
            appendBounded(data, serial->readAll());
            if (!data.isEmpty() && quint8(data.back()) == 0xFF)
                break;
        } else {
            qCDebug(lcCamera) << "Timeout waiting for more data, attempts:" << attempt;
        }
    }
    qCDebug(lcCamera) << "VISCA response:" << data.toHex(' ');
}

void serialPort::handleError(QSerialPort::SerialPortError error)
{
    TAVRIK_ASSERT_OWNER(this);
    if (error == QSerialPort::ResourceError) {
        closeSerialPort();
        return;
    }
    // A line whose far end hung up (USB adapter pulled) reads as end of file,
    // which Qt reports as a read error again on every pass of the event loop.
    // Closing it stops that storm; re-opening the line brings it back.
    if (error == QSerialPort::ReadError && serial->isOpen()) {
        pollfd p{};
        p.fd = int(serial->handle());
        p.events = POLLIN;
        if (p.fd >= 0 && ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) {
            qCWarning(lcCamera) << "[ERR]" << name << ": line hung up, closing it";
            closeSerialPort();
        }
    }
}
