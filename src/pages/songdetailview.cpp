#include "songdetailview.h"

#include "common/logging.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/storequeries.h"
#include "mafwtrackerconnection.h"
#include "mafwtrackermodelfactory.h"
#include "musicapplicationactioncontent.h"
#include "mstylablewidget.h"
#include "musicextensionarea.h"
#include "pageframework/collectionviewtitlewidget.h"
#include "playback/playstate.h"
#include "propertiescontainer.h"
#include "shell/mainwindow.h"
#include "songdetailwidget.h"
#include "styles/songdetailsstyles.h"
#include "trackersparql.h"

#include <QFileInfo>
#include <QGraphicsLinearLayout>

using namespace Parlovance;

namespace {

MafwTrackerConnection* trackerConnection()
{
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    return factory ? factory->trackerConnection() : nullptr;
}

} // namespace

SongDetailView::SongDetailView(MainWindow* mainWindow)
    : QuintaveilPage(mainWindow, QVariant())
    , window(mainWindow)
{
    SongDetailsStyles::ensureRegistered();
    finishPageCreation(NoObjectMenu);
}

SongDetailView::~SongDetailView() = default;

void SongDetailView::finishPageCreation(ObjectMenuType type)
{
    setupPageConnections(type);
}

void SongDetailView::createWidgets()
{
    QGraphicsWidget* central = centralWidget();
    if (!titleWidget) {
        titleWidget = new CollectionViewTitleWidget(true, central);
        titleWidget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        // Lists, the player and the now-playing button keep a long title to one line; here
        // it is read whole.
        titleWidget->showWholeText();
    }
    if (!songDetailWidget) {
        songDetailWidget = new SongDetailWidget(central);
        songDetailWidget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        connect(this, SIGNAL(discNumberQueryFinished(int)), songDetailWidget,
                SLOT(updateDiscCount(int)), Qt::UniqueConnection);
    }
    if (!properties) {
        properties = new PropertiesContainer(central);
        properties->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::MinimumExpanding);
    }
    if (!extensions) {
        extensions = new MusicExtensionArea(QLatin1String(MusicExtensionArea::PlayerInterface),
                                            central);
        extensions->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
}

void SongDetailView::createContent()
{
    QGraphicsWidget* central = centralWidget();
    auto* layout = new QGraphicsLinearLayout(Qt::Vertical);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    createWidgets();

    auto* topSpacer = new MStylableWidget(central);
    topSpacer->setStyleName(QStringLiteral("CommonLargeSpacer"));
    auto* bottomSpacer = new MStylableWidget(central);
    bottomSpacer->setStyleName(QStringLiteral("SongPageBottomSpacer"));

    layout->addItem(titleWidget);
    layout->addItem(topSpacer);
    layout->addItem(songDetailWidget);
    layout->addItem(extensions);
    layout->addItem(properties);
    layout->setAlignment(properties, Qt::AlignTop);
    layout->addItem(bottomSpacer);
    central->setLayout(layout);

    connect(this, SIGNAL(appeared()), this, SLOT(connectUpdateSignals()), Qt::UniqueConnection);
    connect(this, SIGNAL(disappeared()), this, SLOT(disconnectUpdateSignals()),
            Qt::UniqueConnection);
    connect(PlayState::instance(), SIGNAL(playbackCompleted()), this,
            SLOT(removePlayerViewFromVisitedPages()), Qt::UniqueConnection);

    setPositionIndicatorStyle();
}

void SongDetailView::passParameterToPage(QVariant parameter)
{
    const int id = parameter.toInt();
    if (id < 1)
        return;
    querySongDetails(id);
}

int SongDetailView::shownSongId() const
{
    const QString id = songFields.value(QStringLiteral("songId"));
    return id.isNull() ? 0 : id.toInt();
}

void SongDetailView::querySongDetails(int id)
{
    // The same song again: only its play count and last play can have changed.
    if (shownSongId() == id && requestedId == id) {
        queryUsage(id);
        return;
    }
    MafwTrackerConnection* connection = trackerConnection();
    if (!connection)
        return;
    requestedId = id;
    // The unknown-album and unknown-artist texts come from translations: they are made safe
    // for a string literal like any other text.
    const QString query = QString::fromLatin1(StoreQueries::SongDetails)
                              .arg(QString::number(id),
                                   TrackerSparql::escapeString(qtTrId("qtn_musi_unknown_album")),
                                   TrackerSparql::escapeString(qtTrId("qtn_musi_unknown_artist")));
    connection->asyncQuery(query, StoreQueries::SongDetailsColumns, this,
                           SLOT(updateContent(QList<QStringList>, bool, QVariant)),
                           SLOT(queryFailed(int, QString, QVariant)), QVariant(id));
}

void SongDetailView::queryUsage(int id)
{
    MafwTrackerConnection* connection = trackerConnection();
    if (!connection)
        return;
    connection->asyncQuery(QString::fromLatin1(StoreQueries::SongUsage).arg(id), 2, this,
                           SLOT(updateSongAccessed(QList<QStringList>, bool, QVariant)),
                           SLOT(queryFailed(int, QString, QVariant)), QVariant(id));
}

