#ifndef MAPPLICATIONSERVICE_H
#define MAPPLICATIONSERVICE_H

#include <QObject>
#include <QString>

// An application's service on the session bus: it owns the service name and exports, at object
// path "/" with interface "com.vaspe.ApplicationService", the method launch(), which calls the
// virtual launch(). It registers as soon as an application object exists (at once, or when the
// MApplication it was given to is made) on a bus connection of its own.
class MApplicationService : public QObject
{
    Q_OBJECT

public:
    static const char* const InterfaceName;

    explicit MApplicationService(const QString& serviceName, QObject* parent = nullptr);
    ~MApplicationService() override;

    bool isRegistered() const;

    // Takes the name on the session bus; true when it is ours. Called again it does nothing.
    bool registerService();

    // For a process that could not take the name because another one owns it: asks that owner
    // to come forward through its launch() (when bringForward is set) and returns true, so this
    // process can end instead of running a second copy. False when the name is ours, or when
    // nobody owns it (no session bus).
    bool handOverToOwner(bool bringForward);

public slots:
    // Brings the application's window to the front.
    virtual void launch();

private:
    QString name;
    QString connectionName;
    bool registered = false;
};

#endif // MAPPLICATIONSERVICE_H
