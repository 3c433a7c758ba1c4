// The media half of net: the audio meter program and its level frames, the
// level script, program output, still capture for the image keys, and the
// small hardware details driven by tools and marker files.
#include "netsvc/net.h"

#include "netsvc/netconfig.h"
#include "netsvc/netsvclog.h"
#include "platform/commandrunner.h"
#include "platform/sysroot.h"
#include "platform/threadcheck.h"

#include <QDebug>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QNetworkInterface>
#include <QProcess>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kMeterSuperviseMs = 3000;
constexpr int kMeterReadBuffer = 50;
constexpr int kMeterCycle = 25;
// Scripts run to completion on the interface thread; none may freeze it for
// good.
constexpr int kScriptTimeoutMs = 30000;
constexpr int kLivePollMs = 50;

QString pi(const char *relative)
{
    return Sysroot::path(QStringLiteral("/home/pi/") + QLatin1String(relative));
}

// Waits for the shell; returns its exit code (-1 when it could not run).
int runShell(const QString &cmd)
{
    const CommandRunner::Result r = CommandRunner::shell(cmd, kScriptTimeoutMs);
    if (r.timedOut)
        qCWarning(lcNetsvc).noquote() << "[WARN] command timed out:" << cmd;
    return r.exitCode;
}

// Commands ending in " &" leave a program running. The shell is started
// detached so the program keeps the panel's own output channels: a pipe
// closed behind it would kill it at its first write.
int runBackground(const QString &cmd)
{
    return CommandRunner::startDetachedShell(cmd) ? 0 : -1;
}

// One level byte; the script runs as root, granted for exactly two hex
// digits per level, so nothing else may reach its command line.
QString hex2(int v)
{
    return QStringLiteral("%1").arg(qBound(0, v, 255), 2, 16, QLatin1Char('0'));
}

} // namespace

net::net(QObject *parent)
    : QObject(parent),
      devIface(QStringLiteral("eth0")),
      dhcpdCfgPath(QStringLiteral("/etc/dhcpcd.conf")),
      startMarker(QLatin1String(NetConfig::kStartMarker)),
      endMarker(QLatin1String(NetConfig::kEndMarker))
{
    i2sTimer = new QTimer(this);
    i2sTimer->setInterval(kMeterSuperviseMs);
    connect(i2sTimer, &QTimer::timeout, this, &net::i2sStart);
    i2sTimer->start();

    m_TcpServer = new QTcpServer(this);
    meterRetry_ = new QTimer(this);
    meterRetry_->setSingleShot(true);
    meterRetry_->setInterval(kMeterAcceptRetryMs);
    meterSweep_ = new QTimer(this);
    meterSweep_->setInterval(kMeterSweepMs);
    connect(meterSweep_, &QTimer::timeout, this, &net::sweepMeterConnections);
    meterSweep_->start();
    if (!m_TcpServer->listen(Sysroot::listenAddress(), kMeterPort))
        qCWarning(lcNetsvc).noquote() << "[WARN] audio meter listener:" << m_TcpServer->errorString();
    // The listener accepts through a notifier of its own: Qt retries a
    // failing accept (out of descriptors) at once, for ever, spinning the
    // interface thread. Here a failure pauses accepting for a while.
    if (m_TcpServer->isListening()) {
        m_TcpServer->pauseAccepting();
        meterAccept_ = new QSocketNotifier(m_TcpServer->socketDescriptor(), QSocketNotifier::Read, this);
        connect(meterAccept_, &QSocketNotifier::activated, this, &net::newConn);
        connect(meterRetry_, &QTimer::timeout, meterAccept_, [this] { meterAccept_->setEnabled(true); });
    }
}

net::~net()
{
    if (i2sProc && i2sProc->state() != QProcess::NotRunning) {
        i2sProc->kill();
        i2sProc->waitForFinished(1000);
    }
}

bool net::isMeterListening() const
{
    TAVRIK_ASSERT_OWNER(this);
    return m_TcpServer && m_TcpServer->isListening();
}

void net::setCorrectionValue(int value)
{
    TAVRIK_ASSERT_OWNER(this);
    const bool v = value != 0;
    if (v == m_correctionValue)
        return;
    m_correctionValue = v;
    emit correctionValueChanged();
}

// ---------------------------------------------------------------------------
// meter

void net::i2sStart()
{
    TAVRIK_ASSERT_OWNER(this);
    if (i2sProc && i2sProc->state() != QProcess::NotRunning)
        return;
    if (i2sProc) {
        i2sProc->disconnect(this);
        i2sProc->deleteLater();
    }
    i2sProc = CommandRunner::start(pi("audio-meter2"), {QStringLiteral("hw:0"), QStringLiteral("0")}, this);
    QProcess *p = i2sProc;
    connect(p, &QProcess::readyReadStandardOutput, this, [p] { p->readAllStandardOutput(); });
    connect(p, &QProcess::readyReadStandardError, this, [p] { p->readAllStandardError(); });
}

