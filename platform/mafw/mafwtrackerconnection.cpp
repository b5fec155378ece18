#include "mafwtrackerconnection.h"

#include "mafwlogging.h"
#include "mafwstorecatalogue.h"
#include "trackerfileindexer.h"
#include "trackerqueryrunner.h"
#include "trackersparql.h"
#include "trackerstore.h"

#include <QDateTime>
#include <QDebug>
#include <QMetaMethod>
#include <QPointer>

namespace {

// "1name(args)" (the SLOT() form) or a plain signature to the receiver's method.
QMetaMethod findMethod(const QObject* receiver, const char* member)
{
    if (!receiver || !member || !*member)
        return QMetaMethod();
    QByteArray signature(member);
    if (signature.at(0) >= '0' && signature.at(0) <= '9')
        signature.remove(0, 1);
    const QMetaObject* meta = receiver->metaObject();
    int index = meta->indexOfMethod(QMetaObject::normalizedSignature(signature.constData()));
    if (index >= 0)
        return meta->method(index);
    // Fall back on the name, for a slot declared with other spellings of the same types.
    const QByteArray name = signature.left(signature.indexOf('('));
    for (int i = meta->methodCount() - 1; i >= 0; --i) {
        const QMetaMethod method = meta->method(i);
        if (method.name() == name && method.parameterCount() == 3)
            return method;
    }
    return QMetaMethod();
}

MafwTrackerConnection* currentConnection = nullptr;

} // namespace

MafwTrackerConnection* MafwTrackerConnection::current()
{
    return currentConnection;
}

MafwTrackerConnection::MafwTrackerConnection(QObject* parent)
    : QObject(parent)
{
    currentConnection = this;
    qRegisterMetaType<QList<QStringList>>();
    qRegisterMetaType<QSet<int>>();
    TrackerFileIndexer* indexer = TrackerStore::instance()->indexer();
    connect(indexer, &TrackerFileIndexer::indexingStarted, this,
            &MafwTrackerConnection::indexingStarted);
    connect(indexer, &TrackerFileIndexer::indexingProgress, this,
            &MafwTrackerConnection::indexingProgress);
    connect(indexer, &TrackerFileIndexer::indexingFinished, this,
            &MafwTrackerConnection::indexingFinished);
}

MafwTrackerConnection::~MafwTrackerConnection()
{
    if (currentConnection == this)
        currentConnection = nullptr;
}

void MafwTrackerConnection::asyncQuery(const QString& sparql, int columns, QObject* receiver,
                                       const char* resultSlot, const char* failureSlot,
                                       const QVariant& cookie)
{
    const QMetaMethod onResult = findMethod(receiver, resultSlot);
    const QMetaMethod onFailure = findMethod(receiver, failureSlot);
    if (!onResult.isValid())
        qCWarning(lcModels) << Q_FUNC_INFO << "- the receiver has no slot" << resultSlot;
    // Each text sent, in one line: what asks the store for how much shows in the log.
    qCDebug(lcModels).noquote() << "sent to the store:" << QString(sparql).simplified();
    const QPointer<QObject> target(receiver);
    const bool update = !TrackerSparql::isQuery(sparql);
    TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
    TrackerQueryRunner::post(
        connection, sparql, update ? 0 : columns, this,
        [target, onResult, onFailure, cookie, update](const TrackerQueryResult& result) {
            if (!target)
                return;
            if (result.ok && onResult.isValid()) {
                const QList<QStringList> rows = update ? QList<QStringList>() : result.rows;
                const bool complete = true;
                onResult.invoke(target.data(), Qt::DirectConnection,
                                Q_ARG(QList<QStringList>, rows), Q_ARG(bool, complete),
                                Q_ARG(QVariant, cookie));
            } else if (!result.ok && onFailure.isValid()) {
                onFailure.invoke(target.data(), Qt::DirectConnection, Q_ARG(int, result.errorCode),
                                 Q_ARG(QString, result.errorMessage), Q_ARG(QVariant, cookie));
            } else if (!result.ok) {
                qCDebug(lcModels) << "void MafwTrackerConnection::asyncQuery(...) - query failed"
                                  << result.errorCode << result.errorMessage;
            }
        });
    TrackerQueryRunner::releaseConnection(connection);
}

