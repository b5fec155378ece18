#include "extensionpage.h"

ExtensionPage::ExtensionPage(MainWindow* window, QVariant parameter)
    : QuintaveilPage(window, parameter)
{
    finishPageCreation(NoObjectMenu);
}

ExtensionPage::~ExtensionPage() = default;

void ExtensionPage::finishPageCreation(ObjectMenuType type)
{
    setupPageConnections(type);
}
