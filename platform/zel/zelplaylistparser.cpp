// GLib's headers use "signals" as a name, which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <totem-pl-parser.h>
#pragma pop_macro("signals")

#include "zelplaylistparser.h"

#include "mafwerror.h"
#include "playableurl.h"
#include "safefile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QMutex>
#include <QMutexLocker>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtConcurrent>

#include <fcntl.h>
#include <unistd.h>

namespace {

const qint64 MaxDownloadBytes = 1024 * 1024;
// The whole fetch, not each wait for data: a server that sends a byte now and then would
// otherwise hold the player in "connecting" for as long as it likes.
const int DownloadTimeoutMs = 15000;
// What the network layer may hold unread for us: the body is counted as it is read, and the
// connection is closed at the cap instead of being drained into memory.
const qint64 ReadBufferBytes = 64 * 1024;

bool isCompressed(const QByteArray& data)
{
    return data.startsWith("\x1f\x8b");
}

// Folders above the copy of a network playlist: as many as its address has, up to this many.
const int MaxCopyDepth = 32;

// A suffix that lets the parser recognise the downloaded copy; the content decides the rest.
QString playlistSuffix(const QUrl& url, const QByteArray& data)
{
    const QByteArray head = data.left(64).trimmed().toLower();
    if (head.startsWith("[playlist]"))
        return QStringLiteral(".pls");
    if (head.startsWith("#extm3u"))
        return QStringLiteral(".m3u");
    const QString suffix = QFileInfo(url.path()).suffix().toLower();
    if (!suffix.isEmpty() && suffix.size() <= 5)
        return QLatin1Char('.') + suffix;
    return QString();
}

} // namespace

// One parse by totem-pl-parser. The parser may announce entries from its own thread, so they
// are collected under a lock; the completion comes on the GUI thread's main context. A job
// outlives a cancelled owner until the parser lets go of it.
struct ZelPlaylistParser::Job
{
    QPointer<ZelPlaylistParser> owner;
    QMutex mutex;
    QList<QUrl> entries;
    GCancellable* cancellable = nullptr;
    TotemPlParser* parser = nullptr;
    // A local playlist: its folder, against which paths without a scheme are read.
    QString localFolder;
    // A network playlist: its address, and the private folder its copy is parsed in.
    // The parser reads relative entries against the copy; the copy sits as deep in that folder
    // as the playlist sits on its server, so that each such entry maps back onto the server.
    QUrl remoteUrl;
    QString copyRoot;
    QString copyFolder;
};

ZelPlaylistParser::ZelPlaylistParser(QObject* parent)
    : QObject(parent)
    , m_network(nullptr)
    , m_reply(nullptr)
    , m_download(nullptr)
    , m_job(nullptr)
    , m_deadline(new QTimer(this))
    , m_plainRead(nullptr)
    , m_serial(0)
{
    m_deadline->setSingleShot(true);
    m_deadline->setInterval(DownloadTimeoutMs);
    connect(m_deadline, &QTimer::timeout, this, &ZelPlaylistParser::downloadTimedOut);
}

ZelPlaylistParser::~ZelPlaylistParser()
{
    cancel();
}

bool ZelPlaylistParser::isRunning() const
{
    return m_job || m_reply || m_plainRead;
}

