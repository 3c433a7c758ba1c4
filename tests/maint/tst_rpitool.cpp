#include "maint/rpitool.h"
#include "platform/commandrunner.h"
#include "tests/common/logcapture.h"
#include "tests/common/testsysroot.h"

#include <QtTest>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>

namespace {
// <sysroot>/home/pi/raspi2png/raspi2png: records its arguments and runs `body`.
void writeRaspi2png(const TestSysroot &sys, const QByteArray &body)
{
    const QString path = QStringLiteral("/home/pi/raspi2png/raspi2png");
    QVERIFY(sys.writeFile(path, "#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" + sys.root().toLocal8Bit()
                                    + "/.calls/raspi2png-abs.args'\n" + body));
    QFile::setPermissions(sys.path(path), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}
} // namespace

class TstRpiTool : public QObject
{
    Q_OBJECT
private slots:
    void init() { CommandRunner::clearHistory(); }

    // Into a folder made on the way, under a time-stamped name, then synced;
    // a failure is a warning and no sync.
    void screenshot_data()
    {
        QTest::addColumn<QByteArray>("script"); // empty: no tool at all
        QTest::newRow("written") << QByteArray("printf 'PNG' > \"$2\"\n");
        QTest::newRow("tool missing") << QByteArray();
        QTest::newRow("no file written") << QByteArray("exit 1\n");
        QTest::newRow("tool hangs") << QByteArray("exec sleep 10\n");
    }

    void screenshot()
    {
        QFETCH(QByteArray, script);
        TestSysroot sys;
        if (!script.isEmpty())
            writeRaspi2png(sys, script);
        RpiTool tool;
        LogCapture quiet;
        QElapsedTimer t;
        t.start();
        const bool ok = QByteArray(QTest::currentDataTag()) == "written";
        QCOMPARE(tool.saveScreenshot(QStringLiteral("/mnt/tervana/img/")), ok);
        QVERIFY(t.elapsed() < RpiTool::kScreenshotTimeoutMs + 2000);
        QCOMPARE(CommandRunner::history().contains(QStringLiteral("sync")), ok);
        if (!ok)
            return;
        const QStringList files = QDir(sys.path("/mnt/tervana/img")).entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        QVERIFY2(QRegularExpression(QStringLiteral("^screenshot_\\d{8}_\\d{6}\\.png$")).match(files.at(0)).hasMatch(),
                 qPrintable(files.at(0)));
        const QString shot = QDir(sys.path("/mnt/tervana/img")).filePath(files.at(0));
        QCOMPARE(sys.readFile("/.calls/raspi2png-abs.args"), ("-p " + shot + "\n").toLocal8Bit());
    }

    void checkfileExist_data()
    {
        QTest::addColumn<QString>("arg");
        QTest::addColumn<bool>("expected");
        QTest::newRow("file url, present") << QStringLiteral("file:///home/pi/output_01.jpg") << true;
        QTest::newRow("file url, absent") << QStringLiteral("file:///home/pi/output_02.jpg") << false;
        QTest::newRow("plain path, present") << QStringLiteral("/home/pi/output_01.jpg") << false;
        QTest::newRow("other scheme") << QStringLiteral("qrc:/home/pi/output_01.jpg") << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("file url, folder") << QStringLiteral("file:///home/pi") << true;
    }

    void checkfileExist()
    {
        QFETCH(QString, arg);
        QFETCH(bool, expected);
        TestSysroot sys;
        QVERIFY(sys.writeFile("/home/pi/output_01.jpg", "jpg"));
        QCOMPARE(RpiTool().checkfileExist(arg), expected);
    }

