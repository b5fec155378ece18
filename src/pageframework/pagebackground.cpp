#include "pagebackground.h"

#include "mscalableimage.h"
#include "mstyle.h"
#include "mtheme.h"

#include <QColor>
#include <QPixmap>
#include <QVariant>

namespace {

// The 16 x 16 Bayer index matrix, built by doubling: M(2n) = [[4M, 4M+2], [4M+3, 4M+1]].
struct BayerMatrix
{
    int values[16][16];

    BayerMatrix()
    {
        values[0][0] = 0;
        for (int size = 1; size < 16; size *= 2) {
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    const int v = 4 * values[y][x];
                    values[y][x] = v;
                    values[y][x + size] = v + 2;
                    values[y + size][x] = v + 3;
                    values[y + size][x + size] = v + 1;
                }
            }
        }
    }
};

const BayerMatrix& bayer()
{
    static const BayerMatrix matrix;
    return matrix;
}

} // namespace

QImage& PageBackground::shared()
{
    static QImage image;
    return image;
}

const QImage& PageBackground::image()
{
    return shared();
}

int PageBackground::threshold(int x, int y)
{
    return bayer().values[y & 15][x & 15];
}

void PageBackground::build()
{
    if (!shared().isNull())
        return;
    const MStyle* style = MTheme::style("MApplicationPageStyle", QString(), QString(), QString(),
                                        M::Landscape);
    if (style) {
        const QVariant property = style->property("backgroundImage");
        if (!property.isNull() && property.canConvert<const MScalableImage*>()) {
            const MScalableImage* background = property.value<const MScalableImage*>();
            if (background && background->pixmap() && !background->pixmap()->isNull()) {
                const QImage scaled = background->pixmap()->toImage().scaled(
                    QSize(Width, Height), Qt::IgnoreAspectRatio, Qt::FastTransformation);
                shared() = ditherToRgb16(scaled.convertToFormat(QImage::Format_RGB32));
            }
        }
    }
    MTheme::releaseStyle(style);
}

QImage PageBackground::ditherToRgb16(const QImage& source)
{
    QImage result(source.width(), source.height(), QImage::Format_RGB16);
    if (source.depth() != 32 || source.height() < 1)
        return result;
    for (int y = 0; y < source.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            const int t = threshold(x, y);
            int r = qRed(line[x]);
            int g = qGreen(line[x]);
            int b = qBlue(line[x]);
            // Each channel goes up one 16-bit step where the bits the conversion drops weigh
            // more than the threshold.
            if (r < 248 && t < (r * 32) % 256)
                r += 8;
            if (g < 252 && t < (g * 64) % 256)
                g += 4;
            if (b < 248 && t < (b * 32) % 256)
                b += 8;
            result.setPixel(x, y, qRgba(r, g, b, 255));
        }
    }
    return result;
}
