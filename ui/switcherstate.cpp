#include "ui/switcherstate.h"

void SwitcherState::onBorderSettings(int bkgColor, int wipeBorderSize, int wipeBorderColor, int pipBorderSize,
                                     int pipBorderColor)
{
    setBkgColor(bkgColor);
    setWipeBorderSize(wipeBorderSize);
    setWipeBorderColor(wipeBorderColor);
    setPipBorderSize(pipBorderSize);
    setPipBorderColor(pipBorderColor);
}

void SwitcherState::onPipSettings(int size, int x, int y, int cropSize, int cropLeft, int cropRight, int cropTop,
                                  int cropBottom)
{
    setPipSize(size);
    setPipPosX(x);
    setPipPosY(y);
    setPipCropSize(cropSize);
    setPipCropLeft(cropLeft);
    setPipCropRight(cropRight);
    setPipCropTop(cropTop);
    setPipCropBottom(cropBottom);
}

void SwitcherState::onLumaAudio(int lumaMode, int cleanUp, int transparency, int audioMute, int hdmiInput,
                                int hdmiGroup, int audioLevel, int audioTally)
{
    setLumaMode(lumaMode);
    setLumaCleanUpLevel(cleanUp);
    setLumaTransparency(transparency);
    setAudioMute(audioMute);
    setHdmiInput(hdmiInput);
    setHdmiGroup(hdmiGroup);
    // The level slider starts at 1: a stored 0 shows as its lowest step.
    setAudioLevel(audioLevel == 0 ? 1 : audioLevel);
    setAudioTally(audioTally);
}

void SwitcherState::onMuState(int pgmSource, int pvwSource, int keyerPgm, int keyerPvw, int keySource,
                              int keyFillSource, int pipSource, int pipSplitPgm, int pipSplitPvw, int splitSource,
                              int autokey, int wipePattern, int mixWipe, int split, int menu)
{
    setPgmSource(pgmSource);
    setPvwSource(pvwSource);
    setKeyerPgm(keyerPgm != 0);
    setKeyerPvw(keyerPvw != 0);
    setKeySource(keySource);
    setKeyFillSource(keyFillSource);
    setPipSource(pipSource);
    setPipSplitPgm(pipSplitPgm != 0);
    setPipSplitPvw(pipSplitPvw != 0);
    setSplitSource(splitSource);
    setAutoKey(autokey != 0);
    setWipePattern(wipePattern);
    setMixWipe(mixWipe != 0);
    setSplit(split != 0);
    setMenu(menu);
}
