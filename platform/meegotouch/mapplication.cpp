#include "mapplication.h"

#include "mapplicationservice.h"
#include "mapplicationwindow.h"
#include "mwindow.h"

#include <QFont>
#include <QPalette>

namespace {
// Most recently shown or activated last.
QList<MWindow*>& windowList()
{
    static QList<MWindow*> list;
    return list;
}
} // namespace

MApplication::MApplication(int& argc, char** argv, const QString& appIdentifier,
                           MApplicationService* applicationService)
    : QApplication(argc, argv)
    , identifier(appIdentifier)
    , service(applicationService)
{
    if (!identifier.isEmpty())
        setApplicationName(identifier);
    setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    QPalette dark;
    dark.setColor(QPalette::Window, Qt::black);
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, Qt::black);
    dark.setColor(QPalette::Text, Qt::white);
    setPalette(dark);
    setQuitOnLastWindowClosed(true);
    if (service)
        service->registerService();
}

MApplication::MApplication(int& argc, char** argv, MApplicationService* applicationService)
    : MApplication(argc, argv, QString(), applicationService)
{
}

MApplication::~MApplication() = default;

MApplication* MApplication::instance()
{
    return qobject_cast<MApplication*>(QCoreApplication::instance());
}

MWindow* MApplication::activeWindow()
{
    // The window in front: the visible one shown or activated last. The window with the
    // keyboard is not the one to ask: a window brought up at another program's request (the
    // player sheet) is shown over the others without taking the keyboard where there is no
    // window manager, or one that leaves the keyboard where the user had it, and what appears
    // then must appear where the user looks, not under it.
    const QList<MWindow*>& list = windowList();
    for (int i = list.size() - 1; i >= 0; --i) {
        if (list.at(i)->isVisible())
            return list.at(i);
    }
    if (auto* active = qobject_cast<MWindow*>(QApplication::activeWindow()))
        return active;
    return list.isEmpty() ? nullptr : list.last();
}

MApplicationWindow* MApplication::activeApplicationWindow()
{
    if (auto* active = qobject_cast<MApplicationWindow*>(QApplication::activeWindow()))
        return active;
    const QList<MWindow*>& list = windowList();
    MApplicationWindow* hidden = nullptr;
    for (int i = list.size() - 1; i >= 0; --i) {
        auto* w = qobject_cast<MApplicationWindow*>(list.at(i));
        if (!w)
            continue;
        if (w->isVisible())
            return w;
        if (!hidden)
            hidden = w;
    }
    return hidden;
}

QList<MWindow*> MApplication::windows()
{
    return windowList();
}

QString MApplication::appIdentifier() const
{
    return identifier;
}

MApplicationService* MApplication::applicationService() const
{
    return service;
}

void MApplication::registerWindow(MWindow* window)
{
    if (!windowList().contains(window))
        windowList().append(window);
}

void MApplication::unregisterWindow(MWindow* window)
{
    windowList().removeAll(window);
}

void MApplication::noteWindowShown(MWindow* window)
{
    QList<MWindow*>& list = windowList();
    if (list.removeAll(window) > 0)
        list.append(window);
}
