#ifndef MAFWTRACKERMODELFACTORYINSTANCE_H
#define MAFWTRACKERMODELFACTORYINSTANCE_H

#include <QObject>
#include <QString>

class MafwTrackerModelFactory;

// The one owner of the media framework's tracker model factory in the process. Everything that
// needs library data reaches the factory here; users that may come before the factory is
// ready check isReady() and otherwise wait for completed(bool). Ready means the library can be
// read: at a start on a large library that comes well before the indexer's first scan has
// found whether the music folder changed, which isIndexingStatusKnown() tells.
class MafwTrackerModelFactoryInstance : public QObject
{
    Q_OBJECT

public:
    static MafwTrackerModelFactoryInstance* instance();
    static void destroy();

    MafwTrackerModelFactory* factory() const;
    bool isReady() const;
    // The connection's indexing status tells whether the start has files to index.
    bool isIndexingStatusKnown() const;

signals:
    void completed(bool success);
    // Once, after completed(true).
    void indexingStatusKnown();
    void unknownArtistCountChanged(bool unknownartists);
    void unknownAlbumsCountChanged(bool unknownalbums);

private slots:
    void libraryReadable();
    void initCompleted(bool success);

private:
    MafwTrackerModelFactoryInstance();
    ~MafwTrackerModelFactoryInstance() override;

    static MafwTrackerModelFactoryInstance* s_instance;

    bool m_ready;
    bool m_statusKnown = false;
    MafwTrackerModelFactory* m_factory;
    QString m_unknownAlbumText;
    QString m_unknownArtistText;
};

#endif // MAFWTRACKERMODELFACTORYINSTANCE_H
