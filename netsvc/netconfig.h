#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Text handling behind the network settings and the meter, free of I/O so it
// can be checked line by line.
namespace NetConfig {

extern const char kStartMarker[]; // "# BEGIN CUSTOM"
extern const char kEndMarker[];   // "# END CUSTOM"

// The lines of a configuration text without the custom block. Markers are
// recognised on trimmed lines; the other lines are kept as they are.
QStringList withoutCustomBlock(const QString &text);
bool hasCustomBlock(const QString &text);

// The static block the DHCP client daemon reads for eth0.
QString customBlock(const QString &ip, int prefix, const QString &gateway, const QString &priDns,
                    const QString &secDns);

// "255.255.255.0" -> 24. Counts leading one-bits of the four parts taken as
// one 32-bit value; -1 when there are not exactly four parts. Contiguity is
// not checked (255.0.255.0 gives 8).
int netmaskToCIDR(const QString &mask);

// 24 -> "255.255.255.0"; empty for a prefix outside 0..32.
QString prefixToMask(int prefix);

// Second space-separated field of every "nameserver" line, in file order.
QStringList nameservers(const QString &resolvConf);

// Mode of a sample list: on a tie the value that reached the top count first
// wins; 0 for an empty list.
unsigned char mostCommon(const QList<unsigned char> &values);

} // namespace NetConfig
