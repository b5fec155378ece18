#include "songdata.h"

#include "data/modelcolumns.h"
#include "mafwplaylist.h"
#include "zelplaycontroller.h"

#include <QAbstractItemModel>

namespace {

// The queue holds song models only.
const SongColumns Columns;

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
    m_uri = cell(model, index, Columns.uri).toString();
    m_songId = cell(model, index, Columns.songId).toInt();
    m_title = cell(model, index, Columns.title).toString();
    m_artist = cell(model, index, Columns.artist).toString();
    m_album = cell(model, index, Columns.album).toString();
    m_genre = cell(model, index, Columns.genre).toString();
    m_queuePosition = index + 1;
    m_albumId = cell(model, index, Columns.albumId).toInt();
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
