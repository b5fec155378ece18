#ifndef MBANNER_H
#define MBANNER_H

#include "mscenewindow.h"

#include <QStringList>

class QTimer;

// A transient notice across the top of the screen. It disappears by itself a few seconds after
// it has appeared, emitting disappeared(), and is then deleted when it was shown with
// DestroyWhenDone. A tap on it hides it at once, so that the next tap reaches what it covered.
// Without a window to appear on it logs its text and still disappears, on the next turn of the
// event loop.
class MBanner : public MSceneWindow
{
    Q_OBJECT
    Q_PROPERTY(QString title READ title WRITE setTitle)

public:
    MBanner();
    ~MBanner() override;

    QString title() const;
    void setTitle(const QString& title);
    QString subtitle() const;
    void setSubtitle(const QString& subtitle);
    QString iconID() const;
    void setIconID(const QString& id);

    // The titles of every banner that appeared (or was logged) in this process, oldest first.
    static QStringList shownTitles();
    static void clearShownTitles();

    // How long a banner stays; tests shorten it. Milliseconds, 3000 by default.
    static void setDisplayDurationForTesting(int ms);

protected:
    void appearWithoutWindow(DeletionPolicy policy) override;
    QRectF placement(const QRectF& sceneRect) const override;
    void drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;

private slots:
    void startTimeout();

private:
    QString text() const;

    QString bannerTitle;
    QString bannerSubtitle;
    QString icon;
    QTimer* timeout;
};

#endif // MBANNER_H
