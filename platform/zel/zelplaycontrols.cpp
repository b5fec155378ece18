#include "zelplaycontrols.h"

#include "mafwcontent.h"
#include "mafwerror.h"
#include "mafwplaylist.h"
#include "mafwregistry.h"
#include "mafwshared.h"
#include "mafwtrackerconnection.h"
#include "zelgstplayer.h"
#include "zelmetadatahandler.h"
#include "zelplaylistparser.h"
#include "zelplaytally.h"

#include <QCoreApplication>
#include <QDebug>
#include <QTimer>

namespace {

ZelPlayControls* controls = nullptr;

const char* const RendererId = "mafw_gst_renderer";

// Failures after which the next entry of a playlist file is worth a try: the entry itself is
// unreachable or unplayable, not the player.
bool entryMayBeSkipped(int code)
{
    switch (code) {
    case MafwError::CannotConnect:
    case MafwError::ConnectionLost:
    case MafwError::ResourceNotFound:
    case MafwError::UnsupportedFormat:
    case MafwError::CodecMissing:
        return true;
    default:
        return false;
    }
}

} // namespace

ZelPlayControls* ZelPlayControls::instance()
{
    if (!controls) {
        controls = new ZelPlayControls;
        qAddPostRoutine(&ZelPlayControls::destroyInstance);
    }
    return controls;
}

void ZelPlayControls::destroyInstance()
{
    delete controls;
    controls = nullptr;
}

ZelPlayControls::ZelPlayControls()
    : m_player(new ZelGstPlayer(this))
    , m_parser(new ZelPlaylistParser(this))
    , m_renderer(new MafwRenderer(QLatin1String(RendererId), this))
    , m_positionTimer(new QTimer(this))
    , m_tally(new ZelPlayTally(this))
    , m_state(MafwRenderer::Stopped)
    , m_contentType(NoContent)
    , m_item(NoItem)
    , m_row(-1)
    , m_entry(-1)
    , m_entryStarted(false)
    , m_pauseAtPending(false)
    , m_initialised(false)
    , m_callActive(false)
    , m_handlerAnnounced(false)
    , m_playCounted(false)
    , m_serial(0)
{
    qRegisterMetaType<MafwError>("MafwError");
    qRegisterMetaType<MafwContent>("MafwContent");
    qRegisterMetaType<MafwMediaInfo>("MafwMediaInfo");
    qRegisterMetaType<MafwRenderer::State>("MafwRenderer::State");
    qRegisterMetaType<const ZelMetadataHandler*>("const ZelMetadataHandler*");
    qRegisterMetaType<MafwPlaylist*>("MafwPlaylist*");

    MafwRegistry::instance()->addRenderer(m_renderer);

    m_positionTimer->setInterval(1000);
    connect(m_positionTimer, &QTimer::timeout, this, &ZelPlayControls::reportPosition);
    connect(m_tally, &ZelPlayTally::heard, this, &ZelPlayControls::countPlay);

    connect(m_player, &ZelGstPlayer::settled, this,
            [this](ZelGstPlayer::Target target) { playerSettled(int(target)); });
    connect(m_player, &ZelGstPlayer::endOfStream, this, &ZelPlayControls::playerEnded);
    connect(m_player, &ZelGstPlayer::failed, this, &ZelPlayControls::playerFailed);
    connect(m_player, &ZelGstPlayer::soundClaimed, this, &ZelPlayControls::playerSoundClaimed);
    connect(m_player, &ZelGstPlayer::tagsFound, this, &ZelPlayControls::playerTags);
    connect(m_player, &ZelGstPlayer::bufferingChanged, this, &ZelPlayControls::playerBuffering);
    connect(m_player, &ZelGstPlayer::durationChanged, this,
            &ZelPlayControls::playerDurationChanged);
    connect(m_parser, &ZelPlaylistParser::finished, this, &ZelPlayControls::playlistParsed);
}

ZelPlayControls::~ZelPlayControls()
{
    MafwRegistry::instance()->removeRenderer(m_renderer);
    m_parser->cancel();
    m_player->stop();
}

