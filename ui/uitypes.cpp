#include "ui/uitypes.h"

#include "ui/panel.h"
#include "ui/panelsettings.h"

#include <QtQml>

void registerUiTypes()
{
    qmlRegisterUncreatableType<Panel>("Tavrik.Ui", 1, 0, "Panel", QStringLiteral("published by the panel"));
    qmlRegisterUncreatableType<PanelSettings>("Tavrik.Ui", 1, 0, "PanelSettings",
                                              QStringLiteral("published by the panel"));
}
