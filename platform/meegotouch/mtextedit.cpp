#include "mtextedit.h"

#include "mpalette.h"
#include "mtheme.h"

#include <QClipboard>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QGraphicsSceneMouseEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QWidget>

MTextEdit::MTextEdit(MTextEditModel::LineMode lineMode, const QString& text, QGraphicsItem* parent)
    : MWidgetController(new MTextEditModel, parent)
    , mode(lineMode)
{
    qRegisterMetaType<Qt::FocusReason>("Qt::FocusReason");
    setFlag(QGraphicsItem::ItemIsFocusable);
    setFlag(QGraphicsItem::ItemAcceptsInputMethod);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptedMouseButtons(Qt::LeftButton);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    content = cleaned(text).left(maximumLength);
    cursor = content.size();
}

MTextEdit::~MTextEdit() = default;

QString MTextEdit::text() const
{
    return content;
}

MTextEditModel::LineMode MTextEdit::lineMode() const
{
    return mode;
}

QString MTextEdit::prompt() const
{
    return promptText;
}

void MTextEdit::setPrompt(const QString& prompt)
{
    promptText = prompt;
    update();
}

int MTextEdit::maxLength() const
{
    return maximumLength;
}

void MTextEdit::setMaxLength(int length)
{
    maximumLength = qMax(0, length);
    if (content.size() > maximumLength)
        setText(content.left(maximumLength));
}

int MTextEdit::cursorPosition() const
{
    return cursor;
}

void MTextEdit::setCursorPosition(int position)
{
    cursor = qBound(0, position, int(content.size()));
    update();
}

void MTextEdit::setInputMethodCorrectionEnabled(bool enabled)
{
    correction = enabled;
}

void MTextEdit::setInputMethodAutoCapitalizationEnabled(bool enabled)
{
    autoCapitalization = enabled;
}

void MTextEdit::setInputMethodPredictionEnabled(bool enabled)
{
    prediction = enabled;
}

bool MTextEdit::inputMethodPredictionEnabled() const
{
    return prediction;
}

void MTextEdit::attachToolbar(int id)
{
    toolbarId = id;
}

int MTextEdit::attachedToolbarId() const
{
    return toolbarId;
}

QString MTextEdit::cleaned(const QString& text) const
{
    if (mode != MTextEditModel::SingleLine)
        return text;
    QString single = text;
    single.replace(QLatin1Char('\n'), QLatin1Char(' '))
        .replace(QLatin1Char('\r'), QLatin1Char(' '));
    return single;
}

bool MTextEdit::setText(const QString& text)
{
    const QString next = cleaned(text).left(maximumLength);
    cursor = next.size();
    if (next == content) {
        update();
        return next.size() == text.size();
    }
    content = next;
    update();
    emit textChanged();
    return next.size() == text.size();
}

void MTextEdit::clear()
{
    setText(QString());
}

bool MTextEdit::insert(const QString& text)
{
    if (readOnly)
        return false;
    const QString piece = cleaned(text).left(qMax(0, maximumLength - int(content.size())));
    if (piece.isEmpty())
        return text.isEmpty();
    content.insert(cursor, piece);
    cursor += piece.size();
    update();
    emit textChanged();
    return piece.size() == text.size();
}

void MTextEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) {
        insert(QGuiApplication::clipboard()->text());
        event->accept();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (mode == MTextEditModel::SingleLine)
            emit returnPressed();
        else
            insert(QStringLiteral("\n"));
        event->accept();
        return;
    case Qt::Key_Backspace:
        if (!readOnly && cursor > 0) {
            content.remove(--cursor, 1);
            update();
            emit textChanged();
        }
        event->accept();
        return;
    case Qt::Key_Delete:
        if (!readOnly && cursor < content.size()) {
            content.remove(cursor, 1);
            update();
            emit textChanged();
        }
        event->accept();
        return;
    case Qt::Key_Left:
        setCursorPosition(cursor - 1);
        event->accept();
        return;
    case Qt::Key_Right:
        setCursorPosition(cursor + 1);
        event->accept();
        return;
    case Qt::Key_Home:
        setCursorPosition(0);
        event->accept();
        return;
    case Qt::Key_End:
        setCursorPosition(content.size());
        event->accept();
        return;
    default:
        break;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.at(0).isPrint()) {
        insert(typed);
        event->accept();
        return;
    }
    MWidgetController::keyPressEvent(event);
}

void MTextEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (!event->commitString().isEmpty())
        insert(event->commitString());
    event->accept();
}

QVariant MTextEdit::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImSurroundingText:
        return content;
    case Qt::ImCursorPosition:
        return cursor;
    case Qt::ImMaximumTextLength:
        return maximumLength;
    default:
        return MWidgetController::inputMethodQuery(query);
    }
}

void MTextEdit::focusInEvent(QFocusEvent* event)
{
    MWidgetController::focusInEvent(event);
    update();
    emit gainedFocus(event->reason());
}

void MTextEdit::focusOutEvent(QFocusEvent* event)
{
    MWidgetController::focusOutEvent(event);
    update();
    emit lostFocus(event->reason());
}

void MTextEdit::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    event->accept();
}

void MTextEdit::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    if (!rect().contains(event->pos()))
        return;
    setFocus(Qt::MouseFocusReason);
    // Place the cursor at the character nearest to the tap.
    const QFontMetricsF metrics(style()->font());
    const qreal x = event->pos().x() - styleContentsRect().left();
    int position = 0;
    while (position < content.size() && metrics.horizontalAdvance(content.left(position + 1)) < x)
        ++position;
    setCursorPosition(position);
}

QSizeF MTextEdit::contentSizeHint(Qt::SizeHint which, const QSizeF& constraint) const
{
    Q_UNUSED(constraint)
    const QMarginsF m = style()->margins();
    const QFontMetricsF metrics(style()->font());
    const qreal height = metrics.height() + 24 + m.top() + m.bottom();
    if (which == Qt::MaximumSize)
        return QSizeF(QWIDGETSIZE_MAX, height);
    return QSizeF(which == Qt::MinimumSize ? 48 : 240, height);
}

void MTextEdit::drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(option)
    const MPalette& palette = MTheme::palette();
    const QRectF area = styleContentsRect().adjusted(8, 0, -8, 0);
    const QFontMetricsF metrics(style()->font());
    painter->save();
    // Within what the view already clips to (a field scrolled half out of its viewport).
    painter->setClipRect(rect(), Qt::IntersectClip);
    painter->setFont(style()->font());
    if (!style()->backgroundColor().isValid()) {
        // Without a styled background the field is an underline.
        painter->setPen(
            QPen(hasFocus() ? palette.firstAccentColor() : palette.secondaryColor(), 2));
        painter->drawLine(QPointF(area.left(), area.bottom() - 6),
                          QPointF(area.right(), area.bottom() - 6));
    }
    const QString shown = content.isEmpty() ? promptText : content;
    painter->setPen(content.isEmpty() ? palette.secondaryColor() : style()->textColor());
    // Keep the cursor in view: scroll the text left when it is wider than the field. The text
    // is laid out from its scrolled start to the field's end and clipped to the field, so what
    // shows is the part before the cursor, not the text's start moved out of sight.
    const qreal cursorX = metrics.horizontalAdvance(content.left(cursor));
    const qreal offset = qMax<qreal>(0, cursorX - area.width() + 4);
    painter->save();
    painter->setClipRect(area, Qt::IntersectClip);
    painter->drawText(area.adjusted(-offset, 0, 0, 0),
                      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    painter->restore();
    if (hasFocus() && !readOnly) {
        const qreal x = area.left() + cursorX - offset;
        const qreal h = metrics.height();
        painter->setPen(QPen(palette.firstAccentColor(), 2));
        painter->drawLine(QPointF(x, area.center().y() - h / 2),
                          QPointF(x, area.center().y() + h / 2));
    }
    painter->restore();
}
