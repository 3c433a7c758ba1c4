#include "sim/ui/simunitmodel.h"

#include "sim/simcamera.h"
#include "sim/simcommands.h"
#include "sim/simconverter.h"
#include "sim/simkeys.h"
#include "sim/simmainboard.h"
#include "sim/simtools.h"
#include "sim/simunit.h"

#include <QFileInfo>
#include <QMetaEnum>
#include <QTime>
#include <QUrl>

namespace {
template <typename E>
QString enumName(E value)
{
    return QString::fromLatin1(QMetaEnum::fromType<E>().valueToKey(int(value)));
}

QString hexBytes(const QByteArray &b, int max = 24)
{
    QString s = QString::fromLatin1(b.left(max).toHex(' ').toUpper());
    if (b.size() > max)
        s += QStringLiteral(" … (%1 bytes)").arg(b.size());
    return s;
}

QString wbName(int mode)
{
    switch (mode) {
    case 0: return QStringLiteral("auto");
    case 1: return QStringLiteral("indoor");
    case 2: return QStringLiteral("outdoor");
    case 3: return QStringLiteral("one-push");
    case 5: return QStringLiteral("manual");
    default: return QStringLiteral("code %1").arg(mode);
    }
}

QString aeName(int mode)
{
    switch (mode) {
    case 0: return QStringLiteral("auto");
    case 3: return QStringLiteral("manual");
    case 10: return QStringLiteral("shutter");
    case 11: return QStringLiteral("iris");
    case 13: return QStringLiteral("bright");
    default: return QStringLiteral("code %1").arg(mode);
    }
}

QVariantMap mainboardMap(SimMainboard &mb)
{
    const SimMainboard::State s = mb.state();
    const SimMainboard::Counters c = mb.counters();
    const QByteArray setup = s.menuBytes(3);
    QVariantMap m;
    m[QStringLiteral("online")] = mb.isOpen();
    m[QStringLiteral("mode")] = enumName(mb.failureMode());
    m[QStringLiteral("bootMode")] = enumName(mb.bootLoaderFailure());
    m[QStringLiteral("bootLoader")] = mb.inBootLoader();
    m[QStringLiteral("program")] = s.program();
    m[QStringLiteral("preview")] = s.preview();
    m[QStringLiteral("tbar")] = int(s.tbar());
    // A transition runs while an auto transition is timed or the T-bar
    // has left the end it last rested at.
    m[QStringLiteral("transition")] = s.autoTransitionRunning || int(s.tbar()) != int(s.tbarLastEnd);
    m[QStringLiteral("autoRunning")] = s.autoTransitionRunning;
    m[QStringLiteral("wipe")] = s.flag(1);
    m[QStringLiteral("wipePattern")] = s.wipePattern();
    m[QStringLiteral("reverse")] = s.reverse();
    m[QStringLiteral("rate")] = int(s.autoRate);
    m[QStringLiteral("pipProgram")] = s.flag(3);
    m[QStringLiteral("pipPreview")] = s.flag(4);
    m[QStringLiteral("pipSource")] = s.pipSource();
    m[QStringLiteral("keyProgram")] = s.flag(5);
    m[QStringLiteral("keyPreview")] = s.flag(6);
    m[QStringLiteral("keySource")] = s.keySource();
    m[QStringLiteral("split")] = s.flag(2);
    m[QStringLiteral("aux")] = QStringLiteral("%1 / mode %2").arg(s.auxSource).arg(s.auxMode);
    m[QStringLiteral("setup")] = hexBytes(setup.left(3)) + QStringLiteral(" · ") + hexBytes(setup.mid(7, 1));
    m[QStringLiteral("firmware")] = setup.size() >= 7
        ? QStringLiteral("%1.%2, OSD %3.%4").arg(int(quint8(setup[3]))).arg(int(quint8(setup[4])))
              .arg(int(quint8(setup[5]))).arg(int(quint8(setup[6])))
        : QString();
    m[QStringLiteral("frames")] = c.frames;
    m[QStringLiteral("transitions")] = c.transitions;
    m[QStringLiteral("badFrames")] = c.checksumErrors + c.unsupported;
    m[QStringLiteral("dropped")] = c.droppedBytes;
    m[QStringLiteral("packets")] = c.packets;
    return m;
}

QVariantMap cameraMap(SimCamera &cam, int index)
{
    const SimCamera::State s = cam.state();
    QVariantMap m;
    m[QStringLiteral("index")] = index;
    m[QStringLiteral("device")] = cam.deviceName();
    m[QStringLiteral("online")] = cam.isOpen();
    m[QStringLiteral("mode")] = enumName(cam.failureMode());
    m[QStringLiteral("power")] = s.power && cam.failureMode() != SimCamera::PowerOff;
    // Red wins where a camera is asked to show both: on air matters most.
    m[QStringLiteral("tally")] = s.redTally ? QStringLiteral("red") : s.greenTally ? QStringLiteral("green") : QStringLiteral("off");
    m[QStringLiteral("pan")] = s.panPos;
    m[QStringLiteral("tilt")] = s.tiltPos;
    m[QStringLiteral("zoom")] = s.zoomPos;
    m[QStringLiteral("moving")] = s.panDir != 0 || s.tiltDir != 0 || s.zoomDir != 0;
    m[QStringLiteral("focus")] = s.autoFocus ? QStringLiteral("auto") : QStringLiteral("manual %1").arg(s.focusPos);
    m[QStringLiteral("exposure")] = aeName(s.aeMode) + QStringLiteral(", iris %1").arg(s.iris);
    m[QStringLiteral("wb")] = wbName(s.wbMode);
    m[QStringLiteral("presetStored")] = s.lastStoredPreset;
    m[QStringLiteral("presetRecalled")] = s.lastRecalledPreset;
    m[QStringLiteral("tracking")] = !s.trackingCapable ? QStringLiteral("not capable")
        : s.aiCamOn || s.trackFunction ? QStringLiteral("on") : QStringLiteral("off");
    m[QStringLiteral("received")] = cam.receivedCount();
    return m;
}

QString hexOrDash(int v) { return v < 0 ? QStringLiteral("–") : QStringLiteral("0x%1").arg(v, 2, 16, QLatin1Char('0')); }
} // namespace

