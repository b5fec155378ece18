#include "albumsofartistcontentitem.h"

#include "mimagewidget.h"
#include "mlabel.h"

AlbumsOfArtistContentItem::AlbumsOfArtistContentItem(QGraphicsItem* parent)
    : MDetailedListItem(IconTitleSubtitleAndSideLabel, parent)
{
    setStyleName(QStringLiteral("CommonPanelInverted"));
    titleLabelWidget()->setStyleName(QStringLiteral("CommonTitleInverted"));
    subtitleLabelWidget()->setStyleName(QStringLiteral("CommonSubTitleInverted"));
    imageWidget()->setStyleName(QStringLiteral("CommonThumbnail"));
    sideBottomLabelWidget()->setStyleName(QStringLiteral("CommonSubTitleInverted"));
    setLayoutPosition(M::CenterPosition);
    setIconStyle(Thumbnail);
}

AlbumsOfArtistContentItem::~AlbumsOfArtistContentItem() = default;
