#include "streamdata.h"

#include "id3frameencodings.h"
#include "mafwregistry.h"
#include "mafwrenderer.h"
#include "mlocale.h"

#include <QCoreApplication>
#include <QPointer>
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

// The bytes a text came from: a text the renderer read as Latin-1 gives back its bytes one for
// one; any other text its UTF-8 form.
QByteArray byteForm(const QVariant& value)
{
    if (value.type() != QVariant::String)
        return value.toByteArray();
    const QString text = value.toString();
    for (const QChar c : text) {
        if (c.unicode() > 0xff)
            return text.toUtf8();
    }
    return text.toLatin1();
}

} // namespace

StreamData::StreamData()
    : ZelMetadataHandler(nullptr)
    , m_duration(0)
    , m_seekable(true)
    , m_mediaInfoTimer(new QTimer(this))
{
    m_mediaInfoTimer->setInterval(500);
    connect(m_mediaInfoTimer, SIGNAL(timeout()), this, SLOT(getCurrentMediaInfo()));
}

StreamData::~StreamData() = default;

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
    const quint64 serial = ++mediaInfoSerial;
    if (m_url.scheme() != QLatin1String("file")) {
        applyMediaInfo(info, NoDecoding);
        return;
    }
    const QString path = m_url.toLocalFile();
    QPointer<StreamData> self(this);
    QThreadPool::globalInstance()->start([self, path, info, serial]() {
        const Id3FrameEncodings encodings = Id3FrameEncodings::read(path);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, path, info, serial, encodings]() {
                // A newer media info, or another file, has come meanwhile.
                if (!self || self->mediaInfoSerial != serial || self->m_url.toLocalFile() != path)
                    return;
                self->applyMediaInfo(info, self->decodingFor(encodings));
            },
            Qt::QueuedConnection);
    });
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

void StreamData::applyMediaInfo(const MafwMediaInfo& info, Decoding decoding)
{
    const QVariant title = firstValue(info, QStringLiteral("title"));
    const QVariant artist = firstValue(info, QStringLiteral("artist"));
    const QVariant album = firstValue(info, QStringLiteral("album"));
    const QVariant genre = firstValue(info, QStringLiteral("genre"));
    const QVariant organization = firstValue(info, QStringLiteral("organization"));
    const QVariant composer = firstValue(info, QStringLiteral("composer"));

    MCharsetMatch match;
    if (decoding != NoDecoding) {
        QByteArray text = byteForm(artist) + byteForm(album) + byteForm(title) + byteForm(composer);
        if (text.isEmpty()) {
            const QMap<QString, QList<QVariant>> all = info.metaData();
            for (auto it = all.constBegin(); it != all.constEnd(); ++it) {
                for (const QVariant& value : it.value()) {
                    if (value.type() == QVariant::String)
                        text += byteForm(value);
                }
            }
        }
        if (text.isEmpty()) {
            decoding = NoDecoding;
        } else {
            // The detector sees the material at least twice, and in the repeat mode at least
            // 100 bytes beyond the first copy.
            QByteArray copy = text;
            if (decoding == RepeatMode) {
                while (copy.size() < MinDetectionBytes)
                    copy += text;
            }
            text += copy;
            charsetDetector.setText(text);
            charsetDetector.setDeclaredLocale(MLocale().name());
            match = charsetDetector.detect();
        }
    }
    auto take = [&](const QVariant& value) {
        return decoding == NoDecoding ? value.toString() : decodeTagText(value, match);
    };
    m_title = take(title);
    m_artist = take(artist);
    m_album = take(album);
    m_genre = take(genre);
    m_organization = take(organization);

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

QString StreamData::decodeTagText(const QVariant& value, const MCharsetMatch& match)
{
    if (charsetDetector.hasError())
        return QString();
    QByteArray bytes = byteForm(value);
    bytes += '\n';
    charsetDetector.setText(bytes);
    return charsetDetector.text(match).simplified();
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
