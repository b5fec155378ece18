#ifndef STREAMDATA_H
#define STREAMDATA_H

#include "mafwmediainfo.h"
#include "zelmetadatahandler.h"

#include <QString>
#include <QUrl>

class QTimer;

// The play controller's handler for streams and single URLs: it takes the item's address
// from the controller, gathers the renderer's metadata changes for half a second, then asks the
// renderer for the whole media info and keeps the texts the player shows.
// Minimal for now: the tag texts are taken as the renderer delivers them.
class StreamData : public ZelMetadataHandler
{
    Q_OBJECT

public:
    StreamData();
    ~StreamData() override;

    QString title() const;
    QString artist() const;
    QString album() const;
    QString uri() const;
    QUrl url() const;
    QString genre() const;
    QString artUri() const;
    QString organization() const;
    int duration() const;
    bool isSeekable() const;

    void setUrl(const QUrl& url);
    void setDuration(int duration);

    // The text a cover is generated from when the item has no art.
    QString displayTitle() const;

public slots:
    void setDataFromIndex(int index, MafwContent content) override;
    void onMetadataChange(QString metadata, QList<QVariant> values) override;
    void clear() override;

private slots:
    void getCurrentMediaInfo();
    void updateMediaInfo(MafwMediaInfo info);

private:
    QString m_title;
    QString m_artist;
    QString m_album;
    QUrl m_url;
    QString m_uri;
    QString m_genre;
    QString m_artUri;
    QString m_organization;
    int m_duration;
    bool m_seekable;
    QTimer* m_mediaInfoTimer;
};

#endif // STREAMDATA_H
