#include "netsvc/kivoserv.h"

#include "netsvc/netsvclog.h"
#include "platform/commandrunner.h"
#include "platform/sysroot.h"

#include <QDebug>
#include <QFile>
#include <QMutexLocker>
#include <QNetworkDatagram>
#include <QSaveFile>
#include <QTextStream>
#include <QUdpSocket>

namespace {

// A stuck tool must not hold the server thread for ever.
constexpr int kCommandTimeoutMs = 30000;
// Gives the boot partition time to settle after the remount and copy.
constexpr int kAfterCopyWaitMs = 1000;

QString hex(const QByteArray &b)
{
    return QString::fromLatin1(b.toHex(' '));
}

void shellRun(const QString &cmd)
{
    const CommandRunner::Result r = CommandRunner::shell(cmd, kCommandTimeoutMs);
    if (!r.started || r.exitCode != 0)
        qCWarning(lcNetsvc).noquote() << QStringLiteral("[WARN] command failed (%1): %2").arg(r.exitCode).arg(cmd);
}

} // namespace

KivoServ::KivoServ(QObject *parent) : QThread(parent) {}

KivoServ::~KivoServ()
{
    stop();
}

void KivoServ::stop()
{
    if (isRunning()) {
        quit();
        wait();
    }
}

void KivoServ::store(QString *field, const QString &label, const QString &value)
{
    qCDebug(lcNetsvc).noquote() << label + value;
    QMutexLocker l(&lock_);
    *field = value;
}

void KivoServ::setBroadcastIp(QString ip)
{
    store(&broadcastIp, QStringLiteral(" setBroadcastIp broadcastIp: "), ip);
}

void KivoServ::setIp(QString ip)
{
    store(&localIp, QStringLiteral(" setIp: "), ip);
}

void KivoServ::setMask(QString mask)
{
    store(&localNetmask, QStringLiteral(" setMask: "), mask);
}

void KivoServ::setMac(QString mac)
{
    store(&localMacAddress, QStringLiteral(" setMac: "), mac);
}

void KivoServ::setModelName(bool flag)
{
    qCDebug(lcNetsvc).noquote() << QStringLiteral(" setModelName flag: ") + (flag ? QStringLiteral("true") : QStringLiteral("false"));
    QMutexLocker l(&lock_);
    osselFlag = flag;
}

void KivoServ::setPort(quint16 port)
{
    QMutexLocker l(&lock_);
    port_ = port;
}

bool KivoServ::isListening() const
{
    QMutexLocker l(&lock_);
    return listening_;
}

KivoServ::Snapshot KivoServ::snapshot()
{
    QMutexLocker l(&lock_);
    return {localIp, localMacAddress, localNetmask};
}

void KivoServ::run()
{
    qCDebug(lcNetsvc) << "Kivo Server run";
    quint16 port;
    {
        QMutexLocker l(&lock_);
        port = port_;
    }
    m_UdpServer = new QUdpSocket();
    if (!m_UdpServer->bind(Sysroot::listenAddress(), port, QUdpSocket::ShareAddress)) {
        qCWarning(lcNetsvc) << "[ERR] Failed to bind UDP socket!";
        delete m_UdpServer;
        m_UdpServer = nullptr;
        emit listening(false);
        return;
    }
    connect(m_UdpServer, &QUdpSocket::readyRead, this, &KivoServ::handleDatagram, Qt::DirectConnection);
    {
        QMutexLocker l(&lock_);
        listening_ = true;
    }
    emit listening(true);

    exec();

    {
        QMutexLocker l(&lock_);
        listening_ = false;
    }
    if (m_UdpServer) {
        qCDebug(lcNetsvc) << "End KIVO Server";
        m_UdpServer->close();
        delete m_UdpServer;
        m_UdpServer = nullptr;
    }
    qCDebug(lcNetsvc) << "[KivoServ] thread exiting";
}

