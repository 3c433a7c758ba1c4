#include "ui/servicestatus.h"

#include "camera/vekcameraobject.h"
#include "mainboard/zarvomu.h"
#include "maint/supportbundle.h"
#include "netsvc/kivoserv.h"
#include "netsvc/net.h"
#include "platform/sysroot.h"
#include "platform/threadcheck.h"
#include "surface/keyscan.h"
#include "surface/tbar.h"
#include "switcher/commandexecobject.h"
#include "ui/panelsettings.h"
#include "ui/surfaceinput.h"
#include "ui/timeseam.h"
#include "ui/uilog.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>

namespace {

// The first `maxBytes` of a small kernel file; empty when it cannot be read.
QByteArray readSmall(const QString &path, qint64 maxBytes = 4096)
{
    QFile f(Sysroot::path(path));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.read(maxBytes);
}

// "MemTotal:  3884328 kB" -> 3884328 (kB); -1 when missing.
qint64 meminfoKb(const QByteArray &meminfo, const char *key)
{
    for (const QByteArray &line : meminfo.split('\n')) {
        if (line.startsWith(key)) {
            bool ok = false;
            const qint64 v = line.mid(qstrlen(key)).simplified().split(' ').value(0).toLongLong(&ok);
            return ok && v >= 0 ? v : -1;
        }
    }
    return -1;
}

// What the system lane reads of the kernel for one refresh.
struct KernelFigures {
    QString link;
    qint64 uptimeS = -1;
    qint64 cpuBusy = -1;
    qint64 cpuTotal = -1;
    qint64 memTotalKb = -1;
    qint64 memAvailableKb = -1;
    double temperatureC = -1000;
};

KernelFigures readKernel()
{
    KernelFigures k;
    k.link = QString::fromLatin1(readSmall(QStringLiteral("/sys/class/net/eth0/operstate"), 64).trimmed());
    bool ok = false;
    const double up = readSmall(QStringLiteral("/proc/uptime"), 128).split(' ').value(0).toDouble(&ok);
    if (ok && up >= 0)
        k.uptimeS = static_cast<qint64>(up);
    // "cpu  user nice system idle iowait irq softirq steal ..."
    const QList<QByteArray> cpu = readSmall(QStringLiteral("/proc/stat"), 1024).split('\n').value(0).simplified().split(' ');
    if (cpu.size() >= 5 && cpu.at(0) == "cpu") {
        qint64 total = 0;
        qint64 idle = 0;
        bool good = true;
        for (int i = 1; i < cpu.size() && i <= 8 && good; ++i) {
            const qint64 v = cpu.at(i).toLongLong(&good);
            total += v;
            if (i == 4 || i == 5)
                idle += v;
        }
        if (good && total > 0) {
            k.cpuTotal = total;
            k.cpuBusy = total - idle;
        }
    }
    const QByteArray mem = readSmall(QStringLiteral("/proc/meminfo"));
    k.memTotalKb = meminfoKb(mem, "MemTotal:");
    k.memAvailableKb = meminfoKb(mem, "MemAvailable:");
    const qint64 milli = readSmall(QStringLiteral("/sys/class/thermal/thermal_zone0/temp"), 64).trimmed().toLongLong(&ok);
    if (ok)
        k.temperatureC = milli / 1000.0;
    return k;
}

struct MainboardFigures {
    MainboardLineCounters::Snapshot counters;
    bool silent = true;
};

struct CameraFigures {
    std::array<CameraLineStats::Snapshot, 3> stats;
    std::array<QStringList, 3> versions;
};

QString errorText(int e)
{
    switch (e) {
    case MainboardLineCounters::Refused: return ServiceStatus::tr("refused");
    case MainboardLineCounters::TimedOut: return ServiceStatus::tr("no reply");
    case MainboardLineCounters::Garbled: return ServiceStatus::tr("garbled reply");
    case MainboardLineCounters::WriteFailed: return ServiceStatus::tr("write failed");
    default: return ServiceStatus::tr("none");
    }
}

} // namespace

ServiceStatus::ServiceStatus(Panel *panel, QObject *parent)
    : PageLogic(panel, parent), poll_(new SeamTimer(kPollMs, true, this))
{
    connect(poll_, &SeamTimer::timeout, this, &ServiceStatus::refresh);
    for (int i = 0; i < Keyscan::kKeyCount; ++i)
        keyPresses_ << 0;
    attachIfReady();
}

ServiceStatus::~ServiceStatus()
{
    // The surface must not stay deaf to its keys when the page goes.
    if (keyTest_ && panel())
        panel()->surface()->setKeyTest(false);
    // Nor keep a test lamp lit.
    if (lamp_ >= 0)
        restoreLamps();
}

void ServiceStatus::attach()
{
    connect(panel()->surface(), &SurfaceInput::keyTested, this, &ServiceStatus::onKey);
    if (active_)
        refresh();
}

