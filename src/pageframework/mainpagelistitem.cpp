#include "mainpagelistitem.h"

#include "mimagewidget.h"
#include "mlabel.h"

#include <QGraphicsGridLayout>

MainPageListItem::MainPageListItem(int layoutType, QGraphicsItem* parent)
    : MListItem(parent)
    , grid(new QGraphicsGridLayout)
    , titleText(new MLabel(this))
    , subtitleText(new MLabel(this))
    , image(new MImageWidget(this))
{
    grid->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setColumnStretchFactor(0, 1);
    grid->setSpacing(0);
    setLayout(grid);

    setStyleName(QStringLiteral("CommonSmallPanelInverted"));
    titleText->setStyleName(QStringLiteral("CommonSingleTitleInverted"));
    subtitleText->setStyleName(QStringLiteral("CommonSubTextInverted"));
    image->setStyleName(QStringLiteral("CommonDrillDownIcon"));
    // A long title ends in an ellipsis instead of pushing the icon out of the row.
    titleText->setTextElide(true);
    subtitleText->setTextElide(true);
    titleText->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    subtitleText->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);

    layoutItems(layoutType);
}

MainPageListItem::~MainPageListItem() = default;

void MainPageListItem::layoutItems(int layoutType)
{
    switch (layoutType) {
    case TitleAndSubtitle:
        grid->addItem(titleText, 0, 0, Qt::AlignLeft | Qt::AlignBottom);
        grid->addItem(subtitleText, 1, 0, Qt::AlignLeft | Qt::AlignTop);
        image->hide();
        break;
    case TitleAndIcon:
        grid->addItem(titleText, 0, 0, Qt::AlignLeft | Qt::AlignVCenter);
        grid->addItem(image, 0, 1, Qt::AlignRight | Qt::AlignVCenter);
        subtitleText->hide();
        break;
    case TitleSubtitleAndIcon:
        grid->addItem(titleText, 0, 0, Qt::AlignLeft | Qt::AlignBottom);
        grid->addItem(subtitleText, 1, 0, Qt::AlignLeft | Qt::AlignTop);
        grid->addItem(image, 0, 1, 2, 1, Qt::AlignRight | Qt::AlignVCenter);
        break;
    default:
        grid->addItem(titleText, 0, 0, Qt::AlignLeft | Qt::AlignVCenter);
        subtitleText->hide();
        image->hide();
        break;
    }
}

void MainPageListItem::setTitle(const QString& text)
{
    titleText->setText(text);
}

QString MainPageListItem::title() const
{
    return titleText->text();
}

void MainPageListItem::setSubtitle(const QString& text)
{
    subtitleText->setText(text);
}

QString MainPageListItem::subtitle() const
{
    return subtitleText->text();
}

void MainPageListItem::setImage(const QString& id)
{
    image->setImage(id);
}

QString MainPageListItem::imageId() const
{
    return image->imageId();
}
