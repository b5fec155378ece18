#include "collectionviewshufflewidget.h"

#include "data/modelcolumns.h"
#include "mainpagelistitem.h"
#include "mbasiclistitem.h"
#include "mimagewidget.h"
#include "mlayout.h"
#include "mlinearlayoutpolicy.h"

#include <QAbstractItemModel>

namespace {

const char* const ShuffleIcon = "icon-m-music-video-shuffle-on";

MLinearLayoutPolicy* barePolicy(MLayout* layout)
{
    auto* policy = new MLinearLayoutPolicy(layout, Qt::Vertical);
    policy->setSpacing(0);
    policy->setContentsMargins(0, 0, 0, 0);
    return policy;
}

} // namespace

CollectionViewShuffleWidget::CollectionViewShuffleWidget(bool mainPageStyle, QGraphicsItem* parent)
    : MListItem(parent)
    , layout(new MLayout)
    , hiddenStyleName(QStringLiteral("CommonXLargeSpacer"))
{
    layout->setContentsMargins(0, 0, 0, 0);
    setLayout(layout);
    shownPolicy = barePolicy(layout);
    hiddenPolicy = barePolicy(layout);

    if (mainPageStyle) {
        auto* row = new MainPageListItem(MainPageListItem::TitleAndIcon, this);
        row->setImage(QLatin1String(ShuffleIcon));
        row->setTitle(qtTrId("qtn_musi_shuffle"));
        item = row;
    } else {
        auto* row = new MBasicListItem(MBasicListItem::IconWithTitle, this);
        row->setStyleName(QStringLiteral("CommonBasicListItemInverted"));
        row->imageWidget()->setImage(QLatin1String(ShuffleIcon));
        row->setTitle(qtTrId("qtn_musi_shuffle"));
        item = row;
    }
    connect(item, SIGNAL(clicked()), this, SIGNAL(shuffleClicked()));
    shownPolicy->addItem(item, Qt::AlignVCenter);

    setShuffleButtonVisibility(false);
}

CollectionViewShuffleWidget::~CollectionViewShuffleWidget() = default;

bool CollectionViewShuffleWidget::isShown() const
{
    return shownPolicy->isActive();
}

void CollectionViewShuffleWidget::setVisibleStyleName(const QString& styleName)
{
    shownStyleName = styleName;
    if (!hiddenPolicy->isActive())
        setStyleName(shownStyleName);
}

void CollectionViewShuffleWidget::setTakesNoRoomWhenHidden(bool noRoom)
{
    noRoomWhenHidden = noRoom;
    setVisible(isShown() || !noRoomWhenHidden);
}

void CollectionViewShuffleWidget::setShuffleButtonVisibility(bool visible)
{
    if (visible) {
        setStyleName(shownStyleName);
        shownPolicy->activate();
    } else {
        setStyleName(hiddenStyleName);
        hiddenPolicy->activate();
    }
    // A hidden widget is left out of its layout.
    if (noRoomWhenHidden)
        setVisible(visible);
}

void CollectionViewShuffleWidget::setModel(QSharedPointer<QAbstractItemModel> newModel, int minimum)
{
    minimumRowCount = minimum;
    if (model) {
        disconnect(model.data(), SIGNAL(rowsInserted(QModelIndex, int, int)), this,
                   SLOT(handleModelRowCountChanged()));
        disconnect(model.data(), SIGNAL(rowsRemoved(QModelIndex, int, int)), this,
                   SLOT(handleModelRowCountChanged()));
        // A reset replaces every row at once; it is followed in every state.
        disconnect(model.data(), SIGNAL(modelReset()), this, SLOT(handleModelRowCountChanged()));
    }
    model = newModel;
    if (model) {
        connect(model.data(), SIGNAL(rowsInserted(QModelIndex, int, int)), this,
                SLOT(handleModelRowCountChanged()), Qt::UniqueConnection);
        connect(model.data(), SIGNAL(rowsRemoved(QModelIndex, int, int)), this,
                SLOT(handleModelRowCountChanged()), Qt::UniqueConnection);
        connect(model.data(), SIGNAL(modelReset()), this, SLOT(handleModelRowCountChanged()),
                Qt::UniqueConnection);
    }
    handleModelRowCountChanged();
}

bool CollectionViewShuffleWidget::shuffleWanted() const
{
    if (!model || model->rowCount() < minimumRowCount)
        return false;
    // Only songs have a genre; the other families hold no text there.
    const int genreColumn = SongColumns().genre;
    // Spoken word is never shuffled: one ordinary song is enough to offer it.
    const int rows = model->rowCount();
    for (int row = 0; row < rows; ++row) {
        const QString genre = model->index(row, genreColumn).data(Qt::DisplayRole).toString();
        if (genre.compare(QLatin1String("audiobook"), Qt::CaseInsensitive) != 0
            && genre.compare(QLatin1String("podcast"), Qt::CaseInsensitive) != 0)
            return true;
    }
    return false;
}

void CollectionViewShuffleWidget::handleModelRowCountChanged()
{
    const bool wanted = shuffleWanted();
    const bool shown = shownPolicy->isActive();
    if (!model)
        return;
    if (!shown && wanted) {
        setShuffleButtonVisibility(true);
        disconnect(model.data(), SIGNAL(rowsInserted(QModelIndex, int, int)), this,
                   SLOT(handleModelRowCountChanged()));
        connect(model.data(), SIGNAL(rowsRemoved(QModelIndex, int, int)), this,
                SLOT(handleModelRowCountChanged()), Qt::UniqueConnection);
    } else if (shown && !wanted) {
        setShuffleButtonVisibility(false);
        connect(model.data(), SIGNAL(rowsInserted(QModelIndex, int, int)), this,
                SLOT(handleModelRowCountChanged()), Qt::UniqueConnection);
        disconnect(model.data(), SIGNAL(rowsRemoved(QModelIndex, int, int)), this,
                   SLOT(handleModelRowCountChanged()));
    }
}
