#include "positionmemory.h"

#include "common/constants.h"
#include "data/contentmanagermodel.h"
#include "playback/playitem.h"
#include "common/parlovancesettings.h"

namespace {
// Fewer seconds than this are not worth going back to.
const int MinStoredPosition = 4;
} // namespace

PositionMemory::PositionMemory(ModelSource model)
    : model(std::move(model))
    , rememberedGenres { QStringLiteral("Audiobook"), QStringLiteral("PodCast") }
{
}

QStringList PositionMemory::genres() const
{
    return rememberedGenres;
}

bool PositionMemory::isRemembered(const QString& genre) const
{
    for (const QString& remembered : rememberedGenres) {
        if (genre.compare(remembered, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool PositionMemory::store(const PlayItem& live, int position, int songId)
{
    if (!isRemembered(live.genre) || songId <= 0 || position < MinStoredPosition)
        return false;
    // Heard to its last second (or of unknown length): the next start is from the beginning.
    model()->setLastPlayedPosition(position < live.duration - 1 ? position : 0, songId);
    ++pendingStores;
    return true;
}

void PositionMemory::storeCompleted(const PlayItem& live)
{
    if (pendingStores > 0)
        --pendingStores;
    if (pendingStores == 0 && requestDeferred) {
        requestDeferred = false;
        request(live);
    }
}

void PositionMemory::request(const PlayItem& live)
{
    if (isRemembered(live.genre))
        model()->requestLastPlayedPosition(live.songId);
}

void PositionMemory::requestAfterStores(const PlayItem& live)
{
    if (pendingStores == 0)
        request(live);
    else
        requestDeferred = true;
}

bool PositionMemory::answer(const PlayItem& live, int position, int songId)
{
    if (songId != live.songId)
        return false;
    startPosition = position;
    startSongId = songId;
    return true;
}

void PositionMemory::markReachedEnd()
{
    reachedEnd = true;
}

bool PositionMemory::takeReachedEnd()
{
    const bool reached = reachedEnd;
    reachedEnd = false;
    return reached;
}

uint PositionMemory::takeStartingPosition(const PlayItem& live)
{
    // A position set meanwhile (by the user, or by the answer itself) is where it goes on.
    startPosition = int(live.position);
    if (startPosition == 0 || startSongId != live.songId)
        return 0;
    const int position = startPosition;
    startPosition = 0;
    return uint(position);
}

void PositionMemory::saveToSettings(const PlayItem& live) const
{
    if (!isRemembered(live.genre))
        return;
    ParlovanceSettings settings;
    settings.setValue(Constants::SettingsSongId, live.songId);
    settings.setValue(Constants::Position, live.position);
}
