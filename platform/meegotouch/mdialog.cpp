#include "mdialog.h"

#include "mapplication.h"
#include "mbutton.h"
#include "mlabel.h"
#include "mpalette.h"
#include "mstylablewidget.h"
#include "mtheme.h"

#include <QEventLoop>
#include <QGraphicsLinearLayout>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>

namespace {
const qreal PanelWidth = 440;
} // namespace

MDialog::MDialog()
    : MDialog(Dialog, QString(), M::NoStandardButton)
{
}

MDialog::MDialog(const QString& title, M::StandardButtons standardButtons)
    : MDialog(Dialog, title, standardButtons)
{
}

MDialog::MDialog(WindowType type, const QString& title, M::StandardButtons standardButtons)
    : MSceneWindow(type, nullptr)
    , panel(new QGraphicsWidget(this))
    , panelLayout(new QGraphicsLinearLayout(Qt::Vertical, panel))
    , buttonBox(new QGraphicsWidget)
    , buttonLayout(new QGraphicsLinearLayout(Qt::Horizontal, buttonBox))
    , titleLabel(new MLabel(title))
{
    setAcceptedMouseButtons(Qt::LeftButton);
    titleLabel->setStyleName(QStringLiteral("CommonHeaderInverted"));
    titleLabel->setWordWrap(true);
    titleLabel->setAlignment(Qt::AlignCenter);
    titleLabel->setVisible(!title.isEmpty());
    panelLayout->setContentsMargins(20, 16, 20, 20);
    panelLayout->setSpacing(16);
    buttonLayout->setContentsMargins(0, 0, 0, 0);
    buttonLayout->setSpacing(12);
    panelLayout->addItem(titleLabel);
    central = new MStylableWidget; // empty: takes no room until it gets content
    panelLayout->addItem(central);
    panelLayout->addItem(buttonBox);
    static const M::StandardButton order[] = { M::OkButton,      M::YesButton,   M::SaveButton,
                                               M::DoneButton,    M::ApplyButton, M::RetryButton,
                                               M::IgnoreButton,  M::ResetButton, M::HelpButton,
                                               M::DiscardButton, M::NoButton,    M::AbortButton,
                                               M::CloseButton,   M::CancelButton };
    for (M::StandardButton b : order) {
        if (standardButtons & b)
            addButton(b);
    }
    buttonBox->setVisible(!buttons.isEmpty());
}

MDialog::~MDialog() = default;

QString MDialog::title() const
{
    return titleLabel->text();
}

void MDialog::setTitle(const QString& title)
{
    titleLabel->setText(title);
    titleLabel->setVisible(!title.isEmpty());
    layoutPanel();
}

QGraphicsWidget* MDialog::centralWidget()
{
    if (!central) {
        central = new MStylableWidget;
        panelLayout->insertItem(centralIndex(), central);
    }
    return central;
}

void MDialog::setCentralWidget(QGraphicsWidget* widget)
{
    if (widget == central)
        return;
    if (central) {
        panelLayout->removeItem(central);
        delete central.data();
    }
    central = widget;
    if (central)
        panelLayout->insertItem(centralIndex(), central);
    layoutPanel();
}

int MDialog::centralIndex() const
{
    // After the title and the subclass's widgets, before the buttons.
    return panelLayout->count() - 1;
}

void MDialog::insertPanelWidget(QGraphicsWidget* widget)
{
    panelLayout->insertItem(1, widget);
    layoutPanel();
}

QString MDialog::buttonText(M::StandardButton b)
{
    switch (b) {
    case M::OkButton:
        return QStringLiteral("OK");
    case M::YesButton:
        return QStringLiteral("Yes");
    case M::NoButton:
        return QStringLiteral("No");
    case M::SaveButton:
        return QStringLiteral("Save");
    case M::CancelButton:
        return QStringLiteral("Cancel");
    case M::CloseButton:
        return QStringLiteral("Close");
    case M::DoneButton:
        return QStringLiteral("Done");
    case M::DiscardButton:
        return QStringLiteral("Discard");
    case M::ApplyButton:
        return QStringLiteral("Apply");
    case M::ResetButton:
        return QStringLiteral("Reset");
    case M::AbortButton:
        return QStringLiteral("Abort");
    case M::RetryButton:
        return QStringLiteral("Retry");
    case M::IgnoreButton:
        return QStringLiteral("Ignore");
    case M::HelpButton:
        return QStringLiteral("Help");
    case M::NoStandardButton:
        break;
    }
    return QString();
}

