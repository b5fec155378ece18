#ifndef PLAYERCONTROLSWIDGETSTYLE_H
#define PLAYERCONTROLSWIDGETSTYLE_H

#include "mwidgetstyle.h"

// The look of the player controls: the common widget attributes only.
class PlayerControlsWidgetStyle : public MWidgetStyle
{
    Q_OBJECT
    M_STYLE(PlayerControlsWidgetStyle)

public:
    explicit PlayerControlsWidgetStyle(QObject* parent = nullptr);
    ~PlayerControlsWidgetStyle() override;
};

#endif // PLAYERCONTROLSWIDGETSTYLE_H
