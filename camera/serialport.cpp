#include "camera/serialport.h"

#include "platform/sysroot.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QThread>

#include <poll.h>

serialPort::serialPort(QObject *parent) : QObject(parent), serial(new QSerialPort)
{
    localEchoEnabled = false;
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
    qDebug() << "[~serialPort()] Serial Port close:" << name;
    delete serial;
}

void serialPort::setBaudRate(int value)
{
    qDebug() << "[setBaudRate]" << value;
    if (value <= 0) {
        qWarning() << "[WARN] setBaudRate: invalid baud rate" << value << ", keeping" << baudRate;
        return;
    }
    baudRate = value;
    serial->setBaudRate(baudRate, QSerialPort::AllDirections);
}

void serialPort::setDataBits(int value)
{
    qDebug() << "[setDataBits]" << value;
    if (value < QSerialPort::Data5 || value > QSerialPort::Data8) {
        qWarning() << "[WARN] setDataBits: invalid data bits" << value << ", keeping" << int(dataBits);
        return;
    }
    dataBits = QSerialPort::DataBits(value);
    serial->setDataBits(dataBits);
}

void serialPort::setParity(int value)
{
    qDebug() << "[setParity]" << value;
    switch (value) {
    case QSerialPort::NoParity:
    case QSerialPort::EvenParity:
    case QSerialPort::OddParity:
    case QSerialPort::SpaceParity:
    case QSerialPort::MarkParity:
        parity = QSerialPort::Parity(value);
        serial->setParity(parity);
        return;
    default:
        qWarning() << "[WARN] setParity: invalid parity" << value << ", keeping" << int(parity);
    }
}

void serialPort::setStopBits(int value)
{
    qDebug() << "[setStopBits]" << value;
    switch (value) {
    case QSerialPort::OneStop:
    case QSerialPort::TwoStop:
    case QSerialPort::OneAndHalfStop:
        stopBits = QSerialPort::StopBits(value);
        serial->setStopBits(stopBits);
        return;
    default:
        qWarning() << "[WARN] setStopBits: invalid stop bits" << value << ", keeping" << int(stopBits);
    }
}

void serialPort::setFlowControl(int value)
{
    qDebug() << "[setFlowControl]" << value;
    switch (value) {
    case QSerialPort::NoFlowControl:
    case QSerialPort::HardwareControl:
    case QSerialPort::SoftwareControl:
        flowControl = QSerialPort::FlowControl(value);
        serial->setFlowControl(flowControl);
        return;
    default:
        qWarning() << "[WARN] setFlowControl: invalid flow control" << value << ", keeping"
                   << int(flowControl);
    }
}

QString serialPort::openSerialPort(const QString &select)
{
    qDebug() << "Serial Port:" << select << QThread::currentThreadId();
    name = select;
    serial->close();
    qDebug() << "name:" << name << " baudRate:" << baudRate << " dataBits:" << int(dataBits)
             << " parity:" << int(parity) << " stopBits:" << int(stopBits) << " flowControl"
             << int(flowControl);
    serial->setPortName(Sysroot::serialDevice(name));
    serial->setBaudRate(baudRate, QSerialPort::AllDirections);
    serial->setDataBits(dataBits);
    serial->setParity(parity);
    serial->setStopBits(stopBits);
    serial->setFlowControl(flowControl);
    if (serial->open(QIODevice::ReadWrite)) {
        qDebug() << "Serial Port OK:" << name;
        return QStringLiteral("OK");
    }
    qWarning() << "Serial Port FAIL:" << name;
    return serial->errorString();
}

bool serialPort::resetSerialPort()
{
    serial->close();
    serial->setPortName(Sysroot::serialDevice(name));
    serial->setBaudRate(baudRate, QSerialPort::AllDirections);
    serial->setDataBits(dataBits);
    serial->setParity(parity);
    serial->setStopBits(stopBits);
    serial->setFlowControl(flowControl);
    if (serial->open(QIODevice::ReadWrite)) {
        qDebug() << "Reset Serial Port OK:" << name;
        return true;
    }
    qWarning() << "Reset Serial Port Fail:" << serial->errorString();
    return false;
}

void serialPort::closeSerialPort()
{
    if (serial->isOpen())
        serial->close();
}

bool serialPort::isOpened() const { return serial->isOpen(); }

