// GLib headers come before Qt's: GIO names a member "signals", which Qt defines as a macro.
#include <totem-pl-parser.h>

#include "trackerplaylistreader.h"

#include "safefile.h"
#include "trackerregularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>

namespace {

void entryParsed(TotemPlParser* parser, const char* uri, GHashTable* metadata, gpointer data)
{
    Q_UNUSED(parser)
    Q_UNUSED(metadata)
    if (uri)
        static_cast<QStringList*>(data)->append(QString::fromUtf8(uri));
}

} // namespace

bool TrackerPlaylistReader::isPlaylistFile(const QString& path)
{
    return isPlaylistSuffix(QFileInfo(path).suffix().toLower());
}

bool TrackerPlaylistReader::isPlaylistSuffix(const QString& suffix)
{
    return suffix == QLatin1String("m3u") || suffix == QLatin1String("pls");
}

QString TrackerPlaylistReader::fileUrl(const QString& path)
{
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

QString TrackerPlaylistReader::normalizedUrl(const QString& url)
{
    // The parser hands back plain paths as written in the file, too.
    if (url.startsWith(QLatin1Char('/')))
        return fileUrl(QDir::cleanPath(url));
    if (!url.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return url;
    gchar* path = g_filename_from_uri(url.toUtf8().constData(), nullptr, nullptr);
    if (!path)
        return url;
    const QString local = QFile::decodeName(path);
    g_free(path);
    return fileUrl(local);
}

bool TrackerPlaylistReader::read(const QString& path, QStringList* entryUrls, QString* reason)
{
    return read(QFile::encodeName(path), entryUrls, reason);
}

bool TrackerPlaylistReader::read(const QByteArray& path, QStringList* entryUrls, QString* reason)
{
    entryUrls->clear();
    // The file is looked at before the parser gets it: the parser would wait for ever on a
    // pipe, read a device without end, and walk every number up to the highest FileN of a
    // .pls, however few entries it holds.
    QByteArray text;
    if (!TrackerRegularFile::read(path, MaxBytes, &text, reason))
        return false;
    static const QRegularExpression numbered(QStringLiteral("^\\s*file\\s*(\\d+)\\s*="),
                                             QRegularExpression::CaseInsensitiveOption
                                                 | QRegularExpression::MultilineOption);
    // The parser knows a .pls by its content, whatever the file's name.
    {
        auto match = numbered.globalMatch(QString::fromLatin1(text));
        while (match.hasNext()) {
            const QString number = match.next().captured(1);
            if (number.size() > 9 || number.toInt() > MaxEntries) {
                if (reason)
                    *reason = QStringLiteral("an entry is numbered %1, beyond %2")
                                  .arg(number)
                                  .arg(MaxEntries);
                return false;
            }
        }
    }
    // The parser takes only a name, and would open whatever the name stands for by the time it
    // gets to it: it is handed a private copy of what was read.
    const QByteArray original = path.startsWith('/')
                                    ? path
                                    : QFile::encodeName(QDir::currentPath()) + '/' + path;
    QTemporaryDir mirror(QDir::tempPath() + QStringLiteral("/parlovance-index-XXXXXX"));
    const QByteArray copy = mirror.isValid() ? SafeFile::writeMirror(mirror.path(), original, text)
                                             : QByteArray();
    text.clear();
    if (copy.isEmpty()) {
        if (reason)
            *reason = QStringLiteral("no private copy can be made to read it from");
        return false;
    }
    // The parser is made on this thread so that it reports its entries here, within the call.
    TotemPlParser* parser = totem_pl_parser_new();
    g_object_set(parser, "recurse", FALSE, "disable-unsafe", TRUE, nullptr);
    QStringList raw;
    g_signal_connect(parser, "entry-parsed", G_CALLBACK(entryParsed), &raw);
    gchar* uri = g_filename_to_uri(copy.constData(), nullptr, nullptr);
    const TotemPlParserResult result = uri ? totem_pl_parser_parse(parser, uri, FALSE)
                                           : TOTEM_PL_PARSER_RESULT_ERROR;
    g_free(uri);
    g_object_unref(parser);
    // Entries the parser resolved against the copy stand for the same ones beside the original.
    for (QString& entry : raw) {
        const QByteArray original = SafeFile::originalUrl(mirror.path(), entry.toUtf8());
        if (!original.isEmpty())
            entry = QString::fromUtf8(original);
    }
    if (result != TOTEM_PL_PARSER_RESULT_SUCCESS) {
        if (reason)
            *reason = QStringLiteral("not a playlist that can be read");
        return false;
    }
    if (raw.size() > MaxEntries) {
        if (reason)
            *reason = QStringLiteral("more than %1 entries").arg(MaxEntries);
        return false;
    }
    const QDir folder = QFileInfo(QFile::decodeName(path)).absoluteDir();
    for (const QString& entry : qAsConst(raw)) {
        if (!entry.contains(QLatin1String("://")) && !entry.startsWith(QLatin1Char('/')))
            entryUrls->append(fileUrl(QDir::cleanPath(folder.absoluteFilePath(entry))));
        else
            entryUrls->append(normalizedUrl(entry));
    }
    return true;
}
