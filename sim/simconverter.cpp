#include "sim/simconverter.h"

#include "platform/sysroot.h"
#include "sim/simconvwire.h"
#include "sim/simlog.h"
#include "sim/simthread.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#ifndef TVK_SIMCONV_PRELOAD
#define TVK_SIMCONV_PRELOAD ""
#endif

namespace {
constexpr int kTransferLimit = 20000;
constexpr quint16 kPowerOnConfig = 0x8583;
} // namespace

struct SimConverterShared
{
    mutable QMutex lock;
    SimConverter *owner = nullptr;
    QElapsedTimer clock;

    SimConverter::FailureMode mode = SimConverter::Healthy;
    int failReads = 0;
    std::array<qint16, SimConverter::kInputs> reg{};
    std::array<QVector<int>, SimConverter::kInputs> queue;
    std::array<int, SimConverter::kInputs> jitter{};
    quint32 rng = 0x2545F491u;

    quint8 pointer = 0;
    quint16 config = kPowerOnConfig;
    qint16 conversion = 0;
    int conversionInput = -1;

    std::array<int, SimConverter::kInputs> reads{};
    QVector<SimConverter::Transfer> transfers;
    int connections = 0;

    void record(SimConverter::Transfer t)
    {
        t.usec = clock.nsecsElapsed() / 1000;
        if (transfers.size() >= kTransferLimit)
            transfers.remove(0, kTransferLimit / 2);
        transfers.append(std::move(t));
    }

    qint16 convert(int input)
    {
        QVector<int> &q = queue[size_t(input)];
        if (!q.isEmpty())
            reg[size_t(input)] = qint16(qBound(-2048, q.takeFirst(), 2047) * 16);
        int value = reg[size_t(input)];
        const int a = jitter[size_t(input)];
        if (a > 0) {
            rng = rng * 1103515245u + 12345u;
            const int offset = int((rng >> 16) % quint32(2 * a + 1)) - a;
            value = qBound(-32768, value + offset * 16, 32767);
        }
        return qint16(value);
    }

    // One request from the panel; returns the result (-errno on failure)
    // and fills `out` for a read.
    int handle(quint8 op, qint32 arg, const QByteArray &data, int &address, QByteArray &out, int &readInput)
    {
        using namespace SimConvWire;
        SimConverter::Transfer t;
        t.kind = char(op);
        t.address = address;
        int result = 0;
        switch (op) {
        case OpSelect:
            t.address = arg;
            if (arg < 0 || arg > 0x7F) {
                result = -EINVAL;
            } else if (mode == SimConverter::AddressBusy && arg == SimConverter::kAddress) {
                result = -EBUSY;
            } else {
                address = arg;
                result = 0;
            }
            break;
        case OpWrite:
            t.bytes = data;
            if (address != SimConverter::kAddress || mode == SimConverter::Absent
                || (mode == SimConverter::PointerWriteFails && data.size() == 1)
                || (mode == SimConverter::ConfigWriteFails && data.size() == 3)) {
                result = -EREMOTEIO;
                break;
            }
            result = data.size();
            if (data.isEmpty())
                break;
            pointer = quint8(data[0]) & 0x03;
            if (data.size() >= 3 && pointer == 1) {
                config = quint16((quint8(data[1]) << 8) | quint8(data[2]));
                if (config & 0x8000) {
                    const int mux = (config >> 12) & 0x07;
                    if (mux >= 4) {
                        conversionInput = mux - 4;
                        conversion = convert(conversionInput);
                    } else {
                        // Differential inputs are not wired on the panel.
                        conversionInput = -1;
                        conversion = 0;
                    }
                }
            }
            break;
        case OpRead: {
            if (address != SimConverter::kAddress || mode == SimConverter::Absent
                || mode == SimConverter::ReadFails) {
                result = -EREMOTEIO;
                break;
            }
            if (failReads > 0) {
                --failReads;
                result = -EREMOTEIO;
                break;
            }
            const int n = qBound(0, arg, kMaxData);
            quint16 value = 0;
            if (pointer == 0)
                value = quint16(conversion);
            else if (pointer == 1)
                value = quint16(config | 0x8000);
            out.resize(n);
            for (int i = 0; i < n; ++i)
                out[i] = char((i % 2 == 0) ? (value >> 8) : (value & 0xFF));
            result = n;
            t.bytes = out;
            if (pointer == 0 && conversionInput >= 0 && n >= 2) {
                ++reads[size_t(conversionInput)];
                readInput = conversionInput;
                t.input = conversionInput;
            }
            break;
        }
        default:
            result = -EINVAL;
            break;
        }
        t.result = result;
        record(std::move(t));
        return result;
    }
};

