#ifndef PAGEPLAYER_H
#define PAGEPLAYER_H

#include "activity/activity.h"
#include "playoptions.h"

#include <QObject>
#include <QPersistentModelIndex>
#include <QSharedPointer>
#include <QString>
#include <QWeakPointer>

class MafwTrackerModel;
class PlayState;
class QAbstractItemModel;
class QuintaveilPage;

// Starts playback and queues songs for one page, through the playback hub.
//
// A play request replaces the queue with a model and names the row to start at, how to record
// it among the latest activities and its options. It is pending until the queue has rows (a
// model still loading is waited for) and then until the page has left for the player, where
// playback begins and the activity is recorded. A newer request replaces a waiting one; a
// request whose queue was replaced by someone else meanwhile, or whose row went away, starts
// nothing; a start the hub refused records nothing.
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
    void showAddToQueueBannerAfterModelIsCompleted();
    void handleSongsAddedToPlaylist(int count);

private:
    struct Request
    {
        QPersistentModelIndex index;
        bool indexGiven = false;
        QWeakPointer<QAbstractItemModel> model;
        PlayOptions options;
        Activity::ActivityType activityType = Activity::NoActivity;
        int activityTrackerId = -1;
        QString playlistName;
        int startPosition = -1;
        int playRow = 0; // the row the hub started, -1 when it refused
    };

    void setupPlayback();
    void waitForQueueRows();
    void stopWaitingForQueueRows();
    QString activityName() const;

    QuintaveilPage* page;
    PlayState* hub;
    Request request;
};

#endif // PAGEPLAYER_H
