#include "surface/i2cconverter.h"

#include "surface/surfacelog.h"

#include <QDebug>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {
// linux/i2c-dev.h
constexpr unsigned long kI2cSlave = 0x0703;

// First configuration byte per channel: idle, then with the start bit.
constexpr std::uint8_t kIdle[I2cConverter::kChannels] = {0x43, 0x63, 0x73, 0x53};
constexpr std::uint8_t kStartBit = 0x80;

QString errnoText(int e)
{
    return QString::fromLocal8Bit(std::strerror(e));
}
} // namespace

void RepeatedErrorLog::report(const QString &detail)
{
    if (sinceLogged_.isValid() && sinceLogged_.elapsed() < kQuietMs) {
        ++suppressed_;
        return;
    }
    if (suppressed_ > 0)
        qCWarning(lcSurface).noquote() << text_ << detail << QStringLiteral("(%1 more since the last report)").arg(suppressed_);
    else
        qCWarning(lcSurface).noquote() << text_ << detail;
    suppressed_ = 0;
    sinceLogged_.start();
}

I2cConverter::~I2cConverter()
{
    close();
}

bool I2cConverter::open(const QString &device, int address)
{
    close();
    const int result = ::open(QFile::encodeName(device).constData(), O_RDWR | O_CLOEXEC);
    if (result < 0) {
        openError_.report(QStringLiteral("%1 %2 (%3)").arg(result).arg(device, errnoText(errno)));
        return false;
    }
    fd = result;
    if (::ioctl(fd, kI2cSlave, static_cast<unsigned long>(address)) < 0) {
        addressError_.report(QStringLiteral("0x%1 (%2)").arg(address, 2, 16, QLatin1Char('0')).arg(errnoText(errno)));
        close();
        return false;
    }
    qCDebug(lcSurface) << "[INFO] open/connect: ok";
    return true;
}

void I2cConverter::close()
{
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

bool I2cConverter::writeBytes(const std::uint8_t *bytes, int count)
{
    if (fd < 0)
        return false;
    ssize_t n;
    do {
        n = ::write(fd, bytes, size_t(count));
    } while (n < 0 && errno == EINTR);
    return n == count;
}

void I2cConverter::startFirstConversion()
{
    const std::uint8_t config[3] = {0x01, startConfig(0), kConfigLow};
    if (!writeBytes(config, 3))
        firstWriteError_.report(errnoText(errno));
    QThread::msleep(1);
    const std::uint8_t pointer = 0x00;
    if (!writeBytes(&pointer, 1))
        selectError_.report(errnoText(errno));
}

bool I2cConverter::startConversion(int channel)
{
    const std::uint8_t idle[3] = {0x01, idleConfig(channel), kConfigLow};
    const std::uint8_t start[3] = {0x01, startConfig(channel), kConfigLow};
    const bool idleOk = writeBytes(idle, 3);
    const bool startOk = writeBytes(start, 3);
    if (idleOk && startOk)
        return true;
    // The step is skipped without a fresh conversion; say why, now and then.
    configError_.report(errnoText(errno));
    return false;
}

bool I2cConverter::selectConversionRegister()
{
    const std::uint8_t pointer = 0x00;
    if (writeBytes(&pointer, 1))
        return true;
    selectError_.report(errnoText(errno));
    return false;
}

bool I2cConverter::readConversion(int &reading)
{
    std::uint8_t buf[2] = {0, 0};
    ssize_t n = -1;
    if (fd >= 0) {
        do {
            n = ::read(fd, buf, 2);
        } while (n < 0 && errno == EINTR);
    } else {
        errno = EBADF;
    }
    if (n != 2) {
        readError_.report(n < 0 ? errnoText(errno) : QStringLiteral("%1 of 2 bytes").arg(n));
        return false;
    }
    reading = toReading(buf[0], buf[1]);
    return true;
}

std::uint8_t I2cConverter::idleConfig(int channel)
{
    return kIdle[channel & 3];
}

std::uint8_t I2cConverter::startConfig(int channel)
{
    return std::uint8_t(kIdle[channel & 3] | kStartBit);
}

int I2cConverter::toReading(std::uint8_t high, std::uint8_t low)
{
    int value = std::int16_t(std::uint16_t((high << 8) | low));
    if (value < 0)
        value = 0;
    return value >> 4;
}
