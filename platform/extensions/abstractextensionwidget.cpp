#include "abstractextensionwidget.h"

AbstractExtensionWidget::~AbstractExtensionWidget() = default;
