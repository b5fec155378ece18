#ifndef MNAVIGATIONBAR_H
#define MNAVIGATIONBAR_H

#include "mwidgetcontroller.h"

#include <QPointer>

class MButton;

// The bar at the top of a page: a back button while there is a page to go back to, and a mark
// that the bar opens the view menu. The page's title is kept, not drawn: pages draw their own
// header. A page's custom navigation-bar content takes the whole bar instead.
class MNavigationBar : public MWidgetController
{
    Q_OBJECT

public:
    explicit MNavigationBar(QGraphicsItem* parent = nullptr);
    ~MNavigationBar() override;

    QString title() const;
    void setTitle(const QString& title);

    bool isBackButtonVisible() const;
    void setBackButtonVisible(bool visible);

    bool isViewMenuAvailable() const;
    void setViewMenuAvailable(bool available);

    // Shows the widget in place of the back button; null gives it back. The bar does
    // not own the widget: it is handed back to `owner` (hidden) when replaced.
    void setCustomContent(QGraphicsWidget* content, QGraphicsItem* owner);
    QGraphicsWidget* customContent() const;

    qreal barHeight() const;

signals:
    void backButtonClicked();
    void viewMenuRequested();

protected:
    void resizeEvent(QGraphicsSceneResizeEvent* event) override;
    void drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;

private:
    void layoutChildren();

    MButton* backButton;
    QString pageTitle;
    QPointer<QGraphicsWidget> custom;
    bool menuAvailable = false;
    bool backWanted = false;
};

#endif // MNAVIGATIONBAR_H
