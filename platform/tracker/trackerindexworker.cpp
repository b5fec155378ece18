// GLib headers come before Qt's: GIO names a member "signals", which Qt defines as a macro.
#include <libtracker-sparql/tracker-sparql.h>

#include "trackerindexworker.h"

#include "trackerfolderwalker.h"
#include "trackerlogging.h"
#include "trackermediaart.h"
#include "trackerplaylistreader.h"
#include "trackerqueryrunner.h"
#include "trackercursorrow.h"
#include "trackersparql.h"
#include "trackertagbatch.h"
#include "trackertagreader.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <sys/stat.h>

#include <algorithm>
#include <future>
#include <memory>

namespace {

// Values from files are put into the text with one arg() call each: a later arg() would also
// replace any "%1" that a file name or tag brought in.

// Songs written per update: big enough to keep the store's per-commit cost small (and an
// album's performer, album and disc written once), small enough to report progress often.
const int SongsPerUpdate = 200;
// Files named in one query of the store's file resources.
const int UrlsPerQuery = 400;
const int UrlsPerDelete = 200;
// Playlist entries written per update: each update's cost stays flat however long the list,
// and the other writers (favourites, play counts) get their turn between two.
const int EntriesPerUpdate = 500;
// Walks of a music folder that changes while it is read (moved away, unmounted, put back)
// before the scan gives up and leaves the library as it is.
const int WalksOfAChangingFolder = 3;

// The properties the indexer owns on a song; a changed file has exactly these rewritten, and
// everything the user added (favourite, play count, position, time added) stays.
const char* const IndexedSongProperties
    = "nie:title, nmm:performer, nmm:musicAlbum, nmm:musicAlbumDisc, nmm:trackNumber, "
      "nfo:genre, nie:contentCreated, nfo:duration, nfo:averageBitrate, nfo:sampleRate, "
      "nfo:channels, nmm:composer, nmm:lyricist, nie:comment, nie:copyright, nfo:encodedBy, "
      "nco:publisher, nfo:fileSize, nfo:fileLastModified, nfo:fileName";

QString hashed(const QString& prefix, const QString& key)
{
    return prefix
           + QString::fromLatin1(
               QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Md5).toHex());
}

QString artistIri(const QString& name)
{
    return hashed(QStringLiteral("urn:artist:"), name);
}

// An album is the pair of its title and album artist, joined with U+001F into the text its
// resource name is hashed from. A tag can hold that character too, so a part holding it (or
// the escape U+001B) has both escaped first: no two pairs give one key, and every pair
// without them keeps the key, and so the resource, it always had.
QString keyPart(const QString& text)
{
    const QChar escape(0x1b);
    const QChar separator(0x1f);
    if (!text.contains(separator) && !text.contains(escape))
        return text;
    QString escaped = text;
    escaped.replace(escape, QString(2, escape));
    escaped.replace(separator, QString(escape) + QLatin1Char('_'));
    return escaped;
}

QString albumKey(const QString& title, const QString& albumArtist)
{
    return keyPart(title) + QChar(0x1f) + keyPart(albumArtist);
}

QString artistTriples(const QString& iri, const QString& name)
{
    return QStringLiteral("<%1> a nmm:Artist ; nmm:artistName %2 . ")
        .arg(iri, TrackerSparql::literal(name));
}

QString urlValues(const QStringList& urls)
{
    QStringList literals;
    literals.reserve(urls.size());
    for (const QString& url : urls)
        literals.append(TrackerSparql::literal(url));
    return literals.join(QLatin1Char(' '));
}

// A list whose texts share nothing with the given one.
QStringList detachedCopy(const QStringList& list)
{
    QStringList copy;
    copy.reserve(list.size());
    for (const QString& text : list)
        copy.append(QString(text.constData(), text.size()));
    return copy;
}

// Whether a shared resource still has to be written in this update: each goes in once.
bool firstTime(QSet<QString>* written, const QString& key)
{
    if (!written)
        return true;
    if (written->contains(key))
        return false;
    written->insert(key);
    return true;
}

// A text as the store takes it from a resource: a literal of songUpdate() leaves NUL out too.
QByteArray storeText(const QString& text)
{
    QByteArray utf8 = text.toUtf8();
    if (utf8.contains('\0'))
        utf8.replace(QByteArray(1, '\0'), QByteArray());
    return utf8;
}

// The resources a batch writes, each released once the batch has taken its reference.
class BatchResource
{
public:
    BatchResource(TrackerBatch* batch, const QString& iri)
        : m_batch(batch)
        , m_resource(tracker_resource_new(iri.toUtf8().constData()))
    {
    }
    ~BatchResource()
    {
        tracker_batch_add_resource(m_batch, nullptr, m_resource);
        g_object_unref(m_resource);
    }
    BatchResource(const BatchResource&) = delete;
    BatchResource& operator=(const BatchResource&) = delete;

    // Every value is added, never set: a set value would first look up what it replaces.
    void type(const char* name) { tracker_resource_add_uri(m_resource, "rdf:type", name); }
    void link(const char* property, const QString& iri)
    {
        tracker_resource_add_uri(m_resource, property, iri.toUtf8().constData());
    }
    void text(const char* property, const QString& value)
    {
        tracker_resource_add_string(m_resource, property, storeText(value).constData());
    }
    void number(const char* property, qint64 value)
    {
        tracker_resource_add_int64(m_resource, property, value);
    }
    void boolean(const char* property, bool value)
    {
        tracker_resource_add_boolean(m_resource, property, value);
    }

private:
    TrackerBatch* m_batch;
    TrackerResource* m_resource;
};

