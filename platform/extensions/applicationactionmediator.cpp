#include "applicationactionmediator.h"

#include "applicationactioncontent.h"
#include "applicationinterface.h"

#include <QCoreApplication>

namespace {
ApplicationActionMediator* mediator = nullptr;
}

ApplicationActionMediator* ApplicationActionMediator::instance()
{
    if (!mediator)
        mediator = new ApplicationActionMediator;
    return mediator;
}

ApplicationActionMediator::ApplicationActionMediator()
    : QObject(QCoreApplication::instance())
{
}

ApplicationActionMediator::~ApplicationActionMediator()
{
    if (mediator == this)
        mediator = nullptr;
}

void ApplicationActionMediator::Record::take(const ApplicationActionContent* taken)
{
    values = taken->values();
    type = taken->type();
    ++count;
}

void ApplicationActionMediator::publishContent(ApplicationActionContent* published)
{
    if (!published)
        return;
    content.take(published);
    emit contentPublished(content.values, content.type);
}

void ApplicationActionMediator::announcePlayAction(ApplicationActionContent* announced)
{
    if (!announced)
        return;
    playAction.take(announced);
    emit playActionAnnounced(playAction.values, playAction.type);
}

void ApplicationActionMediator::setApplicationInterface(ApplicationInterface* newApplication)
{
    application = newApplication;
}

ApplicationInterface* ApplicationActionMediator::applicationInterface() const
{
    return application.data();
}

QHash<QString, QVariant> ApplicationActionMediator::lastContent() const
{
    return content.values;
}

int ApplicationActionMediator::lastContentType() const
{
    return content.type;
}

int ApplicationActionMediator::contentCount() const
{
    return content.count;
}

QHash<QString, QVariant> ApplicationActionMediator::lastPlayAction() const
{
    return playAction.values;
}

int ApplicationActionMediator::lastPlayActionType() const
{
    return playAction.type;
}

int ApplicationActionMediator::playActionCount() const
{
    return playAction.count;
}
