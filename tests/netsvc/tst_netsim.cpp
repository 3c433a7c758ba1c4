// net against the simulated Pi scripts: the supervised meter program talks
// to the meter listener over loopback TCP and moves the bars. (The capture
// script feeds key images in the camera pages' test, on the simulated unit.)
#include "netsvc/net.h"
#include "sim/simpiscripts.h"
#include "tests/common/testsysroot.h"

#include <QtTest>

class TstNetSim : public QObject
{
    Q_OBJECT
private slots:
    void meterProgramDrivesBars()
    {
        TestSysroot root;
        SimPiScripts::Options o;
        o.meterLeft = 0x40;
        o.meterRight = 0x80;
        QVERIFY(SimPiScripts::install(root.root(), o));
        net n;
        QSignalSpy left(&n, &net::sendLeftBarVal);
        QSignalSpy right(&n, &net::sendRightBarVal);
        n.i2sStart();
        QTRY_VERIFY_WITH_TIMEOUT(left.count() >= 2, 10000);
        QCOMPARE(left.at(0).at(0).value<unsigned char>(), (unsigned char)0x40);
        QCOMPARE(right.at(0).at(0).value<unsigned char>(), (unsigned char)0x80);
        QCOMPARE(SimPiScripts::calls(root.root()).value(0), QStringLiteral("/home/pi/audio-meter2 hw:0 0"));
    }
};

QTEST_GUILESS_MAIN(TstNetSim)
#include "tst_netsim.moc"
