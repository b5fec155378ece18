#ifndef MPROGRESSINDICATOR_H
#define MPROGRESSINDICATOR_H

#include "mboundedvalue.h"
#include "mwidgetcontroller.h"

class QTimer;

// Progress as a bar or a spinner. With an unknown duration the bar runs a moving chunk and the
// spinner turns, while the indicator is on display.
class MProgressIndicator : public MWidgetController
{
    Q_OBJECT
    Q_PROPERTY(int value READ value WRITE setValue)

public:
    static const QString barType;
    static const QString spinnerType;

    explicit MProgressIndicator(QGraphicsItem* parent = nullptr, const QString& viewType = barType);
    ~MProgressIndicator() override;

    int minimum() const;
    int maximum() const;
    void setMinimum(int minimum);
    void setMaximum(int maximum);
    void setRange(int minimum, int maximum);
    int value() const;

    bool unknownDuration() const;
    void setUnknownDuration(bool unknown);

public slots:
    void setValue(int value);
    void reset();

signals:
    void valueChanged(int value);

protected:
    QSizeF contentSizeHint(Qt::SizeHint which, const QSizeF& constraint) const override;
    void drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const override;
    void enterDisplayEvent() override;
    void exitDisplayEvent() override;

private:
    bool isSpinner() const;
    void updateAnimation();

    MBoundedValue bounded;
    bool unknown = false;
    int phase = 0;
    QTimer* animation;
};

#endif // MPROGRESSINDICATOR_H
