#ifndef MWIDGETVIEW_H
#define MWIDGETVIEW_H

#include <QObject>

class MWidgetController;
class MWidgetModel;
class MWidgetStyle;
class QPainter;
class QStyleOptionGraphicsItem;

// Gives a view typed access to its controller's model and style.
#define M_VIEW(MODEL, STYLE)                                                                       \
public:                                                                                            \
    MODEL* model() const                                                                           \
    {                                                                                              \
        return static_cast<MODEL*>(MWidgetView::model());                                          \
    }                                                                                              \
    const STYLE* style() const                                                                     \
    {                                                                                              \
        return MWidgetView::typedStyle<STYLE>();                                                   \
    }                                                                                              \
                                                                                                   \
private:

// Draws a controller. The controller owns its view; the view keeps a pointer to it.
class MWidgetView : public QObject
{
public:
    explicit MWidgetView(MWidgetController* controller);
    ~MWidgetView() override;

    MWidgetController* controller() const;
    MWidgetModel* model() const;
    const MWidgetStyle* style() const;

    // The default background fills the controller with its style's background colour.
    virtual void drawBackground(QPainter* painter, const QStyleOptionGraphicsItem* option) const;
    virtual void drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const;
    virtual void drawForeground(QPainter* painter, const QStyleOptionGraphicsItem* option) const;

protected:
    template <class S>
    const S* typedStyle() const;

private:
    MWidgetController* owner;
};

#include "mwidgetcontroller.h"

template <class S>
const S* MWidgetView::typedStyle() const
{
    return owner->typedStyle<S>();
}

#endif // MWIDGETVIEW_H
