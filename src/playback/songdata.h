#ifndef SONGDATA_H
#define SONGDATA_H

#include "zelmetadatahandler.h"

#include <QPointer>
#include <QString>

class ZelPlayController;

// The play controller's handler for library songs: when the controller moves to a row of the
// published play queue, the song's fields are copied from that row and kept until the next one.
// The playback hub reads them when the controller reports the change.
class SongData : public ZelMetadataHandler
{
    Q_OBJECT

public:
    // The rows are those of controller's current playlist.
    explicit SongData(ZelPlayController* controller);
    ~SongData() override;

    QString uri() const;
    int songId() const;
    QString title() const;
    QString artist() const;
    QString album() const;
    QString genre() const;
    // The row handed in, plus one; 0 when cleared.
    int queuePosition() const;
    int albumId() const;

public slots:
    void setDataFromIndex(int index, MafwContent content) override;
    void onMetadataChange(QString metadata, QList<QVariant> values) override;
    void clear() override;

private:
    QPointer<ZelPlayController> controller;
    QString m_uri;
    int m_songId;
    QString m_title;
    QString m_artist;
    QString m_album;
    QString m_genre;
    int m_queuePosition;
    int m_albumId;
};

#endif // SONGDATA_H
