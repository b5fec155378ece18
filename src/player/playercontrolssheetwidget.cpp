#include "playercontrolssheetwidget.h"

PlayerControlsSheetWidget::PlayerControlsSheetWidget(QGraphicsItem* parent)
    : PlayerControlsWidget(nullptr, parent, PlayState::RadioMode)
{
}

PlayerControlsSheetWidget::~PlayerControlsSheetWidget() = default;

void PlayerControlsSheetWidget::createLayout()
{
    buildLayout(QStringLiteral("SheetPlayerSeekPane"),
                QStringLiteral("SheetPlayerControlsButtonPane"));
}

void PlayerControlsSheetWidget::refresh()
{
    handleContentType(playState->contentType(playingMode()));
    handleStateChange(playState->state(playingMode()));
    updatePosition(playState->position(playingMode()));
    updateDuration(playState->duration(playingMode()));
}
