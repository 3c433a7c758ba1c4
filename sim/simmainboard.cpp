#include "sim/simmainboard.h"

#include "platform/sysroot.h"
#include "sim/mbimage.h"
#include "sim/simlog.h"
#include "sim/simpty.h"
#include "sim/simthread.h"

#include <QDebug>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

namespace {

// Longest frame the panel builds is 16 bytes; its work buffer is 128.
constexpr int kMaxCount = 127;
constexpr int kPartialFrameMs = 100;
constexpr quint16 kTbarEnd = 1023;
constexpr int kLampCount = 23;

constexpr quint8 kAckDone = 0x80;
constexpr quint8 kAckUnsupported = 0x40;
constexpr quint8 kAckCannotExec = 0x20;
constexpr quint8 kAckChecksum = 0x10;

const QByteArray kProbe = QByteArray::fromHex("0F");
const QByteArray kErase = QByteArray::fromHex("0300F401007E353304");
const QByteArray kEraseAck = QByteArray::fromHex("03633004");
const QByteArray kPacketAck = QByteArray::fromHex("0504844004");
const QByteArray kWrongPacketAck = QByteArray::fromHex("0504844104");
const QByteArray kLeaveBoot = QByteArray::fromHex("08088104");

quint8 sum8(const QByteArray &bytes, int n)
{
    quint32 s = 0;
    for (int i = 0; i < n; ++i)
        s += quint8(bytes.at(i));
    return quint8(s & 0xFF);
}

QByteArray ack(quint8 st)
{
    QByteArray a(3, '\0');
    a[0] = 0x02;
    a[1] = char(st);
    a[2] = char(quint8(0x02 + st));
    return a;
}

QByteArray frame(quint8 addr, quint8 code, const QByteArray &data)
{
    QByteArray f;
    f.reserve(data.size() + 4);
    f.append(char(3 + data.size()));
    f.append(char(addr));
    f.append(char(code));
    f.append(data);
    f.append(char(sum8(f, f.size())));
    return f;
}

// A demo left running for hours must not grow without bound; tests stay far
// below these.
constexpr int kMaxRecordedFrames = 100000;
constexpr int kMaxRecordedBytes = 4 * 1024 * 1024;

void appendCapped(QByteArray &record, const QByteArray &bytes)
{
    record.append(bytes);
    if (record.size() > kMaxRecordedBytes)
        record.remove(0, record.size() - kMaxRecordedBytes);
}

QByteArray bytesOf(const std::array<quint8, 8> &a)
{
    return QByteArray(reinterpret_cast<const char *>(a.data()), int(a.size()));
}

SimMainboard::Memory memoryOf(const SimMainboard::State &s)
{
    SimMainboard::Memory m;
    m.status = s.status;
    m.autoRate = s.autoRate;
    m.control = s.control;
    m.menu = s.menu;
    m.auxSource = s.auxSource;
    m.auxMode = s.auxMode;
    return m;
}

// An auto transition lasts its rate in frames of the program output, as a
// board would mix it: interlaced formats count frames, not fields.
int autoLengthMs(int rate, int frameMs, quint8 pgmOutResolution)
{
    const int frames = qMax(1, rate);
    if (frameMs >= 0)
        return frames * frameMs;
    static const double kHz[] = {60, 59.94, 50, 30, 25, 30, 29.97, 25, 60, 59.94, 50, 25, 29.97};
    const double hz = pgmOutResolution < sizeof kHz / sizeof kHz[0] ? kHz[pgmOutResolution] : 30;
    return int(frames * 1000 / hz + 0.5);
}

} // namespace

SimMainboard::State::State()
{
    const Memory factory = memoryOf(*this);
    for (Memory &m : memories)
        m = factory;
    setupSlot = menu[3];
}

bool SimMainboard::State::lampLit(int lamp) const
{
    switch (lamp) {
    case 0: return autoTransitionRunning;
    case 2: return reverse();
    case 3: return flag(2);
    case 4: return !flag(1);
    case 5: return flag(1);
    case 17: case 19: return flag(3);
    case 18: case 20: return flag(4);
    case 21: return flag(5);
    case 22: return flag(6);
    default:
        return lamp >= 0 && lamp < kLampCount && lamps[size_t(lamp)];
    }
}

QByteArray SimMainboard::State::menuBytes(int block) const
{
    if (block < 0 || block > 3)
        return QByteArray();
    return bytesOf(menu[size_t(block)]);
}

struct SimMainboardShared
{
    mutable QMutex mutex;
    SimMainboard::State state;

    SimMainboard::FailureMode mode = SimMainboard::Normal;
    SimMainboard::FailureMode earlyMode = SimMainboard::CorruptChecksum;
    int framesSinceMode = 0;
    int replyDelay = 500;
    int splitChunk = 2;
    int splitGap = 50;
    quint8 ackStatus = kAckDone;
    quint32 seed = 1;
    bool reseed = true;
    QList<QByteArray> injected;
    int frameMs = -1; // -1: one frame of the program output resolution

    bool inBoot = false;
    SimMainboard::BootLoaderFailure bootFailure = SimMainboard::BootNormal;
    int bootFailurePacket = -1;
    QList<int> expectedSizes;
    int packetGap = 30;

    QList<QByteArray> frames;
    QByteArray rxBytes;
    QByteArray txBytes;
    QList<QByteArray> bootPackets;
    SimMainboard::Counters counters;
    quint16 tcpPort = 0;
    QString linkPath;
    bool open = false;
    // Bumped by reset(): replies still scheduled from before are dropped.
    int generation = 0;
};

