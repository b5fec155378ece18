#ifndef WIDGETANIMATION_H
#define WIDGETANIMATION_H

#include <QPointer>
#include <QTimeLine>

class MWidget;

// Fades a widget's opacity, or collapses and expands its maximum height, along a time line,
// and tells when either end is reached. A fade-out of the opacity stops at 0.2.
class WidgetAnimation : public QTimeLine
{
    Q_OBJECT

public:
    enum AnimationType { Opacity = 0, Height = 1 };

    WidgetAnimation(MWidget* widget, int animationType, int duration, QObject* parent = nullptr);
    ~WidgetAnimation() override;

    void setWidget(MWidget* widget);
    void setAnimationType(int animationType);
    int animationType() const { return type; }
    qreal fullHeight() const { return height; }

public slots:
    void fadeIn();
    void fadeOut();

signals:
    void opacityFadedOut();
    void opacityFadedIn();
    void heightFadedOut();
    void heightFadedIn();
    void heightChanged(qreal height);

private slots:
    void updateOpacity(qreal opacity);
    void updateHeight(qreal value);

private:
    void startAnimation();

    QPointer<MWidget> widget;
    int type;
    qreal height = 0;
    int interval;
};

#endif // WIDGETANIMATION_H