SimUnitModel::SimUnitModel(SimUnit &unit, SimCommands &commands, QObject *parent)
    : QObject(parent), unit_(unit), commands_(commands)
{
    // Direct connections: these run on the simulation thread and only queue.
    std::shared_ptr<FrameQueue> q = frames_;
    connect(&unit_.mainboard(), &SimMainboard::frameReceived, this,
            [q](const QByteArray &f) { q->push(QStringLiteral("mainboard"), f); }, Qt::DirectConnection);
    for (int i = 0; i < SimUnit::kCameras; ++i) {
        const QString name = QStringLiteral("camera %1").arg(i);
        connect(&unit_.camera(i), &SimCamera::messageReceived, this,
                [q, name](const QByteArray &m) { q->push(name, m); }, Qt::DirectConnection);
    }
    connect(&timer_, &QTimer::timeout, this, &SimUnitModel::refresh);
    timer_.start(kRefreshMs);
    refresh();
}

SimUnitModel::~SimUnitModel() = default;

QStringList SimUnitModel::mainboardModes() const { return SimCommands::mainboardModes(); }
QStringList SimUnitModel::bootModes() const { return SimCommands::bootModes(); }
QStringList SimUnitModel::cameraModes() const { return SimCommands::cameraModes(); }
QStringList SimUnitModel::converterModes() const { return SimCommands::converterModes(); }
int SimUnitModel::readingMax() const { return SimCommands::kReadingMax; }

QString SimUnitModel::command(const QString &line)
{
    // A drag sends a command per mouse move: the next tick shows the result.
    return commands_.run(line);
}

void SimUnitModel::FrameQueue::push(const QString &device, const QByteArray &bytes)
{
    const QString line = QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")) + QLatin1Char(' ')
        + device.leftJustified(9) + QLatin1Char(' ') + hexBytes(bytes);
    std::lock_guard<std::mutex> guard(lock);
    lines << line;
    if (lines.size() > kLogLines) {
        lines.removeFirst();
        ++dropped;
    }
}

