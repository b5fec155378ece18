#include "mapplicationextensionarea.h"

#include "extensionregistry.h"
#include "mapplicationextensioninterface.h"

MApplicationExtensionArea::MApplicationExtensionArea(const QString& interfaceName,
                                                     QGraphicsItem* parent)
    : MWidget(parent)
    , name(interfaceName)
{
}

MApplicationExtensionArea::~MApplicationExtensionArea()
{
    ExtensionRegistry::areaGone(this);
    const QList<Entry> gone = entries;
    entries.clear();
    for (const Entry& entry : gone)
        delete entry.extension;
}

QString MApplicationExtensionArea::interfaceName() const
{
    return name;
}

bool MApplicationExtensionArea::init()
{
    if (initialised)
        return true;
    initialised = true;
    ExtensionRegistry::areaInitialised(this);
    return true;
}

QList<MApplicationExtensionInterface*> MApplicationExtensionArea::extensions() const
{
    QList<MApplicationExtensionInterface*> all;
    for (const Entry& entry : entries)
        all.append(entry.extension);
    return all;
}

void MApplicationExtensionArea::addExtension(MApplicationExtensionInterface* extension, int source)
{
    entries.append({ extension, source });
    emit extensionInstantiated(extension);
}

void MApplicationExtensionArea::removeSource(int source)
{
    for (int i = entries.size() - 1; i >= 0; --i) {
        if (entries.at(i).source != source)
            continue;
        MApplicationExtensionInterface* extension = entries.takeAt(i).extension;
        emit extensionRemoved(extension);
        delete extension;
    }
}

bool MApplicationExtensionArea::holds(const MApplicationExtensionInterface* extension) const
{
    for (const Entry& entry : entries) {
        if (entry.extension == extension)
            return true;
    }
    return false;
}
