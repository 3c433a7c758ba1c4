#include "netsvc/netconfig.h"

#include <array>

namespace NetConfig {

const char kStartMarker[] = "# BEGIN CUSTOM";
const char kEndMarker[] = "# END CUSTOM";

namespace {
QStringList splitLines(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString &l : lines)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    return lines;
}
} // namespace

QStringList withoutCustomBlock(const QString &text)
{
    const QString start = QLatin1String(kStartMarker);
    const QString end = QLatin1String(kEndMarker);
    QStringList kept;
    bool skipping = false;
    for (const QString &line : splitLines(text)) {
        const QString t = line.trimmed();
        if (t == start) {
            skipping = true;
            continue;
        }
        if (t == end) {
            skipping = false;
            continue;
        }
        if (!skipping)
            kept << line;
    }
    return kept;
}

bool hasCustomBlock(const QString &text)
{
    const QString start = QLatin1String(kStartMarker);
    for (const QString &line : splitLines(text))
        if (line.trimmed() == start)
            return true;
    return false;
}

QString customBlock(const QString &ip, int prefix, const QString &gateway, const QString &priDns,
                    const QString &secDns)
{
    return QStringLiteral("# BEGIN CUSTOM\ninterface eth0\nstatic ip_address=%1/%2\nstatic routers=%3\n"
                          "static domain_name_servers=%4 %5\n# END CUSTOM\n")
        .arg(ip)
        .arg(prefix)
        .arg(gateway)
        .arg(priDns)
        .arg(secDns);
}

int netmaskToCIDR(const QString &mask)
{
    const QStringList parts = mask.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return -1;
    quint32 value = 0;
    for (const QString &p : parts)
        value = value * 256u + quint32(p.toInt()); // wraps like the 32-bit register it models
    int count = 0;
    while (value & 0x80000000u) {
        ++count;
        value <<= 1;
    }
    return count;
}

QString prefixToMask(int prefix)
{
    if (prefix < 0 || prefix > 32)
        return QString();
    const quint32 m = prefix == 0 ? 0u : (0xFFFFFFFFu << (32 - prefix));
    return QStringLiteral("%1.%2.%3.%4").arg(m >> 24).arg((m >> 16) & 0xFF).arg((m >> 8) & 0xFF).arg(m & 0xFF);
}

QStringList nameservers(const QString &resolvConf)
{
    QStringList servers;
    for (const QString &raw : splitLines(resolvConf)) {
        const QString line = raw.trimmed();
        if (!line.startsWith(QLatin1String("nameserver")))
            continue;
        const QStringList fields = line.split(QLatin1Char(' '));
        if (fields.size() >= 2)
            servers << fields.at(1);
    }
    return servers;
}

unsigned char mostCommon(const QList<unsigned char> &values)
{
    if (values.isEmpty())
        return 0;
    std::array<int, 256> counts{};
    unsigned char best = values.first();
    int bestCount = 0;
    for (unsigned char v : values) {
        const int c = ++counts[v];
        if (c > bestCount) {
            bestCount = c;
            best = v;
        }
    }
    return best;
}

} // namespace NetConfig
