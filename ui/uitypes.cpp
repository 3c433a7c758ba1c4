#include "ui/uitypes.h"

#include "ui/audiomixer.h"
#include "ui/audiometer.h"
#include "ui/camerasettings.h"
#include "ui/commandqueue.h"
#include "ui/configbackup.h"
#include "ui/controlapi.h"
#include "ui/imagekeys.h"
#include "ui/lumakey.h"
#include "ui/networksettings.h"
#include "ui/outcome.h"
#include "ui/panel.h"
#include "ui/panelsettings.h"
#include "ui/pipcontrol.h"
#include "ui/servicestatus.h"
#include "ui/setupmenu.h"
#include "ui/switcherstate.h"
#include "ui/switching.h"
#include "ui/tallyoutsetup.h"
#include "ui/touchguard.h"
#include "ui/trackingsetup.h"
#include "ui/upgradeflow.h"

#include <QtQml>

void registerUiTypes()
{
    qmlRegisterUncreatableType<Panel>("Tavrik.Ui", 1, 0, "Panel", QStringLiteral("published by the panel"));
    qmlRegisterUncreatableType<PanelSettings>("Tavrik.Ui", 1, 0, "PanelSettings",
                                              QStringLiteral("published by the panel"));
    qmlRegisterType<CommandQueue>("Tavrik.Ui", 1, 0, "CommandQueue");
    qmlRegisterUncreatableType<ControlApi>("Tavrik.Ui", 1, 0, "ControlApi", QStringLiteral("published by the panel"));
    qmlRegisterUncreatableType<SwitcherState>("Tavrik.Ui", 1, 0, "SwitcherState",
                                              QStringLiteral("published by the panel"));
    qmlRegisterUncreatableType<AudioMeter>("Tavrik.Ui", 1, 0, "AudioMeter", QStringLiteral("published by the panel"));
    qmlRegisterUncreatableType<Switching>("Tavrik.Ui", 1, 0, "Switching", QStringLiteral("published by the panel"));
    qmlRegisterUncreatableMetaObject(Outcome::staticMetaObject, "Tavrik.Ui", 1, 0, "Outcome",
                                     QStringLiteral("an outcome is a value"));
    qmlRegisterType<TouchGuard>("Tavrik.Ui", 1, 0, "TouchGuard");
    qmlRegisterType<SetupMenu>("Tavrik.Ui", 1, 0, "SetupMenu");
    qmlRegisterType<ServiceStatus>("Tavrik.Ui", 1, 0, "ServiceStatus");
    qmlRegisterType<ConfigBackup>("Tavrik.Ui", 1, 0, "ConfigBackup");
    qmlRegisterType<PipControl>("Tavrik.Ui", 1, 0, "PipControl");
    qmlRegisterType<AudioMixer>("Tavrik.Ui", 1, 0, "AudioMixer");
    qmlRegisterType<LumaKey>("Tavrik.Ui", 1, 0, "LumaKey");
    qmlRegisterType<UpgradeFlow>("Tavrik.Ui", 1, 0, "UpgradeFlow");
    qmlRegisterType<NetworkSettings>("Tavrik.Ui", 1, 0, "NetworkSettings");
    qmlRegisterType<CameraSettings>("Tavrik.Ui", 1, 0, "CameraSettings");
    qmlRegisterType<TrackingSetup>("Tavrik.Ui", 1, 0, "TrackingSetup");
    qmlRegisterType<TallyOutSetup>("Tavrik.Ui", 1, 0, "TallyOutSetup");
    // One per panel: the engine's "panel" context property owns it.
    qmlRegisterSingletonType<ImageKeys>("Tavrik.Ui", 1, 0, "ImageKeysLogic", [](QQmlEngine *engine, QJSEngine *) -> QObject * {
        auto *panel = qobject_cast<Panel *>(engine->rootContext()->contextProperty(QStringLiteral("panel")).value<QObject *>());
        ImageKeys *keys = panel ? ImageKeys::of(panel) : new ImageKeys;
        if (panel)
            QQmlEngine::setObjectOwnership(keys, QQmlEngine::CppOwnership);
        return keys;
    });
}
