#include "albumartgenerator.h"

#include "albumart/pixmapsaver.h"
#include "common/logging.h"
#include "safeimage.h"

#include "mlocale.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QTextBoundaryFinder>
#include <QVector>

#include <ctime>
#include <mutex>

namespace {

// The colour memory is shared by every generator in the process, on the GUI thread and on the
// thumbnailer at once: one text gets one colour, whoever draws it first.
struct ColourMemory
{
    std::mutex mutex;
    QHash<QString, QString> colours;
};

ColourMemory& colourMemory()
{
    static ColourMemory memory;
    return memory;
}

const int WrapLineLimit = 5;

// Where the characters of a text begin, as a reader counts them (grapheme clusters: a letter
// with its accents, an emoji with the parts joined to it, a flag), and its length at the end.
// A cover's texts are broken and spaced only there: a cut inside a surrogate pair drew
// replacement marks, one before a combining accent an accent on a blank.
QVector<int> characterStarts(const QString& text)
{
    QVector<int> starts { 0 };
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (int at = finder.toNextBoundary(); at > 0; at = finder.toNextBoundary())
        starts.append(at);
    return starts;
}

QStringList characters(const QString& text)
{
    const QVector<int> starts = characterStarts(text);
    QStringList parts;
    for (int i = 1; i < starts.size(); ++i)
        parts.append(text.mid(starts.at(i - 1), starts.at(i) - starts.at(i - 1)));
    return parts;
}

// Covers of one name are drawn at several sizes, by different runs of the program, and cached
// as files: a colour drawn by lot would give one album a green list picture and a magenta
// player picture. The colour follows from the text alone (FNV-1a over its UTF-16 units).
int paletteIndexFor(const QString& text, int paletteSize)
{
    quint32 h = 2166136261u;
    for (const QChar c : text) {
        h ^= c.unicode();
        h *= 16777619u;
    }
    return paletteSize > 0 ? int(h % quint32(paletteSize)) : 0;
}

} // namespace

AlbumArtGenerator::AlbumArtGenerator(QObject* parent)
    : QObject(parent)
    , lineLimit(5)
    , generatedBase(QDir::homePath() + QStringLiteral("/.cache/parlovance/generated/"))
    , font(QStringLiteral("Vaspe Pure"), -1, -1, false)
    , palette({ QStringLiteral("#61B700"), QStringLiteral("#08A7CC"), QStringLiteral("#0267BC"),
                QStringLiteral("#870BBA"), QStringLiteral("#CC0BBA"), QStringLiteral("#E707A0"),
                QStringLiteral("#EF5202"), QStringLiteral("#F2B210"), QStringLiteral("#D3D3D3") })
{
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setWeight(QFont::Bold);
    qsrand(uint(time(nullptr)));
    QDir base;
    base.mkpath(generatedBase);
    for (const char* flavor : { "music-grid", "half-screen", "common" })
        base.mkpath(generatedBase + QLatin1String(flavor));
}

AlbumArtGenerator::~AlbumArtGenerator() = default;

QString AlbumArtGenerator::coverText(const AlbumArtCacheItem& item)
{
    QString text = (item.type == AlbumArtType::ArtistArt ? item.artist : item.album).toUpper();
    const int variant = text.indexOf(QChar(0x9c));
    if (variant >= 0)
        text.truncate(variant);
    return text;
}

QColor AlbumArtGenerator::colorForText(const QString& text)
{
    QString name;
    {
        ColourMemory& memory = colourMemory();
        std::lock_guard<std::mutex> lock(memory.mutex);
        auto it = memory.colours.constFind(text);
        if (it == memory.colours.constEnd())
            it = memory.colours.insert(text, palette.at(paletteIndexFor(text, palette.size())));
        name = it.value();
    }
    QColor colour;
    colour.setNamedColor(name);
    return colour;
}

QString AlbumArtGenerator::wrapText(int width, int height, const QString& text)
{
    Q_UNUSED(height)
    const QFontMetrics metrics(font);
    // Counted in characters: at[i] is where the i-th one begins in the text.
    const QVector<int> at = characterStarts(text);
    const int count = at.size() - 1;
    auto piece = [&](int first, int end) { return text.mid(at[first], at[end] - at[first]); };
    QStringList lines;
    int start = 0;
    for (int end = 1; end <= count; ++end) {
        if (metrics.boundingRect(piece(start, end)).width() > width) {
            lines.append(piece(start, end - 1));
            if (lines.size() == WrapLineLimit)
                break;
            start = end - 1;
        }
    }
    if (lines.size() < WrapLineLimit && start < count)
        lines.append(piece(start, count));
    return lines.isEmpty() ? text : lines.join(QLatin1Char(' '));
}

