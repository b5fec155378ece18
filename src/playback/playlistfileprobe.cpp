#include "playlistfileprobe.h"

#include "common/logging.h"
#include "safefile.h"
#include "zelplaylistparser.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <magic.h>
#include <unistd.h>

namespace {

// The playlist formats the player's reader takes, by the suffix a playlist file is saved with.
const char* const PlaylistSuffixes[] = { "pls", "m3u",  "m3u8", "asx",  "wax",
                                         "wvx", "xspf", "wpl",  "smil", "ram" };
// How a playlist's text begins: PLS, extended M3U, the reference file of an ASF stream.
const char* const PlaylistHeads[] = { "[playlist]", "#extm3u", "[reference]" };
// The root elements of the XML playlists: ASX, XSPF, SMIL and WPL, podcast feeds.
const char* const PlaylistRoots[] = { "<asx", "<playlist", "<smil", "<rss", "<feed" };
// Enough of a text to get past a playlist's comments to its first entry.
const int HeadBytes = 8192;
// What the type database is shown of a file: its signatures lie within the first 64 KiB (the
// furthest it knows, a disc image's, 32 KiB in). A file is never read further, however large.
const qint64 ProbeBytes = 64 * 1024;

bool isMediaType(const QString& type)
{
    return type.startsWith(QLatin1String("audio/")) || type.startsWith(QLatin1String("video/"))
           || type == QLatin1String("application/ogg")
           || type == QLatin1String("application/octet-stream");
}

bool isTextType(const QString& type)
{
    return type.startsWith(QLatin1String("text/")) || type == QLatin1String("application/xml")
           || type.endsWith(QLatin1String("+xml"));
}

// The first bytes of a local file; false when it is no regular file or cannot be read. The
// file is opened once, without waiting, and its kind told on the open file: a name swapped for
// a pipe after an earlier look is not waited on.
bool headOf(const QString& path, QByteArray* head)
{
    head->clear();
    if (path.isEmpty())
        return false;
    const int fd = SafeFile::openRegularDescriptor(QFile::encodeName(path));
    if (fd < 0)
        return false;
    const bool read = SafeFile::readDescriptor(fd, ProbeBytes, head);
    ::close(fd);
    return read;
}

// A text the playlist reader takes, given the head of the file: named as a playlist, beginning
// as one, or a bare list of absolute paths and addresses, one a line, as an M3U without its
// header holds them.
bool readsAsPlaylist(const QString& path, const QByteArray& fileHead)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const char* playlistSuffix : PlaylistSuffixes) {
        if (suffix == QLatin1String(playlistSuffix))
            return true;
    }
    const QByteArray text = fileHead.left(HeadBytes);
    QByteArray head = text.toLower();
    if (head.startsWith("\xef\xbb\xbf"))
        head.remove(0, 3);
    const QByteArray start = head.trimmed();
    for (const char* playlistHead : PlaylistHeads) {
        if (start.startsWith(playlistHead))
            return true;
    }
    if (start.startsWith('<')) {
        for (const char* root : PlaylistRoots) {
            if (head.contains(root))
                return true;
        }
        return false;
    }
    // The player's reader takes such a text for a plain list, by the same rule.
    return !ZelPlaylistParser::plainListEntries(text).isEmpty();
}

} // namespace

PlaylistFileProbe::PlaylistFileProbe()
    : cookie(nullptr)
    , failed(false)
{
}

PlaylistFileProbe::~PlaylistFileProbe()
{
    if (cookie)
        magic_close(static_cast<magic_t>(cookie));
}

bool PlaylistFileProbe::isPlaylistFile(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
        const QString suffix = QFileInfo(url.path()).suffix().toLower();
        return suffix == QLatin1String("pls") || suffix == QLatin1String("m3u")
               || suffix == QLatin1String("m3u8");
    }
    QByteArray head;
    if (!headOf(url.toLocalFile(), &head))
        return false;
    return typeOf(head).startsWith(QLatin1String("text"));
}

QString PlaylistFileProbe::unplayableType(const QUrl& url)
{
    if (!url.isLocalFile())
        return QString();
    const QString path = url.toLocalFile();
    QByteArray head;
    if (!headOf(path, &head))
        return QString();
    const QString type = typeOf(head);
    if (type.isEmpty() || isMediaType(type) || (isTextType(type) && readsAsPlaylist(path, head)))
        return QString();
    return type;
}

QString PlaylistFileProbe::typeOf(const QByteArray& head)
{
    magic_t database = static_cast<magic_t>(openDatabase());
    if (!database)
        return QString();
    const char* answer = magic_buffer(database, head.constData(), size_t(head.size()));
    if (!answer) {
        qCWarning(lcPlayback) << Q_FUNC_INFO << "- the type of a file is unknown:"
                              << magic_error(database);
        return QString();
    }
    // "type; charset=...": the charset is "binary" for anything but a text.
    const QString answered = QString::fromLatin1(answer);
    const int charset = answered.indexOf(QLatin1String("; charset="));
    const QString type = charset < 0 ? answered : answered.left(charset);
    const bool textual = charset >= 0 && answered.mid(charset + 10) != QLatin1String("binary");
    if (textual && type == QLatin1String("application/octet-stream"))
        return QStringLiteral("text/plain");
    return type;
}

void* PlaylistFileProbe::openDatabase()
{
    if (!cookie && !failed) {
        // The signatures of audio, pictures, programs and the like, and whether the head is a
        // text, leaving out the database's tests of texts: those match patterns line by line (a
        // few milliseconds for a long text) to tell kinds of text apart, when whether a text
        // is a playlist is the reader's rule.
        magic_t opened = magic_open(MAGIC_MIME_TYPE | MAGIC_MIME_ENCODING | MAGIC_NO_CHECK_TEXT);
        if (opened && magic_load(opened, nullptr) != 0) {
            magic_close(opened);
            opened = nullptr;
        }
        if (!opened) {
            qCWarning(lcPlayback) << Q_FUNC_INFO << "- the file type database cannot be opened";
            failed = true;
            return nullptr;
        }
        cookie = opened;
    }
    return cookie;
}
