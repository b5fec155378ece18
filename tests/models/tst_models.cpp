#include "testenvironment.h"

#include "playback/audiobookfilterproxymodel.h"
#include "data/containermodel.h"
#include "data/listmodel.h"
#include "mafwurlrole.h"
#include "mgconfitem.h"
#include "playback/shuffleproxymodel.h"
#include "songmodels.h"
#include "data/twinturbosortfilterproxymodel.h"

#include <QAbstractItemModelTester>
#include <QIdentityProxyModel>
#include <QPointer>
#include <QRandomGenerator>
#include <QSet>
#include <QSignalSpy>
#include <QStandardItemModel>

using Tester = QAbstractItemModelTester;

namespace {

const QString CollateKey = QStringLiteral("/meegotouch/i18n/lc_collate");

Tester* watch(QAbstractItemModel* model, QObject* parent)
{
    return new Tester(model, Tester::FailureReportingMode::QtTest, parent);
}

// A source that another listener resets in the middle of announcing a change, as a page does
// when it starts playback on the queue's first songs: the change is then announced to the
// listeners after it with the reset already behind them.
class ResettingSource : public QIdentityProxyModel
{
public:
    ResettingSource()
    {
        connect(this, &QAbstractItemModel::rowsInserted, this, [this] { resetNow(); });
        connect(this, &QAbstractItemModel::rowsRemoved, this, [this] { resetNow(); });
    }

private:
    void resetNow()
    {
        beginResetModel();
        endResetModel();
    }
};

// A shuffle whose seed the test chooses.
class SeededShuffle : public ShuffleProxyModel
{
public:
    unsigned int seed = 7;

protected:
    unsigned int shuffleSeed() const override { return seed; }
};

QStringList proxyTitles(const QAbstractItemModel* model)
{
    QStringList titles;
    for (int r = 0; r < model->rowCount(); ++r)
        titles.append(model->index(r, 1).data().toString());
    return titles;
}

// Every source row exactly once, and every row showing the song of its mapped source row.
bool isPermutation(const ShuffleProxyModel& proxy, const QAbstractItemModel& source)
{
    if (proxy.rowCount() != source.rowCount())
        return false;
    QSet<int> seen;
    for (int r = 0; r < proxy.rowCount(); ++r) {
        const QModelIndex s = proxy.mapToSource(proxy.index(r, 1));
        if (!s.isValid() || seen.contains(s.row()) || proxy.index(r, 1).data() != s.data())
            return false;
        seen.insert(s.row());
    }
    return true;
}

struct Rows
{
    QModelIndex parent;
    int first;
    int last;
    bool animated;
};

// Records the announcements of a list model with the animated flag of each.
class Announcements : public QObject
{
public:
    QList<Rows> inserted;
    QList<Rows> removed;

    explicit Announcements(ListModel* model)
    {
        connect(model, &QAbstractItemModel::rowsInserted, this,
                [this, model](const QModelIndex& p, int f, int l) {
                    inserted.append({ p, f, l, model->isAnimatedChange() });
                });
        connect(model, &QAbstractItemModel::rowsRemoved, this,
                [this, model](const QModelIndex& p, int f, int l) {
                    removed.append({ p, f, l, model->isAnimatedChange() });
                });
    }
    void clear()
    {
        inserted.clear();
        removed.clear();
    }
};

// The grouped list agrees with its source: every row once, under its title, groups in order.
void verifyGroups(const ListModel& list, const QStandardItemModel& source, const MLocale& locale)
{
    MCollator primary(locale);
    primary.setStrength(MLocale::CollatorStrengthPrimary);
    const MCollator order(locale);
    const QStringList letters = locale.exemplarCharactersIndex();
    QSet<int> seen;
    for (int g = 0; g < list.groupCount(); ++g) {
        QVERIFY(list.rowCountInGroup(g) > 0);
        if (g > 0)
            QVERIFY(!order(list.groupTitle(g), list.groupTitle(g - 1)));
        int previous = -1;
        for (int p = 0; p < list.rowCountInGroup(g); ++p) {
            const int row = list.mapToSourceRow(list.index(p, 0, list.index(g, 0)));
            QVERIFY(row > previous);
            previous = row;
            QVERIFY(!seen.contains(row));
            seen.insert(row);
            const QString title = SongModels::title(&source, row);
            QCOMPARE(list.groupTitle(g), locale.indexBucket(title, letters, primary));
            QCOMPARE(list.itemData(p, g, Qt::UserRole + 1).toString(), title);
        }
    }
    QCOMPARE(seen.size(), source.rowCount());
    QCOMPARE(list.rowCountInGroup(-1), source.rowCount());
}

} // namespace

class TestModels : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void containerJoinsModelsWithRowOffsets();
    void containerForwardsChangesOfItsModels();
    void containerIgnoresModelsThatDoNotFit();
    void containerEmptiesAndReleasesLater();
    void containerFollowsAModelQueuedTwice();

    void audiobookFilterHidesSpokenWordExactly();

    void shuffleMovesTheCurrentSongFirst();
    void shuffleMixesOnlyTheSongsToCome();
    void shuffleRemovalsOneRowAtATime();
    void shuffleAnswersRolesAndFollowsResets();
    void shuffleFollowsRandomOperations();
    void queueChainFollowsItsModels();

    void listGroupsByIndexLetter();
    void listAnnouncesEachInsertion();
    void listRemovesEmptiedGroups();
    void listMapsAndReportsBadNumbers();
    void listExactTitlesAndDates();
    void listRebucketsAfterCollationChange();
    void listLetsGoOfTheOldSource();
    void listFlatModePassesRowsThrough();
    void listDataChangesAndRowChanges();
    void listFollowsRandomOperations();
    void listFollowsASourceResetWhileAChangeIsAnnounced();

    void searchFiltersWordsAndPhrases();
    void searchExcludesIdsAndSortsByCollation();
    void searchRolesAndHelpers();
    void searchChainFollowsKeystrokes();
    void searchChainFollowsChangesWhileFiltered();
    void searchProxyFollowsScatteredRowsAndKeepsItsPlaces();
};

void TestModels::initTestCase()
{
    MGConfItem(CollateKey).set(QStringLiteral("en_GB"));
}

void TestModels::cleanup()
{
    MGConfItem(CollateKey).set(QStringLiteral("en_GB"));
}

// ---------------------------------------------------------------- container

void TestModels::containerJoinsModelsWithRowOffsets()
{
    QSharedPointer<QAbstractItemModel> first(SongModels::numbered(QStringLiteral("first "), 12, 1));
    QSharedPointer<QAbstractItemModel> second(
        SongModels::numbered(QStringLiteral("second "), 5, 100));
    ContainerModel container;
    watch(&container, &container);
    QCOMPARE(container.columnCount(), 0);
    QSignalSpy columns(&container, SIGNAL(columnsInserted(QModelIndex, int, int)));

    container.append(first);
    container.append(second);
    QCOMPARE(columns.count(), 1);
    QCOMPARE(container.rowCount(), 17);
    QCOMPARE(container.columnCount(), 10);
    QCOMPARE(container.index(12, 1).data().toString(), QStringLiteral("second 0"));
    QCOMPARE(container.index(11, 1).data().toString(), QStringLiteral("first 11"));
    // Every role reaches the song model, the playable URL too, on any shown column.
    QCOMPARE(container.index(12, 0).data(Mafw::UrlRole).toString(), SongModels::urlOf(100));
    QCOMPARE(container.index(3, 7).data(Mafw::UrlRole).toString(), SongModels::urlOf(4));
    QCOMPARE(container.headerData(6, Qt::Horizontal).toString(), QStringLiteral("genre"));
    QVERIFY(!container.headerData(10, Qt::Horizontal).isValid());
    QVERIFY(!container.headerData(0, Qt::Vertical).isValid());
    QVERIFY(!container.index(17, 1).data().isValid());
    QVERIFY(!container.index(0, 14).isValid());
    QCOMPARE(container.rowOffset(first.data()), 0);
    QCOMPARE(container.rowOffset(second.data()), 12);
    QCOMPARE(container.rowOffset(&container), -1);
    QCOMPARE(container.mapFromSubModel(second->index(2, 3)), container.index(14, 3));
    QVERIFY(!container.mapFromSubModel(QModelIndex()).isValid());

    QVERIFY(container.setData(container.index(13, 5), true, Qt::EditRole));
    QCOMPARE(second->index(1, 5).data().toBool(), true);
    QVERIFY(!container.setData(container.index(17, 5), true, Qt::EditRole));
}

