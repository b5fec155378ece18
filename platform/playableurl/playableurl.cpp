#include "playableurl.h"

#include <QDebug>
#include <QLoggingCategory>
#include <QUrl>

#include <glib.h>
#include <sys/stat.h>

Q_LOGGING_CATEGORY(lcPlayableUrl, "parlovance.playback.urls")

namespace {

// The file named by a file URL, as the bytes the file system knows it by: a name that is not
// UTF-8 stays percent-encoded in the URL and comes back here byte for byte.
QString localFileRefusal(const QUrl& url)
{
    gchar* host = nullptr;
    gchar* path = g_filename_from_uri(url.toEncoded().constData(), &host, nullptr);
    const bool remote = host && qstrcmp(host, "localhost") != 0;
    struct stat status;
    const bool found = path && !remote && ::stat(path, &status) == 0;
    g_free(host);
    g_free(path);
    if (remote)
        return QStringLiteral("a file on another host");
    if (!path)
        return QStringLiteral("not a file address");
    if (!found)
        return QStringLiteral("no such file");
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("not a regular file");
    return QString();
}

} // namespace

QString PlayableUrl::refusal(const QUrl& url)
{
    if (!url.isValid() || url.isEmpty())
        return QStringLiteral("not a valid address");
    const QString scheme = url.scheme();
    if (scheme == QLatin1String("file"))
        return localFileRefusal(url);
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return url.host().isEmpty() ? QStringLiteral("an address without a server") : QString();
    if (scheme.isEmpty())
        return QStringLiteral("an address without a scheme");
    return QStringLiteral("the scheme \"%1\" is not played").arg(scheme);
}

bool PlayableUrl::check(const QUrl& url, const char* caller)
{
    const QString reason = refusal(url);
    if (reason.isEmpty())
        return true;
    qCWarning(lcPlayableUrl).nospace()
        << caller << " - refused " << url.toString(QUrl::FullyEncoded).left(200) << ": " << reason;
    return false;
}
