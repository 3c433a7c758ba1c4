#include "sim/simtools.h"

#include <QDir>
#include <QFile>

SimTools::SimTools(const QString &sysroot) : sysroot_(sysroot)
{
    QDir().mkpath(binDir());
    QDir().mkpath(callsDir());
}

QStringList SimTools::systemChangingTools()
{
    return {"reboot", "shutdown", "halt", "poweroff", "mount", "umount", "sudo", "gpio",
            "raspi-gpio", "i2cset", "i2cget", "raspi2png", "systemctl"};
}

QString SimTools::binDir() const { return sysroot_ + QStringLiteral("/.standins"); }
QString SimTools::callsDir() const { return sysroot_ + QStringLiteral("/.calls"); }

QByteArray SimTools::pathWithStandIns(const QByteArray &path) const
{
    return binDir().toLocal8Bit() + (path.isEmpty() ? QByteArray() : ':' + path);
}

void SimTools::installDefaults() const
{
    for (const QString &tool : systemChangingTools())
        install(tool);
}

void SimTools::install(const QString &tool, const QByteArray &output, int exitCode) const
{
    QFile f(binDir() + QLatin1Char('/') + tool);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    // Records "<ms> <args>" to its own log and "<tool> <args>" to the shared
    // one, then plays back the canned output and exit code.
    f.write(QStringLiteral("#!/bin/sh\n"
                           "t=$(date +%s%3N)\n"
                           "printf '%s %s\\n' \"$t\" \"$*\" >> '%1/%2.log'\n"
                           "printf '%s %s\\n' '%2' \"$*\" >> '%1/all.log'\n"
                           "[ -f '%1/%2.out' ] && cat '%1/%2.out'\n"
                           "exit $(cat '%1/%2.rc' 2>/dev/null || echo 0)\n")
                .arg(callsDir(), tool)
                .toLocal8Bit());
    f.close();
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                     | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
                     | QFileDevice::ExeOther);
    setOutput(tool, output, exitCode);
}

void SimTools::setOutput(const QString &tool, const QByteArray &output, int exitCode) const
{
    const QString base = callsDir() + QLatin1Char('/') + tool;
    QFile out(base + QStringLiteral(".out"));
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        out.write(output);
    QFile rc(base + QStringLiteral(".rc"));
    if (rc.open(QIODevice::WriteOnly | QIODevice::Truncate))
        rc.write(QByteArray::number(exitCode));
}

QList<QPair<qint64, QString>> SimTools::timedCalls(const QString &tool) const
{
    QList<QPair<qint64, QString>> result;
    QFile f(callsDir() + QLatin1Char('/') + tool + QStringLiteral(".log"));
    if (!f.open(QIODevice::ReadOnly))
        return result;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        const int sp = line.indexOf(' ');
        if (sp < 0)
            continue;
        result.append({line.left(sp).toLongLong(), QString::fromLocal8Bit(line.mid(sp + 1))});
    }
    return result;
}

QStringList SimTools::calls(const QString &tool) const
{
    QStringList result;
    for (const auto &c : timedCalls(tool))
        result << c.second;
    return result;
}

QStringList SimTools::allCalls() const
{
    QFile f(callsDir() + QStringLiteral("/all.log"));
    QStringList result;
    if (!f.open(QIODevice::ReadOnly))
        return result;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (!line.isEmpty())
            result << QString::fromLocal8Bit(line);
    return result;
}

QString SimTools::allCallsPath() const { return callsDir() + QStringLiteral("/all.log"); }

QStringList SimTools::callsSince(qint64 *offset) const
{
    QStringList result;
    QFile f(allCallsPath());
    if (!f.open(QIODevice::ReadOnly)) {
        *offset = 0;
        return result;
    }
    if (f.size() < *offset)
        *offset = 0;
    if (!f.seek(*offset))
        return result;
    // A stand-in may be half way through its line: take whole lines only.
    const QByteArray tail = f.read(1 << 20);
    const int end = tail.lastIndexOf('\n');
    if (end < 0)
        return result;
    *offset += end + 1;
    for (const QByteArray &line : tail.left(end).split('\n'))
        if (!line.isEmpty())
            result << QString::fromLocal8Bit(line);
    return result;
}

void SimTools::clearCalls() const
{
    QDir d(callsDir());
    for (const QString &f : d.entryList({"*.log"}, QDir::Files))
        d.remove(f);
}
