#include "maint/rpitool.h"

#include "maint/maintlog.h"
#include "platform/commandrunner.h"
#include "platform/sysroot.h"
#include "platform/threadcheck.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <QUrl>

#include <algorithm>

namespace {
constexpr int kSyncTimeoutMs = 30000;

// The first line of a small sysfs file as an integer.
bool readInteger(const QString &path, qint64 &value)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    bool ok = false;
    value = f.readLine(64).trimmed().toLongLong(&ok);
    return ok;
}
} // namespace

RpiTool::RpiTool(QObject *parent) : QObject(parent), m_timer(this) {}

bool RpiTool::saveScreenshot(const QString &outputDir)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcMaint).noquote() << "DISPLAY =" << qgetenv("DISPLAY");
    qCDebug(lcMaint).noquote() << "QT_QPA_PLATFORM =" << qgetenv("QT_QPA_PLATFORM");
    qCDebug(lcMaint).noquote() << "XDG_RUNTIME_DIR =" << qgetenv("XDG_RUNTIME_DIR");

    const QString dir = Sysroot::path(outputDir);
    if (outputDir.isEmpty() || !QDir().mkpath(dir)) {
        qCWarning(lcMaint).noquote() << "[ERR] Output directory does not exist:" << outputDir;
        return false;
    }
    const QString name = QStringLiteral("screenshot_")
                         + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss"))
                         + QStringLiteral(".png");
    const QString path = QDir(dir).filePath(name);

    const CommandRunner::Result r = CommandRunner::run(Sysroot::path(QStringLiteral("/home/pi/raspi2png/raspi2png")),
                                                       {QStringLiteral("-p"), path}, kScreenshotTimeoutMs);
    if (!r.started || r.timedOut) {
        qCWarning(lcMaint) << "[ERR] raspi2png timeout or failed.";
        return false;
    }
    if (!QFileInfo::exists(path)) {
        qCWarning(lcMaint).noquote() << "[ERR] Screenshot not found at:" << path;
        return false;
    }
    qCDebug(lcMaint).noquote() << "[OK] Screenshot saved to:" << path;
    CommandRunner::run(QStringLiteral("sync"), {}, kSyncTimeoutMs);
    return true;
}

void RpiTool::reboot()
{
    TAVRIK_ASSERT_OWNER(this);
    QThread::msleep(static_cast<unsigned long>(std::max(0, rebootDelayMs_)));
    CommandRunner::startDetached(QStringLiteral("reboot"));
}

bool RpiTool::checkfileExist(const QString &filePath)
{
    TAVRIK_ASSERT_OWNER(this);
    const QUrl url(filePath);
    if (!url.isLocalFile())
        return false;
    const QString local = url.toLocalFile();
    return !local.isEmpty() && QFileInfo::exists(Sysroot::path(local));
}

void RpiTool::deleteImages(const QString &folderPath, const QString &filter)
{
    TAVRIK_ASSERT_OWNER(this);
    // A relative or empty folder would resolve against the working folder,
    // and an empty filter says nothing about which files to remove.
    if (!QDir::isAbsolutePath(folderPath) || filter.trimmed().isEmpty()) {
        qCWarning(lcMaint).noquote() << "[ERR] deleteImages refused:" << folderPath << filter;
        return;
    }
    QDir dir(Sysroot::path(folderPath));
    const QStringList names = dir.entryList({filter}, QDir::Files, QDir::Unsorted);
    for (const QString &name : names) {
        const QString path = dir.filePath(name);
        if (QFile::remove(path))
            qCDebug(lcMaint).noquote() << "Deleted:" << path;
        else
            qCWarning(lcMaint).noquote() << "Failed to delete:" << path;
    }
}

QStringList RpiTool::getCpuCorePaths() const
{
    static const QRegularExpression coreName(QStringLiteral("^cpu[0-9]+$"));
    const QDir cpus(Sysroot::path(QStringLiteral("/sys/devices/system/cpu")));
    QStringList cores;
    for (const QString &name : cpus.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted))
        if (coreName.match(name).hasMatch())
            cores << name;
    // In core order, so the list on screen does not reorder itself.
    std::sort(cores.begin(), cores.end(),
              [](const QString &a, const QString &b) { return a.midRef(3).toInt() < b.midRef(3).toInt(); });
    return cores;
}

void RpiTool::updateData()
{
    TAVRIK_ASSERT_OWNER(this);
    qint64 value = 0;
    if (readInteger(Sysroot::path(QStringLiteral("/sys/class/thermal/thermal_zone0/temp")), value))
        m_temperature = static_cast<float>(value / 1000.0);

    m_frequencies.clear();
    for (const QString &core : getCpuCorePaths()) {
        const QString file =
            Sysroot::path(QStringLiteral("/sys/devices/system/cpu/%1/cpufreq/scaling_cur_freq").arg(core));
        if (readInteger(file, value) && value >= 0)
            m_frequencies << QStringLiteral("%1: %2 MHz").arg(core).arg(value / 1000);
        else
            m_frequencies << QStringLiteral("%1: N/A").arg(core);
    }
    emit dataUpdated();
}
