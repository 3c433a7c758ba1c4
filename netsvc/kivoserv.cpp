#include "netsvc/kivoserv.h"

#include "netsvc/netsvclog.h"
#include "platform/atomicfile.h"
#include "platform/commandrunner.h"
#include "platform/sysroot.h"

#include <QDebug>
#include <QFile>
#include <QMutexLocker>
#include <QNetworkDatagram>
#include <QUdpSocket>

namespace {

// A stuck tool must not hold the boot configuration change for ever.
constexpr int kCommandTimeoutMs = 30000;

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

KivoServ::KivoServ(QObject *parent) : QThread(parent)
{
    macChanger_.setMaxThreadCount(1);
}

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

    // A boot configuration change in progress finishes before its socket goes.
    macChanger_.waitForDone();
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
        requestsSeen_.fetch_add(1, std::memory_order_relaxed);
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

bool KivoServ::BoundedLog::due(int intervalMs)
{
    ++count;
    if (last.isValid() && last.elapsed() < intervalMs)
        return false;
    last.start();
    return true;
}

void KivoServ::warnUnusable(const Snapshot &s)
{
    // Any host can send datagrams as fast as it likes: one line per interval
    // with the count, not one per datagram batch.
    if (!unusable_.due(kUnusableWarnIntervalMs))
        return;
    qCWarning(lcNetsvc).noquote() << QStringLiteral("[WARN] KivoServ: unusable settings (ip \"%1\", mac \"%2\", mask \"%3\"), "
                                                    "%4 datagram(s) dropped")
                                         .arg(s.ip, s.mac, s.mask)
                                         .arg(unusable_.count);
    unusable_.count = 0;
}

void KivoServ::refuseMac(const QString &macText, const char *why)
{
    if (!macRefusals_.due(kRefusalLogIntervalMs))
        return;
    qCWarning(lcNetsvc).noquote() << QStringLiteral("[WARN] SET_MACADR %1 refused: %2 (%3 refused since the last such line)")
                                         .arg(macText, QLatin1String(why))
                                         .arg(macRefusals_.count);
    macRefusals_.count = 0;
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

bool KivoServ::isUsableUnitMac(const Kivo::Mac &mac)
{
    // The group bit of the first byte marks multicast, and broadcast with it.
    if (mac[0] & 0x01)
        return false;
    for (const quint8 b : mac)
        if (b != 0)
            return true;
    return false;
}

bool KivoServ::writeBootConfig(const QString &text)
{
    const QString boot = Sysroot::path(QStringLiteral("/boot"));
    const CommandRunner::Result rw = CommandRunner::shell(QStringLiteral("sudo mount -o rw,remount ") + boot, kCommandTimeoutMs);
    if (!rw.started || rw.exitCode != 0) {
        qCWarning(lcNetsvc).noquote() << QStringLiteral("[ERR] %1 could not be made writable, boot configuration left as it was").arg(boot);
        return false;
    }
    const AtomicFile::Result r = AtomicFile::writeAsRoot(Sysroot::path(QStringLiteral("/boot/config.txt")), text.toUtf8(),
                                                         Sysroot::path(QStringLiteral("/home/pi/config.txt")));
    // Read-only again whatever happened, so a later power cut cannot damage
    // the boot partition.
    shellRun(QStringLiteral("sudo mount -o ro,remount ") + boot);
    return r.ok;
}

void KivoServ::assignMac(const QByteArray &request, const Kivo::Quad &ip, const Kivo::Quad &mask,
                         const QHostAddress &replyAddress, quint16 port)
{
    // Anyone on the network may send this (the protocol has no
    // authentication), as fast as they like: everything is checked here,
    // cheaply, before /boot is touched, and the change itself runs off this
    // thread so that discovery stays answered.
    const Kivo::Mac newMac = Kivo::newMacOf(request);
    const QString newMacText = Kivo::macText(newMac);
    if (!isUsableUnitMac(newMac)) {
        refuseMac(newMacText, "not an address a unit may take");
        return;
    }
    QString text;
    {
        QFile in(Sysroot::path(QStringLiteral("/boot/config.txt")));
        if (!in.open(QIODevice::ReadOnly | QIODevice::Text) || in.size() > kBootConfigMaxBytes) {
            refuseMac(newMacText, "boot configuration unreadable");
            return;
        }
        text = QString::fromUtf8(in.readAll());
    }
    const QByteArray reply = Kivo::setMacReply(Kivo::KIVO_TYPE_UDP, newMac, ip, mask);
    QString edited = text;
    if (!Kivo::replaceForcedMac(&edited, newMacText)) {
        refuseMac(newMacText, "no force_mac_address= line, boot configuration unchanged");
        send(request, reply, replyAddress, port, false);
        return;
    }
    if (edited == text) {
        // Already the address the unit starts with: nothing to write.
        refuseMac(newMacText, "the boot configuration already holds it");
        send(request, reply, replyAddress, port, false);
        return;
    }
    if (macChanging_.load() || (lastMacChange_.isValid() && lastMacChange_.elapsed() < kMacChangeIntervalMs)) {
        refuseMac(newMacText, "another change less than 10 s ago");
        return;
    }
    qCDebug(lcNetsvc) << "SET_MACADR BINGO *****************";
    qCDebug(lcNetsvc).noquote() << "Write back /boot/config.txt:" << edited;
    lastMacChange_.start();
    macChanging_.store(true);
    // The socket outlives the job: run() waits for the job before it deletes
    // the socket.
    QUdpSocket *socket = m_UdpServer;
    macChanger_.start([this, socket, edited, request, reply, replyAddress, port] {
        const bool written = writeBootConfig(edited);
        macChanging_.store(false);
        if (!written)
            return; // no confirmation: the tool must not believe it took
        QMetaObject::invokeMethod(
            socket, [this, request, reply, replyAddress, port] { send(request, reply, replyAddress, port, false); },
            Qt::QueuedConnection);
    });
}
