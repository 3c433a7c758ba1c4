#include "tests/common/panelrig.h"
#include "ui/pipcontrol.h"
#include "ui/switcherstate.h"
#include "ui/switchgate.h"
#include "ui/switching.h"
#include "ui/timeseam.h"

#include <QtTest>

namespace {
const QByteArray kCut = QByteArray::fromHex("0400C601CB");
const QByteArray kAuto = QByteArray::fromHex("0400C600CA");
const QByteArray kTbarEnd = QByteArray::fromHex("0601C500FF03CE");

// The panel's switching, every press's answer recorded.
struct Rig : PanelRig
{
    explicit Rig(bool lineUp = true) : PanelRig(lineUp), answers(panel->switching(), &Switching::answered)
    {
        panel->setMainboardConnected(true);
    }
    // The outcome of answer `i`, or -1 when there is none yet.
    int outcome(int i) const { return answers.size() > i ? answers.at(i).at(1).toInt() : -1; }

    QSignalSpy answers;
};
} // namespace

class TstSwitchGate : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TimeSeam::setSpeedup(10); } // a press goes stale after 100 ms
    void outcomes_data();
    void outcomes();
    void silentBoard();
    void silentOnASettingsWrite();
    void busesFollowTheBoard();
    void transitionLength();
    void pipSourceIsOnAirAtOnce();
};

// What becomes of a press, and what the buses and lamps show after it.
void TstSwitchGate::outcomes_data()
{
    QTest::addColumn<int>("control");
    QTest::addColumn<QString>("board"); // "up", "busy" (02 20 22), "tbar" (lever mid-way), "closed"
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QByteArray>("frame"); // what reaches the board, empty: nothing
    const QByteArray pgm3 = QByteArray::fromHex("0400C103C8");
    QTest::newRow("CUT acknowledged") << int(Switching::Cut) << "up" << int(Outcome::Done) << kCut;
    QTest::newRow("CUT refused by the board") << int(Switching::Cut) << "busy" << int(Outcome::Refused) << kCut;
    QTest::newRow("CUT during a T-bar transition") << int(Switching::Cut) << "tbar" << int(Outcome::TransitionRunning)
                                                   << QByteArray();
    QTest::newRow("CUT on a closed line") << int(Switching::Cut) << "closed" << int(Outcome::LineClosed)
                                          << QByteArray();
    QTest::newRow("program 3 acknowledged") << int(Switching::ProgramBus) << "up" << int(Outcome::Done) << pgm3;
    QTest::newRow("program 3 refused") << int(Switching::ProgramBus) << "busy" << int(Outcome::Refused) << pgm3;
    QTest::newRow("PiP on program acknowledged") << int(Switching::PipProgram) << "up" << int(Outcome::Done)
                                                 << QByteArray::fromHex("0400C611DB");
    QTest::newRow("key on preview refused") << int(Switching::KeyPreview) << "busy" << int(Outcome::Refused)
                                            << QByteArray::fromHex("0400C616E0");
    QTest::newRow("WIPE acknowledged") << int(Switching::Wipe) << "up" << int(Outcome::Done)
                                       << QByteArray::fromHex("0400C605CF");
}

void TstSwitchGate::outcomes()
{
    QFETCH(int, control);
    QFETCH(QString, board);
    QFETCH(int, outcome);
    QFETCH(QByteArray, frame);
    Rig rig(board != "closed");
    if (board == "busy")
        rig.mb.setFailureMode(SimMainboard::ReportBusy);
    if (board == "tbar")
        rig.lines->mainboard().post([](commandExecObject &m) { m.writeTbar(500); });
    rig.mb.clearReceived();
    Panel &p = *rig.panel;
    QSignalSpy programShown(&p, &Panel::programNoChanged); // the root page's name for the store's value
    switch (control) {
    case Switching::Cut: p.cut(); break;
    case Switching::ProgramBus: p.pressProgram(3); break;
    case Switching::PipProgram: p.togglePipProgram(); break;
    case Switching::KeyPreview: p.toggleKeyPreview(); break;
    default: p.selectWipe(); break;
    }
    QTRY_COMPARE(rig.outcome(0), outcome);
    QCOMPARE(rig.answers.at(0).at(0).toInt(), control);
    // Shown by the pressed control, for a while.
    QCOMPARE(p.switching()->outcomeControl(), control);
    QCOMPARE(p.switching()->outcomeKind(), outcome);
    QTRY_COMPARE(p.switching()->outcomeControl(), -1);
    if (frame.isEmpty())
        QCOMPARE(rig.count(kCut), 0);
    else
        QCOMPARE(rig.mb.receivedFrames().value(0), frame);
    const bool done = outcome == Outcome::Done;
    QCOMPARE(p.programNo(), done && control == Switching::Cut ? 2 : done && control == Switching::ProgramBus ? 3 : 1);
    QCOMPARE(programShown.count(), p.programNo() == 1 ? 0 : 1);
    QCOMPARE(p.pipPgmFlag(), done && control == Switching::PipProgram);
    QCOMPARE(p.lumaPvwFlag(), false);
    QCOMPARE(p.wipeSelected(), done && control == Switching::Wipe);
    // Only the lever's own refusal shows the busy notice.
    QTRY_COMPARE(p.busyNoticeVisible(), board == "tbar");
}

