#include "ui/notifyingproperty.h"

#include <QMetaMethod>
#include <QMetaObject>
#include <QMetaProperty>

void forwardChanges(QObject *from, QObject *to)
{
    const QMetaObject *source = from->metaObject();
    const QMetaObject *target = to->metaObject();
    for (int i = source->propertyOffset(); i < source->propertyCount(); ++i) {
        const QMetaProperty property = source->property(i);
        if (!property.hasNotifySignal())
            continue;
        const QMetaMethod signal = property.notifySignal();
        const int relay = target->indexOfSignal(signal.methodSignature().constData());
        if (relay >= 0)
            QObject::connect(from, signal, to, target->method(relay));
    }
}
