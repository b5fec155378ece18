#ifndef PARLOVANCEMAINPAGE_H
#define PARLOVANCEMAINPAGE_H

#include "activity/activity.h"
#include "pageframework/playoptions.h"
#include "pageframework/quintaveilpage.h"

#include <QSharedPointer>

class LatestActivityWidget;
class LibraryButtonArea;
class MLinearLayoutPolicy;
class MOverlay;
class MafwTrackerModel;
class MainWindow;

// The page the player opens on: the latest-activity grid on top, the library buttons below,
// and, while the library is indexed anew, a notice that covers the whole page. A tap on a tile
// plays its activity again, a long tap queues it or deletes its content.
//
// The notice goes when the grid has finished showing the checked list after the update, or
// after the update delay that the window sets, whichever comes first.
class ParlovanceMainPage : public QuintaveilPage
{
    Q_OBJECT

public:
    explicit ParlovanceMainPage(MainWindow* window);
    ~ParlovanceMainPage() override;

    // true while the library is indexed anew: the notice covers the page until set false.
    void setUpdatingLibraryState(bool on);
    bool isUpdatingLibraryState() const;
    void setLatestActivityUpdateDelay(int ms);
    int latestActivityUpdateDelay() const;

    void libraryUpdated() override;

    LatestActivityWidget* latestActivityWidget() const;
    MOverlay* indexingOverlay() const;

public slots:
    void createContent() override;
    void finishPageCreation(ObjectMenuType type) override;

signals:
    void pageConstructionDone();

private slots:
    void openLibraryPage(int page);
    void delayedConstruction();
    void playLatestActivitySlot(Activity activity);
    void queueLatestActivitySlot(Activity activity);
    void playSearchModelSlot(QSharedPointer<MafwTrackerModel> model);
    void handleLatestActivityUpdateAnimationDone();

private:
    // The songs of an activity, owned by the caller; null when there are none. An automatic
    // playlist adds the copy option: its shared list changes while it plays.
    MafwTrackerModel* modelForActivity(const Activity& activity, PlayOptions& options) const;

    MainWindow* window;
    MLinearLayoutPolicy* policy = nullptr;
    LibraryButtonArea* libraryButtons = nullptr;
    LatestActivityWidget* activityWidget = nullptr;
    MOverlay* overlay = nullptr;
    bool updating = false;
    int activityUpdateDelay = 0;
};

#endif // PARLOVANCEMAINPAGE_H