void TestModels::containerForwardsChangesOfItsModels()
{
    auto* firstModel = SongModels::numbered(QStringLiteral("first "), 12, 1);
    auto* secondModel = SongModels::numbered(QStringLiteral("second "), 5, 100);
    ContainerModel container;
    watch(&container, &container);
    container.append(QSharedPointer<QAbstractItemModel>(firstModel));
    container.append(QSharedPointer<QAbstractItemModel>(secondModel));

    QSignalSpy removed(&container, SIGNAL(rowsAboutToBeRemoved(QModelIndex, int, int)));
    secondModel->removeRows(2, 2);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(1).toInt(), 14);
    QCOMPARE(removed.at(0).at(2).toInt(), 15);
    QCOMPARE(container.rowCount(), 15);

    QSignalSpy inserted(&container, SIGNAL(rowsInserted(QModelIndex, int, int)));
    SongModels::insert(firstModel, 3,
                       { QStringLiteral("new"), QStringLiteral("A"), QStringLiteral("B"),
                         QStringLiteral("Pop"), 50 });
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 3);
    QCOMPARE(container.index(3, 1).data().toString(), QStringLiteral("new"));
    QCOMPARE(container.index(13, 1).data().toString(), QStringLiteral("second 0"));

    QSignalSpy changed(&container, SIGNAL(dataChanged(QModelIndex, QModelIndex, QVector<int>)));
    secondModel->setData(secondModel->index(1, 1), QStringLiteral("renamed"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>(), container.index(14, 1));
    // A change of a column the queue does not show (the URL) is announced for the row.
    secondModel->setData(secondModel->index(0, 14), QStringLiteral("file:///elsewhere.ogg"));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(1).at(0).value<QModelIndex>().row(), 13);
    QCOMPARE(changed.at(1).at(1).value<QModelIndex>().column(), 9);
}

void TestModels::containerIgnoresModelsThatDoNotFit()
{
    ContainerModel container;
    container.append(
        QSharedPointer<QAbstractItemModel>(SongModels::numbered(QStringLiteral("a"), 3)));
    QSignalSpy anything(&container, SIGNAL(rowsInserted(QModelIndex, int, int)));

    container.append(QSharedPointer<QAbstractItemModel>());
    container.append(QSharedPointer<QAbstractItemModel>(new QStandardItemModel(4, 9)));
    QStandardItemModel* renamed = SongModels::numbered(QStringLiteral("b"), 4);
    renamed->setHeaderData(3, Qt::Horizontal, QStringLiteral("somethingElse"));
    QSharedPointer<QAbstractItemModel> renamedShared(renamed);
    container.append(renamedShared);
    QCOMPARE(container.rowCount(), 3);
    QCOMPARE(anything.count(), 0);
    QCOMPARE(container.rowOffset(renamed), -1);
    renamed->removeRows(0, 2); // not a sub-model: nothing reaches the container
    QCOMPARE(container.rowCount(), 3);
}

void TestModels::containerEmptiesAndReleasesLater()
{
    auto* only = SongModels::numbered(QStringLiteral("only "), 1);
    QPointer<QStandardItemModel> alive(only);
    auto container = new ContainerModel;
    AudiobookFilterProxyModel filter(6, nullptr);
    filter.setSourceModel(container);
    watch(container, &filter);
    watch(&filter, &filter);
    QCOMPARE(filter.columnCount(), 0);
    {
        QSharedPointer<QAbstractItemModel> shared(only);
        container->append(shared);
    }
    // The filter learnt of the columns although it had asked while there were none.
    QCOMPARE(filter.columnCount(), 10);
    QCOMPARE(filter.index(0, 1).data().toString(), QStringLiteral("only 0"));

    QSignalSpy columnsGone(container, SIGNAL(columnsRemoved(QModelIndex, int, int)));
    only->removeRows(0, 1);
    QCOMPARE(container->rowCount(), 0);
    QCOMPARE(container->columnCount(), 0);
    QCOMPARE(columnsGone.count(), 1);
    QCOMPARE(filter.columnCount(), 0);
    QVERIFY(alive); // released on the next turn of the event loop, not inside its own signal
    QCOMPARE(container->rowOffset(only), -1);
    QTRY_VERIFY(!alive);

    auto* next = SongModels::numbered(QStringLiteral("next "), 4);
    QPointer<QStandardItemModel> nextAlive(next);
    container->append(QSharedPointer<QAbstractItemModel>(next));
    container->clear();
    QCOMPARE(container->rowCount(), 0);
    QVERIFY(nextAlive);
    next->removeRows(0, 1); // disconnected
    QTRY_VERIFY(!nextAlive);
    delete container;
}

void TestModels::containerFollowsAModelQueuedTwice()
{
    auto* album = SongModels::numbered(QStringLiteral("song "), 3);
    QSharedPointer<QAbstractItemModel> shared(album);
    ContainerModel container;
    watch(&container, &container);
    container.append(shared);
    container.append(
        QSharedPointer<QAbstractItemModel>(SongModels::numbered(QStringLiteral("other "), 2, 50)));
    container.append(shared);
    QCOMPARE(container.rowCount(), 8);

    SongModels::insert(album, 1, { QStringLiteral("added"), QString(), QString(), QString(), 9 });
    QCOMPARE(container.rowCount(), 10);
    QCOMPARE(container.index(1, 1).data().toString(), QStringLiteral("added"));
    QCOMPARE(container.index(7, 1).data().toString(), QStringLiteral("added"));
    album->removeRows(0, 2);
    QCOMPARE(container.rowCount(), 6);
    QCOMPARE(container.index(4, 1).data().toString(), QStringLiteral("song 1"));
}

// ---------------------------------------------------------------- audiobook filter

void TestModels::audiobookFilterHidesSpokenWordExactly()
{
    const QStringList genres = { "Pop", "Audiobook", "Rock",         "PODCAST", "Audiobooks",
                                 "",    "Jazz",      "podcast show", "Pop",     "Rock" };
    QList<TestSong> songs;
    for (int i = 0; i < genres.size(); ++i)
        songs.append({ QStringLiteral("t%1").arg(i), QString(), QString(), genres.at(i), i + 1 });
    QScopedPointer<QStandardItemModel> source(SongModels::create(songs));
    AudiobookFilterProxyModel filter(6, nullptr);
    filter.setSourceModel(source.data());
    watch(&filter, &filter);

    QVERIFY(!filter.filterEnabled());
    QCOMPARE(filter.rowCount(), 10);
    filter.setFilterEnabled(true);
    QVERIFY(filter.filterEnabled());
    QCOMPARE(proxyTitles(&filter), QStringList({ "t0", "t2", "t4", "t5", "t6", "t7", "t8", "t9" }));

    QSignalSpy removed(&filter, SIGNAL(rowsRemoved(QModelIndex, int, int)));
    QSignalSpy reset(&filter, SIGNAL(modelReset()));
    filter.setFilterEnabled(true);
    QCOMPARE(removed.count() + reset.count(), 0);

    source->setData(source->index(9, 6), QStringLiteral("Podcast"));
    QCOMPARE(filter.rowCount(), 7);
    filter.setFilterEnabled(false);
    QCOMPARE(filter.rowCount(), 10);
}

