#include "minputmethodstate.h"

#include <QCoreApplication>

MInputMethodState::MInputMethodState(QObject* parent)
    : QObject(parent)
{
}

MInputMethodState* MInputMethodState::instance()
{
    static MInputMethodState* state = nullptr;
    if (!state)
        state = new MInputMethodState(QCoreApplication::instance());
    return state;
}

int MInputMethodState::registerAttributeExtension(const QString& fileName)
{
    const int id = nextId++;
    extensions.insert(id, fileName);
    return id;
}

void MInputMethodState::unregisterAttributeExtension(int id)
{
    extensions.remove(id);
    values.remove(id);
}

QString MInputMethodState::key(const QString& target, const QString& targetItem,
                               const QString& attribute)
{
    return target + QLatin1Char('|') + targetItem + QLatin1Char('|') + attribute;
}

void MInputMethodState::setExtendedAttribute(int id, const QString& target,
                                             const QString& targetItem, const QString& attribute,
                                             const QVariant& value)
{
    if (!extensions.contains(id))
        return;
    values[id].insert(key(target, targetItem, attribute), value);
    emit extendedAttributeChanged(id, target, targetItem, attribute, value);
}

QVariant MInputMethodState::extendedAttribute(int id, const QString& target,
                                              const QString& targetItem,
                                              const QString& attribute) const
{
    return values.value(id).value(key(target, targetItem, attribute));
}
