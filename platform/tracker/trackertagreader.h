#ifndef TRACKERTAGREADER_H
#define TRACKERTAGREADER_H

#include <QByteArray>
#include <QString>

// What the indexer learns from one audio file.
struct TrackerTrackInfo
{
    QString title;
    QString artist;
    QString album;
    QString albumArtist;
    QString genre;
    QString comment;
    QString composer;
    QString lyricist;
    QString copyright;
    QString encodedBy;
    QString publisher;
    int trackNumber = 0;
    int discNumber = 0;
    int year = 0;
    int durationSeconds = 0;
    int bitrate = 0;    // bits per second
    int sampleRate = 0; // Hz
    int channels = 0;
    QByteArray cover; // the embedded front cover (or first picture), encoded as stored
};

// Reads tags and audio properties with TagLib. Safe to use on a worker thread.
class TrackerTagReader
{
public:
    // The most characters kept of one tag text; the rest of a longer one is left out.
    static const int MaxTextLength = 4000;

    static bool isAudioFile(const QString& path);
    // The same, for a file name's suffix in lower case.
    static bool isAudioSuffix(const QString& suffix);
    // False (with the reason) when the file cannot be read as audio. Only a regular file is
    // read (a pipe or device named .mp3 would block or never end), through the one descriptor
    // whose kind was checked. What TagLib parses of the tags is bounded (TrackerTagKinds): a file
    // whose tags are over the bound and cannot be bounded is read as one of no tags (true, with
    // an empty info), so that it is known by its name.
    static bool read(const QString& path, TrackerTrackInfo* info, QString* reason);
    // The same for a native path (the file system's bytes, which need not be UTF-8).
    static bool read(const QByteArray& path, TrackerTrackInfo* info, QString* reason);

private:
    // Reads the file open at fd; name gives TagLib the file's kind by its suffix.
    static bool readOpen(int fd, const QByteArray& name, TrackerTrackInfo* info, QString* reason);
};

#endif // TRACKERTAGREADER_H