namespace {

// The versions in block 3 are the board's own, never a user setting.
void restoreSetup(std::array<quint8, 8> &block3, const std::array<quint8, 8> &from)
{
    for (size_t i = 0; i < 8; ++i) {
        if (i < 3 || i > 6)
            block3[i] = from[i];
    }
}

void restoreMemory(SimMainboard::State &s, const SimMainboard::Memory &m)
{
    s.status = m.status;
    s.autoRate = m.autoRate;
    s.control = m.control;
    for (size_t b = 0; b < 3; ++b)
        s.menu[b] = m.menu[b];
    restoreSetup(s.menu[3], m.menu[3]);
    s.auxSource = m.auxSource;
    s.auxMode = m.auxMode;
}

} // namespace

// Lives on the simulation thread: the line, the TCP server, the timers.
class SimMainboardPeer : public QObject
{
public:
    enum Source { Serial, Tcp };

    SimMainboardPeer(SimMainboard *q, std::shared_ptr<SimMainboardShared> shared)
        : q_(q), s_(std::move(shared))
    {
        partialTimer_.setSingleShot(true);
        connect(&partialTimer_, &QTimer::timeout, this, &SimMainboardPeer::onQuiet);
        autoTimer_.setSingleShot(true);
        connect(&autoTimer_, &QTimer::timeout, this, &SimMainboardPeer::finishAutoTransition);
        connect(&pty_, &SimPty::received, this, &SimMainboardPeer::onSerial);
    }

    bool openLine(const QString &linkPath)
    {
        serialBuf_.clear();
        const bool ok = pty_.open(linkPath);
        QMutexLocker lock(&s_->mutex);
        s_->open = ok;
        s_->linkPath = linkPath;
        return ok;
    }

    void closeLine()
    {
        pty_.close();
        serialBuf_.clear();
        partialTimer_.stop();
        QMutexLocker lock(&s_->mutex);
        s_->open = false;
    }

    quint16 listen(quint16 port)
    {
        if (!server_) {
            server_ = new QTcpServer(this);
            connect(server_, &QTcpServer::newConnection, this, &SimMainboardPeer::onNewConnection);
        }
        if (server_->isListening())
            server_->close();
        if (!server_->listen(QHostAddress::LocalHost, port)) {
            qCWarning(lcSim) << "[ERR] sim mainboard: cannot listen on 127.0.0.1 port" << port << server_->errorString();
            return 0;
        }
        QMutexLocker lock(&s_->mutex);
        s_->tcpPort = server_->serverPort();
        return s_->tcpPort;
    }

    void reset()
    {
        partialTimer_.stop();
        autoTimer_.stop();
        serialBuf_.clear();
        tcpBuf_.clear();
        pendingReset_ = false;
        bootErased_ = false;
        expectProbe_ = true;
        QMutexLocker lock(&s_->mutex);
        SimMainboardShared &sh = *s_;
        const SimMainboardShared fresh;
        sh.state = SimMainboard::State();
        sh.mode = fresh.mode;
        sh.earlyMode = fresh.earlyMode;
        sh.framesSinceMode = 0;
        sh.replyDelay = fresh.replyDelay;
        sh.splitChunk = fresh.splitChunk;
        sh.splitGap = fresh.splitGap;
        sh.ackStatus = fresh.ackStatus;
        sh.seed = fresh.seed;
        sh.reseed = true;
        sh.injected.clear();
        sh.frameMs = fresh.frameMs;
        sh.inBoot = false;
        sh.bootFailure = fresh.bootFailure;
        sh.bootFailurePacket = fresh.bootFailurePacket;
        sh.expectedSizes.clear();
        sh.packetGap = fresh.packetGap;
        sh.frames.clear();
        sh.rxBytes.clear();
        sh.txBytes.clear();
        sh.bootPackets.clear();
        sh.counters = SimMainboard::Counters();
        ++sh.generation;
    }

    void writeRaw(const QByteArray &raw)
    {
        writeOut(Serial, raw);
        if (client_)
            writeOut(Tcp, raw);
    }

    void enterBoot()
    {
        {
            QMutexLocker lock(&s_->mutex);
            if (s_->inBoot)
                return;
            s_->inBoot = true;
            s_->counters.bootLoaderEntries++;
        }
        bootErased_ = false;
        expectProbe_ = true;
        partialTimer_.stop();
        emit q_->bootLoaderEntered();
    }

    void leaveBoot()
    {
        {
            QMutexLocker lock(&s_->mutex);
            if (!s_->inBoot)
                return;
            s_->inBoot = false;
            s_->counters.bootLoaderExits++;
        }
        partialTimer_.stop();
        emit q_->bootLoaderLeft();
    }

    // Bytes still buffered are read again in the new mode.
    void processPending()
    {
        if (!serialBuf_.isEmpty())
            processSerial();
    }

private:
    bool inBoot() const
    {
        QMutexLocker lock(&s_->mutex);
        return s_->inBoot;
    }

    void onSerial(const QByteArray &bytes)
    {
        {
            QMutexLocker lock(&s_->mutex);
            appendCapped(s_->rxBytes, bytes);
        }
        serialBuf_.append(bytes);
        processSerial();
    }