void ZelPlaylistParser::cancel()
{
    ++m_serial;
    if (m_job) {
        m_job->owner = nullptr;
        g_cancellable_cancel(m_job->cancellable);
        m_job = nullptr;
    }
    delete m_plainRead;
    m_plainRead = nullptr;
    m_deadline->stop();
    m_data.clear();
    closeLocal();
    if (m_reply) {
        QNetworkReply* reply = m_reply;
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    delete m_download;
    m_download = nullptr;
}

void ZelPlaylistParser::parse(const QUrl& url)
{
    cancel();
    m_url = url;
    if (url.isLocalFile()) {
        readLocal(url.toLocalFile());
        return;
    }

    if (!m_network)
        m_network = new QNetworkAccessManager(this);
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    // Named, so that the network layer inflates nothing by itself: a small compressed answer
    // could unpack to gigabytes before any byte of it is counted.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setTransferTimeout(DownloadTimeoutMs);
    m_reply = m_network->get(request);
    m_reply->setReadBufferSize(ReadBufferBytes);
    m_deadline->start();
    connect(m_reply, &QNetworkReply::readyRead, this, &ZelPlaylistParser::downloadRead);
    connect(m_reply, &QNetworkReply::finished, this, &ZelPlaylistParser::downloadFinished);
}

bool ZelPlaylistParser::takeData(QNetworkReply* reply)
{
    m_data += reply->read(MaxDownloadBytes + 1 - m_data.size());
    if (m_data.size() <= MaxDownloadBytes && !isCompressed(m_data))
        return true;
    qWarning() << Q_FUNC_INFO << "- the playlist is too large or compressed:" << m_url;
    cancel();
    finish(QList<QUrl>(), MafwError::CorruptPlaylist);
    return false;
}

void ZelPlaylistParser::downloadRead()
{
    QNetworkReply* reply = qobject_cast<QNetworkReply*>(sender());
    if (reply && reply == m_reply)
        takeData(reply);
}

void ZelPlaylistParser::downloadTimedOut()
{
    if (!m_reply)
        return;
    qWarning() << Q_FUNC_INFO << "- no whole playlist within" << DownloadTimeoutMs
               << "ms:" << m_url;
    cancel();
    finish(QList<QUrl>(), MafwError::CannotConnect);
}

void ZelPlaylistParser::downloadFinished()
{
    QNetworkReply* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply || reply != m_reply)
        return;
    m_deadline->stop();
    if (reply->error() == QNetworkReply::NoError && !takeData(reply))
        return;
    m_reply = nullptr;
    reply->deleteLater();

    if (reply->error() != QNetworkReply::NoError) {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        qWarning() << Q_FUNC_INFO << "-" << m_url << reply->errorString();
        finish(QList<QUrl>(), status == 404 || status == 410 ? int(MafwError::ResourceNotFound)
                                                             : int(MafwError::CannotConnect));
        return;
    }
    const QByteArray data = m_data;
    m_data.clear();
    m_download = new QTemporaryDir(QDir::tempPath()
                                   + QStringLiteral("/parlovance-playlist-XXXXXX"));
    const int depth = qMin(MaxCopyDepth, m_url.path().count(QLatin1Char('/')) - 1);
    QString folder = m_download->path();
    for (int i = 0; i < depth; ++i)
        folder += QStringLiteral("/d");
    QFile copy(folder + QStringLiteral("/playlist") + playlistSuffix(m_url, data));
    if (!m_download->isValid() || !QDir().mkpath(folder)
        || !copy.open(QIODevice::WriteOnly | QIODevice::NewOnly) || copy.write(data) != data.size()
        || !copy.flush()) {
        qWarning() << Q_FUNC_INFO << "- cannot keep a copy of" << m_url;
        delete m_download;
        m_download = nullptr;
        finish(QList<QUrl>(), MafwError::CannotPlay);
        return;
    }
    copy.close();
    startParsing(QUrl::fromLocalFile(copy.fileName()), m_url);
}

void ZelPlaylistParser::startParsing(const QUrl& url, const QUrl& remoteUrl)
{
    Job* job = new Job;
    job->owner = this;
    job->cancellable = g_cancellable_new();
    job->parser = totem_pl_parser_new();
    if (remoteUrl.isValid()) {
        job->remoteUrl = remoteUrl;
        job->copyRoot = QDir::cleanPath(m_download->path());
        job->copyFolder = QDir::cleanPath(QFileInfo(url.toLocalFile()).absolutePath());
    } else {
        // The copy of a local playlist stands in a private folder at the original's path.
        job->localFolder = QFileInfo(m_url.toLocalFile()).absolutePath();
        job->copyRoot = QDir::cleanPath(m_download->path());
    }
    // Entries that are playlists themselves are played as they are, not fetched by the parser.
    g_object_set(job->parser, "recurse", FALSE, "disable-unsafe", TRUE, nullptr);
    g_signal_connect(job->parser, "entry-parsed", G_CALLBACK(&ZelPlaylistParser::entryParsed), job);
    m_job = job;

    // No base: the parser would take a playlist's address for a folder. Relative entries are
    // read against the file parsed, and mapped back here.
    const QByteArray uri = url.toEncoded();
    totem_pl_parser_parse_with_base_async(
        job->parser, uri.constData(), nullptr, FALSE, job->cancellable,
        reinterpret_cast<GAsyncReadyCallback>(&ZelPlaylistParser::parseDone), job);
}

