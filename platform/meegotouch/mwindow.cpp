#include "mwindow.h"

#include "mapplication.h"
#include "mgesturerecognizers.h"
#include "mscenemanager.h"
#include "qmkeyshook.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>

namespace {

// Qt sets up its gesture handling, with recognisers of its own, as the first view is made. Ours
// replace them before that, so Qt's are made and let go in that one place.
QWidget* withOurGestureRecognizers(QWidget* parent)
{
    MGestureRecognizers::ensureRegistered();
    return parent;
}

} // namespace

MWindow::MWindow(QWidget* parent)
    : QGraphicsView(withOurGestureRecognizers(parent))
{
    auto* scene = new QGraphicsScene(0, 0, SceneWidth, SceneHeight, this);
    scene->setBackgroundBrush(Qt::black);
    setScene(scene);
    manager = new MSceneManager(this);
    setBackgroundBrush(Qt::black);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform
                   | QPainter::TextAntialiasing);
    setAlignment(Qt::AlignCenter);
    setViewportUpdateMode(QGraphicsView::BoundingRectViewportUpdate);
    resize(portraitSize());
    MApplication::registerWindow(this);
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::applicationStateChanged, this,
                &MWindow::handleApplicationState);
}

MWindow::~MWindow()
{
    MApplication::unregisterWindow(this);
    // Scene windows go with the scene; let the manager outlive them.
    scene()->clear();
}

void MWindow::paintEvent(QPaintEvent* event)
{
    // The scene polishes the widgets new to it (a list's new rows) in a queued call, or, when a
    // paint comes first, as it paints; either way the pass asks their layouts to run again, in
    // requests queued behind this paint. A paint made then would show rows whose layout is still
    // to run, and nothing may paint them again for a while. The pass and the layouts it asks
    // for go first; with nothing waiting this costs nothing.
    QCoreApplication::sendPostedEvents(scene(), QEvent::MetaCall);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QGraphicsView::paintEvent(event);
}

MSceneManager* MWindow::sceneManager() const
{
    return manager;
}

void MWindow::setPortraitOrientation()
{
}

void MWindow::lockOrientation()
{
}

M::Orientation MWindow::orientation() const
{
    return M::Portrait;
}

QString MWindow::styleName() const
{
    return style;
}

void MWindow::setStyleName(const QString& name)
{
    style = name;
}

bool MWindow::isInSwitcher() const
{
    return inSwitcher;
}

void MWindow::setInSwitcher(bool on)
{
    if (on == inSwitcher)
        return;
    inSwitcher = on;
    if (on)
        emit switcherEntered();
    else
        emit switcherExited();
    updateDisplay();
}

bool MWindow::isOnDisplay() const
{
    return isVisible() && !isMinimized() && !inSwitcher;
}

QSize MWindow::portraitSize() const
{
    QSize size(SceneWidth, SceneHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize available = screen->availableGeometry().size() * 0.92;
        if (!available.isEmpty()
            && (available.width() < size.width() || available.height() < size.height()))
            size.scale(available, Qt::KeepAspectRatio);
    }
    return size;
}

QSize MWindow::sizeHint() const
{
    return portraitSize();
}

static bool screenLargerThanPortrait()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return false;
    const QSize s = screen->size();
    return s.width() > MWindow::SceneWidth && s.height() >= MWindow::SceneHeight;
}

static void fillScreen(QWidget* window)
{
    // Full screen is asked of the window system, which may have no window manager to grant
    // it (a kiosk, a bare X server): the window takes the screen itself as well.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->setGeometry(screen->geometry());
}

void MWindow::setVisible(bool visible)
{
    // A phone's full screen is a portrait window on a desktop.
    if (visible && (windowState() & Qt::WindowFullScreen)) {
        if (screenLargerThanPortrait()) {
            setWindowState(windowState() & ~Qt::WindowFullScreen);
            resize(portraitSize());
        } else {
            fillScreen(this);
        }
    }
    QGraphicsView::setVisible(visible);
}

void MWindow::fitScene()
{
    // fitInView() would leave a margin of its own; the screen is to fill the window exactly.
    const QSizeF area = viewport()->size();
    const qreal scale = qMin(area.width() / SceneWidth, area.height() / SceneHeight);
    if (scale <= 0)
        return;
    setTransform(QTransform::fromScale(scale, scale));
    centerOn(sceneRect().center());
}

