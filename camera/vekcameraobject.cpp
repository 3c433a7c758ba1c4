#include "camera/vekcameraobject.h"

#include "camera/cameralog.h"
#include "camera/cameramodels.h"
#include "camera/serialport.h"
#include "camera/vekreply.h"
#include "platform/threadcheck.h"

#include <QDebug>
#include <QMetaEnum>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <QUrl>

namespace {

QString hex(const QByteArray &bytes) { return QString::fromLatin1(bytes.toHex(' ')); }

quint8 lowByte(int v) { return static_cast<quint8>(v & 0xFF); }

const QByteArray &powerInquiry()
{
    static const QByteArray inq = QByteArray::fromHex("81090400FF");
    return inq;
}

// Waits that the cameras need between two messages; the exchanges are
// blocking by design, so a plain sleep on the calling thread is the pause.
void pause(int ms) { QThread::msleep(static_cast<unsigned long>(ms)); }

constexpr int kShortWait = 200;
constexpr int kLongWait = 400;

} // namespace

// The access manager is a child so that it follows the object to its thread.
vekCameraObject::vekCameraObject(QObject *parent) : QObject(parent), networkManager(this)
{
    initVekCommand();
    serialObj0 = new serialPort(this);
    serialObj1 = new serialPort(this);
    serialObj2 = new serialPort(this);
    for (serialPort *p : {serialObj0, serialObj1, serialObj2})
        connect(p->port(), &QSerialPort::errorOccurred, this, &vekCameraObject::onUartError);
    // Network cameras sit on the panel's own network: never through a proxy.
    networkManager.setProxy(QNetworkProxy::NoProxy);
    connect(&networkManager, &QNetworkAccessManager::finished, this, &vekCameraObject::onfinish);
    setCameraCount(0);
}

void vekCameraObject::abortExchanges()
{
    // The three lines are made in the constructor and never replaced.
    for (serialPort *p : {serialObj0, serialObj1, serialObj2})
        p->abortExchanges();
}

vekCameraObject::~vekCameraObject()
{
    for (serialPort *p : {serialObj0, serialObj1, serialObj2})
        p->closeSerialPort();
}

void vekCameraObject::initVekCommand() { vekCommandObj = generateVekCommandObj(); }

std::unique_ptr<VEK_Control> vekCameraObject::generateVekCommandObj() { return std::make_unique<VEK_Control>(); }

// ---------------------------------------------------------------- lines

serialPort *vekCameraObject::portForLine(int uartNo) const
{
    switch (uartNo) {
    case 0: return serialObj0;
    case 3: return serialObj1;
    case 2: return serialObj2;
    default: return nullptr;
    }
}

serialPort *vekCameraObject::portForCamera(int vekIdx) const
{
    switch (vekIdx) {
    case 0: return serialObj0;
    case 1: return serialObj1;
    case 2: return serialObj2;
    default: return nullptr;
    }
}

int vekCameraObject::cameraForLine(int uartNo)
{
    switch (uartNo) {
    case 0: return 0;
    case 3: return 1;
    case 2: return 2;
    default: return -1;
    }
}

void vekCameraObject::initSerial(int uartNo, const QString &name, int baudRate, int dataBits, int parity,
                                 int stopBits, int flowControl)
{
    TAVRIK_ASSERT_OWNER(this);
    serialPort *port = portForLine(uartNo);
    if (!port) {
        qCWarning(lcCamera).noquote() << "initSerial: failed";
        return;
    }
    port->closeSerialPort();
    port->setBaudRate(baudRate);
    port->setDataBits(dataBits);
    port->setParity(parity);
    port->setStopBits(stopBits);
    port->setFlowControl(flowControl);
    const QString result = port->openSerialPort(name);
    // Line 3 picks up noise while its camera boots; start it clean.
    if (uartNo == 3)
        port->clearTXRX();

    const int cam = cameraForLine(uartNo);
    qCDebug(lcCamera).noquote() << QStringLiteral("serialObj%1 :").arg(cam) << port;
    const bool ok = result.contains(QLatin1String("OK"));
    serialStateList[static_cast<size_t>(cam)] = ok;
    qCDebug(lcCamera).noquote() << QStringLiteral("uart %1:").arg(uartNo) << ok;
    emit sendUartStatus(cam, ok);
    qCDebug(lcCamera).noquote() << "For CAM init Serial No:" << uartNo;
}

void vekCameraObject::clearUartTxRx(int uartNo)
{
    TAVRIK_ASSERT_OWNER(this);
    if (serialPort *port = portForLine(uartNo))
        port->clearTXRX();
}

void vekCameraObject::setVekStatus(int vekIdx, bool status)
{
    TAVRIK_ASSERT_OWNER(this);
    if (vekIdx < 0 || vekIdx > 2) {
        qCWarning(lcCamera).noquote() << "[ERR] param vek Idx :" << vekIdx;
        return;
    }
    vekIsOnlineArray[static_cast<size_t>(vekIdx)] = status;
}

bool vekCameraObject::serialState(int vekIdx) const
{
    TAVRIK_ASSERT_OWNER(this);
    return vekIdx >= 0 && vekIdx <= 2 && serialStateList[static_cast<size_t>(vekIdx)];
}

bool vekCameraObject::vekIsOnline(int vekIdx) const
{
    TAVRIK_ASSERT_OWNER(this);
    return vekIdx >= 0 && vekIdx <= 2 && vekIsOnlineArray[static_cast<size_t>(vekIdx)];
}

bool vekCameraObject::lineOpen(int vekIdx) const
{
    TAVRIK_ASSERT_OWNER(this);
    const serialPort *port = portForCamera(vekIdx);
    return port && port->isOpened();
}

bool vekCameraObject::lastAnswered(int vekIdx) const
{
    TAVRIK_ASSERT_OWNER(this);
    return vekIdx >= 0 && vekIdx <= 2 && answered_[static_cast<size_t>(vekIdx)];
}

void vekCameraObject::onUartError(QSerialPort::SerialPortError error)
{
    TAVRIK_ASSERT_OWNER(this);
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
        return;
    const QMetaEnum e = QMetaEnum::fromType<QSerialPort::SerialPortError>();
    qCWarning(lcCamera).noquote() << "[UART ERROR]" << e.valueToKey(error);
}

// ------------------------------------------------------------ transport

bool vekCameraObject::containsAckComplete(const QByteArray &reply) { return VekReply::containsAckComplete(reply); }

QByteArray vekCameraObject::doCommandSend(const QByteArray &command, int waitMinisec, bool waitResponse, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    serialPort *port = portForCamera(vekIdx);
    if (!port) {
        qCWarning(lcCamera).noquote() << "[ERR] vekIdx :" << vekIdx << "> 2";
        return {};
    }
    answered_[static_cast<size_t>(vekIdx)] = false;
    const bool online = vekIsOnlineArray[static_cast<size_t>(vekIdx)];
    // The power inquiry always passes: it is how an offline camera is found.
    if (!online && command != powerInquiry()) {
        qCWarning(lcCamera).noquote() << "[ERR] param vek Idx :" << vekIdx << ", online status :" << online
                                      << ", command :" << hex(command);
        return {};
    }
    if (command.isEmpty()) {
        qCWarning(lcCamera).noquote() << "[ERR] vekIdx :" << vekIdx << ", empty command, nothing sent";
        return {};
    }
    if (!waitResponse) {
        port->writeData(command);
        return {};
    }

    QByteArray reply;
    const qint64 written = port->writeData(command);
    if (written != command.size()) {
        qCWarning(lcCamera).noquote() << QStringLiteral("[ERR] Attempt %1: write failed (%2/%3 bytes), reason: %4")
                                             .arg(1)
                                             .arg(written)
                                             .arg(command.size())
                                             .arg(port->errorString());
    } else {
        // A completion or an answer that comes late for an earlier message
        // lands here ahead of this one's answer: it neither ends the wait
        // nor passes for the answer.
        const auto done = [&command](const QByteArray &r) { return VekReply::sortExchange(command, r).done; };
        const VekReply::Exchange x = VekReply::sortExchange(command, port->receive(waitMinisec, done));
        if (!x.dropped.isEmpty())
            qCDebug(lcCamera).noquote() << "vekIdx :" << vekIdx << ", command:" << hex(command)
                               << ", dropped, no answer to it :" << hex(x.dropped);
        reply = x.answer;
        answered_[static_cast<size_t>(vekIdx)] = !reply.isEmpty();
        if (reply.isEmpty())
            qCWarning(lcCamera).noquote() << QStringLiteral("Attempt %1: no response or timeout").arg(1);
    }

    if (reply.isEmpty())
        qCWarning(lcCamera).noquote() << "[ERR] vekIdx :" << vekIdx << ", command:" << hex(command)
                                      << "invalid response : " << hex(reply);
    else
        qCDebug(lcCamera).noquote() << "vekIdx :" << vekIdx << ", command:" << hex(command) << ", response :" << hex(reply);
    // The cameras need a breath between two messages on the same line.
    pause(8);
    return reply;
}

