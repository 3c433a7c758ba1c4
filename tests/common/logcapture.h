#pragma once

#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Collects every log message (from any thread, the simulated devices' too)
// while it lives, so a test can assert on the exact texts the panel writes.
// Set TAVRIK_TEST_LOG=1 to see them on standard error as well.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList messages() const;
    QStringList lines() const { return messages(); }
    // Messages logged with qWarning or worse.
    QStringList warnings() const;
    // Wall-clock time (ms since the epoch) of message `index`, or -1.
    qint64 time(int index) const;
    void clear();

    // Messages containing `text` anywhere.
    int count(const QString &text) const;
    bool contains(const QString &text) const { return count(text) > 0; }
    bool has(const QString &text) const { return contains(text); }
    QStringList matching(const QString &text) const;
    // First message containing `text` at or after `from`, or -1.
    int indexOf(const QString &text, int from = 0) const;

    // Messages that start with `prefix`.
    QStringList starting(const QString &prefix) const;
    int countStarting(const QString &prefix) const { return starting(prefix).size(); }

private:
    struct Entry {
        QString text;
        qint64 ms;
        bool warning;
    };
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message);
    QList<Entry> snapshot() const;

    mutable QMutex mutex_;
    QList<Entry> entries_;
    QtMessageHandler previous_ = nullptr;
    bool echo_ = false;
};
