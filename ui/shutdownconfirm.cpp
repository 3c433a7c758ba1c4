#include "ui/shutdownconfirm.h"

#include "maint/powerctl.h"
#include "netsvc/net.h"

#include <QDebug>

ShutdownConfirm::ShutdownConfirm(Panel *panel, QObject *parent) : PageLogic(panel, parent) { attachIfReady(); }

QObject *ShutdownConfirm::powerCtlObject() const { return powerCtl(); }

void ShutdownConfirm::setPowerCtlObject(QObject *object)
{
    powerCtl_ = qobject_cast<PowerCtl *>(object);
    emit powerCtlChanged();
}

PowerCtl *ShutdownConfirm::powerCtl() const
{
    if (powerCtl_)
        return powerCtl_;
    return panel() ? panel()->findChild<PowerCtl *>() : nullptr;
}

void ShutdownConfirm::yes()
{
    if (panel())
        panel()->setShutdownVisible(false);
    PowerCtl *p = powerCtl();
    if (!p) {
        qWarning() << "[ERR] shutdown confirmed but there is no power control";
        return;
    }
    // Queued, so the dialog is gone from the screen before shutdown() blocks
    // this thread for its pulse.
    QMetaObject::invokeMethod(p, &PowerCtl::shutdown, Qt::QueuedConnection);
}

void ShutdownConfirm::no()
{
    if (panel())
        panel()->setShutdownVisible(false);
}

void ShutdownConfirm::noReleased()
{
    onSystem([](net &n) { n.setPauseState(0); });
}
