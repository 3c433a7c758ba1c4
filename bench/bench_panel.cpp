// bench_panel [--panel PATH] [--presses N] [--tbar N] [--idle S] [--log DIR] [--no-gpio-chip] [--still-meter]
//             [--frames N]
//
// The real panel process (-platform offscreen) against the simulated unit,
// timed from outside as an operator would feel it:
// - CUT key marker -> CUT frame at the mainboard, with every camera
//   answering and with all three silent (the presence poll then waits out
//   its time-outs on the camera line);
// - the longest stall of the interface thread's event loop over those runs,
//   from the panel's own probe (TAVRIK_STALL_PROBE=1);
// - T-bar reading at the converter -> writeTbar frame at the mainboard;
// - process start -> "home page shown";
// - idle CPU and resident memory of the panel with its interface running;
// - frame times of the panel's own software renderer (its probe) while it
//   cuts, follows the T-bar, receives meter frames and opens the shutdown
//   prompt; and, in this process through the page rig, the same drawing
//   case by case with many samples, every function pop-up opening included.
#include "bench/baselineprobe.h"
#include "bench/benchkit.h"
#include "sim/simcamera.h"
#include "sim/simconverter.h"
#include "sim/simkeys.h"
#include "sim/simmainboard.h"
#include "sim/simpiscripts.h"
#include "sim/simunit.h"
#include "tools/pagerig.h"
#include "ui/panel.h"

#include <QCommandLineParser>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <time.h>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;
const QByteArray kCutFrame = QByteArray::fromHex("0400C601CB");
// Raw converter readings inside the default T-bar bounds (743..1663), away
// from both ends so no transition completes while timing.
constexpr int kTbarRawA = 1000;
constexpr int kTbarRawB = 1300;
constexpr int kTbarRawRest = 700;

