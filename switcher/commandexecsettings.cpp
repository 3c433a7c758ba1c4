// commandExecObject: the settings pages (the four user-menu records), user
// memories, versions and the text-file writer.

#include "switcher/commandexecobject.h"
#include "switcher/exchangeguard_p.h"
#include "switcher/switcherlog.h"

#include "mainboard/zarvomu.h"
#include "platform/atomicfile.h"
#include "platform/sysroot.h"
#include "platform/threadcheck.h"

#include <QDebug>
#include <QFile>
#include <QSerialPort>
#include <QThread>

namespace {

QString versionText(int major, int minor) { return QStringLiteral("%1.%2").arg(major).arg(minor); }

} // namespace

// ---------------------------------------------------------------------------
// Record reads (lock held by the caller)

// Only a read that reports success is stored.
template <typename Record>
static bool storeRead(zarvoMu *link, Record (zarvoMu::*read)(bool &), Record &into)
{
    bool ok = false;
    const Record record = (link->*read)(ok);
    if (ok)
        into = record;
    return ok;
}

bool commandExecObject::readLumaAudioLocked(const char *operation, lumakeyAudioSetting &out)
{
    if (!storeRead(zarvoUnitControl, &zarvoMu::readLumaAudioUserParam, audioParams)) {
        // A failed read never replaces what a good read left behind.
        qCWarning(lcSwitcher) << "[ERR]" << operation << ": luma key/audio record read failed";
        return false;
    }
    out = audioParams;
    return true;
}

bool commandExecObject::readSetupLocked(const char *operation, machineInfoSetting &out)
{
    if (!storeRead(zarvoUnitControl, &zarvoMu::readMachineInfoUserParam, outputParams)) {
        qCWarning(lcSwitcher) << "[ERR]" << operation << ": setup record read failed";
        return false;
    }
    out = outputParams;
    return true;
}

bool commandExecObject::readColorBorderCopy()
{
    const bool ok = storeRead(zarvoUnitControl, &zarvoMu::readColorBorderUserParam, wipeBorderSetting_);
    wipeBorderValid_ = wipeBorderValid_ || ok;
    return ok;
}

bool commandExecObject::readPipCopy()
{
    const bool ok = storeRead(zarvoUnitControl, &zarvoMu::readPipUserParam, pipSetting_);
    pipValid_ = pipValid_ || ok;
    return ok;
}

void commandExecObject::emitLumaAudio(const lumakeyAudioSetting &r)
{
    emit sendLumaAudio(r.lumakeyMode, r.lumakeyCleanupLevel, r.lumakeyTransparency, r.audioMute, r.audioHdmiInput,
                       r.audioHdmiGroup, r.audioLevel, r.audioTallyMode);
}

void commandExecObject::emitOutputParams(const machineInfoSetting &r)
{
    emit getOutputParams(r.pgmOutResolution, r.multiviewOutResolution, r.language, r.motherboardMajorVersion,
                         r.motherboardMinorVersion, r.osdMajorVersion, r.osdMinorVersion, r.outputFormat);
}

// ---------------------------------------------------------------------------
// Whole-set reads

void commandExecObject::readUserMenuSetting3()
{
    TAVRIK_ASSERT_OWNER(this);
    if (!isConnected()) {
        qCWarning(lcSwitcher) << "[ERR] readUserMenuSetting3 *****";
        return;
    }
    exchange("readUserMenuSetting3", NoLineCheck, [this] {
        qCDebug(lcSwitcher) << "readUserMenuSetting3 *****";
        bool ok = false;
        const colorWipeBorderSetting border = zarvoUnitControl->readColorBorderUserParam(ok);
        if (ok) {
            qCDebug(lcSwitcher) << "read border menu setting";
            emit sendBorderSettings(border.bkgColor, border.wipeBorderSize, border.wipeBorderColor,
                                    border.pipBorderSize, border.pipBorderColor);
        }
        if (readPipCopy()) {
            const pipSetting &pip = pipSetting_;
            qCDebug(lcSwitcher) << "read pip menu setting";
            emit sendPipSettings(pip.pipSize, pip.pipPositionX, pip.pipPositionY, pip.pipCropSize, pip.pipCropLeft,
                                 pip.pipCropRight, pip.pipCropTop, pip.pipCropBottom);
        }
        lumakeyAudioSetting luma;
        if (readLumaAudioLocked("readUserMenuSetting3", luma)) {
            lumakeyAudioSetting_ = luma;
            lumakeyAudioValid_ = true;
            qCDebug(lcSwitcher) << "read luma key audio menu setting";
            emitLumaAudio(luma);
        }
        machineInfoSetting setup;
        if (readSetupLocked("readUserMenuSetting3", setup)) {
            qCDebug(lcSwitcher) << "read MB pgmOutResolution: " << setup.pgmOutResolution
                     << "multiviewOutResolution: " << setup.multiviewOutResolution << "language: " << setup.language
                     << "motherboardMajorVersion: " << setup.motherboardMajorVersion
                     << "motherboardMinorVersion: " << setup.motherboardMinorVersion
                     << "osdMajorVersion: " << setup.osdMajorVersion << "osdMinorVersion: " << setup.osdMinorVersion
                     << "outputFormat: " << setup.outputFormat;
            emitOutputParams(setup);
        }
    });
}