void ZelPlayControls::init()
{
    if (m_initialised)
        return;
    m_initialised = true;
    if (!ensurePipeline()) {
        QTimer::singleShot(0, this, [this]() {
            m_state = MafwRenderer::Invalid;
            emit rendererLost();
        });
    }
}

bool ZelPlayControls::ensurePipeline()
{
    return m_player->create();
}

void ZelPlayControls::setPlaylist(const QString& id, bool)
{
    MafwPlaylist* playlist = MafwShared::instance()->playlist(id);
    if (!playlist) {
        qWarning() << Q_FUNC_INFO << "- no playlist is published as" << id;
        return;
    }
    if (playlist == m_playlist)
        return;
    if (m_playlist)
        disconnect(m_playlist, nullptr, this, nullptr);
    m_playlist = playlist;
    connect(playlist, &MafwPlaylist::contentsChanged, this, [this]() {
        if (m_playlist)
            emit playlistContentsChanged(m_playlist);
    });
    emit playlistChanged(playlist);
}

MafwPlaylist* ZelPlayControls::playlist() const
{
    return m_playlist.data();
}

void ZelPlayControls::setPlaylistIndex(int row)
{
    if (!m_playlist || row < 0 || row >= m_playlist->count()) {
        qWarning() << Q_FUNC_INFO << "- no such row:" << row;
        return;
    }
    // A stream keeps playing; the queue's position only moves underneath it.
    if ((m_item == UrlItem || m_item == EntryItem) && m_state != MafwRenderer::Stopped) {
        m_row = row;
        m_playlist->setCurrentIndex(row);
        return;
    }

    const quint64 serial = ++m_serial;
    const bool loaded = m_player->isLoaded();
    const bool playing = loaded && m_player->target() == ZelGstPlayer::Playing;
    const bool paused = m_state == MafwRenderer::Paused
                        || (loaded && m_player->target() == ZelGstPlayer::Paused);
    selectRow(row);
    if (serial != m_serial)
        return;
    if (playing) {
        startItem(true);
        return;
    }
    // Paused stays paused on the new row, which is loaded when it is resumed or moved in;
    // anything else (a failure on its way included) is stopped.
    unload();
    report(paused ? MafwRenderer::Paused : MafwRenderer::Stopped);
}

void ZelPlayControls::play(uint row)
{
    if (!m_playlist || int(row) >= m_playlist->count()) {
        qWarning() << Q_FUNC_INFO << "- no such row:" << row;
        return;
    }
    const quint64 serial = ++m_serial;
    selectRow(int(row));
    if (serial == m_serial)
        startItem(true);
}

void ZelPlayControls::play(const QUrl& url)
{
    const quint64 serial = ++m_serial;
    m_parser->cancel();
    m_entries.clear();
    m_entry = -1;
    m_item = UrlItem;
    m_url = url;
    setContentType(StreamContent);
    if (serial != m_serial)
        return;
    announceItem(StreamContent, -1, url);
    if (serial == m_serial)
        startItem(true);
}

void ZelPlayControls::playPlaylist(const QUrl& url, const QString& mimeType)
{
    Q_UNUSED(mimeType)
    playPlaylistFrom(url, 0, 0, false);
}

void ZelPlayControls::playPlaylistFrom(const QUrl& url, int entry, uint seconds, bool paused)
{
    const quint64 serial = ++m_serial;
    unload();
    m_item = EntryItem;
    m_url = url;
    m_entries.clear();
    m_entry = -1;
    m_entryStarted = false;
    m_startEntry = qMax(0, entry);
    m_startMs = seconds > 0 ? qint64(seconds) * 1000 : -1;
    m_startPaused = paused;
    setContentType(StreamContent);
    if (serial != m_serial)
        return;
    emit aboutToPlayRadioStream();
    if (serial != m_serial)
        return;
    report(MafwRenderer::Transitioning);
    m_parser->parse(url);
}

bool ZelPlayControls::playEntry(int step)
{
    const int entry = m_entry + step;
    if (m_item != EntryItem || m_entries.isEmpty() || entry < 0 || entry >= m_entries.size())
        return false;
    startEntry(entry);
    return true;
}

