#ifndef MSEEKBAR_H
#define MSEEKBAR_H

#include "mslider.h"

// A slider over a medium's length that also shows how much of the medium has been loaded.
class MSeekBar : public MSlider
{
    Q_OBJECT

public:
    explicit MSeekBar(QGraphicsItem* parent = nullptr);
    ~MSeekBar() override;

    int loadedContentMaximum() const;
    void setLoadedContentRange(int minimum, int maximum);

signals:
    // The user moved the handle outside the loaded part.
    void outOfLoadedContentRange();

protected:
    void drawGroove(QPainter* painter, const QRectF& groove) const override;

private slots:
    void checkLoadedRange(int value);

private:
    int loadedLow = 0;
    int loadedHigh = 0;
    bool loadedSet = false;
};

#endif // MSEEKBAR_H
