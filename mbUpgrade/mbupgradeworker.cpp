#include "mbUpgrade/mbupgradeworker.h"

#include "mbUpgrade/mbupgradelog.h"
#include "platform/threadcheck.h"

#include <QDebug>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QSerialPort>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <sys/ioctl.h>
#include <termios.h>

const QByteArray MBUpgradeWorker::CommandReset = QByteArray::fromHex("0301EBEF");
const QByteArray MBUpgradeWorker::CommandResetACK = QByteArray::fromHex("028082");
const QByteArray MBUpgradeWorker::CommandProbe = QByteArray::fromHex("0F");
const QByteArray MBUpgradeWorker::CommandErase = QByteArray::fromHex("0300F401007E353304");
const QByteArray MBUpgradeWorker::CommandEraseACK = QByteArray::fromHex("03633004");
const QByteArray MBUpgradeWorker::CommandWriteACK = QByteArray::fromHex("0504844004");
const QByteArray MBUpgradeWorker::CommandBootLoaderReset = QByteArray::fromHex("08088104");

namespace {
QMutex timingLock;
MBUpgradeWorker::Timing sharedTiming;

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' '));
}

quint32 bigEndian(const QByteArray &bytes, int offset, int size)
{
    quint32 v = 0;
    for (int i = 0; i < size; ++i)
        v = (v << 8) | static_cast<quint8>(bytes.at(offset + i));
    return v;
}
} // namespace

void MBUpgradeWorker::setDefaultTiming(const Timing &timing)
{
    QMutexLocker lock(&timingLock);
    sharedTiming = timing;
}

MBUpgradeWorker::Timing MBUpgradeWorker::defaultTiming()
{
    QMutexLocker lock(&timingLock);
    return sharedTiming;
}

MBUpgradeWorker::MBUpgradeWorker(QSerialPort *port, const QString &filePath, QObject *parent)
    : QObject(parent), mbUart(port), filePath(filePath), timing_(defaultTiming())
{
}

bool MBUpgradeWorker::stopRequested() const
{
    return QThread::currentThread()->isInterruptionRequested();
}

void MBUpgradeWorker::process()
{
    TAVRIK_ASSERT_OWNER(this);
    bool ok = false;
    // Check the image before the board is touched: a bad file found after
    // the erase would leave the mainboard without firmware.
    if (!loadImage()) {
        emit logMessage(QStringLiteral("[ERR] Firmware image invalid, mainboard not touched"));
    } else if (!mbUart) {
        qCWarning(lcMbUpgrade).noquote() << "[ERR] No mainboard serial line";
    } else if (!mbUart->open(QIODevice::ReadWrite)) {
        qCWarning(lcMbUpgrade).noquote() << mbUart->portName() << "[ERR] Serial open failed:" << mbUart->errorString();
        emit logMessage(QStringLiteral("[ERR] Mainboard line cannot be opened"));
    } else {
        ok = run();
        // Closing puts the line's previous settings back at once; let the
        // last bytes (the boot-loader reset) leave the UART before that.
        if (mbUart->handle() >= 0)
            ::tcdrain(mbUart->handle());
        mbUart->close();
    }
    emit finished(ok);
}

bool MBUpgradeWorker::loadImage()
{
    // The whole image is read and checked before the board is touched: a bad
    // file, or a medium pulled out once the board is erased, would leave the
    // mainboard without firmware.
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcMbUpgrade).noquote() << "[ERR] unable to open" << filePath;
        return false;
    }
    if (file.size() > kMaxImageBytes) {
        qCWarning(lcMbUpgrade).noquote() << "[ERR] image of" << file.size() << "bytes, more than" << kMaxImageBytes;
        return false;
    }
    const QByteArray bytes = file.read(kMaxImageBytes + 1);
    qCDebug(lcMbUpgrade).noquote() << "Open" << filePath << "successfully.";
    if (bytes.size() < kHeaderSize) {
        qCWarning(lcMbUpgrade).noquote() << "[ERR] Failed to read enough data from file.";
        return false;
    }
    if (!parseImage(bytes, header_, packets_))
        return false;
    imageSize_ = bytes.size();
    return true;
}

bool MBUpgradeWorker::imageComplete(QIODevice &image)
{
    // One byte past the limit tells an image too large; a file says its size,
    // so an ordinary image is not read into an 8 MB buffer first.
    const qint64 want = image.isSequential() ? kMaxImageBytes + 1 : qMin(kMaxImageBytes + 1, image.bytesAvailable());
    const QByteArray bytes = image.read(want);
    if (bytes.size() < kHeaderSize || bytes.size() > kMaxImageBytes) {
        qCWarning(lcMbUpgrade).noquote() << "[ERR] Failed to read enough data from file.";
        return false;
    }
    QByteArray header;
    QList<QByteArray> packets;
    return parseImage(bytes, header, packets);
}

