#include "tests/common/fullcard.h"
#include "tests/common/testsysroot.h"
#include "ui/configbackup.h"
#include "ui/panel.h"
#include "ui/panelsettings.h"
#include "ui/timeseam.h"

#include <QtTest>


class TstPanelSettings : public QObject
{
    Q_OBJECT
private slots:
    // A configuration file is taken only when every field is sound.
    void configurationFileChecks_data()
    {
        QTest::addColumn<QByteArray>("sections");
        QTest::addColumn<bool>("taken");
        QTest::newRow("sound") << QByteArray(R"({"interface":{"system/langType":2,"user/audioCh1_1":40},"network":{"dhcp":false,"address":"10.0.0.2","mask":"255.0.0.0","gateway":"10.0.0.1"},"tally":{"x":1}})") << true;
        QTest::newRow("dhcp without addresses") << QByteArray(R"({"network":{"dhcp":true,"address":"","mask":"","gateway":""}})") << true;
        QTest::newRow("unknown key") << QByteArray(R"({"interface":{"system/apiToken":1}})") << false;
        QTest::newRow("token never restored") << QByteArray(R"({"interface":{"system/apiControlToken":"k","tallyOut/dest1Port":8900}})") << true;
        QTest::newRow("tally port out of range") << QByteArray(R"({"interface":{"tallyOut/dest1Port":70000}})") << false;
        QTest::newRow("out of range") << QByteArray(R"({"interface":{"system/langType":3}})") << false;
        QTest::newRow("fraction") << QByteArray(R"({"interface":{"system/cam1Speed":2.5}})") << false;
        QTest::newRow("bool for a number") << QByteArray(R"({"interface":{"system/langType":true}})") << false;
        QTest::newRow("number for a bool") << QByteArray(R"({"interface":{"system/firstEntry":1}})") << false;
        QTest::newRow("picture outside") << QByteArray(R"({"interface":{"system/imageKey1File":"/home/../etc/shadow"}})") << false;
        QTest::newRow("T-bar ends together") << QByteArray(R"({"interface":{"system/loBound":900,"system/hiBound":920}})") << false;
        QTest::newRow("bad address") << QByteArray(R"({"network":{"dhcp":false,"address":"10.0.0.300","mask":"255.0.0.0","gateway":"10.0.0.1"}})") << false;
        QTest::newRow("dhcp not a bool") << QByteArray(R"({"network":{"dhcp":"yes","address":"","mask":"","gateway":""}})") << false;
        QTest::newRow("interface not an object") << QByteArray(R"({"interface":[1]})") << false;
    }
    void configurationFileChecks()
    {
        QFETCH(QByteArray, sections);
        QFETCH(bool, taken);
        const QByteArray file = R"({"format":"tavrik-configuration","version":1,"sections":)" + sections + "}";
        const ConfigBackup::Parsed p = ConfigBackup::parse(file);
        QVERIFY2(p.ok == taken, qPrintable(p.error));
        QVERIFY(!p.contents.interface.contains(QStringLiteral("system/apiControlToken")));
        if (taken) // a file written back holds the same
            QCOMPARE(ConfigBackup::parse(ConfigBackup::serialize(p.contents, {})).contents.interface, p.contents.interface);
    }
    void configurationFileHeader_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not JSON") << QByteArray("[system]\nlangType=1\n");
        QTest::newRow("foreign") << QByteArray(R"({"format":"other","version":1,"sections":{}})");
        QTest::newRow("newer") << QByteArray(R"({"format":"tavrik-configuration","version":2,"sections":{}})");
        QTest::newRow("version as text") << QByteArray(R"({"format":"tavrik-configuration","version":"1","sections":{}})");
        QTest::newRow("too large") << QByteArray(R"({"format":"tavrik-configuration","version":1,"sections":{},"pad":")")
                                          + QByteArray(ConfigBackup::kMaxFileBytes, 'x') + "\"}";
    }
    void configurationFileHeader()
    {
        QFETCH(QByteArray, file);
        const ConfigBackup::Parsed p = ConfigBackup::parse(file);
        QVERIFY(!p.ok && !p.error.isEmpty());
    }

    void unreadableFileIsNotAFirstStart_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("directory");
        QTest::addColumn<int>("result");
        QTest::newRow("none") << QByteArray() << false << int(PanelSettings::FirstStart);
        QTest::newRow("good") << QByteArray("[system]\nlangType=2\nfirstEntry=false\n") << false << int(PanelSettings::Loaded);
        QTest::newRow("empty") << QByteArray("") << false << int(PanelSettings::Damaged);
        QTest::newRow("garbage") << QByteArray("\xff\xfe\x01[\x02\nlang") << false << int(PanelSettings::Damaged);
        QTest::newRow("a folder") << QByteArray() << true << int(PanelSettings::Damaged);
    }

    void unreadableFileIsNotAFirstStart()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, directory);
        QFETCH(int, result);
        TestSysroot sys;
        const QString path = sys.path(QStringLiteral("/home/pi/.config/Tervana/tavrik.conf"));
        if (directory)
            QVERIFY(QDir().mkpath(path));
        else if (result != PanelSettings::FirstStart)
            QVERIFY(sys.writeFile(QStringLiteral("/home/pi/.config/Tervana/tavrik.conf"), content));
        {
            PanelSettings s;
            QCOMPARE(int(s.load()), result);
            QCOMPARE(s.boolValue(QStringLiteral("system"), QStringLiteral("firstEntry")),
                     result == PanelSettings::FirstStart);
            QCOMPARE(s.intValue(QStringLiteral("system"), QStringLiteral("langType")), result == PanelSettings::Loaded ? 2 : 0);
        }
        if (directory)
            return;
        // A damaged file is rewritten at once: the next start reads it.
        PanelSettings again;
        QCOMPARE(int(again.load()), result == PanelSettings::Damaged ? int(PanelSettings::Loaded) : result);
    }

    // A write that fails on a full card is shown once over any page (the
    // panel's notice); the settings are tried again until they are saved.
    void failedWriteShown()
    {
        TestSysroot sys;
        TimeSeam::setSpeedup(1000);
        const auto normalTime = qScopeGuard([] { TimeSeam::setSpeedup(1); });
        PanelSettings s;
        Panel panel(nullptr, &s);
        QSignalSpy failed(&s, &PanelSettings::writeFailed);
        {
            FullCard full;
            for (int speed : {1, 0}) {
                s.setValue(QStringLiteral("system"), QStringLiteral("speedNum"), speed);
                QVERIFY(!s.flush());
            }
        }
        QTRY_COMPARE(failed.size(), 1);
        QCOMPARE(panel.notice(), QStringLiteral("The settings could not be saved; they are kept until the next start only."));
        QTRY_VERIFY(s.writeError().isEmpty());
        QCOMPARE(failed.size(), 1);
        PanelSettings again;
        QCOMPARE(int(again.load()), int(PanelSettings::Loaded));
        QCOMPARE(again.intValue(QStringLiteral("system"), QStringLiteral("speedNum")), 0);
    }

    // The file is written without QSettings (whose writes go unchecked on a
    // full card) and read with it: every text reads back as it was.
    void textsReadBackUnchanged_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("url") << "file:///home/pi/output_01.jpg";
        QTest::newRow("separators") << "a,b;c=d";
        QTest::newRow("quotes and backslashes") << "say \"hi\" \\ there";
        QTest::newRow("outer spaces") << " padded ";
        QTest::newRow("at sign") << "@Variant(x)";
        QTest::newRow("control and hex digit") << "tab\tafter\x01" "2";
        QTest::newRow("non-ASCII") << QString::fromUtf8("畫面 äö");
        QTest::newRow("empty") << "";
    }
    void textsReadBackUnchanged()
    {
        QFETCH(QString, text);
        TestSysroot sys;
        {
            PanelSettings s;
            s.setValue(QStringLiteral("system"), QStringLiteral("imageKey1File"), text);
            QVERIFY(s.flush());
        }
        PanelSettings again;
        QCOMPARE(int(again.load()), int(PanelSettings::Loaded));
        QCOMPARE(again.stringValue(QStringLiteral("system"), QStringLiteral("imageKey1File")), text);
    }
};


QTEST_GUILESS_MAIN(TstPanelSettings)
#include "tst_panelsettings.moc"
