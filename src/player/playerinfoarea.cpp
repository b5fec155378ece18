#include "playerinfoarea.h"

#include "albumart/albumartloader.h"
#include "albumartwidget.h"
#include "common/constants.h"
#include "data/listmodel.h"
#include "mpannableviewport.h"
#include "mpositionindicator.h"
#include "nowplayingwidget.h"
#include "pageframework/songlist.h"
#include "playqueuelistcellcreator.h"
#include "playqueuetitleitem.h"
#include "playback/playstate.h"
#include "playback/shuffleproxymodel.h"
#include "styles/playerstyles.h"

#include <QGraphicsAnchorLayout>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>

namespace {

const int SlideMs = 400;

} // namespace

PlayerInfoArea::PlayerInfoArea(AlbumArtWidget* albumArt, NowPlayingWidget* information,
                               QGraphicsItem* parent)
    : MStylableWidget(parent)
    , albumArtWidget(albumArt)
    , albumArtLoader(new AlbumArtLoader(AlbumArtType::AlbumArt, QStringLiteral("common"), this))
    , informationWidget(information)
    , layout(new QGraphicsAnchorLayout)
    , header(new PlayQueueTitleItem)
    , list(new SongList(this))
    , listModel(new ListModel(false, this))
    , viewport(new MPannableViewport(this))
    , animationGroup(new QParallelAnimationGroup(this))
{
    PlayerStyles::ensureRegistered();
    setStyleName(QStringLiteral("PlayerInfoArea"));

    // The cover and the information lie over the queue.
    albumArtWidget->setZValue(informationWidget->zValue());
    list->setZValue(albumArtWidget->zValue() - 1.0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setLayout(layout);
    connect(header, SIGNAL(clicked()), this, SLOT(hidePlayQueue()));
    layout->addAnchor(header, Qt::AnchorTop, layout, Qt::AnchorTop);
    layout->addAnchor(header, Qt::AnchorLeft, layout, Qt::AnchorLeft);
    const QSizeF listSize(minimumWidth(),
                          minimumHeight() - header->effectiveSizeHint(Qt::MinimumSize).height());
    viewport->setMinimumSize(listSize);
    viewport->setMaximumSize(listSize);
    viewport->setPreferredSize(listSize);
    if (viewport->positionIndicator())
        viewport->positionIndicator()->hide();
    // The rows span the viewport, whatever width the first row asks for.
    list->setMinimumWidth(listSize.width());
    list->setPreferredWidth(listSize.width());
    viewport->setWidget(list);
    viewport->setVerticalPanningPolicy(MPannableWidget::PanningAlwaysOff);
    layout->addAnchor(viewport, Qt::AnchorTop, header, Qt::AnchorBottom);
    layout->addAnchor(viewport, Qt::AnchorLeft, header, Qt::AnchorLeft);
    layout->addAnchor(albumArtWidget, Qt::AnchorTop, layout, Qt::AnchorTop);
    layout->addAnchor(albumArtWidget, Qt::AnchorLeft, layout, Qt::AnchorLeft);
    layout->addAnchor(informationWidget, Qt::AnchorTop, albumArtWidget, Qt::AnchorBottom);
    layout->addAnchor(informationWidget, Qt::AnchorLeft, albumArtWidget, Qt::AnchorLeft);
    // The panel spans the whole width, its counter at the right edge.
    layout->addAnchor(informationWidget, Qt::AnchorRight, layout, Qt::AnchorRight);
    layout->addAnchor(header, Qt::AnchorRight, layout, Qt::AnchorRight);

    QSharedPointer<ShuffleProxyModel> queue = PlayState::instance()->shuffleProxyModel();
    cellCreator = new PlayQueueListCellCreator(albumArtLoader, SongColumns(), list);
    connect(albumArtLoader, SIGNAL(albumArtReady(QPixmap, QVariant)), this,
            SLOT(handleAlbumArtReady(QPixmap, QVariant)),
            Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection));
    listModel->setSourceModel(queue);
    list->setItemModel(listModel);
    list->setPainter(cellCreator);
    connect(list, SIGNAL(itemClicked(QModelIndex)), this, SLOT(play(QModelIndex)),
            Qt::UniqueConnection);

    const qreal artHeight = albumArtWidget->minimumHeight();
    artSlide = new QPropertyAnimation(albumArtWidget, "pos", animationGroup);
    artSlide->setDuration(SlideMs);
    artSlide->setStartValue(QPointF(0, 0));
    artSlide->setEndValue(QPointF(0, -artHeight));
    artSlide->setEasingCurve(QEasingCurve::InQuad);
    infoSlide = new QPropertyAnimation(informationWidget, "pos", animationGroup);
    infoSlide->setDuration(SlideMs);
    infoSlide->setStartValue(QPointF(0, artHeight));
    infoSlide->setEndValue(QPointF(0, artHeight + informationWidget->maximumHeight()));
    infoSlide->setEasingCurve(QEasingCurve::OutQuad);
    animationGroup->addAnimation(artSlide);
    animationGroup->addAnimation(infoSlide);
    connect(animationGroup, SIGNAL(finished()), this, SLOT(setPanningPolicy()));
    setQueueShown(false);
}

