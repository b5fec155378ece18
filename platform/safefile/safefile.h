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

    // Opens a file that a user or another program named, for reading, once: without waiting (a
    // pipe opened for reading waits for a writer, for ever if none comes), then its kind is
    // checked on the open descriptor, so what was checked is what is read, whatever the name
    // stands for by then. Returns the descriptor of a regular file (links followed), in blocking
    // mode, for the caller to read or hand on and close; else -1, with what the name was in
    // reason ("a named pipe", or the system's error text).
    static int openRegularDescriptor(const QByteArray& nativePath, QString* reason = nullptr);
    // Reads at most maxBytes from the start of such a descriptor; false when reading fails.
    static bool readDescriptor(int fd, qint64 maxBytes, QByteArray* data);
    // Reads the regular file a user named, once, through openRegularDescriptor: at most maxBytes
    // (false past that, or when it is no regular file or cannot be read, with the reason).
    static bool readRegular(const QByteArray& nativePath, qint64 maxBytes, QByteArray* data,
                            QString* reason = nullptr);
    // A parser that takes only a name (a playlist parser) is handed a private copy of what was
    // read instead of the user's name. The copy stands at root followed by the original's
    // absolute path (native bytes), so that entries relative to the copy resolve inside root as
    // they do beside the original; originalUrl() maps them back. Returns the copy's native path,
    // or an empty one when it cannot be written.
    static QByteArray writeMirror(const QString& root, const QByteArray& originalPath,
                                  const QByteArray& data);
    // The same without a copy: a link at root followed by the original's path to the open
    // descriptor's entry in /proc, so that the parser, in this process, opens the very file that
    // was checked and reads no more of it than it wants. fd must stay open while it is read.
    static QByteArray linkMirror(const QString& root, const QByteArray& originalPath, int fd);
    // The file address that an encoded file address inside root's mirror stands for, byte for
    // byte; an empty one for an address outside it.
    static QByteArray originalUrl(const QString& root, const QByteArray& encodedUrl);
    // What a file of this st_mode is, for messages ("a named pipe").
    static QString kindOf(unsigned int mode);

    // The largest target a link may have for claim() to copy it.
    static const qint64 MaxCopiedSize = 16 * 1024 * 1024;
};

#endif // SAFEFILE_H
