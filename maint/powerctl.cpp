#include "maint/powerctl.h"

#include "maint/gpioinput.h"
#include "maint/maintlog.h"
#include "platform/commandrunner.h"
#include "platform/sysroot.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace {
constexpr int kI2cReadTimeoutMs = 300;
// The power button is GPIO 17 in the Broadcom numbering, which is the line
// offset on the Pi's main GPIO chip.
constexpr unsigned kButtonLine = 17;
// How long an edge wait sleeps before it looks for a stop: the bound on
// stopThread() while the button rests.
constexpr int kEdgeWaitMs = 250;
// While the button is held the request repeats at the sampling loop's pace
// (100 ms + 50 ms), so a dialog closed with the button still down reopens.
constexpr int kHeldRepeatMs = 150;

void runShell(const QString &command)
{
    const CommandRunner::Result r = CommandRunner::shell(command, PowerCtl::kToolTimeoutMs);
    if (r.timedOut)
        qCWarning(lcMaint).noquote() << "[ERR] command timed out:" << command;
}
} // namespace

PowerCtl::PowerCtl(QObject *parent)
    : PollingThread(parent), pTimer(new QTimer(this)), finalTimer(new QTimer(this))
{
    qCDebug(lcMaint) << "int...";
    connect(pTimer, &QTimer::timeout, this, &PowerCtl::sendPowerOff);
    connect(finalTimer, &QTimer::timeout, this, &PowerCtl::countTime);

    runShell(QStringLiteral("sudo raspi-gpio set 27 op pn dh"));
    runShell(QStringLiteral("sudo raspi-gpio set 17 ip pu"));
    initLED();
}

PowerCtl::~PowerCtl()
{
    stopThread();
}

bool PowerCtl::readRegister(const QString &reg, quint8 &value)
{
    const CommandRunner::Result r = CommandRunner::run(
        QStringLiteral("i2cget"), {QStringLiteral("-y"), QStringLiteral("-a"), bus, addr, reg}, kI2cReadTimeoutMs);
    if (!r.started || r.timedOut)
        return false;
    // An answer that is not a byte leaves the register as it was rather
    // than lighting a random pattern.
    bool ok = false;
    const uint v = QString::fromLatin1(r.out).trimmed().toUInt(&ok, 16);
    if (ok && v <= 0xFF)
        value = static_cast<quint8>(v);
    else
        qCWarning(lcMaint).noquote() << "[ERR] i2cget" << reg << "unexpected answer:" << r.out.trimmed();
    return true;
}

bool PowerCtl::initLED()
{
    if (!readRegister(QStringLiteral("0x02"), lockFastReg))
        return false;
    qCDebug(lcMaint).noquote() << "lockFastReg" << QString::asprintf("0x%02X", lockFastReg);
    if (!readRegister(QStringLiteral("0x03"), midSlowReg))
        return false;
    qCDebug(lcMaint).noquote() << "midSlowReg" << QString::asprintf("0x%02X", midSlowReg);
    return true;
}

// Register value as the tool takes it: two lower-case hexadecimal digits.
static void writeRegister(const char *reg, quint8 value)
{
    CommandRunner::run(QStringLiteral("i2cset"),
                       {QStringLiteral("-y"), QStringLiteral("-a"), QStringLiteral("1"), QStringLiteral("0x05"),
                        QLatin1String(reg), QStringLiteral("0x%1").arg(value, 2, 16, QLatin1Char('0'))},
                       PowerCtl::kToolTimeoutMs);
}

void PowerCtl::apply()
{
    qCDebug(lcMaint).noquote() << "lockFastReg" << QString::asprintf("0x%02X", lockFastReg);
    qCDebug(lcMaint).noquote() << "midSlowReg" << QString::asprintf("0x%02X", midSlowReg);
    writeRegister("0x02", lockFastReg);
    writeRegister("0x03", midSlowReg);
}

void PowerCtl::run()
{
    qCDebug(lcMaint) << "trigger to shut down system";
    std::unique_ptr<GpioInput> button = openButton();
    if (button && watchEdges(*button))
        return;
    pollWithTool();
}

