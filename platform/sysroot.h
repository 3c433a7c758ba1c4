#pragma once

#include <QString>

class QHostAddress;

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

// The address the panel's own servers (discovery, audio meter) listen on.
// On the panel: every address, as the unit's network expects. Under a
// sysroot (a PC): loopback only, so a demo or a test never answers on the
// machine's network; TAVRIK_LISTEN_ADDRESS may pick another loopback
// address there (for example "::1"), and anything else in it is ignored.
QHostAddress listenAddress();

} // namespace Sysroot
