#include "playerinfoarea.h"

#include "albumartwidget.h"
#include "nowplayingwidget.h"
#include "playstate.h"

#include <QGraphicsLinearLayout>

PlayerInfoArea::PlayerInfoArea(AlbumArtWidget* albumArt, NowPlayingWidget* information,
                               QGraphicsItem* parent)
    : MStylableWidget(parent)
    , albumArtWidget(albumArt)
    , informationWidget(information)
    , layout(new QGraphicsLinearLayout(Qt::Vertical, this))
{
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addItem(albumArtWidget);
    layout->addItem(informationWidget);
}

PlayerInfoArea::~PlayerInfoArea() = default;

void PlayerInfoArea::showPlayQueue()
{
    shuttle = PlayState::instance()->flags().testFlag(PlayState::ShuffleOn);
}

void PlayerInfoArea::hidePlayQueue()
{
    albumArtWidget->show();
    informationWidget->show();
}

void PlayerInfoArea::hidePlayQueueImmediately()
{
    hidePlayQueue();
}

void PlayerInfoArea::setShuttleState(bool state)
{
    shuttle = state;
}
