#include "testenvironment.h"

#include "mcharsetdetector.h"
#include "mcollator.h"
#include "mgconfitem.h"
#include "mlocale.h"

#include <QDateTime>
#include <QSettings>
#include <QSignalSpy>
#include <QTextCodec>

#include <atomic>
#include <thread>
#include <vector>

namespace {
const QString CollateKey = QStringLiteral("/meegotouch/i18n/lc_collate");
}

class TestLocale : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    // First: a default made from a name (setDefault below) collates by that name.
    void defaultCollationFollowsTheSetting();
    void indexBucketsFollowTheLocale();
    void indexBucketsOfOtherScriptsAndDigits();
    void indexBucketsWithTheCallersLetters();
    void indexBucketsKeepTheCollationsOrder();
    void collatorStrengthAndOrder();
    void configurationItemsShareChangesAndPersist();
    void detectorTellsUtf8FromCp1251();
    void detectorErrorLastsUntilNewText();
    void detectorReadsShortLegacyTextsInASetItConverts_data();
    void detectorReadsShortLegacyTextsInASetItConverts();
    void translationsFromCatalogs();
    void numbersDatesNamesAndScripts();
    void directionForTextOnWorkerThreads();
};

void TestLocale::cleanup()
{
    MGConfItem(CollateKey).unset();
}

void TestLocale::indexBucketsFollowTheLocale()
{
    const MLocale english(QStringLiteral("en_GB"));
    MCollator primary = english.collator();
    primary.setStrength(MLocale::CollatorStrengthPrimary);
    const QStringList letters = english.exemplarCharactersIndex();
    QCOMPARE(letters.size(), 26);
    QCOMPARE(letters.first(), QStringLiteral("A"));
    QCOMPARE(letters.last(), QStringLiteral("Z"));

    QCOMPARE(english.indexBucket(QStringLiteral("abba"), letters, primary), QStringLiteral("A"));
    QCOMPARE(english.indexBucket(QStringLiteral("ABBA"), letters, primary), QStringLiteral("A"));
    QCOMPARE(english.indexBucket(QStringLiteral("Bee"), letters, primary), QStringLiteral("B"));
    QCOMPARE(english.indexBucket(QString::fromUtf8("Émile"), letters, primary),
             QStringLiteral("E"));
    QCOMPARE(english.indexBucket(QString(), letters, primary), QString());
    // A letter English has no index letter for files under itself, not under the letter it
    // sorts after; one it folds into a letter files under that letter.
    QCOMPARE(english.indexBucket(QString::fromUtf8("Þögn í nótt"), letters, primary),
             QString::fromUtf8("Þ"));
    QCOMPARE(english.indexBucket(QString::fromUtf8("þögn"), letters, primary),
             QString::fromUtf8("Þ"));
    QCOMPARE(english.indexBucket(QStringLiteral("Zebra"), letters, primary), QStringLiteral("Z"));
    QCOMPARE(english.indexBucket(QString::fromUtf8("Øresund"), letters, primary),
             QStringLiteral("O"));

    // Swedish files Å as a letter of its own after Z; English files it under A.
    const MLocale swedish(QStringLiteral("sv_SE"));
    const QStringList svLetters = swedish.exemplarCharactersIndex();
    QVERIFY(svLetters.contains(QString::fromUtf8("Å")));
    QCOMPARE(swedish.indexBucket(QString::fromUtf8("Ångström"), svLetters, swedish.collator()),
             QString::fromUtf8("Å"));
    QCOMPARE(english.indexBucket(QString::fromUtf8("Ångström"), letters, primary),
             QStringLiteral("A"));

    // The index of a Russian locale has Cyrillic letters.
    const MLocale russian(QStringLiteral("ru_RU"));
    QCOMPARE(russian.indexBucket(QString::fromUtf8("кино"), russian.exemplarCharactersIndex(),
                                 russian.collator()),
             QString::fromUtf8("К"));
}

