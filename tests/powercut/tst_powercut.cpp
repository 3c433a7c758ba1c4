// A power cut in the middle of a write must leave the old or the new file,
// whole. The writer process runs the panel's own writer in a loop and is
// killed (SIGKILL, as abrupt as a cut) at a random moment, 200 times per file.
// On a full card the old file stays and the writer says it failed.
#include "tests/common/testsysroot.h"
#include "tests/powercut/powercut.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

#include <csignal>
#include <unistd.h>

class TstPowerCut : public QObject
{
    Q_OBJECT
private slots:
    void survivesKill_data();
    void survivesKill();
    void fullCardKeepsOldFile_data() { survivesKill_data(); }
    void fullCardKeepsOldFile();
};

void TstPowerCut::survivesKill_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("before");
    // What may follow the filler in a whole file.
    QTest::addColumn<QString>("tail");

    const QByteArray filler = powerCutFiller();
    const QByteArray dhcp = "hostname\nclientid\n" + filler;
    QTest::newRow("settings dump") << "settings-dump" << "/home/pi/settings.txt" << filler
                                   << "(pgm=3 pvw=1 key=0 wipe=2\n)*";
    QTest::newRow("dhcpcd.conf") << "dhcpcd" << "/etc/dhcpcd.conf" << dhcp
                                 << "(# BEGIN CUSTOM\ninterface eth0\nstatic ip_address=192\\.0\\.2\\.10/24\n"
                                    "static routers=192\\.0\\.2\\.1\n"
                                    "static domain_name_servers=192\\.0\\.2\\.53 192\\.0\\.2\\.54\n"
                                    "# END CUSTOM\n)?";
    QTest::newRow("boot config copy") << "boot-config" << "/home/pi/config.txt"
                                      << filler + "force_mac_address=b8:27:eb:01:02:03\n"
                                      << "force_mac_address=b8:27:eb:(01:02:03|0a:0b:0c)\n";
    // Every key of both groups, as one complete write leaves them.
    QTest::newRow("interface settings") << "panel-settings" << "/home/pi/.config/Tervana/tavrik.conf"
                                        << QByteArray("[system]\nspeedNum=2\n")
                                        << "\\[system\\]\nspeedNum=2\n|\\[system\\]\n(\\w+=[^\n]*\n){47}"
                                           "\n\\[tallyOut\\]\n(\\w+=[^\n]*\n){31}"
                                           "\n\\[user\\]\n(\\w+=[^\n]*\n){42}";
}

void TstPowerCut::survivesKill()
{
    QFETCH(QString, file);
    QFETCH(QString, path);
    QFETCH(QByteArray, before);
    QFETCH(QString, tail);
    TestSysroot root;
    const QRegularExpression wholeTail(QRegularExpression::anchoredPattern(tail));
    QVERIFY(wholeTail.isValid());
    const int fillerAt = before.lastIndexOf(powerCutFiller());
    const QByteArray head = fillerAt < 0 ? QByteArray() : before.left(fillerAt + powerCutFiller().size());
    QDir dir = QFileInfo(root.path(path)).dir();

    int changed = 0;
    for (int run = 0; run < 200; ++run) {
        for (const QString &left : dir.entryList({QFileInfo(path).fileName() + ".*"}, QDir::Files))
            dir.remove(left); // what an earlier cut left beside the file
        QVERIFY(root.writeFile(path, before));
        QProcess writer;
        writer.setProgram(QStringLiteral(POWERCUT_WRITER));
        writer.setArguments({file});
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start();
        QVERIFY(writer.waitForReadyRead(10000));
        ::usleep(QRandomGenerator::global()->bounded(20000u));
        ::kill(pid_t(writer.processId()), SIGKILL);
        QVERIFY(writer.waitForFinished(10000));
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
        const QByteArray after = root.readFile(path);
        if (!after.startsWith(head) || !wholeTail.match(QString::fromUtf8(after.mid(head.size()))).hasMatch())
            QFAIL(qPrintable(QStringLiteral("run %1 left: %2").arg(run).arg(QString::fromUtf8(after.right(200)))));
        changed += after != before;
    }
    QVERIFY2(changed > 20, "the kills came too early to cut any write");
}

void TstPowerCut::fullCardKeepsOldFile()
{
    QFETCH(QString, file);
    QFETCH(QString, path);
    QFETCH(QByteArray, before);
    TestSysroot root;
    QVERIFY(root.writeFile(path, before));
    QProcess writer;
    writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    writer.start(QStringLiteral(POWERCUT_WRITER), {file, QStringLiteral("full")});
    QVERIFY(writer.waitForFinished(30000));
    QCOMPARE(writer.readAllStandardOutput(), QByteArray("refused\n"));
    QCOMPARE(root.readFile(path), before);
    QCOMPARE(QFileInfo(root.path(path)).dir().entryList({QFileInfo(path).fileName() + ".*"}, QDir::Files), QStringList());
}

QTEST_GUILESS_MAIN(TstPowerCut)
#include "tst_powercut.moc"
