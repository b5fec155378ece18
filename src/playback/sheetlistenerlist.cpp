#include "sheetlistenerlist.h"

#include <QMetaMethod>
#include <QObject>

SheetListenerList::Result SheetListenerList::add(QObject* object, const char* slot)
{
    if (!object || !slot || !*slot)
        return Refused;
    const QByteArray signature = QMetaObject::normalizedSignature(slot + 1);
    const int index = object->metaObject()->indexOfSlot(signature.constData());
    if (index < 0)
        return Refused;
    for (const Listener& listener : listeners) {
        if (listener.object == object && listener.methodIndex == index)
            return AlreadyListed;
    }
    listeners.append(Listener { QPointer<QObject>(object), index });
    return Added;
}

void SheetListenerList::remove(QObject* object)
{
    for (int i = listeners.size() - 1; i >= 0; --i) {
        if (!listeners.at(i).object || listeners.at(i).object == object)
            listeners.remove(i);
    }
}

void SheetListenerList::notify(bool value) const
{
    const QVector<Listener> current = listeners;
    for (const Listener& listener : current) {
        QObject* object = listener.object.data();
        if (!object)
            continue;
        object->metaObject()
            ->method(listener.methodIndex)
            .invoke(object, Qt::AutoConnection, Q_ARG(bool, value));
    }
}

int SheetListenerList::count() const
{
    int alive = 0;
    for (const Listener& listener : listeners) {
        if (listener.object)
            ++alive;
    }
    return alive;
}
