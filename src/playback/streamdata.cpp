#include "streamdata.h"

#include "mafwregistry.h"
#include "mafwrenderer.h"
#include "mlocale.h"

#include <QThreadPool>
#include <QTimer>

namespace {

const char* const RendererId = "mafw_gst_renderer";

// The detector is given at least this many bytes in the repeat mode.
const int MinDetectionBytes = 100;

QVariant firstValue(const MafwMediaInfo& info, const QString& key)
{
    const QList<QVariant> values = info.metaData(key);
    return values.isEmpty() ? QVariant() : values.first();
}

// The local file the renderer took the texts from: the item it plays, which for a playlist is
// the entry, not the list. Empty for an item that is no local file.
QString itemFile(const MafwMediaInfo& info)
{
    const QUrl item(firstValue(info, QStringLiteral("uri")).toString());
    return item.isLocalFile() ? item.toLocalFile() : QString();
}

// The characters Windows-1252 has at 0x80 to 0x9F, where Latin-1 has control codes (0 where
// it has none). The renderer reads legacy tags as Windows-1252, of which Latin-1 is a part.
const ushort Windows1252High[32] = {
    0x20ac, 0,      0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017d, 0,      0,      0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
    0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0,      0x017e, 0x0178
};

// The byte a character of a Windows-1252 (or Latin-1) reading came from; false for a character
// that no such reading gives.
bool legacyByte(QChar c, char* byte)
{
    const ushort u = c.unicode();
    if (u <= 0xff) {
        *byte = char(u);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (Windows1252High[i] == u) {
            *byte = char(0x80 + i);
            return true;
        }
    }
    return false;
}

// The bytes a text came from: a text the renderer read as Windows-1252 or Latin-1 gives back
// its bytes one for one; any other text its UTF-8 form.
QByteArray byteForm(const QVariant& value)
{
    if (value.type() != QVariant::String)
        return value.toByteArray();
    const QString text = value.toString();
    QByteArray bytes;
    bytes.reserve(text.size());
    char byte = 0;
    for (const QChar c : text) {
        if (!legacyByte(c, &byte))
            return text.toUtf8();
        bytes += byte;
    }
    return bytes;
}

// Only a text the renderer may have read in the wrong set is decoded again: one that a
// Windows-1252 reading gives, beyond ASCII. Plain ASCII reads the same in every set, and a text
// with other characters came from Unicode (a UTF-16 or UTF-8 frame) and is right as it stands;
// its bytes would only mislead the detector about the others. A frame that named a Unicode
// encoding (the file's ID3v2 text encoding of it, when id3lib read one) was read right
// whatever letters it holds.
bool mayBeMisread(const QVariant& value, int frameEncoding = Id3FrameEncodings::Missing)
{
    if (value.type() != QVariant::String || frameEncoding >= 1)
        return false;
    bool beyondAscii = false;
    char byte = 0;
    for (const QChar c : value.toString()) {
        if (!legacyByte(c, &byte))
            return false;
        if (c.unicode() >= 0x80)
            beyondAscii = true;
    }
    return beyondAscii;
}

} // namespace

StreamData::StreamData()
    : ZelMetadataHandler(nullptr)
    , m_duration(0)
    , m_seekable(true)
    , m_mediaInfoTimer(new QTimer(this))
    , tagReader(new QThreadPool(this))
{
    m_mediaInfoTimer->setInterval(500);
    connect(m_mediaInfoTimer, SIGNAL(timeout()), this, SLOT(getCurrentMediaInfo()));
    // One read at a time: a newer item's read waits only for the abandoned one to notice.
    tagReader->setMaxThreadCount(1);
}

StreamData::~StreamData()
{
    // The read under way stops at its next piece; the thread must be gone before the members
    // it looks at.
    abandonTagRead();
    tagReader->waitForDone();
}

void StreamData::setDataFromIndex(int index, MafwContent content)
{
    Q_UNUSED(index)
    const QVariant uri = content.metaData(QStringLiteral("uri"));
    if (!uri.isValid())
        return;
    clear();
    m_uri = uri.toString();
    emit mediaChanged(this);
}

void StreamData::onMetadataChange(QString metadata, QList<QVariant> values)
{
    if (metadata == QLatin1String("uri") && !values.isEmpty()
        && values.first().toString() != m_uri) {
        clear();
        m_uri = values.first().toString();
        emit mediaChanged(this);
    }
    // One request for a burst of changes, half a second after its first change.
    if (!m_mediaInfoTimer->isActive())
        m_mediaInfoTimer->start();
}

