#include "ui/setupmenu.h"

#include "camera/vekcameraobject.h"
#include "platform/threadcheck.h"
#include "switcher/commandexecobject.h"
#include "ui/panelsettings.h"
#include "ui/timeseam.h"
#include "ui/uilog.h"

#include <QCoreApplication>
#include <QDebug>

namespace {
const char *const kColours[] = {
    QT_TRANSLATE_NOOP("SetupMenu", "White"),   QT_TRANSLATE_NOOP("SetupMenu", "Yellow"),
    QT_TRANSLATE_NOOP("SetupMenu", "Cyan"),    QT_TRANSLATE_NOOP("SetupMenu", "Green"),
    QT_TRANSLATE_NOOP("SetupMenu", "Magenta"), QT_TRANSLATE_NOOP("SetupMenu", "Red"),
    QT_TRANSLATE_NOOP("SetupMenu", "Blue"),    QT_TRANSLATE_NOOP("SetupMenu", "Black")};
const char *const kOutputResolutions[] = {"1080p 60", "1080p 59.94", "1080p 50", "1080P 30", "1080P 25",
                                          "1080i 60", "1080i 59.94", "1080i 50", "720p 60",  "720p 59.94",
                                          "720p 50",  "576i",        "480i"};
const char *const kCameraFormats[] = {"1080p 60", "1080p 59.94", "1080p 50", "1080p 30",   "1080p 29.97",
                                      "1080p 25", "1080i 60",    "1080i 59.94", "1080i 50", "720p 60",
                                      "720p 59.94", "720p 50"};
// The camera's own numbers for the formats above, in the same order.
const int kVideoModes[] = {0x15, 0x13, 0x14, 0x07, 0x06, 0x08, 0x02, 0x01, 0x04, 0x0A, 0x09, 0x0C};

template <size_t N> QStringList list(const char *const (&texts)[N], size_t count = N)
{
    QStringList out;
    for (size_t i = 0; i < count && i < N; ++i)
        out << QString::fromUtf8(texts[i]);
    return out;
}

bool isCameraSetting(int setting) { return setting >= SetupMenu::VideoFormat && setting < SetupMenu::SettingCount; }
} // namespace

SetupMenu::SetupMenu(Panel *panel, QObject *parent)
    : PageLogic(panel, parent), stepTimer_(new SeamTimer(50, true, this)), resetTimer_(new SeamTimer(200, true, this))
{
    connect(stepTimer_, &SeamTimer::timeout, this, &SetupMenu::stepTick);
    connect(resetTimer_, &SeamTimer::timeout, this, &SetupMenu::resetTick);
    attachIfReady();
}

void SetupMenu::attach()
{
    Panel *p = panel();
    SwitcherState *state = switcher();
    autoRate_ = state->transSpeed();
    setSelected(TransitionType, state->wipeSelected() ? 1 : 0);
    connect(p, &Panel::camSelChanged, this, [this] { ++revision_; emit changed(); });
    connect(state, &SwitcherState::transSpeedChanged, this, [this, state] { setNumber(AutoRate, state->transSpeed()); });
    connect(state, &SwitcherState::wipeSelectedChanged, this,
            [this, state] { setSelected(TransitionType, state->wipeSelected() ? 1 : 0); });
    if (!lines() || !lines()->mainboard().object())
        return;
    // What the mainboard reports replaces what the menu shows.
    connect(state, &SwitcherState::bordersReported, this, [this, state] {
        setSelected(BackgroundColor, state->bkgColor());
        setSelected(WipeBorderSize, state->wipeBorderSize());
        setSelected(WipeBorderColor, state->wipeBorderColor());
    });
    connect(state, &SwitcherState::lumaAudioReported, this, [this, state] {
        setSelected(Mute, state->audioMute() ? 1 : 0);
        setSelected(HdmiInput, state->hdmiInput());
        setSelected(HdmiGroup, state->hdmiGroup());
        // A reported level of 0 is shown as 1, as the board's own menu does.
        setSelected(HdmiLevel, state->audioLevel() == 0 ? 1 : state->audioLevel());
        setSelected(TallyMode, state->audioTally() ? 1 : 0);
    });
    connect(state, &SwitcherState::outputsReported, this, [this, state] {
        setSelected(PgmOutResolution, state->pgmOutResolution());
        setSelected(MvOutResolution, state->mvOutResolution());
        setSelected(Language, state->boardLanguage());
        setSelected(OutputFormat, state->outputFormat());
    });
    // The page is made when it opens, after start-up read the records:
    // read them again so every list shows the board's value.
    if (connected())
        onMainboard([](commandExecObject &m) { m.readUserMenuSetting3(); });
}

