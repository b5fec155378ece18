#ifndef POSITIONMEMORY_H
#define POSITIONMEMORY_H

#include <QStringList>

#include <functional>

class ContentManagerModel;
struct PlayItem;

// Remembers how far audiobooks and podcasts were heard: the position of such a song goes to
// the store when it is left, and comes back from the store when it plays again, so it goes
// on from there. Each call is handed the hub's live item as it stands then ("live" below); the
// memory keeps none of it. Stores and answers go through the content manager's model, which
// the hub makes on first use.
class PositionMemory
{
public:
    using ModelSource = std::function<ContentManagerModel*()>;

    explicit PositionMemory(ModelSource model);

    QStringList genres() const;
    // Spoken word is told by its genre, whatever its case.
    bool isRemembered(const QString& genre) const;

    // Stores position for songId when the live song is spoken word and has played a little;
    // heard to its last second, it starts from the beginning next time. False when nothing
    // was stored.
    bool store(const PlayItem& live, int position, int songId);
    // One store has been written; a request that waited for it goes out for the live song.
    void storeCompleted(const PlayItem& live);
    // Asks the store where the live song was left; the answer is the model's lastPosition().
    void request(const PlayItem& live);
    // The same, once the stores still on their way are written, so the answer is not older
    // than what was just left.
    void requestAfterStores(const PlayItem& live);

    // The store's answer for songId. False when it is not for the live song.
    bool answer(const PlayItem& live, int position, int songId);
    // The live song has played to its end (its answer then moves it at once).
    void markReachedEnd();
    bool takeReachedEnd();
    // Where the live song should go on from, once: 0 when from where it is.
    uint takeStartingPosition(const PlayItem& live);

    // Keeps the live song and position in the settings, for the next start.
    void saveToSettings(const PlayItem& live) const;

private:
    ModelSource model;
    QStringList rememberedGenres;
    int pendingStores = 0;
    bool requestDeferred = false;
    int startPosition = 0;
    int startSongId = 0;
    bool reachedEnd = false;
};

#endif // POSITIONMEMORY_H