// Owns the sockets; lives on the simulation thread.
class SimConverterPeer : public QObject
{
public:
    explicit SimConverterPeer(std::shared_ptr<SimConverterShared> shared) : shared_(std::move(shared)) {}
    ~SimConverterPeer() override { close(); }

    bool open(const QString &path)
    {
        close();
        const QByteArray p = QFile::encodeName(path);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        if (size_t(p.size()) >= sizeof(addr.sun_path)) {
            qCWarning(lcSim) << "SimConverter: socket path too long:" << path;
            return false;
        }
        std::memcpy(addr.sun_path, p.constData(), size_t(p.size()));
        struct stat st;
        if (::lstat(p.constData(), &st) == 0) {
            if (!S_ISSOCK(st.st_mode)) {
                qCWarning(lcSim) << "SimConverter: something that is not a socket is in the way:" << path;
                return false;
            }
            ::unlink(p.constData()); // stale, from an earlier run
        }
        listenFd_ = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0
            || ::listen(listenFd_, 4) != 0) {
            qCWarning(lcSim) << "SimConverter: cannot listen on" << path << std::strerror(errno);
            close();
            return false;
        }
        path_ = p;
        listener_ = new QSocketNotifier(listenFd_, QSocketNotifier::Read, this);
        connect(listener_, &QSocketNotifier::activated, this, [this] { accept(); });
        return true;
    }

    void close()
    {
        for (auto it = clients_.begin(); it != clients_.end(); ++it) {
            delete it.value().notifier;
            ::close(it.key());
        }
        clients_.clear();
        delete listener_;
        listener_ = nullptr;
        if (listenFd_ >= 0) {
            ::close(listenFd_);
            listenFd_ = -1;
            ::unlink(path_.constData());
        }
        path_.clear();
    }

    bool isOpen() const { return listenFd_ >= 0; }

