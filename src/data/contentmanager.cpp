#include "contentmanager.h"

#include "common/logging.h"
#include "contentmanagermodel.h"
#include "mapplication.h"
#include "msaveasdialog.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace {

// The library keeps a file's URL in one encoding; a path, or a URL encoded another way, is put
// in that form first, or the song is never found.
QString libraryUrl(const QString& uri)
{
    const QUrl given(uri);
    const QString path = given.isLocalFile()        ? given.toLocalFile()
                         : given.scheme().isEmpty() ? uri
                                                    : QString();
    return path.isEmpty() ? uri : QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

} // namespace

ContentManager::ContentManager(QObject* parent)
    : QObject(parent)
    , musicFolder(QStandardPaths::writableLocation(QStandardPaths::MusicLocation))
    , m_model(new ContentManagerModel(this))
{
    connect(m_model, SIGNAL(songAdded(QString, int)), this, SLOT(handleSongSaved(QString, int)),
            Qt::UniqueConnection);
    connect(m_model, &ContentManagerModel::songMissing, this, &ContentManager::songNotInLibrary);
}

ContentManager::~ContentManager()
{
    delete dialog;
}

ContentManagerModel* ContentManager::model() const
{
    return m_model;
}

MSaveAsDialog* ContentManager::saveAsDialog() const
{
    return dialog;
}

void ContentManager::createSaveAsDialog()
{
    if (dialog)
        return;
    dialog = new MSaveAsDialog(true);
    connect(dialog, &MSaveAsDialog::saveFileAs, this, &ContentManager::watchSavedFile,
            Qt::UniqueConnection);
    connect(dialog, &MSaveAsDialog::saveFileAs, this, &ContentManager::saveSongSelected,
            Qt::UniqueConnection);
    connect(dialog, SIGNAL(destroyed(QObject*)), this, SLOT(dialogDestroyed(QObject*)),
            Qt::UniqueConnection);
}

void ContentManager::dismissSaveAsDialog()
{
    if (dialog)
        dialog->dismiss();
}

void ContentManager::saveSong(QString path)
{
    if (!musicFolder.exists() && !musicFolder.mkpath(musicFolder.absolutePath())) {
        qCDebug(lcData) << Q_FUNC_INFO << "- Failed to create target path!";
        return;
    }
    createSaveAsDialog();
    // A file URL is read as one (its escapes decoded), not cut after "file://".
    const QUrl url(path);
    const QString source = url.isLocalFile() ? url.toLocalFile() : path;
    const QFileInfo file(source);
    dialog->setAutoCopyMode(MSaveAsDialog::AutoCopy);
    dialog->setSourcePath(source);
    dialog->setDefaultFileName(file.completeBaseName());
    dialog->setDefaultExtension(file.suffix());
    dialog->setDestinationPath(musicFolder.absolutePath());
    dialog->appear(MApplication::activeWindow(), MSceneWindow::KeepWhenDone);
}

void ContentManager::watchSavedFile(const QString& fileName)
{
    querySongInTracker(musicFolder.absoluteFilePath(fileName));
}

void ContentManager::querySongInTracker(QString uri)
{
    const QString url = libraryUrl(uri);
    m_model->querySongByUrl(url);
    m_model->connectSongAddedSignal(url);
}

void ContentManager::handleSongSaved(QString uri, int trackerId)
{
    m_model->disconnectSongAddedSignal();
    emit songSaved(uri, trackerId);
}

void ContentManager::dialogDestroyed(QObject* destroyedDialog)
{
    if (destroyedDialog == dialog)
        dialog = nullptr;
}