void commandExecObject::readUserMenuSetting()
{
    TAVRIK_ASSERT_OWNER(this);
    exchange("readUserMenuSetting", CheckLine, [this] {
        bool ok = false;
        zarvoUnitControl->readColorBorderUserParam(ok);
        zarvoUnitControl->readPipUserParam(ok);
        lumakeyAudioSetting luma;
        if (readLumaAudioLocked("readUserMenuSetting", luma))
            emitLumaAudio(luma);
        machineInfoSetting setup;
        if (readSetupLocked("readUserMenuSetting", setup))
            emitOutputParams(setup);
    });
}

void commandExecObject::readUserMenuSetting2()
{
    TAVRIK_ASSERT_OWNER(this);
    exchange("readUserMenuSetting2", CheckLine, [this] {
        machineInfoSetting setup;
        if (!readSetupLocked("readUserMenuSetting2", setup))
            return;
        emit sendPgmOutRes(setup.pgmOutResolution);
        emit sendOutputFormat(setup.outputFormat);
        emit sendLang(setup.language);
        emit sendMb(versionText(setup.motherboardMajorVersion, setup.motherboardMinorVersion));
    });
}

// ---------------------------------------------------------------------------
// Single-value reads

uchar commandExecObject::readLumaField(const char *operation, uint8_t lumakeyAudioSetting::*field, bool signal)
{
    return exchange(operation, CheckLine, uchar(0), [&] {
        lumakeyAudioSetting luma;
        if (!readLumaAudioLocked(operation, luma))
            return uchar(0);
        if (signal)
            emitLumaAudio(luma);
        return field ? uchar(luma.*field) : uchar(0);
    });
}

uchar commandExecObject::readPgmMute()
{
    TAVRIK_ASSERT_OWNER(this);
    return readLumaField("readPgmMute", &lumakeyAudioSetting::audioMute, true);
}
uchar commandExecObject::readPgmHdmiInput()
{
    TAVRIK_ASSERT_OWNER(this);
    return readLumaField("readPgmHdmiInput", &lumakeyAudioSetting::audioHdmiInput, true);
}
uchar commandExecObject::readPgmHdmiGroup()
{
    TAVRIK_ASSERT_OWNER(this);
    return readLumaField("readPgmHdmiGroup", &lumakeyAudioSetting::audioHdmiGroup, true);
}
uchar commandExecObject::readPgmLevel()
{
    TAVRIK_ASSERT_OWNER(this);
    return readLumaField("readPgmLevel", &lumakeyAudioSetting::audioLevel, true);
}
void commandExecObject::readLumaAudio()
{
    TAVRIK_ASSERT_OWNER(this);
    readLumaField("readLumaAudio", nullptr, true);
}
// The aux audio bus has no field in the record: these report 0 whatever the
// mainboard holds.
uchar commandExecObject::readAuxLevel()
{
    TAVRIK_ASSERT_OWNER(this);
    return readLumaField("readAuxLevel", nullptr, true);
}
uchar commandExecObject::readAuxHdmiGroup()
{
    TAVRIK_ASSERT_OWNER(this);
    return readLumaField("readAuxHdmiGroup", nullptr, true);
}
uchar commandExecObject::readAuxHdmiInput()
{
    TAVRIK_ASSERT_OWNER(this);
    return readLumaField("readAuxHdmiInput", nullptr, false);
}
uchar commandExecObject::readAuxMute()
{
    TAVRIK_ASSERT_OWNER(this);
    return readLumaField("readAuxMute", nullptr, false);
}

uchar commandExecObject::readSetupField(const char *operation, uint8_t machineInfoSetting::*field)
{
    return exchange(operation, CheckLine, uchar(0), [&] {
        machineInfoSetting setup;
        if (!readSetupLocked(operation, setup))
            return uchar(0);
        emitOutputParams(setup);
        return uchar(setup.*field);
    });
}

uchar commandExecObject::readPgmOutRes()
{
    TAVRIK_ASSERT_OWNER(this);
    return readSetupField("readPgmOutRes", &machineInfoSetting::pgmOutResolution);
}
uchar commandExecObject::readMvOutRes()
{
    TAVRIK_ASSERT_OWNER(this);
    return readSetupField("readMvOutRes", &machineInfoSetting::multiviewOutResolution);
}
uchar commandExecObject::readPgmOutputFormat()
{
    TAVRIK_ASSERT_OWNER(this);
    return readSetupField("readPgmOutputFormat", &machineInfoSetting::outputFormat);
}

