#ifndef SONGMODELS_H
#define SONGMODELS_H

#include <QList>
#include <QString>
#include <QStringList>

class QStandardItemModel;
class QStandardItem;

// Song models shaped like the tracker's song models (the same fifteen column headers), so
// that the queue and list models can be driven without a store.
struct TestSong
{
    QString title;
    QString artist;
    QString album;
    QString genre;
    int id;
};

namespace SongModels {

QStringList headers();
QList<QStandardItem*> row(const TestSong& song);
QStandardItemModel* create(const QList<TestSong>& songs);
// n songs titled prefix + number, ids from firstId on.
QStandardItemModel* numbered(const QString& prefix, int n, int firstId = 1);
QStandardItemModel* titled(const QStringList& titles);
void insert(QStandardItemModel* model, int row, const TestSong& song);
QString title(const QStandardItemModel* model, int row);
QString urlOf(int id);

} // namespace SongModels

#endif // SONGMODELS_H
