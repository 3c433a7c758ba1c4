#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// The support bundle: one tar.gz on the update medium with what support asks
// for after a show (settings, network configuration, the panel's recent log,
// versions, line counters), never a secret. Built in memory with libarchive
// and written whole or not at all (AtomicFile). Runs on the system lane: it
// reads files and starts journalctl.
namespace SupportBundle {

using Entries = QList<QPair<QString, QByteArray>>;

// Lines of the journal taken.
constexpr int kJournalLines = 2000;
// Upper bound of any one file taken into the bundle.
constexpr qint64 kMaxEntryBytes = 4 * 1024 * 1024;

// `entries` as a gzip-compressed tar (files dated now, mode 0644); empty
// with `error` set when libarchive fails.
QByteArray makeTarGz(const Entries &entries, QString *error = nullptr);

// `text` with the value of every line that names a secret (token,
// password, secret, psk, key material) replaced by "<removed>".
QByteArray scrub(const QByteArray &text);

// The panel's recent log: "journalctl -u tavrik -n <lines> --no-pager".
QByteArray journal(int lines = kJournalLines);

// Collects the settings file `settingsPath` (as on disk), the network configuration,
// the journal and `extra` (versions, counters), scrubs every entry and
// writes "/mnt/tervana/tavrik-support-<yyyyMMdd-HHmmss>.tar.gz". Returns
// the file written, or empty with `error` set.
QString write(const QString &settingsPath, const Entries &extra, QString *error);

} // namespace SupportBundle