bool ZelPlayControls::hasEntry(int step) const
{
    const int entry = m_entry + step;
    return m_item == EntryItem && !m_entries.isEmpty() && entry >= 0 && entry < m_entries.size();
}

int ZelPlayControls::playlistEntry() const
{
    if (m_item != EntryItem)
        return -1;
    return m_entry >= 0 ? m_entry : m_startEntry;
}

bool ZelPlayControls::continueAsRow(int row)
{
    if (m_item != UrlItem || !m_player->isLoaded() || !m_playlist || row < 0
        || row >= m_playlist->count())
        return false;
    m_item = RowItem;
    m_row = row;
    m_playlist->setCurrentIndex(row);
    m_playCounted = false;
    setContentType(SongContent);
    // The same item plays on: what was heard of it before counts towards its play.
    if (m_tally->isHeard())
        countPlay();
    return true;
}

void ZelPlayControls::pause()
{
    if (!m_player->isLoaded() || m_player->target() != ZelGstPlayer::Playing)
        return;
    ++m_serial;
    m_player->setTarget(ZelGstPlayer::Paused);
}

void ZelPlayControls::resume()
{
    if (m_player->isLoaded()) {
        ++m_serial;
        m_pauseAtPending = false;
        m_player->setTarget(ZelGstPlayer::Playing);
        return;
    }
    if (m_state == MafwRenderer::Paused) {
        ++m_serial;
        startItem(true);
        return;
    }
    qWarning() << Q_FUNC_INFO << "- nothing is paused";
}

void ZelPlayControls::stop()
{
    ++m_serial;
    m_parser->cancel();
    unload();
    report(MafwRenderer::Stopped);
}

void ZelPlayControls::pauseAt(uint seconds)
{
    const qint64 ms = qint64(seconds) * 1000;
    if (m_player->isLoaded()) {
        ++m_serial;
        m_pauseAtPending = true;
        m_player->setTarget(ZelGstPlayer::Paused);
        if (!m_player->seek(ms) && seconds > 0)
            emit error(MafwError(MafwError::SeekRefused,
                                 QStringLiteral("The item cannot be moved to %1 s").arg(seconds)));
        return;
    }
    if (m_item == NoItem) {
        qWarning() << Q_FUNC_INFO << "- nothing to pause at";
        return;
    }
    ++m_serial;
    startItem(false, ms);
    if (m_player->isLoaded())
        m_pauseAtPending = true;
}

void ZelPlayControls::setPosition(uint seconds)
{
    const qint64 ms = qint64(seconds) * 1000;
    if (!m_player->isLoaded()) {
        if (m_state == MafwRenderer::Paused && m_item != NoItem) {
            ++m_serial;
            startItem(false, ms);
        } else {
            qWarning() << Q_FUNC_INFO << "- nothing is playing";
        }
        return;
    }
    if (!m_player->seek(ms))
        emit error(MafwError(MafwError::SeekRefused,
                             QStringLiteral("The item cannot be moved to %1 s").arg(seconds)));
}

uint ZelPlayControls::position() const
{
    const qint64 ms = m_player->position();
    return ms > 0 ? uint(ms / 1000) : 0u;
}

void ZelPlayControls::setPositionUpdateInterval(uint seconds)
{
    m_positionTimer->setInterval(int(qMax(1u, qMin(seconds, 3600u))) * 1000);
}

void ZelPlayControls::setMetadataHandler(ZelMetadataHandler* handler, ContentType type)
{
    if (type != SongContent && type != StreamContent) {
        qWarning() << Q_FUNC_INFO << "- no handler is kept for content type" << type;
        return;
    }
    QPointer<ZelMetadataHandler>& slot = type == SongContent ? m_songHandler : m_streamHandler;
    if (slot == handler)
        return;
    if (slot && slot != (type == SongContent ? m_streamHandler : m_songHandler))
        disconnect(slot, nullptr, this, nullptr);
    slot = handler;
    if (handler) {
        connect(handler, &ZelMetadataHandler::mediaChanged, this,
                &ZelPlayControls::handlerMediaChanged, Qt::UniqueConnection);
    }
}

