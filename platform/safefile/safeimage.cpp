#include "safeimage.h"

#include "safefile.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcSafeImage, "parlovance.pictures")

namespace {

// The raster format of a picture by its first bytes; empty for anything else. Only these are
// ever decoded: a reader left to guess takes SVG too, and an SVG picture names files that its
// renderer opens (a named pipe there blocks the reading thread for good).
QByteArray rasterFormat(QIODevice* device)
{
    const QByteArray head = device->peek(8);
    if (head.startsWith("\xff\xd8\xff"))
        return QByteArrayLiteral("jpeg");
    if (head.startsWith("\x89PNG\r\n\x1a\n"))
        return QByteArrayLiteral("png");
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return QByteArrayLiteral("gif");
    if (head.startsWith("BM"))
        return QByteArrayLiteral("bmp");
    return QByteArray();
}

// what: the picture as messages name it.
QImage readFrom(QIODevice* device, const QString& what, const QSize& fit, QSize* claimedSize)
{
    const QByteArray format = rasterFormat(device);
    if (format.isEmpty()) {
        qCDebug(lcSafeImage).noquote() << what << "is not read: it is no JPEG, PNG, GIF or BMP";
        return QImage();
    }
    QImageReader reader(device, format);
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (claimedSize)
        *claimedSize = size;
    if (!size.isValid())
        return QImage();
    if (!SafeImage::allowed(size)) {
        qCWarning(lcSafeImage).noquote()
            << what << "is not read: it is" << size.width() << "x" << size.height()
            << "pixels, more than a picture is read at";
        return QImage();
    }
    if (fit.isValid() && (size.width() > fit.width() || size.height() > fit.height()))
        reader.setScaledSize(size.scaled(fit, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    QImage image;
    if (!reader.read(&image))
        qCDebug(lcSafeImage).noquote() << what << "cannot be read:" << reader.errorString();
    return image;
}

} // namespace

bool SafeImage::allowed(const QSize& size)
{
    return size.isValid() && qint64(size.width()) * size.height() <= MaxPixels;
}

QImage SafeImage::read(const QString& path, const QSize& fit, QSize* claimedSize)
{
    if (claimedSize)
        *claimedSize = QSize();
    QFile file;
    if (!SafeFile::openRegular(path, &file))
        return QImage();
    if (file.size() > MaxFileSize) {
        qCWarning(lcSafeImage) << "the picture" << path << "is not read: the file has"
                               << file.size() << "bytes";
        return QImage();
    }
    return readFrom(&file, QStringLiteral("The picture ") + path, fit, claimedSize);
}

QImage SafeImage::fromData(const QByteArray& data, const QSize& fit, QSize* claimedSize)
{
    if (claimedSize)
        *claimedSize = QSize();
    if (data.size() > MaxFileSize) {
        qCWarning(lcSafeImage) << "a picture of" << data.size() << "bytes is not read";
        return QImage();
    }
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return readFrom(&buffer, QStringLiteral("A picture held in memory"), fit, claimedSize);
}
