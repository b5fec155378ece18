#include "zelplaycontroller.h"

ZelPlayController::ZelPlayController(QObject* parent)
    : QObject(parent)
{
}

ZelPlayController::~ZelPlayController() = default;
