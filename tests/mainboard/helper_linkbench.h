#pragma once

#include "tests/common/logcapture.h"
#include "helper_mainboardline.h"
#include "helper_scriptedpeer.h"
#include "mainboard/zarvomu.h"
#include "platform/sysroot.h"
#include "tests/common/testsysroot.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QThread>

// One link under test: a temporary sysroot, a scripted peer on its
// "ttyAMA2", the panel's QSerialPort opened on that line as the control
// model opens it, and the link on top.
struct LinkBench {
    TestSysroot root;
    ScriptedPeer peer{root.path("/dev/ttyAMA2")};
    QSerialPort port;
    zarvoMu link{nullptr, &port};
    LogCapture log;

    LinkBench() { openMainboardLine(port); }
    bool ready() const { return peer.isOpen() && port.isOpen(); }

    // Back to a fresh state between test rows (cheaper than a new bench):
    // the peer idle and forgetful, the line open and empty, the link's
    // flags cleared, the log empty.
    bool reset()
    {
        QElapsedTimer t;
        t.start();
        while (peer.pending() > 0 && t.elapsed() < 5000)
            QThread::msleep(5);
        if (!port.isOpen())
            port.open(QIODevice::ReadWrite);
        link.mainboardIsBusy = false;
        link.sltSpecialMission(false);
        link.setIsUseSocket(false);
        link.setWaitDivisor(1);
        // A barrier: the peer handles frames in order, so once it has
        // answered this one, every frame of the previous row is recorded
        // and can be forgotten.
        const QByteArray marker = QByteArray::fromHex("03000104");
        const QByteArray answer = QByteArray::fromHex("B0B1B2B3");
        peer.clear();
        peer.setResponder([marker, answer](const QByteArray &f) {
            return f == marker ? ScriptedPeer::Script{{0, answer}} : ScriptedPeer::Script{};
        });
        link.send(marker);
        QByteArray in;
        t.restart();
        while (!in.contains(answer) && t.elapsed() < 3000) {
            if (port.bytesAvailable() > 0 || port.waitForReadyRead(20))
                in += port.readAll();
        }
        peer.setResponder(nullptr);
        peer.clear();
        port.readAll();
        port.clear();
        log.clear();
        return ready() && in.contains(answer) && peer.pending() == 0;
    }
};

inline QByteArray hexBytes(const char *s) { return QByteArray::fromHex(s); }

// The frame with the low byte of its sum appended.
inline QByteArray framed(const QByteArray &body)
{
    unsigned sum = 0;
    for (unsigned char c : body)
        sum += c;
    return body + char(sum & 0xFF);
}
