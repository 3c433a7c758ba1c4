#pragma once

#include "camera/vekcameraobject.h"
#include "sim/simcamera.h"
#include "tests/common/testsysroot.h"

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <memory>

// Collects every log line while it lives (the sim threads log too, hence the
// lock), so a test can ask for the exact text the panel wrote.
class VekLogCapture
{
public:
    VekLogCapture();
    ~VekLogCapture();
    VekLogCapture(const VekLogCapture &) = delete;
    VekLogCapture &operator=(const VekLogCapture &) = delete;

    QStringList lines() const;
    bool contains(const QString &text) const;
    int count(const QString &text) const;
    void clear();

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message);
    static VekLogCapture *current_;
    mutable QMutex mutex_;
    QStringList lines_;
    QtMessageHandler previous_ = nullptr;
};

// A temporary sysroot with a simulated camera on each of the three camera
// lines and the camera object with the lines opened as the interface opens
// them (38400 8N1), every camera marked online.
class VekRig
{
public:
    explicit VekRig(bool online = true);
    ~VekRig();

    vekCameraObject &obj() { return *obj_; }
    SimCamera &cam(int vekIdx) { return *cams_[vekIdx]; }
    const TestSysroot &sysroot() const { return sysroot_; }

    // Forgets what the cameras received and puts them back to answering
    // promptly, between test cases.
    void reset();

    static const char *deviceName(int vekIdx);
    static int lineNumber(int vekIdx);

private:
    TestSysroot sysroot_;
    std::unique_ptr<SimCamera> cams_[3];
    std::unique_ptr<vekCameraObject> obj_;
};

inline QByteArray hexBytes(const char *hex) { return QByteArray::fromHex(hex); }
