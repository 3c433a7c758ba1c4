#include "sim/ui/simwindow.h"

#include "sim/simlog.h"
#include "sim/ui/simunitmodel.h"

#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickWindow>

static void initSimResources() { Q_INIT_RESOURCE(sim); }

QQuickWindow *openSimWindow(QQmlApplicationEngine &engine, SimUnitModel &model, const QPoint &at)
{
    initSimResources();
    engine.rootContext()->setContextProperty(QStringLiteral("unit"), &model);
    engine.load(QUrl(QStringLiteral("qrc:/sim/SimWindow.qml")));
    QQuickWindow *window = engine.rootObjects().isEmpty()
        ? nullptr
        : qobject_cast<QQuickWindow *>(engine.rootObjects().constFirst());
    if (!window) {
        qCWarning(lcSim) << "[ERR] simulated unit: the window did not load";
        return nullptr;
    }
    if (!at.isNull())
        window->setPosition(at);
    return window;
}
