#ifndef OBJECTMENUTYPE_H
#define OBJECTMENUTYPE_H

// The long-tap menu a page builds for its list items; 0 means none. The numbers are passed
// by the pages, so they are fixed.
enum ObjectMenuType {
    NoObjectMenu = 0,
    SongObjectMenu = 1,                      // queue, playlist, favourite, details,
                                             // ringtone, delete
    CollectionObjectMenu = 2,                // play, queue, playlist, delete
    CollectionObjectMenuWithoutPlaylist = 3, // play, queue, delete
    SongObjectMenuWithoutDelete = 4
};

#endif // OBJECTMENUTYPE_H
