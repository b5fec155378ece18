#include "mlabel.h"

#include <QWidget>
#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <memory>

namespace {
const QChar LengthVariantSeparator(0x9c);
const qreal UnwrappedWidth = 480;
} // namespace

MLabel::MLabel(QGraphicsItem* parent)
    : MLabel(QString(), parent)
{
}

MLabel::MLabel(const QString& text, QGraphicsItem* parent)
    : MWidgetController(parent)
    , labelText(text)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

MLabel::~MLabel() = default;

QString MLabel::text() const
{
    return labelText;
}

void MLabel::setText(const QString& text)
{
    if (text == labelText)
        return;
    labelText = text;
    updateGeometry();
    update();
}

Qt::TextFormat MLabel::textFormat() const
{
    return format;
}

void MLabel::setTextFormat(Qt::TextFormat textFormat)
{
    format = textFormat;
    updateGeometry();
    update();
}

Qt::Alignment MLabel::alignment() const
{
    return align;
}

void MLabel::setAlignment(Qt::Alignment alignment)
{
    // A horizontal alignment alone keeps the text centred vertically.
    if (!(alignment & Qt::AlignVertical_Mask))
        alignment |= Qt::AlignVCenter;
    if (!(alignment & Qt::AlignHorizontal_Mask))
        alignment |= Qt::AlignLeft;
    align = alignment;
    update();
}

bool MLabel::textElide() const
{
    return elide;
}

void MLabel::setTextElide(bool on)
{
    elide = on;
    updateGeometry();
    update();
}

void MLabel::setWordWrap(bool on)
{
    wrap = on;
    // A wrapped text is as tall as its width makes it: let layouts ask for the width first.
    QSizePolicy policy = sizePolicy();
    policy.setHeightForWidth(on);
    setSizePolicy(policy);
    updateGeometry();
    update();
}

QTextOption::WrapMode MLabel::wrapMode() const
{
    return mode;
}

void MLabel::setWrapMode(QTextOption::WrapMode wrapMode)
{
    mode = wrapMode;
    updateGeometry();
    update();
}

int MLabel::preferredLineCount() const
{
    return lineCount;
}

void MLabel::setPreferredLineCount(int lines)
{
    lineCount = lines;
    updateGeometry();
}

void MLabel::setPreferredLineCountBehavior(PreferredLineCountBehavior behavior)
{
    lineCountBehavior = behavior;
    updateGeometry();
}

QString MLabel::shownText() const
{
    const int cut = labelText.indexOf(LengthVariantSeparator);
    return cut < 0 ? labelText : labelText.left(cut);
}

bool MLabel::isRichText() const
{
    // Guessing from the text would let a name decide how it is shown.
    return format == Qt::RichText;
}

int MLabel::linesFor(qreal width) const
{
    const QString shown = shownText();
    if (!wrap || shown.isEmpty())
        return 1;
    QTextLayout layout(shown, style()->font());
    QTextOption option;
    option.setWrapMode(mode);
    layout.setTextOption(option);
    layout.beginLayout();
    int lines = 0;
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(qMax<qreal>(1, width));
        ++lines;
    }
    layout.endLayout();
    return qMax(1, lines);
}

QSizeF MLabel::richTextSize(qreal width) const
{
    QTextDocument doc;
    doc.setDefaultFont(style()->font());
    doc.setDocumentMargin(0);
    doc.setHtml(shownText());
    if (width > 0 && wrap)
        doc.setTextWidth(width);
    return doc.size();
}

QSizeF MLabel::contentSizeHint(Qt::SizeHint which, const QSizeF& constraint) const
{
    if (which == Qt::MaximumSize)
        return QSizeF(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const QMarginsF m = style()->margins();
    const QFontMetricsF metrics(style()->font());
    const qreal lineHeight = metrics.lineSpacing();
    const qreal naturalWidth = isRichText() ? richTextSize(-1).width()
                                            : metrics.horizontalAdvance(shownText());
    qreal width = qMin(naturalWidth, UnwrappedWidth - m.left() - m.right());
    if (constraint.width() > 0)
        width = constraint.width() - m.left() - m.right();
    else if (wrap && size().width() > 0)
        width = size().width() - m.left() - m.right();

    if (which == Qt::MinimumSize) {
        const qreal minWidth = (elide || wrap) ? metrics.horizontalAdvance(QLatin1String("..."))
                                               : naturalWidth;
        return QSizeF(minWidth + m.left() + m.right(), lineHeight + m.top() + m.bottom());
    }

    qreal height;
    if (isRichText()) {
        height = richTextSize(width).height();
    } else {
        int lines = linesFor(width);
        if (lineCount > 0) {
            if (lineCountBehavior == LineCountSetsPreferredHeight)
                lines = lineCount;
            else
                lines = qMin(lines, lineCount);
        }
        height = lines * lineHeight;
    }
    const qreal preferredWidth = wrap ? width : naturalWidth;
    return QSizeF(preferredWidth + m.left() + m.right(), height + m.top() + m.bottom());
}

// Cuts a one-line document to the width with an ellipsis at its end, keeping the formats of
// what stays (a highlighted match stays highlighted).
static void elideRichText(QTextDocument* doc, qreal width)
{
    const QChar ellipsis(0x2026);
    auto fits = [doc, width, ellipsis](int kept) {
        std::unique_ptr<QTextDocument> probe(doc->clone());
        QTextCursor cursor(probe.get());
        cursor.setPosition(kept);
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cursor.insertText(ellipsis);
        return probe->idealWidth() <= width;
    };
    // The longest start of the text that fits with the ellipsis.
    int low = 0;
    int high = doc->characterCount() - 1;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (fits(middle))
            low = middle;
        else
            high = middle - 1;
    }
    QTextCursor cursor(doc);
    cursor.setPosition(low);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.insertText(ellipsis);
}

