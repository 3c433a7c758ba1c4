#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A private network namespace holding "eth0" (one end of a veth pair whose
// other end is up, so eth0 has a carrier) and a loopback that is up. It is
// made with unshare() on the calling thread and kept only through file
// descriptors: it has no name on the machine and vanishes with this object,
// even if the test dies. Between enter() and leave() the thread, and every
// process it starts, is inside.
class TestNetns
{
public:
    TestNetns() = default;
    ~TestNetns();
    TestNetns(const TestNetns &) = delete;
    TestNetns &operator=(const TestNetns &) = delete;

    // False with the reason when namespaces or veth pairs are not available.
    bool create(QString *whyNot);
    // Runs the real ip tool inside ("addr add ...").
    bool ip(const QStringList &args, QByteArray *output = nullptr);
    bool enter();
    void leave();

    struct Result {
        bool timedOut = false;
        int exitCode = -1; // 120-123: no private mount namespace
        QByteArray output; // standard output and error together
    };
    // Runs a program inside, in a private mount namespace too, so that the
    // pid, socket and identity files it writes never reach the machine.
    Result runSandboxed(const QString &program, const QStringList &args, int timeoutMs);

private:
    int origFd_ = -1;
    int nsFd_ = -1;
    bool inside_ = false;
};

// Inside the namespace until the scope ends.
class NetnsScope
{
public:
    explicit NetnsScope(TestNetns &ns) : ns_(ns) { ok_ = ns_.enter(); }
    ~NetnsScope() { ns_.leave(); }
    bool ok() const { return ok_; }

private:
    TestNetns &ns_;
    bool ok_;
};
