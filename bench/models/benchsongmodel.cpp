#include "benchsongmodel.h"

#include "data/modelcolumns.h"

namespace {

constexpr SongColumns Columns {};

const QStringList& words()
{
    static const QStringList w
        = QStringLiteral(
              "love night dream heart fire rain summer road home blue light dance moon star river "
              "never forever tonight stay wild gold shadow city ocean silence "
              "Liebe Nacht Sehnsucht Straße Märchen Grüße "
              "amour été château rêve cœur lumière "
              "любовь ночь звезда кино лето город песня "
              "αγάπη νύχτα θάλασσα όνειρο "
              "夜 東京 さくら 愛 夢 ありがとう カラオケ "
              "月亮 朋友 爱情 "
              "حب ليل قمر "
              "אהבה לילה "
              "사랑 밤 "
              "1999 22 (live) [remix] 'round")
              .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return w;
}

} // namespace

BenchSongModel::BenchSongModel(int count, quint32 seed)
    : state(seed)
    , nextId(1)
{
    songs.reserve(count);
    for (int i = 0; i < count; ++i)
        songs.append(makeSong());
}

BenchSongModel::Song BenchSongModel::makeSong()
{
    auto next = [this]() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    auto phrase = [&](int most) {
        const int n = 1 + int(next() % unsigned(most));
        QStringList parts;
        for (int i = 0; i < n; ++i)
            parts.append(words().at(int(next() % unsigned(words().size()))));
        QString text = parts.join(QLatin1Char(' '));
        if (next() % 2)
            text[0] = text.at(0).toUpper();
        return text;
    };
    static const QStringList genres = { "Pop", "Rock", "Jazz", "Audiobook", "PodCast", "Folk" };
    Song song;
    song.title = phrase(4);
    song.artist = next() % 10 == 0 ? phrase(2) + QLatin1Char('\t') + phrase(2) : phrase(2);
    song.album = phrase(3);
    song.genre = genres.at(int(next() % unsigned(genres.size())));
    song.id = nextId++;
    return song;
}

int BenchSongModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : songs.size();
}

int BenchSongModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : MafwStoreRowBuilder::SongColumnCount;
}

QVariant BenchSongModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= songs.size() || role != Qt::DisplayRole)
        return QVariant();
    const Song& song = songs.at(index.row());
    switch (index.column()) {
    case Columns.uri:
        return QStringLiteral("urn:uuid:%1").arg(song.id);
    case Columns.title:
        return song.title;
    case Columns.artist:
        return song.artist;
    case Columns.album:
        return song.album;
    case Columns.genre:
        return song.genre;
    case Columns.songId:
        return song.id;
    case Columns.url:
        return QStringLiteral("file:///home/user/Music/%1.ogg").arg(song.id);
    default:
        return 0;
    }
}

QVariant BenchSongModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0
        || section >= MafwStoreRowBuilder::SongColumnCount)
        return QVariant();
    const std::string_view header = MafwStoreRowBuilder::SongHeaders[section];
    return QString::fromLatin1(header.data(), int(header.size()));
}

void BenchSongModel::insertSong(int row, const Song& song)
{
    beginInsertRows(QModelIndex(), row, row);
    songs.insert(row, song);
    endInsertRows();
}

void BenchSongModel::removeSong(int row)
{
    beginRemoveRows(QModelIndex(), row, row);
    songs.remove(row);
    endRemoveRows();
}
