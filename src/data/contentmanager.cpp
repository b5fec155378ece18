#include "contentmanager.h"

#include "contentmanagermodel.h"

ContentManager::ContentManager(QObject* parent)
    : QObject(parent)
    , m_model(new ContentManagerModel(this))
{
    connect(m_model, SIGNAL(songAdded(QString, int)), this, SLOT(handleSongSaved(QString, int)),
            Qt::UniqueConnection);
}

ContentManager::~ContentManager() = default;

ContentManagerModel* ContentManager::model() const
{
    return m_model;
}

void ContentManager::dismissSaveAsDialog()
{
}

void ContentManager::querySongInTracker(QString uri)
{
    m_model->querySongByUrl(uri);
    m_model->connectSongAddedSignal(uri);
}

void ContentManager::handleSongSaved(QString uri, int trackerId)
{
    m_model->disconnectSongAddedSignal();
    emit songSaved(uri, trackerId);
}
