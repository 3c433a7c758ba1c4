// The camera object against simulated cameras on pseudo-terminals: the bytes
// of every operation and inquiry, retries, results, properties and signals;
// the reply decoders byte by byte and what every inquiry makes of a bad
// answer; its lines, the online gate and the single exchange; on an object
// without lines, the network camera registry, the tracking option store and
// the one HTTP request to a network camera (a local server on 127.0.0.1
// stands in for the camera); the line wrapper; the simulated camera.
#include "camera/cameramodels.h"
#include "camera/serialport.h"
#include "camera/vekcameraobject.h"
#include "camera/vekreply.h"
#include "platform/sysroot.h"
#include "sim/simcamera.h"
#include "tests/common/logcapture.h"
#include "tests/common/testsysroot.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QtTest>

#include <cstdio>
#include <functional>
#include <memory>
#include <tuple>
#include <type_traits>
#include <utility>

#include <sys/ioctl.h>

using namespace VekReply;

// An operation on camera `c`, for the tables of operations.
using VekOp = std::function<void(vekCameraObject &, int)>;
Q_DECLARE_METATYPE(VekOp)
using VekProbe = std::function<bool(vekCameraObject &)>;
Q_DECLARE_METATYPE(VekProbe)
#define VEK_OP(call) VekOp([](vekCameraObject &o, int c) { Q_UNUSED(c) o.call; })

namespace {

QByteArray hexBytes(const char *hex) { return QByteArray::fromHex(hex); }
const QByteArray kSilent = QByteArrayLiteral("silent");

// The one camera rig: a temporary sysroot with the log captured, simulated
// cameras on the lines ttyAMA0, ttyAMA1, ttyUSB0 and the camera object with
// those lines opened as the interface opens them (38400 8N1, line numbers
// 0, 3, 2), each camera online.
class VekRig
{
public:
    VekRig()
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
    ~VekRig() { obj_.reset(); } // close the lines before the far ends go away

    vekCameraObject &obj() { return *obj_; }
    SimCamera &cam(int vekIdx) { return *cams_[vekIdx]; }
    LogCapture &log() { return log_; }

    // Between test cases: cameras back to their power-on state, answering
    // promptly, with nothing recorded; every camera online; log cleared.
    void reset()
    {
        for (int i = 0; i < 3; ++i) {
            cams_[i]->setFailureMode(SimCamera::Normal);
            cams_[i]->update([](SimCamera::State &s) { s = SimCamera::State(); });
            obj_->setVekStatus(i, true);
        }
        obj_->setmodelName(QString());
        settle();
        clearReceived();
    }
    // Waits until every camera has sent the completion of each command it
    // acknowledged: one still on its way could pass for the next answer.
    void settle()
    {
        static const QByteArray ack = QByteArray::fromHex("9041FF"), completion = QByteArray::fromHex("9051FF");
        for (auto &c : cams_)
            QTRY_VERIFY(c->sentBytes().count(completion) >= c->sentBytes().count(ack));
    }
    // Forgets what the cameras received (and the log), nothing else.
    void clearReceived()
    {
        for (auto &c : cams_)
            c->clearReceived();
        log_.clear();
    }
    // Camera `vekIdx` answers the next request with `reply`; with kSilent it
    // stays silent, with an empty reply it answers as itself.
    void answerNext(int vekIdx, const QByteArray &reply)
    {
        if (reply == kSilent)
            cams_[vekIdx]->setFailureMode(SimCamera::Silent);
        else if (!reply.isEmpty())
            cams_[vekIdx]->injectReply(reply);
    }
    // Camera `vekIdx` received exactly `messages`, the others nothing (with
    // an index outside 0..2: no camera received anything).
    bool onlyCameraGot(int vekIdx, const QList<QByteArray> &messages)
    {
        bool ok = true;
        for (int i = 0; i < 3; ++i) {
            const QList<QByteArray> got = cams_[i]->received();
            if (got != (i == vekIdx ? messages : QList<QByteArray>())) {
                QStringList g;
                for (const QByteArray &m : got)
                    g << QString::fromLatin1(m.toHex(' '));
                std::fprintf(stderr, "camera %d received [%s]\n", i, qPrintable(g.join(" | ")));
                ok = false;
            }
        }
        return ok;
    }

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
    explicit VekSignalTrace(vekCameraObject &o)
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
    // The emissions so far, forgetting them.
    QStringList take() { return std::exchange(events_, {}); }

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
    template <typename T> static QString text(const T &v)
    {
        if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool>)
            return QString::number(v);
        else
            return QVariant::fromValue(v).toString();
    }
    QStringList events_;
};


// The interface properties of the camera object in one line, read as the
// interface reads them, through the property system.
QString vekProperties(const vekCameraObject &o)
{
    static const char *const shown[][2] = {
        {"bar", "isColorBarOn"}, {"tally", "isTallyLightOn"}, {"red", "isredTallyOn"}, {"green", "isblueTallyOn"},
        {"osd", "isOsdOn"}, {"|", "videoFormat"}, {"wb", "whiteBalanceMode"}, {"r", "vekRGain"}, {"b", "vekBGain"},
        {"| af", "bAutoFocusMode"}, {"iris", "birisModeAuto"}, {"| h", "vekHFlip"}, {"v", "vekVFlip"},
        {"pan", "panDirReverse"}, {"tilt", "tiltDirReverse"}, {"range", "ptzSpeedRange"}};
    QStringList out;
    for (const auto &s : shown) {
        const QVariant v = o.property(s[1]);
        const bool text = v.userType() == QMetaType::QString;
        out << QLatin1String(s[0]) + ' ' + (text ? '\'' + v.toString() + '\'' : QString::number(v.toInt()));
    }
    return out.join(' ');
}



// What one decoder makes of a reply, as text: "-" where it refuses it.
QString decoded(const QString &decoder, const QByteArray &r)
{
    const QString refused = QStringLiteral("-");
    if (decoder == "ack")
        return QStringLiteral("%1 %2").arg(containsAckComplete(r)).arg(isPresetAck(r));
    if (decoder == "status") {
        SystemStatus s;
        s.speedRange = 77;
        const bool ok = decodeSystemStatus(r, &s);
        if (!ok && s.speedRange != 77)
            return QStringLiteral("refused but written");
        return ok ? QStringLiteral("'%1' %2").arg(s.formatText).arg(s.formatIndex) : refused;
    }
    if (decoder == "version") {
        VersionInfo v;
        return decodeVersion(r, &v) ? QStringList{v.model, v.mcu, v.fpga, v.motor}.join(' ') : refused;
    }
    if (decoder == "shutter")
        return QString::number(shutterPosition(r));
    if (decoder == "gain") {
        int g = 0;
        return framedGain(r, &g) ? QString::number(g) : refused;
    }
    if (decoder == "track") {
        int t = 99;
        const char *kinds[] = {"value", "too short", "not supported", "unknown"};
        const int kind = int(trackState(r, &t));
        return QStringLiteral("%1 %2").arg(QLatin1String(kinds[kind])).arg(t);
    }
    if (decoder == "profile")
        return QString::number(profileNumber(r));
    QByteArray p; // "bare1", "bare4": a bare answer with at least 1 or 4 data bytes
    return bareAnswer(r, &p, decoder.right(1).toInt()) ? QString::fromLatin1(p.toHex()) : refused;
}

struct Inquiry
{
    const char *name;
    std::function<int(vekCameraObject &, int)> call;
    int failure;
};

const QList<Inquiry> &inquiries()
{
#define INQ(call, failure) {#call, [](vekCameraObject &o, int c) { return int(o.call); }, failure}
    static const QList<Inquiry> list{
        INQ(camPowerInq(c), 0), INQ(getSystemStatus(c), 0), INQ(queryVersion(c), 0), INQ(shutterPosInq(c), -1),
        INQ(rGain(c), 0), INQ(bGain(c), 0), INQ(isTallyOn(c), 0), INQ(isAutoFocus(c), 0),
        INQ(getWhiteBalanceMode(c), 0), INQ(getExposureMode(c), 0), INQ(getVideoFormat(c), -1),
        INQ(gotoPtzPosition(1, c), 0), INQ(storePtzPosition(1, c), 0), INQ(presetMemSpeed(1, c), 0),
        INQ(atTrackInquire(c), -1), INQ(atFigureInq(c), 0), INQ(atFigureCustSizeInq(c), 0), INQ(atPlacementInq(c), 0),
        INQ(atSpeedInq(c), 0), INQ(atDetindInq(c), 0), INQ(atTrackingStartPosInq(c), 0), INQ(atOSDInq(c), 0),
        INQ(atAutoZoomInq(c), 0), INQ(atAutoTiltInq(c), 0), INQ(InquireATProfileNum(c), -1),
    };
#undef INQ
    return list;
}



vek_camera_info entryWith(int mapping, const QString &model = QString())
{
    vek_camera_info info;
    info.exist = true;
    info.mapping = mapping;
    info.cameraModel = model;
    return info;
}

// Every tracking option of registry entry `idx`: track zoom tilt osd |
// mode start-pos indicator roi-time roi-start.
QString options(const vekCameraObject &o, int idx)
{
    const QList<int> v{o.getAtTrackOpt(idx),          o.getAtAutoZoomOpt(idx),       o.getAtAutoTiltOpt(idx),
                       o.getAtOsdRmdOpt(idx),         o.getAtModeBoxOpt(idx),        o.getAtTrackStartPosBoxOpt(idx),
                       o.getAtDetIdctBoxOpt(idx),     o.getAtRoiActTimeBoxOpt(idx),  o.getAtRoiStartPosBoxOpt(idx)};
    QStringList t;
    for (int x : v)
        t << QString::number(x);
    return t.mid(0, 4).join(' ') + " | " + t.mid(4).join(' ');
}
const QString kNoOptions = QStringLiteral("0 0 0 0 | 0 0 0 0 0");

