#include "mstyletable.h"

#include "mpalette.h"

#include <QColor>
#include <QSizeF>

namespace {

const QString BuiltInLibrary = QStringLiteral("touchui");

struct Table
{
    QStringList libraries;                                // in override order
    QHash<QString, QHash<QString, QVariantHash>> entries; // library -> key -> attributes
    int generation = 0;
    bool builtInsLoaded = false;
};

Table& table()
{
    static Table t;
    return t;
}

void insert(Table& t, const QString& library, const QString& key, const QVariantHash& attributes)
{
    if (!t.libraries.contains(library))
        t.libraries.append(library);
    QVariantHash& entry = t.entries[library][key];
    for (auto it = attributes.constBegin(); it != attributes.constEnd(); ++it)
        entry.insert(it.key(), it.value());
    ++t.generation;
}

QVariantHash text(int size, const QColor& color, bool bold = false)
{
    QVariantHash h { { "fontSize", size }, { "textColor", color } };
    if (bold)
        h.insert("fontBold", true);
    return h;
}

QVariantHash fixedHeight(qreal height)
{
    return { { "minimumSize", QSizeF(-1, height) },
             { "preferredSize", QSizeF(-1, height) },
             { "maximumSize", QSizeF(-1, height) } };
}

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

QVariantHash panel(qreal height)
{
    return merged(fixedHeight(height), { { "marginLeft", 16 }, { "marginRight", 16 } });
}

// The stand-in's own look: the widget classes' defaults and the platform's common style names.
void loadBuiltIns(Table& t)
{
    const MPalette p;
    const QColor primary = p.defaultColor();
    const QColor secondary = p.secondaryColor();
    const QColor accent = p.firstAccentColor();
    const QColor bar = p.panelColor();
    auto add = [&](const QString& key, const QVariantHash& attributes) {
        insert(t, BuiltInLibrary, key, attributes);
    };

    // Class defaults.
    add("MWidgetController", text(24, primary));
    add("MLabel", text(24, primary));
    add("MButton", merged(text(24, primary), { { "backgroundColor", QColor(0x33, 0x33, 0x33) },
                                               { "cornerRadius", 8 },
                                               { "marginLeft", 16 },
                                               { "marginRight", 16 },
                                               { "marginTop", 8 },
                                               { "marginBottom", 8 },
                                               { "minimumSize", QSizeF(64, 64) },
                                               { "iconSize", QSizeF(48, 48) } }));
    add("MApplicationPage", { { "backgroundColor", p.backgroundColor() } });
    add("MNavigationBar",
        merged(merged(text(28, primary, true), fixedHeight(72)),
               { { "backgroundColor", bar }, { "marginLeft", 16 }, { "marginRight", 8 } }));
    add("MNavigationBarBackButton", { { "backgroundColor", QColor() },
                                      { "iconSize", QSizeF(40, 40) },
                                      { "marginLeft", 0 },
                                      { "marginRight", 0 } });
    add("MToolBarButton", merged(text(22, primary), { { "backgroundColor", QColor() },
                                                      { "iconSize", QSizeF(40, 40) } }));
    add("MSheetHeader", { { "backgroundColor", bar } });
    add("MSheet", { { "backgroundColor", p.backgroundColor() } });
    add("MToolBar", merged(fixedHeight(72), { { "backgroundColor", bar } }));
    add("MApplicationMenu",
        merged(text(26, primary),
               { { "backgroundColor", bar }, { "marginLeft", 24 }, { "marginRight", 24 } }));
    add("MActionListWindow",
        merged(text(26, primary), { { "marginLeft", 24 }, { "marginRight", 24 } }));
    add("MBanner", merged(text(24, primary), { { "backgroundColor", QColor(0x2e, 0x2e, 0x2e) },
                                               { "borderColor", accent },
                                               { "marginLeft", 20 },
                                               { "marginRight", 20 },
                                               { "marginTop", 18 },
                                               { "marginBottom", 18 } }));
    add("MPositionIndicator",
        merged(fixedSize(4, -1), { { "backgroundColor", QColor(0x80, 0x80, 0x80) } }));

    // Texts.
    add("CommonTitleInverted", text(26, primary));
    add("CommonTitleAccented", text(26, accent));
    add("CommonSingleTitleInverted", text(26, primary));
    add("CommonSingleTitleAccented", text(26, accent));
    add("CommonSubTitleInverted", text(22, secondary));
    add("CommonSubTitleAccented", text(22, accent));
    // A row's small text at the end keeps a gap to what stands before it (a title, a mark).
    add("CommonItemInfoInverted", merged(text(20, secondary), { { "marginLeft", 8 } }));
    add("CommonSubTextInverted", text(20, secondary));
    add("CommonHeaderInverted",
        merged(text(28, primary, true), { { "marginLeft", 16 }, { "marginRight", 16 } }));
    add("CommonGroupHeaderInverted", text(20, secondary, true));
    // A container's title stands apart from what is above it, and keeps from its first row
    // the room an index heading of a list keeps from its own.
    add("CommonContainerHeaderInverted",
        merged(text(20, secondary, true), { { "marginLeft", 16 },
                                            { "marginRight", 16 },
                                            { "marginTop", 16 },
                                            { "marginBottom", 14 } }));
    add("CommonEmptyStateTitleInverted", text(34, secondary));
    // Under the filter field as far as a page's first row is under its title, within the
    // page's side margins.
    const QVariantHash underField { { "marginLeft", 16 },
                                    { "marginRight", 16 },
                                    { "marginTop", 16 } };
    add("NoFilteredResultsLabel", merged(text(30, secondary), underField));
    add("NoFilteredResultsLabelVKBClosed", merged(text(30, secondary), underField));
    add("CommonBodyTextInverted", text(24, primary));

    // List rows, group headers and the floating index of a panned list.
    add("MBasicListItem", panel(88));
    add("MDetailedListItem", panel(88));
    add("MContentItem", panel(88));
    add("MListGroupHeader", panel(40));
    add("MListIndexBubble",
        merged(merged(text(44, primary, true), fixedSize(88, 88)),
               { { "backgroundColor", bar }, { "borderColor", accent }, { "cornerRadius", 10 } }));

    // Panels and list rows.
    add("CommonPanelInverted", panel(88));
    add("CommonBasicListItemInverted", panel(88));
    add("CommonSmallPanelInverted", panel(64));
    add("CommonBasicSmallPanelInverted", panel(64));
    add("CommonVerySmallPanelInverted", panel(48));
    add("CommonGroupHeaderPanelInverted", panel(40));
    add("CommonHeaderPanelInverted", panel(72));
    add("CommonGroupHeaderDividerInverted",
        merged(fixedHeight(1), { { "backgroundColor", QColor(0x4a, 0x4a, 0x4a) } }));
    add("CommonHeaderDividerInverted",
        merged(fixedHeight(2), { { "backgroundColor", QColor(0x4a, 0x4a, 0x4a) } }));
    add("CommonListInverted", { { "backgroundColor", p.backgroundColor() } });
    add("CommonContainerInverted",
        merged(text(22, secondary), { { "marginLeft", 16 }, { "marginRight", 16 } }));
    add("CommonApplicationWindowInverted", { { "backgroundColor", p.backgroundColor() } });
    add("Inverted", { { "backgroundColor", bar } });

    // Images.
    add("CommonThumbnail", fixedSize(80, 80));
    // A small mark inside a line of text: 32 pixels with a gap to the texts on both sides.
    add("CommonSubIcon", merged(fixedSize(48, 32), { { "marginLeft", 8 }, { "marginRight", 8 } }));
    add("CommonMainIcon", fixedSize(64, 64));
    add("CommonDrillDownIcon", fixedSize(32, 32));
    add("SearchMagnifier", fixedSize(32, 32));

    // Spacers.
    add("CommonSpacer", fixedHeight(16));
    add("CommonLargeSpacer", fixedHeight(24));
    add("CommonLargerSpacer", fixedHeight(32));
    add("CommonXLargeSpacer", fixedHeight(48));

    // Buttons.
    const QVariantHash flat { { "backgroundColor", QColor() }, { "cornerRadius", 0 } };
    add("CommonToolbarButtonInverted", merged(text(20, primary), flat));
    add("CommonHeaderButtonInverted", merged(flat, { { "iconSize", QSizeF(32, 32) } }));
    add("CommonListButtonInverted", { { "backgroundColor", QColor(0x33, 0x33, 0x33) } });
    add("CommonSheetHeaderButtonInverted",
        merged(text(22, primary), { { "backgroundColor", QColor(0x33, 0x33, 0x33) },
                                    { "minimumSize", QSizeF(120, 52) } }));
    add("CommonSheetHeaderButtonAccentInverted",
        merged(text(22, primary),
               { { "backgroundColor", accent }, { "minimumSize", QSizeF(120, 52) } }));
    // A bare icon: no padding, so the icon fills the small square.
    add("ClearButton", merged(merged(flat, fixedSize(40, 40)), { { "iconSize", QSizeF(32, 32) },
                                                                 { "marginLeft", 4 },
                                                                 { "marginRight", 4 },
                                                                 { "marginTop", 4 },
                                                                 { "marginBottom", 4 } }));

    // Input, progress and notices.
    add("CommonSearchFieldInverted", merged(merged(text(24, primary), fixedHeight(56)),
                                            { { "backgroundColor", QColor(0x26, 0x26, 0x26) },
                                              { "cornerRadius", 6 },
                                              { "marginLeft", 12 },
                                              { "marginRight", 12 } }));
    add("CommonProgressBarInverted", fixedHeight(12));
    add("CommonSeekerInverted", fixedHeight(48));
    add("CommonListItemSpinnerInverted", fixedSize(32, 32));
    add("CommonPositionIndicatorInverted", { { "backgroundColor", QColor(0x80, 0x80, 0x80) } });
    add("InformationBanner", { { "backgroundColor", QColor(0x2e, 0x2e, 0x2e) } });
    add("SystemBanner", { { "backgroundColor", QColor(0x2e, 0x2e, 0x2e) } });
}

Table& loadedTable()
{
    Table& t = table();
    if (!t.builtInsLoaded) {
        t.builtInsLoaded = true;
        // The stand-in's entries come first so that every other library overrides them.
        t.libraries.prepend(BuiltInLibrary);
        loadBuiltIns(t);
    }
    return t;
}

} // namespace

