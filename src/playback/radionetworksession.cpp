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
    if (!configuration.isValid()) {
        // The system manages no networks the bearer layer knows of (no interface but the
        // loopback): nothing tells the network is down, so the stream tries what there is.
        emit stateChanged(QNetworkSession::Connected);
        return;
    }
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
        // A session whose configuration is up already opens without a change of state: its
        // state is reported when it has opened.
        connect(session, &QNetworkSession::opened, this,
                [this]() { emit stateChanged(session->state()); });
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