QString commandExecObject::readVersion()
{
    TAVRIK_ASSERT_OWNER(this);
    const QString unknown = QStringLiteral("x.xx");
    if (!isConnected()) {
        emit setVersionInfo(QStringLiteral("0.00"), QStringLiteral("0.0"), QStringLiteral("1.0.0"));
        return unknown;
    }
    return exchange("readVersion", NoLineCheck, unknown, [&] {
        machineInfoSetting setup;
        if (!readSetupLocked("readVersion", setup))
            return unknown;
        qCDebug(lcSwitcher) << "motherboard Major Version: " << setup.motherboardMajorVersion;
        qCDebug(lcSwitcher) << "motherboard Minor Version: " << setup.motherboardMinorVersion;
        qCDebug(lcSwitcher) << "osd Major Version: " << setup.osdMajorVersion;
        qCDebug(lcSwitcher) << "osd Minor Version: " << setup.osdMinorVersion;
        const QString mbVersion = versionText(setup.motherboardMajorVersion, setup.motherboardMinorVersion);
        emit setVersionInfo(mbVersion, versionText(setup.osdMajorVersion, setup.osdMinorVersion),
                            QStringLiteral("1.0.0"));
        return mbVersion;
    });
}

void commandExecObject::readWipeMode()
{
    TAVRIK_ASSERT_OWNER(this);
    logLamp("readWipeMode", wipeTransitionCommand, "wipe mode is on :", false);
}
void commandExecObject::readReverseMode()
{
    TAVRIK_ASSERT_OWNER(this);
    logLamp("readReverseMode", reverseCommand, "reverse mode is on :", false);
}

// ---------------------------------------------------------------------------
// Page refreshes: no lock of their own (each link call is one exchange on
// the mainboard lane). Only what a read actually returned is stored and
// shown; a failed read leaves the page as it was.

bool commandExecObject::pageRefreshAllowed(const char *operation)
{
    if (bInBootMode || !isConnected())
        return false;
    return linkFree(operation);
}

void commandExecObject::refreshStartPageImpl(bool logSpeed)
{
    if (!pageRefreshAllowed(logSpeed ? "getStartPage" : "refreshStartPage"))
        return;
    bool patternOk = false;
    const WipePattern pattern = zarvoUnitControl->readWipePattern(patternOk);
    const bool borderOk = readColorBorderCopy();
    bool rateOk = false;
    const int rate = zarvoUnitControl->readAutoTransRate(rateOk);
    if (logSpeed)
        qCDebug(lcSwitcher) << "transSpeed: " << rate;
    if (rateOk)
        setwipeMixTransitionSpeed(rate);
    if (patternOk)
        setWipePattern(uint(pattern));
    if (borderOk) {
        setWipeBkgColor(wipeBorderSetting_.bkgColor);
        setWipeBorderSize(wipeBorderSetting_.wipeBorderSize);
        setWipeBorderColor(wipeBorderSetting_.wipeBorderColor);
    }
}

void commandExecObject::getStartPage()
{
    TAVRIK_ASSERT_OWNER(this);
    refreshStartPageImpl(true);
}
void commandExecObject::refreshStartPage()
{
    TAVRIK_ASSERT_OWNER(this);
    refreshStartPageImpl(false);
}

void commandExecObject::refreshPipSplitPage()
{
    TAVRIK_ASSERT_OWNER(this);
    if (!pageRefreshAllowed("refreshPipSplitPage"))
        return;
    const bool borderOk = readColorBorderCopy();
    if (readPipCopy()) {
        setPipSize(pipSetting_.pipSize);
        setPipPosX(pipSetting_.pipPositionX);
        setPipPosY(pipSetting_.pipPositionY);
    }
    if (borderOk) {
        setPipSplitBorderSize(wipeBorderSetting_.pipBorderSize);
        setPipSplitBorderColor(wipeBorderSetting_.pipBorderColor);
    }
}

void commandExecObject::refreshPipCropPage()
{
    TAVRIK_ASSERT_OWNER(this);
    if (!pageRefreshAllowed("refreshPipCropPage") || !readPipCopy())
        return;
    const pipSetting &pip = pipSetting_;
    qCDebug(lcSwitcher) << "current crop bottom" << pip.pipCropBottom;
    setpipCropSize(pip.pipCropSize);
    setpipCropLeft(pip.pipCropLeft);
    setpipCropRight(pip.pipCropRight);
    setpipCropTop(pip.pipCropTop);
    setpipCropBottom(pip.pipCropBottom);
}

bool commandExecObject::refreshLumaCopy(const char *operation)
{
    lumakeyAudioSetting luma;
    if (!pageRefreshAllowed(operation) || !readLumaAudioLocked(operation, luma))
        return false;
    lumakeyAudioSetting_ = luma;
    lumakeyAudioValid_ = true;
    return true;
}

