#ifndef CONSTANTS_H
#define CONSTANTS_H

#include <QChar>
#include <QString>

// The shared vocabulary: data keys (also the model column headers), settings keys,
// navigation parameter keys, banner style names and theme icon ids. The texts are stored on
// disk, passed between pages and looked up in the theme, so they never change.
namespace Constants {

// Data keys
extern const QString SongId;
extern const QString SongUri;
extern const QString SongTitle;
extern const QString SongLength;
extern const QString TrackNumber;
extern const QString ArtistId;
extern const QString ArtistName;
extern const QString AlbumId;
extern const QString AlbumName;
extern const QString AlbumTrackCount;
extern const QString AlbumLength;
extern const QString AlbumArtistCount;
extern const QString AlbumSongs;
extern const QString NumberOfSongs;
extern const QString NumberOfAlbums;
extern const QString Genre;
extern const QString Year;
extern const QString Favorited;
extern const QString UsageCounter;
extern const QString Added;
extern const QString PlaylistId;
extern const QString PlaylistName;
extern const QString PlaylistTrackCount;
extern const QString PlaylistLength;
extern const QString PlaylistUrl;
extern const QString Url;
extern const QString UlkId;

// Settings keys ("SongID" has a capital ID, unlike the data key "songId")
extern const QString SettingsVersion;
extern const QString ShuffleOn;
extern const QString RepeatOn;
extern const QString SettingsSongId;
extern const QString Position;

// Navigation parameter keys
extern const QString AccessFromArtistView;
extern const QString PlayOrResume;

// Separates the length variants inside a translated text
extern const QChar LengthVariantSeparator;

// Banner style names
extern const QString FullEventBanner;
extern const QString ShortEventBanner;
extern const QString PrivateEventBanner;
extern const QString InformationBanner;
extern const QString LockScreenEventBanner;
extern const QString SystemBanner;
extern const QString GenericBanner;

// Theme icon ids
extern const QString IconDolby;
extern const QString IconFavoriteMark;
extern const QString IconToolbarFavoriteMarkWhite;
extern const QString IconNextWhite;
extern const QString IconNextDimmedWhite;
extern const QString IconFavoriteUnmark;
extern const QString IconSmallFavoriteUnmark;
extern const QString IconPauseWhite;
extern const QString IconPlayWhite;
extern const QString IconPlayDimmedWhite;
extern const QString IconPreviousWhite;
extern const QString IconPreviousDimmedWhite;
extern const QString IconShare;
extern const QString IconStopWhite;
extern const QString IconStopDimmedWhite;
extern const QString IconDrilldownArrowInverse;
extern const QString IconAllSongs;
extern const QString IconNowPlaying;
extern const QString IconShuffleOff;
extern const QString IconShuffleOn;
extern const QString IconRepeatOff;
extern const QString IconRepeatOn;
extern const QString IconUlk;
extern const QString IconSearch;
extern const QString IconLargeMusic;
extern const QString IconAlbumArt;
extern const QString IconArtist;
extern const QString IconAudioStream;
extern const QString IconGenre;
extern const QString IconDescription;
extern const QString IconContentAudio;
extern const QString IconToolbarContentAudio;
extern const QString IconPlaylist;
extern const QString IconToolbarSearch;
extern const QString IconSong;
extern const QString IconBackWhite;
extern const QString IconBackDimmedWhite;
extern const QString IconRepeatWhiteSelected;
extern const QString IconRepeatWhite;
extern const QString IconRepeatDimmedWhite;
extern const QString IconShuffleWhiteSelected;
extern const QString IconShuffleWhite;
extern const QString IconShuffleDimmedWhite;
extern const QString IconFavoriteMarkWhite; // same text as IconToolbarFavoriteMarkWhite
extern const QString IconFavoriteMarkDimmedWhite;
extern const QString IconFavoriteUnmarkWhite;
extern const QString IconFavoriteUnmarkDimmedWhite;
extern const QString IconViewMenuWhite;
extern const QString IconViewMenuDimmedWhite;
extern const QString IconRecentlyPlayed;
extern const QString IconRecentlyAdded;
extern const QString IconRecentlyDownloaded;
extern const QString IconMostPlayed;
extern const QString IconFavourites;
extern const QString IconNeverPlayed;
extern const QString IconTopRated;
extern const QString IconGrid;
extern const QString IconList;

// Cuts a translated text at its first length-variant separator.
QString firstLengthVariant(const QString& text);

} // namespace Constants

#endif // CONSTANTS_H
