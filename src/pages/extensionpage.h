#ifndef EXTENSIONPAGE_H
#define EXTENSIONPAGE_H

#include "pageframework/quintaveilpage.h"

// An empty page whose content and title an extension supplies (ApplicationInterface): the
// window puts the extension's widget and title on it on every show. The page is wired like
// every other one, so Back leaves it.
class ExtensionPage : public QuintaveilPage
{
    Q_OBJECT

public:
    ExtensionPage(PageWindow* window, QVariant parameter);
    ~ExtensionPage() override;

public slots:
    void finishPageCreation(ObjectMenuType type) override;
};

#endif // EXTENSIONPAGE_H