double msSince(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

QString percentiles(std::vector<double> v)
{
    if (v.empty())
        return QStringLiteral("no samples");
    std::sort(v.begin(), v.end());
    auto at = [&](double q) { return v[size_t(std::max(0.0, std::ceil(q * double(v.size())) - 1))]; };
    return QString::asprintf("p50 %.1f ms, p99 %.1f ms, max %.1f ms", at(0.5), at(0.99), v.back());
}


BaselineProbe *baseline = nullptr;
QString logDir;
int runNo = 0;

// One panel process against a fresh simulated unit.
class PanelRun
{
public:
    PanelRun(const QString &panelPath, bool stallProbe, bool silentCameras, bool gpioChip = true,
             bool meterMoving = true)
        : sysroot_(QDir::tempPath() + QStringLiteral("/tavrik-bench-XXXXXX")), unit_(sysroot_.path())
    {
        // A level that never changes draws nothing: the idle cost without
        // the meter's own drawing.
        if (!meterMoving)
            SimPiScripts::install(sysroot_.path(), SimPiScripts::Options());
        // A unit's kernel has the GPIO chip; --no-gpio-chip times the panel
        // reading the power button with the gpio tool instead.
        unit_.setGpioChip(gpioChip);
        if (!unit_.isUp())
            std::fprintf(stderr, "simulated unit not up: %s\n", qPrintable(unit_.problems()));
        for (int i = 0; i < SimUnit::kCameras; ++i)
            unit_.camera(i).setFailureMode(silentCameras ? SimCamera::Silent : SimCamera::Normal);
        // Emitted on the simulation thread, stamped there: no queue in between.
        QObject::connect(&unit_.mainboard(), &SimMainboard::frameReceived, &unit_.mainboard(),
                         [this](const QByteArray &f) { onFrame(f); }, Qt::DirectConnection);
        QObject::connect(&unit_.converter(), &SimConverter::conversionRead, &unit_.converter(),
                         [this](int input, int reading) {
                             if (input != SimConverter::TbarInput || reading != tbarTarget_.load())
                                 return;
                             std::lock_guard<std::mutex> g(lock_);
                             if (tbarReadAt_ == Clock::time_point())
                                 tbarReadAt_ = Clock::now();
                         }, Qt::DirectConnection);
        QProcessEnvironment env = unit_.panelEnvironment(QProcessEnvironment::systemEnvironment());
        if (stallProbe)
            env.insert(QStringLiteral("TAVRIK_STALL_PROBE"), QStringLiteral("1"));
        env.remove(QStringLiteral("TAVRIK_TIME_SCALE"));
        panel_.setProcessEnvironment(env);
        QObject::connect(&panel_, &QProcess::readyReadStandardError, [this] { readLog(); });
        if (!logDir.isEmpty()) {
            logFile_.setFileName(QStringLiteral("%1/panel-%2.log").arg(logDir).arg(++runNo));
            logFile_.open(QIODevice::WriteOnly | QIODevice::Truncate);
        }
        start_ = Clock::now();
        panel_.start(panelPath, {QStringLiteral("-platform"), QStringLiteral("offscreen")});
    }

    ~PanelRun()
    {
        panel_.terminate();
        if (!panel_.waitForFinished(10000))
            panel_.kill();
        panel_.waitForFinished(3000);
    }

    bool started() { return panel_.waitForStarted(10000); }
    void waitSinceStart(int ms)
    {
        const double left = ms - msSince(start_, Clock::now());
        if (left > 0)
            spin(int(left));
    }
    qint64 pid() const { return panel_.processId(); }
    SimUnit &unit() { return unit_; }

    // Milliseconds from process start to the home page, -1 if not seen.
    double homeShownMs(int timeoutMs)
    {
        spinUntil([this] { return homeShown_ != Clock::time_point(); }, timeoutMs);
        return homeShown_ == Clock::time_point() ? -1.0 : msSince(start_, homeShown_);
    }

    // Taps CUT until the panel cuts: its key scanner and start-up are up.
    bool waitUntilCutting(int timeoutMs)
    {
        const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Clock::now() < end) {
            const size_t before = cutCount();
            unit_.keys().tap(SimKeys::Cut, 60);
            if (spinUntil([&] { return cutCount() > before; }, 1000))
                return true;
        }
        return false;
    }

    struct Figures
    {
        std::vector<double> latencies;
        int missed = 0;
        // T-bar: from the reading's change until the panel read it.
        std::vector<double> readLatencies;
        double longestGapMs = -1;
        double baselineGapMs = -1;
    };

    Figures cutPresses(int presses)
    {
        Figures fig;
        const auto begin = Clock::now();
        baseline->take();
        for (int i = 0; i < presses; ++i) {
            const size_t before = cutCount();
            const auto t0 = Clock::now();
            unit_.keys().tap(SimKeys::Cut, 60);
            if (spinUntil([&] { return cutCount() > before; }, 2000))
                fig.latencies.push_back(msSince(t0, cutTime(before)));
            else
                ++fig.missed;
            // Released and seen released, at a phase of the key poll that
            // differs from press to press.
            spin(120 + int(QRandomGenerator::global()->bounded(100)));
        }
        fig.longestGapMs = longestGapSince(begin);
        fig.baselineGapMs = baseline->take();
        return fig;
    }

    Figures tbarMoves(int moves)
    {
        Figures fig;
        const auto begin = Clock::now();
        baseline->take();
        for (int i = 0; i < moves; ++i) {
            const int raw = (i % 2) ? kTbarRawB : kTbarRawA;
            const size_t before = tbarCount();
            {
                std::lock_guard<std::mutex> g(lock_);
                tbarReadAt_ = Clock::time_point();
            }
            tbarTarget_ = raw;
            const auto t0 = Clock::now();
            unit_.converter().setReading(SimConverter::TbarInput, raw);
            if (spinUntil([&] { return tbarCount() > before; }, 2000)) {
                fig.latencies.push_back(msSince(t0, tbarTime(before)));
                std::lock_guard<std::mutex> g(lock_);
                if (tbarReadAt_ != Clock::time_point())
                    fig.readLatencies.push_back(msSince(t0, tbarReadAt_));
            } else {
                ++fig.missed;
            }
            // Some pauses outlast the T-bar timer's idle stop, so its
            // restart is timed too.
            spin(100 + int(QRandomGenerator::global()->bounded(800)));
        }
        tbarTarget_ = -1;
        unit_.converter().setReading(SimConverter::TbarInput, kTbarRawRest);
        spin(1500);
        fig.longestGapMs = longestGapSince(begin);
        fig.baselineGapMs = baseline->take();
        return fig;
    }

private:
    void onFrame(const QByteArray &f)
    {
        const auto now = Clock::now();
        std::lock_guard<std::mutex> g(lock_);
        if (f == kCutFrame)
            cuts_.push_back(now);
        else if (f.size() == 7 && quint8(f[0]) == 0x06 && quint8(f[1]) == 0x01 && quint8(f[2]) == 0xC5)
            tbars_.push_back(now);
    }
    size_t cutCount() { std::lock_guard<std::mutex> g(lock_); return cuts_.size(); }
    Clock::time_point cutTime(size_t i) { std::lock_guard<std::mutex> g(lock_); return cuts_.at(i); }
    size_t tbarCount() { std::lock_guard<std::mutex> g(lock_); return tbars_.size(); }
    Clock::time_point tbarTime(size_t i) { std::lock_guard<std::mutex> g(lock_); return tbars_.at(i); }

    void readLog()
    {
        const QByteArray chunk = panel_.readAllStandardError();
        if (logFile_.isOpen())
            logFile_.write(chunk);
        log_ += chunk;
        int nl;
        static const QRegularExpression gapRe(QStringLiteral("stall probe: longest gap ([0-9.]+) ms"));
        static const QRegularExpression frameRe(QStringLiteral("frame probe: ([0-9.]+) ms"));
        while ((nl = log_.indexOf('\n')) >= 0) {
            const QString line = QString::fromLocal8Bit(log_.left(nl));
            log_.remove(0, nl + 1);
            if (homeShown_ == Clock::time_point() && line.contains(QLatin1String("home page shown")))
                homeShown_ = Clock::now();
            const auto m = gapRe.match(line);
            if (m.hasMatch())
                gaps_.push_back({Clock::now(), m.captured(1).toDouble()});
            const auto f = frameRe.match(line);
            if (f.hasMatch())
                frames_.push_back({Clock::now(), f.captured(1).toDouble()});
        }
    }

    // Probe reports cover the second before they arrive: take those that
    // arrived from a second after `since` until a second from now.
    double longestGapSince(Clock::time_point since)
    {
        spin(1100);
        double longest = -1;
        for (const auto &g : gaps_)
            if (g.first > since + std::chrono::milliseconds(1000))
                longest = std::max(longest, g.second);
        return longest;
    }

public:
    // Frame times the panel reported from `since` on, after letting the
    // last ones arrive.
    std::vector<double> framesSince(Clock::time_point since)
    {
        spin(200);
        std::vector<double> out;
        for (const auto &f : frames_)
            if (f.first >= since)
                out.push_back(f.second);
        return out;
    }

private:
    QTemporaryDir sysroot_;
    SimUnit unit_;
    QProcess panel_;
    Clock::time_point start_;
    Clock::time_point homeShown_;
    QByteArray log_;
    QFile logFile_;
    std::vector<std::pair<Clock::time_point, double>> gaps_;
    std::vector<std::pair<Clock::time_point, double>> frames_;
    std::mutex lock_;
    std::vector<Clock::time_point> cuts_;
    std::vector<Clock::time_point> tbars_;
    std::atomic<int> tbarTarget_{-1};
    Clock::time_point tbarReadAt_;
};

