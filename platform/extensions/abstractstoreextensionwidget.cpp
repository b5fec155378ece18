#include "abstractstoreextensionwidget.h"

AbstractStoreExtensionWidget::~AbstractStoreExtensionWidget() = default;
