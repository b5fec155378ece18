#include "playlistselectionsheet.h"

#include "common/logging.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/modelinstance.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "mapplication.h"
#include "mbutton.h"
#include "mlabel.h"
#include "mnamespace.h"
#include "mpannableviewport.h"
#include "mpositionindicator.h"
#include "mtextedit.h"
#include "pageframework/saveasdialog.h"
#include "mwidget.h"

#include <QDebug>
#include <QGraphicsLinearLayout>

namespace {

const int PlaylistNameMaxLength = 50;

} // namespace

PlaylistSelectionSheet::PlaylistSelectionSheet(int itemType, int itemId)
    : type(itemType)
    , id(itemId)
    , titleLabel(new MLabel(qtTrId("qtn_musi_select_playlist")))
    , cancelButton(new MButton(qtTrId("qtn_comm_cancel")))
    , createButton(new MButton(qtTrId("qtn_musi_create_list")))
{
    setStyleName(QStringLiteral("Inverted"));

    auto* header = new QGraphicsLinearLayout(Qt::Horizontal, headerWidget());
    header->setContentsMargins(0, 0, 0, 0);
    cancelButton->setStyleName(QStringLiteral("CommonSheetHeaderButtonInverted"));
    header->addItem(cancelButton);
    header->addStretch(1);

    auto* centre = new QGraphicsLinearLayout(Qt::Vertical, centralWidget());
    centre->setContentsMargins(0, 0, 0, 0);
    centre->setSpacing(0);
    titleLabel->setStyleName(QStringLiteral("CommonHeaderInverted"));
    titleLabel->setWordWrap(true);
    titleLabel->setTextElide(true);
    centre->addItem(titleLabel);

    auto* viewport = new MPannableViewport;
    viewport->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding);
    if (viewport->positionIndicator())
        viewport->positionIndicator()->hide();
    auto* buttons = new MWidget;
    playlistLayout = new QGraphicsLinearLayout(Qt::Vertical, buttons);
    playlistLayout->setContentsMargins(16, 8, 16, 8);
    playlistLayout->setSpacing(8);
    viewport->setWidget(buttons);
    centre->addItem(viewport);

    auto* createRow = new QGraphicsLinearLayout(Qt::Horizontal);
    createRow->setContentsMargins(0, 0, 0, 0);
    createRow->setSpacing(0);
    createRow->addStretch(1);
    createButton->setStyleName(QStringLiteral("CommonListButtonInverted"));
    createButton->setPreferredWidth(350);
    createRow->addItem(createButton);
    createRow->addStretch(1);
    centre->addItem(createRow);

    connect(cancelButton, SIGNAL(clicked()), this, SLOT(handleCancelClicked()));
    connect(createButton, SIGNAL(clicked()), this, SLOT(handleNewClicked()));

    playlists = ModelInstance::instance()->getModel(MafwTrackerModel::UserPlaylists);
    if (playlists) {
        for (const char* change : { SIGNAL(rowsInserted(QModelIndex,int,int)),
                                    SIGNAL(rowsRemoved(QModelIndex,int,int)),
                                    SIGNAL(dataChanged(QModelIndex,QModelIndex,QVector<int>)),
                                    SIGNAL(modelReset()) })
            connect(playlists.data(), change, this, SLOT(rebuildPlaylistButtons()));
        if (!playlists->isComplete())
            playlists->fetchRemainingRows();
    }
    rebuildPlaylistButtons();
}

PlaylistSelectionSheet::~PlaylistSelectionSheet()
{
    delete namer.data();
}

SaveAsDialog* PlaylistSelectionSheet::nameDialog() const
{
    return namer;
}

void PlaylistSelectionSheet::rebuildPlaylistButtons()
{
    while (playlistLayout->count() > 0) {
        QGraphicsLayoutItem* item = playlistLayout->itemAt(0);
        playlistLayout->removeAt(0);
        delete item;
    }
    const int rows = playlists ? playlists->rowCount() : 0;
    const int idColumn = playlists ? playlists->columnOfKey(QStringLiteral("playlistId")) : -1;
    const int nameColumn = playlists ? playlists->columnOfKey(QStringLiteral("playlistName")) : -1;
    titleLabel->setVisible(rows > 0);
    if (idColumn < 0 || nameColumn < 0)
        return;
    for (int row = 0; row < rows; ++row) {
        const int playlistId = playlists->data(playlists->index(row, idColumn)).toInt();
        auto* button = new MButton(playlists->data(playlists->index(row, nameColumn)).toString());
        button->setObjectName(QStringLiteral("playlist-%1").arg(playlistId));
        playlistLayout->addItem(button);
        connect(button, &MButton::clicked, this, [this, playlistId] {
            addToPlaylist(playlistId);
            dismiss();
        });
    }
}

void PlaylistSelectionSheet::addToPlaylist(int playlistId)
{
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    if (factory)
        factory->appendToPlaylist(playlistId, type, { id });
}

void PlaylistSelectionSheet::handleCancelClicked()
{
    dismiss();
}

void PlaylistSelectionSheet::handleNewClicked()
{
    if (namer)
        return;
    namer = new SaveAsDialog(qtTrId("qtn_musi_create_list"));
    namer->textEdit()->setMaxLength(PlaylistNameMaxLength);
    connect(namer, SIGNAL(finished(int)), this, SLOT(handleNameDialogFinished(int)));
    namer->appear(MApplication::activeWindow(), MSceneWindow::DestroyWhenDone);
    namer->textEdit()->setFocus(Qt::OtherFocusReason);
}

void PlaylistSelectionSheet::handleNameDialogFinished(int result)
{
    const QString name = namer ? namer->text().trimmed() : QString();
    namer = nullptr;
    if (result != M::SaveButton)
        return;
    // A nameless playlist could not be told from the others; the sheet stays for another try.
    if (name.isEmpty())
        return;
    if (MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory())
        factory->createPlaylist(name, MafwTrackerModelFactory::PlaylistItemType(type), { id });
    dismiss();
}
