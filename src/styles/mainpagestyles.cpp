#include "mainpagestyles.h"

#include "mpalette.h"
#include "mstyletable.h"

#include <QColor>
#include <QSizeF>
#include <QVariantHash>

void MainPageStyles::ensureRegistered()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;

    const MPalette p;
    // Three tiles and two gaps of 6 fill the screen's width; the label spans two tiles and a
    // gap: the sizes of the "music-grid" and "nowPlayingLabel" covers.
    const QSizeF grid(480, 480);
    const QSizeF tile(156, 156);
    const QSizeF label(318, 318);
    const QHash<QString, QVariantHash> entries {
        { "LatestActivityWidget",
          { { "minimumSize", grid }, { "preferredSize", grid }, { "maximumSize", grid } } },
        { "LatestActivityItem",
          { { "minimumSize", tile },
            { "preferredSize", tile },
            { "maximumSize", tile },
            { "backgroundColor", p.panelColor() } } },
        { "LatestActivityItemBackground", { { "backgroundColor", QColor(0, 0, 0, 170) } } },
        { "LatestActivityItemText", { { "fontSize", 20 }, { "textColor", p.defaultColor() } } },
        { "NowPlayingLabel",
          { { "minimumSize", label }, { "preferredSize", label }, { "maximumSize", label } } },
        { "MainPageEmptyLabel",
          { { "fontSize", 30 },
            { "textColor", p.secondaryColor() },
            { "marginLeft", 24 },
            { "marginRight", 24 } } },
        // The page shows dimly through the notice, which takes its taps.
        { "IndexingProgressWidget", { { "backgroundColor", QColor(0, 0, 0, 200) } } },
    };
    MStyleTable::registerStyles(QStringLiteral("parlovance"), entries);
}
