#include "ui/switcherstate.h"

#include "platform/threadcheck.h"
#include "switcher/commandexecobject.h"

namespace {
int bit(int source) { return source >= 0 && source <= 6 ? 1 << source : 0; }
} // namespace

SwitcherState::SwitcherState(QObject *parent) : QObject(parent)
{
    auto link = [this] {
        setLinkState(!mainboardConnected() ? LinkClosed : boardAnswering() ? LinkAnswering : LinkNotAnswering);
    };
    connect(this, &SwitcherState::mainboardConnectedChanged, this, link);
    connect(this, &SwitcherState::boardAnsweringChanged, this, link);
    auto tally = [this] {
        const bool mixing = transitionRunning() || (tbarPosition() > 0 && tbarPosition() < 1023);
        int program = bit(programNo()), preview = bit(previewNo());
        if (pipPgmFlag())
            program |= bit(pipSource());
        if (lumaPgmFlag())
            program |= bit(keyFillSource());
        if (pipPvwFlag())
            preview |= bit(pipSource());
        if (lumaPvwFlag())
            preview |= bit(keyFillSource());
        // While the two are mixed both are seen on air.
        setOnAirMask(mixing ? program | preview : program);
        setPreviewMask(preview);
    };
    for (auto changed : {&SwitcherState::programNoChanged, &SwitcherState::previewNoChanged,
                         &SwitcherState::pipPgmFlagChanged, &SwitcherState::pipPvwFlagChanged,
                         &SwitcherState::lumaPgmFlagChanged, &SwitcherState::lumaPvwFlagChanged,
                         &SwitcherState::pipSourceChanged, &SwitcherState::keyFillSourceChanged,
                         &SwitcherState::transitionRunningChanged, &SwitcherState::tbarPositionChanged})
        connect(this, changed, this, tally);
}

void SwitcherState::attach(commandExecObject *model)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!model)
        return;
    connect(model, &commandExecObject::sendBorderSettings, this, &SwitcherState::onBorderSettings);
    connect(model, &commandExecObject::sendPipSettings, this, &SwitcherState::onPipSettings);
    connect(model, &commandExecObject::sendLumaAudio, this, &SwitcherState::onLumaAudio);
    // The sources have this one writer: every status record the board gives
    // comes through here (start-up, the re-read after a memory recall or a
    // factory default, each read-back of the buses), and queued before the
    // read-back's own answer, so the buses are confirmed with them in place.
    connect(model, &commandExecObject::sendMuState, this,
            [this](int, int, int, int, int, int keyFillSrc, int pipSrc, int, int, int splitSrc, int, int, int,
                   int split, int) {
                // What is seen: the split's source while split is on, and the
                // key's fill.
                setPipSource(split ? splitSrc : pipSrc);
                setKeyFillSource(keyFillSrc);
            });
    connect(model, &commandExecObject::getOutputParams, this,
            [this](uchar pgm, uchar mv, uchar language, uchar, uchar, uchar, uchar, uchar format) {
                onOutputParams(pgm, mv, language, format);
            });
}

void SwitcherState::onBorderSettings(int bkgColor, int wipeBorderSize, int wipeBorderColor, int pipBorderSize,
                                     int pipBorderColor)
{
    TAVRIK_ASSERT_OWNER(this);
    setBkgColor(bkgColor);
    setWipeBorderSize(wipeBorderSize);
    setWipeBorderColor(wipeBorderColor);
    setPipBorderSize(pipBorderSize);
    setPipBorderColor(pipBorderColor);
    emit bordersReported();
}

void SwitcherState::onPipSettings(int size, int x, int y, int cropSize, int cropLeft, int cropRight, int cropTop,
                                  int cropBottom)
{
    TAVRIK_ASSERT_OWNER(this);
    setPipSize(size);
    setPipPosX(x);
    setPipPosY(y);
    setPipCropSize(cropSize);
    setPipCropLeft(cropLeft);
    setPipCropRight(cropRight);
    setPipCropTop(cropTop);
    setPipCropBottom(cropBottom);
    emit pipReported();
}

void SwitcherState::onLumaAudio(int lumaMode, int cleanUp, int transparency, int audioMute, int hdmiInput,
                                int hdmiGroup, int audioLevel, int audioTally)
{
    TAVRIK_ASSERT_OWNER(this);
    setLumaMode(lumaMode);
    setLumaCleanUpLevel(cleanUp);
    setLumaTransparency(transparency);
    setAudioMute(audioMute);
    setHdmiInput(hdmiInput);
    setHdmiGroup(hdmiGroup);
    setAudioLevel(audioLevel);
    setAudioTally(audioTally);
    emit lumaAudioReported();
}

void SwitcherState::onOutputParams(int pgmOutResolution, int mvOutResolution, int language, int outputFormat)
{
    TAVRIK_ASSERT_OWNER(this);
    setPgmOutResolution(pgmOutResolution);
    setMvOutResolution(mvOutResolution);
    setBoardLanguage(language);
    setOutputFormat(outputFormat);
    emit outputsReported();
}
