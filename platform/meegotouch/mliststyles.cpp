#include "mliststyles.h"

#include "mpalette.h"
#include "mstyletable.h"

#include <QColor>
#include <QSizeF>

namespace {

// A row of the given height whose content keeps 16 pixels off the sides.
QVariantHash row(qreal height)
{
    const QSizeF size(-1, height);
    return { { "minimumSize", size }, { "preferredSize", size }, { "maximumSize", size },
             { "marginLeft", 16 }, { "marginRight", 16 } };
}

} // namespace

void MListStyles::ensureRegistered()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    const MPalette palette;
    const QString library = QStringLiteral("meegotouch");
    QHash<QString, QVariantHash> entries;
    entries.insert("MBasicListItem", row(88));
    entries.insert("MDetailedListItem", row(88));
    entries.insert("MContentItem", row(88));
    entries.insert("MListGroupHeader", row(40));
    QVariantHash bubble { { "fontSize", 44 },
                          { "fontBold", true },
                          { "textColor", palette.defaultColor() },
                          { "backgroundColor", palette.panelColor() },
                          { "borderColor", palette.firstAccentColor() },
                          { "cornerRadius", 10 } };
    const QSizeF bubbleSize(88, 88);
    bubble.insert("minimumSize", bubbleSize);
    bubble.insert("preferredSize", bubbleSize);
    bubble.insert("maximumSize", bubbleSize);
    entries.insert("MListIndexBubble", bubble);
    MStyleTable::registerStyles(library, entries);
}
