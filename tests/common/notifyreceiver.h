#pragma once

#include <QByteArrayList>
#include <QString>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>

// The service manager's end of the notification protocol: a Unix datagram
// socket bound to a path inside the test's temporary folder, or to an
// abstract name ("@name").
class NotifyReceiver
{
public:
    explicit NotifyReceiver(const QString &path) : path_(path.toLocal8Bit())
    {
        fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_un sa{};
        sa.sun_family = AF_UNIX;
        if (fd_ < 0 || size_t(path_.size()) >= sizeof(sa.sun_path))
            return;
        std::memcpy(sa.sun_path, path_.constData(), size_t(path_.size()));
        if (sa.sun_path[0] == '@')
            sa.sun_path[0] = '\0';
        const socklen_t len = socklen_t(offsetof(sockaddr_un, sun_path) + size_t(path_.size()));
        bound_ = ::bind(fd_, reinterpret_cast<sockaddr *>(&sa), len) == 0;
    }
    ~NotifyReceiver()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool isBound() const { return bound_; }
    QByteArray path() const { return path_; }

    // Every datagram received so far, oldest first.
    const QByteArrayList &messages()
    {
        char buf[512];
        ssize_t n;
        while ((n = ::recv(fd_, buf, sizeof(buf), 0)) >= 0)
            received_.append(QByteArray(buf, int(n)));
        return received_;
    }

private:
    QByteArray path_;
    int fd_ = -1;
    bool bound_ = false;
    QByteArrayList received_;
};
