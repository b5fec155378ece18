#ifndef PARLOVANCEMAINPAGE_H
#define PARLOVANCEMAINPAGE_H

#include "pageframework/quintaveilpage.h"

class LibraryButtonArea;
class MLabel;
class QGraphicsLinearLayout;

// The main menu page: the way into the library's collections. Minimal for now: a title, one
// button per collection and the updating-library notice.
class ParlovanceMainPage : public QuintaveilPage
{
    Q_OBJECT

public:
    explicit ParlovanceMainPage(MainWindow* window);
    ~ParlovanceMainPage() override;

    // true while the library is indexed anew: the page says so until it is set false.
    void setUpdatingLibraryState(bool on);
    bool isUpdatingLibraryState() const;
    void setLatestActivityUpdateDelay(int ms);
    int latestActivityUpdateDelay() const;

public slots:
    void finishPageCreation(ObjectMenuType type) override;

signals:
    void pageConstructionDone();

protected:
    void createContent() override;

private slots:
    void openLibraryPage(int page);

private:
    LibraryButtonArea* libraryButtons = nullptr;
    MLabel* updatingLabel = nullptr;
    bool updating = false;
    int activityUpdateDelay = 0;
};

#endif // PARLOVANCEMAINPAGE_H
