#include "mapplicationpagemodel.h"

MApplicationPageModel::MApplicationPageModel(QObject* parent)
    : MWidgetModel(parent)
{
}

MApplicationPageModel::~MApplicationPageModel() = default;
