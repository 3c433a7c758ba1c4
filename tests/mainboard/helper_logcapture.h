#pragma once

#include <QMutex>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Collects every log message (from any thread) while it exists, so tests
// can assert on the exact texts the link writes. Not chained to the
// previous handler: the fuzz tests log thousands of lines.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList messages() const;
    // Messages logged with qWarning (or worse).
    QStringList warnings() const;
    void clear();
    // Messages that start with `prefix`.
    QStringList starting(const QString &prefix) const;
    int count(const QString &prefix) const { return starting(prefix).size(); }
    bool has(const QString &prefix) const { return count(prefix) > 0; }
    // Messages containing `text` anywhere.
    bool contains(const QString &text) const;

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message);
    QtMessageHandler previous_;
};
