// The lists' collation and the store's order come from one place. A user whose message language
// is not the language the C library collates by (here LANG names Swedish, which is not set up
// for collating on a machine without its locale, so the C library collates by "C") has the
// lists grouped and sorted by the same collation the store orders its lists by.

#include "mafwstorecollator.h"
#include "mcollator.h"
#include "mlocale.h"
#include "testenvironment.h"

#include <QtTest>

#include <algorithm>
#include <clocale>

class TestCollationSource : public QObject
{
    Q_OBJECT

private slots:
    void theListsCollateAsTheStoreOrders()
    {
        const char* collate = std::setlocale(LC_COLLATE, nullptr);
        QVERIFY(collate);
        QStringList names { QStringLiteral("Zebra"),  QStringLiteral("Äpple"),
                            QStringLiteral("Öl"),     QStringLiteral("Banan"),
                            QStringLiteral("Ævintýri"), QStringLiteral("After Hours"),
                            QStringLiteral("Apogee"), QStringLiteral("Åsa"),
                            QStringLiteral("Йод"),    QStringLiteral("Іван") };
        QStringList byStore = names;
        const MafwStoreCollator store;
        std::stable_sort(byStore.begin(), byStore.end(),
                         [&](const QString& a, const QString& b) { return store.compare(a, b) < 0; });
        QStringList byLists = names;
        const MCollator lists = MLocale().collator();
        std::stable_sort(byLists.begin(), byLists.end(),
                         [&](const QString& a, const QString& b) { return lists(a, b); });
        QCOMPARE(byLists, byStore);
    }
};

int main(int argc, char** argv)
{
    // The message language Swedish, and nothing that names the collation apart: the C library
    // takes LANG for LC_COLLATE, and falls back to "C" where Swedish is not set up.
    qunsetenv("LC_ALL");
    qunsetenv("LC_COLLATE");
    qunsetenv("LC_MESSAGES");
    qputenv("LANG", "sv_SE.UTF-8");
    TestEnvironment::prepare();
    QCoreApplication app(argc, argv);
    TestCollationSource tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return TestEnvironment::exec(&tc, argc, argv);
}

#include "tst_collationsource.moc"