void ServiceStatus::setActive(bool on)
{
    TAVRIK_ASSERT_OWNER(this);
    if (on == active_)
        return;
    active_ = on;
    if (on) {
        refresh();
        poll_->start();
    } else {
        poll_->stop();
        setKeyTest(false);
    }
    emit activeChanged();
}

void ServiceStatus::setKeyTest(bool on)
{
    TAVRIK_ASSERT_OWNER(this);
    if (on == keyTest_)
        return;
    keyTest_ = on;
    lastKey_ = -1;
    for (QVariant &v : keyPresses_)
        v = 0;
    if (panel())
        panel()->surface()->setKeyTest(on);
    qCInfo(lcUi) << "service page: key test" << (on ? "on" : "off");
    emit keyTestChanged();
}

void ServiceStatus::onKey(int key)
{
    if (!keyTest_ || key < 0 || key >= keyPresses_.size())
        return;
    lastKey_ = key;
    keyPresses_[key] = keyPresses_[key].toInt() + 1;
    emit keyTestChanged();
}

void ServiceStatus::startLampTest()
{
    TAVRIK_ASSERT_OWNER(this);
    if (lamp_ < 0 && lines())
        lampStep(0);
}

void ServiceStatus::lampStep(int lamp)
{
    lamp_ = lamp < kLampCount ? lamp : -1;
    emit lampTestChanged();
    if (lamp_ < 0) {
        restoreLamps();
        return;
    }
    // Patterns 0..3 of the key LED controller, one at a time.
    onSystem([lamp](net &n) {
        n.setKeyLed(4, false);
        n.setKeyLed(5, false);
        n.setKeyLed(lamp, true);
    });
    TimeSeam::singleShot(kLampStepMs, this, [this, lamp] { lampStep(lamp + 1); });
}

void ServiceStatus::restoreLamps()
{
    // The panel keeps the key LEDs dark (patterns 4 and 5) outside the test.
    onSystem([](net &n) {
        n.setKeyLed(4, false);
        n.setKeyLed(5, false);
    });
}

void ServiceStatus::refresh()
{
    TAVRIK_ASSERT_OWNER(this);
    DeviceLines *l = lines();
    if (!l)
        return;
    readConverter();

    if (l->mainboard().pending() == 0) {
        l->mainboard().post(
            [](commandExecObject &o) {
                MainboardFigures f;
                if (zarvoMu *link = o.mainboardLink()) {
                    f.counters = link->lineCounters();
                    f.silent = link->boardSilent();
                }
                return f;
            },
            this,
            [this](const MainboardFigures &f) {
                const auto &c = f.counters;
                mainboard_ = QVariantMap{
                    {QStringLiteral("answering"), connected() && !f.silent},
                    {QStringLiteral("sent"), c[MainboardLineCounters::Sent]},
                    {QStringLiteral("acknowledged"), c[MainboardLineCounters::Acknowledged]},
                    {QStringLiteral("refused"), c[MainboardLineCounters::Refused]},
                    {QStringLiteral("timedOut"), c[MainboardLineCounters::TimedOut]},
                    {QStringLiteral("late"), c[MainboardLineCounters::Late]},
                    {QStringLiteral("garbled"), c[MainboardLineCounters::Garbled]},
                    {QStringLiteral("writeFailed"), c[MainboardLineCounters::WriteFailed]},
                    {QStringLiteral("lastError"), errorText(c.lastError)},
                    {QStringLiteral("lastErrorAt"),
                     c.lastErrorAtMs > 0 ? QDateTime::fromMSecsSinceEpoch(c.lastErrorAtMs).toString(QStringLiteral("HH:mm:ss"))
                                         : QString()},
                };
                emit updated();
            });
    }
    if (l->camera().pending() == 0) {
        l->camera().post(
            [](vekCameraObject &o) {
                CameraFigures f;
                for (int i = 0; i < 3; ++i) {
                    f.stats[static_cast<size_t>(i)] = o.lineStats(i);
                    f.versions[static_cast<size_t>(i)] = o.lastVersion(i);
                }
                return f;
            },
            this,
            [this](const CameraFigures &f) {
                cameras_.clear();
                for (int i = 0; i < 3; ++i) {
                    const auto &s = f.stats[static_cast<size_t>(i)];
                    const QStringList &v = f.versions[static_cast<size_t>(i)];
                    cameras_ << QVariantMap{
                        {QStringLiteral("online"), panel() && panel()->camOnline(i)},
                        {QStringLiteral("messages"), s.messages},
                        {QStringLiteral("timedOut"), s.timedOut},
                        {QStringLiteral("replies"), s.replies},
                        {QStringLiteral("p50"), s.p50Ms},
                        {QStringLiteral("p99"), s.p99Ms},
                        {QStringLiteral("model"), v.value(0)},
                        {QStringLiteral("version"), v.value(1)},
                    };
                }
                emit updated();
            });
    }
    if (l->system().pending() == 0) {
        l->system().post([](net &) { return readKernel(); }, this, [this](const KernelFigures &k) {
            QVariantMap s;
            Panel *p = panel();
            if (p) {
                s[QStringLiteral("address")] = p->ipAddress();
                s[QStringLiteral("mask")] = p->netmask();
                s[QStringLiteral("gateway")] = p->gateway();
                s[QStringLiteral("panelVersion")] = p->appVersion();
                s[QStringLiteral("mainboardVersion")] = p->mainboardVersion();
                if (KivoServ *k = p->kivoServ())
                    s[QStringLiteral("discovery")] = k->requestsSeen();
            }
            s[QStringLiteral("link")] = k.link;
            s[QStringLiteral("uptime")] = k.uptimeS >= 0 ? uptimeText(k.uptimeS) : QString();
            if (k.cpuTotal > 0 && cpuTotal_ >= 0 && k.cpuTotal > cpuTotal_)
                s[QStringLiteral("cpu")] = qBound<qint64>(0, 100 * (k.cpuBusy - cpuBusy_) / (k.cpuTotal - cpuTotal_), 100);
            cpuBusy_ = k.cpuBusy;
            cpuTotal_ = k.cpuTotal;
            if (k.memTotalKb > 0 && k.memAvailableKb >= 0)
                s[QStringLiteral("memory")] =
                    tr("%1 of %2 MB in use").arg((k.memTotalKb - k.memAvailableKb) / 1024).arg(k.memTotalKb / 1024);
            if (k.temperatureC > -1000)
                s[QStringLiteral("temperature")] = QString::number(k.temperatureC, 'f', 1);
            system_ = s;
            emit updated();
        });
    }
}

