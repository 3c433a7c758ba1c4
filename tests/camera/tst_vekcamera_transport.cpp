// The camera lines, the online gate and the single exchange, through the real
// serial code on pseudo-terminals against simulated cameras.
#include "tests/camera/helper_vekcamera.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

class TestVekTransport : public QObject
{
    Q_OBJECT
    std::unique_ptr<VekRig> rig_;

private slots:
    void initTestCase() { rig_ = std::make_unique<VekRig>(); }
    void init() { rig_->reset(); }
    void cleanupTestCase() { rig_.reset(); }

    void initSerialFailures()
    {
        for (int i = 0; i < 3; ++i) // that each index reaches its own line shows with every operation
            QVERIFY(rig_->obj().serialState(i));
        QSignalSpy spy(&rig_->obj(), &vekCameraObject::sendUartStatus);
        rig_->obj().initSerial(1, QStringLiteral("ttyAMA1"), 38400, 8, 0, 1, 0);
        QVERIFY(rig_->log().contains(QStringLiteral("initSerial: failed")));
        QCOMPARE(spy.count(), 0);
        QVERIFY(rig_->obj().serialState(1)); // line 3 (camera 1) untouched

        rig_->obj().initSerial(2, QStringLiteral("ttyNOSUCH"), 38400, 8, 0, 1, 0);
        QCOMPARE(spy.takeFirst(), (QVariantList{2, false}));
        QVERIFY(!rig_->obj().serialState(2));
        // A write on the closed line fails without touching any camera.
        QVERIFY(rig_->obj().doCommandSend(hexBytes("8101040002FF"), 200, true, 2).isEmpty());
        QCOMPARE(rig_->cam(2).receivedCount(), 0);

        rig_->obj().initSerial(2, QStringLiteral("ttyUSB0"), 38400, 8, 0, 1, 0);
        QCOMPARE(spy.takeFirst(), (QVariantList{2, true}));
        QVERIFY(rig_->obj().camPowerInq(2));
    }

    void clearUartTxRxKnownLinesOnly()
    {
        // Unasked bytes waiting on line 3 are gone after the clear.
        rig_->cam(1).writeRaw(hexBytes("9051FF9051FF"));
        QTRY_COMPARE(rig_->cam(1).sentBytes().right(6), hexBytes("9051FF9051FF"));
        QTest::qWait(20);
        rig_->obj().clearUartTxRx(3);
        rig_->obj().clearUartTxRx(1); // no such line: nothing happens
        rig_->obj().clearUartTxRx(-5);
        QVERIFY(rig_->obj().camPowerInq(1));
    }

    void gate_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<bool>("passes");
        QTest::newRow("bare power inquiry") << hexBytes("81090400FF") << true;
        QTest::newRow("framed power inquiry") << hexBytes("000781090400FF") << false;
        QTest::newRow("power on") << hexBytes("8101040002FF") << false;
        QTest::newRow("pan") << hexBytes("8101060105050103FF") << false;
        QTest::newRow("power inquiry with trailing byte") << hexBytes("81090400FF00") << false;
    }
    void gate()
    {
        QFETCH(QByteArray, command);
        QFETCH(bool, passes);
        rig_->obj().setVekStatus(1, false);
        const QByteArray reply = rig_->obj().doCommandSend(command, 200, true, 1);
        QCOMPARE(!reply.isEmpty(), passes);
        if (!passes)
            QTest::qWait(20);
        QCOMPARE(rig_->cam(1).receivedBytes(), passes ? command : QByteArray());
        // Online flags outside 0..2 are refused, not stored.
        rig_->obj().setVekStatus(3, true);
        rig_->obj().setVekStatus(-1, true);
        QVERIFY(!rig_->obj().vekIsOnline(3) && !rig_->obj().vekIsOnline(1));
    }

    void invalidIndexWritesNothing_data()
    {
        QTest::addColumn<int>("vekIdx");
        QTest::newRow("3") << 3;
        QTest::newRow("-1") << -1;
        QTest::newRow("large") << 1000;
    }
    void invalidIndexWritesNothing()
    {
        QFETCH(int, vekIdx);
        QVERIFY(rig_->obj().doCommandSend(hexBytes("81090400FF"), 200, true, vekIdx).isEmpty());
        // Operations with such an index fail their own way and never index past
        // the per-camera flags.
        QCOMPARE(rig_->obj().atTrackInquire(vekIdx), -1);
        QVERIFY(!rig_->obj().queryVersion(vekIdx));
        QVERIFY(!rig_->obj().getSystemStatus(vekIdx));
        QVERIFY(!rig_->obj().camPowerInq(vekIdx));
        rig_->obj().panTiltStop(1, 1, vekIdx);
        rig_->obj().zoomStop(vekIdx);
        QTest::qWait(20);
        QVERIFY(rig_->onlyCameraGot(-1, {}));
    }

    void noWaitReturnsAtOnce()
    {
        QElapsedTimer t;
        t.start();
        QVERIFY(rig_->obj().doCommandSend(hexBytes("8101040702FF"), 400, false, 0).isEmpty());
        QVERIFY2(t.elapsed() < 150, qPrintable(QString::number(t.elapsed())));
        QTRY_COMPARE(rig_->cam(0).received(), QList<QByteArray>{hexBytes("8101040702FF")});
        // The camera did answer; the answers are left on the line for the next
        // write to drop.
        QTRY_VERIFY(rig_->cam(0).sentBytes().endsWith(hexBytes("9041FF9051FF")));
    }

    void repliesReturnedWhole()
    {
        rig_->cam(0).injectReply(hexBytes("9041FF9051FF"));
        QCOMPARE(rig_->obj().doCommandSend(hexBytes("8101040700FF"), 200, true, 0), hexBytes("9041FF9051FF"));
        // An empty command is not written at all.
        rig_->clearReceived();
        QVERIFY(rig_->obj().doCommandSend(QByteArray(), 200, true, 0).isEmpty());
        QTest::qWait(20);
        QCOMPARE(rig_->cam(0).receivedBytes(), QByteArray());
    }

    void splitReplies()
    {
        rig_->cam(1).setSplitGap(30);
        rig_->cam(1).setFailureMode(SimCamera::SplitReply);
        QVERIFY(rig_->obj().getSystemStatus(1));
        QVERIFY(rig_->obj().queryVersion(1));
        QCOMPARE(rig_->obj().modelName(), QStringLiteral("39c"));
    }

    void resendWithoutIndexGoesToLastCamera()
    {
        rig_->obj().camTallyOff(2);
        rig_->clearReceived();
        rig_->obj().commandResendUntilAckAndComplete(hexBytes("0009810A0F010501FF"), 300);
        QVERIFY(rig_->onlyCameraGot(2, {hexBytes("0009810A0F010501FF")}));
        QCOMPARE(rig_->obj().lastCamera(), 2);
        // Inquiries (the presence poll) do not change the camera last operated.
        rig_->obj().camPowerInq(0);
        QCOMPARE(rig_->obj().lastCamera(), 2);
    }

    void uartErrorsLogged()
    {
        rig_->obj().onUartError(QSerialPort::NoError);
        rig_->obj().onUartError(QSerialPort::TimeoutError);
        QVERIFY(!rig_->log().contains(QStringLiteral("[UART ERROR]")));
        rig_->obj().onUartError(QSerialPort::ResourceError);
        QVERIFY(rig_->log().contains(QStringLiteral("[UART ERROR] ResourceError")));
    }
};

QTEST_GUILESS_MAIN(TestVekTransport)
#include "tst_vekcamera_transport.moc"
