#ifndef MAFWSHARED_H
#define MAFWSHARED_H

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

class MafwPlaylist;

// The process's register of published playlists, by id. Whoever publishes a playlist keeps
// owning it; a playlist that is destroyed drops out of the register by itself.
class MafwShared : public QObject
{
public:
    static MafwShared* instance();

    // Returns false for a null playlist.
    bool publishPlaylist(MafwPlaylist* playlist);
    void unPublishPlaylist(const QString& id);

    // The playlist published under id, or null.
    MafwPlaylist* playlist(const QString& id) const;

private:
    MafwShared();
    ~MafwShared() override;

    QHash<QString, QPointer<MafwPlaylist>> m_playlists;
};

#endif // MAFWSHARED_H
