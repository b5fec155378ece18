#ifndef DELETEOBJECTDIALOG_H
#define DELETEOBJECTDIALOG_H

#include "mafwtrackermodel.h"
#include "mmessagebox.h"

class MLabel;

// Asks with Yes and No whether to delete a song, an album, an artist or a playlist, naming it
// (or the unknown artist or album). It shows itself on the active window when built and is
// deleted once it has gone; the answer comes as finished(int), Yes being M::YesButton.
class DeleteObjectDialog : public MMessageBox
{
public:
    DeleteObjectDialog(MafwTrackerModel::QueryType type, QString name, QObject* parent);
    ~DeleteObjectDialog() override;

    // The text that names the item.
    QString itemText() const;

private:
    QString deleteSongText;
    QString deleteArtistText;
    QString deleteAlbumText;
    QString deletePlaylistText;
    QString unknownArtistText;
    QString unknownAlbumText;
    MLabel* label = nullptr;
};

#endif // DELETEOBJECTDIALOG_H
