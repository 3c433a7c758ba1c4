#pragma once

#include "ui/notifyingproperty.h"

#include <QObject>
#include <QString>

class commandExecObject;

// The interface's one copy of the switcher's state. Lives on the interface
// thread; every write comes from there.
//  - the buses and their lamps, as the interface last knew them on air:
//    written by Switching (presses, transitions, following the board) and
//    by the start-up and re-read sequences;
//  - the settings records, as the mainboard last reported them: the switcher
//    model's report signals (queued from the mainboard lane) land here, once,
//    and the pages read them from here (each `...Reported` signal fires on
//    every report, changed or not: a report replaces what a page shows).
// The root state shows the bus properties under their old names
// (`panel.programNo`); pages reach the rest as `panel.switcher`.
class SwitcherState : public QObject
{
    Q_OBJECT
    // Buses, lamps and the transition block.
    PANEL_PROPERTY(int, programNo, setProgramNo) = 0;
    PANEL_PROPERTY(int, previewNo, setPreviewNo) = 0;
    PANEL_PROPERTY(bool, pipPgmFlag, setPipPgmFlag) = false;
    PANEL_PROPERTY(bool, pipPvwFlag, setPipPvwFlag) = false;
    PANEL_PROPERTY(bool, lumaPgmFlag, setLumaPgmFlag) = false;
    PANEL_PROPERTY(bool, lumaPvwFlag, setLumaPvwFlag) = false;
    PANEL_PROPERTY(bool, wipeSelected, setWipeSelected) = false;
    PANEL_PROPERTY(int, transSpeed, setTransSpeed) = 0;
    PANEL_PROPERTY(bool, transitionRunning, setTransitionRunning) = false;
    PANEL_PROPERTY(int, tbarPosition, setTbarPosition) = 0; // 0..1023 as last sent
    // What the PiP (or split) and the key fill show, as the board last said (-1: not read).
    PANEL_PROPERTY(int, pipSource, setPipSource) = -1;
    PANEL_PROPERTY(int, keyFillSource, setKeyFillSource) = -1;
    // The line as the last start-up or factory-default step found it.
    PANEL_PROPERTY(bool, mainboardConnected, setMainboardConnected) = false;
    // False from the first reply wait the board let pass without a byte to
    // its next byte (the link says so; see Switching).
    PANEL_PROPERTY(bool, boardAnswering, setBoardAnswering) = true;
    // What the operator is shown of the link (LinkState): from
    // mainboardConnected and boardAnswering.
    PANEL_PROPERTY(int, linkState, setLinkState) = LinkClosed;
    // False while the buses, PiP/key lamps and the settings shown may no
    // longer be the board's: it stopped answering, or a read after a
    // recall failed. True again when the board's state has been read back.
    PANEL_PROPERTY(bool, stateConfirmed, setStateConfirmed) = true;
    // Sources 0..6 on air (bit n: source n): program, the PiP and key
    // sources while PiP or key is on program, and preview as well while a
    // transition mixes the two (an AUTO, the T-bar between its ends).
    PANEL_PROPERTY(int, onAirMask, setOnAirMask) = 1;
    // Likewise on preview: preview and its PiP and key sources.
    PANEL_PROPERTY(int, previewMask, setPreviewMask) = 1;
    PANEL_PROPERTY(QString, mainboardVersion, setMainboardVersion) = QStringLiteral("v1.0.0");
    // Colour and border record.
    PANEL_PROPERTY(int, bkgColor, setBkgColor) = 0;
    PANEL_PROPERTY(int, wipeBorderSize, setWipeBorderSize) = 0;
    PANEL_PROPERTY(int, wipeBorderColor, setWipeBorderColor) = 0;
    PANEL_PROPERTY(int, pipBorderSize, setPipBorderSize) = 0;
    PANEL_PROPERTY(int, pipBorderColor, setPipBorderColor) = 0;
    // Picture-in-picture record: size, position and crop.
    PANEL_PROPERTY(int, pipSize, setPipSize) = 0;
    PANEL_PROPERTY(int, pipPosX, setPipPosX) = 0;
    PANEL_PROPERTY(int, pipPosY, setPipPosY) = 0;
    PANEL_PROPERTY(int, pipCropSize, setPipCropSize) = 0;
    PANEL_PROPERTY(int, pipCropLeft, setPipCropLeft) = 0;
    PANEL_PROPERTY(int, pipCropRight, setPipCropRight) = 0;
    PANEL_PROPERTY(int, pipCropTop, setPipCropTop) = 0;
    PANEL_PROPERTY(int, pipCropBottom, setPipCropBottom) = 0;
    // Luma key and program audio record (codes as the board keeps them).
    PANEL_PROPERTY(int, lumaMode, setLumaMode) = 0;
    PANEL_PROPERTY(int, lumaCleanUpLevel, setLumaCleanUpLevel) = 0;
    PANEL_PROPERTY(int, lumaTransparency, setLumaTransparency) = 0;
    PANEL_PROPERTY(int, audioMute, setAudioMute) = 0;
    PANEL_PROPERTY(int, hdmiInput, setHdmiInput) = 0;
    PANEL_PROPERTY(int, hdmiGroup, setHdmiGroup) = 0;
    PANEL_PROPERTY(int, audioLevel, setAudioLevel) = 0;
    PANEL_PROPERTY(int, audioTally, setAudioTally) = 0;
    // Setup record (also read one by one at start-up).
    PANEL_PROPERTY(int, pgmOutResolution, setPgmOutResolution) = 0;
    PANEL_PROPERTY(int, mvOutResolution, setMvOutResolution) = 0;
    PANEL_PROPERTY(int, boardLanguage, setBoardLanguage) = 0;
    PANEL_PROPERTY(int, outputFormat, setOutputFormat) = 0;

public:
    enum LinkState { LinkAnswering, LinkNotAnswering, LinkClosed };
    Q_ENUM(LinkState)

    explicit SwitcherState(QObject *parent = nullptr);

    // Whether source 0..6 is on air / on preview now (see the masks).
    bool onAir(int source) const { return source >= 0 && source <= 6 && (onAirMask() >> source & 1); }
    bool onPreview(int source) const { return source >= 0 && source <= 6 && (previewMask() >> source & 1); }

    // Takes the model's reports from now on (queued: the model lives on the
    // mainboard lane). Once; a null model reports nothing.
    void attach(commandExecObject *model);

    // The buses, lamps and sources above are now what the board reported
    // when it was read back: what is on air, not only what was asked for.
    void confirmBuses() { emit busesConfirmed(); }

public slots:
    void onBorderSettings(int bkgColor, int wipeBorderSize, int wipeBorderColor, int pipBorderSize,
                          int pipBorderColor);
    void onPipSettings(int size, int x, int y, int cropSize, int cropLeft, int cropRight, int cropTop,
                       int cropBottom);
    void onLumaAudio(int lumaMode, int cleanUp, int transparency, int audioMute, int hdmiInput, int hdmiGroup,
                     int audioLevel, int audioTally);
    void onOutputParams(int pgmOutResolution, int mvOutResolution, int language, int outputFormat);

signals:
    void busesConfirmed();
    void bordersReported();
    void pipReported();
    void lumaAudioReported();
    void outputsReported();
};
