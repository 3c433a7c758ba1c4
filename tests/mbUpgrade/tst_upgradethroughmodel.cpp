// The upgrade as the interface starts it: through the switcher control
// model's hook, while the interface keeps calling the model from its timers.
#include "mbUpgrade/mbupgradeworker.h"
#include "sim/mbimage.h"
#include "sim/simmainboard.h"
#include "switcher/commandexecobject.h"
#include "tests/common/testsysroot.h"
#include "tests/common/logcapture.h"

#include <QtTest>

#include <QElapsedTimer>
#include <QTimer>

class TstUpgradeThroughModel : public QObject
{
    Q_OBJECT
private slots:
    void modelStaysOffTheLineWhileUpgrading();
};

void TstUpgradeThroughModel::modelStaysOffTheLineWhileUpgrading()
{
    MBUpgradeWorker::Timing fast;
    fast.ioWaitMs = 500;
    fast.breakMs = 20;
    fast.settleMs = 150; // long enough for the interface's timer to run many times meanwhile
    fast.eraseWaitMs = 250;
    MBUpgradeWorker::setDefaultTiming(fast);

    TestSysroot sys;
    LogCapture log;
    SimMainboard mb(QStringLiteral("ttyAMA2"));
    QVERIFY(mb.isOpen());
    commandExecObject model;
    QVERIFY(model.isConnected());
    QVERIFY(model.pgm(2));
    QTRY_COMPARE(mb.program(), 2);

    MbImage image;
    image.packets = MbImage::makePackets(120, 96, 11);
    const QString imagePath = QStringLiteral("/mnt/tervana/tavrik/ZARVOHD.bin");
    QVERIFY(sys.writeFile(imagePath, image.toBytes()));
    mb.expectImage(image.toBytes());
    mb.clearReceived();

    QSignalSpy finished(&model, &commandExecObject::upgradeFinished);
    QSignalSpy messages(&model, &commandExecObject::logMessage);

    // The interface goes on as usual: source buttons, the T-bar, status
    // polling, settings, even reopening the line or a second upgrade. Every
    // call must fail at once.
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
        case 8: model.processFirmwareUpgradeUi(imagePath, QStringLiteral("1.1")); break;
        case 9: model.refreshSettingPages(); break;
        }
        slowest = qMax(slowest, t.elapsed());
        ++calls;
    });

    model.processFirmwareUpgradeUi(imagePath, QStringLiteral("1.1"));
    QVERIFY(model.isUpgrading());
    ui.start();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 30000);
    ui.stop();
    QCOMPARE(finished.at(0).at(0).toBool(), true);
    QVERIFY(!model.isUpgrading());

    QVERIFY2(calls >= 20, qPrintable(QString::number(calls)));
    QVERIFY(log.count(QStringLiteral("firmware upgrade in progress")) >= calls / 2);
    QVERIFY(log.count(QStringLiteral("[ERR] mainboard upgrade already running")) >= 1);
    QCOMPARE(succeeded, 0);
    QVERIFY2(slowest < 50, qPrintable(QString::number(slowest)));

    // Byte for byte only the upgrade went over the line.
    QByteArray expected = MBUpgradeWorker::CommandReset + MBUpgradeWorker::CommandProbe + MBUpgradeWorker::CommandErase;
    for (const QByteArray &p : image.packets)
        expected += MBUpgradeWorker::CommandProbe + p;
    expected += MBUpgradeWorker::CommandProbe + MBUpgradeWorker::CommandBootLoaderReset;
    QCOMPARE(mb.receivedBytes(), expected);
    QCOMPARE(mb.bootPackets(), image.packets);
    QCOMPARE(mb.counters().frames, 1); // the reset command alone
    QVERIFY(!mb.inBootLoader());

    QStringList texts;
    for (const auto &args : messages)
        texts << args.at(0).toString();
    QCOMPARE(texts.size(), 2 + 120 + 1);
    QCOMPARE(texts.mid(0, 2) + texts.mid(121), QStringList({"Prepare", "Start", "Upgrade MB : 100%", "Upgrade MB firmware OK"}));

    // Nothing was used across threads.
    for (const QString &l : log.lines())
        QVERIFY2(!l.contains(QLatin1String("thread"), Qt::CaseInsensitive) && !l.contains(QLatin1String("QSocketNotifier"))
                     && !l.startsWith(QLatin1String("QIODevice")),
                 qPrintable(l));

    // The line is the model's again.
    QVERIFY(model.isConnected());
    mb.clearReceived();
    QVERIFY(model.pgm(3));
    QTRY_COMPARE(mb.program(), 3);
    QCOMPARE(mb.counters().frames, 1);
    MBUpgradeWorker::setDefaultTiming(MBUpgradeWorker::Timing());
}

QTEST_MAIN(TstUpgradeThroughModel)
#include "tst_upgradethroughmodel.moc"