QStringList SetupMenu::labels(int setting) const
{
    TAVRIK_ASSERT_OWNER(this);
    switch (setting) {
    case TransitionType:
        return {QT_TRANSLATE_NOOP("SetupMenu", "Mix"), QT_TRANSLATE_NOOP("SetupMenu", "Wipe")};
    case WipeEffect:
        return {QT_TRANSLATE_NOOP("SetupMenu", "Left Right"), QT_TRANSLATE_NOOP("SetupMenu", "Top Bottom"),
                QT_TRANSLATE_NOOP("SetupMenu", "Center")};
    case WipeBorderSize:
        return {QT_TRANSLATE_NOOP("SetupMenu", "Off"), QT_TRANSLATE_NOOP("SetupMenu", "Small"),
                QT_TRANSLATE_NOOP("SetupMenu", "Medium"), QT_TRANSLATE_NOOP("SetupMenu", "Large")};
    case WipeBorderColor:
    case BackgroundColor:
        return list(kColours);
    case PgmOutResolution:
        return list(kOutputResolutions);
    case MvOutResolution:
        return list(kOutputResolutions, 11);
    case OutputFormat:
        return {QStringLiteral("RGB"), QStringLiteral("YUV444"), QStringLiteral("YUV422")};
    case Language:
        // Each language is named in its own script, so nobody is locked out.
        return {QStringLiteral("English"), QStringLiteral("繁中"), QStringLiteral("简中")};
    case HdmiInput:
        return {QT_TRANSLATE_NOOP("SetupMenu", "Input 1"), QT_TRANSLATE_NOOP("SetupMenu", "Input 2"),
                QT_TRANSLATE_NOOP("SetupMenu", "Input 3"), QT_TRANSLATE_NOOP("SetupMenu", "Input 4"),
                QT_TRANSLATE_NOOP("SetupMenu", "Follow")};
    case HdmiGroup:
        return {QT_TRANSLATE_NOOP("SetupMenu", "Channel 1&2"), QT_TRANSLATE_NOOP("SetupMenu", "Channel 3&4"),
                QT_TRANSLATE_NOOP("SetupMenu", "Channel 5&6"), QT_TRANSLATE_NOOP("SetupMenu", "Channel 7&8")};
    case HdmiLevel:
        return {QStringLiteral("-6dB"), QStringLiteral("+6dB"), QStringLiteral("0dB")};
    case TallyMode:
        return {QT_TRANSLATE_NOOP("SetupMenu", "Normal"), QT_TRANSLATE_NOOP("SetupMenu", "Audio Mixer Mode")};
    case Mute:
        return {QT_TRANSLATE_NOOP("SetupMenu", "Off"), QT_TRANSLATE_NOOP("SetupMenu", "On")};
    case VideoFormat:
        return list(kCameraFormats);
    case MirrorMode:
        return {QT_TRANSLATE_NOOP("SetupMenu", "Off"), QT_TRANSLATE_NOOP("SetupMenu", "Flip"),
                QT_TRANSLATE_NOOP("SetupMenu", "Mirror"), QT_TRANSLATE_NOOP("SetupMenu", "Mirror and Flip")};
    case PanDirection:
    case TiltDirection:
        return {QT_TRANSLATE_NOOP("SetupMenu", "Normal"), QT_TRANSLATE_NOOP("SetupMenu", "Reversed")};
    case TallyLed:
        return {QT_TRANSLATE_NOOP("SetupMenu", "Off"), QT_TRANSLATE_NOOP("SetupMenu", "Red"),
                QT_TRANSLATE_NOOP("SetupMenu", "Green")};
    default:
        return {};
    }
}

