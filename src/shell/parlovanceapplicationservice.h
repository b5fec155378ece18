#ifndef PARLOVANCEAPPLICATIONSERVICE_H
#define PARLOVANCEAPPLICATIONSERVICE_H

#include "mapplicationservice.h"
#include "common/parlovance.h"

class MainWindow;

// The program's application service on the session bus ("com.vaspe.parlovance") and the owner
// of its main window: it makes, shows, raises and deletes the window, and slows the position
// updates down while the window sits in the task switcher.
class ParlovanceApplicationService : public MApplicationService
{
    Q_OBJECT

public:
    static ParlovanceApplicationService* instance();

    void showMainWindow(Parlovance::ParlovancePages page, bool externalPlayback);
    // Shows what plays from outside the library (streams, files elsewhere): for now the main
    // window's now-playing page stands in for the system-wide player sheet.
    void showPlayerSheet();
    void deleteMainWindow();
    // The main window; null until it is first shown and after it is deleted.
    MainWindow* mainWindow() const;

signals:
    void playerViewAppeared();

public slots:
    void launch() override;
    void sheetInSwitcher();
    void sheetInFront();
    void appWindowInSwitcher();
    void appWindowInFront();
    void appWindowClosed();

private:
    explicit ParlovanceApplicationService(QObject* parent = nullptr);
    ~ParlovanceApplicationService() override;

    void createMainWindow(Parlovance::ParlovancePages& page, bool externalPlayback);

    static ParlovanceApplicationService* s_instance;

    MainWindow* window = nullptr;
    bool windowInSwitcher = true;
    bool sheetHidden = true;
};

#endif // PARLOVANCEAPPLICATIONSERVICE_H