    void processSerial()
    {
        while (!serialBuf_.isEmpty()) {
            if (inBoot()) {
                processBoot();
                return;
            }
            const int count = quint8(serialBuf_.at(0));
            if (count < 3 || count > kMaxCount) {
                // No frame starts here: skip a byte and look again.
                serialBuf_.remove(0, 1);
                countDropped(1);
                continue;
            }
            if (serialBuf_.size() < count + 1) {
                partialTimer_.start(kPartialFrameMs);
                return;
            }
            const QByteArray f = serialBuf_.left(count + 1);
            serialBuf_.remove(0, count + 1);
            handleFrame(f, Serial);
            afterFrame();
        }
        partialTimer_.stop();
    }

    void onQuiet()
    {
        if (inBoot()) {
            onBootQuiet();
            return;
        }
        if (!serialBuf_.isEmpty()) {
            qCDebug(lcSim) << "[SIM] mainboard: dropped incomplete frame" << serialBuf_.toHex(' ');
            countDropped(serialBuf_.size());
            serialBuf_.clear();
        }
    }

    void countDropped(int n)
    {
        QMutexLocker lock(&s_->mutex);
        s_->counters.droppedBytes += n;
    }

    // --- TCP ----------------------------------------------------------------

    void onNewConnection()
    {
        while (QTcpSocket *sock = server_->nextPendingConnection()) {
            if (client_) {
                client_->disconnect(this);
                client_->close();
                client_->deleteLater();
            }
            client_ = sock;
            tcpBuf_.clear();
            connect(sock, &QTcpSocket::readyRead, this, &SimMainboardPeer::onTcpReadable);
            connect(sock, &QTcpSocket::disconnected, this, [this, sock] {
                if (client_ == sock) {
                    client_ = nullptr;
                    tcpBuf_.clear();
                }
                sock->deleteLater();
            });
        }
    }

    void onTcpReadable()
    {
        if (!client_)
            return;
        const QByteArray bytes = client_->readAll();
        {
            QMutexLocker lock(&s_->mutex);
            appendCapped(s_->rxBytes, bytes);
        }
        tcpBuf_.append(bytes);
        while (tcpBuf_.size() >= 2) {
            const int len = (quint8(tcpBuf_.at(0)) << 8) | quint8(tcpBuf_.at(1));
            if (len < 2 + 4 || len > 2 + kMaxCount + 1) {
                // A length that no frame has: the stream cannot be trusted
                // any more, so drop what is buffered.
                qCDebug(lcSim) << "[SIM] mainboard: bad TCP length" << len;
                countDropped(tcpBuf_.size());
                tcpBuf_.clear();
                return;
            }
            if (tcpBuf_.size() < len)
                return;
            const QByteArray f = tcpBuf_.mid(2, len - 2);
            tcpBuf_.remove(0, len);
            handleFrame(f, Tcp);
            afterFrame();
        }
    }

    // --- application frames --------------------------------------------------

    struct Reply
    {
        QByteArray bytes;
        bool isData = false; // a reply frame, not a bare acknowledgement
    };

    void handleFrame(const QByteArray &f, Source src)
    {
        SimMainboard::FailureMode m;
        QByteArray raw;
        bool haveRaw = false;
        {
            QMutexLocker lock(&s_->mutex);
            s_->frames.append(f);
            if (s_->frames.size() > kMaxRecordedFrames)
                s_->frames.removeFirst();
            s_->counters.frames++;
            if (!s_->injected.isEmpty()) {
                raw = s_->injected.takeFirst();
                haveRaw = true;
            }
            m = s_->mode;
            if (m == SimMainboard::AnswerOnThirdRequest) {
                ++s_->framesSinceMode;
                m = s_->framesSinceMode <= 2 ? s_->earlyMode : SimMainboard::Normal;
                if (m == SimMainboard::AnswerOnThirdRequest)
                    m = SimMainboard::Normal;
            }
        }
        emit q_->frameReceived(f);

        const bool checksumOk = f.size() >= 4 && quint8(f.at(f.size() - 1)) == sum8(f, f.size() - 1)
                                && quint8(f.at(0)) + 1 == f.size();
        if (haveRaw) {
            if (checksumOk)
                execute(f, true);
            countReply();
            writeOut(src, raw);
            return;
        }
        if (m == SimMainboard::NoAnswer)
            return;

        Reply r;
        if (!checksumOk) {
            QMutexLocker lock(&s_->mutex);
            s_->counters.checksumErrors++;
            r.bytes = ack(kAckChecksum);
        } else if (m == SimMainboard::ReportBusy) {
            r.bytes = ack(kAckCannotExec);
        } else if (m == SimMainboard::AckStatus) {
            quint8 st;
            {
                QMutexLocker lock(&s_->mutex);
                st = s_->ackStatus;
            }
            // Reads answer as usual; only writes carry the chosen status.
            r = execute(f, false);
            if (!r.isData && r.bytes == ack(kAckDone)) {
                if (st & kAckDone)
                    r = execute(f, true);
                r.bytes = ack(st);
            }
        } else {
            r = execute(f, true);
        }
        finishReply(r, m, src);
    }

