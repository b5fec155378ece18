#include "mainpagestyles.h"

#include "mpalette.h"
#include "mstyletable.h"

#include <QColor>
#include <QSizeF>
#include <QVariantHash>

namespace {

QVariantHash fixedSize(qreal w, qreal h)
{
    return { { "minimumSize", QSizeF(w, h) },
             { "preferredSize", QSizeF(w, h) },
             { "maximumSize", QSizeF(w, h) } };
}

QVariantHash merged(QVariantHash a, const QVariantHash& b)
{
    for (auto it = b.constBegin(); it != b.constEnd(); ++it)
        a.insert(it.key(), it.value());
    return a;
}

} // namespace

void MainPageStyles::ensureRegistered()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;

    const MPalette p;
    // Three tiles and two gaps of 6 fill the screen's width; the label spans two tiles and a
    // gap: the sizes of the "music-grid" and "nowPlayingLabel" covers.
    const QHash<QString, QVariantHash> entries{
        { "LatestActivityWidget", fixedSize(480, 480) },
        { "LatestActivityItem", merged(fixedSize(156, 156),
                                       { { "backgroundColor", p.panelColor() } }) },
        { "LatestActivityItemBackground", { { "backgroundColor", QColor(0, 0, 0, 170) } } },
        { "LatestActivityItemText", { { "fontSize", 20 }, { "textColor", p.defaultColor() } } },
        { "NowPlayingLabel", fixedSize(318, 318) },
        { "MainPageEmptyLabel", { { "fontSize", 30 }, { "textColor", p.secondaryColor() },
                                  { "marginLeft", 24 }, { "marginRight", 24 } } },
        // The page shows dimly through the notice, which takes its taps.
        { "IndexingProgressWidget", { { "backgroundColor", QColor(0, 0, 0, 200) } } },
    };
    MStyleTable::registerStyles(QStringLiteral("parlovance"), entries);
}
