#include "contentmanager.h"

#include "contentmanagermodel.h"

#include <QUrl>

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
    // The library keeps a file's URL in one encoding; a path, or a URL encoded another way,
    // is put in that form first, or the song is never found.
    const QUrl given(uri);
    const QString path = given.isLocalFile() ? given.toLocalFile()
                         : given.scheme().isEmpty() ? uri : QString();
    const QString url
        = path.isEmpty() ? uri : QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    m_model->querySongByUrl(url);
    m_model->connectSongAddedSignal(url);
}

void ContentManager::handleSongSaved(QString uri, int trackerId)
{
    m_model->disconnectSongAddedSignal();
    emit songSaved(uri, trackerId);
}