    void finishReply(Reply r, SimMainboard::FailureMode m, Source src)
    {
        switch (m) {
        case SimMainboard::CorruptChecksum:
            r.bytes[r.bytes.size() - 1] = char(quint8(r.bytes.at(r.bytes.size() - 1)) + 1);
            break;
        case SimMainboard::WrongCommandCode:
            if (r.isData && r.bytes.size() >= 4) {
                r.bytes[2] = char(quint8(r.bytes.at(2)) ^ 0x10);
                r.bytes[r.bytes.size() - 1] = char(sum8(r.bytes, r.bytes.size() - 1));
            }
            break;
        case SimMainboard::AckBeforeReply:
            if (r.isData)
                r.bytes.prepend(ack(kAckDone));
            break;
        case SimMainboard::TooManyBytes:
            r.bytes.append(QByteArray(4, char(0xA5)));
            break;
        case SimMainboard::Garbage: {
            QMutexLocker lock(&s_->mutex);
            if (s_->reseed) {
                rng_.seed(s_->seed);
                s_->reseed = false;
            }
            lock.unlock();
            QByteArray g(int(rng_.bounded(1, 17)), '\0');
            for (char &c : g)
                c = char(rng_.bounded(256));
            countReply();
            writeOut(src, g); // garbage has no frame around it on TCP either
            return;
        }
        default:
            break;
        }

        int delay = 0;
        int chunk = 2;
        int gap = 0;
        {
            QMutexLocker lock(&s_->mutex);
            if (m == SimMainboard::LateAnswer)
                delay = s_->replyDelay;
            if (m == SimMainboard::SplitReply || m == SimMainboard::AckThenReply) {
                chunk = qMax(1, s_->splitChunk);
                gap = qMax(0, s_->splitGap);
            }
        }
        countReply();
        if (m == SimMainboard::AckThenReply && r.isData) {
            writeOut(src, wrap(src, ack(kAckDone)));
            later(gap, src, wrap(src, r.bytes));
            return;
        }
        const QByteArray out = wrap(src, r.bytes);
        if (m == SimMainboard::SplitReply) {
            int at = 0;
            int when = 0;
            while (at < out.size()) {
                later(when, src, out.mid(at, chunk));
                at += chunk;
                when += gap;
            }
            return;
        }
        later(delay, src, out);
    }

    static QByteArray wrap(Source src, const QByteArray &bytes)
    {
        if (src != Tcp)
            return bytes;
        const int len = bytes.size() + 2;
        QByteArray out;
        out.append(char((len >> 8) & 0xFF));
        out.append(char(len & 0xFF));
        out.append(bytes);
        return out;
    }

    void later(int ms, Source src, const QByteArray &bytes)
    {
        if (ms <= 0) {
            writeOut(src, bytes);
            return;
        }
        QPointer<QTcpSocket> target = client_;
        const int generation = currentGeneration();
        QTimer::singleShot(ms, this, [this, src, bytes, target, generation] {
            if (src == Tcp && target != client_)
                return; // that connection is gone
            if (generation != currentGeneration())
                return; // the board was reset meanwhile
            writeOut(src, bytes);
        });
    }

    int currentGeneration() const
    {
        QMutexLocker lock(&s_->mutex);
        return s_->generation;
    }

    void countReply()
    {
        QMutexLocker lock(&s_->mutex);
        s_->counters.replies++;
    }

    void writeOut(Source src, const QByteArray &bytes)
    {
        if (bytes.isEmpty())
            return;
        if (src == Serial) {
            if (!pty_.isOpen() || !pty_.write(bytes))
                return;
        } else {
            if (!client_ || client_->write(bytes) != bytes.size())
                return;
        }
        QMutexLocker lock(&s_->mutex);
        appendCapped(s_->txBytes, bytes);
    }

