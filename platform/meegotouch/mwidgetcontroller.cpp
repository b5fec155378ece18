#include "mwidgetcontroller.h"

#include "mstyletable.h"
#include "mwidgetmodel.h"
#include "mwidgetview.h"

#include <QPainter>

MWidgetController::MWidgetController(QGraphicsItem* parent)
    : MWidget(parent)
{
}

MWidgetController::MWidgetController(MWidgetModel* model, QGraphicsItem* parent)
    : MWidget(parent)
{
    setModel(model);
}

MWidgetController::~MWidgetController()
{
    delete widgetView;
    delete widgetModel;
    delete cachedStyle;
}

void MWidgetController::setModel(MWidgetModel* model)
{
    if (model == widgetModel)
        return;
    delete widgetModel;
    widgetModel = model;
    update();
}

MWidgetModel* MWidgetController::model() const
{
    return widgetModel;
}

void MWidgetController::setView(MWidgetView* view)
{
    if (view == widgetView)
        return;
    delete widgetView;
    widgetView = view;
    updateGeometry();
    update();
}

MWidgetView* MWidgetController::view() const
{
    return widgetView;
}

QString MWidgetController::styleName() const
{
    return name;
}

void MWidgetController::setStyleName(const QString& styleName)
{
    if (styleName == name)
        return;
    name = styleName;
    cachedGeneration = -1;
    applyStyle();
}

QString MWidgetController::viewType() const
{
    return type;
}

void MWidgetController::setViewType(const QString& viewType)
{
    if (viewType == type)
        return;
    type = viewType;
    updateGeometry();
    update();
}

void MWidgetController::setLayoutPosition(M::Position p)
{
    position = p;
    update();
}

const MWidgetStyle* MWidgetController::style() const
{
    return typedStyle<MWidgetStyle>();
}

bool MWidgetController::styleIsCurrent() const
{
    return cachedStyle && cachedGeneration == MStyleTable::generation();
}

QStringList MWidgetController::styleClassChain() const
{
    QStringList chain;
    for (const QMetaObject* mo = metaObject(); mo; mo = mo->superClass()) {
        chain.prepend(QLatin1String(mo->className()));
        if (mo == &MWidgetController::staticMetaObject)
            break;
    }
    return chain;
}

void MWidgetController::installStyle(MWidgetStyle* fresh) const
{
    fresh->setAttributes(MStyleTable::resolve(styleClassChain(), name));
    fresh->setStyleName(name);
    delete cachedStyle;
    cachedStyle = fresh;
    cachedGeneration = MStyleTable::generation();
}

void MWidgetController::applyStyle()
{
    updateGeometry();
    update();
}

QSizeF MWidgetController::contentSizeHint(Qt::SizeHint which, const QSizeF& constraint) const
{
    // Without a layout an empty widget asks for nothing (Qt would say 50 x 50), so spacers and
    // panels take their size from their style alone.
    if (!layout() && (which == Qt::MinimumSize || which == Qt::PreferredSize))
        return QSizeF(0, 0);
    return QGraphicsWidget::sizeHint(which, constraint);
}

QSizeF MWidgetController::sizeHint(Qt::SizeHint which, const QSizeF& constraint) const
{
    QSizeF hint = contentSizeHint(which, constraint);
    QSizeF fromStyle;
    switch (which) {
    case Qt::MinimumSize:
        fromStyle = style()->minimumSize();
        break;
    case Qt::PreferredSize:
        fromStyle = style()->preferredSize();
        break;
    case Qt::MaximumSize:
        fromStyle = style()->maximumSize();
        break;
    default:
        return hint;
    }
    if (fromStyle.width() >= 0)
        hint.setWidth(fromStyle.width());
    if (fromStyle.height() >= 0)
        hint.setHeight(fromStyle.height());
    return hint;
}

QRectF MWidgetController::styleContentsRect() const
{
    return rect().marginsRemoved(style()->margins());
}

void MWidgetController::paint(QPainter* painter, const QStyleOptionGraphicsItem* option,
                              QWidget* widget)
{
    Q_UNUSED(widget)
    if (widgetView) {
        widgetView->drawBackground(painter, option);
        widgetView->drawContents(painter, option);
        widgetView->drawForeground(painter, option);
        return;
    }
    drawBackground(painter, option);
    drawContents(painter, option);
}

void MWidgetController::drawBackground(QPainter* painter,
                                       const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(option)
    const MWidgetStyle* s = style();
    const QColor background = s->backgroundColor();
    const QColor border = s->borderColor();
    if (!background.isValid() && !border.isValid())
        return;
    painter->save();
    const qreal radius = s->cornerRadius();
    painter->setRenderHint(QPainter::Antialiasing, radius > 0 || border.isValid());
    painter->setPen(border.isValid() ? QPen(border, 1.5) : QPen(Qt::NoPen));
    painter->setBrush(background.isValid() ? QBrush(background) : QBrush(Qt::NoBrush));
    const QRectF r = rect().adjusted(0.75, 0.75, -0.75, -0.75);
    if (radius > 0)
        painter->drawRoundedRect(r, radius, radius);
    else
        painter->drawRect(rect());
    painter->restore();
}

void MWidgetController::drawContents(QPainter* painter,
                                     const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(painter)
    Q_UNUSED(option)
}
