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
#include "ui/uitypes.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>

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
    lines_->stop();
    // The lanes handed their objects back to this thread; they are ours now.
    delete lines_->camera().object();
    delete lines_->system().object();
    delete lines_->mainboard().object();
    delete rpi_;
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
        return w->contentItem();
    }
    auto *item = qobject_cast<QQuickItem *>(obj);
    if (!item) {
        warnings_ << file + QStringLiteral(": not an item");
        return nullptr;
    }
    item->setParentItem(window_->contentItem());
    item->setWidth(1024);
    if (file.startsWith(QLatin1String("popups/"))) {
        const qreal h = item->implicitHeight() > 0 ? item->implicitHeight() : 440;
        item->setHeight(h);
        item->setY(600 - h);
    } else {
        item->setHeight(600);
    }
    return item;
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
    return w->grabWindow();
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
}
