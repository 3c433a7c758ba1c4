#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class QFile;
class QIODevice;
class QSerialPort;

// Reflashes the switcher mainboard through its boot loader: reset, line
// break, presence probe, erase, the image packet by packet, reset out of the
// boot loader. process() blocks its thread for the whole upgrade, so the
// worker always runs on a thread of its own (UpgradeController makes one).
//
// `mbUart` is opened by process() on the worker's thread and closed again
// before finished() is emitted, so no Qt object of the line is ever used
// from two threads. The caller keeps every other user off the device
// meanwhile.
class MBUpgradeWorker : public QObject
{
    Q_OBJECT
public:
    // The waits of the boot-loader exchange. The defaults are what the
    // mainboard needs; tests shorten them.
    struct Timing {
        int ioWaitMs = 5000;      // one wait for bytes written or received
        int breakMs = 500;        // line break that keeps the board in its boot loader
        int settleMs = 1000;      // after the break, before the first probe
        int probeRetryMs = 200;   // between failed presence probes
        int eraseWaitMs = 3000;   // after the erase command, before its answer is read
    };

    // Timing given to workers created from now on (process-wide; tests set it
    // before starting an upgrade).
    static void setDefaultTiming(const Timing &timing);
    static Timing defaultTiming();

    // Boot-loader byte strings.
    static const QByteArray CommandReset;
    static const QByteArray CommandResetACK;
    static const QByteArray CommandProbe;
    static const QByteArray CommandErase;
    static const QByteArray CommandEraseACK;
    static const QByteArray CommandWriteACK;
    static const QByteArray CommandBootLoaderReset;

    static constexpr int kHeaderSize = 16;
    static constexpr int kProbeTries = 5;
    // Far above any mainboard image (a few hundred KiB); the whole image is
    // held in memory during the upgrade.
    static constexpr qint64 kMaxImageBytes = 8 * 1024 * 1024;

    // `port` is configured (name, speed, framing) but closed; it must live in
    // the thread process() will run on. Neither is owned.
    MBUpgradeWorker(QSerialPort *port, const QString &filePath, QObject *parent = nullptr);

    void setTiming(const Timing &timing) { timing_ = timing; }

    // The image is one the board may be erased for: header, at least one
    // packet, every packet's length prefix and data, nothing after them
    // (read from the device's start); logs the first fault.
    static bool imageComplete(QIODevice &image);
    // The same check on the bytes of a whole image; fills the header and the
    // packets when it passes.
    static bool parseImage(const QByteArray &bytes, QByteArray &header, QList<QByteArray> &packets);
    Timing timing() const { return timing_; }

signals:
    // percent of the image sent, after each packet
    void progressChanged(int percent);
    // text for the upgrade page: "Prepare", "Start", "Upgrade MB : n%", ...
    void logMessage(QString msg);
    // emitted exactly once per process()
    void finished(bool success);

public slots:
    void process();

private:
    bool run();
    bool loadImage();
    bool uartSend(const QByteArray &bytes);
    bool uartRecv(QByteArray &buffer, int n);
    bool uartErase();
    bool checkBootLoadMode();
    bool forceBreakBootLoad(int ms);
    bool resetBootLoadMode();
    bool stopRequested() const;

    QSerialPort *mbUart;
    QString filePath;
    Timing timing_;
    // The image as loadImage() read it.
    QByteArray header_;
    qint64 imageSize_ = 0;
    QList<QByteArray> packets_;
};
