#include "platform/sysroot.h"

#include <QByteArray>
#include <QHostAddress>

namespace Sysroot {

QString root()
{
    // Read each time: tests set it per test case, and the cost is a getenv.
    QString r = QString::fromLocal8Bit(qgetenv("TAVRIK_SYSROOT"));
    while (r.size() > 1 && r.endsWith(QLatin1Char('/')))
        r.chop(1);
    if (r == QLatin1String("/"))
        return QString();
    return r;
}

QString path(const QString &absolutePath)
{
    if (!absolutePath.startsWith(QLatin1Char('/')))
        return absolutePath;
    const QString r = root();
    return r.isEmpty() ? absolutePath : r + absolutePath;
}

QString serialDevice(const QString &deviceName)
{
    const QString r = root();
    if (r.isEmpty())
        return deviceName;
    if (deviceName.startsWith(QLatin1Char('/')))
        return r + deviceName;
    return r + QStringLiteral("/dev/") + deviceName;
}

QHostAddress listenAddress()
{
    if (root().isEmpty())
        return QHostAddress(QHostAddress::Any);
    const QHostAddress chosen(QString::fromLatin1(qgetenv("TAVRIK_LISTEN_ADDRESS")));
    return chosen.isLoopback() ? chosen : QHostAddress(QHostAddress::LocalHost);
}

} // namespace Sysroot
