#include "ui/panel.h"

#include "netsvc/kivoserv.h"
#include "netsvc/net.h"
#include "platform/threadcheck.h"
#include "switcher/commandexecobject.h"
#include "ui/boardtrust.h"
#include "ui/controlapi.h"
#include "ui/devicelines.h"
#include "ui/imagekeys.h"
#include "ui/panelsettings.h"
#include "ui/startupsequence.h"
#include "ui/tallyout.h"
#include "ui/uilog.h"

#include <QDebug>

namespace {
const QString kSystem = QStringLiteral("system");
} // namespace

Panel::Panel(DeviceLines *lines, PanelSettings *settings, QObject *parent)
    : QObject(parent)
    , lines_(lines)
    , settings_(settings)
    , switcher_(new SwitcherState(this))
    , queue_(new CommandQueue(this))
    , polls_(new CameraPolls(lines, queue_, [this] { return camSel(); }, this))
    , switching_(new Switching(lines, switcher_, [p = polls_](int camera) { return p->camOnline(camera); }, this))
    , surface_(new SurfaceInput(lines, settings, switching_, polls_, this))
    , startup_(new StartupSequence(this))
    , meter_(new AudioMeter(this))
    , trust_(new BoardTrust(lines, switcher_, this))
{
    queue_->setInterval(150);
    for (QObject *part : {static_cast<QObject *>(switcher_), static_cast<QObject *>(switching_),
                          static_cast<QObject *>(surface_), static_cast<QObject *>(polls_),
                          static_cast<QObject *>(trust_)})
        forwardChanges(part, this);
    connect(polls_, &CameraPolls::trackingStateChanged, this, &Panel::trackingStateChanged);
    // Within the presence round that finds it back, not at the next switch.
    connect(polls_, &CameraPolls::cameraBack, switching_, &Switching::tallyCamera);
    connect(surface_, &SurfaceInput::shutdownRequested, this, &Panel::onShutdownRequest);
    connect(startup_, &StartupSequence::finished, this, &Panel::startUpFinished);

    if (settings_) {
        setLangType(settings_->intValue(kSystem, QStringLiteral("langType")));
        connect(this, &Panel::langTypeChanged, this,
                [this] { settings_->setValue(kSystem, QStringLiteral("langType"), langType()); });
        connect(settings_, &PanelSettings::writeFailed, this, &Panel::setNotice); // a full card, shown over any page
        tallyOut_ = new TallyOut(switcher_, settings_, this);
        switching_->setTallyOnAirSources(settings_->boolValue(kSystem, QStringLiteral("tallyOnAirSources")));
        // From the tally out page or a restored backup: the lamps change now,
        // not at the next switch or the next start.
        connect(settings_, &PanelSettings::valueChanged, this, [this](const QString &group, const QString &key) {
            if (group != kSystem || key != QLatin1String("tallyOnAirSources"))
                return;
            switching_->setTallyOnAirSources(settings_->boolValue(kSystem, key));
            // Unconfirmed, the buses' read-back sends the tally when it comes.
            if (switcher_->stateConfirmed())
                switching_->updateTally(false);
        });
    }
    if (!lines_)
        return;
    // The model's reports land in the one store (queued from the lane).
    switcher_->attach(lines_->mainboard().object());
    if (settings_)
        api_ = new ControlApi(this, this);
    if (net *n = lines_->system().object()) {
        connect(n, &net::sendAppVer, this, &Panel::onAppVersions);
        connect(n, &net::sendLeftBarVal, meter_, [m = meter_](unsigned char v) { m->onLeft(v); });
        connect(n, &net::sendRightBarVal, meter_, [m = meter_](unsigned char v) { m->onRight(v); });
    }
}

Panel::~Panel()
{
    delete api_;
    api_ = nullptr;
    delete kivoServ_;
    kivoServ_ = nullptr;
}

bool Panel::boardStateTrusted() const
{
    return trust_->boardStateTrusted();
}

void Panel::startUp()
{
    TAVRIK_ASSERT_OWNER(this);
    startup_->start();
}

// ---------------------------------------------------------------- pages, pop-ups, notices

void Panel::showPage(int p)
{
    TAVRIK_ASSERT_OWNER(this);
    openFunction(-1);
    setPage(p > HomePage && p <= NetworkPage ? p : HomePage);
}

void Panel::openFunction(int func)
{
    TAVRIK_ASSERT_OWNER(this);
    if (func < -1 || func > 4) {
        qCWarning(lcUi) << "[WARN] function pop-up out of range:" << func;
        return;
    }
    // One function pop-up at a time; leaving the camera or tracking page
    // ends its poll.
    if (func != 1)
        polls_->stopCameraInfoPoll();
    if (func != 0)
        polls_->stopTrackingPoll();
    setFuncSel(func);
    if (func == 1)
        polls_->startCameraInfoPoll();
    else if (func == 0)
        polls_->startTrackingPoll();
}

void Panel::onAppVersions(const QString &kb, const QString &mb)
{
    setOfferedAppVersion(kb);
    setOfferedMainboardVersion(mb);
    const bool newApp = !kb.isEmpty() && kb != appVersion();
    const bool newBoard = !mb.isEmpty() && mb != mainboardVersion();
    if (newApp || newBoard)
        setUpgradeVisible(true);
}

void Panel::onShutdownRequest()
{
    setShutdownVisible(true);
}

void Panel::confirmShutdown()
{
    TAVRIK_ASSERT_OWNER(this);
    setShutdownVisible(false);
    surface_->powerOff();
}

void Panel::cancelShutdown()
{
    TAVRIK_ASSERT_OWNER(this);
    setShutdownVisible(false);
    if (lines_)
        lines_->system().post([](net &n) { n.setPauseState(0); });
}

