#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// One fixture for every test program: a temporary sysroot that
// TAVRIK_SYSROOT points at, with the panel's folders, and recording
// stand-ins first on PATH for every tool that could change the machine.
// Nothing a test does reaches outside the temporary folder.
class TestSysroot
{
public:
    TestSysroot();
    ~TestSysroot();
    TestSysroot(const TestSysroot &) = delete;
    TestSysroot &operator=(const TestSysroot &) = delete;

    bool isValid() const { return dir_.isValid(); }
    QString root() const { return dir_.path(); }
    // "/etc/dhcpcd.conf" -> "<root>/etc/dhcpcd.conf"
    QString path(const QString &absolutePath) const;

    // Writes a file under the sysroot, creating folders.
    bool writeFile(const QString &absolutePath, const QByteArray &content) const;
    QByteArray readFile(const QString &absolutePath) const;

    // Adds (or replaces) a recording stand-in: it records its arguments,
    // prints `output` and exits with `exitCode`.
    void addStandIn(const QString &tool, const QByteArray &output = {}, int exitCode = 0) const;
    // Sets what an existing stand-in prints and returns from now on.
    void setStandInOutput(const QString &tool, const QByteArray &output, int exitCode = 0) const;

    // Argument lines the stand-in recorded, oldest first.
    QStringList calls(const QString &tool) const;
    // Every call of every stand-in in order, as "<tool> <args>".
    QStringList allCalls() const;
    void clearCalls() const;

    QString binDir() const;

    // The tools that get a stand-in by default.
    static QStringList defaultStandIns();

private:
    QTemporaryDir dir_;
    QByteArray oldSysroot_;
    QByteArray oldPath_;
    bool hadSysroot_ = false;
};
