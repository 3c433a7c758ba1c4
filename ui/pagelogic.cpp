#include "ui/pagelogic.h"

PageLogic::PageLogic(Panel *panel, QObject *parent) : QObject(parent), panel_(panel) {}

void PageLogic::setPanel(Panel *panel)
{
    if (panel_ == panel)
        return;
    panel_ = panel;
    emit panelChanged();
    attachIfReady();
}

void PageLogic::attachIfReady()
{
    if (!panel_ || attached_)
        return;
    attached_ = true;
    attach();
}