// ---------------------------------------------------------------- shuffle

void TestModels::shuffleMovesTheCurrentSongFirst()
{
    QScopedPointer<QStandardItemModel> source(SongModels::numbered(QStringLiteral("s"), 10));
    SeededShuffle proxy;
    proxy.setSourceModel(source.data());
    watch(&proxy, &proxy);
    QCOMPARE(proxyTitles(&proxy).first(), QStringLiteral("s0"));

    QCOMPARE(proxy.setShuffle(true, 4), 0);
    QVERIFY(proxy.isShuffled());
    QCOMPARE(proxy.index(0, 1).data().toString(), QStringLiteral("s4"));
    QVERIFY(isPermutation(proxy, *source));
    const QStringList shuffled = proxyTitles(&proxy);
    QVERIFY(shuffled != proxyTitles(source.data()));

    // The same seed (the same millisecond) gives the same order.
    QCOMPARE(proxy.setShuffle(true, 4), 0);
    QCOMPARE(proxyTitles(&proxy), shuffled);
    proxy.seed = 8;
    proxy.setShuffle(true, 4);
    QVERIFY(proxyTitles(&proxy) != shuffled);

    QCOMPARE(proxy.setShuffle(false, 0), 4);
    QCOMPARE(proxyTitles(&proxy), proxyTitles(source.data()));
    QCOMPARE(proxy.setShuffle(false, 42), -1);

    proxy.setShuffle(true, -1); // no current song: the order stays as shuffled
    QVERIFY(isPermutation(proxy, *source));
}

void TestModels::shuffleMixesOnlyTheSongsToCome()
{
    QScopedPointer<QStandardItemModel> source(SongModels::numbered(QStringLiteral("s"), 10));
    SeededShuffle proxy;
    proxy.setSourceModel(source.data());
    watch(&proxy, &proxy);
    proxy.setShuffle(true, 0);
    proxy.setCurrentIndex(2);
    const QStringList before = proxyTitles(&proxy);

    QSignalSpy inserted(&proxy, SIGNAL(rowsInserted(QModelIndex, int, int)));
    QSignalSpy changed(&proxy, SIGNAL(dataChanged(QModelIndex, QModelIndex, QVector<int>)));
    for (int i = 0; i < 3; ++i)
        source->appendRow(SongModels::row(
            { QStringLiteral("new%1").arg(i), QString(), QString(), QString(), 20 + i }));
    QCOMPARE(inserted.count(), 3);
    QCOMPARE(inserted.at(0).at(1).toInt(), 10);
    QVERIFY(isPermutation(proxy, *source));
    const QStringList after = proxyTitles(&proxy);
    QCOMPARE(after.mid(0, 3), before.mid(0, 3));
    QVERIFY(!changed.isEmpty());
    QCOMPARE(changed.last().at(0).value<QModelIndex>().row(), 3);
    QCOMPARE(changed.last().at(1).value<QModelIndex>().row(), 12);

    // Two songs in the middle of the source: two rows announced right after the current one.
    inserted.clear();
    source->insertRow(4, SongModels::row(
                             { QStringLiteral("mid0"), QString(), QString(), QString(), 30 }));
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 3);
    QCOMPARE(inserted.at(0).at(2).toInt(), 3);
    QVERIFY(isPermutation(proxy, *source));
    QCOMPARE(proxyTitles(&proxy).mid(0, 3), before.mid(0, 3));

    inserted.clear();
    source->insertRows(5, 2);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 3);
    QCOMPARE(inserted.at(0).at(2).toInt(), 4);
    QCOMPARE(proxy.rowCount(), source->rowCount());
}

void TestModels::shuffleRemovalsOneRowAtATime()
{
    QScopedPointer<QStandardItemModel> source(SongModels::numbered(QStringLiteral("s"), 10));
    SeededShuffle proxy;
    proxy.setSourceModel(source.data());
    watch(&proxy, &proxy);
    proxy.setShuffle(true, 6);
    const QStringList before = proxyTitles(&proxy);

    QSignalSpy removed(&proxy, SIGNAL(rowsAboutToBeRemoved(QModelIndex, int, int)));
    source->removeRows(3, 2);
    QCOMPARE(removed.count(), 2);
    const int at3 = before.indexOf(QStringLiteral("s3"));
    const int at4 = before.indexOf(QStringLiteral("s4"));
    QCOMPARE(removed.at(0).at(1).toInt(), qMin(at3, at4));
    QCOMPARE(removed.at(0).at(2).toInt(), qMin(at3, at4));
    QCOMPARE(removed.at(1).at(1).toInt(), qMax(at3, at4) - 1);
    QStringList expected = before;
    expected.removeAll(QStringLiteral("s3"));
    expected.removeAll(QStringLiteral("s4"));
    QCOMPARE(proxyTitles(&proxy), expected);
    QVERIFY(isPermutation(proxy, *source));
    // s5..s9 are source rows 3..7 now.
    QCOMPARE(proxy.mapToSource(proxy.index(expected.indexOf(QStringLiteral("s5")), 0)).row(), 3);
    QCOMPARE(proxy.mapToSource(proxy.index(expected.indexOf(QStringLiteral("s9")), 0)).row(), 7);

    // All rows gone: the table is empty, shuffle stays on, new songs are shuffled again.
    removed.clear();
    source->removeRows(0, source->rowCount());
    QCOMPARE(removed.count(), 1);
    QCOMPARE(proxy.rowCount(), 0);
    QVERIFY(proxy.isShuffled());
    for (int i = 0; i < 8; ++i)
        source->appendRow(
            SongModels::row({ QStringLiteral("n%1").arg(i), QString(), QString(), QString(), i }));
    QVERIFY(isPermutation(proxy, *source));
    QVERIFY(proxyTitles(&proxy) != proxyTitles(source.data()));
}