void vekCameraObject::commandResendUntilAckAndComplete(const QByteArray &command, int timeout)
{
    TAVRIK_ASSERT_OWNER(this);
    commandResendUntilAckAndComplete(command, timeout, lastCamera());
}

void vekCameraObject::commandResendUntilAckAndComplete(const QByteArray &command, int timeout, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    QByteArray reply = doCommandSend(command, timeout, true, vekIdx);
    int resends = 0;
    while (!containsAckComplete(reply) && resends < 2) {
        reply = doCommandSend(command, timeout, true, vekIdx);
        ++resends;
    }
}

QByteArray vekCameraObject::bare(const QByteArray &frame) { return frame.size() > 2 ? frame.mid(2) : QByteArray(); }

void vekCameraObject::rememberCamera(int vekIdx)
{
    if (vekIdx >= 0 && vekIdx <= 2)
        uartIdx = vekIdx;
}

QByteArray vekCameraObject::sendCommand(const char *label, const QByteArray &message, int waitMs, int vekIdx)
{
    qCDebug(lcCamera).noquote() << label << hex(message);
    rememberCamera(vekIdx);
    return doCommandSend(message, waitMs, true, vekIdx);
}

QByteArray vekCameraObject::sendInquiry(const char *label, const QByteArray &message, int waitMs, int vekIdx)
{
    qCDebug(lcCamera).noquote() << label << hex(message);
    return doCommandSend(message, waitMs, true, vekIdx);
}

QByteArray vekCameraObject::packet(VEK_COMMANDS cmd, quint8 p1, quint8 p2) const
{
    return bare(vekCommandObj->VEK_Command(cmd, p1, p2));
}

QByteArray vekCameraObject::sendPacket(const char *label, VEK_COMMANDS cmd, int waitMs, int vekIdx, quint8 p1,
                                       quint8 p2)
{
    return sendCommand(label, packet(cmd, p1, p2), waitMs, vekIdx);
}

void vekCameraObject::driveWithMoving(const char *label, VEK_COMMANDS cmd, int panSpeed, int tiltSpeed, int vekIdx)
{
    emit ptzMoving();
    sendPacket(label, cmd, kShortWait, vekIdx, lowByte(panSpeed), lowByte(tiltSpeed));
}

int vekCameraObject::answerByte(const QByteArray &reply, bool framed, const char *what, int index)
{
    QByteArray p;
    // An error answer (90 6y ..) carries no value, whatever its bytes are.
    if (!(framed ? VekReply::framedAnswer(reply, &p, index + 1) : VekReply::bareAnswer(reply, &p, index + 1))) {
        qCWarning(lcCamera).noquote() << "[ERR]" << what << "no answer in" << hex(reply);
        return -1;
    }
    return VekReply::byteAt(p, index);
}

// ----------------------------------------------------------- operations

void vekCameraObject::camPower(int onOff, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("cam Power: cmd: ", CAM_POWER, kShortWait, vekIdx, lowByte(onOff));
}

bool vekCameraObject::camPowerInq(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const QByteArray reply = sendInquiry("cam Power inq: cmd: ", packet(CAM_POWER_INQ), kShortWait, vekIdx);
    // A camera in standby answers too (90 50 03 FF): it is there and can be
    // switched on. Anything but an answer packet is no sign of a camera.
    if (VekReply::bareAnswer(reply, nullptr, 1))
        return true;
    if (!reply.isEmpty())
        qCWarning(lcCamera).noquote() << "[ERR] cam Power inq: no answer in" << hex(reply);
    return false;
}

int vekCameraObject::zoomSpeedCode(int speed)
{
    switch (speed) {
    case 8: return 1;
    case 16: return 4;
    case 24: return 7;
    default:
        qCWarning(lcCamera).noquote() << "speed out of range" << speed;
        return -1;
    }
}

void vekCameraObject::zoomTele(int speed, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const int mapped = zoomSpeedCode(speed);
    if (mapped < 0)
        return;
    emit ptzMoving();
    sendPacket("zoom Tele: cmd: ", CAM_ZOOM_IN, kShortWait, vekIdx, lowByte(mapped));
    qCDebug(lcCamera).noquote() << "speed = " << mapped;
}

void vekCameraObject::zoomWide(int speed, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const int mapped = zoomSpeedCode(speed);
    if (mapped < 0)
        return;
    emit ptzMoving();
    sendPacket("zoom Wide: cmd: ", CAM_ZOOM_OUT, kShortWait, vekIdx, lowByte(mapped));
    qCDebug(lcCamera).noquote() << ", mapping speed = " << mapped;
}

void vekCameraObject::zoomTeleStandard(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("zoom Tele Standard cmd: ", CAM_ZOOM_IN_STANDARD, kShortWait, vekIdx);
}

void vekCameraObject::zoomWideStandard(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("zoom Wide Standard cmd: ", CAM_ZOOM_OUT_STANDARD, kShortWait, vekIdx);
}

void vekCameraObject::zoomStop(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const QByteArray cmd = packet(CAM_ZOOM_STOP);
    for (int attempt = 1; attempt <= 3; ++attempt) {
        const QByteArray reply = sendCommand("zoom Stop cmd: ", cmd, kShortWait, vekIdx);
        if (reply.size() > 2 && containsAckComplete(reply))
            return;
        qCWarning(lcCamera).noquote() << "zoom Stop cmd retry : " << attempt;
        // A camera the gate refuses cannot be reached by trying again.
        if (!vekIsOnline(vekIdx))
            return;
        pause(100);
    }
}

void vekCameraObject::panTiltLeft(int speed, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    driveWithMoving("pan Tilt Left cmd: ", PT_DRIVE_LEFT, speed, speed, vekIdx);
}

void vekCameraObject::panTiltRight(int speed, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    driveWithMoving("panTiltRight: cmd: ", PT_DRIVE_RIGHT, speed, speed, vekIdx);
}

void vekCameraObject::panTiltUp(int speed, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    driveWithMoving("panTiltUp: cmd: ", PT_DRIVE_UP, speed, speed, vekIdx);
}

void vekCameraObject::panTiltDown(int speed, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    driveWithMoving("panTiltDown: cmd: ", PT_DRIVE_DOWN, speed, speed, vekIdx);
}

void vekCameraObject::panTiltUpLeft(int panSpeed, int tiltSpeed, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    driveWithMoving("panTiltUpLeft: cmd: ", PT_DRIVE_UPLEFT, panSpeed, tiltSpeed, vekIdx);
}

void vekCameraObject::panTiltUpRight(int panSpeed, int tiltSpeed, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    driveWithMoving("panTiltUpRight: cmd: ", PT_DRIVE_UPRIGHT, panSpeed, tiltSpeed, vekIdx);
}

void vekCameraObject::panTiltDownLeft(int panSpeed, int tiltSpeed, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    driveWithMoving("panTiltDownLeft: cmd: ", PT_DRIVE_DOWNLEFT, panSpeed, tiltSpeed, vekIdx);
}

void vekCameraObject::panTiltDownRight(int panSpeed, int tiltSpeed, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    driveWithMoving("pan Tilt Down Right cmd: ", PT_DRIVE_DOWNRIGHT, panSpeed, tiltSpeed, vekIdx);
}

