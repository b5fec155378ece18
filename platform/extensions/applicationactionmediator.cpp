#include "applicationactionmediator.h"

#include "applicationactioncontent.h"

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
    , m_lastType(-1)
    , m_count(0)
{
}

ApplicationActionMediator::~ApplicationActionMediator()
{
    if (mediator == this)
        mediator = nullptr;
}

void ApplicationActionMediator::announcePlayAction(ApplicationActionContent* content)
{
    if (!content)
        return;
    m_lastValues = content->values();
    m_lastType = content->type();
    ++m_count;
}

QHash<QString, QVariant> ApplicationActionMediator::lastPlayAction() const
{
    return m_lastValues;
}

int ApplicationActionMediator::lastPlayActionType() const
{
    return m_lastType;
}

int ApplicationActionMediator::playActionCount() const
{
    return m_count;
}
