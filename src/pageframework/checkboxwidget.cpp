#include "checkboxwidget.h"

#include "mbutton.h"
#include "mlabel.h"

#include <QGraphicsLinearLayout>
#include <QTimer>

namespace {

const int SettleMs = 100;

} // namespace

CheckboxWidget::CheckboxWidget(QString title, QGraphicsItem* parent)
    : MListItem(parent)
    , checkBox(new MButton)
    , label(new MLabel(title))
{
    setObjectName(QStringLiteral("MListItemStyle"));
    checkBox->setViewType(MButton::checkboxType);
    checkBox->setCheckable(true);
    label->setStyleName(QStringLiteral("CommonSingleTitleInverted"));

    auto* layout = new QGraphicsLinearLayout(Qt::Horizontal, this);
    layout->setContentsMargins(0, 0, 15, 0);
    layout->addItem(label);
    layout->setAlignment(label, Qt::AlignLeft | Qt::AlignVCenter);
    layout->addItem(checkBox);
    layout->setAlignment(checkBox, Qt::AlignRight | Qt::AlignVCenter);

    connect(this, &MListItem::clicked, checkBox, &MButton::toggle);
    connect(checkBox, &MButton::toggled, this, &CheckboxWidget::toggled);
    connect(checkBox, &MButton::toggled, this, &CheckboxWidget::disableCheckBox);
}

CheckboxWidget::~CheckboxWidget() = default;

void CheckboxWidget::setChecked(bool checked)
{
    checkBox->setChecked(checked);
}

void CheckboxWidget::disableCheckBox(bool state)
{
    pendingState = state;
    checkBox->setEnabled(false);
    QTimer::singleShot(SettleMs, this, &CheckboxWidget::enableCheckBox);
}

void CheckboxWidget::enableCheckBox()
{
    checkBox->setEnabled(true);
    checkBox->setChecked(pendingState);
}
