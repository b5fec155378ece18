#include "skipmoves.h"

void SkipMoves::next()
{
    step(1);
}

void SkipMoves::previous()
{
    step(-1);
}

void SkipMoves::step(int direction)
{
    if (!moves.isEmpty() && (moves.last() < 0) == (direction < 0))
        moves.last() += direction;
    else
        moves.append(direction);
}
