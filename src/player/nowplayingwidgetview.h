#ifndef NOWPLAYINGWIDGETVIEW_H
#define NOWPLAYINGWIDGETVIEW_H

#include "mwidgetview.h"
#include "nowplayingwidgetmodel.h"
#include "nowplayingwidgetstyle.h"

class NowPlayingWidget;

// The view of the information panel: the panel's labels draw themselves, the view nothing.
class NowPlayingWidgetView : public MWidgetView
{
    M_VIEW(NowPlayingWidgetModel, NowPlayingWidgetStyle)

public:
    explicit NowPlayingWidgetView(NowPlayingWidget* controller);
    ~NowPlayingWidgetView() override;

    void drawBackground(QPainter* painter, const QStyleOptionGraphicsItem* option) const override;

private:
    NowPlayingWidget* panel;
};

#endif // NOWPLAYINGWIDGETVIEW_H
