#pragma once

#include "ui/pagelogic.h"

class SeamTimer;

// The luma key pop-up's logic: key source and mode sent at once, the
// clean-up level and transparency sliders sent once the finger rests.
// Nothing is sent before the start-up sequence has completed. The shown
// values follow the switcher state's luma reports. Lives on the interface
// thread; every call comes from there.
class LumaKey : public PageLogic
{
    Q_OBJECT
    Q_PROPERTY(int source READ source NOTIFY changed)
    Q_PROPERTY(int mode READ mode NOTIFY changed)
    Q_PROPERTY(int cleanup READ cleanup NOTIFY changed)
    Q_PROPERTY(int transparency READ transparency NOTIFY changed)
public:
    explicit LumaKey(Panel *panel = nullptr, QObject *parent = nullptr);

    int source() const { return source_; }
    int mode() const { return mode_; }
    int cleanup() const { return cleanup_; }
    int transparency() const { return transparency_; }

    // The page became visible: the current crop size goes out once.
    Q_INVOKABLE void opened();
    Q_INVOKABLE void chooseSource(int source);
    Q_INVOKABLE void chooseMode(int mode);
    Q_INVOKABLE void cleanupMoved(int value);
    Q_INVOKABLE void transparencyMoved(int value);

signals:
    void changed();

protected:
    void attach() override;

private:
    bool ready() const { return panel() && panel()->systemEnabled() && connected(); }

    int source_ = -1;
    int mode_ = 0;
    int cleanup_ = 0;
    int transparency_ = 0;
    int pendingCleanup_ = 0;
    int pendingTransparency_ = 0;
    // The picture-in-picture crop size as the mainboard last reported it.
    int cropSize_ = -1;
    SeamTimer *cleanupTimer_;
    SeamTimer *transparencyTimer_;
};
