#include "trackermountpoints.h"

#include "safefile.h"
#include "trackerlogging.h"
#include "trackerregularfile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>

namespace {

// Far more than any list of folders mounted below a music folder. Each folder is kept on a line
// of its own, percent-encoded, so that any name fits.
const qint64 MaxMemoryBytes = 1024 * 1024;

QMutex testingLock;
QStringList mountedForTesting;

// A path of the mount table: blanks, tabs, new lines and backslashes stand there as octal
// escapes ("\040").
QByteArray unescaped(const QByteArray& field)
{
    QByteArray path;
    path.reserve(field.size());
    for (int i = 0; i < field.size(); ++i) {
        if (field.at(i) == '\\' && i + 3 < field.size() && field.at(i + 1) >= '0'
            && field.at(i + 1) <= '3') {
            bool ok = false;
            const int value = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                path.append(char(value));
                i += 3;
                continue;
            }
        }
        path.append(field.at(i));
    }
    return path;
}

bool isAtOrBelow(const QString& path, const QString& folder)
{
    return path == folder
           || (path.size() > folder.size() + 1 && path.startsWith(folder)
               && path.at(folder.size()) == QLatin1Char('/'));
}

} // namespace

TrackerMountPoints::TrackerMountPoints(const QString& memoryFile)
    : m_file(memoryFile)
{
}

QStringList TrackerMountPoints::mountedAt(const QString& root)
{
    QStringList found;
    const QString spelt = QDir::cleanPath(QFileInfo(root).absoluteFilePath());
    {
        QMutexLocker locker(&testingLock);
        for (const QString& folder : qAsConst(mountedForTesting)) {
            if (isAtOrBelow(QDir::cleanPath(folder), spelt))
                found.append(QDir::cleanPath(folder));
        }
    }
    const QString canonical = QFileInfo(root).canonicalFilePath();
    if (canonical.isEmpty())
        return found;
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly))
        return found;
    // The fifth field of each line is where the file system is mounted, as this process sees
    // it; canonical, so the music folder is compared in its canonical form too.
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 5)
            continue;
        const QString point = QFile::decodeName(unescaped(fields.at(4)));
        if (isAtOrBelow(point, canonical))
            found.append(spelt + point.mid(canonical.size()));
    }
    found.removeDuplicates();
    return found;
}

void TrackerMountPoints::setMountedForTesting(const QStringList& folders)
{
    QMutexLocker locker(&testingLock);
    mountedForTesting = folders;
}

void TrackerMountPoints::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    if (m_file.isEmpty())
        return;
    QByteArray data;
    if (!TrackerRegularFile::read(QFile::encodeName(m_file), MaxMemoryBytes, &data))
        return;
    for (const QByteArray& line : data.split('\n')) {
        if (!line.isEmpty())
            m_folders.insert(QFile::decodeName(QByteArray::fromPercentEncoding(line)));
    }
}

QStringList TrackerMountPoints::remembered(const QString& root, const QStringList& mountedNow)
{
    load();
    for (const QString& folder : mountedNow) {
        if (!m_folders.contains(folder)) {
            m_folders.insert(folder);
            m_changed = true;
        }
    }
    const QString spelt = QDir::cleanPath(QFileInfo(root).absoluteFilePath());
    QStringList found;
    for (const QString& folder : qAsConst(m_folders)) {
        if (isAtOrBelow(folder, spelt))
            found.append(folder);
    }
    found.sort();
    return found;
}

void TrackerMountPoints::forget(const QString& folder)
{
    if (m_folders.remove(folder))
        m_changed = true;
}

void TrackerMountPoints::save()
{
    if (!m_changed || m_file.isEmpty())
        return;
    QStringList folders(m_folders.cbegin(), m_folders.cend());
    folders.sort();
    QByteArray data;
    for (const QString& folder : qAsConst(folders))
        data += QFile::encodeName(folder).toPercentEncoding("/") + '\n';
    if (SafeFile::write(m_file, data))
        m_changed = false;
    else
        qCWarning(lcIndexer) << Q_FUNC_INFO << "- cannot write" << m_file;
}
