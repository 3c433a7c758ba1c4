#include "ui/panel.h"

Panel::Panel(DeviceLines *lines, PanelSettings *settings, QObject *parent)
    : QObject(parent), lines_(lines), settings_(settings)
{
}

bool Panel::camOnline(int camera) const
{
    switch (camera) {
    case 0: return cam1Online();
    case 1: return cam2Online();
    case 2: return cam3Online();
    default: return false;
    }
}

void Panel::setCamOnline(int camera, bool online)
{
    switch (camera) {
    case 0: setCam1Online(online); break;
    case 1: setCam2Online(online); break;
    case 2: setCam3Online(online); break;
    default: break;
    }
}

// Placeholders until the control flow lands; each forwards to the lanes.
void Panel::pressProgram(int) {}
void Panel::pressPreview(int) {}
void Panel::cut() {}
void Panel::autoTransition() {}
void Panel::selectWipe() {}
void Panel::selectMix() {}
void Panel::togglePipProgram() {}
void Panel::togglePipPreview() {}
void Panel::toggleKeyProgram() {}
void Panel::toggleKeyPreview() {}
void Panel::recallUserMemory(int) {}
void Panel::saveUserMemory(int) {}
void Panel::factoryDefault() {}
void Panel::openFunction(int func) { setFuncSel(func); }
void Panel::setCameraSpeed(int, int) {}
