#include "librarybuttonarea.h"

#include "common/logging.h"
#include "common/parlovance.h"
#include "pageframework/mainpagelistitem.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QGraphicsLinearLayout>
#include <QSignalMapper>

namespace {

const char* const DrillDownIcon = "icon-m-common-drilldown-arrow-inverse";
const char* const StoreIcon = "icon-s-music-video-ulk";
const int StoreId = 12;

QString& storePath()
{
    static QString path = QStringLiteral("/usr/bin/tamblore");
    return path;
}

} // namespace

LibraryButtonArea::LibraryButtonArea(QGraphicsItem* parent)
    : MWidget(parent)
    , mapper(new QSignalMapper(this))
    , rowLayout(new QGraphicsLinearLayout(Qt::Vertical))
{
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(0);
    setLayout(rowLayout);
    connect(mapper, SIGNAL(mappedInt(int)), this, SIGNAL(goToPage(int)));

    const QString drillDown = QLatin1String(DrillDownIcon);
    addButton(Parlovance::PageArtists, qtTrId("qtn_musi_artists_container"), drillDown);
    addButton(Parlovance::PageAlbums, qtTrId("qtn_musi_albums_container"), drillDown);
    addButton(Parlovance::PageAllSongs, qtTrId("qtn_musi_songs_container"), drillDown);
    addButton(Parlovance::PagePlaylists, qtTrId("qtn_musi_playlists_container"), drillDown);
    if (QFile::exists(storePath()))
        addButton(StoreId, qtTrId("qtn_musi_ulk_music_store"), QLatin1String(StoreIcon));
}

LibraryButtonArea::~LibraryButtonArea() = default;

QString LibraryButtonArea::storeExecutable()
{
    return storePath();
}

void LibraryButtonArea::setStoreExecutable(const QString& path)
{
    storePath() = path;
}

void LibraryButtonArea::addButton(int id, const QString& title, const QString& image)
{
    auto* row = new MainPageListItem(MainPageListItem::TitleAndIcon, this);
    row->setTitle(title);
    row->setImage(image);
    rowLayout->insertItem(-1, row);
    if (id == StoreId)
        connect(row, SIGNAL(clicked()), this, SLOT(openUlkMusicStore()));
    else
        connect(row, SIGNAL(clicked()), mapper, SLOT(map()));
    mapper->setMapping(row, id);
}

void LibraryButtonArea::openUlkMusicStore()
{
    // Sent without waiting: a store that does not answer must not freeze the main page for
    // the bus's time-out. Its answer is of no interest.
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("com.vaspe.TambloreService"), QStringLiteral("/"),
        QStringLiteral("com.vaspe.TambloreService.OpenInterface"), QStringLiteral("open"));
    call << QString();
    if (!QDBusConnection::sessionBus().send(call))
        qCDebug(lcPages) << Q_FUNC_INFO << "- the store could not be asked to open";
}
