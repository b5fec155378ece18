#ifndef FILTERWIDGETSTYLE_H
#define FILTERWIDGETSTYLE_H

#include "mwidgetstyle.h"

// The look of the live-filter field: the common widget attributes only.
class FilterWidgetStyle : public MWidgetStyle
{
    Q_OBJECT
    M_STYLE(FilterWidgetStyle)

public:
    explicit FilterWidgetStyle(QObject* parent = nullptr);
    ~FilterWidgetStyle() override;
};

#endif // FILTERWIDGETSTYLE_H
