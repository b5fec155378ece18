#include "livefilter.h"

#include "filterwidget.h"
#include "quintaveilpage.h"

#include "mlist.h"
#include "mpannableviewport.h"
#include "mtextedit.h"

#include <QKeyEvent>
#include <QTimer>

namespace {

const int FilterSendDelayMs = 200;

} // namespace

LiveFilter::LiveFilter(QuintaveilPage* owner)
    : QObject(owner)
    , page(owner)
{
}

// The page deletes the field itself, in its own teardown.
LiveFilter::~LiveFilter() = default;

void LiveFilter::createField()
{
    if (!filterField)
        filterField = new FilterWidget(page->centralWidget());
}

void LiveFilter::enableKeyboardFiltering(bool enable)
{
    keyboardFiltering = enable;
    if (!filterField)
        return;
    if (enable)
        connect(filterField, &FilterWidget::textChanged, this, &LiveFilter::handleFieldTextChange,
                Qt::UniqueConnection);
    else
        disconnect(filterField, &FilterWidget::textChanged, this,
                   &LiveFilter::handleFieldTextChange);
}

void LiveFilter::enableOnDisplayEnter()
{
    if (keyboardFiltering && filterField)
        connect(filterField, &FilterWidget::textChanged, this, &LiveFilter::handleFieldTextChange,
                Qt::UniqueConnection);
}

void LiveFilter::disableOnDisplayExit()
{
    if (!keyboardFiltering)
        return;
    page->setFocus(Qt::OtherFocusReason);
    if (filterField) {
        disconnect(filterField, &FilterWidget::textChanged, this,
                   &LiveFilter::handleFieldTextChange);
        filterField->setText(QString());
    }
    QTimer::singleShot(FilterSendDelayMs, this, &LiveFilter::sendText);
    emit stopped();
}

void LiveFilter::handleFieldTextChange()
{
    if (sendPending)
        return;
    sendPending = true;
    QTimer::singleShot(FilterSendDelayMs, this, &LiveFilter::sendText);
}

void LiveFilter::sendText()
{
    sendPending = false;
    emit textChanged(filterField ? filterField->text() : QString());
}

bool LiveFilter::takeKey(QKeyEvent* event)
{
    // Pages without a field (every page but the collections) have nothing to type in.
    if (!filterField)
        return false;
    const QString typed = event->text();
    const QChar first = typed.isEmpty() ? QChar() : typed.at(0);
    if (!first.isPrint())
        return false;
    if (!keyboardFiltering)
        enableKeyboardFiltering(true);
    if (page->isVisible() && filterField->text().isEmpty()) {
        if (MPannableViewport* pannable = page->pannableViewport())
            pannable->setPosition(QPointF(0, -1));
        emit started();
    }
    filterField->setText(typed);
    filterField->textEdit()->setFocus(Qt::OtherFocusReason);
    event->accept();
    return true;
}

void LiveFilter::followViewport()
{
    MPannableViewport* pannable = page->pannableViewport();
    if (!pannable || pannable == viewport)
        return;
    viewport = pannable;
    connect(pannable, &MPannableViewport::positionChanged, this, &LiveFilter::handleViewportMoved,
            Qt::UniqueConnection);
}

void LiveFilter::handleViewportMoved(const QPointF& position)
{
    // Only a pull that starts at the very top opens the field.
    if (position.y() < 0 && lastViewportPosition.y() == 0 && filterField
        && !filterField->isVisible())
        emit pulledDown();
    lastViewportPosition = position;
}

void LiveFilter::setPanning(bool isPanning)
{
    panning = isPanning;
    if (!isPanning)
        return;
    if (page->pageList())
        page->pageList()->setFocus(Qt::OtherFocusReason);
    if (filterField)
        filterField->clearFocus();
}
