#include "processsetup.h"

#include <QByteArray>
#include <QtGlobal>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {
// The allocator gives each thread that allocates at the same time as another an arena of its
// own, up to eight a processor, and each keeps what its thread freed. The threads that read
// the library at a start would keep megabytes each for nothing; two arenas are plenty for
// threads that mostly wait for the store.
const int AllocatorArenas = 2;
} // namespace

void ProcessSetup::beforeApplication()
{
#ifdef __GLIBC__
    mallopt(M_ARENA_MAX, AllocatorArenas);
#endif
    // Every window draws with the raster engine; the X platform would still load the system's
    // OpenGL stack (tens of megabytes of a software renderer) to offer it. A user's own choice
    // of integration is kept.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
}