void MLabel::drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(option)
    const QString shown = shownText();
    if (shown.isEmpty())
        return;
    const MWidgetStyle* s = style();
    const QRectF area = styleContentsRect();
    painter->save();
    painter->setFont(s->font());
    painter->setPen(s->textColor());
    // Within what the view already clips to: a label in a row of a list that is half out of
    // its viewport is cut at the viewport's edge, not drawn over what lies beyond it.
    painter->setClipRect(rect(), Qt::IntersectClip);

    if (isRichText()) {
        QTextDocument doc;
        doc.setDefaultFont(s->font());
        doc.setDocumentMargin(0);
        doc.setHtml(shown);
        if (wrap)
            doc.setTextWidth(area.width());
        QTextOption textOption = doc.defaultTextOption();
        // The label's direction, not the first letter's: a right-to-left name inside a
        // left-to-right row stays where the row puts its text, as it does in plain text.
        textOption.setTextDirection(layoutDirection());
        textOption.setAlignment(align & Qt::AlignHorizontal_Mask);
        doc.setDefaultTextOption(textOption);
        if (!wrap && elide && doc.idealWidth() > area.width())
            elideRichText(&doc, area.width());
        if (!wrap)
            doc.setTextWidth(qMax(area.width(), doc.idealWidth()));
        const QSizeF size = doc.size();
        qreal y = area.top();
        if (align & Qt::AlignVCenter)
            y += (area.height() - size.height()) / 2;
        else if (align & Qt::AlignBottom)
            y += area.height() - size.height();
        painter->translate(area.left(), y);
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette.setColor(QPalette::Text, s->textColor());
        doc.documentLayout()->draw(painter, context);
        painter->restore();
        return;
    }

    const QFontMetricsF metrics(s->font());
    if (!wrap) {
        const QString line = elide ? metrics.elidedText(shown, Qt::ElideRight, area.width())
                                   : shown;
        painter->drawText(area, int(align) | Qt::TextSingleLine, line);
        painter->restore();
        return;
    }

    // Wrapped text, eliding its last line when the lines do not fit.
    QTextLayout layout(shown, s->font());
    QTextOption textOption;
    textOption.setWrapMode(mode);
    layout.setTextOption(textOption);
    const qreal lineHeight = metrics.lineSpacing();
    int maxLines = qMax(1, int(area.height() / lineHeight));
    if (lineCount > 0 && lineCountBehavior == LineCountLimitsPreferredHeight)
        maxLines = qMin(maxLines, lineCount);
    QStringList lines;
    QList<int> starts;
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(area.width());
        starts << line.textStart();
        lines << shown.mid(line.textStart(), line.textLength());
    }
    layout.endLayout();
    if (lines.size() > maxLines) {
        // The last line that fits takes the rest of the text, elided.
        QString rest = shown.mid(starts.at(maxLines - 1));
        rest.replace(QLatin1Char('\n'), QLatin1Char(' '));
        lines = lines.mid(0, maxLines);
        lines.last() = metrics.elidedText(rest, Qt::ElideRight, area.width());
    }
    const qreal textHeight = lines.size() * lineHeight;
    qreal y = area.top();
    if (align & Qt::AlignVCenter)
        y += (area.height() - textHeight) / 2;
    else if (align & Qt::AlignBottom)
        y += area.height() - textHeight;
    for (const QString& line : qAsConst(lines)) {
        const QRectF lineRect(area.left(), y, area.width(), lineHeight);
        painter->drawText(lineRect,
                          int(align & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter
                              | Qt::TextSingleLine,
                          line.trimmed());
        y += lineHeight;
    }
    painter->restore();
}
