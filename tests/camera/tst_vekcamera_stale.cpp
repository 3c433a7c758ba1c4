#include "tests/camera/helper_vekcamera.h"

#include <QTest>

// A completion that comes after its exchange has ended (a preset recall's,
// when the motion stops) lands in the next exchange on the line, ahead of
// that exchange's own answer. It must not pass for that answer.
using VekProbe = std::function<bool(vekCameraObject &)>;
Q_DECLARE_METATYPE(VekProbe)

class TestVekStale : public QObject
{
    Q_OBJECT
    std::unique_ptr<VekRig> rig_;

private slots:
    void initTestCase() { rig_ = std::make_unique<VekRig>(1); }
    void cleanupTestCase() { rig_.reset(); }
    void init() { rig_->reset(); }

    void lateCompletionIsNoAnswer_data()
    {
        QTest::addColumn<VekProbe>("probe");
        QTest::addColumn<QByteArray>("answer"); // to the probe: empty its own, kSilent none
        QTest::addColumn<int>("sends");
        QTest::newRow("presence inquiry") << VekProbe([](vekCameraObject &o) { return o.camPowerInq(0); })
                                          << QByteArray() << 1;
        QTest::newRow("status poll") << VekProbe([](vekCameraObject &o) { return o.getSystemStatus(0); })
                                     << QByteArray() << 1;
        QTest::newRow("unanswered stop is sent again") << VekProbe([](vekCameraObject &o) {
            o.panTiltStop(1, 1, 0);
            return true;
        }) << kSilent << 2;
        QTest::newRow("garbage between")
            << VekProbe([](vekCameraObject &o) { return o.queryVersion(0) && o.modelName() == "39c"; })
            << hexBytes("13379050039C010203040001" "0A01000007FF") << 1;
    }
    void lateCompletionIsNoAnswer()
    {
        QFETCH(VekProbe, probe);
        QFETCH(QByteArray, answer);
        QFETCH(int, sends);
        SimCamera &cam = rig_->cam(0);
        cam.setFailureMode(SimCamera::LateCompletion);
        QVERIFY(rig_->obj().gotoPtzPosition(3, 0));
        if (!answer.isEmpty())
            cam.injectReply(answer == kSilent ? QByteArray() : answer);
        QVERIFY(probe(rig_->obj()));
        QCOMPARE(cam.receivedCount(), 1 + sends);
        QVERIFY(rig_->log().contains(QStringLiteral("dropped")));
    }
};

QTEST_GUILESS_MAIN(TestVekStale)
#include "tst_vekcamera_stale.moc"
