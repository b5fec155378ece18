#include "mcellcreator.h"

#include "mwidgetcontroller.h"

MCellCreator::~MCellCreator() = default;

void MCellCreator::applyCellNames(MWidget* cell, const QString& objectName)
{
    if (!cell)
        return;
    auto* controller = qobject_cast<MWidgetController*>(cell);
    if (!objectName.isEmpty()) {
        cell->setObjectName(objectName);
        if (controller && controller->styleName().isEmpty())
            controller->setStyleName(objectName);
    }
}
