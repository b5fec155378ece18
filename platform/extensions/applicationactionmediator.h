#ifndef APPLICATIONACTIONMEDIATOR_H
#define APPLICATIONACTIONMEDIATOR_H

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

class ApplicationActionContent;
class ApplicationInterface;

// Passes on to the extensions what the user looks at and what the user plays, and gives them
// the application. Contents are read during the call and not kept: the values and the type of
// the last one of each kind can be read back, and extensions follow them through the signals.
class ApplicationActionMediator : public QObject
{
    Q_OBJECT

public:
    static ApplicationActionMediator* instance();

    // A page shows this content (a song, an album, an artist).
    virtual void publishContent(ApplicationActionContent* content);
    // The user plays something.
    virtual void announcePlayAction(ApplicationActionContent* content);

    void setApplicationInterface(ApplicationInterface* application);
    // Null until the application sets one, and after it has gone.
    ApplicationInterface* applicationInterface() const;

    // The values and the type of the last content; empty and -1 before the first.
    QHash<QString, QVariant> lastContent() const;
    int lastContentType() const;
    int contentCount() const;

    // The values and the type of the last play action; empty and -1 before the first.
    QHash<QString, QVariant> lastPlayAction() const;
    int lastPlayActionType() const;
    int playActionCount() const;

signals:
    void contentPublished(const QHash<QString, QVariant>& values, int type);
    void playActionAnnounced(const QHash<QString, QVariant>& values, int type);

private:
    struct Record
    {
        QHash<QString, QVariant> values;
        int type = -1;
        int count = 0;
        void take(const ApplicationActionContent* content);
    };

    ApplicationActionMediator();
    ~ApplicationActionMediator() override;

    Record content;
    Record playAction;
    QPointer<ApplicationInterface> application;
};

#endif // APPLICATIONACTIONMEDIATOR_H
