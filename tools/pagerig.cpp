#include "tools/pagerig.h"

#include "camera/vekcameraobject.h"
#include "maint/rpitool.h"
#include "netsvc/net.h"
#include "platform/sysroot.h"
#include "sim/simunit.h"
#include "switcher/commandexecobject.h"
#include "ui/devicelines.h"
#include "ui/language.h"
#include "ui/panel.h"
#include "ui/panelsettings.h"
#include "ui/uilog.h"
#include "ui/uitypes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QThread>
#include <QDirIterator>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QSGRendererInterface>

PageRig::PageRig(SimUnit *unit, QObject *parent) : QObject(parent)
{
    static bool registered = false;
    if (!registered) {
        registerUiTypes();
        registered = true;
    }
    if (unit) {
        auto *cameras = new vekCameraObject;
        rpi_ = new RpiTool;
        lines_ = std::make_unique<DeviceLines>(new commandExecObject, cameras, new net, rpi_);
        lines_->camera().post([](vekCameraObject &cam) {
            cam.initSerial(0, QStringLiteral("ttyAMA0"), 38400, 8, 0, 1, 0);
            cam.initSerial(3, QStringLiteral("ttyAMA1"), 38400, 8, 0, 1, 0);
            cam.initSerial(2, QStringLiteral("ttyUSB0"), 38400, 8, 0, 1, 0);
            for (int i = 0; i < 3; ++i)
                cam.setVekStatus(i, true);
        });
    } else {
        lines_ = std::make_unique<DeviceLines>(nullptr, nullptr, nullptr, nullptr);
    }
    settings_ = std::make_unique<PanelSettings>(Sysroot::path(QStringLiteral("/home/pi/.config/Tervana/tavrik.conf")));
    settings_->load();
    panel_ = std::make_unique<Panel>(lines_.get(), settings_.get());
    engine_ = std::make_unique<QQmlEngine>();
    engine_->setOutputWarningsToStandardError(false);
    connect(engine_.get(), &QQmlEngine::warnings, this, [this](const QList<QQmlError> &list) {
        for (const QQmlError &e : list)
            warnings_ << e.toString();
    });
    engine_->rootContext()->setContextProperty(QStringLiteral("panel"), panel_.get());
    Language::installFont();
    language_ = std::make_unique<Language>(panel_.get(), engine_.get());
    window_ = std::make_unique<QQuickWindow>();
    window_->resize(1024, 600);
    window_->setColor(QColor(QStringLiteral("#111417")));
    window_->show();
}

PageRig::~PageRig()
{
    clear();
    window_.reset();
    language_.reset();
    engine_.reset();
    panel_.reset();
    // Ending the lanes hands their objects back to this thread; they are
    // ours to delete after that.
    QObject *objects[] = {lines_->camera().object(), lines_->system().object(), lines_->mainboard().object(), rpi_};
    lines_.reset();
    for (QObject *o : objects)
        delete o;
    settings_->flush();
}

QStringList PageRig::pageFiles()
{
    QStringList files;
    for (const QString &folder : {QStringLiteral("pages"), QStringLiteral("popups")}) {
        QDirIterator it(QStringLiteral(":/") + folder, {QStringLiteral("*.qml")}, QDir::Files);
        while (it.hasNext())
            files << folder + QLatin1Char('/') + it.next().section(QLatin1Char('/'), -1);
    }
    files.sort();
    return files;
}

void PageRig::clear()
{
    delete current_;
    current_ = nullptr;
    delete backdrop_;
    backdrop_ = nullptr;
    currentItem_ = nullptr;
    ownWindow_ = nullptr;
    engine_->clearComponentCache();
}

