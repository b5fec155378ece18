#ifndef PARLOVANCESERVICE_H
#define PARLOVANCESERVICE_H

#include "common/parlovance.h"

#include <QObject>
#include <QVariant>

class PlayState;

// The playback service other applications reach on the session bus. Minimal for now: it
// takes its bus name and object path, and can ask the window for a page.
class ParlovanceService : public QObject
{
    Q_OBJECT

public:
    static const char* const ServiceName;

    static ParlovanceService* instance();
    static void destroyInstance();

signals:
    void goToPage(Parlovance::ParlovancePages page, QVariant parameter);

private:
    ParlovanceService();
    ~ParlovanceService() override;

    static ParlovanceService* s_instance;

    PlayState* playState;
};

#endif // PARLOVANCESERVICE_H
