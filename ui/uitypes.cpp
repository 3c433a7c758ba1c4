#include "ui/uitypes.h"

#include "ui/audiomixer.h"
#include "ui/commandqueue.h"
#include "ui/lumakey.h"
#include "ui/networksettings.h"
#include "ui/panel.h"
#include "ui/panelsettings.h"
#include "ui/pipcontrol.h"
#include "ui/setupmenu.h"
#include "ui/switcherstate.h"
#include "ui/upgradeflow.h"

#include <QtQml>

void registerUiTypes()
{
    qmlRegisterUncreatableType<Panel>("Tavrik.Ui", 1, 0, "Panel", QStringLiteral("published by the panel"));
    qmlRegisterUncreatableType<PanelSettings>("Tavrik.Ui", 1, 0, "PanelSettings",
                                              QStringLiteral("published by the panel"));
    qmlRegisterType<CommandQueue>("Tavrik.Ui", 1, 0, "CommandQueue");
    qmlRegisterUncreatableType<SwitcherState>("Tavrik.Ui", 1, 0, "SwitcherState",
                                              QStringLiteral("published by the panel"));
    qmlRegisterType<SetupMenu>("Tavrik.Ui", 1, 0, "SetupMenu");
    qmlRegisterType<PipControl>("Tavrik.Ui", 1, 0, "PipControl");
    qmlRegisterType<AudioMixer>("Tavrik.Ui", 1, 0, "AudioMixer");
    qmlRegisterType<LumaKey>("Tavrik.Ui", 1, 0, "LumaKey");
    qmlRegisterType<UpgradeFlow>("Tavrik.Ui", 1, 0, "UpgradeFlow");
    qmlRegisterType<NetworkSettings>("Tavrik.Ui", 1, 0, "NetworkSettings");
}
