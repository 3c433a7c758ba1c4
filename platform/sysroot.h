#pragma once

#include <QString>

// Every absolute path and device name the panel touches goes through here.
// On the panel TAVRIK_SYSROOT is unset and paths are returned unchanged; on a
// PC (tests, the simulated unit) they resolve under the sysroot folder.
namespace Sysroot {

// The sysroot folder without a trailing slash, or empty on the panel.
QString root();

// "/etc/dhcpcd.conf" -> "<sysroot>/etc/dhcpcd.conf". Relative paths are
// returned unchanged.
QString path(const QString &absolutePath);

// A serial device name as the panel knows it ("ttyAMA2") -> the name to hand
// to QSerialPort: "ttyAMA2" on the panel, "<sysroot>/dev/ttyAMA2" otherwise.
QString serialDevice(const QString &deviceName);

} // namespace Sysroot