void SimUnitModel::refresh()
{
    const QVariantMap mb = mainboardMap(unit_.mainboard());
    if (mb != mainboard_) {
        mainboard_ = mb;
        emit mainboardChanged();
    }

    QVariantList cams;
    for (int i = 0; i < SimUnit::kCameras; ++i)
        cams << cameraMap(unit_.camera(i), i);
    if (cams != cameras_) {
        cameras_ = cams;
        emit camerasChanged();
    }

    for (const QString &call : unit_.tools().callsSince(&callsOffset_))
        piState_.apply(call);
    QVariantMap pi;
    pi[QStringLiteral("keyLamps")] = piState_.keyLampsOn;
    pi[QStringLiteral("keyLeds")] = hexOrDash(piState_.keyLedReg2) + QStringLiteral(" / ") + hexOrDash(piState_.keyLedReg3);
    pi[QStringLiteral("ledDriver")] = hexOrDash(piState_.ledDriverReg2) + QStringLiteral(" / ") + hexOrDash(piState_.ledDriverReg3);
    pi[QStringLiteral("powerOffLine")] = piState_.powerOffLine;
    pi[QStringLiteral("powerOffPulses")] = piState_.powerOffPulses;
    pi[QStringLiteral("displayReset")] = piState_.displayReset;
    QStringList audio;
    for (int v : piState_.audio)
        audio << (v < 0 ? QStringLiteral("–") : QString::number(v));
    pi[QStringLiteral("audio")] = audio.join(QLatin1Char(' '));
    pi[QStringLiteral("programOutput")] = piState_.programOutput;
    pi[QStringLiteral("programRate")] = piState_.programRate;
    pi[QStringLiteral("captures")] = piState_.captures;
    const QString picture = unit_.sysroot() + QStringLiteral("/home/pi/output.jpg");
    pi[QStringLiteral("picture")] = QFileInfo::exists(picture)
        ? QUrl::fromLocalFile(picture).toString() + QStringLiteral("#%1").arg(piState_.captures)
        : QString();
    pi[QStringLiteral("calls")] = piState_.calls;
    pi[QStringLiteral("lastCall")] = piState_.lastCall;
    if (pi != pi_) {
        pi_ = pi;
        emit piChanged();
    }

    SimConverter &conv = unit_.converter();
    QVariantMap ctl;
    ctl[QStringLiteral("tbar")] = conv.reading(SimConverter::TbarInput);
    ctl[QStringLiteral("zoom")] = conv.reading(SimConverter::ZoomInput);
    ctl[QStringLiteral("joyX")] = conv.reading(SimConverter::JoystickXInput);
    ctl[QStringLiteral("joyY")] = conv.reading(SimConverter::JoystickYInput);
    ctl[QStringLiteral("converterMode")] = enumName(conv.failureMode());
    ctl[QStringLiteral("converterOpen")] = conv.isOpen();
    ctl[QStringLiteral("converterConnections")] = conv.connections();
    ctl[QStringLiteral("power")] = unit_.powerButtonPressed();
    QVariantList held;
    for (int k = 0; k < SimKeys::kKeys; ++k)
        held << unit_.keys().isHeld(k);
    ctl[QStringLiteral("keysHeld")] = held;
    if (ctl != controls_) {
        controls_ = ctl;
        emit controlsChanged();
    }

    QStringList fresh;
    int dropped = 0;
    {
        std::lock_guard<std::mutex> guard(frames_->lock);
        fresh.swap(frames_->lines);
        std::swap(dropped, frames_->dropped);
    }
    if (!fresh.isEmpty()) {
        if (dropped > 0)
            log_ << QStringLiteral("… %1 frames not shown").arg(dropped);
        log_ << fresh;
        if (log_.size() > kLogLines)
            log_.erase(log_.begin(), log_.begin() + (log_.size() - kLogLines));
        emit logChanged();
    }
}
