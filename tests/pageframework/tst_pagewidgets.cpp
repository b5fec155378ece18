// The small widgets of the pages: the live-filter field, the highlighter of filter matches,
// the song rows and the all-songs cell creator, the application menu's action count, the
// updating-library notice and the check box row.

#include "pageframework/allsongscellcreator.h"
#include "testcatalogs.h"
#include "pageframework/applicationmenuwidget.h"
#include "pageframework/checkboxwidget.h"
#include "pageframework/indexingprogresswidget.h"
#include "touchdriver.h"
#include "common/constants.h"
#include "pageframework/filterwidget.h"
#include "pageframework/highlighter.h"
#include "data/listmodel.h"
#include "mbutton.h"
#include "mimagewidget.h"
#include "minputmethodstate.h"
#include "mlabel.h"
#include "mlocale.h"
#include "mpalette.h"
#include "mtextedit.h"
#include "mtheme.h"
#include "mwidgetrecycler.h"
#include "pageframework/quintaveilpage.h"
#include "pageframework/songcollectionitem.h"
#include "pageframework/songitem.h"
#include "testenvironment.h"
#include "zeltime.h"

#include <QAction>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTranslator>

namespace {

const QStringList SongHeaders { "songUri",   "songTitle", "artistName", "albumName", "songLength",
                                "favorited", "genre",     "year",       "songId" };

// Gives the unknown texts length variants, as some languages' catalogs do.
class VariantTranslator : public QTranslator
{
public:
    QString translate(const char* context, const char* source, const char* disambiguation,
                      int n) const override
    {
        Q_UNUSED(context)
        Q_UNUSED(disambiguation)
        Q_UNUSED(n)
        if (qstrcmp(source, "qtn_musi_unknown_artist") == 0)
            return QStringLiteral("Unknown artist\x9c") + QStringLiteral("Unknown");
        if (qstrcmp(source, "qtn_musi_unknown_album") == 0)
            return QStringLiteral("Unknown album\x9c") + QStringLiteral("Album?");
        return QString();
    }
};

QString openTag()
{
    const QColor c = MTheme::palette().firstAccentColor();
    return QStringLiteral("<u><font color=#%1>").arg(c.rgb() & 0xffffff, 6, 16, QLatin1Char('0'));
}

QString mark(const QString& text)
{
    return openTag() + text + QStringLiteral("</font></u>");
}

} // namespace

class TestPageWidgets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void filterFieldStates();
    void filterFieldClearAndKeyboard();
    void highlighterMarksMatches_data();
    void highlighterMarksMatches();
    void songRowLayouts();
    void allSongsRows();
    void allSongsRowsWithLengthVariants();
    void applicationMenuTellsItsActionCount();
    void indexingNoticeTakesEveryPress();
    void checkboxRowTogglesAndSettles();

private:
    QSharedPointer<QStandardItemModel> songModel(const QList<QStringList>& rows) const;
    QGraphicsScene scene;
};

void TestPageWidgets::initTestCase()
{
    installTestCatalogs();
}

void TestPageWidgets::filterFieldStates()
{
    auto* field = new FilterWidget(nullptr);
    scene.addItem(field);
    QSignalSpy changed(field, SIGNAL(textChanged()));

    // New: the prompt and the magnifier, no clear button.
    QCOMPARE(field->textEdit()->prompt(), QStringLiteral("Search"));
    QVERIFY(field->magnifier()->isVisible());
    QVERIFY(!field->clearButton()->isVisible());
    QCOMPARE(field->magnifier()->imageId(), QStringLiteral("icon-m-common-search"));

    field->setText(QStringLiteral("ab"));
    QCOMPARE(changed.count(), 1);
    QVERIFY(!field->magnifier()->isVisible());
    QVERIFY(field->clearButton()->isVisible());

    // At most 50 characters.
    field->setText(QString(80, QLatin1Char('x')));
    QCOMPARE(field->text().size(), 50);

    field->setPromptText(QStringLiteral("Find a song"));
    QCOMPARE(field->textEdit()->prompt(), QStringLiteral("Find a song"));
    field->setPromptText(QString());
    QCOMPARE(field->textEdit()->prompt(), QStringLiteral("Search"));
    field->clearPrompt();
    QVERIFY(field->textEdit()->prompt().isEmpty());

    field->setText(QString());
    QVERIFY(field->magnifier()->isVisible());
    QVERIFY(!field->clearButton()->isVisible());
    delete field;
}