void TestModels::shuffleAnswersRolesAndFollowsResets()
{
    QScopedPointer<QStandardItemModel> source(SongModels::numbered(QStringLiteral("s"), 5));
    ShuffleProxyModel proxy;
    proxy.setSourceModel(source.data());
    watch(&proxy, &proxy);
    QCOMPARE(proxy.index(2, 1).data(Qt::UserRole + 5).toString(), QStringLiteral("s2"));
    QCOMPARE(proxy.index(2, 1).data(Qt::EditRole).toString(), QStringLiteral("s2"));
    QCOMPARE(proxy.index(2, 0).data(Mafw::UrlRole).toString(), SongModels::urlOf(3));
    QVERIFY(!proxy.index(2, 1).data(Qt::SizeHintRole).isValid());
    QCOMPARE(proxy.headerData(14, Qt::Horizontal).toString(), QStringLiteral("url"));
    QVERIFY(!proxy.index(5, 0).isValid());

    QSignalSpy changed(&proxy, SIGNAL(dataChanged(QModelIndex, QModelIndex, QVector<int>)));
    proxy.setShuffle(true, 1);
    source->setData(source->index(3, 1), QStringLiteral("renamed"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>().data().toString(), QStringLiteral("renamed"));

    source->clear(); // a reset of the source
    QCOMPARE(proxy.rowCount(), 0);
    QCOMPARE(proxy.columnCount(), 0);
    {
        QStandardItemModel* gone = SongModels::numbered(QStringLiteral("g"), 3);
        proxy.setSourceModel(gone);
        QCOMPARE(proxy.rowCount(), 3);
        delete gone;
    }
    QCOMPARE(proxy.rowCount(), 0);
}

void TestModels::shuffleFollowsRandomOperations()
{
    QScopedPointer<QStandardItemModel> source(SongModels::numbered(QStringLiteral("s"), 30));
    ShuffleProxyModel proxy;
    proxy.setSourceModel(source.data());
    watch(&proxy, &proxy);
    QRandomGenerator random(20120101);
    int nextId = 1000;
    int current = -1;
    for (int step = 0; step < 250; ++step) {
        const int n = source->rowCount();
        const int op = random.bounded(10);
        if (op < 3) {
            const int at = random.bounded(n + 1);
            const int count = random.bounded(1, 4);
            for (int i = 0; i < count; ++i)
                source->insertRow(at + i,
                                  SongModels::row({ QStringLiteral("x%1").arg(nextId), QString(),
                                                    QString(), QString(), nextId }));
            ++nextId;
        } else if (op < 5 && n > 0) {
            const int at = random.bounded(n);
            source->removeRows(at, random.bounded(1, qMin(4, n - at) + 1));
        } else if (op == 5) {
            current = proxy.setShuffle(!proxy.isShuffled(), n > 0 ? random.bounded(n) : -1);
        } else if (op == 6 && n > 0) {
            source->setData(source->index(random.bounded(n), 1), QStringLiteral("r%1").arg(step));
        } else if (n > 0) {
            current = random.bounded(n);
            proxy.setCurrentIndex(current);
            const QStringList reached = proxyTitles(&proxy).mid(0, current + 1);
            source->appendRow(SongModels::row(
                { QStringLiteral("e%1").arg(nextId), QString(), QString(), QString(), nextId }));
            ++nextId;
            if (proxy.isShuffled())
                QCOMPARE(proxyTitles(&proxy).mid(0, current + 1), reached);
        }
        QVERIFY2(isPermutation(proxy, *source),
                 qPrintable(QStringLiteral("after step %1").arg(step)));
    }
}

void TestModels::queueChainFollowsItsModels()
{
    auto container = new ContainerModel;
    AudiobookFilterProxyModel filter(6, nullptr);
    filter.setSourceModel(container);
    QSharedPointer<ShuffleProxyModel> shuffle(new ShuffleProxyModel);
    shuffle->setSourceModel(&filter);
    ListModel list(false, nullptr);
    list.setSourceModel(shuffle);
    QObject testers;
    watch(container, &testers);
    watch(&filter, &testers);
    watch(shuffle.data(), &testers);
    watch(&list, &testers);

    QList<TestSong> songs;
    for (int i = 0; i < 8; ++i)
        songs.append({ QStringLiteral("song%1").arg(i), QString(), QString(),
                       i % 4 == 1 ? QStringLiteral("Audiobook") : QStringLiteral("Pop"), i + 1 });
    QStandardItemModel* first = SongModels::create(songs);
    container->append(QSharedPointer<QAbstractItemModel>(first));
    container->append(
        QSharedPointer<QAbstractItemModel>(SongModels::numbered(QStringLiteral("more"), 4, 100)));
    QCOMPARE(shuffle->rowCount(), 12);
    QCOMPARE(shuffle->columnCount(), 10);
    QCOMPARE(list.rowCount(), 12);
    QCOMPARE(list.itemData(8, -1, Qt::UserRole + 1).toString(), QStringLiteral("more0"));
    QCOMPARE(shuffle->index(8, 0).data(Mafw::UrlRole).toString(), SongModels::urlOf(100));

    filter.setFilterEnabled(true);
    shuffle->setShuffle(true, 3);
    QCOMPARE(shuffle->rowCount(), 10);
    QCOMPARE(list.rowCount(), 10);
    first->removeRows(0, 3);
    SongModels::insert(first, 0,
                       { QStringLiteral("front"), QString(), QString(), QStringLiteral("Rock"),
                         77 });
    QCOMPARE(shuffle->rowCount(), filter.rowCount());
    QCOMPARE(list.rowCount(), shuffle->rowCount());
    container->clear();
    QCOMPARE(list.rowCount(), 0);
    QCOMPARE(shuffle->rowCount(), 0);
    delete container;
}

// ---------------------------------------------------------------- list model

void TestModels::listGroupsByIndexLetter()
{
    QSharedPointer<QStandardItemModel> source(SongModels::titled({ "abba", "ABBA", "Bee" }));
    ListModel list(true, nullptr);
    watch(&list, &list);
    list.setKeyColumns({ 1 }, false);
    list.setSourceModel(source);
    QCOMPARE(list.groupCount(), 2);
    QCOMPARE(list.groupTitle(0), QStringLiteral("A"));
    QCOMPARE(list.groupTitle(1), QStringLiteral("B"));
    QCOMPARE(list.rowCountInGroup(0), 2);
    QCOMPARE(list.index(0, 0).data().toString(), QStringLiteral("A"));
    QCOMPARE(list.mapToSourceRow(list.index(1, 0, list.index(0, 0))), 1);
    QCOMPARE(list.itemData(0, 0, Qt::UserRole + 2).toString(), QStringLiteral("Artist"));
    QCOMPARE(list.index(0, 0, list.index(1, 0)).data(Qt::UserRole + 1).toString(),
             QStringLiteral("Bee"));

    QSharedPointer<QStandardItemModel> mixed(SongModels::titled(
        { QString::fromUtf8("Émile"), "zoo", QString::fromUtf8("Кино"), "1999", "eve", "" }));
    list.setSourceModel(mixed);
    QStringList titles;
    for (int g = 0; g < list.groupCount(); ++g)
        titles.append(list.groupTitle(g));
    QCOMPARE(titles, QStringList({ "", "#", "E", "Z", QString::fromUtf8("К") }));
    QCOMPARE(list.rowCountInGroup(2), 2);
    verifyGroups(list, *mixed, MLocale(QStringLiteral("en_GB")));
}

void TestModels::listAnnouncesEachInsertion()
{
    QSharedPointer<QStandardItemModel> source(SongModels::titled({ "abba", "Bee", "Cat" }));
    ListModel list(true, nullptr);
    watch(&list, &list);
    list.setKeyColumns({ 1 }, false);
    list.setSourceModel(source);
    Announcements seen(&list);

    SongModels::insert(source.data(), 1,
                       { QStringLiteral("Moon"), QString(), QString(), QString(), 9 });
    QCOMPARE(seen.inserted.size(), 2);
    QVERIFY(!seen.inserted.at(0).parent.isValid());
    QCOMPARE(seen.inserted.at(0).first, 3);
    QVERIFY(!seen.inserted.at(0).animated);
    QCOMPARE(seen.inserted.at(1).parent.row(), 3);
    QCOMPARE(seen.inserted.at(1).first, 0);
    QCOMPARE(seen.inserted.at(1).last, 0);
    QVERIFY(seen.inserted.at(1).animated);
    QCOMPARE(list.groupTitle(3), QStringLiteral("M"));
    QCOMPARE(list.mapToSourceRow(list.index(0, 0, list.index(1, 0))), 2); // Bee moved down

    // One more into an existing group: one animated item at its sorted place.
    seen.clear();
    SongModels::insert(source.data(), 0,
                       { QStringLiteral("Alpha"), QString(), QString(), QString(), 10 });
    QCOMPARE(seen.inserted.size(), 1);
    QCOMPARE(seen.inserted.at(0).parent.row(), 0);
    QCOMPARE(seen.inserted.at(0).first, 0);
    QVERIFY(seen.inserted.at(0).animated);

    // Three rows of one existing group in one source signal: each at its sorted place, none
    // animated.
    seen.clear();
    source->blockSignals(true);
    for (int i = 0; i < 3; ++i)
        SongModels::insert(source.data(), 2 + i,
                           { QStringLiteral("Bq%1").arg(2 - i), QString(), QString(), QString(),
                             50 + i });
    source->blockSignals(false);
    QMetaObject::invokeMethod(&list, "handleRowsInserted", Q_ARG(QModelIndex, QModelIndex()),
                              Q_ARG(int, 2), Q_ARG(int, 4));
    QCOMPARE(seen.inserted.size(), 3);
    const int groupB = list.mapFromSource(source->index(2, 0)).parent().row();
    QCOMPARE(list.groupTitle(groupB), QStringLiteral("B"));
    for (const Rows& r : qAsConst(seen.inserted)) {
        QCOMPARE(r.parent.row(), groupB);
        QCOMPARE(r.first, r.last);
        QVERIFY(!r.animated);
    }
    verifyGroups(list, *source, MLocale(QStringLiteral("en_GB")));
}

void TestModels::listRemovesEmptiedGroups()
{
    QSharedPointer<QStandardItemModel> source(
        SongModels::titled({ "abba", "Bee", "Bear", "Cat", "cow" }));
    ListModel list(true, nullptr);
    watch(&list, &list);
    list.setKeyColumns({ 1 }, false);
    list.setSourceModel(source);
    Announcements seen(&list);

    source->removeRows(0, 1);
    QCOMPARE(seen.removed.size(), 2);
    QCOMPARE(seen.removed.at(0).parent.row(), 0);
    QVERIFY(seen.removed.at(0).animated);
    QVERIFY(!seen.removed.at(1).parent.isValid());
    QCOMPARE(seen.removed.at(1).first, 0);
    QVERIFY(seen.removed.at(1).animated);
    QCOMPARE(list.groupCount(), 2);
    QCOMPARE(list.groupTitle(0), QStringLiteral("B"));
    QCOMPARE(list.mapToSourceRow(list.index(1, 0, list.index(1, 0))), 3); // cow renumbered
    verifyGroups(list, *source, MLocale(QStringLiteral("en_GB")));

    seen.clear();
    source->removeRows(1, 2); // Bear and Cat
    QCOMPARE(seen.removed.size(), 2);
    verifyGroups(list, *source, MLocale(QStringLiteral("en_GB")));
}

void TestModels::listMapsAndReportsBadNumbers()
{
    QSharedPointer<QStandardItemModel> source(SongModels::titled({ "abba", "Bee" }));
    ListModel list(true, nullptr);
    list.setKeyColumns({ 1 }, false);
    list.setSourceModel(source);
    QCOMPARE(list.rowCountInGroup(-1), 2);
    QCOMPARE(list.rowCountInGroup(list.groupCount()), 0);
    QCOMPARE(list.groupTitle(5), QString());
    QVERIFY(!list.itemData(3, 0, Qt::UserRole + 1).isValid());
    QVERIFY(!list.itemData(0, 7, Qt::UserRole + 1).isValid());
    QVERIFY(!list.itemData(-1, 0, Qt::UserRole + 1).isValid());
    QVERIFY(!list.itemData(0, 0, Qt::UserRole + 15).isValid());
    QVERIFY(!list.itemData(0, 0, Qt::DisplayRole).isValid());

    QCOMPARE(list.mapToSourceRow(list.index(0, 0)), -1);
    QCOMPARE(list.mapToSourceRow(QModelIndex()), -1);
    QCOMPARE(list.mapFromSource(source->index(1, 1)), list.index(0, 0, list.index(1, 0)));
    QVERIFY(!list.mapFromSource(QModelIndex()).isValid());

    ListModel flat(false, nullptr);
    flat.setSourceModel(source);
    QCOMPARE(flat.mapToSourceRow(flat.index(1, 0)), 1);
    QCOMPARE(flat.mapFromSource(source->index(1, 3)), flat.index(1, 0));
    QCOMPARE(flat.itemData(1, -1, Qt::UserRole + 1).toString(), QStringLiteral("Bee"));
    QCOMPARE(flat.itemData(1, 3, Qt::UserRole + 1).toString(), QStringLiteral("Bee"));
}

void TestModels::listExactTitlesAndDates()
{
    QList<TestSong> songs = { { "one", "", "Zoo", "", 1 },
                              { "two", "", "Abc", "", 2 },
                              { "three", "", "", "", 3 },
                              { "four", "", "Zoo", "", 4 } };
    QSharedPointer<QStandardItemModel> source(SongModels::create(songs));
    ListModel list(true, nullptr);
    watch(&list, &list);
    list.setSourceModel(source);
    list.setKeyColumns({ 3, 7 }, true);
    QCOMPARE(list.groupCount(), 3);
    QCOMPARE(list.groupTitle(0), QString());
    QCOMPARE(list.groupTitle(1), QStringLiteral("Abc"));
    QCOMPARE(list.groupTitle(2), QStringLiteral("Zoo"));
    QCOMPARE(list.rowCountInGroup(2), 2);
    QCOMPARE(list.mapToSourceRow(list.index(1, 0, list.index(2, 0))), 3);
    QCOMPARE(list.index(2, 0).data().toString(), QStringLiteral("Zoo"));
}

void TestModels::listRebucketsAfterCollationChange()
{
    QSharedPointer<QStandardItemModel> source(SongModels::titled(
        { QString::fromUtf8("Ångström"), "Zebra", "Abba", QString::fromUtf8("Öl") }));
    ListModel list(true, nullptr);
    watch(&list, &list);
    list.setKeyColumns({ 1 }, false);
    list.setSourceModel(source);
    auto titles = [&list]() {
        QStringList t;
        for (int g = 0; g < list.groupCount(); ++g)
            t.append(list.groupTitle(g));
        return t;
    };
    QCOMPARE(titles(), QStringList({ "A", "O", "Z" }));

    QSignalSpy reset(&list, SIGNAL(modelReset()));
    MGConfItem(CollateKey).set(QStringLiteral("sv_SE"));
    QCOMPARE(reset.count(), 1);
    QCOMPARE(titles(), QStringList({ "A", "Z", QString::fromUtf8("Å"), QString::fromUtf8("Ö") }));
    verifyGroups(list, *source, MLocale(QStringLiteral("sv_SE")));

    SongModels::insert(source.data(), 0,
                       { QString::fromUtf8("Äpple"), QString(), QString(), QString(), 9 });
    QCOMPARE(titles(), QStringList({ "A", "Z", QString::fromUtf8("Å"), QString::fromUtf8("Ä"),
                                     QString::fromUtf8("Ö") }));
    verifyGroups(list, *source, MLocale(QStringLiteral("sv_SE")));
}

void TestModels::listLetsGoOfTheOldSource()
{
    auto* oldModel = SongModels::titled({ "abba", "Bee" });
    QSharedPointer<QStandardItemModel> oldSource(oldModel);
    QSharedPointer<QStandardItemModel> newSource(SongModels::titled({ "Cat" }));
    ListModel list(true, nullptr);
    watch(&list, &list);
    list.setKeyColumns({ 1 }, false);
    list.setSourceModel(oldSource);
    QSignalSpy reset(&list, SIGNAL(modelReset()));
    list.setSourceModel(newSource);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(list.groupCount(), 1);

    Announcements seen(&list);
    oldModel->removeRows(0, 1);
    SongModels::insert(oldModel, 0, { QStringLiteral("Dog"), QString(), QString(), QString(), 5 });
    QVERIFY(seen.inserted.isEmpty() && seen.removed.isEmpty());
    QCOMPARE(list.groupTitle(0), QStringLiteral("C"));

    list.setSourceModel(QSharedPointer<QAbstractItemModel>());
    QCOMPARE(list.groupCount(), 0);
    QCOMPARE(list.rowCountInGroup(-1), 0);
}

void TestModels::listFlatModePassesRowsThrough()
{
    QSharedPointer<QStandardItemModel> source(SongModels::numbered(QStringLiteral("s"), 4));
    ListModel list(false, nullptr);
    watch(&list, &list);
    Announcements seen(&list);
    list.setSourceModel(source);
    QCOMPARE(list.rowCount(), 4);
    QCOMPARE(seen.inserted.size(), 1);
    QVERIFY(!seen.inserted.at(0).animated);
    QCOMPARE(list.index(2, 0).data(Qt::UserRole + 1).toString(), QStringLiteral("s2"));

    seen.clear();
    SongModels::insert(source.data(), 1,
                       { QStringLiteral("one"), QString(), QString(), QString(), 9 });
    QCOMPARE(seen.inserted.size(), 1);
    QVERIFY(seen.inserted.at(0).animated);
    source->removeRows(0, 2);
    QCOMPARE(seen.removed.size(), 1);
    QVERIFY(!seen.removed.at(0).animated);
    source->removeRows(0, 1);
    QVERIFY(seen.removed.at(1).animated);
    QCOMPARE(list.rowCount(), 2);
    QCOMPARE(list.index(0, 0).data(Qt::UserRole + 1).toString(), QStringLiteral("s2"));

    // Switching to grouped builds the groups within one reset.
    QSignalSpy reset(&list, SIGNAL(modelReset()));
    list.setKeyColumns({ 1 }, false);
    list.setGrouped(true);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(list.groupCount(), 1);
    QCOMPARE(list.rowCountInGroup(0), 2);
    source->clear();
    QCOMPARE(list.groupCount(), 0);
}

void TestModels::listDataChangesAndRowChanges()
{
    QSharedPointer<QStandardItemModel> source(
        SongModels::titled({ "abba", "Bee", "Alpha", "Bear" }));
    ListModel list(true, nullptr);
    watch(&list, &list);
    list.setKeyColumns({ 1 }, false);
    list.setSourceModel(source);
    QSignalSpy changed(&list, SIGNAL(dataChanged(QModelIndex, QModelIndex, QVector<int>)));
    source->setData(source->index(2, 5), true);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>(), list.index(1, 0, list.index(0, 0)));

    changed.clear();
    emit source->dataChanged(source->index(0, 0), source->index(3, 5));
    QCOMPARE(changed.count(), 4);
    changed.clear();
    for (int i = 0; i < 30; ++i)
        source->appendRow(SongModels::row(
            { QStringLiteral("c%1").arg(i), QString(), QString(), QString(), 100 + i }));
    changed.clear();
    emit source->dataChanged(source->index(0, 0), source->index(33, 0));
    QCOMPARE(changed.count(), 34);

    changed.clear();
    const QModelIndex a0 = list.index(0, 0, list.index(0, 0));
    const QModelIndex b1 = list.index(1, 0, list.index(1, 0));
    list.emitRowChanged(a0, list.index(1, 0, list.index(0, 0)));
    QCOMPARE(changed.count(), 1);
    changed.clear();
    list.emitRowChanged(a0, b1); // across groups: headers, then each group's part
    QCOMPARE(changed.count(), 3);
    changed.clear();
    list.emitRowChanged(a0, QModelIndex());
    list.emitRowChanged(a0, source->index(0, 0));
    QCOMPARE(changed.count(), 0);
}

