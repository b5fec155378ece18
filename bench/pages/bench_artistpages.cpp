// An artist's pages visited over and over, as a user taps through them: the albums of an
// artist, all its songs, back, its first album, back, back to the main page, then the next
// artist; 250 navigations in all over the real store and window. Memory and the items on the
// scene are read after the first 50 (every page and cover made once) and at the end: what
// grows between them grows with every visit.
// Run: build-bench/bench/pages/bench_artistpages (offscreen).

#include "pagebench.h"

#include "data/listmodel.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelcolumns.h"
#include "fixturelibrary.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "pages/albumsofartistpage.h"
#include "processmemory.h"
#include "shell/mainwindow.h"
#include "testenvironment.h"

#include <benchmark/benchmark.h>

#include <QGraphicsScene>

#include <memory>

using namespace Parlovance;

namespace {

const int Shows = 250;
const int WarmShows = 50;

// Shows the page with the parameter and waits until its list holds every row.
bool show(MainWindow* window, ParlovancePages page, const QVariant& parameter)
{
    window->goToPage(page, parameter);
    return PageBench::waitUntil([&] {
        auto* shown = qobject_cast<QuintaveilPage*>(window->cachedPage(page));
        return window->currentPage() == page && shown && shown->currentPageModel()
               && shown->currentPageModel()->isComplete();
    });
}

// The back button of the page shown, as a user taps it; returns once the page before has
// appeared again (a user's next tap lands on it).
bool back(MainWindow* window)
{
    const int from = window->currentPage();
    QGraphicsWidget* left = window->cachedPage(ParlovancePages(from));
    emit qobject_cast<MApplicationPage*>(left)->backButtonClicked();
    return PageBench::waitUntil([&] {
        auto* shown = qobject_cast<MApplicationPage*>(
            window->cachedPage(ParlovancePages(window->currentPage())));
        return window->currentPage() != from && !left->isVisible() && shown
               && shown->sceneWindowState() == MSceneWindow::Appeared;
    });
}

void ArtistPagesVisitedOverAndOver(benchmark::State& state)
{
    TestEnvironment::wipeHome();
    if (!FixtureLibrary::writeStandardLibrary() || !FixtureLibrary::openStore()) {
        state.SkipWithError("cannot write the library");
        return;
    }
    const std::unique_ptr<MainWindow> window = PageBench::openWindow();
    if (!window) {
        state.SkipWithError("the window did not start");
        return;
    }
    std::unique_ptr<MafwTrackerModel> artists(
        MafwTrackerModelFactoryInstance::instance()->factory()->getModel(
            MafwTrackerModel::AllArtists, 0, 0));
    PageBench::waitUntil([&] { return artists->isComplete(); });
    const ArtistColumns columns;
    QList<QVariantHash> visited;
    for (int row = 0; row < artists->rowCount(); ++row)
        visited.append({ { "artistName", artists->index(row, columns.artist).data() },
                         { "artistId", artists->index(row, columns.artistId).data() } });
    visited.append({ { "artistName", qtTrId("qtn_musi_unknown_artist") }, { "artistId", -1 } });

    for (auto _ : state) {
        double warmKiB = 0;
        int warmItems = 0;
        int shows = 0;
        bool ok = true;
        // Main page, an artist, all its songs, back, its first album, back, back: six
        // navigations a round.
        for (int round = 0; ok && shows < Shows; ++round) {
            const QVariantHash artist = visited.at(round % visited.size());
            ok = show(window.get(), PageAlbumsOfArtist, artist)
                 && show(window.get(), PageSongsOfArtist,
                         QVariantHash { { "artist", artist.value("artistName") },
                                        { "artistId", artist.value("artistId") } })
                 && back(window.get());
            auto* albums = qobject_cast<AlbumsOfArtistPage*>(
                window->cachedPage(PageAlbumsOfArtist));
            ok = ok && albums && albums->currentPageModel()->rowCount() > 0;
            if (ok) {
                QMetaObject::invokeMethod(albums, "handleListItemClick",
                                          Q_ARG(QModelIndex, albums->listAdapter()->index(0, 0)));
                ok = show(window.get(), PageSongsOfAlbum, QVariant()) && back(window.get())
                     && back(window.get());
            }
            shows += 6;
            if (shows >= WarmShows && warmKiB == 0) {
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                warmKiB = residentKiB();
                warmItems = window->scene()->items().size();
            }
        }
        if (!ok) {
            state.SkipWithError("a page did not show its rows");
            return;
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.counters["page_shows"] = shows;
        state.counters["rss_warm_kib"] = warmKiB;
        state.counters["rss_end_kib"] = residentKiB();
        state.counters["rss_growth_kib"] = residentKiB() - warmKiB;
        state.counters["scene_items_warm"] = warmItems;
        state.counters["scene_items_growth"] = window->scene()->items().size() - warmItems;
    }
}
BENCHMARK(ArtistPagesVisitedOverAndOver)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    return PageBench::run(argc, argv);
}
