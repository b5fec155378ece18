#ifndef RINGTONESETTER_H
#define RINGTONESETTER_H

#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariant>

class MafwTrackerConnection;
class MafwTrackerModelFactoryInstance;

// Makes a song the ringing tone of the active profile: looks up the song's file in the library
// store and writes its path into the profile, then confirms with a banner. When several
// requests overlap only the latest one sets the tone. One per process, made on first use.
class RingtoneSetter : public QObject
{
    Q_OBJECT

public:
    static RingtoneSetter* instance();

    // The id waiting for its file (-1: none).
    int pendingTrackerId() const { return pendingId; }

public slots:
    // Records the song as the one to set; ids below 1 are recorded but never looked up. Before
    // the library is ready the look-up waits for it.
    void setAsRingtone(int trackerId);

private slots:
    void factoryCompletedSlot(bool success);
    void filenameQueryReady(QList<QStringList> rows, bool end, const QVariant& userData);
    void queryFailed(int code, QString msg, const QVariant& userData);

private:
    RingtoneSetter();
    ~RingtoneSetter() override;

    void runQuery();

    MafwTrackerModelFactoryInstance* factoryHolder;
    MafwTrackerConnection* connection = nullptr;
    int pendingId = -1;
};

#endif // RINGTONESETTER_H
