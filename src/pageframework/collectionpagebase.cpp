#include "collectionpagebase.h"

#include "artistcontentitem.h"
#include "collectionviewshufflewidget.h"
#include "collectionviewtitlewidget.h"
#include "filterwidget.h"

#include "albumart/albumartloader.h"
#include "common/logging.h"
#include "mbasiclayoutanimation.h"
#include "mimagewidget.h"
#include "mlabel.h"
#include "mlayout.h"
#include "mlinearlayoutpolicy.h"
#include "mlist.h"
#include "mpannableviewport.h"
#include "mpositionindicator.h"
#include "mseparator.h"
#include "mtextedit.h"

#include <QGraphicsLayout>
#include <QKeyEvent>
#include <QPropertyAnimation>
#include <QTimer>

CollectionPageBase::CollectionPageBase(MainWindow* owner, const QVariant& parameter)
    : QuintaveilPage(owner, parameter)
    , removalTimer(new QTimer(this))
{
    removalTimer->setInterval(removalDelay);
    connect(this, SIGNAL(appeared()), this, SLOT(enableFilteringOnDisplayEnter()));
    connect(this, SIGNAL(disappeared()), this, SLOT(disableFilteringOnDisplayExit()));
    connect(this, SIGNAL(disappeared()), this, SLOT(removeFilterEdit()));
    connect(removalTimer, SIGNAL(timeout()), this, SLOT(removeFilterEdit()));

    // The list shows its own position; the page's indicator would be a second one.
    if (MPannableViewport* pannable = pannableViewport()) {
        if (MPositionIndicator* indicator = pannable->positionIndicator()) {
            indicator->hide();
            indicator->setEnabled(false);
        }
    }
}

CollectionPageBase::~CollectionPageBase() = default;

void CollectionPageBase::createContent()
{
}

CollectionPageBase::LayoutState CollectionPageBase::layoutState() const
{
    if (listPolicy && listPolicy->isActive())
        return ListState;
    if (filterPolicy && filterPolicy->isActive())
        return FilterState;
    if (filteredListPolicy && filteredListPolicy->isActive())
        return FilteredListState;
    if (noResultsPolicy && noResultsPolicy->isActive())
        return NoResultsState;
    return EmptyDeviceState;
}

void CollectionPageBase::createCollectionPage()
{
    QGraphicsWidget* central = centralWidget();

    titleHeader = new CollectionViewTitleWidget(true, central);

    shuffleRow = new CollectionViewShuffleWidget(false, central);
    shuffleRow->setVisibleStyleName(QStringLiteral("CommonBasicSmallPanelInverted"));

    noMusicLabel = new MLabel(qtTrId("qtn_musi_no_music"), central);
    noMusicLabel->setStyleName(QStringLiteral("CommonEmptyStateTitleInverted"));
    noMusicLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    noMusicLabel->setAlignment(Qt::AlignCenter);
    noMusicLabel->setWordWrap(true);

    noResultsLabel = new MLabel(qtTrId("qtn_musi_no_music_found"), central);
    updateNoResultsLabelStyle();
    noResultsLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    noResultsLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    noResultsLabel->setWordWrap(true);

    filterSeparator = new MSeparator(central, Qt::Horizontal);
    filterSeparator->setStyleName(QStringLiteral("CommonHeaderDividerInverted"));

    createCollectionLayout();
    connectCollectionSignals();
    connectEmptyViewHandling();
}

void CollectionPageBase::createCollectionLayout()
{
    QGraphicsWidget* central = centralWidget();
    collectionLayout = new MLayout(central);
    layoutAnimation = new MBasicLayoutAnimation(collectionLayout);
    collectionLayout->setAnimation(layoutAnimation);
    QGraphicsLayout::setInstantInvalidatePropagation(true);
    collectionLayout->setContentsMargins(0, 0, 0, 0);
    central->setLayout(collectionLayout);

    auto makePolicy = [this]() {
        auto* policy = new MLinearLayoutPolicy(collectionLayout, Qt::Vertical);
        policy->setContentsMargins(0, 0, 0, 0);
        policy->setSpacing(0);
        return policy;
    };
    // The first policy made is the active one: the page starts as an empty device.
    emptyDevicePolicy = makePolicy();
    emptyDevicePolicy->addItem(titleHeader);
    emptyDevicePolicy->addItem(noMusicLabel);

    listPolicy = makePolicy();
    listPolicy->addItem(titleHeader);
    listPolicy->addItem(shuffleRow);
    if (list)
        listPolicy->addItem(list);

    filterPolicy = makePolicy();
    filterPolicy->addItem(titleHeader);
    if (filterField())
        filterPolicy->addItem(filterField());
    filterPolicy->addItem(filterSeparator);
    filterPolicy->addItem(shuffleRow);
    if (list)
        filterPolicy->addItem(list);

    filteredListPolicy = makePolicy();
    filteredListPolicy->addItem(titleHeader);
    if (filterField())
        filteredListPolicy->addItem(filterField());
    if (list)
        filteredListPolicy->addItem(list);

    noResultsPolicy = makePolicy();
    noResultsPolicy->addItem(titleHeader);
    if (filterField())
        noResultsPolicy->addItem(filterField());
    noResultsPolicy->addItem(noResultsLabel);

    emptyDevicePolicy->activate();
    setPannable(false);
}