void SongDetailView::queryDiscCount(const QString& albumTitle)
{
    MafwTrackerConnection* connection = trackerConnection();
    if (!connection)
        return;
    // The album title comes from the file's tags: a quote or a backslash in it must not end
    // the literal.
    connection->asyncQuery(
        QString::fromLatin1(StoreQueries::DiscCount).arg(TrackerSparql::escapeString(albumTitle)),
        1, this, SLOT(updateDiscCount(QList<QStringList>, bool, QVariant)),
        SLOT(queryFailed(int, QString, QVariant)), QVariant(shownSongId()));
}

void SongDetailView::updateContent(QList<QStringList> rows, bool end, QVariant userData)
{
    // An answer for a song asked for before the last one is of no use any more.
    if (userData.toInt() != requestedId || !end)
        return;
    if (rows.isEmpty()) {
        // No such song (any more): show nothing rather than the song shown before.
        for (const char* key : StoreQueries::SongDetailsFields)
            songFields.insert(QLatin1String(key), QString());
        songFields.insert(QStringLiteral("mediatype"), QString());
        requestedId = 0;
        showFields();
        emit songDetailsQueryFinished();
        return;
    }

    const QStringList& row = rows.first();
    for (int column = 0; column < StoreQueries::SongDetailsColumns; ++column)
        songFields.insert(QLatin1String(StoreQueries::SongDetailsFields[column]),
                          row.value(column));
    songFields.insert(QStringLiteral("mediatype"),
                      QFileInfo(songFields.value(QStringLiteral("filename"))).suffix().toUpper());

    const QString album = songFields.value(QStringLiteral("album"));
    if (!album.isEmpty())
        queryDiscCount(album);
    showFields();
    publishContent();
    emit songDetailsQueryFinished();
}

void SongDetailView::showFields()
{
    createWidgets();
    QString title = songFields.value(QStringLiteral("title"));
    if (title.isEmpty()) {
        title = songFields.value(QStringLiteral("filename"));
        const int dot = title.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0)
            title.truncate(dot);
    }
    titleWidget->setText(title);
    songDetailWidget->setData(songFields);
    properties->update(songFields);
}

void SongDetailView::publishContent()
{
    createWidgets();
    extensions->publishContent(0, { { QLatin1String(MusicApplicationActionContent::SongField),
                                      songFields.value(QStringLiteral("title")) },
                                    { QLatin1String(MusicApplicationActionContent::ArtistField),
                                      songFields.value(QStringLiteral("artist")) },
                                    { QLatin1String(MusicApplicationActionContent::AlbumField),
                                      songFields.value(QStringLiteral("album")) },
                                    { QLatin1String(MusicApplicationActionContent::GenreField),
                                      QString() } });
}

void SongDetailView::updateDiscCount(QList<QStringList> rows, bool end, QVariant userData)
{
    if (!end || userData.toInt() != shownSongId())
        return;
    const int count = rows.isEmpty() ? 0 : rows.first().value(StoreQueries::DiscCountDiscs).toInt();
    emit discNumberQueryFinished(count);
}

void SongDetailView::updateSongAccessed(QList<QStringList> rows, bool end, QVariant userData)
{
    if (!end || rows.isEmpty() || userData.toInt() != shownSongId())
        return;
    songFields.insert(QStringLiteral("playcount"),
                      rows.first().value(StoreQueries::SongUsagePlayCount));
    songFields.insert(QStringLiteral("lastplayed"),
                      rows.first().value(StoreQueries::SongUsageLastPlayed));
    if (properties)
        properties->updateUsage(songFields);
    emit songDetailsQueryFinished();
}

void SongDetailView::queryFailed(int errCode, QString errStr, const QVariant& userData)
{
    Q_UNUSED(userData)
    qCDebug(lcPages) << Q_FUNC_INFO << "- query failed" << errCode << ":" << errStr;
}

void SongDetailView::connectUpdateSignals()
{
    connect(PlayState::instance(), SIGNAL(songChanged(QString, QString, QString, int, bool)), this,
            SLOT(handleSongChanged()), Qt::UniqueConnection);
    if (MafwTrackerConnection* connection = trackerConnection()) {
        connect(connection, SIGNAL(musicAccessed(QSet<int>)), this,
                SLOT(songAccessedSlot(QSet<int>)), Qt::UniqueConnection);
    }
}

void SongDetailView::disconnectUpdateSignals()
{
    disconnect(PlayState::instance(), SIGNAL(songChanged(QString, QString, QString, int, bool)),
               this, SLOT(handleSongChanged()));
    if (MafwTrackerConnection* connection = trackerConnection()) {
        disconnect(connection, SIGNAL(musicAccessed(QSet<int>)), this,
                   SLOT(songAccessedSlot(QSet<int>)));
    }
}

void SongDetailView::handleSongChanged()
{
    if (!window || window->previousPage() != PageNowPlaying)
        return;
    PlayState* state = PlayState::instance();
    if (state->contentType(PlayState::MusicMode) != PlayState::SongContent)
        return;
    // Nothing playing gives no id: keep the page as it is.
    const int id = state->songId(PlayState::MusicMode);
    if (id < 1)
        return;
    querySongDetails(id);
}

void SongDetailView::songAccessedSlot(const QSet<int>& ids)
{
    if (songFields.value(QStringLiteral("songId")).isNull())
        return;
    const int id = shownSongId();
    if (ids.contains(id))
        queryUsage(id);
}

void SongDetailView::removePlayerViewFromVisitedPages()
{
    if (window && sceneWindowState() == MSceneWindow::Appeared)
        window->removeVisitedPage(PageNowPlaying);
}
