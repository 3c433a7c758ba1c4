// The Pi side of the unit's window, rebuilt from the stand-ins' record lines
// exactly as the panel's commands leave them.
#include "sim/simpistate.h"

#include <QtTest>

class TstSimPiState : public QObject
{
    Q_OBJECT
private slots:
    void fromCalls_data()
    {
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("key lamps") << QStringList{"i2cset -y 1 0x70 0x40 0x40"} << "keyLamps" << QVariant(true);
        QTest::newRow("key LED 2, then off") << QStringList{"i2cset -y 3 0x77 0x3 0x14", "i2cset -y 3 0x77 0x3 0x11"}
                                             << "keyLedReg3" << QVariant(0x11);
        QTest::newRow("LED driver") << QStringList{"i2cset -y -a 1 0x05 0x02 0x11"} << "ledDriverReg2" << QVariant(0x11);
        QTest::newRow("power-off pulse, both numberings")
            << QStringList{"sudo raspi-gpio set 27 op pn dh", "sudo gpio -g write 27 0", "sudo gpio -g write 27 1",
                           "sudo gpio  write 27 0", "sudo gpio  write 27 1"}
            << "powerOffPulses" << QVariant(2);
        QTest::newRow("power button reads are not writes") << QStringList{"gpio -g read 17"} << "powerOffLine" << QVariant(-1);
        QTest::newRow("audio levels") << QStringList{"sudo /tmp/x/home/pi/lm1972.sh 00 0a ff 01 02 03"} << "audio"
                                      << QVariant("0 10 255 1 2 3");
        QTest::newRow("program output started")
            << QStringList{"pi-scripts /home/pi/preview.x /tmp/x/home/pi/720P60EDID.txt 60000/1001"} << "programRate"
            << QVariant("60000/1001");
        QTest::newRow("program output stopped")
            << QStringList{"pi-scripts /home/pi/preview.x e 60000/1000", "sudo pkill preview.x"} << "programOutput"
            << QVariant(false);
        QTest::newRow("capture") << QStringList{"pi-scripts /home/pi/cap.sh "} << "captures" << QVariant(1);
        QTest::newRow("garbage changes nothing") << QStringList{"i2cset -y 3 0x77", "gpio write", "", "sudo"}
                                                 << "keyLedReg2" << QVariant(-1);
    }
    void fromCalls()
    {
        QFETCH(QStringList, calls);
        QFETCH(QString, field);
        QFETCH(QVariant, expected);
        SimPiState s;
        for (const QString &c : calls)
            s.apply(c);
        QStringList audio;
        for (int v : s.audio)
            audio << QString::number(v);
        const QVariantMap got{{"keyLamps", s.keyLampsOn}, {"keyLedReg3", s.keyLedReg3}, {"keyLedReg2", s.keyLedReg2},
                              {"ledDriverReg2", s.ledDriverReg2}, {"powerOffPulses", s.powerOffPulses},
                              {"powerOffLine", s.powerOffLine}, {"audio", audio.join(' ')},
                              {"programRate", s.programRate}, {"programOutput", s.programOutput},
                              {"captures", s.captures}};
        QCOMPARE(got.value(field), expected);
    }
};

QTEST_GUILESS_MAIN(TstSimPiState)
#include "tst_simpistate.moc"
