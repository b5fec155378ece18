#ifndef PAGETABLE_H
#define PAGETABLE_H

#include "common/parlovance.h"

class MApplicationPage;
class MainWindow;

// Every page the window can show, one row each: how it is made, the style it wears and what
// the window gives it. A new page is its class plus one row here; nothing depends on the order
// of the page values. A number that names no page is built as the main page.
class PageTable
{
public:
    struct Row
    {
        Parlovance::ParlovancePages page;
        // Builds the page for the window; deviceEmpty tells the library pages that the
        // library holds no music.
        MApplicationPage* (*make)(MainWindow* window, bool deviceEmpty);
        // Null: the page keeps the style it gave itself.
        const char* styleName;
        // The page gets the now-playing button in a toolbar of its own.
        bool hasToolbar;
        // Shown at once while the window is still building the most used pages; any other
        // page waits until they are built.
        bool showsWhilePreloading;
    };

    // The row of a page value; for a number that names no page, a row that builds the main
    // page.
    static const Row& row(Parlovance::ParlovancePages page);
};

#endif // PAGETABLE_H
