#include "benchsongmodel.h"

namespace {

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
    return parent.isValid() ? 0 : 15;
}

QVariant BenchSongModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= songs.size() || role != Qt::DisplayRole)
        return QVariant();
    const Song& song = songs.at(index.row());
    switch (index.column()) {
    case 0:
        return QStringLiteral("urn:uuid:%1").arg(song.id);
    case 1:
        return song.title;
    case 2:
        return song.artist;
    case 3:
        return song.album;
    case 6:
        return song.genre;
    case 8:
        return song.id;
    case 14:
        return QStringLiteral("file:///home/user/Music/%1.ogg").arg(song.id);
    default:
        return 0;
    }
}

QVariant BenchSongModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList headers = { "songUri",      "songTitle", "artistName", "albumName",
                                         "songLength",   "favorited", "genre",      "year",
                                         "songId",       "albumId",   "artistId",   "trackNumber",
                                         "usageCounter", "added",     "url" };
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    return headers.value(section);
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
