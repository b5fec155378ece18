#include "testenvironment.h"

#include <QFile>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QTranslator>
#include <QXmlStreamReader>

#include <memory>

// The engineering-English catalogs as the application installs them: every logical id the
// user interface asks for has a text, plural forms follow the count, and the place markers
// that callers fill in are where they expect them.
class TestCatalogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void plainTexts_data();
    void plainTexts();
    void pluralForms_data();
    void pluralForms();
    void arguments();
    void everyIdHasItsText();
    void sourcesMatchIdList();
    void unknownIdGivesId();

private:
    struct Message
    {
        QString catalog;
        QStringList forms; // one text, or the plural forms
    };

    static QString catalogOf(const QString& id);
    static QStringList markersOf(const QString& text);
    QString lookUp(const QString& catalog, const QString& id, int n = -1) const;
    bool readSource(const QString& catalog, QHash<QString, Message>* messages,
                    QString* error) const;

    const QStringList catalogs { "music", "parlovance", "common" };
    QHash<QString, std::shared_ptr<QTranslator>> translators;
    QStringList ids;
};

QString TestCatalogs::catalogOf(const QString& id)
{
    return id.startsWith("qtn_musi_") ? QStringLiteral("music") : QStringLiteral("common");
}

QStringList TestCatalogs::markersOf(const QString& text)
{
    static const QRegularExpression marker("%L?(?:n|\\d+)");
    QStringList found;
    auto it = marker.globalMatch(text);
    while (it.hasNext())
        found << it.next().captured();
    found.sort();
    return found;
}

QString TestCatalogs::lookUp(const QString& catalog, const QString& id, int n) const
{
    return translators.value(catalog)->translate(nullptr, id.toUtf8().constData(), nullptr, n);
}

void TestCatalogs::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

    const QString qmDir = TestEnvironment::binaryDir() + "/translations";
    for (const QString& name : catalogs) {
        auto translator = std::make_shared<QTranslator>();
        QVERIFY2(translator->load(name, qmDir), qPrintable(name + " not loadable from " + qmDir));
        QVERIFY(QCoreApplication::installTranslator(translator.get()));
        translators.insert(name, translator);
    }

    QFile list(TestEnvironment::sourceDir() + "/translations/ids.txt");
    QVERIFY2(list.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(list.fileName()));
    while (!list.atEnd()) {
        const QString id = QString::fromUtf8(list.readLine()).trimmed();
        if (!id.isEmpty())
            ids << id;
    }
    QVERIFY(ids.size() >= 100);
}

void TestCatalogs::cleanupTestCase()
{
    for (const auto& translator : qAsConst(translators))
        QCoreApplication::removeTranslator(translator.get());
}

void TestCatalogs::plainTexts_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("text");
    // clang-format off
    QTest::newRow("list title") << "qtn_musi_all_songs" << "All songs";
    QTest::newRow("fixed name") << "qtn_musi_unknown_artist" << "Unknown artist";
    QTest::newRow("error banner") << "qtn_musi_file_not_found" << "File not found";
    QTest::newRow("queue action") << "qtn_musi_addtoplaylist" << "Add to queue";
    QTest::newRow("automatic playlist") << "qtn_musi_playlist_mostplayed" << "Most played";
    QTest::newRow("common button") << "qtn_comm_cancel" << "Cancel";
    QTest::newRow("window title") << "qtn_comm_appname_musi" << "Music";
    // clang-format on
}

void TestCatalogs::plainTexts()
{
    QFETCH(QString, id);
    QFETCH(QString, text);
    QCOMPARE(qtTrId(id.toUtf8().constData()), text);
}

void TestCatalogs::pluralForms_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("text");
    // clang-format off
    QTest::newRow("one song") << "qtn_musi_song_number" << 1 << "1 song";
    QTest::newRow("five songs") << "qtn_musi_song_number" << 5 << "5 songs";
    QTest::newRow("no songs") << "qtn_musi_song_number" << 0 << "0 songs";
    QTest::newRow("grouped digits") << "qtn_musi_song_number" << 1500 << "1,500 songs";
    QTest::newRow("one byte") << "qtn_common_bytes" << 1 << "1 byte";
    QTest::newRow("bytes") << "qtn_common_bytes" << 1023 << "1,023 bytes";
    // clang-format on
}

void TestCatalogs::pluralForms()
{
    QFETCH(QString, id);
    QFETCH(int, n);
    QFETCH(QString, text);
    QCOMPARE(qtTrId(id.toUtf8().constData(), n), text);
}

