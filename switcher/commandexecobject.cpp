#include "switcher/commandexecobject.h"
#include "switcher/exchangeguard_p.h"
#include "switcher/switcherlog.h"

#include "mainboard/zarvomu.h"
#include "mbUpgrade/upgradecontroller.h"
#include "platform/sysroot.h"
#include "platform/threadcheck.h"

#include <QDebug>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QSizeF>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

namespace {

// The last aux output source written. Process-wide on purpose: the aux bus
// is a property of the unit, not of one model object.
std::atomic<uint> curAuxSource{0};

const char *sourceName(int src)
{
    switch (src) {
    case black: return "black";
    case input1: return "input1";
    case input2: return "input2";
    case input3: return "input3";
    case input4: return "input4";
    case background: return "background";
    case colorBar: return "colorBar";
    default: return "unknown";
    }
}

bool isSource(int src) { return src >= black && src <= colorBar; }

// Anything outside black..colour bar has no crosspoint: refused before any
// traffic.
bool acceptSource(int src, const char *what)
{
    if (isSource(src))
        return true;
    qCWarning(lcSwitcher) << "[ERR]" << what << "out of range :" << src;
    return false;
}

} // namespace

commandExecObject::commandExecObject(QObject *parent) : QObject(parent)
{
    socket_ = new QTcpSocket(this);
    serial_ = new QSerialPort(this);
    // A child: the special-mission connection must stay direct on the
    // thread that runs this object.
    zarvoUnitControl = new zarvoMu(socket_, serial_, this);
    connect(zarvoUnitControl, &zarvoMu::sigMBBusy, this, &commandExecObject::sigMainboardBusy);
    connect(zarvoUnitControl, &zarvoMu::answeringChanged, this, &commandExecObject::mainboardAnswering);
    connect(this, &commandExecObject::sigSpecialMission, zarvoUnitControl, &zarvoMu::sltSpecialMission);
    // A chattering line must not grow memory between exchanges: Qt holds
    // at most this much, and what arrives while the line is idle is dropped.
    serial_->setReadBufferSize(kLineBufferBytes);
    idleDrain_ = new QTimer(this);
    idleDrain_->setInterval(kIdleDrainMs);
    connect(idleDrain_, &QTimer::timeout, this, &commandExecObject::drainIdleLine);
    idleDrain_->start();
    connectSerial(QStringLiteral("ttyAMA2"));
}

void commandExecObject::drainIdleLine()
{
    const qint64 n = zarvoUnitControl->drainIdleInput();
    if (n <= 0)
        return;
    idleDropped_ += n;
    // One line a minute at most for a line that keeps chattering.
    if (!idleLogged_.isValid() || idleLogged_.elapsed() >= 60000) {
        qCWarning(lcSwitcher) << "[WARN] mainboard line: dropped" << idleDropped_ << "bytes that came unasked";
        idleDropped_ = 0;
        idleLogged_.start();
    }
}

commandExecObject::~commandExecObject()
{
    // A running upgrade is stopped and waited for before the line goes away.
    delete upgrade_;
    serial_->close();
    qCDebug(lcSwitcher) << "Release commandExecObject";
    delete zarvoUnitControl;
    zarvoUnitControl = nullptr;
    serial_->close();
    socket_->close();
    delete socket_;
    socket_ = nullptr;
}

// ---------------------------------------------------------------------------
// Mainboard line

bool commandExecObject::connectSerial(QString portName)
{
    TAVRIK_ASSERT_OWNER(this);
    if (upgradeRunning_.load()) {
        qCWarning(lcSwitcher) << "[ERR] connectSerial refused: mainboard firmware upgrade in progress";
        return false;
    }
    if (serial_->isOpen())
        serial_->close();
    if (!zarvoMu::openLine(*serial_, portName)) {
        qCWarning(lcSwitcher) << portName << "Serial open failed:" << serial_->errorString();
        return false;
    }
    qCDebug(lcSwitcher) << portName << "Serial is open";
    zarvoUnitControl->setIsUseSocket(false);
    // The mainboard drops the first frames that follow the line opening.
    QThread::msleep(600);
    return true;
}

bool commandExecObject::isConnected()
{
    TAVRIK_ASSERT_OWNER(this);
    if (serial_->isOpen())
        return true;
    qCWarning(lcSwitcher) << "[ERR] Not connected" << ", serial_->isOpen() = " << serial_->isOpen();
    return false;
}

void commandExecObject::disConnect()
{
    TAVRIK_ASSERT_OWNER(this);
    if (upgradeRunning_.load()) {
        qCWarning(lcSwitcher) << "[ERR] disConnect refused: mainboard firmware upgrade in progress";
        return;
    }
    serial_->close();
}

