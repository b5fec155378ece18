#include "qmkeys.h"

#include "qmkeyshook.h"

namespace MeeGo {

QmKeys::QmKeys(QObject* parent)
    : QObject(parent)
{
    // The hook registers the signal's types as it is made.
    connect(QmKeysHook::instance(), &QmKeysHook::keyEvent, this, &QmKeys::keyEvent);
}

QmKeys::~QmKeys() = default;

} // namespace MeeGo