bool MDialog::confirms(M::StandardButton b)
{
    return b == M::OkButton || b == M::YesButton || b == M::SaveButton || b == M::DoneButton
           || b == M::ApplyButton;
}

MButton* MDialog::addButton(M::StandardButton which)
{
    if (MButton* existing = button(which))
        return existing;
    auto* b = new MButton(buttonText(which));
    b->setStyleName(confirms(which) ? QStringLiteral("CommonSheetHeaderButtonAccentInverted")
                                    : QStringLiteral("CommonSheetHeaderButtonInverted"));
    buttons.append(qMakePair(b, which));
    buttonLayout->addItem(b);
    buttonBox->setVisible(true);
    connect(b, &MButton::clicked, this, &MDialog::buttonClicked);
    layoutPanel();
    return b;
}

MButton* MDialog::addButton(const QString& text)
{
    auto* b = new MButton(text);
    b->setStyleName(QStringLiteral("CommonSheetHeaderButtonInverted"));
    buttons.append(qMakePair(b, M::NoStandardButton));
    buttonLayout->addItem(b);
    buttonBox->setVisible(true);
    connect(b, &MButton::clicked, this, &MDialog::buttonClicked);
    layoutPanel();
    return b;
}

MButton* MDialog::button(M::StandardButton which) const
{
    for (const auto& entry : buttons) {
        if (entry.second == which && which != M::NoStandardButton)
            return entry.first;
    }
    return nullptr;
}

M::StandardButton MDialog::standardButton(const MButton* b) const
{
    for (const auto& entry : buttons) {
        if (entry.first == b)
            return entry.second;
    }
    return M::NoStandardButton;
}

MButton* MDialog::clickedButton() const
{
    return lastClicked;
}

int MDialog::result() const
{
    return dialogResult;
}

void MDialog::buttonClicked()
{
    auto* b = qobject_cast<MButton*>(sender());
    if (!b)
        return;
    lastClicked = b;
    const M::StandardButton which = standardButton(b);
    if (which == M::NoStandardButton) {
        // A custom button ends the dialog with its position among the buttons.
        int index = 0;
        for (; index < buttons.size() && buttons.at(index).first != b; ++index) { }
        done(index);
        return;
    }
    if (confirms(which))
        emit accepted();
    else
        emit rejected();
    done(which);
}

void MDialog::accept()
{
    emit accepted();
    done(Accepted);
}

void MDialog::reject()
{
    emit rejected();
    done(Rejected);
}

void MDialog::done(int r)
{
    if (ending)
        return;
    ending = true;
    dialogResult = r;
    emit finished(r);
    dismiss();
    ending = false;
}

int MDialog::exec(MWindow* window)
{
    if (!window)
        window = MApplication::activeWindow();
    dialogResult = Rejected;
    QPointer<MDialog> guard(this);
    QEventLoop loop;
    connect(this, &MDialog::finished, &loop, &QEventLoop::quit);
    // A dialog sent away or deleted without an answer never finishes: the wait ends anyway.
    connect(this, &MSceneWindow::disappeared, &loop, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    appear(window, KeepWhenDone);
    if (sceneWindowState() != Disappeared)
        loop.exec();
    return guard ? dialogResult : int(Rejected);
}

QRectF MDialog::panelRect() const
{
    return panel->geometry();
}

void MDialog::layoutPanel()
{
    const qreal width = qMin(PanelWidth, rect().width() - 20);
    const qreal height = qMin(
        panel->effectiveSizeHint(Qt::PreferredSize, QSizeF(width, -1)).height(),
        rect().height() - 20);
    panel->setGeometry(
        QRectF((rect().width() - width) / 2, (rect().height() - height) / 2, width, height));
}

void MDialog::resizeEvent(QGraphicsSceneResizeEvent* event)
{
    MSceneWindow::resizeEvent(event);
    layoutPanel();
}

void MDialog::drawBackground(QPainter* painter, const QStyleOptionGraphicsItem* option) const
{
    Q_UNUSED(option)
    const MPalette& palette = MTheme::palette();
    painter->fillRect(rect(), QColor(0, 0, 0, 170));
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(palette.firstAccentColor(), 2));
    painter->setBrush(palette.panelColor());
    painter->drawRoundedRect(panel->geometry().adjusted(1, 1, -1, -1), 8, 8);
    painter->restore();
}

void MDialog::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    event->accept();
}

void MDialog::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    if (!panel->geometry().contains(event->pos()))
        reject();
}