void TestModels::listFollowsASourceResetWhileAChangeIsAnnounced()
{
    for (bool grouped : { false, true }) {
        QScopedPointer<QStandardItemModel> songs(SongModels::numbered(QStringLiteral("s"), 3));
        QSharedPointer<ResettingSource> source(new ResettingSource);
        source->setSourceModel(songs.data());
        ListModel list(grouped, nullptr);
        list.setKeyColumns({ 1 }, false);
        list.setSourceModel(source);
        auto shown = [&list, grouped] {
            if (!grouped)
                return list.rowCount();
            int items = 0;
            for (int g = 0; g < list.groupCount(); ++g)
                items += list.rowCountInGroup(g);
            return items;
        };
        QCOMPARE(shown(), 3);
        SongModels::insert(songs.data(), 3,
                           { QStringLiteral("s9"), QString(), QString(), QString(), 9 });
        QCOMPARE(list.rowCountInGroup(-1), 4);
        QCOMPARE(shown(), 4);
        songs->removeRows(0, 2);
        QCOMPARE(list.rowCountInGroup(-1), 2);
        QCOMPARE(shown(), 2);
    }
}

void TestModels::listFollowsRandomOperations()
{
    const QStringList words = { "abba",
                                "Bee",
                                QString::fromUtf8("Émile"),
                                "zoo",
                                QString::fromUtf8("Кино"),
                                "42",
                                QString::fromUtf8("東京"),
                                "Alpha",
                                "beta",
                                "",
                                "omega",
                                "Ölfass" };
    QSharedPointer<QStandardItemModel> source(SongModels::titled(words));
    ListModel list(true, nullptr);
    watch(&list, &list);
    list.setKeyColumns({ 1 }, false);
    list.setSourceModel(source);
    QRandomGenerator random(424242);
    for (int step = 0; step < 300; ++step) {
        const int n = source->rowCount();
        const int op = random.bounded(5);
        if (op < 2 || n < 3) {
            const int at = random.bounded(n + 1);
            const QString word = words.at(random.bounded(words.size())) + QString::number(step);
            SongModels::insert(source.data(), at, { word, QString(), QString(), QString(), step });
        } else if (op < 4) {
            const int at = random.bounded(n);
            source->removeRows(at, random.bounded(1, qMin(3, n - at) + 1));
        } else {
            source->setData(source->index(random.bounded(n), 2), QStringLiteral("changed"));
        }
        verifyGroups(list, *source, MLocale(QStringLiteral("en_GB")));
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("after step %1").arg(step)));
    }
}

