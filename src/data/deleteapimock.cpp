#include "deleteapimock.h"

DeleteApiMock::DeleteApiMock(QObject* parent)
    : QObject(parent)
    , m_failing(false)
{
}

void DeleteApiMock::setFailing(bool failing)
{
    m_failing = failing;
}

void DeleteApiMock::deleteItems(const QList<int>& ids, MafwTrackerModel::QueryType type)
{
    if (m_failing)
        emit error(ids, type);
    else
        emit deletionFinished(ids, type);
}