void addArtist(TrackerBatch* batch, const QString& iri, const QString& name)
{
    BatchResource artist(batch, iri);
    artist.type("nmm:Artist");
    artist.text("nmm:artistName", name);
}

// Whether a file's URL lies below a folder's.
bool isBelowUrl(const QString& url, const QString& folder)
{
    return url.size() > folder.size() + 1 && url.startsWith(folder)
           && url.at(folder.size()) == QLatin1Char('/');
}

// The folder itself when it is there, else the nearest one above it that is.
QString nearestFolderAbove(const QString& path)
{
    QString folder = path;
    while (!QFileInfo(folder).isDir()) {
        const QString up = QFileInfo(folder).absolutePath();
        if (up == folder)
            break;
        folder = up;
    }
    return folder;
}

// The folder a path names now (its device and inode, through links), or nothing.
bool folderIdentity(const QString& path, dev_t* device, ino_t* inode)
{
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISDIR(status.st_mode))
        return false;
    *device = status.st_dev;
    *inode = status.st_ino;
    return true;
}

QString timeOf(qint64 seconds)
{
    return TrackerSparql::timeText(QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC));
}

} // namespace

TrackerIndexWorker::TrackerIndexWorker(const QString& mountMemory)
    : m_mounts(mountMemory)
{
}

void TrackerIndexWorker::cancel()
{
    m_cancelled.storeRelease(1);
}

bool TrackerIndexWorker::runUpdate(TrackerSparqlConnection* connection, const QString& sparql,
                                   const char* what)
{
    const TrackerQueryResult result = TrackerQueryRunner::update(connection, sparql);
    if (!result.ok)
        qCWarning(lcIndexer) << Q_FUNC_INFO << "- cannot write" << what << ":"
                             << result.errorMessage;
    return result.ok;
}

QString TrackerIndexWorker::songUpdate(const QString& iri, bool known, const QString& url,
                                       const QString& fileName, qint64 size,
                                       const QString& modified, const QString& added,
                                       const TrackerTrackInfo& info, QSet<QString>* written,
                                       bool overwrite)
{
    QString sparql;
    if (known) {
        sparql += QStringLiteral(
                      "DELETE { <%1> ?p ?o } WHERE { <%1> ?p ?o . FILTER(?p IN (%2)) } ;\n")
                      .arg(iri, QString::fromLatin1(IndexedSongProperties));
    }
    QString data;
    QString song = QStringLiteral("<%1> a nmm:MusicPiece, nfo:FileDataObject ; nie:url %2 ; "
                                  "nfo:fileName %3 ; nfo:fileSize %4 ; nfo:fileLastModified %5 ; "
                                  "tracker:available true")
                       .arg(iri, TrackerSparql::literal(url), TrackerSparql::literal(fileName),
                            QString::number(size), TrackerSparql::literal(modified));
    if (!known)
        song += QStringLiteral(" ; tracker:added %1").arg(TrackerSparql::literal(added));
    // Like the platform's own extractor, a song without a title tag is titled by its file name.
    QString title = info.title;
    if (title.isEmpty())
        title = QFileInfo(fileName).completeBaseName();
    song += QStringLiteral(" ; nie:title %1").arg(TrackerSparql::literal(title));
    if (!info.artist.isEmpty()) {
        const QString performer = artistIri(info.artist);
        if (firstTime(written, performer))
            data += artistTriples(performer, info.artist);
        song += QStringLiteral(" ; nmm:performer <%1>").arg(performer);
    }
    if (!info.album.isEmpty()) {
        const QString key = albumKey(info.album, info.albumArtist);
        const QString album = hashed(QStringLiteral("urn:album:"), key);
        if (firstTime(written, album)) {
            data += QStringLiteral("<%1> a nmm:MusicAlbum ; nie:title %2 . ")
                        .arg(album, TrackerSparql::literal(info.album));
        }
        if (!info.albumArtist.isEmpty()) {
            const QString albumArtist = artistIri(info.albumArtist);
            if (firstTime(written, albumArtist))
                data += artistTriples(albumArtist, info.albumArtist);
            if (firstTime(written, album + QLatin1Char(' ') + albumArtist))
                data += QStringLiteral("<%1> nmm:albumArtist <%2> . ").arg(album, albumArtist);
        }
        song += QStringLiteral(" ; nmm:musicAlbum <%1>").arg(album);
        const int discNumber = info.discNumber > 0 ? info.discNumber : 1;
        const QString disc = hashed(QStringLiteral("urn:album-disc:"),
                                    key + QChar(0x1f) + QString::number(discNumber));
        if (firstTime(written, disc)) {
            data += QStringLiteral("<%1> a nmm:MusicAlbumDisc ; nmm:setNumber %2 ; "
                                   "nmm:albumDiscAlbum <%3> . ")
                        .arg(disc)
                        .arg(discNumber)
                        .arg(album);
        }
        song += QStringLiteral(" ; nmm:musicAlbumDisc <%1>").arg(disc);
    }
    if (!info.composer.isEmpty()) {
        const QString composer = artistIri(info.composer);
        if (firstTime(written, composer))
            data += artistTriples(composer, info.composer);
        song += QStringLiteral(" ; nmm:composer <%1>").arg(composer);
    }
    if (!info.lyricist.isEmpty()) {
        const QString lyricist = artistIri(info.lyricist);
        if (firstTime(written, lyricist))
            data += artistTriples(lyricist, info.lyricist);
        song += QStringLiteral(" ; nmm:lyricist <%1>").arg(lyricist);
    }
    if (!info.publisher.isEmpty()) {
        const QString publisher = hashed(QStringLiteral("urn:contact:"), info.publisher);
        if (firstTime(written, publisher)) {
            data += QStringLiteral("<%1> a nco:Contact ; nco:fullname %2 . ")
                        .arg(publisher, TrackerSparql::literal(info.publisher));
        }
        song += QStringLiteral(" ; nco:publisher <%1>").arg(publisher);
    }
    if (info.trackNumber > 0)
        song += QStringLiteral(" ; nmm:trackNumber %1").arg(info.trackNumber);
    if (!info.genre.isEmpty())
        song += QStringLiteral(" ; nfo:genre %1").arg(TrackerSparql::literal(info.genre));
    if (info.year > 0 && info.year < 10000) {
        song += QStringLiteral(" ; nie:contentCreated \"%1-01-01T00:00:00Z\"")
                    .arg(info.year, 4, 10, QLatin1Char('0'));
    }
    song += QStringLiteral(" ; nfo:duration %1").arg(info.durationSeconds);
    if (info.bitrate > 0)
        song += QStringLiteral(" ; nfo:averageBitrate %1").arg(info.bitrate);
    if (info.sampleRate > 0)
        song += QStringLiteral(" ; nfo:sampleRate %1").arg(info.sampleRate);
    if (info.channels > 0)
        song += QStringLiteral(" ; nfo:channels %1").arg(info.channels);
    if (!info.comment.isEmpty())
        song += QStringLiteral(" ; nie:comment %1").arg(TrackerSparql::literal(info.comment));
    if (!info.copyright.isEmpty())
        song += QStringLiteral(" ; nie:copyright %1").arg(TrackerSparql::literal(info.copyright));
    if (!info.encodedBy.isEmpty())
        song += QStringLiteral(" ; nfo:encodedBy %1").arg(TrackerSparql::literal(info.encodedBy));
    song += QStringLiteral(" . ");
    // A replacing insert first looks up every value it may replace, which is most of its cost;
    // a new song has none, and the shared resources' values follow from their names.
    sparql += (known || overwrite ? QStringLiteral("INSERT OR REPLACE { ")
                                  : QStringLiteral("INSERT DATA { "))
              + data + song + QStringLiteral("}");
    return sparql;
}

