#ifndef APPLICATIONACTIONMEDIATOR_H
#define APPLICATIONACTIONMEDIATOR_H

#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>

class ApplicationActionContent;

// Passes what the user does in the application on to the extension plug-ins. No plug-ins ship,
// so an announcement is only kept: the last one can be read back.
class ApplicationActionMediator : public QObject
{
public:
    static ApplicationActionMediator* instance();

    // The user plays something. The content is read during the call and not kept.
    virtual void announcePlayAction(ApplicationActionContent* content);

    // The values and the type of the last play action; empty and -1 before the first.
    QHash<QString, QVariant> lastPlayAction() const;
    int lastPlayActionType() const;
    int playActionCount() const;

private:
    ApplicationActionMediator();
    ~ApplicationActionMediator() override;

    QHash<QString, QVariant> m_lastValues;
    int m_lastType;
    int m_count;
};

#endif // APPLICATIONACTIONMEDIATOR_H
