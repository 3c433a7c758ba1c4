#pragma once

#include "platform/sysroot.h"

#include <QSerialPort>

// Opens the mainboard line as the control model does.
inline bool openMainboardLine(QSerialPort &port)
{
    port.setPortName(Sysroot::serialDevice(QStringLiteral("ttyAMA2")));
    port.setBaudRate(QSerialPort::Baud115200);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    return port.open(QIODevice::ReadWrite);
}
