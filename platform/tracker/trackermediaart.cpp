#include "trackermediaart.h"

#include "trackerlogging.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegExp>
#include <QSaveFile>

namespace {

bool fileHolds(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.size() == bytes.size() && file.readAll() == bytes;
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
        static const QRegExp blocks(QStringLiteral(
            "(\\([^\\)]*\\))|(\\[[^\\]]*\\])|(\\{[^\\}]*\\})|(\\<[^\\>]*\\>)"));
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
    // Every song of an album mostly carries the same JPEG: once it is on disk, the album's
    // other songs are not decoded again.
    const bool jpeg = image.startsWith("\xff\xd8");
    if (jpeg && fileHolds(path, image))
        return true;
    QImage picture;
    if (!picture.loadFromData(image)) {
        qCDebug(lcIndexer) << Q_FUNC_INFO << "- the embedded picture cannot be decoded for"
                           << album;
        return false;
    }
    QByteArray data = image;
    if (!jpeg) {
        data.clear();
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        if (!picture.save(&buffer, "JPEG"))
            return false;
        if (fileHolds(path, data))
            return true;
    }
    QDir().mkpath(directory());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qCDebug(lcIndexer) << Q_FUNC_INFO << "- cannot write" << path;
        return false;
    }
    file.write(data);
    return file.commit();
}
