// tavrik-soak [--minutes N] [--seed S] [--time-scale N] [--every S] [--panel PATH] [--log FILE]
//             [--skip KINDS] [--host-network]
//
// The real panel process (-platform offscreen, its stall probe on) against
// the simulated unit for a long time, while the devices change failure
// modes at random and scripted keys, T-bar, joystick and rocker moves and
// the power button work the panel. Every few seconds one line: the panel's
// CPU, resident memory, open descriptors, threads and the longest stall of
// its interface thread. Between stretches of faults every device is made
// healthy again and the operations that must work then are checked: a T-bar
// move and a CUT reach the mainboard, the presence poll finds every camera
// and the tally reaches each and agrees with the board's program and
// preview, the joystick drives camera 1, discovery answers. Exit status 0
// only when nothing failed; the reason otherwise.
//
// Not a test: a run takes the better part of an hour. The panel, the
// simulated devices and the discovery traffic stay inside a private network
// namespace when the system allows one, so the fixed ports never meet a test
// of another checkout; otherwise the soak waits for the machine's port lock.
#include "bench/baselineprobe.h"
#include "sim/simcamera.h"
#include "sim/simconverter.h"
#include "sim/simkeys.h"
#include "sim/simmainboard.h"
#include "sim/simunit.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMetaEnum>
#include <QNetworkDatagram>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QUdpSocket>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;

const QByteArray kCutFrame = QByteArray::fromHex("0400C601CB");
const QByteArray kTallyPrefix = QByteArray::fromHex("81017E010A00");
const QByteArray kPowerInquiry = QByteArray::fromHex("81090400FF");
const QByteArray kPanTiltPrefix = QByteArray::fromHex("81010601");
const QByteArray kEthReq = QByteArray::fromHex("00000081") + QByteArray(6, '\0') + "ETH_REQ";
constexpr quint16 kDiscoveryPort = 5002;
constexpr int kEthReqReplySize = 48;

// Converter readings: beyond the T-bar's calibrated ends (so they read as
// the ends whatever the calibration did) and the rest positions SimUnit
// starts with.
constexpr int kTbarLow = 600;
constexpr int kTbarHigh = 2000;
constexpr int kJoyRest = 1240;
constexpr int kZoomRest = 1250;

// Failure thresholds.
constexpr double kStallFailMs = 1000;   // the interface thread's longest gap
constexpr double kProbeSilenceMs = 3000; // no probe report at all
constexpr int kFdGrowthMax = 4;
constexpr int kThreadGrowthMax = 2;
constexpr qint64 kRssGrowthMaxKb = 8 * 1024;

double msSince(Clock::time_point a, Clock::time_point b = Clock::now())
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// ------------------------------------------------------------ network

bool writeSmallFile(const char *path, const QByteArray &text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.constData(), size_t(text.size())) == ssize_t(text.size());
    ::close(fd);
    return ok;
}

// A network of this process's own: loopback only, nobody else's ports.
// Must run before any thread exists.
bool enterPrivateNetwork(QString *why)
{
    if (::unshare(CLONE_NEWNET) != 0) {
        const uid_t uid = ::getuid();
        const gid_t gid = ::getgid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) {
            *why = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        writeSmallFile("/proc/self/setgroups", "deny");
        if (!writeSmallFile("/proc/self/uid_map", QByteArray("0 ") + QByteArray::number(uid) + " 1")
            || !writeSmallFile("/proc/self/gid_map", QByteArray("0 ") + QByteArray::number(gid) + " 1")) {
            *why = QStringLiteral("cannot map the user into the namespace");
            return false;
        }
    }
    // A new network starts with its loopback down; no tool brings it up.
    const int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    struct ifreq ifr;
    std::memset(&ifr, 0, sizeof ifr);
    std::strncpy(ifr.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = s >= 0 && ::ioctl(s, SIOCGIFFLAGS, &ifr) == 0;
    if (up) {
        ifr.ifr_flags = short(ifr.ifr_flags | IFF_UP);
        up = ::ioctl(s, SIOCSIFFLAGS, &ifr) == 0;
    }
    if (s >= 0)
        ::close(s);
    if (!up)
        *why = QStringLiteral("cannot bring loopback up: ") + QString::fromLocal8Bit(std::strerror(errno));
    return up;
}

// ------------------------------------------------------------ /proc

struct ProcFigures
{
    double cpuSeconds = -1;
    qint64 rssKb = -1;
    int threads = -1;
    int fds = -1;
};

ProcFigures procFigures(qint64 pid)
{
    ProcFigures p;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray s = stat.readAll();
        const QList<QByteArray> w = s.mid(s.lastIndexOf(')') + 2).split(' ');
        if (w.size() > 12)
            p.cpuSeconds = double(w[11].toLongLong() + w[12].toLongLong()) / double(::sysconf(_SC_CLK_TCK));
    }
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                p.rssKb = line.mid(6).simplified().split(' ').value(0).toLongLong();
            else if (line.startsWith("Threads:"))
                p.threads = line.mid(8).trimmed().toInt();
        }
    }
    const QDir fd(QStringLiteral("/proc/%1/fd").arg(pid));
    if (fd.exists())
        p.fds = fd.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot).size();
    return p;
}

// ------------------------------------------------------------ machine noise


// ------------------------------------------------------------ the soak

class Soak : public QObject
{
public:
    struct Options
    {
        QString panel;
        double minutes = 60;
        quint32 seed = 1;
        int timeScale = 5;
        int everyS = 5;
        QString logPath;
        QStringList skip; // fault kinds left out
    };

