#pragma once

#include "camera/cameralinestats.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include <atomic>
#include <functional>

class QTimer;

// One camera line, owned by vekCameraObject and living on its thread (the
// camera lane); every call but abortExchanges comes from there. Every call
// blocks that thread: the camera protocol is a strict request/answer
// exchange and the callers wait for the answer in line, not through signals.
class serialPort : public QObject
{
    Q_OBJECT
public:
    explicit serialPort(QObject *parent = nullptr);
    ~serialPort() override;

    // Each stores the value and applies it to the port at once.
    void setBaudRate(int value);
    void setDataBits(int value);
    void setParity(int value);
    void setStopBits(int value);
    void setFlowControl(int value);

    // Closes, applies every stored setting and opens `select` ("ttyAMA0";
    // resolved through the sysroot). "OK" on success, else the port's error
    // text; callers look for the substring "OK".
    QString openSerialPort(const QString &select);
    // The same on the stored name.
    bool resetSerialPort();
    void closeSerialPort();
    bool isOpened() const;

    // Drops everything buffered in both directions.
    void clearTXRX();

    // Writes one message after dropping whatever arrived before it, so a
    // late answer to an earlier message is never taken for this one's.
    // Bytes written, or -1 (nothing written) when the port is not open.
    qint64 writeData(const QByteArray &data);

    // Collects the answer for up to `timeoutMs`; may hold several answers
    // back to back (an acknowledgement and a completion). Empty when the
    // camera said nothing. With `answered`, a packet that completes during a
    // wait ends the collection only when `answered` accepts what came so far.
    QByteArray receive(int timeoutMs, const std::function<bool(const QByteArray &)> &answered = {});
    // Waits up to 166 ms, then replaces `data` with everything readable.
    void readData(QByteArray &data);
    // Exactly `expectedLength` bytes within `timeoutMs`, else empty.
    QByteArray receiveExact(int expectedLength, int timeoutMs);
    // Reads until a byte 0xFF ends the data (at most 20 waits of 100 ms).
    void readDataUntilAck(QByteArray &data);

    void handleError(QSerialPort::SerialPortError error);

    // The stored device name as given to openSerialPort ("ttyAMA0").
    QString portName() const { return name; }
    QString errorString() const;
    // The port itself, for the owner to connect to errorOccurred.
    QSerialPort *port() const { return serial; }

    // Upper bound of one collected answer; a VISCA answer is at most a few
    // dozen bytes, so anything beyond this is line noise and is dropped.
    static constexpr int MaxReplyBytes = 4096;
    // How often an idle line is emptied.
    static constexpr int IdleDrainMs = 1000;

    // Drops what arrived while no exchange ran (the drain timer calls it).
    void drainIdle();

    // Any thread, once, when the panel is stopping: a wait under way ends
    // within a poll slice and every later write is refused unsent.
    void abortExchanges() { aborted_.store(true); }
    // Messages, time-outs and reply times of the last minute (the line's
    // thread only).
    CameraLineStats::Snapshot lineStats();

private:
    // Applies every stored line setting to the port and opens it.
    bool applySettingsAndOpen();
    void appendBounded(QByteArray &to, const QByteArray &chunk) const;

    QSerialPort *serial = nullptr;
    QString name;
    qint32 baudRate = 38400;
    QString stringBaudRate;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QString stringDataBits;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QString stringParity;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    QString stringStopBits;
    QSerialPort::FlowControl flowControl = QSerialPort::NoFlowControl;
    QString stringFlowControl;
    bool localEchoEnabled = false;

    std::atomic<bool> aborted_{false};
    static qint64 steadyMs();

    CameraLineStats stats_;
    qint64 sentAt_ = 0; // when the last message was written (steadyMs)
    QTimer *idleDrain_ = nullptr;
    qint64 idleDropped_ = 0;
    QElapsedTimer idleLogged_;
};