void KivoServ::handleDatagram()
{
    // The socket belongs to the server thread; a call from anywhere else
    // (the slot is reachable from the interface) must not even read the
    // pointer, which the server thread writes.
    if (QThread::currentThread() != this || !m_UdpServer)
        return;
    const Snapshot s = snapshot();

    Kivo::Mac mac{};
    Kivo::Quad ip{};
    Kivo::Quad mask{};
    // Values of the wrong shape cannot fill a reply; the datagrams are still
    // read, because Qt reports no further data on a socket left unread and
    // the server would stay deaf once the values were corrected.
    const bool usable = !s.ip.isEmpty() && Kivo::parseQuad(s.ip, &ip) && Kivo::parseMac(s.mac, &mac)
                        && Kivo::parseQuad(s.mask, &mask);
    if (usable) {
        QMutexLocker l(&lock_);
        // Replies to broadcasts always go to the /24 broadcast of the panel's
        // own address, whatever the netmask or setBroadcastIp said.
        broadcastIp = Kivo::broadcastOf(s.ip);
    }
    const QString macString = Kivo::macHex(mac);

    while (m_UdpServer && m_UdpServer->hasPendingDatagrams()) {
        const QNetworkDatagram d = m_UdpServer->receiveDatagram();
        if (!usable) {
            warnUnusable(s);
            continue;
        }
        // A failed read still yields an (invalid) datagram: nothing to answer.
        if (d.senderPort() < 0 || d.senderAddress().isNull())
            continue;
        QHostAddress replyAddress = d.senderAddress();
        if (replyAddress.protocol() == QAbstractSocket::IPv6Protocol) {
            bool isV4 = false;
            const quint32 v4 = replyAddress.toIPv4Address(&isV4);
            if (isV4 && v4 != 0)
                replyAddress = QHostAddress(v4);
        }
        handleOne(d.data(), replyAddress, quint16(d.senderPort()), mac, ip, mask, macString);
    }
}

void KivoServ::warnUnusable(const Snapshot &s)
{
    // Any host can send datagrams as fast as it likes: one line per interval
    // with the count, not one per datagram batch.
    ++unusableDropped_;
    if (unusableWarned_.isValid() && unusableWarned_.elapsed() < kUnusableWarnIntervalMs)
        return;
    qCWarning(lcNetsvc).noquote() << QStringLiteral("[WARN] KivoServ: unusable settings (ip \"%1\", mac \"%2\", mask \"%3\"), "
                                                    "%4 datagram(s) dropped")
                                         .arg(s.ip, s.mac, s.mask)
                                         .arg(unusableDropped_);
    unusableDropped_ = 0;
    unusableWarned_.start();
}

void KivoServ::handleOne(const QByteArray &request, const QHostAddress &replyAddress, quint16 port,
                         const Kivo::Mac &mac, const Kivo::Quad &ip, const Kivo::Quad &mask,
                         const QString &macString)
{
    switch (Kivo::dispatch(request)) {
    case Kivo::Command::SetMacAdr:
        assignMac(request, ip, mask, replyAddress, port);
        break;
    case Kivo::Command::EthReq: {
        qCDebug(lcNetsvc).noquote() << "[INFO] ETH_REQ MAC List :" << macString;
        qCDebug(lcNetsvc) << "[INFO] ETH_REQ IP List :" << int(ip[0]) << int(ip[1]) << int(ip[2]) << int(ip[3]);
        qCDebug(lcNetsvc) << "[INFO] ETH_REQ MASK List :" << int(mask[0]) << int(mask[1]) << int(mask[2]) << int(mask[3]);
        QByteArray reply = Kivo::ethReqReply(Kivo::KIVO_TYPE_UDP, mac, ip, mask);
        qCDebug(lcNetsvc).noquote() << "[INFO] WRITE ETH_REQ RESPONSE *****************" << hex(reply);
        send(request, reply, replyAddress, port, true);
        break;
    }
    case Kivo::Command::GetModel:
    case Kivo::Command::GetModelName: {
        const bool name = Kivo::dispatch(request) == Kivo::Command::GetModelName;
        const QString incomingMac = Kivo::targetMacHex(request);
        qCDebug(lcNetsvc).noquote() << (name ? QStringLiteral("[INFO] GET_MODEL_NAME BINGO *****************incomingMac: ")
                                             : QStringLiteral("[INFO] GET_MODEL BINGO *****************incomingMac: "))
                                           + incomingMac + QStringLiteral(", macString = ") + macString.toUpper();
        if (incomingMac.isEmpty()) {
            qCWarning(lcNetsvc) << "[WARN] KivoServ: request too short to carry a MAC, ignored";
            break;
        }
        if (incomingMac != macString.toUpper())
            break;
        QByteArray reply = name ? Kivo::getModelNameReply(Kivo::KIVO_TYPE_UDP)
                                : Kivo::getModelReply(Kivo::KIVO_TYPE_UDP);
        if (!name)
            qCDebug(lcNetsvc).noquote() << "[INFO] WRITE GET_MODEL RESPONSE *****************" << hex(reply);
        send(request, reply, replyAddress, port, true);
        break;
    }
    case Kivo::Command::None:
        break;
    }
}

