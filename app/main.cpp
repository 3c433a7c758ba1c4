// The panel's entry point: log handler, display, back-end objects and the
// root page, in the order the rest of the panel relies on.
#include "app/loghandler.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QUrl>
#include <QtQml>

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

    QGuiApplication app(argc, argv);
    app.setOrganizationName(QStringLiteral("Tervana"));
    app.setOrganizationDomain(QStringLiteral("tervana.com"));
    app.setApplicationName(QStringLiteral("tavrik"));

    QQmlApplicationEngine engine;
    qDebug() << "Platform" << QGuiApplication::platformName();

    // [wiring] register "KivoServ" 1.0
    // [wiring] commandExecObject -> "zarvoControl"
    // [wiring] register "Keyscan" 1.0 and "PowerCtl" 1.0

    const QUrl url(QStringLiteral("qrc:/main.qml"));

    // [wiring] Tbar (parent app) -> "xTbarObject"
    // [wiring] net -> "netObject", vekCameraObject -> "vekCameraControl", RpiTool -> "rpiObject"

    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreated, &app,
        [url](QObject *obj, const QUrl &objUrl) {
            // [wiring] start the Tbar thread
            if (!obj && url == objUrl) {
                qDebug() << "root page failed to load" << obj << objUrl << url;
                QCoreApplication::exit(-1);
            }
        },
        Qt::QueuedConnection);

    engine.load(url);
    return app.exec();
}