bool MBUpgradeWorker::parseImage(const QByteArray &bytes, QByteArray &header, QList<QByteArray> &packets)
{
    header = bytes.left(kHeaderSize);
    packets.clear();
    const quint32 count = bigEndian(header, 6, 2);
    if (count == 0) {
        qCWarning(lcMbUpgrade).noquote() << "[ERR] image declares no packets";
        return false;
    }
    int pos = kHeaderSize;
    for (quint32 i = 0; i < count; ++i) {
        const int size = pos + 2 <= bytes.size() ? static_cast<int>(bigEndian(bytes, pos, 2)) : -1;
        if (size < 0 || bytes.size() - (pos + 2) < size) {
            qCWarning(lcMbUpgrade).noquote() << "[ERR] read size :" << "packet" << i << "of" << count << "is incomplete";
            packets.clear();
            return false;
        }
        packets.append(bytes.mid(pos + 2, size));
        pos += 2 + size;
    }
    if (pos != bytes.size()) {
        qCWarning(lcMbUpgrade).noquote() << "[ERR] image holds" << (bytes.size() - pos) << "bytes beyond its" << count << "packets";
        packets.clear();
        return false;
    }
    return true;
}

bool MBUpgradeWorker::run()
{
    // 1. reset command; the board answers before it restarts
    uartSend(CommandReset);
    emit logMessage(QStringLiteral("Prepare"));

    // 2.
    QByteArray answer;
    if (!uartRecv(answer, CommandResetACK.size())) {
        qCWarning(lcMbUpgrade).noquote() << "[ERR] Reset fail, no ack";
        return false;
    }
    if (answer != CommandResetACK) {
        qCWarning(lcMbUpgrade).noquote() << "[ERR] Reset fail" << hex(answer);
        return false;
    }
    qCDebug(lcMbUpgrade).noquote() << "Reset OK";

    // 3. a break while the board restarts keeps it in its boot loader
    if (!forceBreakBootLoad(timing_.breakMs))
        return false;

    // 4.
    QThread::msleep(static_cast<unsigned long>(timing_.settleMs));
    bool inBootLoader = false;
    for (int i = 0; i < kProbeTries && !stopRequested(); ++i) {
        if (checkBootLoadMode()) {
            inBootLoader = true;
            break;
        }
        QThread::msleep(static_cast<unsigned long>(timing_.probeRetryMs));
    }
    if (!inBootLoader) {
        qCWarning(lcMbUpgrade).noquote() << "[ERR] Check BootLoad Error";
        return false;
    }
    qCDebug(lcMbUpgrade).noquote() << "Enter Bootload OK";
    emit logMessage(QStringLiteral("Start"));

    // 5. the erase takes the board a while; its answer is read afterwards
    uartErase();
    QThread::msleep(static_cast<unsigned long>(timing_.eraseWaitMs));
    if (!uartRecv(answer, CommandEraseACK.size())) {
        qCWarning(lcMbUpgrade).noquote() << "[ERR] Erase Command Receive ACK Error";
        return false;
    }
    // The boot loader answers the erase with exactly these bytes; anything
    // else means the flash was not erased as asked.
    if (answer != CommandEraseACK) {
        qCWarning(lcMbUpgrade).noquote() << "[ERR] Erase fail" << hex(answer);
        return false;
    }
    qCDebug(lcMbUpgrade).noquote() << "Erase OK";

    // 6. and 7.: the image was read and checked before the reset.
    const qint64 fileSize = imageSize_;
    const qint64 fwSize = fileSize - static_cast<qint64>(bigEndian(header_, 12, 3));
    const int packets = packets_.size();
    qCDebug(lcMbUpgrade).noquote() << "File size:" << fileSize << ", fw Size :" << fwSize << ", header :" << hex(header_)
                         << "Packet number :" << packets;

    // 8.
    quint64 written = 0;
    for (int i = 0; i < packets; ++i) {
        if (stopRequested()) {
            qCWarning(lcMbUpgrade).noquote() << "[ERR] Upgrade stopped at packet" << i;
            return false;
        }
        checkBootLoadMode();

        const QByteArray &data = packets_.at(i);
        const int size = data.size();
        qCDebug(lcMbUpgrade).noquote() << "Packet size :" << size;
        if (!uartSend(data))
            return false;
        written += static_cast<quint64>(size);
        qCDebug(lcMbUpgrade).noquote() << "i :" << i << ", bytes Written :" << written;

        // A missing or wrong acknowledgement does not stop the upgrade: the
        // board may still have taken the packet, and stopping half-way
        // leaves it unbootable for certain.
        if (!uartRecv(answer, CommandWriteACK.size()))
            qCWarning(lcMbUpgrade).noquote() << "[ERR] Not receive ack:" << hex(answer);
        if (answer == CommandWriteACK)
            qCDebug(lcMbUpgrade).noquote() << "Write OK";
        else
            qCWarning(lcMbUpgrade).noquote() << "[ERR] Write fail" << hex(answer);

        const int percent = fwSize > 0 ? static_cast<int>(100 * written / static_cast<quint64>(fwSize)) : 0;
        emit progressChanged(percent);
        emit logMessage(QStringLiteral("Upgrade MB : ") + QString::number(percent) + QLatin1Char('%'));
    }

    // 9.
    qCDebug(lcMbUpgrade).noquote() << "Reset";
    resetBootLoadMode();
    qCDebug(lcMbUpgrade).noquote() << "Done";
    emit logMessage(QStringLiteral("Upgrade MB firmware OK"));
    return true;
}

