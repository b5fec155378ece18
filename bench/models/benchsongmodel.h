#ifndef BENCHSONGMODEL_H
#define BENCHSONGMODEL_H

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

// A library of songs held in memory the way the tracker models hold their rows, with the
// song model's column headers, and titles, artists and albums in several scripts.
class BenchSongModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    struct Song
    {
        QString title;
        QString artist;
        QString album;
        QString genre;
        int id;
    };

    explicit BenchSongModel(int songs, quint32 seed = 1);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    Song makeSong();
    void insertSong(int row, const Song& song);
    void removeSong(int row);

private:
    QVector<Song> songs;
    quint32 state;
    int nextId;
};

#endif // BENCHSONGMODEL_H