int SetupMenu::videoModeCode(int code)
{
    return code >= 0 && code < int(std::size(kVideoModes)) ? kVideoModes[code] : -1;
}

// Camera settings are remembered per camera: switching cameras shows what
// was chosen for that one.
int SetupMenu::key(int setting) const
{
    return isCameraSetting(setting) && panel() ? setting + 100 * (panel()->camSel() + 1) : setting;
}

bool SetupMenu::fromBoard(int setting) const
{
    return setting >= 0 && setting < VideoFormat;
}

int SetupMenu::selected(int setting) const
{
    TAVRIK_ASSERT_OWNER(this);
    return selected_.value(key(setting), -1);
}

void SetupMenu::setSelected(int setting, int code)
{
    const int k = key(setting);
    if (selected_.value(k, -1) == code)
        return;
    selected_.insert(k, code);
    ++revision_;
    emit changed();
}

void SetupMenu::choose(int setting, int code)
{
    TAVRIK_ASSERT_OWNER(this);
    if (code < 0 || code >= labels(setting).size()) {
        qCWarning(lcUi) << "[WARN] setup menu: no entry" << code << "in list" << setting;
        return;
    }
    setSelected(setting, code);
    send(setting, code);
}

void SetupMenu::send(int setting, int code)
{
    if (!panel())
        return;
    const int cam = panel()->camSel();
    PanelSettings *s = settings();
    switch (setting) {
    case TransitionType:
        // Through the root state, so the home page's MIX / WIPE follows.
        code ? panel()->switching()->selectWipe() : panel()->switching()->selectMix();
        break;
    case WipeEffect:
        onMainboard([code](commandExecObject &m) {
            code == 0 ? m.wipePattern1() : code == 1 ? m.wipePattern2() : m.wipePattern3();
        });
        break;
    case WipeBorderSize: onMainboard([code](commandExecObject &m) { m.writeWipeBorderSize(code); }); break;
    case WipeBorderColor: onMainboard([code](commandExecObject &m) { m.writeWipeBorderColor(code); }); break;
    case BackgroundColor: onMainboard([code](commandExecObject &m) { m.writeBkgColor(code); }); break;
    case PgmOutResolution:
        if (s)
            s->setValue(QStringLiteral("system"), QStringLiteral("pgmOutResForSetup"), code);
        onMainboard([code](commandExecObject &m) { m.writePgmOutResolution(code); });
        break;
    case MvOutResolution:
        if (s)
            s->setValue(QStringLiteral("system"), QStringLiteral("mvOutResForSetup"), code);
        onMainboard([code](commandExecObject &m) { m.writeMvOutResolution(code); });
        break;
    case OutputFormat:
        if (s)
            s->setValue(QStringLiteral("system"), QStringLiteral("outFormatForSetup"), code);
        onMainboard([code](commandExecObject &m) { m.writeOutputFormat(code); });
        break;
    case Language:
        panel()->setLangType(code);
        if (s)
            s->setValue(QStringLiteral("system"), QStringLiteral("langType"), code);
        onMainboard([code](commandExecObject &m) { m.writeLanguageToMachine(code); });
        break;
    case HdmiInput: onMainboard([code](commandExecObject &m) { m.writeAudioHdmiInput(code); }); break;
    case HdmiGroup: onMainboard([code](commandExecObject &m) { m.writeAudioHdmiGroup(code); }); break;
    case HdmiLevel: onMainboard([code](commandExecObject &m) { m.writeAudioLevel(code); }); break;
    case TallyMode: onMainboard([code](commandExecObject &m) { m.writeAudioTallyMode(code); }); break;
    case Mute:
        onMainboard([code](commandExecObject &m) { code ? void(m.writeAudioOn()) : m.writeAudioOff(); });
        break;
    case VideoFormat: {
        const int v = videoModeCode(code);
        onCamera([v, cam](vekCameraObject &c) { c.switchVideoMode(v, cam); });
        break;
    }
    case MirrorMode:
        onCamera([code, cam](vekCameraObject &c) {
            code & 2 ? c.imageMirroOn(cam) : c.imageMirroOff(cam);
            code & 1 ? c.imageFlipOn(cam) : c.imageFlipOff(cam);
        });
        break;
    case PanDirection:
        onCamera([code, cam](vekCameraObject &c) { code ? c.panReverseOn(cam) : c.panReverseOff(cam); });
        break;
    case TiltDirection:
        onCamera([code, cam](vekCameraObject &c) { code ? c.tiltReverseOn(cam) : c.tiltReverseOff(cam); });
        break;
    case TallyLed:
        onCamera([code, cam](vekCameraObject &c) {
            code == 0 ? c.camTallyOff(cam) : code == 1 ? c.redTallyOn(cam) : c.greenTallyOn(cam);
        });
        break;
    default: break;
    }
}

