#pragma once

#include <QEvent>
#include <QImage>
#include <QPointF>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class DeviceLines;
class Language;
class Panel;
class PanelSettings;
class QQmlEngine;
class QQuickItem;
class QQuickWindow;
class SimUnit;
class vekCameraObject;

// Shows the interface's pages the way the panel does, for the screenshot
// tour and the page tests: a Panel over the device lanes (over a simulated
// unit, or over no devices at all), a QML engine with "panel" published and
// the language switch, and a 1024x600 window. Lives on the interface thread.
class PageRig : public QObject
{
    Q_OBJECT
public:
    // With a simulated unit the lanes own real back-end objects whose lines
    // lead to it (the sysroot must already be TAVRIK_SYSROOT); without one
    // every lane is empty and calls go nowhere.
    explicit PageRig(SimUnit *unit = nullptr, QObject *parent = nullptr);
    ~PageRig() override;

    Panel &panel() { return *panel_; }
    DeviceLines &lines() { return *lines_; }
    QQmlEngine &engine() { return *engine_; }
    QQuickWindow *window() const { return window_.get(); }

    // Every page and pop-up in the resources ("pages/...", "popups/...").
    static QStringList pageFiles();
    // Loads `file` ("pages/X.qml", "popups/X.qml" or "main.qml") into the
    // window; a pop-up sits over the lower part as on the panel. Returns the
    // item or nullptr; errors and warnings are in warnings().
    QQuickItem *show(const QString &file);
    QStringList warnings() const { return warnings_; }
    // A page drawn behind pages and pop-ups that cover only part of the
    // screen (the tour puts the home page there); empty: none.
    void setBackdrop(const QString &file) { backdropFile_ = file; }
    void clearWarnings() { warnings_.clear(); }
    void setLanguage(int langType);
    // Presses and releases the middle of the visible item called `name`
    // (objectName) under the current page; false when there is none.
    bool click(const QString &name);
    // One touch-down or lift (MouseButtonPress, MouseMove or
    // MouseButtonRelease) at `at` in the item `name` (its middle when `at`
    // is null), so a test can hold, drag or tap twice; false when there is
    // no visible, enabled item of that name.
    bool touch(const QString &name, QEvent::Type type, QPointF at = QPointF());
    static QQuickItem *findItem(QQuickItem *root, const QString &name);
    // Lets the lanes answer and paced reads run for `ms`, then until idle.
    void settle(int ms);
    // Renders the window as it is now.
    QImage grab();
    // A believable state for pictures: two cameras online, one tracking.
    void stageDemoState();

private:
    void clear();

    std::unique_ptr<DeviceLines> lines_;
    class RpiTool *rpi_ = nullptr;
    std::unique_ptr<PanelSettings> settings_;
    std::unique_ptr<Panel> panel_;
    std::unique_ptr<QQmlEngine> engine_;
    std::unique_ptr<Language> language_;
    std::unique_ptr<QQuickWindow> window_;
    QString backdropFile_;
    QObject *backdrop_ = nullptr;
    QObject *current_ = nullptr;
    QQuickItem *currentItem_ = nullptr;
    QQuickWindow *ownWindow_ = nullptr; // the root page brings its own
    QStringList warnings_;
};
