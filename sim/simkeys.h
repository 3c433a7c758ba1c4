#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <mutex>

// The seven hardware keys as the panel sees them: the process on the unit
// that watches the key lines keeps a marker file "/home/pi/gpio<pin>" while a
// key is held. This device creates and removes those files under the
// sysroot (TAVRIK_SYSROOT must be set).
//
// Thread-safe; tap() needs an event loop on the object's thread.
class SimKeys : public QObject
{
    Q_OBJECT
public:
    // Key numbers as the panel reports them.
    enum Key { Lock = 0, Fast = 1, Mid = 2, Slow = 3, Cut = 4, Auto = 5, Unlock = 6 };
    Q_ENUM(Key)
    static constexpr int kKeys = 7;

    explicit SimKeys(QObject *parent = nullptr);
    ~SimKeys() override;

    // The key line of each key (the Pi's own GPIO numbering).
    static int pin(int key);
    static QString markerPath(int key);

    // False when the key number is out of range or the marker file cannot be
    // created (its folder missing).
    bool press(int key);
    bool release(int key);
    void releaseAll();
    // Pressed now, released after holdMs.
    bool tap(int key, int holdMs = 100);
    bool isHeld(int key) const;

    // "press 4", "release 4", oldest first.
    QStringList actions() const;

private:
    mutable std::mutex lock_;
    std::array<bool, kKeys> held_{};
    QStringList actions_;
};
