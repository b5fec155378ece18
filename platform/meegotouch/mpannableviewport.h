#ifndef MPANNABLEVIEWPORT_H
#define MPANNABLEVIEWPORT_H

#include "mpannablewidget.h"

#include <QPointer>

class MPositionIndicator;

// Shows one widget, as wide as the viewport and as tall as the widget asks (at least the
// viewport's height), panned vertically. The position is the content's y offset at the top of
// the viewport: 0 at the top, negative while pulled down past the top.
class MPannableViewport : public MPannableWidget
{
    Q_OBJECT

public:
    explicit MPannableViewport(QGraphicsItem* parent = nullptr);
    ~MPannableViewport() override;

    // Takes ownership. The widget set before is left to its owner, out of the viewport.
    void setWidget(QGraphicsWidget* widget);
    QGraphicsWidget* widget() const;

    MPositionIndicator* positionIndicator() const;

    void setPosition(const QPointF& position) override;

protected:
    void resizeEvent(QGraphicsSceneResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void layoutContent();
    void moveContent(const QPointF& position);

private:
    void scheduleLayout();

    QGraphicsWidget* clip;
    QPointer<QGraphicsWidget> content;
    MPositionIndicator* indicator;
    bool layoutPending = false;
};

#endif // MPANNABLEVIEWPORT_H