void TestPageWidgets::filterFieldClearAndKeyboard()
{
    QGraphicsView view(&scene);
    view.show();
    QVERIFY(QTest::qWaitForWindowActive(&view));
    auto* field = new FilterWidget(nullptr);
    scene.addItem(field);
    field->setText(QStringLiteral("rock"));
    field->textEdit()->setFocus();
    QVERIFY(field->textEdit()->hasFocus());

    QSignalSpy cleared(field, SIGNAL(clearClicked()));
    QSignalSpy changed(field, SIGNAL(textChanged()));
    field->clearButton()->click();
    QCOMPARE(cleared.count(), 1);
    QCOMPARE(changed.count(), 1);
    QVERIFY(field->text().isEmpty());
    QVERIFY(field->textEdit()->hasFocus()); // the keyboard stays open

    // The keyboard's action key says "done" and closes the keyboard.
    const int toolbar = field->textEdit()->attachedToolbarId();
    QVERIFY(toolbar > 0);
    MInputMethodState* state = MInputMethodState::instance();
    QCOMPARE(state->extendedAttribute(toolbar, "/keys", "actionKey", "label").toString(),
             qtTrId("qtn_comm_command_done"));
    QCOMPARE(state->extendedAttribute(toolbar, "/keys", "actionKey", "highlighted").toBool(), true);
    QSignalSpy lost(field, SIGNAL(focusLost(Qt::FocusReason)));
    QTest::keyClick(&view, Qt::Key_Return);
    QCOMPARE(lost.count(), 1);
    QVERIFY(!field->textEdit()->hasFocus());
    delete field;
}

void TestPageWidgets::highlighterMarksMatches_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no filter") << "Rock & Roll <live>"
                               << ""
                               << "Rock & Roll <live>";
    QTest::newRow("start and middle of words")
        << "Rock of the rocket"
        << "ro" << mark("Ro") + "ck of the " + mark("ro") + "cket";
    QTest::newRow("leading spaces dropped") << "Blue Moon"
                                            << "  mo"
                                            << "Blue " + mark("Mo") + "on";
    QTest::newRow("phrase spans words") << "one two one two"
                                        << "e tw"
                                        << "on" + mark("e tw") + "o one two";
    QTest::newRow("trailing space is a phrase") << "Jade Jadeite"
                                                << "jade " << mark("Jade ") + "Jadeite";
    QTest::newRow("first match of a word only") << "banana"
                                                << "an"
                                                << "b" + mark("an") + "ana";
    QTest::newRow("spacing kept") << "a  b   ab"
                                  << "b"
                                  << "a  " + mark("b") + "   a" + mark("b");
    // The row's own text is escaped, so markup in a title shows as written.
    QTest::newRow("markup in the text")
        << "Rock & Roll <live>"
        << "ro" << mark("Ro") + "ck &amp; " + mark("Ro") + "ll &lt;live&gt;";
    QTest::newRow("markup in the filter") << "a<b> b"
                                          << "<b"
                                          << "a" + mark("&lt;b") + "&gt; b";
}

void TestPageWidgets::highlighterMarksMatches()
{
    QFETCH(QString, text);
    QFETCH(QString, filter);
    QFETCH(QString, expected);
    Highlighter highlighter(nullptr);
    QCOMPARE(highlighter.highlight(text, filter), expected);
    // Six hexadecimal digits whatever the accent's components.
    QVERIFY(QRegularExpression("^<u><font color=#[0-9a-f]{6}>$").match(openTag()).hasMatch());
}

