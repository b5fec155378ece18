#ifndef MASSSTORAGEWATCH_H
#define MASSSTORAGEWATCH_H

#include "qmusbmode.h"

#include <QObject>

// Follows the USB mode: says when the phone's storage is lent to a computer as mass storage
// (nothing may play from it then) and when it comes back, once per change.
class MassStorageWatch : public QObject
{
    Q_OBJECT

public:
    explicit MassStorageWatch(QObject* parent);

    bool isMassStorage() const;
    bool isSyncMode() const;
    // Takes the mode the system reports now.
    void check();
    void takeMode(MeeGo::QmUSBMode::Mode mode);

signals:
    void massStorageChanged(bool massStorage);

private:
    MeeGo::QmUSBMode* usb;
    int lastMode = MeeGo::QmUSBMode::Undefined;
};

#endif // MASSSTORAGEWATCH_H
