#include "mtextrecorder.h"

#include <QPaintEngine>
#include <QPainterPath>
#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace {

// Claims every feature, so QPainter hands text over whole instead of turning it into paths,
// and draws nothing but the record of the texts.
class TextRecordingEngine : public QPaintEngine
{
public:
    TextRecordingEngine()
        : QPaintEngine(AllFeatures)
    {
    }

    bool begin(QPaintDevice* device) override
    {
        bounds = QRectF(0, 0, device->width(), device->height());
        return true;
    }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override { }
    Type type() const override { return User; }

    void drawTextItem(const QPointF& position, const QTextItem& item) override
    {
        const QString text = item.text();
        QPainter* p = painter();
        if (text.isEmpty() || p->opacity() <= 0.0 || p->pen().color().alpha() == 0)
            return;
        QRectF rect(position.x(), position.y() - item.ascent(), item.width(),
                    item.ascent() + item.descent());
        if (p->hasClipping())
            rect &= p->clipBoundingRect();
        rect = p->combinedTransform().mapRect(rect) & bounds;
        if (!rect.isEmpty())
            texts.append({ text, rect, QRegion(rect.toAlignedRect()) });
    }

    // What is painted opaquely over a text hides it: such areas are taken out of the texts
    // recorded so far. Fills with a pattern, a gradient or any transparency hide nothing.
    void drawRects(const QRectF* rects, int count) override
    {
        if (!opaqueBrush())
            return;
        QPainterPath path;
        for (int i = 0; i < count; ++i)
            path.addRect(rects[i]);
        cover(path);
    }
    void drawRects(const QRect* rects, int count) override
    {
        for (int i = 0; i < count; ++i) {
            const QRectF rect(rects[i]);
            drawRects(&rect, 1);
        }
    }
    void drawPath(const QPainterPath& path) override
    {
        if (opaqueBrush())
            cover(path);
    }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override
    {
        if (mode == PolylineMode || !opaqueBrush())
            return;
        QPainterPath path;
        path.addPolygon(QPolygonF(QVector<QPointF>(points, points + count)));
        cover(path);
    }
    void drawPolygon(const QPoint* points, int count, PolygonDrawMode mode) override
    {
        QVector<QPointF> real;
        for (int i = 0; i < count; ++i)
            real.append(points[i]);
        drawPolygon(real.constData(), count, mode);
    }
    void drawPixmap(const QRectF& rect, const QPixmap& pixmap, const QRectF&) override
    {
        if (!pixmap.hasAlphaChannel() && opaquePainting())
            cover(rectPath(rect));
    }
    void drawImage(const QRectF& rect, const QImage& image, const QRectF&,
                   Qt::ImageConversionFlags) override
    {
        if (!image.hasAlphaChannel() && opaquePainting())
            cover(rectPath(rect));
    }
    void drawTiledPixmap(const QRectF& rect, const QPixmap& pixmap, const QPointF&) override
    {
        drawPixmap(rect, pixmap, QRectF());
    }

    // Texts painted one after another on one line, as a change of script splits them.
    QList<MTextRecorder::Text> joined() const
    {
        QList<MTextRecorder::Text> lines;
        QRectF lastPainted;
        for (const Painted& text : texts) {
            if (text.visible.isEmpty())
                continue;
            const QRectF rect = text.visible.boundingRect();
            // Runs of one text follow each other without a gap; fonts of two scripts differ
            // in ascent, so one line is where the middles meet.
            const qreal height = qMin(lastPainted.height(), text.painted.height());
            if (!lines.isEmpty() && qAbs(text.painted.left() - lastPainted.right()) < 0.5
                && qAbs(text.painted.center().y() - lastPainted.center().y()) < height / 2) {
                lines.last().text += text.text;
                lines.last().rect |= rect;
            } else {
                lines.append({ text.text, rect });
            }
            lastPainted = text.painted;
        }
        // Spaces join the runs around them; alone they show nothing.
        lines.erase(std::remove_if(lines.begin(), lines.end(),
                                   [](const MTextRecorder::Text& line) {
                                       return line.text.trimmed().isEmpty();
                                   }),
                    lines.end());
        return lines;
    }

private:
    struct Painted
    {
        QString text;
        QRectF painted;
        QRegion visible;
    };

    static QPainterPath rectPath(const QRectF& rect)
    {
        QPainterPath path;
        path.addRect(rect);
        return path;
    }

    bool opaquePainting() const
    {
        const QPainter* p = painter();
        return p->opacity() >= 1.0 && p->compositionMode() == QPainter::CompositionMode_SourceOver;
    }

    bool opaqueBrush() const
    {
        const QBrush brush = painter()->brush();
        return opaquePainting() && brush.style() == Qt::SolidPattern
               && brush.color().alpha() == 255;
    }

    void cover(QPainterPath path)
    {
        QPainter* p = painter();
        if (p->hasClipping())
            path = path.intersected(p->clipPath());
        const QRegion covered(p->combinedTransform().map(path).toFillPolygon().toPolygon());
        for (Painted& text : texts)
            text.visible -= covered;
    }

    QRectF bounds;
    QList<Painted> texts;
};

} // namespace

MTextRecorder::MTextRecorder(const QWidget* like)
    : engine(new TextRecordingEngine)
    , size(like->size())
    , dpiX(like->logicalDpiX())
    , dpiY(like->logicalDpiY())
{
}

MTextRecorder::~MTextRecorder() = default;

QList<MTextRecorder::Text> MTextRecorder::texts() const
{
    return static_cast<TextRecordingEngine*>(engine.data())->joined();
}

QPaintEngine* MTextRecorder::paintEngine() const
{
    return engine.data();
}

int MTextRecorder::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return size.width();
    case PdmHeight:
        return size.height();
    case PdmWidthMM:
        return size.width() * 254 / (dpiX * 10);
    case PdmHeightMM:
        return size.height() * 254 / (dpiY * 10);
    case PdmDpiX:
    case PdmPhysicalDpiX:
        return dpiX;
    case PdmDpiY:
    case PdmPhysicalDpiY:
        return dpiY;
    case PdmDepth:
        return 32;
    case PdmNumColors:
        return INT_MAX;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(QPaintDevice::devicePixelRatioFScale());
    }
    return 0;
}
