#include "songsofartistgroupheader.h"

#include "mgridlayoutpolicy.h"
#include "mlabel.h"
#include "mlayout.h"
#include "mseparator.h"
#include "mwidgetstyle.h"

SongsOfArtistGroupHeader::SongsOfArtistGroupHeader(QGraphicsItem* parent)
    : MStylableWidget(parent)
{
    setStyleName(QStringLiteral("CommonGroupHeaderPanelInverted"));

    headerLayout = new MLayout(this);
    // The panel's padding, which the toolkit's view keeps around the layout.
    const QMarginsF padding = style()->margins();
    headerLayout->setContentsMargins(padding.left(), padding.top(), padding.right(),
                                     padding.bottom());
    auto* grid = new MGridLayoutPolicy(headerLayout);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    // The line runs on the middle of the name, a little apart from it.
    grid->setColumnSpacing(0, 12);
    grid->setColumnStretchFactor(0, 1);
    auto* divider = new MSeparator(this, Qt::Horizontal);
    divider->setStyleName(QStringLiteral("CommonGroupHeaderDividerInverted"));
    divider->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
    grid->addItem(divider, 0, 0, Qt::AlignVCenter);
    grid->addItem(titleLabel(), 0, 1, Qt::AlignVCenter);
    headerLayout->setPolicy(grid);
    grid->activate();
    setLayout(headerLayout);
}

SongsOfArtistGroupHeader::~SongsOfArtistGroupHeader() = default;

MLabel* SongsOfArtistGroupHeader::titleLabel()
{
    if (!title) {
        title = new MLabel(this);
        title->setAlignment(Qt::AlignRight);
        title->setTextElide(true);
        title->setStyleName(QStringLiteral("CommonGroupHeaderInverted"));
    }
    return title;
}

void SongsOfArtistGroupHeader::setTitle(const QString& text)
{
    // An album is named as its tags write it, never read as markup.
    titleLabel()->setTextFormat(Qt::PlainText);
    titleLabel()->setText(text);
}