QList<QString> commandExecObject::availableComPorts()
{
    TAVRIK_ASSERT_OWNER(this);
    QList<QString> names;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        names.append(info.portName());
    return names;
}

// Width the larger and height the smaller side, so a panel mounted in
// portrait still reports landscape values.
static QSizeF landscapeScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen) {
        qCWarning(lcSwitcher) << "[ERR] no primary screen";
        return QSizeF(0, 0);
    }
    const QRect g = screen->geometry();
    const QSizeF size(qMax(g.width(), g.height()), qMin(g.width(), g.height()));
    qCDebug(lcSwitcher) << "Screen Width: " << size.width() << "Screen height: " << size.height();
    return size;
}

double commandExecObject::getScreenWidth()
{
    TAVRIK_ASSERT_OWNER(this);
    return landscapeScreen().width();
}
double commandExecObject::getScreenHeight()
{
    TAVRIK_ASSERT_OWNER(this);
    return landscapeScreen().height();
}

bool commandExecObject::linkFree(const char *operation)
{
    if (!upgradeRunning_.load())
        return true;
    qCWarning(lcSwitcher) << "[ERR]" << operation << "refused: mainboard firmware upgrade in progress";
    return false;
}

bool commandExecObject::exchangeAvailable(const char *operation)
{
    if (!linkFree(operation))
        return false;
    if (mutexOwner_.load() == QThread::currentThreadId()) {
        qCWarning(lcSwitcher) << "[ERR]" << operation << "refused: re-entered while this thread holds the mainboard lock";
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Crosspoints

bool commandExecObject::writeBus(const char *operation, bool program, CrossPoint source, LineCheck line)
{
    return exchange(operation, line, false, [&] {
        return program ? zarvoUnitControl->writeProgram(source) : zarvoUnitControl->writePreset(source);
    });
}

bool commandExecObject::pgm(int n)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!isConnected())
        return false;
    if (!acceptSource(n, "buttonNum"))
        return false;
    return writeBus("pgm", true, static_cast<CrossPoint>(n), NoLineCheck);
}

bool commandExecObject::pvw(int n)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!acceptSource(n, "buttonNum"))
        return false;
    return writeBus("pvw", false, static_cast<CrossPoint>(n), NoLineCheck);
}

// The background button alternates its bus between background and colour bar.
static CrossPoint backgroundToggled(CrossPoint current) { return current == background ? colorBar : background; }

bool commandExecObject::pgmbg()
{
    TAVRIK_ASSERT_OWNER(this);
    return exchange("pgmbg", CheckLine, false, [this] {
        bool ok = false;
        return zarvoUnitControl->writeProgram(backgroundToggled(zarvoUnitControl->readProgram(ok)));
    });
}

bool commandExecObject::pvwbg()
{
    TAVRIK_ASSERT_OWNER(this);
    return exchange("pvwbg", CheckLine, false, [this] {
        bool ok = false;
        return zarvoUnitControl->writePreset(backgroundToggled(zarvoUnitControl->readPreset(ok)));
    });
}

bool commandExecObject::pgmBk()
{
    TAVRIK_ASSERT_OWNER(this);
    return writeBus("pgmBk", true, black);
}
bool commandExecObject::pvwBk()
{
    TAVRIK_ASSERT_OWNER(this);
    return writeBus("pvwBk", false, black);
}
bool commandExecObject::pgmColorBar()
{
    TAVRIK_ASSERT_OWNER(this);
    return writeBus("pgmColorBar", true, colorBar);
}

// ---------------------------------------------------------------------------
// Transitions

bool commandExecObject::cutTrans()
{
    TAVRIK_ASSERT_OWNER(this);
    return exchange("cutTrans", CheckLine, false, [this] {
        qCDebug(lcSwitcher) << "cutTrans --- ";
        const bool ok = zarvoUnitControl->writePushButtonLampOn(cutCommand);
        if (ok)
            qCDebug(lcSwitcher) << "cut trans mode is on :" << ok;
        return ok;
    });
}

bool commandExecObject::autoTrans(int rate)
{
    TAVRIK_ASSERT_OWNER(this);
    // The mainboard runs the transition at the rate last written with
    // writeAutoRate; the argument is kept for the interface's call shape.
    Q_UNUSED(rate)
    return exchange("autoTrans", CheckLine, false, [this] {
        setAutoMode(true);
        const bool ok = zarvoUnitControl->writePushButtonLampOn(autoTransition);
        if (ok)
            qCDebug(lcSwitcher) << "auto trans mode is on :" << ok;
        setAutoMode(false);
        return ok;
    });
}

