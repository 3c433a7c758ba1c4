#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdint>

// One log line for an error that repeats every polling step: the first
// occurrence at once, then at most one line a minute with the number of
// repeats in between. A missing converter would otherwise write several
// lines every 20 ms for as long as the panel runs.
class RepeatedErrorLog
{
public:
    explicit RepeatedErrorLog(const char *text) : text_(text) {}
    void report(const QString &detail = QString());

    static constexpr qint64 kQuietMs = 60000;

private:
    const char *text_;
    QElapsedTimer sinceLogged_;
    int suppressed_ = 0;
};

// The four-channel converter on the Pi's I2C bus, as the T-bar thread uses
// it: the bus device, the slave address, the configuration writes that start
// a conversion and the reading of the conversion register. Only the bus
// access lives here; what the readings mean is Tbar's business.
class I2cConverter
{
public:
    static constexpr int kAddress = 0x48;
    static constexpr int kChannels = 4;

    I2cConverter() = default;
    ~I2cConverter();
    I2cConverter(const I2cConverter &) = delete;
    I2cConverter &operator=(const I2cConverter &) = delete;

    // Opens the bus device read/write and selects the slave. A device that
    // opens but refuses the address is closed again: writes would go to
    // whatever address the descriptor had before.
    bool open(const QString &device, int address = kAddress);
    void close();
    bool isOpen() const { return fd >= 0; }

    // Starts a conversion on the T-bar input and points at the conversion
    // register, once after opening.
    void startFirstConversion();

    // The idle and the start-conversion configuration of a channel (0 T-bar,
    // 1 joystick X, 2 joystick Y, 3 zoom rocker).
    bool startConversion(int channel);
    // Points at the conversion register.
    bool selectConversionRegister();
    // Reads the conversion register: 0..2047 in `reading`.
    bool readConversion(int &reading);

    // The configuration word of a channel: first byte idle / start, then the
    // second byte shared by all.
    static std::uint8_t idleConfig(int channel);
    static std::uint8_t startConfig(int channel);
    static constexpr std::uint8_t kConfigLow = 0x84;

    // Two conversion register bytes as a reading: big-endian signed, a
    // negative value counts as 0, the low four bits dropped.
    static int toReading(std::uint8_t high, std::uint8_t low);

private:
    bool writeBytes(const std::uint8_t *bytes, int count);

    int fd = -1;
    RepeatedErrorLog openError_{"[ERR] Couldn't open device! :"};
    RepeatedErrorLog addressError_{"[ERR] Couldn't find device on address"};
    RepeatedErrorLog firstWriteError_{"[ERR] Write to register 1"};
    RepeatedErrorLog configError_{"[ERR] Write configuration"};
    RepeatedErrorLog selectError_{"[ERR] Write register select"};
    RepeatedErrorLog readError_{"[ERR] Read conversion"};
};
