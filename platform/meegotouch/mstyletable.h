#ifndef MSTYLETABLE_H
#define MSTYLETABLE_H

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

// The process-wide table of styles. An entry is a set of attributes (see MWidgetStyle) under a
// key that is either a style name ("CommonTitleInverted") or a widget class name ("MLabel",
// the default of that class and its subclasses). The stand-in registers its own entries under
// the library "touchui"; the system registers its styles under "parlovance"; an entry of a
// later library overrides the same key of an earlier one, attribute by attribute.
//
// A widget's style is resolved as: the entries of its class chain, base first, then the entry
// of its style name. An unknown style name thus leaves the class defaults.
class MStyleTable
{
public:
    static void registerStyle(const QString& library, const QString& key,
                              const QVariantHash& attributes);
    static void registerStyles(const QString& library, const QHash<QString, QVariantHash>& entries);

    // Attributes for a widget whose class chain (base first) and style name are given.
    static QVariantHash resolve(const QStringList& classChain, const QString& styleName);

    // Whether any library has an entry for the key.
    static bool contains(const QString& key);

    // Grows by one with every registration, so cached styles know they are stale.
    static int generation();

    static QStringList libraries();
};

#endif // MSTYLETABLE_H