    Soak(const Options &o, const QString &sysroot);
    int run();

private:
    struct Sample
    {
        double atS = 0;
        ProcFigures f;
    };
    struct Counts
    {
        int cuts = 0, autos = 0, speedKeys = 0, locks = 0, unlocks = 0, tbarMoves = 0, joyMoves = 0, zoomMoves = 0;
        int powerPresses = 0, mbModes = 0, camModes = 0, unplugs = 0, convModes = 0, floods = 0;
        qint64 datagrams = 0, replies = 0;
        int checks = 0;
        int samePgmPvw = 0;    // checks that found the board's program and preview equal
        int tallyDisagree = 0; // checks after which a camera's tally disagreed with the board
    };

    // Plumbing.
    bool failed() const { return !failure_.isEmpty(); }
    bool allowed(const char *kind) const { return !o_.skip.contains(QLatin1String(kind)); }
    // What the soak did, into the panel's log (when kept) between its lines.
    void note(const QString &what);
    void fail(const QString &why);
    void spin(int ms);
    bool waitFor(const std::function<bool()> &done, int timeoutMs);
    int rnd(int lo, int hi) { return lo + int(rng_.bounded(quint32(hi - lo + 1))); }
    double elapsedS() const { return msSince(start_) / 1000.0; }
    void readLog();
    void onProbe(double gapMs);
    void watchdog();
    void report();
    bool startPanel();

    // What the soak does.
    void chaos(int ms);
    void injectFault();
    void setMainboardMode(SimMainboard::FailureMode mode);
    void operate();
    void startFlood();
    void floodTick();
    bool recoverAndCheck();
    Sample checkpoint();
    bool judgeGrowth();

    // Device records (stamped on the simulation threads).
    int cutFrames() { std::lock_guard<std::mutex> g(lock_); return cutFrames_; }
    int tbarFrames() { std::lock_guard<std::mutex> g(lock_); return tbarFrames_; }

    Options o_;
    SimUnit unit_;
    QProcess panel_;
    QRandomGenerator rng_;
    BaselineProbe baseline_;
    Clock::time_point start_;
    QString failure_;
    QFile log_;
    QByteArray logBuf_;
    std::deque<QString> logTail_;
    bool watching_ = false; // stall and hang checks on (after start-up)

    // Probe figures.
    Clock::time_point lastProbe_;
    Clock::time_point lastWatchdog_;
    double stallInterval_ = 0;
    double stallMax_ = 0;
    int stallsOver100_ = 0;
    int machineStalls_ = 0;
    double machineMax_ = 0; // the soak's own idle thread's longest gap
    std::deque<std::pair<Clock::time_point, double>> baselineGaps_;
    ProcFigures lastFig_;
    Clock::time_point lastFigAt_;
    std::vector<Sample> samples_;
    std::vector<Sample> checkpoints_;
    std::vector<double> cpuPcts_;

    // Chaos state.
    std::array<bool, SimUnit::kCameras> camPlugged_{{true, true, true}};
    // A mode in which the board may leave a frame unanswered, and when the
    // board last left such a mode.
    bool mbMaySilence_ = false;
    Clock::time_point mbSilenceEnd_;
    bool convPlugged_ = true;
    int tbarReading_ = 20;
    Clock::time_point nextPower_;
    QUdpSocket flood_;
    QTimer floodTimer_;
    Clock::time_point floodEnd_;
    int floodPerTick_ = 0;
    Counts n_;

    std::mutex lock_;
    int cutFrames_ = 0;
    int tbarFrames_ = 0;
    std::array<std::atomic<int>, SimUnit::kCameras> tallies_{};
    std::array<std::atomic<int>, SimUnit::kCameras> inquiries_{};
    std::array<std::atomic<int>, SimUnit::kCameras> drives_{};
};

Soak::Soak(const Options &o, const QString &sysroot) : o_(o), unit_(sysroot), rng_(o.seed)
{
    connect(&unit_.mainboard(), &SimMainboard::frameReceived, &unit_.mainboard(), [this](const QByteArray &f) {
        std::lock_guard<std::mutex> g(lock_);
        if (f == kCutFrame)
            ++cutFrames_;
        else if (f.size() == 7 && f.startsWith(QByteArray::fromHex("0601C5")))
            ++tbarFrames_;
    }, Qt::DirectConnection);
    for (int i = 0; i < SimUnit::kCameras; ++i)
        connect(&unit_.camera(i), &SimCamera::messageReceived, &unit_.camera(i), [this, i](const QByteArray &m) {
            if (m.contains(kTallyPrefix))
                ++tallies_[size_t(i)];
            else if (m.contains(kPowerInquiry))
                ++inquiries_[size_t(i)];
            else if (m.contains(kPanTiltPrefix))
                ++drives_[size_t(i)];
        }, Qt::DirectConnection);
    flood_.bind(QHostAddress(QHostAddress::LocalHost), 0);
    connect(&flood_, &QUdpSocket::readyRead, this, [this] {
        while (flood_.hasPendingDatagrams()) {
            flood_.receiveDatagram();
            ++n_.replies;
        }
    });
    floodTimer_.setInterval(10);
    connect(&floodTimer_, &QTimer::timeout, this, &Soak::floodTick);
}

void Soak::fail(const QString &why)
{
    if (failure_.isEmpty())
        failure_ = QStringLiteral("%1 s: %2").arg(elapsedS(), 0, 'f', 1).arg(why);
}

void Soak::note(const QString &what)
{
    if (log_.isOpen())
        log_.write(QStringLiteral("=== soak %1 s: %2\n").arg(elapsedS(), 0, 'f', 1).arg(what).toLocal8Bit());
}

void Soak::spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool Soak::waitFor(const std::function<bool()> &done, int timeoutMs)
{
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (failed() || Clock::now() >= end)
            return false;
        spin(10);
    }
    return true;
}

