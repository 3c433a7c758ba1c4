#pragma once

#include "ui/pagelogic.h"

#include <QPointer>

class PowerCtl;

// The shutdown confirmation: YES powers the unit off through PowerCtl, NO
// closes and lets the preview run again. Lives on the interface thread, as
// PowerCtl's own timers and commands do.
class ShutdownConfirm : public PageLogic
{
    Q_OBJECT
    // The PowerCtl the start-up sequence created; when not set, the panel's
    // child of that type.
    Q_PROPERTY(QObject *powerCtl READ powerCtlObject WRITE setPowerCtlObject NOTIFY powerCtlChanged)
public:
    explicit ShutdownConfirm(Panel *panel = nullptr, QObject *parent = nullptr);

    QObject *powerCtlObject() const;
    void setPowerCtlObject(QObject *object);

    Q_INVOKABLE void yes();
    // NO pressed: the dialog closes.
    Q_INVOKABLE void no();
    // NO released: the preview is resumed.
    Q_INVOKABLE void noReleased();

signals:
    void powerCtlChanged();

private:
    PowerCtl *powerCtl() const;
    QPointer<PowerCtl> powerCtl_;
};
