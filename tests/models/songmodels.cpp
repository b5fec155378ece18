#include "songmodels.h"

#include "mafwurlrole.h"

#include <QDateTime>
#include <QStandardItemModel>

namespace SongModels {

QStringList headers()
{
    return { "songUri",   "songTitle",   "artistName",   "albumName", "songLength",
             "favorited", "genre",       "year",         "songId",    "albumId",
             "artistId",  "trackNumber", "usageCounter", "added",     "url" };
}

QString urlOf(int id)
{
    return QStringLiteral("file:///home/user/Music/song%1.ogg").arg(id);
}

QList<QStandardItem*> row(const TestSong& song)
{
    QList<QStandardItem*> items;
    auto add = [&items](const QVariant& value) {
        auto* item = new QStandardItem;
        item->setData(value, Qt::DisplayRole);
        items.append(item);
    };
    add(QStringLiteral("urn:uuid:%1").arg(song.id));
    add(song.title);
    add(song.artist);
    add(song.album);
    add(180 + song.id % 60);
    add(false);
    add(song.genre);
    add(QDateTime(QDate(1990 + song.id % 30, 1, 1), QTime(0, 0)));
    add(song.id);
    add(song.id / 10 + 1);
    add(song.id % 7 + 1);
    add(song.id % 12 + 1);
    add(0);
    add(QDateTime(QDate(2012, 1, 1), QTime(0, 0)).addSecs(song.id));
    add(urlOf(song.id));
    for (QStandardItem* item : items)
        item->setData(urlOf(song.id), Mafw::UrlRole);
    return items;
}

QStandardItemModel* create(const QList<TestSong>& songs)
{
    auto* model = new QStandardItemModel(0, headers().size());
    model->setHorizontalHeaderLabels(headers());
    for (const TestSong& song : songs)
        model->appendRow(row(song));
    return model;
}

QStandardItemModel* numbered(const QString& prefix, int n, int firstId)
{
    QList<TestSong> songs;
    for (int i = 0; i < n; ++i)
        songs.append({ prefix + QString::number(i), QStringLiteral("Artist"),
                       QStringLiteral("Album"), QStringLiteral("Pop"), firstId + i });
    return create(songs);
}

QStandardItemModel* titled(const QStringList& titles)
{
    QList<TestSong> songs;
    int id = 1;
    for (const QString& t : titles)
        songs.append(
            { t, QStringLiteral("Artist"), QStringLiteral("Album"), QStringLiteral("Pop"), id++ });
    return create(songs);
}

void insert(QStandardItemModel* model, int at, const TestSong& song)
{
    model->insertRow(at, row(song));
}

QString title(const QStandardItemModel* model, int r)
{
    return model->index(r, 1).data().toString();
}

} // namespace SongModels