void Soak::readLog()
{
    const QByteArray chunk = panel_.readAllStandardError();
    if (log_.isOpen())
        log_.write(chunk);
    logBuf_ += chunk;
    static const QByteArray probeText("stall probe: longest gap ");
    int nl;
    while ((nl = logBuf_.indexOf('\n')) >= 0) {
        const QByteArray line = logBuf_.left(nl);
        logBuf_.remove(0, nl + 1);
        if (line.isEmpty())
            continue;
        const int at = line.indexOf(probeText);
        if (at >= 0) {
            onProbe(line.mid(at + probeText.size()).split(' ').value(0).toDouble());
            continue; // a line a second: not worth the tail
        }
        logTail_.push_back(QString::fromLocal8Bit(line));
        if (logTail_.size() > 60)
            logTail_.pop_front();
    }
    // A line without its end for ever must not grow without bound.
    if (logBuf_.size() > 1 << 20)
        logBuf_.clear();
}

void Soak::onProbe(double gapMs)
{
    lastProbe_ = Clock::now();
    if (!watching_)
        return;
    stallInterval_ = std::max(stallInterval_, gapMs);
    stallMax_ = std::max(stallMax_, gapMs);
    if (gapMs > 100)
        ++stallsOver100_;
    if (gapMs <= kStallFailMs)
        return;
    // The report covers the last second; the machine's own gap over the
    // last three says whether everyone stood still.
    double machine = 0;
    for (const auto &g : baselineGaps_)
        if (msSince(g.first) < 3000)
            machine = std::max(machine, g.second);
    if (machine >= gapMs / 2) {
        ++machineStalls_;
        std::printf("  note: interface-thread gap %.0f ms, but the machine itself stood still %.0f ms: not counted\n",
                    gapMs, machine);
        return;
    }
    fail(QStringLiteral("HANG: the interface thread's event loop stalled %1 ms (the machine's own longest gap %2 ms)")
             .arg(gapMs, 0, 'f', 0)
             .arg(machine, 0, 'f', 0));
}

// Every 250 ms: the machine's noise, a silent probe, a dead panel.
void Soak::watchdog()
{
    const double lag = msSince(lastWatchdog_);
    lastWatchdog_ = Clock::now();
    baselineGaps_.push_back({Clock::now(), baseline_.take()});
    if (watching_)
        machineMax_ = std::max(machineMax_, baselineGaps_.back().second);
    while (baselineGaps_.size() > 40)
        baselineGaps_.pop_front();
    readLog();
    if (!watching_ || failed())
        return;
    // Our own loop held up (and so our reading of the log): no judgement.
    if (lag > 750) {
        lastProbe_ = Clock::now();
        return;
    }
    const double silent = msSince(lastProbe_);
    if (silent > kProbeSilenceMs) {
        double machine = 0;
        for (const auto &g : baselineGaps_)
            machine = std::max(machine, g.second);
        if (machine > 1000) {
            ++machineStalls_;
            lastProbe_ = Clock::now();
            return;
        }
        fail(QStringLiteral("HANG: no stall-probe report from the panel for %1 ms").arg(silent, 0, 'f', 0));
    }
}

void Soak::report()
{
    if (panel_.state() != QProcess::Running)
        return;
    const ProcFigures f = procFigures(panel_.processId());
    const auto now = Clock::now();
    double cpu = -1;
    if (lastFig_.cpuSeconds >= 0 && f.cpuSeconds >= 0)
        cpu = 100.0 * (f.cpuSeconds - lastFig_.cpuSeconds) / (msSince(lastFigAt_, now) / 1000.0);
    lastFig_ = f;
    lastFigAt_ = now;
    if (!watching_ || cpu < 0)
        return;
    cpuPcts_.push_back(cpu);
    samples_.push_back({elapsedS(), f});
    std::printf("%7.0f s  cpu %5.1f %%  rss %6.1f MB  fds %3d  threads %2d  stall %6.1f ms (max %6.1f)  "
                "ops %d/%d/%d  faults %d/%d/%d  checks %d\n",
                elapsedS(), cpu, double(f.rssKb) / 1024.0, f.fds, f.threads, stallInterval_, stallMax_,
                n_.cuts + n_.autos, n_.tbarMoves, n_.joyMoves, n_.mbModes, n_.camModes, n_.convModes, n_.checks);
    std::fflush(stdout);
    stallInterval_ = 0;
}

bool Soak::startPanel()
{
    QProcessEnvironment env = unit_.panelEnvironment(QProcessEnvironment::systemEnvironment());
    env.insert(QStringLiteral("TAVRIK_STALL_PROBE"), QStringLiteral("1"));
    env.insert(QStringLiteral("TAVRIK_TIME_SCALE"), QString::number(o_.timeScale));
    env.remove(QStringLiteral("TAVRIK_LISTEN_ADDRESS"));
    panel_.setProcessEnvironment(env);
    connect(&panel_, &QProcess::readyReadStandardError, this, &Soak::readLog);
    connect(&panel_, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            [this](int code, QProcess::ExitStatus st) {
                readLog();
                fail(st == QProcess::CrashExit ? QStringLiteral("CRASH: the panel died (%1)").arg(panel_.errorString())
                                               : QStringLiteral("CRASH: the panel exited with status %1").arg(code));
            });
    if (!o_.logPath.isEmpty()) {
        log_.setFileName(o_.logPath);
        if (!log_.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::fprintf(stderr, "cannot write %s\n", qPrintable(o_.logPath));
    }
    panel_.start(o_.panel, {QStringLiteral("-platform"), QStringLiteral("offscreen")});
    if (!panel_.waitForStarted(10000)) {
        fail(QStringLiteral("cannot start %1: %2").arg(o_.panel, panel_.errorString()));
        return false;
    }
    return true;
}

// ------------------------------------------------------------ chaos

void Soak::chaos(int ms)
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    auto nextFault = Clock::now() + std::chrono::milliseconds(rnd(300, 2500));
    auto nextOp = Clock::now() + std::chrono::milliseconds(rnd(100, 600));
    while (Clock::now() < end && !failed()) {
        if (Clock::now() >= nextFault) {
            injectFault();
            nextFault = Clock::now() + std::chrono::milliseconds(rnd(1000, 6000));
        }
        if (Clock::now() >= nextOp) {
            operate();
            nextOp = Clock::now() + std::chrono::milliseconds(rnd(120, 900));
        }
        if (Clock::now() >= nextPower_ && allowed("power")) {
            // The shutdown prompt: nothing outside the screen can close it,
            // so it comes seldom; the power line is read every 150 ms.
            note(QStringLiteral("power button pressed"));
            unit_.setPowerButton(true);
            spin(rnd(200, 600));
            unit_.setPowerButton(false);
            ++n_.powerPresses;
            nextPower_ = Clock::now() + std::chrono::seconds(rnd(120, 420));
        }
        spin(20);
    }
}