void TstSwitchGate::silentBoard()
{
    Rig rig;
    SwitcherState *state = rig.panel->switcher();
    QCOMPARE(state->linkState(), int(SwitcherState::LinkAnswering));
    rig.mb.setFailureMode(SimMainboard::NoAnswer);
    rig.panel->cut();
    QTRY_COMPARE(rig.count(kCut), 1);
    QElapsedTimer sent;
    sent.start();
    // Pressed while the first CUT waits for its answer.
    rig.panel->cut();
    for (int v : {300, 600, 1023})
        rig.panel->gate()->postTbar(v);
    // NO CONTROL at the first reply wait missed (750 ms here), not at the
    // end of the retries, and what is shown is no longer confirmed.
    QTRY_COMPARE_WITH_TIMEOUT(state->linkState(), int(SwitcherState::LinkNotAnswering), 2000);
    QVERIFY2(sent.elapsed() < 750 + 500, qPrintable(QString::number(sent.elapsed())));
    QVERIFY(!state->stateConfirmed());
    QTRY_VERIFY_WITH_TIMEOUT(rig.panel->gate()->boardSilent(), 8000);
    QCOMPARE(rig.count(kCut), 1);
    // The first went out and was never answered; the second came up stale.
    QTRY_COMPARE(rig.outcome(1), int(Outcome::Stale));
    QCOMPARE(rig.outcome(0), int(Outcome::NotAnswering));
    for (const QByteArray &f : rig.mb.receivedFrames())
        QVERIFY(f == kCut || f == kTbarEnd || f.startsWith(QByteArray::fromHex("0300")));
    QCOMPARE(rig.panel->programNo(), 1);

    // While silent a CUT is refused unsent; once the board answers the
    // next one goes out at once and the buses follow the board.
    rig.panel->cut();
    QTRY_VERIFY(rig.outcome(2) == Outcome::NotAnswering || rig.outcome(2) == Outcome::Stale);
    QCOMPARE(rig.count(kCut), 1);
    rig.mb.setFailureMode(SimMainboard::Normal);
    QTRY_VERIFY(!rig.panel->gate()->boardSilent());
    QTRY_COMPARE(state->linkState(), int(SwitcherState::LinkAnswering));
    QTRY_VERIFY(state->stateConfirmed());
    QElapsedTimer t;
    t.start();
    rig.panel->cut();
    QTRY_COMPARE(rig.count(kCut), 2);
    QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
    QTRY_COMPARE(rig.panel->programNo(), rig.mb.program());
    QCOMPARE(rig.panel->previewNo(), rig.mb.preview());

    // A board slow to answer holds up the press behind: dropped, not cut late.
    rig.mb.setReplyDelay(400);
    rig.mb.setFailureMode(SimMainboard::LateAnswer);
    const int program = rig.mb.program();
    rig.panel->cut();
    rig.panel->cut();
    QTRY_VERIFY(rig.mb.program() != program);
    QTRY_COMPARE(rig.answers.size(), 6);
    QCOMPARE(rig.outcome(3), int(Outcome::Done));
    QCOMPARE(rig.outcome(4), int(Outcome::Done));
    QCOMPARE(rig.outcome(5), int(Outcome::Stale));
    QCOMPARE(rig.count(kCut), 3);
    QTRY_COMPARE(rig.panel->programNo(), rig.mb.program());
}

// A settings write, not a press, finds the board silent: NO CONTROL still
// ends when the board answers, with no press to ask it.
void TstSwitchGate::silentOnASettingsWrite()
{
    Rig rig;
    SwitcherState *state = rig.panel->switcher();
    rig.mb.setFailureMode(SimMainboard::NoAnswer);
    rig.lines->mainboard().post([](commandExecObject &m) { m.writeAutoRate(20); });
    QTRY_COMPARE_WITH_TIMEOUT(state->linkState(), int(SwitcherState::LinkNotAnswering), 5000);
    rig.mb.setFailureMode(SimMainboard::Normal);
    QTRY_COMPARE_WITH_TIMEOUT(state->linkState(), int(SwitcherState::LinkAnswering), 5000);
    QTRY_VERIFY(state->stateConfirmed());
}

