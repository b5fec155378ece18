#ifndef MAPPLICATIONPAGEMODEL_H
#define MAPPLICATIONPAGEMODEL_H

#include "mwidgetmodel.h"

// The model of a page; it names how the page's navigation components are shown.
class MApplicationPageModel : public MWidgetModel
{
    Q_OBJECT

public:
    // The numbers are passed by callers (2 hidden), so they are fixed.
    enum ComponentDisplayMode { Show = 0, AutoHide = 1, Hide = 2 };
    Q_ENUM(ComponentDisplayMode)

    explicit MApplicationPageModel(QObject* parent = nullptr);
    ~MApplicationPageModel() override;
};

#endif // MAPPLICATIONPAGEMODEL_H
