#include "sim/simunit.h"

#include "sim/simcamera.h"
#include "sim/simconverter.h"
#include "sim/simkeys.h"
#include "sim/simmainboard.h"
#include "sim/simpiscripts.h"
#include "sim/simthread.h"
#include "sim/simtools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content);
}
} // namespace

QString SimUnit::cameraDevice(int index)
{
    static const char *const names[kCameras] = {"ttyAMA0", "ttyAMA1", "ttyUSB0"};
    return QString::fromLatin1(names[index]);
}

SimUnit::SimUnit(const QString &sysroot) : sysroot_(QDir(sysroot).absolutePath())
{
    qputenv("TAVRIK_SYSROOT", sysroot_.toLocal8Bit());
    seedFiles();

    // The Pi's own scripts (meter program, capture, preview...) first, then
    // the stand-ins for the system tools.
    SimPiScripts::Options scripts;
    scripts.meterMoving = true;
    SimPiScripts::install(sysroot_, scripts);
    tools_ = std::make_unique<SimTools>(sysroot_);
    tools_->installDefaults();
    // The power button reads "1" while it is not pressed.
    tools_->setOutput(QStringLiteral("gpio"), "1\n");
    installLoopbackNetwork();

    // One thread carries every serial peer: they only react to bytes, and
    // the panel (another process or the test thread) never shares it.
    thread_ = std::make_unique<SimThread>();
    mainboard_ = std::make_unique<SimMainboard>(QStringLiteral("ttyAMA2"), thread_.get());
    for (int i = 0; i < kCameras; ++i)
        cameras_[static_cast<size_t>(i)] = std::make_unique<SimCamera>(cameraDevice(i), thread_.get());
    converter_ = std::make_unique<SimConverter>(QStringLiteral("/dev/i2c-1"), thread_.get());
    // Controls at rest: T-bar at its lower end, joystick and rocker centred.
    converter_->setReading(SimConverter::TbarInput, 20);
    converter_->setReading(SimConverter::ZoomInput, 1250);
    converter_->setReading(SimConverter::JoystickXInput, 1240);
    converter_->setReading(SimConverter::JoystickYInput, 1240);
    keys_ = std::make_unique<SimKeys>();
}

SimUnit::~SimUnit()
{
    keys_.reset();
    converter_.reset();
    for (auto &c : cameras_)
        c.reset();
    mainboard_.reset();
    thread_.reset();
}

void SimUnit::setPowerButton(bool pressed)
{
    powerPressed_ = pressed;
    tools_->setOutput(QStringLiteral("gpio"), pressed ? "0\n" : "1\n");
    if (QFileInfo::exists(gpioChipPath()))
        writeFile(gpioChipPath(), pressed ? "0\n" : "1\n");
}

QString SimUnit::gpioChipPath() const { return sysroot_ + QStringLiteral("/dev/gpiochip0"); }

void SimUnit::setGpioChip(bool present)
{
    if (present)
        writeFile(gpioChipPath(), powerPressed_ ? "0\n" : "1\n");
    else
        QFile::remove(gpioChipPath());
}

void SimUnit::installLoopbackNetwork()
{
    // The panel's "eth0" lives on loopback, so whatever it answers or
    // broadcasts from the addresses it reads stays on this machine. One
    // stand-in answers both "ip addr show eth0" and "ip route".
    tools_->install(QStringLiteral("ip"),
                    "2: eth0: <BROADCAST,MULTICAST,UP,LOWER_UP> mtu 1500 state UP\n"
                    "    link/ether dc:a6:32:00:00:01 brd ff:ff:ff:ff:ff:ff\n"
                    "    inet 127.0.0.5/24 brd 127.0.0.255 scope global eth0\n"
                    "default via 127.0.0.1 dev eth0\n");
    // The older readers take fields 2, 4 and 5 of the lines naming inet,
    // netmask and broadcast, and the broadcast after a colon: one line that
    // all three read as the address, mask and broadcast above.
    tools_->install(QStringLiteral("ifconfig"),
                    "eth0: flags=4163<UP,BROADCAST,RUNNING,MULTICAST>  mtu 1500\n"
                    "        inet 127.0.0.5  netmask 255.255.255.0  bcast:127.0.0.255 broadcast\n");
    // The panel's journal for the support bundle, never the machine's.
    tools_->install(QStringLiteral("journalctl"),
                    "Dec 07 01:02:03 unit tavrik[412]: 01:02:03.456 [commandexecobject.cpp connect 210][I] : "
                    "mainboard connected\n"
                    "Dec 07 01:02:09 unit tavrik[412]: 01:02:09.012 [vekcameraobject.cpp sendInquiry 88][W] : "
                    "[WARN] No response received in 300 ms\n");
    QDir().mkpath(sysroot_ + QStringLiteral("/sbin"));
    QFile::remove(sysroot_ + QStringLiteral("/sbin/ifconfig"));
    QFile::link(tools_->binDir() + QStringLiteral("/ifconfig"), sysroot_ + QStringLiteral("/sbin/ifconfig"));
}

