#include "albumcontentitem.h"

#include "mimagewidget.h"
#include "mlabel.h"

#include <QGraphicsGridLayout>

namespace {

// As much room as the toolkit's own list items keep between a picture and the text beside it.
const qreal PictureGap = 16;

} // namespace

AlbumContentItem::AlbumContentItem(QGraphicsItem* parent)
    : MDetailedListItem(IconTitleSubtitleAndSideLabel, parent)
{
    setLayoutPosition(M::CenterPosition);
    setIconStyle(Thumbnail);
    titleLabelWidget()->setStyleName(QStringLiteral("CommonTitleInverted"));
    subtitleLabelWidget()->setStyleName(QStringLiteral("CommonSubTitleInverted"));
    imageWidget()->setStyleName(QStringLiteral("CommonThumbnail"));
    sideBottomLabelWidget()->setStyleName(QStringLiteral("CommonItemInfoInverted"));
    sideBottomLabelWidget()->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

AlbumContentItem::~AlbumContentItem() = default;

QGraphicsLayout* AlbumContentItem::createLayout()
{
    if (grid)
        return grid;
    auto* layout = new QGraphicsGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addItem(imageWidget(), 0, 0, 3, 1, Qt::AlignLeft);
    layout->addItem(titleLabelWidget(), 0, 1, 1, 2, Qt::AlignLeft);
    layout->addItem(subtitleLabelWidget(), 1, 1, 1, 1, Qt::AlignLeft);
    layout->addItem(sideBottomLabelWidget(), 1, 2, 1, 1, Qt::AlignRight);
    auto* spacer = new QGraphicsWidget;
    spacer->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::MinimumExpanding);
    layout->addItem(spacer, 2, 1, 1, 2);
    // The toolkit's gap between a row's picture and its text.
    layout->setColumnSpacing(0, PictureGap);
    grid = layout;
    return grid;
}

void AlbumContentItem::clearLayout()
{
    if (grid) {
        while (grid->count() > 0) {
            QGraphicsLayoutItem* item = grid->itemAt(0);
            grid->removeAt(0);
            delete item;
        }
    }
    MDetailedListItem::clearLayout();
}