void vekCameraObject::panTiltStop(int panSpeed, int tiltSpeed, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const QByteArray cmd = packet(PT_DRIVE_STOP, lowByte(panSpeed), lowByte(tiltSpeed));
    // A lost stop leaves the camera turning: send it once more if unanswered.
    if (sendCommand("pan Tilt Stop cmd: ", cmd, kShortWait, vekIdx).isEmpty())
        sendCommand("pan Tilt Stop cmd: ", cmd, kShortWait, vekIdx);
}

void vekCameraObject::autoFocus(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("Auto Focus cmd: ", CAM_FOCUS_AUTO, kLongWait, vekIdx);
}

void vekCameraObject::manualFocus(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("Manual Focus cmd: ", CAM_FOCUS_MANUAL, kLongWait, vekIdx);
}

void vekCameraObject::focusFar(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("focus Far cmd: ", CAM_FOCUS_FAR, kLongWait, vekIdx);
}

void vekCameraObject::focusNear(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("focus Near cmd: ", CAM_FOCUS_NEAR, kLongWait, vekIdx);
}

void vekCameraObject::focusStop(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("Focus Stop cmd: ", CAM_FOCUS_STOP, kShortWait, vekIdx);
}

void vekCameraObject::autoWhiteBalance(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("Auto White Balance :", CAM_WB_AUTO, kLongWait, vekIdx);
    emit WBModeChanged();
}

void vekCameraObject::manualWhiteBalance(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("Manual White Balance :", CAM_WB_MANUAL, kLongWait, vekIdx);
    emit WBModeChanged();
}

void vekCameraObject::whiteBalance(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("CAM WB ONEPUSH MODE :", CAM_WB_ONEPUSH_MODE, kLongWait, vekIdx);
    // The camera must be in one-push mode before the trigger means anything.
    pause(100);
    sendPacket("CAM WB ONEPUSH TRIGGER :", CAM_WB_ONEPUSH_TRIGGER, kLongWait, vekIdx);
    emit WBModeChanged();
}

void vekCameraObject::setRGain(int value, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("setRGain: cmd: ", CAM_RGAIN_Direct, kShortWait, vekIdx, lowByte(value));
}

void vekCameraObject::setBGain(int value, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("setBGain: cmd: ", CAM_BGAIN_Direct, kShortWait, vekIdx, lowByte(value));
}

void vekCameraObject::autoAE(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("Auto AE cmd: ", CAM_AE_AUTO, kLongWait, vekIdx);
    emit ExposureModeChanged();
}

void vekCameraObject::manualAE(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("Manual AE cmd: ", CAM_AE_MANUAL, kLongWait, vekIdx);
    emit ExposureModeChanged();
}

void vekCameraObject::iRISUp(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("IRIS Up cmd: ", CAM_IRIS_UP, kLongWait, vekIdx);
}

void vekCameraObject::iRISDown(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("IRIS Down cmd: ", CAM_IRIS_DOWN, kLongWait, vekIdx);
}

void vekCameraObject::shutterDirect(int value, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const quint8 p = (lowByte(value) >> 4) & 0x0F;
    const quint8 q = lowByte(value) & 0x0F;
    qCDebug(lcCamera).noquote() << "Shutter Direct value: " << value;
    qCDebug(lcCamera).noquote() << "Shutter Direct value 0p ->" << p << " 0q->" << q;
    sendPacket("Shutter Direct cmd: ", CAM_SHUTTER_Direct, kShortWait, vekIdx, p, q);
}

bool vekCameraObject::presetChecked(const char *what, const QByteArray &reply)
{
    if (VekReply::isPresetAck(reply))
        return true;
    qCWarning(lcCamera).noquote() << "[ERR]" << what << "not acknowledged, reply:" << hex(reply);
    return false;
}

bool vekCameraObject::storePtzPosition(int index, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    return presetChecked("Store Ptz Position",
                         sendPacket("Store Ptz Position cmd: ", PTZ_POSITION_SET, kShortWait, vekIdx, lowByte(index)));
}

bool vekCameraObject::gotoPtzPosition(int index, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    emit ptzMoving();
    const QByteArray reply =
        sendPacket("goto Ptz Position cmd: ", PTZ_POSITION_RECALL, kShortWait, vekIdx, lowByte(index));
    return presetChecked("goto Ptz Position", reply);
}

bool vekCameraObject::presetMemSpeed(int Speed, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const QByteArray reply =
        sendPacket("preset Mem Speed cmd: ", PTZ_POSITION_PRESET_M_SPEED, kShortWait, vekIdx, lowByte(Speed));
    return presetChecked("preset Mem Speed", reply);
}

void vekCameraObject::setPresetMemorySpeed(int memIndex, int speed, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("Set Preset Memory Speed cmd: ", CAM_PT_M_SPEED, kShortWait, vekIdx, lowByte(memIndex), lowByte(speed));
}

void vekCameraObject::imageFlipOn(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    pause(100); // the camera drops a flip that follows another message too closely
    sendPacket("image FlipOn cmd: ", CAM_IMGFLIP, kShortWait, vekIdx, 0x02);
}

void vekCameraObject::imageFlipOff(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    pause(100);
    sendPacket("image FlipOff cmd: ", CAM_IMGFLIP, kShortWait, vekIdx, 0x03);
}

void vekCameraObject::imageMirroOn(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("image MirroOn cmd: ", CAM_IMGMIRROR, kShortWait, vekIdx, 0x02);
}

void vekCameraObject::imageMirroOff(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("image MirroOff cmd: ", CAM_IMGMIRROR, kShortWait, vekIdx, 0x03);
}

void vekCameraObject::setImageMirror(int value, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("set Image Mirror cmd: ", CAM_IMGMIRROR, kShortWait, vekIdx, lowByte(value));
}

void vekCameraObject::panReverseOn(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const QByteArray reply = sendPacket("pan Reverse On cmd: ", CAM_PAN_REVERSE, kShortWait, vekIdx, 0x01);
    qCDebug(lcCamera).noquote() << "retBuf: " << hex(reply);
}

void vekCameraObject::panReverseOff(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const QByteArray reply = sendPacket("pan Reverse Off cmd: ", CAM_PAN_REVERSE, kShortWait, vekIdx, 0x00);
    qCDebug(lcCamera).noquote() << "retBuf: " << hex(reply);
}

void vekCameraObject::tiltReverseOn(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("tilt Reverse On: cmd: ", CAM_TILT_REVERSE, kShortWait, vekIdx, 0x01);
}

void vekCameraObject::tiltReverseOff(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("tilt Reverse Off: cmd: ", CAM_TILT_REVERSE, kShortWait, vekIdx, 0x00);
}

void vekCameraObject::redTallyOn(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("red Tally On: cmd: ", Cam_Dual_Tally, kShortWait, vekIdx, 0x02, 0x03);
}

void vekCameraObject::greenTallyOn(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("greenTallyOn: cmd: ", Cam_Dual_Tally, kShortWait, vekIdx, 0x03, 0x02);
}

void vekCameraObject::camTallyOff(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("camTallyOff: cmd: ", Cam_Dual_Tally, kShortWait, vekIdx, 0x03, 0x03);
}

void vekCameraObject::switchVideoMode(int value, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    if ((value == 29 || value == 30) && m_modelName.contains(CameraModels::videoModeRefusal())) {
        qCWarning(lcCamera).noquote() << "[WARN] video mode" << value << "not sent: model" << m_modelName << "cannot run it";
        return;
    }
    sendPacket("switch Video Mode cmd: ", CAM_VIDEO_MODE, kShortWait, vekIdx, lowByte(value));
}

// ------------------------------------------------------------ inquiries

QByteArray vekCameraObject::querySystemStatus(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const QByteArray reply = sendInquiry("query System Status cmd: ", packet(CAM_SYSTEMSTATUS), kLongWait, vekIdx);
    if (reply.isEmpty()) {
        qCWarning(lcCamera).noquote() << "[ERR] retBuf :";
        return {};
    }
    qCDebug(lcCamera).noquote() << "retBuf size :" << reply.size() << ", retBuf :" << hex(reply);
    return reply;
}

