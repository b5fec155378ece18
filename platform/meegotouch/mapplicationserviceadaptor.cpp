#include "mapplicationserviceadaptor.h"

#include "mapplicationservice.h"

MApplicationServiceAdaptor::MApplicationServiceAdaptor(MApplicationService* applicationService)
    : QDBusAbstractAdaptor(applicationService)
    , service(applicationService)
{
}

MApplicationServiceAdaptor::~MApplicationServiceAdaptor() = default;

void MApplicationServiceAdaptor::launch()
{
    service->launch();
}
