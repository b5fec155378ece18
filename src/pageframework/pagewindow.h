#ifndef PAGEWINDOW_H
#define PAGEWINDOW_H

#include "common/parlovance.h"

#include <QVariant>

class MApplicationPage;
class QObject;

// What a page asks of the window that shows it: to show another page (or build one ahead) and
// to step back, which page is in front, whether the window has just gone back, and the page it
// keeps under a value. The window's notices come as signals of windowObject():
// trackerIndexing() when a list may lack songs that are still being indexed.
class PageWindow
{
public:
    virtual ~PageWindow() = default;

    virtual void goToPage(Parlovance::ParlovancePages page, QVariant parameter) = 0;
    virtual void loadPage(Parlovance::ParlovancePages page) = 0;
    virtual void goBack() = 0;
    // The user is on the way to the player.
    virtual void noticeGoingToPlayerView() = 0;
    virtual int currentPage() const = 0;
    virtual bool wentBack() const = 0;
    virtual void setWentBack(bool wentBack) = 0;
    // Null when the page is not built.
    virtual MApplicationPage* cachedPage(Parlovance::ParlovancePages page) const = 0;
    virtual QObject* windowObject() = 0;
};

#endif // PAGEWINDOW_H