void CollectionPageBase::connectCollectionSignals()
{
    if (list) {
        connect(list, SIGNAL(panningStarted()), this, SLOT(onPanningStarted()),
                Qt::UniqueConnection);
        connect(list, SIGNAL(panningStopped()), this, SLOT(onPanningStopped()),
                Qt::UniqueConnection);
    }
    connect(shuffleRow, SIGNAL(shuffleClicked()), this, SIGNAL(shuffleClicked()),
            Qt::UniqueConnection);
    connect(this, SIGNAL(filterTextChanged(QString)), this,
            SLOT(handleFilterTextChanged(QString)), Qt::UniqueConnection);
    connect(this, SIGNAL(appeared()), this, SLOT(switchPolicy()), Qt::UniqueConnection);
    connect(this, SIGNAL(filteringStopped()), this, SLOT(switchPolicy()), Qt::UniqueConnection);
    if (filterField()) {
        connect(filterField(), SIGNAL(clearClicked()), this, SLOT(liveFilteringClearClicked()),
                Qt::UniqueConnection);
        connect(filterField(), SIGNAL(focusLost(Qt::FocusReason)), this,
                SLOT(handleFilterFocusChanged()), Qt::UniqueConnection);
        connect(filterField(), SIGNAL(focusGained(Qt::FocusReason)), this,
                SLOT(handleFilterFocusChanged()), Qt::UniqueConnection);
    }
}

void CollectionPageBase::keyPressEvent(QKeyEvent* event)
{
    // With nothing listed there is nothing to filter: a key must not hand the focus to the
    // hidden field, where the keys typed once songs have arrived would vanish.
    if (layoutState() == EmptyDeviceState) {
        MApplicationPage::keyPressEvent(event);
        return;
    }
    QuintaveilPage::keyPressEvent(event);
}

void CollectionPageBase::activate(MLinearLayoutPolicy* policy)
{
    if (policy && !policy->isActive())
        policy->activate();
}

void CollectionPageBase::switchPolicy()
{
    if (!listPolicy)
        return;
    if (!pageModel) {
        if (deviceEmpty)
            enableEmptyDevicePolicy();
        return;
    }
    const int rows = pageModel->rowCount();
    if (rows < 1) {
        if (pageModel->isComplete() && !unknownRowShown) {
            deviceEmpty = true;
            enableEmptyDevicePolicy();
            return;
        }
        if (deviceEmpty) {
            enableEmptyDevicePolicy();
            return;
        }
    } else {
        deviceEmpty = false;
    }
    if (listPolicy->isActive())
        return;
    // A song that comes or goes while the user filters must not close the filter: the
    // filtered list stays until its text is gone.
    if (filterField() && !filterField()->text().isEmpty() && filterField()->isVisibleTo(centralWidget())
        && layoutState() != EmptyDeviceState)
        return;
    listPolicy->activate();
    setPannable(true);
    if (list)
        list->setShowGroups(true);
    enableKeyboardFiltering(true);
    connect(this, SIGNAL(filteringStarted()), this, SLOT(addFilterEdit()), Qt::UniqueConnection);
}

void CollectionPageBase::enableEmptyDevicePolicy()
{
    if (!emptyDevicePolicy || emptyDevicePolicy->isActive())
        return;
    emptyDevicePolicy->activate();
    setPannable(false);
    enableKeyboardFiltering(false);
    disconnect(this, SIGNAL(filteringStarted()), this, SLOT(addFilterEdit()));
}

void CollectionPageBase::chooseFilteringPolicy(bool haveFilteredResults)
{
    if (removalTimer->isActive())
        removalTimer->stop();
    if (haveFilteredResults) {
        if (!filterField() || filterField()->text().isEmpty())
            activate(filterPolicy);
        else
            activate(filteredListPolicy);
        setPannable(true);
    } else if (noResultsPolicy && !noResultsPolicy->isActive()) {
        noResultsPolicy->activate();
        setPannable(false);
    }
}

void CollectionPageBase::addFilterEdit()
{
    if (!pageModel || pageModel->rowCount() < 1 || !listPolicy || !listPolicy->isActive()
        || !filterField())
        return;
    filterField()->show();
    filterField()->setPromptText(QString());
    // The field fades in over the list instead of jumping in.
    filterField()->setOpacity(0);
    auto* fadeIn = new QPropertyAnimation(filterField(), "opacity", filterField());
    fadeIn->setDuration(150);
    fadeIn->setEndValue(1.0);
    fadeIn->start(QAbstractAnimation::DeleteWhenStopped);
    chooseFilteringPolicy(true);
    removalTimer->start();
}

