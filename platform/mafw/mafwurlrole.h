#ifndef MAFWURLROLE_H
#define MAFWURLROLE_H

#include <Qt>

// The item role under which a song row answers its playable location (the file's URL). A model
// that shows only some columns of a tracker model (the play queue shows ten) still passes this
// role through to the row, so the play controller can always find what to play.
namespace Mafw {
enum { UrlRole = Qt::UserRole + 0x100 };
}

#endif // MAFWURLROLE_H
