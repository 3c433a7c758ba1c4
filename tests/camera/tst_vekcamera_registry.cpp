// The network camera registry, its selection properties, the tracking option
// store and the one HTTP request to a network camera (a local server on
// 127.0.0.1 stands in for the camera).
#include "camera/cameramodels.h"
#include "tests/camera/helper_vekcamera.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {

vek_camera_info entryWith(int mapping, const QString &model = QString())
{
    vek_camera_info info;
    info.exist = true;
    info.mapping = mapping;
    info.cameraModel = model;
    return info;
}

// Every tracking option of registry entry `idx`: track zoom tilt osd |
// mode start-pos indicator roi-time roi-start.
QString options(const vekCameraObject &o, int idx)
{
    const QList<int> v{o.getAtTrackOpt(idx),          o.getAtAutoZoomOpt(idx),       o.getAtAutoTiltOpt(idx),
                       o.getAtOsdRmdOpt(idx),         o.getAtModeBoxOpt(idx),        o.getAtTrackStartPosBoxOpt(idx),
                       o.getAtDetIdctBoxOpt(idx),     o.getAtRoiActTimeBoxOpt(idx),  o.getAtRoiStartPosBoxOpt(idx)};
    QStringList t;
    for (int x : v)
        t << QString::number(x);
    return t.mid(0, 4).join(' ') + " | " + t.mid(4).join(' ');
}
const QString kNoOptions = QStringLiteral("0 0 0 0 | 0 0 0 0 0");

} // namespace

class TestVekRegistry : public QObject
{
    Q_OBJECT
    std::unique_ptr<VekRig> rig_;
    vekCameraObject *obj_ = nullptr;
    LogCapture *log_ = nullptr;

private slots:
    void init()
    {
        rig_ = std::make_unique<VekRig>(0); // a fresh camera object, no camera lines
        obj_ = &rig_->obj();
        log_ = &rig_->log();
    }
    void cleanup() { rig_.reset(); }

    void manualConnectSetsSelection()
    {
        QCOMPARE(obj_->cameraCount(), 0);
        QCOMPARE(obj_->getCamCount(), 0);
        QVERIFY(!obj_->getCamIsdhcp());
        for (int i = 0; i < 3; ++i)
            QVERIFY(!obj_->serialState(i) && !obj_->vekIsOnline(i));
        QSignalSpy idx(obj_, &vekCameraObject::curCameraIndexChanged);
        QSignalSpy count(obj_, &vekCameraObject::cameraCountChanged);
        QSignalSpy line(obj_, &vekCameraObject::curInputLineChanged);
        obj_->setCurInputLine(3);
        obj_->createManualCameraObjDoConnect(1, QStringLiteral("127.0.0.1"), QStringLiteral("39c"));
        QCOMPARE((QList<int>{obj_->curCameraIndex(), obj_->curInputLine(), obj_->cameraCount()}),
                 (QList<int>{1, 0, 2}));
        QCOMPARE((QList<int>{idx.count(), line.count(), count.count()}), (QList<int>{1, 2, 1}));

        // The same values again change nothing.
        obj_->createManualCameraObjDoConnect(1, QStringLiteral("127.0.0.1"), QStringLiteral("39c"));
        QCOMPARE((QList<int>{idx.count(), count.count()}), (QList<int>{1, 1}));

        // The address is not stored as an entry: the count falls back.
        QCOMPARE(obj_->getCamCount(), 0);
        QCOMPARE(obj_->cameraCount(), 0);
        QCOMPARE(count.count(), 2);
        QVERIFY(!obj_->getCamIsdhcp());

        obj_->createManualCameraObjDoConnect(-1, QStringLiteral("127.0.0.1"), QString());
        QCOMPARE(obj_->curCameraIndex(), 1);
    }