void KivoServ::send(const QByteArray &request, QByteArray reply, const QHostAddress &replyAddress,
                    quint16 port, bool flush)
{
    QHostAddress to = replyAddress;
    reply[Kivo::kTypeOffset] = char(Kivo::replyType(request));
    if (Kivo::isBroadcastRequest(request)) {
        QString bc;
        {
            QMutexLocker l(&lock_);
            bc = broadcastIp;
        }
        to = QHostAddress(bc);
    }
    if (m_UdpServer->writeDatagram(reply, to, port) != reply.size())
        qCWarning(lcNetsvc).noquote() << QStringLiteral("[WARN] KivoServ: reply to %1:%2 not sent: %3")
                                             .arg(to.toString()).arg(port).arg(m_UdpServer->errorString());
    if (flush)
        m_UdpServer->flush();
}

bool KivoServ::writeWorkingCopy(const QString &path, const QString &text)
{
    QSaveFile out(path);
    bool written = out.open(QIODevice::WriteOnly | QIODevice::Text);
    if (written) {
        const QByteArray bytes = text.toUtf8();
        written = out.write(bytes) == bytes.size() && out.commit();
    }
    if (!written)
        qCWarning(lcNetsvc).noquote() << QStringLiteral("[ERR] Cannot write %1: %2").arg(path, out.errorString());
    return written;
}

void KivoServ::assignMac(const QByteArray &request, const Kivo::Quad &ip, const Kivo::Quad &mask,
                         const QHostAddress &replyAddress, quint16 port)
{
    qCDebug(lcNetsvc) << "SET_MACADR BINGO *****************";
    const Kivo::Mac newMac = Kivo::newMacOf(request);
    const QString newMacText = Kivo::macText(newMac);

    const QString homeCopy = Sysroot::path(QStringLiteral("/home/pi/config.txt"));
    const QString bootConfig = Sysroot::path(QStringLiteral("/boot/config.txt"));
    // The boot partition gets the new file beside the old one and a rename,
    // so a power cut leaves the old or the new configuration, never half.
    const QString bootBeside = Sysroot::path(QStringLiteral("/boot/config.txt.new"));

    shellRun(QStringLiteral("sudo rm ") + homeCopy);
    shellRun(QStringLiteral("sudo mount -o rw,remount ") + Sysroot::path(QStringLiteral("/boot")));
    shellRun(QStringLiteral("cp ") + bootConfig + QLatin1Char(' ') + homeCopy);
    shellRun(QStringLiteral("sync"));
    QThread::msleep(kAfterCopyWaitMs);

    QString text;
    {
        QFile in(homeCopy);
        if (in.open(QIODevice::ReadOnly | QIODevice::Text)) {
            QTextStream ts(&in);
            text = ts.readAll();
        } else {
            qCWarning(lcNetsvc).noquote() << QStringLiteral("[ERR] Cannot open %1: %2").arg(homeCopy, in.errorString());
        }
    }

    if (Kivo::replaceForcedMac(&text, newMacText) && text.contains(newMacText)) {
        qCDebug(lcNetsvc).noquote() << "Write back /boot/config.txt:" << text;
        if (writeWorkingCopy(homeCopy, text)) {
            shellRun(QStringLiteral("sync"));
            const CommandRunner::Result cp = CommandRunner::shell(
                QStringLiteral("sudo cp ") + homeCopy + QLatin1Char(' ') + bootBeside, kCommandTimeoutMs);
            shellRun(QStringLiteral("sync"));
            if (cp.started && cp.exitCode == 0) {
                shellRun(QStringLiteral("sudo mv ") + bootBeside + QLatin1Char(' ') + bootConfig);
                shellRun(QStringLiteral("sync"));
            } else {
                qCWarning(lcNetsvc).noquote() << "[ERR] Copy to the boot partition failed, boot configuration left as it was";
            }
        }
    } else {
        qCWarning(lcNetsvc) << "[WARN] SET_MACADR: no force_mac_address= line, boot configuration unchanged";
    }
    // Read-only again whatever happened above, so a later power cut cannot
    // damage the boot partition.
    shellRun(QStringLiteral("sudo mount -o ro,remount ") + Sysroot::path(QStringLiteral("/boot")));

    QByteArray reply = Kivo::setMacReply(Kivo::KIVO_TYPE_UDP, newMac, ip, mask);
    send(request, reply, replyAddress, port, false);
}
