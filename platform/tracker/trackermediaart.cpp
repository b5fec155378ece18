#include "trackermediaart.h"

#include "trackerlogging.h"
#include "trackerregularfile.h"
#include "safeimage.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QMutex>
#include <QWaitCondition>
#include <QRegExp>
#include <QSet>

namespace {

bool fileHolds(const QString& path, const QByteArray& bytes)
{
    QByteArray existing;
    return TrackerRegularFile::read(QFile::encodeName(path), bytes.size(), &existing)
           && existing == bytes;
}

// The covers handled in this process: cache file to digest of the embedded picture it was
// made from, and digests of pictures that were refused. An album's songs mostly carry one
// picture; it is looked at once, not once per song.
QMutex coversMutex;
QHash<QString, QByteArray> coversWritten;
QSet<QByteArray> coversRefused;
// Cache files being made now: the tag readers run in parallel, and a second song of an album
// waits for the first one's cover instead of decoding the same picture again.
QSet<QString> coversInProgress;
QWaitCondition coverDone;
const int MaxCoversRemembered = 4096;

// The latest pictures handled, as they were, newest first. The songs of an album mostly come
// one after another, each with the album's picture: compared byte for byte with the one
// before, a picture costs a fraction of its digest (a cover of 200 kB takes 0.3 ms to digest,
// which for a library whose every song carries its cover is more than reading its tags).
struct RecentCover
{
    QString path;
    QByteArray picture;
    bool written;
};
QList<RecentCover> recentCovers;
const int MostRecentCovers = 8;
const int MostRecentCoverBytes = 16 * 1024 * 1024;
const int LargestRecentCover = 4 * 1024 * 1024;

void rememberRecent(const QString& path, const QByteArray& picture, bool written)
{
    if (picture.size() > LargestRecentCover)
        return;
    for (int i = 0; i < recentCovers.size(); ++i) {
        if (recentCovers.at(i).path == path) {
            recentCovers.removeAt(i);
            break;
        }
    }
    recentCovers.prepend({ path, picture, written });
    qint64 bytes = 0;
    for (int i = 0; i < recentCovers.size(); ++i) {
        bytes += recentCovers.at(i).picture.size();
        if (i >= MostRecentCovers || bytes > MostRecentCoverBytes) {
            recentCovers.erase(recentCovers.begin() + i, recentCovers.end());
            break;
        }
    }
}

} // namespace

QString TrackerMediaArt::directory()
{
    return QDir::homePath() + QStringLiteral("/.cache/media-art");
}

QString TrackerMediaArt::mediaArtHash(const QString& text)
{
    QString work;
    if (text.isEmpty()) {
        work = QStringLiteral(" ");
    } else {
        work = text;
        // Both expressions are matched as the album-art code matches them (QRegExp), so the
        // names agree to the byte.
        static const QRegExp blocks(
            QStringLiteral("(\\([^\\)]*\\))|(\\[[^\\]]*\\])|(\\{[^\\}]*\\})|(\\<[^\\>]*\\>)"));
        static const QRegExp punctuation(QStringLiteral(
            "[\\(\\)\\_\\{\\}\\[\\]\\!\\@\\#\\$\\^\\&\\*\\+\\=\\|\\\\\\/\\\"\\'\\?\\<\\>\\~\\`]+"));
        static const QRegExp spaces(QStringLiteral("\\s+"));
        static const QRegExp ends(QStringLiteral("(^\\s+)|(\\s+$)"));
        work.remove(blocks);
        work.remove(punctuation);
        work.replace(QLatin1Char('\t'), QLatin1Char(' '));
        work.replace(spaces, QStringLiteral(" "));
        work.remove(ends);
        if (work.isEmpty())
            work = QStringLiteral(" ");
    }
    return QString::fromLatin1(
        QCryptographicHash::hash(work.toLower().toUtf8(), QCryptographicHash::Md5).toHex());
}

QString TrackerMediaArt::albumArtPath(const QString& artist, const QString& album)
{
    const QString artistHash = mediaArtHash(artist);
    const QString albumHash = artist == album ? artistHash : mediaArtHash(album);
    return directory() + QStringLiteral("/album-") + artistHash + QLatin1Char('-') + albumHash
           + QStringLiteral(".jpeg");
}

bool TrackerMediaArt::writeAlbumArt(const QString& artist, const QString& album,
                                    const QByteArray& image)
{
    if (image.isEmpty() || album.isEmpty())
        return false;
    const QString path = albumArtPath(artist, album);
    {
        QMutexLocker lock(&coversMutex);
        while (coversInProgress.contains(path))
            coverDone.wait(&coversMutex);
        for (const RecentCover& recent : qAsConst(recentCovers)) {
            if (recent.path != path || recent.picture != image)
                continue;
            if (!recent.written)
                return false;
            if (TrackerRegularFile::isRegular(QFile::encodeName(path)))
                return true;
            break;
        }
    }
    const QByteArray digest = QCryptographicHash::hash(image, QCryptographicHash::Md5);
    {
        QMutexLocker lock(&coversMutex);
        while (coversInProgress.contains(path))
            coverDone.wait(&coversMutex);
        if (coversRefused.contains(digest)) {
            rememberRecent(path, image, false);
            return false;
        }
        if (coversWritten.value(path) == digest
            && TrackerRegularFile::isRegular(QFile::encodeName(path))) {
            rememberRecent(path, image, true);
            return true;
        }
        coversInProgress.insert(path);
    }
    struct Finish
    {
        const QString& path;
        ~Finish()
        {
            QMutexLocker lock(&coversMutex);
            coversInProgress.remove(path);
            coverDone.wakeAll();
        }
    } finish { path };
    auto remember = [&](bool written) {
        QMutexLocker lock(&coversMutex);
        if (coversWritten.size() + coversRefused.size() > MaxCoversRemembered) {
            coversWritten.clear();
            coversRefused.clear();
        }
        if (written)
            coversWritten.insert(path, digest);
        else
            coversRefused.insert(digest);
        rememberRecent(path, image, written);
        return written;
    };
    // A JPEG already on disk as it is needs no decoding.
    const bool jpeg = image.startsWith("\xff\xd8");
    if (jpeg && fileHolds(path, image))
        return remember(true);

    // Pictures larger than covers are ever decoded at are refused like undecodable ones. A
    // JPEG is written as it came and decoded only to see that it can be: to the smallest size,
    // for which the decoder reads all of its data but does an eighth of the pixel work.
    const QImage picture = SafeImage::fromData(image, jpeg ? QSize(1, 1) : QSize());
    if (picture.isNull()) {
        qCDebug(lcIndexer) << Q_FUNC_INFO << "- the embedded picture cannot be used for" << album;
        return remember(false);
    }
    qCDebug(lcIndexer) << Q_FUNC_INFO << "- decoded the embedded picture of" << album;
    QByteArray data = image;
    if (!jpeg) {
        data.clear();
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        if (!picture.save(&buffer, "JPEG"))
            return remember(false);
        if (fileHolds(path, data))
            return remember(true);
    }
    QDir().mkpath(directory());
    QString reason;
    if (!TrackerRegularFile::replace(path, data, &reason)) {
        qCWarning(lcIndexer) << Q_FUNC_INFO << "- cannot write" << path << ":" << reason;
        return false;
    }
    return remember(true);
}