struct CpuSample
{
    double cpuSeconds = -1;
    double childSeconds = -1; // children the panel waited for (its shell commands)
    Clock::time_point at;
};

// CPU seconds of a process or thread from its stat file.
double cpuSecondsOf(const QString &statPath)
{
    QFile f(statPath);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray s = f.readAll();
    const QList<QByteArray> w = s.mid(s.lastIndexOf(')') + 2).split(' ');
    if (w.size() < 13)
        return -1;
    return double(w[11].toLongLong() + w[12].toLongLong()) / double(sysconf(_SC_CLK_TCK));
}

// CPU seconds per thread, by thread name and id.
std::vector<std::pair<QString, double>> threadCpuOf(qint64 pid)
{
    std::vector<std::pair<QString, double>> out;
    const QString dir = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString &tid : QDir(dir).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(dir + '/' + tid + QStringLiteral("/comm"));
        comm.open(QIODevice::ReadOnly);
        out.push_back({QString::fromLocal8Bit(comm.readAll().trimmed()) + '/' + tid,
                       cpuSecondsOf(dir + '/' + tid + QStringLiteral("/stat"))});
    }
    return out;
}

CpuSample cpuOf(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray s = f.readAll();
    // Fields after the command name, which may hold spaces: state is field 3.
    const QList<QByteArray> w = s.mid(s.lastIndexOf(')') + 2).split(' ');
    if (w.size() < 15)
        return {};
    const double hz = double(sysconf(_SC_CLK_TCK));
    const double own = double(w[11].toLongLong() + w[12].toLongLong()) / hz;      // utime, stime
    const double children = double(w[13].toLongLong() + w[14].toLongLong()) / hz; // cutime, cstime
    return {own, children, Clock::now()};
}

