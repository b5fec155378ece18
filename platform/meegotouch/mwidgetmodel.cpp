#include "mwidgetmodel.h"

MWidgetModel::MWidgetModel(QObject* parent)
    : QObject(parent)
{
}

MWidgetModel::~MWidgetModel() = default;
