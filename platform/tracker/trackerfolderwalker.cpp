#include "trackerfolderwalker.h"

#include "trackerlogging.h"
#include "trackerplaylistreader.h"
#include "trackerregularfile.h"
#include "trackersparql.h"
#include "trackertagreader.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include <dirent.h>
#include <sys/stat.h>

namespace {

bool decodes(const QByteArray& path)
{
    return QFile::encodeName(QFile::decodeName(path)) == path;
}

// Whether a name is one the indexer wants, by its suffix (always ASCII).
bool wanted(const QByteArray& name, bool* playlist)
{
    const int dot = name.lastIndexOf('.');
    if (dot < 0)
        return false;
    const QString suffix = QStringLiteral("x.") + QString::fromLatin1(name.mid(dot + 1));
    *playlist = TrackerPlaylistReader::isPlaylistFile(suffix);
    return *playlist || TrackerTagReader::isAudioFile(suffix);
}

} // namespace

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

void TrackerFolderWalker::skip(const QByteArray& path, const QString& why)
{
    if (m_reported->contains(path))
        return;
    m_reported->insert(path);
    qCWarning(lcIndexer).noquote() << "TrackerFolderWalker: skipped" << fileUrl(path) << ":"
                                   << why;
}

bool TrackerFolderWalker::walk(const QString& root)
{
    QByteArrayList pending{ QFile::encodeName(QFileInfo(root).absoluteFilePath()) };
    while (!pending.isEmpty()) {
        const QByteArray folder = pending.takeLast();
        if (decodes(folder))
            folders.append(QFile::decodeName(folder));
        DIR* dir = ::opendir(folder.constData());
        if (!dir) {
            qCDebug(lcIndexer) << Q_FUNC_INFO << "- cannot read the folder" << fileUrl(folder);
            continue;
        }
        while (const dirent* entry = ::readdir(dir)) {
            if (m_cancelled->loadAcquire()) {
                ::closedir(dir);
                return false;
            }
            const QByteArray name(entry->d_name);
            if (name == "." || name == "..")
                continue;
            const QByteArray path = folder + '/' + name;
            struct stat status;
            if (::lstat(path.constData(), &status) != 0)
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
                if (::stat(path.constData(), &status) != 0) {
                    skip(path, QStringLiteral("a link to nothing"));
                    continue;
                }
                if (S_ISDIR(status.st_mode))
                    continue;
                if (!S_ISREG(status.st_mode)) {
                    skip(path, QStringLiteral("a link to ")
                                   + TrackerRegularFile::kindOf(status.st_mode));
                    continue;
                }
            } else if (!S_ISREG(status.st_mode)) {
                skip(path, TrackerRegularFile::kindOf(status.st_mode));
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
            file.modified = TrackerSparql::timeText(
                QDateTime::fromSecsSinceEpoch(qint64(status.st_mtim.tv_sec), Qt::UTC));
            file.size = qint64(status.st_size);
            file.playlist = playlist;
            files.insert(fileUrl(path), file);
        }
        ::closedir(dir);
    }
    return true;
}