bool CollectionPageBase::searchFieldHasFocus() const
{
    return filterField() && filterField()->textEdit() && filterField()->textEdit()->hasFocus();
}

void CollectionPageBase::removeFilterEdit()
{
    if (removalTimer->isActive())
        removalTimer->stop();
    if (!filterField() || !filterField()->text().isEmpty())
        return;
    if (!searchFieldHasFocus() && filterField()->isOnDisplay()) {
        filterField()->clearPrompt();
        filterField()->hide();
        removeFilterEditFromLayout();
    } else {
        filterField()->clearFocus();
        switchPolicy();
    }
}

void CollectionPageBase::removeFilterEditFromLayout()
{
    switchPolicy();
    if (isPanning())
        addFilterEdit();
}

void CollectionPageBase::handleFilterFocusChanged()
{
    if (!filterField()) {
        updateNoResultsLabelStyle();
        return;
    }
    if (searchFieldHasFocus()) {
        removalTimer->stop();
    } else if (filterField()->text().isEmpty()) {
        if (filterField()->isOnDisplay())
            removalTimer->start();
        else
            switchPolicy();
    }
    updateNoResultsLabelStyle();
}

void CollectionPageBase::updateNoResultsLabelStyle()
{
    if (!noResultsLabel)
        return;
    noResultsLabel->setStyleName(searchFieldHasFocus()
                                     ? QStringLiteral("NoFilteredResultsLabel")
                                     : QStringLiteral("NoFilteredResultsLabelVKBClosed"));
}

void CollectionPageBase::liveFilteringClearClicked()
{
    if (!filterField())
        return;
    if (filterField()->textEdit())
        filterField()->textEdit()->setFocus(Qt::OtherFocusReason);
    removalTimer->stop();
}

void CollectionPageBase::setShuffleWidgetModel()
{
    if (shuffleRow)
        shuffleRow->setModel(pageModel.staticCast<QAbstractItemModel>(), 1);
}

void CollectionPageBase::enableUnknownLabel(bool enabled)
{
    keepWhenEmpty = enabled;
    if (!unknownItem) {
        unknownItem = new ArtistContentItem(this);
        unknownItem->setLayoutPosition(M::CenterPosition);
        unknownItem->setIconStyle(MDetailedListItem::Thumbnail);
        unknownItem->setTitle(unknownRowTitle);
        unknownArtLoader = new AlbumArtLoader(artType, QStringLiteral("common"), this);
        connect(unknownArtLoader, SIGNAL(albumArtReady(QPixmap,QVariant)), this,
                SLOT(unknownAlbumArtReadySlot(QPixmap,QVariant)),
                Qt::ConnectionType(Qt::DirectConnection | Qt::UniqueConnection));
        unknownArtLoader->loadAlbumArt(unknownRowTitle, unknownRowTitle, QStringLiteral("common"),
                                       true, artType, QVariant());
        unknownItem->hide();
    }
    if (enabled) {
        connect(unknownItem, SIGNAL(clicked()), this, SIGNAL(unknownLabelClicked()),
                Qt::UniqueConnection);
        connect(unknownItem, SIGNAL(longTapped(QPointF)), this,
                SLOT(openObjectMenuForUnknown()), Qt::UniqueConnection);
        unknownItem->show();
        if (listPolicy && (listPolicy->count() == 0
                           || listPolicy->itemAt(listPolicy->count() - 1) != unknownItem))
            listPolicy->addItem(unknownItem);
        unknownRowShown = true;
    } else {
        disconnect(unknownItem, SIGNAL(clicked()), this, SIGNAL(unknownLabelClicked()));
        disconnect(unknownItem, SIGNAL(longTapped(QPointF)), this,
                   SLOT(openObjectMenuForUnknown()));
        unknownItem->hide();
        if (listPolicy)
            listPolicy->removeItem(unknownItem);
        unknownRowShown = false;
    }
    if (pageModel && pageModel->isComplete())
        deviceEmpty = pageModel->rowCount() < 1 && !unknownRowShown;
    switchPolicy();
}

void CollectionPageBase::unknownAlbumArtReadySlot(QPixmap pixmap, QVariant data)
{
    Q_UNUSED(data)
    if (unknownItem)
        unknownItem->imageWidget()->setPixmap(pixmap);
}

void CollectionPageBase::openObjectMenuForUnknown()
{
    // The row is no item of the page's model: the menu opens with no item and acts on the row
    // through the marker set here.
    handleListItemLongTap(QModelIndex(), QPointF(0, 0));
    markSpecialRow(unknownRowTitle == unknownAlbumText ? ItemMenu::UnknownAlbumRow
                                                       : ItemMenu::UnknownArtistRow);
}