bool commandExecObject::mixMode()
{
    TAVRIK_ASSERT_OWNER(this);
    const bool ok = lampWrite("mixMode", mixTransitionCommand, true);
    if (ok)
        qCDebug(lcSwitcher) << "mix mode is on";
    return ok;
}

bool commandExecObject::wipeMode()
{
    TAVRIK_ASSERT_OWNER(this);
    const bool ok = lampWrite("wipeMode", wipeTransitionCommand, true);
    if (ok)
        qCDebug(lcSwitcher) << "wipe mode is on";
    return ok;
}

bool commandExecObject::spliteMode()
{
    TAVRIK_ASSERT_OWNER(this);
    return exchange("spliteMode", CheckLine, false, [this] {
        bool ok = false;
        if (zarvoUnitControl->readPushButtonLamp(splitCommand, ok)) {
            const bool written = zarvoUnitControl->writePushButtonLampOff(splitCommand);
            qCDebug(lcSwitcher) << "split mode is off :" << written;
            return written;
        }
        const bool written = zarvoUnitControl->writePushButtonLampOn(splitCommand);
        qCDebug(lcSwitcher) << "split mode is on :" << written;
        return written;
    });
}

void commandExecObject::reverseOn()
{
    TAVRIK_ASSERT_OWNER(this);
    if (lampWrite("reverseOn", reverseCommand, true, CheckLine))
        qCDebug(lcSwitcher) << "reverse trans mode is on :" << true;
}

void commandExecObject::reverseOff()
{
    TAVRIK_ASSERT_OWNER(this);
    if (lampWrite("reverseOff", reverseCommand, false, CheckLine))
        qCDebug(lcSwitcher) << "reverse trans mode is off :" << true;
}

bool commandExecObject::writePatternLocked(const char *operation, WipePattern pattern)
{
    return exchange(operation, CheckLine, false, [&] {
        const bool ok = zarvoUnitControl->writeWipePattern(pattern);
        if (!ok)
            qCWarning(lcSwitcher) << "pattern set not susccess";
        return ok;
    });
}

bool commandExecObject::wipePattern1()
{
    TAVRIK_ASSERT_OWNER(this);
    return writePatternLocked("wipePattern1", LeftToRight);
}
bool commandExecObject::wipePattern2()
{
    TAVRIK_ASSERT_OWNER(this);
    return writePatternLocked("wipePattern2", topToBottom);
}
bool commandExecObject::wipePattern3()
{
    TAVRIK_ASSERT_OWNER(this);
    return writePatternLocked("wipePattern3", WipePattern::center);
}

// ---------------------------------------------------------------------------
// Keyers, picture-in-picture, split

bool commandExecObject::lampWrite(const char *operation, PushButtonLamp lamp, bool on, LineCheck line)
{
    return exchange(operation, line, false, [&] {
        return on ? zarvoUnitControl->writePushButtonLampOn(lamp) : zarvoUnitControl->writePushButtonLampOff(lamp);
    });
}

bool commandExecObject::pipProgramOn()
{
    TAVRIK_ASSERT_OWNER(this);
    return lampWrite("pipProgramOn", pipProgram, true);
}
bool commandExecObject::pipProgramOff()
{
    TAVRIK_ASSERT_OWNER(this);
    return lampWrite("pipProgramOff", pipProgram, false);
}
bool commandExecObject::pipPreviewOn()
{
    TAVRIK_ASSERT_OWNER(this);
    return lampWrite("pipPreviewOn", pipPreview, true);
}
bool commandExecObject::pipPreviewOff()
{
    TAVRIK_ASSERT_OWNER(this);
    return lampWrite("pipPreviewOff", pipPreview, false);
}
bool commandExecObject::keyOnPgm()
{
    TAVRIK_ASSERT_OWNER(this);
    return lampWrite("keyOnPgm", keyProgram, true);
}
bool commandExecObject::keyOffPgm()
{
    TAVRIK_ASSERT_OWNER(this);
    return lampWrite("keyOffPgm", keyProgram, false);
}
bool commandExecObject::keyOnPvw()
{
    TAVRIK_ASSERT_OWNER(this);
    return lampWrite("keyOnPvw", keyPreview, true);
}
bool commandExecObject::keyOffPvw()
{
    TAVRIK_ASSERT_OWNER(this);
    return lampWrite("keyOffPvw", keyPreview, false);
}

bool commandExecObject::writePipProgram()
{
    TAVRIK_ASSERT_OWNER(this);
    if (!linkFree("writePipProgram"))
        return false;
    return zarvoUnitControl->writePushButtonLampOn(pipProgram);
}

