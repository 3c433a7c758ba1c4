#include "ui/upgradeflow.h"

#include "maint/rpitool.h"
#include "netsvc/net.h"
#include "platform/threadcheck.h"
#include "switcher/commandexecobject.h"
#include "ui/outcome.h"
#include "ui/panelsettings.h"
#include "ui/uilog.h"

#include <QDebug>
#include <QRegularExpression>

UpgradeFlow::UpgradeFlow(Panel *panel, QObject *parent) : PageLogic(panel, parent) { attachIfReady(); }

void UpgradeFlow::attach()
{
    // The root state opens the prompt on the update check's answer; the
    // prompt takes the offered versions from there.
    connect(panel(), &Panel::upgradeVisibleChanged, this, [this] {
        if (panel()->upgradeVisible() && !offering_)
            offer(panel()->offeredAppVersion(), panel()->offeredMainboardVersion());
    });
    if (commandExecObject *model = lines() ? lines()->mainboard().object() : nullptr) {
        connect(model, &commandExecObject::logMessage, this, &UpgradeFlow::onLogMessage);
        connect(model, &commandExecObject::upgradeFinished, this, &UpgradeFlow::onFinished);
    }
    // The prompt page is made when the prompt opens: take the offer now.
    // (A page drawn on its own shows the offer without opening the prompt.)
    if (panel()->upgradeVisible() || !panel()->offeredAppVersion().isEmpty()
        || !panel()->offeredMainboardVersion().isEmpty())
        take(panel()->offeredAppVersion(), panel()->offeredMainboardVersion(), panel()->upgradeVisible());
}
// An empty text means nothing of that kind was found on the medium; it is
// never offered (it would start an upgrade without an image).
bool UpgradeFlow::mbDiffers() const
{
    return panel() && !mbVersion_.isEmpty() && mbVersion_ != panel()->mainboardVersion();
}

bool UpgradeFlow::kbDiffers() const
{
    return panel() && !kbVersion_.isEmpty() && kbVersion_ != panel()->appVersion();
}

QString UpgradeFlow::promptText(bool firmware) const
{
    // The version tags stay in the text (a service engineer reads them),
    // each in the operator's language.
    return firmware ? tr("Do you want to upgrade the mainboard firmware ? (MB: %1)").arg(mbVersion_)
                    : tr("Do you want to upgrade the panel application ? (KBD: %1)").arg(kbVersion_);
}

void UpgradeFlow::offer(const QString &kb, const QString &mb)
{
    TAVRIK_ASSERT_OWNER(this);
    take(kb, mb, true);
}

void UpgradeFlow::take(const QString &kb, const QString &mb, bool open)
{
    if (!panel())
        return;
    if (upgrading_) {
        qCWarning(lcUi) << "[WARN] upgrade offer ignored: the mainboard upgrade is still running";
        return;
    }
    kbVersion_ = kb;
    mbVersion_ = mb;
    if (!mbDiffers() && !kbDiffers())
        return;
    appOffered_ = false;
    mbUpgraded_ = false;
    buttonsEnabled_ = true;
    progress_ = 0;
    text_ = promptText(mbDiffers());
    emit changed();
    if (!open)
        return;
    offering_ = true;
    panel()->setOfferedAppVersion(kb);
    panel()->setOfferedMainboardVersion(mb);
    panel()->setUpgradeVisible(true);
    offering_ = false;
}

void UpgradeFlow::shown()
{
    TAVRIK_ASSERT_OWNER(this);
    onSystem([](net &n) { n.stopPgm(); });
}

void UpgradeFlow::yes()
{
    TAVRIK_ASSERT_OWNER(this);
    if (!panel() || !buttonsEnabled_)
        return;
    buttonsEnabled_ = false;
    if (mbDiffers() && !appOffered_) {
        upgrading_ = true;
        progress_ = 0;
        emit changed();
        const QString mb = mbVersion_;
        if (DeviceLines *l = lines())
            l->mainboard().post(
                [mb](commandExecObject &m) {
                    m.processFirmwareUpgradeUi(firmwarePath(), mb);
                    const bool started = m.isUpgrading();
                    return Result<bool>{mainboardOutcome(m, started), true, started};
                },
                this, [this](const Result<bool> &r) {
                    firmwareStartOutcome_ = r.outcome;
                    if (!r.done())
                        firmwareNotStarted();
                    emit changed();
                });
        return;
    }
    if (kbDiffers()) {
        text_ = tr("Start upgrade KB ") + kbVersion_;
        emit changed();
        panel()->setLoadingVisible(true);
        onSystem([](net &n) { n.upgradeApp(); });
        panel()->setAppVersion(kbVersion_);
        close();
    }
    if (mbUpgraded_)
        restart();
}

void UpgradeFlow::no()
{
    TAVRIK_ASSERT_OWNER(this);
    if (!panel() || !buttonsEnabled_)
        return;
    if (kbDiffers() && !appOffered_) {
        appOffered_ = true;
        text_ = promptText(false);
        emit changed();
    } else if (mbUpgraded_) {
        restart();
    } else {
        appOffered_ = false;
        const int out = settings() ? settings()->intValue(QStringLiteral("system"), QStringLiteral("pgmOutResForSetup")) : 0;
        onSystem([out](net &n) { n.startPgm(out); });
        close();
    }
}

void UpgradeFlow::onLogMessage(const QString &msg)
{
    if (!upgrading_)
        return;
    text_ = msg;
    static const QRegularExpression percent(QStringLiteral("(\\d+)%"));
    const QRegularExpressionMatch m = percent.match(msg);
    if (m.hasMatch())
        progress_ = qBound(0, m.captured(1).toInt(), 100);
    emit changed();
}

void UpgradeFlow::onFinished(bool success)
{
    if (!upgrading_)
        return;
    upgrading_ = false;
    buttonsEnabled_ = true;
    if (!success) {
        text_ = tr("MB upgrade fail");
        emit changed();
        return;
    }
    progress_ = 100;
    mbUpgraded_ = true;
    panel()->setMainboardVersion(mbVersion_);
    if (kbDiffers()) {
        appOffered_ = true;
        text_ = tr("MB upgrade success") + QLatin1Char('\n') + promptText(false);
        emit changed();
    } else {
        text_ = tr("MB upgrade success");
        restart();
    }
}

// The model refused to start (no image, or an upgrade already running):
// without this the prompt would wait for an end that never comes.
void UpgradeFlow::firmwareNotStarted()
{
    if (!upgrading_)
        return;
    upgrading_ = false;
    buttonsEnabled_ = true;
    text_ = tr("MB upgrade fail");
    emit changed();
}

void UpgradeFlow::restart()
{
    // The firmware upgrade owns the mainboard line until it reports its end;
    // a restart now would leave the board half flashed.
    if (upgrading_ || rebootRequested_)
        return;
    rebootRequested_ = true;
    buttonsEnabled_ = false;
    text_ = (text_.isEmpty() ? QString() : text_ + QLatin1Char('\n')) + tr("The system will restart in 5 seconds.");
    emit changed();
    if (DeviceLines *l = lines())
        l->rpi([](RpiTool &t) { t.reboot(); });
}

void UpgradeFlow::close()
{
    if (panel())
        panel()->setUpgradeVisible(false);
}
