#ifndef AUDIOGENERATOR_H
#define AUDIOGENERATOR_H

#include <QByteArray>
#include <QImage>
#include <QString>

// Tags written into a generated audio file. Empty texts and zero numbers are left out.
struct AudioTags
{
    QString title;
    QString artist;
    QString album;
    QString albumArtist;
    QString genre;
    int trackNumber = 0;
    int year = 0;
    QImage cover; // embedded as a JPEG front cover when not null
};

// Writes short tagged audio files for fixture libraries. The format follows the suffix:
// .ogg (Vorbis), .mp3 (MPEG layer 3 with ID3v2) or .flac. Audio is encoded by GStreamer once
// per format and length in a process and copied from then on, so a file costs milliseconds.
class AudioGenerator
{
public:
    // Returns false (with a warning) when the file cannot be made.
    static bool write(const QString& path, const AudioTags& tags, int durationMs = 1000);

    // A plain square cover in one colour, for tests that look at embedded art.
    static QImage coverImage(const QColor& color, int size = 64);
    // A black one-bit PNG of any size: a few kilobytes on disk, width x height pixels decoded.
    static QByteArray blackPng(int width, int height);
    static QByteArray pngOf(const QImage& image);
    // Embeds a picture as it is (not re-encoded) as the front cover of an Ogg Vorbis file.
    static bool embedPicture(const QString& path, const QByteArray& bytes, const char* mime);

    // Encoded audio without tags, made once per format and length and cached: mp3, ogg, flac,
    // and opus, spx (Speex), oga (Ogg FLAC) and wv (WavPack), which write() does not tag.
    static QString untaggedTemplate(const QString& suffix, int durationMs);
};

#endif // AUDIOGENERATOR_H