ZelMetadataHandler* ZelPlayControls::mutableItem() const
{
    return handler(m_contentType);
}

MafwRenderer::State ZelPlayControls::state() const
{
    return m_state;
}

ZelPlayControls::ContentType ZelPlayControls::contentType() const
{
    return m_contentType;
}

bool ZelPlayControls::isCallActive() const
{
    return m_callActive;
}

void ZelPlayControls::testSetCallActive(bool active)
{
    m_callActive = active;
    if (active)
        pauseForPlatform();
    emit callActivated(active);
}

void ZelPlayControls::testSetAudioResourcesAvailable(bool available)
{
    if (!available)
        pauseForPlatform();
    emit audioResourcesAvailable(available);
}

void ZelPlayControls::playerSoundClaimed(bool claimed)
{
    // Another program's stream (a call over the network, say) takes the sound: playback
    // steps aside, and the hub hears that the audio resources went and when they come back.
    // Playing on again is the user's choice.
    if (claimed) {
        m_soundClaimed = true;
        pauseForPlatform();
        emit audioResourcesAvailable(false);
    } else if (m_soundClaimed) {
        m_soundClaimed = false;
        emit audioResourcesAvailable(true);
    }
}

void ZelPlayControls::testLoseRenderer()
{
    ++m_serial;
    m_parser->cancel();
    unload();
    report(MafwRenderer::Invalid);
    emit rendererLost();
}

void ZelPlayControls::testRaiseError(int code, const QString& message)
{
    fail(code, message);
}

void ZelPlayControls::testReportPosition()
{
    reportPosition();
}

int ZelPlayControls::playlistRow() const
{
    // The playlist holds the item itself, which rows added or removed around it move.
    return m_playlist && m_playlist->currentIndex() >= 0 ? m_playlist->currentIndex() : m_row;
}

void ZelPlayControls::selectRow(int row)
{
    m_parser->cancel();
    m_entries.clear();
    m_entry = -1;
    m_item = RowItem;
    m_row = row;
    if (m_playlist)
        m_playlist->setCurrentIndex(row);
    const quint64 serial = m_serial;
    setContentType(SongContent);
    if (serial == m_serial)
        announceItem(SongContent, row, QUrl());
}

void ZelPlayControls::setContentType(ContentType type)
{
    if (type == m_contentType)
        return;
    m_contentType = type;
    emit contentTypeChanged();
}

ZelMetadataHandler* ZelPlayControls::handler(ContentType type) const
{
    switch (type) {
    case SongContent:
        return m_songHandler.data();
    case StreamContent:
        return m_streamHandler.data();
    default:
        return nullptr;
    }
}

void ZelPlayControls::announceItem(ContentType type, int index, const QUrl& url)
{
    resetMediaInfo();
    m_playCounted = false;
    m_tally->restart();
    ZelMetadataHandler* target = handler(type);
    if (!target)
        return;
    // A network stream is known by its address; a local file tells about itself by its tags.
    MafwContent content;
    if (type == StreamContent && ZelGstPlayer::isNetworkUrl(url))
        content.setMetaData(QStringLiteral("uri"), url.toString());
    QPointer<ZelMetadataHandler> guard(target);
    m_handlerAnnounced = false;
    target->setDataFromIndex(index, content);
    // A handler that does not announce the new item itself is announced here.
    if (type == SongContent && guard && !m_handlerAnnounced)
        emit mediaChanged(guard.data());
}

QUrl ZelPlayControls::currentUrl() const
{
    switch (m_item) {
    case RowItem:
        return m_playlist ? m_playlist->url(playlistRow()) : QUrl();
    case UrlItem:
        return m_url;
    case EntryItem:
        return m_entries.value(m_entry);
    default:
        return QUrl();
    }
}

