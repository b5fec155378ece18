#ifndef CONTENTMANAGER_H
#define CONTENTMANAGER_H

#include <QObject>
#include <QString>

class ContentManagerModel;

// Finds files named from outside in the library and owns the model of the position memory.
// Minimal for now: saving a played file into the library comes with the save-as dialog.
class ContentManager : public QObject
{
    Q_OBJECT

public:
    explicit ContentManager(QObject* parent);
    ~ContentManager() override;

    ContentManagerModel* model() const;

    // Nothing to dismiss until the save-as dialog exists.
    void dismissSaveAsDialog();
    // Looks the string up as a file URL now, and again whenever music is added.
    void querySongInTracker(QString uri);

signals:
    void songSaved(QString uri, int trackerId);
    void saveSongSelected(QString);

public slots:
    void handleSongSaved(QString uri, int trackerId);

private:
    ContentManagerModel* m_model;
};

#endif // CONTENTMANAGER_H