void TestCatalogs::arguments()
{
    // Filled the way the views fill them: the count picks the form, arg() adds the rest.
    QCOMPARE(qtTrId("qtn_musi_songs_added_to_playlist", 1).arg("Road trip"),
             QString("1 song added to Road trip"));
    QCOMPARE(qtTrId("qtn_musi_songs_added_to_playlist", 12).arg("50% off"),
             QString("12 songs added to 50% off"));
    QCOMPARE(qtTrId("qtn_musi_songsadded", 1).arg(QLocale().toString(1)),
             QString("1 song added to queue"));
    QCOMPARE(qtTrId("qtn_musi_songsadded", 5).arg(QLocale().toString(5)),
             QString("5 songs added to queue"));
    QCOMPARE(qtTrId("qtn_musi_album_number").arg(3), QString("3 albums"));
    QCOMPARE(qtTrId("qtn_musi_properties_kbps").arg(128), QString("128 kbps"));
    QCOMPARE(qtTrId("qtn_musi_properties_khz").arg(44.1, 0, 'f', 1), QString("44.1 kHz"));
    QCOMPARE(qtTrId("qtn_comm_kilobytes").arg(1.0, 0, 'f', 1), QString("1.0 kB"));
    QCOMPARE(qtTrId("qtn_comm_megabytes").arg(2.5, 0, 'f', 1), QString("2.5 MB"));
    QCOMPARE(qtTrId("qtn_comm_gigabytes").arg(1024.0, 0, 'f', 1), QString("1024.0 GB"));
}

void TestCatalogs::everyIdHasItsText()
{
    QStringList missing;
    QStringList misplaced;
    for (const QString& id : qAsConst(ids)) {
        const QString text = qtTrId(id.toUtf8().constData());
        if (text.isEmpty() || text == id)
            missing << id;
        // Each id must also be found through its own catalog alone.
        if (lookUp(catalogOf(id), id).isEmpty())
            misplaced << id;
    }
    QVERIFY2(missing.isEmpty(), qPrintable("untranslated: " + missing.join(", ")));
    QVERIFY2(misplaced.isEmpty(), qPrintable("not in their catalog: " + misplaced.join(", ")));

    // The shell's own catalog repeats its titles; they must say what the shared catalogs say.
    QHash<QString, Message> own;
    QString error;
    QVERIFY2(readSource("parlovance", &own, &error), qPrintable(error));
    QVERIFY(!own.isEmpty());
    for (auto it = own.cbegin(); it != own.cend(); ++it) {
        QVERIFY2(ids.contains(it.key()), qPrintable(it.key()));
        QCOMPARE(lookUp("parlovance", it.key()), lookUp(catalogOf(it.key()), it.key()));
    }
}

bool TestCatalogs::readSource(const QString& catalog, QHash<QString, Message>* messages,
                              QString* error) const
{
    QFile file(TestEnvironment::sourceDir() + "/translations/" + catalog + ".ts");
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.fileName() + ": " + file.errorString();
        return false;
    }
    QXmlStreamReader xml(&file);
    QString id;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("message")) {
            id = xml.attributes().value("id").toString();
            if (id.isEmpty() || messages->contains(id)) {
                *error = catalog + ": empty or repeated id '" + id + "'";
                return false;
            }
            (*messages)[id].catalog = catalog;
        } else if (xml.name() == QLatin1String("translation")) {
            if (xml.attributes().hasAttribute("type")) {
                *error = catalog + ": unfinished translation of " + id;
                return false;
            }
            const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            if (!text.trimmed().isEmpty())
                (*messages)[id].forms << text;
        } else if (xml.name() == QLatin1String("numerusform")) {
            (*messages)[id].forms << xml.readElementText();
        }
    }
    if (xml.hasError()) {
        *error = catalog + ": " + xml.errorString();
        return false;
    }
    return true;
}

void TestCatalogs::sourcesMatchIdList()
{
    QHash<QString, Message> shared;
    QString error;
    QVERIFY2(readSource("music", &shared, &error), qPrintable(error));
    QVERIFY2(readSource("common", &shared, &error), qPrintable(error));

    const QSet<QString> listed(ids.cbegin(), ids.cend());
    QCOMPARE(listed.size(), ids.size());
    for (const QString& id : qAsConst(ids))
        QVERIFY2(shared.contains(id), qPrintable("no message for " + id));

    for (auto it = shared.cbegin(); it != shared.cend(); ++it) {
        const QString& id = it.key();
        const Message& message = it.value();
        QVERIFY2(listed.contains(id), qPrintable("id not in the list: " + id));
        QVERIFY2(QRegularExpression("^qtn_[a-z0-9_]+$").match(id).hasMatch(), qPrintable(id));
        QCOMPARE(message.catalog, catalogOf(id));
        QVERIFY2(!message.forms.isEmpty(), qPrintable("empty text for " + id));
        // English has two plural forms, and the forms of one message fill the same markers.
        QVERIFY2(message.forms.size() == 1 || message.forms.size() == 2, qPrintable(id));
        for (const QString& form : message.forms) {
            QVERIFY2(!form.trimmed().isEmpty(), qPrintable("empty form in " + id));
            QCOMPARE(markersOf(form), markersOf(message.forms.first()));
        }
        if (message.forms.size() == 2)
            QVERIFY2(!markersOf(message.forms.first()).isEmpty(),
                     qPrintable(id + " lacks a number"));
    }
}

void TestCatalogs::unknownIdGivesId()
{
    QCOMPARE(qtTrId("qtn_musi_no_such_text"), QString("qtn_musi_no_such_text"));
    QCOMPARE(qtTrId("qtn_comm_no_such_text", 3), QString("qtn_comm_no_such_text"));
    QCOMPARE(qtTrId("Playlist_12"), QString("Playlist_12"));
}

PARLOVANCE_TEST_MAIN_CORE(TestCatalogs)

#include "tst_catalogs.moc"
