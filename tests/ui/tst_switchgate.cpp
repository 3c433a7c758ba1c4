#include "mainboard/zarvomu.h"
#include "sim/simmainboard.h"
#include "switcher/commandexecobject.h"
#include "tests/common/testsysroot.h"
#include "ui/devicelines.h"
#include "ui/panel.h"
#include "ui/switchgate.h"
#include "ui/timeseam.h"

#include <QtTest>

namespace {
const QByteArray kCut = QByteArray::fromHex("0400C601CB");
const QByteArray kAuto = QByteArray::fromHex("0400C600CA");
const QByteArray kTbarEnd = QByteArray::fromHex("0601C500FF03CE");

// The panel's switching over the mainboard lane alone, against a simulated
// board; a silent exchange lasts 3 s (12 s on the unit).
struct Rig
{
    Rig()
    {
        board = new commandExecObject;
        board->mainboardLink()->setWaitDivisor(4);
        lines = std::make_unique<DeviceLines>(board, nullptr, nullptr, nullptr);
        panel = std::make_unique<Panel>(lines.get(), nullptr);
        panel->setProgramNo(1);
        panel->setPreviewNo(2);
    }
    ~Rig()
    {
        panel.reset();
        lines.reset();
        delete board;
    }
    int count(const QByteArray &frame) const { return mb.receivedFrames().count(frame); }

    TestSysroot sys;
    SimMainboard mb;
    commandExecObject *board;
    std::unique_ptr<DeviceLines> lines;
    std::unique_ptr<Panel> panel;
};
} // namespace

class TstSwitchGate : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TimeSeam::setSpeedup(10); } // a press goes stale after 100 ms
    void silentBoard();
    void busesFollowTheBoard();
};

void TstSwitchGate::silentBoard()
{
    Rig rig;
    rig.mb.setFailureMode(SimMainboard::NoAnswer);
    rig.panel->cut();
    QTRY_COMPARE(rig.count(kCut), 1);
    // Pressed while the first CUT waits out its retries.
    rig.panel->cut();
    for (int v : {300, 600, 1023})
        rig.panel->gate()->postTbar(v);
    QTRY_VERIFY_WITH_TIMEOUT(rig.panel->gate()->boardSilent(), 8000);
    QCOMPARE(rig.count(kCut), 1);
    for (const QByteArray &f : rig.mb.receivedFrames())
        QVERIFY(f == kCut || f == kTbarEnd || f.startsWith(QByteArray::fromHex("0300")));
    QCOMPARE(rig.panel->programNo(), 1);

    // While silent a CUT is refused unsent; once the board answers the
    // next one goes out at once and the buses follow the board.
    rig.panel->cut();
    QTest::qWait(200);
    QCOMPARE(rig.count(kCut), 1);
    rig.mb.setFailureMode(SimMainboard::Normal);
    QTRY_VERIFY(!rig.panel->gate()->boardSilent());
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
    QTest::qWait(800);
    QCOMPARE(rig.count(kCut), 3);
    QTRY_COMPARE(rig.panel->programNo(), rig.mb.program());
}

void TstSwitchGate::busesFollowTheBoard()
{
    Rig rig;
    rig.mb.setFrameMs(30); // a 0.9 s auto transition
    rig.panel->autoTransition();
    QTRY_COMPARE(rig.panel->programNo(), 2);
    rig.panel->autoTransition(); // the board still runs the first
    QTRY_COMPARE(rig.mb.program(), 2);
    QTest::qWait(100);
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

QTEST_GUILESS_MAIN(TstSwitchGate)
#include "tst_switchgate.moc"
