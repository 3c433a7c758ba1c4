#include "maint/supportbundle.h"

#include "maint/maintlog.h"
#include "platform/atomicfile.h"
#include "platform/commandrunner.h"
#include "platform/sysroot.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>

#include <archive.h>
#include <archive_entry.h>

#include <memory>

namespace SupportBundle {

namespace {

// `path` as on disk (already through the sysroot).
QByteArray readBounded(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArrayLiteral("(not readable)\n");
    return f.read(kMaxEntryBytes);
}

la_ssize_t collect(struct archive *, void *client, const void *buffer, size_t length)
{
    static_cast<QByteArray *>(client)->append(static_cast<const char *>(buffer), static_cast<int>(length));
    return static_cast<la_ssize_t>(length);
}

} // namespace

QByteArray makeTarGz(const Entries &entries, QString *error)
{
    QByteArray out;
    std::unique_ptr<struct archive, int (*)(struct archive *)> a(archive_write_new(), archive_write_free);
    const auto fail = [&](const char *what) {
        const QString why = QStringLiteral("%1: %2").arg(QLatin1String(what),
                                                         QString::fromLocal8Bit(archive_error_string(a.get())));
        qCWarning(lcMaint) << "support bundle:" << why;
        if (error)
            *error = why;
        return QByteArray();
    };
    if (!a || archive_write_set_format_pax_restricted(a.get()) != ARCHIVE_OK
        || archive_write_add_filter_gzip(a.get()) != ARCHIVE_OK
        // Unpadded: the last block is not filled up to 10 KiB.
        || archive_write_set_bytes_in_last_block(a.get(), 1) != ARCHIVE_OK
        || archive_write_open(a.get(), &out, nullptr, collect, nullptr) != ARCHIVE_OK)
        return fail("open");
    const time_t now = static_cast<time_t>(QDateTime::currentSecsSinceEpoch());
    for (const auto &[name, data] : entries) {
        std::unique_ptr<struct archive_entry, void (*)(struct archive_entry *)> e(archive_entry_new(),
                                                                                  archive_entry_free);
        const QByteArray path = ("tavrik-support/" + name).toUtf8();
        archive_entry_set_pathname(e.get(), path.constData());
        archive_entry_set_size(e.get(), data.size());
        archive_entry_set_filetype(e.get(), AE_IFREG);
        archive_entry_set_perm(e.get(), 0644);
        archive_entry_set_mtime(e.get(), now, 0);
        if (archive_write_header(a.get(), e.get()) != ARCHIVE_OK)
            return fail("header");
        if (!data.isEmpty() && archive_write_data(a.get(), data.constData(), static_cast<size_t>(data.size())) != data.size())
            return fail("data");
    }
    if (archive_write_close(a.get()) != ARCHIVE_OK)
        return fail("close");
    return out;
}

QByteArray scrub(const QByteArray &text)
{
    // "key = value", "key: value", "key value" where the key names a secret.
    static const QRegularExpression secret(
        QStringLiteral(R"(^(\s*[\w.\-/]*(token|password|passwd|secret|psk|private|apikey|api_key|credential)[\w.\-/]*\s*[=: ]\s*).*$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption);
    QString s = QString::fromUtf8(text);
    s.replace(secret, QStringLiteral("\\1<removed>"));
    return s.toUtf8();
}

QByteArray journal(int lines)
{
    const CommandRunner::Result r = CommandRunner::run(
        QStringLiteral("journalctl"),
        {QStringLiteral("-u"), QStringLiteral("tavrik"), QStringLiteral("-n"), QString::number(lines),
         QStringLiteral("--no-pager")},
        10000);
    if (!r.started || r.timedOut)
        return QByteArrayLiteral("(journalctl did not run)\n");
    return r.out.left(static_cast<int>(kMaxEntryBytes));
}

QString write(const QString &settingsPath, const Entries &extra, QString *error)
{
    Entries entries;
    entries << qMakePair(QStringLiteral("settings.conf"), readBounded(settingsPath))
            << qMakePair(QStringLiteral("dhcpcd.conf"), readBounded(Sysroot::path(QStringLiteral("/etc/dhcpcd.conf"))))
            << qMakePair(QStringLiteral("journal.txt"), journal());
    entries << extra;
    for (auto &entry : entries)
        entry.second = scrub(entry.second);
    QString why;
    const QByteArray archive = makeTarGz(entries, &why);
    if (archive.isEmpty()) {
        if (error)
            *error = why;
        return QString();
    }
    const QString file = QStringLiteral("/mnt/tervana/tavrik-support-%1.tar.gz")
                             .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const AtomicFile::Result r = AtomicFile::write(Sysroot::path(file), archive);
    if (!r.ok) {
        if (error)
            *error = r.error;
        return QString();
    }
    qCInfo(lcMaint) << "support bundle written:" << file << archive.size() << "bytes";
    return file;
}

} // namespace SupportBundle
