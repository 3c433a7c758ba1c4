#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

// The far side of a simulated serial line: a pseudo-terminal whose slave is
// linked into the sysroot (for example <sysroot>/dev/ttyAMA2), so the panel
// opens it with its real QSerialPort code. Create, open and use a SimPty on
// one thread (a simulated device's own thread): the panel's serial calls
// block the thread they run on, so the peer must not share it.
class SimPty : public QObject
{
    Q_OBJECT
public:
    explicit SimPty(QObject *parent = nullptr);
    ~SimPty() override;

    // Creates the pair in raw mode and links `linkPath` to the slave
    // (replacing a stale link). False with a warning on failure.
    bool open(const QString &linkPath);
    void close();
    bool isOpen() const { return master_ >= 0; }

    QString slaveName() const { return slaveName_; }
    QString linkPath() const { return linkPath_; }

    // Writes all bytes to the line (blocking only while the pty buffer is full).
    bool write(const QByteArray &bytes);

signals:
    // Bytes the panel wrote, as they arrive (a frame may come in pieces).
    void received(const QByteArray &bytes);

private:
    void onReadable();

    int master_ = -1;
    int slaveKeep_ = -1; // held open so the master never sees a hang-up
    QSocketNotifier *notifier_ = nullptr;
    QString slaveName_;
    QString linkPath_;
};
