#ifndef ALLSONGSPAGE_H
#define ALLSONGSPAGE_H

#include "pageframework/collectionpagebase.h"

#include <QPersistentModelIndex>
#include <QPointer>
#include <QSharedPointer>
#include <QString>

class CellPainter;

// Every song of the library, grouped under index letters, with the live filter, the shuffle
// row and the songs menu. A tap plays the song within the whole library, or within the songs
// that match the filter while one is typed. It also answers the application-wide request to
// play all songs.
class AllSongsPage : public CollectionPageBase
{
    Q_OBJECT

public:
    AllSongsPage(MainWindow* window, QVariant parameter);
    ~AllSongsPage() override;

    QString currentFilterText() const { return filterText; }
    TwinTurboSortFilterProxyModel* liveFilterProxy() const { return filterProxy.data(); }
    TwinTurboSortFilterProxyModel* filteredPlayModel() const { return filteredPlayProxy.data(); }

public slots:
    void createContent() override;
    void passParameterToPage(QVariant parameter) override;
    void createList() override;
    void handleListItemClick(const QModelIndex& index) override;
    void finishPageCreation(ObjectMenuType type) override;

private slots:
    void setFilteringPolicy();
    void setModelToList();
    void handleFilterTextChanged(QString text);
    void shufflePlay();
    void setModel(MafwTrackerModel::QueryType type);
    void markSongAddedToQueue();
    void handlePageAppearing();
    void handlePageDisappeared();
    void handleFilteredModelLayoutChange();
    void playAllSongs(bool shuffle);
    void fetchRest();
    void scrollToLastFilteredPlay();

private:
    QString listStyleName;
    QString pageTitle;
    bool songAddedToQueue = false;
    QString filterText;
    QPointer<CellPainter> painter;
    QSharedPointer<TwinTurboSortFilterProxyModel> filteredPlayProxy;
    // Where the song picked from a filtered list lies in the whole list: the page comes back
    // to it once, the next time it appears.
    QPersistentModelIndex lastFilteredPlayIndex;
    bool scrollWaitsForFilter = false;
};

#endif // ALLSONGSPAGE_H
