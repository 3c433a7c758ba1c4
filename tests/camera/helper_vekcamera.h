#pragma once

#include "camera/vekcameraobject.h"
#include "sim/simcamera.h"
#include "tests/common/logcapture.h"
#include "tests/common/testsysroot.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <type_traits>

// The one camera rig: a temporary sysroot with the log captured, simulated
// cameras on the first `cameras` of the lines ttyAMA0, ttyAMA1, ttyUSB0 and,
// with `withObject`, the camera object with those lines opened as the
// interface opens them (38400 8N1, line numbers 0, 3, 2), each camera online.
class VekRig
{
public:
    explicit VekRig(int cameras = 3, bool withObject = true);
    ~VekRig();

    vekCameraObject &obj() { return *obj_; }
    SimCamera &cam(int vekIdx) { return *cams_[vekIdx]; }
    LogCapture &log() { return log_; }
    TestSysroot &sysroot() { return sysroot_; }

    // Between test cases: cameras back to their power-on state, answering
    // promptly, with nothing recorded; every camera online; log cleared.
    void reset();
    // Waits until every camera has sent the completion of each command it
    // acknowledged: one still on its way could pass for the next answer.
    void settle();
    // Forgets what the cameras received (and the log), nothing else.
    void clearReceived();
    // Camera `vekIdx` answers the next request with `reply`; with kSilent it
    // stays silent, with an empty reply it answers as itself.
    void answerNext(int vekIdx, const QByteArray &reply);
    // Camera `vekIdx` received exactly `messages`, the others nothing (with
    // an index outside 0..2: no camera received anything).
    bool onlyCameraGot(int vekIdx, const QList<QByteArray> &messages);

private:
    LogCapture log_;
    TestSysroot sysroot_;
    std::unique_ptr<SimCamera> cams_[3];
    std::unique_ptr<vekCameraObject> obj_;
};

// The camera object's signals to the interface (send..., setCamInfo,
// ptzMoving) in emission order, as "name(arg, arg)".
class VekSignalTrace : public QObject
{
public:
    explicit VekSignalTrace(vekCameraObject &o);
    // The emissions so far, forgetting them.
    QStringList take();

private:
    template <typename... A>
    void watch(vekCameraObject &o, void (vekCameraObject::*signal)(A...), const char *name)
    {
        connect(&o, signal, this, [this, name](A... args) {
            QStringList a;
            (a.append(text(args)), ...);
            events_ << QStringLiteral("%1(%2)").arg(QLatin1String(name), a.join(QStringLiteral(", ")));
        });
    }
    template <typename T>
    static QString text(const T &v)
    {
        if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool>)
            return QString::number(v);
        else
            return QVariant::fromValue(v).toString();
    }
    QStringList events_;
};

// An operation on camera `c`, for the tables of operations.
using VekOp = std::function<void(vekCameraObject &, int)>;
Q_DECLARE_METATYPE(VekOp)
#define VEK_OP(call) VekOp([](vekCameraObject &o, int c) { Q_UNUSED(c) o.call; })

inline QByteArray hexBytes(const char *hex) { return QByteArray::fromHex(hex); }
const QByteArray kSilent = QByteArrayLiteral("silent");
