#pragma once

#include <QHash>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QTimer>
#include <QVariant>

#include <atomic>

// The interface's user settings: "/home/pi/.config/Tervana/tavrik.conf"
// (under the sysroot), groups "system" and "user", every key with its
// default. Lives on the interface thread.
//
// A power cut or a full card never leaves the file half written or empty
// (AtomicFile): the file is the old or the new content. Writes are coalesced and run on a worker thread,
// because an fsync on an SD card can take longer than a frame.
class PanelSettings : public QObject
{
    Q_OBJECT
public:
    enum LoadResult {
        FirstStart, // no file yet: the first start after installation
        Loaded,
        Damaged, // the file exists but could not be read: defaults, not a first start
    };
    Q_ENUM(LoadResult)

    explicit PanelSettings(QObject *parent = nullptr);
    // `filePath` as it is on disk (tests); the default goes through the sysroot.
    explicit PanelSettings(const QString &filePath, QObject *parent = nullptr);
    ~PanelSettings() override;

    static QString defaultPath();
    QString filePath() const { return path_; }

    // Reads the file. A damaged file is logged, replaced by the defaults
    // with `firstEntry` false (so the first-start flow never saves the user
    // memories over the mainboard's), and rewritten at once.
    LoadResult load();

    // The stored value, converted to the type of the key's default; the
    // default when the key was never written. Unknown keys give an invalid
    // QVariant and a warning.
    Q_INVOKABLE QVariant value(const QString &group, const QString &key) const;
    int intValue(const QString &group, const QString &key) const { return value(group, key).toInt(); }
    bool boolValue(const QString &group, const QString &key) const { return value(group, key).toBool(); }
    QString stringValue(const QString &group, const QString &key) const { return value(group, key).toString(); }

    // Stores the value and schedules a write; emits valueChanged only on a change.
    Q_INVOKABLE void setValue(const QString &group, const QString &key, const QVariant &value);

    // Writes pending changes now and waits for the write; false when the
    // file does not hold them (the card is full, for one).
    bool flush();

    // Why the last write failed; empty once a write succeeds again (the
    // settings are tried again every minute meanwhile).
    QString writeError() const { return writeError_; }

    static QVariant defaultValue(const QString &group, const QString &key);
    // Every key with a default, as "group/key".
    static QStringList knownKeys();
    // The values an integer setting is kept in, ends included; lo > hi for
    // a key that is not an integer setting.
    struct Range
    {
        int lo;
        int hi;
    };
    static Range range(const QString &group, const QString &key);

signals:
    void valueChanged(const QString &group, const QString &key);
    void writeErrorChanged();
    // A write failed (the file keeps its old content): the message for the
    // operator, in the chosen language.
    void writeFailed(const QString &message);

private:
    static QString fullKey(const QString &group, const QString &key) { return group + QLatin1Char('/') + key; }
    void scheduleWrite();
    void startWrite();
    // Runs on a pool thread or, from flush(), on the caller's.
    bool writeSnapshot(const QHash<QString, QVariant> &values, quint64 generation);
    void setWriteError(const QString &error);

    QString path_;
    QHash<QString, QVariant> values_;
    LoadResult loadResult_ = FirstStart;
    QTimer writeTimer_;
    quint64 generation_ = 0;
    // Held for the whole of one write; the newest snapshot wins.
    QMutex writeMutex_;
    std::atomic<quint64> written_{0};
    // One writer thread: flush() can wait for it without polling.
    QThreadPool writer_;
    QString writeError_;
    bool retryPending_ = false;
};