private:
    struct Client
    {
        QSocketNotifier *notifier = nullptr;
        int address = 0; // i2c-dev starts every descriptor at address 0
    };

    void accept()
    {
        for (;;) {
            const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (fd < 0)
                return;
            Client c;
            c.notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
            connect(c.notifier, &QSocketNotifier::activated, this, [this, fd] { serve(fd); });
            clients_.insert(fd, c);
            QMutexLocker lock(&shared_->lock);
            ++shared_->connections;
        }
    }

    void drop(int fd)
    {
        auto it = clients_.find(fd);
        if (it == clients_.end())
            return;
        it.value().notifier->setEnabled(false);
        it.value().notifier->deleteLater();
        clients_.erase(it);
        ::close(fd);
    }

    void serve(int fd)
    {
        using namespace SimConvWire;
        for (;;) {
            unsigned char packet[sizeof(Request) + kMaxData];
            const ssize_t got = ::recv(fd, packet, sizeof packet, MSG_DONTWAIT);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return;
            if (got <= 0) {
                drop(fd); // the panel closed its descriptor
                return;
            }
            if (got < ssize_t(sizeof(Request))) {
                qCWarning(lcSim) << "SimConverter: short request of" << got << "bytes dropped";
                continue;
            }
            Request req;
            std::memcpy(&req, packet, sizeof req);
            const QByteArray data(reinterpret_cast<const char *>(packet + sizeof req), int(got - ssize_t(sizeof req)));
            auto it = clients_.find(fd);
            if (it == clients_.end())
                return;
            QByteArray out;
            int readInput = -1;
            int result;
            qint16 latched = 0;
            SimConverter *owner = nullptr;
            {
                QMutexLocker lock(&shared_->lock);
                result = shared_->handle(req.op, req.arg, data, it.value().address, out, readInput);
                latched = shared_->conversion;
                owner = shared_->owner;
            }
            Reply rep{req.seq, result};
            unsigned char reply[sizeof(Reply) + kMaxData];
            std::memcpy(reply, &rep, sizeof rep);
            const int n = qMin(out.size(), kMaxData);
            if (n)
                std::memcpy(reply + sizeof rep, out.constData(), size_t(n));
            if (::send(fd, reply, sizeof rep + size_t(n), MSG_NOSIGNAL | MSG_DONTWAIT) < 0) {
                drop(fd);
                return;
            }
            if (readInput >= 0 && owner) {
                const int reading = latched < 0 ? 0 : latched >> 4;
                emit owner->conversionRead(readInput, reading);
            }
        }
    }

    std::shared_ptr<SimConverterShared> shared_;
    int listenFd_ = -1;
    QSocketNotifier *listener_ = nullptr;
    QHash<int, Client> clients_;
    QByteArray path_;
};

SimConverter::SimConverter(const QString &busDevice, SimThread *thread)
    : shared_(std::make_shared<SimConverterShared>())
{
    shared_->owner = this;
    shared_->clock.start();
    const qint16 centre = 1250 * 16;
    shared_->reg = {qint16(1300 * 16), centre, centre, centre};
    if (!thread) {
        ownThread_ = std::make_unique<SimThread>();
        thread = ownThread_.get();
    }
    thread_ = thread;
    path_ = Sysroot::path(busDevice);
    thread_->run([this] { peer_ = new SimConverterPeer(shared_); });
    open();
}

SimConverter::~SimConverter()
{
    {
        QMutexLocker lock(&shared_->lock);
        shared_->owner = nullptr;
    }
    thread_->run([this] { delete peer_; });
    peer_ = nullptr;
}

bool SimConverter::isOpen() const
{
    bool result = false;
    thread_->run([this, &result] { result = peer_->isOpen(); });
    return result;
}

QString SimConverter::socketPath() const
{
    return path_;
}

void SimConverter::close()
{
    thread_->run([this] { peer_->close(); });
}

bool SimConverter::open()
{
    bool ok = false;
    thread_->run([this, &ok] { ok = peer_->open(path_); });
    return ok;
}

int SimConverter::connections() const
{
    QMutexLocker lock(&shared_->lock);
    return shared_->connections;
}

void SimConverter::setReading(Input input, int reading)
{
    QMutexLocker lock(&shared_->lock);
    shared_->queue[size_t(input)].clear();
    shared_->reg[size_t(input)] = qint16(qBound(-2048, reading, 2047) * 16);
}

int SimConverter::reading(Input input) const
{
    QMutexLocker lock(&shared_->lock);
    return shared_->reg[size_t(input)] >> 4;
}

void SimConverter::setRegister(Input input, qint16 value)
{
    QMutexLocker lock(&shared_->lock);
    shared_->queue[size_t(input)].clear();
    shared_->reg[size_t(input)] = value;
}

void SimConverter::queueReadings(Input input, const QVector<int> &readings)
{
    QMutexLocker lock(&shared_->lock);
    shared_->queue[size_t(input)] += readings;
}

int SimConverter::queuedReadings(Input input) const
{
    QMutexLocker lock(&shared_->lock);
    return shared_->queue[size_t(input)].size();
}