// ---------------------------------------------------------------- search proxy

void TestModels::searchFiltersWordsAndPhrases()
{
    QList<TestSong> songs = {
        { "Love Me Do", "The Beatles", "Please", "Pop", 1 },
        { "me love", "Someone", "Other", "Pop", 2 },
        { "Duet", "Bob\tAlice", "Together", "Pop", 3 },
        { "Solo", "Bob\tBob", "Alone", "Pop", 4 },
        { "Tabbed", "Eve", "Part\tOne", "Pop", 5 },
    };
    QStandardItemModel* source = SongModels::create(songs);
    source->setData(source->index(4, 6), QStringLiteral("Jazz\tBlues"));
    TwinTurboSortFilterProxyModel proxy;
    proxy.setSourceModel(source);
    watch(&proxy, &proxy);
    proxy.setSearchColumns({ 1, 2, 3, 6 });

    auto shown = [&proxy]() { return proxyTitles(&proxy); };
    proxy.setFilterExpression(QString());
    QCOMPARE(proxy.rowCount(), 5);
    proxy.setFilterExpression(QStringLiteral("love me"));
    QCOMPARE(shown(), QStringList({ "Love Me Do" }));
    proxy.setFilterExpression(QStringLiteral("LOVE"));
    QCOMPARE(shown(), QStringList({ "Love Me Do", "me love" }));
    proxy.setFilterExpression(QStringLiteral("   beatles"));
    QCOMPARE(shown(), QStringList({ "Love Me Do" }));
    // Two different artists read as the various-artists text; two equal ones as the name.
    proxy.setFilterExpression(QStringLiteral("bob"));
    QCOMPARE(shown(), QStringList({ "Solo" }));
    proxy.setFilterExpression(QStringLiteral("various"));
    QCOMPARE(shown(), QStringList({ "Duet" }));
    proxy.setFilterExpression(QStringLiteral("one"));
    QCOMPARE(shown(), QStringList({ "me love", "Solo", "Tabbed" }));
    proxy.setFilterExpression(QStringLiteral("blues")); // a tabbed genre is not searched
    QCOMPARE(proxy.rowCount(), 0);
    proxy.setFilterExpression(QStringLiteral("("));
    QCOMPARE(proxy.rowCount(), 0);

    proxy.setFilterExpression(QStringLiteral("   "));
    QCOMPARE(proxy.rowCount(), 5);
    proxy.setSearchColumns({});
    proxy.setFilterExpression(QStringLiteral("  "));
    proxy.setFilterExpression(QStringLiteral(" "));
    QCOMPARE(proxy.rowCount(), 0);

    // The texts searched follow the source: changed, added and removed rows between two
    // keystrokes are searched as they now stand.
    proxy.setSearchColumns({ 1, 2, 3 });
    proxy.setFilterExpression(QStringLiteral("solo"));
    QCOMPARE(shown(), QStringList({ "Solo" }));
    source->setData(source->index(0, 1), QStringLiteral("Solo Me Do"));
    proxy.setFilterExpression(QStringLiteral("sol"));
    QCOMPARE(shown(), QStringList({ "Solo Me Do", "Solo" }));
    source->insertRow(0, { new QStandardItem(QStringLiteral("file:///x.ogg")),
                           new QStandardItem(QStringLiteral("Console")),
                           new QStandardItem(QStringLiteral("Zed")),
                           new QStandardItem(QStringLiteral("Zed")) });
    QCOMPARE(shown(), QStringList({ "Console", "Solo Me Do", "Solo" }));
    source->removeRow(1);
    proxy.setFilterExpression(QStringLiteral("solo"));
    QCOMPARE(shown(), QStringList({ "Solo" }));
    delete source;
}