bool vekCameraObject::getSystemStatus(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const QByteArray reply = querySystemStatus(vekIdx);
    VekReply::SystemStatus s;
    if (!VekReply::decodeSystemStatus(reply, &s)) {
        // Fifteen bytes that are not an answer (an error, line noise) are a
        // failed read as much as a wrong length is.
        qCWarning(lcCamera).noquote() << "[ERR] retBuf :" << hex(reply);
        return false;
    }
    qCDebug(lcCamera).noquote() << "retBuf  :" << hex(reply);

    qCDebug(lcCamera).noquote() << "check VEK power on/off firstChar :" << s.statusBits;
    emit sendCamPower(vekIdx, s.powerOn());
    setColorBarOn(s.colorBar());
    setTallyLightOn(s.redTally() || s.greenTally());
    setOsdOn(s.osd());
    setredTallyOn(s.redTally());
    setblueTallyOn(s.greenTally());

    videoModeStr = s.formatText;
    setVideoFormat(s.formatText);

    int wb = 0;
    switch (s.wbCode) {
    case 0:
    case 4:
        setWhiteBalanceMode(0);
        qCDebug(lcCamera).noquote() << "get SystemStatus --  vekAutoWB Auto";
        wb = 0;
        break;
    case 3:
    case 8:
        setWhiteBalanceMode(2);
        wb = 6;
        break;
    case 5:
        setWhiteBalanceMode(5);
        qCDebug(lcCamera).noquote() << "get SystemStatus --  vekAutoWB Manual";
        wb = 2;
        break;
    default:
        break;
    }
    emit sendWb(vekIdx, wb);

    setVekRGain(s.rGain);
    emit sendRGain(vekIdx, s.rGain);
    setVekBGain(s.bGain);
    emit sendBGain(vekIdx, s.bGain);

    bool focusAuto = false;
    if (s.focusCode == 2) {
        setAutoFocusMode(true);
        focusAuto = true;
        qCDebug(lcCamera).noquote() << "get SystemStatus --  vekFocusModeStr Auto";
    } else if (s.focusCode == 3) {
        setAutoFocusMode(false);
        qCDebug(lcCamera).noquote() << "get SystemStatus --  vekFocusModeStr Manual";
    }
    emit sendFocus(vekIdx, focusAuto);

    bool irisAuto = false;
    switch (s.exposureCode) {
    case 0:  // auto
    case 10: // shutter priority
        irisAuto = true;
        setirisModeAuto(true);
        break;
    case 3:  // manual
    case 11: // iris priority
    case 13: // bright
        setirisModeAuto(false);
        break;
    default:
        break;
    }
    emit sendIris(vekIdx, irisAuto);

    setvekHFlip(s.hFlip());
    setvekVFlip(s.vFlip());
    setpanDirReverse(s.panReversed());
    settiltDirReverse(s.tiltReversed());

    setPtzSpeedRange(s.speedRange);
    qCDebug(lcCamera).noquote() << "ptz Speed Range :" << s.speedRange;
    emit sendSpeed(vekIdx, s.speedRange);
    qCDebug(lcCamera).noquote() << "video format: " << s.formatText;

    int mirror = 0;
    if (s.hFlip() && s.vFlip())
        mirror = 3;
    else if (s.vFlip())
        mirror = 1;
    else if (s.hFlip())
        mirror = 2;
    qCDebug(lcCamera).noquote() << "Mirror Mode --> vekHfilp:  " << s.hFlip() << " vekVFlip: " << s.vFlip();
    qCDebug(lcCamera).noquote() << "panDirReverse: " << s.panReversed() << "tiltDirReverse: " << s.tiltReversed();

    int tally = 0;
    if (s.redTally()) {
        tally = 1;
        qCDebug(lcCamera).noquote() << "Tally : red";
    } else if (s.greenTally()) {
        tally = 2;
        qCDebug(lcCamera).noquote() << "Tally : green";
    } else {
        qCDebug(lcCamera).noquote() << "Tally : off";
    }

    emit sendTally(vekIdx, tally);
    emit sendVideoFormat(vekIdx, s.formatIndex);
    emit sendMirrorMode(vekIdx, mirror);
    emit sendPanDir(vekIdx, s.panReversed() ? 1 : 0);
    emit sendTiltDir(vekIdx, s.tiltReversed() ? 1 : 0);
    return true;
}

bool vekCameraObject::queryVersion(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const QByteArray reply = sendInquiry("query Version cmd: ", packet(CAM_VersionInq), kLongWait, vekIdx);
    VekReply::VersionInfo v;
    if (!VekReply::decodeVersion(reply, &v)) {
        qCWarning(lcCamera).noquote() << "[ERR] query version len fail, retBuf :" << hex(reply);
        if (vekIdx >= 0 && vekIdx <= 2)
            serialStateList[static_cast<size_t>(vekIdx)] = false;
        return false;
    }
    qCDebug(lcCamera).noquote() << "query version size:" << reply.size() << " retBuf: " << hex(reply);
    qCDebug(lcCamera).noquote() << "modelVerStr: " << v.model;
    qCDebug(lcCamera).noquote() << "mcuVerStr: " << v.mcu;
    qCDebug(lcCamera).noquote() << "fpgaVerStr: " << v.fpga;
    qCDebug(lcCamera).noquote() << "motorVerStr: " << v.motor;
    emit setCamInfo(vekIdx, v.mcu, v.fpga, v.motor, v.model);
    setmodelName(v.model);
    setmcuVersion(v.mcu);
    setfpgaVersion(v.fpga);
    setmotorVersion(v.motor);
    serialStateList[static_cast<size_t>(vekIdx)] = true;
    lastVersion_[static_cast<size_t>(vekIdx)] = QStringList{v.model, v.mcu};
    return true;
}

CameraLineStats::Snapshot vekCameraObject::lineStats(int vekIdx) const
{
    serialPort *port = portForCamera(vekIdx);
    return port ? port->lineStats() : CameraLineStats::Snapshot();
}

QStringList vekCameraObject::lastVersion(int vekIdx) const
{
    return vekIdx >= 0 && vekIdx <= 2 ? lastVersion_[static_cast<size_t>(vekIdx)] : QStringList();
}

int vekCameraObject::shutterPosInq(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const QByteArray reply =
        sendInquiry("Shutter Pos Inq cmd: ", vekCommandObj->VEK_Command(CAM_SHUTTER_PosInq), kShortWait, vekIdx);
    const int at = reply.indexOf(QByteArray::fromHex("00099050"));
    qCDebug(lcCamera).noquote() << "Shutter 000: " << at;
    qCDebug(lcCamera).noquote() << "Shutter Return:" << hex(reply);
    const int pos = VekReply::shutterPosition(reply);
    if (pos < 0) {
        // Without an answer frame there is no position; guessing one from
        // other bytes would move the operator's slider to a wrong value.
        qCWarning(lcCamera).noquote() << "[ERR] Shutter INQ: no answer in" << hex(reply);
        return -1;
    }
    qCDebug(lcCamera).noquote() << "Shutter TargetReturn:" << hex(reply.mid(at, 9));
    qCDebug(lcCamera).noquote() << "Shutter INQ: " << pos;
    emit sendShutterValue(static_cast<quint8>(pos));
    return pos;
}

int vekCameraObject::gainInquiry(VEK_COMMANDS cmd, int vekIdx, const char *inqLabel, const char *name,
                                 const char *valueName, void (vekCameraObject::*signal)(int, quint8))
{
    const QByteArray reply = sendInquiry(inqLabel, vekCommandObj->VEK_Command(cmd), kShortWait, vekIdx);
    qCDebug(lcCamera).noquote() << name << "retBuf ...: " << hex(reply);
    int gain = 0;
    if (!VekReply::framedGain(reply, &gain)) {
        qCWarning(lcCamera).noquote() << QStringLiteral("[ERR] %1: no answer in").arg(QLatin1String(name)) << hex(reply);
        return 0;
    }
    qCDebug(lcCamera).noquote() << valueName << "value ...: " << hex(reply.mid(reply.size() - 3, 2));
    qCDebug(lcCamera).noquote() << valueName << "gain ...: " << gain;
    emit(this->*signal)(vekIdx, static_cast<quint8>(gain));
    return gain;
}

