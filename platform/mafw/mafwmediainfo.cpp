#include "mafwmediainfo.h"

MafwMediaInfo::MafwMediaInfo() = default;

QList<QVariant> MafwMediaInfo::metaData(const QString& key) const
{
    return m_metaData.value(key);
}

QMap<QString, QList<QVariant>> MafwMediaInfo::metaData() const
{
    return m_metaData;
}

void MafwMediaInfo::setMetaData(const QString& key, const QList<QVariant>& values)
{
    if (values.isEmpty())
        m_metaData.remove(key);
    else
        m_metaData.insert(key, values);
}
