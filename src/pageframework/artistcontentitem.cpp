#include "artistcontentitem.h"

#include "mimagewidget.h"
#include "mlabel.h"

#include <QGraphicsGridLayout>
#include <QGraphicsWidget>

namespace {

// As much room as the toolkit's own list items keep between a picture and the text beside it.
const qreal PictureGap = 16;

} // namespace

ArtistContentItem::ArtistContentItem(QGraphicsItem* parent)
    : MDetailedListItem(IconTitleSubtitleAndSideLabel, parent)
{
    titleLabelWidget()->setStyleName(QStringLiteral("CommonTitleInverted"));
    subtitleLabelWidget()->setStyleName(QStringLiteral("CommonSubTitleInverted"));
    imageWidget()->setStyleName(QStringLiteral("CommonThumbnail"));
    // Long names end in an ellipsis inside the row.
    titleLabelWidget()->setTextElide(true);
    subtitleLabelWidget()->setTextElide(true);
}

ArtistContentItem::~ArtistContentItem()
{
    // The spacer sits in the grid only; the grid does not own it.
    delete spacer;
}

QGraphicsLayout* ArtistContentItem::createLayout()
{
    if (!grid) {
        grid = new QGraphicsGridLayout;
        grid->setContentsMargins(0, 0, 0, 0);
        grid->setSpacing(0);
        setLayout(grid);
    }
    if (grid->count() == 0) {
        if (!spacer) {
            spacer = new QGraphicsWidget;
            spacer->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::MinimumExpanding);
        }
        MImageWidget* picture = imageWidget();
        MLabel* titleText = titleLabelWidget();
        MLabel* subtitleText = subtitleLabelWidget();
        picture->show();
        titleText->show();
        subtitleText->show();
        grid->addItem(picture, 0, 0, 3, 1, Qt::AlignLeft | Qt::AlignTop);
        grid->addItem(titleText, 0, 1, Qt::AlignLeft | Qt::AlignBottom);
        grid->addItem(subtitleText, 1, 1, Qt::AlignLeft | Qt::AlignTop);
        grid->addItem(spacer, 2, 1);
        grid->setColumnStretchFactor(1, 1);
        // The toolkit's gap between a row's picture and its text.
        grid->setColumnSpacing(0, PictureGap);
        // The side label of the item style is not shown in this row.
        sideBottomLabelWidget()->hide();
    }
    return grid;
}

void ArtistContentItem::clearLayout()
{
    // Emptied rather than deleted: the labels and the picture stay the item's children and are
    // placed again by the next createLayout().
    if (grid) {
        while (grid->count() > 0)
            grid->removeAt(0);
    }
    MDetailedListItem::clearLayout();
}