void TrackerIndexWorker::addNewSong(TrackerBatch* batch, const QString& iri, const QString& url,
                                    const QString& fileName, qint64 size, const QString& modified,
                                    const QString& added, const TrackerTrackInfo& info,
                                    QSet<QString>* written)
{
    // The shared resources first, in songUpdate()'s order, then the song that links to them.
    // An artist's resource, written with the first song that names it; empty for no name.
    auto artistOf = [batch, written](const QString& name) {
        if (name.isEmpty())
            return QString();
        const QString iri = artistIri(name);
        if (firstTime(written, iri))
            addArtist(batch, iri, name);
        return iri;
    };
    const QString performer = artistOf(info.artist);
    QString album;
    QString disc;
    const int discNumber = info.discNumber > 0 ? info.discNumber : 1;
    if (!info.album.isEmpty()) {
        const QString key = albumKey(info.album, info.albumArtist);
        album = hashed(QStringLiteral("urn:album:"), key);
        if (firstTime(written, album)) {
            BatchResource resource(batch, album);
            resource.type("nmm:MusicAlbum");
            resource.text("nie:title", info.album);
        }
        if (!info.albumArtist.isEmpty()) {
            const QString albumArtist = artistOf(info.albumArtist);
            if (firstTime(written, album + QLatin1Char(' ') + albumArtist))
                BatchResource(batch, album).link("nmm:albumArtist", albumArtist);
        }
        disc = hashed(QStringLiteral("urn:album-disc:"),
                      key + QChar(0x1f) + QString::number(discNumber));
        if (firstTime(written, disc)) {
            BatchResource resource(batch, disc);
            resource.type("nmm:MusicAlbumDisc");
            resource.number("nmm:setNumber", discNumber);
            resource.link("nmm:albumDiscAlbum", album);
        }
    }
    const QString composer = artistOf(info.composer);
    const QString lyricist = artistOf(info.lyricist);
    QString publisher;
    if (!info.publisher.isEmpty()) {
        publisher = hashed(QStringLiteral("urn:contact:"), info.publisher);
        if (firstTime(written, publisher)) {
            BatchResource resource(batch, publisher);
            resource.type("nco:Contact");
            resource.text("nco:fullname", info.publisher);
        }
    }

    BatchResource song(batch, iri);
    song.type("nmm:MusicPiece");
    song.type("nfo:FileDataObject");
    song.text("nie:url", url);
    song.text("nfo:fileName", fileName);
    song.number("nfo:fileSize", size);
    song.text("nfo:fileLastModified", modified);
    song.boolean("tracker:available", true);
    song.text("tracker:added", added);
    // Like the platform's own extractor, a song without a title tag is titled by its file name.
    song.text("nie:title",
              info.title.isEmpty() ? QFileInfo(fileName).completeBaseName() : info.title);
    if (!performer.isEmpty())
        song.link("nmm:performer", performer);
    if (!album.isEmpty()) {
        song.link("nmm:musicAlbum", album);
        song.link("nmm:musicAlbumDisc", disc);
    }
    if (!composer.isEmpty())
        song.link("nmm:composer", composer);
    if (!lyricist.isEmpty())
        song.link("nmm:lyricist", lyricist);
    if (!publisher.isEmpty())
        song.link("nco:publisher", publisher);
    if (info.trackNumber > 0)
        song.number("nmm:trackNumber", info.trackNumber);
    if (!info.genre.isEmpty())
        song.text("nfo:genre", info.genre);
    if (info.year > 0 && info.year < 10000) {
        song.text("nie:contentCreated",
                  QStringLiteral("%1-01-01T00:00:00Z").arg(info.year, 4, 10, QLatin1Char('0')));
    }
    song.number("nfo:duration", info.durationSeconds);
    if (info.bitrate > 0)
        song.number("nfo:averageBitrate", info.bitrate);
    if (info.sampleRate > 0)
        song.number("nfo:sampleRate", info.sampleRate);
    if (info.channels > 0)
        song.number("nfo:channels", info.channels);
    if (!info.comment.isEmpty())
        song.text("nie:comment", info.comment);
    if (!info.copyright.isEmpty())
        song.text("nie:copyright", info.copyright);
    if (!info.encodedBy.isEmpty())
        song.text("nfo:encodedBy", info.encodedBy);
}

