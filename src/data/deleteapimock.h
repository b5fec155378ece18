#ifndef DELETEAPIMOCK_H
#define DELETEAPIMOCK_H

#include <QList>
#include <QObject>

#include "mafwtrackermodel.h"

// Stands in for the factory's deletion request where nothing may really be deleted: it
// answers at once, within the call, and deletes nothing.
class DeleteApiMock : public QObject
{
    Q_OBJECT

public:
    explicit DeleteApiMock(QObject* parent);

    void setFailing(bool failing);
    void deleteItems(const QList<int>& ids, MafwTrackerModel::QueryType type);

signals:
    void deletionFinished(QList<int> trackerIds, MafwTrackerModel::QueryType type);
    void error(QList<int> trackerIds, MafwTrackerModel::QueryType type);

private:
    bool m_failing;
};

#endif // DELETEAPIMOCK_H