void TestLocale::indexBucketsOfOtherScriptsAndDigits()
{
    const MLocale english(QStringLiteral("en_GB"));
    const QStringList letters = english.exemplarCharactersIndex();
    const MCollator coll = english.collator();
    // Not "Z": text past the last letter is of another script and files under its own letter.
    QCOMPARE(english.indexBucket(QString::fromUtf8("кино"), letters, coll), QString::fromUtf8("К"));
    QCOMPARE(english.indexBucket(QString::fromUtf8("Ελλάδα"), letters, coll),
             QString::fromUtf8("Ε"));
    QCOMPARE(english.indexBucket(QString::fromUtf8("東京"), letters, coll),
             QString::fromUtf8("東"));
    QCOMPARE(english.indexBucket(QStringLiteral("1999"), letters, coll), QStringLiteral("#"));
    QCOMPARE(english.indexBucket(QStringLiteral("(What's the Story)"), letters, coll),
             QStringLiteral("#"));
}

void TestLocale::indexBucketsWithTheCallersLetters()
{
    const MLocale english(QStringLiteral("en_GB"));
    MCollator coll = english.collator();
    coll.setStrength(MLocale::CollatorStrengthPrimary);
    const QStringList letters = { QStringLiteral("A"), QStringLiteral("M") };
    QCOMPARE(english.indexBucket(QStringLiteral("zoo"), letters, coll), QStringLiteral("M"));
    QCOMPARE(english.indexBucket(QStringLiteral("bee"), letters, coll), QStringLiteral("A"));
    QCOMPARE(english.indexBucket(QStringLiteral("mango"), letters, coll), QStringLiteral("M"));
    QCOMPARE(english.indexBucket(QString::fromUtf8("кино"), letters, coll), QString::fromUtf8("К"));
    QCOMPARE(english.indexBucket(QStringLiteral("42"), letters, coll), QStringLiteral("#"));
}

// A list grouped under the index letters shows, group after group, the texts in the order the
// collation sorts them (the order of the library store and of a queue made from the list) only
// if every letter's texts lie together in that order, and the letters come in it too.
void TestLocale::indexBucketsKeepTheCollationsOrder()
{
    const MLocale english(QStringLiteral("en_GB"));
    MCollator primary = english.collator();
    primary.setStrength(MLocale::CollatorStrengthPrimary);
    const QStringList letters = english.exemplarCharactersIndex();
    const auto bucket = [&](const char* text) {
        return english.indexBucket(QString::fromUtf8(text), letters, primary);
    };
    // Read "AEvintyri", "OEuvre", "IJs": under the letter they begin with.
    QCOMPARE(bucket("Ævintýri"), QStringLiteral("A"));
    QCOMPARE(bucket("Œuvre"), QStringLiteral("O"));
    QCOMPARE(bucket("Ĳs"), QStringLiteral("I"));
    // What the collation passes over at the start: a right-to-left mark, a byte-order mark.
    QCOMPARE(bucket("\u200fHello"), QStringLiteral("H"));
    QCOMPARE(bucket("\ufeffHello"), QStringLiteral("H"));
    // Й is a letter of its own after І; Ґ and Г, か and カ are one letter to the collation.
    QCOMPARE(bucket("Йога"), QString::fromUtf8("Й"));
    QCOMPARE(bucket("И\u0306ога"), QString::fromUtf8("Й"));
    QCOMPARE(bucket("Іван"), QString::fromUtf8("І"));
    QCOMPARE(bucket("Ґанок"), bucket("Гора"));
    QCOMPARE(bucket("カメラ"), bucket("かな"));
    // A Thai vowel written before its consonant is read after it.
    QCOMPARE(bucket("เกม"), QString::fromUtf8("ก"));
    QCOMPARE(bucket("กิน"), QString::fromUtf8("ก"));

    const QStringList texts
        = QString::fromUtf8(
              "A Very Long Title|Ævintýri|After Hours|Apogee|Azure|Bee|Þögn|Íslenska|Ice|Island|"
              "Óskar|Oak|Œuvre|Oeil|Ĳs|Ijs|Zebra|Кино|Йога|Иван|Іван|Ёлка|Елена|Гора|Ґанок|"
              "سلام|أحمد|ﺃﺣﻤﺪ|東京|東西|京都|かな|カメラ|かわ|ｶﾒﾗ|เกม|กิน|กา|กข|1999|(Intro)|"
              "\u200fHello|Hello|\u200f\u0634\u0645\u0633|Δέλτα|Έλα|ʻOkina|Łódź|Lzzz")
              .split(QLatin1Char('|'));
    QStringList sorted = texts;
    const MCollator collator = english.collator();
    std::stable_sort(sorted.begin(), sorted.end(), collator);
    QStringList seen;
    for (const QString& text : qAsConst(sorted)) {
        const QString letter = english.indexBucket(text, letters, primary);
        if (!seen.isEmpty() && seen.last() == letter)
            continue;
        QVERIFY2(!seen.contains(letter),
                 qPrintable(QStringLiteral("%1 under %2 again, after %3")
                                .arg(text, letter, seen.join(QLatin1Char(' ')))));
        if (!seen.isEmpty())
            QVERIFY2(collator(seen.last(), letter),
                     qPrintable(QStringLiteral("%1 before %2").arg(seen.last(), letter)));
        seen.append(letter);
    }
}

