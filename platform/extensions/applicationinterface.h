#ifndef APPLICATIONINTERFACE_H
#define APPLICATIONINTERFACE_H

#include <QObject>
#include <QPointer>
#include <QString>

class MWidget;

// The application as extensions see it: an extension asks for a page of its own with
// showSubPage(), and the application shows subPageWidget() under title() when
// subPageWidgetChanged() comes.
class ApplicationInterface : public QObject
{
    Q_OBJECT

public:
    explicit ApplicationInterface(QObject* parent = nullptr);
    ~ApplicationInterface() override;

    // Null when no extension asked for a page, or when its widget has gone.
    MWidget* subPageWidget() const;
    QString title() const;

    // Called by an extension. The widget stays the extension's; the page that shows it takes
    // it as its content until another widget replaces it.
    void showSubPage(MWidget* widget, const QString& title);

signals:
    void subPageWidgetChanged();

private:
    QPointer<MWidget> widget;
    QString pageTitle;
};

#endif // APPLICATIONINTERFACE_H
