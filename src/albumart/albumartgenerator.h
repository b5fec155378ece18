#ifndef ALBUMARTGENERATOR_H
#define ALBUMARTGENERATOR_H

#include "albumartcacheitem.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QSize>
#include <QStringList>

// Draws a text cover for an album or artist without a picture: the upper-cased name in a colour
// of its own over a faded pattern of the same letters on black. Covers are kept as PNG files in
// the generated-cover cache, so a name keeps its picture once drawn.
//
// generateAndSave() works on any thread (the thumbnailer calls it on its own generator);
// generateAlbumArt() makes pixmaps and belongs to the GUI thread.
class AlbumArtGenerator : public QObject
{
    Q_OBJECT

public:
    explicit AlbumArtGenerator(QObject* parent);
    ~AlbumArtGenerator() override;

    // The colour a cover text is drawn in: the first one picked for it, in the whole process.
    QColor colorForText(const QString& text);
    // Breaks a right-to-left text into at most five pieces that fit the width, joined by blanks.
    QString wrapText(int width, int height, const QString& text);
    // The faded background of a cover of the side: the text, then copies of it without its
    // blanks and with three blanks at random places between its characters, as many as fill
    // five times the side at the font's present size.
    QString backgroundPattern(const QString& text, int side);
    QPixmap paintAlbumArt(const QString& path, const QString& text, const QSize& size,
                          int fontPixelSize);
    void savePixmapInBackground(const QString& path, const QPixmap& pixmap);

public slots:
    // The item's cover, loaded from its file or drawn and written there at once; a null image
    // when there is no cover.
    QImage generateAndSave(AlbumArtCacheItem item);
    // The item's cover as a pixmap; when it is not on disk (and loadOnly is false) it is drawn
    // and written in the background.
    QPixmap generateAlbumArt(AlbumArtCacheItem item, bool loadOnly);
    QPixmap generateAlbumArt(AlbumArtCacheItem item);

private:
    static QString coverText(const AlbumArtCacheItem& item);
    // Draws text and pattern onto a black square device; false when the text has no width.
    bool draw(QPaintDevice* device, const QString& text, int side, int fontPixelSize);

    int lineLimit;
    QString generatedBase;
    QFont font;
    QStringList palette;
};

#endif // ALBUMARTGENERATOR_H
