#ifndef MAFWPLAYLIST_H
#define MAFWPLAYLIST_H

#include <QObject>
#include <QPersistentModelIndex>
#include <QString>

class QAbstractItemModel;
class QUrl;

// A list of playable items known to the media framework by its id. The play controller keeps
// the index of the item it plays here, and ends or wraps the list by the repeat mode.
class MafwPlaylist : public QObject
{
    Q_OBJECT

public:
    // Repeat modes: the list ends after its last item, or starts again from the first.
    enum RepeatMode { RepeatOff = 0, RepeatAll = 2 };

    explicit MafwPlaylist(const QString& id, QObject* parent = nullptr);
    ~MafwPlaylist() override;

    // A new id, unique within the process, for a playlist about to be made.
    static QString getNewPlaylistId();

    QString id() const;

    // Number of items.
    virtual int count() const;

    // The playable location of an item; empty when the item has none or does not exist.
    virtual QUrl url(int index) const;

    // The model that holds the items, or null when the items live elsewhere.
    virtual QAbstractItemModel* itemModel() const;

    virtual void setRepeat(int mode);
    virtual int repeat() const;

    // The item the play controller is on; -1 before it chose one. The item is held, not its
    // number: items added, removed or reordered before it move it along, as a playlist of a
    // media service keeps its place. An item removed leaves the number it last had.
    int currentIndex() const;
    void setCurrentIndex(int index);

signals:
    // Items were added, removed or reordered.
    void contentsChanged();

private:
    QString m_id;
    int m_repeat;
    int m_currentIndex;
    QPersistentModelIndex m_current;
};

#endif // MAFWPLAYLIST_H
