#ifndef FOLDEREXTENSION_H
#define FOLDEREXTENSION_H

#include "abstractextensionwidget.h"

#include <QObject>
#include <QPointer>

class MWidget;

// An extension plug-in as one would install it in the extension folder: a Qt plug-in that
// links nothing of the application.
class FolderExtension : public QObject, public AbstractExtensionWidget
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID MApplicationExtensionInterface_iid FILE "folderextension.json")
    Q_INTERFACES(MApplicationExtensionInterface)

public:
    FolderExtension();
    ~FolderExtension() override;

    void setMediator(ApplicationActionMediator* mediator) override;
    MWidget* widget() override;

private:
    QPointer<MWidget> shown;
};

#endif // FOLDEREXTENSION_H
