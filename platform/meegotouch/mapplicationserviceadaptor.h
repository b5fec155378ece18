#ifndef MAPPLICATIONSERVICEADAPTOR_H
#define MAPPLICATIONSERVICEADAPTOR_H

#include <QDBusAbstractAdaptor>

class MApplicationService;

// Exports MApplicationService::launch() on the session bus.
class MApplicationServiceAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.vaspe.ApplicationService")

public:
    explicit MApplicationServiceAdaptor(MApplicationService* service);
    ~MApplicationServiceAdaptor() override;

public slots:
    void launch();

private:
    MApplicationService* service;
};

#endif // MAPPLICATIONSERVICEADAPTOR_H
