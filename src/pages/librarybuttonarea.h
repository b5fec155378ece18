#ifndef LIBRARYBUTTONAREA_H
#define LIBRARYBUTTONAREA_H

#include "mwidget.h"

#include <QString>

class QGraphicsLinearLayout;
class QSignalMapper;

// The column of library buttons on the main page: artists, albums, songs and playlists, and,
// when the device has the store application, a row that opens the online music store. The
// library rows report the page to open; the store row opens no page of its own.
class LibraryButtonArea : public MWidget
{
    Q_OBJECT

public:
    explicit LibraryButtonArea(QGraphicsItem* parent);
    ~LibraryButtonArea() override;

    // The store application whose presence adds the store row; a test points it elsewhere
    // before building an area.
    static QString storeExecutable();
    static void setStoreExecutable(const QString& path);

signals:
    void goToPage(int page);

private slots:
    void openUlkMusicStore();

private:
    void addButton(int id, const QString& title, const QString& image);

    QSignalMapper* mapper = nullptr;
    QGraphicsLinearLayout* rowLayout = nullptr;
};

#endif // LIBRARYBUTTONAREA_H
