#include "collectionpage.h"

#include "common/logging.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "mafwtrackerconnection.h"
#include "mafwtrackermodelfactory.h"

CollectionPage::CollectionPage(PageWindow* owner, const QVariant& parameter,
                               const CollectionPageDescription& description)
    : CollectionPageBase(owner, parameter, description)
{
}

CollectionPage::~CollectionPage() = default;

void CollectionPage::passParameterToPage(QVariant parameter)
{
    Q_UNUSED(parameter)
}

void CollectionPage::handleFilterTextChanged(QString text)
{
    filterList(text);
}

QHash<QString, QVariant> CollectionPage::rowParameters(const QModelIndex& index) const
{
    QHash<QString, QVariant> parameters;
    const int row = sourceRow(index);
    if (!pageModel || row < 0 || row >= pageModel->rowCount())
        return parameters;
    // The navigation parameter names each field by its data key, the model's header.
    for (int column = 0; column < pageModel->columnCount(); ++column) {
        parameters.insert(pageModel->headerData(column, Qt::Horizontal).toString(),
                          pageModel->index(row, column).data());
    }
    return parameters;
}

void CollectionPage::askStore(const QString& query, const char* resultSlot)
{
    MafwTrackerModelFactory* factory = MafwTrackerModelFactoryInstance::instance()->factory();
    MafwTrackerConnection* connection = factory ? factory->trackerConnection() : nullptr;
    if (!connection)
        return;
    connection->asyncQuery(query, 1, this, resultSlot, SLOT(queryFailed(int, QString, QVariant)),
                           QVariant());
}

void CollectionPage::queryFailed(int errCode, QString errStr, QVariant userData)
{
    qCDebug(lcPages) << Q_FUNC_INFO << "- code:" << errCode << "reason:" << errStr
                     << "userData:" << userData;
}
