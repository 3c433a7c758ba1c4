#pragma once

#include <QByteArrayList>
#include <QString>

#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// The service manager's end of the notification protocol: a Unix datagram
// socket on a path in the test's temporary folder, or an abstract "@name".
class NotifyReceiver
{
public:
    explicit NotifyReceiver(const QString &name) : name_(name.toLocal8Bit())
    {
        sockaddr_un sa{};
        sa.sun_family = AF_UNIX;
        std::memcpy(sa.sun_path, name_.constData(), qMin(size_t(name_.size()), sizeof(sa.sun_path) - 1));
        if (sa.sun_path[0] == '@')
            sa.sun_path[0] = '\0';
        fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        bound_ = ::bind(fd_, reinterpret_cast<sockaddr *>(&sa),
                        socklen_t(offsetof(sockaddr_un, sun_path) + size_t(name_.size()))) == 0;
    }
    ~NotifyReceiver() { ::close(fd_); }
    bool isBound() const { return bound_; }
    QByteArray name() const { return name_; }

    // Every datagram received so far, oldest first.
    const QByteArrayList &messages()
    {
        char buf[512];
        for (ssize_t n; (n = ::recv(fd_, buf, sizeof(buf), 0)) >= 0;)
            received_.append(QByteArray(buf, int(n)));
        return received_;
    }

private:
    QByteArray name_;
    int fd_ = -1;
    bool bound_ = false;
    QByteArrayList received_;
};