void TestLocale::collatorStrengthAndOrder()
{
    const MLocale english(QStringLiteral("en_GB"));
    MCollator primary(english);
    primary.setStrength(MLocale::CollatorStrengthPrimary);
    QCOMPARE(primary.strength(), MLocale::CollatorStrengthPrimary);
    QVERIFY(!primary(QStringLiteral("a"), QStringLiteral("A")));
    QVERIFY(!primary(QStringLiteral("A"), QStringLiteral("a")));
    QVERIFY(!primary(QString::fromUtf8("é"), QStringLiteral("e")));

    // The copy made before setStrength() keeps the locale's default strength.
    const MCollator tertiary = english.collator();
    QVERIFY(tertiary(QStringLiteral("a"), QStringLiteral("A"))
            != tertiary(QStringLiteral("A"), QStringLiteral("a")));
    QVERIFY(tertiary(QString::fromUtf8("Émile"), QStringLiteral("Fred")));
    QVERIFY(tertiary(QStringLiteral("apple"), QStringLiteral("Banana")));
    QVERIFY(!tertiary(QStringLiteral("Banana"), QStringLiteral("apple")));

    QStringList names = { QStringLiteral("zebra"), QStringLiteral("Émile"), QStringLiteral("apple"),
                          QStringLiteral("Eve") };
    std::sort(names.begin(), names.end(), tertiary);
    QCOMPARE(names, QStringList({ QStringLiteral("apple"), QStringLiteral("Émile"),
                                  QStringLiteral("Eve"), QStringLiteral("zebra") }));
}

void TestLocale::defaultCollationFollowsTheSetting()
{
    const QString o = QString::fromUtf8("Ö");
    MGConfItem(CollateKey).set(QStringLiteral("en_GB"));
    QCOMPARE(MCollator::compare(o, QStringLiteral("Z")), MLocale::LessThan);
    QCOMPARE(MCollator::compare(QStringLiteral("b"), QStringLiteral("a")), MLocale::GreaterThan);
    QCOMPARE(MCollator::compare(QStringLiteral("same"), QStringLiteral("same")), MLocale::Equal);

    MGConfItem(CollateKey).set(QStringLiteral("sv_SE"));
    QCOMPARE(MCollator::compare(o, QStringLiteral("Z")), MLocale::GreaterThan);
    QVERIFY(!MLocale().collator()(o, QStringLiteral("Z")));
    QVERIFY(MLocale().exemplarCharactersIndex().contains(o));
    // A named locale collates by its own name whatever the setting says.
    QVERIFY(MLocale(QStringLiteral("de_DE")).collator()(o, QStringLiteral("Z")));
}

void TestLocale::configurationItemsShareChangesAndPersist()
{
    MGConfItem first(CollateKey);
    MGConfItem second(QStringLiteral("meegotouch/i18n/lc_collate"));
    QCOMPARE(second.key(), CollateKey);
    QVERIFY(!first.value().toString().isEmpty()); // the built-in default

    QSignalSpy firstSpy(&first, SIGNAL(valueChanged()));
    QSignalSpy secondSpy(&second, SIGNAL(valueChanged()));
    first.set(QStringLiteral("fi_FI"));
    QCOMPARE(firstSpy.count(), 1);
    QCOMPARE(secondSpy.count(), 1);
    QCOMPARE(second.value().toString(), QStringLiteral("fi_FI"));

    first.set(QStringLiteral("fi_FI")); // no change, no signal
    QCOMPARE(secondSpy.count(), 1);

    QSettings file(MGConfItem::storePath(), QSettings::IniFormat);
    QCOMPARE(file.value(QStringLiteral("meegotouch/i18n/lc_collate")).toString(),
             QStringLiteral("fi_FI"));

    MGConfItem other(QStringLiteral("/parlovance/test/other"));
    QVERIFY(!other.value().isValid());
    QCOMPARE(other.value(42).toInt(), 42);
    QCOMPARE(secondSpy.count(), 1); // another key is another item

    second.unset();
    QCOMPARE(firstSpy.count(), 2);
    QCOMPARE(first.value().toString(), MLocale().name());
}

