#include "indexingprogresswidget.h"

#include "styles/mainpagestyles.h"

#include "mlabel.h"
#include "mprogressindicator.h"

#include <QGraphicsLinearLayout>
#include <QGraphicsSceneMouseEvent>
#include <QTextOption>

IndexingProgressWidget::IndexingProgressWidget(QGraphicsItem* parent)
    : MStylableWidget(parent)
{
    MainPageStyles::ensureRegistered();
    setStyleName(QStringLiteral("IndexingProgressWidget"));
    auto* layout = new QGraphicsLinearLayout(Qt::Vertical, this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* topSpacer = new MStylableWidget;
    topSpacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addItem(topSpacer);

    auto* label = new MLabel(qtTrId("qtn_musi_updating_library"));
    label->setStyleName(QStringLiteral("CommonEmptyStateTitleInverted"));
    label->setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignHCenter);
    layout->addItem(label);

    auto* progress = new MProgressIndicator(nullptr, MProgressIndicator::barType);
    progress->setStyleName(QStringLiteral("CommonProgressBarInverted"));
    progress->setUnknownDuration(true);
    layout->addItem(progress);

    auto* bottomSpacer = new MStylableWidget;
    bottomSpacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addItem(bottomSpacer);
}

IndexingProgressWidget::~IndexingProgressWidget() = default;

void IndexingProgressWidget::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    event->accept();
}

void IndexingProgressWidget::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    event->accept();
}