int vekCameraObject::rGain(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    return gainInquiry(CAM_RGAINInq, vekIdx, "R Gain Inq cmd: ", "R Gain", "r Gain", &vekCameraObject::sendRGain);
}

int vekCameraObject::bGain(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    return gainInquiry(CAM_BGAINInq, vekIdx, "B Gain Inq cmd: ", "bGain", "bGain", &vekCameraObject::sendBGain);
}

void vekCameraObject::queryPanTiltMaxSpeed(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const QByteArray reply =
        sendInquiry("query PanTilt Max Speed cmd: ", vekCommandObj->VEK_Command(CAM_PTZ_Max_Speed), kShortWait, vekIdx);
    QByteArray p;
    if (!VekReply::framedAnswer(reply, &p, 2)) {
        qCWarning(lcCamera).noquote() << "[ERR] query PanTilt Max Speed: no answer in" << hex(reply);
        return;
    }
    setpanMaxSpeed(QString::number(VekReply::byteAt(p, 0) & 0x0F));
    settiltMaxSpeed(QString::number(VekReply::byteAt(p, 1) & 0x0F));
}

bool vekCameraObject::isTallyOn(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const QByteArray reply =
        sendInquiry("is Tally On cmd: ", vekCommandObj->VEK_Command(CAM_TALLYInq), kShortWait, vekIdx);
    return answerByte(reply, true, "is Tally On:") == 0x02;
}

// The three mode inquiries go out bare, so the camera answers bare as well
// (90 50 0p FF): the mode is the answer's byte 2.
bool vekCameraObject::isAutoFocus(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const QByteArray reply = sendInquiry("is Auto Focus cmd :", packet(CAM_FocusModeInq), kShortWait, vekIdx);
    return answerByte(reply, false, "is Auto Focus:") == 0x02;
}

int vekCameraObject::getWhiteBalanceMode(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcCamera).noquote() << "get WhiteBalanceMode: : 00000";
    const QByteArray reply = sendInquiry("get WhiteBalanceMode cmd :", packet(CAM_WBModeInq), kShortWait, vekIdx);
    const int mode = answerByte(reply, false, "get WhiteBalanceMode:");
    return (mode == 3 || mode == 5) ? mode : 0;
}

int vekCameraObject::getExposureMode(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const QByteArray reply = sendInquiry("get Exposure Mode cmd :", packet(CAM_AEModeInq), kShortWait, vekIdx);
    const int mode = answerByte(reply, false, "get Exposure Mode:");
    return (mode == 3 || mode == 11 || mode == 13) ? 1 : 0;
}

int vekCameraObject::getVideoFormat(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const QByteArray reply =
        sendInquiry("get Video Format cmd: ", vekCommandObj->VEK_Command(CAM_VIDEO_MODEInq), kShortWait, vekIdx);
    qCDebug(lcCamera).noquote() << "getVideoFormat --> size: " << reply.size();
    if (reply.size() > 23)
        return VekReply::byteAt(reply, 12);
    // Cameras that answer with the code itself (00 07 90 50 0p 0q FF).
    QByteArray p;
    if (VekReply::framedAnswer(reply, &p, 2) && p.size() == 2)
        return ((VekReply::byteAt(p, 0) & 0x0F) << 4) | (VekReply::byteAt(p, 1) & 0x0F);
    qCWarning(lcCamera).noquote() << "[ERR] getVideoFormat: short answer" << hex(reply);
    return -1;
}

bool vekCameraObject::isAltShutterModel(const QString &model) const
{
    TAVRIK_ASSERT_OWNER(this);
    return CameraModels::containsAny(model, CameraModels::altShutterFamily());
}

int vekCameraObject::WBMode()
{
    TAVRIK_ASSERT_OWNER(this);
    return getWhiteBalanceMode(lastCamera());
}

int vekCameraObject::ExposureMode()
{
    TAVRIK_ASSERT_OWNER(this);
    return getExposureMode(lastCamera());
}

// --------------------------------------------------------- auto-tracking

void vekCameraObject::setAiCam(int onOff, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("set AT Cam: cmd: ", PTZ_AICAM_ONOFF, kShortWait, vekIdx, lowByte(onOff));
}

void vekCameraObject::atAutoZoomOn(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("at Auto Zoom On cmd: ", CAM_AT_AUTOZOOM_ON, kShortWait, vekIdx);
}

void vekCameraObject::atAutoZoomOff(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("at Auto Zoom Off cmd: ", CAM_AT_AUTOZOOM_OFF, kShortWait, vekIdx);
}

void vekCameraObject::atAutoTiltOn(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("at Auto Tilt On cmd: ", CAM_AT_AUTOTILT_ON, kShortWait, vekIdx);
}

void vekCameraObject::atAutoTiltOff(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("at Auto Tilt Off cmd : ", CAM_AT_AUTOTILT_OFF, kShortWait, vekIdx);
}

void vekCameraObject::atDetIdctOn(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("at DetIdct On cmd : ", CAM_AT_DETECINDI_ON, kShortWait, vekIdx);
}

void vekCameraObject::atDetIdctOff(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("at DetIdct Off cmd :", CAM_AT_DETECINDI_OFF, kShortWait, vekIdx);
}

void vekCameraObject::atDetIdctDefault(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("at DetIdct Default cmd :", CAM_AT_DETECINDI_DEFAULT, kShortWait, vekIdx);
}

void vekCameraObject::atOsdRmdOn(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("at Osd Rmd On cmd :", CAM_AT_OSDREM_ON, kShortWait, vekIdx);
}

void vekCameraObject::atOsdRmdOff(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("at Osd Rmd Off cmd : ", CAM_AT_OSDREM_OFF, kShortWait, vekIdx);
}

void vekCameraObject::atFullBody(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("at Full Body: cmd: ", CAM_AT_FULLBODY, kShortWait, vekIdx);
}

void vekCameraObject::atHalfBody(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("at Half Body: cmd: ", CAM_AT_HALFBODY, kShortWait, vekIdx);
}

void vekCameraObject::atCloseUp(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("at Close Up: cmd: ", CAM_AT_CLOSELOOK, kShortWait, vekIdx);
}

void vekCameraObject::atCustomBody(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("at Custom Body: cmd: ", CAM_AT_CUSTOM, kShortWait, vekIdx);
}

void vekCameraObject::atFigSizeSave(int saveFigSize, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const quint8 n3 = (saveFigSize >> 12) & 0x0F;
    const quint8 n2 = (saveFigSize >> 8) & 0x0F;
    const quint8 n1 = (saveFigSize >> 4) & 0x0F;
    const quint8 n0 = saveFigSize & 0x0F;
    sendCommand("at Fig Size Save cmd: ", bare(vekCommandObj->VEK_Command(CAM_AT_FIGURE_SAVE, n3, n2, n1, n0)),
                kShortWait, vekIdx);
}

void vekCameraObject::atFigSizeDefault(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("at Fig Size Default cmd: ", CAM_AT_FIGURE_Default, kShortWait, vekIdx);
}

void vekCameraObject::atSelSbjLeft(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("at Sel Sbj Left cmd: ", CAM_AT_SUBJECT_LEFT, kShortWait, vekIdx);
}

void vekCameraObject::atSelSbjRight(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("at Sel Sbj Right cmd: ", CAM_AT_SUBJECT_RIGHT, kShortWait, vekIdx);
}

void vekCameraObject::atSelSbjConfirm(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("at Sel Sbj Confirm: cmd: ", CAM_AT_SUBJECT_SELECT, kShortWait, vekIdx);
}

void vekCameraObject::atPlaceLeft(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("at Place Left: cmd: ", CAM_AT_PLACE_LEFT, kShortWait, vekIdx);
}

void vekCameraObject::atPlaceCenter(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("at Place Center cmd: ", CAM_AT_PLACE_CENTER, kShortWait, vekIdx);
}

void vekCameraObject::atPlaceRight(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("at Place Right cmd: ", CAM_AT_PLACE_RIGHT, kShortWait, vekIdx);
}

void vekCameraObject::atTrackSpeedFast(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("at Track Speed Fast: cmd: ", CAM_AT_SPEED_FAST, kShortWait, vekIdx);
}

