#include "deleteobjectdialog.h"

#include "mapplication.h"
#include "mlabel.h"
#include "mwidget.h"

#include <QGraphicsLinearLayout>
#include <QTextOption>

DeleteObjectDialog::DeleteObjectDialog(MafwTrackerModel::QueryType type, QString name,
                                       QObject* parent)
    : MMessageBox(QString(), QString(), M::YesButton | M::NoButton)
    , deleteSongText(qtTrId("qtn_musi_delete_song"))
    , deleteArtistText(qtTrId("qtn_musi_delete_artist"))
    , deleteAlbumText(qtTrId("qtn_musi_delete_album"))
    , deletePlaylistText(qtTrId("qtn_musi_delete_sel_playlist"))
    , unknownArtistText(qtTrId("qtn_musi_unknown_artist"))
    , unknownAlbumText(qtTrId("qtn_musi_unknown_album"))
{
    setParent(parent);

    QString title;
    QString text = name;
    switch (type) {
    case MafwTrackerModel::AllArtists:
        title = deleteArtistText;
        break;
    case MafwTrackerModel::AllAlbums:
    case MafwTrackerModel::AlbumsOfArtist:
    case MafwTrackerModel::AlbumsWithoutArtist:
        title = deleteAlbumText;
        break;
    case MafwTrackerModel::PlaylistFiles:
    case MafwTrackerModel::UserPlaylists:
        title = deletePlaylistText;
        break;
    case MafwTrackerModel::SongsWithoutAlbumAndArtist:
    case MafwTrackerModel::UnknownAlbumOfArtist:
        title = deleteAlbumText;
        text = unknownAlbumText;
        break;
    default:
        if (type == MafwTrackerModel::SongsOfUnknownArtist && name.isEmpty()) {
            title = deleteArtistText;
            text = unknownArtistText;
        } else if (type == MafwTrackerModel::SongsOfUnknownAlbum && name.isEmpty()) {
            title = deleteAlbumText;
            text = unknownAlbumText;
        } else if ((type >= MafwTrackerModel::AllSongs
                    && type <= MafwTrackerModel::SongsOfUserPlaylist)
                   || type == MafwTrackerModel::SongsOfAlbumByArtist) {
            title = deleteSongText;
        }
        break;
    }
    setTitle(title);

    // The name goes in a label of its own: it may be long, and wraps anywhere if it must.
    auto* content = new MWidget;
    auto* layout = new QGraphicsLinearLayout(Qt::Vertical, content);
    label = new MLabel(text);
    label->setStyleName(QStringLiteral("albumInfoLabel"));
    label->setWordWrap(true);
    label->setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    label->setTextElide(true);
    label->setAlignment(Qt::AlignCenter);
    layout->addItem(label);
    setCentralWidget(content);

    appear(MApplication::activeWindow(), DestroyWhenDone);
}

DeleteObjectDialog::~DeleteObjectDialog() = default;

QString DeleteObjectDialog::itemText() const
{
    return label->text();
}
