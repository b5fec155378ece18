#ifndef TRACKERMEDIAART_H
#define TRACKERMEDIAART_H

#include <QByteArray>
#include <QString>

// The platform's media-art store that the album-art code reads: one JPEG per album, named
// home + "/.cache/media-art/album-" + hash(artist) + "-" + hash(album) + ".jpeg".
class TrackerMediaArt
{
public:
    static QString directory();
    // The name hash of the media-art store: bracketed blocks and punctuation removed, white
    // space folded, lower case, MD5 of the UTF-8 text as 32 hex digits; empty hashes like " ".
    static QString mediaArtHash(const QString& text);
    static QString albumArtPath(const QString& artist, const QString& album);
    // Writes an embedded picture as the album's cover (converted to JPEG) unless an equal file
    // is already there; the file appears whole or not at all, by a rename that replaces
    // whatever was at its name without opening it. A picture is decoded once per process and
    // cover, and not at all when its header gives more pixels than a cover needs.
    static bool writeAlbumArt(const QString& artist, const QString& album, const QByteArray& image);
};

#endif // TRACKERMEDIAART_H
