#include "mwidgetrecycler.h"

#include "mwidget.h"

MWidgetRecycler::MWidgetRecycler() = default;

MWidgetRecycler::~MWidgetRecycler()
{
    clear();
}

void MWidgetRecycler::recycle(MWidget* widget)
{
    if (!widget)
        return;
    widget->hide();
    QVector<QPointer<MWidget>>& shelf
        = kept[QString::fromLatin1(widget->metaObject()->className())];
    for (const QPointer<MWidget>& w : qAsConst(shelf)) {
        if (w == widget)
            return;
    }
    if (limit > 0 && shelf.size() >= limit) {
        widget->deleteLater();
        return;
    }
    shelf.append(widget);
}

MWidget* MWidgetRecycler::take(const QString& className)
{
    auto it = kept.find(className);
    if (it == kept.end())
        return nullptr;
    QVector<QPointer<MWidget>>& shelf = it.value();
    while (!shelf.isEmpty()) {
        MWidget* w = shelf.takeLast();
        if (w)
            return w;
    }
    return nullptr;
}

void MWidgetRecycler::setMaxItemsPerClass(int count)
{
    limit = qMax(0, count);
    if (limit == 0)
        return;
    for (auto it = kept.begin(); it != kept.end(); ++it) {
        while (it->size() > limit) {
            if (MWidget* w = it->takeLast())
                w->deleteLater();
        }
    }
}

int MWidgetRecycler::recycledCount(const QString& className) const
{
    int n = 0;
    const auto it = kept.constFind(className);
    if (it == kept.constEnd())
        return 0;
    for (const QPointer<MWidget>& w : *it) {
        if (w)
            ++n;
    }
    return n;
}

void MWidgetRecycler::clear()
{
    const auto shelves = kept;
    kept.clear();
    for (const auto& shelf : shelves) {
        for (const QPointer<MWidget>& w : shelf)
            delete w.data();
    }
}
