#pragma once

#include "tests/common/testsysroot.h"

#include <QMutex>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Collects log messages of every thread while it exists.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList messages() const;
    int count(const QString &substring) const;
    bool contains(const QString &substring) const { return count(substring) > 0; }
    void clear();

private:
    static void handler(QtMsgType type, const QMessageLogContext &ctx, const QString &msg);
    QtMessageHandler previous_;
};

// A sudo stand-in that records like the fixture's, and carries out cp, mv
// and rm when every path it is given lies inside the sysroot; anything else
// is only recorded.
void installPassThroughSudo(const TestSysroot &root);

// A small valid JPEG, and the same file cut short (its header still reads
// as JPEG, the picture does not load).
QByteArray smallJpeg();
QByteArray truncatedJpeg();

// A stand-in at <sysroot>/sbin/ifconfig that prints `output`, recording its
// calls as "ifconfig".
void installSbinIfconfig(const TestSysroot &root, const QByteArray &output);
