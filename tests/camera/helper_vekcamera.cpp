#include "tests/camera/helper_vekcamera.h"

#include <QTest>

#include <cstdio>

VekRig::VekRig(int cameras, bool withObject)
{
    static const char *const devices[] = {"ttyAMA0", "ttyAMA1", "ttyUSB0"};
    static const int lines[] = {0, 3, 2};
    for (int i = 0; i < cameras; ++i)
        cams_[i] = std::make_unique<SimCamera>(QString::fromLatin1(devices[i]));
    if (!withObject)
        return;
    obj_ = std::make_unique<vekCameraObject>();
    for (int i = 0; i < cameras; ++i) {
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
    for (int i = 0; i < 3 && cams_[i]; ++i) {
        cams_[i]->setFailureMode(SimCamera::Normal);
        cams_[i]->update([](SimCamera::State &s) { s = SimCamera::State(); });
        if (obj_)
            obj_->setVekStatus(i, true);
    }
    if (obj_)
        obj_->setmodelName(QString());
    settle();
    clearReceived();
}

void VekRig::settle()
{
    static const QByteArray ack = QByteArray::fromHex("9041FF"), completion = QByteArray::fromHex("9051FF");
    for (auto &c : cams_)
        if (c)
            QTRY_VERIFY(c->sentBytes().count(completion) >= c->sentBytes().count(ack));
}

void VekRig::clearReceived()
{
    for (auto &c : cams_)
        if (c)
            c->clearReceived();
    log_.clear();
}

void VekRig::answerNext(int vekIdx, const QByteArray &reply)
{
    if (reply == kSilent)
        cams_[vekIdx]->setFailureMode(SimCamera::Silent);
    else if (!reply.isEmpty())
        cams_[vekIdx]->injectReply(reply);
}

bool VekRig::onlyCameraGot(int vekIdx, const QList<QByteArray> &messages)
{
    bool ok = true;
    for (int i = 0; i < 3 && cams_[i]; ++i) {
        const QList<QByteArray> got = cams_[i]->received();
        const QList<QByteArray> want = i == vekIdx ? messages : QList<QByteArray>();
        if (got != want) {
            QStringList g;
            for (const QByteArray &m : got)
                g << QString::fromLatin1(m.toHex(' '));
            std::fprintf(stderr, "camera %d received [%s]\n", i, qPrintable(g.join(" | ")));
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
