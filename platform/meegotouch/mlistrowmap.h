#ifndef MLISTROWMAP_H
#define MLISTROWMAP_H

#include <QVector>

// Where the rows of a list lie, top to bottom: groups one after the other, each an optional
// header followed by its items. All items share one height and all headers another, so the
// map keeps only each group's top and finds a row by a binary search over the groups.
// A flat list is one group without a header.
//
// Rows of height 0 (no header shown, no way to draw items) take no room and are never found.
class MListRowMap
{
public:
    // row -1 is the group's header. group -1 is no row at all.
    struct Position
    {
        int group = -1;
        int row = -1;

        bool isValid() const { return group >= 0; }
        bool isHeader() const { return group >= 0 && row < 0; }
        bool operator==(const Position& o) const { return group == o.group && row == o.row; }
        bool operator!=(const Position& o) const { return !(*this == o); }
        bool operator<(const Position& o) const
        {
            return group < o.group || (group == o.group && row < o.row);
        }
    };

    void reset(const QVector<int>& itemCounts, qreal headerHeight, qreal itemHeight);
    void clear();

    int groupCount() const;
    qreal headerHeight() const;
    qreal itemHeight() const;
    qreal totalHeight() const;

    // The row that covers y (clamped into the list); invalid when the list takes no room.
    Position positionAt(qreal y) const;
    qreal top(const Position& position) const;
    qreal height(const Position& position) const;

    // The first row with room, and the row after the given one; invalid past the end.
    Position first() const;
    Position next(const Position& position) const;

    // Whether the row exists in the map (it may still take no room).
    bool contains(const Position& position) const;

private:
    Position firstFrom(int group) const;
    qreal groupExtent(int group) const;

    QVector<int> counts;
    QVector<qreal> tops;
    qreal header = 0;
    qreal item = 0;
    qreal total = 0;
};

#endif // MLISTROWMAP_H
