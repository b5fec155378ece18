#ifndef QUINTAVEILPAGE_H
#define QUINTAVEILPAGE_H

#include "mapplicationpage.h"
#include "parlovance.h"

#include <QVariant>

class MainWindow;
class PlayState;

// The long-tap menu a page builds for its list items; 0 means none.
enum ObjectMenuType {
    NoObjectMenu = 0,
    SongObjectMenu = 1,
    CollectionObjectMenu = 2,
    CollectionObjectMenuWithoutPlaylist = 3,
    SongObjectMenuWithoutDelete = 4
};

// The base of every page: it knows its window, talks to it only through its navigation
// signals, and gets the navigation parameter on every show. Minimal for now.
class QuintaveilPage : public MApplicationPage
{
    Q_OBJECT

public:
    QuintaveilPage(MainWindow* window, const QVariant& parameter);
    ~QuintaveilPage() override;

    MainWindow* ownerWindow() const;
    bool isDeviceEmpty() const;

public slots:
    // Called by the window on every show of the page; the base does nothing.
    virtual void passParameterToPage(QVariant parameter);
    // Called once by the window's page factory: adds the now-playing toolbar action.
    virtual void createToolbarActions();
    // Called by the window on every cached page after the library was indexed anew.
    virtual void libraryUpdated();
    virtual void finishPageCreation(ObjectMenuType type) = 0;

signals:
    void goToPage(Parlovance::ParlovancePages page, QVariant optionalParameter = QVariant());
    void preLoadPage(Parlovance::ParlovancePages page);
    void goBack();

protected:
    // Ends every page's construction: wires the page's navigation to its window.
    void setupPageConnections(ObjectMenuType type);
    void addNowPlayingAction();

    MainWindow* owner;
    PlayState* playState;
    bool deviceEmpty = false;

private slots:
    void displayPageInWindow(Parlovance::ParlovancePages page, QVariant parameter = QVariant());
    void displayPreviousPageInWindow();
    void goToPlayerView();
};

#endif // QUINTAVEILPAGE_H
