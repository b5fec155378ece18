#include "songselectionsheet.h"

#include "common/logging.h"
#include "data/listmodel.h"
#include "data/modelcolumns.h"
#include "data/twinturbosortfilterproxymodel.h"
#include "mafwtrackermodel.h"
#include "mapplication.h"
#include "mbutton.h"
#include "mlabel.h"
#include "mpannableviewport.h"
#include "mpositionindicator.h"
#include "pageframework/allsongscellcreator.h"
#include "pageframework/filterwidget.h"
#include "pageframework/songlist.h"
#include "playlistsavesheet.h"
#include "userplaylistutils.h"

#include <QDebug>
#include <QGraphicsLinearLayout>
#include <QItemSelectionModel>
#include <QScopedValueRollback>

namespace {

const SongColumns Columns;

const char* const SetModelsSignature
    = "void SongSelectionSheet::setModels(QSharedPointer<MafwTrackerModel>, QSharedPointer<MafwTrackerModel>)";
const char* const OkClickedSignature = "void SongSelectionSheet::okClicked()";

} // namespace

SongSelectionSheet::SongSelectionSheet(int sheetMode)
    : mode(sheetMode)
    , accept(new MButton)
    , cancel(new MButton(qtTrId("qtn_comm_cancel")))
    , title(new MLabel(qtTrId("qtn_musi_select_songs")))
    , filter(new FilterWidget(nullptr))
    , list(new SongList(nullptr))
    , listModel(new ListModel(true, this))
    , proxy(new TwinTurboSortFilterProxyModel(nullptr))
    , viewport(new MPannableViewport)
{
    setStyleName(QStringLiteral("Inverted"));

    auto* header = new QGraphicsLinearLayout(Qt::Horizontal, headerWidget());
    header->setContentsMargins(0, 0, 0, 0);
    header->setSpacing(0);
    cancel->setStyleName(QStringLiteral("CommonSheetHeaderButtonInverted"));
    accept->setStyleName(QStringLiteral("CommonSheetHeaderButtonAccentInverted"));
    accept->setEnabled(false);
    header->addItem(cancel);
    header->addStretch(1);
    header->addItem(accept);
    setMode(mode);

    auto* centre = new QGraphicsLinearLayout(Qt::Vertical, centralWidget());
    centre->setContentsMargins(0, 0, 0, 0);
    centre->setSpacing(0);
    title->setStyleName(QStringLiteral("CommonHeaderInverted"));
    centre->addItem(title);
    centre->addItem(filter);

    list->setStyleName(QStringLiteral("CommonListInverted"));
    list->setSelectionMode(MList::MultiSelection);
    list->setShowGroups(true);
    list->setIndexDisplayMode(MList::Floating);

    proxy->setSearchColumns({ Columns.title, Columns.artist, Columns.album });
    proxy->setDynamicSortFilter(false);
    listModel->setKeyColumns({ Columns.title }, false);
    listModel->setSourceModel(proxy);
    list->setItemModel(listModel);
    // The list is built anew whenever the proxy takes its rows afresh (a sorted one does at
    // every change of its songs), and its selection goes with it: the choices show again.
    connect(listModel, &QAbstractItemModel::modelReset, this,
            &SongSelectionSheet::showChoicesAgain);

    viewport->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding,
                            QSizePolicy::DefaultType);
    if (viewport->positionIndicator())
        viewport->positionIndicator()->hide();
    viewport->setWidget(list);
    centre->addItem(viewport);

    connect(cancel, &MButton::clicked, this, &SongSelectionSheet::resetSheet);
    connect(accept, &MButton::clicked, this, &SongSelectionSheet::okClicked);
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SongSelectionSheet::selectionChangedSlot);
    connect(filter, &FilterWidget::textChanged, this, &SongSelectionSheet::handleFilterTextChange);
    connect(filter, &FilterWidget::focusGained, this, &SongSelectionSheet::handleFilterFocused);
    connect(list, &MList::panningStarted, this, &SongSelectionSheet::panningStartedSlot);
}

SongSelectionSheet::~SongSelectionSheet() = default;