QString vmRssOf(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return QString::fromLatin1(line.mid(6).simplified());
    return QStringLiteral("?");
}

void printFrames(const char *what, const std::vector<double> &frames)
{
    std::printf("  frames drawn (%s): %zu, %s\n", what, frames.size(), qPrintable(percentiles(frames)));
    std::fflush(stdout);
}

// Times every frame of a window from its update request to the finished
// frame, as the panel's own probe does: in CPU time of the drawing thread,
// which the other work on a shared machine does not stretch.
class FrameTimer : public QObject
{
public:
    explicit FrameTimer(QQuickWindow *w) : window_(w)
    {
        w->installEventFilter(this);
        QObject::connect(w, &QQuickWindow::frameSwapped, this, [this] {
            if (start_ >= 0)
                frames_.push_back(double(threadCpuNs() - start_) / 1e6);
            start_ = -1;
        }, Qt::DirectConnection);
    }
    // Makes the change, then lets the frames it causes be drawn.
    std::vector<double> framesOf(const std::function<void()> &change)
    {
        frames_.clear();
        change();
        const auto end = Clock::now() + std::chrono::milliseconds(1000);
        while (frames_.empty() && Clock::now() < end)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        spin(30);
        return frames_;
    }

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (o == window_ && e->type() == QEvent::UpdateRequest && start_ < 0)
            start_ = threadCpuNs();
        return false;
    }

private:
    static qint64 threadCpuNs()
    {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
    }

    QQuickWindow *window_;
    qint64 start_ = -1;
    std::vector<double> frames_;
};

// The root page in this process, against a simulated unit, with the panel's
// state changed directly: each case many times over.
void interfaceFrames(int rounds)
{
    QTemporaryDir sysroot(QDir::tempPath() + QStringLiteral("/tavrik-bench-XXXXXX"));
    SimUnit unit(sysroot.path());
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", unit.panelEnvironment(QProcessEnvironment::systemEnvironment()).value(QStringLiteral("PATH")).toLocal8Bit());
    {
        PageRig rig(&unit);
        rig.stageDemoState();
        QQuickItem *root = rig.show(QStringLiteral("main.qml"));
        if (!root || !root->window()) {
            std::printf("interface frames: the root page did not load\n");
            qputenv("PATH", path);
            return;
        }
        rig.settle(1000);
        Panel &panel = rig.panel();
        FrameTimer timer(root->window());
        auto add = [](std::vector<double> &all, const std::vector<double> &some) { all.insert(all.end(), some.begin(), some.end()); };
        std::vector<double> cut, tbar, open, close, prompt;
        std::vector<std::vector<double>> perPopup(5);
        for (int i = 0; i < rounds; ++i) {
            add(cut, timer.framesOf([&] {
                const int program = panel.programNo();
                panel.setProgramNo(panel.previewNo());
                panel.setPreviewNo(program);
            }));
            add(tbar, timer.framesOf([&] { panel.setTbarPosition((i * 97) % 1024); }));
            const int popup = i % 5;
            const std::vector<double> opening = timer.framesOf([&] { panel.setFuncSel(popup); });
            add(open, opening);
            add(perPopup[size_t(popup)], opening);
            add(close, timer.framesOf([&] { panel.setFuncSel(-1); }));
            if (i < 20) {
                add(prompt, timer.framesOf([&] { panel.setShutdownVisible(true); }));
                timer.framesOf([&] { panel.setShutdownVisible(false); });
            }
        }
        std::printf("Interface frames in this process (root page, software renderer, 1024x600, CPU time of the "
                    "drawing thread per frame), %d rounds:\n", rounds);
        printFrames("CUT: program and preview swapped, tally", cut);
        printFrames("T-bar gauge moved", tbar);
        printFrames("function pop-up opening (all five in turn)", open);
        for (int k = 0; k < 5; ++k)
            printFrames(qPrintable(QStringLiteral("  of which pop-up %1").arg(k)), perPopup[size_t(k)]);
        printFrames("function pop-up closing", close);
        printFrames("shutdown prompt opening", prompt);
    }
    qputenv("PATH", path);
}

