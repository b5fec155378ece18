#include "fixturelibrary.h"

#include "testenvironment.h"
#include "trackerfileindexer.h"
#include "trackerplaylistreader.h"
#include "trackerqueryrunner.h"
#include "trackerstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QTextStream>

bool FixtureLibrary::openStore()
{
    TrackerStore* store = TrackerStore::instance();
    if (store->isOpen())
        return true;
    QString error;
    if (!store->openSync(&error)) {
        qWarning() << Q_FUNC_INFO << "- cannot open the store:" << error;
        return false;
    }
    return true;
}

QString FixtureLibrary::pathOf(const QString& relativePath)
{
    if (QDir::isAbsolutePath(relativePath))
        return relativePath;
    return TestEnvironment::musicDir() + QLatin1Char('/') + relativePath;
}

void FixtureLibrary::settleStore()
{
    for (int round = 0; round < 5; ++round) {
        TrackerQueryRunner::waitForIdle();
        // Answers reach their receivers as queued calls on this thread.
        QCoreApplication::sendPostedEvents();
    }
}

QString FixtureLibrary::urlOf(const QString& relativePath)
{
    return TrackerPlaylistReader::fileUrl(pathOf(relativePath));
}

QString FixtureLibrary::addSong(const QString& relativePath, const AudioTags& tags, int durationMs)
{
    const QString path = pathOf(relativePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!AudioGenerator::write(path, tags, durationMs))
        return QString();
    return path;
}

QString FixtureLibrary::addPlaylist(const QString& relativePath, const QStringList& files)
{
    const QString path = pathOf(relativePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    QTextStream out(&file);
    out.setCodec("UTF-8");
    if (path.endsWith(QLatin1String(".pls"), Qt::CaseInsensitive)) {
        out << "[playlist]\n";
        for (int i = 0; i < files.size(); ++i)
            out << "File" << (i + 1) << "=" << pathOf(files.at(i)) << "\n";
        out << "NumberOfEntries=" << files.size() << "\nVersion=2\n";
    } else {
        out << "#EXTM3U\n";
        for (const QString& f : files)
            out << pathOf(f) << "\n";
    }
    return path;
}

bool FixtureLibrary::removeFile(const QString& relativePath)
{
    return QFile::remove(pathOf(relativePath));
}

bool FixtureLibrary::moveEntries(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    const QStringList names = QDir(from).entryList(QDir::AllEntries | QDir::NoDotAndDotDot
                                                   | QDir::Hidden);
    for (const QString& name : names) {
        if (!QDir().rename(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name))
            return false;
    }
    return true;
}

bool FixtureLibrary::index(int timeoutMs)
{
    if (!openStore())
        return false;
    TrackerFileIndexer* indexer = TrackerStore::instance()->indexer();
    const int ticket = indexer->scanNow();
    QElapsedTimer timer;
    timer.start();
    while (indexer->finishedScans() < ticket) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QTest::qWait(20);
    }
    return true;
}

QString FixtureLibrary::addSong(const Song& song)
{
    AudioTags tags;
    tags.title = QString::fromUtf8(song.title);
    tags.artist = QString::fromUtf8(song.artist);
    tags.album = QString::fromUtf8(song.album);
    tags.genre = QString::fromUtf8(song.genre);
    tags.trackNumber = song.track;
    tags.year = song.year;
    if (song.cover)
        tags.cover = *song.cover;
    return addSong(QString::fromUtf8(song.path), tags, song.durationMs);
}

bool FixtureLibrary::writeStandardLibrary(int durationMs)
{
    const QImage blue = AudioGenerator::coverImage(Qt::blue);
    const int ms = durationMs;
    const Song songs[] = {
        { "Kim/Blue/01.ogg", "Azure", "Kim", "Blue", "Pop", 1, 2001, ms, &blue },
        { "Kim/Blue/02.ogg", "Cobalt", "Kim", "Blue", "Pop", 2, 2001, ms },
        { "Kim/Blue/03.mp3", "Navy", "Kim", "Blue", "Pop", 3, 2001, ms },
        { "Kim/Red/01.flac", "Crimson", "Kim", "Red", "Rock", 1, 2003, ms },
        { "Kim/Red/02.ogg", "Scarlet", "Kim", "Red", "Rock", 2, 2003, ms },
        { "Lee/Green/01.ogg", "Emerald", "Lee", "Green", "Audiobook", 1, 1999, ms },
        { "Lee/Green/02.ogg", "Jade", "Lee", "Green", "Audiobook", 2, 1999, ms },
        { "Loose/nowhere.ogg", "Nowhere", "Lee", "", "PodCast", 0, 0, ms },
        { "Loose/nobody.ogg", "Nobody", "", "Blue", "", 4, 0, ms },
    };
    for (const Song& s : songs) {
        if (addSong(s).isEmpty())
            return false;
    }
    return index();
}
