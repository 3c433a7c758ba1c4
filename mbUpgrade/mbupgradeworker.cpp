#include "mbUpgrade/mbupgradeworker.h"

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
    bool ok = false;
    // Check the image before the board is touched: a bad file found after
    // the erase would leave the mainboard without firmware.
    if (!loadImage()) {
        emit logMessage(QStringLiteral("[ERR] Firmware image invalid, mainboard not touched"));
    } else if (!mbUart) {
        qWarning().noquote() << "[ERR] No mainboard serial line";
    } else if (!mbUart->open(QIODevice::ReadWrite)) {
        qWarning().noquote() << mbUart->portName() << "[ERR] Serial open failed:" << mbUart->errorString();
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
        qWarning().noquote() << "[ERR] unable to open" << filePath;
        return false;
    }
    if (file.size() > kMaxImageBytes) {
        qWarning().noquote() << "[ERR] image of" << file.size() << "bytes, more than" << kMaxImageBytes;
        return false;
    }
    const QByteArray bytes = file.read(kMaxImageBytes + 1);
    qDebug().noquote() << "Open" << filePath << "successfully.";
    if (bytes.size() < kHeaderSize) {
        qWarning().noquote() << "[ERR] Failed to read enough data from file.";
        return false;
    }
    if (!parseImage(bytes, header_, packets_))
        return false;
    imageSize_ = bytes.size();
    return true;
}

bool MBUpgradeWorker::imageComplete(QIODevice &image)
{
    const QByteArray bytes = image.read(kMaxImageBytes + 1);
    if (bytes.size() < kHeaderSize || bytes.size() > kMaxImageBytes) {
        qWarning().noquote() << "[ERR] Failed to read enough data from file.";
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
        qWarning().noquote() << "[ERR] image declares no packets";
        return false;
    }
    int pos = kHeaderSize;
    for (quint32 i = 0; i < count; ++i) {
        const int size = pos + 2 <= bytes.size() ? static_cast<int>(bigEndian(bytes, pos, 2)) : -1;
        if (size < 0 || bytes.size() - (pos + 2) < size) {
            qWarning().noquote() << "[ERR] read size :" << "packet" << i << "of" << count << "is incomplete";
            packets.clear();
            return false;
        }
        packets.append(bytes.mid(pos + 2, size));
        pos += 2 + size;
    }
    if (pos != bytes.size()) {
        qWarning().noquote() << "[ERR] image holds" << (bytes.size() - pos) << "bytes beyond its" << count << "packets";
        packets.clear();
        return false;
    }
    return true;
}