void ZelPlayControls::startItem(bool playing, qint64 startMs)
{
    if (m_item == EntryItem && m_entries.isEmpty()) {
        // Stopped before the playlist file was read: read it again.
        report(MafwRenderer::Transitioning);
        m_parser->parse(m_url);
        return;
    }
    const QUrl url = currentUrl();
    if (url.isEmpty()) {
        failLater(MafwError::ResourceNotFound, QStringLiteral("The item has no playable location"));
        return;
    }
    if (!ensurePipeline()) {
        failLater(MafwError::CannotPlay, QStringLiteral("There is no audio output"));
        return;
    }
    const quint64 serial = ++m_serial;
    emit playbackAboutToStart();
    if (serial != m_serial)
        return;
    m_pauseAtPending = false;
    resetMediaInfo();
    MafwMediaInfo info;
    info.setMetaData(QStringLiteral("uri"), QList<QVariant>() << url.toString());
    m_renderer->setCurrentMediaInfo(info);
    // Requests for the item's media info wait for its tags.
    m_renderer->setMediaInfoComplete(false);
    m_player->load(url, playing ? ZelGstPlayer::Playing : ZelGstPlayer::Paused, startMs);
    report(MafwRenderer::Transitioning);
}

void ZelPlayControls::startEntry(int entry, bool playing, qint64 startMs)
{
    const quint64 serial = ++m_serial;
    m_entry = entry;
    m_entryStarted = false;
    m_entryPaused = !playing;
    announceItem(StreamContent, -1, m_entries.value(entry));
    if (serial == m_serial)
        startItem(playing, startMs);
}

void ZelPlayControls::unload()
{
    m_player->stop();
    m_pauseAtPending = false;
    m_renderer->setMediaInfoComplete(true);
}

void ZelPlayControls::report(MafwRenderer::State state, bool always)
{
    if (state == m_state && !always)
        return;
    m_state = state;
    m_tally->setSounding(state == MafwRenderer::Playing);
    if (state == MafwRenderer::Playing) {
        // Reports count from the moment playing is announced, never before it.
        m_positionTimer->start();
    } else {
        m_positionTimer->stop();
    }
    emit stateChanged(state);
}

void ZelPlayControls::fail(int code, const QString& message)
{
    if (code == MafwError::SeekRefused) {
        // The item plays on where it was.
        emit error(MafwError(code, message));
        return;
    }
    if (m_item == EntryItem && !m_entryStarted && m_entry + 1 < m_entries.size()
        && entryMayBeSkipped(code)) {
        qWarning() << Q_FUNC_INFO << "- trying the next entry of" << m_url << "after" << code
                   << message;
        startEntry(m_entry + 1, !m_entryPaused);
        return;
    }
    const quint64 serial = ++m_serial;
    m_parser->cancel();
    unload();
    report(MafwRenderer::Stopped);
    if (serial == m_serial)
        emit error(MafwError(code, message));
}

void ZelPlayControls::failLater(int code, const QString& message)
{
    // Reported on the next turn of the loop, like every failure GStreamer finds, so that a
    // caller never handles an error in the middle of its own command.
    const quint64 serial = ++m_serial;
    unload();
    report(MafwRenderer::Transitioning);
    QTimer::singleShot(0, this, [this, serial, code, message]() {
        if (serial == m_serial)
            fail(code, message);
    });
}

void ZelPlayControls::completePlayback()
{
    const quint64 serial = ++m_serial;
    unload();
    emit playbackCompleted();
    // Unless the completion started something new, the renderer is stopped now.
    if (serial == m_serial)
        report(MafwRenderer::Stopped);
}

void ZelPlayControls::pauseForPlatform()
{
    if (m_player->isLoaded() && m_player->target() == ZelGstPlayer::Playing) {
        ++m_serial;
        m_player->setTarget(ZelGstPlayer::Paused);
    }
}

void ZelPlayControls::resetMediaInfo()
{
    m_renderer->setCurrentMediaInfo(MafwMediaInfo());
}

void ZelPlayControls::updateMediaInfo(const QString& key, const QList<QVariant>& values)
{
    MafwMediaInfo info = m_renderer->currentMediaInfo();
    if (info.metaData(key) == values)
        return;
    info.setMetaData(key, values);
    m_renderer->setCurrentMediaInfo(info);
    if (ZelMetadataHandler* current = mutableItem())
        current->onMetadataChange(key, values);
}