void vekCameraObject::atTrackSpeedMedium(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("at Track Speed Medium: cmd: ", CAM_AT_SPEED_MID, kShortWait, vekIdx);
}

void vekCameraObject::atTrackSpeedSlow(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendPacket("at Track Speed Slow: cmd: ", CAM_AT_SPEED_SLOW, kShortWait, vekIdx);
}

void vekCameraObject::atTrackStartPosPreset(int value, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const QByteArray frame = vekCommandObj->VEK_Command(CAM_AT_STARTPOS_PRESET, lowByte(value));
    rememberCamera(vekIdx);
    doCommandSend(frame, kShortWait, true, vekIdx);
    qCDebug(lcCamera).noquote() << "at Track Start Pos :" << value << ", cmd :" << hex(frame);
}

void vekCameraObject::atTrackRecallProfile(int value, int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const quint8 x1 = (lowByte(value) >> 4) & 0x0F;
    const quint8 x2 = lowByte(value) & 0x0F;
    qCDebug(lcCamera).noquote() << "value =" << value << " x1 = " << x1 << " x2 = " << x2;
    sendCommand("Recall Profile cmd:", vekCommandObj->VEK_Command(CAM_AT_RECALL_PROFILE, x1, x2), kShortWait, vekIdx);
}

void vekCameraObject::atTrackOn(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendCommand("at Track On: cmd: ", vekCommandObj->AT_Command(AT_TRACKFUNC_ON), kShortWait, vekIdx);
}

void vekCameraObject::atTrackOff(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    sendCommand("at Track Off: cmd: ", vekCommandObj->AT_Command(AT_TRACKFUNC_OFF), kShortWait, vekIdx);
}

int vekCameraObject::atTrackInquire(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const QByteArray reply = sendInquiry("at Track Inquire cmd: ", packet(PTZ_AICAM_QUERY), kLongWait, vekIdx);
    const bool validIdx = vekIdx >= 0 && vekIdx <= 2;
    if (reply.isEmpty()) {
        qCWarning(lcCamera).noquote() << "[ERR] VEK " << vekIdx << "AT INQ response is empty";
        if (validIdx)
            serialStateList[static_cast<size_t>(vekIdx)] = false;
        return -1;
    }
    int result = -1;
    switch (VekReply::trackState(reply, &result)) {
    case VekReply::TrackAnswer::Value:
    case VekReply::TrackAnswer::TooShort:
        break;
    case VekReply::TrackAnswer::NotSupported:
        qCWarning(lcCamera).noquote() << "[ERR] VEK " << vekIdx << "not support AT, get " << hex(reply);
        break;
    case VekReply::TrackAnswer::Unknown:
        qCWarning(lcCamera).noquote() << "[ERR] Unknow VEK " << vekIdx << "get " << hex(reply);
        break;
    }
    qCDebug(lcCamera).noquote() << "VEK" << vekIdx << "AI INQ: " << result;
    if (validIdx)
        serialStateList[static_cast<size_t>(vekIdx)] = true;
    return result;
}

int vekCameraObject::atByteInquiry(VEK_COMMANDS cmd, int vekIdx, const char *label)
{
    const QByteArray reply = sendInquiry(label, packet(cmd), kShortWait, vekIdx);
    qCDebug(lcCamera).noquote() << "retBuf :" << hex(reply);
    qCDebug(lcCamera).noquote() << "retBuf[2] :" << VekReply::byteAt(reply, 2);
    return answerByte(reply, false, label);
}

int vekCameraObject::atFigureInq(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const int v = atByteInquiry(CAM_AT_FIGUREInq, vekIdx, " at Figure Inq :");
    qCDebug(lcCamera).noquote() << " at Figure Inq retBuf[4] :" << v;
    return qMax(0, v);
}

int vekCameraObject::atFigureCustSizeInq(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const QByteArray reply =
        sendInquiry("at Figure Cust Size Inq :", packet(CAM_AT_FIGURE_CUSTSIZE_Inq), kShortWait, vekIdx);
    QByteArray p;
    if (!VekReply::bareAnswer(reply, &p, 4)) {
        qCWarning(lcCamera).noquote() << "[ERR] at Figure Cust Size Inq: no answer in" << hex(reply);
        return 0;
    }
    const int size = ((VekReply::byteAt(p, 0) & 0x0F) << 12) | ((VekReply::byteAt(p, 1) & 0x0F) << 8)
                     | ((VekReply::byteAt(p, 2) & 0x0F) << 4) | (VekReply::byteAt(p, 3) & 0x0F);
    qCDebug(lcCamera).noquote() << "at Figure Cust Size Inq data :" << size;
    return size;
}

int vekCameraObject::atPlacementInq(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    return qMax(0, atByteInquiry(CAM_AT_PLACEInq, vekIdx, "at Placement Inq cmd: "));
}

int vekCameraObject::atSpeedInq(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    return qMax(0, atByteInquiry(CAM_AT_SPEEDInq, vekIdx, "at Speed Inq cmd: "));
}

int vekCameraObject::atDetindInq(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    return qMax(0, atByteInquiry(CAM_AT_DETECINDIInq, vekIdx, "at Detind Inq cmd: "));
}

int vekCameraObject::atTrackingStartPosInq(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    return qMax(0, atByteInquiry(CAM_AT_STARTPOSInq, vekIdx, "at Tracking Start Pos Inq cmd: "));
}

bool vekCameraObject::atOSDInq(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    return atByteInquiry(CAM_AT_OSDREMInq, vekIdx, "at OSD Inq cmd: ") == 0x01;
}

bool vekCameraObject::atAutoZoomInq(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    return atByteInquiry(CAM_AT_AUTOZOOMInq, vekIdx, "at Auto Zoom Inq cmd: ") == 0x02;
}

bool vekCameraObject::atAutoTiltInq(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    return atByteInquiry(CAM_AT_AUTOTILTInq, vekIdx, "at Auto Tilt Inq cmd: ") == 0x02;
}

int vekCameraObject::InquireATProfileNum(int vekIdx)
{
    TAVRIK_ASSERT_OWNER(this);
    const QByteArray frame = vekCommandObj->VEK_Command(CAM_AT_PROFILE_Num_Inq);
    qCDebug(lcCamera).noquote() << "Inquire AT profile num cmd:" << hex(frame);
    const QByteArray reply = doCommandSend(frame, kShortWait, true, vekIdx);
    qCDebug(lcCamera).noquote() << "Inquire AT profile num return:" << hex(reply);
    if (reply.isEmpty()) {
        qCWarning(lcCamera).noquote() << "retBuf is Empty";
        return -1;
    }
    const int num = VekReply::profileNumber(reply);
    if (num < 0) {
        qCWarning(lcCamera).noquote() << "[ERR] Inquire AT profile num: no profile 1 to 10 in" << hex(reply);
        return -1;
    }
    qCDebug(lcCamera).noquote() << "retBuf[4] =" << VekReply::byteAt(reply, 4) << "retBuf[5] =" << VekReply::byteAt(reply, 5);
    qCDebug(lcCamera).noquote() << "Current profile num =" << num;
    return num;
}

void vekCameraObject::olderAtOperation(const char *name, const char *argLabel, int arg, VEK_COMMANDS cmd, quint8 p1,
                                       quint8 p2)
{
    const QByteArray frame = vekCommandObj->VEK_Command(cmd, p1, p2);
    qCDebug(lcCamera).noquote() << QStringLiteral("set %1 --- %2").arg(QLatin1String(name), QLatin1String(argLabel)) << arg;
    qCDebug(lcCamera).noquote() << QStringLiteral("set %1 --- cmd:").arg(QLatin1String(name)) << hex(frame);
    commandResendUntilAckAndComplete(frame, 300);
}

void vekCameraObject::setAiTrackMode(int mode)
{
    TAVRIK_ASSERT_OWNER(this);
    olderAtOperation("AiTrackMode", "mode:", mode, PTZ_AICAM_TRACKING_MODE, lowByte(mode));
}

void vekCameraObject::setAiTrackSpeed(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    olderAtOperation("AiTrackSpeed", "value:", value, PTZ_AICAM_TRACK_SPEED, lowByte(value));
}

