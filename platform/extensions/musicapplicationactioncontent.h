#ifndef MUSICAPPLICATIONACTIONCONTENT_H
#define MUSICAPPLICATIONACTIONCONTENT_H

#include "applicationactioncontent.h"

// A song the user plays, told by its texts under the fields "song", "artist", "album" and
// "genre".
class MusicApplicationActionContent : public ApplicationActionContent
{
public:
    static const char* const SongField;
    static const char* const ArtistField;
    static const char* const AlbumField;
    static const char* const GenreField;

    explicit MusicApplicationActionContent(QObject* parent = nullptr);
    ~MusicApplicationActionContent() override;
};

#endif // MUSICAPPLICATIONACTIONCONTENT_H
