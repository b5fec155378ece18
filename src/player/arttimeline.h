#ifndef ARTTIMELINE_H
#define ARTTIMELINE_H

#include <QEasingCurve>
#include <QTimeLine>

// The time line of the cover slide, with an easing curve that can change between slides
// (QTimeLine's own curve would restart the value when it is swapped mid-run).
class ArtTimeLine : public QTimeLine
{
    Q_OBJECT

public:
    explicit ArtTimeLine(int duration = 1000, QObject* parent = nullptr);
    ~ArtTimeLine() override;

    qreal valueForTime(int msec) const override;

    QEasingCurve easingCurve;
};

#endif // ARTTIMELINE_H
