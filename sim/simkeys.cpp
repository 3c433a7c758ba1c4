#include "sim/simkeys.h"

#include "platform/sysroot.h"

#include <QFile>
#include <QTimer>

namespace {
constexpr std::array<int, SimKeys::kKeys> kPins{{26, 6, 22, 23, 24, 25, 27}};
} // namespace

SimKeys::SimKeys(QObject *parent) : QObject(parent) {}

SimKeys::~SimKeys() = default;

int SimKeys::pin(int key)
{
    return (key >= 0 && key < kKeys) ? kPins[size_t(key)] : -1;
}

QString SimKeys::markerPath(int key)
{
    return Sysroot::path(QStringLiteral("/home/pi/gpio") + QString::number(pin(key)));
}

bool SimKeys::press(int key)
{
    if (pin(key) < 0)
        return false;
    QFile marker(markerPath(key));
    if (!marker.open(QIODevice::WriteOnly))
        return false;
    marker.close();
    std::lock_guard<std::mutex> guard(lock_);
    held_[size_t(key)] = true;
    actions_ << QStringLiteral("press %1").arg(key);
    return true;
}

bool SimKeys::release(int key)
{
    if (pin(key) < 0)
        return false;
    const QString path = markerPath(key);
    if (QFile::exists(path) && !QFile::remove(path))
        return false;
    std::lock_guard<std::mutex> guard(lock_);
    held_[size_t(key)] = false;
    actions_ << QStringLiteral("release %1").arg(key);
    return true;
}

void SimKeys::releaseAll()
{
    for (int k = 0; k < kKeys; ++k)
        if (isHeld(k))
            release(k);
}

bool SimKeys::tap(int key, int holdMs)
{
    if (!press(key))
        return false;
    QTimer::singleShot(qMax(0, holdMs), this, [this, key] { release(key); });
    return true;
}

bool SimKeys::isHeld(int key) const
{
    if (pin(key) < 0)
        return false;
    std::lock_guard<std::mutex> guard(lock_);
    return held_[size_t(key)];
}

QStringList SimKeys::actions() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return actions_;
}
