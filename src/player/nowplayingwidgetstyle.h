#ifndef NOWPLAYINGWIDGETSTYLE_H
#define NOWPLAYINGWIDGETSTYLE_H

#include "mwidgetstyle.h"

// The theme's entry for the information panel: the common attributes, of which themes set the
// background colour (MWidgetStyle::backgroundColor); the panel's view paints nothing of its own.
class NowPlayingWidgetStyle : public MWidgetStyle
{
    Q_OBJECT
    M_STYLE(NowPlayingWidgetStyle)

public:
    explicit NowPlayingWidgetStyle(QObject* parent = nullptr);
    ~NowPlayingWidgetStyle() override;
};

#endif // NOWPLAYINGWIDGETSTYLE_H