void Soak::injectFault()
{
    const int what = rnd(0, 99);
    if (what < 35) {
        if (!allowed("mainboard"))
            return;
        const QMetaEnum e = QMetaEnum::fromType<SimMainboard::FailureMode>();
        auto mode = SimMainboard::FailureMode(e.value(rnd(0, e.keyCount() - 1)));
        // A mode left out by name (--skip NoAnswer) gives way to Normal.
        if (!allowed(e.valueToKey(mode)))
            mode = SimMainboard::Normal;
        SimMainboard &mb = unit_.mainboard();
        mb.setReplyDelay(rnd(100, 1500));
        mb.setSplitReply(rnd(1, 3), rnd(5, 80));
        static const quint8 acks[] = {0x80, 0x20, 0x40, 0x10, 0x00, 0xFF, 0x81};
        mb.setAckStatus(acks[rnd(0, 6)]);
        static const SimMainboard::FailureMode early[] = {SimMainboard::CorruptChecksum, SimMainboard::Garbage,
                                                          SimMainboard::NoAnswer, SimMainboard::ReportBusy};
        const SimMainboard::FailureMode first = early[rnd(0, 3)];
        mb.setEarlyMode(allowed(e.valueToKey(first)) ? first : SimMainboard::CorruptChecksum);
        mb.setRandomSeed(rng_.generate());
        setMainboardMode(mode);
        note(QStringLiteral("mainboard %1").arg(QLatin1String(e.valueToKey(mode))));
        ++n_.mbModes;
    } else if (what < 70) {
        const int cam = rnd(0, SimUnit::kCameras - 1);
        SimCamera &c = unit_.camera(cam);
        const int m = rnd(0, 6);
        if (!allowed(m < 5 ? "camera-modes" : "camera-unplug"))
            return;
        if (m == 5 && camPlugged_[size_t(cam)]) {
            note(QStringLiteral("camera %1 unplugged").arg(cam + 1));
            c.close();
            camPlugged_[size_t(cam)] = false;
            ++n_.unplugs;
        } else if (m == 6 && !camPlugged_[size_t(cam)]) {
            camPlugged_[size_t(cam)] = c.open();
            note(QStringLiteral("camera %1 plugged in").arg(cam + 1));
        } else if (m < 5) {
            note(QStringLiteral("camera %1 %2").arg(cam + 1).arg(
                QLatin1String(QMetaEnum::fromType<SimCamera::FailureMode>().valueToKey(m))));
            c.setLateDelay(rnd(100, 1200));
            c.setSplitGap(rnd(5, 60));
            c.setFailureMode(SimCamera::FailureMode(m));
        }
        ++n_.camModes;
    } else if (what < 88) {
        SimConverter &cv = unit_.converter();
        const int m = rnd(0, 7);
        if (!allowed(m < 6 || (m == 7 && convPlugged_) ? "converter-modes" : "converter-unplug"))
            return;
        if (m == 6 && convPlugged_) {
            note(QStringLiteral("converter unplugged"));
            cv.close();
            convPlugged_ = false;
        } else if (m == 7) {
            if (!convPlugged_) {
                convPlugged_ = cv.open();
                note(QStringLiteral("converter plugged in"));
            } else {
                const int reads = rnd(1, 20);
                cv.failNextReads(reads);
                note(QStringLiteral("converter fails the next %1 reads").arg(reads));
            }
        } else if (m < 6) {
            cv.setFailureMode(SimConverter::FailureMode(m));
            note(QStringLiteral("converter %1").arg(
                QLatin1String(QMetaEnum::fromType<SimConverter::FailureMode>().valueToKey(m))));
        }
        ++n_.convModes;
    } else if (allowed("flood")) {
        startFlood();
    }
}

void Soak::setMainboardMode(SimMainboard::FailureMode mode)
{
    SimMainboard &mb = unit_.mainboard();
    if (mbMaySilence_)
        mbSilenceEnd_ = Clock::now();
    mbMaySilence_ = mode == SimMainboard::NoAnswer || mode == SimMainboard::LateAnswer
                    || (mode == SimMainboard::AnswerOnThirdRequest && mb.earlyMode() == SimMainboard::NoAnswer);
    mb.setFailureMode(mode);
}