void TrackerIndexWorker::scan(const QString& root, quintptr connectionHandle)
{
    auto* connection = reinterpret_cast<TrackerSparqlConnection*>(connectionHandle);
    m_cancelled.storeRelease(0);
    if (root.isEmpty()) {
        emit finished(0, QStringList());
        return;
    }
    const QString rootPath = QDir::cleanPath(QFileInfo(root).absoluteFilePath());

    // A music folder moved away or unmounted while it is walked is read in part: what the walk
    // had not reached yet would look vanished, and its songs would leave the store with all
    // the user gave them. A walk counts only when the folder was the same one (device and
    // inode) at its start and at its end; else the folder is walked again as it is now.
    TrackerFolderWalker walker(&m_cancelled, &m_reported);
    bool rootThere = false;
    for (int walks = 1;; ++walks) {
        dev_t device = 0;
        ino_t inode = 0;
        rootThere = folderIdentity(rootPath, &device, &inode);
        if (!rootThere)
            break;
        if (!walker.walk(rootPath)) {
            // Half a folder is not the folder: nothing is taken as vanished from it.
            emit finished(0, walker.folders);
            return;
        }
        dev_t deviceAfter = 0;
        ino_t inodeAfter = 0;
        if (folderIdentity(rootPath, &deviceAfter, &inodeAfter) && deviceAfter == device
            && inodeAfter == inode)
            break;
        if (walks == WalksOfAChangingFolder) {
            qCWarning(lcIndexer) << Q_FUNC_INFO << "- the music folder" << rootPath
                                 << "kept changing while it was read; the library is left as it is";
            // The folder above stays watched: the next change there brings the next scan.
            emit finished(0, { nearestFolderAbove(QFileInfo(rootPath).absolutePath()) });
            return;
        }
        qCInfo(lcIndexer) << Q_FUNC_INFO << "- the music folder" << rootPath
                          << "changed while it was read; it is read again";
        walker = TrackerFolderWalker(&m_cancelled, &m_reported);
    }
    QHash<QString, DiskFile>& disk = walker.files;
    // The folders are watched for as long as the program runs; the files found go with this
    // scan. Made by the walk, each folder's name lies among its files' entries, and there it
    // would keep the allocator from giving back the memory of those entries once they are
    // freed (some 20 MiB at 50,000 songs, held for good): the folders kept are copies. The
    // folder above the music folder is watched too (the nearest one there is): the music
    // folder moved away, made again or put back is a change of that folder's entries, and a
    // watch of the music folder itself says nothing of its own move.
    QStringList folders = rootThere ? detachedCopy(walker.folders) : QStringList();
    folders.append(nearestFolderAbove(QFileInfo(rootPath).absolutePath()));
    walker.folders.clear();
    for (auto reported = m_reported.begin(); reported != m_reported.end();) {
        // A skipped path that has gone is logged again should it come back.
        struct stat status;
        if (::lstat(reported->constData(), &status) != 0)
            reported = m_reported.erase(reported);
        else
            ++reported;
    }
    // What a folder that is not there held stays in the store, unavailable, with all that the
    // user gave it (favourite, play count, position, place in playlists), until it is back.
    QStringList remembered; // the folders once mounted that are not mounted now
    const QStringList absent = absentFolders(rootPath, rootThere, disk, walker.unreadable,
                                             &remembered);
    QStringList rememberedUrls;
    for (const QString& folder : qAsConst(remembered))
        rememberedUrls.append(TrackerFolderWalker::fileUrl(QFile::encodeName(folder)));
    auto isAway = [&absent](const QString& url) {
        for (const QString& folder : absent) {
            if (isBelowUrl(url, folder))
                return true;
        }
        return false;
    };
    // What the store holds, by URL, with the time each file had when it was written, is
    // matched with what the walk found: only the files whose time differs are looked at
    // again, and only their resources are read then. Only files carry a URL in this store,
    // so the read leaves out the type, which costs it half its time; what looks vanished is
    // checked for being a file below, with the rest of what is read of the store.
    QSet<QString> unavailable;
    const TrackerQueryResult hidden = TrackerQueryRunner::selectEach(
        connection,
        QStringLiteral("SELECT ?url WHERE { ?r tracker:available false ; nie:url ?url }"),
        [&unavailable](const TrackerCursorRow& row) { unavailable.insert(row.text(0)); });
    QStringList vanished;
    QStringList away;    // files of a folder that is not there, still shown as available
    QStringList back;    // unchanged files that are there again
    QStringList doubled; // files with more than one resource
    QVector<bool> holding(remembered.size(), false);
    const TrackerQueryResult read = TrackerQueryRunner::selectEach(
        connection,
        QStringLiteral("SELECT ?url ?modified WHERE { ?r nie:url ?url . "
                       "OPTIONAL { ?r nfo:fileLastModified ?modified } }"),
        [&](const TrackerCursorRow& row) {
            const QString url = row.text(0);
            const auto d = disk.find(url);
            if (d == disk.end()) {
                if (!isAway(url)) {
                    // A missing music folder is not there: only what lies below it is held
                    // back, and nothing goes.
                    if (rootThere)
                        vanished.append(url);
                    return;
                }
                if (!unavailable.contains(url))
                    away.append(url);
            } else {
                if (d->inStore)
                    doubled.append(url);
                const QDateTime time = row.time(1);
                d->inStore = true;
                d->unchanged = d->unchanged
                               || (time.isValid() && time.toSecsSinceEpoch() == d->modified);
            }
            for (int i = 0; i < rememberedUrls.size(); ++i)
                holding[i] = holding[i] || isBelowUrl(url, rememberedUrls.at(i));
        });
    if (!read.ok || !hidden.ok) {
        qCWarning(lcIndexer) << Q_FUNC_INFO << "- cannot read the library:"
                             << (read.ok ? hidden.errorMessage : read.errorMessage);
        emit finished(0, folders);
        return;
    }
    // A folder once mounted is forgotten when it is not mounted and the store keeps nothing
    // of it.
    for (int i = 0; i < remembered.size(); ++i) {
        if (!holding.at(i))
            m_mounts.forget(remembered.at(i));
    }
    m_mounts.save();
    if (!doubled.isEmpty())
        removeDoubles(connection, doubled);

    QList<QString> songs;
    QList<QString> playlists;
    QStringList rewritten; // changed files the store has
    for (auto d = disk.cbegin(); d != disk.cend(); ++d) {
        const bool returning = d->inStore && unavailable.contains(d.key());
        if (d->unchanged) {
            if (returning)
                back.append(d.key());
            continue;
        }
        const auto bad = m_unreadable.constFind(d.key());
        if (bad != m_unreadable.cend() && bad.value() == d->modified) {
            if (returning)
                back.append(d.key());
            continue;
        }
        // A changed file is written whole, which makes it available again too.
        (d->playlist ? playlists : songs).append(d.key());
        if (d->inStore)
            rewritten.append(d.key());
    }
    bool storedOk = true;
    const QHash<QString, StoredFile> stored = storedFiles(connection, vanished + rewritten + away,
                                                          &storedOk);
    if (!storedOk) {
        emit finished(0, folders);
        return;
    }
    // A resource with a URL that is not a file is not the indexer's to remove, nor to mark.
    auto notFile = [&stored](const QString& url) { return !stored.contains(url); };
    vanished.erase(std::remove_if(vanished.begin(), vanished.end(), notFile), vanished.end());
    away.erase(std::remove_if(away.begin(), away.end(), notFile), away.end());
    for (auto bad = m_unreadable.begin(); bad != m_unreadable.end();) {
        if (!disk.contains(bad.key()))
            bad = m_unreadable.erase(bad);
        else
            ++bad;
    }
    // Songs in folder order, so an album arrives in one piece.
    std::sort(songs.begin(), songs.end());

    const int changes = vanished.size() + away.size() + back.size() + songs.size()
                        + playlists.size();
    if (changes == 0) {
        emit finished(0, folders);
        return;
    }
    emit started(changes);
    int remaining = changes;

    if (!away.isEmpty()) {
        qCInfo(lcIndexer) << Q_FUNC_INFO << "-" << away.size()
                          << "files are kept as unavailable: their folder is not there";
        setAvailable(connection, away, false);
        remaining -= away.size();
        emit progress(remaining);
    }
    if (!back.isEmpty()) {
        setAvailable(connection, back, true);
        remaining -= back.size();
        emit progress(remaining);
    }
    if (!vanished.isEmpty()) {
        removeVanished(connection, stored, vanished);
        remaining -= vanished.size();
        emit progress(remaining);
    }
    remaining = writeSongs(connection, songs, disk, stored, remaining);
    for (const QString& url : qAsConst(playlists)) {
        if (m_cancelled.loadAcquire())
            break;
        const auto s = stored.constFind(url);
        writePlaylist(connection, url, disk.value(url), s == stored.cend() ? nullptr : &s.value());
        emit progress(--remaining);
    }
    if (!vanished.isEmpty() || !songs.isEmpty())
        removeOrphans(connection);
    emit finished(changes, folders);
}