QUrl ZelPlaylistParser::entryUrl(const Job& job, const char* uri)
{
    const QByteArray bytes(uri);
    QUrl entry = QUrl::fromEncoded(bytes, QUrl::TolerantMode);
    // A drive letter is no scheme.
    const bool hasScheme = entry.scheme().size() > 1 && !bytes.startsWith('/');
    if (job.remoteUrl.isValid()) {
        // An address without a scheme is relative to the playlist's own, on its server.
        if (!hasScheme) {
            const QUrl resolved = job.remoteUrl.resolved(
                QUrl(QString::fromUtf8(bytes), QUrl::TolerantMode));
            return resolved.isLocalFile() ? QUrl() : resolved;
        }
        if (!entry.isLocalFile())
            return entry;
        const QString path = QDir::cleanPath(entry.toLocalFile());
        if (!path.startsWith(job.copyRoot + QLatin1Char('/'))) {
            qWarning() << Q_FUNC_INFO << "- a network playlist names a local file:" << entry;
            return QUrl();
        }
        QString relative = QDir(job.copyFolder).relativeFilePath(path);
        // "./" keeps a colon in the first name from reading as a scheme.
        if (!relative.startsWith(QLatin1String("../")))
            relative.prepend(QLatin1String("./"));
        return job.remoteUrl.resolved(QUrl(relative, QUrl::TolerantMode));
    }
    if (hasScheme) {
        // An entry the parser resolved against the copy stands for the same path beside the
        // original. The copy's folder is a plain name, so its address maps back byte for byte
        // (a file name that is not UTF-8 stays percent-encoded).
        if (entry.isLocalFile()) {
            const QByteArray original = SafeFile::originalUrl(job.copyRoot, entry.toEncoded());
            if (!original.isEmpty())
                return QUrl::fromEncoded(original);
        }
        return entry;
    }
    // In a playlist file of the user's, an entry without a scheme is a path, absolute or
    // relative to the playlist's folder.
    const QString path = QString::fromUtf8(bytes);
    return QUrl::fromLocalFile(QDir::cleanPath(
        QDir::isAbsolutePath(path) ? path : job.localFolder + QLatin1Char('/') + path));
}

void ZelPlaylistParser::entryParsed(void*, const char* uri, void*, void* data)
{
    Job* job = static_cast<Job*>(data);
    if (!uri || !*uri)
        return;
    const QUrl entry = entryUrl(*job, uri);
    if (!entry.isValid() || entry.isEmpty())
        return;
    // Addresses the player does not play go now; a local file is looked at when its turn comes,
    // as it may change until then.
    if (!entry.isLocalFile() && !PlayableUrl::check(entry, Q_FUNC_INFO))
        return;
    QMutexLocker lock(&job->mutex);
    job->entries.append(entry);
}

void ZelPlaylistParser::parseDone(void* source, void* result, void* data)
{
    Job* job = static_cast<Job*>(data);
    GError* error = nullptr;
    const TotemPlParserResult outcome = totem_pl_parser_parse_finish(
        TOTEM_PL_PARSER(source), reinterpret_cast<GAsyncResult*>(result), &error);
    if (error) {
        if (outcome != TOTEM_PL_PARSER_RESULT_CANCELLED)
            qWarning() << Q_FUNC_INFO << "-" << error->message;
        g_clear_error(&error);
    }
    QList<QUrl> entries;
    {
        QMutexLocker lock(&job->mutex);
        entries = job->entries;
    }
    QPointer<ZelPlaylistParser> owner = job->owner;
    const bool current = owner && owner->m_job == job;
    const bool local = !job->remoteUrl.isValid();
    g_signal_handlers_disconnect_by_data(job->parser, job);
    g_object_unref(job->parser);
    g_object_unref(job->cancellable);
    delete job;

    if (!current || outcome == TOTEM_PL_PARSER_RESULT_CANCELLED)
        return;
    owner->m_job = nullptr;
    delete owner->m_download;
    owner->m_download = nullptr;
    if (!(local
          && (outcome == TOTEM_PL_PARSER_RESULT_IGNORED
              || outcome == TOTEM_PL_PARSER_RESULT_UNHANDLED)))
        owner->closeLocal();
    // A type the parser does not read playlists of (plain text, or none it knows).
    if (local
        && (outcome == TOTEM_PL_PARSER_RESULT_IGNORED
            || outcome == TOTEM_PL_PARSER_RESULT_UNHANDLED)) {
        owner->readPlainList();
    } else if (outcome != TOTEM_PL_PARSER_RESULT_SUCCESS) {
        qWarning() << Q_FUNC_INFO << "- not a playlist that can be read:" << owner->m_url;
        owner->finish(QList<QUrl>(), MafwError::CorruptPlaylist);
    } else if (entries.isEmpty()) {
        owner->finish(QList<QUrl>(), MafwError::EmptyPlaylist);
    } else {
        owner->finish(entries, MafwError::NoError);
    }
}

