#include "songdetailsstyles.h"

#include "mpalette.h"
#include "mstyletable.h"

#include <QColor>
#include <QSizeF>
#include <QVariantHash>

void SongDetailsStyles::ensureRegistered()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;

    const MPalette palette;
    const QVariantHash row { { "fontSize", 22 },   { "textColor", palette.defaultColor() },
                             { "marginLeft", 16 }, { "marginRight", 16 },
                             { "marginTop", 2 },   { "marginBottom", 2 } };
    const QSizeF cover(172, 156); // the cover's edge and the page's left margin
    const QHash<QString, QVariantHash> entries {
        { "albumInfoLabel", row },
        { "artistNameLabel", row },
        { "PropertyLabel", row },
        { "albumArtOfSongPage",
          { { "minimumSize", cover },
            { "preferredSize", cover },
            { "maximumSize", cover },
            { "marginLeft", 16 } } },
        { "SongPageBottomSpacer",
          { { "minimumSize", QSizeF(-1, 32) },
            { "preferredSize", QSizeF(-1, 32) },
            { "maximumSize", QSizeF(-1, 32) } } },
    };
    MStyleTable::registerStyles(QStringLiteral("parlovance"), entries);
}
