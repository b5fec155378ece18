#ifndef MAPPLICATIONEXTENSIONINTERFACE_H
#define MAPPLICATIONEXTENSIONINTERFACE_H

#include <QtPlugin>

// What every extension is to an extension area. Concrete extensions derive from one of the
// widget bases (AbstractExtensionWidget, AbstractStoreExtensionWidget); the area hands them
// out as this type and its users find out what they are with dynamic_cast.
//
// A plug-in in the extension folder is a Qt plug-in whose root object implements this
// interface (Q_INTERFACES) and whose metadata names the one extension interface it serves:
//   Q_PLUGIN_METADATA(IID MApplicationExtensionInterface_iid FILE "myextension.json")
//   myextension.json: { "interface": "com.vaspe.Parlovance.extensions.AlbumInterface/1.0" }
// The plug-in is linked against nothing of the application: the symbols it uses come from the
// program that loads it.
class MApplicationExtensionInterface
{
public:
    virtual ~MApplicationExtensionInterface();
};

#define MApplicationExtensionInterface_iid "com.vaspe.MApplicationExtensionInterface/1.0"
Q_DECLARE_INTERFACE(MApplicationExtensionInterface, MApplicationExtensionInterface_iid)

#endif // MAPPLICATIONEXTENSIONINTERFACE_H
