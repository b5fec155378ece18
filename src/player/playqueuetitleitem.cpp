#include "playqueuetitleitem.h"

#include "mbutton.h"
#include "mlabel.h"

#include <QGraphicsLinearLayout>

PlayQueueTitleItem::PlayQueueTitleItem(QGraphicsItem* parent)
    : MListItem(parent)
{
    setStyleName(QStringLiteral("CommonHeaderPanelInverted"));
    auto* layout = new QGraphicsLinearLayout(Qt::Horizontal, this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* label = new MLabel(qtTrId("qtn_musi_play_queue"), this);
    label->setStyleName(QStringLiteral("CommonHeaderInverted"));
    label->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
    layout->addItem(label);
    layout->setAlignment(label, Qt::AlignLeft | Qt::AlignVCenter);
    button = new MButton(QStringLiteral("icon-s-music-video-play-accent"), QString(), this);
    button->setStyleName(QStringLiteral("CommonHeaderButtonInverted"));
    layout->addItem(button);
    layout->setAlignment(button, Qt::AlignRight | Qt::AlignVCenter);
    connect(button, SIGNAL(clicked()), this, SIGNAL(clicked()));
}

PlayQueueTitleItem::~PlayQueueTitleItem() = default;
