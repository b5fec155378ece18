#ifndef ABSTRACTSTOREEXTENSIONWIDGET_H
#define ABSTRACTSTOREEXTENSIONWIDGET_H

#include "abstractextensionwidget.h"

// An extension widget that offers things from a store. It is an extension widget like any
// other; areas place store widgets above the others.
class AbstractStoreExtensionWidget : public AbstractExtensionWidget
{
public:
    ~AbstractStoreExtensionWidget() override;
};

#endif // ABSTRACTSTOREEXTENSIONWIDGET_H