std::unique_ptr<GpioInput> PowerCtl::openButton()
{
    const QString chip = Sysroot::path(QStringLiteral("/dev/gpiochip0"));
    if (!QFileInfo::exists(chip))
        return nullptr;
    QString why;
    std::unique_ptr<GpioInput> button = GpioInput::open(chip, kButtonLine, "tavrik power button", &why);
    if (!button)
        qCWarning(lcMaint).noquote() << "[WARN] power button: reading it with the gpio tool;" << why;
    return button;
}

// No process and no file: the thread sleeps in the kernel until the line
// changes. False when the line failed; the caller then falls back to the tool.
bool PowerCtl::watchEdges(GpioInput &button)
{
    while (!stopping()) {
        const int level = button.level();
        if (level == 0) {
            emit sendShutDown();
            pause(kHeldRepeatMs);
        } else if (level < 0 || !button.waitForChange(kEdgeWaitMs)) {
            qCWarning(lcMaint) << "[ERR] power button: the GPIO line failed; reading it with the gpio tool";
            return false;
        }
    }
    return true;
}

void PowerCtl::pollWithTool()
{
    const QString file = Sysroot::path(QStringLiteral("/home/pi/power.txt"));
    const QString command = QStringLiteral("gpio -g read 17 > ") + file;
    while (!stopping()) {
        runShell(command);
        QByteArray line;
        QFile f(file);
        if (f.open(QIODevice::ReadOnly))
            line = f.readLine(64);
        f.close();
        if (!pause(100))
            break;
        // The tool prints the level alone; anything else (an error text that
        // happens to hold a 0) must not pop the shutdown dialog on air.
        if (line.trimmed() == "0")
            emit sendShutDown();
        pause(50);
    }
}

void PowerCtl::startThread()
{
    start(QThread::InheritPriority);
}

void PowerCtl::stopThread()
{
    stopAndWait();
}

void PowerCtl::clear()
{
    qCDebug(lcMaint) << "clear...";
    status = false;
}

// High, low, high on the power-off request line, 200 ms apart.
void PowerCtl::pulse(const QStringList &commands)
{
    for (int i = 0; i < commands.size(); ++i) {
        if (i > 0)
            msleep(200);
        runShell(commands.at(i));
    }
}

void PowerCtl::shutdown()
{
    qCDebug(lcMaint) << "shutdown...";
    msleep(500);
    finalTimer->start(10);
    pTimer->start(800);
    // The operating system is not shut down from here: the power controller
    // cuts the power once it sees the request pulses.
    qCDebug(lcMaint) << "sudo -S shutdown -h now";
    pulse({QStringLiteral("sudo gpio -g write 27 1"), QStringLiteral("sudo gpio -g write 27 0"),
           QStringLiteral("sudo gpio -g write 27 1")});
    qCDebug(lcMaint) << "222222: ";
}

void PowerCtl::sendPowerOff()
{
    qCDebug(lcMaint) << "sendPowerOff..22222.";
    // These pulses address the pin in the tool's own numbering (no -g),
    // with the command texts exactly as the power controller was tuned to.
    pulse({QStringLiteral("sudo gpio   write 27 1"), QStringLiteral("sudo gpio  write 27 0"),
           QStringLiteral("sudo gpio  write 27 1")});
}

void PowerCtl::countTime()
{
    qCDebug(lcMaint) << "sendPowerOff..count:" << count;
    ++count;
}

void PowerCtl::sendI2cReset()
{
    qCDebug(lcMaint) << "sendI2cReset..11111.";
}

void PowerCtl::setFast(bool on)
{
    Q_UNUSED(on)
}

void PowerCtl::setMid(bool on)
{
    Q_UNUSED(on)
}

void PowerCtl::setSlow(bool on)
{
    Q_UNUSED(on)
}

void PowerCtl::setLock(bool on)
{
    Q_UNUSED(on)
}

void PowerCtl::allOff()
{
    lockFastReg = 0x11;
    midSlowReg = 0x11;
    apply();
}