void TestLocale::detectorTellsUtf8FromCp1251()
{
    const QString russian = QString::fromUtf8(
        "Группа крови на рукаве, мой порядковый номер на рукаве. Пожелай мне удачи в бою, "
        "пожелай мне не остаться в этой траве. Звезда по имени Солнце.");
    const QByteArray utf8 = russian.toUtf8();
    QTextCodec* cp1251 = QTextCodec::codecForName("windows-1251");
    QVERIFY(cp1251);
    const QByteArray legacy = cp1251->fromUnicode(russian);

    MCharsetDetector detector;
    detector.setText(utf8);
    MCharsetMatch match = detector.detect();
    QVERIFY(!detector.hasError());
    QCOMPARE(match.name(), QStringLiteral("UTF-8"));
    QCOMPARE(detector.text(match), russian);

    detector.setText(legacy);
    detector.setDeclaredLocale(QStringLiteral("ru"));
    match = detector.detect();
    QCOMPARE(match.name(), QStringLiteral("windows-1251"));
    QCOMPARE(match.language(), QStringLiteral("ru"));
    QVERIFY(match.confidence() > 0);
    QCOMPARE(detector.text(match), russian);
    QVERIFY(!detector.hasError());
}

void TestLocale::detectorReadsShortLegacyTextsInASetItConverts_data()
{
    QTest::addColumn<QByteArray>("codec");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::newRow("ASCII") << QByteArray() << QStringLiteral("Clip T Artie Clips")
                           << QStringLiteral("UTF-8");
    QTest::newRow("CP1251") << QByteArray("windows-1251") << QStringLiteral("Подмосковные вечера")
                            << QStringLiteral("windows-1251");
    QTest::newRow("KOI8-R") << QByteArray("KOI8-R") << QStringLiteral("Подмосковные вечера")
                            << QStringLiteral("KOI8-R");
    QTest::newRow("CP1252") << QByteArray("windows-1252") << QStringLiteral("Café Crème Déjà vu")
                            << QStringLiteral("windows-1252");
    QTest::newRow("Shift-JIS") << QByteArray("Shift_JIS") << QStringLiteral("夜に駆ける")
                               << QStringLiteral("Shift_JIS");
    QTest::newRow("GBK") << QByteArray("GBK") << QStringLiteral("月亮代表我的心 邓丽君")
                         << QStringLiteral("GBK");
    QTest::newRow("EUC-KR") << QByteArray("EUC-KR") << QStringLiteral("아리랑")
                            << QStringLiteral("EUC-KR");
}

void TestLocale::detectorReadsShortLegacyTextsInASetItConverts()
{
    QFETCH(QByteArray, codec);
    QFETCH(QString, text);
    QFETCH(QString, name);
    const QByteArray bytes = codec.isEmpty()
                                 ? text.toUtf8()
                                 : QTextCodec::codecForName(codec.constData())->fromUnicode(text);
    // A title of a few words, repeated as tags are before detection.
    MCharsetDetector detector(bytes + ' ' + bytes + ' ' + bytes + ' ' + bytes);
    const MCharsetMatch match = detector.detect();
    QVERIFY(!detector.hasError());
    QCOMPARE(match.name(), name);
    detector.setText(bytes);
    QCOMPARE(detector.text(match), text);
    QVERIFY(!detector.hasError());
}

void TestLocale::detectorErrorLastsUntilNewText()
{
    MCharsetDetector detector;
    detector.setText(QByteArray());
    const MCharsetMatch none = detector.detect();
    QVERIFY(!none.isValid());
    QVERIFY(detector.hasError());
    QCOMPARE(detector.text(none), QString());
    QVERIFY(detector.hasError());

    detector.setText("plain words");
    QVERIFY(!detector.hasError());
    QCOMPARE(detector.text(MCharsetMatch(QStringLiteral("no-such-charset"), QString(), 100)),
             QString());
    QVERIFY(detector.hasError());
}

