#include "processsetup.h"

#include <QByteArray>
#include <QtGlobal>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {
// The allocator gives each thread that allocates at the same time as another an arena of its
// own, up to eight a processor, and each keeps what its thread freed: the threads that read
// the library at a start would keep megabytes each for nothing. Too few arenas cost more: the
// tag readers, the store's writer and the window of a first index then queue for the same
// arena's lock at nearly every allocation (with two, a third of the index's processor time
// went to that lock and its wake-ups). Eight serve those threads without waiting.
const int AllocatorArenas = 8;
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
