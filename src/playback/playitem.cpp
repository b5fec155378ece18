#include "playitem.h"

PlayItem PlayItem::noSong()
{
    PlayItem item;
    item.contentType = PlaybackEnums::SongContent;
    item.index = -1;
    return item;
}

PlayItem PlayItem::noStream(const QUrl& streamUrl)
{
    PlayItem item;
    item.contentType = PlaybackEnums::RadioPlaylistContent;
    item.streamUrl = streamUrl;
    item.index = -1;
    item.seekable = false;
    return item;
}

PlayItem PlayItem::nothing()
{
    PlayItem item;
    item.seekable = false;
    return item;
}

PlayItem PlayItem::asMusicSnapshot() const
{
    PlayItem item = *this;
    item.contentType = PlaybackEnums::SongContent;
    item.seekable = true;
    item.streamUrl = QUrl();
    item.streamArtPath.clear();
    item.streamArtText.clear();
    return item;
}

PlayItem PlayItem::asRadioSnapshot() const
{
    PlayItem item = *this;
    item.songUri.clear();
    item.songId = -1;
    item.albumId = -1;
    item.index = -1;
    item.songCount = 0;
    return item;
}

void PlayItem::setSong(const PlayItem& song)
{
    title = song.title;
    album = song.album;
    artist = song.artist;
    genre = song.genre;
    songUri = song.songUri;
    songId = song.songId;
    albumId = song.albumId;
    duration = song.duration;
    streamArtPath.clear();
    streamArtText.clear();
}

bool PlayItem::setTexts(const QString& newTitle, const QString& newAlbum, const QString& newArtist)
{
    if (newTitle == title && newAlbum == album && newArtist == artist)
        return false;
    title = newTitle;
    album = newAlbum;
    artist = newArtist;
    return true;
}
