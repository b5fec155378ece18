#ifndef EXTENSIONREGISTRY_H
#define EXTENSIONREGISTRY_H

#include <QString>

#include <functional>

class MApplicationExtensionArea;
class MApplicationExtensionInterface;

// Where extension areas find their extensions: the plug-ins in the extension folder (none
// ship; see MApplicationExtensionInterface for what a plug-in is) and the extensions registered
// in this process, which is how a test puts one in. An area takes, in this order, the plug-ins
// of its interface by file name, then the registrations of its interface in the order they
// were made. A plug-in serves one area at a time: while an area holds it, a second area of the
// same interface goes without it.
class ExtensionRegistry
{
public:
    using Factory = std::function<MApplicationExtensionInterface*()>;

    // The user's data folder's "parlovance/extensions".
    static QString folder();

    // Every initialised area of the interface instantiates the extension at once, every later
    // one as it initialises. The factory makes a new extension each time (null: none). Returns
    // the handle to unregister it with.
    static int registerExtension(const QString& interfaceName, Factory factory);
    // The registration's extensions leave their areas and are deleted; later areas do without.
    static void unregisterExtension(int handle);

private:
    friend class MApplicationExtensionArea;
    static void areaInitialised(MApplicationExtensionArea* area);
    static void areaGone(MApplicationExtensionArea* area);
    static void loadPlugins(MApplicationExtensionArea* area);
};

#endif // EXTENSIONREGISTRY_H
