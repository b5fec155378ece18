#ifndef MWIDGETCONTROLLER_H
#define MWIDGETCONTROLLER_H

#include "mnamespace.h"
#include "mwidget.h"
#include "mwidgetstyle.h"

class MWidgetModel;
class MWidgetView;

// Widget registration with the theme's widget factory: nothing to do in the stand-in.
#define M_REGISTER_WIDGET(CLASS)
#define M_REGISTER_WIDGET_NO_CREATE(CLASS)
#define M_REGISTER_VIEW_NEW(VIEW, CONTROLLER)
#define M_LIBRARY

// Declares the style class a controller reads; gives it a typed style() accessor.
#define M_STYLABLE_WIDGET(STYLE)                                                                   \
public:                                                                                            \
    const STYLE* style() const                                                                     \
    {                                                                                              \
        return MWidgetController::typedStyle<STYLE>();                                             \
    }                                                                                              \
                                                                                                   \
private:

#define M_CONTROLLER(CLASS)

// A widget with a style name, an optional model and an optional view. Its look comes from the
// style table (MStyleTable): the entries of its class chain, then the entry of its style name.
// Without a view it paints the style's background and, in subclasses, its own content.
class MWidgetController : public MWidget
{
    Q_OBJECT
    Q_PROPERTY(QString styleName READ styleName WRITE setStyleName)
    Q_PROPERTY(QString viewType READ viewType WRITE setViewType)

public:
    explicit MWidgetController(QGraphicsItem* parent = nullptr);
    explicit MWidgetController(MWidgetModel* model, QGraphicsItem* parent = nullptr);
    ~MWidgetController() override;

    // Takes ownership of the model.
    void setModel(MWidgetModel* model);
    MWidgetModel* model() const;

    // Takes ownership of the view.
    void setView(MWidgetView* view);
    MWidgetView* view() const;

    QString styleName() const;
    void setStyleName(const QString& name);

    QString viewType() const;
    void setViewType(const QString& type);

    void setLayoutPosition(M::Position position);

    const MWidgetStyle* style() const;

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option,
               QWidget* widget = nullptr) override;

    // The style resolved as a style class S (default-constructible, derived from MWidgetStyle).
    template <class S>
    const S* typedStyle() const
    {
        if (!styleIsCurrent() || !dynamic_cast<const S*>(cachedStyle))
            installStyle(new S);
        return static_cast<const S*>(cachedStyle);
    }

protected:
    QSizeF sizeHint(Qt::SizeHint which, const QSizeF& constraint = QSizeF()) const override;

    // The size the widget's content asks for, before the style's sizes are applied. The base
    // answers what QGraphicsWidget would (its layout's hint, if any).
    virtual QSizeF contentSizeHint(Qt::SizeHint which, const QSizeF& constraint) const;

    // The style name or the table changed; the base asks for a new layout and a repaint.
    virtual void applyStyle();

    // Painting without a view: the style background, then the content.
    virtual void drawBackground(QPainter* painter, const QStyleOptionGraphicsItem* option) const;
    virtual void drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const;

    // The widget's rectangle less the style's margins.
    QRectF styleContentsRect() const;

private:
    bool styleIsCurrent() const;
    void installStyle(MWidgetStyle* fresh) const;
    QStringList styleClassChain() const;

    MWidgetModel* widgetModel = nullptr;
    MWidgetView* widgetView = nullptr;
    QString name;
    QString type;
    M::Position position = M::DefaultPosition;
    mutable MWidgetStyle* cachedStyle = nullptr;
    mutable int cachedGeneration = -1;
};

#endif // MWIDGETCONTROLLER_H
