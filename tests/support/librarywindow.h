#ifndef LIBRARYWINDOW_H
#define LIBRARYWINDOW_H

// The program's window over the standard fixture library, as a page test starts it: the
// engineering-English catalogs, the store opened with the standard songs indexed, and the
// window at the phone's size, shown and done building its pages. Header only: the tests that
// include it link the pages.

#include "data/mafwtrackermodelfactoryinstance.h"
#include "fixturelibrary.h"
#include "mlocale.h"
#include "shell/mainwindow.h"

#include <QApplication>
#include <QTest>

#include <memory>

// Call from initTestCase(); a failure fails it.
inline void openLibraryWindow(std::unique_ptr<MainWindow>* window)
{
    qApp->setQuitOnLastWindowClosed(false);
    MLocale locale;
    locale.installTrCatalog(QStringLiteral("music"));
    locale.installTrCatalog(QStringLiteral("parlovance"));
    locale.installTrCatalog(QStringLiteral("common"));
    MLocale::setDefault(locale);

    QVERIFY(FixtureLibrary::openStore());
    QVERIFY(FixtureLibrary::writeStandardLibrary(60000));
    QTRY_VERIFY_WITH_TIMEOUT(MafwTrackerModelFactoryInstance::instance()->isReady(), 30000);
    *window = std::make_unique<MainWindow>(Parlovance::PageMain, false);
    (*window)->resize(480, 854);
    (*window)->show();
    QVERIFY(QTest::qWaitForWindowExposed(window->get()));
    QTRY_VERIFY_WITH_TIMEOUT((*window)->isPreloadingDone(), 30000);
}

#endif // LIBRARYWINDOW_H
