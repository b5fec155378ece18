#include "transportburst.h"

void TransportBurst::play(const PlayRequest& request)
{
    newest = request;
    last = Hold::None;
    ++taken;
}

void TransportBurst::next()
{
    step(1);
}

void TransportBurst::previous()
{
    step(-1);
}

void TransportBurst::step(int direction)
{
    ++taken;
    if (newest.kind != PlayRequest::None)
        return;
    if (!runs.isEmpty() && (runs.last() < 0) == (direction < 0))
        runs.last() += direction;
    else
        runs.append(direction);
}

void TransportBurst::pause()
{
    last = Hold::Pause;
    ++taken;
}

void TransportBurst::resume()
{
    last = Hold::Resume;
    ++taken;
}

int TransportBurst::calls() const
{
    return taken;
}

const TransportBurst::PlayRequest& TransportBurst::request() const
{
    return newest;
}

const QVector<int>& TransportBurst::moves() const
{
    return runs;
}

TransportBurst::Hold TransportBurst::hold() const
{
    return last;
}
