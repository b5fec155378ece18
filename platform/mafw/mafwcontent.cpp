#include "mafwcontent.h"

MafwContent::MafwContent() = default;

QVariant MafwContent::metaData(const QString& key) const
{
    return m_metaData.value(key);
}

void MafwContent::setMetaData(const QString& key, const QVariant& value)
{
    m_metaData.insert(key, value);
}
