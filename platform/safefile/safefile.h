#ifndef SAFEFILE_H
#define SAFEFILE_H

#include <QByteArray>
#include <QString>

class QFile;

// Files the program keeps for itself (settings, caches) are regular files of their own. A
// symbolic link or a special file planted at such a name must neither take a write meant for
// the program (a link to another file would have that file overwritten) nor hang a read (a
// link to /dev/zero or a named pipe never ends). Nothing found at the name is destroyed except
// a link, whose target stays as it is.
class SafeFile
{
public:
    // Makes path ready for a reader and writer that follow links, such as QSettings:
    // - a regular file, or nothing at all, is left as it is;
    // - a link whose target is a regular file of sane size becomes a regular file holding a
    //   copy of that target, so the settings it pointed at are kept and the target is never
    //   written again;
    // - a link to anything else (a device, a pipe, a folder, nothing) is removed;
    // - a pipe, socket or device found at the name itself is renamed aside with ".unusable".
    // Returns false when the path still is not usable as a regular file (a folder sits there,
    // or the folder holding it refuses changes).
    static bool claim(const QString& path);

    // Writes data whole: into a new temporary file beside path, then renamed over path, which
    // replaces a link or special file at path instead of following or opening it. Returns false
    // and leaves path as it was when any step fails. A file that is only a cache (it can be made
    // again) need not reach the disk before the rename: durable false skips the sync.
    static bool write(const QString& path, const QByteArray& data, bool durable = true);

    // True when path names a regular file itself (a link is not followed).
    static bool isRegular(const QString& path);

    // Opens file (its name set to path) for reading when path is a regular file or a link to
    // one. It never waits: a pipe or device under the name is not opened, and the kind is
    // checked on the open file, so one swapped in after a check by name is not read either.
    static bool openRegular(const QString& path, QFile* file);

    // The largest target a link may have for claim() to copy it.
    static const qint64 MaxCopiedSize = 16 * 1024 * 1024;
};

#endif // SAFEFILE_H