QQuickItem *PageRig::show(const QString &file)
{
    clear();
    QQmlComponent component(engine_.get(), QUrl(QStringLiteral("qrc:/") + file));
    QObject *obj = component.create();
    if (!obj) {
        for (const QQmlError &e : component.errors())
            warnings_ << e.toString();
        return nullptr;
    }
    current_ = obj;
    if (auto *w = qobject_cast<QQuickWindow *>(obj)) {
        ownWindow_ = w;
        w->resize(1024, 600);
        w->show();
        return currentItem_ = w->contentItem();
    }
    auto *item = qobject_cast<QQuickItem *>(obj);
    if (!item) {
        warnings_ << file + QStringLiteral(": not an item");
        return nullptr;
    }
    item->setParentItem(window_->contentItem());
    item->setWidth(1024);
    // Where the root page hosts each file: the tracking page and the
    // function pop-ups over the lower two thirds (the buses stay in view),
    // the setup and network pages under the status bar, the rest full screen.
    const bool lower = file.startsWith(QLatin1String("popups/")) || file == QLatin1String("pages/ImageKeysPage.qml");
    const bool underBar = file == QLatin1String("pages/SetupMenuPage.qml") || file == QLatin1String("pages/NetworkPage.qml");
    const qreal top = lower ? 200 : underBar ? 48 : 0;
    if (top > 0 && !backdropFile_.isEmpty()) {
        QQmlComponent back(engine_.get(), QUrl(QStringLiteral("qrc:/") + backdropFile_));
        if (auto *b = qobject_cast<QQuickItem *>(back.create())) {
            backdrop_ = b;
            b->setParentItem(window_->contentItem());
            b->setSize(QSizeF(1024, 600));
            b->setZ(-1);
        }
    }
    item->setY(top);
    item->setHeight(600 - top);
    return currentItem_ = item;
}

QQuickItem *PageRig::findItem(QQuickItem *root, const QString &name)
{
    if (!root)
        return nullptr;
    if (root->objectName() == name)
        return root;
    for (QQuickItem *child : root->childItems())
        if (QQuickItem *hit = findItem(child, name))
            return hit;
    return nullptr;
}

bool PageRig::click(const QString &name)
{
    return touch(name, QEvent::MouseButtonPress) && touch(name, QEvent::MouseButtonRelease);
}

bool PageRig::touch(const QString &name, QEvent::Type type, QPointF at)
{
    QQuickItem *item = findItem(currentItem_, name);
    if (!item || !item->isVisible() || !item->isEnabled())
        return false;
    QQuickWindow *w = item->window();
    const QPointF scene = item->mapToScene(at.isNull() ? QPointF(item->width() / 2, item->height() / 2) : at);
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent ev(type, scene, scene, w->mapToGlobal(scene.toPoint()), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                   held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &ev);
    return true;
}

void PageRig::settle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms || lines_->camera().pending() > 0 || lines_->system().pending() > 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
        if (t.elapsed() > ms + 5000)
            break;
    }
    QCoreApplication::processEvents();
}

void PageRig::setLanguage(int langType)
{
    panel_->setLangType(langType);
}

QImage PageRig::grab()
{
    QQuickWindow *w = ownWindow_ ? ownWindow_ : window_.get();
    // Asynchronous images and bindings settle before the picture is taken.
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QImage img = w->grabWindow();
    // The offscreen platform's backing store cannot hand the frame to the
    // scene graph, but its screen can grab the frame just drawn into it.
    if (img.isNull() && w->screen())
        img = w->screen()->grabWindow(w->winId()).toImage();
    if (img.isNull())
        qCWarning(lcUi) << "grab failed: exposed" << w->isExposed() << "visible" << w->isVisible()
                        << "api" << (w->rendererInterface() ? int(w->rendererInterface()->graphicsApi()) : -1);
    return img;
}

void PageRig::stageDemoState()
{
    panel_->setCam1Online(true);
    panel_->setCam2Online(true);
    panel_->setCam3Online(false);
    panel_->setTrackingState(0, 3);
    panel_->setTrackingState(1, 2);
    panel_->setTrackingState(2, -1);
    panel_->setProgramNo(1);
    panel_->setPreviewNo(2);
    panel_->setSystemEnabled(true);
    panel_->setSplashVisible(false);
    panel_->setMainboardConnected(true);
    // What an update medium could offer, so the upgrade prompt has its text.
    panel_->setMainboardVersion(QStringLiteral("1.4"));
    panel_->setOfferedAppVersion(QStringLiteral("v1.2.0"));
    panel_->setOfferedMainboardVersion(QStringLiteral("1.5"));
}
