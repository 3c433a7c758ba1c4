#include "sim/simpty.h"

#include "sim/simlog.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

SimPty::SimPty(QObject *parent) : QObject(parent) {}

SimPty::~SimPty() { close(); }

bool SimPty::open(const QString &linkPath)
{
    close();
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        qCWarning(lcSim) << "[ERR] sim pty: cannot create pseudo-terminal:" << std::strerror(errno);
        close();
        return false;
    }
    char name[128] = {};
    if (::ptsname_r(master_, name, sizeof name) != 0) {
        qCWarning(lcSim) << "[ERR] sim pty: ptsname failed";
        close();
        return false;
    }
    slaveName_ = QString::fromLocal8Bit(name);

    slaveKeep_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveKeep_ >= 0) {
        termios t{};
        if (::tcgetattr(slaveKeep_, &t) == 0) {
            ::cfmakeraw(&t);
            ::tcsetattr(slaveKeep_, TCSANOW, &t);
        }
    }

    linkPath_ = linkPath;
    QDir().mkpath(QFileInfo(linkPath).absolutePath());
    QFile::remove(linkPath);
    if (!QFile::link(slaveName_, linkPath)) {
        qCWarning(lcSim) << "[ERR] sim pty: cannot link" << linkPath << "to" << slaveName_;
        close();
        return false;
    }

    notifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SimPty::onReadable);
    return true;
}

void SimPty::close()
{
    if (notifier_) {
        notifier_->setEnabled(false);
        delete notifier_;
        notifier_ = nullptr;
    }
    if (slaveKeep_ >= 0)
        ::close(slaveKeep_);
    slaveKeep_ = -1;
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
    if (!linkPath_.isEmpty())
        QFile::remove(linkPath_);
    linkPath_.clear();
}

bool SimPty::write(const QByteArray &bytes)
{
    if (master_ < 0)
        return false;
    qsizetype done = 0;
    int stalledMs = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0) {
            done += n;
            stalledMs = 0;
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            // The pty buffer is full: a reading panel drains it shortly; one
            // that stopped reading must not hang the simulated device.
            if (++stalledMs > 1000) {
                qCWarning(lcSim) << "[WARN] sim pty: nobody reads the line, dropped" << (bytes.size() - done) << "bytes";
                return false;
            }
            ::usleep(1000);
        } else {
            qCWarning(lcSim) << "[ERR] sim pty: write failed:" << std::strerror(errno);
            return false;
        }
    }
    return true;
}

void SimPty::onReadable()
{
    QByteArray bytes;
    char buf[512];
    for (;;) {
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n > 0) {
            bytes.append(buf, static_cast<int>(n));
            continue;
        }
        break; // EAGAIN: drained; EIO: nobody has the line open
    }
    if (!bytes.isEmpty())
        emit received(bytes);
}