static QString speedKey(int cam) { return QStringLiteral("cam%1Speed").arg(cam + 1); }

int SetupMenu::number(int which) const
{
    TAVRIK_ASSERT_OWNER(this);
    switch (which) {
    case AutoRate: return autoRate_;
    case RedGain: return redGain_;
    case BlueGain: return blueGain_;
    case MemorySpeed:
        return settings() && panel() ? settings()->intValue(QStringLiteral("system"), speedKey(panel()->camSel())) : 0;
    default: return 0;
    }
}

void SetupMenu::setNumber(int which, int value)
{
    switch (which) {
    case AutoRate: autoRate_ = value; break;
    case RedGain: redGain_ = value; break;
    case BlueGain: blueGain_ = value; break;
    case MemorySpeed:
        if (settings() && panel())
            settings()->setValue(QStringLiteral("system"), speedKey(panel()->camSel()), value);
        break;
    default: return;
    }
    ++revision_;
    emit changed();
}

void SetupMenu::sendGain(int which, int value)
{
    if (!panel())
        return;
    const int cam = panel()->camSel();
    onCamera([which, value, cam](vekCameraObject &c) {
        which == RedGain ? c.setRGain(value, cam) : c.setBGain(value, cam);
    });
}

void SetupMenu::stepPress(int which, int direction)
{
    TAVRIK_ASSERT_OWNER(this);
    if (which != AutoRate && which != RedGain && which != BlueGain)
        return;
    stepTimer_->stop();
    stepWhich_ = which;
    stepDirection_ = direction < 0 ? -1 : 1;
    stepTicks_ = 0;
    stepTick();
    stepTimer_->start();
}

void SetupMenu::stepRelease()
{
    TAVRIK_ASSERT_OWNER(this);
    stepTimer_->stop();
}

void SetupMenu::stepTick()
{
    TAVRIK_ASSERT_OWNER(this);
    if (++stepTicks_ > kMaxStepTicks) {
        stepTimer_->stop();
        return;
    }
    if (stepWhich_ == AutoRate) {
        const int next = autoRate_ + stepDirection_;
        if (next < 1 || next > 200)
            return; // at the end nothing more is sent
        setNumber(AutoRate, next);
        if (switcher())
            switcher()->setTransSpeed(next);
        onMainboard([next](commandExecObject &m) { m.writeAutoRate(next); });
        return;
    }
    const int value = qBound(0, number(stepWhich_) + stepDirection_, 255);
    setNumber(stepWhich_, value);
    sendGain(stepWhich_, value);
}

