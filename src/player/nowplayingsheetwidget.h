#ifndef NOWPLAYINGSHEETWIDGET_H
#define NOWPLAYINGSHEETWIDGET_H

#include "nowplayingwidget.h"

// The information panel of the system-wide player sheet: the panel of the player, bound to the
// radio/stream playing mode, under the sheet's style names. The sheet refreshes it
// (updateContent()) whenever the playing item changes.
class NowPlayingSheetWidget : public NowPlayingWidget
{
    Q_OBJECT

public:
    explicit NowPlayingSheetWidget(QGraphicsItem* parent);
    ~NowPlayingSheetWidget() override;

public slots:
    void setup() override;
};

#endif // NOWPLAYINGSHEETWIDGET_H
