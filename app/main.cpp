// The panel's entry point: log handler, display, back-end objects and the
// root page, in the order the rest of the panel relies on.
#include "app/loghandler.h"
#include "camera/vekcameraobject.h"
#include "maint/powerctl.h"
#include "maint/rpitool.h"
#include "netsvc/kivoserv.h"
#include "netsvc/net.h"
#include "platform/servicenotifier.h"
#include "surface/keyscan.h"
#include "surface/tbar.h"
#include "switcher/commandexecobject.h"
#include "ui/devicelines.h"
#include "ui/language.h"
#include "ui/panel.h"
#include "ui/panelsettings.h"
#include "ui/stallprobe.h"
#include "ui/uitypes.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QSocketNotifier>
#include <QQmlContext>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QUrl>
#include <QtQml>

#include <memory>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int stopPipe[2] = {-1, -1};

void onStopSignal(int)
{
    const char c = 1;
    // Only async-signal-safe work here; the event loop does the rest.
    [[maybe_unused]] const ssize_t n = ::write(stopPipe[1], &c, 1);
}

// SIGTERM (the service manager stopping the panel) and SIGINT end the event
// loop, so the shutdown runs in order: the lines are closed, the threads
// stopped and the serial lock files removed.
void installStopSignals(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, stopPipe) != 0) {
        qCWarning(lcApp) << "[WARN] no orderly stop on SIGTERM: socketpair failed";
        return;
    }
    auto *notifier = new QSocketNotifier(stopPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
        char c;
        [[maybe_unused]] const ssize_t n = ::read(stopPipe[0], &c, 1);
        notifier->setEnabled(false);
        qCDebug(lcApp) << "stop requested";
        QCoreApplication::quit();
    });
    struct sigaction sa = {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
}
} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(customMessageHandler);

    // The panel always draws on the framebuffer; only Qt's own -platform
    // argument (used on a PC) can pick another plug-in.
    qputenv("QT_QPA_PLATFORM", "linuxfb");

    // linuxfb has no OpenGL: Qt Quick draws with its software renderer
    // unless the caller asks for another one.
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);

    // Qt's own event loop rather than GLib's on every thread: the meter lane
    // wakes 50 times a second, and GLib's dispatch doubles its idle cost.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");

    QGuiApplication app(argc, argv);
    app.setOrganizationName(QStringLiteral("Tervana"));
    app.setOrganizationDomain(QStringLiteral("tervana.com"));
    app.setApplicationName(QStringLiteral("tavrik"));
    installStopSignals(app);
    StallProbe::startIfAsked(&app);
    ServiceNotifier::attach(app);

    QQmlApplicationEngine engine;
    qCDebug(lcApp) << "Platform" << QGuiApplication::platformName();

    qmlRegisterType<KivoServ>("KivoServ", 1, 0, "KivoServ");

    // Opens the mainboard line before any page exists. The back-end objects
    // are not published to the pages: they move onto their lanes below, and
    // a page binding to one would read it from the wrong thread.
    commandExecObject zarvoControl;

    qmlRegisterType<Keyscan>("Keyscan", 1, 0, "Keyscan");
    qmlRegisterType<PowerCtl>("PowerCtl", 1, 0, "PowerCtl");

    const QUrl url(QStringLiteral("qrc:/main.qml"));

    auto *tbar = new Tbar(&app);
    tbar->setZarvoControl(&zarvoControl);

    auto netObject = std::make_shared<net>();
    auto vekCameraControl = std::make_shared<vekCameraObject>();
    auto rpiObject = std::make_shared<RpiTool>();

    // The interface's own objects. The back-end objects above move onto
    // their lanes here: from now on only the lanes touch them, and the
    // pages reach the devices through "panel".
    auto settings = std::make_unique<PanelSettings>();
    settings->load();
    auto lines = std::make_unique<DeviceLines>(&zarvoControl, vekCameraControl.get(), netObject.get(),
                                               rpiObject.get());
    auto panel = std::make_unique<Panel>(lines.get(), settings.get());
    panel->setTbar(tbar);
    engine.rootContext()->setContextProperty(QStringLiteral("panel"), panel.get());
    registerUiTypes();
    // The CJK font for every language, and the translator that follows langType.
    Language::installFont();
    Language language(panel.get(), &engine);

    Panel *root = panel.get();
    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreated, &app,
        [url, tbar, root](QObject *obj, const QUrl &objUrl) {
            // Queued: the pages' handlers are connected before the first
            // T-bar or joystick signal can arrive.
            tbar->start(QThread::InheritPriority);
            if (!obj && url == objUrl) {
                qCDebug(lcApp) << "root page failed to load" << obj << objUrl << url;
                QCoreApplication::exit(-1);
                return;
            }
            root->startUp();
        },
        Qt::QueuedConnection);

    engine.load(url);
    const int rc = app.exec();
    // The service manager waits a few seconds, not for a silent device.
    lines->abortExchanges();

    // The interface goes first (its hardware threads end on the system
    // lane), then the lanes hand every back-end object back to this thread,
    // so each closes its line here; the shared objects go in reverse order
    // of creation, before the model (declared earlier) closes its line; the
    // engine and the application, which stops the Tbar thread, follow.
    // The pages go before the root state they bind to, or every binding
    // complains on the way out.
    qDeleteAll(engine.rootObjects());
    panel.reset();
    lines.reset();
    settings.reset();
    rpiObject.reset();
    vekCameraControl.reset();
    netObject.reset();
    return rc;
}
