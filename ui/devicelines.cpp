#include "ui/devicelines.h"

#include "camera/vekcameraobject.h"
#include "maint/rpitool.h"
#include "netsvc/net.h"
#include "platform/threadcheck.h"
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

LaneReturn::LaneReturn(QObject *context) : QObject(context), gate_(std::make_shared<Gate>())
{
    gate_->receiver_ = this;
}

LaneReturn::~LaneReturn()
{
    // After this no lane posts here; what it posted before goes with this object.
    QMutexLocker lock(&gate_->mutex_);
    gate_->receiver_ = nullptr;
}

std::shared_ptr<LaneReturn::Gate> LaneReturn::gateOf(QObject *context)
{
    if (!context)
        return std::make_shared<Gate>();
    TAVRIK_ASSERT_OWNER(context);
    auto *path = context->findChild<LaneReturn *>(QString(), Qt::FindDirectChildrenOnly);
    return (path ? path : new LaneReturn(context))->gate_;
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

void DeviceLines::abortExchanges()
{
    // Atomic flags, set from here while the lanes may be inside an exchange.
    if (commandExecObject *m = mainboard_.object())
        m->abortExchanges();
    if (vekCameraObject *v = camera_.object())
        v->abortExchanges();
}

void DeviceLines::stop()
{
    // The objects come home to the calling thread: it must be this one's.
    TAVRIK_ASSERT_OWNER(this);
    abortExchanges();
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
