#include "trackermediaart.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegExp>
#include <QSaveFile>

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
    QImage picture;
    if (!picture.loadFromData(image)) {
        qDebug() << Q_FUNC_INFO << "- the embedded picture cannot be decoded for" << album;
        return false;
    }
    QByteArray jpeg;
    if (image.startsWith("\xff\xd8")) {
        jpeg = image;
    } else {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        if (!picture.save(&buffer, "JPEG"))
            return false;
    }
    const QString path = albumArtPath(artist, album);
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly)) {
        if (existing.size() == jpeg.size() && existing.readAll() == jpeg)
            return true;
        existing.close();
    }
    QDir().mkpath(directory());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qDebug() << Q_FUNC_INFO << "- cannot write" << path;
        return false;
    }
    file.write(jpeg);
    return file.commit();
}
