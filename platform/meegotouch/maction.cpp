#include "maction.h"

MAction::MAction(QObject* parent)
    : QAction(parent)
{
}

MAction::MAction(const QString& text, QObject* parent)
    : QAction(text, parent)
{
}

MAction::MAction(const QString& iconID, const QString& text, QObject* parent)
    : QAction(text, parent)
    , icon(iconID)
{
}

MAction::~MAction() = default;

QString MAction::iconID() const
{
    return icon;
}

void MAction::setIconID(const QString& id)
{
    if (id == icon)
        return;
    icon = id;
    announceChange();
}

MAction::Locations MAction::location() const
{
    return locations;
}

void MAction::setLocation(Locations location)
{
    if (location == locations)
        return;
    locations = location;
    announceChange();
}

void MAction::announceChange()
{
    // Widgets that show an action learn of changes through ActionChanged events, which only
    // QAction's own setters send: round-trip one of them.
    const QString tip = statusTip();
    setStatusTip(tip + QLatin1Char(' '));
    setStatusTip(tip);
}

bool MAction::isAt(const QAction* action, Location where)
{
    if (!action)
        return false;
    if (const auto* m = qobject_cast<const MAction*>(action))
        return (m->location() & where) != 0;
    return true;
}
