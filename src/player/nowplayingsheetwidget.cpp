#include "nowplayingsheetwidget.h"

#include "playback/playstate.h"

NowPlayingSheetWidget::NowPlayingSheetWidget(QGraphicsItem* parent)
    : NowPlayingWidget(parent, PlayState::RadioMode)
{
}

NowPlayingSheetWidget::~NowPlayingSheetWidget() = default;

void NowPlayingSheetWidget::setup()
{
    build(QStringLiteral("NowPlayingSheetWidget"), QStringLiteral("SheetPlayerInfoPaneTop"),
          QStringLiteral("SheetPlayerInfoPaneBottom"));
}
