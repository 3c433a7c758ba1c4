#pragma once

#include "mainboard/zarvomu.h"
#include "sim/simmainboard.h"
#include "switcher/commandexecobject.h"
#include "tests/common/testsysroot.h"
#include "ui/devicelines.h"
#include "ui/panel.h"
#include "ui/panelsettings.h"

#include <memory>

// The panel over the mainboard lane alone (no camera, network or tool
// lanes) against a simulated board on a pseudo-terminal, with the settings
// file's defaults, all under a temporary sysroot. Program 1, preview 2. A
// silent exchange lasts 3 s (12 s on the unit). Header-only: only programs
// that link the interface include it.
struct PanelRig
{
    // Without `lineUp` the board's line is closed before the panel opens it.
    explicit PanelRig(bool lineUp = true)
    {
        if (!lineUp)
            mb.close();
        board = std::make_unique<commandExecObject>();
        board->mainboardLink()->setWaitDivisor(4);
        lines = std::make_unique<DeviceLines>(board.get(), nullptr, nullptr, nullptr);
        panel = std::make_unique<Panel>(lines.get(), &settings);
        panel->setProgramNo(1);
        panel->setPreviewNo(2);
    }

    // How many times `frame` reached the board.
    int count(const QByteArray &frame) const { return mb.receivedFrames().count(frame); }

    // Torn down from the panel: the lanes hand the board back before it goes.
    TestSysroot sys;
    SimMainboard mb;
    PanelSettings settings;
    std::unique_ptr<commandExecObject> board;
    std::unique_ptr<DeviceLines> lines;
    std::unique_ptr<Panel> panel;
};