QStringList TrackerIndexWorker::absentFolders(const QString& root, bool rootThere,
                                              const QHash<QString, DiskFile>& disk,
                                              const QStringList& unreadable,
                                              QStringList* remembered)
{
    const QStringList mountedNow = rootThere ? TrackerMountPoints::mountedAt(root)
                                             : QStringList();
    const QStringList mounts = m_mounts.remembered(root, mountedNow);
    for (const QString& folder : mounts) {
        if (!mountedNow.contains(folder))
            remembered->append(folder);
    }
    // The folders that may be away, by URL, with whether they are there: a folder that was a
    // mount point and is not one now is not there, whatever was put in its place since (a
    // song saved into it while the disk is away).
    QVector<QPair<QString, bool>> candidates;
    candidates.append({ TrackerFolderWalker::fileUrl(QFile::encodeName(root)), rootThere });
    for (const QString& folder : mounts) {
        candidates.append({ TrackerFolderWalker::fileUrl(QFile::encodeName(folder)),
                            mountedNow.contains(folder) });
    }
    for (const QString& url : unreadable)
        candidates.append({ url, false });
    QStringList absent;
    for (const auto& candidate : qAsConst(candidates)) {
        bool holdsMusic = false;
        if (candidate.second) {
            for (auto d = disk.cbegin(); d != disk.cend() && !holdsMusic; ++d)
                holdsMusic = isBelowUrl(d.key(), candidate.first);
        }
        if (!holdsMusic)
            absent.append(candidate.first);
    }
    return absent;
}

