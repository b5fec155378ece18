#include "extensionregistry.h"

#include "mapplicationextensionarea.h"
#include "mapplicationextensioninterface.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QLoggingCategory>
#include <QPluginLoader>
#include <QStandardPaths>

namespace {

Q_LOGGING_CATEGORY(lcExtensions, "parlovance.extensions")

struct Registration
{
    int handle;
    QString interfaceName;
    ExtensionRegistry::Factory factory;
};

struct Registry
{
    QList<Registration> registrations;
    QList<MApplicationExtensionArea*> areas; // initialised and alive
    // Kept for the life of the process: a loader unloaded while its plug-in's objects live
    // would take their code away.
    QHash<QString, QPluginLoader*> loaders;
    int lastHandle = 0;

    // At exit the loaders go without unloading (their libraries stay mapped to the end).
    ~Registry() { qDeleteAll(loaders); }
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

} // namespace

QString ExtensionRegistry::folder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/parlovance/extensions");
}

int ExtensionRegistry::registerExtension(const QString& interfaceName, Factory factory)
{
    Registry& all = registry();
    const Registration registration { ++all.lastHandle, interfaceName, std::move(factory) };
    all.registrations.append(registration);
    const QList<MApplicationExtensionArea*> areas = all.areas;
    for (MApplicationExtensionArea* area : areas) {
        if (area->interfaceName() != interfaceName)
            continue;
        if (MApplicationExtensionInterface* extension = registration.factory())
            area->addExtension(extension, registration.handle);
    }
    return registration.handle;
}

void ExtensionRegistry::unregisterExtension(int handle)
{
    Registry& all = registry();
    for (int i = 0; i < all.registrations.size(); ++i) {
        if (all.registrations.at(i).handle == handle) {
            all.registrations.removeAt(i);
            break;
        }
    }
    const QList<MApplicationExtensionArea*> areas = all.areas;
    for (MApplicationExtensionArea* area : areas) {
        if (all.areas.contains(area))
            area->removeSource(handle);
    }
}

void ExtensionRegistry::areaInitialised(MApplicationExtensionArea* area)
{
    Registry& all = registry();
    all.areas.append(area);
    loadPlugins(area);
    const QList<Registration> registrations = all.registrations;
    for (const Registration& registration : registrations) {
        // A receiver of an earlier announcement may have deleted the area.
        if (registration.interfaceName != area->interfaceName() || !all.areas.contains(area))
            continue;
        if (MApplicationExtensionInterface* extension = registration.factory())
            area->addExtension(extension, registration.handle);
    }
}

void ExtensionRegistry::areaGone(MApplicationExtensionArea* area)
{
    registry().areas.removeAll(area);
}

void ExtensionRegistry::loadPlugins(MApplicationExtensionArea* area)
{
    const QDir dir(folder());
    if (!dir.exists())
        return;
    Registry& all = registry();
    const QFileInfoList files = dir.entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo& file : files) {
        if (!all.areas.contains(area))
            return;
        const QString path = file.absoluteFilePath();
        if (!QLibrary::isLibrary(path))
            continue;
        QPluginLoader*& loader = all.loaders[path];
        if (!loader)
            loader = new QPluginLoader(path);
        // The metadata is read without loading the library.
        const QJsonObject meta = loader->metaData();
        if (meta.value(QStringLiteral("IID")).toString()
            != QLatin1String(MApplicationExtensionInterface_iid)) {
            qCDebug(lcExtensions) << "not an extension plug-in:" << path;
            continue;
        }
        const QString served = meta.value(QStringLiteral("MetaData"))
                                   .toObject()
                                   .value(QStringLiteral("interface"))
                                   .toString();
        if (served != area->interfaceName())
            continue;
        QObject* root = loader->instance();
        auto* extension = qobject_cast<MApplicationExtensionInterface*>(root);
        if (!extension) {
            qCWarning(lcExtensions)
                << "extension plug-in not loaded:" << path << loader->errorString();
            continue;
        }
        bool held = false;
        for (const MApplicationExtensionArea* other : qAsConst(all.areas))
            held = held || other->holds(extension);
        if (held) {
            qCWarning(lcExtensions) << "extension plug-in already in use by another area:" << path;
            continue;
        }
        area->addExtension(extension, 0);
    }
}
