#ifndef ALLSONGSPAGE_H
#define ALLSONGSPAGE_H

#include "pageframework/collectionpagebase.h"

#include <QSharedPointer>
#include <QString>

// Every song of the library, grouped under index letters, with the live filter, the shuffle
// row and the songs menu. A tap plays the song within the whole library, or within the songs
// that match the filter while one is typed. It also answers the application-wide request to
// play all songs.
class AllSongsPage : public CollectionPageBase
{
    Q_OBJECT

public:
    AllSongsPage(PageWindow* window, QVariant parameter);
    ~AllSongsPage() override;

    TwinTurboSortFilterProxyModel* filteredPlayModel() const { return filteredPlayProxy.data(); }

public slots:
    void passParameterToPage(QVariant parameter) override;
    void handleListItemClick(const QModelIndex& index) override;

protected slots:
    void handleFilterTextChanged(QString text) override;

protected:
    // An empty model that has not completed is made anew before its rows are asked for.
    void fetchRest() override;

private slots:
    void playAllSongs(bool shuffle);

private:
    QSharedPointer<TwinTurboSortFilterProxyModel> filteredPlayProxy;
};

#endif // ALLSONGSPAGE_H