QString serialPort::errorString() const { return serial->errorString(); }

void serialPort::clearTXRX()
{
    if (!serial->isOpen())
        return;
    serial->clear(QSerialPort::AllDirections);
    serial->readAll();
    serial->flush();
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
    qWarning() << "[WARN]" << name << ": reply longer than" << MaxReplyBytes << "bytes,"
               << (chunk.size() - qMax(room, 0)) << "bytes dropped";
}

qint64 serialPort::writeData(const QByteArray &data)
{
    if (!serial->isOpen()) {
        qWarning() << "[ERR] Write cmd fail:" << data.toHex(' ') << ", serial port not open"
                   << serial->errorString();
        return -1;
    }
    // Whatever is waiting now answers an earlier message (a late completion,
    // line noise): drop what Qt holds and what the driver still holds.
    serial->readAll();
    serial->clear(QSerialPort::Input);

    const qint64 written = serial->write(data);
    serial->waitForBytesWritten(66);
    if (written == -1)
        qWarning() << "[ERR] Write fail:" << data.toHex(' ') << ", reason:" << serial->errorString();
    else if (written < data.size())
        qWarning() << "[ERR] Only write " << written;
    return written;
}

QByteArray serialPort::receive(int timeoutMs)
{
    QByteArray result;
    QElapsedTimer total;
    QElapsedTimer sinceData;
    total.start();
    sinceData.start();

    if (!serial->isOpen()) {
        qWarning() << "[WARN] No response received in" << timeoutMs << "ms";
        return result;
    }

    while (total.elapsed() < timeoutMs && serial->isOpen()) {
        if (serial->bytesAvailable() > 0) {
            qDebug() << "[DEBUG] peek RX:" << serial->peek(serial->bytesAvailable()).toHex(' ');
            const QByteArray chunk = serial->readAll();
            if (!chunk.isEmpty()) {
                appendBounded(result, chunk);
                sinceData.restart();
            }
        }
        // Only an answer that completes during this wait ends the collection
        // early; the wait itself is what keeps this loop from spinning.
        if (serial->waitForReadyRead(10)) {
            const QByteArray chunk = serial->readAll();
            if (!chunk.isEmpty()) {
                appendBounded(result, chunk);
                sinceData.restart();
            }
            if (!result.isEmpty() && quint8(result.back()) == 0xFF)
                break;
        }
        if (!result.isEmpty() && sinceData.elapsed() > timeoutMs) {
            qDebug() << "[INFO] Partial response timeout.";
            break;
        }
        QThread::msleep(10);
    }
    if (result.isEmpty())
        qWarning() << "[WARN] No response received in" << timeoutMs << "ms";
    return result;
}

void serialPort::readData(QByteArray &data)
{
    if (!serial->isOpen()) {
        data.clear();
        return;
    }
    serial->waitForReadyRead(166);
    data = serial->readAll();
}

QByteArray serialPort::receiveExact(int expectedLength, int timeoutMs)
{
    QByteArray collected;
    QElapsedTimer timer;
    timer.start();
    while (collected.size() < expectedLength && timer.elapsed() < timeoutMs && serial->isOpen()) {
        serial->waitForReadyRead(10);
        if (serial->bytesAvailable() > 0) {
            // Never more than still missing: the rest belongs to whatever follows.
            collected.append(serial->read(expectedLength - collected.size()));
        }
    }
    if (collected.size() < expectedLength) {
        qWarning() << "[ERR] Incomplete data" << collected.toHex(' ');
        return {};
    }
    return collected;
}

void serialPort::readDataUntilAck(QByteArray &data)
{
    data.clear();
    for (int attempt = 1; attempt <= 20 && serial->isOpen(); ++attempt) {
        if (serial->waitForReadyRead(100)) {
            appendBounded(data, serial->readAll());
            if (!data.isEmpty() && quint8(data.back()) == 0xFF)
                break;
        } else {
            qDebug() << "Timeout waiting for more data, attempts:" << attempt;
        }
    }
    qDebug() << "VISCA response:" << data.toHex(' ');
}

void serialPort::handleError(QSerialPort::SerialPortError error)
{
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
            qWarning() << "[ERR]" << name << ": line hung up, closing it";
            closeSerialPort();
        }
    }
}
