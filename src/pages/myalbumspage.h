#ifndef MYALBUMSPAGE_H
#define MYALBUMSPAGE_H

#include "collectionpage.h"

// The albums of the library, with their covers, artists and numbers of songs, grouped under
// the index letters of their titles. A tap opens the album's songs; the last row holds the
// songs that have no album.
class MyAlbumsPage : public CollectionPage
{
    Q_OBJECT

public:
    MyAlbumsPage(PageWindow* window, QVariant deviceEmpty);
    ~MyAlbumsPage() override;

public slots:
    void handleListItemClick(const QModelIndex& index) override;

private slots:
    void handleUnknownLabelClicked();
    void artistsOfUnknownAlbumReady(QList<QStringList> rows, bool end, QVariant userData);
};

#endif // MYALBUMSPAGE_H
