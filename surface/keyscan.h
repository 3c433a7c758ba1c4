#pragma once

#include "platform/pollingthread.h"

#include <QString>

#include <array>
#include <atomic>

// The seven hardware keys. The key lines are watched by a process outside
// the panel that keeps a marker file "/home/pi/gpio<pin>" while a key is
// held; this thread tests those files every 30 ms and reports each press
// once, on its leading edge. It also switches the key lamp controller on.
// The object lives on the thread that made it (the system lane on the
// panel): setLedLight is called there (checked in debug builds), stop()
// from any thread.
class Keyscan : public PollingThread
{
    Q_OBJECT
public:
    // Key lines in the Pi's own numbering; the key number is the index in
    // kKeyPins.
    enum KeyPin {
        KEY_LOCK_PIN = 26,
        KEY_FAST_PIN = 6,
        KEY_MID_PIN = 22,
        KEY_SLOW_PIN = 23,
        KEY_CUT_PIN = 24,
        KEY_AUTO_PIN = 25,
        KEY_LOCK_PIN_X = 27,
    };
    static constexpr int kKeyCount = 7;
    static constexpr std::array<int, kKeyCount> kKeyPins{
        {KEY_LOCK_PIN, KEY_FAST_PIN, KEY_MID_PIN, KEY_SLOW_PIN, KEY_CUT_PIN, KEY_AUTO_PIN, KEY_LOCK_PIN_X}};
    static constexpr int kPassMs = 30;
    // A lamp command that hangs (a stuck bus) must not freeze the interface.
    static constexpr int kLampCommandTimeoutMs = 3000;

    explicit Keyscan(QObject *parent = nullptr);
    // stop(), then waits for the thread: at once from its pause.
    ~Keyscan() override;

    // The loop ends at its next pass (woken from its pause).
    Q_INVOKABLE void stop();
    // Switches the key lamp controller on; `value` is not used.
    Q_INVOKABLE void setLedLight(int value);

    // One pass over the seven marker files, as the thread makes it every
    // kPassMs; tests call it directly on an object whose thread is not
    // running.
    void scanOnce();
    // Passes made so far.
    quint64 passCount() const { return passes_.load(); }

    // "/home/pi/gpio<pin>" of a key, through the sysroot.
    static QString markerPath(int key);

signals:
    void sendKeyNo(int keyno);

protected:
    void run() override;

private:
    void scan(const std::array<QByteArray, kKeyCount> &paths);
    void checkFolder(const QByteArray &folder);

    std::array<bool, kKeyCount> wasHeld_{};
    std::atomic<quint64> passes_{0};
    bool folderMissing_ = false;
};
