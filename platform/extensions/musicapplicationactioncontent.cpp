#include "musicapplicationactioncontent.h"

const char* const MusicApplicationActionContent::SongField = "song";
const char* const MusicApplicationActionContent::ArtistField = "artist";
const char* const MusicApplicationActionContent::AlbumField = "album";
const char* const MusicApplicationActionContent::GenreField = "genre";

MusicApplicationActionContent::MusicApplicationActionContent(QObject* parent)
    : ApplicationActionContent(parent)
{
}

MusicApplicationActionContent::~MusicApplicationActionContent() = default;