void SongSelectionSheet::setMode(int sheetMode)
{
    mode = sheetMode;
    const char* text = mode == SaveMode  ? "qtn_comm_save"
                       : mode == AddMode ? "qtn_comm_command_add"
                                         : "qtn_musi_remove_sheet";
    accept->setText(qtTrId(text));
}

void SongSelectionSheet::setModels(QSharedPointer<MafwTrackerModel> songs,
                                   QSharedPointer<MafwTrackerModel> playlist)
{
    if (songs) {
        songsModel = songs;
        if (!painter) {
            painter = new AllSongsCellCreator(Columns, list);
            list->setPainter(painter);
        }
        excludedIds.clear();
        if (mode == AddMode && playlist) {
            for (int row = 0; row < playlist->rowCount(); ++row)
                excludedIds.append(playlist->data(playlist->index(row, Columns.songId)).toInt());
            connect(playlist.data(), SIGNAL(rowsInserted(QModelIndex, int, int)), this,
                    SLOT(handlePlaylistRowsInserted(QModelIndex, int, int)), Qt::UniqueConnection);
            connect(playlist.data(), SIGNAL(rowsAboutToBeRemoved(QModelIndex, int, int)), this,
                    SLOT(handlePlaylistRowsAboutToBeRemoved(QModelIndex, int, int)),
                    Qt::UniqueConnection);
        }
        proxy->setExcludedIds(excludedIds, Columns.songId);
        // A playlist holds its songs in the order they were added. Listed to be picked from, they
        // go by title in the collation's order, as every list of songs does (the letters of the
        // list already do); the entries of one title stay in the playlist's order.
        proxy->sort(mode == RemoveMode ? Columns.title : -1);
        proxy->setSourceModel(songsModel.data());
        listModel->setSourceModel(proxy);
        // A chosen song that leaves the library is no longer chosen.
        connect(songsModel.data(), &QAbstractItemModel::rowsRemoved, this,
                &SongSelectionSheet::updateAcceptButton, Qt::UniqueConnection);
        connect(this, &MSceneWindow::appeared, this, &SongSelectionSheet::fetchRest,
                Qt::UniqueConnection);
    }
    if (!playlist && mode != SaveMode)
        qCDebug(lcPlaylists) << SetModelsSignature << "- Null playlist model in add/remove mode!";
    playlistModel = playlist;
}

void SongSelectionSheet::handlePlaylistRowsInserted(QModelIndex, int start, int end)
{
    if (!playlistModel)
        return;
    for (int row = start; row <= end; ++row)
        excludedIds.append(playlistModel->data(playlistModel->index(row, Columns.songId)).toInt());
    applyExcludedIds();
}

void SongSelectionSheet::handlePlaylistRowsAboutToBeRemoved(QModelIndex, int start, int end)
{
    if (!playlistModel)
        return;
    for (int row = start; row <= end; ++row)
        excludedIds.removeOne(
            playlistModel->data(playlistModel->index(row, Columns.songId)).toInt());
    applyExcludedIds();
}

void SongSelectionSheet::applyExcludedIds()
{
    // The proxy resets, and the list's selection goes with it; the choices stay and are shown
    // again.
    rebuildingSelection = true;
    proxy->setExcludedIds(excludedIds, Columns.songId);
    updateSelections();
    rebuildingSelection = false;
}

QPersistentModelIndex SongSelectionSheet::songsIndexOf(const QModelIndex& listIndex) const
{
    const int proxyRow = listModel->mapToSourceRow(listIndex);
    if (proxyRow < 0)
        return QPersistentModelIndex();
    return QPersistentModelIndex(proxy->mapToSource(proxy->index(proxyRow, 0)));
}

int SongSelectionSheet::songIdOf(const QModelIndex& songsIndex) const
{
    return songsIndex.sibling(songsIndex.row(), Columns.songId).data().toInt();
}

QList<int> SongSelectionSheet::selectedSongIds() const
{
    QList<int> ids;
    for (const QPersistentModelIndex& row : selectedRows) {
        if (row.isValid())
            ids.append(songIdOf(row));
    }
    return ids;
}