    void saveClearAndRemove()
    {
        obj_->saveCamera();
        QCOMPARE(obj_->savedCameraCount(), 0);

        obj_->addCamera(entryWith(1));
        obj_->addCamera(entryWith(2));
        obj_->atOptInitDefault(1, 2);
        QCOMPARE(obj_->getCamCount(), 2);
        obj_->saveCamera();
        QCOMPARE(obj_->savedCameraCount(), 2);
        // No emptied places are left behind to trip over.
        QCOMPARE(obj_->getCamCount(), 0);
        QCOMPARE(options(*obj_, 1), kNoOptions);
        obj_->setCurCameraIndex(1);
        obj_->refreshCurrentCameraLineInput();
        QCOMPARE(obj_->isAiCam(), 0);
        QVERIFY(!obj_->getCamIsdhcp());

        obj_->addCamera(entryWith(1));
        obj_->removeCamera(0, QStringLiteral("127.0.0.1"));
        QVERIFY(log_->contains(QStringLiteral("removeCamera: index:  0")));
        QCOMPARE(obj_->getCamCount(), 1);
        obj_->clearCamera();
        QCOMPARE(obj_->getCamCount(), 0);
        obj_->addCamera(entryWith(1));
        obj_->cameraClear();
        QCOMPARE(obj_->getCamCount(), 0);
        QVERIFY(log_->contains(QStringLiteral("cameraClear")));
    }