void Soak::operate()
{
    SimKeys &keys = unit_.keys();
    SimConverter &cv = unit_.converter();
    const int what = rnd(0, 99);
    if (what < 18) {
        keys.tap(SimKeys::Cut, rnd(60, 200));
        ++n_.cuts;
    } else if (what < 26) {
        keys.tap(SimKeys::Auto, rnd(60, 200));
        ++n_.autos;
    } else if (what < 36) {
        keys.tap(rnd(SimKeys::Fast, SimKeys::Slow), rnd(60, 200));
        ++n_.speedKeys;
    } else if (what < 40) {
        keys.tap(SimKeys::Lock, rnd(60, 200));
        ++n_.locks;
    } else if (what < 47) {
        keys.tap(SimKeys::Unlock, rnd(60, 200));
        ++n_.unlocks;
    } else if (what < 72) {
        // Mostly across the travel, sometimes to an end (a transition).
        const int r = rnd(0, 9);
        tbarReading_ = r < 2 ? kTbarLow : r < 4 ? kTbarHigh : rnd(kTbarLow, kTbarHigh);
        cv.setReading(SimConverter::TbarInput, tbarReading_);
        ++n_.tbarMoves;
    } else if (what < 90) {
        const bool rest = rnd(0, 2) == 0;
        cv.setReading(SimConverter::JoystickXInput, rest ? kJoyRest : rnd(0, 2047));
        cv.setReading(SimConverter::JoystickYInput, rest ? kJoyRest : rnd(0, 2047));
        ++n_.joyMoves;
    } else {
        cv.setReading(SimConverter::ZoomInput, rnd(0, 2) == 0 ? kZoomRest : rnd(0, 2047));
        ++n_.zoomMoves;
    }
}

// Discovery traffic at a bounded rate, to 127.0.0.1:5002 only: requests it
// answers, requests for another panel, and bytes that are no request.
void Soak::startFlood()
{
    if (floodTimer_.isActive())
        return;
    floodPerTick_ = rnd(2, 20); // 200..2000 datagrams a second
    floodEnd_ = Clock::now() + std::chrono::milliseconds(rnd(1000, 5000));
    floodTimer_.start();
    note(QStringLiteral("discovery flood, %1 datagrams a second").arg(floodPerTick_ * 100));
    ++n_.floods;
}

void Soak::floodTick()
{
    if (Clock::now() >= floodEnd_) {
        floodTimer_.stop();
        return;
    }
    for (int i = 0; i < floodPerTick_; ++i) {
        QByteArray d;
        switch (rnd(0, 4)) {
        case 0: case 1: d = kEthReq; break;
        case 2: {
            d = QByteArray::fromHex("00000081");
            for (int b = 0; b < 6; ++b)
                d += char(rnd(0, 255));
            d += "GET_MODEL";
            if (rnd(0, 1))
                d += "_NAME";
            break;
        }
        default:
            d.resize(rnd(0, 1400));
            for (char &c : d)
                c = char(rnd(0, 255));
            break;
        }
        flood_.writeDatagram(d, QHostAddress(QHostAddress::LocalHost), kDiscoveryPort);
        ++n_.datagrams;
    }
}

// ------------------------------------------------------------ recovery