// ---------------------------------------------------------------- discovery

void Panel::startDiscovery()
{
    TAVRIK_ASSERT_OWNER(this);
    lines_->system().post(
        [](net &n) {
            return QStringList{n.getBroadcast(), n.getIPAddress(), n.getMac(), n.getNetmask(), n.getGateway(),
                               n.getDHCPMode() ? QStringLiteral("1") : QString()};
        },
        this,
        [this](const QStringList &v) {
            setIpAddress(v.at(1));
            setMacAddress(v.at(2));
            setNetmask(v.at(3));
            setGateway(v.at(4));
            setDhcpMode(!v.at(5).isEmpty());
            if (api_)
                api_->start(); // listens on the address just read
            if (kivoServ_)
                return;
            kivoServ_ = new KivoServ(this);
            kivoServ_->setBroadcastIp(v.at(0));
            kivoServ_->setIp(v.at(1));
            kivoServ_->setMac(v.at(2));
            kivoServ_->setMask(v.at(3));
            kivoServ_->start();
        });
}

// ---------------------------------------------------------------- user memories

void Panel::restoreAudioLevels(int memory)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!settings_ || memory < 0 || memory > 6)
        return;
    const QString suffix = memory == 0 ? QStringLiteral("_factory") : QStringLiteral("_%1").arg(memory);
    auto level = [&](const char *channel) {
        return settings_->intValue(QStringLiteral("user"), QLatin1String(channel) + suffix);
    };
    const int ch1 = level("audioCh1"), ch2 = level("audioCh2"), hdmi = level("audioHDMI"), rca = level("audioRCA");
    const int ear = level("audioHeadset"), master = level("audioMaster");
    settings_->setValue(kSystem, QStringLiteral("ch1Val"), ch1);
    settings_->setValue(kSystem, QStringLiteral("ch2Val"), ch2);
    settings_->setValue(kSystem, QStringLiteral("digitVal"), hdmi);
    settings_->setValue(kSystem, QStringLiteral("rcaVal"), rca);
    settings_->setValue(kSystem, QStringLiteral("earVal"), ear);
    settings_->setValue(kSystem, QStringLiteral("masterVal"), master);
    lines_->system().post([=](net &n) { n.setAudioValue(ch1, ch2, rca, hdmi, ear, master); });
}

void Panel::storeAudioLevels(int n)
{
    TAVRIK_ASSERT_OWNER(this);
    if (!settings_)
        return;
    const QString suffix = n == 0 ? QStringLiteral("_factory") : QStringLiteral("_%1").arg(n);
    const QString user = QStringLiteral("user");
    auto sys = [this](const char *k) { return settings_->intValue(kSystem, QLatin1String(k)); };
    settings_->setValue(user, QStringLiteral("audioCh1") + suffix, sys("ch1Val"));
    settings_->setValue(user, QStringLiteral("audioCh2") + suffix, sys("ch2Val"));
    settings_->setValue(user, QStringLiteral("audioHDMI") + suffix, sys("digitVal"));
    settings_->setValue(user, QStringLiteral("audioRCA") + suffix, sys("rcaVal"));
    settings_->setValue(user, QStringLiteral("audioHeadset") + suffix, sys("earVal"));
    settings_->setValue(user, QStringLiteral("audioMaster") + suffix, sys("masterVal"));
}

void Panel::saveUserMemory(int n)
{
    TAVRIK_ASSERT_OWNER(this);
    if (n < 0 || n > 6) {
        qCWarning(lcUi) << "[WARN] user memory out of range:" << n;
        return;
    }
    lines_->mainboard().post(
        [n](commandExecObject &m) {
            const bool ok = m.saveuserMem(static_cast<uint>(n));
            return Outcome::ofMainboardWrite(m, ok);
        },
        this,
        [this, n](Outcome::Kind outcome) {
            if (outcome == Outcome::Done)
                storeAudioLevels(n);
            else
                qCWarning(lcUi) << "[WARN] user memory" << n << "not saved";
        });
}

void Panel::recallUserMemory(int n)
{
    TAVRIK_ASSERT_OWNER(this);
    if (n < 0 || n > 6) {
        qCWarning(lcUi) << "[WARN] user memory out of range:" << n;
        return;
    }
    setUserMemorySel(n);
    lines_->mainboard().post(
        [n](commandExecObject &m) { return Outcome::ofMainboardWrite(m, m.userMem(static_cast<uint>(n))); }, this,
        [this](Outcome::Kind outcome) { switching_->report(Switching::UserMemory, outcome); });
    lines_->system().post([](net &net) { net.setPause(); });
    setLoadingVisible(true);
    startup_->startReread();
}

void Panel::factoryDefault()
{
    TAVRIK_ASSERT_OWNER(this);
    setLangType(0);
    lines_->mainboard().post([](commandExecObject &m) { return m.isConnected(); }, this, [this](bool connected) {
        setMainboardConnected(connected);
        if (!connected)
            return;
        lines_->mainboard().post([](commandExecObject &m) { m.loadFactoryDefault(); });
        lines_->system().post([](net &n) {
            n.setStaticIpMaskGateway(QStringLiteral("192.168.100.101"), QStringLiteral("255.255.255.0"),
                                     QStringLiteral("192.168.100.1"));
            n.setPause();
        });
        setUserMemorySel(0);
        setLoadingVisible(true);
        startup_->startReread();
        // The key pictures go, and no key stays selected.
        ImageKeys::of(this)->resetPictures();
        if (settings_)
            for (int i = 1; i <= 12; ++i) {
                const QString key = QStringLiteral("imageKey%1File").arg(i);
                settings_->setValue(kSystem, key, PanelSettings::defaultValue(kSystem, key));
            }
    });
}