void StreamData::clear()
{
    m_title.clear();
    m_artist.clear();
    m_album.clear();
    m_url = QUrl();
    m_uri.clear();
    m_genre.clear();
    m_artUri.clear();
    m_organization.clear();
    m_duration = 0;
    m_seekable = false;
    abandonTagRead();
}

void StreamData::getCurrentMediaInfo()
{
    m_mediaInfoTimer->stop();
    MafwRenderer* renderer = MafwRegistry::instance()->renderer(QLatin1String(RendererId));
    if (renderer)
        renderer->getCurrentMediaInfo(this, SLOT(updateMediaInfo(MafwMediaInfo)), QString());
}

void StreamData::updateMediaInfo(MafwMediaInfo info)
{
    // Whatever waited for a read is older than this.
    infoWaiting = false;
    if (m_url.scheme() != QLatin1String("file")) {
        applyMediaInfo(info, NoDecoding, Id3FrameEncodings());
        return;
    }
    const QString file = itemFile(info);
    if (file.isEmpty()) {
        // A stream named by a local playlist: it has no file of its own to read.
        const Id3FrameEncodings none;
        applyMediaInfo(info, decodingFor(none), none);
        return;
    }
    if (file == tagFile && tagsKnown) {
        applyMediaInfo(info, decodingFor(tagEncodings), tagEncodings);
        return;
    }
    if (file != tagFile)
        readTags(file);
    waitingInfo = info;
    infoWaiting = true;
}

void StreamData::readTags(const QString& file)
{
    abandonTagRead();
    tagFile = file;
    const quint64 read = tagRead;
    tagReader->start([this, file, read]() {
        const auto abandoned = [this, read]() { return tagRead != read; };
        const Id3FrameEncodings encodings = Id3FrameEncodings::read(file, abandoned);
        if (abandoned())
            return;
        // Posted to the handler, so that it goes with the handler.
        QMetaObject::invokeMethod(
            this, [this, read, encodings]() { tagsRead(read, encodings); }, Qt::QueuedConnection);
    });
}

void StreamData::tagsRead(quint64 read, const Id3FrameEncodings& encodings)
{
    if (read != tagRead)
        return;
    tagsKnown = true;
    tagEncodings = encodings;
    if (!infoWaiting)
        return;
    infoWaiting = false;
    const MafwMediaInfo info = waitingInfo;
    waitingInfo = MafwMediaInfo();
    applyMediaInfo(info, decodingFor(encodings), encodings);
}

void StreamData::abandonTagRead()
{
    ++tagRead;
    // Reads of earlier items that have not begun never begin.
    tagReader->clear();
    tagFile.clear();
    tagsKnown = false;
    infoWaiting = false;
    waitingInfo = MafwMediaInfo();
}

StreamData::Decoding StreamData::decodingFor(const Id3FrameEncodings& encodings) const
{
    const int title = encodings.title;
    const int artist = encodings.artist;
    const int album = encodings.album;
    const int missing = Id3FrameEncodings::Missing;
    const bool latin1 = title == 0 || artist == 0 || album == 0;
    const QString locale = MLocale().name();
    if (title == missing && artist == missing && album == missing)
        return RepeatMode;
    if (locale == QLatin1String("zh") && latin1)
        return DoubleMode;
    if (locale == QLatin1String("ru") && latin1)
        return NoDecoding;
    if (title == -1 || (artist != missing && artist != title)
        || (album != missing && album != title))
        return RepeatMode;
    return NoDecoding;
}

