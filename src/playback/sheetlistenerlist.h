#ifndef SHEETLISTENERLIST_H
#define SHEETLISTENERLIST_H

#include <QPointer>
#include <QVector>

class QObject;

// Objects that want to be told of the player sheet's state, each through one slot taking a
// bool. Each object and slot is listed once; an object that is destroyed drops out.
class SheetListenerList
{
public:
    enum Result { Added, AlreadyListed, Refused };

    // slot in the SLOT() form ("1updateSheet(bool)"). Refused for a null object or a slot the
    // object does not have.
    Result add(QObject* object, const char* slot);
    void remove(QObject* object);
    // Calls every listener in order; a listener may add or remove listeners meanwhile.
    void notify(bool value) const;
    int count() const;

private:
    struct Listener
    {
        QPointer<QObject> object;
        int methodIndex;
    };

    QVector<Listener> listeners;
};

#endif // SHEETLISTENERLIST_H
