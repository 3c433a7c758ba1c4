#include "platform/servicenotifier.h"

#include "platform/platformlog.h"

#include <QCoreApplication>
#include <QDebug>
#include <QThread>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
// The notifier whose watchdog is running; only its thread reads it for use.
std::atomic<ServiceNotifier *> running{nullptr};
} // namespace

ServiceNotifier::ServiceNotifier(QObject *parent)
    : QObject(parent)
{
    const QByteArray socketName = qgetenv("NOTIFY_SOCKET");
    const QByteArray usec = qgetenv("WATCHDOG_USEC");
    const QByteArray pid = qgetenv("WATCHDOG_PID");
    qunsetenv("NOTIFY_SOCKET");
    qunsetenv("WATCHDOG_USEC");
    qunsetenv("WATCHDOG_PID");

    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &ServiceNotifier::keepalive);

    if (socketName.isEmpty())
        return;
    sockaddr_un probe;
    if ((socketName[0] != '/' && socketName[0] != '@') || size_t(socketName.size()) >= sizeof(probe.sun_path)) {
        qCWarning(lcPlatform).noquote() << "[WARN] ignoring unusable NOTIFY_SOCKET" << socketName;
        return;
    }
    address_ = socketName;
    if (address_[0] == '@')
        address_[0] = '\0';

    bool ok = false;
    const qint64 interval = usec.toLongLong(&ok);
    // A watchdog meant for another process (the shell that started us) is not ours to feed.
    const bool forUs = pid.isEmpty() || pid.toLongLong() == qint64(::getpid());
    if (ok && interval > 0 && forUs) {
        watchdogUsec_ = interval;
        const qint64 halfMs = interval / 2000;
        timer_.setInterval(int(qBound<qint64>(1, halfMs, 24 * 3600 * 1000)));
    }

    fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0)
        qCWarning(lcPlatform).noquote() << "[WARN] no service notification socket:" << std::strerror(errno);
}

ServiceNotifier::~ServiceNotifier()
{
    ServiceNotifier *self = this;
    running.compare_exchange_strong(self, nullptr);
    if (fd_ >= 0) {
        notify("STOPPING=1");
        ::close(fd_);
    }
}

ServiceNotifier *ServiceNotifier::attach(QCoreApplication &app)
{
    auto *n = new ServiceNotifier(&app);
    if (n->isActive())
        QTimer::singleShot(0, n, &ServiceNotifier::start);
    return n;
}

void ServiceNotifier::start()
{
    Q_ASSERT(QThread::currentThread() == thread());
    notify("READY=1");
    if (watchdogUsec_ > 0) {
        keepalive();
        timer_.start();
        running.store(this);
        qCDebug(lcPlatform).noquote() << "watchdog keepalive every" << timer_.interval() << "ms";
    }
}

void ServiceNotifier::keepalive()
{
    notify("WATCHDOG=1");
}

bool ServiceNotifier::notify(const QByteArray &message)
{
    if (fd_ < 0)
        return false;
    sockaddr_un sa;
    std::memset(&sa, 0, sizeof(sa));
    sa.sun_family = AF_UNIX;
    std::memcpy(sa.sun_path, address_.constData(), size_t(address_.size()));
    const socklen_t len = socklen_t(offsetof(sockaddr_un, sun_path) + size_t(address_.size()));
    const ssize_t n = ::sendto(fd_, message.constData(), size_t(message.size()), MSG_NOSIGNAL,
                               reinterpret_cast<const sockaddr *>(&sa), len);
    if (n == ssize_t(message.size())) {
        warned_ = false;
        return true;
    }
    // Once per run of failures: a keepalive every few seconds must not flood the log.
    if (!warned_)
        qCWarning(lcPlatform).noquote() << "[WARN] service notification" << message << "failed:" << std::strerror(errno);
    warned_ = true;
    return false;
}

ServiceNotifier::BoundedWait::BoundedWait(int limitMs)
{
    ServiceNotifier *n = running.load();
    if (!n || limitMs <= 0 || QThread::currentThread() != n->thread())
        return;
    notifier_ = n;
    // Nested waits keep the first raise; the outermost one sets it back.
    if (n->boundedWaits_++ == 0)
        n->notify("WATCHDOG_USEC=" + QByteArray::number(n->watchdogUsec_ + qint64(limitMs) * 1000));
    n->keepalive();
}

ServiceNotifier::BoundedWait::~BoundedWait()
{
    if (!notifier_ || running.load() != notifier_)
        return;
    if (--notifier_->boundedWaits_ == 0)
        notifier_->notify("WATCHDOG_USEC=" + QByteArray::number(notifier_->watchdogUsec_));
    notifier_->keepalive();
}