void StreamData::applyMediaInfo(const MafwMediaInfo& info, Decoding decoding,
                                const Id3FrameEncodings& encodings)
{
    const QVariant title = firstValue(info, QStringLiteral("title"));
    const QVariant artist = firstValue(info, QStringLiteral("artist"));
    const QVariant album = firstValue(info, QStringLiteral("album"));
    const QVariant genre = firstValue(info, QStringLiteral("genre"));
    const QVariant organization = firstValue(info, QStringLiteral("organization"));
    const QVariant composer = firstValue(info, QStringLiteral("composer"));

    MCharsetMatch match;
    if (decoding != NoDecoding) {
        // The texts stand apart, as words do: run together, the last word of one and the first
        // of the next would read as one word of odd case.
        QList<QByteArray> parts;
        const QList<QPair<const QVariant*, int>> material = { { &artist, encodings.artist },
                                                              { &album, encodings.album },
                                                              { &title, encodings.title },
                                                              { &composer,
                                                                Id3FrameEncodings::Missing } };
        for (const auto& part : material) {
            if (mayBeMisread(*part.first, part.second))
                parts.append(byteForm(*part.first));
        }
        if (parts.isEmpty()) {
            const QMap<QString, QList<QVariant>> all = info.metaData();
            for (auto it = all.constBegin(); it != all.constEnd(); ++it) {
                for (const QVariant& value : it.value()) {
                    if (mayBeMisread(value))
                        parts.append(byteForm(value));
                }
            }
        }
        QByteArray text = parts.join(' ');
        if (text.isEmpty()) {
            decoding = NoDecoding;
        } else {
            // The detector sees the material at least twice, and in the repeat mode at least
            // 100 bytes beyond the first copy.
            QByteArray copy = text;
            if (decoding == RepeatMode) {
                while (copy.size() < MinDetectionBytes)
                    copy += ' ' + text;
            }
            text += ' ' + copy;
            charsetDetector.setText(text);
            charsetDetector.setDeclaredLocale(MLocale().name());
            match = charsetDetector.detect();
        }
    }
    auto take = [&](const QVariant& value, int frameEncoding) {
        return decoding == NoDecoding ? value.toString()
                                      : decodeTagText(value, frameEncoding, match);
    };
    m_title = take(title, encodings.title);
    m_artist = take(artist, encodings.artist);
    m_album = take(album, encodings.album);
    m_genre = take(genre, Id3FrameEncodings::Missing);
    m_organization = take(organization, Id3FrameEncodings::Missing);

    const QVariant duration = firstValue(info, QStringLiteral("duration"));
    if (duration.isValid())
        m_duration = int(duration.toUInt());
    const QVariant seekable = firstValue(info, QStringLiteral("is-seekable"));
    if (seekable.isValid())
        m_seekable = seekable.toBool();
    const QVariant art = firstValue(info, QStringLiteral("renderer-art-uri"));
    if (art.isValid())
        m_artUri = art.toString();
    emit mediaChanged(this);
}

QString StreamData::decodeTagText(const QVariant& value, int frameEncoding,
                                  const MCharsetMatch& match)
{
    // What the detector could not read, or cannot convert, keeps the renderer's text: an
    // empty title would lose what was right in it.
    if (!mayBeMisread(value, frameEncoding) || charsetDetector.hasError())
        return value.toString();
    QByteArray bytes = byteForm(value);
    bytes += '\n';
    charsetDetector.setText(bytes);
    const QString decoded = charsetDetector.text(match).simplified();
    if (charsetDetector.hasError() || decoded.isEmpty())
        return value.toString();
    return decoded;
}

QString StreamData::displayTitle() const
{
    for (const QString* text : { &m_album, &m_artist, &m_title, &m_organization, &m_genre }) {
        if (!text->isEmpty())
            return *text;
    }
    const QUrl u = m_uri.isEmpty() ? m_url : QUrl(m_uri);
    if (u.scheme() == QLatin1String("file"))
        return u.toString().section(QLatin1Char('/'), -1).section(QLatin1Char('.'), 0, 0);
    return u
        .toString(QUrl::RemoveScheme | QUrl::RemoveUserInfo | QUrl::RemovePort | QUrl::RemovePath
                  | QUrl::RemoveQuery)
        .remove(QLatin1Char('/'));
}

QString StreamData::title() const
{
    return m_title;
}
QString StreamData::artist() const
{
    return m_artist;
}
QString StreamData::album() const
{
    return m_album;
}
QString StreamData::uri() const
{
    return m_uri;
}
QUrl StreamData::url() const
{
    return m_url;
}
QString StreamData::genre() const
{
    return m_genre;
}
QString StreamData::artUri() const
{
    return m_artUri;
}
QString StreamData::organization() const
{
    return m_organization;
}
int StreamData::duration() const
{
    return m_duration;
}
bool StreamData::isSeekable() const
{
    return m_seekable;
}

void StreamData::setUrl(const QUrl& url)
{
    m_url = url;
}

void StreamData::setDuration(int duration)
{
    m_duration = duration;
}
