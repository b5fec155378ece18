#include "songdata.h"

#include "mafwplaylist.h"
#include "zelplaycontroller.h"

#include <QAbstractItemModel>

namespace {

// Fixed columns of every song model of the queue.
enum Column {
    UriColumn = 0,
    TitleColumn = 1,
    ArtistColumn = 2,
    AlbumColumn = 3,
    GenreColumn = 6,
    SongIdColumn = 8,
    AlbumIdColumn = 9
};

QVariant cell(const QAbstractItemModel* model, int row, int column)
{
    return model->index(row, column, QModelIndex()).data(Qt::DisplayRole);
}

} // namespace

SongData::SongData(ZelPlayController* controller)
    : ZelMetadataHandler(nullptr)
    , controller(controller)
{
    clear();
}

SongData::~SongData() = default;

void SongData::setDataFromIndex(int index, MafwContent content)
{
    Q_UNUSED(content)
    MafwPlaylist* playlist = controller ? controller->playlist() : nullptr;
    QAbstractItemModel* model = playlist ? playlist->itemModel() : nullptr;
    if (index < 0 || !model || index >= model->rowCount(QModelIndex())) {
        clear();
        return;
    }
    m_uri = cell(model, index, UriColumn).toString();
    m_songId = cell(model, index, SongIdColumn).toInt();
    m_title = cell(model, index, TitleColumn).toString();
    m_artist = cell(model, index, ArtistColumn).toString();
    m_album = cell(model, index, AlbumColumn).toString();
    m_genre = cell(model, index, GenreColumn).toString();
    m_queuePosition = index + 1;
    m_albumId = cell(model, index, AlbumIdColumn).toInt();
}

void SongData::onMetadataChange(QString metadata, QList<QVariant> values)
{
    // Library songs take their texts from the library, not from the renderer.
    Q_UNUSED(metadata)
    Q_UNUSED(values)
}

void SongData::clear()
{
    m_uri.clear();
    m_songId = -1;
    m_title.clear();
    m_artist.clear();
    m_album.clear();
    m_genre.clear();
    m_queuePosition = 0;
    m_albumId = -1;
}

QString SongData::uri() const
{
    return m_uri;
}

int SongData::songId() const
{
    return m_songId;
}

QString SongData::title() const
{
    return m_title;
}

QString SongData::artist() const
{
    return m_artist;
}

QString SongData::album() const
{
    return m_album;
}

QString SongData::genre() const
{
    return m_genre;
}

int SongData::queuePosition() const
{
    return m_queuePosition;
}

int SongData::albumId() const
{
    return m_albumId;
}
