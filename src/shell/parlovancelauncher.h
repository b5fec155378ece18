#ifndef PARLOVANCELAUNCHER_H
#define PARLOVANCELAUNCHER_H

#include <QObject>

class QDBusConnectionInterface;

// Asks the session bus to start the player's application service.
class ParlovanceLauncher : public QObject
{
public:
    static ParlovanceLauncher* instance();
    static void destroyInstance();

    void startParlovanceService();

private:
    ParlovanceLauncher();
    ~ParlovanceLauncher() override;

    static ParlovanceLauncher* s_instance;

    QDBusConnectionInterface* busInterface = nullptr;
};

#endif // PARLOVANCELAUNCHER_H