void PlayerInfoArea::setQueueShown(bool shown)
{
    // Closed, the queue is hidden, not only covered: on a scaled screen a row of its pixels
    // would show between the information and the controls.
    header->setVisible(shown);
    viewport->setVisible(shown);
}

PlayerInfoArea::~PlayerInfoArea() = default;

bool PlayerInfoArea::event(QEvent* event)
{
    const bool handled = MStylableWidget::event(event);
    // The layout puts the cover and the information in their closed places. It runs again
    // whenever something in the area asks for a new size, and the information does so as it
    // is shown again (its labels reappear), its text changes, or the queue's list is laid
    // out: during a slide that would put them there until the slide's next frame, and the
    // queue would vanish for a frame and come back. They stay where the slide has them.
    if ((event->type() == QEvent::LayoutRequest || event->type() == QEvent::GraphicsSceneResize)
        && animationGroup->state() != QAbstractAnimation::Stopped)
        followSlide();
    return handled;
}

void PlayerInfoArea::followSlide()
{
    albumArtWidget->setPos(artSlide->currentValue().toPointF());
    informationWidget->setPos(infoSlide->currentValue().toPointF());
}

bool PlayerInfoArea::isQueueOpen() const
{
    return !albumArtWidget->isVisible();
}

void PlayerInfoArea::showPlayQueue()
{
    shuttle = PlayState::instance()->flags().testFlag(PlayState::ShuffleOn);
    setQueueShown(true);
    // The header and the list shown ask for a new layout, which puts the cover and the
    // information in their closed places: done now, not over the slide's first frames.
    layout->activate();
    animationGroup->setDirection(QAbstractAnimation::Forward);
    animationGroup->start();
}

void PlayerInfoArea::hidePlayQueue()
{
    // Shown again, the cover and the information ask the layout for their places, which are
    // the closed ones; laid out on a later turn, they would jump there ahead of the slide's
    // next frame, and the queue would vanish, come back and slide away. The layout takes its
    // turn now, before they go to the slide's start.
    albumArtWidget->show();
    informationWidget->show();
    layout->activate();
    animationGroup->setDirection(QAbstractAnimation::Backward);
    animationGroup->start();
    const qreal artHeight = albumArtWidget->minimumHeight();
    albumArtWidget->setPos(0, -artHeight);
    informationWidget->setPos(0, artHeight + informationWidget->maximumHeight());
}

void PlayerInfoArea::hidePlayQueueImmediately()
{
    // A slide still running would go on behind the page, and one opening the queue would hide
    // the cover and the information at its end: the page would come back with nothing in its
    // middle.
    animationGroup->stop();
    albumArtWidget->setPos(0, 0);
    informationWidget->setPos(0, albumArtWidget->minimumHeight());
    albumArtWidget->show();
    informationWidget->show();
    viewport->setVerticalPanningPolicy(MPannableWidget::PanningAlwaysOff);
    setQueueShown(false);
}

void PlayerInfoArea::setPanningPolicy()
{
    if (animationGroup->direction() == QAbstractAnimation::Forward) {
        viewport->setVerticalPanningPolicy(MPannableWidget::PanningAlwaysOn);
        scrollToCurrentlyPlayingSong();
        albumArtWidget->hide();
        informationWidget->hide();
    } else {
        viewport->setVerticalPanningPolicy(MPannableWidget::PanningAlwaysOff);
        setQueueShown(false);
    }
}

void PlayerInfoArea::setShuttleState(bool state)
{
    if (state == shuttle)
        return;
    shuttle = state;
    scrollPending = true;
    if (!albumArtWidget->isVisible())
        scrollToCurrentlyPlayingSong();
}

void PlayerInfoArea::scrollToCurrentlyPlayingSong()
{
    // Turning shuffle on puts the playing song first.
    const int row = shuttle && scrollPending
                        ? 0
                        : PlayState::instance()->currentIndex(PlayState::MusicMode);
    const QModelIndex target = listModel->index(row, 0);
    if (target == list->firstVisibleItem())
        list->scrollTo(target, MList::PositionAtTopHint);
    else if (target == list->lastVisibleItem())
        list->scrollTo(target, MList::PositionAtBottomHint);
    else
        list->scrollTo(target, MList::PositionAtCenterHint);
    scrollPending = false;
}

void PlayerInfoArea::play(const QModelIndex& index)
{
    const QModelIndex row = listModel->index(index.row(), 0, index.parent());
    const int songId = row.data(Qt::UserRole + SongColumns().songId).toInt();
    if (songId == PlayState::instance()->songId(PlayState::MusicMode))
        hidePlayQueue();
    else
        PlayState::instance()->playIndex(index.row());
}

void PlayerInfoArea::handleAlbumArtReady(QPixmap pixmap, QVariant data)
{
    Q_UNUSED(pixmap)
    if (!data.canConvert<QModelIndex>())
        return;
    const QModelIndex index = data.value<QModelIndex>();
    if (index.row() < 0 || index.column() < 0 || index.model() != listModel)
        return;
    listModel->emitRowChanged(index, index);
}
