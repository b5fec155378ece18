<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name></name>
    <message id="qtn_musi_add_playlist">
        <source>Add songs</source>
        <extracomment>Menu item of a playlist page: adds songs to the playlist.</extracomment>
        <translation>Add songs</translation>
    </message>
    <message id="qtn_musi_add_to_playlist">
        <source>Add to playlist</source>
        <extracomment>Object menu item.</extracomment>
        <translation>Add to playlist</translation>
    </message>
    <message id="qtn_musi_addtoplaylist">
        <source>Add to queue</source>
        <extracomment>Object menu item: adds the item to the play queue.</extracomment>
        <translation>Add to queue</translation>
    </message>
    <message id="qtn_musi_album_md">
        <source>Album:</source>
        <extracomment>Song details row title, followed by the album name.</extracomment>
        <translation>Album:</translation>
    </message>
    <message id="qtn_musi_album_number">
        <source>%L1 albums</source>
        <extracomment>Second line of an artist row; %1 is the number of albums (always two or more).</extracomment>
        <translation>%L1 albums</translation>
    </message>
    <message id="qtn_musi_albums_container">
        <source>Albums</source>
        <extracomment>Library button and page title.</extracomment>
        <translation>Albums</translation>
    </message>
    <message id="qtn_musi_all_songs">
        <source>All songs</source>
        <extracomment>Row, tile and activity title for the whole song list.</extracomment>
        <translation>All songs</translation>
    </message>
    <message id="qtn_musi_artist_md">
        <source>Artist:</source>
        <extracomment>Song details row title, followed by the artist name.</extracomment>
        <translation>Artist:</translation>
    </message>
    <message id="qtn_musi_artists_container">
        <source>Artists</source>
        <extracomment>Library button and page title.</extracomment>
        <translation>Artists</translation>
    </message>
    <message id="qtn_musi_bitrate_md">
        <source>Bit rate:</source>
        <extracomment>Song properties row title.</extracomment>
        <translation>Bit rate:</translation>
    </message>
    <message id="qtn_musi_buffering">
        <source>Buffering…</source>
        <extracomment>Shown with a progress bar while a stream buffers.</extracomment>
        <translation>Buffering…</translation>
    </message>
    <message id="qtn_musi_call_no_play">
        <source>Cannot play music during a call</source>
        <extracomment>Error banner.</extracomment>
        <translation>Cannot play music during a call</translation>
    </message>
    <message id="qtn_musi_channels_md">
        <source>Channels:</source>
        <extracomment>Song properties row title.</extracomment>
        <translation>Channels:</translation>
    </message>
    <message id="qtn_musi_codec_not_supported">
        <source>Codec not supported</source>
        <extracomment>Error banner.</extracomment>
        <translation>Codec not supported</translation>
    </message>
    <message id="qtn_musi_composer_md">
        <source>Composer:</source>
        <extracomment>Song details row title.</extracomment>
        <translation>Composer:</translation>
    </message>
    <message id="qtn_musi_connecting">
        <source>Connecting…</source>
        <extracomment>Shown with a progress bar while a stream connects.</extracomment>
        <translation>Connecting…</translation>
    </message>
    <message id="qtn_musi_connection_was_lost">
        <source>Connection lost</source>
        <extracomment>Error banner.</extracomment>
        <translation>Connection lost</translation>
    </message>
    <message id="qtn_musi_copyright_md">
        <source>Copyright:</source>
        <extracomment>Song properties row title.</extracomment>
        <translation>Copyright:</translation>
    </message>
    <message id="qtn_musi_create_list">
        <source>New playlist</source>
        <extracomment>Button of the playlist selection sheet: creates a playlist for the item.</extracomment>
        <translation>New playlist</translation>
    </message>
    <message id="qtn_musi_datecreated_md">
        <source>Date added:</source>
        <extracomment>Song properties row title, followed by the date the song was added to the library.</extracomment>
        <translation>Date added:</translation>
    </message>
    <message id="qtn_musi_delete_album">
        <source>Delete album?</source>
        <extracomment>Title of the delete confirmation; the album name is shown below it.</extracomment>
        <translation>Delete album?</translation>
    </message>
    <message id="qtn_musi_delete_artist">
        <source>Delete artist?</source>
        <extracomment>Title of the delete confirmation; the artist name is shown below it.</extracomment>
        <translation>Delete artist?</translation>
    </message>
    <message id="qtn_musi_delete_error">
        <source>Unable to delete</source>
        <extracomment>Banner shown when some items could not be deleted.</extracomment>
        <translation>Unable to delete</translation>
    </message>
    <message id="qtn_musi_delete_playlist">
        <source>Delete playlist</source>
        <extracomment>Menu item of a playlist page.</extracomment>
        <translation>Delete playlist</translation>
    </message>
    <message id="qtn_musi_delete_sel_playlist">
        <source>Delete playlist?</source>
        <extracomment>Title of the delete confirmation; the playlist name is shown below it.</extracomment>
        <translation>Delete playlist?</translation>
    </message>
    <message id="qtn_musi_delete_song">
        <source>Delete song?</source>
        <extracomment>Title of the delete confirmation; the song title is shown below it.</extracomment>
        <translation>Delete song?</translation>
    </message>
    <message id="qtn_musi_discnumber_md">
        <source>Disc number:</source>
        <extracomment>Song details row title.</extracomment>
        <translation>Disc number:</translation>
    </message>
    <message id="qtn_musi_drm_not_supported">
        <source>Protected content not supported</source>
        <extracomment>Error banner: the song is DRM protected.</extracomment>
        <translation>Protected content not supported</translation>
    </message>
    <message id="qtn_musi_drmprotected_md">
        <source>DRM protected:</source>
        <extracomment>Song properties row title, followed by yes or no.</extracomment>
        <translation>DRM protected:</translation>
    </message>
    <message id="qtn_musi_empty_playlist">
        <source>Playlist is empty</source>
        <extracomment>Error banner.</extracomment>
        <translation>Playlist is empty</translation>
    </message>
    <message id="qtn_musi_file_not_found">
        <source>File not found</source>
        <extracomment>Error banner.</extracomment>
        <translation>File not found</translation>
    </message>
    <message id="qtn_musi_fill_your_device">
        <source>Fill your device with music</source>
        <extracomment>Shown on the main page when the device holds no music.</extracomment>
        <translation>Fill your device with music</translation>
    </message>
    <message id="qtn_musi_format_not_supported">
        <source>Format not supported</source>
        <extracomment>Error banner.</extracomment>
        <translation>Format not supported</translation>
    </message>
    <message id="qtn_musi_genre_md">
        <source>Genre:</source>
        <extracomment>Song details row title.</extracomment>
        <translation>Genre:</translation>
    </message>
    <message id="qtn_musi_lastplayed_md">
        <source>Last played:</source>
        <extracomment>Song properties row title.</extracomment>
        <translation>Last played:</translation>
    </message>
    <message id="qtn_musi_lenght_md">
        <source>Duration:</source>
        <extracomment>Song properties row title.</extracomment>
        <translation>Duration:</translation>
    </message>
    <message id="qtn_musi_mass_storage_mode">
        <source>Music is not available while the device is in USB mass storage mode</source>
        <extracomment>Shown alone on the screen while the device is connected as USB mass storage.</extracomment>
        <translation>Music is not available while the device is in USB mass storage mode</translation>
    </message>
    <message id="qtn_musi_mediatype_md">
        <source>Type:</source>
        <extracomment>Song properties row title, followed by the file type such as MP3.</extracomment>
        <translation>Type:</translation>
    </message>
    <message id="qtn_musi_memory_not_availb">
        <source>Not enough memory</source>
        <extracomment>Error banner.</extracomment>
        <translation>Not enough memory</translation>
    </message>
    <message id="qtn_musi_music">
        <source>Music</source>
        <extracomment>Main page title.</extracomment>
        <translation>Music</translation>
    </message>
    <message id="qtn_musi_my_playlists">
        <source>My playlists</source>
        <extracomment>Heading of the user's own playlists.</extracomment>
        <translation>My playlists</translation>
    </message>
    <message id="qtn_musi_no_music">
        <source>No music</source>
        <extracomment>Shown when a list has nothing to show.</extracomment>
        <translation>No music</translation>
    </message>
    <message id="qtn_musi_no_music_found">
        <source>No music found</source>
        <extracomment>Shown when the search matches nothing.</extracomment>
        <translation>No music found</translation>
    </message>
    <message id="qtn_musi_play">
        <source>Play</source>
        <extracomment>Object menu item.</extracomment>
        <translation>Play</translation>
    </message>
    <message id="qtn_musi_play_queue">
        <source>Play queue</source>
        <extracomment>Heading of the play queue list.</extracomment>
        <translation>Play queue</translation>
    </message>
    <message id="qtn_musi_playalbum">
        <source>Play album</source>
        <extracomment>View menu item of the player; the album name is shown below it.</extracomment>
        <translation>Play album</translation>
    </message>
    <message id="qtn_musi_playcount_md">
        <source>Play count:</source>
        <extracomment>Song properties row title.</extracomment>
        <translation>Play count:</translation>
    </message>
    <message id="qtn_musi_player">
        <source>Player</source>
        <extracomment>Title of the player view.</extracomment>
        <translation>Player</translation>
    </message>
    <message id="qtn_musi_playlist_corrupted">
        <source>Playlist is corrupted</source>
        <extracomment>Error banner.</extracomment>
        <translation>Playlist is corrupted</translation>
    </message>
    <message id="qtn_musi_playlist_favorites">
        <source>Favourites</source>
        <extracomment>Automatic playlist.</extracomment>
        <translation>Favourites</translation>
    </message>
    <message id="qtn_musi_playlist_mostplayed">
        <source>Most played</source>
        <extracomment>Automatic playlist.</extracomment>
        <translation>Most played</translation>
    </message>
    <message id="qtn_musi_playlist_neverplayed">
        <source>Never played</source>
        <extracomment>Automatic playlist.</extracomment>
        <translation>Never played</translation>
    </message>
    <message id="qtn_musi_playlist_recentlyadded">
        <source>Recently added</source>
        <extracomment>Automatic playlist.</extracomment>
        <translation>Recently added</translation>
    </message>
    <message id="qtn_musi_playlist_recentlydownloaded">
        <source>Recently downloaded</source>
        <extracomment>Automatic playlist.</extracomment>
        <translation>Recently downloaded</translation>
    </message>
    <message id="qtn_musi_playlist_recentlyplayed">
        <source>Recently played</source>
        <extracomment>Automatic playlist.</extracomment>
        <translation>Recently played</translation>
    </message>
    <message id="qtn_musi_playlists_container">
        <source>Playlists</source>
        <extracomment>Library button and page title.</extracomment>
        <translation>Playlists</translation>
    </message>
    <message id="qtn_musi_properties">
        <source>Properties</source>
        <extracomment>Heading of the song file properties.</extracomment>
        <translation>Properties</translation>
    </message>
    <message id="qtn_musi_properties_kbps">
        <source>%1 kbps</source>
        <extracomment>Bit rate; %1 is the rate in kilobits per second.</extracomment>
        <translation>%1 kbps</translation>
    </message>
    <message id="qtn_musi_properties_khz">
        <source>%1 kHz</source>
        <extracomment>Sample rate; %1 is the rate in kilohertz with one decimal.</extracomment>
        <translation>%1 kHz</translation>
    </message>
    <message id="qtn_musi_publisher_md">
        <source>Publisher:</source>
        <extracomment>Song properties row title.</extracomment>
        <translation>Publisher:</translation>
    </message>
    <message id="qtn_musi_remove_playlist">
        <source>Remove songs</source>
        <extracomment>Menu item of a playlist page: removes songs from the playlist.</extracomment>
        <translation>Remove songs</translation>
    </message>
    <message id="qtn_musi_remove_sheet">
        <source>Remove</source>
        <extracomment>Accept button of the song selection sheet when removing songs from a playlist.</extracomment>
        <translation>Remove</translation>
    </message>
    <message id="qtn_musi_ring_tone_saved">
        <source>Ringtone set</source>
        <extracomment>Banner shown after a song became the ringtone.</extracomment>
        <translation>Ringtone set</translation>
    </message>
    <message id="qtn_musi_samplerate_md">
        <source>Sample rate:</source>
        <extracomment>Song properties row title.</extracomment>
        <translation>Sample rate:</translation>
    </message>
    <message id="qtn_musi_select_playlist">
        <source>Select playlist</source>
        <extracomment>Title of the playlist selection sheet.</extracomment>
        <translation>Select playlist</translation>
    </message>
    <message id="qtn_musi_select_songs">
        <source>Select songs</source>
        <extracomment>Title of the song selection sheet.</extracomment>
        <translation>Select songs</translation>
    </message>
    <message id="qtn_musi_set_ring_tone">
        <source>Set as ringtone</source>
        <extracomment>Menu item.</extracomment>
        <translation>Set as ringtone</translation>
    </message>
    <message id="qtn_musi_shuffle">
        <source>Shuffle</source>
        <extracomment>Row that plays the list in random order.</extracomment>
        <translation>Shuffle</translation>
    </message>
    <message id="qtn_musi_size_md">
        <source>Size:</source>
        <extracomment>Song properties row title.</extracomment>
        <translation>Size:</translation>
    </message>
    <message id="qtn_musi_song_number" numerus="yes">
        <source>%Ln songs</source>
        <extracomment>Number of songs in an album, artist or playlist.</extracomment>
        <translation>
            <numerusform>%Ln song</numerusform>
            <numerusform>%Ln songs</numerusform>
        </translation>
    </message>
    <message id="qtn_musi_songs_added_to_playlist" numerus="yes">
        <source>%Ln songs added to %1</source>
        <extracomment>Banner; %1 is the playlist name.</extracomment>
        <translation>
            <numerusform>%Ln song added to %1</numerusform>
            <numerusform>%Ln songs added to %1</numerusform>
        </translation>
    </message>
    <message id="qtn_musi_songs_container">
        <source>Songs</source>
        <extracomment>Library button and page title.</extracomment>
        <translation>Songs</translation>
    </message>
    <message id="qtn_musi_songsadded" numerus="yes">
        <source>%L1 songs added to queue</source>
        <extracomment>Banner after adding to the play queue; %1 is the number of songs.</extracomment>
        <translation>
            <numerusform>%L1 song added to queue</numerusform>
            <numerusform>%L1 songs added to queue</numerusform>
        </translation>
    </message>
    <message id="qtn_musi_tracknumber_md">
        <source>Track number:</source>
        <extracomment>Song details row title.</extracomment>
        <translation>Track number:</translation>
    </message>
    <message id="qtn_musi_ulk_music_store">
        <source>Music store</source>
        <extracomment>Main page row that opens the online music store.</extracomment>
        <translation>Music store</translation>
    </message>
    <message id="qtn_musi_unable_to_connect">
        <source>Unable to connect</source>
        <extracomment>Error banner.</extracomment>
        <translation>Unable to connect</translation>
    </message>
    <message id="qtn_musi_unable_to_play_song">
        <source>Unable to play song</source>
        <extracomment>Error banner.</extracomment>
        <translation>Unable to play song</translation>
    </message>
    <message id="qtn_musi_unable_to_seek">
        <source>Unable to seek</source>
        <extracomment>Error banner.</extracomment>
        <translation>Unable to seek</translation>
    </message>
    <message id="qtn_musi_unknown_album">
        <source>Unknown album</source>
        <extracomment>Name shown for songs without an album.</extracomment>
        <translation>Unknown album</translation>
    </message>
    <message id="qtn_musi_unknown_artist">
        <source>Unknown artist</source>
        <extracomment>Name shown for songs without an artist.</extracomment>
        <translation>Unknown artist</translation>
    </message>
    <message id="qtn_musi_updating_library">
        <source>Updating library…</source>
        <extracomment>Shown with a progress bar while the library is re-indexed.</extracomment>
        <translation>Updating library…</translation>
    </message>
    <message id="qtn_musi_various_artist">
        <source>Various artists</source>
        <extracomment>Artist line of an album with songs by several artists.</extracomment>
        <translation>Various artists</translation>
    </message>
    <message id="qtn_musi_writer_md">
        <source>Writer:</source>
        <extracomment>Song details row title, followed by the lyricist.</extracomment>
        <translation>Writer:</translation>
    </message>
    <message id="qtn_musi_year_md">
        <source>Year:</source>
        <extracomment>Song details row title.</extracomment>
        <translation>Year:</translation>
    </message>
</context>
</TS>