void TestModels::searchExcludesIdsAndSortsByCollation()
{
    QList<TestSong> songs = { { "zebra", "", "", "", 10 },
                              { QString::fromUtf8("Émile"), "", "", "", 9 },
                              { "apple", "", "", "", 100 },
                              { "Eve", "", "", "", 2 } };
    QScopedPointer<QStandardItemModel> source(SongModels::create(songs));
    TwinTurboSortFilterProxyModel proxy;
    proxy.setSourceModel(source.data());
    watch(&proxy, &proxy);
    proxy.setSearchColumns({ 1 });

    QSignalSpy reset(&proxy, SIGNAL(modelReset()));
    proxy.setExcludedIds({ 9, 100 }, 8);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(proxyTitles(&proxy), QStringList({ "zebra", "Eve" }));
    proxy.setFilterExpression(QStringLiteral("e"));
    QCOMPARE(proxyTitles(&proxy), QStringList({ "zebra", "Eve" }));
    proxy.setFilterExpression(QString());
    proxy.setExcludedIds({}, 8);
    QCOMPARE(proxy.rowCount(), 4);

    proxy.sort(1);
    QCOMPARE(proxyTitles(&proxy),
             QStringList({ "apple", QString::fromUtf8("Émile"), "Eve", "zebra" }));
    proxy.sort(8);
    QCOMPARE(proxyTitles(&proxy),
             QStringList({ "Eve", QString::fromUtf8("Émile"), "zebra", "apple" }));
    proxy.sort(7); // dates: the base order
    QCOMPARE(proxy.rowCount(), 4);

    MGConfItem(CollateKey).set(QStringLiteral("sv_SE"));
    SongModels::insert(source.data(), 0, { QString::fromUtf8("Ölfass"), "", "", "", 5 });
    proxy.sort(1);
    QCOMPARE(proxyTitles(&proxy).last(), QString::fromUtf8("Ölfass"));
}

void TestModels::searchRolesAndHelpers()
{
    QScopedPointer<QStandardItemModel> source(SongModels::titled({ "one", "two" }));
    TwinTurboSortFilterProxyModel proxy;
    QSignalSpy sourceChanged(&proxy, SIGNAL(sourceModelChanged()));
    QCOMPARE(proxy.data(QModelIndex(), Qt::UserRole), QVariant());
    proxy.setSourceModel(source.data());
    QCOMPARE(sourceChanged.count(), 1);
    proxy.setSearchColumns({ 1 });
    QCOMPARE(proxy.index(1, 1).data(Qt::UserRole).toString(), QStringLiteral("two"));
    QVERIFY(!proxy.index(1, 2).data(Qt::UserRole).isValid());
    QCOMPARE(proxy.index(1, 2).data().toString(), QStringLiteral("Artist"));

    QSignalSpy changed(&proxy, SIGNAL(dataChanged(QModelIndex, QModelIndex, QVector<int>)));
    QVERIFY(proxy.setData(proxy.index(0, 5), true));
    QVERIFY(changed.count() >= 2);
    changed.clear();
    proxy.emitItemChanged(proxy.index(0, 1));
    proxy.emitItemChanged(QModelIndex());
    QCOMPARE(changed.count(), 1);

    QCOMPARE(TwinTurboSortFilterProxyModel::findRowByText(source.data(),
                                                          QStringLiteral("urn:uuid:2")),
             source->index(1, 0));
    QVERIFY(!TwinTurboSortFilterProxyModel::findRowByText(source.data(), QStringLiteral("none"))
                 .isValid());
    QVERIFY(
        !TwinTurboSortFilterProxyModel::findRowByText(nullptr, QStringLiteral("one")).isValid());
}

void TestModels::searchChainFollowsKeystrokes()
{
    QStringList titles;
    const QStringList stems = {
        "Alpha", "beta", "Gamma", QString::fromUtf8("Émile"), QString::fromUtf8("Кино"), "delta"
    };
    for (int i = 0; i < 120; ++i)
        titles.append(stems.at(i % stems.size()) + QStringLiteral(" %1").arg(i));
    QScopedPointer<QStandardItemModel> source(SongModels::titled(titles));
    QSharedPointer<TwinTurboSortFilterProxyModel> proxy(new TwinTurboSortFilterProxyModel);
    proxy->setSourceModel(source.data());
    proxy->setSearchColumns({ 1 });
    proxy->setDynamicSortFilter(false);
    ListModel list(true, nullptr);
    QObject testers;
    watch(proxy.data(), &testers);
    watch(&list, &testers);
    list.setSourceModel(proxy);
    list.setKeyColumns({ 1 }, false);
    QCOMPARE(list.groupCount(), 6);

    const QStringList keystrokes = { "a", "al", "alp", "al", "", "1", "11", "e", "", "sort" };
    for (const QString& typed : keystrokes) {
        if (typed == QLatin1String("sort"))
            proxy->sort(1, Qt::DescendingOrder); // the rows move: the list follows
        else
            proxy->setFilterExpression(typed);
        int items = 0;
        for (int g = 0; g < list.groupCount(); ++g) {
            QVERIFY(list.rowCountInGroup(g) > 0);
            for (int p = 0; p < list.rowCountInGroup(g); ++p) {
                const int row = list.mapToSourceRow(list.index(p, 0, list.index(g, 0)));
                if (typed != QLatin1String("sort"))
                    QVERIFY(proxy->index(row, 1).data().toString().contains(typed,
                                                                            Qt::CaseInsensitive));
                QCOMPARE(list.itemData(p, g, Qt::UserRole + 1), proxy->index(row, 1).data());
                ++items;
            }
        }
        QCOMPARE(items, proxy->rowCount());
    }
    QCOMPARE(list.rowCountInGroup(-1), 120);
}

