#ifndef MLISTHEADERCREATOR_H
#define MLISTHEADERCREATOR_H

#include "mabstractcellcreator.h"
#include "mlistgroupheader.h"

// The header creator a list uses when it was given none: group headers showing the group's
// display text.
class MListHeaderCreator : public MAbstractCellCreator<MListGroupHeader>
{
public:
    MListHeaderCreator();
    ~MListHeaderCreator() override;

    void updateCell(const QModelIndex& index, MWidget* cell) const override;
};

#endif // MLISTHEADERCREATOR_H
