#pragma once

#include "ui/devicelines.h"
#include "ui/panel.h"

#include <QObject>
#include <QPointer>

class PanelSettings;

// What every page's logic object shares: the root state it reads, the one
// copy of the switcher's state (reports included) and the lanes it reaches
// the devices through. A page sets `panel` once (QML: `panel: panel`); tests
// hand it to the constructor. Lives on the interface thread, like the pages
// that bind to it; every call comes from there.
class PageLogic : public QObject
{
    Q_OBJECT
    Q_PROPERTY(Panel *panel READ panel WRITE setPanel NOTIFY panelChanged)
public:
    explicit PageLogic(Panel *panel = nullptr, QObject *parent = nullptr);

    Panel *panel() const { return panel_; }
    void setPanel(Panel *panel);

signals:
    void panelChanged();

protected:
    // Called once the panel is known (from the constructor's caller or QML).
    virtual void attach() {}
    // Null when the panel or the lane is missing (a page drawn in the tour).
    DeviceLines *lines() const { return panel_ ? panel_->lines() : nullptr; }
    PanelSettings *settings() const { return panel_ ? panel_->settings() : nullptr; }
    SwitcherState *switcher() const { return panel_ ? panel_->switcher() : nullptr; }
    bool connected() const { return panel_ && panel_->mainboardConnected(); }
    // Posts to the mainboard, camera or system lane; does nothing without one.
    template <typename F> void onMainboard(F &&fn)
    {
        if (DeviceLines *l = lines())
            l->mainboard().post(std::forward<F>(fn));
    }
    template <typename F> void onCamera(F &&fn)
    {
        if (DeviceLines *l = lines())
            l->camera().post(std::forward<F>(fn));
    }
    template <typename F> void onSystem(F &&fn)
    {
        if (DeviceLines *l = lines())
            l->system().post(std::forward<F>(fn));
    }

    // The constructor cannot call the subclass's attach(); subclasses call
    // this at the end of their constructor.
    void attachIfReady();

private:
    QPointer<Panel> panel_;
    bool attached_ = false;
};
