#include "zelplaycontroller.h"

ZelPlayController::ZelPlayController(QObject* parent)
    : QObject(parent)
{
}

ZelPlayController::~ZelPlayController() = default;

void ZelPlayController::playPlaylistFrom(const QUrl& url, int entry, uint seconds, bool paused)
{
    Q_UNUSED(entry)
    Q_UNUSED(seconds)
    Q_UNUSED(paused)
    playPlaylist(url, QString());
}

int ZelPlayController::playlistEntry() const
{
    return -1;
}

bool ZelPlayController::playEntry(int step)
{
    Q_UNUSED(step)
    return false;
}

bool ZelPlayController::hasEntry(int step) const
{
    Q_UNUSED(step)
    return false;
}

bool ZelPlayController::continueAsRow(int row)
{
    Q_UNUSED(row)
    return false;
}
