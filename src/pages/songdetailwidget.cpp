#include "songdetailwidget.h"

#include "albumart/albumartloader.h"
#include "common/constants.h"
#include "mimagewidget.h"
#include "mlabel.h"
#include "mlocale.h"

#include <QDateTime>
#include <QGraphicsLinearLayout>
#include <QStringList>

namespace {

QString rowText(const QString& title, const QString& value)
{
    return Constants::firstLengthVariant(title) + QLatin1Char(' ') + value;
}

} // namespace

SongDetailWidget::SongDetailWidget(QGraphicsItem* parent)
    : MWidget(parent)
    , mainLayout(new QGraphicsLinearLayout(Qt::Vertical, this))
    , horizontalLayout(new QGraphicsLinearLayout(Qt::Horizontal))
    , artistLabel(createRowLabel())
    , trackNumberLabel(createRowLabel())
    , discNumberLabel(createRowLabel())
    , yearLabel(createRowLabel())
    , albumLabel(createRowLabel())
    , genreLabel(createRowLabel())
    , composerLabel(createRowLabel())
    , writerLabel(createRowLabel())
    , artLoader(new AlbumArtLoader(AlbumArtType::AlbumArt, QStringLiteral("music-grid"), this))
    , albumArt(new MImageWidget)
    , artistTitle(qtTrId("qtn_musi_artist_md"))
    , trackNumberTitle(qtTrId("qtn_musi_tracknumber_md"))
    , discNumberTitle(qtTrId("qtn_musi_discnumber_md"))
    , yearTitle(qtTrId("qtn_musi_year_md"))
    , albumTitle(qtTrId("qtn_musi_album_md"))
    , genreTitle(qtTrId("qtn_musi_genre_md"))
    , composerTitle(qtTrId("qtn_musi_composer_md"))
    , writerTitle(qtTrId("qtn_musi_writer_md"))
{
    albumArt->setStyleName(QStringLiteral("albumArtOfSongPage"));
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(0);
    horizontalLayout->setContentsMargins(0, 0, 0, 0);
    horizontalLayout->setSpacing(0);
    horizontalLayout->addItem(albumArt);
    horizontalLayout->setAlignment(albumArt, Qt::AlignTop);
    mainLayout->addItem(horizontalLayout);

    connect(artLoader, SIGNAL(albumArtReady(QPixmap, QVariant)), this,
            SLOT(setAlbumArt(QPixmap, QVariant)),
            Qt::ConnectionType(Qt::DirectConnection | Qt::UniqueConnection));
    connect(artLoader, SIGNAL(refreshAlbumArts()), this, SLOT(updateAlbumArt()));
}

SongDetailWidget::~SongDetailWidget()
{
    // Take the rows out of the layout first: the layout would otherwise reach for them while
    // it goes down with the widget.
    if (rowsLayout) {
        while (rowsLayout->count() > 0)
            rowsLayout->removeAt(rowsLayout->count() - 1);
    }
    for (MLabel* label : { artistLabel, trackNumberLabel, discNumberLabel, yearLabel, albumLabel,
                           genreLabel, composerLabel, writerLabel })
        delete label;
}

MLabel* SongDetailWidget::createRowLabel()
{
    auto* label = new MLabel(this);
    label->setStyleName(QStringLiteral("albumInfoLabel"));
    label->setTextElide(true);
    label->hide();
    return label;
}