bool net::meterPeerAllowed(const QHostAddress &peer, const QList<QHostAddress> &own)
{
    QHostAddress p = peer;
    bool isV4 = false;
    const quint32 v4 = peer.toIPv4Address(&isV4);
    if (isV4)
        p = QHostAddress(v4);
    if (p.isNull())
        return false;
    if (p.isLoopback())
        return true;
    for (const QHostAddress &a : own) {
        if (!a.isNull() && a.isEqual(p, QHostAddress::TolerantConversion))
            return true;
    }
    return false;
}

void net::newConn()
{
    TAVRIK_ASSERT_OWNER(this);
    if (!meterAccept_)
        return;
    // A bounded batch per wake-up; the notifier calls again while more wait.
    for (int batch = 0; batch < 16; ++batch) {
        const int fd = ::accept4(int(m_TcpServer->socketDescriptor()), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            const int error = errno;
            if (error == EAGAIN || error == EWOULDBLOCK || error == EINTR || error == ECONNABORTED)
                return;
            meterAccept_->setEnabled(false);
            meterRetry_->start();
            if (meterAcceptErrors_++ % 60 == 0)
                qCWarning(lcNetsvc).noquote() << QStringLiteral("[WARN] audio meter listener: accept failed (%1 times): %2")
                                            .arg(meterAcceptErrors_)
                                            .arg(QString::fromLocal8Bit(std::strerror(error)));
            return;
        }
        auto *s = new QTcpSocket(this);
        if (!s->setSocketDescriptor(fd)) {
            ::close(fd);
            delete s;
            continue;
        }
        // The meter program runs on the unit itself: anyone else (a LAN host
        // injecting levels, or holding descriptors open) is closed at once.
        const QHostAddress peer = s->peerAddress();
        if (!meterPeerAllowed(peer, {}) && !meterPeerAllowed(peer, QNetworkInterface::allAddresses())) {
            if (meterRefused_++ == 0)
                qCWarning(lcNetsvc).noquote() << "[WARN] audio meter: connection from" << peer.toString()
                                     << "refused, not from this unit";
            s->abort();
            s->deleteLater();
            continue;
        }
        // A few at once: the newest is the live one (a restarted meter
        // program), so the one silent longest makes room.
        if (meterSockets_.size() >= kMeterMaxConnections) {
            QTcpSocket *oldest = meterSockets_.first();
            for (QTcpSocket *o : qAsConst(meterSockets_))
                if (meterLastData_.value(o).elapsed() > meterLastData_.value(oldest).elapsed())
                    oldest = o;
            if (meterRefused_++ == 0)
                qCWarning(lcNetsvc) << "[WARN] audio meter: more than" << kMeterMaxConnections
                           << "connections, the one silent longest closed";
            dropMeterConnection(oldest);
        }
        socket = s;
        meterSockets_.append(s);
        meterLastData_.insert(s, QElapsedTimer());
        meterLastData_[s].start();
        s->setReadBufferSize(kMeterReadBuffer);
        connect(s, &QTcpSocket::readyRead, this, &net::readData);
        // A restarted meter program connects anew; the old connection goes
        // away with its program instead of piling up.
        connect(s, &QTcpSocket::disconnected, this, [this, s] { dropMeterConnection(s); });
    }
}

void net::dropMeterConnection(QTcpSocket *s)
{
    if (!meterSockets_.removeOne(s))
        return;
    meterLastData_.remove(s);
    if (socket == s)
        socket = meterSockets_.isEmpty() ? nullptr : meterSockets_.last();
    s->disconnect(this);
    s->abort();
    s->deleteLater();
}

void net::sweepMeterConnections()
{
    const QList<QTcpSocket *> open = meterSockets_;
    for (QTcpSocket *s : open) {
        if (meterLastData_.value(s).elapsed() > kMeterIdleMs) {
            qCWarning(lcNetsvc) << "[WARN] audio meter: connection idle for" << kMeterIdleMs << "ms, closed";
            dropMeterConnection(s);
        }
    }
    if (meterRefused_ > 1)
        qCWarning(lcNetsvc) << "[WARN] audio meter:" << meterRefused_ << "connections refused or closed";
    meterRefused_ = 0;
}

int net::meterConnectionCount() const
{
    TAVRIK_ASSERT_OWNER(this);
    return meterSockets_.size();
}