void commandExecObject::pipSplitOnPgm()
{
    TAVRIK_ASSERT_OWNER(this);
    exchange("pipSplitOnPgm", CheckLine, [this] {
        bool ok = false;
        PushButtonLamp lamp = pipProgram;
        bool lit = isPipSplitOnPgm();
        if (zarvoUnitControl->readPushButtonLamp(splitCommand, ok)) {
            lamp = splitProgram;
            lit = zarvoUnitControl->readPushButtonLamp(splitProgram, ok);
        }
        lit ? zarvoUnitControl->writePushButtonLampOff(lamp) : zarvoUnitControl->writePushButtonLampOn(lamp);
    });
}

void commandExecObject::pipSplitOnPvw()
{
    TAVRIK_ASSERT_OWNER(this);
    exchange("pipSplitOnPvw", CheckLine, [this] {
        bool ok = false;
        const PushButtonLamp lamp = zarvoUnitControl->readPushButtonLamp(splitCommand, ok) ? splitPreview : pipPreview;
        isPipSplitOnPvw() ? zarvoUnitControl->writePushButtonLampOff(lamp)
                          : zarvoUnitControl->writePushButtonLampOn(lamp);
    });
}

bool commandExecObject::lampState(const char *operation, PushButtonLamp lamp)
{
    return exchange(operation, CheckLine, false, [&] {
        bool ok = false;
        const bool lit = zarvoUnitControl->readPushButtonLamp(lamp, ok);
        return ok && lit;
    });
}

bool commandExecObject::pipPgmState()
{
    TAVRIK_ASSERT_OWNER(this);
    return lampState("pipPgmState", pipProgram);
}
bool commandExecObject::pipPvmState()
{
    TAVRIK_ASSERT_OWNER(this);
    return lampState("pipPvmState", pipPreview);
}
bool commandExecObject::keyPgmState()
{
    TAVRIK_ASSERT_OWNER(this);
    return lampState("keyPgmState", keyProgram);
}
bool commandExecObject::keyPvmState()
{
    TAVRIK_ASSERT_OWNER(this);
    return lampState("keyPvmState", keyPreview);
}

void commandExecObject::logLamp(const char *operation, PushButtonLamp lamp, const char *text, bool onlyWhenLit)
{
    exchange(operation, CheckLine, [&] {
        bool ok = false;
        const bool lit = zarvoUnitControl->readPushButtonLamp(lamp, ok);
        if (ok && (lit || !onlyWhenLit))
            qCDebug(lcSwitcher) << text << lit;
    });
}

bool commandExecObject::writePipSource(int src)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!acceptSource(src, "pip source"))
        return false;
    return exchange("writePipSource", NoLineCheck, false,
                    [&] { return zarvoUnitControl->writePipSrc(static_cast<CrossPoint>(src)); });
}

void commandExecObject::writeSplitSource(int src)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!isConnected())
        return;
    if (!acceptSource(src, "split source"))
        return;
    exchange("writeSplitSource", NoLineCheck, [&] { zarvoUnitControl->writeSplitSrc(static_cast<CrossPoint>(src)); });
}

bool commandExecObject::writeKeySource(int src)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!isConnected())
        return false;
    if (!acceptSource(src, "key source"))
        return false;
    return exchange("writeKeySource", NoLineCheck, false,
                    [&] { return zarvoUnitControl->writeKeyKeySrc(static_cast<CrossPoint>(src)); });
}

// ---------------------------------------------------------------------------
// Reads

int commandExecObject::readBus(const char *operation, bool program, bool *readOk)
{
    if (readOk)
        *readOk = false;
    return exchange(operation, CheckLine, 0, [&] {
        bool ok = false;
        const int src = program ? zarvoUnitControl->readProgram(ok) : zarvoUnitControl->readPreset(ok);
        if (!ok || !isSource(src)) {
            qCWarning(lcSwitcher) << "[ERR]" << operation << "failed, value" << src;
            return 0;
        }
        if (readOk)
            *readOk = true;
        qCDebug(lcSwitcher).noquote() << QStringLiteral("%1 ---%2: ").arg(QLatin1String(operation), QLatin1String(sourceName(src)))
                           << src;
        return src;
    });
}

int commandExecObject::readProgram()
{
    TAVRIK_ASSERT_OWNER(this);
    return readBus("readProgram", true);
}
int commandExecObject::readProgram(bool &ok)
{
    TAVRIK_ASSERT_OWNER(this);
    return readBus("readProgram", true, &ok);
}
int commandExecObject::readPreset()
{
    TAVRIK_ASSERT_OWNER(this);
    return readBus("readPreset", false);
}
int commandExecObject::readPreset(bool &ok)
{
    TAVRIK_ASSERT_OWNER(this);
    return readBus("readPreset", false, &ok);
}

