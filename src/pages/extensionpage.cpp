#include "extensionpage.h"

ExtensionPage::ExtensionPage(PageWindow* window, QVariant parameter)
    : QuintaveilPage(window, parameter)
{
    // Without the page connections the back button would lead nowhere.
    finishPageCreation(NoObjectMenu);
}

ExtensionPage::~ExtensionPage() = default;

void ExtensionPage::finishPageCreation(ObjectMenuType type)
{
    setupPageConnections(type);
}
