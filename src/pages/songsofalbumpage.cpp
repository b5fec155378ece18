#include "songsofalbumpage.h"

#include "common/constants.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelcolumns.h"
#include "mafwtrackermodelfactory.h"
#include "mlist.h"
#include "mpannableviewport.h"
#include "mstylablewidget.h"
#include "musicapplicationactioncontent.h"
#include "musicextensionarea.h"
#include "pageframework/albuminfowidget.h"
#include "pageframework/cellpainter.h"
#include "pageframework/collectionviewtitlewidget.h"
#include "pageframework/songsofalbumcellcreator.h"
#include "pageframework/songsofvariousartistsalbumcellcreator.h"

#include <QGraphicsLinearLayout>

namespace {

const SongColumns Columns;

// The page reads its parameter and picks its row painter itself: the parameter may name one
// of several song sets, and the rows show their artists when the album has several.
ItemPageDescription songsOfAlbum()
{
    ItemPageDescription page;
    page.panelStyle = QStringLiteral("SongPageInfoPanelWithArtistLabel");
    page.shuffleRow = ItemPageDescription::ShuffleRowWithDivider;
    page.listStyle = QStringLiteral("SongsOfAlbumList");
    page.bottomSpacer = true;
    page.menuType = SongObjectMenu;
    page.activityType = Activity::Album;
    return page;
}

} // namespace

bool SongsOfAlbumPage::Load::operator==(const Load& other) const
{
    return type == other.type && albumId == other.albumId && artistId == other.artistId
           && fromArtist == other.fromArtist;
}

SongsOfAlbumPage::SongsOfAlbumPage(MainWindow* window)
    : SongPage(songsOfAlbum(), window)
{
    finishPageCreation();
}

SongsOfAlbumPage::~SongsOfAlbumPage() = default;

void SongsOfAlbumPage::createContent()
{
    SongPage::createContent();
    // The album's extensions under the list.
    extensions = new MusicExtensionArea(QLatin1String(MusicExtensionArea::AlbumInterface),
                                        centralWidget());
    extensions->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    insertHeaderWidget(extensions);
}

SongsOfAlbumPage::Load SongsOfAlbumPage::loadFor(const QHash<QString, QVariant>& hash) const
{
    Load load;
    load.albumId = hash.value(Constants::AlbumId).toInt();
    load.artistId = hash.value(Constants::ArtistId).toInt();
    load.fromArtist = hash.value(Constants::AccessFromArtistView).toBool();
    if (hash.value(QStringLiteral("useSongsOfArtistModel")).toBool()
        && hash.value(QStringLiteral("unknownArtist")).toBool()) {
        load.type = MafwTrackerModel::SongsOfUnknownArtist;
        load.albumId = 0;
        load.artistId = 0;
    } else if (load.albumId < 1) {
        if (load.artistId == 0)
            load.type = MafwTrackerModel::SongsOfUnknownAlbum;
        else if (load.artistId < 0)
            load.type = MafwTrackerModel::SongsWithoutAlbumAndArtist;
        else
            load.type = MafwTrackerModel::SongsOfArtistWithoutAlbum;
    } else {
        load.type = load.fromArtist ? MafwTrackerModel::SongsOfAlbumByArtist
                                    : MafwTrackerModel::SongsOfAlbum;
    }
    return load;
}

void SongsOfAlbumPage::passParameterToPage(QVariant value)
{
    parameter = value.toHash();
    // Seen inside one artist, the album is that artist's songs of it: one artist.
    if (parameter.value(Constants::AccessFromArtistView).toBool())
        parameter.insert(Constants::AlbumArtistCount, 1);

    // The same songs again keep the page as it stands; the new parameter still names the
    // playlist of later plays.
    const Load load = loadFor(parameter);
    if (!reloadNeeded && load == loaded)
        return;

    if (MPannableViewport* pannable = pannableViewport())
        pannable->setPosition(QPointF(0, 0));
    titleHeader->setText(parameter.value(Constants::AlbumName).toString());
    // Without a model the page keeps what it showed.
    if (!loadModel(load))
        return;
    updateHeader();
    if (parameter.contains(Constants::AlbumArtistCount))
        setupCellCreator();
    reloadNeeded = false;
    publishContent();
}

