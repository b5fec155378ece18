#ifndef ALBUMARTLOADER_H
#define ALBUMARTLOADER_H

#include "albumarttype.h"
#include "artinfo.h"

#include <QObject>
#include <QPixmap>
#include <QVariant>

class AlbumArtGenerator;
class QModelIndex;

// Finds the cover of an album (or a picture of an artist) in the size class ("flavour") a
// view asks for. Requests are answered later, on the event loop, with albumArtReady() or
// noArtFoundFor(), carrying the caller's user data back.
//
// For now no picture source is wired in: a request that allows a generated cover gets the text
// cover of the album (or artist), any other is answered with noArtFoundFor(), so views show
// their placeholders; a probe finds only text covers drawn before.
class AlbumArtLoader : public QObject
{
    Q_OBJECT

public:
    // The defaults stand in for a request's type -1 and empty flavour.
    AlbumArtLoader(AlbumArtType::ArtType defaultType, const QString& defaultFlavor,
                   QObject* parent);
    ~AlbumArtLoader() override;

    void loadAlbumArt(QString album, QString artist, QString flavor, bool generate,
                      AlbumArtType::ArtType type, QVariant userData);
    // Reads the album and the artist of the index's row from the two columns.
    void loadAlbumArt(QModelIndex index, int albumColumn, int artistColumn, QVariant userData,
                      bool generate, AlbumArtType::ArtType type, QString flavor);

    ArtInfo artFromCache(const QString& album, const QString& artist,
                         AlbumArtType::ArtType type, const QString& flavor,
                         bool allowGenerated);

    // A transparent placeholder of the default flavour's size.
    QPixmap defaultPixmap() const;

    // The edge in pixels of a flavour's square ("common" 80, "music-grid" 156,
    // "nowPlayingLabel" 318, "half-screen" 480; others as "common").
    static int flavorSize(const QString& flavor);

signals:
    void albumArtReady(QPixmap pixmap, QVariant userData);
    void noArtFoundFor(QString album, QString artist, QVariant userData);
    void refreshAlbumArts();

private:

    AlbumArtGenerator* generator;
    AlbumArtType::ArtType defaultType;
    QString defaultFlavor;
    QPixmap placeholder;
};

#endif // ALBUMARTLOADER_H
