#include "mafweditablemodel.h"

MafwEditableModel::~MafwEditableModel()
{
}
