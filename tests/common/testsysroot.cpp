#include "tests/common/testsysroot.h"

#include "sim/simtools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TestSysroot::TestSysroot()
{
    hadSysroot_ = qEnvironmentVariableIsSet("TAVRIK_SYSROOT");
    oldSysroot_ = qgetenv("TAVRIK_SYSROOT");
    oldPath_ = qgetenv("PATH");
    if (!dir_.isValid())
        qFatal("cannot create a temporary sysroot");

    const QStringList folders{"/dev", "/etc", "/boot", "/home/pi", "/home/pi/.config/Tervana",
                              "/mnt/tervana", "/sys/class/net/eth0", "/tmp", "/.calls",
                              "/.standins"};
    for (const QString &f : folders)
        QDir().mkpath(path(f));

    for (const QString &tool : defaultStandIns())
        addStandIn(tool);

    qputenv("TAVRIK_SYSROOT", root().toLocal8Bit());
    qputenv("PATH", SimTools(root()).pathWithStandIns(oldPath_));
}

TestSysroot::~TestSysroot()
{
    if (hadSysroot_)
        qputenv("TAVRIK_SYSROOT", oldSysroot_);
    else
        qunsetenv("TAVRIK_SYSROOT");
    qputenv("PATH", oldPath_);
}

QStringList TestSysroot::defaultStandIns()
{
    return SimTools::systemChangingTools();
}

QString TestSysroot::path(const QString &absolutePath) const
{
    return absolutePath.startsWith(QLatin1Char('/')) ? root() + absolutePath
                                                     : root() + QLatin1Char('/') + absolutePath;
}

bool TestSysroot::writeFile(const QString &absolutePath, const QByteArray &content) const
{
    const QString p = path(absolutePath);
    QDir().mkpath(QFileInfo(p).absolutePath());
    QFile f(p);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(content) == content.size();
}

QByteArray TestSysroot::readFile(const QString &absolutePath) const
{
    QFile f(path(absolutePath));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString TestSysroot::binDir() const
{
    return SimTools(root()).binDir();
}

void TestSysroot::addStandIn(const QString &tool, const QByteArray &output, int exitCode) const
{
    SimTools(root()).install(tool, output, exitCode);
}

void TestSysroot::setStandInOutput(const QString &tool, const QByteArray &output, int exitCode) const
{
    SimTools(root()).setOutput(tool, output, exitCode);
}

QStringList TestSysroot::calls(const QString &tool) const
{
    return SimTools(root()).calls(tool);
}

QStringList TestSysroot::allCalls() const
{
    return SimTools(root()).allCalls();
}

void TestSysroot::clearCalls() const
{
    SimTools(root()).clearCalls();
}
