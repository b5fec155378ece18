#include "qmsystemstate.h"

#include <QList>

namespace MeeGo {

namespace {
QList<QmSystemState*> liveInstances; // GUI thread only
} // namespace

QmSystemState::QmSystemState(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<MeeGo::QmSystemState::StateIndication>(
        "MeeGo::QmSystemState::StateIndication");
    liveInstances.append(this);
}

QmSystemState::~QmSystemState()
{
    liveInstances.removeAll(this);
}

void QmSystemState::injectStateIndicationForTesting(StateIndication indication)
{
    const QList<QmSystemState*> instances = liveInstances;
    for (QmSystemState* instance : instances) {
        if (liveInstances.contains(instance))
            emit instance->systemStateChanged(indication);
    }
}

} // namespace MeeGo
