#pragma once

#include "platform/pollingthread.h"

#include <QStringList>

#include <memory>

class GpioInput;
class QTimer;

// The power button, the power-off request line and the LED driver of the
// panel. The thread only watches the button and emits sendShutDown(); the
// interface decides what to do. Where the kernel offers the GPIO chip the
// thread sleeps until the button's line changes; elsewhere (an old kernel,
// a PC, the simulated unit) it samples the line with the gpio tool. Everything else (timers, shutdown(), the LED
// registers) runs on the thread that created the object, the interface's.
class PowerCtl : public PollingThread
{
    Q_OBJECT
public:
    explicit PowerCtl(QObject *parent = nullptr);
    ~PowerCtl() override;

    Q_INVOKABLE void clear();
    Q_INVOKABLE void shutdown();
    Q_INVOKABLE void sendI2cReset();
    Q_INVOKABLE void setFast(bool on);
    Q_INVOKABLE void setMid(bool on);
    Q_INVOKABLE void setSlow(bool on);
    Q_INVOKABLE void setLock(bool on);
    Q_INVOKABLE void allOff();
    Q_INVOKABLE void startThread();
    Q_INVOKABLE void stopThread();

    bool initLED();
    void apply();

    quint8 lockFastRegister() const { return lockFastReg; }
    quint8 midSlowRegister() const { return midSlowReg; }
    int ticksSinceShutdown() const { return count; }

    // Longest a GPIO or I2C tool may take before it is given up, so a hung
    // tool cannot freeze the interface or the polling thread.
    static constexpr int kToolTimeoutMs = 3000;

signals:
    void sendShutDown();

public slots:
    // Timer ticks after shutdown(); public so tests can tick them directly.
    void sendPowerOff();
    void countTime();

protected:
    void run() override;
    // The button's line on the GPIO chip, or nullptr to sample it with the
    // tool. Called on the polling thread.
    virtual std::unique_ptr<GpioInput> openButton();

private:
    bool watchEdges(GpioInput &button);
    void pollWithTool();
    bool readRegister(const QString &reg, quint8 &value);
    void pulse(const QStringList &commands);

    QTimer *pTimer;
    QTimer *finalTimer;
    int count = 0;
    bool status = false;
    quint8 lockFastReg = 0;
    quint8 midSlowReg = 0;
    const QString bus = QStringLiteral("1");
    const QString addr = QStringLiteral("0x05");
};
