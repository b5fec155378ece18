#include "mbasiclistitem.h"

#include "mimagewidget.h"
#include "mlabel.h"

#include <QGraphicsGridLayout>

namespace {
const qreal IconGap = 16;
} // namespace

MBasicListItem::MBasicListItem(ItemStyle itemStyle, QGraphicsItem* parent)
    : MListItem(parent)
    , shape(itemStyle)
{
    rebuildLayout();
}

MBasicListItem::~MBasicListItem() = default;

MBasicListItem::ItemStyle MBasicListItem::itemStyle() const
{
    return shape;
}

void MBasicListItem::setItemStyle(ItemStyle itemStyle)
{
    if (itemStyle == shape)
        return;
    shape = itemStyle;
    rebuildLayout();
}

bool MBasicListItem::hasIcon() const
{
    return shape == IconWithTitle || shape == IconWithTitleAndSubtitle;
}

bool MBasicListItem::hasSubtitle() const
{
    return shape == TitleWithSubtitle || shape == IconWithTitleAndSubtitle;
}

QString MBasicListItem::title() const
{
    return titleLabel ? titleLabel->text() : QString();
}

void MBasicListItem::setTitle(const QString& text)
{
    titleLabelWidget()->setText(text);
}

QString MBasicListItem::subtitle() const
{
    return subtitleLabel ? subtitleLabel->text() : QString();
}

void MBasicListItem::setSubtitle(const QString& text)
{
    subtitleLabelWidget()->setText(text);
}

MLabel* MBasicListItem::titleLabelWidget()
{
    if (!titleLabel) {
        titleLabel = new MLabel(this);
        titleLabel->setTextElide(true);
        titleLabel->setStyleName(hasSubtitle() ? QStringLiteral("CommonTitleInverted")
                                               : QStringLiteral("CommonSingleTitleInverted"));
    }
    return titleLabel;
}

MLabel* MBasicListItem::subtitleLabelWidget()
{
    if (!subtitleLabel) {
        subtitleLabel = new MLabel(this);
        subtitleLabel->setTextElide(true);
        subtitleLabel->setStyleName(QStringLiteral("CommonSubTitleInverted"));
        if (!hasSubtitle())
            subtitleLabel->hide();
    }
    return subtitleLabel;
}

MImageWidget* MBasicListItem::imageWidget()
{
    if (!image) {
        image = new MImageWidget(this);
        image->setStyleName(QStringLiteral("CommonMainIcon"));
        if (!hasIcon())
            image->hide();
    }
    return image;
}

void MBasicListItem::setImageWidget(MImageWidget* replacement)
{
    if (replacement == image)
        return;
    delete image.data();
    image = replacement;
    if (image)
        image->setParentItem(this);
    rebuildLayout();
}

void MBasicListItem::rebuildLayout()
{
    auto* grid = new QGraphicsGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    int textColumn = 0;
    if (hasIcon()) {
        MImageWidget* icon = imageWidget();
        icon->show();
        grid->addItem(icon, 0, 0, 2, 1, Qt::AlignLeft | Qt::AlignVCenter);
        grid->setColumnSpacing(0, IconGap);
        textColumn = 1;
    } else if (image) {
        image->hide();
    }
    // Two lines meet on the row's middle; a single line sits on it.
    MLabel* titleText = titleLabelWidget();
    titleText->setStyleName(hasSubtitle() ? QStringLiteral("CommonTitleInverted")
                                          : QStringLiteral("CommonSingleTitleInverted"));
    titleText->setAlignment(Qt::AlignLeft | (hasSubtitle() ? Qt::AlignBottom : Qt::AlignVCenter));
    if (hasSubtitle()) {
        MLabel* subtitleText = subtitleLabelWidget();
        subtitleText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        subtitleText->show();
        grid->addItem(titleText, 0, textColumn, Qt::AlignLeft | Qt::AlignBottom);
        grid->addItem(subtitleText, 1, textColumn, Qt::AlignLeft | Qt::AlignTop);
    } else {
        if (subtitleLabel)
            subtitleLabel->hide();
        grid->addItem(titleText, 0, textColumn, 2, 1, Qt::AlignLeft | Qt::AlignVCenter);
    }
    grid->setColumnStretchFactor(textColumn, 1);
    setLayout(grid);
}
