#include "ui/devicelines.h"

#include "camera/vekcameraobject.h"
#include "maint/rpitool.h"
#include "netsvc/net.h"
#include "switcher/commandexecobject.h"

#include <QCoreApplication>

void settleMovedObject(QObject *obj)
{
    // A call may delete a child: each is looked at through a guard.
    QList<QPointer<QObject>> objects{obj};
    for (QObject *child : obj->findChildren<QObject *>())
        objects << child;
    for (const QPointer<QObject> &o : qAsConst(objects))
        if (o)
            QCoreApplication::sendPostedEvents(o, QEvent::MetaCall);
}

DeviceLines::DeviceLines(commandExecObject *mainboard, vekCameraObject *cameras, net *netObject, RpiTool *rpi,
                         QObject *parent)
    : QObject(parent)
    , rpi_(rpi)
    , mainboard_("mainboard", mainboard)
    , camera_("camera", cameras)
    , net_("system", netObject)
{
    // RpiTool runs its commands on the system thread beside net.
    if (rpi_ && netObject)
        rpi_->moveToThread(net_.thread());
}

DeviceLines::~DeviceLines()
{
    stop();
}

void DeviceLines::stop()
{
    QThread *home = QThread::currentThread();
    if (rpi_ && rpi_->thread() != home) {
        RpiTool *tool = rpi_;
        net_.post([tool, home](net &) { tool->moveToThread(home); });
    }
    net_.stop(home);
    if (rpi_)
        settleMovedObject(rpi_);
    camera_.stop(home);
    mainboard_.stop(home);
}
