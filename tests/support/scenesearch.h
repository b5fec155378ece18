#ifndef SCENESEARCH_H
#define SCENESEARCH_H

#include <QGraphicsItem>
#include <QGraphicsScene>

// The first item of the scene of type T (a dialog, a sheet, a row), or null: for items that a
// test reaches through the screen rather than through the code that made them.
template <typename T>
T* findInScene(QGraphicsScene* scene)
{
    for (QGraphicsItem* item : scene->items()) {
        if (auto* found = dynamic_cast<T*>(item))
            return found;
    }
    return nullptr;
}

#endif // SCENESEARCH_H
