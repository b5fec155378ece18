#ifndef PLAYERCONTROLSSHEETWIDGET_H
#define PLAYERCONTROLSSHEETWIDGET_H

#include "playercontrolswidget.h"

// The transport bar of the system-wide player sheet: the player's controls, bound to the
// radio/stream playing mode, under the sheet's style names.
class PlayerControlsSheetWidget : public PlayerControlsWidget
{
    Q_OBJECT

public:
    explicit PlayerControlsSheetWidget(QGraphicsItem* parent);
    ~PlayerControlsSheetWidget() override;

    void createLayout() override;
    // Reads the content type, state, position and length of the playing item again.
    void refresh();
};

#endif // PLAYERCONTROLSSHEETWIDGET_H