void MWindow::resizeEvent(QResizeEvent* event)
{
    QGraphicsView::resizeEvent(event);
    fitScene();
}

void MWindow::showEvent(QShowEvent* event)
{
    QGraphicsView::showEvent(event);
    fitScene();
    MApplication::noteWindowShown(this);
    updateDisplay();
}

void MWindow::hideEvent(QHideEvent* event)
{
    QGraphicsView::hideEvent(event);
    // A press still held on a window that closes or hides is over: the window system sends its
    // release nowhere, and the widget that took it would otherwise go on to make it a long tap
    // (a menu opened in a closed window) or, on a later release, a tap.
    if (QGraphicsItem* grabber = scene()->mouseGrabberItem())
        grabber->ungrabMouse();
    updateDisplay();
}

void MWindow::keyPressEvent(QKeyEvent* event)
{
    if (MeeGo::QmKeysHook::keyForQtKey(event->key()) != MeeGo::QmKeys::UnknownKey) {
        // The hook repeats a held key itself and takes a press of a key it holds for a repeat.
        // A press marked as a repeat still goes there: the window system marks the first press
        // of a key whose last release went to another window so.
        MeeGo::QmKeysHook::instance()->pressQtKey(event->key(), event->nativeScanCode(),
                                                  event->timestamp());
        event->accept();
        return;
    }
    QGraphicsView::keyPressEvent(event);
}

void MWindow::keyReleaseEvent(QKeyEvent* event)
{
    // Every release goes to the hook first: the physical key of a held media key may come up
    // as a key that is no media key at all.
    bool media = MeeGo::QmKeysHook::keyForQtKey(event->key()) != MeeGo::QmKeys::UnknownKey;
    if (!event->isAutoRepeat())
        media = MeeGo::QmKeysHook::instance()->releaseQtKey(event->key(), event->nativeScanCode(),
                                                            event->timestamp());
    if (media) {
        event->accept();
        return;
    }
    QGraphicsView::keyReleaseEvent(event);
}

void MWindow::changeEvent(QEvent* event)
{
    QGraphicsView::changeEvent(event);
    // The releases of keys held now go to the window that has the keyboard; without this the
    // hook would hold them, and repeat their presses, for ever.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        MeeGo::QmKeysHook::instance()->releaseHeldKeys();
    if (event->type() != QEvent::WindowStateChange)
        return;
    if (isMinimized()) {
        setInSwitcher(true);
    } else if (inSwitcher && isActiveWindow()) {
        setInSwitcher(false);
    }
    if ((windowState() & Qt::WindowFullScreen) && isVisible()) {
        QTimer::singleShot(0, this, [this] {
            if (!(windowState() & Qt::WindowFullScreen))
                return;
            if (screenLargerThanPortrait()) {
                setWindowState(windowState() & ~Qt::WindowFullScreen);
                resize(portraitSize());
            } else {
                fillScreen(this);
            }
        });
    }
    updateDisplay();
}

bool MWindow::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
        // Whatever moved the focus, a key never reaches what a menu, dialog or sheet covers.
        manager->keepKeysInFront();
        break;
    default:
        break;
    }
    if (event->type() == QEvent::WindowActivate) {
        wasActive = true;
        MApplication::noteWindowShown(this);
        if (inSwitcher && !isMinimized())
            setInSwitcher(false);
    }
    return QGraphicsView::event(event);
}

void MWindow::handleApplicationState(Qt::ApplicationState state)
{
    // Only a window that has been active can be sent to the switcher by deactivation: some
    // platforms never activate windows at all.
    if (state != Qt::ApplicationActive && wasActive && isVisible())
        setInSwitcher(true);
    else if (state == Qt::ApplicationActive && inSwitcher && !isMinimized() && isActiveWindow())
        setInSwitcher(false);
}

void MWindow::updateDisplay()
{
    const bool on = isOnDisplay();
    manager->refreshDisplay();
    if (on == lastOnDisplay)
        return;
    lastOnDisplay = on;
    if (on)
        emit displayEntered();
    else
        emit displayExited();
}
