#include "testenvironment.h"

#include "mabstractcellcreator.h"
#include "mabstractitemmodel.h"
#include "mdetailedlistitem.h"
#include "mlist.h"
#include "mpannableviewport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsScene>

#include <benchmark/benchmark.h>

namespace {

const int Rows = 50000;
const int Groups = 26;

// 50,000 songs under 26 index letters, as the all-songs page shows them.
class LetterModel : public MAbstractItemModel
{
    Q_OBJECT

public:
    LetterModel() { setGrouped(true); }
    int groupCount() const override { return Groups; }
    int rowCountInGroup(int group) const override
    {
        if (group < 0)
            return Rows;
        return Rows / Groups + (group < Rows % Groups ? 1 : 0);
    }
    QString groupTitle(int group) const override { return QString(QChar('A' + group)); }
    QVariant itemData(int row, int group, int role) const override
    {
        switch (role) {
        case Qt::DisplayRole:
            return QStringLiteral("%1 song number %2").arg(QChar('A' + qMax(0, group))).arg(row);
        case Qt::UserRole:
            return QStringLiteral("Artist %1").arg(row % 97);
        case Qt::UserRole + 1:
            return QStringLiteral("%1:%2").arg(row % 7).arg(row % 60, 2, 10, QChar('0'));
        default:
            return QVariant();
        }
    }
};

class SongRow : public MDetailedListItem
{
    Q_OBJECT

public:
    SongRow()
        : MDetailedListItem(IconTitleSubtitleAndSideLabel)
    {
        ++made;
        setIconStyle(Thumbnail);
    }
    static int made;
};
int SongRow::made = 0;

class SongCreator : public QObject, public MAbstractCellCreator<SongRow>
{
    Q_OBJECT

public:
    SongCreator() { setCellObjectName(QStringLiteral("CommonPanelInverted")); }
    void updateCell(const QModelIndex& index, MWidget* cell) const override
    {
        auto* row = qobject_cast<SongRow*>(cell);
        if (!row)
            return;
        row->setTitle(index.data(Qt::DisplayRole).toString());
        row->setSubtitle(index.data(Qt::UserRole).toString());
        row->setSideBottomTitle(index.data(Qt::UserRole + 1).toString());
    }
};

// The list as a page holds it: inside the page's pannable viewport, or panning itself.
struct Setup
{
    explicit Setup(bool inViewport)
    {
        scene.setSceneRect(0, 0, 480, 854);
        list = new MList;
        list->setCellCreator(new SongCreator);
        list->setShowGroups(true);
        list->setItemModel(&model);
        if (inViewport) {
            viewport = new MPannableViewport;
            scene.addItem(viewport);
            viewport->setGeometry(QRectF(0, 72, 480, 710));
            viewport->setWidget(list);
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
        } else {
            scene.addItem(list);
            list->setGeometry(QRectF(0, 72, 480, 710));
        }
    }

    qreal screen() const { return 710; }
    qreal position() const { return viewport ? viewport->position().y() : list->position().y(); }
    qreal end() const { return viewport ? viewport->range().bottom() : list->range().bottom(); }
    void scrollTo(qreal y)
    {
        if (viewport)
            viewport->setPosition(QPointF(0, y));
        else
            list->setPosition(QPointF(0, y));
        // The rows' new texts are laid out before the next frame.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }

    QGraphicsScene scene;
    LetterModel model;
    MList* list = nullptr;
    MPannableViewport* viewport = nullptr;
};

void scrollByScreens(benchmark::State& state, bool inViewport)
{
    Setup setup(inViewport);
    if (setup.end() < Rows * 80) {
        state.SkipWithError("the list did not take the height of its rows");
        return;
    }
    // Small steps first, across a group header, so that the recycler holds what any screen
    // needs (ten partly shown rows, or a header and nine).
    const qreal boundary = (Rows / Groups + 1) * 88.0 + 40;
    for (int i = 0; i < 400; ++i)
        setup.scrollTo(boundary - 2 * setup.screen() + i * 7);
    setup.scrollTo(0);
    const int madeBefore = SongRow::made;
    const int childrenBefore = setup.list->childItems().size();
    qreal y = 0;
    for (auto _ : state) {
        y += setup.screen();
        if (y > setup.end())
            y = 0;
        QElapsedTimer timer;
        timer.start();
        setup.scrollTo(y);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
    // Rows made, and any other widget the list made (group headers).
    state.counters["new cells"] = SongRow::made - madeBefore;
    state.counters["new children"] = setup.list->childItems().size() - childrenBefore;
    state.counters["cells shown"] = setup.list->visibleCells().size();
}

void ScrollOwnPanning(benchmark::State& state)
{
    scrollByScreens(state, false);
}
BENCHMARK(ScrollOwnPanning)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2000);

void ScrollInViewport(benchmark::State& state)
{
    scrollByScreens(state, true);
}
BENCHMARK(ScrollInViewport)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2000);

} // namespace

int main(int argc, char** argv)
{
    TestEnvironment::prepare();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#include "bench_mlist.moc"
