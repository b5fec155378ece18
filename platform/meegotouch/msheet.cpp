#include "msheet.h"

#include "mpalette.h"
#include "mstylablewidget.h"
#include "mtheme.h"
#include "mwindow.h"

#include <QCloseEvent>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>

namespace {
const qreal HeaderHeight = 72;
} // namespace

MSheet::MSheet()
    : MSceneWindow(Sheet, nullptr)
{
    setAcceptedMouseButtons(Qt::LeftButton);
    // It takes the keyboard focus when it appears (see MSceneManager).
    setFocusPolicy(Qt::StrongFocus);
    auto* headerPanel = new MStylableWidget(this);
    headerPanel->setStyleName(QStringLiteral("MSheetHeader"));
    header = headerPanel;
    central = new QGraphicsWidget(this);
    connect(this, &MSceneWindow::disappeared, this, &MSheet::hideOwnWindow);
}

MSheet::~MSheet()
{
    if (ownWindow)
        ownWindow->deleteLater();
}

QGraphicsWidget* MSheet::headerWidget()
{
    if (!header)
        setHeaderWidget(new QGraphicsWidget);
    return header;
}

void MSheet::setHeaderWidget(QGraphicsWidget* widget)
{
    if (widget == header)
        return;
    delete header.data();
    header = widget;
    if (header)
        header->setParentItem(this);
    layoutParts();
}

QGraphicsWidget* MSheet::centralWidget()
{
    if (!central)
        setCentralWidget(new QGraphicsWidget);
    return central;
}

void MSheet::setCentralWidget(QGraphicsWidget* widget)
{
    if (widget == central)
        return;
    delete central.data();
    central = widget;
    if (central)
        central->setParentItem(this);
    layoutParts();
}

void MSheet::setHeaderVisible(bool visible)
{
    headerShown = visible;
    layoutParts();
}

void MSheet::layoutParts()
{
    const qreal top = headerShown ? HeaderHeight : 0;
    if (header) {
        header->setVisible(headerShown);
        header->setGeometry(QRectF(0, 0, rect().width(), top));
    }
    if (central)
        central->setGeometry(QRectF(0, top, rect().width(), qMax<qreal>(0, rect().height() - top)));
}

void MSheet::resizeEvent(QGraphicsSceneResizeEvent* event)
{
    MSceneWindow::resizeEvent(event);
    layoutParts();
}

void MSheet::drawBackground(QPainter* painter, const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(option)
    // The style colours the header; the sheet itself is the black of the theme.
    painter->fillRect(rect(), MTheme::palette().backgroundColor());
}

void MSheet::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    event->accept(); // nothing beneath a sheet takes a press
}

void MSheet::appearSystemwide(DeletionPolicy policy)
{
    if (!ownWindow) {
        ownWindow = new MWindow;
        // The window counts among the application's windows: while it shows, closing the
        // others does not end the application, and closing it last does.
        ownWindow->installEventFilter(this);
    }
    // A system-wide sheet covers the screen, whatever is in front.
    ownWindow->setWindowState(ownWindow->windowState() | Qt::WindowFullScreen);
    ownWindow->show();
    ownWindow->raise();
    appear(ownWindow, policy);
}

void MSheet::setSystemwideModeOrientation(SystemwideModeOrientation orientation)
{
    systemwideOrientation = orientation;
}

MSheet::SystemwideModeOrientation MSheet::systemwideModeOrientation() const
{
    return systemwideOrientation;
}

MWindow* MSheet::systemwideWindow() const
{
    return ownWindow;
}

bool MSheet::eventFilter(QObject* watched, QEvent* event)
{
    // The user closed the sheet's own window: that is dismissing the sheet.
    if (watched == ownWindow && event->type() == QEvent::Close && sceneWindowState() != Disappeared
        && sceneWindowState() != Disappearing)
        dismiss();
    return MSceneWindow::eventFilter(watched, event);
}

void MSheet::hideOwnWindow()
{
    // Closed rather than hidden: when it was the application's last window, the application
    // ends with it.
    if (ownWindow)
        ownWindow->close();
}
