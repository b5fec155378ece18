#ifndef PLAYERINFOAREASTYLE_H
#define PLAYERINFOAREASTYLE_H

#include "mwidgetstyle.h"

// The look of the player's cover and play-queue area: the common widget attributes only.
class PlayerInfoAreaStyle : public MWidgetStyle
{
    Q_OBJECT
    M_STYLE(PlayerInfoAreaStyle)

public:
    explicit PlayerInfoAreaStyle(QObject* parent = nullptr);
    ~PlayerInfoAreaStyle() override;
};

#endif // PLAYERINFOAREASTYLE_H
