#pragma once

#include <QByteArray>
#include <QString>

// The one way the panel replaces a file: whole or not at all, through a power
// cut and through a full card. The new content goes to a file beside the old
// one; every write, the sync and the close are checked before that file is
// renamed over the old one, and the folder is synced after. On any failure
// the file beside is removed, the old file stays as it was, the failure is
// logged and the result says why. Callable from any thread.
//
// (QSaveFile is not used: with a full card it renames an empty file over the
// old one and reports success, because its final flush goes unchecked.)
namespace AtomicFile {

struct Result {
    bool ok = false;
    QString error; // why not, when !ok
    explicit operator bool() const { return ok; }
};

// Replaces `path` by `data`. An existing file keeps its permission bits.
Result write(const QString &path, const QByteArray &data);

// For a file the panel may not write itself (/etc, /boot): `data` is written
// to `staged`, a file of the panel's own, and then with root's rights copied
// beside `path`, synced, and moved over it, each step checked before the
// next. A failed copy removes what it left beside `path`.
Result writeAsRoot(const QString &path, const QByteArray &data, const QString &staged);

} // namespace AtomicFile
