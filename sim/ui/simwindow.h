#pragma once

#include <QPoint>

class QQmlApplicationEngine;
class QQuickWindow;
class SimUnitModel;

// Loads the unit's window (qrc:/sim/SimWindow.qml) into `engine`, bound to
// `model`, and puts it at `at` when that is not null. Returns the window, or
// null with a warning when the page did not load. GUI thread.
QQuickWindow *openSimWindow(QQmlApplicationEngine &engine, SimUnitModel &model, const QPoint &at = QPoint());
