#pragma once

#include <QProcessEnvironment>
#include <QString>

#include <array>
#include <atomic>
#include <memory>

class SimCamera;
class SimConverter;
class SimKeys;
class SimMainboard;
class SimThread;
class SimTools;

// A whole simulated unit under one sysroot: the mainboard on "ttyAMA2", a
// camera on each camera line, the T-bar/joystick converter on "/dev/i2c-1",
// the seven keys, the Pi's tools as recording stand-ins, and the files the
// panel reads from the Pi (power button, temperature, clocks, MAC address).
// Used by the end-to-end tests and by the demo (tavrik-sim) alike.
class SimUnit
{
public:
    static constexpr int kCameras = 3;

    // `sysroot` must exist; TAVRIK_SYSROOT is set to it for this process,
    // since every simulated device resolves its path through it.
    explicit SimUnit(const QString &sysroot);
    ~SimUnit();
    SimUnit(const SimUnit &) = delete;
    SimUnit &operator=(const SimUnit &) = delete;

    QString sysroot() const { return sysroot_; }
    // True when every device came up.
    bool isUp() const;
    // What did not come up, for a log line.
    QString problems() const;

    SimMainboard &mainboard() { return *mainboard_; }
    SimCamera &camera(int index) { return *cameras_.at(static_cast<size_t>(index)); }
    SimConverter &converter() { return *converter_; }
    SimKeys &keys() { return *keys_; }
    SimTools &tools() { return *tools_; }

    // The power button (GPIO 17 reads 0 while it is held).
    void setPowerButton(bool pressed);
    // Offers the panel a GPIO chip for the power button (through the
    // converter shim), as a unit's kernel does; without it the panel reads
    // the button with the gpio tool. Off by default.
    void setGpioChip(bool present);
    bool powerButtonPressed() const { return powerPressed_; }

    // The environment a panel process needs to meet this unit: the sysroot,
    // the stand-ins first on PATH, and the converter shim preloaded.
    QProcessEnvironment panelEnvironment(const QProcessEnvironment &base) const;

    static QString cameraDevice(int index);

private:
    QString gpioChipPath() const;
    void seedFiles();
    void installLoopbackNetwork();

    QString sysroot_;
    std::unique_ptr<SimThread> thread_;
    std::unique_ptr<SimTools> tools_;
    std::unique_ptr<SimMainboard> mainboard_;
    std::array<std::unique_ptr<SimCamera>, kCameras> cameras_;
    std::unique_ptr<SimConverter> converter_;
    std::unique_ptr<SimKeys> keys_;
    std::atomic_bool powerPressed_{false};
};
