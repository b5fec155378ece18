#ifndef MTEXTRECORDER_H
#define MTEXTRECORDER_H

#include <QList>
#include <QPaintDevice>
#include <QRectF>
#include <QScopedPointer>
#include <QString>

class QWidget;

// A paint device that keeps only the texts painted on it, each with the part of the device it
// covers once clipping is applied. A window rendered onto it tells which texts it shows and
// where, whether a label, a painted list row or a banner drew them. Texts painted fully
// clipped, fully transparent or with a transparent pen are not kept.
class MTextRecorder : public QPaintDevice
{
public:
    struct Text
    {
        QString text;
        QRectF rect; // in device pixels
    };

    // A device of the widget's size and resolution, so fonts measure as on screen.
    explicit MTextRecorder(const QWidget* like);
    ~MTextRecorder() override;

    QList<Text> texts() const;

    QPaintEngine* paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QScopedPointer<QPaintEngine> engine;
    QSize size;
    int dpiX;
    int dpiY;
};

#endif // MTEXTRECORDER_H
