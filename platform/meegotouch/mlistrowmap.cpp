#include "mlistrowmap.h"

#include <algorithm>
#include <cmath>

void MListRowMap::reset(const QVector<int>& itemCounts, qreal headerHeight, qreal itemHeight)
{
    header = headerHeight > 0 ? headerHeight : 0;
    item = itemHeight > 0 ? itemHeight : 0;
    counts = itemCounts;
    tops.resize(counts.size());
    qreal y = 0;
    for (int g = 0; g < counts.size(); ++g) {
        if (counts[g] < 0)
            counts[g] = 0;
        tops[g] = y;
        y += groupExtent(g);
    }
    total = y;
}

void MListRowMap::clear()
{
    counts.clear();
    tops.clear();
    total = 0;
}

int MListRowMap::groupCount() const
{
    return counts.size();
}

qreal MListRowMap::headerHeight() const
{
    return header;
}

qreal MListRowMap::itemHeight() const
{
    return item;
}

qreal MListRowMap::totalHeight() const
{
    return total;
}

qreal MListRowMap::groupExtent(int group) const
{
    return header + (item > 0 ? counts[group] * item : 0);
}

MListRowMap::Position MListRowMap::positionAt(qreal y) const
{
    if (total <= 0)
        return Position();
    y = qBound<qreal>(0, y, std::nextafter(total, 0.0));
    int g = int(std::upper_bound(tops.constBegin(), tops.constEnd(), y) - tops.constBegin()) - 1;
    g = qMax(0, g);
    // Groups that take no room share the top of the next one; step back to one that has room.
    while (g > 0 && groupExtent(g) <= 0)
        --g;
    const qreal itemsTop = tops[g] + header;
    if (header > 0 && y < itemsTop)
        return { g, -1 };
    if (item <= 0 || counts[g] == 0)
        return header > 0 ? Position { g, -1 } : Position();
    const int row = qBound(0, int(std::floor((y - itemsTop) / item)), counts[g] - 1);
    return { g, row };
}

qreal MListRowMap::top(const Position& position) const
{
    if (!contains(position))
        return 0;
    const qreal groupTop = tops[position.group];
    if (position.row < 0)
        return groupTop;
    return groupTop + header + position.row * item;
}

qreal MListRowMap::height(const Position& position) const
{
    if (!contains(position))
        return 0;
    return position.row < 0 ? header : item;
}

MListRowMap::Position MListRowMap::firstFrom(int group) const
{
    for (int g = qMax(0, group); g < counts.size(); ++g) {
        if (header > 0)
            return { g, -1 };
        if (item > 0 && counts[g] > 0)
            return { g, 0 };
    }
    return Position();
}

MListRowMap::Position MListRowMap::first() const
{
    return firstFrom(0);
}

MListRowMap::Position MListRowMap::next(const Position& position) const
{
    if (!contains(position))
        return Position();
    if (item > 0 && position.row + 1 < counts[position.group])
        return { position.group, position.row + 1 };
    return firstFrom(position.group + 1);
}

bool MListRowMap::contains(const Position& position) const
{
    return position.group >= 0 && position.group < counts.size() && position.row >= -1
           && position.row < counts[position.group];
}
