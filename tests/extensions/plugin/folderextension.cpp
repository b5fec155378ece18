#include "folderextension.h"

#include "applicationactionmediator.h"
#include "mwidget.h"

FolderExtension::FolderExtension()
    : shown(new MWidget)
{
    shown->setObjectName(QStringLiteral("folder extension"));
    shown->setPreferredHeight(40);
}

FolderExtension::~FolderExtension()
{
    delete shown.data();
}

void FolderExtension::setMediator(ApplicationActionMediator* mediator)
{
    setProperty("mediator", QVariant::fromValue<QObject*>(mediator));
}

MWidget* FolderExtension::widget()
{
    return shown;
}
