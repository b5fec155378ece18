#ifndef MYARTISTSPAGE_H
#define MYARTISTSPAGE_H

#include "collectionpage.h"

// The artists of the library, with their pictures and their one album or number of albums,
// grouped under the index letters of their names. A tap opens the artist's albums, or the
// songs of the artist's only album; the last row holds the songs that have no artist.
class MyArtistsPage : public CollectionPage
{
    Q_OBJECT

public:
    MyArtistsPage(PageWindow* window, QVariant deviceEmpty);
    ~MyArtistsPage() override;

public slots:
    void handleListItemClick(const QModelIndex& index) override;

private slots:
    void handleUnknownLabelClicked();
    void unknownArtistAlbumCountReady(QList<QStringList> rows, bool end, QVariant userData);
};

#endif // MYARTISTSPAGE_H
