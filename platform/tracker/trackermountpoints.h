#ifndef TRACKERMOUNTPOINTS_H
#define TRACKERMOUNTPOINTS_H

#include <QSet>
#include <QString>
#include <QStringList>

// The folders below the music folder that another file system is mounted on, now or at an
// earlier scan. An unmounted disk or share leaves an empty folder (or none) where its files
// were, which the indexer must not take for the files having been deleted; once a folder has
// been seen mounted, it is remembered in a small file until the store holds nothing below it.
// Used by the indexer's thread only.
class TrackerMountPoints
{
public:
    // memoryFile keeps the folders seen mounted between starts; empty: nothing is kept.
    explicit TrackerMountPoints(const QString& memoryFile);

    // The folders at or below root that something is mounted on now, as the kernel's mount
    // table of this process lists them, spelt from root as given (root need not be canonical).
    static QStringList mountedAt(const QString& root);
    // Test hook: folders reported as mounted besides those of the mount table (the tests must
    // not mount anything on a shared machine). An empty list ends it.
    static void setMountedForTesting(const QStringList& folders);

    // The folders at or below root seen mounted at this scan or an earlier one; the ones
    // mounted now are remembered from here on.
    QStringList remembered(const QString& root, const QStringList& mountedNow);
    // Forgets a folder that is not mounted and holds nothing the store keeps.
    void forget(const QString& folder);
    // Writes the folders remembered, when they changed.
    void save();

private:
    void load();

    QString m_file;
    QSet<QString> m_folders;
    bool m_loaded = false;
    bool m_changed = false;
};

#endif // TRACKERMOUNTPOINTS_H
