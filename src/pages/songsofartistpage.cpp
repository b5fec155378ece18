#include "songsofartistpage.h"

#include "common/constants.h"
#include "data/listmodel.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelcolumns.h"
#include "mafwtrackermodelfactory.h"
#include "mlist.h"
#include "mpannableviewport.h"
#include "pageframework/collectionviewshufflewidget.h"
#include "pageframework/collectionviewtitlewidget.h"
#include "pageframework/songsofalbumcellcreator.h"
#include "pageframework/songsofartistgroupheadercellcreator.h"

#include <QGraphicsLinearLayout>

namespace {

const SongColumns Columns;

} // namespace

SongsOfArtistPage::SongsOfArtistPage(MainWindow* window)
    : SongPage(true, window)
{
    finishPageCreation(SongObjectMenu);
}

SongsOfArtistPage::~SongsOfArtistPage() = default;

void SongsOfArtistPage::createContent()
{
    SongPage::createContent();

    shuffleRow = new CollectionViewShuffleWidget(true, infoPanel);
    shuffleRow->setVisibleStyleName(QStringLiteral("CommonVerySmallPanelInverted"));
    infoLayout->addItem(shuffleRow);
    connect(shuffleRow, &CollectionViewShuffleWidget::shuffleClicked, this,
            &SongsOfArtistPage::playArtistShuffled);

    // The songs gather under the exact names of their albums.
    listModel = new ListModel(true, this);
    listModel->setKeyColumns({ Columns.album, Columns.year }, true);
    // An artist's songs are drawn as the one-line rows of an album of one artist.
    setRowPainter(new SongsOfAlbumCellCreator(Columns, this));
    list->setHeaderCreator(new SongsOfArtistGroupHeaderCellCreator(this));
    list->setShowGroups(true);
    addHeaderWidget(list);
}

void SongsOfArtistPage::passParameterToPage(QVariant parameter)
{
    const QHash<QString, QVariant> hash = parameter.toHash();
    if (hash.isEmpty())
        return;
    // The title names what a tap plays, even when the songs stay.
    titleHeader->setText(hash.value(QStringLiteral("artist")).toString());
    const int id = hash.value(Constants::ArtistId).toInt();
    if (!reloadNeeded && id == artistTrackerId)
        return;

    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    MafwTrackerModel* songs = nullptr;
    if (factory) {
        songs = id > 0 ? factory->getModel(MafwTrackerModel::SongsOfArtist, 50, id)
                       : factory->getModel(MafwTrackerModel::SongsOfUnknownArtist, 0, 0);
    }
    // Without a model the page keeps what it showed.
    if (!songs)
        return;
    artistTrackerId = id;
    reloadNeeded = false;
    if (MPannableViewport* pannable = pannableViewport())
        pannable->setPosition(QPointF(0, 0));
    showSongs(QSharedPointer<MafwTrackerModel>(songs));
}

void SongsOfArtistPage::handleListItemClick(const QModelIndex& index)
{
    if (pageModel)
        play(index, pageModel, titleHeader->text(), Activity::Artist, PlayOptions(),
             artistTrackerId, -1);
}

void SongsOfArtistPage::playArtistShuffled()
{
    if (pageModel)
        play(QModelIndex(), pageModel, titleHeader->text(), Activity::Artist,
             PlayOptions(PlayShuffled), artistTrackerId, -1);
}