int ZelPlayControls::durationSeconds() const
{
    const qint64 ms = m_player->duration();
    return ms < 0 ? -1 : int((ms + 500) / 1000);
}

void ZelPlayControls::playerSettled(int target)
{
    if (!m_player->isLoaded())
        return;
    const int seconds = durationSeconds();
    if (seconds >= 0)
        updateMediaInfo(QStringLiteral("duration"), QList<QVariant>() << uint(seconds));
    updateMediaInfo(QStringLiteral("is-seekable"), QList<QVariant>() << m_player->isSeekable());
    m_renderer->setMediaInfoComplete(true);
    m_tally->setLengthMs(m_player->duration());
    if (target == ZelGstPlayer::Playing) {
        if (m_item == EntryItem)
            m_entryStarted = true;
        report(MafwRenderer::Playing);
    } else if (target == ZelGstPlayer::Paused) {
        const bool announce = m_pauseAtPending;
        m_pauseAtPending = false;
        report(MafwRenderer::Paused, announce);
    }
}

void ZelPlayControls::countPlay()
{
    // The library keeps play counts and last-played times: a song of the queue counts once each
    // time it is loaded and heard long enough (ZelPlayTally), a stream or a single file never.
    if (m_item != RowItem || m_playCounted || !m_tally->isHeard())
        return;
    m_playCounted = true;
    MafwTrackerConnection* connection = MafwTrackerConnection::current();
    const QUrl url = currentUrl();
    if (connection && url.isLocalFile())
        connection->songPlayedByUrl(url.toString(QUrl::FullyEncoded));
}

void ZelPlayControls::playerEnded()
{
    // A song heard to its end counts before the next one is loaded, whenever the tally's
    // timer would have come round.
    m_tally->check();
    switch (m_item) {
    case RowItem: {
        const int count = m_playlist ? m_playlist->count() : 0;
        int next = playlistRow() + 1;
        if (next >= count)
            next = m_playlist && m_playlist->repeat() == MafwPlaylist::RepeatAll ? 0 : -1;
        if (next >= 0 && next < count)
            play(uint(next));
        else
            completePlayback();
        break;
    }
    case EntryItem:
        if (m_entry + 1 < m_entries.size())
            startEntry(m_entry + 1);
        else
            completePlayback();
        break;
    default:
        completePlayback();
        break;
    }
}

void ZelPlayControls::playerFailed(int code, const QString& message)
{
    fail(code, message);
}

void ZelPlayControls::playerTags(const QMap<QString, QList<QVariant>>& tags)
{
    for (auto it = tags.constBegin(); it != tags.constEnd(); ++it)
        updateMediaInfo(it.key(), it.value());
}

void ZelPlayControls::playerBuffering(int percent)
{
    emit bufferingChanged(float(percent));
}

void ZelPlayControls::playerDurationChanged()
{
    if (!m_player->isPrerolled())
        return;
    m_tally->setLengthMs(m_player->duration());
    const int seconds = durationSeconds();
    if (seconds >= 0)
        updateMediaInfo(QStringLiteral("duration"), QList<QVariant>() << uint(seconds));
}

void ZelPlayControls::playlistParsed(const QList<QUrl>& entries, int errorCode)
{
    if (m_item != EntryItem)
        return;
    if (errorCode != MafwError::NoError) {
        fail(errorCode, QStringLiteral("The playlist %1 cannot be played").arg(m_url.toString()));
        return;
    }
    m_entries = entries;
    const int first = m_startEntry < entries.size() ? m_startEntry : 0;
    const qint64 startMs = first == m_startEntry ? m_startMs : -1;
    const bool playing = !m_startPaused;
    m_startEntry = 0;
    m_startMs = -1;
    m_startPaused = false;
    startEntry(first, playing, startMs);
}

void ZelPlayControls::handlerMediaChanged(const ZelMetadataHandler* changed)
{
    // A late answer for content that is no longer current is not news.
    if (changed != mutableItem())
        return;
    m_handlerAnnounced = true;
    emit mediaChanged(changed);
}

void ZelPlayControls::reportPosition()
{
    if (m_state != MafwRenderer::Playing)
        return;
    emit positionChanged(position(), durationSeconds());
}
