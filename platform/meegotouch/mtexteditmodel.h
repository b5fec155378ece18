#ifndef MTEXTEDITMODEL_H
#define MTEXTEDITMODEL_H

#include "mwidgetmodel.h"

// The model of a text field; it names the line modes.
class MTextEditModel : public MWidgetModel
{
    Q_OBJECT

public:
    // The numbers are passed by callers (0 single line), so they are fixed.
    enum LineMode { SingleLine = 0, MultiLine = 1 };
    Q_ENUM(LineMode)

    explicit MTextEditModel(QObject* parent = nullptr);
    ~MTextEditModel() override;
};

#endif // MTEXTEDITMODEL_H
