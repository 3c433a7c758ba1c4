#include "mbUpgrade/mbupgradeworker.h"
#include "mbUpgrade/upgradecontroller.h"
#include "platform/sysroot.h"
#include "sim/mbimage.h"
#include "sim/simmainboard.h"
#include "switcher/commandexecobject.h"
#include "tests/common/testsysroot.h"
#include "tests/common/logcapture.h"

#include <QtTest>

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QSerialPort>
#include <QTimer>

#include <functional>
#include <memory>

namespace {
const QByteArray kReset = QByteArray::fromHex("0301EBEF");
const QByteArray kProbe = QByteArray::fromHex("0F");
const QByteArray kErase = QByteArray::fromHex("0300F401007E353304");
const QByteArray kLeave = QByteArray::fromHex("08088104");
const QString kImage = QStringLiteral("/mnt/tervana/tavrik/ZARVOHD.bin");

// Short waits: the simulated board answers at once; only failures wait.
MBUpgradeWorker::Timing fastTiming()
{
    MBUpgradeWorker::Timing t;
    t.ioWaitMs = 300;
    t.breakMs = 20;
    t.settleMs = 50;
    t.probeRetryMs = 200;
    t.eraseWaitMs = 50;
    return t;
}

// What the board must receive for a whole upgrade of `packets`.
QByteArray fullTraffic(const QList<QByteArray> &packets)
{
    QByteArray b = kReset + kProbe + kErase;
    for (const QByteArray &p : packets)
        b += kProbe + p;
    return b + kProbe + kLeave;
}

// The mainboard line opened as the control model opens it, a controller,
// and spies on all it reports.
struct Rig
{
    TestSysroot sys;
    LogCapture log;
    SimMainboard mb{QStringLiteral("ttyAMA2")};
    QSerialPort port;
    std::unique_ptr<UpgradeController> ctl{new UpgradeController};
    QSignalSpy messages{ctl.get(), &UpgradeController::logMessage};
    QSignalSpy finished{ctl.get(), &UpgradeController::upgradeFinished};
    QSignalSpy progress{ctl.get(), &UpgradeController::progressChanged};

    explicit Rig(bool open = true)
    {
        port.setPortName(Sysroot::serialDevice(QStringLiteral("ttyAMA2")));
        port.setBaudRate(115200); // 8N1 without flow control: QSerialPort's defaults
        if (open && !(mb.isOpen() && port.open(QIODevice::ReadWrite)))
            qFatal("mainboard line did not open");
    }
    bool writeImage(const MbImage &image)
    {
        mb.expectImage(image.toBytes());
        return sys.writeFile(kImage, image.toBytes());
    }
    bool start() { return ctl->startUpgrade(port, sys.path(kImage)); }
    // Writes the image, runs the upgrade to its end; its result.
    bool run(const MbImage &image, int timeoutMs = 5000)
    {
        if (!writeImage(image) || !start())
            return false;
        return QTest::qWaitFor([&] { return !finished.isEmpty(); }, timeoutMs) && result();
    }
    QStringList texts() const
    {
        QStringList t;
        for (const auto &args : messages)
            t << args.at(0).toString();
        return t;
    }
    bool result() const { return finished.size() == 1 && finished.at(0).at(0).toBool(); }
};

using Setup = std::function<void(Rig &)>;

MbImage image(const QList<QByteArray> &packets)
{
    MbImage i;
    i.packets = packets;
    return i;
}

QStringList progressTexts(const QList<QByteArray> &packets, qint64 fwSize)
{
    QStringList t;
    quint64 written = 0;
    for (const QByteArray &p : packets) {
        written += quint64(p.size());
        const int percent = fwSize > 0 ? int(100 * written / quint64(fwSize)) : 0;
        t << QStringLiteral("Upgrade MB : %1%").arg(percent);
    }
    return t;
}

// Qt's complaints about an object used from the wrong thread.
QStringList threadWarnings(const LogCapture &log)
{
    QStringList bad;
    for (const QString &l : log.lines())
        if (l.contains(QLatin1String("thread"), Qt::CaseInsensitive) || l.contains(QLatin1String("QSocketNotifier"))
            || l.startsWith(QLatin1String("QObject")) || l.startsWith(QLatin1String("QIODevice")))
            bad << l;
    return bad;
}
} // namespace

Q_DECLARE_METATYPE(Setup)

