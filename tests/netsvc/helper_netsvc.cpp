#include "tests/netsvc/helper_netsvc.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>

void installPassThroughSudo(const TestSysroot &root)
{
    const QString calls = root.root() + QStringLiteral("/.calls");
    QFile f(root.binDir() + QStringLiteral("/sudo"));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(QStringLiteral(
                "#!/bin/sh\n"
                "t=$(date +%s%3N)\n"
                "printf '%s %s\\n' \"$t\" \"$*\" >> '%1/sudo.log'\n"
                "printf '%s %s\\n' 'sudo' \"$*\" >> '%1/all.log'\n"
                "case \"$1\" in cp|mv|rm) ;; *) exit 0 ;; esac\n"
                "cmd=$1; shift\n"
                "for a in \"$@\"; do\n"
                "  case \"$a\" in -*) ;; '%2'/*) ;; *) exit 0 ;; esac\n"
                "done\n"
                "exec \"$cmd\" \"$@\"\n")
                .arg(calls, root.root())
                .toLocal8Bit());
    f.close();
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QByteArray smallJpeg()
{
    QImage img(16, 8, QImage::Format_RGB32);
    img.fill(Qt::darkCyan);
    QByteArray data;
    QBuffer buf(&data);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "JPEG");
    return data;
}

QByteArray truncatedJpeg()
{
    return smallJpeg().left(40);
}

void installSbinIfconfig(const TestSysroot &root, const QByteArray &output)
{
    root.addStandIn(QStringLiteral("ifconfig"), output);
    QDir().mkpath(root.path(QStringLiteral("/sbin")));
    const QString link = root.path(QStringLiteral("/sbin/ifconfig"));
    QFile::remove(link);
    QFile::link(root.binDir() + QStringLiteral("/ifconfig"), link);
}