bool commandExecObject::lampLit(PushButtonLamp lamp, bool &ok)
{
    TAVRIK_ASSERT_OWNER(this);
    ok = false;
    return exchange("lampLit", CheckLine, false, [&] { return zarvoUnitControl->readPushButtonLamp(lamp, ok) && ok; });
}

void commandExecObject::readMix()
{
    TAVRIK_ASSERT_OWNER(this);
    logLamp("readMix", mixTransitionCommand, "mix mode is on :", true);
}

void commandExecObject::readWipePattern()
{
    TAVRIK_ASSERT_OWNER(this);
    exchange("readWipePattern", CheckLine, [this] {
        bool ok = false;
        zarvoUnitControl->readWipePattern(ok);
    });
}

bool commandExecObject::getWipeMode()
{
    TAVRIK_ASSERT_OWNER(this);
    const bool mode = curZarvoMuState.mixWipe;
    qCDebug(lcSwitcher) << "wipe mode :" << mode;
    return mode;
}

// ---------------------------------------------------------------------------
// Aux, auto rate, T-bar

void commandExecObject::setAuxOutput(uint src)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!isConnected() || src == curAuxSource.load())
        return;
    const uint mapped = (src >= 1 && src <= 4) ? src : 0;
    exchange("setAuxOutput", NoLineCheck, [&] {
        if (zarvoUnitControl->writeAuxSrc(static_cast<CrossPoint>(mapped)))
            qCDebug(lcSwitcher) << "SetAuxOutput susccess" << src;
        // Stored whether or not the board acknowledged: a send-only write
        // never tells, and resending the same source on every touch floods
        // the line.
        if (curAuxSource.exchange(mapped) != mapped)
            emit auxOutputChanged();
    });
}

uint commandExecObject::auxOutput()
{
    TAVRIK_ASSERT_OWNER(this);
    const uint src = curAuxSource.load();
    qCDebug(lcSwitcher) << "Read AuxSource=" << src;
    return src;
}

void commandExecObject::setAuxMode(int mode)
{
    TAVRIK_ASSERT_OWNER(this);
    exchange("setAuxMode", CheckLine, [&] {
        qCDebug(lcSwitcher) << "enter setAuxMode ... 00000: " << mode;
        const bool ok = zarvoUnitControl->writeAuxMode(mode);
        if (ok)
            qCDebug(lcSwitcher) << "setAuxMode susccess";
        qCDebug(lcSwitcher) << "leave setAuxMode ... 11111 ackSuscess: " << ok;
    });
}

int commandExecObject::readAutoRate()
{
    TAVRIK_ASSERT_OWNER(this);
    return exchange("readAutoRate", CheckLine, 0, [this] {
        bool ok = false;
        const int rate = zarvoUnitControl->readAutoTransRate(ok);
        if (ok)
            qCDebug(lcSwitcher) << "auto rate" << rate;
        return rate;
    });
}

void commandExecObject::writeAutoRate(int rate)
{
    TAVRIK_ASSERT_OWNER(this);
    exchange("writeAutoRate", CheckLine, [&] {
        qCDebug(lcSwitcher) << "writeAutoRate ========";
        const int r = qBound(1, rate, 200);
        if (zarvoUnitControl->writeAutoTransRate(quint16(r)))
            qCDebug(lcSwitcher) << "set auto rate" << r;
    });
}

int commandExecObject::readTbar()
{
    TAVRIK_ASSERT_OWNER(this);
    return exchange("readTbar", NoLineCheck, -1, [this] {
        bool ok = false;
        const int value = zarvoUnitControl->readControl(keyer2, ok);
        if (!ok)
            qCWarning(lcSwitcher) << "Read TBar value fail";
        return value;
    });
}

void commandExecObject::writeTbar(uint v)
{
    TAVRIK_ASSERT_OWNER(this);
    // Anything beyond the lever's travel is its far end; a stray larger value
    // must not leave the busy gate closed forever.
    v = qMin(v, 1023u);
    if (v == m_currentTbarPos)
        return;
    {
        // The T-bar write is an exchange like any other: it must not run in
        // the middle of another one (a change handler of a locked operation).
        ExchangeGuard guard(this, "writeTbar");
        if (!guard)
            return;
        const bool atEnd = (v == 0 || v == 1023);
        if (atEnd) {
            zarvoUnitControl->clearUartReadBuf();
            zarvoUnitControl->mainboardIsBusy = false;
        } else {
            zarvoUnitControl->mainboardIsBusy = true;
        }
        bool ok = zarvoUnitControl->writeControl(keyer2, quint16(v));
        if (atEnd) {
            // The end positions finish the transition on the mainboard: worth
            // a few more tries.
            for (int retry = 0; !ok && retry < 3; ++retry) {
                qCWarning(lcSwitcher) << "Retry writeTbar :" << retry;
                ok = zarvoUnitControl->writeControl(keyer2, quint16(v));
            }
        }
    }
    setcurrentTbarPos(v);
}