class TstMbUpgrade : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { MBUpgradeWorker::setDefaultTiming(fastTiming()); }
    void cleanupTestCase() { MBUpgradeWorker::setDefaultTiming(MBUpgradeWorker::Timing()); }

    // Upgrades that run to the end: progress measured against file size - D,
    // and a wrong or missing acknowledgement of packet 2 does not stop them.
    void runsToTheEnd_data()
    {
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<qint64>("d"); // -1: the data adds up to file size - D
        QTest::addColumn<int>("failure");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("error");
        const int ok = SimMainboard::BootNormal;
        QList<int> mixed;
        for (int i = 0; i < 300; ++i)
            mixed << (i == 7 ? 1 : 16 + (i * 37) % 240);
        const QList<int> four{100, 100, 100, 100};
        QTest::newRow("300 packets") << mixed << qint64(-1) << ok << "Upgrade MB : 100%" << QString();
        // a D leaving the firmware larger than the data never reaches 100, smaller overshoots
        QTest::newRow("D zero") << four << qint64(0) << ok << "Upgrade MB : 94%" << QString();
        QTest::newRow("D short by one") << four << qint64(16 + 2 * 4 - 1) << ok << "Upgrade MB : 99%" << QString();
        QTest::newRow("firmware smaller") << four << qint64(16 + 2 * 4 + 200) << ok << "Upgrade MB : 200%" << QString();
        QTest::newRow("firmware size zero") << four << qint64(16 + 2 * 4 + 400) << ok << "Upgrade MB : 0%" << QString();
        QTest::newRow("D beyond the file") << four << qint64(0xFFFFFF) << ok << "Upgrade MB : 0%" << QString();
        QTest::newRow("wrong ack") << four << qint64(-1) << int(SimMainboard::WrongPacketAck) << "Upgrade MB : 100%"
                                   << "[ERR] Write fail 05 04 84 41 04";
        QTest::newRow("no ack") << four << qint64(-1) << int(SimMainboard::NoPacketAck) << "Upgrade MB : 100%"
                                << "[ERR] Not receive ack:";
    }

    void runsToTheEnd()
    {
        QFETCH(QList<int>, sizes);
        QFETCH(qint64, d);
        QFETCH(int, failure);
        QFETCH(QString, last);
        QFETCH(QString, error);
        Rig rig;
        MbImage img = image(MbImage::makePackets(sizes, 3));
        img.d = d;
        rig.mb.setBootLoaderFailure(SimMainboard::BootLoaderFailure(failure), 2);
        bool lineClosedMeanwhile = false;
        QObject::connect(rig.ctl.get(), &UpgradeController::logMessage, [&](const QString &m) {
            if (m == QLatin1String("Start"))
                lineClosedMeanwhile = !rig.port.isOpen();
        });
        QVERIFY(rig.writeImage(img));
        QVERIFY(rig.start());
        QVERIFY(!rig.start()); // one upgrade at a time; the running one goes on
        QTRY_VERIFY_WITH_TIMEOUT(!rig.finished.isEmpty(), 30000);
        QVERIFY(rig.result());
        QVERIFY(!rig.ctl->isRunning());
        const QStringList texts = rig.texts();
        QCOMPARE(texts, QStringList({"Prepare", "Start"}) + progressTexts(img.packets, img.fileSize() - img.effectiveD())
                            + QStringList{"Upgrade MB firmware OK"});
        QCOMPARE(texts.at(texts.size() - 2), last);
        QCOMPARE(rig.progress.size(), sizes.size());
        QCOMPARE(rig.mb.bootPackets(), img.packets);
        QCOMPARE(rig.mb.receivedBytes(), fullTraffic(img.packets));
        QCOMPARE(rig.mb.counters().erases, 1);
        QCOMPARE(rig.mb.counters().bootLoaderEntries, 1);
        QTRY_COMPARE(rig.mb.counters().bootLoaderExits, 1);
        // A fault the upgrade goes past is seen in the log alone.
        if (!error.isEmpty())
            QCOMPARE(rig.log.count(error), 1);
        // the model's port object was closed while the worker had the device,
        // and is open again for the model afterwards
        QVERIFY(lineClosedMeanwhile);
        QVERIFY(rig.port.isOpen());
        QCOMPARE(threadWarnings(rig.log), QStringList());
    }

    void stopsEarly_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QByteArray>("traffic");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("logged");
        QTest::addColumn<bool>("inBootLoader");
        QTest::addColumn<int>("probeGapMs"); // least time between probes; -1: not probed
        // nothing after a wrong reset answer: no break, no probe, no erase (the
        // board itself went to its boot loader on the reset command)
        QTest::newRow("wrong reset ack") << Setup([](Rig &r) { r.mb.injectReply(QByteArray::fromHex("021012")); })
                                         << kReset << QStringList{"Prepare"} << QStringList{"[ERR] Reset fail 02 10 12"}
                                         << true << -1;
        // both answer waits are taken before giving up
        QTest::newRow("no reset ack") << Setup([](Rig &r) { r.mb.setFailureMode(SimMainboard::NoAnswer); }) << kReset
                                      << QStringList{"Prepare"}
                                      << QStringList{"[ERR] Reset fail, no ack", "Count down wait times :  0"} << false << -1;
        // five probes 200 ms apart (plus both answer waits when nothing comes
        // back); the board is left in its boot loader, nothing retries
        const auto probeFailure = [](SimMainboard::BootLoaderFailure failure, int ioWaitMs) {
            return Setup([=](Rig &r) {
                MBUpgradeWorker::Timing timing = fastTiming();
                timing.ioWaitMs = ioWaitMs;
                r.ctl->setTiming(timing);
                r.mb.setBootLoaderFailure(failure);
            });
        };
        const QStringList probeError{"[ERR] Check BootLoad Error"};
        QTest::newRow("wrong probe echo") << probeFailure(SimMainboard::WrongProbeEcho, 300) << kReset + kProbe.repeated(5)
                                          << QStringList{"Prepare"} << probeError << true << 200;
        QTest::newRow("no probe echo") << probeFailure(SimMainboard::NoProbeEcho, 100) << kReset + kProbe.repeated(5)
                                       << QStringList{"Prepare"} << probeError << true << 400;
        QTest::newRow("no erase answer") << Setup([](Rig &r) { r.mb.setBootLoaderFailure(SimMainboard::NoEraseAck); })
                                         << kReset + kProbe + kErase << QStringList{"Prepare", "Start"}
                                         << QStringList{"[ERR] Erase Command Receive ACK Error"} << true << -1;
    }

    void stopsEarly()
    {
        QFETCH(Setup, setup);
        QFETCH(QByteArray, traffic);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, logged);
        QFETCH(bool, inBootLoader);
        QFETCH(int, probeGapMs);
        Rig rig;
        setup(rig);
        QVERIFY(!rig.run(image(MbImage::makePackets(3, 50)), 10000));
        QCOMPARE(rig.finished.size(), 1);
        QCOMPARE(rig.mb.receivedBytes(), traffic);
        QCOMPARE(rig.texts(), texts);
        for (const QString &l : logged)
            QVERIFY2(rig.log.contains(l), qPrintable(l));
        // The break (no byte on the line) follows an acknowledged reset only.
        QCOMPARE(rig.log.contains(QStringLiteral("Try force break")), traffic.size() > kReset.size());
        QCOMPARE(rig.mb.inBootLoader(), inBootLoader);
        QVERIFY(rig.port.isOpen());
        if (probeGapMs < 0)
            return;
        QList<qint64> sent;
        const QStringList lines = rig.log.lines();
        for (int i = 0; i < lines.size(); ++i)
            if (lines.at(i) == QLatin1String("UART send: 0f len: 1"))
                sent << rig.log.time(i);
        QCOMPARE(sent.size(), 5);
        for (int i = 1; i < 5; ++i) {
            const qint64 gap = sent.at(i) - sent.at(i - 1);
            QVERIFY2(gap >= probeGapMs - 5 && gap < probeGapMs + 600, qPrintable(QString::number(gap)));
        }
    }

    void badImageLeavesBoardUntouched_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("error");
        MbImage two = image(MbImage::makePackets(2, 40));
        two.declaredPacketCount = 3;
        const QByteArray claimsThree = two.toBytes();
        two.declaredPacketCount = -1;
        const QByteArray whole = two.toBytes();
        const QString shortHeader = QStringLiteral("[ERR] Failed to read enough data from file.");
        const QString shortPacket = QStringLiteral("[ERR] read size :");
        QTest::newRow("missing") << QByteArray() << false << QStringLiteral("[ERR] unable to open");
        QTest::newRow("empty") << QByteArray() << true << shortHeader;
        QTest::newRow("shorter than the header") << whole.left(15) << true << shortHeader;
        QTest::newRow("more packets declared than present") << claimsThree << true << shortPacket;
        QTest::newRow("length cut") << whole.left(whole.size() - 41) << true << shortPacket;
        QTest::newRow("data cut") << whole.left(whole.size() - 1) << true << shortPacket;
        QTest::newRow("larger than 8 MB") << whole + QByteArray(8 * 1024 * 1024, '\0') << true << QStringLiteral("more than 8388608");
        // an image without packets would leave the board erased and empty
        QTest::newRow("N = 0") << image({}).toBytes() << true << QStringLiteral("[ERR] image declares no packets");
    }

    void badImageLeavesBoardUntouched()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, present);
        QFETCH(QString, error);
        Rig rig;
        if (present)
            QVERIFY(rig.sys.writeFile(kImage, file));
        QVERIFY(rig.start());
        QTRY_COMPARE(rig.finished.size(), 1);
        QVERIFY(!rig.result());
        // checked before the reset: the board keeps its firmware and its mode
        QCOMPARE(rig.mb.receivedBytes(), QByteArray());
        QCOMPARE(rig.mb.counters().bootLoaderEntries, 0);
        QCOMPARE(rig.texts(), QStringList({"[ERR] Firmware image invalid, mainboard not touched"}));
        QVERIFY2(rig.log.contains(error), qPrintable(rig.log.lines().join('\n')));
        QVERIFY(rig.port.isOpen());
    }

    void closedLineFailsAtOnce()
    {
        Rig rig(false);
        QVERIFY(rig.writeImage(image(MbImage::makePackets(2, 10))));
        QElapsedTimer t;
        t.start();
        QVERIFY(!rig.start());
        QVERIFY(!rig.ctl->isRunning());
        // reported from the event loop, never from inside the call
        QCOMPARE(rig.finished.size(), 0);
        QTRY_COMPARE(rig.finished.size(), 1);
        QVERIFY(t.elapsed() < 1000);
        QVERIFY(!rig.result());
        QCOMPARE(rig.texts(), QStringList({"[ERR] Mainboard line is not open, upgrade not started"}));
        QTest::qWait(100);
        QCOMPARE(rig.mb.receivedBytes(), QByteArray());
        QVERIFY(!rig.port.isOpen());
    }

    void destroyedWhileRunning()
    {
        Rig rig;
        QVERIFY(rig.writeImage(image(MbImage::makePackets(40, 10))));
        MBUpgradeWorker::Timing timing = fastTiming();
        timing.ioWaitMs = 100;
        rig.ctl->setTiming(timing);
        rig.mb.setBootLoaderFailure(SimMainboard::NoPacketAck); // slow: every ack is waited out
        QVERIFY(rig.start());
        QTRY_VERIFY(rig.progress.size() >= 1);
        QElapsedTimer t;
        t.start();
        rig.ctl.reset();
        QVERIFY2(t.elapsed() < 3000, qPrintable(QString::number(t.elapsed())));
        QVERIFY(rig.log.contains(QStringLiteral("[ERR] Upgrade stopped at packet")));
        QVERIFY(rig.mb.counters().packets < 40);
        QVERIFY(rig.port.isOpen());
        QCOMPARE(rig.finished.size(), 0);
        QCOMPARE(threadWarnings(rig.log), QStringList());
    }

    void bootLoaderWaits()
    {
        const MBUpgradeWorker::Timing nominal;
        QCOMPARE(nominal.ioWaitMs, 5000);
        QCOMPARE(nominal.probeRetryMs, 200);
        Rig rig;
        rig.ctl->setTiming(nominal);
        const MbImage img = image(MbImage::makePackets(1, 8));
        QVERIFY(rig.run(img, 15000));
        QCOMPARE(rig.mb.receivedBytes(), fullTraffic(img.packets));

        auto at = [&](const QString &text, int from = 0) {
            const int i = rig.log.indexOf(text, from);
            return i < 0 ? qint64(-1) : rig.log.time(i);
        };
        const int breakLine = rig.log.indexOf(QStringLiteral("Try force break using ioctl (TIOCSBRK)..."));
        QVERIFY(breakLine >= 0);
        const qint64 breakOn = rig.log.time(breakLine);
        const qint64 breakOff = at(QStringLiteral("Break released"));
        const qint64 firstProbe = at(QStringLiteral("UART send: 0f len: 1"), breakLine);
        const qint64 erase = at(QStringLiteral("UART send: 03 00 f4 01 00 7e 35 33 04"));
        const qint64 eraseAnswer = at(QStringLiteral("UART recv: 03 63 30 04"));
        QVERIFY2(breakOff - breakOn >= 495 && breakOff - breakOn < 1200, qPrintable(QString::number(breakOff - breakOn)));
        QVERIFY2(firstProbe - breakOff >= 995 && firstProbe - breakOff < 2000,
                 qPrintable(QString::number(firstProbe - breakOff)));
        QVERIFY2(eraseAnswer - erase >= 2995 && eraseAnswer - erase < 4000, qPrintable(QString::number(eraseAnswer - erase)));
    }

    // The upgrade as the interface starts it, through the control model's
    // hook, while the interface keeps calling the model from its timers.
    void modelStaysOffTheLineWhileUpgrading()
    {
        MBUpgradeWorker::Timing timing = fastTiming();
        timing.ioWaitMs = 500;
        timing.settleMs = 150; // long enough for the interface's timer to run many times meanwhile
        timing.eraseWaitMs = 250;
        MBUpgradeWorker::setDefaultTiming(timing);
        const auto restore = qScopeGuard([] { MBUpgradeWorker::setDefaultTiming(fastTiming()); });
        TestSysroot sys;
        LogCapture log;
        SimMainboard mb(QStringLiteral("ttyAMA2"));
        commandExecObject model;
        QVERIFY(mb.isOpen() && model.isConnected() && model.pgm(2));
        QTRY_COMPARE(mb.program(), 2);
        const MbImage img = image(MbImage::makePackets(120, 96, 11));
        QVERIFY(sys.writeFile(kImage, img.toBytes()));
        mb.expectImage(img.toBytes());
        mb.clearReceived();
        QSignalSpy finished(&model, &commandExecObject::upgradeFinished);

        // The interface goes on as usual, even reopening the line or starting
        // a second upgrade: every call must fail at once.
        int calls = 0, succeeded = 0;
        qint64 slowest = 0;
        QTimer ui;
        ui.setInterval(5);
        connect(&ui, &QTimer::timeout, [&] {
            if (!model.isUpgrading())
                return;
            QElapsedTimer t;
            t.start();
            const uint tbar = model.currentTbarPos();
            switch (calls % 10) {
            case 0: succeeded += model.pgm(1 + calls % 4) + model.pvw(1) + model.keyOnPgm(); break;
            case 1: succeeded += model.cutTrans() + model.autoTrans(10) + model.writePipProgram(); break;
            case 2: model.writeTbar(tbar == 500 ? 501 : 500); succeeded += model.currentTbarPos() != tbar; break;
            case 3: model.refreshStatus2(); break;
            case 4: succeeded += model.readTbar() >= 0; break;
            case 5: succeeded += model.writePipSize(33) + model.saveuserMem(3); break;
            case 6: succeeded += model.connectSerial(QStringLiteral("ttyAMA2")); break;
            case 7: model.disConnect(); break;
            case 8: model.processFirmwareUpgradeUi(kImage, QStringLiteral("1.1")); break;
            case 9: model.refreshSettingPages(); break;
            }
            slowest = qMax(slowest, t.elapsed());
            ++calls;
        });

        model.processFirmwareUpgradeUi(kImage, QStringLiteral("1.1"));
        QVERIFY(model.isUpgrading());
        ui.start();
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 30000);
        ui.stop();
        QCOMPARE(finished.at(0).at(0).toBool(), true);
        QVERIFY(!model.isUpgrading());
        QVERIFY2(calls >= 20, qPrintable(QString::number(calls)));
        QVERIFY(log.count(QStringLiteral("[ERR] mainboard upgrade already running")) >= 1);
        QCOMPARE(succeeded, 0);
        QVERIFY2(slowest < 50, qPrintable(QString::number(slowest)));
        // Byte for byte only the upgrade went over the line.
        QCOMPARE(mb.receivedBytes(), fullTraffic(img.packets));
        QCOMPARE(mb.bootPackets(), img.packets);
        QCOMPARE(mb.counters().frames, 1); // the reset command alone
        QVERIFY(!mb.inBootLoader());
        QCOMPARE(threadWarnings(log), QStringList());
        // The line is the model's again.
        QVERIFY(model.isConnected());
        mb.clearReceived();
        QVERIFY(model.pgm(3));
        QTRY_COMPARE(mb.program(), 3);
        QCOMPARE(mb.counters().frames, 1);
    }
};

QTEST_MAIN(TstMbUpgrade)
#include "tst_mbupgrade.moc"
