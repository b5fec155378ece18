#ifndef PAGEPLAYER_H
#define PAGEPLAYER_H

#include "activity/activity.h"
#include "playoptions.h"

#include <QObject>
#include <QPersistentModelIndex>
#include <QSharedPointer>
#include <QString>

class MafwTrackerModel;
class PlayState;
class QAbstractItemModel;
class QuintaveilPage;

// Starts playback and queues songs for one page, through the playback hub.
//
// A play request names a model, the row to start at, how to record it among the latest
// activities and its options. The queue is replaced only once the model has rows: a list that
// has finished loading with none (an emptied playlist, songs that are away) leaves the queue and
// what plays as they were, and the user is told the list is empty. A model still loading is
// waited for, and so is the queue's copy of it where the request queues a copy. A waiting
// request ends, starting nothing then or later, when a newer request of any page comes, when
// another page comes to the front, or when someone else changes the queue (a request over the
// bus, songs added to it). Once the queue has the rows, the request waits for the page to leave
// for the player, where playback begins and the activity is recorded. A row that went away
// meanwhile starts nothing; a start the hub refused records nothing.
class PagePlayer : public QObject
{
    Q_OBJECT

public:
    explicit PagePlayer(QuintaveilPage* page);
    ~PagePlayer() override;

    // index: a row of the page's list adapter; invalid starts at the start position (1 or
    // more), else at the top.
    void play(const QModelIndex& index, QSharedPointer<QAbstractItemModel> model,
              const QString& playlistName, Activity::ActivityType activityType, PlayOptions options,
              int activityTrackerId, int startPosition);
    // Plays the pending request now and records its activity.
    void startSongPlayback();

    // Adds the model (or a copy of one row of it, -1 all rows) to the end of the queue and
    // says how many songs went in once that is known.
    void appendToQueue(QSharedPointer<MafwTrackerModel> model, bool createCopy, int row);
    static void showSongsAddedBanner(int count);

signals:
    // The request is set up: the page goes to the player.
    void playerWanted();

private slots:
    void handleQueueSongCount(int count);
    void handleQueueCopyFilled();
    void followList();
    void showAddToQueueBannerAfterModelIsCompleted();
    void handleSongsAddedToPlaylist(int count);

private:
    struct Request
    {
        QPersistentModelIndex index;
        bool indexGiven = false;
        // Held while the model is waited for; once it is queued, the queue holds it.
        QSharedPointer<QAbstractItemModel> list;
        PlayOptions options;
        Activity::ActivityType activityType = Activity::NoActivity;
        int activityTrackerId = -1;
        QString playlistName;
        int startPosition = -1;
        int playRow = 0; // the row the hub started, -1 when it refused
    };

    // The model has rows: it becomes the queue, and playback is set up once the queue has them.
    void queueList();
    void setupPlayback();
    // The waits of a request, before the queue is replaced and after; every one of them ends
    // with stopWaiting().
    void waitForList();
    void waitForQueueRows();
    void endWaitingOnChange();
    void stopWaiting();
    // Ends the pending request; nothing of it starts from now on.
    void dropRequest();
    void nothingToPlay();
    QString activityName() const;

    QuintaveilPage* page;
    PlayState* hub;
    Request request;
    // Another page coming to the front ends the wait.
    QMetaObject::Connection pageChange;
};

#endif // PAGEPLAYER_H