void TestPageWidgets::songRowLayouts()
{
    SongItem single;
    QCOMPARE(single.styleName(), QStringLiteral("CommonSmallPanelInverted"));
    QCOMPARE(single.titleLabel()->styleName(), QStringLiteral("CommonSingleTitleInverted"));
    QCOMPARE(single.imageWidget()->styleName(), QStringLiteral("CommonSubIcon"));
    QCOMPARE(single.infoLabel()->styleName(), QStringLiteral("CommonItemInfoInverted"));
    QVERIFY(single.titleLabel()->textElide());
    QVERIFY(!single.infoLabel()->textElide());
    // The one-line row has no second line until one is asked for, and then it stays unplaced.
    const int children = single.childItems().size();
    QVERIFY(single.subtitleLabel());
    QCOMPARE(single.childItems().size(), children + 1);

    SongCollectionItem two;
    QCOMPARE(two.styleName(), QStringLiteral("CommonPanelInverted"));
    QCOMPARE(two.titleLabel()->styleName(), QStringLiteral("CommonTitleInverted"));
    QCOMPARE(two.subtitleLabel()->styleName(), QStringLiteral("CommonSubTitleInverted"));
    two.setTitle(QStringLiteral("Title"));
    two.setSubtitle(QStringLiteral("Artist | Album"));
    two.setInfo(QStringLiteral("3:05"));
    two.resize(480, two.effectiveSizeHint(Qt::PreferredSize).height());
    QCoreApplication::processEvents();
    // Title above the subtitle, the length at the right of the second line.
    QVERIFY(two.titleLabel()->geometry().bottom() <= two.subtitleLabel()->geometry().top() + 1);
    QVERIFY(two.infoLabel()->geometry().left() >= two.subtitleLabel()->geometry().right() - 1);
    QVERIFY(two.effectiveSizeHint(Qt::PreferredSize).height() > 0);
}

QSharedPointer<QStandardItemModel> TestPageWidgets::songModel(const QList<QStringList>& rows) const
{
    auto model = QSharedPointer<QStandardItemModel>::create(rows.size(), SongHeaders.size());
    model->setHorizontalHeaderLabels(SongHeaders);
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c)
            model->setData(model->index(r, c), rows[r][c]);
    }
    return model;
}

void TestPageWidgets::allSongsRows()
{
    const auto source = songModel({
        { "urn:1", "Rock & Roll <live>", "Kim", "Blue", "185", "true", "", "", "11" },
        { "urn:2", "", "Lee", "Green", "60", "true", "", "", "12" },
        { "urn:3", "Azure", "", "", "5", "false", "", "", "13" },
    });
    ListModel list(false, nullptr);
    list.setSourceModel(source);
    AllSongsCellCreator creator(SongColumns(), nullptr);
    QCOMPARE(creator.cellObjectName(), QStringLiteral("CommonPanelInverted"));
    QVERIFY(creator.cellSize().height() > 0);

    MWidgetRecycler recycler;
    auto* cell = qobject_cast<SongCollectionListItem*>(
        creator.createCell(list.index(0, 0), recycler));
    QVERIFY(cell);
    QCOMPARE(cell->titleLabel()->text(), QStringLiteral("Rock & Roll <live>"));
    QCOMPARE(cell->titleLabel()->textFormat(), Qt::PlainText);
    QCOMPARE(cell->subtitleLabel()->text(), QStringLiteral("Kim | Blue"));
    QCOMPARE(cell->infoLabel()->text(), ZelTime::timeString(185, false));
    QCOMPARE(cell->imageWidget()->imageId(), Constants::IconToolbarFavoriteMarkWhite);
    QCOMPARE(cell->titleLabel()->styleName(), QStringLiteral("CommonTitleInverted"));
    QCOMPARE(cell->infoLabel()->styleName(), QStringLiteral("CommonSubTitleInverted"));

    // A filter marks title and subtitle, never the length.
    creator.setFilterText(QStringLiteral("ro"));
    creator.updateCell(list.index(0, 0), cell);
    QCOMPARE(cell->titleLabel()->textFormat(), Qt::RichText);
    QCOMPARE(cell->titleLabel()->text(), mark("Ro") + "ck &amp; " + mark("Ro") + "ll &lt;live&gt;");
    QCOMPARE(cell->infoLabel()->text(), ZelTime::timeString(185, false));
    creator.setFilterText(QString());

    // The same cell reused: no title means no subtitle, length or mark.
    creator.updateCell(list.index(1, 0), cell);
    QVERIFY(cell->titleLabel()->text().isEmpty());
    QVERIFY(cell->subtitleLabel()->text().isEmpty());
    QVERIFY(cell->infoLabel()->text().isEmpty());
    QVERIFY(cell->imageWidget()->imageId().isEmpty());
    QVERIFY(!cell->imageWidget()->pixmap() || cell->imageWidget()->pixmap()->isNull());

    // Missing artist and album read as the unknown texts.
    creator.updateCell(list.index(2, 0), cell);
    QCOMPARE(cell->subtitleLabel()->text(),
             qtTrId("qtn_musi_unknown_artist") + " | " + qtTrId("qtn_musi_unknown_album"));

    // A cell of another class or an invalid index is left alone.
    MLabel other;
    creator.updateCell(list.index(0, 0), &other);
    creator.updateCell(QModelIndex(), cell);
    QCOMPARE(cell->titleLabel()->text(), QStringLiteral("Azure"));

    // The title is read from the column the map names.
    SongColumns blindColumns;
    blindColumns.title = 0;
    AllSongsCellCreator blind(blindColumns, nullptr);
    blind.updateCell(list.index(0, 0), cell);
    QCOMPARE(cell->titleLabel()->text(), QStringLiteral("urn:1"));
    delete cell;
}

