#include "platform/atomicfile.h"

#include "platform/commandrunner.h"
#include "platform/platformlog.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A stuck tool must not hold the caller for ever.
constexpr int kCommandTimeoutMs = 30000;

AtomicFile::Result failed(const QString &path, const QString &why)
{
    qCWarning(lcPlatform).noquote() << QStringLiteral("[ERR] %1 not written, old content kept: %2").arg(path, why);
    return {false, why};
}

QString systemError(const char *step)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(step), QString::fromLocal8Bit(std::strerror(errno)));
}

bool writeAll(int fd, const QByteArray &data)
{
    const char *p = data.constData();
    qint64 left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// One step of the privileged replacement; its exit status decides the next.
AtomicFile::Result step(const QString &command)
{
    const CommandRunner::Result r = CommandRunner::shell(command, kCommandTimeoutMs);
    if (r.started && r.exitCode == 0)
        return {true, {}};
    QString why = QStringLiteral("\"%1\" failed (%2)").arg(command).arg(r.timedOut ? QStringLiteral("timed out") : QString::number(r.exitCode));
    const QString err = QString::fromLocal8Bit(r.err).trimmed();
    if (!err.isEmpty())
        why += QStringLiteral(": ") + err.left(200);
    return {false, why};
}

} // namespace

namespace AtomicFile {

Result write(const QString &path, const QByteArray &data)
{
    const QByteArray target = QFile::encodeName(path);
    QByteArray temp = target + ".tmp-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return failed(path, systemError("create"));

    struct stat old {};
    const mode_t mode = ::stat(target.constData(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    QString why;
    if (::fchmod(fd, mode) != 0)
        why = systemError("permissions");
    else if (!writeAll(fd, data))
        why = systemError("write");
    else if (::fsync(fd) != 0)
        why = systemError("sync");
    // close() reports write-back errors some file systems keep until then.
    const bool closed = ::close(fd) == 0;
    if (why.isEmpty() && !closed)
        why = systemError("close");
    if (why.isEmpty() && ::rename(temp.constData(), target.constData()) != 0)
        why = systemError("rename");
    if (!why.isEmpty()) {
        ::unlink(temp.constData());
        return failed(path, why);
    }

    // The rename itself reaches the card only with the folder.
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    const int dfd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0 || ::fsync(dfd) != 0)
        qCWarning(lcPlatform).noquote() << QStringLiteral("[WARN] %1 written, folder not synced: %2")
                                               .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    if (dfd >= 0)
        ::close(dfd);
    return {true, {}};
}

Result writeAsRoot(const QString &path, const QByteArray &data, const QString &staged)
{
    const Result s = write(staged, data);
    if (!s)
        return s;
    const QString beside = path + QStringLiteral(".new");
    // cp checks its own writes; "sync <file>" makes the data reach the card
    // and reports what a full card only tells at that moment. -P: root never
    // follows a link the service user may have put in place of `staged`.
    Result r = step(QStringLiteral("sudo cp -P ") + staged + QLatin1Char(' ') + beside);
    if (r)
        r = step(QStringLiteral("sync ") + beside);
    if (r)
        r = step(QStringLiteral("sudo mv ") + beside + QLatin1Char(' ') + path);
    if (!r) {
        step(QStringLiteral("sudo rm -f ") + beside);
        return failed(path, r.error);
    }
    const Result d = step(QStringLiteral("sync ") + QFileInfo(path).absolutePath());
    if (!d)
        qCWarning(lcPlatform).noquote() << QStringLiteral("[WARN] %1 written, folder not synced: %2").arg(path, d.error);
    return {true, {}};
}

} // namespace AtomicFile