void commandExecObject::refreshLumaKeyPage()
{
    TAVRIK_ASSERT_OWNER(this);
    if (!refreshLumaCopy("refreshLumaKeyPage"))
        return;
    setlumakeyMode(lumakeyAudioSetting_.lumakeyMode);
    setlumakeyCleanuoLevel(lumakeyAudioSetting_.lumakeyCleanupLevel);
    setlumakeytransparency(lumakeyAudioSetting_.lumakeyTransparency);
}

void commandExecObject::refreshAudioPage()
{
    TAVRIK_ASSERT_OWNER(this);
    if (!refreshLumaCopy("refreshAudioPage"))
        return;
    const lumakeyAudioSetting &r = lumakeyAudioSetting_;
    qCDebug(lcSwitcher) << "refreshAudioPage :lumakeyMode " << r.lumakeyMode << "lumakeyCleanupLevel " << r.lumakeyCleanupLevel
             << "lumakeyTransparency " << r.lumakeyTransparency << "audioMute " << r.audioMute << "audioHdmiInput "
             << r.audioHdmiInput << "audioHdmiGroup " << r.audioHdmiGroup << "audioLevel " << r.audioLevel
             << "audioTallyMode " << r.audioTallyMode;
    emitLumaAudio(r);
}

void commandExecObject::refreshAudioPage2()
{
    TAVRIK_ASSERT_OWNER(this);
    if (!refreshLumaCopy("refreshAudioPage2"))
        return;
    const lumakeyAudioSetting &r = lumakeyAudioSetting_;
    const std::pair<const char *, int> fields[] = {
        {"lumakeyMode", r.lumakeyMode},       {"lumakeyCleanupLevel", r.lumakeyCleanupLevel},
        {"lumakeyTransparency", r.lumakeyTransparency}, {"audioMute", r.audioMute},
        {"audioHdmiInput", r.audioHdmiInput}, {"audioHdmiGroup", r.audioHdmiGroup},
        {"audioLevel", r.audioLevel},         {"audioTallyMode", r.audioTallyMode}};
    for (const auto &f : fields)
        qCDebug(lcSwitcher).noquote() << QStringLiteral("refreshAudioPage2 :%1 ").arg(QLatin1String(f.first)) << f.second;
    emitLumaAudio(r);
}

void commandExecObject::refreshSetupPage()
{
    TAVRIK_ASSERT_OWNER(this);
    if (!pageRefreshAllowed("refreshSetupPage"))
        return;
    bool ok = false;
    const machineInfoSetting setup = zarvoUnitControl->readMachineInfoUserParam(ok);
    qCDebug(lcSwitcher) << "[commandExecObject::refreshSetupPage]Command ok: " << ok;
    if (!ok)
        return;
    outputParams = setup;
    machineInfoSetting_ = setup;
    machineInfoValid_ = true;
    setpgmOutResolution(setup.pgmOutResolution);
    setmvOutResolution(setup.multiviewOutResolution);
    setoutputFormat(setup.outputFormat);
    setlanguage(setup.language);
    setosdVerMajor(setup.osdMajorVersion);
    setosdVerMinor(setup.osdMinorVersion);
}

void commandExecObject::refreshSettingPages()
{
    TAVRIK_ASSERT_OWNER(this);
    refreshStartPage();
    refreshPipSplitPage();
    refreshPipCropPage();
    refreshLumaKeyPage();
    refreshAudioPage();
    refreshSetupPage();
}

// ---------------------------------------------------------------------------
// Whole-record writes

bool commandExecObject::writeUserMenuSetting(const colorWipeBorderSetting &setting)
{
    TAVRIK_ASSERT_OWNER(this);
    return exchange("writeUserMenuSetting(colour/border)", NoLineCheck, false, [&] {
        const bool ok = zarvoUnitControl->writeColorBorderUserParam(setting);
        if (!ok)
            qCWarning(lcSwitcher) << "[ERR] write user menu setting";
        return ok;
    });
}

bool commandExecObject::writeUserMenuSetting(const pipSetting &setting, bool checkResponse)
{
    TAVRIK_ASSERT_OWNER(this);
    return exchange("writeUserMenuSetting(pip)", NoLineCheck, false, [&] {
        const bool ok = zarvoUnitControl->writePipUserParam(setting, checkResponse);
        if (!ok)
            qCWarning(lcSwitcher) << "[ERR] write Pip User Param";
        return ok;
    });
}

bool commandExecObject::writeUserMenuSetting(const lumakeyAudioSetting &setting)
{
    TAVRIK_ASSERT_OWNER(this);
    return exchange("writeUserMenuSetting(luma key/audio)", CheckLine, false,
                    [&] { return zarvoUnitControl->writeLumaAudioUserParam(setting); });
}

