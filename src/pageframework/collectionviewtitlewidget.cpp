#include "collectionviewtitlewidget.h"

#include "mlabel.h"
#include "mseparator.h"

#include <QGraphicsLinearLayout>

CollectionViewTitleWidget::CollectionViewTitleWidget(bool withSeparator, QGraphicsItem* parent)
    : MWidgetController(parent)
    , titleLabel(new MLabel(this))
{
    auto* layout = new QGraphicsLinearLayout(Qt::Vertical);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    setLayout(layout);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    titleLabel->setStyleName(QStringLiteral("CommonHeaderInverted"));
    titleLabel->setPreferredLineCount(2);
    titleLabel->setPreferredLineCountBehavior(MLabel::LineCountSetsPreferredHeight);
    titleLabel->setTextElide(true);
    titleLabel->setWordWrap(true);
    titleLabel->setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    titleLabel->setAlignment(Qt::AlignTop);
    layout->addItem(titleLabel);

    if (withSeparator) {
        divider = new MSeparator(this, Qt::Horizontal);
        divider->setStyleName(QStringLiteral("CommonHeaderDividerInverted"));
        layout->addItem(divider);
    }
}

CollectionViewTitleWidget::~CollectionViewTitleWidget() = default;

void CollectionViewTitleWidget::showWholeText()
{
    titleLabel->setPreferredLineCount(0);
    titleLabel->setTextElide(false);
    // The header is as tall as its wrapped title at the width it gets.
    QSizePolicy policy = sizePolicy();
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    updateGeometry();
}

QString CollectionViewTitleWidget::text() const
{
    return titleLabel->text();
}

void CollectionViewTitleWidget::setText(const QString& text)
{
    titleLabel->setText(text);
}
