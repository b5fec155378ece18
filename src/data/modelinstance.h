#ifndef MODELINSTANCE_H
#define MODELINSTANCE_H

#include <QHash>
#include <QObject>
#include <QSharedPointer>

#include "mafwtrackermodel.h"

class MafwTrackerModelFactoryInstance;

// The process-wide cache of the shared tracker models of the lists that need no id (all
// songs, albums, artists, playlist files, user playlists): one query serves every page that
// shows them, and one call rebuilds them all after the library changed.
class ModelInstance : public QObject
{
    Q_OBJECT

public:
    static ModelInstance* instance();
    static void destroy();

    QSharedPointer<MafwTrackerModel> getModel(MafwTrackerModel::QueryType type);
    void recreateModels();
    void emitPlayAllSongs(bool shuffle);

signals:
    void modelCreated(MafwTrackerModel::QueryType type);
    void playAllSongs(bool shuffle);

private slots:
    void modelFactoryInitCompleted(bool success);

private:
    ModelInstance();
    ~ModelInstance() override;

    static ModelInstance* s_instance;

    QHash<MafwTrackerModel::QueryType, QSharedPointer<MafwTrackerModel>> m_models;
    MafwTrackerModelFactoryInstance* m_factoryInstance;
};

#endif // MODELINSTANCE_H
