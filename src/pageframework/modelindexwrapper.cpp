#include "modelindexwrapper.h"

ModelIndexWrapper::ModelIndexWrapper(const QModelIndex& index, QObject* parent)
    : QObject(parent)
    , wrapped(index)
{
}

ModelIndexWrapper::~ModelIndexWrapper() = default;