void printCut(const char *what, const PanelRun::Figures &fig, int presses)
{
    std::printf("CUT key -> CUT frame, %s: %zu/%d cut, %s\n", what, fig.latencies.size(), presses,
                qPrintable(percentiles(fig.latencies)));
    if (fig.longestGapMs < 0)
        std::printf("  interface-thread stall: no probe report\n");
    else
        std::printf("  longest interface-thread stall: %.1f ms (longest gap %.1f ms between %d ms ticks; "
                    "the bench's own idle thread: %.1f ms)\n",
                    std::max(0.0, fig.longestGapMs - 5), fig.longestGapMs, 5, fig.baselineGapMs);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Times the panel process against the simulated unit."));
    parser.addHelpOption();
    QCommandLineOption panelOpt(QStringLiteral("panel"), QStringLiteral("The panel program."), QStringLiteral("path"),
                                QCoreApplication::applicationDirPath() + QStringLiteral("/../app/tavrik"));
    QCommandLineOption pressesOpt(QStringLiteral("presses"), QStringLiteral("CUT presses per run."),
                                  QStringLiteral("n"), QStringLiteral("200"));
    QCommandLineOption tbarOpt(QStringLiteral("tbar"), QStringLiteral("T-bar moves."), QStringLiteral("n"),
                               QStringLiteral("100"));
    QCommandLineOption idleOpt(QStringLiteral("idle"), QStringLiteral("Idle seconds."), QStringLiteral("s"),
                               QStringLiteral("60"));
    QCommandLineOption logOpt(QStringLiteral("log"), QStringLiteral("Keep each panel's log in this folder."),
                              QStringLiteral("dir"));
    QCommandLineOption framesOpt(QStringLiteral("frames"), QStringLiteral("Rounds of in-process interface frames."),
                                 QStringLiteral("n"), QStringLiteral("100"));
    QCommandLineOption noChipOpt(QStringLiteral("no-gpio-chip"),
                                 QStringLiteral("Idle run without a GPIO chip: the power button through the gpio tool."));
    QCommandLineOption stillMeterOpt(QStringLiteral("still-meter"),
                                     QStringLiteral("Idle run with a fixed audio level instead of a moving one."));
    parser.addOptions({panelOpt, pressesOpt, tbarOpt, idleOpt, logOpt, noChipOpt, stillMeterOpt, framesOpt});
    parser.process(app);
    logDir = parser.value(logOpt);
    BaselineProbe probe;
    baseline = &probe;
    const QString panelPath = parser.value(panelOpt);
    const int presses = parser.value(pressesOpt).toInt();
    const int moves = parser.value(tbarOpt).toInt();
    const int idleS = parser.value(idleOpt).toInt();
    constexpr int kStartTimeoutMs = 120000;

    if (parser.value(framesOpt).toInt() > 0)
        interfaceFrames(parser.value(framesOpt).toInt());
    // --presses 0 --tbar 0: the idle figures only.
    if (presses > 0 || moves > 0) {
        PanelRun run(panelPath, true, false);
        if (!run.started()) {
            std::fprintf(stderr, "cannot start %s\n", qPrintable(panelPath));
            return 1;
        }
        run.homeShownMs(kStartTimeoutMs);
        if (!run.waitUntilCutting(kStartTimeoutMs)) {
            std::fprintf(stderr, "the panel never cut\n");
            return 1;
        }
        spin(2000);
        // At rest the meter program still sends its frames every 20 ms.
        auto since = Clock::now();
        spin(3000);
        printFrames("3 s at rest, audio meter frames arriving", run.framesSince(since));
        since = Clock::now();
        printCut("cameras answering", run.cutPresses(presses), presses);
        printFrames("CUT: buses and tally", run.framesSince(since));
        since = Clock::now();
        const PanelRun::Figures t = run.tbarMoves(moves);
        std::printf("T-bar reading -> writeTbar frame: %zu/%d, %s\n", t.latencies.size(), moves,
                    qPrintable(percentiles(t.latencies)));
        std::printf("  longest interface-thread stall while moving: %.1f ms (the bench's own idle thread: %.1f ms)\n",
                    std::max(0.0, t.longestGapMs - 5), t.baselineGapMs);
        std::printf("  of which the control surface's own sampling (reading changed -> panel read it): %s\n",
                    qPrintable(percentiles(t.readLatencies)));
        printFrames("T-bar moves: the gauge", run.framesSince(since));
        // A pop-up opening: the power button opens the shutdown pop-up.
        since = Clock::now();
        run.unit().setPowerButton(true);
        spin(300);
        run.unit().setPowerButton(false);
        spin(1000);
        printFrames("power button: the shutdown pop-up opening", run.framesSince(since));
    }
    if (presses > 0) {
        PanelRun run(panelPath, true, true);
        if (!run.started() || !run.waitUntilCutting(kStartTimeoutMs)) {
            std::fprintf(stderr, "the panel never cut with silent cameras\n");
            return 1;
        }
        spin(2000);
        printCut("all cameras silent", run.cutPresses(presses), presses);
    }
    {
        // Without the probe, whose 200 wake-ups a second would count as idle load.
        PanelRun run(panelPath, false, false, !parser.isSet(noChipOpt), !parser.isSet(stillMeterOpt));
        if (!run.started())
            return 1;
        const double home = run.homeShownMs(kStartTimeoutMs);
        if (home < 0)
            std::printf("process start -> home page shown: not seen in %d s\n", kStartTimeoutMs / 1000);
        else
            std::printf("process start -> home page shown: %.2f s\n", home / 1000);
        std::fflush(stdout);
        // The start-up sequence ends with the splash timer's last tick (60 s).
        run.waitSinceStart(65000);
        const CpuSample a = cpuOf(run.pid());
        const auto threadsA = threadCpuOf(run.pid());
        spin(idleS * 1000);
        const CpuSample b = cpuOf(run.pid());
        const auto threadsB = threadCpuOf(run.pid());
        if (a.cpuSeconds < 0 || b.cpuSeconds < 0)
            std::printf("idle CPU: could not read /proc/%lld/stat\n", run.pid());
        else
            std::printf("idle CPU over %d s: %.2f %% of one core (and %.2f %% in the shell commands it ran); "
                        "resident memory %s\n",
                        idleS, 100.0 * (b.cpuSeconds - a.cpuSeconds) / (msSince(a.at, b.at) / 1000.0),
                        100.0 * (b.childSeconds - a.childSeconds) / (msSince(a.at, b.at) / 1000.0),
                        qPrintable(vmRssOf(run.pid())));
        std::printf("  own and children together: %.2f %% of one core\n",
                    100.0 * (b.cpuSeconds - a.cpuSeconds + b.childSeconds - a.childSeconds) / (msSince(a.at, b.at) / 1000.0));
        std::printf("  busiest threads:");
        std::vector<std::pair<double, QString>> perThread;
        for (const auto &t : threadsB)
            for (const auto &u : threadsA)
                if (u.first == t.first)
                    perThread.push_back({100.0 * (t.second - u.second) / (msSince(a.at, b.at) / 1000.0), t.first});
        std::sort(perThread.rbegin(), perThread.rend());
        for (size_t i = 0; i < perThread.size() && i < 5; ++i)
            std::printf(" %s %.2f %%;", qPrintable(perThread[i].second), perThread[i].first);
        std::printf("\n");
    }
    return 0;
}
