#include "mdetailedlistitem.h"

#include "mimagewidget.h"
#include "mlabel.h"

#include <QGraphicsGridLayout>

namespace {

const qreal ImageGap = 16;

// The layout this class makes, told apart from a subclass's by its type. Its two text lines
// meet on the row's middle: the title's text sits low in its half, the subtitle's high.
class MDetailedListItemGrid : public QGraphicsGridLayout
{
};

const QString IconImageStyle = QStringLiteral("CommonMainIcon");
const QString ThumbnailImageStyle = QStringLiteral("CommonThumbnail");

MLabel* makeLabel(QGraphicsItem* parent, const QString& styleName, bool elide,
                  Qt::Alignment alignment)
{
    auto* label = new MLabel(parent);
    label->setStyleName(styleName);
    label->setTextElide(elide);
    label->setAlignment(alignment);
    return label;
}

} // namespace

MDetailedListItem::MDetailedListItem(ItemStyle itemStyle, QGraphicsItem* parent)
    : MListItem(parent)
    , shape(itemStyle)
{
}

MDetailedListItem::~MDetailedListItem() = default;

MDetailedListItem::ItemStyle MDetailedListItem::itemStyle() const
{
    return shape;
}

MDetailedListItem::IconStyle MDetailedListItem::iconStyle() const
{
    return iconShape;
}

QString MDetailedListItem::defaultImageStyle() const
{
    return iconShape == Thumbnail ? ThumbnailImageStyle : IconImageStyle;
}

void MDetailedListItem::setIconStyle(IconStyle iconStyle)
{
    iconShape = iconStyle;
    if (!image)
        return;
    const QString current = image->styleName();
    if (current.isEmpty() || current == IconImageStyle || current == ThumbnailImageStyle)
        image->setStyleName(defaultImageStyle());
}

MLabel* MDetailedListItem::titleLabelWidget()
{
    if (!titleLabel)
        titleLabel = makeLabel(this, QStringLiteral("CommonTitleInverted"), true,
                               Qt::AlignLeft | Qt::AlignBottom);
    return titleLabel;
}

MLabel* MDetailedListItem::subtitleLabelWidget()
{
    if (!subtitleLabel)
        subtitleLabel = makeLabel(this, QStringLiteral("CommonSubTitleInverted"), true,
                                  Qt::AlignLeft | Qt::AlignTop);
    return subtitleLabel;
}

MLabel* MDetailedListItem::sideBottomLabelWidget()
{
    if (!sideBottomLabel)
        sideBottomLabel = makeLabel(this, QStringLiteral("CommonItemInfoInverted"), false,
                                    Qt::AlignRight | Qt::AlignTop);
    return sideBottomLabel;
}

MImageWidget* MDetailedListItem::imageWidget()
{
    if (!image) {
        image = new MImageWidget(this);
        image->setStyleName(defaultImageStyle());
    }
    return image;
}

void MDetailedListItem::setImageWidget(MImageWidget* replacement)
{
    if (replacement == image)
        return;
    delete image.data();
    image = replacement;
    if (image)
        image->setParentItem(this);
    if (layoutMade && dynamic_cast<MDetailedListItemGrid*>(layout()))
        initLayout();
}

QString MDetailedListItem::title() const
{
    return titleLabel ? titleLabel->text() : QString();
}

void MDetailedListItem::setTitle(const QString& text)
{
    titleLabelWidget()->setText(text);
}

QString MDetailedListItem::subtitle() const
{
    return subtitleLabel ? subtitleLabel->text() : QString();
}

void MDetailedListItem::setSubtitle(const QString& text)
{
    subtitleLabelWidget()->setText(text);
}

QString MDetailedListItem::sideBottomTitle() const
{
    return sideBottomLabel ? sideBottomLabel->text() : QString();
}

void MDetailedListItem::setSideBottomTitle(const QString& text)
{
    sideBottomLabelWidget()->setText(text);
}

void MDetailedListItem::initLayout()
{
    clearLayout();
    QGraphicsLayout* made = createLayout();
    if (made && made != layout())
        setLayout(made);
    layoutMade = true;
}

QGraphicsLayout* MDetailedListItem::createLayout()
{
    auto* grid = new MDetailedListItemGrid;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    const bool sideLabel = shape == IconTitleSubtitleAndSideLabel;

    MImageWidget* picture = imageWidget();
    picture->show();
    grid->addItem(picture, 0, 0, 2, 1, Qt::AlignLeft | Qt::AlignVCenter);
    grid->setColumnSpacing(0, ImageGap);

    MLabel* titleText = titleLabelWidget();
    titleText->show();
    grid->addItem(titleText, 0, 1, 1, sideLabel ? 2 : 1, Qt::AlignLeft | Qt::AlignBottom);

    MLabel* subtitleText = subtitleLabelWidget();
    subtitleText->show();
    grid->addItem(subtitleText, 1, 1, Qt::AlignLeft | Qt::AlignTop);

    if (sideLabel) {
        MLabel* side = sideBottomLabelWidget();
        side->show();
        grid->addItem(side, 1, 2, Qt::AlignRight | Qt::AlignTop);
    } else if (sideBottomLabel) {
        sideBottomLabel->hide();
    }
    grid->setColumnStretchFactor(1, 1);
    return grid;
}

void MDetailedListItem::clearLayout()
{
    if (dynamic_cast<MDetailedListItemGrid*>(layout()))
        setLayout(nullptr); // deletes the grid; the widgets stay with the item
}

void MDetailedListItem::polishEvent()
{
    if (!layoutMade) {
        if (layout())
            layoutMade = true; // someone gave the item a layout of their own
        else
            initLayout();
    }
    MListItem::polishEvent();
}