bool Soak::recoverAndCheck()
{
    SimMainboard &mb = unit_.mainboard();
    SimConverter &cv = unit_.converter();
    SimKeys &keys = unit_.keys();
    floodTimer_.stop();
    setMainboardMode(SimMainboard::Normal);
    const int framesAtRecovery = mb.counters().frames;
    for (int i = 0; i < SimUnit::kCameras; ++i) {
        unit_.camera(i).setFailureMode(SimCamera::Normal);
        if (!camPlugged_[size_t(i)])
            camPlugged_[size_t(i)] = unit_.camera(i).open();
        if (!camPlugged_[size_t(i)]) {
            fail(QStringLiteral("simulated camera %1 cannot open its line again").arg(i + 1));
            return false;
        }
    }
    cv.setFailureMode(SimConverter::Healthy);
    if (!convPlugged_)
        convPlugged_ = cv.open();
    cv.setReading(SimConverter::JoystickXInput, kJoyRest);
    cv.setReading(SimConverter::JoystickYInput, kJoyRest);
    cv.setReading(SimConverter::ZoomInput, kZoomRest);
    keys.releaseAll();
    unit_.setPowerButton(false);
    note(QStringLiteral("every device healthy again; checks follow"));
    // What was under way finishes against healthy devices. An exchange
    // that began while the board was silent waits out its retries (a lamp
    // write 12 s); the panel sends nothing new before it ends.
    const double sinceSilence = msSince(mbSilenceEnd_);
    if (sinceSilence < 12500)
        waitFor([&] { return mb.counters().frames > framesAtRecovery; }, int(12500 - sinceSilence));
    spin(1500);
    keys.tap(SimKeys::Unlock, 120);
    spin(300);
    const QString when = QStringLiteral(" after every device recovered");

    // The T-bar: a move reaches the board, and the lever back at its lower
    // end ends the transition there (and frees the mainboard for the CUT).
    const int mid = std::abs(tbarReading_ - 1100) > std::abs(tbarReading_ - 1350) ? 1100 : 1350;
    const int tbarSent = tbarFrames();
    cv.setReading(SimConverter::TbarInput, tbarReading_ = mid);
    if (!waitFor([&] { return tbarFrames() > tbarSent && mb.tbar() > 0 && mb.tbar() < 1023; }, 5000)) {
        fail(QStringLiteral("LOST: a T-bar move (reading %1) did not reach the mainboard in 5 s%2 (board's T-bar %3)")
                 .arg(mid).arg(when).arg(mb.tbar()));
        return false;
    }
    cv.setReading(SimConverter::TbarInput, tbarReading_ = kTbarLow);
    if (!waitFor([&] { return mb.tbar() == 0; }, 5000)) {
        fail(QStringLiteral("LOST: the T-bar at its lower end did not reach the mainboard in 5 s%1 (board's T-bar %2)")
                 .arg(when).arg(mb.tbar()));
        return false;
    }
    const auto rest = Clock::now();

    // The polls restart once the lever rests: every camera is asked again.
    std::array<int, SimUnit::kCameras> asked{};
    for (int i = 0; i < SimUnit::kCameras; ++i)
        asked[size_t(i)] = inquiries_[size_t(i)];
    const int pollWaitMs = (10000 + 4000) / o_.timeScale + 8000;
    for (int i = 0; i < SimUnit::kCameras; ++i) {
        const int left = std::max(0, pollWaitMs - int(msSince(rest)));
        if (!waitFor([&] { return inquiries_[size_t(i)] > asked[size_t(i)]; }, left)) {
            fail(QStringLiteral("LOST: the presence poll did not ask camera %1 within %2 s of the T-bar's rest%3")
                     .arg(i + 1).arg(pollWaitMs / 1000).arg(when));
            return false;
        }
    }
    spin(300); // the last answer back on the interface thread

    // CUT: the key's frame reaches the board and the board cuts. A board
    // whose program and preview hold the same source cuts without a visible
    // change, so the transition count is what is checked.
    const int program = mb.program();
    if (program == mb.preview()) {
        ++n_.samePgmPvw;
        note(QStringLiteral("the board's program and preview are both %1").arg(program));
    }
    const int transitions = mb.counters().transitions;
    const int cuts = cutFrames();
    std::array<int, SimUnit::kCameras> tallies{};
    for (int i = 0; i < SimUnit::kCameras; ++i)
        tallies[size_t(i)] = tallies_[size_t(i)];
    keys.tap(SimKeys::Cut, 150);
    if (!waitFor([&] { return cutFrames() > cuts && mb.counters().transitions > transitions; }, 5000)) {
        fail(QStringLiteral("LOST: a CUT key did not reach the mainboard as 04 00 C6 01 CB and cut in 5 s%1 "
                            "(CUT frames %2 -> %3, program %4 -> %5)")
                 .arg(when).arg(cuts).arg(cutFrames()).arg(program).arg(mb.program()));
        return false;
    }
    ++n_.cuts;
    // Every camera is online again: the CUT's tally reaches each.
    for (int i = 0; i < SimUnit::kCameras; ++i) {
        if (!waitFor([&] { return tallies_[size_t(i)] > tallies[size_t(i)]; }, 5000)) {
            fail(QStringLiteral("LOST: no tally command reached camera %1 in 5 s after the CUT%2 (its presence "
                                "inquiry was answered)")
                     .arg(i + 1).arg(when));
            return false;
        }
    }

    // The cameras' tally against the board's program and preview: the
    // panel reads the buses back after every transition, so whatever a
    // fault made the two disagree on is mended by now.
    auto tallyDisagrees = [&]() -> QString {
        const int pgm = mb.program(), pvw = mb.preview();
        for (int i = 0; i < SimUnit::kCameras; ++i) {
            const SimCamera::State st = unit_.camera(i).state();
            const bool red = pgm == i + 1, green = !red && pvw == i + 1;
            if (st.redTally != red || st.greenTally != green)
                return QStringLiteral("camera %1 tally %2 but the board has program %3, preview %4")
                    .arg(i + 1).arg(st.redTally ? "red" : st.greenTally ? "green" : "off").arg(pgm).arg(pvw);
        }
        return QString();
    };
    if (!waitFor([&] { return tallyDisagrees().isEmpty(); }, 3000)) {
        ++n_.tallyDisagree;
        fail(QStringLiteral("TALLY: %1, 3 s after the CUT%2").arg(tallyDisagrees(), when));
        return false;
    }

    // The joystick drives the camera it works (camera 1 until a page picks another).
    const int drives = drives_[0];
    cv.setReading(SimConverter::JoystickXInput, kJoyRest + 600);
    const bool driven = waitFor([&] { return drives_[0] > drives; }, 5000);
    cv.setReading(SimConverter::JoystickXInput, kJoyRest);
    if (!driven) {
        fail(QStringLiteral("LOST: a joystick move did not drive camera 1 in 5 s%1").arg(when));
        return false;
    }

    // Discovery answers after whatever flood there was.
    QUdpSocket probe;
    probe.bind(QHostAddress(QHostAddress::LocalHost), 0);
    bool answered = false;
    for (int attempt = 0; attempt < 3 && !answered; ++attempt) {
        probe.writeDatagram(kEthReq, QHostAddress(QHostAddress::LocalHost), kDiscoveryPort);
        answered = waitFor([&] {
            while (probe.hasPendingDatagrams())
                if (probe.receiveDatagram().data().size() == kEthReqReplySize)
                    return true;
            return false;
        }, 1000);
    }
    if (!answered) {
        fail(QStringLiteral("LOST: discovery (ETH_REQ to 127.0.0.1:5002) unanswered three times%1").arg(when));
        return false;
    }
    ++n_.checks;
    note(QStringLiteral("checks passed"));
    checkpoints_.push_back(checkpoint());
    return true;
}

// The panel's figures with every device healthy and at rest: the least of
// a few readings, so a shell command the panel is running at that moment
// (its pipes, its thread) does not count.
Soak::Sample Soak::checkpoint()
{
    Sample s;
    s.atS = elapsedS();
    s.f.fds = s.f.threads = std::numeric_limits<int>::max();
    s.f.rssKb = -1;
    for (int i = 0; i < 5; ++i) {
        const ProcFigures f = procFigures(panel_.processId());
        s.f.fds = std::min(s.f.fds, f.fds);
        s.f.threads = std::min(s.f.threads, f.threads);
        s.f.rssKb = std::max(s.f.rssKb, f.rssKb);
        spin(150);
    }
    return s;
}

