#ifndef COLLECTIONPAGE_H
#define COLLECTIONPAGE_H

#include "pageframework/collectionpagebase.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <QVariant>

// The base of the pages that list the library's albums or artists: a tap on an item opens a
// page of its songs or albums, and the row of the songs without such an item is answered by a
// store query of the page's own. The rest comes from the description (CollectionPageBase).
class CollectionPage : public CollectionPageBase
{
    Q_OBJECT

public:
    CollectionPage(PageWindow* owner, const QVariant& parameter,
                   const CollectionPageDescription& description);
    ~CollectionPage() override;

public slots:
    // The page takes no parameter.
    void passParameterToPage(QVariant parameter) override;

protected slots:
    void handleFilterTextChanged(QString text) override;
    void queryFailed(int errCode, QString errStr, QVariant userData);

protected:
    // Every column of the item's row under its header text: the parameter of the page it
    // opens. Empty for an invalid index.
    QHash<QString, QVariant> rowParameters(const QModelIndex& index) const;
    // Sends a query of the page's own; its one column comes back to resultSlot (the SLOT()
    // form), a failure to queryFailed().
    void askStore(const QString& query, const char* resultSlot);
};

#endif // COLLECTIONPAGE_H
