#include "radionetworksession.h"

#include <QNetworkConfigurationManager>

RadioNetworkSession::RadioNetworkSession(QObject* parent)
    : QObject(parent)
    , manager(new QNetworkConfigurationManager(this))
    , session(nullptr)
{
    qRegisterMetaType<QNetworkSession::State>("QNetworkSession::State");
    qRegisterMetaType<QNetworkSession::SessionError>("QNetworkSession::SessionError");
}

RadioNetworkSession::~RadioNetworkSession()
{
    delete session;
}

void RadioNetworkSession::open()
{
    const QNetworkConfiguration configuration = manager->defaultConfiguration();
    if (!session || session->configuration() != configuration) {
        if (session) {
            disconnect(session, nullptr, this, nullptr);
            session->deleteLater();
        }
        session = new QNetworkSession(configuration);
        connect(session, SIGNAL(error(QNetworkSession::SessionError)), this,
                SIGNAL(error(QNetworkSession::SessionError)), Qt::UniqueConnection);
        connect(session, SIGNAL(stateChanged(QNetworkSession::State)), this,
                SIGNAL(stateChanged(QNetworkSession::State)), Qt::UniqueConnection);
    }
    if (session->isOpen())
        emit stateChanged(session->state());
    else
        session->open();
}

void RadioNetworkSession::close()
{
    if (session)
        session->close();
}

bool RadioNetworkSession::isOpen() const
{
    return session && session->isOpen();
}

void RadioNetworkSession::injectStateForTesting(QNetworkSession::State state)
{
    emit stateChanged(state);
}

void RadioNetworkSession::injectErrorForTesting(QNetworkSession::SessionError sessionError)
{
    emit error(sessionError);
}