void net::readData()
{
    TAVRIK_ASSERT_OWNER(this);
    auto *s = qobject_cast<QTcpSocket *>(sender());
    if (!s)
        s = socket;
    if (!s)
        return;
    ++meterReadCalls_;
    if (meterLastData_.contains(s))
        meterLastData_[s].restart();
    const QByteArray frame = s->readAll();
    if (frame.size() == 2) {
        leftSamples_.append(static_cast<unsigned char>(frame.at(0)));
        rightSamples_.append(static_cast<unsigned char>(frame.at(1)));
    }
    ++meterCalls_;
    if (meterCalls_ % kMeterCycle == 0) {
        const unsigned char left = findMostCommonValue(leftSamples_);
        const unsigned char right = findMostCommonValue(rightSamples_);
        updatedBuToUI(left, right);
        leftSamples_.clear();
        rightSamples_.clear();
        meterCalls_ = 0;
    }
}

unsigned char net::findMostCommonValue(const QList<unsigned char> &values)
{
    if (values.isEmpty())
        qCWarning(lcNetsvc) << "[WARM] Audio data is empty";
    return NetConfig::mostCommon(values);
}

void net::updatedBuToUI(unsigned char left, unsigned char right)
{
    TAVRIK_ASSERT_OWNER(this);
    // Nearly equal channels are shown equal and smoothed with the previous
    // values, so a mono source does not make the two bars flicker apart.
    if (std::abs(int(left) - int(right)) <= 4) {
        const int both = (int(left) + int(right) + int(preLeftVal) + int(preRightVal)) / 4;
        left = right = static_cast<unsigned char>(both);
    }
    emit sendLeftBarVal(left);
    preLeftVal = left;
    emit sendRightBarVal(right);
    preRightVal = right;
}

// ---------------------------------------------------------------------------
// levels, output, capture

void net::setAudioValue(int ch1, int ch2, int rca, int digit, int ear, int master)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcNetsvc).noquote() << QStringLiteral("ch1:%1 ch2:%2 digit:%3 rca:%4 ear:%5 master:%6")
                              .arg(ch1)
                              .arg(ch2)
                              .arg(digit)
                              .arg(rca)
                              .arg(ear, 0, 16)
                              .arg(master, 0, 16);
    const QString cmd = QStringLiteral("sudo ") + pi("lm1972.sh") + QLatin1Char(' ')
                        + QStringList{hex2(ch1), hex2(ch2), hex2(rca), hex2(digit), hex2(ear), hex2(master)}.join(QLatin1Char(' '))
                        + QStringLiteral(" &");
    qCDebug(lcNetsvc).noquote() << QStringLiteral("Set audio cmd :") + cmd;
    runBackground(cmd);
}

void net::startPgm(int pgmOutSel)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcNetsvc).noquote() << QStringLiteral(" startPgm ---- :") + QString::number(pgmOutSel);
    QString rate = QStringLiteral("60000/1000");
    switch (pgmOutSel) {
    case 1:
    case 7:
        rate = QStringLiteral("60000/1001");
        break;
    case 2:
    case 8:
        rate = QStringLiteral("50000/1000");
        break;
    default:
        break;
    }
    const int ret = runBackground(pi("preview.x") + QLatin1Char(' ') + pi("720P60EDID.txt") + QLatin1Char(' ') + rate
                                  + QStringLiteral(" &"));
    qCDebug(lcNetsvc).noquote() << QStringLiteral(" startPgm ---- ret :") + QString::number(ret);
}

void net::stopPgm()
{
    TAVRIK_ASSERT_OWNER(this);
    runShell(QStringLiteral("sudo pkill preview.x"));
}

void net::setDisplay()
{
    TAVRIK_ASSERT_OWNER(this);
    runShell(QStringLiteral("gpio -g write 7 0"));
    QThread::msleep(500);
    runShell(QStringLiteral("gpio -g write 7 1"));
}

void net::stopStream()
{
    TAVRIK_ASSERT_OWNER(this);
    runShell(pi("cap.sh"));
    qCDebug(lcNetsvc) << "Run capture script";
}

bool net::checkLiveEn()
{
    TAVRIK_ASSERT_OWNER(this);
    return QFile::exists(pi("x"));
}