    // Carries out one well-formed frame. With apply false nothing changes;
    // the answer is the one the board would give.
    Reply execute(const QByteArray &f, bool apply)
    {
        const int count = quint8(f.at(0));
        const quint8 addr = quint8(f.at(1));
        const quint8 code = quint8(f.at(2));
        const QByteArray data = f.mid(3, count - 3);
        const auto d = [&data](int i) { return i < data.size() ? quint8(data.at(i)) : quint8(0); };

        Reply r;
        r.bytes = ack(kAckDone);
        bool unsupported = false;
        bool cannot = false;
        bool transition = false;
        bool startAuto = false;
        bool stopAuto = false;
        bool reset = false;
        int autoMs = 0;

        QMutexLocker lock(&s_->mutex);
        SimMainboard::State &s = s_->state;
        const auto data8 = [&](quint8 a, quint8 c, const QByteArray &payload) {
            r.bytes = frame(a, c, payload);
            r.isData = true;
        };

        switch (code) {
        case 0x01: // machine live
            unsupported = count != 3;
            break;
        case 0x41: case 0x42: case 0x43: case 0x44: {
            if (count != 3 || addr != 0) {
                unsupported = true;
                break;
            }
            int v = 0;
            if (code == 0x41)
                v = s.program();
            else if (code == 0x42)
                v = s.preview();
            else if (code == 0x43)
                v = s.keyFillSource();
            else
                v = s.keySource();
            data8(0, quint8(code | 0x80), QByteArray(1, char(v)));
            break;
        }
        case 0x45:
            if (count != 4 || addr > 2) {
                unsupported = true;
                break;
            }
            {
                const quint16 v = s.control[addr];
                QByteArray p;
                p.append('\0');
                p.append(char(v & 0xFF));
                p.append(char(v >> 8));
                data8(addr, 0xC5, p);
            }
            break;
        case 0x47:
            if (count != 4 || d(0) >= kLampCount) {
                unsupported = true;
                break;
            }
            if (s.lampLit(d(0)))
                data8(0, 0xC6, QByteArray(1, '\1'));
            else
                data8(0, 0xC7, QByteArray(1, '\0'));
            break;
        case 0x48:
            if (count != 3) {
                unsupported = true;
                break;
            }
            data8(0, 0xC8, QByteArray(1, char(s.wipePattern())));
            break;
        case 0x4C:
            if (count != 3) {
                unsupported = true;
                break;
            }
            data8(0, 0xCC, QByteArray(1, char(s.autoRate)));
            break;
        case 0x49:
            if (count != 3 || addr > 5) {
                unsupported = true;
            } else if (addr <= 3) {
                data8(addr, 0xC9, bytesOf(s.menu[addr]));
            } else {
                QByteArray p(7, '\0');
                p[0] = char(addr == 4 ? s.auxSource : s.auxMode);
                data8(addr, 0xC9, p);
            }
            break;
        case 0x6E:
            if (count != 3) {
                unsupported = true;
                break;
            }
            data8(0, 0xEE, s.statusBytes());
            break;
        case 0x6F:
            if (count != 3) {
                unsupported = true;
                break;
            }
            data8(0, 0xEF, QByteArray(1, char(s.deviceType)));
            break;
        case 0xEC:
            if (count != 3) {
                unsupported = true;
                break;
            }
            {
                QByteArray p(7, '\0');
                for (int i = 0; i < 4; ++i)
                    p[i] = char(s.menu[3][size_t(3 + i)]);
                data8(0, 0xEC, p);
            }
            break;
        case 0xEB: // reset: the boot loader follows
            unsupported = count != 3 || addr != 1;
            reset = !unsupported;
            break;
        case 0xC1: case 0xC2: case 0xC3:
            if (count != 4 || addr != 0 || d(0) > 6) {
                unsupported = true;
                break;
            }
            if (!apply)
                break;
            if (code == 0xC1)
                s.setProgram(d(0));
            else if (code == 0xC2)
                s.setPreview(d(0));
            else
                s.status[3] = quint8((s.status[3] & 0x0F) | (d(0) << 4));
            break;
        case 0xC4:
            if (count != 4 || addr > 2 || d(0) > 6) {
                unsupported = true;
                break;
            }
            if (!apply)
                break;
            if (addr == 0)
                s.status[3] = quint8((s.status[3] & 0xF0) | d(0));
            else if (addr == 1)
                s.status[2] = quint8((s.status[2] & 0xF0) | d(0));
            else
                s.status[2] = quint8((s.status[2] & 0x0F) | (d(0) << 4));
            break;
        case 0xC5:
            if (count != 6 || addr > 2) {
                unsupported = true;
                break;
            }
            if (!apply)
                break;
            s.control[addr] = quint16(d(1) | (d(2) << 8));
            if (addr == 1) {
                // A lever pushed from one end to the other completes a
                // transition, whichever end it started from.
                const quint16 v = s.control[1];
                if (v >= kTbarEnd && s.tbarLastEnd == 0) {
                    s.tbarLastEnd = kTbarEnd;
                    transition = true;
                } else if (v == 0 && s.tbarLastEnd != 0) {
                    s.tbarLastEnd = 0;
                    transition = true;
                }
            }
            break;
        case 0xC6: case 0xC7: {
            const int lamp = d(0);
            const bool on = code == 0xC6;
            if (count != 4 || lamp >= kLampCount) {
                unsupported = true;
                break;
            }
            if (!apply)
                break;
            switch (lamp) {
            case 0:
                if (on && !s.autoTransitionRunning) {
                    s.autoTransitionRunning = true;
                    startAuto = true;
                    autoMs = autoLengthMs(s.autoRate, s_->frameMs, s.menu[3][0]);
                }
                break;
            case 1:
                if (on) {
                    if (s.autoTransitionRunning) {
                        s.autoTransitionRunning = false;
                        stopAuto = true;
                    }
                    transition = true;
                }
                break;
            case 2:
                s.status[4] = on ? quint8(s.status[4] | 0x80) : quint8(s.status[4] & 0x7F);
                break;
            case 3: s.setFlag(2, on); break;
            case 4: if (on) s.setFlag(1, false); break;
            case 5: if (on) s.setFlag(1, true); break;
            case 17: case 19: s.setFlag(3, on); break;
            case 18: case 20: s.setFlag(4, on); break;
            case 21: s.setFlag(5, on); break;
            case 22: s.setFlag(6, on); break;
            default: s.lamps[size_t(lamp)] = on; break;
            }
            break;
        }
        case 0xC8:
            if (count != 4 || d(0) > 0x7F) {
                unsupported = true;
                break;
            }
            if (apply)
                s.status[4] = quint8((s.status[4] & 0x80) | d(0));
            break;
        case 0xDA: { // save user memory
            const int n = d(0);
            if (count != 4 || (n > 6 && n != 0xFF)) {
                unsupported = true;
            } else if (n == 0) {
                cannot = true; // the factory set is read-only
            } else if (apply) {
                if (n == 0xFF)
                    s.setupSlot = s.menu[3];
                else
                    s.memories[size_t(n)] = memoryOf(s);
            }
            break;
        }
        case 0xDB: { // load user memory
            const int n = d(0);
            if (count != 4 || (n > 6 && n != 0xFF)) {
                unsupported = true;
            } else if (apply) {
                if (n == 0xFF)
                    restoreSetup(s.menu[3], s.setupSlot);
                else
                    restoreMemory(s, s.memories[size_t(n)]);
            }
            break;
        }
        case 0xEE:
            if (count != 9) {
                unsupported = true;
                break;
            }
            if (apply) {
                for (size_t i = 0; i < 6; ++i)
                    s.status[i] = d(int(i));
            }
            break;
        case 0xEF:
            if (count != 4) {
                unsupported = true;
                break;
            }
            if (apply)
                s.deviceType = d(0);
            break;
        case 0xCC:
            if (count != 4) {
                unsupported = true;
                break;
            }
            if (apply)
                s.autoRate = d(0);
            break;
        case 0xC9:
            if (addr <= 3 && count == 11) {
                if (!apply)
                    break;
                std::array<quint8, 8> b{};
                for (size_t i = 0; i < 8; ++i)
                    b[i] = d(int(i));
                if (addr == 3)
                    restoreSetup(s.menu[3], b);
                else
                    s.menu[addr] = b;
            } else if (addr == 4 && count == 4 && d(0) <= 6) {
                if (apply)
                    s.auxSource = d(0);
            } else if (addr == 5 && count == 15) {
                if (apply)
                    s.auxMode = d(0);
            } else {
                unsupported = true;
            }
            break;
        default:
            unsupported = true;
            break;
        }

        if (unsupported) {
            s_->counters.unsupported++;
            r.bytes = ack(kAckUnsupported);
            r.isData = false;
            return r;
        }
        if (cannot) {
            r.bytes = ack(kAckCannotExec);
            return r;
        }
        if (transition)
            swapBuses(s);
        const int pgm = s.program();
        const int pvw = s.preview();
        lock.unlock();

        if (stopAuto)
            autoTimer_.stop();
        if (startAuto)
            autoTimer_.start(autoMs);
        if (transition)
            emit q_->transitionDone(pgm, pvw);
        if (reset && apply)
            pendingReset_ = true;
        return r;
    }

