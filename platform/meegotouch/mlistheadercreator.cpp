#include "mlistheadercreator.h"

#include <QModelIndex>

MListHeaderCreator::MListHeaderCreator()
{
    setCellObjectName(QStringLiteral("CommonGroupHeaderInverted"));
}

MListHeaderCreator::~MListHeaderCreator() = default;

void MListHeaderCreator::updateCell(const QModelIndex& index, MWidget* cell) const
{
    auto* header = qobject_cast<MListGroupHeader*>(cell);
    if (!header)
        return;
    header->setTitle(index.data(Qt::DisplayRole).toString());
}
