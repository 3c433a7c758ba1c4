#include "surface/keyscan.h"

#include "platform/commandrunner.h"
#include "platform/sysroot.h"
#include "platform/threadcheck.h"
#include "surface/surfacelog.h"

#include <QDebug>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace {
const char *const kLampCommand = "i2cset -y 1 0x70 0x40 0x40";

std::array<QByteArray, Keyscan::kKeyCount> markerPaths()
{
    std::array<QByteArray, Keyscan::kKeyCount> paths;
    for (int k = 0; k < Keyscan::kKeyCount; ++k)
        paths[size_t(k)] = QFile::encodeName(Keyscan::markerPath(k));
    return paths;
}
} // namespace

Keyscan::Keyscan(QObject *parent) : PollingThread(parent)
{
    qCDebug(lcSurface) << " keyscan.cpp ---- keyscan init...";
}

Keyscan::~Keyscan()
{
    stopAndWait();
}

void Keyscan::stop()
{
    requestStop();
}

QString Keyscan::markerPath(int key)
{
    if (key < 0 || key >= kKeyCount)
        return QString();
    return Sysroot::path(QStringLiteral("/home/pi/gpio") + QString::number(kKeyPins[size_t(key)]));
}

void Keyscan::run()
{
    qCDebug(lcSurface) << " keyscan.cpp ---- run...";
    wasHeld_.fill(false);
    const auto paths = markerPaths();
    const QByteArray folder = QFile::encodeName(Sysroot::path(QStringLiteral("/home/pi")));
    while (!stopping()) {
        checkFolder(folder);
        scan(paths);
        pause(kPassMs);
    }
    qCDebug(lcSurface) << " keyscan.cpp ---- run...886";
}

void Keyscan::scanOnce()
{
    scan(markerPaths());
}

void Keyscan::scan(const std::array<QByteArray, kKeyCount> &paths)
{
    for (int key = 0; key < kKeyCount; ++key) {
        // Existence is the key state; the file is never opened.
        const bool held = ::access(paths[size_t(key)].constData(), F_OK) == 0;
        bool &was = wasHeld_[size_t(key)];
        if (held && !was) {
            qCDebug(lcSurface) << "Press Key" << key;
            emit sendKeyNo(key);
            was = true;
        } else if (!held && was) {
            was = false;
        }
    }
    passes_.fetch_add(1);
}

// Without the folder no key can ever be seen held; say so once, not every
// pass, and once more when it is back.
void Keyscan::checkFolder(const QByteArray &folder)
{
    struct stat st;
    const bool missing = ::stat(folder.constData(), &st) != 0 || !S_ISDIR(st.st_mode);
    if (missing == folderMissing_)
        return;
    folderMissing_ = missing;
    if (missing)
        qCWarning(lcSurface).noquote() << "[WARN] key marker folder missing, no key can be seen:" << QFile::decodeName(folder);
    else
        qCWarning(lcSurface).noquote() << "[WARN] key marker folder present again:" << QFile::decodeName(folder);
}

void Keyscan::setLedLight(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    Q_UNUSED(value); // the controller has one state; every call switches it on
    const QString command = QString::fromLatin1(kLampCommand);
    qCDebug(lcSurface) << " keyscan.cpp ---- setLedLight...";
    qCDebug(lcSurface).noquote() << " keyscan.cpp ---- setLedLight..." << command;
    const CommandRunner::Result r = CommandRunner::shell(command, kLampCommandTimeoutMs);
    if (r.timedOut)
        qCWarning(lcSurface).noquote() << "[WARN] key lamp command did not finish in" << kLampCommandTimeoutMs << "ms:"
                                       << command;
}