void TrackerIndexWorker::setAvailable(TrackerSparqlConnection* connection,
                                      const QStringList& urls, bool available)
{
    const QString value = available ? QStringLiteral("true") : QStringLiteral("false");
    for (int i = 0; i < urls.size(); i += UrlsPerDelete) {
        const QString values = urlValues(urls.mid(i, UrlsPerDelete));
        runUpdate(connection,
                  QStringLiteral("DELETE { ?r tracker:available ?a } WHERE { VALUES ?url { %1 } "
                                 "?r nie:url ?url ; tracker:available ?a } ;\n"
                                 "INSERT { ?r tracker:available %2 } WHERE { VALUES ?url { %1 } "
                                 "?r a nfo:FileDataObject, nie:InformationElement ; "
                                 "nie:url ?url }")
                      .arg(values, value),
                  available ? "the files that are back" : "the files that are away");
    }
}

void TrackerIndexWorker::removeDoubles(TrackerSparqlConnection* connection, const QStringList& urls)
{
    // The first resource made for a file stays, with what the user gave it since; the others
    // (left by another process that indexed the same files at the same time) go, with their
    // playlist entries.
    QSet<QString> kept;
    QStringList extra;
    for (int i = 0; i < urls.size(); i += UrlsPerQuery) {
        const TrackerQueryResult result = TrackerQueryRunner::selectEach(
            connection,
            QStringLiteral("SELECT ?url ?r WHERE { VALUES ?url { %1 } ?r nie:url ?url } "
                           "ORDER BY tracker:id(?r)")
                .arg(urlValues(urls.mid(i, UrlsPerQuery))),
            [&kept, &extra](const TrackerCursorRow& row) {
                const QString iri = row.text(1);
                if (!kept.contains(row.text(0)))
                    kept.insert(row.text(0));
                else if (TrackerSparql::isSafeIri(iri))
                    extra.append(iri);
            });
        if (!result.ok) {
            qCWarning(lcIndexer) << Q_FUNC_INFO
                                 << "- cannot read the doubled files:" << result.errorMessage;
            return;
        }
    }
    qCWarning(lcIndexer) << Q_FUNC_INFO << "-" << extra.size()
                         << "resources named a file that another resource names; removed";
    for (int i = 0; i < extra.size(); i += UrlsPerDelete) {
        QString names;
        for (const QString& iri : extra.mid(i, UrlsPerDelete))
            names += QStringLiteral("<%1> ").arg(iri);
        runUpdate(connection,
                  QStringLiteral("DELETE { ?e a rdfs:Resource } WHERE { VALUES ?r { %1 } "
                                 "?r nfo:hasMediaFileListEntry ?e } ;\n"
                                 "DELETE { ?r a rdfs:Resource } WHERE { VALUES ?r { %1 } "
                                 "?r a rdfs:Resource }")
                      .arg(names),
                  "the doubles of indexed files");
    }
}

QHash<QString, TrackerIndexWorker::StoredFile>
TrackerIndexWorker::storedFiles(TrackerSparqlConnection* connection, const QStringList& urls,
                                bool* ok)
{
    QHash<QString, StoredFile> files;
    *ok = true;
    for (int i = 0; i < urls.size() && *ok; i += UrlsPerQuery) {
        const TrackerQueryResult result = TrackerQueryRunner::selectEach(
            connection,
            QStringLiteral("SELECT ?url ?r EXISTS { ?r a nmm:Playlist } WHERE { VALUES ?url { %1 } "
                           "?r a nfo:FileDataObject ; nie:url ?url }")
                .arg(urlValues(urls.mid(i, UrlsPerQuery))),
            [&files](const TrackerCursorRow& row) {
                StoredFile file;
                file.iri = row.text(1);
                file.playlist = row.boolean(2);
                files.insert(row.text(0), file);
            });
        if (!result.ok) {
            qCWarning(lcIndexer) << Q_FUNC_INFO
                                 << "- cannot read the library:" << result.errorMessage;
            *ok = false;
        }
    }
    return files;
}

void TrackerIndexWorker::removeVanished(TrackerSparqlConnection* connection,
                                        const QHash<QString, StoredFile>& files,
                                        const QStringList& urls)
{
    QString entries;
    for (const QString& url : urls) {
        const StoredFile file = files.value(url);
        if (file.playlist && TrackerSparql::isSafeIri(file.iri)) {
            entries += QStringLiteral("DELETE { ?e a rdfs:Resource } WHERE { <%1> "
                                      "nfo:hasMediaFileListEntry ?e } ;\n")
                           .arg(file.iri);
        }
    }
    if (!entries.isEmpty())
        runUpdate(connection, entries, "the entries of removed playlist files");
    for (int i = 0; i < urls.size(); i += UrlsPerDelete) {
        runUpdate(connection,
                  QStringLiteral("DELETE { ?r a rdfs:Resource } WHERE { VALUES ?url { %1 } "
                                 "?r a nfo:FileDataObject ; nie:url ?url }")
                      .arg(urlValues(urls.mid(i, UrlsPerDelete))),
                  "the removal of vanished files");
    }
}

