#ifndef TESTPAGE_H
#define TESTPAGE_H

#include "pageframework/quintaveilpage.h"

class AllSongsCellCreator;
class MainWindow;
class QGraphicsLinearLayout;

// A list page built on the page base the way the collection pages are: a tracker model behind
// the search proxy and the grouped list model, drawn by the all-songs cell creator, with an
// optional live-filter field that opens above the list. The playing song's rows are redrawn
// when the song changes.
class TestPage : public QuintaveilPage
{
    Q_OBJECT

public:
    TestPage(MainWindow* window, bool withFilter, ObjectMenuType menu = SongObjectMenu);
    ~TestPage() override;

    void setModel(QSharedPointer<MafwTrackerModel> model);
    QString currentFilterText() const { return filterText; }
    // The list index of the first row whose column 1 (a song's title; an album's, artist's or
    // playlist's name) is the text; invalid when the list shows none.
    QModelIndex rowTitled(const QString& title) const;
    // The row once the list shows it and has its cell on screen; invalid after the time-out.
    QModelIndex waitForVisibleRow(const QString& title, int timeoutMs = 30000) const;
    TwinTurboSortFilterProxyModel* proxy() const { return filterProxy.data(); }

    // The protected parts the tests drive.
    using QuintaveilPage::keepWhenEmpty;
    using QuintaveilPage::longTappedItem;
    using QuintaveilPage::markSpecialRow;
    using QuintaveilPage::panGestureEvent;
    using QuintaveilPage::setDeletePermission;
    using QuintaveilPage::swipeGestureEvent;
    using QuintaveilPage::tapAndHoldGestureEvent;
    using QuintaveilPage::tapGestureEvent;

public slots:
    void finishPageCreation(ObjectMenuType type) override;
    void createList() override;
    void handleListItemClick(const QModelIndex& index) override;
    void addFilterEdit() override;

private slots:
    void applyFilter(const QString& text);
    void refreshRows();

private:
    QGraphicsLinearLayout* layout = nullptr;
    QString filterText;
    QPointer<AllSongsCellCreator> painter;
};

#endif // TESTPAGE_H
