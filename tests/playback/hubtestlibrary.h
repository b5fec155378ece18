#ifndef HUBTESTLIBRARY_H
#define HUBTESTLIBRARY_H

#include <QSharedPointer>
#include <QString>
#include <QVariant>

class MafwTrackerModel;
class QAbstractItemModel;

// The library the playback hub's tests play: generated audio indexed into the real store.
//   "Seven" by Kim: seven songs of 30 s ("One" .. "Seven"), genre Pop
//   "Red" by Kim: two songs of 30 s ("Crimson", "Scarlet"), genre Rock
//   "Chapters" by Lee: two audiobook chapters of 150 s ("Chapter 1", "Chapter 2")
//   "Short" by Max: two songs of 3 s ("Blink", "Wink"), genre Pop
class HubTestLibrary
{
public:
    // Writes and indexes the library and waits for the model factory. False on failure.
    static bool build();
    static bool writeAndIndex();
    static bool waitForFactory();

    // The songs of an album, every row loaded; null when there is no such album.
    static QSharedPointer<MafwTrackerModel> album(const QString& name);

    // The display value of a column, found by its header, of a row of any song model.
    static QVariant cell(const QAbstractItemModel* model, int row, const QString& column);
    static int columnOf(const QAbstractItemModel* model, const QString& column);

    // Runs a SPARQL text on the store and returns the first cell of the first row, a null
    // string when there is none.
    static QString firstCell(const QString& sparql);
    // The last played position the store holds for a song; null when none.
    static QString storedPosition(int songId);
};

#endif // HUBTESTLIBRARY_H