bool commandExecObject::writeUserMenuSetting(const machineInfoSetting &setting)
{
    TAVRIK_ASSERT_OWNER(this);
    return exchange("writeUserMenuSetting(setup)", CheckLine, false, [&] {
        qCDebug(lcSwitcher) << "pgmOutResolution: " << setting.pgmOutResolution;
        const bool ok = zarvoUnitControl->writeMachineInfoUserParam(setting);
        if (!ok)
            qCWarning(lcSwitcher) << "[ERR] write user menu setting";
        return ok;
    });
}

// ---------------------------------------------------------------------------
// Read-modify-write support: a record is only ever sent whole, so its other
// fields must be what the mainboard holds. Until a read has succeeded the
// stored copy is zeros; sending it would wipe the mainboard's other settings.

static bool readOrRefuse(bool ok, const char *record)
{
    if (!ok)
        qCWarning(lcSwitcher) << "[ERR]" << record << "record could not be read, nothing sent";
    return ok;
}

bool commandExecObject::ensureColorBorder()
{
    return wipeBorderValid_ || exchange("read colour/border record", NoLineCheck, false, [this] {
               return readOrRefuse(readColorBorderCopy(), "colour/border");
           });
}

bool commandExecObject::ensurePip()
{
    return pipValid_ || exchange("read pip record", NoLineCheck, false,
                                 [this] { return readOrRefuse(readPipCopy(), "pip"); });
}

bool commandExecObject::ensureLumaAudio()
{
    return lumakeyAudioValid_ || exchange("read luma key/audio record", CheckLine, false, [this] {
               lumakeyAudioSetting record;
               if (!readOrRefuse(readLumaAudioLocked("read luma key/audio record", record), "luma key/audio"))
                   return false;
               lumakeyAudioSetting_ = record;
               lumakeyAudioValid_ = true;
               return true;
           });
}

bool commandExecObject::ensureMachineInfo()
{
    return machineInfoValid_ || exchange("read setup record", CheckLine, false, [this] {
               machineInfoSetting record;
               if (!readOrRefuse(readSetupLocked("read setup record", record), "setup"))
                   return false;
               machineInfoSetting_ = record;
               machineInfoValid_ = true;
               return true;
           });
}

void commandExecObject::invalidateStoredRecords()
{
    wipeBorderValid_ = false;
    pipValid_ = false;
    lumakeyAudioValid_ = false;
    machineInfoValid_ = false;
}

// ---------------------------------------------------------------------------
// Colour and border

bool commandExecObject::writeColorField(uint8_t colorWipeBorderSetting::*field, int value, bool skipSame)
{
    if (!exchangeAvailable("colour/border setting") || !ensureColorBorder())
        return false;
    if (skipSame && wipeBorderSetting_.*field == value)
        return false;
    wipeBorderSetting_.*field = uint8_t(value);
    return writeUserMenuSetting(wipeBorderSetting_);
}

bool commandExecObject::writeWipeBorderSize(int size)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writeWipeBorderSize *****" << size;
    return writeColorField(&colorWipeBorderSetting::wipeBorderSize, qBound(0, size, 3), true);
}

bool commandExecObject::writeWipeBorderColor(int color)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writeWipeBorderColor *****" << color;
    return writeColorField(&colorWipeBorderSetting::wipeBorderColor, qBound(0, color, 7), true);
}

bool commandExecObject::writeBkgColor(int color)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writeBkgColor *****" << color;
    return writeColorField(&colorWipeBorderSetting::bkgColor, qBound(0, color, 7), false);
}

bool commandExecObject::writePipSplitBorderSize(int size)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writePipSplitBorderSize *****" << size;
    const bool ok = writeColorField(&colorWipeBorderSetting::pipBorderSize, qBound(0, size, 3), true);
    if (wipeBorderValid_)
        setPipSplitBorderSize(wipeBorderSetting_.pipBorderSize);
    return ok;
}

bool commandExecObject::writePipSplitBorderColor(int color)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writePipSplitBorderColor : color -" << color;
    const bool ok = writeColorField(&colorWipeBorderSetting::pipBorderColor, qBound(0, color, 7), true);
    if (wipeBorderValid_)
        setPipSplitBorderColor(wipeBorderSetting_.pipBorderColor);
    return ok;
}

int commandExecObject::getWipeBkgColor()
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "getWipeBkgColor: " << wipeBorderSetting_.bkgColor;
    return wipeBorderSetting_.bkgColor;
}

int commandExecObject::getWipeBorderSize()
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "getWipeBorderSize: " << wipeBorderSetting_.wipeBorderSize;
    return wipeBorderSetting_.wipeBorderSize;
}

int commandExecObject::getWipeBorderColor()
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "getWipeBorderColor: " << wipeBorderSetting_.wipeBorderColor;
    return wipeBorderSetting_.wipeBorderColor;
}

// ---------------------------------------------------------------------------
// Picture-in-picture

