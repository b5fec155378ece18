#ifndef MAPPLICATIONEXTENSIONAREA_H
#define MAPPLICATIONEXTENSIONAREA_H

#include "mwidget.h"

#include <QList>
#include <QString>

class MApplicationExtensionInterface;

// Holds the extensions of one extension interface for the application: init() instantiates
// every extension of the interface (ExtensionRegistry), announcing each one, and the area
// owns them from then on. An extension registered later joins a live area at once; one
// unregistered leaves it (announced, then deleted). The area lays out nothing itself: whoever
// made it places the extensions' widgets.
class MApplicationExtensionArea : public MWidget
{
    Q_OBJECT

public:
    explicit MApplicationExtensionArea(const QString& interfaceName,
                                       QGraphicsItem* parent = nullptr);
    // Deletes the extensions without announcing it.
    ~MApplicationExtensionArea() override;

    QString interfaceName() const;
    // Runs once; later calls change nothing.
    bool init();
    // In the order they were instantiated.
    QList<MApplicationExtensionInterface*> extensions() const;

signals:
    void extensionInstantiated(MApplicationExtensionInterface* extension);
    // Emitted after the extension has left extensions(); it is deleted when the signal returns.
    void extensionRemoved(MApplicationExtensionInterface* extension);

private:
    friend class ExtensionRegistry;
    // source: the handle of an in-process registration, or 0 for a plug-in.
    void addExtension(MApplicationExtensionInterface* extension, int source);
    void removeSource(int source);
    bool holds(const MApplicationExtensionInterface* extension) const;

    struct Entry
    {
        MApplicationExtensionInterface* extension;
        int source;
    };
    QString name;
    QList<Entry> entries;
    bool initialised = false;
};

#endif // MAPPLICATIONEXTENSIONAREA_H
