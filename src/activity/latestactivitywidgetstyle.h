#ifndef LATESTACTIVITYWIDGETSTYLE_H
#define LATESTACTIVITYWIDGETSTYLE_H

#include "mwidgetstyle.h"

// The look of the latest-activity grid: the common widget attributes only; its tiles and labels
// have style names of their own.
class LatestActivityWidgetStyle : public MWidgetStyle
{
    Q_OBJECT
    M_STYLE(LatestActivityWidgetStyle)

public:
    explicit LatestActivityWidgetStyle(QObject* parent = nullptr);
    ~LatestActivityWidgetStyle() override;
};

#endif // LATESTACTIVITYWIDGETSTYLE_H