bool commandExecObject::writePipSize(int size, bool check)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writePipSize *****" << size;
    if (!exchangeAvailable("writePipSize") || !ensurePip())
        return false;
    pipSetting_.pipSize = uint8_t(qBound(1, size, 100));
    const bool ok = writeUserMenuSetting(pipSetting_, check);
    setPipSize(pipSetting_.pipSize);
    return ok;
}

bool commandExecObject::writePipPosition(bool isX, int value, bool check)
{
    if (!exchangeAvailable(isX ? "writePipPosX" : "writePipPosY") || !ensurePip())
        return false;
    const int clamped = qBound(-50, value, 50);
    (isX ? pipSetting_.pipPositionX : pipSetting_.pipPositionY) = int8_t(clamped);
    const bool ok = writeUserMenuSetting(pipSetting_, check);
    if (isX)
        qCDebug(lcSwitcher) << "value:" << clamped;
    else
        qCDebug(lcSwitcher) << "value:" << clamped << ", ret :" << ok << ", checkReponse :" << check;
    if (check && !ok) {
        // A dragged inset must end where the finger left it: the release is
        // resent a few times, briefly spaced.
        for (int left = 3; left > 0; --left) {
            QThread::msleep(50);
            if (writeUserMenuSetting(pipSetting_, check))
                break;
            qCWarning(lcSwitcher) << "retry :" << left;
        }
    }
    if (isX)
        setPipPosX(pipSetting_.pipPositionX);
    else
        setPipPosY(pipSetting_.pipPositionY);
    return ok;
}

bool commandExecObject::writePipPosX(int x, bool check)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writePipPosX *****" << x;
    return writePipPosition(true, x, check);
}

bool commandExecObject::writePipPosY(int y, bool check)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writePipPosY *****" << y;
    return writePipPosition(false, y, check);
}

bool commandExecObject::writePipCrop(uint8_t pipSetting::*field, int value, bool check,
                                     void (commandExecObject::*setter)(int))
{
    if (!exchangeAvailable("pip crop setting") || !ensurePip())
        return false;
    pipSetting_.*field = uint8_t(qBound(0, value, 100));
    const bool ok = writeUserMenuSetting(pipSetting_, check);
    (this->*setter)(pipSetting_.*field);
    return ok;
}

bool commandExecObject::writePipCropSize(int value, bool check)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writePipCropSize *****" << value;
    return writePipCrop(&pipSetting::pipCropSize, value, check, &commandExecObject::setpipCropSize);
}

void commandExecObject::writePipCropLeft(int value, bool check)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writePipCropLeft *****" << value;
    writePipCrop(&pipSetting::pipCropLeft, value, check, &commandExecObject::setpipCropLeft);
}

void commandExecObject::writePipCropRight(int value, bool check)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writePipCropRight *****" << value;
    writePipCrop(&pipSetting::pipCropRight, value, check, &commandExecObject::setpipCropRight);
}

void commandExecObject::writePipCropTop(int value, bool check)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writePipCropTop *****" << value;
    writePipCrop(&pipSetting::pipCropTop, value, check, &commandExecObject::setpipCropTop);
}

void commandExecObject::writePipCropBottom(int value, bool check)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writePipCropBottom *****" << value;
    writePipCrop(&pipSetting::pipCropBottom, value, check, &commandExecObject::setpipCropBottom);
}

void commandExecObject::resetPipCrop()
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "resetPipCrop *****";
    if (!exchangeAvailable("resetPipCrop") || !ensurePip())
        return;
    pipSetting_.pipCropSize = 0;
    pipSetting_.pipCropLeft = 0;
    pipSetting_.pipCropRight = 0;
    pipSetting_.pipCropTop = 0;
    pipSetting_.pipCropBottom = 0;
    writeUserMenuSetting(pipSetting_, false);
}

void commandExecObject::resetPipSizeXYPos()
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "resetPipSizeXYPos *****";
    if (!exchangeAvailable("resetPipSizeXYPos") || !ensurePip())
        return;
    pipSetting_.pipSize = 50;
    pipSetting_.pipPositionX = 0;
    pipSetting_.pipPositionY = 0;
    writeUserMenuSetting(pipSetting_, false);
}

// ---------------------------------------------------------------------------
// Luma key and audio

bool commandExecObject::writeLumaField(uint8_t lumakeyAudioSetting::*field, int value, bool skipSame, bool audio)
{
    if (!exchangeAvailable("luma key/audio setting") || !ensureLumaAudio())
        return false;
    if (skipSame && lumakeyAudioSetting_.*field == value)
        return false;
    lumakeyAudioSetting_.*field = uint8_t(value);
    if (audio)
        printAudio(lumakeyAudioSetting_);
    return writeUserMenuSetting(lumakeyAudioSetting_);
}

bool commandExecObject::writelumakeyMode(int mode)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writelumakeyMode *****" << mode;
    return writeLumaField(&lumakeyAudioSetting::lumakeyMode, mode >= 1 ? 1 : 0, true, false);
}