void SimConverter::setJitter(Input input, int amplitude)
{
    QMutexLocker lock(&shared_->lock);
    shared_->jitter[size_t(input)] = qMax(0, amplitude);
}

void SimConverter::setFailureMode(FailureMode mode)
{
    QMutexLocker lock(&shared_->lock);
    shared_->mode = mode;
}

SimConverter::FailureMode SimConverter::failureMode() const
{
    QMutexLocker lock(&shared_->lock);
    return shared_->mode;
}

void SimConverter::failNextReads(int count)
{
    QMutexLocker lock(&shared_->lock);
    shared_->failReads = qMax(0, count);
}

int SimConverter::conversionsRead(Input input) const
{
    QMutexLocker lock(&shared_->lock);
    return shared_->reads[size_t(input)];
}

QVector<SimConverter::Transfer> SimConverter::transfers() const
{
    QMutexLocker lock(&shared_->lock);
    return shared_->transfers;
}

void SimConverter::clearTransfers()
{
    QMutexLocker lock(&shared_->lock);
    shared_->transfers.clear();
}

QString SimConverter::preloadLibrary()
{
    const QByteArray fromEnv = qgetenv("TVK_SIMCONV_PRELOAD");
    return QFile::decodeName(fromEnv.isEmpty() ? QByteArray(TVK_SIMCONV_PRELOAD) : fromEnv);
}

QString SimConverter::sanitizerRuntime()
{
    QString found;
    dl_iterate_phdr(
        [](dl_phdr_info *info, size_t, void *out) {
            const char *name = info->dlpi_name;
            if (name && (std::strstr(name, "/libasan.so") || std::strstr(name, "/libclang_rt.asan"))) {
                *static_cast<QString *>(out) = QFile::decodeName(name);
                return 1;
            }
            return 0;
        },
        &found);
    return found;
}

QByteArray SimConverter::preloadList(const QByteArray &existing, QByteArray *addedRuntime)
{
    // AddressSanitizer insists on coming first among the loaded libraries,
    // so a sanitizer build keeps its runtime ahead of the shim.
    const QByteArray runtime = QFile::encodeName(sanitizerRuntime());
    QByteArray list;
    if (!runtime.isEmpty() && !existing.split(' ').contains(runtime) && !existing.split(':').contains(runtime)) {
        list = runtime + ' ';
        if (addedRuntime)
            *addedRuntime = runtime;
    }
    list += QFile::encodeName(preloadLibrary());
    if (!existing.isEmpty())
        list += ' ' + existing;
    return list;
}

bool SimConverter::preloadActive()
{
    return dlsym(RTLD_DEFAULT, "tvk_simconv_shim_active") != nullptr;
}

bool SimConverter::ensurePreloaded(int argc, char **argv)
{
    Q_UNUSED(argc);
    if (preloadActive()) {
        qunsetenv("TVK_SIMCONV_REEXEC");
        return true;
    }
    if (qEnvironmentVariableIsSet("TVK_SIMCONV_REEXEC")) {
        std::fprintf(stderr, "SimConverter: the converter shim did not load; converter tests cannot run\n");
        return false;
    }
    const QString lib = preloadLibrary();
    if (lib.isEmpty() || !QFileInfo::exists(lib)) {
        std::fprintf(stderr, "SimConverter: converter shim not found (%s); set TVK_SIMCONV_PRELOAD\n",
                     qPrintable(lib));
        return false;
    }
    QByteArray runtime;
    qputenv("LD_PRELOAD", preloadList(qgetenv("LD_PRELOAD"), &runtime));
    if (!runtime.isEmpty())
        qputenv("TVK_SIMCONV_RUNTIME", runtime);
    qputenv("TVK_SIMCONV_REEXEC", "1");
    ::execv("/proc/self/exe", argv);
    std::fprintf(stderr, "SimConverter: cannot run again with the shim: %s\n", std::strerror(errno));
    return false;
}
