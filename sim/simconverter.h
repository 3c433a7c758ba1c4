#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVector>

#include <memory>

class SimThread;
class SimConverterPeer;
struct SimConverterShared;

// The simulated four-input analogue-to-digital converter on the panel's I2C
// bus (an ADS1115-style part at address 0x48), reached by the panel's own
// bus code through the converter shim (sim/simconv_preload).
//
// It listens on a SOCK_SEQPACKET socket where the bus device would be
// (<sysroot>/dev/i2c-1 by default). A process that preloads the shim opens
// that path with open(), selects the address with the I2C_SLAVE ioctl and
// makes write() and read() transfers as on the unit; each transfer reaches
// this object as one request:
// - a write of 1 byte sets the register pointer; a write of 3 bytes sets the
//   pointer and writes the 16-bit register after it (most significant byte
//   first). Writing the configuration register (pointer 1) with the top bit
//   set starts a conversion of the input its multiplexer bits (14..12)
//   select: 100 AIN0, 101 AIN1, 110 AIN2, 111 AIN3 against ground. The
//   conversion completes at once and is latched in the conversion register.
// - a read returns the register under the pointer, most significant byte
//   first (the configuration register reads with its top bit set: idle).
// - a transfer to any other address is not acknowledged (EREMOTEIO), as on
//   a real bus; so is a transfer before any address was selected.
//
// Inputs hold readings as the panel sees them after its shift by four:
// setReading(input, 1300) makes the register read 1300 × 16.
//
// It runs on a simulation thread (its own, or one handed in), because the
// panel blocks its polling thread on every transfer. Every public method is
// thread-safe and may be called from the test thread.
class SimConverter : public QObject
{
    Q_OBJECT
public:
    // The wiring of the panel: which converter input carries which control.
    enum Input {
        TbarInput = 0,      // AIN0
        ZoomInput = 1,      // AIN1
        JoystickXInput = 2, // AIN2, pan
        JoystickYInput = 3, // AIN3, tilt
    };
    Q_ENUM(Input)
    static constexpr int kInputs = 4;
    static constexpr int kAddress = 0x48;

    enum FailureMode {
        Healthy,
        // Nothing answers at the address (converter unplugged or dead): the
        // slave select still succeeds, as i2c-dev does not probe, but every
        // transfer fails with EREMOTEIO.
        Absent,
        // The slave select is refused with EBUSY (a kernel driver holds the
        // address); transfers are not reached.
        AddressBusy,
        // Reads fail with EREMOTEIO; writes are accepted.
        ReadFails,
        // One-byte writes (register pointer select) fail; the rest works, so
        // a read returns whatever register the pointer was left at.
        PointerWriteFails,
        // Three-byte writes (configuration) fail; no conversion starts, so
        // the conversion register keeps the previous input's value.
        ConfigWriteFails,
    };
    Q_ENUM(FailureMode)

    // One transfer as the converter saw it.
    struct Transfer
    {
        qint64 usec = 0;   // microseconds since the converter was created
        char kind = 0;     // 'S' select, 'W' write, 'R' read
        int address = -1;  // the selected address ('S': the one asked for)
        QByteArray bytes;  // written bytes, or the bytes a read returned
        int result = 0;    // bytes transferred, or -errno
        int input = -1;    // 'R' of the conversion register: the input it came from
    };

    // Listens at the sysroot's `busDevice` (TAVRIK_SYSROOT must be set) on
    // `thread`, or on a thread of its own when null. Check isOpen().
    explicit SimConverter(const QString &busDevice = QStringLiteral("/dev/i2c-1"), SimThread *thread = nullptr);
    ~SimConverter() override;

    bool isOpen() const;
    QString socketPath() const;
    // Closes the device (the panel's descriptor goes dead, the path
    // vanishes) and makes it appear again.
    void close();
    bool open();
    // How many times the panel has opened the device.
    int connections() const;

    void setReading(Input input, int reading);
    int reading(Input input) const;
    // The raw 16-bit conversion register for an input (for negative values).
    void setRegister(Input input, qint16 value);
    // Each conversion of the input takes the next reading; after the last
    // one the input stays there.
    void queueReadings(Input input, const QVector<int> &readings);
    int queuedReadings(Input input) const;
    // Conversions vary by up to ±amplitude readings around the set value
    // (a fixed pseudo-random sequence, so runs repeat).
    void setJitter(Input input, int amplitude);

    void setFailureMode(FailureMode mode);
    FailureMode failureMode() const;
    // The next `count` reads fail with EREMOTEIO, whatever the mode.
    void failNextReads(int count);

    // Reads of the conversion register that returned a conversion of `input`.
    int conversionsRead(Input input) const;
    // The last 20000 transfers, oldest first.
    QVector<Transfer> transfers() const;
    void clearTransfers();

    // The converter shim: where it is, whether this process has it loaded,
    // and the usual first line of a test's or a bench's main(): when the
    // shim is not loaded, run the same program again with it preloaded
    // (returns only when that is impossible, with false and a warning).
    static QString preloadLibrary();
    static bool preloadActive();
    // The AddressSanitizer runtime this process runs with, or empty.
    static QString sanitizerRuntime();
    // LD_PRELOAD for a process that should load the shim, given the list it
    // would otherwise have; in a sanitizer build the runtime stays first and,
    // when it had to be added, is named in `addedRuntime`. Give that to the
    // process as TVK_SIMCONV_RUNTIME: the shim then takes the runtime out of
    // LD_PRELOAD again along with itself, so the programs it starts do not
    // inherit either.
    static QByteArray preloadList(const QByteArray &existing, QByteArray *addedRuntime = nullptr);
    static bool ensurePreloaded(int argc, char **argv);

signals:
    // A read returned a conversion: the input and the reading as the panel
    // will see it (emitted on the simulation thread).
    void conversionRead(int input, int reading);

private:
    friend class SimConverterPeer;
    std::unique_ptr<SimThread> ownThread_;
    SimThread *thread_ = nullptr;
    std::shared_ptr<SimConverterShared> shared_;
    SimConverterPeer *peer_ = nullptr;
    QString path_;
};