void SimUnit::seedFiles()
{
    for (const char *dir : {"/dev", "/etc", "/boot", "/home/pi", "/home/pi/.config/Tervana",
                            "/mnt/tervana", "/tmp"})
        QDir().mkpath(sysroot_ + QLatin1String(dir));
    writeFile(sysroot_ + "/sys/class/net/eth0/address", "dc:a6:32:00:00:01\n");
    writeFile(sysroot_ + "/sys/class/thermal/thermal_zone0/temp", "48312\n");
    // What the service page reads of the kernel: link state, uptime, load, memory.
    writeFile(sysroot_ + "/sys/class/net/eth0/operstate", "up\n");
    writeFile(sysroot_ + "/proc/uptime", "3725.31 13890.02\n");
    writeFile(sysroot_ + "/proc/stat", "cpu  4705 150 1120 16250 520 0 30 0 0 0\n");
    writeFile(sysroot_ + "/proc/meminfo", "MemTotal:        3884328 kB\nMemFree:         2967244 kB\n"
                                          "MemAvailable:    3312560 kB\n");
    for (int cpu = 0; cpu < 4; ++cpu)
        writeFile(sysroot_ + QStringLiteral("/sys/devices/system/cpu/cpu%1/cpufreq/scaling_cur_freq").arg(cpu),
                  "1500000\n");
    // Loopback-only examples: the simulated unit never names a real network.
    writeFile(sysroot_ + "/etc/resolv.conf", "nameserver 127.0.0.53\n");
    if (!QFileInfo::exists(sysroot_ + "/etc/dhcpcd.conf"))
        writeFile(sysroot_ + "/etc/dhcpcd.conf", "# A sample configuration for dhcpcd.\nhostname\nclientid\n");
    if (!QFileInfo::exists(sysroot_ + "/boot/config.txt"))
        writeFile(sysroot_ + "/boot/config.txt", "dtparam=audio=on\n");
}

bool SimUnit::isUp() const { return problems().isEmpty(); }

QString SimUnit::problems() const
{
    QStringList p;
    if (!mainboard_->isOpen())
        p << QStringLiteral("mainboard line");
    for (int i = 0; i < kCameras; ++i)
        if (!cameras_[static_cast<size_t>(i)]->isOpen())
            p << QStringLiteral("camera line ") + cameraDevice(i);
    if (!converter_->isOpen())
        p << QStringLiteral("converter");
    return p.join(QStringLiteral(", "));
}

QProcessEnvironment SimUnit::panelEnvironment(const QProcessEnvironment &base) const
{
    QProcessEnvironment env = base;
    env.insert(QStringLiteral("TAVRIK_SYSROOT"), sysroot_);
    env.insert(QStringLiteral("PATH"),
               QString::fromLocal8Bit(tools_->pathWithStandIns(base.value(QStringLiteral("PATH")).toLocal8Bit())));
    const QString shim = SimConverter::preloadLibrary();
    if (!shim.isEmpty()) {
        QByteArray runtime;
        env.insert(QStringLiteral("LD_PRELOAD"), QFile::decodeName(SimConverter::preloadList(
                                                     QFile::encodeName(base.value(QStringLiteral("LD_PRELOAD"))), &runtime)));
        if (!runtime.isEmpty())
            env.insert(QStringLiteral("TVK_SIMCONV_RUNTIME"), QFile::decodeName(runtime));
    }
    return env;
}
