#include "tests/common/testsysroot.h"
#include "ui/panelsettings.h"

#include <QtTest>

#include <QProcess>
#include <QRandomGenerator>

#include <csignal>

class TstPanelSettings : public QObject
{
    Q_OBJECT
private slots:
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

    // A power cut during a write: the writer process is killed at random moments;
    // the file must always be one complete round, never a mix or a torn file.
    void killedWriterLeavesOldOrNew()
    {
        TestSysroot sys;
        const QString path = sys.path(QStringLiteral("/home/pi/.config/Tervana/tavrik.conf"));
        // Every key, as one complete write leaves them.
        const QString refPath = sys.path(QStringLiteral("/ref.conf"));
        {
            PanelSettings ref(refPath);
            ref.setValue(QStringLiteral("system"), QStringLiteral("langType"), 1);
        }
        const int allKeys = QSettings(refPath, QSettings::IniFormat).allKeys().size();
        QVERIFY(allKeys > 80);
        int lastRound = 0;
        for (int run = 0; run < 30; ++run) {
            QProcess writer;
            writer.start(QStringLiteral(SETTINGS_WRITER), {path, QString::number(run * 100000 + 1)});
            // The first round includes an fsync, which a busy disk can hold up for seconds.
            QVERIFY(writer.waitForReadyRead(60000));
            QTest::qWait(QRandomGenerator::global()->bounded(1, 40));
            ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
            QVERIFY(writer.waitForFinished(5000));

            QSettings file(path, QSettings::IniFormat);
            QCOMPARE(file.status(), QSettings::NoError);
            QStringList keys = file.allKeys();
            QCOMPARE(keys.size(), allKeys);
            const int round = file.value(QStringLiteral("user/audioCh1_1")).toInt();
            QVERIFY(round >= run * 100000 + 1);
            for (const QString &k : keys)
                if (k.startsWith(QLatin1String("user/audio")) && !k.endsWith(QLatin1String("_factory")))
                    QCOMPARE(file.value(k).toInt(), round);
            lastRound = round;
        }
        QVERIFY(lastRound > 0);
    }
};


QTEST_GUILESS_MAIN(TstPanelSettings)
#include "tst_panelsettings.moc"