void ServiceStatus::readConverter()
{
    Tbar *t = panel() ? panel()->tbar() : nullptr;
    if (!t)
        return;
    // The poller's figures are atomics, read where they stand.
    converter_ = QVariantMap{
        {QStringLiteral("tbarRaw"), t->lastReading(0)},
        {QStringLiteral("tbar"), t->lastTbarOutput()},
        {QStringLiteral("joyX"), t->lastReading(1)},
        {QStringLiteral("joyY"), t->lastReading(2)},
        {QStringLiteral("zoom"), t->lastReading(3)},
        {QStringLiteral("lower"), t->currentLowerBound()},
        {QStringLiteral("upper"), t->currentUpperBound()},
        {QStringLiteral("joyMid"), t->currentJoystickMid()},
        {QStringLiteral("zoomMid"), t->currentZoomMid()},
    };
    emit updated();
}

QString ServiceStatus::uptimeText(qint64 seconds)
{
    const qint64 d = seconds / 86400;
    const QString hms = QStringLiteral("%1:%2:%3")
                            .arg((seconds / 3600) % 24, 2, 10, QLatin1Char('0'))
                            .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
                            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return d > 0 ? tr("%1 d %2").arg(d).arg(hms) : hms;
}

void ServiceStatus::writeSupportBundle()
{
    TAVRIK_ASSERT_OWNER(this);
    if (bundleBusy_ || !lines())
        return;
    bundleBusy_ = true;
    bundleMessage_ = tr("Writing the support bundle…");
    emit bundleChanged();
    // The figures as the page shows them now; the rest is read on the lane.
    const QJsonObject counters{{QStringLiteral("mainboard"), QJsonObject::fromVariantMap(mainboard_)},
                               {QStringLiteral("cameras"), QJsonArray::fromVariantList(cameras_)},
                               {QStringLiteral("converter"), QJsonObject::fromVariantMap(converter_)},
                               {QStringLiteral("system"), QJsonObject::fromVariantMap(system_)}};
    QByteArray versions;
    if (Panel *p = panel()) {
        versions += "panel " + p->appVersion().toUtf8() + "\nmainboard " + p->mainboardVersion().toUtf8() + "\n";
        for (int i = 0; i < cameras_.size(); ++i) {
            const QVariantMap c = cameras_.at(i).toMap();
            versions += QStringLiteral("camera %1 %2 %3\n")
                            .arg(i + 1)
                            .arg(c.value(QStringLiteral("model")).toString(), c.value(QStringLiteral("version")).toString())
                            .toUtf8();
        }
    }
    const SupportBundle::Entries extra{
        {QStringLiteral("versions.txt"), versions},
        {QStringLiteral("service.json"), QJsonDocument(counters).toJson(QJsonDocument::Indented)}};
    const QString settingsPath = settings() ? settings()->filePath() : PanelSettings::defaultPath();
    lines()->system().post(
        [settingsPath, extra](net &) {
            QString error;
            const QString file = SupportBundle::write(settingsPath, extra, &error);
            return qMakePair(file, error);
        },
        this, [this](const QPair<QString, QString> &r) {
            bundleBusy_ = false;
            bundleMessage_ = r.first.isEmpty() ? tr("The support bundle could not be written: %1").arg(r.second)
                                               : tr("Support bundle written: %1").arg(r.first.section(QLatin1Char('/'), -1));
            emit bundleChanged();
        });
}
