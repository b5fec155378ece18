#include "nowplayingwidget.h"

#include "mfeedback.h"
#include "mimagewidget.h"
#include "mlabel.h"
#include "mlocale.h"
#include "mstylablewidget.h"
#include "nowplayingwidgetmodel.h"
#include "nowplayingwidgetview.h"
#include "playback/playstate.h"
#include "styles/playerstyles.h"

#include <QGraphicsGridLayout>
#include <QGraphicsLinearLayout>
#include <QGraphicsOpacityEffect>
#include <QGraphicsSceneMouseEvent>

namespace {

// The rows keep their text off the screen's edges by their style's margins.
void applyMargins(QGraphicsLayout* layout, const MWidgetController* pane)
{
    const QMarginsF m = pane->style()->margins();
    layout->setContentsMargins(m.left(), m.top(), m.right(), m.bottom());
}

} // namespace

NowPlayingWidget::NowPlayingWidget(QGraphicsItem* parent, int mode)
    : MWidgetController(parent)
    , mode(mode)
{
    PlayerStyles::ensureRegistered();
}

NowPlayingWidget::~NowPlayingWidget() = default;

void NowPlayingWidget::setup()
{
    build(QStringLiteral("NowPlayingWidget"), QStringLiteral("InfoPaneTop"),
          QStringLiteral("InfoPaneBottom"));
    connect(PlayState::instance(), SIGNAL(songCountChanged(int)), this,
            SLOT(updateSongCountLabel()));
}

void NowPlayingWidget::build(const QString& widgetStyle, const QString& topStyle,
                             const QString& bottomStyle)
{
    setModel(new NowPlayingWidgetModel);
    setView(new NowPlayingWidgetView(this));
    setStyleName(widgetStyle);

    auto* outer = new QGraphicsLinearLayout(Qt::Vertical, this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    topPane = new MStylableWidget(this);
    topPane->setStyleName(topStyle);
    auto* topLayout = new QGraphicsLinearLayout(Qt::Horizontal, topPane);
    applyMargins(topLayout, topPane);
    topLayout->setSpacing(0);
    titleLabel = new MLabel(topPane);
    titleLabel->setStyleName(QStringLiteral("SongTitleLabel"));
    titleLabel->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
    titleLabel->setTextElide(true);
    topLayout->addItem(titleLabel);
    topLayout->setAlignment(titleLabel, Qt::AlignLeft | Qt::AlignTop);
    songNumberLabel = new MLabel(topPane);
    songNumberLabel->setStyleName(QStringLiteral("SongNumberLabel"));
    songNumberLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    songNumberLabel->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Maximum);
    topLayout->addItem(songNumberLabel);
    topLayout->setAlignment(songNumberLabel, Qt::AlignRight | Qt::AlignTop);

    bottomPane = new MStylableWidget(this);
    bottomPane->setStyleName(bottomStyle);
    auto* grid = new QGraphicsGridLayout(bottomPane);
    applyMargins(grid, bottomPane);
    grid->setSpacing(0);
    artistLabel = new MLabel(bottomPane);
    artistLabel->setStyleName(QStringLiteral("ArtistLabel"));
    artistLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
    artistLabel->setTextElide(true);
    grid->addItem(artistLabel, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    infoIcon = new MImageWidget(QStringLiteral("icon-s-music-video-description"), bottomPane);
    infoIcon->setStyleName(QStringLiteral("InfoIcon"));
    infoIcon->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Maximum);
    grid->addItem(infoIcon, 0, 1, 2, 1, Qt::AlignRight | Qt::AlignTop);
    albumLabel = new MLabel(bottomPane);
    albumLabel->setStyleName(QStringLiteral("AlbumLabel"));
    albumLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
    albumLabel->setTextElide(true);
    grid->addItem(albumLabel, 1, 0, Qt::AlignLeft | Qt::AlignTop);

    outer->addItem(topPane);
    outer->addItem(bottomPane);
}

void NowPlayingWidget::updateContent()
{
    if (!titleLabel)
        return;
    PlayState* hub = PlayState::instance();
    const auto m = PlayState::PlayingMode(mode);
    titleLabel->setText(hub->title(m));
    albumLabel->setText(hub->album(m));
    artistLabel->setText(hub->artist(m));
    if (hub->contentType(m) == PlayState::SongContent) {
        tappable = true;
        infoIcon->show();
        updateSongCountLabel();
    } else {
        tappable = false;
        infoIcon->hide();
        songNumberLabel->setText(QString());
    }
}

void NowPlayingWidget::updateSongCountLabel()
{
    if (!songNumberLabel)
        return;
    PlayState* hub = PlayState::instance();
    const auto m = PlayState::PlayingMode(mode);
    const int count = hub->songCount(m);
    if (count < 1) {
        songNumberLabel->setText(QString());
        return;
    }
    const MLocale locale;
    QString current = locale.formatNumber(hub->currentIndex(m) + 1);
    QString total = locale.formatNumber(count);
    // Arabic script reads right to left: the total comes first there.
    const QStringList scripts = locale.localeScripts();
    if (!scripts.isEmpty() && scripts.first() == QLatin1String("Arab"))
        qSwap(current, total);
    songNumberLabel->setText(QStringLiteral("%1/%2").arg(current, total));
}

void NowPlayingWidget::removeGraphicsEffect()
{
    if (!topPane || !bottomPane)
        return;
    topPane->setGraphicsEffect(nullptr);
    bottomPane->setGraphicsEffect(nullptr);
}

void NowPlayingWidget::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    if (!tappable) {
        event->ignore();
        return;
    }
    for (MStylableWidget* pane : { topPane, bottomPane }) {
        auto* dim = new QGraphicsOpacityEffect;
        dim->setOpacity(0.5);
        pane->setGraphicsEffect(dim);
    }
    event->accept();
    MFeedback::play(MFeedback::Press);
}

void NowPlayingWidget::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    if (!tappable) {
        event->ignore();
        return;
    }
    removeGraphicsEffect();
    event->accept();
    if (PlayState::instance()->contentType(PlayState::PlayingMode(mode))
        == PlayState::SongContent) {
        MFeedback::play(MFeedback::Release);
        emit tapped();
    }
}