// ---------------------------------------------------------------------------
// Status, busy, boot mode

void commandExecObject::refreshStatus2()
{
    TAVRIK_ASSERT_OWNER(this);
    bool ok = false;
    zarvoMuStatus status;
    {
        // Locked for the requests only: the change handlers that applying
        // the answer runs may start exchanges of their own.
        ExchangeGuard guard(this, "refreshStatus2");
        if (!guard)
            return;
        status = zarvoUnitControl->requestStatus(ok);
        for (int again = 0; !ok && again < 2; ++again) {
            status = zarvoUnitControl->requestStatus(ok);
            qCDebug(lcSwitcher) << "refresh pipSource :" << status.pipSource;
        }
    }
    qCDebug(lcSwitcher) << "refresh state auto key :" << status.autokey;
    if (!ok)
        return;
    qCDebug(lcSwitcher) << "refresh pgmSource :" << status.pgmSource;
    applyStatus(status);
}

bool commandExecObject::readBuses(zarvoMuStatus &status, bool &autoRunning)
{
    TAVRIK_ASSERT_OWNER(this);
    const bool ok = exchange("readBuses", CheckLine, false, [&] {
        bool read = false;
        autoRunning = zarvoUnitControl->readPushButtonLamp(autoTransition, read);
        if (!read || autoRunning)
            return read;
        status = zarvoUnitControl->requestStatus(read);
        return read;
    });
    if (!ok || autoRunning)
        return ok;
    applyStatus(status);
    return true;
}

bool commandExecObject::lineOpen() const
{
    return serial_ && serial_->isOpen();
}

bool commandExecObject::pingBoard(int waitMs)
{
    return exchange("pingBoard", CheckLine, false, [&] {
        const QByteArray frame = zarvoMuCommandPacks().readProgramPacks();
        if (zarvoUnitControl->send(frame) <= 0)
            return false;
        zarvoUnitControl->receive(waitMs);
        return !zarvoUnitControl->boardSilent();
    });
}

void commandExecObject::setSkipRetriesWhenSilent(bool skip)
{
    if (zarvoUnitControl)
        zarvoUnitControl->setSkipRetriesWhenSilent(skip);
}

bool commandExecObject::mainboardSilent() const
{
    return zarvoUnitControl && zarvoUnitControl->boardSilent();
}

void commandExecObject::abortExchanges()
{
    if (zarvoUnitControl && !zarvoUnitControl->exchangesAborted()) {
        qCDebug(lcSwitcher) << "mainboard exchanges end: the panel is stopping";
        zarvoUnitControl->abortExchanges();
    }
}

void commandExecObject::applyStatus(const zarvoMuStatus &s)
{
    setPgmSourceNumber(s.pgmSource);
    setWipePattern(s.wipePattern);
    setAutoMode(s.autokey);
    setWipeMixMode(s.mixWipe);
    setSplitMode(s.split);
    setPipSplitOnPgm(s.pipSplitPgm);
    setPipSplitOnPvw(s.pipSplitPvw);
    setpipSrc(s.pipSource);
    setsplitSrc(s.splitSource);
    setkeyKeyerSrc(s.keySource);
    setkeyFillSrc(s.keyFillSource);
    setWipeReverse(s.reverse);
    setKeyOnPgm(s.keyerPgm);
    setKeyOnPvw(s.keyerPvw);
    emit sendMuState(s.pgmSource, s.pvwSource, s.keyerPgm, s.keyerPvw, s.keySource, s.keyFillSource, s.pipSource,
                     s.pipSplitPgm, s.pipSplitPvw, s.splitSource, s.autokey, s.wipePattern, s.mixWipe, s.split,
                     s.menu);
}

void commandExecObject::requestStatus()
{
    TAVRIK_ASSERT_OWNER(this);
    ExchangeGuard guard(this, "requestStatus");
    if (!guard)
        return;
    qCDebug(lcSwitcher) << " commandExecObject::requestStatus ";
    bool ok = false;
    zarvoUnitControl->requestStatus(ok);
    if (ok)
        qCDebug(lcSwitcher) << "view state";
}

void commandExecObject::updateStatus()
{
    TAVRIK_ASSERT_OWNER(this);
    ExchangeGuard guard(this, "updateStatus");
    if (!guard)
        return;
    zarvoMuStatus status;
    status.pgmSource = 3;
    status.pvwSource = 6;
    status.autokey = 1;
    status.mixWipe = 0;
    status.split = 0;
    status.pipSplitPgm = 0;
    status.pipSplitPvw = 0;
    status.keyerPgm = 0;
    status.keyerPvw = 1;
    status.menu = 0;
    status.pipSource = 4;
    status.splitSource = 2;
    status.keySource = 1;
    status.keyFillSource = 5;
    status.wipePattern = 2;
    status.reverse = 1;
    status.unUsedByte = 0;
    if (zarvoUnitControl->updateStatus(status))
        qCDebug(lcSwitcher) << "view state";
}