// Growth: the checkpoints of the first stretch after warm-up against the
// last ones.
bool Soak::judgeGrowth()
{
    const double warmS = std::min(300.0, o_.minutes * 60.0 * 0.25);
    std::vector<Sample> after;
    for (const Sample &s : checkpoints_)
        if (s.atS >= warmS)
            after.push_back(s);
    if (after.size() < 6) {
        std::printf("growth: only %zu checkpoints after the %.0f s warm-up; too few to judge (run longer)\n",
                    after.size(), warmS);
        return true;
    }
    auto median = [](std::vector<qint64> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const std::vector<Sample> first(after.begin(), after.begin() + 3);
    const std::vector<Sample> last(after.end() - 3, after.end());
    auto pick = [&](const std::vector<Sample> &w, qint64 ProcFigures::*field) {
        std::vector<qint64> v;
        for (const Sample &s : w)
            v.push_back(s.f.*field);
        return median(v);
    };
    auto pickInt = [&](const std::vector<Sample> &w, int ProcFigures::*field) {
        std::vector<qint64> v;
        for (const Sample &s : w)
            v.push_back(s.f.*field);
        return median(v);
    };
    const qint64 rss0 = pick(first, &ProcFigures::rssKb), rss1 = pick(last, &ProcFigures::rssKb);
    const qint64 fd0 = pickInt(first, &ProcFigures::fds), fd1 = pickInt(last, &ProcFigures::fds);
    const qint64 th0 = pickInt(first, &ProcFigures::threads), th1 = pickInt(last, &ProcFigures::threads);
    const double span = last.back().atS - first.front().atS;
    std::printf("growth from %.0f s to %.0f s (checkpoints, devices healthy): rss %.1f -> %.1f MB "
                "(%+.1f MB, %+.1f MB/h), fds %lld -> %lld, threads %lld -> %lld\n",
                first.front().atS, last.back().atS, double(rss0) / 1024, double(rss1) / 1024,
                double(rss1 - rss0) / 1024, span > 0 ? double(rss1 - rss0) / 1024 * 3600 / span : 0.0,
                static_cast<long long>(fd0), static_cast<long long>(fd1), static_cast<long long>(th0),
                static_cast<long long>(th1));
    if (fd1 - fd0 > kFdGrowthMax)
        fail(QStringLiteral("GROWTH: open descriptors %1 -> %2 (allowed +%3)").arg(fd0).arg(fd1).arg(kFdGrowthMax));
    else if (th1 - th0 > kThreadGrowthMax)
        fail(QStringLiteral("GROWTH: threads %1 -> %2 (allowed +%3)").arg(th0).arg(th1).arg(kThreadGrowthMax));
    else if (rss1 - rss0 > kRssGrowthMaxKb)
        fail(QStringLiteral("GROWTH: resident memory %1 -> %2 MB (allowed +%3 MB)")
                 .arg(double(rss0) / 1024, 0, 'f', 1)
                 .arg(double(rss1) / 1024, 0, 'f', 1)
                 .arg(kRssGrowthMaxKb / 1024));
    return !failed();
}

int Soak::run()
{
    if (!unit_.isUp()) {
        std::fprintf(stderr, "FAIL: the simulated unit did not come up: %s\n", qPrintable(unit_.problems()));
        return 2;
    }
    start_ = lastProbe_ = lastWatchdog_ = lastFigAt_ = Clock::now();
    nextPower_ = Clock::now() + std::chrono::seconds(rnd(60, 240));
    QTimer dog;
    connect(&dog, &QTimer::timeout, this, &Soak::watchdog);
    dog.start(250);
    QTimer every;
    connect(&every, &QTimer::timeout, this, &Soak::report);
    every.start(o_.everyS * 1000);

    const auto end = Clock::now() + std::chrono::milliseconds(qint64(o_.minutes * 60000));
    if (startPanel()) {
        // Start-up done once a CUT cuts (the key scanner exists from then).
        const bool up = waitFor([&] {
            const int before = cutFrames();
            unit_.keys().tap(SimKeys::Cut, 100);
            return waitFor([&] { return cutFrames() > before; }, 1000);
        }, 120000);
        if (!up && !failed())
            fail(QStringLiteral("the panel never cut within 2 minutes of its start"));
        if (!failed()) {
            std::printf("panel up and cutting after %.1f s (pid %lld); soaking for %.0f min, seed %u, time scale %d%s\n",
                        elapsedS(), panel_.processId(), o_.minutes, o_.seed, o_.timeScale,
                        o_.skip.isEmpty() ? "" : qPrintable(QStringLiteral(", without ") + o_.skip.join(QLatin1Char(','))));
            std::fflush(stdout);
            spin(1000);
            lastProbe_ = Clock::now();
            watching_ = true;
            recoverAndCheck();
        }
    }
    while (!failed() && Clock::now() < end) {
        const int left = int(std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count());
        chaos(std::min(left, rnd(15000, 40000)));
        if (!failed())
            recoverAndCheck();
    }
    report();
    if (!failed())
        judgeGrowth();
    watching_ = false;

    double cpuMean = 0;
    for (double c : cpuPcts_)
        cpuMean += c;
    cpuMean = cpuPcts_.empty() ? -1 : cpuMean / double(cpuPcts_.size());
    std::printf("\n%.1f min: %d CUT + %d AUTO keys, %d speed keys, %d locks / %d unlocks, %d T-bar, %d joystick, "
                "%d rocker moves, %d power-button presses\n",
                elapsedS() / 60, n_.cuts, n_.autos, n_.speedKeys, n_.locks, n_.unlocks, n_.tbarMoves, n_.joyMoves,
                n_.zoomMoves, n_.powerPresses);
    std::printf("faults: %d mainboard modes, %d camera modes (%d unplugs), %d converter modes, %d discovery floods "
                "(%lld datagrams, %lld replies); %d recovery checks passed\n",
                n_.mbModes, n_.camModes, n_.unplugs, n_.convModes, n_.floods, static_cast<long long>(n_.datagrams),
                static_cast<long long>(n_.replies), n_.checks);
    std::printf("%d checks found a camera's tally disagreeing with the board's program and preview; %d found "
                "the board's program and preview equal\n",
                n_.tallyDisagree, n_.samePgmPvw);
    std::printf("panel: mean cpu %.1f %% of one core; longest interface-thread gap %.1f ms (tick 5 ms; the soak's "
                "own idle thread: %.1f ms), %d reports over 100 ms, %d machine-wide stalls not counted\n",
                cpuMean, stallMax_, machineMax_, stallsOver100_, machineStalls_);
    if (!samples_.empty())
        std::printf("panel: rss %.1f -> %.1f MB, fds %d -> %d, threads %d -> %d (first and last report)\n",
                    double(samples_.front().f.rssKb) / 1024, double(samples_.back().f.rssKb) / 1024,
                    samples_.front().f.fds, samples_.back().f.fds, samples_.front().f.threads,
                    samples_.back().f.threads);
    const bool ok = !failed();
    if (!ok) {
        std::printf("\nFAIL at %s\n", qPrintable(failure_));
        std::printf("last lines of the panel's log:\n");
        for (const QString &l : logTail_)
            std::printf("  | %s\n", qPrintable(l));
    } else {
        std::printf("\nPASS\n");
    }
    std::fflush(stdout);
    panel_.disconnect(this);
    panel_.terminate();
    if (!panel_.waitForFinished(10000)) {
        panel_.kill();
        panel_.waitForFinished(3000);
    }
    return ok ? 0 : 1;
}
} // namespace