void vekCameraObject::setAiSelectPeoplePos(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    olderAtOperation("AiSelectPeoplePos", "value:", value, PTZ_AICAM_SELECT_PEOPLE_POS, lowByte(value));
}

void vekCameraObject::setAiPeopleFrameOnOff(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    olderAtOperation("AiPeopleFrameOnOff", "value:", value, PTZ_AICAM_PEOPLE_FRAME_ONOFF, lowByte(value));
}

void vekCameraObject::setAiTrackTiltOnOff(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    olderAtOperation("AiTrackTiltOnOff", "value:", value, PTZ_AICAM_TILT_ONOFF, lowByte(value));
}

void vekCameraObject::setAiTrackZoomOnOff(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    olderAtOperation("AiTrackZoomOnOff", "value:", value, PTZ_AICAM_ZOOM_ONOFF, lowByte(value));
}

void vekCameraObject::setAiTrackTarget(int dir)
{
    TAVRIK_ASSERT_OWNER(this);
    olderAtOperation("AiTrackTarget", "dir:", dir, PTZ_AICAM_SELECT_TARGET, lowByte(dir));
}

void vekCameraObject::setAiTrackFeatures(int feature)
{
    TAVRIK_ASSERT_OWNER(this);
    olderAtOperation("AiTrackFeatures", "feature:", feature, PTZ_AICAM_TRACK_FEATURES, lowByte(feature));
}

void vekCameraObject::setAiTrackTargetSave(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    olderAtOperation("AiTrackTargetSave", "value:", value, PTZ_AICAM_TRACK_FEATURES_SAVE, lowByte(value >> 8),
                     lowByte(value));
}

void vekCameraObject::setAiTrackTargetDefault()
{
    TAVRIK_ASSERT_OWNER(this);
    olderAtOperation("AiTrackTargetDefault", "value:", 0, PTZ_AICAM_TRACK_FEATURES_DEFAULT);
}

int vekCameraObject::isAiCam()
{
    TAVRIK_ASSERT_OWNER(this);
    const vek_camera_info *info = registryEntry(m_curCameraIndex);
    if (!info)
        return 0;
    qCDebug(lcCamera).noquote() << QString::asprintf("is AT Cam(%d)", m_curCameraIndex);
    for (const QString &fragment : CameraModels::aiCamList()) {
        if (fragment == CameraModels::aiCamListEnd())
            break;
        if (!fragment.isEmpty() && info->cameraModel.contains(fragment))
            return 2;
    }
    return 0;
}

// --------------------------------------------------------- option store

vek_camera_info *vekCameraObject::registryEntry(int camIndex) const
{
    return CameraRegistry::entry(cameraObjects_, camIndex);
}

void vekCameraObject::atOptInitDefault(int camIndex, int atCapability)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcCamera).noquote() << QString::asprintf("(camIndex=%d, atCapability=%d)", camIndex, atCapability);
    if (vek_camera_info *info = registryEntry(camIndex))
        CameraRegistry::setAtDefaults(*info, atCapability);
}

bool vekCameraObject::getAtTrackOpt(int camIndex) const
{
    TAVRIK_ASSERT_OWNER(this);
    return option(camIndex, &vek_camera_info::atTrack);
}

bool vekCameraObject::getAtAutoZoomOpt(int camIndex) const
{
    TAVRIK_ASSERT_OWNER(this);
    return option(camIndex, &vek_camera_info::atAutoZoom);
}

bool vekCameraObject::getAtAutoTiltOpt(int camIndex) const
{
    TAVRIK_ASSERT_OWNER(this);
    return option(camIndex, &vek_camera_info::atAutoTilt);
}

bool vekCameraObject::getAtOsdRmdOpt(int camIndex) const
{
    TAVRIK_ASSERT_OWNER(this);
    return option(camIndex, &vek_camera_info::atOsdRmd);
}

int vekCameraObject::getAtModeBoxOpt(int camIndex) const
{
    TAVRIK_ASSERT_OWNER(this);
    return option(camIndex, &vek_camera_info::atMode);
}

int vekCameraObject::getAtTrackStartPosBoxOpt(int camIndex) const
{
    TAVRIK_ASSERT_OWNER(this);
    return option(camIndex, &vek_camera_info::atTrackStartPos);
}

int vekCameraObject::getAtDetIdctBoxOpt(int camIndex) const
{
    TAVRIK_ASSERT_OWNER(this);
    return option(camIndex, &vek_camera_info::atDetIndicator);
}

int vekCameraObject::getAtRoiActTimeBoxOpt(int camIndex) const
{
    TAVRIK_ASSERT_OWNER(this);
    return option(camIndex, &vek_camera_info::atRoiActTime);
}

int vekCameraObject::getAtRoiStartPosBoxOpt(int camIndex) const
{
    TAVRIK_ASSERT_OWNER(this);
    return option(camIndex, &vek_camera_info::atRoiStartPos);
}

void vekCameraObject::refreshAtStatus(int camIndex)
{
    TAVRIK_ASSERT_OWNER(this);
    Q_UNUSED(camIndex)
    qCDebug(lcCamera).noquote() << "[vekcameraobject] vekCameraObject::refreshAtStatus()";
}

// ------------------------------------------------------------- registry

void vekCameraObject::createManualCameraObjDoConnect(int index, const QString &ipAddr, const QString &modelName)
{
    TAVRIK_ASSERT_OWNER(this);
    Q_UNUSED(ipAddr)
    Q_UNUSED(modelName)
    qCDebug(lcCamera).noquote() << "createManualCameraObjDoConnect --- vek scna done , scan vek conunt" << 0;
    if (index < 0) {
        qCWarning(lcCamera).noquote() << "[ERR] createManualCameraObjDoConnect: index" << index;
        return;
    }
    setCurCameraIndex(index);
    setCurInputLine(0);
    setCameraCount(index + 1);
    qCDebug(lcCamera).noquote() << "createManualCameraObjDoConnect CameraScanDone<====";
}

void vekCameraObject::createCameraObjDoConnect()
{
    TAVRIK_ASSERT_OWNER(this);
}

void vekCameraObject::onVekScanComplete()
{
    TAVRIK_ASSERT_OWNER(this);
    createCameraObjDoConnect();
}

void vekCameraObject::clearCamera()
{
    TAVRIK_ASSERT_OWNER(this);
    cameraObjects_.clear();
}

void vekCameraObject::cameraClear()
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcCamera).noquote() << "cameraClear";
    cameraObjects_.clear();
}

void vekCameraObject::removeCamera(int index, const QString &ip)
{
    TAVRIK_ASSERT_OWNER(this);
    Q_UNUSED(ip)
    qCDebug(lcCamera).noquote() << "removeCamera: index: " << index;
}

void vekCameraObject::saveCamera()
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcCamera).noquote() << "saveCamera 000000";
    for (auto &entry : cameraObjects_) {
        cameraObjects_2.push_back(std::move(entry));
        qCDebug(lcCamera).noquote() << "saveCamera 111111";
    }
    // Moved-from places would be empty slots that every later reader would
    // have to step around; the working registry is empty now.
    cameraObjects_.clear();
}

int vekCameraObject::getCamCount()
{
    TAVRIK_ASSERT_OWNER(this);
    setCameraCount(static_cast<int>(cameraObjects_.size()));
    qCDebug(lcCamera).noquote() << "getCamCount: " << m_cameraCount;
    return m_cameraCount;
}

void vekCameraObject::refreshCurrentCameraLineInput()
{
    TAVRIK_ASSERT_OWNER(this);
    if (const vek_camera_info *info = registryEntry(m_curCameraIndex))
        setCurInputLine(info->mapping - 1);
}

QString vekCameraObject::getCurrentIp()
{
    TAVRIK_ASSERT_OWNER(this);
    return {};
}

QString vekCameraObject::getCamHostName()
{
    TAVRIK_ASSERT_OWNER(this);
    return loggedAccessor("get Cam Host Name");
}

QString vekCameraObject::getCamModelName()
{
    TAVRIK_ASSERT_OWNER(this);
    return loggedAccessor("get Cam Model Name");
}

QString vekCameraObject::getCamMac()
{
    TAVRIK_ASSERT_OWNER(this);
    return loggedAccessor("getCamMac");
}