bool SetupMenu::typeNumber(int which, int value)
{
    TAVRIK_ASSERT_OWNER(this);
    if (value < 0 || value > 255) {
        // The field shows the previous value again.
        ++revision_;
        emit changed();
        return false;
    }
    setNumber(which, value);
    if (which == AutoRate) {
        if (switcher())
            switcher()->setTransSpeed(value);
        onMainboard([value](commandExecObject &m) { m.writeAutoRate(value); });
    } else if (which == RedGain || which == BlueGain) {
        sendGain(which, value);
    }
    return true;
}

void SetupMenu::askReset(int menuPage)
{
    TAVRIK_ASSERT_OWNER(this);
    if (menuPage != StartPage && menuPage != AudioPage && menuPage != CameraPage && menuPage != SetupPage)
        return;
    resetAsked_ = menuPage;
    emit resetAskedChanged();
}

void SetupMenu::cancelReset()
{
    TAVRIK_ASSERT_OWNER(this);
    resetAsked_ = -1;
    emit resetAskedChanged();
}

void SetupMenu::confirmReset()
{
    TAVRIK_ASSERT_OWNER(this);
    if (resetAsked_ < 0)
        return;
    resetPage_ = resetAsked_;
    resetAsked_ = -1;
    resetTicks_ = 0;
    resetTimer_->start();
    emit resetAskedChanged();
}

void SetupMenu::resetTick()
{
    TAVRIK_ASSERT_OWNER(this);
    const int tick = ++resetTicks_;
    switch (resetPage_) {
    case StartPage:
        switch (tick) {
        case 5: setNumber(AutoRate, 100); choose(TransitionType, 0); break;
        case 6: choose(WipeEffect, 0); break;
        case 7: choose(WipeBorderSize, 1); break;
        case 8: choose(WipeBorderColor, 5); break;
        case 9: choose(BackgroundColor, 0); break;
        }
        break;
    case AudioPage:
        switch (tick) {
        case 5: choose(Mute, 0); break;
        case 6: choose(HdmiInput, 4); break;
        case 7: choose(HdmiGroup, 0); break;
        case 8: choose(HdmiLevel, 1); break;
        case 9: choose(TallyMode, 0); break;
        }
        break;
    case CameraPage:
        switch (tick) {
        case 5:
            if (settings())
                for (int cam = 0; cam < 3; ++cam)
                    settings()->setValue(QStringLiteral("system"), speedKey(cam), 9);
            setNumber(RedGain, 128);
            setNumber(BlueGain, 128);
            choose(MirrorMode, 0);
            break;
        case 6: choose(PanDirection, 0); break;
        case 7: choose(TiltDirection, 0); break;
        case 8: choose(TallyLed, 0); break;
        case 9: choose(VideoFormat, 0); break;
        }
        break;
    case SetupPage:
        switch (tick) {
        case 1: case 6: choose(PgmOutResolution, 0); break;
        case 2: case 7: choose(MvOutResolution, 0); break;
        case 3:
            // The interface alone; the mainboard hears the language at tick 5.
            if (panel())
                panel()->setLangType(0);
            setSelected(Language, 0);
            break;
        case 4: case 8: choose(OutputFormat, 0); break;
        case 5: choose(Language, 0); break;
        }
        break;
    default: break;
    }
    if (tick >= 9) {
        resetTimer_->stop();
        resetPage_ = -1;
        emit resetAskedChanged();
    }
}

void SetupMenu::saveUserMemory(int n)
{
    TAVRIK_ASSERT_OWNER(this);
    if (panel() && n >= 1 && n <= 6)
        panel()->saveUserMemory(n);
}

void SetupMenu::recallUserMemory(int n)
{
    TAVRIK_ASSERT_OWNER(this);
    if (panel() && n >= 1 && n <= 6)
        panel()->recallUserMemory(n);
}

void SetupMenu::factoryDefault()
{
    TAVRIK_ASSERT_OWNER(this);
    if (panel())
        panel()->factoryDefault();
}
