#ifndef EXTENSIONPAGE_H
#define EXTENSIONPAGE_H

#include "pageframework/quintaveilpage.h"

// An empty page whose content and title an extension supplies; the window fills it on every
// show. Minimal for now.
class ExtensionPage : public QuintaveilPage
{
    Q_OBJECT

public:
    ExtensionPage(MainWindow* window, QVariant parameter);
    ~ExtensionPage() override;

public slots:
    void finishPageCreation(ObjectMenuType type) override;
};

#endif // EXTENSIONPAGE_H