QList<QUrl> ZelPlaylistParser::plainListEntries(const QByteArray& text)
{
    static const QRegularExpression address(QStringLiteral("^[a-z][a-z0-9+.-]*://\\S+$"),
                                            QRegularExpression::CaseInsensitiveOption);
    QList<QUrl> entries;
    const QByteArray body = text.startsWith("\xef\xbb\xbf") ? text.mid(3) : text;
    for (const QByteArray& line : body.split('\n')) {
        const QByteArray entry = line.trimmed();
        if (entry.isEmpty() || entry.startsWith('#'))
            continue;
        if (entry.startsWith('/') && !entry.contains('\0'))
            entries << QUrl::fromLocalFile(QDir::cleanPath(QFile::decodeName(entry)));
        else if (address.match(QString::fromUtf8(entry)).hasMatch())
            entries << QUrl::fromEncoded(entry, QUrl::TolerantMode);
        else if (entries.isEmpty())
            return entries;
    }
    return entries;
}

void ZelPlaylistParser::readLocal(const QString& path)
{
    struct Opened
    {
        int fd = -1;
        QString reason;
    };
    auto* open = new QFutureWatcher<Opened>(this);
    m_plainRead = open;
    connect(open, &QFutureWatcher<Opened>::finished, this, [this, open]() {
        const Opened opened = open->result();
        m_plainRead = nullptr;
        open->deleteLater();
        if (opened.fd < 0) {
            qWarning() << Q_FUNC_INFO << "- the playlist file cannot be read:" << m_url
                       << opened.reason;
            finish(QList<QUrl>(), MafwError::ResourceNotFound);
            return;
        }
        // The parser takes only a name, and would open whatever the user's name stands for
        // when it gets to it: it is handed a name of its own for the file opened here.
        m_localFd = opened.fd;
        m_download = new QTemporaryDir(QDir::tempPath()
                                       + QStringLiteral("/parlovance-playlist-XXXXXX"));
        const QByteArray link
            = m_download->isValid()
                  ? SafeFile::linkMirror(m_download->path(),
                                         QFile::encodeName(
                                             QFileInfo(m_url.toLocalFile()).absoluteFilePath()),
                                         m_localFd)
                  : QByteArray();
        if (link.isEmpty()) {
            qWarning() << Q_FUNC_INFO << "- cannot name the opened file of" << m_url;
            cancel();
            finish(QList<QUrl>(), MafwError::CannotPlay);
            return;
        }
        startParsing(QUrl::fromLocalFile(QFile::decodeName(link)), QUrl());
    });
    // Off the GUI thread; opened once, without waiting, so a name that stands for a pipe fails
    // at once instead of holding a thread until something writes to it.
    open->setFuture(QtConcurrent::run([path]() {
        Opened opened;
        opened.fd = SafeFile::openRegularDescriptor(QFile::encodeName(path), &opened.reason);
        return opened;
    }));
}

void ZelPlaylistParser::closeLocal()
{
    if (m_localFd >= 0)
        ::close(m_localFd);
    m_localFd = -1;
}

void ZelPlaylistParser::readPlainList()
{
    // The worker reads a descriptor of its own: this one may be closed meanwhile.
    const int fd = m_localFd >= 0 ? ::fcntl(m_localFd, F_DUPFD_CLOEXEC, 0) : -1;
    closeLocal();
    auto* read = new QFutureWatcher<QList<QUrl>>(this);
    m_plainRead = read;
    connect(read, &QFutureWatcher<QList<QUrl>>::finished, this, [this, read]() {
        QList<QUrl> entries;
        for (const QUrl& entry : read->result()) {
            if (entry.isValid() && (entry.isLocalFile() || PlayableUrl::check(entry, Q_FUNC_INFO)))
                entries << entry;
        }
        m_plainRead = nullptr;
        read->deleteLater();
        if (entries.isEmpty()) {
            qWarning() << Q_FUNC_INFO << "- not a playlist that can be read:" << m_url;
            finish(QList<QUrl>(), MafwError::CorruptPlaylist);
        } else {
            finish(entries, MafwError::NoError);
        }
    });
    // Off the GUI thread, as the parser reads; as much as a playlist from the network may hold.
    read->setFuture(QtConcurrent::run([fd]() {
        if (fd < 0)
            return QList<QUrl>();
        QByteArray text;
        SafeFile::readDescriptor(fd, MaxDownloadBytes, &text);
        ::close(fd);
        return plainListEntries(text);
    }));
}

void ZelPlaylistParser::finish(const QList<QUrl>& entries, int errorCode)
{
    emit finished(entries, errorCode);
}
