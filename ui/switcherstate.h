#pragma once

#include "ui/notifyingproperty.h"

#include <QObject>

// What the pages show of the switcher's settings records and status, copied
// from the switcher model's signals (which arrive from the mainboard lane).
// Lives on the interface thread; pages bind to it as `panel.switcher`.
class SwitcherState : public QObject
{
    Q_OBJECT
    // Colour, wipe and picture-in-picture borders.
    PANEL_PROPERTY(int, bkgColor, setBkgColor) = 0;
    PANEL_PROPERTY(int, wipeBorderSize, setWipeBorderSize) = 0;
    PANEL_PROPERTY(int, wipeBorderColor, setWipeBorderColor) = 0;
    PANEL_PROPERTY(int, pipBorderSize, setPipBorderSize) = 0;
    PANEL_PROPERTY(int, pipBorderColor, setPipBorderColor) = 0;
    // Picture-in-picture size, position and crop.
    PANEL_PROPERTY(int, pipSize, setPipSize) = 0;
    PANEL_PROPERTY(int, pipPosX, setPipPosX) = 0;
    PANEL_PROPERTY(int, pipPosY, setPipPosY) = 0;
    PANEL_PROPERTY(int, pipCropSize, setPipCropSize) = 0;
    PANEL_PROPERTY(int, pipCropLeft, setPipCropLeft) = 0;
    PANEL_PROPERTY(int, pipCropRight, setPipCropRight) = 0;
    PANEL_PROPERTY(int, pipCropTop, setPipCropTop) = 0;
    PANEL_PROPERTY(int, pipCropBottom, setPipCropBottom) = 0;
    // Luma key and program audio; an audio level of 0 is shown as 1.
    PANEL_PROPERTY(int, lumaMode, setLumaMode) = 0;
    PANEL_PROPERTY(int, lumaCleanUpLevel, setLumaCleanUpLevel) = 0;
    PANEL_PROPERTY(int, lumaTransparency, setLumaTransparency) = 0;
    PANEL_PROPERTY(int, audioMute, setAudioMute) = 0;
    PANEL_PROPERTY(int, hdmiInput, setHdmiInput) = 0;
    PANEL_PROPERTY(int, hdmiGroup, setHdmiGroup) = 0;
    PANEL_PROPERTY(int, audioLevel, setAudioLevel) = 1;
    PANEL_PROPERTY(int, audioTally, setAudioTally) = 0;
    // Status bits as last refreshed.
    PANEL_PROPERTY(int, pgmSource, setPgmSource) = 0;
    PANEL_PROPERTY(int, pvwSource, setPvwSource) = 0;
    PANEL_PROPERTY(bool, keyerPgm, setKeyerPgm) = false;
    PANEL_PROPERTY(bool, keyerPvw, setKeyerPvw) = false;
    PANEL_PROPERTY(int, keySource, setKeySource) = 0;
    PANEL_PROPERTY(int, keyFillSource, setKeyFillSource) = 0;
    PANEL_PROPERTY(int, pipSource, setPipSource) = 0;
    PANEL_PROPERTY(bool, pipSplitPgm, setPipSplitPgm) = false;
    PANEL_PROPERTY(bool, pipSplitPvw, setPipSplitPvw) = false;
    PANEL_PROPERTY(int, splitSource, setSplitSource) = 0;
    PANEL_PROPERTY(bool, autoKey, setAutoKey) = false;
    PANEL_PROPERTY(int, wipePattern, setWipePattern) = 0;
    PANEL_PROPERTY(bool, mixWipe, setMixWipe) = false;
    PANEL_PROPERTY(bool, split, setSplit) = false;
    PANEL_PROPERTY(int, menu, setMenu) = 0;
    // Read by the start-up and re-read sequences.
    PANEL_PROPERTY(int, pgmOutResolution, setPgmOutResolution) = 0;
    PANEL_PROPERTY(int, outputFormat, setOutputFormat) = 0;
    PANEL_PROPERTY(bool, pgmMute, setPgmMute) = false;

public:
    explicit SwitcherState(QObject *parent = nullptr) : QObject(parent) {}

public slots:
    void onBorderSettings(int bkgColor, int wipeBorderSize, int wipeBorderColor, int pipBorderSize,
                          int pipBorderColor);
    void onPipSettings(int size, int x, int y, int cropSize, int cropLeft, int cropRight, int cropTop,
                       int cropBottom);
    void onLumaAudio(int lumaMode, int cleanUp, int transparency, int audioMute, int hdmiInput, int hdmiGroup,
                     int audioLevel, int audioTally);
    void onMuState(int pgmSource, int pvwSource, int keyerPgm, int keyerPvw, int keySource, int keyFillSource,
                   int pipSource, int pipSplitPgm, int pipSplitPvw, int splitSource, int autokey, int wipePattern,
                   int mixWipe, int split, int menu);
};