void TestLocale::translationsFromCatalogs()
{
    const char* const id = "tst_locale_greeting";
    QCOMPARE(qtTrId(id), QString::fromLatin1(id));

    MLocale locale(QStringLiteral("en_GB"));
    MLocale::addTranslationPath(QStringLiteral(TEST_CATALOG_DIR));
    MLocale::addTranslationPath(QStringLiteral("/nonexistent/l10n/"));
    locale.installTrCatalog(QStringLiteral("testcatalog"));
    // The player's own catalog comes from the build's catalog folder.
    locale.installTrCatalog(QStringLiteral("music"));
    locale.installTrCatalog(QStringLiteral("no_such_catalog"));
    MLocale::setDefault(locale);

    QCOMPARE(qtTrId(id), QStringLiteral("Hello from the test catalog"));
    QCOMPARE(qtTrId("qtn_musi_various_artist"), QStringLiteral("Various artists"));
    QCOMPARE(qtTrId("qtn_no_such_id"), QStringLiteral("qtn_no_such_id"));
    QCOMPARE(QLocale().name(), QStringLiteral("en_GB"));
    QCOMPARE(MLocale().name(), QStringLiteral("en_GB"));

    // A new default without catalogs takes the old ones away.
    MLocale::setDefault(MLocale(QStringLiteral("de_DE")));
    QCOMPARE(qtTrId(id), QString::fromLatin1(id));
    QCOMPARE(QLocale().name(), QStringLiteral("de_DE"));
    QCOMPARE(MLocale().language(), QStringLiteral("de"));
}

void TestLocale::numbersDatesNamesAndScripts()
{
    const MLocale english(QStringLiteral("en_GB"));
    QCOMPARE(english.formatNumber(1234567), QStringLiteral("1,234,567"));
    QCOMPARE(MLocale(QStringLiteral("de_DE")).formatNumber(1234567), QStringLiteral("1.234.567"));
    const QString arabic = MLocale(QStringLiteral("ar_EG")).formatNumber(42);
    QCOMPARE(arabic, QString::fromUtf8("٤٢"));

    const QDateTime when(QDate(2011, 12, 24), QTime(13, 45));
    QCOMPARE(english.formatDateTime(when, QStringLiteral("%Y")), QStringLiteral("2011"));
    QCOMPARE(english.formatDateTime(when, QStringLiteral("%d.%m.'%y %H:%M %%")),
             QStringLiteral("24.12.'11 13:45 %"));
    QCOMPARE(english.formatDateTime(QDateTime(), QStringLiteral("%Y")), QString());
    const QString shortText = english.formatDateTime(when, MLocale::DateShort, MLocale::TimeShort,
                                                     MLocale::DefaultCalendar);
    QVERIFY2(shortText.contains(QStringLiteral("24/12/2011"))
                 && shortText.contains(QStringLiteral("13:45")),
             qPrintable(shortText));

    QCOMPARE(english.name(), QStringLiteral("en_GB"));
    QCOMPARE(english.language(), QStringLiteral("en"));
    QCOMPARE(MLocale(QStringLiteral("zh")).name(), QStringLiteral("zh"));
    QCOMPARE(english.localeScripts(), QStringList(QStringLiteral("Latn")));
    QCOMPARE(MLocale(QStringLiteral("ar")).localeScripts().value(0), QStringLiteral("Arab"));
    QCOMPARE(MLocale(QStringLiteral("fa")).language(), QStringLiteral("fa"));
}

void TestLocale::directionForTextOnWorkerThreads()
{
    QCOMPARE(MLocale::directionForText(QString::fromUtf8("שלום")), Qt::RightToLeft);
    QCOMPARE(MLocale::directionForText(QString::fromUtf8("123 مرحبا abc")), Qt::RightToLeft);
    QCOMPARE(MLocale::directionForText(QStringLiteral("Abba 1974")), Qt::LeftToRight);
    QCOMPARE(MLocale::directionForText(QStringLiteral("1974 ...")), Qt::LeftToRight);

    std::atomic<int> wrong(0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&wrong]() {
            for (int i = 0; i < 2000; ++i) {
                if (MLocale::directionForText(QString::fromUtf8("عربي %1").arg(i))
                        != Qt::RightToLeft
                    || MLocale::directionForText(QStringLiteral("Latin %1").arg(i))
                           != Qt::LeftToRight)
                    ++wrong;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    QCOMPARE(wrong.load(), 0);
}

PARLOVANCE_TEST_MAIN_CORE(TestLocale)

#include "tst_locale.moc"