    // Caller holds the lock.
    void swapBuses(SimMainboard::State &s)
    {
        s.status[0] = quint8((s.status[0] << 4) | (s.status[0] >> 4));
        const bool pipPgm = s.flag(3), pipPvw = s.flag(4);
        s.setFlag(3, pipPvw);
        s.setFlag(4, pipPgm);
        const bool keyPgm = s.flag(5), keyPvw = s.flag(6);
        s.setFlag(5, keyPvw);
        s.setFlag(6, keyPgm);
        s_->counters.transitions++;
    }

    void finishAutoTransition()
    {
        int pgm, pvw;
        {
            QMutexLocker lock(&s_->mutex);
            SimMainboard::State &s = s_->state;
            if (!s.autoTransitionRunning)
                return;
            s.autoTransitionRunning = false;
            swapBuses(s);
            pgm = s.program();
            pvw = s.preview();
        }
        emit q_->transitionDone(pgm, pvw);
    }

    // The reset is acknowledged first and only then does the board restart
    // into its boot loader.
    void afterFrame()
    {
        if (pendingReset_) {
            pendingReset_ = false;
            enterBoot();
        }
    }

    // --- boot loader ---------------------------------------------------------

    void processBoot()
    {
        while (!serialBuf_.isEmpty()) {
            if (!inBoot()) {
                processSerial();
                return;
            }
            if (!bootErased_) {
                if (serialBuf_.at(0) == kProbe.at(0)) {
                    serialBuf_.remove(0, 1);
                    probe();
                    continue;
                }
                if (serialBuf_.startsWith(kErase)) {
                    serialBuf_.remove(0, kErase.size());
                    erase();
                    continue;
                }
                if (serialBuf_.startsWith(kLeaveBoot)) {
                    serialBuf_.remove(0, kLeaveBoot.size());
                    leaveBoot();
                    continue;
                }
                if (kErase.startsWith(serialBuf_) || kLeaveBoot.startsWith(serialBuf_)) {
                    partialTimer_.start(packetGapMs());
                    return;
                }
                serialBuf_.remove(0, 1);
                countDropped(1);
                continue;
            }

            if (expectProbe_ && serialBuf_.at(0) == kProbe.at(0)) {
                serialBuf_.remove(0, 1);
                expectProbe_ = false;
                probe();
                ackEmptyPacket();
                continue;
            }
            int index;
            QList<int> sizes;
            {
                QMutexLocker lock(&s_->mutex);
                index = s_->bootPackets.size();
                sizes = s_->expectedSizes;
            }
            if (!sizes.isEmpty()) {
                if (index < sizes.size()) {
                    const int len = sizes.at(index);
                    if (serialBuf_.size() >= len) {
                        const QByteArray p = serialBuf_.left(len);
                        serialBuf_.remove(0, len);
                        packet(p);
                        continue;
                    }
                    // The rest of a known packet is on its way; give a slow
                    // writer time before taking what came as the packet.
                    partialTimer_.start(qMax(packetGapMs(), 1000));
                    return;
                } else {
                    // Every packet is in: only the probe and the way out remain.
                    if (serialBuf_.at(0) == kProbe.at(0)) {
                        serialBuf_.remove(0, 1);
                        probe();
                        continue;
                    }
                    if (serialBuf_.startsWith(kLeaveBoot)) {
                        serialBuf_.remove(0, kLeaveBoot.size());
                        leaveBoot();
                        continue;
                    }
                }
            }
            // Packet length unknown (or incomplete): the line going quiet ends it.
            partialTimer_.start(packetGapMs());
            return;
        }
        partialTimer_.stop();
    }

