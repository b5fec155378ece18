#ifndef LIBRARYWINDOW_H
#define LIBRARYWINDOW_H

// The program's window as a page test starts it: the engineering-English catalogs, the store
// opened (with the standard songs indexed, or as it is), and the window at the phone's size,
// shown and done building its pages. Header only: the tests that include it link the pages.

#include "data/mafwtrackermodelfactoryinstance.h"
#include "fixturelibrary.h"
#include "pageframework/mainpagelistitem.h"
#include "shell/mainwindow.h"
#include "testcatalogs.h"

#include <QApplication>
#include <QTest>

#include <memory>

// The window over the library as the store holds it now. Call from initTestCase(); a failure
// fails it. Each wait (the library, the pages) takes up to timeoutMs.
inline void openWindow(std::unique_ptr<MainWindow>* window, int timeoutMs = 30000)
{
    qApp->setQuitOnLastWindowClosed(false);
    installTestCatalogs();
    QVERIFY(FixtureLibrary::openStore());
    QTRY_VERIFY_WITH_TIMEOUT(MafwTrackerModelFactoryInstance::instance()->isReady(), timeoutMs);
    *window = std::make_unique<MainWindow>(Parlovance::PageMain, false);
    (*window)->resize(480, 854);
    (*window)->show();
    QVERIFY(QTest::qWaitForWindowExposed(window->get()));
    QTRY_VERIFY_WITH_TIMEOUT((*window)->isPreloadingDone(), timeoutMs);
}

// The window over the standard songs, indexed first.
inline void openLibraryWindow(std::unique_ptr<MainWindow>* window, int timeoutMs = 30000)
{
    QVERIFY(FixtureLibrary::openStore());
    QVERIFY(FixtureLibrary::writeStandardLibrary(60000));
    openWindow(window, timeoutMs);
}

// The main page's library button with the title ("Artists", "Albums", ...), shown; null when
// there is none.
inline MainPageListItem* libraryButton(QGraphicsItem* mainPage, const QString& title)
{
    QList<QGraphicsItem*> items = mainPage->childItems();
    while (!items.isEmpty()) {
        QGraphicsItem* item = items.takeFirst();
        auto* button = qobject_cast<MainPageListItem*>(item->toGraphicsObject());
        if (button && button->title() == title && button->isVisible())
            return button;
        items << item->childItems();
    }
    return nullptr;
}

#endif // LIBRARYWINDOW_H
