#include "playlistfileprobe.h"

#include "common/logging.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <magic.h>

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
    if (!cookie && !failed) {
        magic_t opened = magic_open(MAGIC_MIME_TYPE);
        if (opened && magic_load(opened, nullptr) != 0) {
            magic_close(opened);
            opened = nullptr;
        }
        if (!opened) {
            qCWarning(lcPlayback) << Q_FUNC_INFO << "- the file type database cannot be opened";
            failed = true;
            return false;
        }
        cookie = opened;
    }
    if (!cookie)
        return false;
    const char* type = magic_file(static_cast<magic_t>(cookie),
                                  QFile::encodeName(path).constData());
    if (!type) {
        qCWarning(lcPlayback) << Q_FUNC_INFO << "- the type of" << path << "is unknown";
        return false;
    }
    return qstrncmp(type, "text", 4) == 0;
}
