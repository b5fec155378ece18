#include "playlistfileprobe.h"

#include "common/logging.h"
#include "zelplaylistparser.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <magic.h>

namespace {

// The playlist formats the player's reader takes, by the suffix a playlist file is saved with.
const char* const PlaylistSuffixes[] = { "pls", "m3u",  "m3u8", "asx",  "wax",
                                         "wvx", "xspf", "wpl",  "smil", "ram" };
// How a playlist's text begins: PLS, extended M3U, the reference file of an ASF stream.
const char* const PlaylistHeads[] = { "[playlist]", "#extm3u", "[reference]" };
// The root elements of the XML playlists: ASX, XSPF, SMIL and WPL, podcast feeds.
const char* const PlaylistRoots[] = { "<asx", "<playlist", "<smil", "<rss", "<feed" };
// Enough of a text to get past a playlist's comments to its first entry.
const qint64 HeadBytes = 8192;

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

// A text the playlist reader takes: named as a playlist, beginning as one, or a bare list of
// absolute paths and addresses, one a line, as an M3U without its header holds them.
bool readsAsPlaylist(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const char* playlistSuffix : PlaylistSuffixes) {
        if (suffix == QLatin1String(playlistSuffix))
            return true;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = file.read(HeadBytes);
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
    const QString path = url.toLocalFile();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    return mimeType(path).startsWith(QLatin1String("text"));
}

QString PlaylistFileProbe::unplayableType(const QUrl& url)
{
    if (!url.isLocalFile())
        return QString();
    const QString path = url.toLocalFile();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return QString();
    const QString type = mimeType(path);
    if (type.isEmpty() || isMediaType(type) || (isTextType(type) && readsAsPlaylist(path)))
        return QString();
    return type;
}

QString PlaylistFileProbe::mimeType(const QString& path)
{
    if (!cookie && !failed) {
        magic_t opened = magic_open(MAGIC_MIME_TYPE);
        if (opened && magic_load(opened, nullptr) != 0) {
            magic_close(opened);
            opened = nullptr;
        }
        if (!opened) {
            qCWarning(lcPlayback) << Q_FUNC_INFO << "- the file type database cannot be opened";
            failed = true;
            return QString();
        }
        cookie = opened;
    }
    if (!cookie)
        return QString();
    const char* type = magic_file(static_cast<magic_t>(cookie),
                                  QFile::encodeName(path).constData());
    if (!type) {
        qCWarning(lcPlayback) << Q_FUNC_INFO << "- the type of" << path << "is unknown";
        return QString();
    }
    return QString::fromLatin1(type);
}