bool commandExecObject::writelumakeyCleanupLevel(int level)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writelumakeyCleanupLevel *****" << level;
    return writeLumaField(&lumakeyAudioSetting::lumakeyCleanupLevel, qBound(0, level, 100), false, false);
}

bool commandExecObject::writelumakeyTransparency(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writelumakeyTransparency *****" << value;
    return writeLumaField(&lumakeyAudioSetting::lumakeyTransparency, qBound(0, value, 64), true, false);
}

bool commandExecObject::writeAudioOn()
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writeAudioOn *****";
    return writeLumaField(&lumakeyAudioSetting::audioMute, 1, false, true);
}

void commandExecObject::writeAudioOff()
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writeAudioOff *****";
    writeLumaField(&lumakeyAudioSetting::audioMute, 0, false, true);
}

void commandExecObject::writeAudioHdmiInput(int input)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writeAudioHdmiInput *****" << input;
    writeLumaField(&lumakeyAudioSetting::audioHdmiInput, qBound(0, input, 4), true, true);
}

void commandExecObject::writeAudioHdmiGroup(int group)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writeAudioHdmiGroup *****" << group;
    writeLumaField(&lumakeyAudioSetting::audioHdmiGroup, qBound(0, group, 3), true, true);
}

void commandExecObject::writeAudioLevel(int level)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writeAudioLevel *****" << level;
    writeLumaField(&lumakeyAudioSetting::audioLevel, qBound(0, level, 2), true, true);
}

bool commandExecObject::writeAudioTallyMode(int mode)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writeAudioTallyMode *****" << mode;
    return writeLumaField(&lumakeyAudioSetting::audioTallyMode, mode >= 1 ? 1 : 0, true, true);
}

void commandExecObject::resendLumaAudio(const char *operation)
{
    qCDebug(lcSwitcher) << operation << "*****";
    if (!exchangeAvailable(operation) || !ensureLumaAudio())
        return;
    printAudio(lumakeyAudioSetting_);
    writeUserMenuSetting(lumakeyAudioSetting_);
}

void commandExecObject::writeAuxAudioOn()
{
    TAVRIK_ASSERT_OWNER(this);
    resendLumaAudio("writeAuxAudioOn");
}
void commandExecObject::writeAuxAudioOff()
{
    TAVRIK_ASSERT_OWNER(this);
    resendLumaAudio("writeAuxAudioOff");
}

// The aux audio bus has no field in the mainboard's record.
void commandExecObject::writeAuxAudioHdmiInput(int input)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writeAuxAudioHdmiInput *****" << input;
}
void commandExecObject::writeAuxAudioHdmiGroup(int group)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writeAuxAudioHdmiGroup *****" << group;
}
void commandExecObject::writeAuxAudioLevel(int level)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writeAuxAudioLevel *****" << level;
}

void commandExecObject::printAudio(const lumakeyAudioSetting &setting)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "audioMute :" << setting.audioMute << ", audioHdmiInput :" << setting.audioHdmiInput
             << ", audioHdmiGroup :" << setting.audioHdmiGroup << ", audioLevel :" << setting.audioLevel;
}

// ---------------------------------------------------------------------------
// Outputs, resolution, language

bool commandExecObject::writePgmOutResolution(int resolution)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writePgmOutResolution *****" << resolution;
    if (resolution < 0 || resolution > 255) {
        qCWarning(lcSwitcher) << "[ERR] pgmOutResolution out of range :" << resolution;
        return false;
    }
    if (!exchangeAvailable("setup setting") || !ensureMachineInfo())
        return false;
    if (machineInfoSetting_.pgmOutResolution == resolution) {
        qCDebug(lcSwitcher) << "[Info] The same pgmOutResolution = " << resolution;
        return false;
    }
    machineInfoSetting_.pgmOutResolution = uint8_t(resolution);
    return writeUserMenuSetting(machineInfoSetting_);
}

bool commandExecObject::writeMvOutResolution(int resolution)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writeMvOutResolution *****" << resolution;
    if (resolution < 0 || resolution > 10 || resolution == 3 || resolution == 4) {
        qCWarning(lcSwitcher) << "[WARM] Not support MV resolution" << resolution;
        return false;
    }
    if (!exchangeAvailable("setup setting") || !ensureMachineInfo())
        return false;
    machineInfoSetting_.multiviewOutResolution = uint8_t(resolution);
    return writeUserMenuSetting(machineInfoSetting_);
}

bool commandExecObject::writeOutputFormat(int format)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writeOutputFormat *****" << format;
    if (!exchangeAvailable("setup setting") || !ensureMachineInfo())
        return false;
    const int clamped = qBound(0, format, 2);
    if (machineInfoSetting_.outputFormat == clamped) {
        qCDebug(lcSwitcher) << "[WARM] Output format unchanged";
        return false;
    }
    machineInfoSetting_.outputFormat = uint8_t(clamped);
    return writeUserMenuSetting(machineInfoSetting_);
}

