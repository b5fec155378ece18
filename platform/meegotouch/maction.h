#ifndef MACTION_H
#define MACTION_H

#include <QAction>

// An action with a theme icon id and the places it shows in. A page's toolbar shows its actions
// with a toolbar location, its view menu those with the application-menu location.
class MAction : public QAction
{
    Q_OBJECT

public:
    // The numbers are passed by callers (3 toolbar, 4 application menu, 8 object menu).
    enum Location {
        NoLocation = 0x0,
        ToolBarPortraitLocation = 0x1,
        ToolBarLandscapeLocation = 0x2,
        ToolBarLocation = ToolBarPortraitLocation | ToolBarLandscapeLocation,
        ApplicationMenuLocation = 0x4,
        ObjectMenuLocation = 0x8,
        EveryLocation = ToolBarLocation | ApplicationMenuLocation | ObjectMenuLocation
    };
    Q_DECLARE_FLAGS(Locations, Location)

    explicit MAction(QObject* parent = nullptr);
    MAction(const QString& text, QObject* parent);
    MAction(const QString& iconID, const QString& text, QObject* parent);
    ~MAction() override;

    QString iconID() const;
    void setIconID(const QString& id);

    Locations location() const;
    void setLocation(Locations location);

    // Whether a plain QAction or an MAction shows at the location.
    static bool isAt(const QAction* action, Location location);

protected:
    // Tells the widgets showing the action that it changed.
    void announceChange();

private:
    QString icon;
    Locations locations = EveryLocation;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(MAction::Locations)

#endif // MACTION_H