int TrackerIndexWorker::writeSongs(TrackerSparqlConnection* connection, const QList<QString>& urls,
                                   const QHash<QString, DiskFile>& disk,
                                   const QHash<QString, StoredFile>& stored, int remaining)
{
    const QString added = TrackerSparql::timeText(QDateTime::currentDateTimeUtc());
    auto batchFrom = [&](int first) {
        QVector<TrackerTagBatch::File> files;
        for (int i = first; i < qMin(urls.size(), first + SongsPerUpdate); ++i) {
            TrackerTagBatch::File file;
            file.url = urls.at(i);
            file.path = disk.value(file.url).path;
            files.append(file);
        }
        return files;
    };
    auto nameOf = [](const DiskFile& file) {
        return TrackerFolderWalker::displayName(file.path.mid(file.path.lastIndexOf('/') + 1));
    };
    auto knownIri = [&](const QString& url) {
        const auto s = stored.constFind(url);
        const bool known = s != stored.cend() && TrackerSparql::isSafeIri(s->iri) && !s->playlist;
        return known ? s->iri : QString();
    };
    auto update = [&](const TrackerTagBatch::File& read, QSet<QString>* written, bool overwrite) {
        const DiskFile file = disk.value(read.url);
        const QString known = knownIri(read.url);
        return songUpdate(known.isEmpty() ? TrackerSparql::newIri() : known, !known.isEmpty(),
                          read.url, nameOf(file), file.size, timeOf(file.modified), added,
                          read.info, written, overwrite);
    };
    // One batch of songs on its way into the store: the next one is made while it is written.
    struct Writing
    {
        TrackerBatch* batch = nullptr;
        QVector<TrackerTagBatch::File> files;
        QVector<int> songs; // the files in the batch
        std::future<TrackerQueryResult> result;
    };
    auto finish = [&](Writing* writing) {
        if (writing->batch) {
            const TrackerQueryResult result = writing->result.get();
            g_object_unref(writing->batch);
            writing->batch = nullptr;
            if (!result.ok) {
                qCWarning(lcIndexer)
                    << Q_FUNC_INFO << "- cannot write songs:" << result.errorMessage;
                // One bad song must not cost the others their place: each is written whole,
                // alone, and over whatever the store held of its artist or album.
                for (int i : qAsConst(writing->songs))
                    runUpdate(connection, update(writing->files.at(i), nullptr, true), "a song");
            }
        }
        if (!writing->files.isEmpty()) {
            remaining -= writing->files.size();
            writing->files.clear();
            emit progress(remaining);
        }
    };
    Writing writing;
    // The tags of the next batch are read on other threads while this one is made and the one
    // before it written.
    std::unique_ptr<TrackerTagBatch> reading(
        urls.isEmpty() ? nullptr : new TrackerTagBatch(batchFrom(0), &m_cancelled));
    for (int first = 0; reading; first += SongsPerUpdate) {
        Writing next;
        next.files = reading->take();
        reading.reset(first + SongsPerUpdate < urls.size() && !m_cancelled.loadAcquire()
                          ? new TrackerTagBatch(batchFrom(first + SongsPerUpdate), &m_cancelled)
                          : nullptr);
        if (m_cancelled.loadAcquire())
            break;
        // New songs go in as resources, changed ones as the text that keeps what the user
        // gave them; all in one transaction, in order.
        next.batch = tracker_sparql_connection_create_batch(connection);
        QSet<QString> written;
        for (int i = 0; i < next.files.size(); ++i) {
            const TrackerTagBatch::File& read = next.files.at(i);
            if (!read.ok) {
                qCWarning(lcIndexer)
                    << Q_FUNC_INFO << "- skipped" << read.url << ":" << read.reason;
                m_unreadable.insert(read.url, disk.value(read.url).modified);
                continue;
            }
            if (knownIri(read.url).isEmpty()) {
                const DiskFile file = disk.value(read.url);
                addNewSong(next.batch, TrackerSparql::newIri(), read.url, nameOf(file), file.size,
                           timeOf(file.modified), added, read.info, &written);
            } else {
                tracker_batch_add_sparql(next.batch,
                                         update(read, &written, false).toUtf8().constData());
            }
            next.songs.append(i);
        }
        if (next.songs.isEmpty()) {
            g_object_unref(next.batch);
            next.batch = nullptr;
        }
        // The batch before goes in whole (or song by song) before this one is sent.
        finish(&writing);
        writing = std::move(next);
        if (writing.batch)
            writing.result = TrackerQueryRunner::send(writing.batch);
    }
    finish(&writing);
    return remaining;
}

