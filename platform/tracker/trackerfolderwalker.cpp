#include "trackerfolderwalker.h"

#include "trackerlogging.h"
#include "trackerplaylistreader.h"
#include "trackerregularfile.h"
#include "trackersparql.h"
#include "trackertagreader.h"

#include "safefile.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <mutex>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

bool decodes(const QByteArray& path)
{
    // Plain ASCII goes through every locale's encoding unchanged; most names are, and a
    // rescan asks this of each of a library's files.
    for (const char c : path) {
        if (uchar(c) >= 0x80)
            return QFile::encodeName(QFile::decodeName(path)) == path;
    }
    return true;
}

// Whether a name is one the indexer wants, by its suffix (always ASCII).
bool wanted(const QByteArray& name, bool* playlist)
{
    const int dot = name.lastIndexOf('.');
    if (dot < 0)
        return false;
    const QString suffix = QString::fromLatin1(name.constData() + dot + 1, name.size() - dot - 1)
                               .toLower();
    *playlist = TrackerPlaylistReader::isPlaylistSuffix(suffix);
    return *playlist || TrackerTagReader::isAudioSuffix(suffix);
}

// How QUrl writes each printable ASCII character of a local path, learnt from QUrl itself
// once; null for characters it may write in more than one way.
const QVector<QString>& asciiInUrls()
{
    static const QVector<QString> table = [] {
        QVector<QString> t(128);
        for (int c = 0x20; c < 0x7f; ++c) {
            const QString alone = TrackerPlaylistReader::fileUrl(QStringLiteral("/x") + QChar(c)
                                                                 + 'y');
            const QString twice = TrackerPlaylistReader::fileUrl(QStringLiteral("/x") + QChar(c)
                                                                 + QChar(c) + 'y');
            // "file:///x" + written + "y"
            if (alone.startsWith(QLatin1String("file:///x")) && alone.endsWith(QLatin1Char('y'))) {
                const QString written = alone.mid(9, alone.size() - 10);
                if (twice == QStringLiteral("file:///x") + written + written + QLatin1Char('y'))
                    t[c] = written;
            }
        }
        return t;
    }();
    return table;
}

std::mutex folderReadMutex;
std::function<void(const QString&)> folderRead;

void reportFolderRead(const QByteArray& folder)
{
    std::function<void(const QString&)> hook;
    {
        std::lock_guard<std::mutex> lock(folderReadMutex);
        hook = folderRead;
    }
    if (hook)
        hook(QFile::decodeName(folder));
}

} // namespace

void TrackerFolderWalker::setFolderReadForTesting(std::function<void(const QString&)> hook)
{
    std::lock_guard<std::mutex> lock(folderReadMutex);
    folderRead = std::move(hook);
}

TrackerFolderWalker::TrackerFolderWalker(const QAtomicInt* cancelled, QSet<QByteArray>* reported)
    : m_cancelled(cancelled)
    , m_reported(reported)
{
}

QString TrackerFolderWalker::fileUrl(const QByteArray& path)
{
    if (decodes(path))
        return TrackerPlaylistReader::fileUrl(QFile::decodeName(path));
    return QStringLiteral("file://") + QString::fromLatin1(path.toPercentEncoding("/"));
}

QString TrackerFolderWalker::displayName(const QByteArray& name)
{
    return decodes(name) ? QFile::decodeName(name) : QString::fromUtf8(name);
}

QString TrackerFolderWalker::urlIn(const QString& folderUrl, const QByteArray& folder,
                                   const QByteArray& name)
{
    if (folderUrl.isEmpty())
        return fileUrl(folder + '/' + name);
    const QVector<QString>& table = asciiInUrls();
    QString url = folderUrl;
    if (!url.endsWith(QLatin1Char('/')))
        url += QLatin1Char('/');
    url.reserve(url.size() + name.size() * 3);
    for (const char c : name) {
        const uchar u = uchar(c);
        if (u >= 0x80 || table.at(u).isNull())
            return fileUrl(folder + '/' + name);
        url += table.at(u);
    }
    return url;
}

void TrackerFolderWalker::skip(const QByteArray& path, const QString& why)
{
    if (m_reported->contains(path))
        return;
    m_reported->insert(path);
    qCWarning(lcIndexer).noquote() << "TrackerFolderWalker: skipped" << fileUrl(path) << ":" << why;
}

bool TrackerFolderWalker::walk(const QString& root)
{
    QByteArrayList pending { QFile::encodeName(QFileInfo(root).absoluteFilePath()) };
    while (!pending.isEmpty()) {
        const QByteArray folder = pending.takeLast();
        if (decodes(folder))
            folders.append(QFile::decodeName(folder));
        // Names below a folder the locale cannot decode take the encoded form whole.
        const QString folderUrl = decodes(folder) ? fileUrl(folder) : QString();
        DIR* dir = ::opendir(folder.constData());
        if (!dir) {
            // A folder removed since it was listed is gone; any other failure is not.
            if (errno != ENOENT && errno != ENOTDIR)
                unreadable.append(fileUrl(folder));
            qCDebug(lcIndexer) << Q_FUNC_INFO << "- cannot read the folder" << fileUrl(folder);
            continue;
        }
        while (const dirent* entry = ::readdir(dir)) {
            if (m_cancelled->loadAcquire()) {
                ::closedir(dir);
                return false;
            }
            // Not copied: the entry stays as it is until the next readdir().
            const QByteArray name = QByteArray::fromRawData(entry->d_name,
                                                            int(std::strlen(entry->d_name)));
            if (name == "." || name == "..")
                continue;
            const QByteArray path = folder + '/' + name;
            // Looked up in the open folder: the kernel does not walk the whole path again for
            // each of a large library's files.
            struct stat status;
            if (::fstatat(::dirfd(dir), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            if (S_ISDIR(status.st_mode)) {
                pending.append(path);
                continue;
            }
            bool playlist = false;
            if (!wanted(name, &playlist))
                continue;
            if (S_ISLNK(status.st_mode)) {
                // Looked at, never opened: a link to a device named .mp3 is not read.
                if (::fstatat(::dirfd(dir), entry->d_name, &status, 0) != 0) {
                    skip(path, QStringLiteral("a link to nothing"));
                    continue;
                }
                if (S_ISDIR(status.st_mode))
                    continue;
                if (!S_ISREG(status.st_mode)) {
                    skip(path, QStringLiteral("a link to ") + SafeFile::kindOf(status.st_mode));
                    continue;
                }
            } else if (!S_ISREG(status.st_mode)) {
                skip(path, SafeFile::kindOf(status.st_mode));
                continue;
            }
            if (!decodes(name) && m_reported && !m_reported->contains(path)) {
                m_reported->insert(path);
                qCInfo(lcIndexer).noquote()
                    << "TrackerFolderWalker: the name of" << fileUrl(path)
                    << "is not in the system's encoding; it is kept in its encoded form";
            }
            TrackerFoundFile file;
            file.path = path;
            file.modified = qint64(status.st_mtim.tv_sec);
            file.size = qint64(status.st_size);
            file.playlist = playlist;
            files.insert(urlIn(folderUrl, folder, name), file);
        }
        ::closedir(dir);
        reportFolderRead(folder);
    }
    return true;
}