bool MafwTrackerConnection::isIndexingReportAvailable() const
{
    // A scan that has not yet found whether there is work counts: its reports may follow.
    return TrackerStore::instance()->indexer()->isScanning();
}

void MafwTrackerConnection::setIndexingNotification(bool on)
{
    m_notify = on;
}

bool MafwTrackerConnection::isIndexingNotificationOn() const
{
    return m_notify;
}

void MafwTrackerConnection::reportIndexing(bool active, int changes, bool restart)
{
    if (m_notify)
        emit trackerIndexing(active, changes, restart);
}

void MafwTrackerConnection::indexingStarted(int changes)
{
    reportIndexing(true, changes, false);
}

void MafwTrackerConnection::indexingProgress(int remaining)
{
    reportIndexing(true, remaining, false);
}

void MafwTrackerConnection::indexingFinished()
{
    reportIndexing(false, 0, false);
}

void MafwTrackerConnection::relayChanges(const MafwStoreChanges& changes)
{
    if (!changes.songsAdded.isEmpty())
        emit musicAdded(changes.songsAdded);
    if (!changes.songsRemoved.isEmpty())
        emit musicDeleted(changes.songsRemoved);
    if (!changes.songsAccessed.isEmpty())
        emit musicAccessed(changes.songsAccessed);
    if (!changes.songsUnfavourited.isEmpty())
        emit musicUnfavorited(changes.songsUnfavourited);
    if (!changes.albumsRemoved.isEmpty())
        emit albumsDeleted(changes.albumsRemoved);
    if (!changes.playlistsRemoved.isEmpty())
        emit playlistsDeleted(changes.playlistsRemoved);
}

void MafwTrackerConnection::songPlayedByUrl(const QString& url)
{
    if (url.isEmpty())
        return;
    const QString where = QStringLiteral("?s a nmm:MusicPiece ; nie:url %1 .")
                              .arg(TrackerSparql::literal(url));
    TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
    TrackerQueryRunner::postWrite(
        this,
        [connection, where] {
            // Read and write on the write thread, so two plays of one song never lose a count.
            const TrackerQueryResult read = TrackerQueryRunner::select(
                connection,
                QStringLiteral("SELECT ?s ?c WHERE { %1 OPTIONAL { ?s nie:usageCounter ?c } }")
                    .arg(where),
                2);
            TrackerQueryResult result = read;
            if (read.ok && !read.rows.isEmpty()) {
                const QString iri = read.rows.first().at(0);
                const int count = read.rows.first().at(1).toInt() + 1;
                const QString now = TrackerSparql::timeText(QDateTime::currentDateTimeUtc());
                if (TrackerSparql::isSafeIri(iri)) {
                    result = TrackerQueryRunner::update(
                        connection,
                        QStringLiteral("DELETE { <%1> nie:usageCounter ?c } WHERE { <%1> "
                                       "nie:usageCounter ?c } ;\n"
                                       "DELETE { <%1> nie:contentAccessed ?t } WHERE { <%1> "
                                       "nie:contentAccessed ?t } ;\n"
                                       "INSERT DATA { <%1> nie:usageCounter %2 ; "
                                       "nie:contentAccessed \"%3\" }")
                            .arg(iri, QString::number(count), now));
                }
            }
            TrackerQueryRunner::releaseConnection(connection);
            return result;
        },
        [](const TrackerQueryResult& result) {
            if (!result.ok)
                qCDebug(lcModels)
                    << "void MafwTrackerConnection::songPlayedByUrl(const QString&) - "
                    << result.errorMessage;
        });
}

void MafwTrackerConnection::songPlayed(int songId)
{
    if (songId <= 0)
        return;
    TrackerSparqlConnection* connection = TrackerStore::instance()->acquireConnection();
    const QString query = QStringLiteral("SELECT ?url WHERE { ?s a nmm:MusicPiece ; nie:url ?url . "
                                         "FILTER(tracker:id(?s) = %1) }")
                              .arg(songId);
    QPointer<MafwTrackerConnection> self(this);
    TrackerQueryRunner::post(connection, query, 1, this, [self](const TrackerQueryResult& result) {
        if (self && result.ok && !result.rows.isEmpty())
            self->songPlayedByUrl(result.rows.first().at(0));
    });
    TrackerQueryRunner::releaseConnection(connection);
}
