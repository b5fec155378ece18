#ifndef CONTENTMANAGER_H
#define CONTENTMANAGER_H

#include <QDir>
#include <QObject>
#include <QString>

class ContentManagerModel;
class MSaveAsDialog;

// Keeps a file played from outside the library: saveSong() offers the system's save-as dialog
// to copy it into the music folder, and once the copy has appeared in the library songSaved()
// gives the song's URL and tracker id. It also finds a file named by another program in the
// library (querySongInTracker), and owns the model of the position memory.
//
// A save is watched by the copy's own URL in the music folder, so a song of the same file name
// in another folder is never taken for it. The dialog is made at the first save and kept for
// the next one.
class ContentManager : public QObject
{
    Q_OBJECT

public:
    explicit ContentManager(QObject* parent);
    ~ContentManager() override;

    ContentManagerModel* model() const;

    void createSaveAsDialog();
    void dismissSaveAsDialog();
    // The dialog of the last save; null before the first one and after it has gone.
    MSaveAsDialog* saveAsDialog() const;
    // Looks the string (a path or a file URL) up in the library now, and again whenever music
    // is added, until songSaved() has answered. songNotInLibrary() tells when the first look
    // finds nothing (the song may still come once the indexer adds it).
    void querySongInTracker(QString uri);

signals:
    void songSaved(QString uri, int trackerId);
    void songNotInLibrary(QString url);
    // The user chose the name the file is saved under; the copy is in the music folder.
    void saveSongSelected(QString);

public slots:
    // path: a path or a file URL of the file being played.
    void saveSong(QString path);
    void handleSongSaved(QString uri, int trackerId);
    void dialogDestroyed(QObject* dialog);

private:
    void watchSavedFile(const QString& fileName);

    QDir musicFolder;
    ContentManagerModel* m_model;
    MSaveAsDialog* dialog = nullptr;
};

#endif // CONTENTMANAGER_H
