#include "tests/netsvc/helper_netns.h"

#include <QProcess>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {
// The real ip tool, whatever stand-ins PATH holds; empty if missing.
QString ipTool()
{
    return QStandardPaths::findExecutable(QStringLiteral("ip"), {"/usr/sbin", "/sbin", "/usr/bin", "/bin"});
}

QString lastError()
{
    return QString::fromLocal8Bit(strerror(errno));
}

// Gives the child its own mount namespace with empty /run and
// /var/lib/dhcpcd. Runs between fork() and exec(): async-signal-safe calls only.
class SandboxedProcess : public QProcess
{
public:
    bool haveDbDir = false;

protected:
    void setupChildProcess() override
    {
        if (::unshare(CLONE_NEWNS) != 0)
            ::_exit(120);
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            ::_exit(121);
        if (::mount("tvk-run", "/run", "tmpfs", MS_NOSUID | MS_NODEV, "size=4m") != 0)
            ::_exit(122);
        if (::mount("tvk-db", haveDbDir ? "/var/lib/dhcpcd" : "/var/lib", "tmpfs", MS_NOSUID | MS_NODEV, "size=4m") != 0)
            ::_exit(123);
    }
};
} // namespace

TestNetns::~TestNetns()
{
    leave();
    if (nsFd_ >= 0)
        ::close(nsFd_);
    if (origFd_ >= 0)
        ::close(origFd_);
}

bool TestNetns::create(QString *whyNot)
{
    if (ipTool().isEmpty()) {
        *whyNot = QStringLiteral("the ip tool (package iproute2) is not installed");
        return false;
    }
    origFd_ = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    if (origFd_ < 0) {
        *whyNot = QStringLiteral("cannot open this thread's network namespace: ") + lastError();
        return false;
    }
    if (::unshare(CLONE_NEWNET) != 0) {
        *whyNot = QStringLiteral("network namespaces are not allowed here (unshare: %1)").arg(lastError());
        return false;
    }
    inside_ = true;
    nsFd_ = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    bool ok = nsFd_ >= 0;
    QByteArray out;
    const QList<QStringList> setup{{"link", "set", "lo", "up"},
                                   {"link", "add", "eth0", "type", "veth", "peer", "name", "veth0"},
                                   {"link", "set", "veth0", "up"},
                                   {"link", "set", "eth0", "up"}};
    for (const QStringList &args : setup) {
        if (ok && !(ok = ip(args, &out)))
            *whyNot = QStringLiteral("cannot set up eth0 in the namespace (ip %1: %2)")
                          .arg(args.join(QLatin1Char(' ')), QString::fromLocal8Bit(out).trimmed());
    }
    leave();
    return ok;
}

bool TestNetns::enter()
{
    if (!inside_ && (nsFd_ < 0 || ::setns(nsFd_, CLONE_NEWNET) != 0))
        return false;
    inside_ = true;
    return true;
}

void TestNetns::leave()
{
    if (inside_ && origFd_ >= 0 && ::setns(origFd_, CLONE_NEWNET) == 0)
        inside_ = false;
}

bool TestNetns::ip(const QStringList &args, QByteArray *output)
{
    NetnsScope in(*this);
    if (!in.ok())
        return false;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(ipTool(), args);
    const bool ok = p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (output)
        *output = p.readAll();
    return ok;
}

TestNetns::Result TestNetns::runSandboxed(const QString &program, const QStringList &args, int timeoutMs)
{
    Result r;
    SandboxedProcess p;
    p.haveDbDir = ::access("/var/lib/dhcpcd", F_OK) == 0;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (!enter())
        return r;
    p.start(program, args); // forks here, so the child is born inside
    leave();
    r.timedOut = !p.waitForFinished(timeoutMs) && p.state() != QProcess::NotRunning;
    if (r.timedOut) {
        p.kill();
        p.waitForFinished(2000);
    } else if (p.exitStatus() == QProcess::NormalExit) {
        r.exitCode = p.exitCode();
    }
    r.output = p.readAll();
    return r;
}
