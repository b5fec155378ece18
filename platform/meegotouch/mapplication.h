#ifndef MAPPLICATION_H
#define MAPPLICATION_H

#include <QApplication>

class MApplicationService;
class MApplicationWindow;
class MWindow;

// The application object of the touch UI. It registers its application service on the session
// bus and keeps track of the touch UI windows. The window look-ups are static and work under a
// plain QApplication too (tests).
class MApplication : public QApplication
{
    Q_OBJECT

public:
    MApplication(int& argc, char** argv, const QString& appIdentifier = QString(),
                 MApplicationService* service = nullptr);
    MApplication(int& argc, char** argv, MApplicationService* service);
    ~MApplication() override;

    static MApplication* instance();

    // The touch UI window in front: the visible one shown or activated most recently, else
    // the active one, else the one made most recently; null when there is none.
    static MWindow* activeWindow();
    // The same, among application windows only.
    static MApplicationWindow* activeApplicationWindow();
    static QList<MWindow*> windows();

    QString appIdentifier() const;
    MApplicationService* applicationService() const;

    // Kept by the windows themselves.
    static void registerWindow(MWindow* window);
    static void unregisterWindow(MWindow* window);
    static void noteWindowShown(MWindow* window);

private:
    QString identifier;
    MApplicationService* service;
};

#endif // MAPPLICATION_H
