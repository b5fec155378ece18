#ifndef ZELOVERLAYLABELSTYLE_H
#define ZELOVERLAYLABELSTYLE_H

#include "mwidgetstyle.h"

// The look of an overlay label: the common widget attributes only; its parts have style names
// of their own.
class ZelOverlayLabelStyle : public MWidgetStyle
{
    Q_OBJECT
    M_STYLE(ZelOverlayLabelStyle)

public:
    explicit ZelOverlayLabelStyle(QObject* parent = nullptr);
    ~ZelOverlayLabelStyle() override;
};

#endif // ZELOVERLAYLABELSTYLE_H
