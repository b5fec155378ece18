#include "mcontainer.h"

#include "mlabel.h"

#include <QGraphicsLinearLayout>

MContainer::MContainer(QGraphicsItem* parent)
    : MContainer(QString(), parent)
{
}

MContainer::MContainer(const QString& title, QGraphicsItem* parent)
    : MWidgetController(parent)
    , header(new MLabel(title))
    , central(new QGraphicsWidget)
    , box(new QGraphicsLinearLayout(Qt::Vertical, this))
{
    // The title keeps the page's margin, as the text below it does.
    header->setStyleName(QStringLiteral("CommonContainerHeaderInverted"));
    header->setTextElide(true);
    // Room a layout gives the container beyond what it asks for goes below the central widget's
    // content, never into the title: a taller title would stand its text farther from the
    // first row than its margin says.
    header->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addItem(header);
    box->addItem(central);
    header->setVisible(!title.isEmpty());
}

MContainer::~MContainer() = default;

QString MContainer::title() const
{
    return header->text();
}

void MContainer::setTitle(const QString& title)
{
    header->setText(title);
}

bool MContainer::headerVisible() const
{
    return header->isVisibleTo(this);
}

void MContainer::setHeaderVisible(bool visible)
{
    header->setVisible(visible);
    updateGeometry();
}

QGraphicsWidget* MContainer::centralWidget()
{
    if (!central) {
        central = new QGraphicsWidget;
        box->addItem(central);
    }
    return central;
}

void MContainer::setCentralWidget(QGraphicsWidget* widget, bool destroy)
{
    if (widget == central)
        return;
    if (central) {
        box->removeItem(central);
        if (destroy) {
            delete central.data();
        } else {
            central->hide();
            central->setParentItem(nullptr);
        }
    }
    central = widget;
    if (central) {
        box->addItem(central);
        central->show();
    }
}