void commandExecObject::refreshStatus()
{
    TAVRIK_ASSERT_OWNER(this);
    // The switching operations do not refresh the state; the interface polls
    // refreshStatus2 instead.
}

void commandExecObject::openMission(bool runMission)
{
    TAVRIK_ASSERT_OWNER(this);
    emit sigSpecialMission(runMission);
}

void commandExecObject::autoTransStartSlot()
{
    TAVRIK_ASSERT_OWNER(this);
    emit autoTransStart(this);
}

void commandExecObject::setInBootMode(bool on)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "set In Boot Mode --- " << on;
    if (bInBootMode == on)
        return;
    bInBootMode = on;
    emit bootModeChanged();
}

// ---------------------------------------------------------------------------
// Firmware upgrade

void commandExecObject::processFirmwareUpgradeUi(QString file, QString mbVersion)
{
    TAVRIK_ASSERT_OWNER(this);
    Q_UNUSED(mbVersion)
    const QString path = Sysroot::path(file);
    if (!QFile::exists(path)) {
        qCDebug(lcSwitcher) << "Not need to upgrade MB";
        return;
    }
    if (upgradeRunning_.load()) {
        // The running upgrade reports its own end; a second one on the same
        // line would corrupt both.
        qCWarning(lcSwitcher) << "[ERR] mainboard upgrade already running, request ignored";
        return;
    }
    if (mutexOwner_.load() == QThread::currentThreadId()) {
        qCWarning(lcSwitcher) << "[ERR] processFirmwareUpgradeUi refused: called inside a mainboard exchange";
        return;
    }
    auto *controller = new UpgradeController(this);
    upgrade_ = controller;
    connect(controller, &UpgradeController::logMessage, this, &commandExecObject::logMessage);
    connect(controller, &UpgradeController::upgradeFinished, this, [this, controller](bool success) {
        upgradeRunning_.store(false);
        emit upgradeFinished(success);
        controller->deleteLater();
    });
    // From here every exchange fails at once until upgradeFinished: the
    // upgrade thread owns the line.
    upgradeRunning_.store(true);
    controller->startUpgrade(*serial_, path);
}

// ---------------------------------------------------------------------------
// Property setters

#define TVK_SET_BITS(setter, field, signal, type)                                                                      \
    void commandExecObject::setter(type v)                                                                             \
    {                                                                                                                  \
        zarvoMuStatus next = curZarvoMuState;                                                                          \
        next.field = v;                                                                                                \
        if (next.field == curZarvoMuState.field)                                                                       \
            return;                                                                                                    \
        curZarvoMuState.field = next.field;                                                                            \
        emit signal();                                                                                                 \
    }

void commandExecObject::setPgmSourceNumber(uint v)
{
    TAVRIK_ASSERT_OWNER(this);
    const uint masked = v & 0x0F;
    if (masked == curZarvoMuState.pgmSource)
        return;
    qCDebug(lcSwitcher) << "setPgmSourceNumber new:" << masked << "old:" << curZarvoMuState.pgmSource;
    curZarvoMuState.pgmSource = masked;
    emit pgmSourceChanged();
}

TVK_SET_BITS(setPvwSourceNumber, pvwSource, pvwSourceChanged, uint)
TVK_SET_BITS(setWipePattern, wipePattern, wipePatternChanged, uint)
TVK_SET_BITS(setWipeMixMode, mixWipe, wipeMixModeChanged, bool)
TVK_SET_BITS(setAutoMode, autokey, autoModeChanged, bool)
TVK_SET_BITS(setSplitMode, split, splitModeChanged, bool)
TVK_SET_BITS(setPipSplitOnPgm, pipSplitPgm, pipSplitOnPgmChanged, bool)
TVK_SET_BITS(setPipSplitOnPvw, pipSplitPvw, pipSplitOnPvwChanged, bool)
TVK_SET_BITS(setKeyOnPgm, keyerPgm, keyOnPgmChanged, bool)
TVK_SET_BITS(setKeyOnPvw, keyerPvw, keyOnPvwChanged, bool)
TVK_SET_BITS(setpipSrc, pipSource, pipSrcChanged, uint)
TVK_SET_BITS(setsplitSrc, splitSource, splitSrcChanged, uint)
TVK_SET_BITS(setkeyKeyerSrc, keySource, keyKeyerSrcChanged, uint)
TVK_SET_BITS(setkeyFillSrc, keyFillSource, keyFillSrcChanged, uint)
TVK_SET_BITS(setWipeReverse, reverse, wipeReverseChanged, bool)
#undef TVK_SET_BITS