    // Indices outside the registry change nothing and read as no options.
    void optionDefaults_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("capability");
        QTest::addColumn<QString>("expected");
        for (int capability : {1, 2})
            QTest::addRow("capability %d", capability) << 1 << capability << "1 0 0 0 | 0 0 0 1 0";
        for (int capability : {0, 3, -1})
            QTest::addRow("capability %d", capability) << 1 << capability << kNoOptions;
        for (int index : {-1, 2, 7, 1 << 30})
            QTest::addRow("index %d", index) << index << 2 << kNoOptions;
    }
    void optionDefaults()
    {
        QFETCH(int, index);
        QFETCH(int, capability);
        QFETCH(QString, expected);
        vek_camera_info set = entryWith(2);
        set.atTrack = true;
        set.atMode = 4;
        vek_camera_info dirty = entryWith(1);
        dirty.atTrack = !expected.startsWith('1');
        dirty.atAutoZoom = dirty.atAutoTilt = dirty.atOsdRmd = true;
        dirty.atMode = dirty.atTrackStartPos = dirty.atDetIndicator = dirty.atRoiStartPos = dirty.atRoiActTime = 9;
        obj_->addCamera(set);
        obj_->addCamera(dirty);
        const QString dirtyOptions = options(*obj_, 1);
        obj_->atOptInitDefault(index, capability);
        QCOMPARE(options(*obj_, index), expected);
        QCOMPARE(options(*obj_, 0), QStringLiteral("1 0 0 0 | 4 0 0 0 0")); // the other entry is untouched
        if (index != 1)
            QCOMPARE(options(*obj_, 1), dirtyOptions);
    }

    void currentLineInput()
    {
        obj_->addCamera(entryWith(1));
        obj_->addCamera(entryWith(4));
        obj_->setCurCameraIndex(1);
        obj_->refreshCurrentCameraLineInput();
        QCOMPARE(obj_->curInputLine(), 3);
        QVERIFY(obj_->getCamIsdhcp());
        obj_->setCurCameraIndex(5);
        obj_->refreshCurrentCameraLineInput();
        QCOMPARE(obj_->curInputLine(), 3);
        QVERIFY(!obj_->getCamIsdhcp());
    }

    void aiCamByModel_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("expected");
        for (int i = 0; i < 3; ++i)
            QTest::addRow("tracking model %d", i) << CameraModels::aiCamList().at(i) << 2;
        QTest::newRow("plain model") << "39c" << 0;
        QTest::newRow("no model") << "" << 0;
        QTest::newRow("end marker is no model") << "FFFF" << 0;
    }
    void aiCamByModel()
    {
        QFETCH(QString, model);
        QFETCH(int, expected);
        QCOMPARE(obj_->isAiCam(), 0); // empty registry
        obj_->addCamera(entryWith(1, model));
        obj_->setCurCameraIndex(0);
        QCOMPARE(obj_->isAiCam(), expected);
        // The shutter-table family is told apart the same way.
        QVERIFY(!obj_->isAltShutterModel(model));
        QVERIFY(obj_->isAltShutterModel(model + CameraModels::altShutterFamily().first()));
    }

    // These only log (and return nothing): the log is all there is to see.
    void accessorsLogAndReturnEmpty()
    {
        obj_->setCurCameraIndex(2);
        QVERIFY(obj_->getCurrentIp().isEmpty());
        using V = vekCameraObject;
        const QList<QPair<QString (V::*)(), const char *>> accessors{
            {&V::getCamHostName, "get Cam Host Name"}, {&V::getCamModelName, "get Cam Model Name"},
            {&V::getCamMac, "getCamMac"}, {&V::getCamMask, "getCamMask"}, {&V::getCamGateway, "getCamGateway"},
            {&V::getCamPrimdns, "getCamPrimdns"}, {&V::getCamSecdns, "getCamSecdns"}, {&V::getCamVid, "getCamVid"},
            {&V::getCamPid, "getCamPid"}};
        for (const auto &a : accessors) {
            QVERIFY2(((*obj_).*a.first)().isEmpty(), a.second);
            QVERIFY2(log_->contains(QStringLiteral("%1 -- curCameraIndex():  2").arg(a.second)), a.second);
        }
        QVERIFY(!obj_->getCamIsdhcp());
        QVERIFY(log_->contains(QStringLiteral("getCamIsdhcp -- curCameraIndex():  2")));
        obj_->refreshAtStatus(0);
        QVERIFY(log_->contains(QStringLiteral("[vekcameraobject] vekCameraObject::refreshAtStatus()")));
    }

    void lowerVideoFormatRequest()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0));
        const QString address = QStringLiteral("127.0.0.1:%1").arg(server.serverPort());
        QSignalSpy finished(obj_, &vekCameraObject::finished);

        QElapsedTimer t;
        t.start();
        obj_->setLowerVideoFormat(address);
        QVERIFY2(t.elapsed() < 200, "the request must not wait for the camera");
        QCOMPARE(finished.count(), 0);

        QTRY_VERIFY(server.hasPendingConnections());
        QTcpSocket *sock = server.nextPendingConnection();
        QByteArray request;
        QTRY_VERIFY((request += sock->readAll()).contains("\r\n\r\n"));
        // The settings object, its quotes and braces percent-encoded so nothing
        // in it can end the request line early.
        const QByteArray target("/ajaxcom?szCmd=%7B%22SetEnv%22:%7B%22VideoEncode%22:[%7B%22stSlave%22:%7B%22"
                                "emVideoCodec%22:5,%22emImageSize%22:27%7D,%22stMaster%22:%7B%22emVideoCodec%22:5%7D,"
                                "%22nChannel%22:0%7D]%7D%7D");
        QCOMPARE(request.left(request.indexOf("\r\n")), "GET " + target + " HTTP/1.1");
        QVERIFY(request.contains("\r\nHost: " + address.toLatin1() + "\r\n"));

        sock->write("HTTP/1.1 200 OK\r\nContent-Length: 9\r\nConnection: close\r\n\r\n{\"ok\":1}\n");
        sock->flush();
        QTRY_COMPARE(finished.count(), 1);
        QTRY_VERIFY(log_->contains(QStringLiteral(" onfinish....... str:  {\"ok\":1}")));
        sock->close();
    }

    // Anything but a bare host[:port] could redirect the request elsewhere.
    void lowerVideoFormatRefusesBadAddress_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("empty") << "";
        QTest::newRow("path") << "/other";
        QTest::newRow("query") << "?x=1";
        QTest::newRow("space") << " x";
        QTest::newRow("user info") << "@";
    }
    void lowerVideoFormatRefusesBadAddress()
    {
        QFETCH(QString, suffix);
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0));
        const QString address =
            suffix.isEmpty() ? QString() : QStringLiteral("127.0.0.1:%1").arg(server.serverPort()) + suffix;
        obj_->setLowerVideoFormat(address);
        QVERIFY(log_->contains(QStringLiteral("[ERR] setLowerVideoFormat: not a camera address:")));
        QTest::qWait(100);
        QVERIFY(!server.hasPendingConnections());
    }
};

QTEST_GUILESS_MAIN(TestVekRegistry)
#include "tst_vekcamera_registry.moc"
