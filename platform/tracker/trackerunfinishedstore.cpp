#include "trackerunfinishedstore.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStringList>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The store library makes its pages of 8 KiB: its first page is never larger, whatever the
// file's page-size field reads, so a field damaged to read more cannot pass two pages for one.
const qint64 StorePageSize = 8192;
// A rollback journal starts with a header of SQLite's smallest sector; one no longer holds no
// page to put back (the switch of a new database to its log leaves one so).
const qint64 JournalHeaderSize = 512;
const qint64 LogHeaderSize = 32;
const qint64 FrameHeaderSize = 24;
const quint32 LogMagic = 0x377f0682;
const quint32 LogVersion = 3007000;
// Where the log index keeps the number of the log's frames that are committed, in each of the
// two copies of its header.
const int IndexFrameCounts[] = { 16, 64 };

const char* const Database = "meta.db";
const char* const Log = "meta.db-wal";
const char* const LogIndex = "meta.db-shm";
const char* const Journal = "meta.db-journal";
// Beside its database, the store library keeps a mark that it has it open, and its ontology as
// read, written through a temporary file that a cut-off write leaves behind.
const char* const RunningMark = ".meta.isrunning";
const char* const OntologyCache = "ontologies.gvdb";

bool isOntologyCache(const QString& name)
{
    static const QRegularExpression cache(
        QStringLiteral("^ontologies\\.gvdb(\\.[A-Za-z0-9]{6})?$"));
    return cache.match(name).hasMatch();
}

QByteArray pathOf(const QString& directory, const QString& name)
{
    return QFile::encodeName(directory + QLatin1Char('/') + name);
}

// A regular file opened for reading, never through a link and never waiting on a pipe; -1 for
// anything else.
int openRegular(const QByteArray& path, qint64* size)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat status;
    if (fd >= 0 && ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        *size = status.st_size;
        return fd;
    }
    if (fd >= 0)
        ::close(fd);
    return -1;
}

