#include "tests/camera/helper_vekcamera.h"

#include <QTest>

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
    clearReceived();
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

QByteArray randomVekReply(QRandomGenerator &rng, int maxNoise)
{
    // One real answer of each shape: status, version, framed value, framed
    // profile, bare value, acknowledgement and completion, bare and framed error.
    static const QList<QByteArray> seeds{
        hexBytes("90501D15050A05080C0203001105FF"), hexBytes("9050039C0102030400010A01000007FF"),
        hexBytes("0009905000000A03FF"), hexBytes("000790500005FF"), hexBytes("905002FF"),
        hexBytes("9041FF9051FF"), hexBytes("906002FF"), hexBytes("0006906002FF"),
    };
    const auto seed = [&] { return seeds.at(int(rng.bounded(seeds.size()))); };
    QByteArray r;
    switch (rng.bounded(5)) {
    case 0: // noise
        r.resize(int(rng.bounded(1, maxNoise + 1)));
        for (char &c : r)
            c = char(rng.bounded(256));
        break;
    case 1:
        r = seed();
        r.truncate(int(rng.bounded(1, r.size())));
        break;
    case 2:
        r = seed();
        for (int k = 0; k < 3; ++k)
            r[int(rng.bounded(r.size()))] = char(rng.bounded(256));
        break;
    case 3: { // headers, answer codes and terminators in random places
        static const char pool[] = {char(0x00), char(0x90), char(0x50), char(0x41), char(0x51), char(0x60),
                                    char(0xFF), char(0x02), char(0x09), char(0x07), char(0x05)};
        r.resize(int(rng.bounded(1, 24)));
        for (char &c : r)
            c = pool[rng.bounded(int(sizeof pool))];
        break;
    }
    default:
        r = seed() + seed();
        r.chop(int(rng.bounded(r.size())));
        break;
    }
    return r;
}