void TestPageWidgets::allSongsRowsWithLengthVariants()
{
    VariantTranslator variants;
    QCoreApplication::installTranslator(&variants);
    const auto source = songModel({
        { "urn:1", "Song", "", "", "5", "false", "", "", "1" },
        { "urn:2", QStringLiteral("Song"), QStringLiteral("Odd\x9cName"), "Blue", "5", "false", "",
          "", "2" },
    });
    ListModel list(false, nullptr);
    list.setSourceModel(source);
    AllSongsCellCreator creator(SongColumns(), nullptr);
    QCoreApplication::removeTranslator(&variants);

    SongCollectionItem cell;
    creator.updateCell(list.index(0, 0), &cell);
    QCOMPARE(cell.subtitleLabel()->text(), QStringLiteral("Unknown artist | Unknown album"));
    // A real name with the separator in it is shown whole.
    creator.updateCell(list.index(1, 0), &cell);
    QCOMPARE(cell.subtitleLabel()->text(), QStringLiteral("Odd\x9cName | Blue"));
}

void TestPageWidgets::applicationMenuTellsItsActionCount()
{
    ApplicationMenuWidget menu(QStringLiteral("menu"));
    QSignalSpy counts(&menu, SIGNAL(menuActionsChanged(int)));
    QAction a(QStringLiteral("a"), nullptr), b(QStringLiteral("b"), nullptr),
        c(QStringLiteral("c"), nullptr);
    menu.addAction(&a);
    menu.addAction(&b);
    menu.addAction(&c);
    menu.removeAction(&b);
    QList<int> seen;
    for (const QList<QVariant>& call : counts)
        seen << call.first().toInt();
    QCOMPARE(seen, QList<int>({ 1, 2, 3, 2 }));
}

void TestPageWidgets::indexingNoticeTakesEveryPress()
{
    QGraphicsScene own;
    auto* beneath = new MButton(QStringLiteral("under"));
    own.addItem(beneath);
    beneath->setGeometry(QRectF(0, 0, 480, 400));
    auto* notice = new IndexingProgressWidget(nullptr);
    own.addItem(notice);
    notice->setZValue(1);
    notice->setGeometry(QRectF(0, 0, 480, 854));
    QSignalSpy clicked(beneath, SIGNAL(clicked()));
    TouchDriver(&own).tap(QPointF(100, 100));
    QCOMPARE(clicked.count(), 0);
    notice->hide();
    TouchDriver(&own).tap(QPointF(100, 100));
    QCOMPARE(clicked.count(), 1);
}

void TestPageWidgets::checkboxRowTogglesAndSettles()
{
    QGraphicsScene own;
    auto* row = new CheckboxWidget(QStringLiteral("Shuffle"), nullptr);
    own.addItem(row);
    row->setGeometry(QRectF(0, 0, 480, 88));
    MButton* box = nullptr;
    for (QGraphicsItem* child : row->childItems()) {
        if (auto* button = dynamic_cast<MButton*>(child))
            box = button;
    }
    QVERIFY(box);
    QSignalSpy toggled(row, SIGNAL(toggled(bool)));
    // A tap anywhere on the row toggles the box, which then takes no tap for a moment and
    // shows the state last reported.
    TouchDriver(&own).tap(QPointF(40, 44));
    QCOMPARE(toggled.count(), 1);
    QCOMPARE(toggled.first().first().toBool(), true);
    QVERIFY(!box->isEnabled());
    QTRY_VERIFY(box->isEnabled());
    QVERIFY(box->isChecked());
    row->setChecked(false);
    QCOMPARE(toggled.count(), 2);
    QTRY_VERIFY(box->isEnabled());
    QVERIFY(!box->isChecked());
}

PARLOVANCE_TEST_MAIN(TestPageWidgets)
#include "tst_pagewidgets.moc"
