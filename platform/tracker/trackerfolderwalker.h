#ifndef TRACKERFOLDERWALKER_H
#define TRACKERFOLDERWALKER_H

#include <QAtomicInt>
#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

// A song or playlist file the walk found.
struct TrackerFoundFile
{
    QByteArray path;     // native: the bytes the file system holds, valid UTF-8 or not
    qint64 modified = 0; // seconds since the epoch
    qint64 size = 0;
    bool playlist = false;
    // Left to the indexer's scan: the store has the file, and has it as it is now (same time).
    bool inStore = false;
    bool unchanged = false;
};

// Lists the songs and playlist files below a folder without opening any of them. Only regular
// files are taken (also through a link); a pipe, device or socket with a music name is left
// out and logged, once per path for the life of the walker's owner. Folders reached through a
// link are not entered. Names go as the bytes they are, so a name that is not UTF-8 is found
// and kept in its percent-encoded URL.
class TrackerFolderWalker
{
public:
    // cancelled is polled before every entry; reported keeps the skipped paths already logged.
    TrackerFolderWalker(const QAtomicInt* cancelled, QSet<QByteArray>* reported);

    // False when it was cancelled before the end: then files is not the whole folder.
    bool walk(const QString& root);

    // Found files by URL.
    QHash<QString, TrackerFoundFile> files;
    // The folders walked, root first, as paths that QFileSystemWatcher can take.
    QStringList folders;
    // The URLs of folders that are there but could not be read (no permission, an I/O error):
    // what the store has of them is not known to be gone.
    QStringList unreadable;

    // The store's URL of a native path; equal to TrackerPlaylistReader::fileUrl() for names
    // the locale can decode.
    static QString fileUrl(const QByteArray& path);
    // A native name made readable (undecodable bytes become U+FFFD).
    static QString displayName(const QByteArray& name);

    // For tests: called on the walking thread with the path of each folder once it has been
    // read, so that a test can change the folders at a known point of a walk. Empty: none.
    static void setFolderReadForTesting(std::function<void(const QString& folder)> hook);

private:
    void skip(const QByteArray& path, const QString& why);
    // The URL of a file in a folder whose URL is known: the same text as fileUrl(), made
    // without a QUrl for the common names.
    static QString urlIn(const QString& folderUrl, const QByteArray& folder,
                         const QByteArray& name);

    const QAtomicInt* m_cancelled;
    QSet<QByteArray>* m_reported;
};

#endif // TRACKERFOLDERWALKER_H
