#include "playerstyles.h"

#include "mpalette.h"
#include "mstyletable.h"

#include <QColor>
#include <QSizeF>
#include <QVariantHash>

namespace {

QVariantHash text(int size, const QColor& color)
{
    return { { "fontSize", size }, { "textColor", color } };
}

QVariantHash fixedSize(qreal w, qreal h)
{
    return { { "minimumSize", QSizeF(w, h) },
             { "preferredSize", QSizeF(w, h) },
             { "maximumSize", QSizeF(w, h) } };
}

QVariantHash fixedHeight(qreal h)
{
    return fixedSize(-1, h);
}

QVariantHash merged(QVariantHash a, const QVariantHash& b)
{
    for (auto it = b.constBegin(); it != b.constEnd(); ++it)
        a.insert(it.key(), it.value());
    return a;
}

QVariantHash margins(qreal left, qreal top, qreal right, qreal bottom)
{
    return { { "marginLeft", left },
             { "marginTop", top },
             { "marginRight", right },
             { "marginBottom", bottom } };
}

// A bare icon button: no plate behind it, the icon at the given size.
QVariantHash iconButton(qreal edge, qreal icon)
{
    return merged(fixedSize(edge, edge),
                  merged(margins(0, 0, 0, 0), { { "backgroundColor", QColor() },
                                                { "cornerRadius", 0 },
                                                { "iconSize", QSizeF(icon, icon) } }));
}

} // namespace

void PlayerStyles::ensureRegistered()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;

    const MPalette p;
    const QColor primary = p.defaultColor();
    const QColor secondary = p.secondaryColor();
    const QHash<QString, QVariantHash> entries {
        // Information panel: title and counter, then artist and album beside the info icon.
        { "NowPlayingWidget", {} },
        // The panel lies over the play queue: its rows have a ground of their own.
        { "InfoPaneTop", merged(merged(fixedHeight(40), margins(16, 6, 16, 0)),
                                { { "backgroundColor", p.backgroundColor() } }) },
        { "InfoPaneBottom", merged(merged(fixedHeight(60), margins(16, 0, 16, 2)),
                                   { { "backgroundColor", p.backgroundColor() } }) },
        { "SongTitleLabel", merged(text(26, primary), fixedHeight(34)) },
        // The counter keeps a gap to a long title that ends in an ellipsis before it.
        { "SongNumberLabel",
          merged(merged(text(22, secondary), fixedHeight(34)), { { "marginLeft", 16 } }) },
        { "ArtistLabel", merged(text(22, secondary), fixedHeight(29)) },
        { "AlbumLabel", merged(text(22, secondary), fixedHeight(29)) },
        { "InfoIcon", fixedSize(32, 32) },
        // The cover, and the play queue it covers with the information panel.
        { "AlbumArtWidget", fixedSize(480, 480) },
        { "PlayerInfoArea", fixedSize(480, 580) },
        // Transport buttons over the seek pane.
        { "PlayerControlsButtonPane", merged(fixedHeight(88), margins(48, 0, 48, 0)) },
        { "PlayerControlsButton", iconButton(88, 64) },
        { "SeekPane", merged(fixedHeight(80), margins(16, 0, 16, 0)) },
        { "PlayerControlsTimeLabel", merged(text(20, secondary), fixedSize(196, 30)) },
        { "PlayerControlsProgressTextLabel", merged(text(20, secondary), fixedSize(444, 30)) },
        { "PlayerViewBottomSpacer", fixedSize(480, 8) },
        // The navigation bar of the player page and its view menu's play-album entry.
        { "NavigationBarWidget", merged(fixedHeight(72), { { "backgroundColor", p.panelColor() },
                                                           { "marginLeft", 8 },
                                                           { "marginRight", 8 } }) },
        { "NavigationBarButton", iconButton(72, 48) },
        { "MNavigationBarBackButtonInverted", iconButton(72, 48) },
        { "NavigationBarMenuButtonInverted", iconButton(72, 48) },
        // The menu keeps its entries off its edges itself: the entry's title starts where the
        // menu's plain entries start their text.
        { "ViewMenuPlayAlbumItem", merged(fixedHeight(88), margins(0, 0, 0, 0)) },
        // The now-playing tile of the latest-activity grid: the title on a dark strip.
        { "NowPlayingLabelText", text(24, primary) },
        { "NowPlayingLabelBackground", { { "backgroundColor", QColor(0, 0, 0, 170) } } },
        { "NowPlayingLabelIcon", fixedSize(48, 48) },
        // The system-wide player sheet: the same panel and controls on the sheet's black.
        { "NowPlayingSheetWidget", {} },
        { "SheetPlayerInfoPaneTop", merged(fixedHeight(40), margins(16, 6, 16, 0)) },
        { "SheetPlayerInfoPaneBottom", merged(fixedHeight(60), margins(16, 0, 16, 2)) },
        { "SheetPlayerControlsButtonPane", merged(fixedHeight(88), margins(48, 0, 48, 0)) },
        { "SheetPlayerSeekPane", merged(fixedHeight(80), margins(16, 0, 16, 0)) },
    };
    MStyleTable::registerStyles(QStringLiteral("parlovance"), entries);
}
