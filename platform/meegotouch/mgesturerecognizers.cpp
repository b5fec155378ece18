#include "mgesturerecognizers.h"

void MGestureRecognizers::ensureRegistered()
{
}