bool readAt(int fd, qint64 offset, qint64 length, QByteArray* data)
{
    data->resize(int(length));
    qint64 done = 0;
    while (done < length) {
        const ssize_t got = ::pread(fd, data->data() + done, size_t(length - done),
                                    off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += got;
    }
    return true;
}

quint32 bigEndianAt(const QByteArray& data, int offset)
{
    return qFromBigEndian<quint32>(data.constData() + offset);
}

bool isPageSize(qint64 size)
{
    return size >= 512 && size <= 65536 && (size & (size - 1)) == 0;
}

// SQLite's running checksum of its log, over words in the byte order the log's magic names.
void addToSum(bool bigEndian, const char* data, qint64 length, quint32 sum[2])
{
    for (qint64 i = 0; i + 8 <= length; i += 8) {
        const quint32 first = bigEndian ? qFromBigEndian<quint32>(data + i)
                                        : qFromLittleEndian<quint32>(data + i);
        const quint32 second = bigEndian ? qFromBigEndian<quint32>(data + i + 4)
                                         : qFromLittleEndian<quint32>(data + i + 4);
        sum[0] += first + sum[1];
        sum[1] += second + sum[0];
    }
}

// No more than a first page: page 1 holds the list of tables, and every table's rows are on a
// page after it.
bool databaseHoldsNothing(int fd, qint64 size)
{
    if (size == 0)
        return true;
    QByteArray header;
    if (size > StorePageSize || !readAt(fd, 0, 100, &header)
        || std::memcmp(header.constData(), "SQLite format 3", 16) != 0)
        return false;
    const quint32 field = qFromBigEndian<quint16>(header.constData() + 16);
    const qint64 pageSize = field == 1 ? 65536 : field;
    return isPageSize(pageSize) && size <= pageSize;
}

// No frame of a transaction that was committed. A log the start cut off in its first
// transaction holds frames the transaction spilled, or part of its commit, none of them marked
// as the end of a transaction. Each is checked against the log's checksums, so that a damaged
// byte cannot pass a frame that commits for one that does not. Only the last frame may be cut
// short, as a write cut off leaves it.
bool logHoldsNothing(int fd, qint64 size)
{
    if (size <= LogHeaderSize)
        return true;
    QByteArray header;
    if (!readAt(fd, 0, LogHeaderSize, &header))
        return false;
    const quint32 magic = bigEndianAt(header, 0);
    const qint64 pageSize = bigEndianAt(header, 8);
    if ((magic & ~1u) != LogMagic || bigEndianAt(header, 4) != LogVersion || !isPageSize(pageSize))
        return false;
    const bool bigEndian = magic & 1;
    quint32 sum[2] = { 0, 0 };
    addToSum(bigEndian, header.constData(), 24, sum);
    if (sum[0] != bigEndianAt(header, 24) || sum[1] != bigEndianAt(header, 28))
        return false;
    const auto endsNoTransaction = [&header](const QByteArray& frame) {
        return bigEndianAt(frame, 4) == 0 && bigEndianAt(frame, 8) == bigEndianAt(header, 16)
               && bigEndianAt(frame, 12) == bigEndianAt(header, 20);
    };
    const qint64 frameSize = FrameHeaderSize + pageSize;
    QByteArray frame;
    qint64 offset = LogHeaderSize;
    for (; offset + frameSize <= size; offset += frameSize) {
        if (!readAt(fd, offset, frameSize, &frame) || !endsNoTransaction(frame))
            return false;
        addToSum(bigEndian, frame.constData(), 8, sum);
        addToSum(bigEndian, frame.constData() + FrameHeaderSize, pageSize, sum);
        if (sum[0] != bigEndianAt(frame, 16) || sum[1] != bigEndianAt(frame, 20))
            return false;
    }
    return offset == size
           || (size - offset >= FrameHeaderSize && readAt(fd, offset, FrameHeaderSize, &frame)
               && endsNoTransaction(frame));
}

// The log index counts no committed frame. It is made again from the log, but one that counts
// frames beside a log that holds none tells of a log that was lost or cut.
bool logIndexHoldsNothing(int fd, qint64 size)
{
    for (const int offset : IndexFrameCounts) {
        QByteArray count;
        if (size >= offset + 4 && (!readAt(fd, offset, 4, &count) || count != QByteArray(4, '\0')))
            return false;
    }
    return true;
}

bool fileHoldsNothing(const QString& directory, const QString& name)
{
    qint64 size = 0;
    const int fd = openRegular(pathOf(directory, name), &size);
    if (fd < 0)
        return false;
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    if (name == QLatin1String(Database))
        return databaseHoldsNothing(fd, size);
    if (name == QLatin1String(Log))
        return logHoldsNothing(fd, size);
    if (name == QLatin1String(LogIndex))
        return logIndexHoldsNothing(fd, size);
    if (name == QLatin1String(Journal))
        return size <= JournalHeaderSize;
    return name == QLatin1String(RunningMark) || isOntologyCache(name);
}

QStringList entriesOf(const QString& directory)
{
    return QDir(directory).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                     | QDir::NoDotAndDotDot);
}

} // namespace

bool TrackerUnfinishedStore::holdsNothing(const QString& directory)
{
    // The database first: a store with songs in it is told at once, and its log never read.
    QStringList names = entriesOf(directory);
    if (names.removeAll(QLatin1String(Database)) != 1 || !fileHoldsNothing(directory, Database))
        return false;
    for (const QString& name : qAsConst(names)) {
        if (!fileHoldsNothing(directory, name))
            return false;
    }
    return true;
}

bool TrackerUnfinishedStore::clear(const QString& directory)
{
    // The database goes last but for the mark: what a clear cut off leaves is a database of no
    // more than its first page, with no log, again a store that holds nothing.
    QStringList names = { QLatin1String(Log), QLatin1String(LogIndex), QLatin1String(Journal) };
    for (const QString& name : entriesOf(directory)) {
        if (isOntologyCache(name))
            names.append(name);
    }
    names << QLatin1String(Database) << QLatin1String(RunningMark);
    bool cleared = true;
    for (const QString& name : names) {
        if (::unlink(pathOf(directory, name).constData()) != 0 && errno != ENOENT)
            cleared = false;
    }
    return cleared;
}
