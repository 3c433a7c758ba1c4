#include "tests/camera/helper_vekcamera.h"

#include <QTest>

VekRig::VekRig()
{
    static const char *const devices[] = {"ttyAMA0", "ttyAMA1", "ttyUSB0"};
    static const int lines[] = {0, 3, 2};
    for (int i = 0; i < 3; ++i)
        cams_[i] = std::make_unique<SimCamera>(QString::fromLatin1(devices[i]));
    obj_ = std::make_unique<vekCameraObject>();
    for (int i = 0; i < 3; ++i) {
        obj_->initSerial(lines[i], QString::fromLatin1(devices[i]), 38400, 8, 0, 1, 0);
        obj_->setVekStatus(i, true);
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
    for (int i = 0; i < 3; ++i) {
        cams_[i]->setFailureMode(SimCamera::Normal);
        cams_[i]->update([](SimCamera::State &s) { s = SimCamera::State(); });
        obj_->setVekStatus(i, true);
    }
    obj_->setmodelName(QString());
    clearReceived();
}

void VekRig::clearReceived()
{
    for (auto &c : cams_)
        c->clearReceived();
    log_.clear();
}

bool VekRig::onlyCameraGot(int vekIdx, const QList<QByteArray> &messages)
{
    bool ok = true;
    for (int i = 0; i < 3; ++i) {
        const QList<QByteArray> got = cams_[i]->received();
        const QList<QByteArray> want = i == vekIdx ? messages : QList<QByteArray>();
        if (got != want) {
            QStringList g;
            for (const QByteArray &m : got)
                g << QString::fromLatin1(m.toHex(' '));
            qWarning("camera %d received [%s]", i, qPrintable(g.join(" | ")));
            ok = false;
        }
    }
    return ok;
}

VekSignalTrace::VekSignalTrace(vekCameraObject &o)
{
    using V = vekCameraObject;
    watch(o, &V::sendCamPower, "power");
    watch(o, &V::sendWb, "wb");
    watch(o, &V::sendRGain, "rGain");
    watch(o, &V::sendBGain, "bGain");
    watch(o, &V::sendFocus, "focus");
    watch(o, &V::sendIris, "iris");
    watch(o, &V::sendSpeed, "speed");
    watch(o, &V::sendTally, "tally");
    watch(o, &V::sendVideoFormat, "format");
    watch(o, &V::sendMirrorMode, "mirror");
    watch(o, &V::sendPanDir, "pan");
    watch(o, &V::sendTiltDir, "tilt");
    watch(o, &V::sendShutterValue, "shutter");
    watch(o, &V::setCamInfo, "info");
    watch(o, &V::ptzMoving, "moving");
}

QStringList VekSignalTrace::take()
{
    QStringList e;
    e.swap(events_);
    return e;
}

QString vekProperties(const vekCameraObject &o)
{
    return QStringLiteral("bar %1 tally %2 red %3 green %4 osd %5 | '%6' wb %7 r %8 b %9 | af %10 iris %11 | "
                          "h %12 v %13 pan %14 tilt %15 range %16")
        .arg(o.isColorBarOn())
        .arg(o.isTallyLightOn())
        .arg(o.isredTallyOn())
        .arg(o.isblueTallyOn())
        .arg(o.isOsdOn())
        .arg(o.videoFormat())
        .arg(o.whiteBalanceMode())
        .arg(o.vekRGain())
        .arg(o.vekBGain())
        .arg(o.bAutoFocusMode())
        .arg(o.birisModeAuto())
        .arg(o.vekHFlip())
        .arg(o.vekVFlip())
        .arg(o.panDirReverse())
        .arg(o.tiltDirReverse())
        .arg(o.ptzSpeedRange());
}
