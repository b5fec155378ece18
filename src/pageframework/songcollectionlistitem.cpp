#include "songcollectionlistitem.h"

#include "mimagewidget.h"
#include "mlabel.h"
#include "mstylablewidget.h"

#include <QGraphicsLinearLayout>

namespace {

// The blank between a row's second line and the short text after it.
const qreal SecondLineToInfo = 8;

QGraphicsLinearLayout* bareLayout(Qt::Orientation orientation)
{
    auto* layout = new QGraphicsLinearLayout(orientation);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

void place(QGraphicsLinearLayout* layout, QGraphicsWidget* widget, const QString& styleName,
           QSizePolicy::Policy horizontal, Qt::Alignment alignment, int stretch = 0)
{
    if (auto* controller = qobject_cast<MWidgetController*>(widget))
        controller->setStyleName(styleName);
    widget->setSizePolicy(horizontal, QSizePolicy::Preferred);
    layout->addItem(widget);
    layout->setAlignment(widget, alignment);
    if (stretch)
        layout->setStretchFactor(widget, stretch);
}

} // namespace

SongCollectionListItem::SongCollectionListItem(int layout, QGraphicsItem* parent)
    : MListItem(parent)
{
    if (layout == SingleRow)
        buildSingleRow();
    else
        buildTwoRows();
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
}

SongCollectionListItem::~SongCollectionListItem() = default;

void SongCollectionListItem::buildSingleRow()
{
    setStyleName(QStringLiteral("CommonSmallPanelInverted"));
    QGraphicsLinearLayout* row = bareLayout(Qt::Horizontal);
    place(row, titleLabel(), QStringLiteral("CommonSingleTitleInverted"), QSizePolicy::Preferred,
          Qt::AlignVCenter, 1);
    place(row, imageWidget(), QStringLiteral("CommonSubIcon"), QSizePolicy::Maximum,
          Qt::AlignVCenter);
    place(row, infoLabel(), QStringLiteral("CommonItemInfoInverted"), QSizePolicy::Maximum,
          Qt::AlignVCenter);
    setLayout(row);
}

void SongCollectionListItem::buildTwoRows()
{
    setStyleName(QStringLiteral("CommonPanelInverted"));
    QGraphicsLinearLayout* column = bareLayout(Qt::Vertical);

    QGraphicsLinearLayout* first = bareLayout(Qt::Horizontal);
    place(first, titleLabel(), QStringLiteral("CommonTitleInverted"), QSizePolicy::Preferred,
          Qt::AlignBottom, 1);
    place(first, imageWidget(), QStringLiteral("CommonSubIcon"), QSizePolicy::Maximum,
          Qt::AlignBottom);
    auto* spacer = new MStylableWidget(this);
    place(first, spacer, QStringLiteral("SongCollectionListItemSpacer"), QSizePolicy::Fixed,
          Qt::AlignBottom);

    QGraphicsLinearLayout* second = bareLayout(Qt::Horizontal);
    place(second, subtitleLabel(), QStringLiteral("CommonSubTitleInverted"), QSizePolicy::Preferred,
          Qt::AlignTop, 1);
    place(second, infoLabel(), QStringLiteral("CommonItemInfoInverted"), QSizePolicy::Maximum,
          Qt::AlignTop);
    // The song lists give the length the second line's style, which keeps no margin of its
    // own: a second line that just fits its room would run into the length.
    second->setItemSpacing(0, SecondLineToInfo);

    auto* filler = new QGraphicsWidget(this);
    filler->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::MinimumExpanding);

    column->addItem(first);
    column->addItem(second);
    column->addItem(filler);
    setLayout(column);
}

MLabel* SongCollectionListItem::titleLabel()
{
    if (!title)
        title = new MLabel(this);
    title->setTextElide(true);
    return title;
}

MLabel* SongCollectionListItem::subtitleLabel()
{
    if (!subtitle)
        subtitle = new MLabel(this);
    subtitle->setTextElide(true);
    return subtitle;
}

MLabel* SongCollectionListItem::infoLabel()
{
    if (!info)
        info = new MLabel(this);
    info->setTextElide(false);
    return info;
}

MImageWidget* SongCollectionListItem::imageWidget()
{
    if (!image)
        image = new MImageWidget(this);
    return image;
}

void SongCollectionListItem::setTitle(const QString& text)
{
    titleLabel()->setText(text);
}

void SongCollectionListItem::setSubtitle(const QString& text)
{
    subtitleLabel()->setText(text);
}

void SongCollectionListItem::setInfo(const QString& text)
{
    infoLabel()->setText(text);
}