QString spaced(const QByteArray &b) { return QString::fromLatin1(b.toHex(' ')); }
// Speed (in, out), data bits, parity, stop bits, flow control of an open port.
QList<int> settings(const QSerialPort *p)
{
    return {int(p->baudRate(QSerialPort::Input)), int(p->baudRate(QSerialPort::Output)), p->dataBits(), p->parity(),
            p->stopBits(), p->flowControl()};
}
const QList<int> k38400_8N1{38400, 38400, 8, 0, 1, 0};

const QByteArray kPowerInq = hexBytes("81 09 04 00 FF");
const QByteArray kPowerOn = hexBytes("81 01 04 00 02 FF");
const QByteArray kOn = hexBytes("90 50 02 FF");
const QByteArray kAck = hexBytes("90 41 FF");
const QByteArray kCompletion = hexBytes("90 51 FF");

} // namespace

// Rows of the operation table, named after the call; MOVE: the operation
// emits ptzMoving before sending.
#define ROW(call, hex) row(#call, VEK_OP(call), hex)
#define MOVE(call, hex) row(#call, VEK_OP(call), hex, true)
// The older tracking operations go to the camera last operated.
// (With c < 0: the operation alone, to the camera operated last.)
#define LAST(call, hex)                                                                                                \
    row(#call, VekOp([](vekCameraObject &o, int c) { c < 0 || (o.atPlaceCenter(c), true), o.call; }),                  \
        "810A0F010701FF|" hex)

class TestVekCamera : public QObject
{
    Q_OBJECT
    std::unique_ptr<VekRig> rig_;
    // For the registry cases: a fresh camera object without lines.
    std::unique_ptr<vekCameraObject> bare_;
    vekCameraObject *obj_ = nullptr;
    LogCapture *log_ = nullptr;
    // For the line wrapper cases (named line...): one more simulated camera
    // and the wrapper on its line, fresh for each case.
    std::unique_ptr<SimCamera> lineCam_;
    std::unique_ptr<serialPort> sp_;

    // Sends `message` and returns the camera's answer (an acknowledged
    // command as 90 41 FF); waits for a command's completion so the next
    // exchange starts clean.
    QString exchange(const QByteArray &message, int timeoutMs = 200)
    {
        if (sp_->writeData(message) != message.size())
            return {};
        QByteArray answer = sp_->receive(timeoutMs);
        // Whether the completion is collected with the acknowledgement depends
        // on timing; report acknowledged commands the same way either way, and
        // take a completion still on its way so it cannot pass for the next answer.
        if (answer == kAck + kCompletion)
            answer = kAck;
        else if (answer == kAck && lineCam_->failureMode() != SimCamera::Silent)
            sp_->receive(500);
        return spaced(answer);
    }
    bool send(const QByteArray &message) { return sp_->writeData(message) == message.size(); }
    bool waitForDriverBytes(int count)
    {
        // Deliberately without an event loop: the bytes must stay in the
        // driver, where Qt has not read them yet.
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 2000) {
            int pending = 0;
            if (::ioctl(int(sp_->port()->handle()), FIONREAD, &pending) == 0 && pending >= count)
                return true;
            QThread::msleep(2);
        }
        return false;
    }