void SongDetailWidget::setData(const QHash<QString, QString>& fields)
{
    album = fields.value(QStringLiteral("album"));
    artist = fields.value(QStringLiteral("artist"));
    const QString genre = fields.value(QStringLiteral("genre"));
    const QString composer = fields.value(QStringLiteral("composer"));
    const QString writer = fields.value(QStringLiteral("writer"));

    updateAlbumArt();
    resetRowsLayout();

    const MLocale locale;
    const int trackNumber = fields.value(QStringLiteral("tracknumber")).toInt();
    discNumber = fields.value(QStringLiteral("discnumber")).toInt();
    const QDateTime year = QDateTime::fromString(fields.value(QStringLiteral("year")), Qt::ISODate);

    addRow(trackNumberLabel, trackNumber > 0
                                 ? rowText(trackNumberTitle, locale.formatNumber(trackNumber))
                                 : QString());
    addRow(artistLabel, artist.isEmpty() ? QString() : rowText(artistTitle, artist));
    addRow(albumLabel, album.isEmpty() ? QString() : rowText(albumTitle, album));
    addRow(yearLabel, year.isValid()
                          ? rowText(yearTitle, locale.formatDateTime(year, QStringLiteral("%Y")))
                          : QString());
    addRow(genreLabel, genre.isEmpty() ? QString() : rowText(genreTitle, genre));
    addRow(composerLabel, composer.isEmpty() ? QString() : rowText(composerTitle, composer));
    addRow(writerLabel, writer.isEmpty() ? QString() : rowText(writerTitle, writer));

    // The disc row waits for the album's disc count.
    discNumberLabel->setText(
        discNumber > 0 ? rowText(discNumberTitle, locale.formatNumber(discNumber)) : QString());
    discNumberLabel->hide();
    setLabelAlignment(discNumberLabel);

    rowsLayout->addStretch(1);
}

void SongDetailWidget::resetRowsLayout()
{
    if (rowsLayout) {
        for (int i = rowsLayout->count() - 1; i >= 0; --i)
            rowsLayout->removeAt(i);
        horizontalLayout->removeItem(rowsLayout);
        delete rowsLayout;
    }
    rowsLayout = new QGraphicsLinearLayout(Qt::Vertical);
    rowsLayout->setContentsMargins(0, 0, 0, 0);
    rowsLayout->setSpacing(0);
    horizontalLayout->addItem(rowsLayout);
}

void SongDetailWidget::setLabelAlignment(MLabel* label) const
{
    const QString language = MLocale().language();
    const bool rightToLeft = language == QLatin1String("ar") || language == QLatin1String("fa")
                             || language == QLatin1String("he");
    label->setAlignment((rightToLeft ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
}

void SongDetailWidget::addRow(MLabel* label, const QString& text)
{
    label->setText(text);
    setLabelAlignment(label);
    if (!text.isEmpty())
        rowsLayout->addItem(label);
    label->setVisible(!text.isEmpty());
}

void SongDetailWidget::updateDiscCount(int count)
{
    if (!rowsLayout || !(discNumber > 1 || (discNumber == 1 && count > 1)))
        return;
    for (int i = 0; i < rowsLayout->count(); ++i) {
        if (rowsLayout->itemAt(i) == discNumberLabel)
            return;
    }
    rowsLayout->insertItem(1, discNumberLabel);
    discNumberLabel->show();
}

void SongDetailWidget::setAlbumArt(QPixmap pixmap, QVariant data)
{
    // A cover asked for an earlier song may arrive after the next song is shown.
    if (data.isValid() && data.toStringList() != QStringList { album, artist })
        return;
    albumArt->setPixmap(pixmap);
}

void SongDetailWidget::updateAlbumArt()
{
    const ArtInfo cached = artLoader->artFromCache(album, artist, AlbumArtType::DefaultArt,
                                                   QString(), true);
    if (!cached.pixmap.isNull()) {
        albumArt->setPixmap(cached.pixmap);
        return;
    }
    albumArt->setPixmap(QPixmap());
    artLoader->loadAlbumArt(album, artist, QString(), true, AlbumArtType::DefaultArt,
                            QVariant(QStringList { album, artist }));
}

QList<MLabel*> SongDetailWidget::shownRows() const
{
    QList<MLabel*> shown;
    if (!rowsLayout)
        return shown;
    for (int i = 0; i < rowsLayout->count(); ++i) {
        if (auto* label = dynamic_cast<MLabel*>(rowsLayout->itemAt(i)))
            shown << label;
    }
    return shown;
}
