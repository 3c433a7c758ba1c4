// Whatever a camera line delivers — error answers, noise, truncated or
// oversized replies — every inquiry gives its failure value or a value inside
// its range, logs the failure, and never crashes or reads past the reply.
#include "tests/camera/helper_vekcamera.h"

#include <QtTest>

#include <functional>

namespace {

struct Inquiry
{
    const char *name;
    std::function<int(vekCameraObject &, int)> call;
    int failure;
    int min;
    int max;
};

const QList<Inquiry> &inquiries()
{
    using V = vekCameraObject;
    static const QList<Inquiry> list{
        {"camPowerInq", [](V &o, int c) { return int(o.camPowerInq(c)); }, 0, 0, 1},
        {"getSystemStatus", [](V &o, int c) { return int(o.getSystemStatus(c)); }, 0, 0, 1},
        {"queryVersion", [](V &o, int c) { return int(o.queryVersion(c)); }, 0, 0, 1},
        {"shutterPosInq", [](V &o, int c) { return o.shutterPosInq(c); }, -1, -1, 255},
        {"rGain", [](V &o, int c) { return o.rGain(c); }, 0, 0, 255},
        {"bGain", [](V &o, int c) { return o.bGain(c); }, 0, 0, 255},
        {"isTallyOn", [](V &o, int c) { return int(o.isTallyOn(c)); }, 0, 0, 1},
        {"isAutoFocus", [](V &o, int c) { return int(o.isAutoFocus(c)); }, 0, 0, 1},
        {"getWhiteBalanceMode", [](V &o, int c) { return o.getWhiteBalanceMode(c); }, 0, 0, 5},
        {"getExposureMode", [](V &o, int c) { return o.getExposureMode(c); }, 0, 0, 1},
        {"getVideoFormat", [](V &o, int c) { return o.getVideoFormat(c); }, -1, -1, 255},
        {"gotoPtzPosition", [](V &o, int c) { return int(o.gotoPtzPosition(1, c)); }, 0, 0, 1},
        {"storePtzPosition", [](V &o, int c) { return int(o.storePtzPosition(1, c)); }, 0, 0, 1},
        {"presetMemSpeed", [](V &o, int c) { return int(o.presetMemSpeed(1, c)); }, 0, 0, 1},
        {"atTrackInquire", [](V &o, int c) { return o.atTrackInquire(c); }, -1, -1, 15},
        {"atFigureInq", [](V &o, int c) { return o.atFigureInq(c); }, 0, 0, 255},
        {"atFigureCustSizeInq", [](V &o, int c) { return o.atFigureCustSizeInq(c); }, 0, 0, 0xFFFF},
        {"atPlacementInq", [](V &o, int c) { return o.atPlacementInq(c); }, 0, 0, 255},
        {"atSpeedInq", [](V &o, int c) { return o.atSpeedInq(c); }, 0, 0, 255},
        {"atDetindInq", [](V &o, int c) { return o.atDetindInq(c); }, 0, 0, 255},
        {"atTrackingStartPosInq", [](V &o, int c) { return o.atTrackingStartPosInq(c); }, 0, 0, 255},
        {"atOSDInq", [](V &o, int c) { return int(o.atOSDInq(c)); }, 0, 0, 1},
        {"atAutoZoomInq", [](V &o, int c) { return int(o.atAutoZoomInq(c)); }, 0, 0, 1},
        {"atAutoTiltInq", [](V &o, int c) { return int(o.atAutoTiltInq(c)); }, 0, 0, 1},
        {"InquireATProfileNum", [](V &o, int c) { return o.InquireATProfileNum(c); }, -1, -1, 10},
    };
    return list;
}

} // namespace

class TestVekBadInput : public QObject
{
    Q_OBJECT
    std::unique_ptr<VekRig> rig_;

private slots:
    void initTestCase() { rig_ = std::make_unique<VekRig>(); }
    void init() { rig_->reset(); }
    void cleanupTestCase() { rig_.reset(); }

    void errorReplies_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("syntax error") << hexBytes("906002FF");
        QTest::newRow("framed not executable") << hexBytes("0006906141FF");
        // An error's third byte looks like a setting; it must not be read as one.
        QTest::newRow("error carrying 01") << hexBytes("906101FF");
        QTest::newRow("error carrying 02") << hexBytes("906102FF");
        QTest::newRow("ack and completion") << hexBytes("9041FF9051FF");
    }
    void errorReplies()
    {
        QFETCH(QByteArray, reply);
        const bool presetAck = reply.startsWith(hexBytes("9041"));
        for (const Inquiry &q : inquiries()) {
            // An acknowledgement is the right answer for the preset operations.
            const bool isPreset = QByteArray(q.name).contains("Ptz") || QByteArray(q.name) == "presetMemSpeed";
            if (presetAck && isPreset)
                continue;
            rig_->log().clear();
            rig_->cam(0).injectReply(reply);
            const int result = q.call(rig_->obj(), 0);
            QVERIFY2(result == q.failure, q.name);
            QVERIFY2(rig_->log().contains(QStringLiteral("[ERR]")), q.name);
        }
    }

    void unterminatedAndOversizedReplies()
    {
        // Half a status answer: the collector waits out its time-out and the
        // status is not decoded from what came.
        rig_->cam(0).injectReply(hexBytes("90501D15050A05"));
        QVERIFY(!rig_->obj().getSystemStatus(0));
        QVERIFY(rig_->log().contains(QStringLiteral("[ERR] retBuf :")));
        rig_->cam(0).injectReply(hexBytes("000990500000"));
        QCOMPARE(rig_->obj().shutterPosInq(0), -1);
        // The line is usable at once afterwards.
        QVERIFY(rig_->obj().getSystemStatus(0));

        const QByteArray big = QByteArray(6000, char(0x50)) + char(0xFF);
        for (const Inquiry &q : inquiries()) {
            const QByteArrayList some{"getSystemStatus", "queryVersion", "shutterPosInq", "atTrackInquire", "rGain"};
            if (!some.contains(q.name))
                continue;
            rig_->cam(0).injectReply(big);
            QVERIFY2(q.call(rig_->obj(), 0) == q.failure, q.name);
        }
        QVERIFY(rig_->obj().queryVersion(0));
    }

    void randomReplies()
    {
        QRandomGenerator rng(20240601);
        int fed = 0;
        int failures = 0;
        for (int round = 0; round < 32; ++round) {
            for (const Inquiry &q : inquiries()) {
                QByteArray r = randomVekReply(rng, 30);
                // Terminated, so each exchange ends as soon as it arrives; the
                // unterminated kind costs a full time-out and has its own test.
                if (!r.endsWith(char(0xFF)))
                    r.append(char(0xFF));
                rig_->cam(0).injectReply(r);
                const int result = q.call(rig_->obj(), 0);
                ++fed;
                if (result == q.failure)
                    ++failures;
                QVERIFY2(result >= q.min && result <= q.max,
                         QByteArray(q.name) + " gave " + QByteArray::number(result) + " for " + r.toHex(' '));
            }
        }
        qInfo("%d random replies, %d read as failures", fed, failures);
        QVERIFY(failures > fed / 2);
        // The camera and the line are fine afterwards.
        QVERIFY(rig_->obj().getSystemStatus(0));
        QVERIFY(rig_->obj().queryVersion(0));
    }
};

QTEST_GUILESS_MAIN(TestVekBadInput)
#include "tst_vekcamera_badinput.moc"
