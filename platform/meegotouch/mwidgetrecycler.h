#ifndef MWIDGETRECYCLER_H
#define MWIDGETRECYCLER_H

#include <QHash>
#include <QPointer>
#include <QString>
#include <QVector>

class MWidget;

// Keeps widgets that went out of use, by class name, so that the next user of that class takes
// one back instead of building a new one. A list hands it the cells that scroll out and its
// cell creators take them back. Kept widgets are hidden and stay with their parent; a widget
// deleted by its owner while kept is simply forgotten.
class MWidgetRecycler
{
public:
    MWidgetRecycler();
    ~MWidgetRecycler(); // deletes the widgets it still keeps

    MWidgetRecycler(const MWidgetRecycler&) = delete;
    MWidgetRecycler& operator=(const MWidgetRecycler&) = delete;

    // Hides the widget and keeps it under its meta-object's class name. Beyond the limit per
    // class the widget is deleted instead (later, it may be inside one of its own handlers).
    void recycle(MWidget* widget);

    // A kept widget of that class name, or null. The widget is still hidden.
    MWidget* take(const QString& className);

    // 0 (the default) keeps any number.
    void setMaxItemsPerClass(int count);

    // How many widgets of that class name are kept.
    int recycledCount(const QString& className) const;

    // Deletes every kept widget.
    void clear();

private:
    QHash<QString, QVector<QPointer<MWidget>>> kept;
    int limit = 0;
};

#endif // MWIDGETRECYCLER_H
