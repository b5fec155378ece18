#include "streamdata.h"

#include "mafwregistry.h"
#include "mafwrenderer.h"

#include <QTimer>

namespace {

const char* const RendererId = "mafw_gst_renderer";

QVariant firstValue(const MafwMediaInfo& info, const QString& key)
{
    const QList<QVariant> values = info.metaData(key);
    return values.isEmpty() ? QVariant() : values.first();
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
    m_title = firstValue(info, QStringLiteral("title")).toString();
    m_artist = firstValue(info, QStringLiteral("artist")).toString();
    m_album = firstValue(info, QStringLiteral("album")).toString();
    m_genre = firstValue(info, QStringLiteral("genre")).toString();
    m_organization = firstValue(info, QStringLiteral("organization")).toString();
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

QString StreamData::displayTitle() const
{
    for (const QString* text : { &m_album, &m_artist, &m_title, &m_organization, &m_genre }) {
        if (!text->isEmpty())
            return *text;
    }
    const QUrl u = m_uri.isEmpty() ? m_url : QUrl(m_uri);
    if (u.scheme() == QLatin1String("file"))
        return u.toString().section(QLatin1Char('/'), -1).section(QLatin1Char('.'), 0, 0);
    return u.toString(QUrl::RemoveScheme | QUrl::RemoveUserInfo | QUrl::RemovePort
                      | QUrl::RemovePath | QUrl::RemoveQuery)
        .remove(QLatin1Char('/'));
}

QString StreamData::title() const { return m_title; }
QString StreamData::artist() const { return m_artist; }
QString StreamData::album() const { return m_album; }
QString StreamData::uri() const { return m_uri; }
QUrl StreamData::url() const { return m_url; }
QString StreamData::genre() const { return m_genre; }
QString StreamData::artUri() const { return m_artUri; }
QString StreamData::organization() const { return m_organization; }
int StreamData::duration() const { return m_duration; }
bool StreamData::isSeekable() const { return m_seekable; }

void StreamData::setUrl(const QUrl& url)
{
    m_url = url;
}

void StreamData::setDuration(int duration)
{
    m_duration = duration;
}
