#include "qmkeys.h"

#include "qmkeyshook.h"

namespace MeeGo {

QmKeys::QmKeys(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<MeeGo::QmKeys::Key>("MeeGo::QmKeys::Key");
    qRegisterMetaType<MeeGo::QmKeys::State>("MeeGo::QmKeys::State");
    connect(QmKeysHook::instance(), &QmKeysHook::keyEvent, this, &QmKeys::keyEvent);
}

QmKeys::~QmKeys() = default;

} // namespace MeeGo
