#ifndef STREAMDATA_H
#define STREAMDATA_H

#include "mafwmediainfo.h"
#include "id3frameencodings.h"
#include "mcharsetdetector.h"
#include "zelmetadatahandler.h"

#include <QString>
#include <QUrl>

#include <atomic>

class QThreadPool;
class QTimer;

// The play controller's handler for streams and single URLs: it takes the item's address
// from the controller, gathers the renderer's metadata changes for half a second, then asks the
// renderer for the whole media info and keeps the texts the player shows.
//
// Tags of a local file may have been written in a legacy 8-bit character set (CP1251 and the
// like) and read by the renderer as Latin-1. The ID3v2 text encodings of the file (read away
// from the GUI thread) tell when to suspect that: no title, artist or album frame at all (an
// ID3v1 tag, or an ID3v2.4 tag, which id3lib does not read), a title without an encoding, or
// frames of different encodings. The texts the renderer read as Latin-1 beyond ASCII are then
// handed, as the bytes they came from, to the character set detector, which decodes them
// again; ASCII texts and texts that came from Unicode frames are kept, and so is every text
// when the detector finds no set that reads them. In the "zh" locale ISO-8859-1 frames are
// decoded with the locale declared, in the "ru" locale they are left alone. Streams other than
// local files are never decoded again.
//
// The encodings are read from the item's own file (a playlist's entry, never the playlist), once
// an item, and only as far as its tag at the head goes, on a thread of the handler's own: a read
// never waits behind other work or holds it up. A new item, clear() and the handler's end
// abandon a read under way; the media info that waits for it is applied when it ends.
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
    enum Decoding { NoDecoding, RepeatMode, DoubleMode };

    Decoding decodingFor(const Id3FrameEncodings& encodings) const;
    void readTags(const QString& file);
    void tagsRead(quint64 read, const Id3FrameEncodings& encodings);
    void abandonTagRead();
    void applyMediaInfo(const MafwMediaInfo& info, Decoding decoding,
                        const Id3FrameEncodings& encodings);
    // frameEncoding: the ID3v2 text encoding of the value's frame, or Id3FrameEncodings::Missing.
    QString decodeTagText(const QVariant& value, int frameEncoding, const MCharsetMatch& match);

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
    MCharsetDetector charsetDetector;
    QTimer* m_mediaInfoTimer;

    // The file of the item whose encodings are known (tagsKnown) or being read; the newest media
    // info of that item waits for them in waitingInfo.
    QString tagFile;
    bool tagsKnown = false;
    Id3FrameEncodings tagEncodings;
    bool infoWaiting = false;
    MafwMediaInfo waitingInfo;
    // Counts the reads begun; a read whose number is no longer the newest is abandoned.
    std::atomic<quint64> tagRead { 0 };
    QThreadPool* tagReader;
};

#endif // STREAMDATA_H
