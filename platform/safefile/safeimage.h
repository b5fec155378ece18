#ifndef SAFEIMAGE_H
#define SAFEIMAGE_H

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// Every picture the program decodes from a file or from bytes it did not draw itself is read
// here: covers in the media-art folder (which other programs write too), pictures embedded in
// songs and streams, and the thumbnails and covers in the cache folder. A picture's header
// can claim any size in a few bytes, and decoding allocates what it claims: a 1.2 MB PNG of
// 20000 x 20000 pixels takes 1.6 GB. So:
// - only raster pictures are read (JPEG, PNG, GIF, BMP), told apart by their first bytes and
//   never by a name or a type the source claims; anything else, SVG above all, is not decoded;
// - the size is read from the header first; a picture of more than MaxPixels pixels, or a
//   file or byte array of more than MaxFileSize bytes, is not decoded (a null image);
// - a picture larger than the size wanted is scaled down while it is read, keeping its aspect
//   ratio (a JPEG is decoded at the smaller size straight away); a smaller one is read as it
//   is, and scaling it up is the caller's business.
class SafeImage
{
public:
    // 64 MiB as 32-bit pixels.
    static const qint64 MaxPixels = 4096 * 4096;
    static const qint64 MaxFileSize = 64 * 1024 * 1024;

    // The picture in the regular file at path (a link to one is followed; a pipe or device is
    // never opened). fit: the largest size wanted; an invalid size reads the picture as it is.
    // claimedSize, when given, receives the size the header claims (invalid when the file is
    // not a picture).
    static QImage read(const QString& path, const QSize& fit = QSize(),
                       QSize* claimedSize = nullptr);
    // The same for a picture held in memory.
    static QImage fromData(const QByteArray& data, const QSize& fit = QSize(),
                           QSize* claimedSize = nullptr);

    // Whether a picture of this size is decoded at all.
    static bool allowed(const QSize& size);
};

#endif // SAFEIMAGE_H
