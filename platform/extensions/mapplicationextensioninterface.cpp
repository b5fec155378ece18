#include "mapplicationextensioninterface.h"

MApplicationExtensionInterface::~MApplicationExtensionInterface() = default;
