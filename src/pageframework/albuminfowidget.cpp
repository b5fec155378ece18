#include "albuminfowidget.h"

#include "albumart/albumartloader.h"
#include "albumart/collageimagewidget.h"
#include "common/constants.h"
#include "mlabel.h"
#include "mlocale.h"
#include "mstylablewidget.h"

#include <QDateTime>
#include <QGraphicsLinearLayout>

AlbumInfoWidget::AlbumInfoWidget(QSharedPointer<MafwTrackerModel> model,
                                 const SongColumns& songColumns, QGraphicsItem* parent)
    : SongPageInfoWidget(model, parent)
    , artist(new MLabel(container))
    , loader(new AlbumArtLoader(AlbumArtType::AlbumArt, QStringLiteral("music-grid"), this))
    , columns(songColumns)
{
    artist->setStyleName(QStringLiteral("artistNameLabel"));
    artist->setPreferredLineCount(2);
    artist->setWordWrap(true);
    artist->setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    artist->setTextElide(true);
    connect(loader, &AlbumArtLoader::albumArtReady, this, &AlbumInfoWidget::setAlbumArt,
            Qt::ConnectionType(Qt::DirectConnection | Qt::UniqueConnection));
    // Queued: the cover is looked up again outside the loader's own signal.
    connect(loader, &AlbumArtLoader::refreshAlbumArts, this, &AlbumInfoWidget::updateAlbumArt,
            Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection));
}

AlbumInfoWidget::~AlbumInfoWidget() = default;

QString AlbumInfoWidget::firstArtist() const
{
    return parameters.value(Constants::ArtistName).toString().split(QLatin1Char('\t')).first();
}

void AlbumInfoWidget::updateAlbumInfo(const QHash<QString, QVariant>& albumParameters)
{
    parameters = albumParameters;
    const QModelIndex first = model && rowCount() > 0 ? model->index(0, 0) : QModelIndex();
    const QString genreText = first.isValid() ? model->index(0, columns.genre).data().toString()
                                              : QString();
    const QDateTime date = first.isValid() ? model->index(0, columns.year).data().toDateTime()
                                           : QDateTime();
    const QString yearText = date.isValid() ? MLocale().formatDateTime(date, QStringLiteral("%Y"))
                                            : QString();

    QString artistText;
    if (parameters.contains(Constants::AlbumArtistCount)) {
        if (parameters.value(Constants::AlbumArtistCount).toInt() > 1)
            artistText = qtTrId("qtn_musi_various_artist");
        else if (parameters.value(Constants::AccessFromArtistView).toBool()
                 && parameters.contains(Constants::ArtistName))
            artistText = parameters.value(Constants::ArtistName).toString();
        else
            artistText = firstArtist();
    }
    artist->setText(artistText);

    // The column is stacked anew: facts that are unknown for this album leave no gap.
    while (labelColumn->count() > 0)
        labelColumn->removeAt(0);
    labelColumn->addItem(artist);
    labelColumn->addItem(songCount);
    labelColumn->addItem(length);
    showFact(year, yearText);
    showFact(genre, genreText);
    updateAlbumArt();
}

void AlbumInfoWidget::showFact(MLabel* label, const QString& text)
{
    label->setText(text);
    label->setVisible(!text.isEmpty());
    if (!text.isEmpty())
        labelColumn->addItem(label);
}

void AlbumInfoWidget::updateAlbumArt()
{
    const QString album = parameters.value(Constants::AlbumName).toString();
    const QString performer = firstArtist();
    const ArtInfo cached = loader->artFromCache(album, performer, AlbumArtType::DefaultArt,
                                                QString(), true);
    if (!cached.pixmap.isNull()) {
        image->setPixmap(cached.pixmap);
        // A generated cover stands in until the real one is found.
        if (cached.fromGenerated)
            loader->loadAlbumArt(album, performer, QStringLiteral("music-grid"), false,
                                 AlbumArtType::DefaultArt, QVariant());
        return;
    }
    if (const QPixmap* placeholder = loader->defaultPixmap())
        image->setPixmap(*placeholder);
    loader->loadAlbumArt(album, performer, QString(), true, AlbumArtType::DefaultArt, QVariant());
}

void AlbumInfoWidget::setAlbumArt(QPixmap pixmap, QVariant data)
{
    Q_UNUSED(data) // the loader is the panel's own: every answer is its cover
    image->setPixmap(pixmap);
}