    void deleteImagesByPattern()
    {
        TestSysroot sys;
        for (const char *f : {"/home/pi/output_01.jpg", "/home/pi/output_02.jpg", "/home/pi/output_03.png",
                              "/home/pi/keep.jpg", "/home/pi/sub/output_04.jpg", "/home/pi/work/a.jpg"})
            QVERIFY(sys.writeFile(f, "x"));
        QVERIFY(QDir().mkpath(sys.path("/home/pi/output_dir.jpg")));
        RpiTool tool;
        tool.deleteImages(QStringLiteral("/home/pi/"), QStringLiteral("output_*.jpg"));
        // a folder that does not exist is simply empty
        tool.deleteImages(QStringLiteral("/home/pi/none/"), QStringLiteral("*.jpg"));
        // Vague input is refused: a relative or empty folder would be taken
        // from the working folder, an empty filter would match everything.
        const QString oldCwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(sys.path("/home/pi")));
        tool.deleteImages(QString(), QStringLiteral("*"));
        tool.deleteImages(QStringLiteral("work"), QStringLiteral("*"));
        tool.deleteImages(QStringLiteral("/home/pi/work"), QString());
        tool.deleteImages(QStringLiteral("/home/pi/work"), QStringLiteral("  "));
        QDir::setCurrent(oldCwd);

        QStringList left = QDir(sys.path("/home/pi")).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
        left.sort();
        QCOMPARE(left, QStringList({"keep.jpg", "output_03.png", "output_dir.jpg", "sub", "work"}));
        QVERIFY(QFile::exists(sys.path("/home/pi/sub/output_04.jpg")));
        QVERIFY(QFile::exists(sys.path("/home/pi/work/a.jpg")));
    }

    void updateDataReadsSensors()
    {
        TestSysroot sys;
        RpiTool tool;
        QSignalSpy spy(&tool, &RpiTool::dataUpdated);
        tool.updateData(); // nothing to read at all: no cores, temperature kept
        QCOMPARE(tool.temperature(), 0.0f);
        QCOMPARE(tool.frequencies(), QStringList());

        const QString cpu = QStringLiteral("/sys/devices/system/cpu/");
        QVERIFY(sys.writeFile("/sys/class/thermal/thermal_zone0/temp", "48312\n"));
        QVERIFY(sys.writeFile(cpu + "cpu0/cpufreq/scaling_cur_freq", "1500000\n"));
        QVERIFY(sys.writeFile(cpu + "cpu1/cpufreq/scaling_cur_freq", "1999\n"));
        QVERIFY(QDir().mkpath(sys.path(cpu + "cpu2")));
        QVERIFY(sys.writeFile(cpu + "cpu3/cpufreq/scaling_cur_freq", "garbage\n"));
        QVERIFY(sys.writeFile(cpu + "cpu10/cpufreq/scaling_cur_freq", "600000\n"));
        // not cores
        QVERIFY(QDir().mkpath(sys.path(cpu + "cpufreq")) && QDir().mkpath(sys.path(cpu + "cpuidle")));
        QVERIFY(sys.writeFile(cpu + "cpu4", "a file"));
        tool.updateData();
        QCOMPARE(tool.temperature(), 48.312f);
        QCOMPARE(tool.frequencies(), QStringList({"cpu0: 1500 MHz", "cpu1: 1 MHz", "cpu2: N/A", "cpu3: N/A", "cpu10: 600 MHz"}));

        // a second refresh replaces the list; an unreadable sensor keeps the temperature
        QVERIFY(sys.writeFile("/sys/class/thermal/thermal_zone0/temp", "\n"));
        tool.updateData();
        QCOMPARE(tool.frequencies().size(), 5);
        QCOMPARE(tool.temperature(), 48.312f);
        QCOMPARE(spy.count(), 3);
    }

    void rebootWaitsThenReboots()
    {
        TestSysroot sys;
        RpiTool tool;
        QCOMPARE(tool.rebootDelay(), 5000);
        tool.setRebootDelay(300);
        QElapsedTimer t;
        t.start();
        tool.reboot();
        QVERIFY(t.elapsed() >= 300);
        QTRY_COMPARE(sys.calls("reboot"), QStringList({""}));
        QCOMPARE(CommandRunner::history(), QStringList({"reboot"}));
    }
};

QTEST_GUILESS_MAIN(TstRpiTool)
#include "tst_rpitool.moc"