bool MBUpgradeWorker::uartSend(const QByteArray &bytes)
{
    const qint64 n = mbUart->write(bytes);
    if (n < bytes.size()) {
        qCWarning(lcMbUpgrade).noquote() << "[ERR] Write commandReset" << mbUart->errorString();
        return false;
    }
    qCDebug(lcMbUpgrade).noquote() << "UART send:" << hex(bytes) << "len:" << bytes.size();
    mbUart->waitForBytesWritten(timing_.ioWaitMs);
    return true;
}

bool MBUpgradeWorker::uartRecv(QByteArray &buffer, int n)
{
    // Two waits that bring nothing give up; a wait that brings part of the
    // answer does not count, so an answer split on the wire still arrives
    // (bounded: each such wait brings at least one of the n bytes).
    int tries = 2;
    while (mbUart->bytesAvailable() < n && tries > 0) {
        const qint64 before = mbUart->bytesAvailable();
        mbUart->waitForReadyRead(timing_.ioWaitMs);
        if (mbUart->bytesAvailable() <= before)
            --tries;
        qCDebug(lcMbUpgrade).noquote() << "Count down wait times : " << tries << ", bytes : " << mbUart->bytesAvailable()
                             << ", need len : " << n;
    }
    buffer = mbUart->read(n);
    if (buffer.size() < n) {
        qCWarning(lcMbUpgrade).noquote() << "[ERR] UART read fail" << mbUart->errorString();
        return false;
    }
    qCDebug(lcMbUpgrade).noquote() << "UART recv:" << hex(buffer) << "len:" << n;
    return true;
}

bool MBUpgradeWorker::uartErase()
{
    return uartSend(CommandErase);
}

bool MBUpgradeWorker::checkBootLoadMode()
{
    mbUart->clear(QSerialPort::AllDirections);
    if (!uartSend(CommandProbe)) {
        qCWarning(lcMbUpgrade).noquote() << "[ERR] UART write 0xf";
        return false;
    }
    QByteArray echo;
    if (!uartRecv(echo, 1)) {
        qCWarning(lcMbUpgrade).noquote() << "[ERR] UART read";
        return false;
    }
    if (echo != CommandProbe) {
        qCWarning(lcMbUpgrade).noquote() << "[ERR] check boot load mode fail";
        return false;
    }
    return true;
}

bool MBUpgradeWorker::forceBreakBootLoad(int ms)
{
    const int fd = mbUart->handle();
    if (fd < 0) {
        qCWarning(lcMbUpgrade).noquote() << "[ERR] Invalid serial port handle!";
        return false;
    }
    qCDebug(lcMbUpgrade).noquote() << "Try force break using ioctl (TIOCSBRK)...";
    if (::ioctl(fd, TIOCSBRK) == 0) {
        QThread::msleep(static_cast<unsigned long>(ms));
        if (::ioctl(fd, TIOCCBRK) != 0) {
            qCWarning(lcMbUpgrade).noquote() << "[ERR] TIOCCBRK failed:" << std::strerror(errno);
            return false;
        }
        qCDebug(lcMbUpgrade).noquote() << "Break released";
        return true;
    }
    qCWarning(lcMbUpgrade).noquote() << "[WARN] TIOCSBRK failed:" << std::strerror(errno);
    qCWarning(lcMbUpgrade).noquote() << "[INFO] Falling back to tcsendbreak";
    if (::tcsendbreak(fd, 4) != 0) {
        qCWarning(lcMbUpgrade).noquote() << "[ERR] tcsendbreak failed:" << std::strerror(errno);
        return false;
    }
    qCDebug(lcMbUpgrade).noquote() << "tcsendbreak OK (duration ≈ 250ms)";
    return true;
}

bool MBUpgradeWorker::resetBootLoadMode()
{
    if (!checkBootLoadMode())
        return false;
    mbUart->clear(QSerialPort::AllDirections);
    return uartSend(CommandBootLoaderReset);
}
