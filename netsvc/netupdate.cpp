// The update check of net: what the update medium under /mnt/tervana
// carries, and starting its update program.
#include "netsvc/net.h"

#include "netsvc/netsvclog.h"
#include "platform/commandrunner.h"
#include "platform/sysroot.h"
#include "platform/threadcheck.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

namespace {
constexpr int kCopyTimeoutMs = 30000;
constexpr int kHeaderSize = 16;
constexpr qint64 kMaxVersionFileBytes = 4096;
} // namespace

QString net::checkNewMBFirmware()
{
    TAVRIK_ASSERT_OWNER(this);
    const QString path = Sysroot::path(QStringLiteral("/mnt/tervana/tavrik/ZARVOHD.bin"));
    if (!QFile::exists(path)) {
        qCDebug(lcNetsvc) << "Not need to upgrade MB FW";
        return QString();
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        qCWarning(lcNetsvc).noquote() << "Unable to open" << path;
        return QString();
    }
    const QByteArray header = f.read(kHeaderSize);
    f.close();
    if (header.size() < kHeaderSize) {
        qCWarning(lcNetsvc) << "[ERR] Failed to read enough data from file.";
        return QString();
    }
    int major = quint8(header.at(8));
    if (major > 1)
        major &= 0x0F;
    const int minor = quint8(header.at(9));
    const QString version = QStringLiteral("%1.%2").arg(major).arg(minor);
    qCDebug(lcNetsvc).noquote() << "Found Version :" << version << header.toHex(' ');
    return version;
}

void net::checkNewApp()
{
    TAVRIK_ASSERT_OWNER(this);
    QString kbVersion;
    const QString mbVersion = checkNewMBFirmware();

    const QString medium = Sysroot::path(QStringLiteral("/mnt/tervana/version.txt"));
    const QString copy = Sysroot::path(QStringLiteral("/home/pi/version.txt"));
    if (!QFile::exists(medium)) {
        qCDebug(lcNetsvc) << "Not need to upgrade KB FW";
        return;
    }
    // A version is one short line: anything bigger (or no plain file at
    // all) is not copied, and the copy is read only as far as the cap.
    const QFileInfo info(medium);
    if (!info.isFile() || info.size() > kMaxVersionFileBytes) {
        qCWarning(lcNetsvc).noquote() << "[ERR]" << medium << "is not a version file of at most" << kMaxVersionFileBytes
                                      << "bytes, ignored";
    } else if (CommandRunner::shell(QStringLiteral("cp ") + medium + QLatin1Char(' ') + copy, kCopyTimeoutMs).exitCode
               != 0) {
        // A copy left over from an earlier medium must not be taken for this one.
        qCWarning(lcNetsvc).noquote() << "[ERR] Cannot copy" << medium;
    } else if (QFile::exists(copy)) {
        QFile f(copy);
        if (f.open(QIODevice::ReadOnly | QIODevice::Text)) {
            const QByteArray head = f.read(kMaxVersionFileBytes);
            const int end = head.indexOf('\n');
            kbVersion = QString::fromUtf8(end >= 0 ? head.left(end) : head);
            qCDebug(lcNetsvc).noquote() << "check New App version :" << kbVersion;
            QThread::msleep(100);
            f.close();
        }
    }

    if (!kbVersion.isEmpty() || !mbVersion.isEmpty()) {
        stopPgm();
        emit sendAppVer(kbVersion, mbVersion);
    }
}

void net::upgradeApp()
{
    TAVRIK_ASSERT_OWNER(this);
    QProcess *p = CommandRunner::start(Sysroot::path(QStringLiteral("/mnt/tervana/update")), {}, this);
    if (p->state() == QProcess::NotRunning && p->error() == QProcess::FailedToStart) {
        qCWarning(lcNetsvc) << "Process error:" << p->error();
        p->deleteLater();
        return;
    }
    connect(p, &QProcess::started, p, [] { qCDebug(lcNetsvc) << "Script started!"; });
    // Its output goes to the log instead of piling up unread.
    connect(p, &QProcess::readyReadStandardOutput, p,
            [p] { qCDebug(lcNetsvc).noquote() << "update:" << QString::fromLocal8Bit(p->readAllStandardOutput()).trimmed(); });
    connect(p, &QProcess::readyReadStandardError, p,
            [p] { qCDebug(lcNetsvc).noquote() << "update:" << QString::fromLocal8Bit(p->readAllStandardError()).trimmed(); });
    connect(p, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), p,
            [p](int code, QProcess::ExitStatus status) {
                qCDebug(lcNetsvc) << "Script finished with code" << code;
                if (status == QProcess::NormalExit)
                    qCDebug(lcNetsvc) << "Upgrade script completed successfully.";
                else
                    qCDebug(lcNetsvc) << "Upgrade script crashed.";
                p->deleteLater();
            });
    connect(p, &QProcess::errorOccurred, p, [p](QProcess::ProcessError e) {
        qCWarning(lcNetsvc) << "Process error:" << e;
        p->deleteLater();
    });
}