void TrackerIndexWorker::writePlaylist(TrackerSparqlConnection* connection, const QString& url,
                                       const DiskFile& file, const StoredFile* stored)
{
    QStringList entries;
    QString reason;
    if (!TrackerPlaylistReader::read(file.path, &entries, &reason)) {
        qCWarning(lcIndexer) << Q_FUNC_INFO << "- skipped" << url << ":" << reason;
        m_unreadable.insert(url, file.modified);
        return;
    }
    const bool known = stored && stored->playlist && TrackerSparql::isSafeIri(stored->iri);
    const QString iri = known ? stored->iri : TrackerSparql::newIri();
    QString sparql;
    if (known && !removeEntries(connection, iri))
        return;
    // The file's time goes in last, with the final batch of entries: a scan cut short leaves
    // the playlist looking changed, and the next scan writes it again whole.
    const QString head = QStringLiteral("<%1> a nmm:Playlist, nfo:FileDataObject ; nie:url %2 ; "
                                        "nfo:fileName %3 ; nfo:fileSize %4 ; "
                                        "nfo:entryCounter %5 ; tracker:available true")
                             .arg(iri, TrackerSparql::literal(url),
                                  TrackerSparql::literal(TrackerFolderWalker::displayName(
                                      file.path.mid(file.path.lastIndexOf('/') + 1))),
                                  QString::number(file.size), QString::number(entries.size()));
    sparql += QStringLiteral("INSERT OR REPLACE { ") + head;
    if (!known) {
        sparql += QStringLiteral(" ; tracker:added %1")
                      .arg(TrackerSparql::literal(
                          TrackerSparql::timeText(QDateTime::currentDateTimeUtc())));
    }
    sparql += QStringLiteral(" . }");
    if (!runUpdate(connection, sparql, "a playlist file"))
        return;
    int written = 0;
    do {
        if (m_cancelled.loadAcquire())
            return;
        const int end = qMin(entries.size(), written + EntriesPerUpdate);
        // The batch's entries first, then all their links in one statement on the playlist:
        // the store checks each new link against every link the playlist has, and does that
        // at half the cost when the links do not alternate with the entries' own values.
        QString batch = QStringLiteral("INSERT DATA { ");
        QString links = QStringLiteral("<%1> nfo:hasMediaFileListEntry ").arg(iri);
        for (int i = written; i < end; ++i) {
            const QString entry = TrackerSparql::newIri();
            batch += QStringLiteral("<%1> a nfo:MediaFileListEntry ; nfo:entryUrl %2 ; "
                                    "nfo:listPosition %3 . ")
                         .arg(entry, TrackerSparql::literal(entries.at(i)), QString::number(i));
            links += (i == written ? QStringLiteral("<") : QStringLiteral(", <")) + entry
                     + QLatin1Char('>');
        }
        if (end > written)
            batch += links + QStringLiteral(" . ");
        if (end == entries.size()) {
            batch += QStringLiteral("<%1> nfo:fileLastModified %2 . ")
                         .arg(iri, TrackerSparql::literal(timeOf(file.modified)));
        }
        batch += QLatin1Char('}');
        if (!runUpdate(connection, batch, "the entries of a playlist file"))
            return;
        written = end;
    } while (written < entries.size());
}

bool TrackerIndexWorker::removeEntries(TrackerSparqlConnection* connection, const QString& iri)
{
    // The file's time goes first: a scan stopped half-way leaves the playlist looking changed.
    if (!runUpdate(connection,
                   QStringLiteral("DELETE { <%1> ?p ?o } WHERE { <%1> ?p ?o . FILTER(?p IN ("
                                  "nfo:fileSize, nfo:fileLastModified, nfo:entryCounter, "
                                  "nfo:fileName)) }")
                       .arg(iri),
                   "the old state of a playlist file"))
        return false;
    // The old entries are named once and then removed in batches by name: a removal that
    // looks for its entries (by position, say) would go through every entry of the list
    // again for every batch.
    QStringList old;
    const TrackerQueryResult named = TrackerQueryRunner::selectEach(
        connection,
        QStringLiteral("SELECT ?e WHERE { <%1> nfo:hasMediaFileListEntry ?e }").arg(iri),
        [&old](const TrackerCursorRow& row) {
            const QString entry = row.text(0);
            if (TrackerSparql::isSafeIri(entry))
                old.append(entry);
        });
    if (!named.ok) {
        qCWarning(lcIndexer) << Q_FUNC_INFO
                             << "- cannot read the old entries:" << named.errorMessage;
        return false;
    }
    // Removed front first, in the order the store named them: the store looks a removed link
    // up from the front of the list's links, so each batch then finds its links at once.
    for (int first = 0; first < old.size(); first += EntriesPerUpdate) {
        if (m_cancelled.loadAcquire())
            return false;
        QString links;
        QString resources;
        for (int i = first, end = qMin(int(old.size()), first + EntriesPerUpdate); i < end; ++i) {
            links += (links.isEmpty() ? QStringLiteral("<") : QStringLiteral(", <")) + old.at(i)
                     + QLatin1Char('>');
            resources += QStringLiteral("<%1> a rdfs:Resource . ").arg(old.at(i));
        }
        if (!runUpdate(connection,
                       QStringLiteral("DELETE DATA { <%1> nfo:hasMediaFileListEntry %2 . %3}")
                           .arg(iri, links, resources),
                       "the old entries of a playlist file"))
            return false;
    }
    // Entries whose names cannot be written back, should any be there.
    return runUpdate(connection,
                     QStringLiteral("DELETE { <%1> nfo:hasMediaFileListEntry ?e . ?e a "
                                    "rdfs:Resource } WHERE { <%1> nfo:hasMediaFileListEntry ?e }")
                         .arg(iri),
                     "the old entries of a playlist file");
}

QString TrackerIndexWorker::orphanRemoval()
{
    return QStringLiteral("DELETE { ?d a rdfs:Resource } WHERE { ?d a nmm:MusicAlbumDisc . "
                          "FILTER NOT EXISTS { ?s nmm:musicAlbumDisc ?d } } ;\n"
                          "DELETE { ?a a rdfs:Resource } WHERE { ?a a nmm:MusicAlbum . "
                          "FILTER NOT EXISTS { ?s nmm:musicAlbum ?a } } ;\n"
                          "DELETE { ?p a rdfs:Resource } WHERE { ?p a nmm:Artist . "
                          "FILTER NOT EXISTS { ?s nmm:performer ?p } "
                          "FILTER NOT EXISTS { ?c nmm:composer ?p } "
                          "FILTER NOT EXISTS { ?l nmm:lyricist ?p } "
                          "FILTER NOT EXISTS { ?a nmm:albumArtist ?p } } ;\n"
                          // Publishers are plain contacts (an artist is a contact too).
                          "DELETE { ?c a rdfs:Resource } WHERE { ?c a nco:Contact . "
                          "FILTER NOT EXISTS { ?c a nmm:Artist } "
                          "FILTER NOT EXISTS { ?s nco:publisher ?c } }");
}

void TrackerIndexWorker::removeOrphans(TrackerSparqlConnection* connection)
{
    runUpdate(connection, orphanRemoval(), "the removal of empty albums and artists");
}