QString vekCameraObject::getCamMask()
{
    TAVRIK_ASSERT_OWNER(this);
    return loggedAccessor("getCamMask");
}

QString vekCameraObject::getCamGateway()
{
    TAVRIK_ASSERT_OWNER(this);
    return loggedAccessor("getCamGateway");
}

QString vekCameraObject::getCamPrimdns()
{
    TAVRIK_ASSERT_OWNER(this);
    return loggedAccessor("getCamPrimdns");
}

QString vekCameraObject::getCamSecdns()
{
    TAVRIK_ASSERT_OWNER(this);
    return loggedAccessor("getCamSecdns");
}

QString vekCameraObject::getCamVid()
{
    TAVRIK_ASSERT_OWNER(this);
    return loggedAccessor("getCamVid");
}

QString vekCameraObject::getCamPid()
{
    TAVRIK_ASSERT_OWNER(this);
    return loggedAccessor("getCamPid");
}

QString vekCameraObject::loggedAccessor(const char *name) const
{
    qCDebug(lcCamera).noquote() << QStringLiteral("%1 -- curCameraIndex(): ").arg(QLatin1String(name)) << m_curCameraIndex;
    return {};
}

bool vekCameraObject::getCamIsdhcp()
{
    TAVRIK_ASSERT_OWNER(this);
    loggedAccessor("getCamIsdhcp");
    return m_curCameraIndex >= 0 && static_cast<size_t>(m_curCameraIndex) < cameraObjects_.size();
}

int vekCameraObject::addCamera(const vek_camera_info &info)
{
    TAVRIK_ASSERT_OWNER(this);
    cameraObjects_.push_back(std::make_unique<cameraConnectionObject>(info));
    return static_cast<int>(cameraObjects_.size()) - 1;
}

void vekCameraObject::setLowerVideoFormat(const QString &ipStr)
{
    TAVRIK_ASSERT_OWNER(this);
    // The address comes from the operator: it may name a host and a port,
    // nothing that would change where the request goes or what it asks.
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setAuthority(ipStr.trimmed(), QUrl::StrictMode);
    static const QRegularExpression hostPort(QStringLiteral("^[A-Za-z0-9.\\-\\[\\]:]+$"));
    if (ipStr.trimmed().isEmpty() || !hostPort.match(ipStr.trimmed()).hasMatch() || !url.isValid()
        || url.host().isEmpty()) {
        qCWarning(lcCamera).noquote() << "[ERR] setLowerVideoFormat: not a camera address:" << ipStr;
        return;
    }
    const QString serviceUrl =
        QStringLiteral("http://") + ipStr.trimmed() + QStringLiteral("/")
        + QStringLiteral("ajaxcom?szCmd={\"SetEnv\":{\"VideoEncode\":[{\"stSlave\":{\"emVideoCodec\":5,"
                         "\"emImageSize\":27},\"stMaster\":{\"emVideoCodec\":5},\"nChannel\":0}]}}");
    const QUrl request(serviceUrl);
    qCDebug(lcCamera).noquote() << "serviceUrl: " << request.toString();
    QNetworkRequest req(request);
    // A camera that never answers must not keep a reply alive for ever.
    req.setTransferTimeout(HttpTotalMs);
    QNetworkReply *reply = networkManager.get(req);
    // Whatever answers at that address, its body is a short status text: a
    // peer that keeps sending is cut off at the cap, and one that trickles
    // (which the transfer time-out never catches) at the total time.
    reply->setReadBufferSize(HttpBodyLimit + 1);
    connect(reply, &QNetworkReply::readyRead, reply, [reply] {
        if (reply->isRunning() && reply->bytesAvailable() > HttpBodyLimit) {
            qCWarning(lcCamera).noquote() << "[WARN] setLowerVideoFormat: reply longer than" << HttpBodyLimit
                                          << "bytes, aborted";
            reply->abort();
        }
    });
    QTimer::singleShot(HttpTotalMs, reply, [reply] {
        if (!reply->isRunning())
            return;
        qCWarning(lcCamera).noquote() << "[WARN] setLowerVideoFormat: no whole reply within" << HttpTotalMs << "ms, aborted";
        reply->abort();
    });
    qCDebug(lcCamera).noquote() << " setLowerVideoFormat done: ";
}

void vekCameraObject::onfinish(QNetworkReply *rep)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!rep)
        return;
    // A bounded excerpt: the body came from whatever answered at that address.
    const QByteArray body = rep->read(HttpLogExcerpt + 1);
    QString str = QString::fromUtf8(body.left(HttpLogExcerpt));
    if (body.size() > HttpLogExcerpt || rep->bytesAvailable() > 0)
        str += QStringLiteral(" [...]");
    qCDebug(lcCamera).noquote() << " onfinish....... str: " << str;
    emit finished(rep);
    rep->deleteLater();
}

// ------------------------------------------------------------ setters

#define VEK_SETTER(name, member, type, signal)                                                                         \
    void vekCameraObject::name(type v)                                                                                 \
    {                                                                                                                  \
        if (member == v)                                                                                               \
            return;                                                                                                    \
        member = v;                                                                                                    \
        emit signal();                                                                                                 \
    }

VEK_SETTER(setColorBarOn, m_isColorBarOn, bool, isColorBarOnChanged)
VEK_SETTER(setTallyLightOn, m_isTallyLightOn, bool, isTallyLightOnChanged)
VEK_SETTER(setredTallyOn, m_isredTallyOn, bool, isredTallyOnChanged)
VEK_SETTER(setblueTallyOn, m_isblueTallyOn, bool, isblueTallyOnChanged)
VEK_SETTER(setOsdOn, m_isOsdOn, bool, isOsdOnChanged)
VEK_SETTER(setVekRGain, m_vekRGain, int, vekRGainChanged)
VEK_SETTER(setVekBGain, m_vekBGain, int, vekBGainChanged)
VEK_SETTER(setPtzSpeedRange, m_ptzSpeedRange, int, ptzSpeedRangeChanged)
VEK_SETTER(setWhiteBalanceMode, m_whiteBalanceMode, int, whiteBalanceModeChanged)
VEK_SETTER(setptzMemoryPos, m_ptzMemoryPos, int, ptzMemoryPosChanged)
VEK_SETTER(setVideoFormat, m_videoFormat, const QString &, videoFormatChanged)
VEK_SETTER(setAutoFocusMode, m_bAutoFocusMode, bool, bAutoFocusModeChanged)
VEK_SETTER(setirisModeAuto, m_birisModeAuto, bool, birisModeAutoChanged)
VEK_SETTER(setvekHFlip, m_vekHFlip, bool, vekHFlipChanged)
VEK_SETTER(setvekVFlip, m_vekVFlip, bool, vekVFlipChanged)
VEK_SETTER(setpanDirReverse, m_panDirReverse, bool, panDirReverseChanged)
VEK_SETTER(settiltDirReverse, m_tiltDirReverse, bool, tiltDirReverseChanged)
VEK_SETTER(setSliderBarZoomMode, m_bSliderBarZoomMode, bool, bSliderBarZoomModeChanged)
VEK_SETTER(setPositionStoreMode, m_bPositionStoreMode, bool, bPositionStoreModeChanged)
VEK_SETTER(setmodelName, m_modelName, const QString &, modelNameChanged)
VEK_SETTER(setmcuVersion, m_mcuVersion, const QString &, mcuVersionChanged)
VEK_SETTER(setfpgaVersion, m_fpgaVersion, const QString &, fpgaVersionChanged)
VEK_SETTER(setmotorVersion, m_motorVersion, const QString &, motorVersionChanged)
VEK_SETTER(setpanMaxSpeed, m_panMaxSpeed, const QString &, panMaxSpeedChanged)
VEK_SETTER(settiltMaxSpeed, m_tiltMaxSpeed, const QString &, tiltMaxSpeedChanged)
VEK_SETTER(setCurCameraIndex, m_curCameraIndex, int, curCameraIndexChanged)
VEK_SETTER(setCurInputLine, m_curInputLine, int, curInputLineChanged)
VEK_SETTER(setCameraCount, m_cameraCount, int, cameraCountChanged)

#undef VEK_SETTER