    // An empty packet sends no bytes, so nothing else would end it.
    void ackEmptyPacket()
    {
        bool empty;
        {
            QMutexLocker lock(&s_->mutex);
            const int index = s_->bootPackets.size();
            empty = index < s_->expectedSizes.size() && s_->expectedSizes.at(index) == 0;
        }
        if (empty)
            packet(QByteArray());
    }

    int packetGapMs() const
    {
        QMutexLocker lock(&s_->mutex);
        return qMax(1, s_->packetGap);
    }

    void onBootQuiet()
    {
        if (serialBuf_.isEmpty())
            return;
        const QByteArray chunk = serialBuf_;
        serialBuf_.clear();
        if (!bootErased_) {
            countDropped(chunk.size());
            return;
        }
        if (chunk == kProbe)
            probe();
        else if (chunk == kLeaveBoot)
            leaveBoot();
        else if (chunk == kErase)
            erase();
        else
            packet(chunk);
    }

    void probe()
    {
        SimMainboard::BootLoaderFailure f;
        {
            QMutexLocker lock(&s_->mutex);
            s_->counters.probes++;
            f = s_->bootFailure;
        }
        if (f == SimMainboard::NoProbeEcho)
            return;
        writeOut(Serial, f == SimMainboard::WrongProbeEcho ? QByteArray(1, char(0xF0)) : kProbe);
    }

    void erase()
    {
        SimMainboard::BootLoaderFailure f;
        {
            QMutexLocker lock(&s_->mutex);
            s_->counters.erases++;
            s_->bootPackets.clear();
            f = s_->bootFailure;
        }
        bootErased_ = true;
        expectProbe_ = true;
        if (f == SimMainboard::WrongEraseAck)
            writeOut(Serial, QByteArray::fromHex("03633104"));
        else if (f != SimMainboard::NoEraseAck)
            writeOut(Serial, kEraseAck);
    }

    void packet(const QByteArray &p)
    {
        SimMainboard::BootLoaderFailure f;
        bool hit;
        {
            QMutexLocker lock(&s_->mutex);
            s_->bootPackets.append(p);
            s_->counters.packets++;
            const int index = s_->bootPackets.size() - 1;
            f = s_->bootFailure;
            hit = s_->bootFailurePacket < 0 || s_->bootFailurePacket == index;
        }
        expectProbe_ = true;
        if (hit && f == SimMainboard::NoPacketAck)
            return;
        writeOut(Serial, hit && f == SimMainboard::WrongPacketAck ? kWrongPacketAck : kPacketAck);
    }

    SimMainboard *q_;
    std::shared_ptr<SimMainboardShared> s_;
    SimPty pty_;
    QTcpServer *server_ = nullptr;
    QPointer<QTcpSocket> client_;
    QByteArray serialBuf_;
    QByteArray tcpBuf_;
    QTimer partialTimer_;
    QTimer autoTimer_;
    QRandomGenerator rng_;
    bool pendingReset_ = false;
    bool bootErased_ = false;
    bool expectProbe_ = true;
};

// --- SimMainboard -------------------------------------------------------------

namespace {

// Runs f on the simulation thread; directly when already there (a slot
// connected to one of the signals, or a unit built on that thread), where a blocking hop would deadlock.
template <typename F>
void onSimThread(SimThread *t, F &&f)
{
    if (QThread::currentThread() == t->thread())
        f();
    else
        t->run(std::forward<F>(f));
}

} // namespace


SimMainboard::SimMainboard(const QString &deviceName, SimThread *thread)
    : deviceName_(deviceName), shared_(std::make_shared<SimMainboardShared>())
{
    if (!thread) {
        ownThread_ = std::make_unique<SimThread>();
        thread = ownThread_.get();
    }
    thread_ = thread;
    onSimThread(thread_, [this] { peer_ = new SimMainboardPeer(this, shared_); });
    open();
}

SimMainboard::~SimMainboard()
{
    SimMainboardPeer *peer = peer_;
    peer_ = nullptr;
    onSimThread(thread_, [peer] { delete peer; });
}

void SimMainboard::reset()
{
    onSimThread(thread_, [this] { peer_->reset(); });
}

bool SimMainboard::isOpen() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->open;
}

QString SimMainboard::linkPath() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->linkPath;
}

void SimMainboard::close()
{
    onSimThread(thread_, [this] { peer_->closeLine(); });
}

bool SimMainboard::open()
{
    const QString link = Sysroot::serialDevice(deviceName_);
    if (!link.startsWith(QLatin1Char('/'))) {
        // Without a sysroot the link would land in the working directory,
        // or worse, beside the real device.
        qCWarning(lcSim) << "[ERR] sim mainboard: TAVRIK_SYSROOT is not set; not opening" << deviceName_;
        return false;
    }
    bool ok = false;
    onSimThread(thread_, [this, &ok, &link] { ok = peer_->openLine(link); });
    return ok;
}

quint16 SimMainboard::listenTcp(quint16 port)
{
    quint16 got = 0;
    onSimThread(thread_, [this, &got, port] { got = peer_->listen(port); });
    return got;
}

quint16 SimMainboard::tcpPort() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->tcpPort;
}

void SimMainboard::setFailureMode(FailureMode mode)
{
    QMutexLocker lock(&shared_->mutex);
    shared_->mode = mode;
    shared_->framesSinceMode = 0;
}

SimMainboard::FailureMode SimMainboard::failureMode() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->mode;
}

void SimMainboard::setReplyDelay(int ms)
{
    QMutexLocker lock(&shared_->mutex);
    shared_->replyDelay = qMax(0, ms);
}

