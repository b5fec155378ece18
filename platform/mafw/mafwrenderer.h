#ifndef MAFWRENDERER_H
#define MAFWRENDERER_H

#include "mafwmediainfo.h"

#include <QList>
#include <QMetaMethod>
#include <QObject>
#include <QPointer>
#include <QString>

class QTimer;

// The media framework's renderer: the states it reports and the media info of the item it
// plays. The play controller owns the one renderer of the process and keeps its info current.
class MafwRenderer : public QObject
{
    Q_OBJECT

public:
    enum State { Stopped = 0, Playing = 1, Paused = 2, Transitioning = 3, Invalid = 100 };
    Q_ENUM(State)

    explicit MafwRenderer(const QString& uuid, QObject* parent = nullptr);
    ~MafwRenderer() override;

    QString uuid() const;

    // Answers later, on the event loop, by calling member (a slot or method signature, with or
    // without the code character of SLOT()) on receiver with an MafwMediaInfo argument. An
    // empty metadataKey asks for every key. Returns false when receiver has no such member.
    // While an item is still being loaded, the answer waits for it (a few seconds at most).
    bool getCurrentMediaInfo(QObject* receiver, const char* member,
                             const QString& metadataKey = QString());

    MafwMediaInfo currentMediaInfo() const;
    void setCurrentMediaInfo(const MafwMediaInfo& info);

    // False from the start of loading an item until its metadata has come in.
    void setMediaInfoComplete(bool complete);

private:
    struct Request
    {
        QPointer<QObject> receiver;
        QMetaMethod method;
        QString key;
    };

    void answer(const Request& request);
    void answerWaiting();

    QString m_uuid;
    MafwMediaInfo m_info;
    bool m_complete;
    QList<Request> m_waiting;
    QTimer* m_patience;
};

#endif // MAFWRENDERER_H