bool net::capImageKey(int cam, int num)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcNetsvc).noquote() << QStringLiteral("cam:%1 num:%2").arg(cam).arg(num);

    // The capture script marks a finished frame with /home/pi/x. A script
    // that never gets there must not freeze the interface.
    int waited = 0;
    while (!checkLiveEn()) {
        if (waited >= kLiveWaitMs) {
            qCWarning(lcNetsvc).noquote() << QStringLiteral("[ERR] capture not ready: %1 missing after %2 ms")
                                        .arg(pi("x"))
                                        .arg(kLiveWaitMs);
            return false;
        }
        QThread::msleep(kLivePollMs);
        waited += kLivePollMs;
    }

    const QString capture = pi("output.jpg");
    QImageReader reader(capture, "jpeg");
    // Only a JPEG will do, whatever else the file might decode as.
    reader.setAutoDetectImageFormat(false);
    if (!reader.canRead())
        return false;
    if (reader.read().isNull()) {
        qCWarning(lcNetsvc).noquote() << QStringLiteral("[ERR] Invalid URL: ") + capture;
        return false;
    }

    const QString keyImage = Sysroot::path(QStringLiteral("/home/pi/output_%1%2.jpg").arg(cam).arg(num));
    const QString cmd = QStringLiteral("cp ") + capture + QLatin1Char(' ') + keyImage;
    qCDebug(lcNetsvc).noquote() << QStringLiteral("capture cam%1, img :%2, cmd :%3").arg(cam).arg(num).arg(cmd);
    const int rc = runShell(cmd);
    // A failed copy must not pass off an older picture as the new one.
    if (rc == 0 && QFile::exists(keyImage)) {
        emit sendImageKeyUpdate(num);
        return true;
    }
    qCWarning(lcNetsvc) << "file not exist";
    return false;
}

void net::setKeyLed(int num, bool onOff)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcNetsvc).noquote() << QStringLiteral(" setKeyLed ---- num:%1 onOff:%2").arg(num).arg(onOff ? "true" : "false");
    const char *value = nullptr;
    const char *reg = nullptr;
    switch (num) {
    case 0: reg = "0x2"; value = onOff ? "0x14" : nullptr; break;
    case 1: reg = "0x2"; value = onOff ? "0x41" : nullptr; break;
    case 2: reg = "0x3"; value = onOff ? "0x14" : nullptr; break;
    case 3: reg = "0x3"; value = onOff ? "0x41" : nullptr; break;
    case 4: reg = "0x2"; value = "0x11"; break;
    case 5: reg = "0x3"; value = "0x11"; break;
    default: break;
    }
    if (!value)
        return;
    runShell(QStringLiteral("i2cset -y 3 0x77 %1 %2").arg(QLatin1String(reg), QLatin1String(value)));
}

void net::createSpeedNum(int num)
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcNetsvc).noquote() << QStringLiteral("net.cpp ----------createSpeedNum: ") + QString::number(num);
    const char *marker = num == 2 ? "fast" : num == 1 ? "mid" : num == 0 ? "slow" : nullptr;
    if (marker)
        runShell(QStringLiteral("touch ") + pi(marker));
}

void net::startCheckpin()
{
    TAVRIK_ASSERT_OWNER(this);
    runShell(QStringLiteral("sudo pkill checkpin.sh"));
    runBackground(pi("checkpin.sh") + QStringLiteral(" &"));
    qCDebug(lcNetsvc) << " startCheckpin ---- gogogo";
}

void net::startServer()
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcNetsvc) << " startServer ---- :";
    // Started from the one string without a shell, so the script receives
    // "&" as its argument and runs as a child of this object.
    QStringList parts = QProcess::splitCommand(pi("server.sh") + QStringLiteral(" &"));
    const QString program = parts.takeFirst();
    QProcess *p = CommandRunner::start(program, parts, this);
    connect(p, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), p, &QObject::deleteLater);
    connect(p, &QProcess::errorOccurred, p, [p](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            p->deleteLater();
    });
    qCDebug(lcNetsvc) << "startStream ..server. gogogo";
}

void net::initEdid()
{
    TAVRIK_ASSERT_OWNER(this);
    runShell(QStringLiteral("v4l2-ctl --set-edid=file=") + pi("yavta/720P60EDID.txt"));
}

void net::startLive()
{
    TAVRIK_ASSERT_OWNER(this);
    runShell(pi("yavta/test.sh"));
    QThread::msleep(1000);
    runShell(QStringLiteral("ffmpeg -i file.h264 -c copy ") + pi("yavta/x.mp4"));
    runShell(QStringLiteral("ffmpeg -i x.mp4 -ss 00:00:01 -vframes 1 ") + pi("yavta/output.png"));
}

void net::killAllStream()
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcNetsvc) << " killAllStream ---- :";
}

void net::startOmx()
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcNetsvc) << " startOmx ---- :";
}

void net::startStream()
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcNetsvc) << " startStream ---- :";
}

void net::setPause()
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcNetsvc) << " setPause ----00000 :";
}

void net::setPauseState(int state)
{
    TAVRIK_ASSERT_OWNER(this);
    Q_UNUSED(state)
    qCDebug(lcNetsvc) << " setPauseState ----00000 :";
}

void net::recFfmpeg()
{
    TAVRIK_ASSERT_OWNER(this);
    qCDebug(lcNetsvc) << "net.cpp ----------recFfmpeg: 00000";
    runShell(QStringLiteral("touch ") + pi("c.txt"));
    runBackground(pi("play.sh") + QStringLiteral(" &"));
    runShell(QStringLiteral("touch ") + pi("d.txt"));
}
