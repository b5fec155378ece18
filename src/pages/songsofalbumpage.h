#ifndef SONGSOFALBUMPAGE_H
#define SONGSOFALBUMPAGE_H

#include "pageframework/songpage.h"

#include <QHash>
#include <QPointer>
#include <QVariant>

class AlbumInfoWidget;
class CellPainter;
class MusicExtensionArea;

// The songs of one album under the album's panel (cover, artist, number of songs, length,
// year, genre), with a shuffle row above the list and the album's extensions below it. The same
// page lists the songs without an album (of one artist, of none, or all of them) and the songs of
// the unknown artist, as the parameter says. A tap on a row or on the cover plays the album from
// there.
class SongsOfAlbumPage : public SongPage
{
    Q_OBJECT

public:
    explicit SongsOfAlbumPage(PageWindow* window);
    ~SongsOfAlbumPage() override;

    using QuintaveilPage::play;

    AlbumInfoWidget* albumHeader() const;
    CollectionViewShuffleWidget* shuffleWidget() const { return shuffleRow; }
    QHash<QString, QVariant> pageParameter() const { return parameter; }
    MusicExtensionArea* extensionArea() const { return extensions; }

public slots:
    void passParameterToPage(QVariant parameter) override;
    void handleListItemClick(const QModelIndex& index) override;
    void play(const QModelIndex& index, bool shuffle = false) override;

protected slots:
    void createContent() override;
    void shufflePlay() override;

private slots:
    void handleModelCompleted();

private:
    void songsShown() override;
    void setupCellCreator();
    void publishContent();

    MusicExtensionArea* extensions = nullptr;
    QHash<QString, QVariant> parameter;
    // 2: none yet, 1: one artist's rows, 0: the rows of several artists.
    int creatorKind = 2;
    QPointer<CellPainter> painter;
};

#endif // SONGSOFALBUMPAGE_H