uint commandExecObject::readPipSrc()
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "current pipSrc" << curZarvoMuState.pipSource;
    return curZarvoMuState.pipSource;
}

void commandExecObject::setcurrentTbarPos(uint v)
{
    TAVRIK_ASSERT_OWNER(this);
    if (v == m_currentTbarPos)
        return;
    m_currentTbarPos = v;
    emit currentTbarPosChanged();
}

#define TVK_SET_INT(setter, member, signal)                                                                            \
    void commandExecObject::setter(int v)                                                                              \
    {                                                                                                                  \
        if (member == v)                                                                                               \
            return;                                                                                                    \
        member = v;                                                                                                    \
        emit signal();                                                                                                 \
    }

TVK_SET_INT(setwipeMixTransitionSpeed, m_wipeMixTransitionSpeed, wipeMixTransitionSpeedChanged)
TVK_SET_INT(setWipeBkgColor, m_wipeBkgColor, wipeBkgColorChanged)
TVK_SET_INT(setWipeBorderSize, m_wipeBorderSize, wipeBorderSizeChanged)
TVK_SET_INT(setWipeBorderColor, m_wipeBorderColor, wipeBorderColorChanged)
TVK_SET_INT(setPipSplitBorderSize, m_pipSplitBorderSize, pipSplitBorderSizeChanged)
TVK_SET_INT(setPipSplitBorderColor, m_pipSplitBorderColor, pipSplitBorderColorChanged)
TVK_SET_INT(setPipSize, m_pipSize, pipSizeChanged)
TVK_SET_INT(setPipPosX, m_pipPosX, pipPosXChanged)
TVK_SET_INT(setPipPosY, m_pipPosY, pipPosYChanged)
TVK_SET_INT(setpipCropSize, m_pipCropSize, pipCropSizeChanged)
TVK_SET_INT(setpipCropLeft, m_pipCropLeft, pipCropLeftChanged)
TVK_SET_INT(setpipCropRight, m_pipCropRight, pipCropRightChanged)
TVK_SET_INT(setpipCropTop, m_pipCropTop, pipCropTopChanged)
TVK_SET_INT(setpipCropBottom, m_pipCropBottom, pipCropBottomChanged)
TVK_SET_INT(setpgmOutResolution, m_pgmOutResolution, pgmOutResolutionChanged)
TVK_SET_INT(setmvOutResolution, m_mvOutResolution, mvOutResolutionChanged)
TVK_SET_INT(setoutputFormat, m_outputFormat, outputFormatChanged)
TVK_SET_INT(setlanguage, m_language, languageChanged)
TVK_SET_INT(setmainBoardVerMajor, m_mainBoardVerMajor, mainBoardVerMajorChanged)
TVK_SET_INT(setmainBoardVerMinor, m_mainBoardVerMinor, mainBoardVerMinorChanged)
TVK_SET_INT(setosdVerMajor, m_osdVerMajor, osdVerMajorChanged)
TVK_SET_INT(setosdVerMinor, m_osdVerMinor, osdVerMinorChanged)
TVK_SET_INT(setlumakeyMode, m_lumakeyMode, lumakeyModeChanged)
TVK_SET_INT(setlumakeyCleanuoLevel, m_lumakeyCleanuoLevel, lumakeyCleanuoLevelChanged)
TVK_SET_INT(setlumakeytransparency, m_lumakeyTransparency, lumakeyTransparencyChanged)
TVK_SET_INT(setaudioMute, m_audioMute, audioMuteChanged)
TVK_SET_INT(setaudioHdmiInput, m_audioHdmiInput, audioHdmiInputChanged)
TVK_SET_INT(setaudioHdmiGroup, m_audioHdmiGroup, audioHdmiGroupChanged)
TVK_SET_INT(setaudioLevel, m_audioLevel, audioLevelChanged)
TVK_SET_INT(setaudioTallyMode, m_audioTallyMode, audioTallyModeChanged)
TVK_SET_INT(setloadUserMem, m_loadUserMem, loadUserMemChanged)
TVK_SET_INT(setsaveUserMem, m_saveUserMem, saveUserMemChanged)
TVK_SET_INT(setsoftwareMajor, m_softwareMajor, softwareMajorChanged)
TVK_SET_INT(setsoftwareMinor, m_softwareMinor, softwareMinorChanged)
TVK_SET_INT(setFirmwareUpgradeStep, m_firmwareUpgradeStep, firmwareUpgradeStepChanged)
#undef TVK_SET_INT
