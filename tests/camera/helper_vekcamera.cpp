#include "tests/camera/helper_vekcamera.h"

#include <QMutexLocker>

VekLogCapture *VekLogCapture::current_ = nullptr;

VekLogCapture::VekLogCapture()
{
    current_ = this;
    previous_ = qInstallMessageHandler(&VekLogCapture::handler);
}

VekLogCapture::~VekLogCapture()
{
    qInstallMessageHandler(previous_);
    current_ = nullptr;
}

void VekLogCapture::handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    Q_UNUSED(type)
    Q_UNUSED(context)
    if (VekLogCapture *c = current_) {
        QMutexLocker lock(&c->mutex_);
        c->lines_.append(message);
    }
}

QStringList VekLogCapture::lines() const
{
    QMutexLocker lock(&mutex_);
    return lines_;
}

bool VekLogCapture::contains(const QString &text) const { return count(text) > 0; }

int VekLogCapture::count(const QString &text) const
{
    QMutexLocker lock(&mutex_);
    int n = 0;
    for (const QString &l : lines_)
        n += l.contains(text) ? 1 : 0;
    return n;
}

void VekLogCapture::clear()
{
    QMutexLocker lock(&mutex_);
    lines_.clear();
}

const char *VekRig::deviceName(int vekIdx)
{
    static const char *const names[] = {"ttyAMA0", "ttyAMA1", "ttyUSB0"};
    return names[vekIdx];
}

int VekRig::lineNumber(int vekIdx)
{
    static const int lines[] = {0, 3, 2};
    return lines[vekIdx];
}

VekRig::VekRig(bool online)
{
    for (int i = 0; i < 3; ++i)
        cams_[i] = std::make_unique<SimCamera>(QString::fromLatin1(deviceName(i)));
    obj_ = std::make_unique<vekCameraObject>();
    for (int i = 0; i < 3; ++i) {
        obj_->initSerial(lineNumber(i), QString::fromLatin1(deviceName(i)), 38400, 8, 0, 1, 0);
        obj_->setVekStatus(i, online);
    }
}

VekRig::~VekRig()
{
    obj_.reset(); // close the lines before the far ends go away
    for (auto &c : cams_)
        c.reset();
}

void VekRig::reset()
{
    for (auto &c : cams_) {
        c->setFailureMode(SimCamera::Normal);
        c->clearReceived();
    }
}