bool SongsOfAlbumPage::loadModel(const Load& load)
{
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    if (!factory)
        return false;
    MafwTrackerModel* model = nullptr;
    switch (load.type) {
    case MafwTrackerModel::SongsOfAlbum:
        model = factory->getModel(load.type, 0, load.albumId);
        break;
    case MafwTrackerModel::SongsOfAlbumByArtist:
        model = factory->getModel(load.type, 0, load.albumId, load.artistId);
        break;
    case MafwTrackerModel::SongsOfArtistWithoutAlbum:
        model = factory->getModel(load.type, 0, load.artistId);
        break;
    default:
        model = factory->getModel(load.type, 0, 0);
        break;
    }
    if (!model)
        return false;
    loaded = load;
    showSongs(QSharedPointer<MafwTrackerModel>(model));
    // The panel's year and genre, and the number of artists when the parameter does not say,
    // are read from the songs once they are in.
    connect(model, &MafwTrackerModel::completed, this, &SongsOfAlbumPage::handleModelCompleted,
            Qt::QueuedConnection);
    return true;
}

void SongsOfAlbumPage::updateHeader()
{
    if (!header) {
        header = new AlbumInfoWidget(pageModel, Columns, infoPanel);
        header->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        header->setStyleName(QStringLiteral("SongPageInfo"));
        infoLayout->insertItem(1, header);
        connect(header, &SongPageInfoWidget::albumArtClicked, this,
                qOverload<>(&SongsOfAlbumPage::play));
    } else {
        header->setModel(pageModel);
    }
    header->updateAlbumInfo(parameter);
}

void SongsOfAlbumPage::setupCellCreator()
{
    const int kind = parameter.value(Constants::AlbumArtistCount).toInt() < 2 ? 1 : 0;
    if (kind == creatorKind)
        return;
    creatorKind = kind;
    CellPainter* rows = nullptr;
    if (kind == 1)
        rows = new SongsOfAlbumCellCreator(Columns, this);
    else
        rows = new SongsOfVariousArtistsAlbumCellCreator(Columns, this);
    setRowPainter(rows);
    delete painter.data();
    painter = rows;
}

void SongsOfAlbumPage::handleModelCompleted()
{
    auto* model = qobject_cast<MafwTrackerModel*>(sender());
    if (!model)
        return;
    disconnect(model, &MafwTrackerModel::completed, this, &SongsOfAlbumPage::handleModelCompleted);
    // A model that is no longer shown answers for nothing.
    if (model != pageModel.data())
        return;
    if (!parameter.contains(Constants::AlbumArtistCount)) {
        int artists = 1;
        const QString first = model->index(0, Columns.artist).data().toString();
        for (int row = 1; row < model->rowCount() && artists < 2; ++row) {
            if (model->index(row, Columns.artist).data().toString() != first)
                artists = 2;
        }
        parameter.insert(Constants::AlbumArtistCount, artists);
        setupCellCreator();
    }
    if (header)
        header->updateAlbumInfo(parameter);
}

void SongsOfAlbumPage::publishContent()
{
    if (!extensions)
        return;
    // The album's performers come one per song: the extensions get the artist once, or
    // "various artists".
    extensions->publishContent(
        1, { { QLatin1String(MusicApplicationActionContent::ArtistField),
               CellPainter::artistLine(parameter.value(Constants::ArtistName).toString()).shown },
             { QLatin1String(MusicApplicationActionContent::AlbumField),
               parameter.value(Constants::AlbumName).toString() } });
}

void SongsOfAlbumPage::handleListItemClick(const QModelIndex& index)
{
    play(index, false);
}

void SongsOfAlbumPage::play(const QModelIndex& index, bool shuffle)
{
    if (!pageModel)
        return;
    QuintaveilPage::play(index, pageModel, parameter.value(Constants::AlbumName).toString(),
                         pageDescription().activityType,
                         shuffle ? PlayOptions(PlayShuffled) : PlayOptions(), 0, -1);
}

void SongsOfAlbumPage::play()
{
    play(QModelIndex(), false);
}

void SongsOfAlbumPage::shufflePlay()
{
    if (!pageModel)
        return;
    QuintaveilPage::play(QModelIndex(), pageModel, QStringLiteral("songsOfAlbum"),
                         pageDescription().activityType, PlayOptions(PlayShuffled), 0, -1);
}