int SimMainboard::replyDelay() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->replyDelay;
}

void SimMainboard::setSplitReply(int chunkBytes, int gapMs)
{
    QMutexLocker lock(&shared_->mutex);
    shared_->splitChunk = qMax(1, chunkBytes);
    shared_->splitGap = qMax(0, gapMs);
}

int SimMainboard::splitChunk() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->splitChunk;
}

int SimMainboard::splitGap() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->splitGap;
}

void SimMainboard::setAckStatus(quint8 status)
{
    QMutexLocker lock(&shared_->mutex);
    shared_->ackStatus = status;
}

quint8 SimMainboard::ackStatus() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->ackStatus;
}

void SimMainboard::setEarlyMode(FailureMode mode)
{
    QMutexLocker lock(&shared_->mutex);
    shared_->earlyMode = mode;
    shared_->framesSinceMode = 0;
}

SimMainboard::FailureMode SimMainboard::earlyMode() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->earlyMode;
}

void SimMainboard::setRandomSeed(quint32 seed)
{
    QMutexLocker lock(&shared_->mutex);
    shared_->seed = seed;
    shared_->reseed = true;
}

void SimMainboard::injectReply(const QByteArray &raw)
{
    QMutexLocker lock(&shared_->mutex);
    shared_->injected.append(raw);
}

void SimMainboard::writeRaw(const QByteArray &raw)
{
    onSimThread(thread_, [this, raw] { peer_->writeRaw(raw); });
}

SimMainboard::State SimMainboard::state() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->state;
}

void SimMainboard::update(const std::function<void(State &)> &change)
{
    QMutexLocker lock(&shared_->mutex);
    change(shared_->state);
}

int SimMainboard::program() const { return state().program(); }
int SimMainboard::preview() const { return state().preview(); }
quint16 SimMainboard::tbar() const { return state().tbar(); }
bool SimMainboard::lampLit(int lamp) const { return state().lampLit(lamp); }
QByteArray SimMainboard::statusBytes() const { return state().statusBytes(); }
QByteArray SimMainboard::menuBlock(int block) const { return state().menuBytes(block); }

void SimMainboard::setMenuBlock(int block, const QByteArray &eightBytes)
{
    if (block < 0 || block > 3)
        return;
    QMutexLocker lock(&shared_->mutex);
    auto &b = shared_->state.menu[size_t(block)];
    for (size_t i = 0; i < b.size(); ++i)
        b[i] = int(i) < eightBytes.size() ? quint8(eightBytes.at(int(i))) : quint8(0);
}

void SimMainboard::setVersions(quint8 mbMajor, quint8 mbMinor, quint8 osdMajor, quint8 osdMinor)
{
    QMutexLocker lock(&shared_->mutex);
    auto &b = shared_->state.menu[3];
    b[3] = mbMajor;
    b[4] = mbMinor;
    b[5] = osdMajor;
    b[6] = osdMinor;
}

void SimMainboard::setFrameMs(int ms)
{
    QMutexLocker lock(&shared_->mutex);
    shared_->frameMs = ms < 0 ? -1 : ms;
}

int SimMainboard::frameMs() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->frameMs;
}

QList<QByteArray> SimMainboard::receivedFrames() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->frames;
}

QByteArray SimMainboard::lastFrame() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->frames.isEmpty() ? QByteArray() : shared_->frames.constLast();
}

QByteArray SimMainboard::receivedBytes() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->rxBytes;
}

QByteArray SimMainboard::sentBytes() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->txBytes;
}

SimMainboard::Counters SimMainboard::counters() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->counters;
}

void SimMainboard::clearReceived()
{
    QMutexLocker lock(&shared_->mutex);
    shared_->frames.clear();
    shared_->rxBytes.clear();
    shared_->txBytes.clear();
    shared_->bootPackets.clear();
    shared_->counters = Counters();
}

bool SimMainboard::inBootLoader() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->inBoot;
}

void SimMainboard::enterBootLoader()
{
    onSimThread(thread_, [this] { peer_->enterBoot(); peer_->processPending(); });
}

void SimMainboard::leaveBootLoader()
{
    onSimThread(thread_, [this] { peer_->leaveBoot(); peer_->processPending(); });
}

void SimMainboard::setBootLoaderFailure(BootLoaderFailure failure, int packetIndex)
{
    QMutexLocker lock(&shared_->mutex);
    shared_->bootFailure = failure;
    shared_->bootFailurePacket = packetIndex;
}

SimMainboard::BootLoaderFailure SimMainboard::bootLoaderFailure() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->bootFailure;
}

void SimMainboard::expectImage(const QByteArray &imageFile)
{
    MbImage::Parsed parsed;
    QList<int> sizes;
    if (MbImage::parse(imageFile, &parsed)) {
        for (const QByteArray &p : parsed.packets)
            sizes.append(p.size());
    }
    setExpectedPacketSizes(sizes);
}

void SimMainboard::setExpectedPacketSizes(const QList<int> &sizes)
{
    QMutexLocker lock(&shared_->mutex);
    shared_->expectedSizes = sizes;
}

void SimMainboard::setPacketGap(int ms)
{
    QMutexLocker lock(&shared_->mutex);
    shared_->packetGap = qMax(1, ms);
}

int SimMainboard::packetGap() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->packetGap;
}

QList<QByteArray> SimMainboard::bootPackets() const
{
    QMutexLocker lock(&shared_->mutex);
    return shared_->bootPackets;
}
