#ifndef RADIONETWORKSESSION_H
#define RADIONETWORKSESSION_H

#include <QNetworkSession>
#include <QObject>

class QNetworkConfigurationManager;

// The network session that radio playlists play over, on the system's default network
// configuration. Reports the session's states and errors; tests can report them instead.
class RadioNetworkSession : public QObject
{
    Q_OBJECT

public:
    explicit RadioNetworkSession(QObject* parent = nullptr);
    ~RadioNetworkSession() override;

    // Opens the session; a session on a configuration that is no longer the default one is
    // replaced. When it is open already its state is reported at once, else when it opens
    // (also when its configuration was up before, which changes no state). Without any
    // network configuration known to the system it reports connected.
    void open();
    void close();
    bool isOpen() const;

    // Test hooks: report a state or an error as the system's session would.
    void injectStateForTesting(QNetworkSession::State state);
    void injectErrorForTesting(QNetworkSession::SessionError error);

signals:
    void stateChanged(QNetworkSession::State state);
    void error(QNetworkSession::SessionError error);

private:
    QNetworkConfigurationManager* manager;
    QNetworkSession* session;
};

#endif // RADIONETWORKSESSION_H
