#include "playlistinfowidget.h"

#include "albumart/collageimagewidget.h"
#include "mlabel.h"

#include <QGraphicsLinearLayout>

PlaylistInfoWidget::PlaylistInfoWidget(QSharedPointer<MafwTrackerModel> playlist,
                                       QGraphicsItem* parent)
    : SongPageInfoWidget(playlist, parent)
{
    labelColumn->addItem(songCount);
    labelColumn->addItem(length);
    labelColumn->addStretch(1);
    year->hide();
    genre->hide();
    image->setModel(playlist);
}

PlaylistInfoWidget::~PlaylistInfoWidget() = default;

void PlaylistInfoWidget::setModel(QSharedPointer<MafwTrackerModel> playlist)
{
    SongPageInfoWidget::setModel(playlist);
    image->setModel(playlist);
}

void PlaylistInfoWidget::setCollageTitle(const QString& title)
{
    image->setTitle(title);
}