private slots:
    void initTestCase()
    {
        rig_ = std::make_unique<VekRig>();
        log_ = &rig_->log();
    }
    void init()
    {
        rig_->reset();
        bare_ = std::make_unique<vekCameraObject>();
        obj_ = bare_.get();
        if (QByteArray(QTest::currentTestFunction()).startsWith("line")) {
            lineCam_ = std::make_unique<SimCamera>(QStringLiteral("ttyS0"));
            sp_ = std::make_unique<serialPort>();
            sp_->setBaudRate(38400);
            sp_->setDataBits(8);
            sp_->setParity(0);
            sp_->setStopBits(1);
            sp_->setFlowControl(0);
            QCOMPARE(sp_->openSerialPort(QStringLiteral("ttyS0")), QStringLiteral("OK"));
        }
    }
    void cleanup()
    {
        sp_.reset();
        lineCam_.reset();
    }
    void cleanupTestCase()
    {
        bare_.reset();
        rig_.reset();
    }

    // Every operation's messages, byte for byte as the camera receives them.
    void operationBytes_data()
    {
        QTest::addColumn<VekOp>("op");
        QTest::addColumn<QByteArray>("expected"); // messages separated by '|'
        QTest::addColumn<bool>("moving");
        auto row = [](const char *name, VekOp op, const char *hex, bool moving = false) {
            QTest::newRow(name) << op << QByteArray(hex) << moving;
        };
        ROW(camPower(2, c), "8101040002FF"); ROW(camPower(3, c), "8101040003FF");
        MOVE(zoomTele(8, c), "8101040721FF"); MOVE(zoomTele(16, c), "8101040724FF");
        MOVE(zoomTele(24, c), "8101040727FF"); MOVE(zoomWide(24, c), "8101040737FF");
        // Other speeds send nothing and move nothing.
        for (int speed : {12, 0, 7, -8}) {
            QTest::addRow("zoomTele %d", speed)
                << VekOp([speed](vekCameraObject &o, int c) { o.zoomTele(speed, c); }) << QByteArray() << false;
            QTest::addRow("zoomWide %d", speed)
                << VekOp([speed](vekCameraObject &o, int c) { o.zoomWide(speed, c); }) << QByteArray() << false;
        }
        ROW(zoomTeleStandard(c), "8101040702FF"); ROW(zoomWideStandard(c), "8101040703FF");
        ROW(zoomStop(c), "8101040700FF");
        MOVE(panTiltLeft(9, c), "8101060109090103FF"); MOVE(panTiltRight(9, c), "8101060109090203FF");
        MOVE(panTiltUp(4, c), "8101060104040301FF"); MOVE(panTiltDown(4, c), "8101060104040302FF");
        MOVE(panTiltUpLeft(0x18, 0x14, c), "8101060118140101FF");
        MOVE(panTiltUpRight(0x18, 0x14, c), "8101060118140201FF");
        MOVE(panTiltDownLeft(0x18, 0x14, c), "8101060118140102FF");
        MOVE(panTiltDownRight(0x18, 0x14, c), "8101060118140202FF");
        ROW(panTiltStop(0x18, 0x14, c), "8101060118140303FF");
        ROW(autoFocus(c), "8101043802FF"); ROW(manualFocus(c), "8101043803FF");
        ROW(focusFar(c), "8101040802FF"); ROW(focusNear(c), "8101040803FF"); ROW(focusStop(c), "8101040800FF");
        ROW(autoWhiteBalance(c), "8101043500FF"); ROW(manualWhiteBalance(c), "8101043505FF");
        ROW(whiteBalance(c), "8101043503FF|8101041005FF");
        ROW(setRGain(0xA5, c), "8101044300000A05FF"); ROW(setBGain(0x3C, c), "810104440000030CFF");
        ROW(autoAE(c), "8101043900FF"); ROW(manualAE(c), "8101043903FF");
        ROW(iRISUp(c), "8101040B02FF"); ROW(iRISDown(c), "8101040B03FF");
        ROW(shutterDirect(0x1A, c), "8101044A0000010AFF"); ROW(shutterDirect(0x215, c), "8101044A00000105FF");
        ROW(storePtzPosition(7, c), "8101043F0107FF"); MOVE(gotoPtzPosition(7, c), "8101043F0207FF");
        ROW(presetMemSpeed(0x10, c), "81017E010B7D10FF"); ROW(setPresetMemorySpeed(3, 0x12, c), "81017E010B0312FF");
        ROW(imageFlipOn(c), "8101046602FF"); ROW(imageFlipOff(c), "8101046603FF");
        ROW(imageMirroOn(c), "8101046102FF"); ROW(imageMirroOff(c), "8101046103FF");
        ROW(setImageMirror(2, c), "8101046102FF");
        ROW(panReverseOn(c), "81017E01060001FF"); ROW(panReverseOff(c), "81017E01060000FF");
        ROW(tiltReverseOn(c), "81017E01090001FF"); ROW(tiltReverseOff(c), "81017E01090000FF");
        ROW(redTallyOn(c), "81017E010A000203FF"); ROW(greenTallyOn(c), "81017E010A000302FF");
        ROW(camTallyOff(c), "81017E010A000303FF"); ROW(switchVideoMode(0x14, c), "810104247214FF");
        // One model cannot run 2160p29.97 and 2160p25: those codes are never sent to it.
        for (auto [model, code, refused] : {std::tuple{"410", 29, true}, {"410", 30, true}, {"410", 21, false},
                                             {"410", 31, false}, {"39c", 29, false}, {"", 30, false}}) {
            QTest::addRow("switchVideoMode(%d) to model '%s'", code, model)
                << VekOp([model = model, code = code](vekCameraObject &o, int c) {
                       o.setmodelName(QString::fromLatin1(model));
                       o.switchVideoMode(code, c);
                   })
                << (refused ? QByteArray() : "8101042472" + QByteArray::number(code, 16).rightJustified(2, '0') + "FF")
                << false;
        }
        // Inquiries: bare or framed exactly as each one is sent.
        ROW(camPowerInq(c), "81090400FF"); ROW(getSystemStatus(c), "81097E7E70FF");
        ROW(queryVersion(c), "81090002FF"); ROW(shutterPosInq(c), "00078109044AFF");
        ROW(rGain(c), "000781090443FF"); ROW(bGain(c), "000781090444FF");
        ROW(queryPanTiltMaxSpeed(c), "000781090611FF"); ROW(isTallyOn(c), "000881097E010AFF");
        ROW(isAutoFocus(c), "81090438FF"); ROW(getWhiteBalanceMode(c), "81090435FF");
        ROW(getExposureMode(c), "81090439FF"); ROW(getVideoFormat(c), "0009810904247209FF");
        ROW(setAiCam(2, c), "810A115402FF"); ROW(setAiCam(3, c), "810A115403FF");
        ROW(atAutoZoomOn(c), "810A0F010201FF"); ROW(atAutoZoomOff(c), "810A0F010200FF");
        ROW(atAutoTiltOn(c), "810A0F010301FF"); ROW(atAutoTiltOff(c), "810A0F010300FF");
        ROW(atDetIdctOn(c), "810A115602FF"); ROW(atDetIdctOff(c), "810A115603FF");
        ROW(atDetIdctDefault(c), "810A115604FF");
        ROW(atOsdRmdOn(c), "810A041601FF"); ROW(atOsdRmdOff(c), "810A041600FF");
        ROW(atFullBody(c), "810A0F010000FF"); ROW(atHalfBody(c), "810A0F010001FF");
        ROW(atCloseUp(c), "810A0F010002FF"); ROW(atCustomBody(c), "810A0F010003FF");
        ROW(atFigSizeSave(0x1234, c), "810A0F010801020304FF"); ROW(atFigSizeSave(0x7FABC, c), "810A0F01080F0A0B0CFF");
        ROW(atFigSizeDefault(c), "810A0F010800000500FF");
        ROW(atSelSbjLeft(c), "810A11A302FF"); ROW(atSelSbjRight(c), "810A11A303FF");
        ROW(atSelSbjConfirm(c), "810A11A304FF");
        ROW(atPlaceLeft(c), "810A0F010700FF"); ROW(atPlaceCenter(c), "810A0F010701FF");
        ROW(atPlaceRight(c), "810A0F010702FF");
        ROW(atTrackSpeedFast(c), "810A0F010500FF"); ROW(atTrackSpeedMedium(c), "810A0F010501FF");
        ROW(atTrackSpeedSlow(c), "810A0F010502FF");
        // The two sent as whole frames.
        ROW(atTrackStartPosPreset(0x105, c), "000B810A043F02000205FF");
        ROW(atTrackRecallProfile(0x2A, c), "0009810A0F0F020AFF");
        ROW(atTrackOn(c), "810A01041C82FF"); ROW(atTrackOff(c), "810A01041C83FF");
        // Inquiries (bare, the profile number framed).
        ROW(atTrackInquire(c), "81097E1154FF"); ROW(atFigureInq(c), "81097E0A0F0100FF");
        ROW(atFigureCustSizeInq(c), "81097E0A0F0110FF"); ROW(atPlacementInq(c), "81097E0A0F0107FF");
        ROW(atSpeedInq(c), "81097E0A0F0105FF"); ROW(atDetindInq(c), "81097E0A1156FF");
        ROW(atTrackingStartPosInq(c), "81097E0A043F02FF"); ROW(atOSDInq(c), "81097E0A0416FF");
        ROW(atAutoZoomInq(c), "81097E0A0F0102FF"); ROW(atAutoTiltInq(c), "81097E0A0F0103FF");
        ROW(InquireATProfileNum(c), "000981097E0A0F0FFF");
        LAST(setAiTrackMode(0x82), "0009810A01041C02FF"); LAST(setAiTrackSpeed(2), "0009810A0F010502FF");
        LAST(setAiSelectPeoplePos(1), "0009810A0F010701FF"); LAST(setAiPeopleFrameOnOff(3), "0008810A115603FF");
        LAST(setAiTrackTiltOnOff(1), "0009810A0F010301FF"); LAST(setAiTrackZoomOnOff(0), "0009810A0F010200FF");
        LAST(setAiTrackTarget(3), "0008810A11A303FF"); LAST(setAiTrackFeatures(2), "0009810A0F010002FF");
        LAST(setAiTrackTargetSave(0x1234), "000C810A0F010801020304FF");
        LAST(setAiTrackTargetDefault(), "000C810A0F010800000500FF");
    }
    void operationBytes()
    {
        QFETCH(VekOp, op);
        QFETCH(QByteArray, expected);
        QFETCH(bool, moving);
        QList<QByteArray> messages;
        for (const QByteArray &h : expected.split('|'))
            if (!h.isEmpty())
                messages.append(QByteArray::fromHex(h));
        // The same operation on each camera reaches that camera only.
        for (int c = 0; c < 3; ++c) {
            rig_->clearReceived();
            QSignalSpy spy(&rig_->obj(), &vekCameraObject::ptzMoving);
            op(rig_->obj(), c);
            if (messages.isEmpty())
                QTest::qWait(20);
            QVERIFY(rig_->onlyCameraGot(c, messages));
            QCOMPARE(spy.count(), moving ? 1 : 0);
        }
        // The older tracking operations are sent once more after an error answer.
        if (expected.startsWith("810A0F010701FF|")) {
            rig_->settle();
            rig_->clearReceived();
            rig_->cam(2).injectReply(hexBytes("0006906002FF"));
            op(rig_->obj(), -1);
            QVERIFY(rig_->onlyCameraGot(2, {messages.last(), messages.last()}));
        }
    }

    // zoomStop: up to three sends until acknowledged, 100 ms apart; panTiltStop:
    // one resend when unanswered (an error is an answer); the transport's
    // resend: up to three sends until acknowledged.
    void retries_data()
    {
        QTest::addColumn<int>("kind"); // 0 zoom stop, 1 pan-tilt stop, 2 resend
        QTest::addColumn<int>("errors"); // error answers first; -1: silent
        QTest::addColumn<int>("sends");
        QTest::newRow("zoom acknowledged") << 0 << 0 << 1; QTest::newRow("zoom error once") << 0 << 1 << 2;
        QTest::newRow("zoom never acknowledged") << 0 << -1 << 3; QTest::newRow("pan-tilt acknowledged") << 1 << 0 << 1;
        QTest::newRow("pan-tilt error is an answer") << 1 << 1 << 1; QTest::newRow("pan-tilt silent") << 1 << -1 << 2;
        QTest::newRow("resend acknowledged at once") << 2 << 0 << 1;
        QTest::newRow("resend after one error") << 2 << 1 << 2;
        QTest::newRow("resend errors throughout") << 2 << 3 << 3;
        QTest::newRow("resend to a silent camera") << 2 << -1 << 3;
    }
    void retries()
    {
        QFETCH(int, kind);
        QFETCH(int, errors);
        QFETCH(int, sends);
        for (int i = 0; i < errors; ++i)
            rig_->cam(1).injectReply(hexBytes("906002FF"));
        if (errors < 0)
            rig_->cam(1).setFailureMode(SimCamera::Silent);
        const QByteArray msg = hexBytes(kind == 0 ? "8101040700FF" : kind == 1 ? "8101060110100303FF"
                                                                               : "0009810A0F010501FF");
        QElapsedTimer t;
        t.start();
        if (kind == 0)
            rig_->obj().zoomStop(1);
        else if (kind == 1)
            rig_->obj().panTiltStop(0x10, 0x10, 1);
        else
            rig_->obj().commandResendUntilAckAndComplete(msg, 100, 1);
        const qint64 ms = t.elapsed();
        QVERIFY(rig_->onlyCameraGot(1, QVector<QByteArray>(sends, msg).toList()));
        if (kind == 0 && errors < 0) // three waits and three pauses
            QVERIFY2(ms >= 880, qPrintable(QString::number(ms)));
        // An offline camera is refused at once, not retried.
        rig_->obj().setVekStatus(1, false);
        rig_->clearReceived();
        t.restart();
        rig_->obj().zoomStop(1);
        QVERIFY2(t.elapsed() < 100, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(rig_->cam(1).receivedCount(), 0);
    }

    // The preset operations with the camera's own answers (which answers pass:
    // the decoders' "ack" rows); a reply that only looks like one fails.
    void presetCheck()
    {
        vekCameraObject &o = rig_->obj();
        QVERIFY(o.storePtzPosition(4, 2) && o.presetMemSpeed(0x0C, 2) && o.gotoPtzPosition(4, 2));
        const SimCamera::State s = rig_->cam(2).state();
        QVERIFY(s.presets.contains(4));
        QCOMPARE(s.lastRecalledPreset, 4);
        QCOMPARE(s.presetSpeedAll, 0x0C);
        rig_->answerNext(2, hexBytes("0041FF"));
        QVERIFY(!o.storePtzPosition(4, 2));
    }

    // A completion that comes after its exchange has ended (a preset recall's,
    // when the motion stops) lands in the next exchange on the line, ahead of
    // that exchange's own answer. It must not pass for that answer.
    void lateCompletionIsNoAnswer_data()
    {
        QTest::addColumn<VekProbe>("probe");
        QTest::addColumn<QByteArray>("answer"); // to the probe: empty its own, kSilent none
        QTest::addColumn<int>("sends");
        QTest::newRow("presence inquiry") << VekProbe([](vekCameraObject &o) { return o.camPowerInq(0); })
                                          << QByteArray() << 1;
        QTest::newRow("status poll") << VekProbe([](vekCameraObject &o) { return o.getSystemStatus(0); })
                                     << QByteArray() << 1;
        QTest::newRow("unanswered stop is sent again") << VekProbe([](vekCameraObject &o) {
            o.panTiltStop(1, 1, 0);
            return true;
        }) << kSilent << 2;
        QTest::newRow("garbage between")
            << VekProbe([](vekCameraObject &o) { return o.queryVersion(0) && o.modelName() == "39c"; })
            << hexBytes("13379050039C010203040001" "0A01000007FF") << 1;
    }
    void lateCompletionIsNoAnswer()
    {
        QFETCH(VekProbe, probe);
        QFETCH(QByteArray, answer);
        QFETCH(int, sends);
        SimCamera &cam = rig_->cam(0);
        cam.setFailureMode(SimCamera::LateCompletion);
        QVERIFY(rig_->obj().gotoPtzPosition(3, 0));
        if (!answer.isEmpty())
            cam.injectReply(answer == kSilent ? QByteArray() : answer);
        QVERIFY(probe(rig_->obj()));
        QCOMPARE(cam.receivedCount(), 1 + sends);
    }

    void modeChangeSignals()
    {
        QSignalSpy wb(&rig_->obj(), &vekCameraObject::WBModeChanged);
        QSignalSpy ae(&rig_->obj(), &vekCameraObject::ExposureModeChanged);
        QElapsedTimer t;
        t.start();
        rig_->obj().whiteBalance(0);
        QVERIFY(t.elapsed() >= 100); // the pause between mode and trigger
        QCOMPARE(rig_->cam(0).state().onePushTriggers, 1);
        rig_->obj().autoWhiteBalance(0);
        rig_->obj().manualWhiteBalance(0);
        QCOMPARE(wb.count(), 3);
        QCOMPARE(rig_->cam(0).state().wbMode, 5);
        rig_->obj().autoAE(0);
        rig_->obj().manualAE(0);
        QCOMPARE(ae.count(), 2);
        QCOMPARE(rig_->cam(0).state().aeMode, 3);

        // The mode properties ask the camera operated last.
        vekCameraObject &o = rig_->obj();
        rig_->cam(2).update([](SimCamera::State &s) {
            s.wbMode = 5;
            s.aeMode = 3;
        });
        o.focusStop(2); // the user works camera 2
        rig_->clearReceived();
        QCOMPARE(o.property("WBMode").toInt(), 5);
        QCOMPARE(o.property("ExposureMode").toInt(), 1);
        QVERIFY(rig_->onlyCameraGot(2, {hexBytes("81090435FF"), hexBytes("81090439FF")}));
        // Presence polling of the other cameras does not move the target.
        o.camPowerInq(0);
        o.camPowerInq(1);
        rig_->clearReceived();
        QCOMPARE(o.WBMode(), 5);
        // An offline camera is not asked: the mode reads 0.
        o.setVekStatus(2, false);
        QCOMPARE(o.WBMode(), 0);
        QVERIFY(rig_->onlyCameraGot(2, {hexBytes("81090435FF")}));
    }

    // The status answer as the interface sees it: its properties, and its
    // signals in their order (the order of the last five is part of the contract).
    void systemStatus()
    {
        vekCameraObject &o = rig_->obj();
        o.setvekVFlip(true);
        QSignalSpy vflip(&o, &vekCameraObject::vekVFlipChanged);
        VekSignalTrace trace(o);
        rig_->cam(1).injectReply(hexBytes("90501D15050A05080C0203001105FF"));
        QVERIFY(o.getSystemStatus(1));
        QVERIFY(rig_->onlyCameraGot(1, {hexBytes("81097E7E70FF")}));
        QCOMPARE(vekProperties(o), QStringLiteral("bar 0 tally 1 red 1 green 1 osd 1 | '1080p60' wb 5 r 165 b 140 | "
                                                  "af 1 iris 0 | h 1 v 0 pan 1 tilt 0 range 5"));
        QCOMPARE(o.getVideoMode(), QStringLiteral("1080p60"));
        QCOMPARE(vflip.count(), 1);
        QCOMPARE(trace.take().join(' '), QStringLiteral("power(1, true) wb(1, 2) rGain(1, 165) bGain(1, 140) "
                                                        "focus(1, true) iris(1, false) speed(1, 5) tally(1, 1) "
                                                        "format(1, 0) mirror(1, 2) pan(1, 1) tilt(1, 0)"));

        // What the operations set, as the camera reports it back.
        rig_->cam(1).update([](SimCamera::State &s) {
            s.colorBar = true;
            s.aeMode = 10;
            s.speedRange = 9;
        });
        o.imageFlipOn(1);
        o.imageMirroOn(1);
        o.tiltReverseOn(1);
        o.manualFocus(1);
        o.greenTallyOn(1);
        o.switchVideoMode(0x02, 1); // 1080i60
        o.whiteBalance(1);
        o.setRGain(0x12, 1);
        o.setBGain(0xF0, 1);
        trace.take();
        QVERIFY(o.getSystemStatus(1));
        QCOMPARE(vekProperties(o), QStringLiteral("bar 1 tally 1 red 0 green 1 osd 0 | '1080i60' wb 2 r 18 b 240 | "
                                                  "af 0 iris 1 | h 1 v 1 pan 0 tilt 1 range 9"));
        QCOMPARE(trace.take().join(' '), QStringLiteral("power(1, true) wb(1, 6) rGain(1, 18) bGain(1, 240) "
                                                        "focus(1, false) iris(1, true) speed(1, 9) tally(1, 2) "
                                                        "format(1, 6) mirror(1, 3) pan(1, 0) tilt(1, 1)"));

        // Unknown video code (3): empty text, index 0. An "other" white balance,
        // focus and exposure leave the properties and report 0 / false.
        rig_->cam(1).injectReply(hexBytes("9050000301000000000707000000FF"));
        QVERIFY(o.getSystemStatus(1));
        QCOMPARE(vekProperties(o), QStringLiteral("bar 0 tally 0 red 0 green 0 osd 0 | '' wb 2 r 0 b 0 | "
                                                  "af 0 iris 1 | h 0 v 0 pan 0 tilt 0 range 0"));
        QCOMPARE(trace.take().join(' '), QStringLiteral("power(1, false) wb(1, 0) rGain(1, 0) bGain(1, 0) "
                                                        "focus(1, false) iris(1, false) speed(1, 0) tally(1, 0) "
                                                        "format(1, 0) mirror(1, 0) pan(1, 0) tilt(1, 0)"));
    }

    // The version answer fills in the camera's details and sets the line flag;
    // a failed read keeps what it had, reports nothing, and clears the flag
    // until the next answer. Which replies fail is with the replies.
    void versionAndFailedReads()
    {
        vekCameraObject &o = rig_->obj();
        rig_->cam(0).update([](SimCamera::State &s) {
            s.modelCode = 0x71A;
            s.mcuVersion = "0203";
            s.fpgaVersion = "b07";
            s.motorVersion = "0110";
        });
        VekSignalTrace trace(o);
        o.queryPanTiltMaxSpeed(0);
        QVERIFY(o.queryVersion(0) && o.serialState(0));
        QCOMPARE(trace.take(), QStringList{"info(0, 02.03, b07, 01.10, 71a)"});
        const QStringList details{"71a", "02.03", "b07", "01.10"};
        QCOMPARE((QStringList{o.modelName(), o.mcuVersion(), o.fpgaVersion(), o.motorVersion()}), details);
        rig_->cam(0).setFailureMode(SimCamera::Silent);
        QVERIFY(!o.queryVersion(0));
        QVERIFY(!o.serialState(0));
        QCOMPARE((QStringList{o.modelName(), o.mcuVersion(), o.fpgaVersion(), o.motorVersion()}), details);
        o.queryPanTiltMaxSpeed(0);
        QCOMPARE(o.panMaxSpeed(), QStringLiteral("8"));
        QCOMPARE(trace.take(), QStringList());
        rig_->cam(0).setFailureMode(SimCamera::Normal);
        QVERIFY(o.queryVersion(0)); // an answer sets the line flag again
        QVERIFY(o.serialState(0));

        // Any answer, an error too, shows the line works.
        rig_->answerNext(0, hexBytes("906002FF"));
        QCOMPARE(rig_->obj().atTrackInquire(0), -1);
        QVERIFY(rig_->obj().serialState(0));
        QCOMPARE(rig_->obj().atTrackInquire(0), 3); // the camera's tracking is off
    }

    // Shutter, gains, speeds, tally, modes and video format as the camera holds
    // them (what the operations send is in the first table).
    void valueInquiries()
    {
        vekCameraObject &o = rig_->obj();
        rig_->cam(1).update([](SimCamera::State &s) {
            s.shutter = 0xA3;
            s.rGain = 0xA5;
            s.bGain = 0x3C;
            s.panMaxSpeed = 0x18;
            s.tiltMaxSpeed = 0x07;
            s.videoCode = 0x14;
        });
        VekSignalTrace trace(o);
        QCOMPARE(o.shutterPosInq(1), 0xA3);
        QCOMPARE(o.rGain(1), 0xA5);
        QCOMPARE(o.bGain(1), 0x3C);
        QCOMPARE(trace.take(), (QStringList{"shutter(163)", "rGain(1, 165)", "bGain(1, 60)"}));
        o.queryPanTiltMaxSpeed(1);
        QCOMPARE(o.panMaxSpeed(), QStringLiteral("8")); // low nibble
        QCOMPARE(o.tiltMaxSpeed(), QStringLiteral("7"));
        QCOMPARE(o.getVideoFormat(1), 0x14);
        QByteArray longForm = hexBytes("00199050") + QByteArray(20, char(0x01)) + char(0xFF);
        longForm[12] = char(0x07); // the long form carries the value in its byte 12
        rig_->cam(1).injectReply(longForm);
        QCOMPARE(o.getVideoFormat(1), 0x07);

        QVERIFY(!o.isTallyOn(1));
        o.redTallyOn(1);
        QVERIFY(o.isTallyOn(1));
        QVERIFY(o.isAutoFocus(1));
        o.manualFocus(1);
        QVERIFY(!o.isAutoFocus(1));
        for (auto [held, read] : {std::pair{0, 0}, {5, 5}, {3, 3}, {2, 0}}) {
            rig_->cam(1).update([held = held](SimCamera::State &s) { s.wbMode = held; });
            QCOMPARE(o.getWhiteBalanceMode(1), read);
        }
        for (auto [held, read] : {std::pair{0, 0}, {3, 1}, {11, 1}, {13, 1}, {10, 0}}) {
            rig_->cam(1).update([held = held](SimCamera::State &s) { s.aeMode = held; });
            QCOMPARE(o.getExposureMode(1), read);
        }
    }


    void powerInquiry_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("online");
        QTest::newRow("on") << QByteArray() << true;
        QTest::newRow("standby answers too") << hexBytes("905003FF") << true;
        QTest::newRow("noise of four bytes") << hexBytes("01020304") << false;
    }
    void powerInquiry()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, online);
        rig_->obj().setVekStatus(2, false);
        rig_->answerNext(2, reply);
        QCOMPARE(rig_->obj().camPowerInq(2), online);
        QVERIFY(rig_->onlyCameraGot(2, {hexBytes("81090400FF")}));
    }


    void settingInquiries()
    {
        vekCameraObject &o = rig_->obj();
        rig_->cam(0).update([](SimCamera::State &s) {
            s.figure = 3;
            s.figureSize = 0x0ABC;
            s.placement = 2;
            s.trackSpeed = 1;
            s.detIndicator = 3;
            s.trackStartPreset = 5;
            s.osdReminder = true;
            s.autoZoom = true;
            s.autoTilt = false;
            s.profile = 7;
        });
        // figure, its size, placement, speed, indicator, start position, OSD
        // reminder, auto zoom, auto tilt, profile
        const auto settings = [&] {
            return QList<int>{o.atFigureInq(0),   o.atFigureCustSizeInq(0),   o.atPlacementInq(0), o.atSpeedInq(0),
                              o.atDetindInq(0),   o.atTrackingStartPosInq(0), o.atOSDInq(0),       o.atAutoZoomInq(0),
                              o.atAutoTiltInq(0), o.InquireATProfileNum(0)};
        };
        QCOMPARE(settings(), (QList<int>{3, 0x0ABC, 2, 1, 3, 5, 1, 1, 0, 7}));
    }

    // ---- The camera lines, the online gate and the single exchange

    void initSerialFailures()
    {
        for (int i = 0; i < 3; ++i) // that each index reaches its own line shows with every operation
            QVERIFY(rig_->obj().serialState(i));
        QSignalSpy spy(&rig_->obj(), &vekCameraObject::sendUartStatus);
        rig_->obj().initSerial(1, QStringLiteral("ttyAMA1"), 38400, 8, 0, 1, 0);
        QVERIFY(rig_->log().contains(QStringLiteral("initSerial: failed")));
        QCOMPARE(spy.count(), 0);
        QVERIFY(rig_->obj().serialState(1)); // line 3 (camera 1) untouched

        rig_->obj().initSerial(2, QStringLiteral("ttyNOSUCH"), 38400, 8, 0, 1, 0);
        QCOMPARE(spy.takeFirst(), (QVariantList{2, false}));
        QVERIFY(!rig_->obj().serialState(2));
        // A write on the closed line fails without touching any camera.
        QVERIFY(rig_->obj().doCommandSend(hexBytes("8101040002FF"), 200, true, 2).isEmpty());
        QCOMPARE(rig_->cam(2).receivedCount(), 0);

        rig_->obj().initSerial(2, QStringLiteral("ttyUSB0"), 38400, 8, 0, 1, 0);
        QCOMPARE(spy.takeFirst(), (QVariantList{2, true}));
        QVERIFY(rig_->obj().camPowerInq(2));

        rig_->obj().clearUartTxRx(3); // what the clear drops is the line's business
        rig_->obj().clearUartTxRx(1); // no such line: nothing happens
        rig_->obj().clearUartTxRx(-5);
        QVERIFY(rig_->obj().camPowerInq(1));

        rig_->log().clear();
        rig_->obj().onUartError(QSerialPort::NoError);
        rig_->obj().onUartError(QSerialPort::TimeoutError);
        QVERIFY(!rig_->log().contains(QStringLiteral("[UART ERROR]")));
        rig_->obj().onUartError(QSerialPort::ResourceError);
        QVERIFY(rig_->log().contains(QStringLiteral("[UART ERROR] ResourceError")));
    }


    void gate_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<bool>("passes");
        QTest::newRow("bare power inquiry") << hexBytes("81090400FF") << true;
        QTest::newRow("framed power inquiry") << hexBytes("000781090400FF") << false;
        QTest::newRow("power on") << hexBytes("8101040002FF") << false;
        QTest::newRow("pan") << hexBytes("8101060105050103FF") << false;
        QTest::newRow("power inquiry with trailing byte") << hexBytes("81090400FF00") << false;
    }
    void gate()
    {
        QFETCH(QByteArray, command);
        QFETCH(bool, passes);
        rig_->obj().setVekStatus(1, false);
        const QByteArray reply = rig_->obj().doCommandSend(command, 200, true, 1);
        QCOMPARE(!reply.isEmpty(), passes);
        if (!passes)
            QTest::qWait(20);
        QCOMPARE(rig_->cam(1).receivedBytes(), passes ? command : QByteArray());
        // Online flags outside 0..2 are refused, not stored.
        rig_->obj().setVekStatus(3, true);
        rig_->obj().setVekStatus(-1, true);
        QVERIFY(!rig_->obj().vekIsOnline(3) && !rig_->obj().vekIsOnline(1));
    }

    void invalidIndexWritesNothing_data()
    {
        QTest::addColumn<int>("vekIdx");
        QTest::newRow("3") << 3; QTest::newRow("-1") << -1; QTest::newRow("large") << 1000;
    }
    void invalidIndexWritesNothing()
    {
        QFETCH(int, vekIdx);
        QVERIFY(rig_->obj().doCommandSend(hexBytes("81090400FF"), 200, true, vekIdx).isEmpty());
        // Operations with such an index fail their own way and never index past
        // the per-camera flags.
        QCOMPARE(rig_->obj().atTrackInquire(vekIdx), -1);
        QVERIFY(!rig_->obj().queryVersion(vekIdx));
        QVERIFY(!rig_->obj().getSystemStatus(vekIdx));
        QVERIFY(!rig_->obj().camPowerInq(vekIdx));
        rig_->obj().panTiltStop(1, 1, vekIdx);
        rig_->obj().zoomStop(vekIdx);
        QTest::qWait(20);
        QVERIFY(rig_->onlyCameraGot(-1, {}));
    }

    void noWaitReturnsAtOnce()
    {
        QElapsedTimer t;
        t.start();
        QVERIFY(rig_->obj().doCommandSend(hexBytes("8101040702FF"), 400, false, 0).isEmpty());
        QVERIFY2(t.elapsed() < 150, qPrintable(QString::number(t.elapsed())));
        QTRY_COMPARE(rig_->cam(0).received(), QList<QByteArray>{hexBytes("8101040702FF")});

        // A reply is returned whole (once the answers to the first are in).
        rig_->settle();
        rig_->cam(0).injectReply(hexBytes("9041FF9051FF"));
        QCOMPARE(rig_->obj().doCommandSend(hexBytes("8101040700FF"), 200, true, 0), hexBytes("9041FF9051FF"));
        // An empty command is not written at all.
        rig_->clearReceived();
        QVERIFY(rig_->obj().doCommandSend(QByteArray(), 200, true, 0).isEmpty());
        QTest::qWait(20);
        QCOMPARE(rig_->cam(0).receivedBytes(), QByteArray());
    }




    void decoders_data()
    {
        QTest::addColumn<QString>("decoder");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("expected");
        auto row = [](const char *decoder, const char *name, const char *reply, const char *expected) {
            QTest::addRow("%s: %s", decoder, name) << QString::fromLatin1(decoder) << QByteArray::fromHex(reply)
                                                   << QString::fromLatin1(expected);
        };
        // containsAckComplete, then the preset test (second byte 41 or 51); the
        // product-level cases (ack and completion, errors) run through the line.
        row("ack", "complete alone", "9051FF", "1 1"); row("ack", "ack alone", "9041FF", "1 1");
        row("ack", "framed ack", "00059041FF", "1 0"); row("ack", "ack without terminator", "9041", "0 0");
        row("ack", "noise with 41", "1241FF", "0 0"); row("ack", "empty", "", "0 0");
        row("ack", "ack and completion", "9041FF9051FF", "1 1");
        // the video code is the low six bits of byte 3
        row("status", "0x42 reads as code 2", "9050014200000000000200000003FF", "'1080i60' 6");
        row("status", "code 5 is 1080i60 too", "9050010500000000000200000003FF", "'1080i60' 6");
        row("status", "code 0 unknown", "9050010000000000000200000003FF", "'' 0");
        row("status", "code 3 unknown", "9050010300000000000200000003FF", "'' 0");
        row("status", "2160p60", "9050012400000000000200000003FF", "'2160p60' 17");
        row("status", "720p50", "9050010C00000000000200000003FF", "'720p50' 11");
        row("status", "14 bytes", "90500115000000000002000000FF", "-");
        row("status", "16 bytes", "9050011500000000000200000003FFFF", "-");
        row("status", "error padded to 15", "906002FF00000000000000000000FF", "-");
        row("status", "ack then 12 bytes", "9041FF9050011500000000000200FF", "-");
        row("status", "no terminator", "905001150000000000020000000300", "-"); row("status", "empty", "", "-");
        row("version", "low nibbles, byte 3 whole", "9050F3050102030400010A01000007FF", "305 12.34 01a 10.07");
        row("version", "17 bytes", "9050039C0102030400010A01000007FFFF", "-"); row("version", "empty", "", "-");
        row("shutter", "after stale completion", "00059051FF0009905000000005FF", "5");
        row("shutter", "truncated frame", "00099050000000A", "-1");
        row("shutter", "wrong terminator", "0009905000000A0300", "-1"); row("shutter", "empty", "", "-1");
        row("gain", "high nibble only counts once", "0009905000000F0FFF", "255");
        row("gain", "framed error six bytes", "0006906002FF", "-");
        row("gain", "length byte lies", "0020905000000A05FF", "-"); row("gain", "five bytes", "00059050FF", "-");
        row("track", "high nibble dropped", "905042FF", "value 2");
        row("track", "refused", "906002FF", "not supported -1"); row("track", "garbage", "01020304", "unknown -1");
        row("track", "answer without terminator", "90500200", "unknown -1");
        row("track", "ack before answer", "9041FF905003FF", "value 3");
        row("track", "ack and completion", "9041FF9051FF", "unknown -1");
        row("track", "three bytes", "9051FF", "too short -1");
        row("profile", "5", "000790500005FF", "5"); row("profile", "10", "00079050000AFF", "10");
        row("profile", "11 out of range", "00079050000BFF", "-1");
        row("profile", "0 out of range", "000790500000FF", "-1"); row("profile", "five bytes", "00079050FF", "-1");
        row("bare1", "after ack", "9041FF905003FF", "03"); row("bare1", "inside a frame", "0006905002FF", "02");
        row("bare1", "answer without data", "9050FF", "-");
        row("bare4", "too short for four", "9050010203FF", "-");
        row("bare4", "second answer long enough", "905001FF905001020304FF", "01020304");
    }
    void decoders()
    {
        QFETCH(QString, decoder);
        QFETCH(QByteArray, reply);
        QFETCH(QString, expected);
        QCOMPARE(decoded(decoder, reply), expected);
    }

    void videoCodeTable()
    {
        // The interface sends the codes of its list positions 0 to 11.
        const int codes[] = {0x15, 0x13, 0x14, 0x07, 0x06, 0x08, 0x02, 0x01, 0x04, 0x0A, 0x09, 0x0C};
        for (int i = 0; i < 12; ++i)
            QCOMPARE(videoCodeForIndex(i), codes[i]);
        QCOMPARE(videoCodeForIndex(18), -1);
        QString t;
        int idx = -1;
        QVERIFY(videoFormatForCode(0x1D, &t, &idx));
        QCOMPARE(t, QStringLiteral("2160p29.97"));
        QCOMPARE(idx, 12);
        QVERIFY(!videoFormatForCode(0x3F, &t, &idx));
    }

    // Error answers, an acknowledgement and silence to every inquiry: each
    // gives its failure value, says so in the log, and reports nothing.
    void errorReplies_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("syntax error") << hexBytes("906002FF");
        QTest::newRow("framed not executable") << hexBytes("0006906141FF");
        // An error's third byte looks like a setting; it must not be read as one.
        QTest::newRow("error carrying 01") << hexBytes("906101FF");
        QTest::newRow("error carrying 02") << hexBytes("906102FF");
        QTest::newRow("ack and completion") << hexBytes("9041FF9051FF"); QTest::newRow("silent") << kSilent;
    }
    void errorReplies()
    {
        QFETCH(QByteArray, reply);
        const bool presetAck = reply.startsWith(hexBytes("9041"));
        VekSignalTrace trace(rig_->obj());
        for (const Inquiry &q : inquiries()) {
            // An acknowledgement is the right answer for the preset operations.
            const bool isPreset = QByteArray(q.name).contains("Ptz") || QByteArray(q.name).startsWith("presetMemSpeed");
            if (presetAck && isPreset)
                continue;
            rig_->log().clear();
            rig_->answerNext(0, reply);
            const int result = q.call(rig_->obj(), 0);
            QVERIFY2(result == q.failure, q.name);
            // Where the failure value is a possible value, the log alone tells them apart.
            QVERIFY2(reply == kSilent || rig_->log().contains(QStringLiteral("[ERR]")), q.name);
            // Nothing is reported to the interface (a recall announces its motion first).
            const QStringList emitted = trace.take().filter(QRegularExpression(QStringLiteral("^(?!moving\\()")));
            QVERIFY2(emitted.isEmpty(), qPrintable(QString::fromLatin1(q.name) + ": " + emitted.join(' ')));
        }
    }


    void manualConnectSetsSelection()
    {
        QCOMPARE(obj_->cameraCount(), 0);
        QCOMPARE(obj_->getCamCount(), 0);
        QVERIFY(!obj_->getCamIsdhcp());
        for (int i = 0; i < 3; ++i)
            QVERIFY(!obj_->serialState(i) && !obj_->vekIsOnline(i));
        QSignalSpy idx(obj_, &vekCameraObject::curCameraIndexChanged);
        QSignalSpy count(obj_, &vekCameraObject::cameraCountChanged);
        QSignalSpy line(obj_, &vekCameraObject::curInputLineChanged);
        obj_->setCurInputLine(3);
        obj_->createManualCameraObjDoConnect(1, QStringLiteral("127.0.0.1"), QStringLiteral("39c"));
        QCOMPARE((QList<int>{obj_->curCameraIndex(), obj_->curInputLine(), obj_->cameraCount()}),
                 (QList<int>{1, 0, 2}));
        QCOMPARE((QList<int>{idx.count(), line.count(), count.count()}), (QList<int>{1, 2, 1}));

        // The same values again change nothing.
        obj_->createManualCameraObjDoConnect(1, QStringLiteral("127.0.0.1"), QStringLiteral("39c"));
        QCOMPARE((QList<int>{idx.count(), count.count()}), (QList<int>{1, 1}));

        // The address is not stored as an entry: the count falls back.
        QCOMPARE(obj_->getCamCount(), 0);
        QCOMPARE(obj_->cameraCount(), 0);
        QCOMPARE(count.count(), 2);
        QVERIFY(!obj_->getCamIsdhcp());

        obj_->createManualCameraObjDoConnect(-1, QStringLiteral("127.0.0.1"), QString());
        QCOMPARE(obj_->curCameraIndex(), 1);
    }

    void saveClearAndRemove()
    {
        obj_->saveCamera();
        QCOMPARE(obj_->savedCameraCount(), 0);

        obj_->addCamera(entryWith(1));
        obj_->addCamera(entryWith(2));
        obj_->atOptInitDefault(1, 2);
        QCOMPARE(obj_->getCamCount(), 2);
        obj_->saveCamera();
        QCOMPARE(obj_->savedCameraCount(), 2);
        // No emptied places are left behind to trip over.
        QCOMPARE(obj_->getCamCount(), 0);
        QCOMPARE(options(*obj_, 1), kNoOptions);
        obj_->setCurCameraIndex(1);
        obj_->refreshCurrentCameraLineInput();
        QCOMPARE(obj_->isAiCam(), 0);
        QVERIFY(!obj_->getCamIsdhcp());

        obj_->addCamera(entryWith(1));
        obj_->removeCamera(0, QStringLiteral("127.0.0.1"));
        QCOMPARE(obj_->getCamCount(), 1);
        obj_->clearCamera();
        QCOMPARE(obj_->getCamCount(), 0);
        obj_->addCamera(entryWith(1));
        obj_->cameraClear();
        QCOMPARE(obj_->getCamCount(), 0);
    }

    // Indices outside the registry change nothing and read as no options.
    void optionDefaults_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("capability");
        QTest::addColumn<QString>("expected");
        for (int capability : {1, 2})
            QTest::addRow("capability %d", capability) << 1 << capability << "1 0 0 0 | 0 0 0 1 0";
        for (int capability : {0, 3, -1})
            QTest::addRow("capability %d", capability) << 1 << capability << kNoOptions;
        for (int index : {-1, 2, 7, 1 << 30})
            QTest::addRow("index %d", index) << index << 2 << kNoOptions;
    }
    void optionDefaults()
    {
        QFETCH(int, index);
        QFETCH(int, capability);
        QFETCH(QString, expected);
        vek_camera_info set = entryWith(2);
        set.atTrack = true;
        set.atMode = 4;
        vek_camera_info dirty = entryWith(1);
        dirty.atTrack = !expected.startsWith('1');
        dirty.atAutoZoom = dirty.atAutoTilt = dirty.atOsdRmd = true;
        dirty.atMode = dirty.atTrackStartPos = dirty.atDetIndicator = dirty.atRoiStartPos = dirty.atRoiActTime = 9;
        obj_->addCamera(set);
        obj_->addCamera(dirty);
        const QString dirtyOptions = options(*obj_, 1);
        obj_->atOptInitDefault(index, capability);
        QCOMPARE(options(*obj_, index), expected);
        QCOMPARE(options(*obj_, 0), QStringLiteral("1 0 0 0 | 4 0 0 0 0")); // the other entry is untouched
        if (index != 1)
            QCOMPARE(options(*obj_, 1), dirtyOptions);
    }

    void currentLineInput()
    {
        obj_->addCamera(entryWith(1));
        obj_->addCamera(entryWith(4));
        obj_->setCurCameraIndex(1);
        obj_->refreshCurrentCameraLineInput();
        QCOMPARE(obj_->curInputLine(), 3);
        QVERIFY(obj_->getCamIsdhcp());
        obj_->setCurCameraIndex(5);
        obj_->refreshCurrentCameraLineInput();
        QCOMPARE(obj_->curInputLine(), 3);
        QVERIFY(!obj_->getCamIsdhcp());
    }

    void aiCamByModel_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("expected");
        for (int i = 0; i < 3; ++i)
            QTest::addRow("tracking model %d", i) << CameraModels::aiCamList().at(i) << 2;
        QTest::newRow("plain model") << "39c" << 0; QTest::newRow("no model") << "" << 0;
        QTest::newRow("end marker is no model") << "FFFF" << 0;
    }
    void aiCamByModel()
    {
        QFETCH(QString, model);
        QFETCH(int, expected);
        QCOMPARE(obj_->isAiCam(), 0); // empty registry
        obj_->addCamera(entryWith(1, model));
        obj_->setCurCameraIndex(0);
        QCOMPARE(obj_->isAiCam(), expected);
        // The shutter-table family is told apart the same way.
        QVERIFY(!obj_->isAltShutterModel(model));
        QVERIFY(obj_->isAltShutterModel(model + CameraModels::altShutterFamily().first()));
    }

    void lowerVideoFormatRequest()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0));
        const QString address = QStringLiteral("127.0.0.1:%1").arg(server.serverPort());
        QSignalSpy finished(obj_, &vekCameraObject::finished);

        QElapsedTimer t;
        t.start();
        obj_->setLowerVideoFormat(address);
        QVERIFY2(t.elapsed() < 200, "the request must not wait for the camera");
        QCOMPARE(finished.count(), 0);

        QTRY_VERIFY(server.hasPendingConnections());
        QTcpSocket *sock = server.nextPendingConnection();
        QByteArray request;
        QTRY_VERIFY((request += sock->readAll()).contains("\r\n\r\n"));
        // The settings object, its quotes and braces percent-encoded so nothing
        // in it can end the request line early.
        const QByteArray target("/ajaxcom?szCmd=%7B%22SetEnv%22:%7B%22VideoEncode%22:[%7B%22stSlave%22:%7B%22"
                                "emVideoCodec%22:5,%22emImageSize%22:27%7D,%22stMaster%22:%7B%22emVideoCodec%22:5%7D,"
                                "%22nChannel%22:0%7D]%7D%7D");
        QCOMPARE(request.left(request.indexOf("\r\n")), "GET " + target + " HTTP/1.1");
        QVERIFY(request.contains("\r\nHost: " + address.toLatin1() + "\r\n"));

        sock->write("HTTP/1.1 200 OK\r\nContent-Length: 9\r\nConnection: close\r\n\r\n{\"ok\":1}\n");
        sock->flush();
        QTRY_COMPARE(finished.count(), 1);
        QTRY_VERIFY(log_->contains(QStringLiteral(" onfinish....... str:  {\"ok\":1}")));
        sock->close();
    }

    // Anything but a bare host[:port] could redirect the request elsewhere.
    void lowerVideoFormatRefusesBadAddress_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("empty") << "";
        QTest::newRow("path") << "/other";
        QTest::newRow("query") << "?x=1"; QTest::newRow("space") << " x"; QTest::newRow("user info") << "@";
    }
    void lowerVideoFormatRefusesBadAddress()
    {
        QFETCH(QString, suffix);
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0));
        const QString address =
            suffix.isEmpty() ? QString() : QStringLiteral("127.0.0.1:%1").arg(server.serverPort()) + suffix;
        obj_->setLowerVideoFormat(address);
        QVERIFY(log_->contains(QStringLiteral("[ERR] setLowerVideoFormat: not a camera address:")));
        QTest::qWait(100);
        QVERIFY(!server.hasPendingConnections());
    }

    // ---- The camera line wrapper through real QSerialPort code, against a
    // simulated camera: what goes on the wire, how answers are collected,
    // and what happens when the camera is silent, late or garbled; then the
    // simulated camera itself, as the panel sees it.

    void lineOpenAppliesItsSettings()
    {
        QSerialPort *p = sp_->port();
        QCOMPARE(p->portName(), Sysroot::path(QStringLiteral("/dev/ttyS0")));
        QCOMPARE(settings(p), k38400_8N1);
        // Invalid values are refused; the line keeps working with the settings it had.
        const QList<QPair<void (serialPort::*)(int), int>> invalid{
            {&serialPort::setBaudRate, 0},        {&serialPort::setBaudRate, -9600}, {&serialPort::setDataBits, 9},
            {&serialPort::setDataBits, 4},        {&serialPort::setParity, 1},       {&serialPort::setParity, 6},
            {&serialPort::setStopBits, 0},        {&serialPort::setStopBits, 4},     {&serialPort::setFlowControl, 3},
            {&serialPort::setFlowControl, -1}};
        for (const auto &[setter, value] : invalid)
            (sp_.get()->*setter)(value);
        QCOMPARE(settings(p), k38400_8N1);
        QCOMPARE(exchange(kPowerInq), spaced(kOn));

        // A setter applies at once, and a re-open or reset keeps it (a
        // pseudo-terminal carries only the speed of the other settings).
        sp_->setBaudRate(9600);
        QCOMPARE(p->baudRate(), 9600);
        QCOMPARE(sp_->openSerialPort(QStringLiteral("ttyS0")), QStringLiteral("OK"));
        QCOMPARE(p->baudRate(), 9600);
        sp_->closeSerialPort();
        QVERIFY(!sp_->isOpened());
        QCOMPARE(sp_->writeData(kPowerInq), qint64(-1));
        QVERIFY(sp_->resetSerialPort());
        QCOMPARE(p->baudRate(), 9600);
        QCOMPARE(sp_->portName(), QStringLiteral("ttyS0"));
        QCOMPARE(exchange(kPowerInq), spaced(kOn));
        QCOMPARE(lineCam_->received(), (QList<QByteArray>{kPowerInq, kPowerInq}));
    }

    // Also what keeps an answer that came after its wait had ended from
    // passing for the answer to the next request.
    void lineStaleBytesAreDroppedByTheNextWrite()
    {
        const QByteArray stale = hexBytes("90 51 FF 90 50 03 FF 90 60 02 FF");
        lineCam_->writeRaw(stale); // already read by Qt
        QTRY_COMPARE(sp_->port()->bytesAvailable(), qint64(stale.size()));
        QVERIFY(send(kPowerInq));
        QCOMPARE(spaced(sp_->receive(200)), spaced(kOn));
        lineCam_->writeRaw(stale); // still in the driver
        QVERIFY(waitForDriverBytes(stale.size()));
        QVERIFY(send(kPowerInq));
        QCOMPARE(spaced(sp_->receive(200)), spaced(kOn));

        // A clear drops pending input too, whether Qt has read it yet or not.
        lineCam_->writeRaw(hexBytes("90 41 FF 90 51 FF"));
        QTRY_COMPARE(sp_->port()->bytesAvailable(), qint64(6));
        lineCam_->writeRaw(kOn);
        QVERIFY(waitForDriverBytes(4));
        sp_->clearTXRX();
        QCOMPARE(sp_->port()->bytesAvailable(), qint64(0));
        QElapsedTimer t;
        t.start();
        QByteArray data = "old";
        sp_->readData(data);
        QCOMPARE(data, QByteArray());
        QVERIFY(t.elapsed() >= 160);
        sp_->closeSerialPort();
        sp_->clearTXRX(); // a closed port is left alone
        QVERIFY(!sp_->isOpened());
    }

    // How long receive() collects: the whole time-out when nothing comes, when
    // the answer was already waiting, or when it never ends in FF; only until
    // the terminator when the answer arrives during a wait.
    void lineReceiveTiming_data()
    {
        QTest::addColumn<int>("mode"); // 0 silent, 1 late ack, 2 already waiting, 3 unterminated
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<int>("minMs");
        QTest::addColumn<int>("maxMs");
        QTest::newRow("no camera") << 0 << QByteArray() << 200 << 700;
        QTest::newRow("ack during a wait") << 1 << kAck << 20 << 330;
        QTest::newRow("answer already waiting") << 2 << kAck + kCompletion << 200 << 700;
        QTest::newRow("unterminated") << 3 << hexBytes("90 50 02") << 200 << 700;
    }
    void lineReceiveTiming()
    {
        QFETCH(int, mode);
        QFETCH(QByteArray, expected);
        QFETCH(int, minMs);
        QFETCH(int, maxMs);
        const QByteArray request = mode == 1 || mode == 2 ? kPowerOn : kPowerInq;
        if (mode == 0) {
            lineCam_->setFailureMode(SimCamera::Silent);
        } else if (mode == 1) { // the completion comes much later
            lineCam_->setFailureMode(SimCamera::AnswerLate);
            lineCam_->setLateDelay(40);
            lineCam_->setCompletionDelay(1000);
        } else if (mode == 3) {
            lineCam_->injectReply(hexBytes("90 50 02"));
        }
        QVERIFY(send(request));
        if (mode == 2)
            QTRY_COMPARE(sp_->port()->bytesAvailable(), qint64(6));
        QElapsedTimer t;
        t.start();
        QCOMPARE(spaced(sp_->receive(mode == 1 ? 400 : 200)), spaced(expected));
        const qint64 took = t.elapsed();
        QVERIFY2(took >= minMs - 5 && took < maxMs, qPrintable(QString::number(took)));
        QTRY_COMPARE(lineCam_->received(), QList<QByteArray>{request});
    }


    void lineReceiveExactAndReadData()
    {
        lineCam_->injectReply(hexBytes("90 50 02"));
        QVERIFY(send(kPowerInq));
        QElapsedTimer t;
        t.start();
        QCOMPARE(sp_->receiveExact(5, 100), QByteArray());
        QVERIFY(t.elapsed() >= 95);
        lineCam_->update([](SimCamera::State &s) { s.shutter = 0xA3; });
        QVERIFY(send(hexBytes("81 09 04 4A FF")));
        QCOMPARE(spaced(sp_->receiveExact(5, 300)), spaced(hexBytes("90 50 00 00 0A")));
        QCOMPARE(spaced(sp_->receiveExact(2, 300)), spaced(hexBytes("03 FF"))); // the rest stays for the next read

        QVERIFY(send(kPowerInq));
        QByteArray data = "old";
        sp_->readData(data);
        QCOMPARE(spaced(data), spaced(kOn));
        // A split answer is collected whole, across waits of 100 ms.
        lineCam_->setFailureMode(SimCamera::SplitReply);
        lineCam_->setSplitGap(150);
        QVERIFY(send(hexBytes("81 09 7E 7E 70 FF")));
        sp_->readDataUntilAck(data);
        QCOMPARE(data.size(), 15);
        QVERIFY(data.startsWith(char(0x90)) && data.endsWith(char(0xFF)));
        // Never terminated: twenty waits, then whatever came.
        lineCam_->setFailureMode(SimCamera::Normal);
        lineCam_->injectReply(hexBytes("90 50"));
        QVERIFY(send(kPowerInq));
        t.restart();
        sp_->readDataUntilAck(data);
        const qint64 took = t.elapsed();
        QCOMPARE(spaced(data), spaced(hexBytes("90 50")));
        QVERIFY2(took >= 1800 && took < 4000, qPrintable(QString::number(took)));

        // An answer longer than any reply is cut, and the line carries on.
        const QByteArray flood(serialPort::MaxReplyBytes + 2000, char(0x55));
        lineCam_->injectReply(flood);
        QVERIFY(send(kPowerInq));
        QCOMPARE(sp_->receive(400), flood.left(serialPort::MaxReplyBytes));
        // The only sign that the rest was dropped.
        QVERIFY(log_->contains(QStringLiteral("reply longer than 4096 bytes")));
        QCOMPARE(exchange(kPowerInq), spaced(kOn)); // the line carries on normally
    }


    void lineLostClosesThePort()
    {
        sp_->handleError(QSerialPort::ReadError);
        sp_->handleError(QSerialPort::TimeoutError);
        QVERIFY(sp_->isOpened());
        sp_->handleError(QSerialPort::ResourceError);
        QVERIFY(!sp_->isOpened());

        QVERIFY(sp_->resetSerialPort());
        QCOMPARE(exchange(kPowerInq), spaced(kOn));
        lineCam_->close(); // the far end of the line is gone
        QTRY_VERIFY(!sp_->isOpened());
        QCOMPARE(sp_->writeData(kPowerInq), qint64(-1));
    }

    // ---- The simulated camera as the panel sees it

    void lineCameraAnswersInTheFormOfTheRequest_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("bare command") << kPowerOn << kAck + kCompletion;
        QTest::newRow("framed command") << hexBytes("00 08 81 01 04 00 02 FF") << hexBytes("00 05 90 41 FF 00 05 90 51 FF");
        QTest::newRow("bare inquiry") << hexBytes("81 09 04 4A FF") << hexBytes("90 50 00 00 0A 03 FF");
        QTest::newRow("framed inquiry") << hexBytes("00 07 81 09 04 4A FF") << hexBytes("00 09 90 50 00 00 0A 03 FF");
        QTest::newRow("bare unknown") << hexBytes("81 01 04 77 01 FF") << hexBytes("90 60 02 FF");
        QTest::newRow("framed unknown") << hexBytes("00 08 81 01 04 77 01 FF") << hexBytes("00 06 90 60 02 FF");
        QTest::newRow("bad video code") << hexBytes("81 01 04 24 72 33 FF") << hexBytes("90 61 41 FF");
        QTest::newRow("another address") << hexBytes("82 09 04 00 FF") << QByteArray();
        QTest::newRow("address set") << hexBytes("88 30 01 FF") << hexBytes("88 30 02 FF");
    }
    void lineCameraAnswersInTheFormOfTheRequest()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, answer);
        lineCam_->update([](SimCamera::State &s) { s.shutter = 0xA3; });
        QVERIFY(send(request));
        // Everything the camera writes for this request, and nothing else.
        if (answer.isEmpty()) {
            QTRY_COMPARE(lineCam_->receivedCount(), 1);
            QTest::qWait(30);
        }
        QTRY_COMPARE(spaced(lineCam_->sentBytes()), spaced(answer));
        QTRY_COMPARE(sp_->port()->bytesAvailable(), qint64(answer.size()));
        QCOMPARE(spaced(sp_->port()->readAll()), spaced(answer));
        QCOMPARE(lineCam_->received(), QList<QByteArray>{request});
    }

    // Request/answer dialogues ("ack": 90 41 FF, its completion collected);
    // what the camera object's own operations set and read back is covered
    // with those operations.
    void lineDialogues_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("canTrack");
        auto row = [](const char *name, const char *script, int mode = SimCamera::Normal, bool canTrack = true) {
            QTest::newRow(name) << QString::fromLatin1(script) << mode << canTrack;
        };
        // Standby refuses motion until powered on again; the status shows the power bit clear.
        row("standby", "81 01 04 00 03 FF > ack; 81 01 04 07 27 FF > 90 61 41 FF;"
                       "81 09 7E 7E 70 FF > 90 50 00 15 00 08 00 08 00 02 00 00 00 03 FF;"
                       "81 01 04 00 02 FF > ack; 81 01 04 07 27 FF > ack");
        row("powered off", "81 09 04 00 FF > 90 50 03 FF; 81 01 04 00 02 FF > 90 61 41 FF;"
                           "81 0A 11 54 02 FF > 90 61 41 FF; 81 09 7E 11 54 FF > 90 50 03 FF", SimCamera::PowerOff);
        // A tracking command without a body is refused, not read before its start.
        row("empty tracking command", "81 0A FF > 90 60 02 FF; 81 09 04 00 FF > 90 50 02 FF");
        // A camera that cannot track refuses the whole tracking set.
        row("cannot track", "81 09 7E 11 54 FF > 90 60 02 FF; 81 0A 01 04 1C 82 FF > 90 60 02 FF", SimCamera::Normal,
            false);
    }
    void lineDialogues()
    {
        QFETCH(QString, script);
        QFETCH(int, mode);
        QFETCH(bool, canTrack);
        lineCam_->setFailureMode(SimCamera::FailureMode(mode));
        lineCam_->update([&](SimCamera::State &s) { s.trackingCapable = canTrack; });
        QList<QByteArray> requests;
        for (const QString &step : script.split(';')) {
            const QStringList rq = step.split('>');
            requests << QByteArray::fromHex(rq.at(0).toLatin1());
            const QByteArray answer = rq.at(1).trimmed() == "ack" ? kAck : QByteArray::fromHex(rq.at(1).toLatin1());
            QCOMPARE(exchange(requests.last(), 400), spaced(answer));
        }
        QCOMPARE(lineCam_->received(), requests);
    }

    void lineCameraSurvivesGarbage()
    {
        // Noise, a frame header with an impossible length, then a real inquiry.
        QCOMPARE(exchange(hexBytes("12 34 FF 00 02 00 FF 81 09 04 00 FF")), spaced(kOn));
        QCOMPARE(lineCam_->received(), QList<QByteArray>{kPowerInq});
        // An endless message is refused with a length error, and the line recovers.
        QCOMPARE(exchange(QByteArray(1, char(0x81)) + QByteArray(40, char(0x01))), spaced(hexBytes("90 60 01 FF")));
        QCOMPARE(exchange(kPowerInq), spaced(kOn));

        QRandomGenerator rng(7);
        qint64 sent = lineCam_->receivedBytes().size();
        for (int i = 0; i < 8; ++i) {
            QByteArray chunk(2048, Qt::Uninitialized);
            for (char &c : chunk) {
                // Plenty of headers and terminators, so many pieces parse as messages.
                const quint32 r = rng.bounded(16);
                c = char(r == 0 ? 0x81 : r == 1 ? 0xFF : r == 2 ? 0x00 : rng.bounded(256));
            }
            QVERIFY(send(chunk));
            sent += chunk.size();
            QTRY_COMPARE(lineCam_->receivedBytes().size(), sent); // reads its answers meanwhile
        }
        // Terminators end whatever partial message is left, then it answers again.
        QVERIFY(send(QByteArray(40, char(0xFF))));
        QTRY_COMPARE(lineCam_->receivedBytes().size(), sent + 40);
        const QString answer = exchange(kPowerInq);
        QVERIFY2(answer == spaced(kOn) || answer == spaced(hexBytes("90 50 03 FF")), qPrintable(answer));
        QCOMPARE(lineCam_->lastReceived(), kPowerInq);
    }
};

QTEST_GUILESS_MAIN(TestVekCamera)
#include "tst_vekcamera.moc"