void TstSwitchGate::busesFollowTheBoard()
{
    Rig rig;
    // 45 frames at 1080p 50: a 0.9 s auto transition, on both sides.
    rig.mb.update([](SimMainboard::State &s) {
        s.autoRate = 45;
        s.menu[3][0] = 2;
    });
    rig.panel->setTransSpeed(45);
    rig.panel->switcher()->setPgmOutResolution(2);
    QElapsedTimer lit;
    lit.start();
    rig.panel->autoTransition();
    QTRY_COMPARE(rig.panel->programNo(), 2);
    QVERIFY(rig.panel->transitionRunning());
    QCOMPARE(rig.panel->autoLengthMs(), 900);
    QTRY_VERIFY(rig.panel->autoProgress() > 0 && rig.panel->autoProgress() < 1);
    rig.panel->autoTransition(); // the board still runs the first: refused here
    QCOMPARE(rig.outcome(1), int(Outcome::TransitionRunning));
    QTRY_COMPARE(rig.mb.program(), 2);
    // AUTO stays lit for the length of the transition, until the board's
    // own lamp goes out, and not much longer: the board is asked at the
    // expected end.
    QTRY_VERIFY(!rig.panel->transitionRunning());
    QVERIFY2(lit.elapsed() >= 900 && lit.elapsed() < 1900, qPrintable(QString::number(lit.elapsed())));
    QCOMPARE(rig.panel->autoLengthMs(), 0);
    QCOMPARE(rig.panel->autoProgress(), 0.0);
    QCOMPARE(rig.count(kAuto), 1);
    QCOMPARE(rig.panel->programNo(), 2);
    QCOMPARE(rig.panel->previewNo(), 1);

    // A CUT during an AUTO ends it on the board: one swap in all.
    rig.panel->autoTransition();
    QTRY_COMPARE(rig.count(kAuto), 2);
    rig.panel->cut();
    QTRY_COMPARE(rig.count(kCut), 1);
    QTest::qWait(100);
    QCOMPARE(rig.mb.program(), 1);
    QCOMPARE(rig.panel->programNo(), 1);
    QCOMPARE(rig.panel->previewNo(), 2);

    // A board that changed behind the panel's back is followed, key and
    // PiP lamps too (key on preview went to program with the CUT).
    rig.mb.update([](SimMainboard::State &s) {
        s.setPreview(3);
        s.setFlag(6, true);
    });
    rig.panel->cut();
    QTRY_COMPARE(rig.panel->programNo(), 3);
    QCOMPARE(rig.panel->previewNo(), 1);
    QTRY_VERIFY(rig.panel->lumaPgmFlag());
    QVERIFY(!rig.panel->lumaPvwFlag());
    QVERIFY(!rig.panel->pipPgmFlag());
}

// Frames, not fields, at each output resolution; an unknown code is 30 Hz.
void TstSwitchGate::transitionLength()
{
    QCOMPARE(Switching::transitionMs(30, 0), 500);    // 1080p 60
    QCOMPARE(Switching::transitionMs(60, 1), 1001);   // 1080p 59.94
    QCOMPARE(Switching::transitionMs(30, 5), 1000);   // 1080i 60
    QCOMPARE(Switching::transitionMs(25, 7), 1000);   // 1080i 50
    QCOMPARE(Switching::transitionMs(200, 11), 8000); // 576i, the longest rate
    QCOMPARE(Switching::transitionMs(10, 13), 333);
    QCOMPARE(Switching::transitionMs(-5, 0), 0);
}

// A new PiP source while PiP is on program is on air at once (tally), not
// after the next press.
void TstSwitchGate::pipSourceIsOnAirAtOnce()
{
    Rig rig;
    rig.mb.update([](SimMainboard::State &s) { s.setFlag(3, true); });
    rig.panel->setPipPgmFlag(true);
    PipControl pip(rig.panel.get());
    pip.chooseSource(4);
    QTRY_COMPARE(rig.panel->switcher()->pipSource(), 4);
    QVERIFY(rig.panel->switcher()->onAirMask() & (1 << 4));
    QVERIFY(rig.panel->pipPgmFlag());
}

QTEST_GUILESS_MAIN(TstSwitchGate)
#include "tst_switchgate.moc"
