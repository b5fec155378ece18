#include "hubtestlibrary.h"

#include "fixturelibrary.h"
#include "mafwtrackerconnection.h"
#include "mafwtrackermodel.h"
#include "mafwtrackermodelfactory.h"
#include "data/mafwtrackermodelfactoryinstance.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest/QtTest>

namespace {

// Answers of one query of the store.
class QueryReceiver : public QObject
{
    Q_OBJECT

public:
    bool done = false;
    QList<QStringList> rows;

public slots:
    void finished(QList<QStringList> result, bool, const QVariant&)
    {
        rows = result;
        done = true;
    }
    void queryFailed(int, QString message, const QVariant&)
    {
        qWarning() << Q_FUNC_INFO << "-" << message;
        done = true;
    }
};

MafwTrackerModelFactory* readyFactory()
{
    MafwTrackerModelFactoryInstance* instance = MafwTrackerModelFactoryInstance::instance();
    if (!instance->isReady()) {
        QSignalSpy completed(instance, SIGNAL(completed(bool)));
        if (!instance->isReady() && !completed.wait(60000))
            return nullptr;
    }
    return instance->isReady() ? instance->factory() : nullptr;
}

bool waitComplete(MafwTrackerModel* model)
{
    if (!model->isComplete()) {
        QSignalSpy completed(model, SIGNAL(completed()));
        if (!model->isComplete() && !completed.wait(30000))
            return false;
    }
    return true;
}

} // namespace

bool HubTestLibrary::build()
{
    return writeAndIndex() && waitForFactory();
}

bool HubTestLibrary::waitForFactory()
{
    return readyFactory() != nullptr;
}

bool HubTestLibrary::writeAndIndex()
{
    using Song = FixtureLibrary::Song;
    const Song songs[] = {
        { "Kim/Seven/1.ogg", "One", "Kim", "Seven", "Pop", 1, 0, 30 * 1000 },
        { "Kim/Seven/2.ogg", "Two", "Kim", "Seven", "Pop", 2, 0, 30 * 1000 },
        { "Kim/Seven/3.ogg", "Three", "Kim", "Seven", "Pop", 3, 0, 30 * 1000 },
        { "Kim/Seven/4.ogg", "Four", "Kim", "Seven", "Pop", 4, 0, 30 * 1000 },
        { "Kim/Seven/5.ogg", "Five", "Kim", "Seven", "Pop", 5, 0, 30 * 1000 },
        { "Kim/Seven/6.ogg", "Six", "Kim", "Seven", "Pop", 6, 0, 30 * 1000 },
        { "Kim/Seven/7.ogg", "Seven", "Kim", "Seven", "Pop", 7, 0, 30 * 1000 },
        { "Kim/Red/1.ogg", "Crimson", "Kim", "Red", "Rock", 1, 0, 30 * 1000 },
        { "Kim/Red/2.ogg", "Scarlet", "Kim", "Red", "Rock", 2, 0, 30 * 1000 },
        { "Lee/Chapters/1.ogg", "Chapter 1", "Lee", "Chapters", "Audiobook", 1, 0, 150 * 1000 },
        { "Lee/Chapters/2.ogg", "Chapter 2", "Lee", "Chapters", "Audiobook", 2, 0, 150 * 1000 },
        { "Max/Short/1.ogg", "Blink", "Max", "Short", "Pop", 1, 0, 3 * 1000 },
        { "Max/Short/2.ogg", "Wink", "Max", "Short", "Pop", 2, 0, 3 * 1000 },
    };
    for (const Song& song : songs) {
        if (FixtureLibrary::addSong(song).isEmpty())
            return false;
    }
    return FixtureLibrary::index();
}

int HubTestLibrary::columnOf(const QAbstractItemModel* model, const QString& column)
{
    for (int c = 0; c < model->columnCount(); ++c) {
        if (model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() == column)
            return c;
    }
    return -1;
}

QVariant HubTestLibrary::cell(const QAbstractItemModel* model, int row, const QString& column)
{
    return model->index(row, columnOf(model, column)).data(Qt::DisplayRole);
}

QSharedPointer<MafwTrackerModel> HubTestLibrary::album(const QString& name)
{
    MafwTrackerModelFactory* factory = readyFactory();
    if (!factory)
        return QSharedPointer<MafwTrackerModel>();
    QScopedPointer<MafwTrackerModel> albums(factory->getModel(MafwTrackerModel::AllAlbums, 0, 0));
    if (!albums || !waitComplete(albums.data()))
        return QSharedPointer<MafwTrackerModel>();
    for (int row = 0; row < albums->rowCount(); ++row) {
        if (cell(albums.data(), row, QStringLiteral("albumName")).toString() != name)
            continue;
        const int id = cell(albums.data(), row, QStringLiteral("albumId")).toInt();
        QSharedPointer<MafwTrackerModel> songs(
            factory->getModel(MafwTrackerModel::SongsOfAlbum, 0, id));
        if (!songs || !waitComplete(songs.data()))
            return QSharedPointer<MafwTrackerModel>();
        return songs;
    }
    return QSharedPointer<MafwTrackerModel>();
}

QString HubTestLibrary::firstCell(const QString& sparql)
{
    MafwTrackerModelFactory* factory = readyFactory();
    if (!factory)
        return QString();
    QueryReceiver receiver;
    factory->trackerConnection()->asyncQuery(
        sparql, 1, &receiver, SLOT(finished(QList<QStringList>, bool, const QVariant&)),
        SLOT(queryFailed(int, QString, const QVariant&)), QVariant());
    QElapsedTimer waited;
    waited.start();
    while (!receiver.done && waited.elapsed() < 30000)
        QTest::qWait(10);
    if (receiver.rows.isEmpty() || receiver.rows.first().isEmpty())
        return QString();
    return receiver.rows.first().first();
}

QString HubTestLibrary::storedPosition(int songId)
{
    return firstCell(
        QStringLiteral("SELECT nfo:lastPlayedPosition(?s) WHERE { ?s a nmm:MusicPiece . "
                       "FILTER(tracker:id(?s) = %1) }")
            .arg(songId));
}

#include "hubtestlibrary.moc"