QString AlbumArtGenerator::backgroundPattern(const QString& text, int side)
{
    const int width = QFontMetrics(font).boundingRect(text).width();
    if (width <= 0)
        return QString();
    const int copies = (lineLimit * side) / width + 1;
    // The blanks go between characters, at places counted in characters of the text.
    const int length = characterStarts(text).size() - 1;
    const QStringList bare = characters(QString(text).remove(QLatin1Char(' ')));
    const QString blank = QStringLiteral(" ");
    QString pattern = text + blank;
    for (int i = 1; i < copies; ++i) {
        QStringList copy = bare;
        for (int b = 0; b < 3; ++b) {
            // A place past the end pads with blanks up to it.
            const int place = qrand() % length;
            while (copy.size() < place)
                copy.append(blank);
            copy.insert(place, blank);
        }
        pattern += copy.join(QString());
    }
    return pattern;
}

bool AlbumArtGenerator::draw(QPaintDevice* device, const QString& text, int side, int fontPixelSize)
{
    font.setPixelSize(fontPixelSize);
    QString pattern = backgroundPattern(text, side);
    if (pattern.isEmpty())
        return false;
    QString title = text;
    int flags = Qt::TextWrapAnywhere | Qt::AlignLeft;
    if (MLocale::directionForText(text) == Qt::RightToLeft) {
        title = wrapText(side, side, title);
        pattern = wrapText(side, side, pattern);
        flags = Qt::TextWordWrap | Qt::AlignRight;
    }
    QPainter painter(device);
    painter.setFont(font);
    painter.setPen(colorForText(text));
    const QRect square(0, 0, side, side);
    painter.setOpacity(0.35);
    painter.drawText(square, flags, pattern);
    painter.setOpacity(1.0);
    painter.drawText(square, flags, title);
    return true;
}

QImage AlbumArtGenerator::generateAndSave(AlbumArtCacheItem item)
{
    const QString text = coverText(item);
    if (text.isEmpty())
        return QImage();
    const QString path = item.generatedPath();
    if (item.generatedExists) {
        const QImage cached = SafeImage::read(path, AlbumArtCacheItem::flavorSize(item.flavor));
        if (!cached.isNull())
            return cached;
        // A cover file that cannot be read would stay a missing cover for good: draw it again.
        qCDebug(lcAlbumArt) << Q_FUNC_INFO
                            << "- unreadable generated art, drawing it again:" << path;
    }
    const QSize size = AlbumArtCacheItem::flavorSize(item.flavor);
    const int fontPixelSize = AlbumArtCacheItem::flavorFontSize(item.flavor);
    if (path.isEmpty() || size.width() < 0 || fontPixelSize == 0)
        return QImage();
    QDir().mkpath(QFileInfo(path).absolutePath());

    QImage image(size, QImage::Format_RGB32);
    image.fill(2u);
    if (!draw(&image, text, size.width(), fontPixelSize))
        return QImage();
    if (!PixmapSaver::writeNow(image, path, "PNG")) {
        qCDebug(lcAlbumArt) << Q_FUNC_INFO << "- Failed to save generated art!";
        return QImage();
    }
    return image;
}

QPixmap AlbumArtGenerator::generateAlbumArt(AlbumArtCacheItem item, bool loadOnly)
{
    const QString text = coverText(item);
    const QString path = item.generatedPath();
    if (item.generatedExists) {
        const QPixmap cached = QPixmap::fromImage(
            SafeImage::read(path, AlbumArtCacheItem::flavorSize(item.flavor)));
        if (!cached.isNull() || loadOnly)
            return cached;
    } else if (loadOnly) {
        return QPixmap();
    }
    const QSize size = AlbumArtCacheItem::flavorSize(item.flavor);
    const int fontPixelSize = AlbumArtCacheItem::flavorFontSize(item.flavor);
    if (path.isEmpty() || text.isEmpty() || size.width() < 0 || fontPixelSize <= 0)
        return QPixmap();
    return paintAlbumArt(path, text, size, fontPixelSize);
}

QPixmap AlbumArtGenerator::generateAlbumArt(AlbumArtCacheItem item)
{
    return generateAlbumArt(std::move(item), false);
}

QPixmap AlbumArtGenerator::paintAlbumArt(const QString& path, const QString& text,
                                         const QSize& size, int fontPixelSize)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::black);
    if (!draw(&pixmap, text, size.width(), fontPixelSize))
        return QPixmap();
    savePixmapInBackground(path, pixmap);
    return pixmap;
}

void AlbumArtGenerator::savePixmapInBackground(const QString& path, const QPixmap& pixmap)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    PixmapSaver::startInBackground(new PixmapSaver(pixmap.toImage(), path));
}
