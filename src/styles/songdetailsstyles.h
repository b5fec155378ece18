#ifndef SONGDETAILSSTYLES_H
#define SONGDETAILSSTYLES_H

// The looks of the song details page (the cover, the tag rows and the property rows, with the
// page's side margins) and of the panels over the song pages' lists, which share them.
class SongDetailsStyles
{
public:
    // Adds the entries to the style table once per process.
    static void ensureRegistered();
};

#endif // SONGDETAILSSTYLES_H