void commandExecObject::writeLanguageToMachine(int language)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcSwitcher) << "writeLanguageToMachine *****" << language;
    if (!exchangeAvailable("setup setting") || !ensureMachineInfo())
        return;
    const int clamped = qBound(0, language, 2);
    if (machineInfoSetting_.language == clamped)
        qCDebug(lcSwitcher) << "Language not change";
    machineInfoSetting_.language = uint8_t(clamped);
    writeUserMenuSetting(machineInfoSetting_);
}

// ---------------------------------------------------------------------------
// User memories

bool commandExecObject::userMem(uint memIndex)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!isConnected())
        return false;
    if (memIndex > 0xFFFF) {
        // The wire carries 16 bits; a larger number must not wrap onto a
        // real memory (65536 would load the factory set).
        qCWarning(lcSwitcher) << "[ERR] Load user mem:" << memIndex;
        return false;
    }
    return exchange("userMem", NoLineCheck, false, [&] {
        const bool ok = zarvoUnitControl->loadUserMemoryPacks(quint16(memIndex));
        if (ok)
            qCDebug(lcSwitcher) << "Load user mem ok:" << memIndex;
        else
            qCWarning(lcSwitcher) << "[ERR] Load user mem:" << memIndex;
        // The memory replaced the mainboard's menu records (or may have, if
        // only the acknowledgement got lost): the stored copies must be read
        // again before a setting is written from them.
        if (memIndex <= 6)
            invalidateStoredRecords();
        return ok;
    });
}

bool commandExecObject::userMemNumbered(uint memIndex)
{
    const bool ok = userMem(memIndex);
    if (ok)
        qCDebug(lcSwitcher).noquote() << QStringLiteral("user mem%1").arg(memIndex);
    return ok;
}

bool commandExecObject::userMem1()
{
    TAVRIK_ASSERT_OWNER(this);
    return userMemNumbered(1);
}
bool commandExecObject::userMem2()
{
    TAVRIK_ASSERT_OWNER(this);
    return userMemNumbered(2);
}
bool commandExecObject::userMem3()
{
    TAVRIK_ASSERT_OWNER(this);
    return userMemNumbered(3);
}
bool commandExecObject::userMem4()
{
    TAVRIK_ASSERT_OWNER(this);
    return userMemNumbered(4);
}

bool commandExecObject::loadFactoryDefault()
{
    TAVRIK_ASSERT_OWNER(this);
    // Memory 0 holds the factory settings.
    const bool ok = userMem(0);
    refreshSettingPages();
    return ok;
}

bool commandExecObject::saveuserMem(uint memIndex)
{
    TAVRIK_ASSERT_OWNER(this);
    if (memIndex > 0xFFFF) {
        qCWarning(lcSwitcher) << "[ERR] number out of range" << memIndex;
        return false;
    }
    return exchange("saveuserMem", NoLineCheck, false, [&] {
        const bool ok = zarvoUnitControl->saveUserMemoryPacks(quint16(memIndex));
        if (ok)
            qCDebug(lcSwitcher) << "save user mem index:" << memIndex;
        return ok;
    });
}

bool commandExecObject::saveSetup()
{
    TAVRIK_ASSERT_OWNER(this);
    // The setup lives in slot 0xFF, which the numbered-memory write refuses
    // (it only takes 0..6); the link has a write of its own for it.
    return exchange("saveSetup", NoLineCheck, false, [this] {
        const bool ok = zarvoUnitControl->saveSetupPacks();
        if (ok)
            qCDebug(lcSwitcher) << "save user mem index:" << 255;
        return ok;
    });
}

// ---------------------------------------------------------------------------
// Text file

bool commandExecObject::writeToFile(const QString &fileName, const QString &content)
{
    TAVRIK_ASSERT_OWNER(this);
    const QString path = Sysroot::path(fileName);
    // Appending is done as old content + new line in a new file that
    // replaces the old one, so a power cut or a full card leaves the old
    // version whole.
    QByteArray text;
    QFile old(path);
    if (old.exists()) {
        if (!old.open(QIODevice::ReadOnly)) {
            qCWarning(lcSwitcher).noquote() << QStringLiteral("無法開啟檔案：") + old.errorString();
            return false;
        }
        text = old.readAll();
        if (old.error() != QFileDevice::NoError) {
            qCWarning(lcSwitcher).noquote() << QStringLiteral("無法開啟檔案：") + old.errorString();
            return false;
        }
    }
    text += (content + QLatin1Char('\n')).toUtf8();
    const AtomicFile::Result r = AtomicFile::write(path, text);
    if (!r)
        qCWarning(lcSwitcher).noquote() << QStringLiteral("無法開啟檔案：") + r.error;
    return r.ok;
}