void MStyleTable::registerStyle(const QString& library, const QString& key,
                                const QVariantHash& attributes)
{
    insert(loadedTable(), library, key, attributes);
}

void MStyleTable::registerStyles(const QString& library,
                                 const QHash<QString, QVariantHash>& entries)
{
    Table& t = loadedTable();
    for (auto it = entries.constBegin(); it != entries.constEnd(); ++it)
        insert(t, library, it.key(), it.value());
}

QVariantHash MStyleTable::resolve(const QStringList& classChain, const QString& styleName)
{
    const Table& t = loadedTable();
    QVariantHash result;
    auto apply = [&](const QString& key) {
        for (const QString& library : t.libraries) {
            const auto lib = t.entries.constFind(library);
            if (lib == t.entries.constEnd())
                continue;
            const auto entry = lib->constFind(key);
            if (entry == lib->constEnd())
                continue;
            for (auto it = entry->constBegin(); it != entry->constEnd(); ++it)
                result.insert(it.key(), it.value());
        }
    };
    for (const QString& className : classChain)
        apply(className);
    if (!styleName.isEmpty())
        apply(styleName);
    return result;
}

bool MStyleTable::contains(const QString& key)
{
    const Table& t = loadedTable();
    for (auto it = t.entries.constBegin(); it != t.entries.constEnd(); ++it) {
        if (it->contains(key))
            return true;
    }
    return false;
}

int MStyleTable::generation()
{
    return loadedTable().generation;
}

QStringList MStyleTable::libraries()
{
    return loadedTable().libraries;
}
