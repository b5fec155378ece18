#include "zelplaycontroller.h"

ZelPlayController::ZelPlayController(QObject* parent)
    : QObject(parent)
{
}

ZelPlayController::~ZelPlayController() = default;

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
