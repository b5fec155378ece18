#include "playqueuelistcellcreator.h"

#include "albumart/albumartloader.h"
#include "common/constants.h"
#include "mimagewidget.h"
#include "mlabel.h"
#include "playstate.h"
#include "zeltime.h"

#include <QModelIndex>

PlayQueueListCellCreator::PlayQueueListCellCreator(AlbumArtLoader* loader,
                                                   QHash<QString, int> columns, QObject* parent)
    : QObject(parent)
    , loader(loader)
{
    {
        PlayQueueContentItem prototype;
        setCellSize(prototype.effectiveSizeHint(Qt::PreferredSize));
    }
    setColumns(columns);
    setCellObjectName(QStringLiteral("CommonPanelInverted"));
}

PlayQueueListCellCreator::~PlayQueueListCellCreator() = default;

void PlayQueueListCellCreator::setColumns(const QHash<QString, int>& columns)
{
    titleColumn = columns.value(Constants::SongTitle, 0);
    artistColumn = columns.value(Constants::ArtistName, 0);
    lengthColumn = columns.value(Constants::SongLength, 0);
    albumColumn = columns.value(Constants::AlbumName, 0);
    songIdColumn = columns.value(Constants::SongId, 0);
}

void PlayQueueListCellCreator::updateCell(const QModelIndex& index, MWidget* cell) const
{
    auto* item = qobject_cast<PlayQueueContentItem*>(cell);
    if (!item || index.row() < 0 || index.column() < 0 || !index.model())
        return;
    item->setTitle(QString());
    item->setSubtitle(QString());
    item->setSideBottomTitle(QString());

    auto value = [&index](int column) { return index.data(Qt::UserRole + column); };
    const QString title = value(titleColumn).toString();
    const QString album = value(albumColumn).toString();
    QStringList artists = value(artistColumn).toString().split(QLatin1Char('\t'));
    artists.removeDuplicates();
    const QString unknownArtist = qtTrId("qtn_musi_unknown_artist");
    QString shownArtist;
    QString artArtist;
    if (artists.size() == 1) {
        shownArtist = artArtist = artists.first();
    } else {
        shownArtist = qtTrId("qtn_musi_various_artist");
        for (const QString& name : qAsConst(artists)) {
            if (name != unknownArtist) {
                artArtist = name;
                break;
            }
        }
    }
    if (shownArtist == unknownArtist)
        shownArtist = Constants::firstLengthVariant(shownArtist);
    const QString length = ZelTime::timeString(value(lengthColumn).toInt(), false);
    const int songId = value(songIdColumn).toInt();

    item->setTitle(title);
    item->setSubtitle(shownArtist);
    item->setSideBottomTitle(length);
    const bool playing = songId == PlayState::instance()->songId(PlayState::MusicMode);
    item->titleLabelWidget()->setStyleName(playing ? QStringLiteral("CommonTitleAccented")
                                                   : QStringLiteral("CommonTitleInverted"));
    item->subtitleLabelWidget()->setStyleName(playing ? QStringLiteral("CommonSubTitleAccented")
                                                      : QStringLiteral("CommonSubTitleInverted"));
    item->sideBottomLabelWidget()->setStyleName(playing ? QStringLiteral("CommonSubTitleAccented")
                                                        : QStringLiteral("CommonItemInfoInverted"));

    const ArtInfo cached =
        loader->artFromCache(album, artArtist, AlbumArtType::AlbumArt, QString(), true);
    if (!cached.pixmap.isNull()) {
        item->imageWidget()->setPixmap(cached.pixmap);
        if (cached.fromGenerated)
            loader->loadAlbumArt(index, albumColumn, artistColumn, QVariant(index), false,
                                 AlbumArtType::AlbumArt, QString());
    } else {
        item->imageWidget()->setPixmap(*loader->defaultPixmap());
        loader->loadAlbumArt(index, albumColumn, artistColumn, QVariant(index), true,
                             AlbumArtType::AlbumArt, QString());
    }
}