int main(int argc, char *argv[])
{
    // Before any thread: a network namespace is only for a single thread.
    bool hostNetwork = false;
    for (int i = 1; i < argc; ++i)
        hostNetwork = hostNetwork || std::strcmp(argv[i], "--host-network") == 0;
    QString why;
    const bool privateNet = !hostNetwork && enterPrivateNetwork(&why);

    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The panel against a misbehaving simulated unit for a long time."));
    parser.addHelpOption();
    const QCommandLineOption minutesOpt(QStringLiteral("minutes"), QStringLiteral("How long (default 60)."),
                                        QStringLiteral("n"), QStringLiteral("60"));
    const QCommandLineOption seedOpt(QStringLiteral("seed"), QStringLiteral("Random seed (default: the clock)."),
                                     QStringLiteral("s"));
    const QCommandLineOption scaleOpt(QStringLiteral("time-scale"),
                                      QStringLiteral("TAVRIK_TIME_SCALE for the panel (default 5)."),
                                      QStringLiteral("n"), QStringLiteral("5"));
    const QCommandLineOption everyOpt(QStringLiteral("every"), QStringLiteral("Seconds between reports (default 5)."),
                                      QStringLiteral("s"), QStringLiteral("5"));
    const QCommandLineOption panelOpt(QStringLiteral("panel"), QStringLiteral("The panel program."),
                                      QStringLiteral("path"),
                                      QCoreApplication::applicationDirPath() + QStringLiteral("/../app/tavrik"));
    const QCommandLineOption logOpt(QStringLiteral("log"), QStringLiteral("Keep the panel's whole log in this file."),
                                    QStringLiteral("file"));
    const QCommandLineOption skipOpt(QStringLiteral("skip"),
                                     QStringLiteral("Fault kinds to leave out, comma-separated: mainboard, camera-modes, "
                                                    "camera-unplug, converter-modes, converter-unplug, flood, power, "
                                                    "or a mainboard mode by name (NoAnswer, LateAnswer, ...)."),
                                     QStringLiteral("kinds"));
    const QCommandLineOption hostOpt(QStringLiteral("host-network"),
                                     QStringLiteral("Use the machine's loopback (then the soak waits for "
                                                    "/tmp/tavrik-ports.lock)."));
    parser.addOptions({minutesOpt, seedOpt, scaleOpt, everyOpt, panelOpt, logOpt, skipOpt, hostOpt});
    parser.process(app);

    Soak::Options o;
    o.panel = parser.value(panelOpt);
    o.minutes = std::max(0.5, parser.value(minutesOpt).toDouble());
    o.seed = parser.isSet(seedOpt) ? parser.value(seedOpt).toUInt() : quint32(QDateTime::currentMSecsSinceEpoch());
    o.timeScale = std::clamp(parser.value(scaleOpt).toInt(), 1, 50);
    o.everyS = std::clamp(parser.value(everyOpt).toInt(), 1, 600);
    o.logPath = parser.value(logOpt);
    o.skip = parser.value(skipOpt).split(QLatin1Char(','), Qt::SkipEmptyParts);

    int portLock = -1;
    if (privateNet) {
        std::printf("private network namespace: ports 5002 and 20000 are the soak's own\n");
    } else {
        if (!hostNetwork)
            std::printf("no private network (%s): ", qPrintable(why));
        std::printf("waiting for /tmp/tavrik-ports.lock (the fixed ports are shared with the tests)\n");
        std::fflush(stdout);
        portLock = ::open("/tmp/tavrik-ports.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (portLock < 0 || ::flock(portLock, LOCK_EX) != 0) {
            std::fprintf(stderr, "cannot take /tmp/tavrik-ports.lock\n");
            return 2;
        }
    }
    std::fflush(stdout);

    QTemporaryDir sysroot(QDir::tempPath() + QStringLiteral("/tavrik-soak-XXXXXX"));
    if (!sysroot.isValid()) {
        std::fprintf(stderr, "cannot create a temporary sysroot\n");
        return 2;
    }
    int rc;
    {
        Soak soak(o, sysroot.path());
        rc = soak.run();
    }
    if (portLock >= 0)
        ::close(portLock);
    return rc;
}
