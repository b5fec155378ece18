#ifndef PARLOVANCEAPPLICATIONSERVICE_H
#define PARLOVANCEAPPLICATIONSERVICE_H

#include "mapplicationservice.h"
#include "common/parlovance.h"

class MainWindow;
class PlayerSheet;

// The program's application service on the session bus ("com.vaspe.parlovance") and the owner
// of its two surfaces: the main window, and the system-wide player sheet that plays a file or
// stream from outside the library over whatever is in front. It makes, shows, raises and
// deletes them, and slows the position updates down while a surface that shows playback sits in
// the task switcher. A sheet that goes ends what it played.
class ParlovanceApplicationService : public MApplicationService
{
    Q_OBJECT

public:
    static ParlovanceApplicationService* instance();

    void showMainWindow(Parlovance::ParlovancePages page, bool externalPlayback);
    // Shows what plays from outside the library (streams, files elsewhere) in the player sheet,
    // made when there is none; a sheet that is up only comes to the front.
    void showPlayerSheet();
    void dismissSheet();
    void deleteMainWindow();
    // A start for the bus alone: the process serves other programs until one launches the main
    // window, so a player sheet that comes and goes meanwhile (the only window then) does not
    // end it. From the main window's first showing on, closing the last window ends it again.
    void serveBusOnly();
    // The main window; null until it is first shown and after it is deleted.
    MainWindow* mainWindow() const;
    // The player sheet; null when none is up.
    PlayerSheet* playerSheet() const;
    // Whether the main window is up on its player page, so that playerViewAppeared() has been
    // sent for what it shows.
    bool showsPlayerView() const;

signals:
    void playerViewAppeared();

public slots:
    void launch() override;
    void sheetDestroyed(QObject* sheet);
    void sheetInSwitcher();
    void sheetInFront();
    void appWindowInSwitcher();
    void appWindowInFront();
    void appWindowClosed();

private:
    explicit ParlovanceApplicationService(QObject* parent = nullptr);
    ~ParlovanceApplicationService() override;

    void createMainWindow(Parlovance::ParlovancePages& page, bool externalPlayback);
    void createSheet();
    // The top-level windows that are no application window: the sheet's own.
    static QList<QWidget*> sheetWindows();

    static ParlovanceApplicationService* s_instance;

    MainWindow* window = nullptr;
    PlayerSheet* sheet = nullptr;
    bool windowInSwitcher = true;
    bool sheetHidden = true;
    bool busOnly = false;
};

#endif // PARLOVANCEAPPLICATIONSERVICE_H
