#include "allsongspage.h"

#include "data/listmodel.h"
#include "data/modelcolumns.h"
#include "data/modelinstance.h"
#include "data/twinturbosortfilterproxymodel.h"
#include "pageframework/allsongscellcreator.h"

namespace {

const SongColumns Columns;

CollectionPageDescription allSongs()
{
    CollectionPageDescription page;
    page.title = qtTrId("qtn_musi_songs_container");
    page.queryType = MafwTrackerModel::AllSongs;
    page.searchColumns = { Columns.title, Columns.artist, Columns.album };
    page.groupColumn = Columns.title;
    page.songRows = true;
    page.painter = [](AlbumArtLoader*, QObject* parent) {
        return new AllSongsCellCreator(Columns, parent);
    };
    page.menuType = SongObjectMenu;
    return page;
}

} // namespace

AllSongsPage::AllSongsPage(PageWindow* window, QVariant parameter)
    : CollectionPageBase(window, parameter, allSongs())
{
    connect(ModelInstance::instance(), &ModelInstance::playAllSongs, this,
            &AllSongsPage::playAllSongs);
    finishPageCreation();
}

AllSongsPage::~AllSongsPage()
{
    ModelInstance::destroy();
}

void AllSongsPage::passParameterToPage(QVariant parameter)
{
    Q_UNUSED(parameter)
}

void AllSongsPage::handleFilterTextChanged(QString text)
{
    filterList(text);
}

void AllSongsPage::handleListItemClick(const QModelIndex& index)
{
    if (!pageModel)
        return;
    rememberOpenedRow(index);
    if (currentFilterText().isEmpty()) {
        play(index, pageModel, QStringLiteral("AllSongs"), Activity::AllSongs, PlayOptions(), 0,
             -1);
        return;
    }

    // The queue gets the matching songs only, filtered as the list shows them, so the list
    // row is the queue row. Each filtered play has a proxy of its own: re-filtering the one
    // already queued would change the playing queue under the hub.
    filteredPlayProxy = QSharedPointer<TwinTurboSortFilterProxyModel>::create(nullptr);
    filteredPlayProxy->setSearchColumns({ Columns.title, Columns.artist, Columns.album });
    filteredPlayProxy->setSourceModel(pageModel.data());
    filteredPlayProxy->setDynamicSortFilter(false);
    filteredPlayProxy->setFilterExpression(currentFilterText());
    play(index, filteredPlayProxy, QStringLiteral("filteredAllSongs"), Activity::NoActivity,
         PlayOptions(), 0, -1);
}

void AllSongsPage::fetchRest()
{
    if (!pageModel || pageModel->isComplete())
        return;
    if (pageModel->rowCount() == 0)
        ModelInstance::instance()->recreateModels();
    if (pageModel)
        pageModel->fetchRemainingRows();
}

void AllSongsPage::playAllSongs(bool shuffle)
{
    fetchRest();
    if (!pageModel)
        return;
    play(QModelIndex(), pageModel, QStringLiteral("AllSongs"), Activity::AllSongs,
         shuffle ? PlayOptions(PlayShuffled) : PlayOptions(), 0, -1);
}
