#ifndef FIXTURELIBRARY_H
#define FIXTURELIBRARY_H

#include <QString>
#include <QStringList>

#include "audiogenerator.h"

// A library for tests: generated audio files in the private music folder, indexed into the
// real store by the real file indexer.
class FixtureLibrary
{
public:
    // Opens the store of the test's private home (once).
    static bool openStore();

    // Writes one tagged audio file below the music folder; returns its absolute path, empty on
    // failure. The format follows the suffix (.ogg, .mp3, .flac).
    // One row of a test's song table.
    struct Song
    {
        const char* path;
        const char* title;
        const char* artist;
        const char* album;
        const char* genre;
        int track;
        int year;
        int durationMs;
        const QImage* cover = nullptr;
    };
    static QString addSong(const Song& song);

    static QString addSong(const QString& relativePath, const AudioTags& tags,
                           int durationMs = 1000);
    // Writes an .m3u (or .pls, by suffix) playlist file listing the given files (absolute
    // paths, or paths relative to the music folder).
    static QString addPlaylist(const QString& relativePath, const QStringList& files);
    static bool removeFile(const QString& relativePath);
    // Moves every entry of one folder into another, made when missing (a folder's files put
    // aside and back, as an unmounted disk takes them); false when one cannot be moved.
    static bool moveEntries(const QString& from, const QString& to);

    // Runs the indexer over the music folder and waits until it has seen everything written so
    // far. False on time-out.
    static bool index(int timeoutMs = 120000);

    // Returns once every store query and update sent so far has run and its answer has reached
    // its receiver, the queries those answers send in turn included (a few rounds deep). After
    // it, an answer that has not come is one that never comes.
    static void settleStore();

    // The file URL the store keeps for a path below the music folder.
    static QString urlOf(const QString& relativePath);
    static QString pathOf(const QString& relativePath);

    // A small library of nine songs in three albums by two artists, plus one song without
    // album and one without artist; written and indexed. Each song lasts durationMs.
    static bool writeStandardLibrary(int durationMs = 1000);
};

#endif // FIXTURELIBRARY_H
