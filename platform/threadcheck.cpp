#include "platform/threadcheck.h"

#include <QThread>

#include <atomic>

namespace threadcheck {
namespace {

std::atomic<FailureHandler> handler{nullptr};

QByteArray threadName(const QThread *t)
{
    if (!t)
        return QByteArrayLiteral("(no thread)");
    const QString n = t->objectName();
    return n.isEmpty() ? QByteArray("0x") + QByteArray::number(quintptr(t), 16) : n.toUtf8();
}

} // namespace

FailureHandler setFailureHandler(FailureHandler h)
{
    return handler.exchange(h);
}

bool assertOwner(const QObject *obj, const char *where)
{
    if (!obj || obj->thread() == QThread::currentThread())
        return true;
    if (FailureHandler h = handler.load()) {
        h(where, obj);
        return false;
    }
    qFatal("%s called on thread %s; the object is owned by thread %s", where,
           threadName(QThread::currentThread()).constData(), threadName(obj->thread()).constData());
    return false;
}

} // namespace threadcheck