void TestModels::searchChainFollowsChangesWhileFiltered()
{
    // The proxy keeps its search texts and the list its index letters across keystrokes; songs
    // that come, go and change under a filter must still be found and grouped as they are.
    const QStringList words = { "Alpha",
                                QString::fromUtf8("ärger"),
                                QString::fromUtf8("Кино"),
                                "Beta",
                                QString::fromUtf8("Émile"),
                                "zoo",
                                QString::fromUtf8("東京"),
                                "ORBIT" };
    QList<TestSong> songs;
    for (int i = 0; i < 40; ++i)
        songs.append({ words.at(i % words.size()) + QString::number(i),
                       QStringLiteral("Artist %1").arg(i % 3), QStringLiteral("Album"),
                       QStringLiteral("Pop"), i + 1 });
    QScopedPointer<QStandardItemModel> source(SongModels::create(songs));
    QSharedPointer<TwinTurboSortFilterProxyModel> proxy(new TwinTurboSortFilterProxyModel);
    proxy->setSourceModel(source.data());
    proxy->setSearchColumns({ 1, 2, 3 });
    ListModel list(true, nullptr);
    QObject testers;
    watch(proxy.data(), &testers);
    watch(&list, &testers);
    list.setKeyColumns({ 1 }, false);
    list.setSourceModel(proxy);

    const MLocale locale(QStringLiteral("en_GB"));
    MCollator primary(locale);
    primary.setStrength(MLocale::CollatorStrengthPrimary);
    const QStringList letters = locale.exemplarCharactersIndex();
    const QStringList filters = {
        QString::fromUtf8("ÄR"), QString::fromUtf8("кИн"), "t 2", "o", "", "artist 1",
        QString::fromUtf8("émi")
    };
    QRandomGenerator random(777);
    for (int step = 0; step < 200; ++step) {
        const int n = source->rowCount();
        const int op = random.bounded(6);
        if (op == 0 || n < 5) {
            SongModels::insert(source.data(), random.bounded(n + 1),
                               { words.at(random.bounded(words.size())) + QString::number(step),
                                 QStringLiteral("Artist %1").arg(step % 4), QStringLiteral("Album"),
                                 QString(), 100 + step });
        } else if (op == 1) {
            source->removeRows(random.bounded(n), 1);
        } else if (op == 2) {
            source->setData(source->index(random.bounded(n), 2),
                            QStringLiteral("Artist %1").arg(random.bounded(4)));
        } else {
            proxy->setFilterExpression(filters.at(random.bounded(filters.size())));
        }
        const QString pattern = proxy->filterRegExp().pattern().trimmed();
        QVector<int> expected;
        for (int row = 0; row < source->rowCount(); ++row) {
            const QString text = source->index(row, 1).data().toString() + QLatin1Char('\n')
                                 + source->index(row, 2).data().toString() + QLatin1Char('\n')
                                 + source->index(row, 3).data().toString();
            if (proxy->filterRegExp().pattern().isEmpty()
                || text.contains(pattern, Qt::CaseInsensitive))
                expected.append(row);
        }
        QVector<int> shown;
        for (int row = 0; row < proxy->rowCount(); ++row)
            shown.append(proxy->mapToSource(proxy->index(row, 0)).row());
        std::sort(shown.begin(), shown.end());
        QCOMPARE(shown, expected);
        int items = 0;
        for (int g = 0; g < list.groupCount(); ++g) {
            for (int p = 0; p < list.rowCountInGroup(g); ++p) {
                const int row = list.mapToSourceRow(list.index(p, 0, list.index(g, 0)));
                const QString title = proxy->index(row, 1).data().toString();
                QCOMPARE(list.groupTitle(g), locale.indexBucket(title, letters, primary));
                ++items;
            }
        }
        QCOMPARE(items, proxy->rowCount());
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("after step %1").arg(step)));
    }
}

void TestModels::searchProxyFollowsScatteredRowsAndKeepsItsPlaces()
{
    // A list that grows at scattered places (a first index of a library in title order) is
    // passed through row for row, as the pages hold it: the grouped list on top follows, and
    // a row held by the views stays on its song across inserts, removals and keystrokes.
    QScopedPointer<QStandardItemModel> source(SongModels::numbered(QStringLiteral("s"), 30));
    QSharedPointer<TwinTurboSortFilterProxyModel> proxy(new TwinTurboSortFilterProxyModel);
    proxy->setSourceModel(source.data());
    proxy->setSearchColumns({ 1 });
    proxy->setDynamicSortFilter(false);
    ListModel list(true, nullptr);
    QObject testers;
    watch(proxy.data(), &testers);
    watch(&list, &testers);
    list.setKeyColumns({ 1 }, false);
    list.setSourceModel(proxy);
    QSignalSpy resets(proxy.data(), SIGNAL(modelReset()));
    QSignalSpy layouts(proxy.data(), SIGNAL(layoutChanged()));

    const QPersistentModelIndex held = proxy->index(20, 1);
    QCOMPARE(held.data().toString(), QStringLiteral("s20"));
    QRandomGenerator random(46);
    for (int i = 0; i < 60; ++i) {
        const int at = random.bounded(source->rowCount() + 1);
        SongModels::insert(source.data(), at,
                           { QStringLiteral("n%1").arg(i), "", "", "", 100 + i });
        if (i % 7 == 6) {
            const int gone = random.bounded(source->rowCount());
            if (SongModels::title(source.data(), gone) != QLatin1String("s20"))
                source->removeRows(gone, 1);
        }
    }
    // Passed through: no reset, no layout change, every row where the source has it.
    QCOMPARE(resets.count(), 0);
    QCOMPARE(layouts.count(), 0);
    QCOMPARE(proxyTitles(proxy.data()), proxyTitles(source.data()));
    QCOMPARE(list.rowCountInGroup(-1), source->rowCount());
    QCOMPARE(held.data().toString(), QStringLiteral("s20"));
    QCOMPARE(proxy->mapToSource(held).data().toString(), QStringLiteral("s20"));

    // Filtered, rows still come at scattered places and only the matching ones show.
    proxy->setFilterExpression(QStringLiteral("s2"));
    QCOMPARE(held.data().toString(), QStringLiteral("s20"));
    for (int i = 0; i < 20; ++i) {
        const int at = random.bounded(source->rowCount() + 1);
        SongModels::insert(source.data(), at,
                           { QString::fromLatin1(i % 2 ? "s2x%1" : "m%1").arg(i), "", "", "",
                             300 + i });
    }
    QStringList expected;
    for (const QString& title : proxyTitles(source.data())) {
        if (title.startsWith(QLatin1String("s2")))
            expected.append(title);
    }
    QCOMPARE(proxyTitles(proxy.data()), expected);
    QCOMPARE(list.rowCountInGroup(-1), expected.size());
    QCOMPARE(held.data().toString(), QStringLiteral("s20"));
    QCOMPARE(proxy->mapFromSource(source->index(0, 1)).isValid(),
             source->index(0, 1).data().toString().startsWith(QLatin1String("s2")));

    // Back to every row: the held row is where its song is.
    proxy->setFilterExpression(QString());
    QCOMPARE(proxyTitles(proxy.data()), proxyTitles(source.data()));
    QCOMPARE(held.data().toString(), QStringLiteral("s20"));
    QCOMPARE(proxy->mapToSource(held).row(),
             proxyTitles(source.data()).indexOf(QStringLiteral("s20")));

    // A source that goes leaves an empty proxy, not one that reads freed rows.
    source.reset();
    QCOMPARE(proxy->rowCount(), 0);
    QVERIFY(!held.isValid());
}

PARLOVANCE_TEST_MAIN(TestModels)

#include "tst_models.moc"
