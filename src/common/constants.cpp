#include "constants.h"

namespace Constants {

const QString SongId = QStringLiteral("songId");
const QString SongUri = QStringLiteral("songUri");
const QString SongTitle = QStringLiteral("songTitle");
const QString SongLength = QStringLiteral("songLength");
const QString TrackNumber = QStringLiteral("trackNumber");
const QString ArtistId = QStringLiteral("artistId");
const QString ArtistName = QStringLiteral("artistName");
const QString AlbumId = QStringLiteral("albumId");
const QString AlbumName = QStringLiteral("albumName");
const QString AlbumTrackCount = QStringLiteral("albumTrackCount");
const QString AlbumLength = QStringLiteral("albumLength");
const QString AlbumArtistCount = QStringLiteral("albumArtistCount");
const QString AlbumSongs = QStringLiteral("albumSongs");
const QString NumberOfSongs = QStringLiteral("numberOfSongs");
const QString NumberOfAlbums = QStringLiteral("numberOfAlbums");
const QString Genre = QStringLiteral("genre");
const QString Year = QStringLiteral("year");
const QString Favorited = QStringLiteral("favorited");
const QString UsageCounter = QStringLiteral("usageCounter");
const QString Added = QStringLiteral("added");
const QString PlaylistId = QStringLiteral("playlistId");
const QString PlaylistName = QStringLiteral("playlistName");
const QString PlaylistTrackCount = QStringLiteral("playlistTrackCount");
const QString PlaylistLength = QStringLiteral("playlistLength");
const QString PlaylistUrl = QStringLiteral("playlistUrl");
const QString Url = QStringLiteral("url");
const QString UlkId = QStringLiteral("ulkId");

const QString SettingsVersion = QStringLiteral("SettingsVersion");
const QString ShuffleOn = QStringLiteral("ShuffleOn");
const QString RepeatOn = QStringLiteral("RepeatOn");
const QString SettingsSongId = QStringLiteral("SongID");
const QString Position = QStringLiteral("Position");

const QString AccessFromArtistView = QStringLiteral("AccessFromArtistView");
const QString PlayOrResume = QStringLiteral("PlayOrResume");

const QChar LengthVariantSeparator = QChar(0x9c);
const QString FullEventBanner = QStringLiteral("FullEventBanner");
const QString ShortEventBanner = QStringLiteral("ShortEventBanner");
const QString PrivateEventBanner = QStringLiteral("PrivateEventBanner");
const QString InformationBanner = QStringLiteral("InformationBanner");
const QString LockScreenEventBanner = QStringLiteral("LockScreenEventBanner");
const QString SystemBanner = QStringLiteral("SystemBanner");
const QString GenericBanner = QStringLiteral("GenericBanner");

const QString IconDolby = QStringLiteral("icon-m-music-video-dolby");
const QString IconFavoriteMark = QStringLiteral("icon-m-common-favorite-mark");
const QString IconToolbarFavoriteMarkWhite = QStringLiteral("icon-m-toolbar-favorite-mark-white");
const QString IconNextWhite = QStringLiteral("icon-m-toolbar-mediacontrol-next-white");
const QString IconNextDimmedWhite = QStringLiteral("icon-m-toolbar-mediacontrol-next-dimmed-white");
const QString IconFavoriteUnmark = QStringLiteral("icon-m-common-favorite-unmark");
const QString IconSmallFavoriteUnmark = QStringLiteral("icon-s-common-favorite-unmark");
const QString IconPauseWhite = QStringLiteral("icon-m-toolbar-mediacontrol-pause-white");
const QString IconPlayWhite = QStringLiteral("icon-m-toolbar-mediacontrol-play-white");
const QString IconPlayDimmedWhite = QStringLiteral("icon-m-toolbar-mediacontrol-play-dimmed-white");
const QString IconPreviousWhite = QStringLiteral("icon-m-toolbar-mediacontrol-previous-white");
const QString IconPreviousDimmedWhite = QStringLiteral(
    "icon-m-toolbar-mediacontrol-previous-dimmed-white");
const QString IconShare = QStringLiteral("icon-m-common-share");
const QString IconStopWhite = QStringLiteral("icon-m-toolbar-mediacontrol-stop-white");
const QString IconStopDimmedWhite = QStringLiteral("icon-m-toolbar-mediacontrol-stop-dimmed-white");
const QString IconDrilldownArrowInverse = QStringLiteral("icon-m-common-drilldown-arrow-inverse");
const QString IconAllSongs = QStringLiteral("icon-m-music-video-all-songs");
const QString IconNowPlaying = QStringLiteral("icon-m-music-video-now-playing");
const QString IconShuffleOff = QStringLiteral("icon-m-music-video-shuffle-off");
const QString IconShuffleOn = QStringLiteral("icon-m-music-video-shuffle-on");
const QString IconRepeatOff = QStringLiteral("icon-m-music-video-repeat-off");
const QString IconRepeatOn = QStringLiteral("icon-m-music-video-repeat-on");
const QString IconUlk = QStringLiteral("icon-s-music-video-ulk");
const QString IconSearch = QStringLiteral("icon-s-music-video-search");
const QString IconLargeMusic = QStringLiteral("icon-l-music");
const QString IconAlbumArt = QStringLiteral("meegotouch-music-albumart");
const QString IconArtist = QStringLiteral("meegotouch-music-artist");
const QString IconAudioStream = QStringLiteral("icon-m-content-audiostream");
const QString IconGenre = QStringLiteral("icon-m-content-genre");
const QString IconDescription = QStringLiteral("icon-s-music-video-description");
const QString IconContentAudio = QStringLiteral("icon-m-content-audio");
const QString IconToolbarContentAudio = QStringLiteral("icon-m-toolbar-content-audio");
const QString IconPlaylist = QStringLiteral("icon-m-content-playlist");
const QString IconToolbarSearch = QStringLiteral("icon-m-toolbar-search");
const QString IconSong = QStringLiteral("icon-m-content-song");
const QString IconBackWhite = QStringLiteral("icon-m-toolbar-back-white");
const QString IconBackDimmedWhite = QStringLiteral("icon-m-toolbar-back-dimmed-white");
const QString IconRepeatWhiteSelected = QStringLiteral("icon-m-toolbar-repeat-white-selected");
const QString IconRepeatWhite = QStringLiteral("icon-m-toolbar-repeat-white");
const QString IconRepeatDimmedWhite = QStringLiteral("icon-m-toolbar-repeat-dimmed-white");
const QString IconShuffleWhiteSelected = QStringLiteral("icon-m-toolbar-shuffle-white-selected");
const QString IconShuffleWhite = QStringLiteral("icon-m-toolbar-shuffle-white");
const QString IconShuffleDimmedWhite = QStringLiteral("icon-m-toolbar-shuffle-dimmed-white");
const QString IconFavoriteMarkWhite = QStringLiteral("icon-m-toolbar-favorite-mark-white");
const QString IconFavoriteMarkDimmedWhite = QStringLiteral(
    "icon-m-toolbar-favorite-mark-dimmed-white");
const QString IconFavoriteUnmarkWhite = QStringLiteral("icon-m-toolbar-favorite-unmark-white");
const QString IconFavoriteUnmarkDimmedWhite = QStringLiteral(
    "icon-m-toolbar-favorite-unmark-dimmed-white");
const QString IconViewMenuWhite = QStringLiteral("icon-m-toolbar-view-menu-white");
const QString IconViewMenuDimmedWhite = QStringLiteral("icon-m-toolbar-view-menu-dimmed-white");
const QString IconRecentlyPlayed = QStringLiteral("icon-m-content-recently-played");
const QString IconRecentlyAdded = QStringLiteral("icon-m-content-recently-added");
const QString IconRecentlyDownloaded = QStringLiteral("icon-m-content-recently-downloaded");
const QString IconMostPlayed = QStringLiteral("icon-m-content-most-played");
const QString IconFavourites = QStringLiteral("icon-m-content-favourites");
const QString IconNeverPlayed = QStringLiteral("icon-m-content-never-played");
const QString IconTopRated = QStringLiteral("icon-m-content-top-rated");
const QString IconGrid = QStringLiteral("icon-m-framework-grid");
const QString IconList = QStringLiteral("icon-m-framework-list");

QString firstLengthVariant(const QString& text)
{
    const int cut = text.indexOf(LengthVariantSeparator);
    return cut < 0 ? text : text.left(cut);
}

} // namespace Constants
