#include "tests/netsvc/helper_netns.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

TestNetns::~TestNetns()
{
    leave();
    if (nsFd_ >= 0)
        ::close(nsFd_);
    if (origFd_ >= 0)
        ::close(origFd_);
}

QString TestNetns::ipTool()
{
    for (const char *p : {"/usr/sbin/ip", "/sbin/ip", "/usr/bin/ip", "/bin/ip"})
        if (QFile::exists(QLatin1String(p)))
            return QLatin1String(p);
    return QString();
}

bool TestNetns::create(QString *whyNot)
{
    if (ipTool().isEmpty()) {
        *whyNot = QStringLiteral("the ip tool (package iproute2) is not installed");
        return false;
    }
    origFd_ = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    if (origFd_ < 0) {
        *whyNot = QStringLiteral("cannot open this thread's network namespace: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    if (::unshare(CLONE_NEWNET) != 0) {
        *whyNot = QStringLiteral("network namespaces are not allowed here (unshare: %1)").arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    inside_ = true;
    nsFd_ = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    bool ok = nsFd_ >= 0;
    QByteArray out;
    const QList<QStringList> setup{
        {"link", "set", "lo", "up"},
        {"link", "add", "eth0", "type", "veth", "peer", "name", "veth0"},
        {"link", "set", "veth0", "up"},
        {"link", "set", "eth0", "up"},
    };
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
    if (inside_)
        return true;
    if (nsFd_ < 0 || ::setns(nsFd_, CLONE_NEWNET) != 0)
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
    // Everything the child needs is prepared before fork(): after it, only
    // async-signal-safe calls are allowed.
    std::vector<std::string> argStore;
    argStore.push_back(QFile::encodeName(program).toStdString());
    for (const QString &a : args)
        argStore.push_back(QFile::encodeName(a).toStdString());
    std::vector<char *> argv;
    for (std::string &s : argStore)
        argv.push_back(&s[0]);
    argv.push_back(nullptr);
    const bool haveDbDir = ::access("/var/lib/dhcpcd", F_OK) == 0;

    int outPipe[2], errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0)
        return r;
    if (::pipe2(errPipe, O_CLOEXEC) != 0) {
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        return r;
    }

    if (!enter())
        return r;
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::unshare(CLONE_NEWNS) != 0)
            ::_exit(120);
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            ::_exit(121);
        if (::mount("tvk-run", "/run", "tmpfs", MS_NOSUID | MS_NODEV, "size=4m") != 0)
            ::_exit(122);
        if (::mount("tvk-db", haveDbDir ? "/var/lib/dhcpcd" : "/var/lib", "tmpfs", MS_NOSUID | MS_NODEV, "size=4m") != 0)
            ::_exit(123);
        ::dup2(outPipe[1], 1);
        ::dup2(errPipe[1], 2);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    leave();
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    if (pid < 0) {
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        return r;
    }
    r.ran = true;

    QElapsedTimer t;
    t.start();
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    int open = 2;
    while (open > 0) {
        const int left = timeoutMs - int(t.elapsed());
        if (left <= 0) {
            r.timedOut = true;
            ::kill(pid, SIGKILL);
            break;
        }
        if (::poll(fds, 2, left) < 0 && errno != EINTR)
            break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buf[4096];
            const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
            if (n > 0) {
                (i == 0 ? r.out : r.err).append(buf, int(n));
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (pollfd &f : fds)
        if (f.fd >= 0)
            ::close(f.fd);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!r.timedOut && WIFEXITED(status))
        r.exitCode = WEXITSTATUS(status);
    return r;
}