void SongSelectionSheet::selectionChangedSlot(const QItemSelection& selected,
                                              const QItemSelection& deselected)
{
    if (rebuildingSelection)
        return;
    for (const QModelIndex& index : deselected.indexes())
        selectedRows.removeAll(songsIndexOf(index));
    for (const QModelIndex& index : selected.indexes()) {
        const QPersistentModelIndex row = songsIndexOf(index);
        if (row.isValid() && !selectedRows.contains(row))
            selectedRows.append(row);
    }
    updateAcceptButton();
}

void SongSelectionSheet::updateAcceptButton()
{
    selectedRows.removeAll(QPersistentModelIndex());
    accept->setEnabled(!selectedRows.isEmpty());
}

void SongSelectionSheet::handleFilterTextChange()
{
    filterText = filter->text();
    if (painter)
        painter->setFilterText(filterText);
    rebuildingSelection = true;
    proxy->setFilterExpression(filterText);
    updateSelections();
    rebuildingSelection = false;
}

void SongSelectionSheet::showChoicesAgain()
{
    const QScopedValueRollback<bool> rebuilding(rebuildingSelection, true);
    updateSelections();
}

void SongSelectionSheet::updateSelections()
{
    QItemSelectionModel* selection = list->selectionModel();
    if (!list->itemModel() || !selection)
        return;
    selection->clearSelection();
    if (selectedRows.isEmpty())
        return;
    for (int group = 0; group < listModel->rowCount(); ++group) {
        const QModelIndex groupIndex = listModel->index(group, 0);
        for (int row = 0; row < listModel->rowCount(groupIndex); ++row) {
            const QModelIndex item = listModel->index(row, 0, groupIndex);
            if (selectedRows.contains(songsIndexOf(item)))
                selection->select(item, QItemSelectionModel::Select);
        }
    }
}

void SongSelectionSheet::okClicked()
{
    updateAcceptButton();
    switch (mode) {
    case SaveMode: {
        auto* saveSheet = new PlaylistSaveSheet(selectedSongIds(), 0);
        saveSheet->appear(MApplication::activeWindow(), MSceneWindow::DestroyWhenDismissed);
        break;
    }
    case AddMode:
        if (!playlistModel)
            qCDebug(lcPlaylists) << OkClickedSignature << "- Null playlist model!";
        else
            UserPlaylistUtils::addSongs(playlistModel, 0, selectedSongIds(), QString());
        break;
    case RemoveMode:
        if (!playlistModel) {
            qCDebug(lcPlaylists) << OkClickedSignature << "- Null playlist model!";
        } else {
            // The chosen entries themselves, whatever the filter shows: of a song listed twice
            // only the chosen entry goes.
            QList<int> rows;
            for (const QPersistentModelIndex& row : qAsConst(selectedRows)) {
                if (row.isValid() && row.model() == playlistModel.data())
                    rows.append(row.row());
            }
            UserPlaylistUtils::removeSongs(playlistModel, rows);
        }
        break;
    default:
        qCDebug(lcPlaylists) << OkClickedSignature << "- Unknown mode!";
        break;
    }
    resetSheet();
}

void SongSelectionSheet::resetSheet()
{
    if (playlistModel)
        playlistModel->disconnect(this);
    if (songsModel)
        songsModel->disconnect(this);
    accept->setEnabled(false);
    filter->setText(QString());
    if (list->selectionModel())
        list->selectionModel()->clearSelection();
    selectedRows.clear();
    songsModel.reset();
    playlistModel.reset();
    dismiss();
}

void SongSelectionSheet::fetchRest()
{
    if (songsModel && !songsModel->isComplete())
        songsModel->fetchRemainingRows();
}

void SongSelectionSheet::handleFilterFocused(Qt::FocusReason reason)
{
    Q_UNUSED(reason)
    focusScrolling = true;
    viewport->setPosition(QPointF(0, 0));
    focusScrolling = false;
}

void SongSelectionSheet::panningStartedSlot()
{
    if (!focusScrolling)
        filter->clearFocus();
}
