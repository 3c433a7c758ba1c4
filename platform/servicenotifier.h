#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

class QCoreApplication;

// Tells the service manager (systemd, Type=notify) that the panel is up and
// that its interface thread is still turning: READY=1 once the event loop
// runs, then WATCHDOG=1 at half the service's watchdog interval. A frozen
// interface stops the keepalives, and the service manager restarts the panel.
//
// Lives on the interface (main) thread: its timer must run on the event loop
// whose freeze matters, so the keepalive is not sent from any other thread.
//
// The protocol is one datagram per message to the Unix socket named in
// NOTIFY_SOCKET ("/path" or "@abstract"); it is small enough not to need
// libsystemd. Without NOTIFY_SOCKET (a PC, a test) nothing is sent.
class ServiceNotifier : public QObject
{
    Q_OBJECT
public:
    // Reads and clears NOTIFY_SOCKET, WATCHDOG_USEC and WATCHDOG_PID, so the
    // programs the panel starts do not talk to the service manager in its name.
    explicit ServiceNotifier(QObject *parent = nullptr);
    ~ServiceNotifier() override;

    // The entry point's one call: a notifier owned by the application that
    // sends READY=1 and starts the keepalive when the event loop first runs.
    static ServiceNotifier *attach(QCoreApplication &app);

    bool isActive() const { return fd_ >= 0; }
    // 0 when the service has no watchdog.
    qint64 watchdogUsec() const { return watchdogUsec_; }
    int keepaliveIntervalMs() const { return timer_.interval(); }

    // READY=1 and the first keepalive; the timer schedules the rest.
    void start();
    // One message, e.g. "WATCHDOG=1"; false when it could not be sent.
    bool notify(const QByteArray &message);

    // A wait with a time limit on the interface thread (a child process that
    // is killed after its limit) is not a freeze: while one lasts, the
    // watchdog interval is raised by the limit and set back afterwards. On
    // any other thread, or without a watchdog, it does nothing.
    class BoundedWait
    {
    public:
        explicit BoundedWait(int limitMs);
        ~BoundedWait();
        BoundedWait(const BoundedWait &) = delete;
        BoundedWait &operator=(const BoundedWait &) = delete;

    private:
        ServiceNotifier *notifier_ = nullptr;
    };

private:
    void keepalive();

    int fd_ = -1;
    QByteArray address_;  // sockaddr_un path bytes; a leading 0 for abstract names
    qint64 watchdogUsec_ = 0;
    QTimer timer_;
    bool warned_ = false;
    int boundedWaits_ = 0;
};
