#include "mtexteditmodel.h"

MTextEditModel::MTextEditModel(QObject* parent)
    : MWidgetModel(parent)
{
}

MTextEditModel::~MTextEditModel() = default;
