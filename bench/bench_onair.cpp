// bench_onair [rounds]   (default 30)
//
// On-air truth with a mainboard that falls silent and comes back, timed
// through the objects the home page binds to (the panel's switching over its
// mainboard lane, against the simulated board on a pseudo-terminal):
// - the first reply wait of a CUT passes without a byte -> NO CONTROL shown
//   (linkState), counted from the end of that wait;
// - the board answers again -> a CUT pressed then reaches it;
// - a press the board refuses -> its outcome shown at the control;
// - the program camera loses power and comes back -> its red lamp lit
//   again, against the length of a presence round.
// Reply waits run at a tenth of their length (the link's wait divisor), so
// a round takes a second; the figures are what comes after the wait.
#include "bench/benchkit.h"
#include "camera/vekcameraobject.h"
#include "mainboard/zarvomu.h"
#include "sim/simcamera.h"
#include "sim/simmainboard.h"
#include "switcher/commandexecobject.h"
#include "ui/devicelines.h"
#include "ui/panel.h"
#include "ui/camerapolls.h"
#include "ui/switcherstate.h"
#include "ui/switching.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {
const QByteArray kCut = QByteArray::fromHex("0400C601CB");
constexpr int kDivisor = 10;
constexpr int kLampFirstWaitMs = 3000 / kDivisor;

void print(const char *what, std::vector<double> v, int failures)
{
    std::sort(v.begin(), v.end());
    if (v.empty()) {
        std::printf("%-46s no samples, failures %d\n", what, failures);
        return;
    }
    std::printf("%-46s p50 %6.1f ms  p99 %6.1f ms  max %6.1f ms  (n %zu, failures %d)\n", what, quantile(v, 0.5),
                quantile(v, 0.99), v.back(), v.size(), failures);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(5, atoi(argv[1])) : 30;
    QTemporaryDir root;
    if (!root.isValid() || !QDir().mkpath(root.path() + QStringLiteral("/dev")))
        return 1;
    qputenv("TAVRIK_SYSROOT", root.path().toLocal8Bit());
    qInstallMessageHandler(quietLog);

    SimMainboard mb(QStringLiteral("ttyAMA2"));
    SimCamera cam(QStringLiteral("ttyAMA0"));
    auto *board = new commandExecObject;
    board->mainboardLink()->setWaitDivisor(kDivisor);
    auto *cams = new vekCameraObject;
    auto lines = std::make_unique<DeviceLines>(board, cams, nullptr, nullptr);
    auto panel = std::make_unique<Panel>(lines.get(), nullptr);
    panel->setMainboardConnected(true);
    SwitcherState *state = panel->switcher();
    Switching *sw = panel->switching();

    std::vector<double> noControl, backToCut, outcome;
    int failures[3] = {0, 0, 0};
    for (int r = 0; r < rounds; ++r) {
        // Silent: NO CONTROL after the CUT's first reply wait.
        mb.setFailureMode(SimMainboard::NoAnswer);
        QElapsedTimer t;
        t.start();
        panel->cut();
        const double shown = waitFor([&] { return state->linkState() == SwitcherState::LinkNotAnswering; });
        if (shown < 0)
            ++failures[0];
        else
            noControl.push_back(std::max(0.0, shown - kLampFirstWaitMs));
        waitFor([&] { return false; }, 150 + r % 7 * 40); // a probe may or may not be under way

        // Back: a CUT pressed right after the board answers again.
        mb.setFailureMode(SimMainboard::Normal);
        const int cuts = mb.receivedFrames().count(kCut);
        panel->cut();
        const double reached = waitFor([&] { return mb.receivedFrames().count(kCut) > cuts; });
        if (reached < 0)
            ++failures[1];
        else
            backToCut.push_back(reached);
        // Settled: the buses and the settings records read back after the silence.
        waitFor([&] { return panel->boardStateTrusted(); });

        // Refused: the outcome at the control.
        mb.setFailureMode(SimMainboard::ReportBusy);
        sw->setOutcomeControl(-1);
        panel->cut();
        const double refused = waitFor([&] { return sw->outcomeControl() == Switching::Cut; });
        if (refused < 0 || sw->outcomeKind() != Outcome::Refused)
            ++failures[2];
        else
            outcome.push_back(refused);
        mb.setFailureMode(SimMainboard::Normal);
        waitFor([&] { return false; }, 50);
    }
    // Camera 1 on program: power lost (silent, lamps dark), then back.
    std::vector<double> camBack, presenceRound;
    int camFailures = 0;
    lines->camera().post([](vekCameraObject &v) { v.initSerial(0, QStringLiteral("ttyAMA0"), 38400, 8, 0, 1, 0); });
    panel->setProgramNo(1);
    panel->setPreviewNo(2);
    panel->polls()->startPresencePoll(-1, 0);
    const QByteArray inquiry = QByteArray::fromHex("81090400FF");
    for (int r = 0; r < std::max(5, rounds / 3); ++r) {
        if (waitFor([&] { return panel->camOnline(0); }, 10000) < 0) {
            ++camFailures;
            continue;
        }
        // A presence round: from one inquiry at the camera to the next.
        cam.clearReceived();
        waitFor([&] { return cam.received().count(inquiry) >= 1; }, 10000);
        QElapsedTimer round;
        round.start();
        waitFor([&] { return cam.received().count(inquiry) >= 2; }, 10000);
        presenceRound.push_back(double(round.nsecsElapsed()) / 1e6);

        cam.setFailureMode(SimCamera::Silent);
        cam.update([](SimCamera::State &st) { st.redTally = st.greenTally = false; });
        if (waitFor([&] { return !panel->camOnline(0); }, 20000) < 0) {
            ++camFailures;
            cam.setFailureMode(SimCamera::Normal);
            continue;
        }
        cam.setFailureMode(SimCamera::Normal);
        const double lit = waitFor([&] { return cam.state().redTally; }, 20000);
        if (lit < 0)
            ++camFailures;
        else
            camBack.push_back(lit);
    }

    std::printf("bench_onair: %d rounds, reply waits / %d\n", rounds, kDivisor);
    print("first reply wait missed -> NO CONTROL shown", noControl, failures[0]);
    print("board answers again -> CUT reaches it", backToCut, failures[1]);
    print("refused CUT pressed -> outcome shown", outcome, failures[2]);
    print("program camera back -> red lamp lit", camBack, camFailures);
    print("  one presence round (for comparison)", presenceRound, 0);
    panel.reset();
    lines.reset();
    delete board;
    delete cams;
    return failures[0] + failures[1] + failures[2] + camFailures == 0 ? 0 : 2;
}
