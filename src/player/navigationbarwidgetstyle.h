#ifndef NAVIGATIONBARWIDGETSTYLE_H
#define NAVIGATIONBARWIDGETSTYLE_H

#include "mwidgetstyle.h"

// The look of the player's navigation bar: the common widget attributes only.
class NavigationBarWidgetStyle : public MWidgetStyle
{
    Q_OBJECT
    M_STYLE(NavigationBarWidgetStyle)

public:
    explicit NavigationBarWidgetStyle(QObject* parent = nullptr);
    ~NavigationBarWidgetStyle() override;
};

#endif // NAVIGATIONBARWIDGETSTYLE_H
