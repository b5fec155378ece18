#include "nowplayingwidgetview.h"

#include "nowplayingwidget.h"

NowPlayingWidgetView::NowPlayingWidgetView(NowPlayingWidget* controller)
    : MWidgetView(controller)
    , panel(controller)
{
}

NowPlayingWidgetView::~NowPlayingWidgetView() = default;

void NowPlayingWidgetView::drawBackground(QPainter* painter,
                                          const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(painter)
    Q_UNUSED(option)
}
