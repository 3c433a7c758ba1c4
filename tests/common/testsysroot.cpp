#include "tests/common/testsysroot.h"

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
    qputenv("PATH", binDir().toLocal8Bit() + ':' + oldPath_);
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
    return {"reboot", "shutdown", "halt", "poweroff", "mount", "umount", "sudo", "gpio",
            "raspi-gpio", "i2cset", "i2cget", "raspi2png", "systemctl"};
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

void TestSysroot::addStandIn(const QString &tool, const QByteArray &output, int exitCode) const
{
    const QString script = binDir() + QLatin1Char('/') + tool;
    const QString calls = root() + QStringLiteral("/.calls");
    QFile f(script);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    // Records "<ms> <args>" to its own log and to the shared log, then
    // plays back the canned output and exit code.
    f.write(QStringLiteral(
                "#!/bin/sh\n"
                "t=$(date +%s%3N)\n"
                "printf '%s %s\\n' \"$t\" \"$*\" >> '%1/%2.log'\n"
                "printf '%s %s\\n' '%2' \"$*\" >> '%1/all.log'\n"
                "[ -f '%1/%2.out' ] && cat '%1/%2.out'\n"
                "exit $(cat '%1/%2.rc' 2>/dev/null || echo 0)\n")
                .arg(calls, tool)
                .toLocal8Bit());
    f.close();
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                     | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
                     | QFileDevice::ExeOther);
    setStandInOutput(tool, output, exitCode);
}

void TestSysroot::setStandInOutput(const QString &tool, const QByteArray &output, int exitCode) const
{
    const QString calls = root() + QStringLiteral("/.calls/") + tool;
    QFile out(calls + QStringLiteral(".out"));
    out.open(QIODevice::WriteOnly | QIODevice::Truncate);
    out.write(output);
    QFile rc(calls + QStringLiteral(".rc"));
    rc.open(QIODevice::WriteOnly | QIODevice::Truncate);
    rc.write(QByteArray::number(exitCode));
}

QList<QPair<qint64, QString>> TestSysroot::timedCalls(const QString &tool) const
{
    QList<QPair<qint64, QString>> result;
    QFile f(root() + QStringLiteral("/.calls/") + tool + QStringLiteral(".log"));
    if (!f.open(QIODevice::ReadOnly))
        return result;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        const int sp = line.indexOf(' ');
        result.append({line.left(sp).toLongLong(), QString::fromLocal8Bit(line.mid(sp + 1))});
    }
    return result;
}

QStringList TestSysroot::calls(const QString &tool) const
{
    QStringList result;
    for (const auto &c : timedCalls(tool))
        result << c.second;
    return result;
}

QStringList TestSysroot::allCalls() const
{
    QFile f(root() + QStringLiteral("/.calls/all.log"));
    QStringList result;
    if (!f.open(QIODevice::ReadOnly))
        return result;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (!line.isEmpty())
            result << QString::fromLocal8Bit(line);
    return result;
}

void TestSysroot::clearCalls() const
{
    QDir d(root() + QStringLiteral("/.calls"));
    for (const QString &f : d.entryList({"*.log"}, QDir::Files))
        d.remove(f);
}
