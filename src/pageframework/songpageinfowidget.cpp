#include "songpageinfowidget.h"

#include "albumart/collageimagewidget.h"
#include "common/constants.h"
#include "mlabel.h"
#include "mlayout.h"
#include "mlinearlayoutpolicy.h"
#include "mstylablewidget.h"
#include "styles/songdetailsstyles.h"
#include "zeltime.h"

#include <QGraphicsLinearLayout>

namespace {

MLabel* infoLabel(QGraphicsItem* parent)
{
    auto* label = new MLabel(parent);
    label->setStyleName(QStringLiteral("albumInfoLabel"));
    label->setTextElide(true);
    return label;
}

QGraphicsLinearLayout* bareLayout(Qt::Orientation orientation)
{
    auto* layout = new QGraphicsLinearLayout(orientation);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

} // namespace

SongPageInfoWidget::SongPageInfoWidget(QSharedPointer<MafwTrackerModel> pageModel,
                                       QGraphicsItem* parent)
    : MWidgetController(parent)
    , container(new MStylableWidget(this))
    , songCount(infoLabel(container))
    , length(infoLabel(container))
    , year(infoLabel(container))
    , genre(infoLabel(container))
    , image(new CollageImageWidget(this, 100))
    , labelColumn(nullptr)
{
    SongDetailsStyles::ensureRegistered();
    createLayout();
    SongPageInfoWidget::setModel(pageModel);
    connect(image, &CollageImageWidget::clicked, this, &SongPageInfoWidget::albumArtClicked);
}

SongPageInfoWidget::~SongPageInfoWidget() = default;

void SongPageInfoWidget::createLayout()
{
    image->setStyleName(QStringLiteral("albumArtOfSongPage"));
    image->setAspectRatioMode(Qt::KeepAspectRatio);

    auto* layout = new MLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* policy = new MLinearLayoutPolicy(layout, Qt::Vertical);
    policy->setContentsMargins(0, 0, 0, 0);
    policy->setSpacing(0);

    // The column starts empty: the subclass fills it.
    labelColumn = bareLayout(Qt::Vertical);
    container->setLayout(labelColumn);
    container->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    container->setStyleName(QStringLiteral("AlbumDetailPane"));

    QGraphicsLinearLayout* row = bareLayout(Qt::Horizontal);
    row->addItem(image);
    row->addItem(container);

    auto* spacer = new MStylableWidget(this);
    spacer->setStyleName(QStringLiteral("CommonLargeSpacer"));
    policy->addItem(spacer);
    policy->addItem(row);
    policy->activate();
}

void SongPageInfoWidget::setModel(QSharedPointer<MafwTrackerModel> pageModel)
{
    if (model)
        model->disconnect(this);
    model = pageModel;
    if (model) {
        for (auto change :
             { &QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved }) {
            connect(model.data(), change, this, &SongPageInfoWidget::updateLengthLabel);
            connect(model.data(), change, this, &SongPageInfoWidget::updateSongCountLabel);
        }
        connect(model.data(), &QAbstractItemModel::modelReset, this,
                &SongPageInfoWidget::updateLengthLabel);
        connect(model.data(), &QAbstractItemModel::modelReset, this,
                &SongPageInfoWidget::updateSongCountLabel);
    }
    updateLengthLabel();
    updateSongCountLabel();
}

int SongPageInfoWidget::rowCount() const
{
    return model ? model->rowCount() : 0;
}

void SongPageInfoWidget::updateSongCountLabel()
{
    const int rows = rowCount();
    songCount->setText(rows >= 1 ? qtTrId("qtn_musi_song_number", rows) : QString());
}

void SongPageInfoWidget::updateLengthLabel()
{
    length->setText(rowCount() >= 1 ? lengthText() : QString());
}

QString SongPageInfoWidget::lengthText() const
{
    // Found by its header: a page may show a model of another layout, whose column of the
    // same number holds something else; without the column every row counts 0.
    int column = -1;
    for (int c = 0; model && c < model->columnCount(); ++c) {
        if (model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()
            == Constants::SongLength) {
            column = c;
            break;
        }
    }
    qint64 seconds = 0;
    for (int row = 0; column >= 0 && row < rowCount(); ++row)
        seconds += model->index(row, column).data().toInt();
    return ZelTime::timeString(int(qMin<qint64>(seconds, INT_MAX)), false);
}
