#include "ui/uitypes.h"

#include "ui/commandqueue.h"
#include "ui/panel.h"
#include "ui/panelsettings.h"
#include "ui/switcherstate.h"

#include <QtQml>

void registerUiTypes()
{
    qmlRegisterUncreatableType<Panel>("Tavrik.Ui", 1, 0, "Panel", QStringLiteral("published by the panel"));
    qmlRegisterUncreatableType<PanelSettings>("Tavrik.Ui", 1, 0, "PanelSettings",
                                              QStringLiteral("published by the panel"));
    qmlRegisterType<CommandQueue>("Tavrik.Ui", 1, 0, "CommandQueue");
    qmlRegisterUncreatableType<SwitcherState>("Tavrik.Ui", 1, 0, "SwitcherState",
                                              QStringLiteral("published by the panel"));
}
