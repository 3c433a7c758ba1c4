#include "ui/switcherstate.h"

#include "platform/threadcheck.h"
#include "switcher/commandexecobject.h"

void SwitcherState::attach(commandExecObject *model)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!model)
        return;
    connect(model, &commandExecObject::sendBorderSettings, this, &SwitcherState::onBorderSettings);
    connect(model, &commandExecObject::sendPipSettings, this, &SwitcherState::onPipSettings);
    connect(model, &commandExecObject::sendLumaAudio, this, &SwitcherState::onLumaAudio);
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
