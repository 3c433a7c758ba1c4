#pragma once

#include "tests/common/logcapture.h"
#include "helper_mainboardline.h"
#include "helper_scriptedpeer.h"
#include "mainboard/zarvomu.h"
#include "platform/sysroot.h"
#include "tests/common/testsysroot.h"

#include <QSerialPort>

// One link under test: a scripted peer on "ttyAMA2" of the temporary
// sysroot, the panel's QSerialPort opened on that line as the control model
// opens it, and the link on top.
struct LinkBench {
    ScriptedPeer peer{Sysroot::path(QStringLiteral("/dev/ttyAMA2"))};
    QSerialPort port;
    zarvoMu link{nullptr, &port};
    LogCapture log;

    LinkBench() { openMainboardLine(port); }
    bool ready() const { return peer.isOpen() && port.isOpen(); }
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
